#!/usr/bin/env bash
# Writes a PNG of every window of Quellor in every theme to build/screenshots/, from the real
# program on a private X display (Xvfb), so that anyone can look at the windows.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELLOR_BENCH=OFF > /dev/null
cmake --build build/release --target quellor
out="$PWD/build/screenshots"
mkdir -p "$out"
work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number once it accepts connections.
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb

# The visible window of the program titled exactly $1, waiting up to 20 s.
window() {
  local id=""
  for _ in $(seq 200); do
    id=$(xdotool search --all --onlyvisible --pid "$app_pid" --name "^$1\$" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || { echo "no window '$1'" >&2; return 1; }
  echo "$id"
}
shoot() {  # window id, file name
  sleep 0.5  # the first frame of a new window
  import -window "$1" "$out/$2.png"
  echo "$out/$2.png"
}

for theme in booth studio daylight; do
  home="$work/$theme"
  mkdir -p "$home/config/Quellor" "$home/data" "$home/runtime"
  chmod 700 "$home/runtime"
  printf '{"theme": "%s", "oscEnabled": false}\n' "$theme" > "$home/config/Quellor/defaults.json"
  HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/runtime" \
    build/release/quellor > "$home/log" 2>&1 &
  app_pid=$!
  main=$(window Quellor)
  shoot "$main" "main-window-$theme"
  xdotool windowfocus --sync "$main" key --clearmodifiers ctrl+n
  shoot "$(window 'New setup')" "new-setup-prompt-$theme"
  xdotool key Escape
  xdotool windowfocus --sync "$main" key --clearmodifiers ctrl+comma
  shoot "$(window Settings)" "settings-sheet-$theme"
  kill -TERM "$app_pid"
  wait "$app_pid" || true
  app_pid=""
done
