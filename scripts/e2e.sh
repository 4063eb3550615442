#!/bin/sh
# Runs one end-to-end script (scripts/e2e_*.py) against the real editor on a virtual
# display with a session bus and the accessibility bus, the way a screen reader sees it.
# Usage: scripts/e2e.sh SCRIPT BUILD_DIR [DISPLAY_NUMBER]
#   e.g. scripts/e2e.sh e2e_editor.py build 64
# Every script takes: editor, zefra-cli, demo folder, textures folder, work folder.
# Needs: Xvfb, xdotool, imagemagick, dbus-x11, at-spi2-core, python3-pyatspi, python3-pil.
set -e
script=${1:?script, e.g. e2e_editor.py}
build=${2:?build directory}
display=${3:-98}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
Xvfb ":$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=":$display"
# A loaded machine can take seconds to bring the display up.
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.2; done
status=0
dbus-run-session -- sh -c "
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  sleep 1
  /usr/bin/python3 '$root/scripts/$script' '$build/app/zefra' '${ZEFRA_CLI:-$build/cli/zefra-cli}' \
      '$root/demo' '$root/textures' '$work/e2e'
" || status=$?
# E2E_KEEP=folder keeps the screenshots and the GIFs for a look.
if [ -n "$E2E_KEEP" ]; then
  mkdir -p "$E2E_KEEP"
  cp "$work"/e2e/*.png "$work"/e2e/*.gif "$E2E_KEEP"/ 2>/dev/null || true
fi
exit $status
