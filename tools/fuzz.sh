#!/usr/bin/env bash
# Installs what is missing, builds the libFuzzer targets with clang into
# build-fuzz/ and runs each of them, one after another, for the given number
# of seconds (default 60). Each target works on its own copy of its seed
# corpus under build-fuzz/fuzz-corpus/; inputs that break a target are kept
# in build-fuzz/fuzz-findings/. Exits non-zero on any finding.
#
#   bash tools/fuzz.sh [seconds-per-target]
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: bash tools/fuzz.sh [seconds-per-target]" >&2
    exit 2
fi
targets=(fuzz_parser fuzz_settingsfile fuzz_exchange)

ryd_install_missing clang

# Debian ships the libFuzzer runtime apart from the compiler.
fuzzer_links() {
    local probe
    probe="$(mktemp -d)"
    printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }\n' \
        > "$probe/probe.cpp"
    clang++ -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" >/dev/null 2>&1
    local result=$?
    rm -rf "$probe"
    return $result
}
if ! fuzzer_links; then
    runtime="libclang-rt-$(clang -dumpversion | cut -d. -f1)-dev"
    apt-cache show "$runtime" >/dev/null 2>&1 || apt-get update
    if ! apt-cache show "$runtime" >/dev/null 2>&1; then
        echo "clang cannot link -fsanitize=fuzzer and there is no package $runtime" >&2
        exit 1
    fi
    ryd_install_missing "$runtime"
    fuzzer_links || { echo "clang still cannot link -fsanitize=fuzzer" >&2; exit 1; }
fi

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DRYD_FUZZ=ON -DBUILD_TESTING=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"

summary=()
failed=0
for target in "${targets[@]}"; do
    corpus="build-fuzz/fuzz-corpus/$target"
    findings="build-fuzz/fuzz-findings/$target"
    log="build-fuzz/fuzz-findings/$target.log"
    mkdir -p "$corpus" "$findings"
    cp -n fuzz/corpus/"$target"/* "$corpus"/
    echo "== $target: ${seconds} s"
    status=0
    "build-fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" > "$log" 2>&1 || status=$?
    runs="$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -n 1)"
    if [ -z "$runs" ]; then
        runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
    fi
    if [ "$status" -ne 0 ]; then
        failed=1
        tail -n 40 "$log"
        summary+=("$target: FINDING after ${runs:-?} runs (exit $status), see $findings/ and $log")
    else
        summary+=("$target: ${runs:-?} runs, no finding")
    fi
done

echo
printf '%s\n' "${summary[@]}"
exit "$failed"
