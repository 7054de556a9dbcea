#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given seconds (default 30), starting from the
# seed corpus and the kept regression cases, two targets at a time (one a core). A finding is saved under
# build-fuzz/findings and fails the run. `fuzz.sh build` only builds them.
source "$(dirname "$0")/common.sh"
SECONDS_EACH="${1:-30}"
shift || true
TARGETS=("${@:-fuzz_page fuzz_maps fuzz_settings fuzz_markers fuzz_journal fuzz_links fuzz_live}")
TARGETS=(${TARGETS[@]})
FUZZ_DIR="$ROOT/build-fuzz"

install_packages
(cd "$ROOT" && cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j"$(nproc)" >/dev/null)
[ "$SECONDS_EACH" != build ] || exit 0

# One target: its regression cases, then the timed run. Prints one line; fails on a finding.
fuzz_one() {
    local target=$1 name="${1#fuzz_}"
    local corpus="$FUZZ_DIR/corpus/$name" findings="$FUZZ_DIR/findings/$name" log="$FUZZ_DIR/$1.log"
    mkdir -p "$corpus" "$findings"
    cp -n "$ROOT/fuzz/corpus/$name"/* "$corpus"/ 2>/dev/null || true
    # Every input that once failed runs again first.
    if compgen -G "$ROOT/fuzz/regressions/$name/*" >/dev/null; then
        "$FUZZ_DIR/fuzz/$target" "$ROOT/fuzz/regressions/$name"/* >/dev/null 2>&1 || {
            echo "$target: a kept regression case fails again" >&2
            return 1
        }
    fi
    if "$FUZZ_DIR/fuzz/$target" -max_total_time="$SECONDS_EACH" -artifact_prefix="$findings/" -print_final_stats=1 \
        "$corpus" >"$log" 2>&1; then
        local runs
        runs=$(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}' || true)
        echo "$target: ${SECONDS_EACH}s, ${runs:-?} executions, no findings"
    else
        echo "$target: FINDING, see $log and $findings" >&2
        tail -n 30 "$log" >&2
        return 1
    fi
}

status=0
jobs_per_round=$(nproc)
for ((i = 0; i < ${#TARGETS[@]}; i += jobs_per_round)); do
    pids=()
    for target in "${TARGETS[@]:i:jobs_per_round}"; do
        fuzz_one "$target" &
        pids+=($!)
    done
    for pid in "${pids[@]}"; do
        wait "$pid" || status=1
    done
done
exit $status
