#!/usr/bin/env bash
# The layer rule: nothing under src/core includes a Qt header, no folder includes from a layer above it
# (core <- ui <- browser, mapview <- app), and inside app nothing but the window and its parts includes the window
# or its parts (the work folder, play and sharing serve the window, never the other way round). Prints each
# offending line and fails if there is one.
set -euo pipefail
cd "$(dirname "$0")/../src"

status=0
forbid() { # folder, pattern, what is wrong
    local hits
    hits=$(grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($2)" "$1" || true)
    if [ -n "$hits" ]; then
        echo "$3:"
        echo "$hits"
        status=1
    fi
}
forbid core 'Q[A-Za-z]*[>/.]|Qt[A-Za-z]*/|q[a-z]+\.h>' "a Qt header under src/core"
forbid core 'ui/|browser/|mapview/|app/' "src/core includes a layer above it"
forbid ui 'browser/|mapview/|app/' "src/ui includes a layer above it"
forbid browser 'mapview/|app/' "src/browser includes a layer beside or above it"
forbid mapview 'browser/|app/' "src/mapview includes a layer beside or above it"
for served in app/folder app/play app/sharing app/webengine_setup.cpp app/webengine_setup.h; do
    forbid "$served" 'app/window/|app/parts/' "$served includes the window or its parts"
done
# A part keeps its controls and speaks through signals and methods: it never reaches into the window.
forbid app/parts 'app/window/' "a part includes the window"
forbid . '\.\./' "an include that climbs out of its folder"
[ $status -eq 0 ] && echo "layers: fine"
exit $status
