#!/bin/sh
# Runs scripts/e2e_panels.py on a virtual display with a session bus and the accessibility
# bus. Usage: scripts/e2e_panels.sh BUILD_DIR [DISPLAY_NUMBER]
# Needs: Xvfb, xdotool, imagemagick, dbus-x11, at-spi2-core, python3-pyatspi.
set -e
build=${1:?build directory}
display=${2:-99}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
Xvfb ":$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=":$display"
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.2; done
status=0
dbus-run-session -- sh -c "
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  sleep 1
  /usr/bin/python3 '$root/scripts/e2e_panels.py' '$build/app/zefra' '${ZEFRA_CLI:-$build/cli/zefra-cli}' \
      '$root/demo' '$root/textures' '$work/e2e'
" || status=$?
# E2E_KEEP=folder keeps the screenshots and the exported GIF for a look.
if [ -n "$E2E_KEEP" ]; then
  mkdir -p "$E2E_KEEP"
  cp "$work"/e2e/*.png "$work"/e2e/*.gif "$E2E_KEEP"/ 2>/dev/null || true
fi
exit $status
