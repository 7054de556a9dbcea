#!/usr/bin/env bash
# Part of package.sh, on a virtual display: starts the installed program through the desktop entry's command
# with a home of its own, as the menu would, twice: first into a home without the maps folder, then with a
# user.dat that logs in to the installed practice server by itself.
set -euo pipefail
home="$WORK/home"
elsewhere="$WORK/elsewhere" # the menu's current folder: nothing may land there
folder="$home/$FOLDER_NAME"
mkdir -p "$home" "$elsewhere"

wait_for() {
    local what=$1 seconds=$2
    shift 2
    for ((i = 0; i < seconds * 10; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    echo "timed out after ${seconds} s: $what" >&2
    return 1
}
window_shown() { xwininfo -root -tree | grep -q '("veldor" "veldor")'; }
all_exist() { for f in "$@"; do [ -e "$f" ] || return 1; done; }
start() {
    (cd "$elsewhere" && HOME="$home" exec $EXEC) >"$WORK/veldor-$1.log" 2>&1 &
    PROGRAM=$!
}
stop() {
    [ -n "${PROGRAM:-}" ] || return 0
    kill "$PROGRAM" 2>/dev/null || true
    wait "$PROGRAM" 2>/dev/null || true
    PROGRAM=
}
trap stop EXIT

start first
wait_for "the window of the first start" 60 window_shown
maps=("$folder/map1.map" "$folder/map2.map" "$folder/map3.map" "$folder/map.crd" "$folder/user.dat")
wait_for "the map files in $folder" 30 all_exist "${maps[@]}"
sounds=("$folder"/{trap,flag,down,mob,chest,res}.wav)
all_exist "${sounds[@]}" || { echo "the event sounds were not copied into $folder" >&2; exit 1; }
[ -z "$(ls -A "$elsewhere")" ] || { echo "files landed in the menu's folder: $(ls -A "$elsewhere")" >&2; exit 1; }
echo "first start: window shown; $folder made with the map files, user.dat and six sounds"
stop

case "$SERVER" in
http://127.0.0.1:*) ;;
*)
    echo "the package talks to $SERVER, not to a practice server: logging in is not tried"
    exit 0
    ;;
esac
/usr/games/veldor-practice-server --port "${SERVER##*:}" >"$WORK/server.log" 2>&1 &
SERVER_PID=$!
trap 'stop; kill $SERVER_PID 2>/dev/null || true' EXIT
printf 'Путник\r\npractice\r\n1\r\n15\r\n1\r\n1\r\n1\r\n0\r\n' | iconv -f UTF-8 -t WINDOWS-1251 >"$folder/user.dat"
start second
wait_for "the window of the second start" 60 window_shown
# The journal appears with the first cell the program reads and records.
wait_for "a cell read from the practice game (map.journal)" 90 test -s "$folder/map.journal"
sleep 1
import -window root "$BUILD_DIR/package-start.png"
echo "second start: logged in to the practice server, a cell read and journaled;" \
    "picture: $BUILD_DIR/package-start.png"
