#!/usr/bin/env bash
# Static analysis of src/: clang-tidy with the project's check set and cppcheck. Any warning fails the run.
source "$(dirname "$0")/common.sh"
install_packages
[ -f "$BUILD_DIR/compile_commands.json" ] || build
cd "$ROOT"
mapfile -t sources < <(git ls-files 'src/*.cpp')
echo "clang-tidy: ${#sources[@]} files"
printf '%s\n' "${sources[@]}" | xargs -P "$(nproc)" -n 4 clang-tidy -p "$BUILD_DIR" --quiet 2>/dev/null \
    > "$BUILD_DIR/clang-tidy.log" || true
tidy=$(grep -c 'warning:\|error:' "$BUILD_DIR/clang-tidy.log" || true)
echo "clang-tidy: $tidy warnings"
[ "$tidy" -eq 0 ] || grep -A3 'warning:\|error:' "$BUILD_DIR/clang-tidy.log" | head -60
cppcheck --quiet --std=c++20 --language=c++ --enable=warning,performance,portability --inline-suppr \
    --suppress=missingIncludeSystem --error-exitcode=0 -I src/core -I src -I "$BUILD_DIR/src/generated" src \
    2> "$BUILD_DIR/cppcheck.log" || true
checks=$(grep -c ': \(warning\|error\|performance\|portability\)' "$BUILD_DIR/cppcheck.log" || true)
echo "cppcheck: $checks warnings"
[ "$checks" -eq 0 ] || head -40 "$BUILD_DIR/cppcheck.log"
[ "$tidy" -eq 0 ] && [ "$checks" -eq 0 ]
