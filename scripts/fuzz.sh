#!/usr/bin/env bash
# Installs clang if it is missing, builds the libFuzzer targets of tests/fuzz/ into build-fuzz/
# and runs each in turn, one process at a time, for SECONDS (default 60). Each target starts
# from its checked-in corpus and keeps what it finds new in build-fuzz/corpus/. Any finding
# fails the run; the input that caused it is left in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz

scripts/install-deps.sh clang
# Debian ships libFuzzer and the sanitizer runtimes apart from the compiler.
clang_major=$(clang++ -dumpversion | cut -d. -f1)
scripts/install-deps.sh "libclang-rt-${clang_major}-dev"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DBRIMWELL_FUZZ=ON
cmake --build "$build" --target brimwell_fuzzers

# The ROM target writes and saves a file per input: keep that in memory where possible.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
export UBSAN_OPTIONS=print_stacktrace=1

mkdir -p "$build/findings" "$build/logs"
failed=()
shopt -s nullglob
fuzzers=("$build"/tests/fuzz/*_fuzzer)
[ ${#fuzzers[@]} -gt 0 ] || { echo "No fuzz targets were built." >&2; exit 1; }
for fuzzer in "${fuzzers[@]}"; do
  name=$(basename "$fuzzer" _fuzzer)
  corpus="$build/corpus/$name"
  log="$build/logs/$name.log"
  mkdir -p "$corpus"
  echo "Fuzzing $name for ${seconds}s"
  if "$fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$name-" "$corpus" "tests/fuzz/corpus/$name" >"$log" 2>&1; then
    grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1
  else
    tail -n 40 "$log"
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Findings in: ${failed[*]} (inputs in $build/findings/, logs in $build/logs/)" >&2
  exit 1
fi
echo "No findings."
