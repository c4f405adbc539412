#!/usr/bin/env bash
# Builds the bitmap reader's fuzz target with clang (ASan + UBSan, coverage
# for the whole library) in build-fuzz and runs it on a copy of the seed
# corpus for $1 seconds (default 60). Exits non-zero when the fuzzer finds a
# crash; the crashing input is kept in build-fuzz/artifacts/.
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DORRERY_FUZZ=ON -DORRERY_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_bitmap_reader >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$root/fuzz/corpus/bitmap" "$work/corpus"
mkdir -p "$build/artifacts"

# Allocations above 64 MiB fail instead of being made: run-length pictures
# may declare up to 768 MiB from a few bytes, which under ASan costs a tenth of
# a second each, and the failure exercises the reader's "Out of memory." path.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}max_allocation_size_mb=64:allocator_may_return_null=1"

# One process only: the machine's cores are shared. The fuzzer's progress
# goes to a log; its closing statistics, or the end of the log on a crash, are
# printed.
log="$build/fuzz.log"
if "$build/fuzz/fuzz_bitmap_reader" "$work/corpus" -max_total_time="$seconds" -max_len=8192 \
    -artifact_prefix="$build/artifacts/" -print_final_stats=1 >"$log" 2>&1; then
  grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec)' "$log" || true
else
  status=$?
  tail -n 60 "$log"
  exit "$status"
fi
