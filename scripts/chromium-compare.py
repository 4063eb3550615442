#!/usr/bin/python3
"""Headless Chromium as one more real client of Zefra's GIFs.

For every demo project: export it with zefra-cli and load the GIF in headless Chromium,
which decodes it with its own image decoder (the one behind <img>, through the page's
ImageDecoder API, so each frame can be asked for by number instead of racing the animation
clock). Per frame, Chromium reports when the frame is shown and for how long, and one
screenshot shows the frame as Chromium composes it. Each frame's time must be the sum of the
earlier frames' delays, and each screenshot must match
  - the same frame as Pillow composes it from the GIF, exactly, and
  - Zefra's own true-colour render of that frame (zefra-cli render) within what palette
    reduction and dithering cost.
Pixels the GIF leaves transparent are left out of the colour comparisons (their alpha must
agree).

Not part of `make test` (Chromium is large). Usage:
    scripts/chromium-compare.py [--build build] [--keep DIR] [demo/X.lbl ...]
Needs the Debian packages chromium and python3-pil. Exit 0 when every frame agrees.
"""
import argparse
import base64
import glob
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

from PIL import Image, ImageChops

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# Mean absolute difference per channel over opaque pixels, and the share of pixels off by
# more than FAR_OFF in some channel, that palette reduction and dithering may cost at most.
MAX_MEAN_DIFF = 6.0
FAR_OFF = 64
MAX_FAR_SHARE = 0.02


def chromium_binary():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


def frame_delays(cli, gif):
    """Delays in hundredths of a second, one per frame, as Zefra's reader lists them."""
    out = subprocess.run([cli, "gif-info", gif], check=True, capture_output=True, text=True).stdout
    delays = [int(m.group(1)) for m in re.finditer(r"^frame \d+ .* delay (\d+) ", out, re.M)]
    size = re.search(r"^screen (\d+) (\d+)", out, re.M)
    return delays, (int(size.group(1)), int(size.group(2)))


def shown_delay_ms(delay):
    # Browsers show frames of 0 or 1 hundredths for 100 ms.
    return 100 if delay <= 1 else delay * 10


CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync",
                  "--hide-scrollbars", "--force-device-scale-factor=1", "--remote-debugging-pipe"]

# A page holding the GIF's bytes (file: pages may not fetch files). drawFrame(k) draws frame
# k (from 0) as Chromium's decoder composes it and answers when that frame is shown and for
# how long; frameTimes() answers that for every frame, until the decoder has no more.
PAGE = """<!DOCTYPE html><html><head><title>frames</title></head>
<body style="margin:0;background:transparent">
<canvas id="c" width="%(w)d" height="%(h)d" style="display:block"></canvas>
<script>
const bytes = Uint8Array.from(atob("%(data)s"), c => c.charCodeAt(0));
const decoder = new ImageDecoder({data: bytes, type: "image/gif"});
async function drawFrame(k) {
  const r = await decoder.decode({frameIndex: k});
  const canvas = document.getElementById("c");
  const context = canvas.getContext("2d");
  context.clearRect(0, 0, canvas.width, canvas.height);
  context.drawImage(r.image, 0, 0);
  const time = [r.image.timestamp, r.image.duration];
  r.image.close();
  await new Promise(done => requestAnimationFrame(() => requestAnimationFrame(done)));
  return time;
}
async function frameTimes() {
  const times = [];
  for (let k = 0; k < 1000; ++k) {
    let r;
    try { r = await decoder.decode({frameIndex: k}); } catch (e) { break; }
    times.push([r.image.timestamp, r.image.duration]);
    r.image.close();
  }
  return times;
}
</script></body></html>
"""


class Chromium:
    """One headless Chromium driven over its DevTools pipe (file descriptors 3 and 4)."""

    def __init__(self, binary, work):
        self.profile = tempfile.mkdtemp(prefix="profile-", dir=work)
        to_child, self.out = os.pipe()
        self.inp, from_child = os.pipe()

        def child_fds():
            # Copies first: a pipe end may already be 3 or 4, and dup2 onto itself would
            # keep it closed on exec.
            read_end, write_end = os.dup(to_child), os.dup(from_child)
            os.dup2(read_end, 3)
            os.dup2(write_end, 4)

        self.proc = subprocess.Popen([binary] + CHROMIUM_FLAGS + [f"--user-data-dir={self.profile}", "about:blank"],
                                     preexec_fn=child_fds, close_fds=False, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_child)
        os.close(from_child)
        self.next_id = 0
        self.buffer = b""
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]

    def call(self, method, params=None, session=None):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.out, json.dumps(message).encode() + b"\0")
        while True:
            while b"\0" not in self.buffer:
                chunk = os.read(self.inp, 1 << 20)
                if not chunk:
                    raise RuntimeError("Chromium closed its DevTools pipe")
                self.buffer += chunk
            raw, self.buffer = self.buffer.split(b"\0", 1)
            reply = json.loads(raw)
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error']}")
                return reply["result"]

    def page(self, method, params=None):
        return self.call(method, params, self.session)

    def evaluate(self, expression):
        result = self.page("Runtime.evaluate", {"expression": expression, "awaitPromise": True,
                                                "returnByValue": True})
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def open(self, url, size):
        self.page("Emulation.setDeviceMetricsOverride", {"width": size[0], "height": size[1],
                                                         "deviceScaleFactor": 1, "mobile": False})
        self.page("Emulation.setDefaultBackgroundColorOverride", {"color": {"r": 0, "g": 0, "b": 0, "a": 0}})
        self.page("Page.enable")
        self.page("Page.navigate", {"url": url})
        self.evaluate("new Promise(done => { if (document.readyState === 'complete') done(); "
                      "else addEventListener('load', () => done()); })")

    def screenshot(self, png, size):
        data = self.page("Page.captureScreenshot", {"format": "png", "clip": {
            "x": 0, "y": 0, "width": size[0], "height": size[1], "scale": 1}})["data"]
        with open(png, "wb") as f:
            f.write(base64.b64decode(data))
        return Image.open(png).convert("RGBA")

    def close(self):
        try:
            self.call("Browser.close")
        except (RuntimeError, OSError):
            pass
        try:
            self.proc.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.proc.kill()
        os.close(self.out)
        os.close(self.inp)
        shutil.rmtree(self.profile, ignore_errors=True)


def pillow_frames(gif):
    frames = []
    with Image.open(gif) as im:
        for k in range(getattr(im, "n_frames", 1)):
            im.seek(k)
            frames.append(im.convert("RGBA").copy())
    return frames


def opaque_difference(shot, reference):
    """(mean abs difference per channel, share of pixels far off, opaque pixel count)."""
    alpha = shot.getchannel("A")
    diff = ImageChops.difference(shot.convert("RGB"), reference.convert("RGB"))
    total = 0
    far = 0
    opaque = 0
    for a, d in zip(alpha.getdata(), diff.getdata()):
        if a == 0:
            continue
        opaque += 1
        total += d[0] + d[1] + d[2]
        if max(d) > FAR_OFF:
            far += 1
    if opaque == 0:
        return 0.0, 0.0, 0
    return total / (3.0 * opaque), far / opaque, opaque


def check_project(args, chromium, project, work):
    name = os.path.splitext(os.path.basename(project))[0]
    gif = os.path.join(work, name + ".gif")
    subprocess.run([args.cli, "export", project, gif], check=True, capture_output=True)
    delays, size = frame_delays(args.cli, gif)
    page = os.path.join(work, name + ".html")
    with open(page, "w") as f, open(gif, "rb") as g:
        f.write(PAGE % {"w": size[0], "h": size[1], "data": base64.b64encode(g.read()).decode()})
    decoded = pillow_frames(gif)
    browser = Chromium(chromium, work)
    try:
        browser.open("file://" + page, size)
        times = browser.evaluate("frameTimes()")
        if len(times) != len(delays):
            print(f"{name}: Chromium sees {len(times)} frames, Zefra wrote {len(delays)}  FAIL")
            return len(delays), len(delays)
        failures = 0
        start_ms = 0
        for k, delay in enumerate(delays):
            timestamp, duration = browser.evaluate(f"drawFrame({k})")
            time_ok = timestamp == start_ms * 1000 and duration == shown_delay_ms(delay) * 1000
            shot = browser.screenshot(os.path.join(work, f"{name}-chromium-{k + 1}.png"), size)
            render_png = os.path.join(work, f"{name}-render-{k + 1}.png")
            subprocess.run([args.cli, "render", project, render_png, "--frame", str(k + 1)], check=True,
                           capture_output=True)
            render = Image.open(render_png).convert("RGBA")
            exact_mean, _, opaque = opaque_difference(shot, decoded[k])
            alpha_agrees = list(shot.getchannel("A").getdata()) == [255 if a else 0 for a in decoded[k].getchannel("A").getdata()]
            same = exact_mean == 0 and alpha_agrees
            mean, far, _ = opaque_difference(shot, render)
            ok = time_ok and same and mean <= MAX_MEAN_DIFF and far <= MAX_FAR_SHARE
            failures += 0 if ok else 1
            print(f"{name} frame {k + 1}: at {timestamp // 1000} ms for {duration // 1000} ms"
                  f"{'' if time_ok else f' (GIF says {start_ms} ms for {shown_delay_ms(delay)} ms)'}; "
                  f"vs GIF decode {'same' if same else f'DIFFERS (mean {exact_mean:.2f})'}; "
                  f"vs render mean {mean:.2f}, far off {far * 100:.2f} %, opaque {opaque} px  {'ok' if ok else 'FAIL'}",
                  flush=True)
            start_ms += shown_delay_ms(delay)
        return len(delays), failures
    finally:
        browser.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--keep", help="keep screenshots and renders in this folder")
    parser.add_argument("projects", nargs="*")
    args = parser.parse_args()
    args.cli = os.path.join(args.build, "cli", "zefra-cli")
    if not os.access(args.cli, os.X_OK):
        sys.exit(f"chromium-compare: no {args.cli} (run make run first)")
    chromium = chromium_binary()
    if not chromium:
        sys.exit("chromium-compare: Chromium is not installed (apt-get install chromium)")
    projects = args.projects or sorted(glob.glob(os.path.join(ROOT, "demo", "*.lbl")))
    work = args.keep or tempfile.mkdtemp(prefix="zefra-chromium-")
    os.makedirs(work, exist_ok=True)
    frames = failures = 0
    try:
        for project in projects:
            n, f = check_project(args, chromium, os.path.abspath(project), work)
            frames += n
            failures += f
    finally:
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)
    print(f"chromium-compare: {frames - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
