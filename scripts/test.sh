#!/usr/bin/env bash
# Installs what is missing, builds every test with AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs them all; then replays the fuzz targets' corpora (scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:${LSAN_OPTIONS:-}"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUELLOR_SANITIZE=ON > /dev/null
cmake --build build/asan
ctest --test-dir build/asan --output-on-failure -j "$(nproc)" "$@"
# Every fuzz target replays its committed corpus: an input that once broke a reader stays a test.
bash scripts/fuzz.sh --replay
