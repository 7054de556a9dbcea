#!/usr/bin/env bash
# Installs what is missing, builds and runs every test. GUI tests run on a virtual X display.
source "$(dirname "$0")/common.sh"

install_packages
build -DVELDOR_WERROR=ON
cd "$BUILD_DIR"
export QTWEBENGINE_DISABLE_SANDBOX=1
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure --timeout 600 "$@"
