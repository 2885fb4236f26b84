#!/usr/bin/python3
"""What a screen reader is told about the main window, read through the real AT-SPI bus.

Runs under Xvfb in a session bus of its own (see CMakeLists.txt); pyatspi starts the
accessibility bus through the session bus's activation, as a desktop session would.
Usage: screen_reader_test.py WINDOW_PROGRAM
"""
import os
import subprocess
import sys
import time

import pyatspi

SKIP = 77
TEXTS = {}


def texts_from_header(path):
    """The operator's words, from core's one list of them, so that none is copied here."""
    import re
    source = open(path, encoding="utf-8").read()
    for name, value in re.findall(r'constexpr const char\* (\w+) =\s*"((?:[^"\\]|\\.)*)";', source):
        TEXTS[name] = value


def walk(node, depth=0):
    if node is None or depth > 12:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def find_app(name, seconds=15):
    end = time.time() + seconds
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    return None


def by_role_and_name(app):
    """Each node under its own name and under the name of each label that labels it."""
    found = {}
    for node in walk(app):
        names = [node.name]
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                names += [relation.getTarget(i).name for i in range(relation.getNTargets())]
        for name in names:
            found.setdefault((node.getRoleName(), name), node)
    return found


def wait_for(what, check, seconds=5):
    end = time.time() + seconds
    while time.time() < end:
        value = check()
        if value:
            return value
        time.sleep(0.1)
    raise AssertionError("timed out waiting for " + what)


def main():
    program = sys.argv[1]
    texts_from_header(sys.argv[2])
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    window = subprocess.Popen([program], stdin=subprocess.PIPE, env=env)
    failures = []
    try:
        try:
            pyatspi.Registry.getDesktop(0)
        except Exception as error:  # the bus itself is missing: nothing here can be checked
            print("SKIP: no AT-SPI bus:", error)
            return SKIP
        app = find_app(os.path.basename(program))
        if app is None:
            print("FAIL: the window never appeared on the AT-SPI bus")
            return 1

        expected = [
            ("combo box", "Source Drive"), ("tree", "Source Folder"), ("list", "Source File"),
            ("combo box", "Destination Drive"), ("push button", "HELP"),
            ("push button", "Programme MMC Card"), ("progress bar", TEXTS["progressName"]),
            ("text", "Guidance Box"), ("list", "Track"), ("list", "Message Tracks List"),
            ("list", "Mode"), ("push button", "Mode 0"), ("push button", "Mode 1"),
            ("push button", "Mode 2"), ("push button", "Delete"), ("push button", "New"),
            ("push button", "Quit"), ("label", "Message File Selection"), ("label", "Guidance Box"), ("image", None),
            ("label", "Play while button pressed"), ("panel", TEXTS["deletingFiles"]),
            ("list", TEXTS["deletingFiles"]), ("push button", "O.K."), ("push button", "CANCEL"),
        ]
        controls = by_role_and_name(app)
        for role, name in expected:
            if name is None:
                if not any(r == role and n for r, n in controls):
                    failures.append("no %s with a name" % role)
            elif (role, name) not in controls:
                failures.append("no %s named %r" % (role, name))

        def label4():
            return next((n for n in walk(app) if n.getRoleName() == "label" and
                         n.description.startswith("Destination")), None)

        status = label4()
        if status is None or status.description != TEXTS["destinationNotReady"]:
            failures.append("Label4 before a card: %r" % (status and status.description))
        window.stdin.write(b"card\n")
        window.stdin.flush()
        ready = wait_for("Label4 ready", lambda: (label4() or status).description == TEXTS["destinationReady"]
                         and label4())
        if not ready.name.startswith(TEXTS["capacityPrefix"]):
            failures.append("Label4 with a card is named %r" % ready.name)
        window.stdin.write(b"fixed\n")
        window.stdin.flush()
        gone = wait_for("Label4 not ready", lambda: label4().description == TEXTS["destinationNotReady"]
                        and label4())
        if gone.name != TEXTS["notFlashCard"]:
            failures.append("Label4 on a fixed drive is named %r" % gone.name)

        mode2 = by_role_and_name(app)[("push button", "Mode 2")]
        before = mode2.description
        mode2.queryAction().doAction(0)
        armed = wait_for("Mode 2 armed", lambda: mode2.description == TEXTS["armedMode"] and mode2)
        if before == armed.description:
            failures.append("Mode 2 said it was armed before it was pressed")
    finally:
        window.stdin.close()
        try:
            window.wait(10)
        except subprocess.TimeoutExpired:
            window.kill()
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
