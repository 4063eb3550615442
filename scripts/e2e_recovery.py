#!/usr/bin/python3
"""Loses an editor in the middle of unsaved work and gets the work back, the way a user
meets it: an edit is typed into a project, the editor copies it aside after its autosave
delay, the editor is killed with SIGKILL, and the next start offers "Recover Unsaved Work";
Recover brings the edit back under the project's own name, marked modified, and Save
writes it where the project lives. The user's file is never written before that Save.

Run it with scripts/e2e.sh e2e_recovery.py BUILD (a virtual display, a session bus and the
accessibility bus). Takes about a minute: the autosave waits its full 20 seconds.

Usage: e2e_recovery.py ZEFRA ZEFRA_CLI DEMO_DIR TEXTURES_DIR WORK_DIR 
"""
import glob
import os
import shutil
import signal
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_atspi import (app, check, click, find, finish, focus_window, launch, nodes, shot, type_into,  # noqa: E402
                       wait_for, xdo)

ZEFRA, _CLI, DEMO, _TEXTURES, WORK = sys.argv[1:6]
PROJECT = os.path.join(WORK, "zefra-banner.lbl")
COPIES = os.path.join(WORK, "data", "zefra", "recovery")
TEXT = "Typed before the crash"


def caption():
    """The main window's title as the accessibility bus shows it."""
    for node in app():
        if node.getRoleName() == "frame" and node.name:
            return node.name
    return None


def found(role, name, timeout=5.0):
    """The visible control, or None when it does not come."""
    try:
        return find(role, name, timeout=timeout)
    except SystemExit:
        return None


def copies():
    return sorted(os.path.basename(p) for p in glob.glob(os.path.join(COPIES, "*.lbl")))


shutil.rmtree(WORK, ignore_errors=True)
shutil.copytree(DEMO, WORK)
with open(PROJECT, "rb") as f:
    saved = f.read()

# --- an unsaved edit, copied aside by the autosave, then the editor dies ---------------
editor = launch(ZEFRA, PROJECT, work=WORK)
focus_window()
click(find("page tab", "3DText"))
type_into(find("text", "Enter text"), TEXT)
xdo("key", "Tab")
check(wait_for(lambda: caption() == "zefra-banner.lbl*", 5), f"the caption marks the unsaved edit ({caption()!r})")
edited = time.time()
check(wait_for(lambda: len(copies()) == 1, 45), "a recovery copy appears in $XDG_DATA_HOME/zefra/recovery")
print(f"        the copy came {time.time() - edited:.1f} s after the edit")
lost = copies()
os.kill(editor.pid, signal.SIGKILL)
editor.wait(10)
time.sleep(1.0)
with open(PROJECT, "rb") as f:
    check(f.read() == saved, "the project file is as the user last saved it")
check(copies() == lost, "the copy outlives the killed editor")

# --- the next start offers the work back ----------------------------------------------
editor = launch(ZEFRA, work=WORK)
check(found("dialog", "Recover Unsaved Work", timeout=10) is not None,
      'the next start shows "Recover Unsaved Work"')
entries = [n.name for n in nodes(find("list", "Unsaved projects")) if n.getRoleName() == "list item"]
check(len(entries) == 1 and entries[0].startswith(f"zefra-banner.lbl in {WORK}, "),
      f"the list names the project, its folder and the time ({entries})")
recover = find("push button", "Recover")
check(found("push button", "Discard") is not None, "the dialog offers Recover and Discard")
time.sleep(0.5)
shot(os.path.join(WORK, "recovery_dialog.png"))
click(recover)

check(wait_for(lambda: caption() == "zefra-banner.lbl*", 5),
      f"the recovered project shows its own name with the modified mark ({caption()!r})")
click(find("page tab", "3DText"))
text = find("text", "Enter text").queryText()
check(text.getText(0, text.characterCount) == TEXT, "the edit is there")
check(wait_for(lambda: len(copies()) == 1 and copies() != lost, 5),
      f"the dead editor's copy gave way to this editor's own ({copies()})")
shot(os.path.join(WORK, "recovered.png"))

# --- Save writes where the user meant, and the copy goes -------------------------------
focus_window()
xdo("key", "ctrl+s")
check(wait_for(lambda: caption() == "zefra-banner.lbl", 5), "after Save the caption has no mark")
with open(PROJECT, "rb") as f:
    check(TEXT.encode() in f.read(), "the saved project holds the edit")
check(wait_for(lambda: copies() == [], 5), "the recovery copy is gone after Save")
editor.terminate()
editor.wait(10)
finish()
