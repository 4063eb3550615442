"""Drives the editor's real window for the end-to-end scripts: controls are found through
the accessibility tree (AT-SPI, every control named by its caption or hint) and used with
real mouse clicks and key presses (xdotool), so what is checked is what a user or a screen
reader meets. The scripts run under a virtual display with a session bus and the
accessibility bus (see scripts/e2e_*.sh)."""
import subprocess
import sys
import time

import pyatspi

failures = []


def check(condition, what):
    print(("ok      " if condition else "FAILED  ") + what, flush=True)
    if not condition:
        failures.append(what)


def finish():
    print("\n%d check(s) failed" % len(failures) if failures else "\nall checks passed")
    sys.exit(1 if failures else 0)


def xdo(*args):
    subprocess.run(["xdotool", *args], check=True)


def nodes(root):
    stack = [root]
    while stack:
        node = stack.pop()
        yield node
        try:
            stack.extend(list(node))
        except Exception:
            pass


def app(name="Zefra"):
    for _ in range(100):
        for a in pyatspi.Registry.getDesktop(0):
            if a and a.name == name:
                return a
        time.sleep(0.1)
    raise SystemExit("the editor did not appear on the accessibility bus")


def visible(node):
    try:
        e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return e.width > 0 and e.height > 0 and node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def find(role, name=None, description=None, timeout=5.0):
    """The visible control with this role and accessible name (or description)."""
    end = time.time() + timeout
    while time.time() < end:
        for node in nodes(app()):
            try:
                if node.getRoleName() != role:
                    continue
                if name is not None and node.name != name:
                    continue
                if description is not None and node.description != description:
                    continue
            except Exception:
                continue
            if visible(node):
                return node
        time.sleep(0.1)
    raise SystemExit(f"no visible {role} {name!r} {description!r}")


def click(node, count=1):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    xdo("mousemove", str(e.x + e.width // 2), str(e.y + e.height // 2))
    xdo("click", "--repeat", str(count), "1")
    time.sleep(0.3)


def type_into(node, text):
    click(node)
    xdo("key", "ctrl+a")
    xdo("type", "--delay", "30", text)
    time.sleep(0.3)


def shot(path):
    subprocess.run(["import", "-window", "root", path], check=False)
