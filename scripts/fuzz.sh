#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer) in
# build/fuzz and runs them.
#
#   bash scripts/fuzz.sh [target...]           fuzz each target for $RUNS inputs (default 1000000)
#   bash scripts/fuzz.sh --replay [target...]  run each target once over its committed seed corpus
#
# Fuzzing starts from fuzz/corpus/<target> and keeps what it finds in build/fuzz/corpus/<target>;
# an input that crashes is written to build/fuzz/findings/<target>/. Once the bug is fixed, copy
# that input into fuzz/corpus/<target>/ so that the replay (run by scripts/test.sh) keeps it a test.
# Per target it prints the runs, executions per second, coverage (cov: edges, ft: features) and
# any crash. FUZZ_JOBS targets run at once (default 1); JOBS limits the build's parallel jobs.
set -euo pipefail
cd "$(dirname "$0")/.."
ALL_TARGETS=(osc_message osc_command midi_mappings setups_file setup_import user_defaults simulated_world wav_repair)

replay=0
if [ "${1:-}" = "--replay" ]; then replay=1; shift; fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${ALL_TARGETS[@]}")
RUNS="${RUNS:-1000000}"
FUZZ_JOBS="${FUZZ_JOBS:-1}"

bash scripts/deps.sh clang llvm
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DQUELLOR_FUZZ=ON -DQUELLOR_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -gline-tables-only" > /dev/null
cmake --build build/fuzz --target fuzzers ${JOBS:+-j "$JOBS"}

# A smaller quarantine for freed memory than the default 256 MB: the readers free much per input, and
# the default lets a long run grow past a gigabyte and slow to half speed.
export ASAN_OPTIONS="detect_leaks=1:quarantine_size_mb=64:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:${LSAN_OPTIONS:-}"
# The readers write their files under $TMPDIR: memory is much faster than a disk that syncs.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then scratch=$(mktemp -d /dev/shm/quellor-fuzz.XXXXXX)
else mkdir -p build/fuzz/tmp && scratch=$(mktemp -d "$PWD/build/fuzz/tmp/run.XXXXXX"); fi
trap 'rm -rf "$scratch"' EXIT

dictionary() {
  case "$1" in
    setups_file|setup_import) echo fuzz/setups.dict ;;
    *) [ -f "fuzz/$1.dict" ] && echo "fuzz/$1.dict" ;;
  esac
}

# Runs one target; its log goes to build/fuzz/logs/<target>.log and its summary to .summary.
run_target() {
  local target=$1 log=build/fuzz/logs/$1.log dict status=0
  local seeds=fuzz/corpus/$target findings=build/fuzz/findings/$target
  mkdir -p "$findings" "$scratch/$target"
  # A take's header is looked for in its first 4096 bytes: the WAV inputs may be longer.
  local max_len=4096
  [ "$target" != wav_repair ] || max_len=8192
  local args=(-seed=1 -timeout=10 -max_len=$max_len -artifact_prefix="$findings/")
  dict=$(dictionary "$target") && args+=(-dict="$dict")
  if [ $replay = 1 ]; then
    args+=(-runs=0 "$seeds")
  else
    mkdir -p "build/fuzz/corpus/$target"
    args+=(-runs="$RUNS" -print_final_stats=1 "build/fuzz/corpus/$target" "$seeds")
  fi
  local start end
  start=$(date +%s.%N)
  TMPDIR="$scratch/$target" "build/fuzz/fuzz/fuzz_$target" "${args[@]}" > "$log" 2>&1 || status=$?
  end=$(date +%s.%N)
  local last runs execs cov ft seconds result
  last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
  runs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+)/\1/p' "$log" | tail -1)
  [ -n "$runs" ] || runs=$(sed -nE 's/^#([0-9]+).*/\1/p' <<< "$last")
  cov=$(sed -nE 's/.*cov: ([0-9]+).*/\1/p' <<< "$last")
  ft=$(sed -nE 's/.*ft: ([0-9]+).*/\1/p' <<< "$last")
  seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }')
  execs=$(awk -v n="${runs:-0}" -v t="$seconds" 'BEGIN { printf "%d", (t > 0) ? n / t : 0 }')
  if [ $status = 0 ]; then
    result=ok
  else
    result="CRASH (exit $status): $(grep -m1 -E 'ERROR: |runtime error|invariant does not hold|deadly signal' "$log" || true)"
    local unit; unit=$(sed -nE 's/.*Test unit written to (.*)/\1/p' "$log" | tail -1)
    [ -z "$unit" ] || result="$result; input: $unit"
  fi
  printf '%-16s runs %-9s exec/s %-7s cov %-6s ft %-6s time %ss  %s\n' "$target" "${runs:-?}" "${execs:-?}" \
    "${cov:-?}" "${ft:-?}" "${seconds:-?}" "$result" > "build/fuzz/logs/$target.summary"
}

mkdir -p build/fuzz/logs
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$FUZZ_JOBS" ]; do wait -n || true; done
  run_target "$target" &
done
wait
failed=0
for target in "${targets[@]}"; do
  cat "build/fuzz/logs/$target.summary"
  grep -q '  ok$' "build/fuzz/logs/$target.summary" || failed=1
done
if [ $failed != 0 ]; then
  echo "A fuzz target failed; its log is in build/fuzz/logs/." >&2
  exit 1
fi
