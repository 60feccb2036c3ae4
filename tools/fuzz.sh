#!/usr/bin/env bash
# Builds the fuzz targets of the portable code natively (clang, libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-host/ and runs them for SECONDS in all (default 60), shared
# between the targets. Fails on any finding; the input that caused it is kept in
# build-host/fuzz/artifacts/.
#
#   tools/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

total=${1:-60}
# One target for each folder of seeds.
mapfile -t targets < <(ls tests/fuzz/corpus)

cmake -S . -B build-host -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-host -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

each=$((total / ${#targets[@]}))
[ "$each" -ge 1 ] || each=1
mkdir -p build-host/fuzz/artifacts
status=0
for t in "${targets[@]}"; do
    # New inputs go to a work corpus in the build tree; the committed seeds stay as they are.
    work=build-host/fuzz/corpus/$t
    log=build-host/fuzz/$t.log
    mkdir -p "$work"
    echo "fuzz_$t: ${each}s"
    if ! "build-host/tests/fuzz/fuzz_$t" -max_total_time="$each" -timeout=10 -rss_limit_mb=2048 \
        -max_len=4096 -artifact_prefix="build-host/fuzz/artifacts/$t-" -print_final_stats=1 \
        "$work" "tests/fuzz/corpus/$t" >"$log" 2>&1; then
        echo "fuzz_$t found a problem:" >&2
        tail -n 60 "$log" >&2
        status=1
    else
        grep -E "^stat::number_of_executed_units" "$log" || true
    fi
done
exit $status
