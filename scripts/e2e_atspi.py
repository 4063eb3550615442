"""Drives the editor's real window for the end-to-end scripts: controls are found through
the accessibility tree (AT-SPI, every control named by its caption or hint) and used with
real mouse clicks and key presses (xdotool), so what is checked is what a user or a screen
reader meets. The scripts run under a virtual display with a session bus and the
accessibility bus (see scripts/e2e.sh)."""
import os
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


def find_all(role, match):
    """Every visible control with this role that `match` accepts."""
    found = []
    for node in nodes(app()):
        try:
            if node.getRoleName() == role and match(node) and visible(node):
                found.append(node)
        except Exception:
            continue
    return found


def find(role, name=None, description=None, timeout=5.0, prefix=None):
    """The visible control with this role and accessible name (or description, or name prefix)."""
    end = time.time() + timeout
    while time.time() < end:
        hits = find_all(role, lambda n: (name is None or n.name == name)
                        and (description is None or n.description == description)
                        and (prefix is None or (n.name or "").startswith(prefix)))
        if hits:
            return hits[0]
        time.sleep(0.1)
    raise SystemExit(f"no visible {role} {name!r} {description!r} {prefix!r}")


def wait_for(condition, timeout=30.0):
    end = time.time() + timeout
    while time.time() < end:
        if condition():
            return True
        time.sleep(0.2)
    return bool(condition())


def launch(zefra, *args, work=None):
    """Starts the editor with the accessibility bus on; with `work`, its settings and
    recovery copies live there instead of the user's folders."""
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    if work:
        env.update(XDG_DATA_HOME=os.path.join(work, "data"), XDG_CONFIG_HOME=os.path.join(work, "config"))
    process = subprocess.Popen([zefra, *args], env=env)
    app()
    time.sleep(1.5)
    return process


def focus_window(title="zefra-banner"):
    window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", title],
                            capture_output=True, text=True).stdout.split()[0]
    xdo("windowfocus", "--sync", window)
    return window


def in_file_dialog(path):
    """Types a path into the file dialog that has just opened (its name field has the focus)."""
    time.sleep(1.0)
    xdo("key", "ctrl+a")
    xdo("type", "--delay", "20", path)
    xdo("key", "Return")
    time.sleep(1.0)


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
