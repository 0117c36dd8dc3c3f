#!/usr/bin/env python3
"""print-bench.py BUILD_DIR SOURCE_DIR [MIB]

varnak-print sending a large document (1 GiB unless MIB says otherwise) through a CUPS
scheduler of its own to a printer that only counts and hashes the bytes, side by side with
`lp -o raw` of the same bytes to the same queue: the time from the start until the printer has
the last byte, and the peak memory of the sending program. varnak-print runs through
varnak-drive with the dialog confirmed by a script, so the time is the sending's.
"""
import hashlib
import os
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests/print"))
from cupsfixture import Listener, Scheduler, wait_until  # noqa: E402


def timed(command, env, printer):
    """Seconds until the printer has one more job, the job as it arrived, and the peak memory
    of the sending program in MiB."""
    before = len(printer.jobs)
    start = time.monotonic()
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    if status != 0:
        raise AssertionError(f"{command[0]} failed")
    wait_until("the job to arrive", lambda: len(printer.jobs) > before, timeout=3600)
    return time.monotonic() - start, printer.jobs[-1], usage.ru_maxrss / 1024


def main():
    build = Path(sys.argv[1]).resolve()
    source = Path(sys.argv[2]).resolve()
    mib = int(sys.argv[3]) if len(sys.argv) > 3 else 1024
    folder = build / "print-bench"
    folder.mkdir(parents=True, exist_ok=True)
    document = folder / "document.bin"
    piece = bytes(range(256)) * 4096  # 1 MiB of every byte value
    digest = hashlib.sha256()
    if not document.exists() or document.stat().st_size != mib << 20:
        with open(document, "wb") as out:
            for _ in range(mib):
                out.write(piece)
    for _ in range(mib):
        digest.update(piece)
    subprocess.run([str(source / "examples/install-demo.sh"), "--fresh", str(folder / "demo")],
                   check=True, capture_output=True)
    script = folder / "send.drive"
    script.write_text(f"print -d zor {document}\ntab 1\nselect IDC_COVER_OVERLAY 7\nclick IDC_OK\n")

    printer = Listener(keep_bytes=False).start()
    scheduler = Scheduler(folder / "cups").start()
    try:
        scheduler.add_queue("zor", printer.port)
        env = scheduler.env(VARNAK_REGISTRY=str(folder / "demo/registry.reg"))
        # Each twice, in turns, so that neither pays alone for the other's writing back of
        # its spool file; the better of each pair counts.
        lp_runs, varnak_runs = [], []
        for _ in range(2):
            lp_runs.append(timed(["lp", "-d", "zor", "-o", "raw", str(document)], env, printer))
            varnak_runs.append(timed([str(build / "app/varnak-drive"), str(script)], env,
                                     printer))
        lp_time, lp_job, lp_peak = min(lp_runs)
        varnak_time, varnak_job, varnak_peak = min(varnak_runs)
    finally:
        scheduler.stop()
        printer.stop()
    ok = lp_job == (mib << 20, digest.hexdigest()) and varnak_job[0] > mib << 20
    print(f"document: {mib} MiB, every byte value; both jobs arrived whole: {ok}")
    print(f"lp -o raw      {lp_time:8.2f} s   peak {lp_peak:7.1f} MiB")
    print(f"varnak-print   {varnak_time:8.2f} s   peak {varnak_peak:7.1f} MiB")
    print(f"varnak-print / lp: {varnak_time / lp_time:.2f}x")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
