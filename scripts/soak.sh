#!/usr/bin/env bash
# Walks the practice labyrinth for a number of minutes (default 10) and reports memory and tick times; "way" as
# the second word keeps the way to the exit shown all along.
source "$(dirname "$0")/common.sh"
install_packages
build
xvfb-run -a -s "-screen 0 1280x900x24" "$BUILD_DIR/bench/soak" "${1:-10}" ${2:+"$2"} 2>/dev/null | grep '^soak:'
