#!/usr/bin/env bash
# Installs what is missing, builds every test with AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs them all; then builds them once more as a plain optimized Release build and runs them
# there too, where the allocator and the optimizer behave as in the shipped program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:${LSAN_OPTIONS:-}"
# Compiler results are shared between clones of the project in other folders.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
# The benchmarks are built and run by the Release pass below, where their figures mean something.
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUELLOR_SANITIZE=ON -DQUELLOR_BENCH=OFF > /dev/null
cmake --build build/asan
ctest --test-dir build/asan --output-on-failure -j "$(nproc)" "$@"
cmake -S . -B build/release-tests -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" > /dev/null
cmake --build build/release-tests
ctest --test-dir build/release-tests --output-on-failure -j "$(nproc)" "$@"
