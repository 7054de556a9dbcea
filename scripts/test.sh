#!/usr/bin/env bash
# Installs what is missing, builds and runs every test:
#  1. the whole suite through CTest (warnings are errors; GUI tests on a virtual X display);
#  2. the Qt-free tests again under AddressSanitizer and UndefinedBehaviorSanitizer;
#  3. each fuzzing target for a short while (VELDOR_FUZZ_SECONDS, default 30), with its kept regression cases;
#  4. static analysis of src/ (clang-tidy and cppcheck), which must report nothing.
source "$(dirname "$0")/common.sh"

install_packages
build -DVELDOR_WERROR=ON
export QTWEBENGINE_DISABLE_SANDBOX=1
(cd "$BUILD_DIR" && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure --timeout 600 "$@")

echo "== sanitizers =="
ASAN_DIR="${VELDOR_ASAN_DIR:-$ROOT/build-asan}"
cmake -S "$ROOT" -B "$ASAN_DIR" -DVELDOR_BUILD_GUI=OFF -DVELDOR_SANITIZE=ON -DVELDOR_WERROR=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$ASAN_DIR" -j"$(nproc)"
(cd "$ASAN_DIR" && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --output-on-failure --timeout 600)

echo "== fuzzing =="
bash "$ROOT/scripts/fuzz.sh" "${VELDOR_FUZZ_SECONDS:-30}"

echo "== static analysis =="
bash "$ROOT/scripts/lint.sh"
