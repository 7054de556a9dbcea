#!/usr/bin/env bash
# Builds the Debian package from the build folder, checks it (lintian, desktop-file-validate, appstreamcli),
# installs it on this machine and starts the installed program the way the desktop menu does: the window must
# appear, the maps must appear in the fixed folder, and it must log in to a practice server and read a cell.
# Needs root (or sudo) for the install; the test command runs it after the build.
source "$(dirname "$0")/common.sh"
[ -f "$BUILD_DIR/CPackConfig.cmake" ] || build

echo "-- the package"
rm -f "$BUILD_DIR"/veldor_*.deb
(cd "$BUILD_DIR" && cpack -G DEB >"$BUILD_DIR/cpack.log" 2>&1) || { cat "$BUILD_DIR/cpack.log"; exit 1; }
DEB=$(ls "$BUILD_DIR"/veldor_*_amd64.deb)
echo "$(basename "$DEB"): $(stat -c %s "$DEB") bytes, installed $(dpkg-deb -f "$DEB" Installed-Size) KiB"

echo "-- lintian"
# Information tags are shown too; errors and warnings fail the run.
status=0
lintian --fail-on error,warning --display-level ">=info" "$DEB" >"$BUILD_DIR/lintian.log" 2>&1 || status=$?
grep -v 'running with root privileges' "$BUILD_DIR/lintian.log" || true
[ "$status" -eq 0 ] || { echo "lintian: errors or warnings" >&2; exit 1; }

echo "-- desktop entry and metadata"
UNPACKED=$(mktemp -d)
WORK=$(mktemp -d)
trap 'rm -rf "$UNPACKED" "$WORK"' EXIT
dpkg-deb -x "$DEB" "$UNPACKED"
desktop_file=$(ls "$UNPACKED"/usr/share/applications/*.desktop)
metainfo=$(ls "$UNPACKED"/usr/share/metainfo/*.metainfo.xml)
out=$(desktop-file-validate "$desktop_file" 2>&1) || true
[ -z "$out" ] || { echo "desktop-file-validate: $out" >&2; exit 1; }
out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || { echo "$out" >&2; exit 1; }
if grep -qE '^[EWIP]:' <<<"$out"; then
    echo "appstreamcli: $out" >&2
    exit 1
fi
echo "desktop-file-validate and appstreamcli: nothing to report"

echo "-- install"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "$DEB" >/dev/null
dpkg-query -W -f='${Package} ${Version} ${Status}\n' veldor

echo "-- start from the menu"
entry="/usr/share/applications/$(basename "$desktop_file")"
EXEC=$(sed -n 's/^Exec=//p' "$entry")
FOLDER_NAME=$(sed -n 's/^folder="${HOME:?HOME is not set}\/\(.*\)"$/\1/p' /usr/lib/veldor/veldor-menu)
[ -n "$EXEC" ] && [ -n "$FOLDER_NAME" ] || { echo "no Exec line or no folder in the launcher" >&2; exit 1; }
SERVER=$(sed -n 's/^VELDOR_GAME_SERVER:STRING=//p' "$BUILD_DIR/CMakeCache.txt")
export WORK EXEC FOLDER_NAME BUILD_DIR SERVER
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$ROOT/scripts/package-start.sh"
