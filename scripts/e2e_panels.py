#!/usr/bin/python3
"""Edits a demo banner through the editor's real window, the way a user does, and checks
that the saved project and the GIF exported from it carry the edits.

The window is found through the accessibility tree (AT-SPI: every control is named by its
caption or hint) and driven with real mouse clicks and key presses (xdotool), so what is
tested is what a user or a screen reader meets. Run it with scripts/e2e.sh e2e_panels.py BUILD, which
starts a virtual display, a session bus and the accessibility bus.

Usage: e2e_panels.py ZEFRA ZEFRA_CLI DEMO_DIR TEXTURES_DIR WORK_DIR
"""
import os
import shutil
import subprocess
import sys
import time

import pyatspi

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_atspi import check, click, find, finish, focus_window, in_file_dialog, launch, type_into, xdo  # noqa: E402

ZEFRA, CLI, DEMO, TEXTURES, WORK = sys.argv[1:6]
PROJECT = os.path.join(WORK, "zefra-banner.lbl")
PICTURE = os.path.join(WORK, "zefra-logo.bmp")
TEXTURE = os.path.join(TEXTURES, "marble.bmp")
TEXT = "Edited by hand"

def label_text(name):
    # A file-name label is named after what it shows and describes it with the name.
    return find("label", name).description


def choose_color(button, html):
    click(button)
    field = find("text", "HTML color")
    type_into(field, html)
    click(find("push button", "OK"))


def shot(name):
    subprocess.run(["import", "-window", "root", os.path.join(WORK, name)], check=False)


shutil.rmtree(WORK, ignore_errors=True)
shutil.copytree(DEMO, WORK)
subprocess.run([CLI, "export", PROJECT, os.path.join(WORK, "before.gif")], check=True, capture_output=True)

# --- edit as a user would -------------------------------------------------------------
editor = launch(ZEFRA, PROJECT)
window = focus_window()

click(find("page tab", "3DText"))
type_into(find("text", "Enter text"), TEXT)
xdo("key", "Tab")
choose_color(find("push button", "Gradient Color1"), "#FF8822")
click(find("push button", "Load Texture..."))
in_file_dialog(TEXTURE)
shot("e2e-text-page.png")

click(find("page tab", "General"))
borders = find("check box", "Add Borders")
if not borders.getState().contains(pyatspi.STATE_CHECKED):
    click(borders)
type_into(find("spin button", "Bevel:"), "4")
xdo("key", "Tab")
choose_color(find("push button", "Gradient Color1"), "#00FF00")
choose_color(find("push button", "Frame Color"), "#224466")
shot("e2e-general-page.png")

click(find("page tab", "Pictures/Shapes"))
choose_color(find("push button", "Shape Color"), "#FF0000")
click(find("push button", "Load Picture..."))
in_file_dialog(PICTURE)
shot("e2e-pictures-page.png")

xdo("windowfocus", "--sync", window)
xdo("key", "ctrl+s")
time.sleep(1.0)
editor.terminate()
editor.wait(10)

# --- reopen: the edits are in the saved project ---------------------------------------
editor = launch(ZEFRA, PROJECT)
window = focus_window()
click(find("page tab", "3DText"))
text = find("text", "Enter text").queryText()
check(text.getText(0, text.characterCount) == TEXT, "the reopened project shows the typed text")
check(find("push button", "Gradient Color1").description == "#FF8822", "text gradient colour kept")
check(label_text("Texture file") == "marble.bmp", "texture file kept")
click(find("page tab", "General"))
check(find("push button", "Frame Color").description == "#224466", "frame colour kept")
check(find("push button", "Gradient Color1").description == "#00FF00", "background gradient colour kept")
bevel = find("spin button", "Bevel:").queryValue()
check(int(bevel.currentValue) == 4, "bevel width kept")
click(find("page tab", "Pictures/Shapes"))
check(find("push button", "Shape Color").description == "#FF0000", "shape colour kept")
check(label_text("Picture file") == "zefra-logo.bmp", "picture file kept")
shot("e2e-reopened.png")
editor.terminate()
editor.wait(10)

# --- export: the GIF shows the edits ---------------------------------------------------
info = subprocess.run([CLI, "info", PROJECT], capture_output=True, text=True).stdout
frame1 = next(line for line in info.splitlines() if line.startswith("Frame 1:"))
check("pictures 1;" in frame1 and "textures 1" in frame1, "zefra-cli info lists the picture and texture of frame 1")
after = os.path.join(WORK, "after.gif")
subprocess.run([CLI, "export", PROJECT, after], check=True, capture_output=True)
first = os.path.join(WORK, "after-frame1.png")
subprocess.run(["convert", after + "[0]", first], check=True)
colours = subprocess.run(["convert", first, "-format", "%c", "histogram:info:-"], capture_output=True, text=True).stdout
check("#FF0000" in colours.upper(), "the exported first frame has the shape colour #FF0000")
# The green gradient is blended along the label, so count green pixels, not one value.
green = 0
for line in colours.splitlines():
    count, _, rest = line.strip().partition(":")
    r, g, b = (int(v) for v in rest.split("(")[1].split(")")[0].split(",")[:3])
    if g >= 200 and r <= 120:
        green += int(count)
check(green > 5000, f"the exported first frame shows the green background gradient ({green} pixels)")
with open(os.path.join(WORK, "before.gif"), "rb") as a, open(after, "rb") as b:
    check(a.read() != b.read(), "the exported GIF differs from the one of the unedited demo")

finish()
