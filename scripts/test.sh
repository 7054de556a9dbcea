#!/usr/bin/env bash
# Installs what is missing, builds and runs every test:
#  0. the layer rule (no Qt under src/core, no include upward) and the format of every source file;
#  1. the whole suite through CTest (warnings are errors; GUI tests on a virtual X display);
#  2. the Qt-free tests again under AddressSanitizer and UndefinedBehaviorSanitizer;
#  3. each fuzzing target for a short while (VELDOR_FUZZ_SECONDS, default 20), with its kept regression cases;
#  4. static analysis of src/ (clang-tidy and cppcheck), which must report nothing;
#  5. the Debian package: built, checked, installed and started as the desktop menu starts it.
# Steps 2 to 4 (their builds, the sanitizer suite, the fuzzers beside the static analysis) run at the lowest
# priority beside step 1, whose window tests spend much of their time waiting for the browser; their results are
# reported after it.
source "$(dirname "$0")/common.sh"

phase() { echo "== $1 (at ${SECONDS} s) =="; }
SECONDS=0
install_packages
phase "layers and format"
bash "$ROOT/scripts/check-layers.sh"
bash "$ROOT/scripts/check-format.sh"

phase "build"
build
cd "$ROOT"

SIDE_LOG="$BUILD_DIR/side-builds.log"
rm -f "$BUILD_DIR/lint.failed" "$BUILD_DIR/asan.failed" "$BUILD_DIR/fuzz.failed"
(
    set -e
    nice -n 19 cmake --preset asan >/dev/null
    nice -n 19 cmake --build --preset asan -j"$(nproc)" >/dev/null
    nice -n 19 bash "$ROOT/scripts/fuzz.sh" build
    echo "sanitizer and fuzzing builds done at ${SECONDS} s"
    nice -n 19 ctest --preset asan >"$BUILD_DIR/asan.out" 2>&1 || echo "asan failed" >"$BUILD_DIR/asan.failed"
    # The fuzzers run for a fixed time each: beside the analysis they cost it only the processor they take.
    nice -n 19 bash "$ROOT/scripts/fuzz.sh" "${VELDOR_FUZZ_SECONDS:-20}" >"$BUILD_DIR/fuzz.out" 2>&1 ||
        echo "fuzz failed" >"$BUILD_DIR/fuzz.failed" &
    fuzzing=$!
    nice -n 19 bash "$ROOT/scripts/lint.sh" >"$BUILD_DIR/lint.out" 2>&1 || echo "lint failed" >"$BUILD_DIR/lint.failed"
    wait "$fuzzing"
    echo "sanitizers, fuzzing and static analysis done at ${SECONDS} s"
) >"$SIDE_LOG" 2>&1 &
SIDE=$!
trap 'kill $SIDE 2>/dev/null || true' EXIT

phase "tests"
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset all --test-dir "$BUILD_DIR" "$@" || status=$?

phase "waiting for the side work"
wait "$SIDE" || { cat "$SIDE_LOG"; echo "the sanitizer or fuzzing build failed" >&2; exit 1; }
trap - EXIT
cat "$SIDE_LOG"
[ "$status" -eq 0 ] || exit "$status"

phase "sanitizers"
cat "$BUILD_DIR/asan.out"
[ ! -e "$BUILD_DIR/asan.failed" ]

phase "fuzzing"
cat "$BUILD_DIR/fuzz.out"
[ ! -e "$BUILD_DIR/fuzz.failed" ]

phase "static analysis"
cat "$BUILD_DIR/lint.out"
[ ! -e "$BUILD_DIR/lint.failed" ]

phase "package"
bash "$ROOT/scripts/package.sh"
phase "done"
