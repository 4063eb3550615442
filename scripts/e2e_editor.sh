#!/bin/sh
# Runs scripts/e2e_editor.py (or another script of the same arguments, such as
# e2e_banner.py) on a virtual display with a session bus and the accessibility bus.
# Usage: scripts/e2e_editor.sh BUILD_DIR [DISPLAY_NUMBER] [SCRIPT]
# Needs: Xvfb, xdotool, imagemagick, dbus-x11, at-spi2-core, python3-pyatspi, python3-pil.
set -e
build=${1:?build directory}
display=${2:-98}
script=${3:-e2e_editor.py}
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
      '$root/demo' '$work/e2e'
" || status=$?
# E2E_KEEP=folder keeps the screenshots and the GIFs for a look.
if [ -n "$E2E_KEEP" ]; then
  mkdir -p "$E2E_KEEP"
  cp "$work"/e2e/*.png "$work"/e2e/*.gif "$E2E_KEEP"/ 2>/dev/null || true
fi
exit $status
