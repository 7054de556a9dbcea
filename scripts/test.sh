#!/usr/bin/env bash
# Installs what is missing, builds and runs every test:
#  0. the layer rule (no Qt under src/core, no include upward) and the format of every source file;
#  1. the whole suite through CTest (warnings are errors; GUI tests on a virtual X display);
#  2. the Qt-free tests again under AddressSanitizer and UndefinedBehaviorSanitizer;
#  3. each fuzzing target for a short while (VELDOR_FUZZ_SECONDS, default 20), with its kept regression cases;
#  4. static analysis of src/ (clang-tidy and cppcheck), which must report nothing.
source "$(dirname "$0")/common.sh"

install_packages
echo "== layers and format =="
bash "$ROOT/scripts/check-layers.sh"
bash "$ROOT/scripts/check-format.sh"

build
cd "$ROOT"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset all --test-dir "$BUILD_DIR" "$@"

echo "== sanitizers =="
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$(nproc)"
ctest --preset asan

echo "== fuzzing =="
bash "$ROOT/scripts/fuzz.sh" "${VELDOR_FUZZ_SECONDS:-20}"

echo "== static analysis =="
bash "$ROOT/scripts/lint.sh"
