#!/usr/bin/python3
"""Uses the editor's real window the way a user does and checks what it promises: the open
preview follows an edit and "Save GIF..." writes the GIF of the project as it now is; the
colour dialog still opens after the font dialog's colour button; Ctrl+Z undoes a canvas
drag and a spin's arrow click while the focus stays in the control; the live size is read
by a screen reader with its figure; and "Set Color as Transparent" on a palette cell makes
exactly the pixels shown in that colour transparent.

Controls are found through the accessibility tree (AT-SPI) by their captions and hints, and
driven with real mouse clicks and keys (xdotool). Run it with scripts/e2e.sh e2e_editor.py BUILD, which
starts a virtual display, a session bus and the accessibility bus.

Usage: e2e_editor.py ZEFRA ZEFRA_CLI DEMO_DIR TEXTURES_DIR WORK_DIR
"""
import json
import os
import shutil
import subprocess
import sys
import time

import pyatspi
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_atspi import (app, check, click, find, find_all, finish, focus_window, in_file_dialog,  # noqa: E402
                       launch, nodes, type_into, wait_for, xdo)

ZEFRA, CLI, DEMO, _TEXTURES, WORK = sys.argv[1:6]
PROJECT = os.path.join(WORK, "zefra-banner.lbl")


def extents(node):
    return node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


def value_of(node):
    return int(node.queryValue().currentValue)


def shot(name):
    subprocess.run(["import", "-window", "root", os.path.join(WORK, name)], check=False)


def alive(process):
    return process.poll() is None


def answer_message(timeout=20.0):
    """Closes the message box the editor shows (with Return) and answers its text."""
    end = time.time() + timeout
    while time.time() < end:
        for a in find_all("alert", lambda n: True) + find_all("dialog", lambda n: n.name in ("Zefra", "Information")):
            texts = [n.name for n in nodes(a) if n.getRoleName() == "label" and n.name]
            xdo("key", "Return")
            time.sleep(0.5)
            return " ".join(texts)
        time.sleep(0.2)
    return ""


def composed_frames(path, mode):
    image = Image.open(path)
    frames = []
    for k in range(getattr(image, "n_frames", 1)):
        image.seek(k)
        frames.append(image.convert(mode))
    return frames


def cli(*args):
    return subprocess.run([CLI, *args], capture_output=True, text=True)


shutil.rmtree(WORK, ignore_errors=True)
shutil.copytree(DEMO, WORK)
editor = launch(ZEFRA, PROJECT, work=WORK)
window = focus_window()

# --- the live size is read with its figure ----------------------------------------------
size = find("label", prefix="GIF: ", timeout=30)
wait_for(lambda: "bytes" in find("label", prefix="GIF: ").name)
size = find("label", prefix="GIF: ")
check("bytes" in size.name and any(c.isdigit() for c in size.name),
      f"the live size's accessible name carries the figure ({size.name!r})")

# --- the open preview follows an edit; Save GIF writes the GIF of the project as it is --
click(find("push button", "GIF Preview"))
# The preview is a top-level window of the application named "GIF Preview".
check(wait_for(lambda: any(w.name == "GIF Preview" for w in app())), "the preview window opens")
time.sleep(2.0)
xdo("windowfocus", "--sync", window)
click(find("page tab", "3DText"))
type_into(find("text", "Enter text"), "Fresh edit in the preview")
xdo("key", "Tab")
time.sleep(0.4)
shot("e2e-preview-updating.png")
time.sleep(3.0)
shot("e2e-preview-updated.png")
saved_gif = os.path.join(WORK, "from-preview.gif")
click(find("push button", "Save GIF..."))
in_file_dialog(saved_gif)
message = answer_message()
check("successfully created" in message, f"Save GIF reports success ({message!r})")
xdo("windowfocus", "--sync", window)
xdo("key", "ctrl+s")
time.sleep(1.0)
reference = os.path.join(WORK, "from-cli.gif")
result = cli("export", PROJECT, reference)
check(result.returncode == 0, "zefra-cli exports the saved project")
with open(saved_gif, "rb") as a, open(reference, "rb") as b:
    check(a.read() == b.read(), "the GIF saved from the preview equals zefra-cli export of the saved project")

# --- Font... -> Color: -> Cancel -> Cancel, then a colour button: the editor lives -------
xdo("windowfocus", "--sync", window)
click(find("page tab", "3DText"))
click(find("push button", "Font..."))
font = find("dialog", "Font")
click(find("push button", "Color:"))
find("dialog", "Select Color")
click(find("push button", "Cancel"))
time.sleep(0.5)
cancels = find_all("push button", lambda n: n.name == "Cancel")
click(cancels[0])
time.sleep(0.5)
click(find("page tab", "General"))
click(find("push button", "Frame Color"))
colour = find("dialog", "Select Color")
check(alive(editor) and colour is not None, "after the font dialog a colour button opens \"Select Color\"")
click(find("push button", "Cancel"))
time.sleep(0.5)
check(alive(editor), "the editor is still running")

# --- a drag on the canvas, then Ctrl+Z with the focus left on the canvas ----------------
canvas = next(n for n in nodes(app()) if n.name == "Frame canvas")
c = extents(canvas)
grab = None
for y in range(c.y + 4, c.y + min(c.height, 90), 4):
    for x in range(c.x + 4, c.x + min(c.width, 470), 6):
        xdo("mousemove", str(x), str(y))
        time.sleep(0.02)
        panes = find_all("label", lambda n: n.name.startswith("Object: Text String"))
        if panes:
            grab = (x, y, panes[0].name)
            break
    if grab:
        break
check(grab is not None, "the status bar names a text under the mouse")
if grab:
    x, y, what = grab
    slot = int(what.rsplit(" ", 1)[1])
    click(find("page tab", "3DText"))
    text_x = find("spin button", "Text X")
    xdo("mousemove", str(x), str(y))
    xdo("mousedown", "1")
    for step in range(1, 11):
        xdo("mousemove", str(x + 2 * step), str(y))
        time.sleep(0.03)
    xdo("mouseup", "1")
    time.sleep(0.5)
    text_x = find("spin button", "Text X")
    moved = value_of(text_x)
    xdo("key", "ctrl+z")
    time.sleep(0.5)
    restored = value_of(find("spin button", "Text X"))
    check(moved - restored == 20, f"Ctrl+Z after a 20-pixel drag brings Text String {slot} back ({moved} -> {restored})")

# --- a spin's arrow, then Ctrl+Z with the focus still in the spin -----------------------
click(find("page tab", "3DText"))
spin = find("spin button", "Font size")
e = extents(spin)
start_value = value_of(spin)
xdo("mousemove", str(e.x + e.width - 5), str(e.y + 4))
xdo("click", "1")
time.sleep(0.5)
stepped = value_of(find("spin button", "Font size"))
xdo("key", "ctrl+z")
time.sleep(0.5)
back = value_of(find("spin button", "Font size"))
check(stepped == start_value + 1 and back == start_value,
      f"a spin's arrow and Ctrl+Z in the spin ({start_value} -> {stepped} -> {back})")

# --- "Set Color as Transparent" on a quantised palette cell -----------------------------
xdo("key", "ctrl+s")
time.sleep(1.0)
opaque = os.path.join(WORK, "opaque.gif")
cli("export", PROJECT, opaque)
rendered = set()
frames = json.loads(cli("info", "--json", PROJECT).stdout)["frames"]
for k in range(1, frames + 1):
    png = os.path.join(WORK, f"render-{k}.png")
    cli("render", PROJECT, png, "--frame", str(k))
    rendered |= set(c for _, c in Image.open(png).convert("RGB").getcolors(1 << 24))
opaque_frames = composed_frames(opaque, "RGB")
shown = {}
for f in opaque_frames:
    for count, c in f.getcolors(1 << 24):
        shown[c] = shown.get(c, 0) + count
quantised = [c for c in shown if c not in rendered]
check(len(quantised) > 0, f"the demo's GIF shows colours no rendered pixel has ({len(quantised)})")
target = max(quantised, key=lambda c: shown[c]) if quantised else None
if target:
    xdo("windowfocus", "--sync", window)
    # The palette panel shows the table of the GIF the preview built.
    click(find("push button", "GIF Preview"))
    wait_for(lambda: any(w.name == "GIF Preview" for w in app()))
    time.sleep(2.0)
    click(find("page tab", "GIF Properties"))
    time.sleep(1.0)
    hex_target = "#%02X%02X%02X" % target
    # A cell is named "Colour N" and describes its colour as #RRGGBB.
    cell = next((n for n in find_all("push button", lambda n: n.name.startswith("Colour "))
                 if (n.description or "").upper() == hex_target), None)
    if cell is None:
        shown_cells = find_all("push button", lambda n: n.name.startswith("Colour "))
        print("cells:", len(shown_cells), [n.description for n in shown_cells][:8])
    check(cell is not None, f"the palette panel has a cell for {hex_target}")
    if cell:
        click(cell)
        # The cell's pop-up menu; its items do not always report themselves as showing.
        items = []
        wait_for(lambda: items.extend(n for n in nodes(app()) if n.getRoleName() == "menu item"
                                      and n.name == "Set Color as Transparent" and extents(n).width > 0) or items, 10)
        shot("e2e-palette-menu.png")
        if items:
            click(items[0])
        else:
            # The pop-up is not always on the bus; its last item is "Set Color as Transparent".
            xdo("key", "Up")
            xdo("key", "Return")
        time.sleep(4.0)
        shot("e2e-transparent-set.png")
        transparent_gif = os.path.join(WORK, "transparent.gif")
        click(find("push button", "Save GIF..."))
        in_file_dialog(transparent_gif)
        answer_message()
        shot("e2e-transparent-saved.png")
        if not os.path.exists(transparent_gif):
            check(False, "Save GIF wrote the transparent GIF")
            editor.terminate()
            sys.exit(1)
        image = Image.open(transparent_gif)
        check("transparency" in image.info, "the saved GIF has a transparent index")
        wrong = 0
        for opaque_frame, frame in zip(opaque_frames, composed_frames(transparent_gif, "RGBA")):
            for a, b in zip(opaque_frame.getdata(), frame.getdata()):
                if (b[3] == 0) != (a == target):
                    wrong += 1
        check(wrong == 0, f"exactly the pixels shown in {hex_target} are transparent ({wrong} differ)")
        shot("e2e-transparent.png")

editor.terminate()
editor.wait(10)
finish()
