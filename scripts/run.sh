#!/usr/bin/env bash
# Installs what is missing, builds Quellor (release) and starts it. Offscreen when there is no display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELLOR_BENCH=OFF > /dev/null
cmake --build build/release --target quellor
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  export QT_QPA_PLATFORM=offscreen
fi
exec build/release/quellor "$@"
