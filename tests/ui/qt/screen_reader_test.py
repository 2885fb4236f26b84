#!/usr/bin/python3
"""What a screen reader is told about the main window, read through the real AT-SPI bus.

Runs in a session bus of its own (see CMakeLists.txt) and starts its own Xvfb; pyatspi starts
the accessibility bus through the session bus's activation, as a desktop session would.
Usage: screen_reader_test.py WINDOW_PROGRAM
"""
import os
import re
import subprocess
import sys
import time

import pyatspi

SKIP = 77
TEXTS = {}


def texts_from_header(path):
    """The operator's words, from core's one list of them, so that none is copied here."""
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


def start_display():
    """An Xvfb of our own on the first display number free here. It must not reset when its last
    client leaves: the window could be connecting just then."""
    for number in range(50, 100):
        if os.path.exists("/tmp/.X%d-lock" % number):
            continue
        display = ":%d" % number
        server = subprocess.Popen(["Xvfb", display, "-noreset", "-nolisten", "tcp", "-screen", "0", "1024x768x24"],
                                  stderr=subprocess.DEVNULL)
        for _ in range(100):
            if server.poll() is not None:
                break
            if subprocess.run(["xdpyinfo", "-display", display], capture_output=True).returncode == 0:
                return server, display
            time.sleep(0.05)
        server.kill()
        server.wait()
    raise RuntimeError("no X display could be started")


def main():
    program = sys.argv[1]
    texts_from_header(sys.argv[2])
    server, display = start_display()
    env = dict(os.environ, DISPLAY=display, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
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
            ("push button", "Quit"), ("label", "Message File Selection"), ("label", "Guidance Box"),
            ("label", "Play while button pressed"), ("image", None), ("panel", TEXTS["deletingFiles"]),
            ("list", TEXTS["deletingFiles"]), ("push button", "O.K."), ("push button", "CANCEL"),
        ]
        controls = by_role_and_name(app)
        for role, name in expected:
            if name is None:
                if not any(r == role and n for r, n in controls):
                    failures.append("no %s with a name" % role)
            elif (role, name) not in controls:
                failures.append("no %s named %r" % (role, name))

        def label4_telling(words):
            return next((n for n in walk(app) if n.getRoleName() == "label" and n.description == words), None)

        # Label4 in both states, each reached by picking the destination drive.
        for drive, words, named in (
                ("fixed", "destinationNotReady", lambda name: name == TEXTS["notFlashCard"]),
                ("card", "destinationReady", lambda name: name.startswith("Removeable Drive   Capacity =  ")),
                ("fixed", "destinationNotReady", lambda name: name == TEXTS["notFlashCard"])):
            window.stdin.write(drive.encode() + b"\n")
            window.stdin.flush()
            status = wait_for("Label4 to say " + words, lambda: label4_telling(TEXTS[words]))
            if not named(status.name):
                failures.append("Label4 on the %s drive is named %r" % (drive, status.name))

        mode2 = by_role_and_name(app)[("push button", "Mode 2")]
        if mode2.description == TEXTS["armedMode"]:
            failures.append("Mode 2 said it was armed before it was pressed")
        mode2.queryAction().doAction(0)
        wait_for("Mode 2 to say it is armed", lambda: mode2.description == TEXTS["armedMode"])
    finally:
        window.stdin.close()
        try:
            window.wait(10)
        except subprocess.TimeoutExpired:
            window.kill()
        server.terminate()
        server.wait(10)
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
