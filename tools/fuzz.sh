#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang in build-fuzz/ and runs one of
# them for a given time, one job at a low priority, growing its corpus in
# build-fuzz/corpus/ from the seeds in fuzz/corpus/.
#
#   tools/fuzz.sh HARNESS SECONDS [more libFuzzer options]
#   HARNESS: profile | roundtrip | wordlist | sentences
#
# An input that fails is written to build-fuzz/failed/; copy it into
# fuzz/failed/HARNESS/ so that the test run replays it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."
harness=${1:?usage: $0 profile|roundtrip|wordlist|sentences SECONDS}
seconds=${2:?usage: $0 HARNESS SECONDS}
shift 2

CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_FUZZ=ON \
    -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF >/dev/null
nice -n 19 cmake --build build-fuzz -j"$(nproc)" --target "fuzz_$harness"

corpus=build-fuzz/corpus/$harness
mkdir -p "$corpus" build-fuzz/failed
# Without a stack kept for every allocation the readers run about four times
# faster; to see where a failing input's memory came from, run the harness
# on that input alone without this option.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:malloc_context_size=0
exec nice -n 19 build-fuzz/bin/"fuzz_$harness" "$corpus" "fuzz/corpus/$harness" \
    -max_total_time="$seconds" -max_len=8192 -rss_limit_mb=2048 \
    -artifact_prefix=build-fuzz/failed/"$harness"- -print_final_stats=1 "$@"
