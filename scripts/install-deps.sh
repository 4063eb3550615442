#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Zefra needs.
# Idempotent: installs only what is missing, and runs apt-get update only then.
set -euo pipefail

packages=(
  # build
  build-essential cmake pkg-config ccache
  libfreetype-dev libfontconfig-dev libpng-dev zlib1g-dev
  # tests, benchmarks, fuzzing
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  # fonts the text renderer resolves face names to
  fonts-liberation2 fonts-dejavu-core fonts-dejavu fontconfig
  # editor (Qt 6 Widgets) and its tests/screenshots
  qt6-base-dev qt6-base-dev-tools libgl-dev xvfb xauth xdotool
  # end-to-end checks through the accessibility bus (scripts/e2e_*.sh)
  python3-pyatspi at-spi2-core dbus-x11
  # test-only peers: decoders and optimisers that check what Zefra writes
  libgif-dev giflib-tools imagemagick gifsicle python3 python3-pil
  # export quality benchmark: per-frame quality ceiling, array maths
  pngquant python3-numpy
  # the Debian package and its checks (scripts/check-package.sh)
  dpkg-dev desktop-file-utils appstream lintian shared-mime-info man-db
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages present"
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "install-deps: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
