#!/usr/bin/env bash
# Installs what is missing, builds, starts the practice game server and Вельдор pointed at it, in a working
# folder of its own (run/ in the repository) where the map files, user.dat and the sounds live.
source "$(dirname "$0")/common.sh"

# Only what playing needs: the program, the practice server and the sounds tool (the test command builds the rest).
install_packages "${RUN_PACKAGES[@]}"
build veldor practice-server make-sounds
WORK="$ROOT/run"
mkdir -p "$WORK"
cd "$WORK"
"$BUILD_DIR/tools/sounds/make-sounds" "$WORK" >/dev/null

# A first start logs in by itself as a practice player, with doors passable and sounds on.
if [ ! -s user.dat ]; then
    printf 'Путник\r\npractice\r\n1\r\n15\r\n1\r\n1\r\n1\r\n0\r\n' | iconv -f UTF-8 -t WINDOWS-1251 > user.dat
    chmod 600 user.dat
fi

SERVER_LOG="$WORK/practice-server.log"
"$BUILD_DIR/tools/practice-server/veldor-practice-server" --truth "$WORK/truth.json" >/dev/null 2>"$SERVER_LOG" &
SERVER_PID=$!
trap 'kill $SERVER_PID 2>/dev/null || true' EXIT
sleep 0.5
if ! kill -0 "$SERVER_PID" 2>/dev/null; then
    echo "The practice server did not start (is port 8765 taken?):" >&2
    cat "$SERVER_LOG" >&2
    exit 1
fi
echo "Practice server: http://127.0.0.1:8765/login.php (working folder $WORK)"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "Click the box 'управление с клавиатуры' at the bottom and walk with the arrow keys."
    "$BUILD_DIR/src/veldor"
    exit $?
fi

# No display: start on a virtual one and save a picture of the window once it has logged in.
SHOT="$WORK/screenshot.png"
echo "No display found: starting Вельдор on a virtual display."
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
    "$1" & pid=$!
    sleep "${VELDOR_SHOT_DELAY:-12}"
    import -window root "$2"
    kill "$pid"; wait "$pid" 2>/dev/null || true
' _ "$BUILD_DIR/src/veldor" "$SHOT"
echo "Screenshot of the window after logging in: $SHOT"
