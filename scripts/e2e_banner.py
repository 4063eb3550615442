#!/usr/bin/python3
"""The banner-for-ad-slots job through the editor's real window, as a user or a screen reader
meets it: Ctrl+E writes what zefra-cli export writes; with "Size limit:" at 20 KB it writes at
most 20,480 bytes and the status bar says "of 20 KB"; File > "New Banner..." with "Leaderboard
728 x 90" gives a label whose W field reads 728; Ctrl+S on that untitled project opens "Save
Project as...". Run it with scripts/e2e.sh e2e_banner.py BUILD DISPLAY.

Usage: e2e_banner.py ZEFRA ZEFRA_CLI DEMO_DIR TEXTURES_DIR WORK_DIR
"""
import os
import shutil
import subprocess
import sys
import time

import pyatspi

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_atspi import (app, check, click, find_all, finish, focus_window, in_file_dialog, launch,  # noqa: E402
                       nodes, type_into, wait_for, xdo)

ZEFRA, CLI, DEMO, _TEXTURES, WORK = sys.argv[1:6]
PROJECT = os.path.join(WORK, "zefra-banner.lbl")


def named(role, match, timeout=10.0):
    """The visible control whose accessible name `match` accepts, or None when it does not come."""
    hits = []
    wait_for(lambda: hits.extend(find_all(role, lambda n: match(n.name or ""))) or hits, timeout)
    return hits[0] if hits else None


def act(role, name):
    """Runs a menu command through its accessible action, as a screen reader does."""
    for node in nodes(app()):
        try:
            if node.getRoleName() == role and node.name == name:
                node.queryAction().doAction(0)
                time.sleep(1.0)
                return True
        except Exception:
            continue
    return False


def wait_file(path, timeout=60.0):
    end = time.time() + timeout
    while time.time() < end:
        if os.path.exists(path) and os.path.getsize(path) > 0:
            time.sleep(0.5)
            return True
        time.sleep(0.3)
    return False


shutil.rmtree(WORK, ignore_errors=True)
shutil.copytree(DEMO, WORK)
editor = launch(ZEFRA, PROJECT, work=WORK)
window = focus_window()

# --- Ctrl+E writes what zefra-cli export writes -----------------------------------------
exported = os.path.join(WORK, "ctrl-e.gif")
xdo("key", "ctrl+e")
in_file_dialog(exported)
check(wait_file(exported), "Ctrl+E writes the GIF")
reference = os.path.join(WORK, "cli.gif")
subprocess.run([CLI, "export", PROJECT, reference], check=True, capture_output=True)
with open(exported, "rb") as a, open(reference, "rb") as b:
    check(a.read() == b.read(), "Ctrl+E writes the same bytes as zefra-cli export")

# --- a 20 KB size limit --------------------------------------------------------------------
xdo("windowfocus", "--sync", window)
click(named("page tab", lambda n: n == "GIF Properties"))
limit = named("check box", lambda n: n.startswith("Size limit"))
if not limit.getState().contains(pyatspi.STATE_CHECKED):
    click(limit)
type_into(named("spin button", lambda n: n == "Size limit"), "20")
xdo("key", "Tab")
time.sleep(1.0)
limited = os.path.join(WORK, "limited.gif")
xdo("key", "ctrl+e")
in_file_dialog(limited)
check(wait_file(limited, 120), "Ctrl+E writes the GIF within the limit")
size = os.path.getsize(limited) if os.path.exists(limited) else 0
check(0 < size <= 20480, f"the GIF within a 20 KB limit has {size} bytes")
status = named("label", lambda n: "of 20 KB" in n, timeout=20)
check(status is not None, "the status bar says \"of 20 KB\"" + (f" ({status.name!r})" if status else ""))
subprocess.run(["import", "-window", "root", os.path.join(WORK, "e2e-banner-limit.png")], check=False)

# --- New Banner -> Leaderboard 728 x 90 ---------------------------------------------------
# The menu command opens a modal dialog, so the accessible call may not come back at once.
act("menu item", "New Banner...")
answer = named("push button", lambda n: n == "No", timeout=3)  # the save question, if asked
if answer:
    click(answer)
item = named("list item", lambda n: n.startswith("Leaderboard"))
check(item is not None, "File > \"New Banner...\" lists the Leaderboard")
if item:
    click(item)
    subprocess.run(["import", "-window", "root", os.path.join(WORK, "e2e-new-banner.png")], check=False)
    click(named("push button", lambda n: n == "OK"))
    time.sleep(1.5)
    click(named("page tab", lambda n: n == "General"))
    width = named("text", lambda n: n == "W:")
    text = width.queryText()
    check(text.getText(0, text.characterCount) == "728", "the W field reads 728")

# --- Ctrl+S on the untitled project opens "Save Project as..." ------------------------------
xdo("windowfocus", "--sync", window)
xdo("key", "ctrl+s")
# "Save Project as..." asks for the name in the program's "Save As" file dialog.
dialog = named("dialog", lambda n: n in ("Save As", "Save Project as..."), timeout=10)
check(dialog is not None, "Ctrl+S on an untitled project opens \"Save Project as...\"")
if dialog:
    xdo("key", "Escape")

editor.kill()
editor.wait(10)
finish()
