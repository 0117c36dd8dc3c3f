#!/usr/bin/python3
"""accessibility-test.py BUILD_DIR SOURCE_DIR

Reads the Qt dialog back as a screen reader reads it: varnak on a virtual display of its own
(Xvfb), with a private session bus and the accessibility bus (at-spi-bus-launcher) of its own,
through AT-SPI with Debian's python3-pyatspi. Every control that takes the focus, on each of
the four pages, must have the role, the name and the labelled-by relation of the table below;
the link must be a link that can be activated; a page tab is focused only while the tab bar
has the focus. Everything it starts is stopped at the end.
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# (role, name, labelled by), in the order AT-SPI lists them; a name of None is any name (a
# drop-down list is named by its item and told by its label, the tab list by its page). The
# general part of the dialog:
DIALOG = [
    ("radio button", "Simplex", ""),
    ("radio button", "Duplex", ""),
    ("radio button", "As Datastream", ""),
    ("combo box", None, "Default Input Tray:"),
    ("text", "Number of copies:", "Number of copies:"),
    ("combo box", None, "Default Form Overlay:"),
    ("combo box", None, "Stapling:"),
    ("push button", "OK", ""),
    ("push button", "Cancel", ""),
    ("link", "Online Manual", ""),
    ("text", "Default Form Overlay: description", ""),
    ("page tab list", None, ""),
    ("page tab", "Chapter Printing", ""),
    ("page tab", "Cover Page", ""),
    ("page tab", "Footer Page", ""),
    ("page tab", "Document Printing", ""),
]
# Each page's own, by its tab's name.
PAGES = {
    "Chapter Printing": [
        ("table", "Settings", ""),
        ("push button", "Delete", ""),
        ("text", "Last page number for chapter:", "Last page number for chapter:"),
        ("radio button", "Insert separation sheet after page", ""),
        ("radio button", "Modify this page", ""),
        ("text", "Copy count for chapter:", "Copy count for chapter:"),
        ("combo box", None, "Form Overlay:"),
        ("combo box", None, "Input Tray:"),
        ("text", "Form Overlay: description", ""),
        ("text", "Last chapter copy count:", "Last chapter copy count:"),
        ("push button", "Apply", ""),
        ("check box", "Separator page after copyset only", ""),
    ],
    "Cover Page": [
        ("combo box", None, "Input Tray:"),
        ("push button", "Delete", ""),
        ("combo box", None, "Form Overlay:"),
        ("text", "Form Overlay: description", ""),
    ],
    "Footer Page": [
        ("combo box", None, "Input Tray:"),
        ("push button", "Delete", ""),
        ("combo box", None, "Form Overlay:"),
        ("text", "Form Overlay: description", ""),
    ],
    "Document Printing": [
        ("table", "Settings", ""),
        ("push button", "Delete", ""),
        ("text", "Page Number:", "Page Number:"),
        ("radio button", "Insert separation sheet after page", ""),
        ("radio button", "Modify this page", ""),
        ("combo box", None, "Form Overlay:"),
        ("combo box", None, "Input Tray:"),
        ("text", "Form Overlay: description", ""),
        ("push button", "Apply", ""),
    ],
}
# Controls inside others (a combo box's popup and its items, a table's headers and cells, a
# tab bar's scroll buttons) belong to those and are not listed.
INNER = {"list", "list item", "table column header", "table cell", "table row"}
# What holds controls without being one (the sheet, its pages, scrolled areas).
CONTAINERS = {"filler", "panel", "layered pane", "scroll pane", "viewport"}


def start(command, **options):
    return subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            **options)


def virtual_display():
    # -noreset: a server that resets when its last client leaves (the bus launcher, which
    # only sets a property) refuses a program that connects meanwhile.
    read, write = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write), "-screen", "0", "1366x768x24", "-nolisten", "tcp",
         "-noreset"],
        pass_fds=(write,), stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as displayfd:
        number = displayfd.readline().strip()
    if not number:
        raise SystemExit("accessibility-test: Xvfb did not start")
    return server, ":" + number


def session_bus():
    out = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1",
                          "--print-pid=1"], capture_output=True, text=True, check=True)
    address, pid = out.stdout.split()[:2]
    return address, int(pid)


def poll(condition, timeout):
    """What condition gives once it gives something, or None after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        found = condition()
        if found or time.monotonic() >= deadline:
            return found or None
        time.sleep(0.1)


def wait_for(what, condition, timeout=60):
    found = poll(condition, timeout)
    if found is None:
        raise SystemExit(f"accessibility-test: timed out waiting for {what}")
    return found


def owned(address, name):
    """Whether a program has taken the name on the bus."""
    answer = subprocess.run(["dbus-send", "--bus=" + address, "--print-reply",
                             "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                             "org.freedesktop.DBus.NameHasOwner", "string:" + name],
                            capture_output=True, text=True)
    return "boolean true" in answer.stdout


def focusable(pyatspi, node, found):
    """The controls that take the focus, depth first, not descending into them."""
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is None:
            continue
        role = child.getRoleName()
        states = child.getState()
        if role in INNER or not states.contains(pyatspi.STATE_SHOWING):
            continue
        scroller = role == "push button" and child.name in ("Scroll Left", "Scroll Right")
        if states.contains(pyatspi.STATE_FOCUSABLE) and not scroller and role not in CONTAINERS:
            found.append(child)
            if role != "page tab list":
                continue
        focusable(pyatspi, child, found)
    return found


def labelled_by(pyatspi, node):
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            return relation.getTarget(0).name
    return ""


def describe(pyatspi, nodes):
    return [(n.getRoleName(), n.name, labelled_by(pyatspi, n)) for n in nodes]


def main():
    build, source = (os.path.abspath(path) for path in sys.argv[1:3])
    work = tempfile.mkdtemp(prefix="varnak-a11y-")
    processes = []
    bus_pid = None
    failures = []
    try:
        subprocess.run([os.path.join(source, "examples/install-demo.sh"), "--fresh",
                        os.path.join(work, "demo")], check=True, capture_output=True)
        server, display = virtual_display()
        processes.append(server)
        address, bus_pid = session_bus()
        env = dict(os.environ, DISPLAY=display, DBUS_SESSION_BUS_ADDRESS=address,
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
                   VARNAK_REGISTRY=os.path.join(work, "demo/registry.reg"),
                   ASAN_OPTIONS="detect_leaks=0")
        env.pop("QT_ACCESSIBILITY", None)
        processes.append(start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                               env=env))
        # Both sides find the accessibility bus through the launcher: one that asks before
        # it is there talks to the session bus instead and never meets the other.
        wait_for("the accessibility bus", lambda: owned(address, "org.a11y.Bus"))
        os.environ.update(DISPLAY=display, DBUS_SESSION_BUS_ADDRESS=address)
        import pyatspi  # connects to the buses set above
        said = os.path.join(work, "varnak.stderr")
        with open(said, "w") as stderr:
            varnak = subprocess.Popen([os.path.join(build, "bin/varnak"),
                                       "-R" + os.path.join(work, "ticket.prn")],
                                      env=env, cwd=work, stdout=subprocess.DEVNULL,
                                      stderr=stderr)
        processes.append(varnak)
        desktop = pyatspi.Registry.getDesktop(0)

        def dialog():
            for app in desktop:
                if app is not None and app.name == "varnak" and app.childCount > 0:
                    window = app.getChildAtIndex(0)
                    if window is not None and window.name == "ZOR Brevant":
                        return window
            return None

        window = poll(dialog, 60)
        if window is None:
            ended = varnak.poll()
            with open(said) as stderr:
                raise SystemExit("accessibility-test: the dialog was not announced; varnak "
                                 + ("is still running" if ended is None
                                    else f"ended with {ended}") + ": " + stderr.read())
        for page, own in PAGES.items():
            tabs = wait_for("the page tabs", lambda: [n for n in focusable(pyatspi, window, [])
                                                     if n.getRoleName() == "page tab"])
            tab = next(t for t in tabs if t.name == page)
            tab.queryAction().doAction(0)
            wait_for(page, lambda: tab.getState().contains(pyatspi.STATE_SELECTED))
            expected = DIALOG[:11] + own + DIALOG[11:]

            def alike(shown):
                return len(shown) == len(expected) and all(
                    role == want[0] and (want[1] is None or name == want[1]) and by == want[2]
                    for (role, name, by), want in zip(shown, expected))

            # The page's controls are announced as it shows them.
            if poll(lambda: alike(describe(pyatspi, focusable(pyatspi, window, []))), 10) is None:
                shown = describe(pyatspi, focusable(pyatspi, window, []))
                failures.append(f"{page}:\n  expected {expected}\n  read     {shown}")
            for node in focusable(pyatspi, window, []):
                states = node.getState()
                if node.getRoleName() == "page tab" and states.contains(pyatspi.STATE_FOCUSED):
                    failures.append(f"{page}: the tab {node.name} says it has the focus")
                if node.getRoleName() == "link":
                    actions = node.queryAction()
                    if actions.nActions < 1:
                        failures.append("the link can't be activated")
    finally:
        for process in reversed(processes):
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
        if bus_pid:
            os.kill(bus_pid, signal.SIGTERM)
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print("FAIL:", failure, file=sys.stderr)
    if not failures:
        print("accessibility-test: every control that takes the focus reads as the table says")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
