#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz) and runs each for a bounded time, starting from a
# scratch copy of its seed corpus so that a run never changes the repository. Fails when any
# fuzzer finds a crash, a sanitizer report, a hang or a broken invariant; the input that did it
# is kept under <build>/fuzz/run/<target>/findings/.
# Usage: scripts/fuzz.sh [seconds per fuzzer, default 30]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
build=${TALVANE_BUILD_DIR:-$root/build}/fuzz

# Longest input per target, in bytes: a full 32,767-character command line, integer text well
# past any valid length, and path parts longer than MAX_PATH.
declare -A max_len=([fuzz_command_line]=65536 [fuzz_int_text]=256 [fuzz_ini_path]=2048)

# Optimised, since the number of inputs tried is what finds faults.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
  -DTALVANE_WERROR=ON -DTALVANE_SANITIZE=ON -DTALVANE_FUZZ=ON >/dev/null
cmake --build "$build" --target fuzzers

# Stack traces of a finding with function names and lines, from the release's own llvm.
export ASAN_SYMBOLIZER_PATH=${ASAN_SYMBOLIZER_PATH:-/usr/bin/llvm-symbolizer}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
failed=()
for target in fuzz_command_line fuzz_int_text fuzz_ini_path; do
  run=$build/run/$target
  rm -rf "$run"
  mkdir -p "$run/corpus" "$run/findings"
  cp "$root/tests/fuzz/corpus/${target#fuzz_}"/* "$run/corpus/"
  if "$build/bin/$target" "$run/corpus" -max_total_time="$seconds" -max_len="${max_len[$target]}" \
       -timeout=10 -print_final_stats=1 -artifact_prefix="$run/findings/" >"$run/log" 2>&1; then
    # The last status line carries the totals: inputs run, coverage, corpus size.
    echo "$target: $(grep -E '^#[0-9]+' "$run/log" | tail -n 1)"
  else
    echo "$target: FINDING (log: $run/log; again: $build/bin/$target $run/findings/<file>)"
    tail -n 40 "$run/log"
    failed+=("$target")
  fi
done

if ((${#failed[@]} > 0)); then
  echo "fuzzing found faults in: ${failed[*]}" >&2
  exit 1
fi
