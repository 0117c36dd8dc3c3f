#!/usr/bin/env python3
"""cups-test.py MODE BUILD_DIR SOURCE_DIR

varnak-print against a real CUPS scheduler of the test's own: cupsd -f from Debian's packages
with its configuration, spool, state and logs in a folder under the build folder, listening
on a free loopback port and on a socket in that folder; raw queues (lpadmin -v socket://, no
model) towards listeners of the test's own that record every connection's bytes. The machine's
own print service and /etc are never touched. Everything is stopped at the end.

MODE
  cases  the failure table, each case a varnak-drive script with a "print" line
  qt     one whole run through the real Qt dialog under Xvfb
  wine   one whole run of varnak-print.exe under Wine, whose spooler sees the queues
"""
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

from cupsfixture import TIMEOUT, Listener, Scheduler, free_port, wait_until

def ticket(command):
    return (b"\x1b%-12345X@PJL ENTER LANGUAGE=ZOR\n[GLOBAL]\nZOR_COMMAND=" + command +
            b"\n\x1b%-12345X")


# The dialog's part of every confirmed job: the cover sheet on overlay 7 of the demo setup's
# folder; in a fresh registry the default tray is 1.
CONFIRM = "tab 1\nselect IDC_COVER_OVERLAY 7\nclick IDC_OK\n"
TICKET = ticket(b"C1I1;EI1F7;\r\n")


class Harness:
    def __init__(self, build, source, mode):
        self.build = Path(build).resolve()
        self.source = Path(source).resolve()
        self.folder = self.build / "print-test" / mode
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder.mkdir(parents=True)
        subprocess.run([str(self.source / "examples/install-demo.sh"), "--fresh",
                        str(self.folder / "demo")], check=True, capture_output=True)
        self.registry = str(self.folder / "demo/registry.reg")
        self.failures = []

    def check(self, case, condition, detail):
        if not condition:
            self.failures.append(f"{case}: {detail}")

    def drive(self, scheduler, script, stdin=b"", env=None):
        (self.folder / "script.drive").write_text(script)
        return subprocess.run(
            [str(self.build / "app/varnak-drive"), str(self.folder / "script.drive")],
            input=stdin, capture_output=True, timeout=TIMEOUT, cwd=self.folder,
            env=env or scheduler.env(VARNAK_REGISTRY=self.registry))

    def document(self, name, data):
        path = self.folder / name
        path.write_bytes(data)
        return path


def run_cases(harness):
    small = harness.document("small.ps", b"%!PS small document\x1a\x00\r\n")
    every_byte = bytes(range(256)) * (5 * 1024 * 1024 // 256)
    large = harness.document("every-byte.bin", every_byte)
    too_large = harness.document("too-large.bin", b"x" * (24 << 20))
    printer = Listener().start()
    down_port = free_port()
    scheduler = Scheduler(harness.folder / "cups", max_request=16 << 20).start()
    try:
        scheduler.add_queue("zor", printer.port)
        scheduler.add_queue("closed", printer.port, accepting=False)
        scheduler.add_queue("down", down_port)
        remote = scheduler.env(VARNAK_REGISTRY=harness.registry)
        remote.pop("CUPS_SERVER")
        remote["CUPS_SERVER"] = "/nonexistent/cups.sock"  # only -h can reach the scheduler
        # name, print arguments, the dialog's part, standard input, environment, the end
        # line, what the output says, the bytes at the printer (None: no connection)
        cases = [
            ("a small document", f"-d zor {small}", CONFIRM, b"", None, "end ok status=0",
             "sent job zor-", TICKET + small.read_bytes()),
            ("every byte value, 5 MiB", f"-d zor {large}", CONFIRM, b"", None,
             "end ok status=0", "sent job zor-", TICKET + every_byte),
            ("from standard input", "-d zor -", CONFIRM, b"piped\x00bytes", None,
             "end ok status=0", "sent job zor-", TICKET + b"piped\x00bytes"),
            ("cancelled in the dialog", f"-d zor {small}", "click IDC_CANCEL\n", b"", None,
             "end cancel status=1", "", None),
            ("a missing destination", f"-d nosuch {small}", "", b"", None,
             "end none status=3", "The printer nosuch does not exist.", None),
            ("a queue not accepting", f"-d closed {small}", "", b"", None,
             "end none status=3", "The printer closed does not accept jobs.", None),
            ("a remote server", f"-h 127.0.0.1:{scheduler.port} -d zor {small}", CONFIRM, b"",
             remote, "end ok status=0", "sent job zor-", TICKET + small.read_bytes()),
        ]
        for name, arguments, dialog, stdin, env, end, said, expected in cases:
            before = len(printer.jobs)
            queued = scheduler.jobs("zor", "all")
            result = harness.drive(scheduler, f"print {arguments}\n{dialog}", stdin, env)
            out = result.stdout.decode(errors="replace")
            harness.check(name, end in out.splitlines(), f"no {end!r} in {out!r}")
            harness.check(name, said in out, f"no {said!r} in {out!r}")
            if expected is not None:
                wait_until(f"{name}: the printer's connection", lambda: len(printer.jobs) > before)
                harness.check(name, printer.jobs[-1] == expected,
                              f"{len(printer.jobs[-1])} bytes arrived, not the {len(expected)} sent")
            else:
                harness.check(name, scheduler.jobs("zor", "all") == queued, "a job was made")
                harness.check(name, len(printer.jobs) == before, "a connection was made")

        # The printer down: not completed within the wait, still queued, printed later.
        result = harness.drive(scheduler, f"print --wait=5 -d down {small}\n{CONFIRM}")
        out = result.stdout.decode(errors="replace")
        harness.check("printer down", "end ok status=6" in out.splitlines(), out)
        harness.check("printer down", "not printed within 5 seconds" in out, out)
        harness.check("printer down", len(scheduler.jobs("down")) == 1, "the job is not queued")
        back = Listener(down_port).start()
        wait_until("the queued job to print once the printer is back", lambda: back.jobs)
        harness.check("printer down", back.jobs[0] == TICKET + small.read_bytes(),
                      "the delayed job's bytes differ")
        back.stop()

        # Cancelled at the queue while varnak-print waits.
        (harness.folder / "script.drive").write_text(f"print --wait -d down {small}\n{CONFIRM}")
        waiting = subprocess.Popen(
            [str(harness.build / "app/varnak-drive"), str(harness.folder / "script.drive")],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, cwd=harness.folder,
            env=scheduler.env(VARNAK_REGISTRY=harness.registry))
        wait_until("the job to be queued",
                   lambda: scheduler.jobs("down") or waiting.poll() is not None)
        if waiting.poll() is not None:
            raise AssertionError("varnak-print ended early: " + waiting.stdout.read().decode())
        scheduler.run(["cancel", scheduler.jobs("down")[0]])
        out = waiting.communicate(timeout=TIMEOUT)[0].decode(errors="replace")
        harness.check("cancelled at the queue", "end ok status=7" in out.splitlines(), out)
        harness.check("cancelled at the queue", "was cancelled at the queue" in out, out)

        # A write refused part-way (the scheduler takes no request over 16 MiB): the job is
        # cancelled and nothing prints; the ticket is kept where the message says.
        before = len(printer.jobs)
        result = harness.drive(scheduler, f"print -d zor {too_large}\n{CONFIRM}")
        out = result.stdout.decode(errors="replace")
        harness.check("a write failing part-way", "end ok status=4" in out.splitlines(), out)
        kept = out.split("The ticket is kept in ")[-1].split(".prn")[0] + ".prn"
        harness.check("a write failing part-way", Path(kept).is_file() and
                      Path(kept).read_bytes() == TICKET, f"no ticket kept: {out}")
        harness.check("a write failing part-way", not scheduler.jobs("zor"),
                      "a job stays queued")
        harness.check("a write failing part-way", len(printer.jobs) == before,
                      "a part of the job was printed")
    finally:
        scheduler.stop()
        printer.stop()


class VirtualDisplay:
    """Xvfb on a free display number, which it reports once it accepts clients."""

    def __enter__(self):
        read, write = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
             "-noreset"],
            pass_fds=(write,), stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as displayfd:
            self.display = ":" + displayfd.readline().strip()
        if self.display == ":":
            raise AssertionError("Xvfb did not start")
        return self

    def __exit__(self, *_):
        self.process.terminate()
        self.process.wait()


def run_qt(harness):
    """The real Qt dialog, by real input events, under Xvfb."""
    document = harness.document("qt.ps", b"%!PS through the Qt dialog\n")
    printer = Listener().start()
    scheduler = Scheduler(harness.folder / "cups").start()
    try:
        scheduler.add_queue("zor", printer.port)
        with VirtualDisplay() as screen:
            result = subprocess.run(
                [str(harness.build / "tests/print/qt_print_run")], capture_output=True,
                timeout=TIMEOUT,
                env=scheduler.env(QT_QPA_PLATFORM="xcb", DISPLAY=screen.display,
                                  VARNAK_TEST_QUEUE="zor", VARNAK_TEST_DOCUMENT=str(document),
                                  # Qt's application object lives as long as the program.
                                  ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"))
        out = result.stdout.decode(errors="replace")
        harness.check("the Qt dialog", result.returncode == 0 and "[  PASSED  ] 1 test" in out,
                      out + result.stderr.decode(errors="replace"))
        if result.returncode == 0:
            wait_until("the printer's connection", lambda: printer.jobs)
            harness.check("the Qt dialog", printer.jobs[0] == TICKET + document.read_bytes(),
                          f"{len(printer.jobs[0])} bytes arrived")
    finally:
        scheduler.stop()
        printer.stop()


def run_wine(harness, wine, prefix, program_test):
    """varnak-print.exe under Wine, whose spooler takes its printers from the scheduler."""
    printer = Listener().start()
    scheduler = Scheduler(harness.folder / "cups").start()
    expected = harness.folder / "expected.bin"
    try:
        scheduler.add_queue("zor", printer.port)
        result = subprocess.run(
            [str(harness.source / "scripts/wine-display.sh"), wine, prefix, program_test],
            capture_output=True, timeout=300,
            env=scheduler.env(VARNAK_TEST_QUEUE="zor",
                              VARNAK_TEST_EXPECTED="Z:" + str(expected).replace("/", "\\")))
        out = result.stdout.decode(errors="replace")
        harness.check("varnak-print.exe", result.returncode == 0 and "[  PASSED  ] 1 test" in out,
                      out + result.stderr.decode(errors="replace")[-3000:])
        if result.returncode == 0:
            wait_until("the printer's connection", lambda: printer.jobs)
            harness.check("varnak-print.exe", printer.jobs[0] == expected.read_bytes(),
                          f"{len(printer.jobs[0])} bytes arrived, not {expected.stat().st_size}")
    finally:
        scheduler.stop()
        printer.stop()


def main():
    mode, build, source = sys.argv[1:4]
    harness = Harness(build, source, mode)
    if mode == "cases":
        run_cases(harness)
    elif mode == "qt":
        run_qt(harness)
    elif mode == "wine":
        run_wine(harness, *sys.argv[4:7])
    else:
        raise SystemExit(f"cups-test: unknown mode {mode}")
    for failure in harness.failures:
        print(f"FAIL: {failure}", file=sys.stderr)
    if not harness.failures:
        print(f"cups-test: {mode}: all cases passed")
    return 1 if harness.failures else 0


if __name__ == "__main__":
    sys.exit(main())
