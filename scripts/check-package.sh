#!/usr/bin/env bash
# Checks the Debian package the way a user meets it: validates its desktop entry, AppStream
# metadata, MIME type and man pages, runs lintian, then installs it on this machine and
# exports an installed sample project with the installed zefra-cli. Removes the package
# again afterwards unless it was installed before.
# Usage: scripts/check-package.sh [BUILD_DIR]   (CI runs it after `make test`)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

skip() { echo "check-package: SKIPPED: $*"; exit 0; }
fail() { echo "check-package: FAILED: $*" >&2; exit 1; }

command -v dpkg-deb >/dev/null || skip "dpkg-deb is not available (not a Debian system)"
command -v cpack >/dev/null || skip "cpack is not available"

[ -f "$build/CMakeCache.txt" ] || fail "$build is not a configured build folder (run make first)"
cmake --build "$build" -j "$(nproc)" --target zefra_programs >/dev/null
[ -x "$build/app/zefra" ] || skip "the editor was not built (Qt 6 missing), so there is no package"
rm -f "$build"/package/zefra_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/package/zefra_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || fail "cpack wrote no zefra_*.deb"
version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg-deb -f "$deb" Architecture)
[ "$(basename "$deb")" = "zefra_${version}_${arch}.deb" ] || fail "unexpected file name $(basename "$deb")"
depends=$(dpkg-deb -f "$deb" Depends)
echo "check-package: $(basename "$deb"), Depends: $depends"
case "$depends" in *libc6*) ;; *) fail "Depends was not computed from the binaries: '$depends'" ;; esac
# Loaded at run time rather than linked, so named by hand: a Depends line without them
# installs a CLI that cannot draw text.
for lib in libfreetype6 libfontconfig1; do
  case "$depends" in *"$lib"*) ;; *) fail "Depends lacks $lib, which the programs load to draw text: '$depends'" ;; esac
done

# What the package holds.
listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/zefra ./usr/bin/zefra-cli ./usr/share/applications/zefra.desktop \
         ./usr/share/metainfo/org.zefra.Zefra.metainfo.xml ./usr/share/mime/packages/zefra-label.xml \
         ./usr/share/icons/hicolor/scalable/apps/zefra.svg \
         ./usr/share/icons/hicolor/scalable/mimetypes/application-x-zefra-label.svg \
         ./usr/share/man/man1/zefra.1.gz ./usr/share/man/man1/zefra-cli.1.gz \
         ./usr/share/zefra/Demo/zefra-banner.lbl ./usr/share/zefra/Textures/gold.bmp \
         ./usr/share/zefra/Help/ ./usr/share/doc/zefra/copyright; do
  grep -qxF "$f" <<<"$listing" || fail "the package lacks $f"
done

# Metadata validators (their packages come from scripts/install-deps.sh).
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate app/resources/zefra.desktop || fail "desktop-file-validate"
else echo "check-package: desktop-file-validate not installed, not run"; fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net app/resources/org.zefra.Zefra.metainfo.xml || fail "appstreamcli validate"
else echo "check-package: appstreamcli not installed, not run"; fi
if command -v lintian >/dev/null; then
  # Errors fail the check; warnings and notes are shown.
  lintian --fail-on error "$deb" || fail "lintian reports errors"
else echo "check-package: lintian not installed, not run"; fi
for page in docs/man/zefra.1 docs/man/zefra-cli.1; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || fail "man page $page: $warnings"
done

# Install it. Needs root (CI runs as root); elsewhere sudo when it works without a prompt.
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo -n true 2>/dev/null || skip "built and validated; installing needs root or password-less sudo"
  sudo="sudo -n"
fi
was_installed=no
dpkg-query -W -f='${Status}' zefra 2>/dev/null | grep -q "install ok installed" && was_installed=yes
cleanup() { [ "$was_installed" = yes ] || $sudo dpkg --purge zefra >/dev/null 2>&1 || true; }
trap cleanup EXIT
$sudo dpkg -i "$deb" >/dev/null || fail "dpkg -i $deb"

[ "$(/usr/bin/zefra-cli --version)" = "zefra-cli $version" ] || fail "zefra-cli --version: $(/usr/bin/zefra-cli --version)"
[ "$(/usr/bin/zefra --version)" = "zefra $version" ] || fail "zefra --version: $(/usr/bin/zefra --version)"
# The installed files, not the build tree: the export's texture comes from /usr/share/zefra.
work=$(mktemp -d)
trap 'rm -rf "$work"; cleanup' EXIT
(cd "$work" && XDG_CACHE_HOME="$work/cache" /usr/bin/zefra-cli export /usr/share/zefra/Demo/zefra-banner.lbl banner.gif \
   >stats.txt 2>stderr.txt) || fail "installed zefra-cli export: $(cat "$work/stderr.txt")"
[ ! -s "$work/stderr.txt" ] || fail "installed export warned: $(cat "$work/stderr.txt")"
grep -q "^Frames" "$work/stats.txt" || fail "installed export printed no statistics"
/usr/bin/zefra-cli gif-info "$work/banner.gif" >/dev/null || fail "the exported GIF does not read back"
# The same project exported by the build tree's CLI gives the same bytes.
"$build/cli/zefra-cli" export demo/zefra-banner.lbl "$work/reference.gif" >/dev/null 2>&1
cmp -s "$work/banner.gif" "$work/reference.gif" || fail "the installed export differs from the build tree's"
[ ! -e /usr/bin/Font3DCache ] || fail "the installed CLI wrote a glyph cache into /usr/bin"
# shared-mime-info's trigger has rebuilt the database during dpkg -i when it is present.
if command -v update-mime-database >/dev/null && [ -f /usr/share/mime/globs2 ]; then
  grep -q "application/x-zefra-label:\*\.lbl" /usr/share/mime/globs2 || fail "*.lbl is not registered as application/x-zefra-label"
fi
echo "check-package: OK ($(basename "$deb") installed, zefra $version, export of an installed demo matches)"
