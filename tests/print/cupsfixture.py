"""The test's own CUPS: cupsd in the foreground with all of its files in one folder under the
build folder, listening on a free loopback port and on a socket there, and printers of the
test's own on TCP ports that record what reaches them. Shared by cups-test.py and the print
benchmark; the machine's own print service and /etc are never touched."""
import hashlib
import os
import shutil
import socket
import subprocess
import threading
import time
from pathlib import Path

TIMEOUT = 60  # seconds any one step may take before the test gives up on it


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wait_until(what, condition, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.05)


class Listener:
    """A printer on a TCP port: records the bytes of each connection once it is closed."""

    def __init__(self, port=None, keep_bytes=True):
        self.port = port or free_port()
        # Each connection's bytes, or for large ones (keep_bytes off) their size and SHA-256.
        self.jobs = []
        self.keep_bytes = keep_bytes
        self._server = None

    def start(self):
        self._server = socket.socket()
        self._server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self._server.bind(("127.0.0.1", self.port))
        self._server.listen(8)
        threading.Thread(target=self._accept, args=(self._server,), daemon=True).start()
        return self

    def _accept(self, server):
        while True:
            try:
                connection, _ = server.accept()
            except OSError:
                return
            threading.Thread(target=self._record, args=(connection,), daemon=True).start()

    def _record(self, connection):
        data = bytearray()
        digest = hashlib.sha256()
        size = 0
        with connection:
            while chunk := connection.recv(1 << 20):
                if self.keep_bytes:
                    data += chunk
                else:
                    digest.update(chunk)
                    size += len(chunk)
        self.jobs.append(bytes(data) if self.keep_bytes else (size, digest.hexdigest()))

    def stop(self):
        if self._server:
            # Wakes the accepting thread: a close alone leaves the port listening for it.
            self._server.shutdown(socket.SHUT_RDWR)
            self._server.close()
            self._server = None


class Scheduler:
    """cupsd in the foreground, all of its files in one folder."""

    def __init__(self, folder, max_request=0):
        self.folder = Path(folder).resolve()
        shutil.rmtree(self.folder, ignore_errors=True)
        for sub in ("root", "spool/tmp", "cache", "state", "log"):
            (self.folder / sub).mkdir(parents=True)
        self.port = free_port()
        self.socket = str(self.folder / "cups.sock")
        (self.folder / "root/cupsd.conf").write_text(
            f"LogLevel debug\nListen 127.0.0.1:{self.port}\nListen {self.socket}\n"
            "Browsing Off\nDefaultAuthType None\nWebInterface No\nJobRetryInterval 1\n"
            f"MaxRequestSize {max_request}\n"
            "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
            "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
            "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
        (self.folder / "root/cups-files.conf").write_text(
            f"ServerRoot {self.folder}/root\nRequestRoot {self.folder}/spool\n"
            f"TempDir {self.folder}/spool/tmp\nCacheDir {self.folder}/cache\n"
            f"StateDir {self.folder}/state\nAccessLog {self.folder}/log/access_log\n"
            f"ErrorLog {self.folder}/log/error_log\nPageLog {self.folder}/log/page_log\n"
            "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\nFileDevice No\n"
            "Sandboxing Relaxed\n")
        self.process = None

    def env(self, **more):
        env = dict(os.environ, CUPS_SERVER=self.socket)
        env.pop("PRINTER", None)
        env.pop("LPDEST", None)
        env.update(more)
        return env

    def start(self):
        self.process = subprocess.Popen(
            ["cupsd", "-f", "-c", str(self.folder / "root/cupsd.conf"),
             "-s", str(self.folder / "root/cups-files.conf")],
            stdout=subprocess.DEVNULL, stderr=open(self.folder / "log/cupsd.out", "wb"))
        wait_until("cupsd to accept requests",
                   lambda: b"is running" in self.run(["lpstat", "-r"], check=False).stdout)
        return self

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()

    def run(self, command, check=True, **options):
        return subprocess.run(command, env=self.env(), check=check, capture_output=True,
                              timeout=TIMEOUT, **options)

    def add_queue(self, name, port, accepting=True):
        self.run(["lpadmin", "-p", name, "-E", "-v", f"socket://127.0.0.1:{port}"])
        if not accepting:
            self.run(["cupsreject", name])

    def jobs(self, queue, which="not-completed"):
        out = self.run(["lpstat", "-W", which, "-o", queue], check=False).stdout.decode()
        return [line.split()[0] for line in out.splitlines() if line.strip()]
