"""The timeline and layer tools through the editor's real window, as a user or a screen
reader meets them: the frame strip "Frames" names every frame with its delay, Page Down
steps, a delay typed with frames 2-4 selected reaches those frames only, the text layer list
names its content, "Copy Layer to All Frames" puts a text in every frame, "Centre
Horizontally" centres the painted text, a PNG picture with alpha is blended over the label,
and the preview pauses and steps.

Controls are found through the accessibility tree (AT-SPI) by their captions and hints and
driven with real clicks and keys (xdotool). What the editor wrote is read back with
zefra-cli (info, render) and Pillow. Run it with scripts/e2e.sh e2e_timeline.py BUILD.

Usage: e2e_timeline.py ZEFRA ZEFRA_CLI DEMO_DIR TEXTURES_DIR WORK_DIR
"""
import json
import os
import shutil
import subprocess
import sys
import time

from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_atspi import (app, check, click, find, find_all, finish, focus_window, in_file_dialog,  # noqa: E402
                       launch, nodes, shot, type_into, visible, wait_for, xdo)

ZEFRA, CLI, DEMO, _TEXTURES, WORK = sys.argv[1:6]
PROJECT = os.path.join(WORK, "zefra-banner.lbl")


def cli(*args):
    return subprocess.run([CLI, *args], capture_output=True, text=True)


def info(project=PROJECT):
    return json.loads(cli("info", "--json", project).stdout)


def render(name, frame=1, project=PROJECT):
    path = os.path.join(WORK, name)
    cli("render", project, path, "--frame", str(frame))
    return Image.open(path).convert("RGB")


def save():
    focus_window()
    xdo("key", "ctrl+s")
    time.sleep(1.5)


def strip_items():
    strip = find("list", "Frames")
    return [n for n in nodes(strip) if n.getRoleName() == "list item"]


def frame_pane():
    panes = find_all("label", lambda n: (n.name or "").startswith("Frame ") and " of " in n.name)
    return panes[0].name if panes else ""


def act(name):
    """Runs a menu command through its accessible action, as a screen reader does."""
    items = find_all("menu item", lambda n: n.name == name)
    if not items:
        for node in nodes(app()):
            try:
                if node.getRoleName() == "menu item" and node.name == name:
                    items = [node]
                    break
            except Exception:
                continue
    check(bool(items), f"the menu has \"{name}\"")
    if items:
        items[0].queryAction().doAction(0)
        time.sleep(1.0)


def field(prefix):
    """The text or spin field whose caption starts with `prefix`."""
    hits = find_all("text", lambda n: (n.name or "").startswith(prefix)) or \
        find_all("spin button", lambda n: (n.name or "").startswith(prefix))
    if not hits:
        raise SystemExit(f"no field {prefix!r}")
    return hits[0]


def choose_in_combo(combo, steps):
    """Picks the entry `steps` below the current one with the keyboard, as a user would."""
    click(combo)
    for _ in range(steps):
        xdo("key", "Down")
    xdo("key", "Return")
    time.sleep(0.6)


def changed_box(before, after):
    """The box of the pixels that differ between two renders (left, top, right, bottom)."""
    w, h = before.size
    a, b = before.load(), after.load()
    xs = [x for x in range(w) for y in range(h) if a[x, y] != b[x, y]]
    ys = [y for y in range(h) for x in range(w) if a[x, y] != b[x, y]]
    return (min(xs), min(ys), max(xs), max(ys)) if xs else None


shutil.rmtree(WORK, ignore_errors=True)
shutil.copytree(DEMO, WORK)
editor = launch(ZEFRA, PROJECT, work=WORK)
window = focus_window()

# --- the strip names every frame with its delay -------------------------------------------
expected = [f"Frame {f['frame']}, {f['delayMs']} ms" for f in info()["frameList"]]
names = sorted((n.name for n in strip_items()), key=lambda t: int(t.split()[1].rstrip(",")))
check(names == expected, f"the strip \"Frames\" lists {names}")
shot(os.path.join(WORK, "e2e-strip-6.png"))

# --- Page Down moves to frame 2 -------------------------------------------------------------
def strip_item(k):
    return find("list item", prefix=f"Frame {k},")


click(strip_item(1))
xdo("key", "Next")
time.sleep(0.6)
check(frame_pane() == "Frame 2 of 6", f"Page Down moves to frame 2 ({frame_pane()!r})")

# --- frames 2-4 selected, delay 500 typed: only those frames take it ------------------------
click(strip_item(2))
xdo("keydown", "shift")
click(strip_item(4))
xdo("keyup", "shift")
click(find("page tab", "General"))
type_into(field("Delay time"), "500")
xdo("key", "Tab")
time.sleep(0.6)
save()
delays = [f["delayMs"] for f in info()["frameList"]]
check(delays == [250, 500, 500, 500, 250, 1200], f"the saved file has 500 ms on frames 2-4 only ({delays})")
check(strip_item(3).name == "Frame 3, 500 ms", f"the strip shows the new delay ({strip_item(3).name!r})")

# --- a PNG picture with alpha is blended over what lies below -------------------------------
click(strip_item(1))
before = render("before-png.png")
png = os.path.join(WORK, "half-red.png")
Image.new("RGBA", (40, 16), (255, 0, 0, 128)).save(png)
click(find("page tab", "Pictures/Shapes"))
click(find("push button", "Load Picture..."))
find("dialog", "Load Picture", timeout=10)
in_file_dialog(png)
type_into(find("spin button", "Picture X"), "215")
xdo("key", "Tab")
type_into(find("spin button", "Picture Y"), "12")
xdo("key", "Tab")
time.sleep(0.6)
save()
after = render("after-png.png")
a, b = before.load(), after.load()
off = [(x, y) for x in range(215, 255) for y in range(12, 28)
       if any(abs(b[x, y][i] - (s * 128 + a[x, y][i] * 127 + 127) // 255) > 1 for i, s in enumerate((255, 0, 0)))]
check(not off, f"the PNG's half-transparent red is blended over the label ({len(off)} of 640 pixels off)")
shot(os.path.join(WORK, "e2e-png-picture.png"))

# --- the layer list names the text; Copy Layer to All Frames --------------------------------
click(find("page tab", "3DText"))
before_text = render("before-text.png")
layers = find("combo box", prefix="Text String 1")
unused = [n.name for n in nodes(layers) if n.getRoleName() == "list item" and n.name.endswith("(empty)")]
check("Text String 3: (empty)" in unused, f"the list names unused slots \"(empty)\" ({unused[:3]}...)")
choose_in_combo(layers, 2)
TEXT = "Fresh bread daily"
type_into(find("text", "Enter text"), TEXT)
xdo("key", "Tab")
time.sleep(0.8)
check(find_all("combo box", lambda n: n.name == f"Text String 3: {TEXT}") != [],
      f"the layer list names \"Text String 3: {TEXT}\"")
shot(os.path.join(WORK, "e2e-layer-list.png"))
act("Copy Layer to All Frames")
save()
holders = [3 in f["texts"] for f in info()["frameList"]]
check(all(holders), f"after Copy Layer to All Frames every frame holds Text String 3 ({holders})")

# --- Centre Horizontally centres the painted text within a pixel ----------------------------
act("Centre Horizontally")
save()
box = changed_box(before_text, render("centred.png"))
width = info()["width"]
if box:
    left, right = box[0], width - 1 - box[2]
    check(abs(left - right) <= 1, f"Centre Horizontally: the drawn text {box} has margins {left} and {right}")
else:
    check(False, "the new text is drawn")
status = find_all("label", lambda n: (n.name or "").startswith("Object: Text String 3"))
check(bool(status), f"the status bar gives the text's box ({status[0].name if status else None!r})")

# --- the preview pauses and steps ------------------------------------------------------------
def in_preview(role, name=None, description=None):
    """A control of the "GIF Preview" window (the main window has its own "Next Frame")."""
    for window in app():
        if window.name != "GIF Preview":
            continue
        for node in nodes(window):
            try:
                if node.getRoleName() == role and (name is None or node.name == name) \
                        and (description is None or node.description == description) and visible(node):
                    return node
            except Exception:
                continue
    return None


focus_window()
xdo("key", "F5")
check(wait_for(lambda: in_preview("push button", "Pause") is not None, 30), "F5 opens the GIF Preview, playing")
time.sleep(1.0)
click(in_preview("push button", "Pause"))
check(in_preview("push button", "Play") is not None, "Pause turns into Play")
held = in_preview("label", description="Frame shown in the preview").name
time.sleep(1.5)
now = in_preview("label", description="Frame shown in the preview").name
check(now == held, f"paused, the preview holds its frame ({held}, then {now})")
click(in_preview("push button", "Next Frame"))
stepped = in_preview("label", description="Frame shown in the preview").name
check(stepped != held and stepped.startswith("Frame "), f"Next Frame steps ({held} -> {stepped})")
shot(os.path.join(WORK, "e2e-preview-controls.png"))
xdo("key", "Escape")
time.sleep(0.5)
save()
editor.kill()
editor.wait()

# --- 127 frames: the strip lists them all ----------------------------------------------------
big = os.path.join(WORK, "big.lbl")
shutil.copy(PROJECT, big)
cli("tween", big, "--from", "1", "--count", "121")
editor = launch(ZEFRA, big, work=os.path.join(WORK, "second"))
focus_window("big")
count = len(strip_items())
check(count == 127, f"the strip lists 127 frames ({count})")
shot(os.path.join(WORK, "e2e-strip-127.png"))
editor.kill()
finish()
