#!/usr/bin/env bash
# Installs what is missing, builds and starts Вельдор in its own working folder (run/ in the repository),
# where the map files and user.dat live.
source "$(dirname "$0")/common.sh"

install_packages
build
WORK="$ROOT/run"
mkdir -p "$WORK"
cd "$WORK"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$BUILD_DIR/src/veldor"
fi

# No display: start on a virtual one and save a picture of the window for the user to look at.
SHOT="$WORK/screenshot.png"
echo "No display found: starting Вельдор on a virtual display."
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
    "$1" & pid=$!
    sleep "${VELDOR_SHOT_DELAY:-10}"
    import -window root "$2"
    kill "$pid"; wait "$pid" 2>/dev/null || true
' _ "$BUILD_DIR/src/veldor" "$SHOT"
echo "Screenshot of the window: $SHOT"
