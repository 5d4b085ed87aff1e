#!/usr/bin/env bash
# How much processor the program takes with the console open: the real program on a private X
# display (Xvfb), a simulated world with 8 applications playing tones, 16 strips shown. Reports the
# process's CPU seconds per wall second (utime + stime from /proc/<pid>/stat) over a span of
# seconds (30 unless given) with the main window open, then the same with the window closed.
# A benchmark to run by hand, not a test: the figures depend on the machine.
set -euo pipefail
cd "$(dirname "$0")/.."
span="${1:-30}"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELLOR_BENCH=OFF > /dev/null
cmake --build build/release --target quellor > /dev/null
source scripts/xvfb-session.sh

# Eight applications, each a tone of its own, on one USB interface.
{
  printf '{ "devices": [{ "uid": "usb", "name": "USB Audio Interface", "transport": "usb ", "output": { "streams": [8] } }],\n'
  printf '  "defaultOutput": "usb",\n  "processes": ['
  for i in 1 2 3 4 5 6 7 8; do
    [ "$i" -gt 1 ] && printf ','
    printf '\n    { "pid": %d, "bundleID": "org.quellor.bench.app%d", "name": "App %d", "playing": true,' $((5000 + i)) "$i" "$i"
    printf ' "tone": { "kind": "sine", "frequency": %d, "amplitude": 0.2 } }' $((200 + 60 * i))
  done
  printf '\n  ] }\n'
} > "$work/world.json"

home="$work/home"
mkdir -p "$home/config/Quellor" "$home/data" "$home/runtime"
chmod 700 "$home/runtime"
{
  printf '{"theme": "booth", "oscEnabled": false, "consoleStrips": 16,\n "consoleSlots": ['
  for i in 1 2 3 4 5 6 7 8; do printf '"org.quellor.bench.app%d", ' "$i"; done
  printf '"bus:main", "bus:phones", "system_output", "system_input", "", "", "", ""]}\n'
} > "$home/config/Quellor/defaults.json"

HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/runtime" \
  QUELLOR_WORLD="$work/world.json" build/release/quellor > "$home/log" 2>&1 &
app_pid=$!

window() {  # the visible window titled Quellor and $1 wide, waiting up to 20 s
  for _ in $(seq 200); do
    for candidate in $(xdotool search --all --onlyvisible --pid "$app_pid" --name '^Quellor$' 2>/dev/null || true); do
      if [ "$(xdotool getwindowgeometry --shell "$candidate" | sed -n 's/^WIDTH=//p')" = "$1" ]; then
        echo "$candidate"; return 0
      fi
    done
    sleep 0.1
  done
  echo "no window $1 wide" >&2; return 1
}
# utime + stime of the program, in clock ticks (fields 14 and 15; the name in field 2 has no spaces).
ticks() { awk '{ print $14 + $15 }' "/proc/$app_pid/stat"; }
measure() {  # label
  sleep 3  # let the change settle
  local t0 w0 t1 w1
  t0=$(ticks); w0=$(date +%s.%N)
  sleep "$span"
  t1=$(ticks); w1=$(date +%s.%N)
  awk -v label="$1" -v dt=$((t1 - t0)) -v hz="$(getconf CLK_TCK)" -v w0="$w0" -v w1="$w1" \
    'BEGIN { cpu = dt / hz; wall = w1 - w0; printf "%-14s %.3f CPU s / wall s (%.1f %% of one core; %.2f s over %.1f s)\n", label, cpu / wall, 100 * cpu / wall, cpu, wall }'
}

# The startup screen's first recent setup opens the main window (see scripts/screenshots.sh).
startup=$(window 376)
sleep 0.4
eval "$(xdotool getwindowgeometry --shell "$startup")"
xdotool mousemove $((X + 188)) $((Y + 215)) click 1
main=$(window 1180)
measure "window open"
xdotool windowfocus --sync "$main" key --clearmodifiers ctrl+w
for _ in $(seq 100); do
  [ -z "$(xdotool search --onlyvisible --pid "$app_pid" --name '^Quellor$' 2>/dev/null || true)" ] && break
  sleep 0.1
done
measure "window closed"
