#!/usr/bin/env bash
# What tapping costs on PipeWire: a private PipeWire server (as the tests start one) with players of
# a tone (8 unless given) on a null sink at a forced quantum (64 frames unless given). For a span of
# seconds (60 unless given) it measures the players alone, then again while the program (a Release
# build) records, which taps every playing application. It prints side by side the CPU of the
# players, of the program and of the server (CPU seconds per wall second, from /proc/<pid>/stat),
# and the errors of the players' nodes and of the program's nodes (cycles that pw-profiler saw end
# before the node had finished), with the load average, since the machine may be shared.
# A benchmark to run by hand, not a test: the figures depend on the machine.
#   bash scripts/pipewire-bench.sh [span] [players] [quantum]
# QUELLOR=<binary> measures that program instead of building this one (another version, say).
set -euo pipefail
cd "$(dirname "$0")/.."
span="${1:-60}"
players="${2:-8}"
quantum="${3:-64}"
quellor="${QUELLOR:-build/release/quellor}"
if [ -z "${QUELLOR:-}" ]; then
  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUELLOR_BENCH=OFF > /dev/null
  cmake --build build/release --target quellor -j3 > /dev/null
fi
quellor=$(realpath "$quellor")

work=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2> /dev/null || true; done
  wait 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The private session, as tests/platform/PrivatePipeWire.cpp sets it up: one null sink, and a session
# manager that keeps its hands off the machine's devices.
runtime="$work/runtime"
mkdir -p "$runtime" "$work/config/pipewire/pipewire.conf.d" "$work/state" "$work/home" \
  "$work/config/wireplumber/main.lua.d" "$work/config/wireplumber/bluetooth.lua.d"
chmod 700 "$runtime"
cat > "$work/config/pipewire/pipewire.conf.d/bench-sink.conf" << 'EOF'
context.objects = [
  { factory = adapter
    args = { factory.name = support.null-audio-sink node.name = "quellor-bench-sink"
             node.description = "Bench Sink" media.class = Audio/Sink
             audio.position = [ FL FR ] audio.rate = 48000 object.linger = true } }
]
EOF
printf 'alsa_monitor.enabled = false\nv4l2_monitor.enabled = false\nlibcamera_monitor.enabled = false\n' \
  > "$work/config/wireplumber/main.lua.d/51-private-bench-session.lua"
printf 'bluez_monitor.enabled = false\n' > "$work/config/wireplumber/bluetooth.lua.d/51-private-bench-session.lua"
export XDG_RUNTIME_DIR="$runtime" PIPEWIRE_RUNTIME_DIR="$runtime" XDG_CONFIG_HOME="$work/config" \
  XDG_STATE_HOME="$work/state" HOME="$work/home" DBUS_SESSION_BUS_ADDRESS="unix:path=$runtime/bus"
unset PIPEWIRE_REMOTE PULSE_SERVER PULSE_RUNTIME_PATH DISPLAY WAYLAND_DISPLAY

until_true() {  # seconds command...: polls every 0.1 s
  local tries=$(($1 * 10)); shift
  for _ in $(seq "$tries"); do "$@" > /dev/null 2>&1 && return 0; sleep 0.1; done
  echo "gave up waiting for: $*" >&2; return 1
}
dbus-daemon --session --nofork --nopidfile --address="unix:path=$runtime/bus" > "$work/dbus.log" 2>&1 &
pids+=($!)
until_true 10 test -S "$runtime/bus"
pipewire > "$work/pipewire.log" 2>&1 &
server=$!
pids+=("$server")
until_true 10 test -S "$runtime/pipewire-0"
wireplumber > "$work/wireplumber.log" 2>&1 &
pids+=($!)
until_true 20 sh -c 'pw-cli ls Node | grep -q quellor-bench-sink'
until_true 20 sh -c 'pw-metadata -n settings | grep -q clock'
pw-metadata -n settings 0 clock.force-quantum "$quantum" > /dev/null

tone="$work/tone.wav"
sox -n -r 48000 -c 2 -b 16 "$tone" synth $((2 * span + 400)) sine 440 vol 0.5
# Each player is an application of its own (a copy of pw-cat under a name of its own), so that the
# program gives each a strip and a tap.
mkdir -p "$work/bin"
player_pids=()
for i in $(seq "$players"); do
  cp "$(command -v pw-cat)" "$work/bin/bench-player-$i"
  "$work/bin/bench-player-$i" --playback --target quellor-bench-sink "$tone" > /dev/null 2>&1 &
  player_pids+=($!)
  pids+=($!)
done
until_true 20 sh -c "[ \$(pw-cli ls Node | grep -c 'node.name = \"bench-player-') -ge $players ]"

# utime + stime of processes, in clock ticks (fields 14 and 15; the names have no spaces).
ticks() { local t=0 p; for p in "$@"; do t=$((t + $(awk '{ print $14 + $15 }' "/proc/$p/stat"))); done; echo "$t"; }
# Errors per node over a span, from pw-profiler's log: after four columns of the driver, eight per
# node of the graph (id, four times, two durations, status); a node whose status at the end of the
# cycle is "triggered" (1) or "awake" (2) did not finish its cycle in time. Summed over the nodes
# whose name matches $3 (an awk pattern), names by id from $2 (pw-cli ls Node).
errors() {  # profiler log, node list, name pattern
  awk -v pattern="$3" '
    FNR == NR {
      if ($1 == "id") { id = $2; sub(",", "", id) }
      if ($1 == "node.name") { name = $3; gsub("\"", "", name); names[id] = name }
      next
    }
    { for (i = 5; i + 6 <= NF; i += 8) if ($i ~ /^[0-9]+$/ && ($(i + 6) == 1 || $(i + 6) == 2)) late[$i]++ }
    END { n = 0; for (id in late) if (names[id] ~ pattern) n += late[id]; print n }' "$2" FS='\t' "$1"
}
cpu=()  # label value pairs, filled by measure
measure() {  # phase, program pid or empty
  local phase=$1 app=$2 t0p t0s t0a=0 w0 t1p t1s t1a=0 w1 hz
  hz=$(getconf CLK_TCK)
  sleep 3  # let the graph settle
  pw-cli ls Node > "$work/nodes-$phase.txt"
  (cd "$work" && exec timeout -s INT "$span" pw-profiler -o "$work/profile-$phase.log" > /dev/null 2>&1) &
  local profiler=$!
  t0p=$(ticks "${player_pids[@]}"); t0s=$(ticks "$server"); [ -n "$app" ] && t0a=$(ticks "$app")
  w0=$(date +%s.%N)
  load0=$(cut -d' ' -f1-3 /proc/loadavg)
  sleep "$span"
  t1p=$(ticks "${player_pids[@]}"); t1s=$(ticks "$server"); [ -n "$app" ] && t1a=$(ticks "$app")
  w1=$(date +%s.%N)
  wait "$profiler" || true
  local wall
  wall=$(awk -v a="$w0" -v b="$w1" 'BEGIN { print b - a }')
  players_cpu[$phase]=$(awk -v t=$((t1p - t0p)) -v hz="$hz" -v w="$wall" 'BEGIN { printf "%.1f", 100 * t / hz / w }')
  server_cpu[$phase]=$(awk -v t=$((t1s - t0s)) -v hz="$hz" -v w="$wall" 'BEGIN { printf "%.1f", 100 * t / hz / w }')
  app_cpu[$phase]=$(awk -v t=$((t1a - t0a)) -v hz="$hz" -v w="$wall" 'BEGIN { printf "%.1f", 100 * t / hz / w }')
  player_errors[$phase]=$(errors "$work/profile-$phase.log" "$work/nodes-$phase.txt" '^bench-player-')
  app_errors[$phase]=$(errors "$work/profile-$phase.log" "$work/nodes-$phase.txt" '^quellor[.]')
  profiled[$phase]=$(wc -l < "$work/profile-$phase.log")
  app_nodes[$phase]=$(pw-cli ls Node | grep -c '"quellor\.' || true)
  load[$phase]="$load0 -> $(cut -d' ' -f1-3 /proc/loadavg)"
}
declare -A players_cpu server_cpu app_cpu player_errors app_errors app_nodes load profiled

measure alone ""

# The program, seeded as the whole-program test seeds it, records over OSC: that taps every player.
pin=246810
port=$(python3 -c 'import socket; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
app_home="$work/app"
mkdir -p "$app_home/config/Quellor" "$app_home/data" "$app_home/runtime"
chmod 700 "$app_home/runtime"
printf '{"companionPairingPIN": "%s", "oscEnabled": true, "oscPort": %d}\n' "$pin" "$port" \
  > "$app_home/config/Quellor/defaults.json"
HOME="$app_home" XDG_CONFIG_HOME="$app_home/config" XDG_DATA_HOME="$app_home/data" \
  XDG_RUNTIME_DIR="$app_home/runtime" QT_QPA_PLATFORM=offscreen "$quellor" > "$work/quellor.log" 2>&1 &
app=$!
pids+=("$app")
until_true 60 grep -q "Quellor started" "$work/quellor.log"
recording() { oscsend 127.0.0.1 "$port" "/a/$pin/record" f 1; grep -q "Recording to " "$work/quellor.log"; }
until_true 30 recording
until_true 180 sh -c "[ \$(pw-cli ls Node | grep -c '\"quellor\.tap\.') -ge $players ]" || true
measure tapped "$app"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "x%.2f", a / b; else print "-" }'; }
cycles=$((span * 48000 / quantum))
echo "$players players at a $quantum-frame quantum, $span s per column (about $cycles cycles)"
printf '%-30s %16s %16s %10s\n' "" "players alone" "tapped" "ratio"
printf '%-30s %15s%% %15s%% %10s\n' "players' CPU (one core = 100)" "${players_cpu[alone]}" "${players_cpu[tapped]}" \
  "$(ratio "${players_cpu[tapped]}" "${players_cpu[alone]}")"
printf '%-30s %16s %15s%% %10s\n' "program's CPU" "-" "${app_cpu[tapped]}" \
  "$(ratio "${app_cpu[tapped]}" "${players_cpu[tapped]}") of players"
printf '%-30s %15s%% %15s%% %10s\n' "server's CPU" "${server_cpu[alone]}" "${server_cpu[tapped]}" \
  "$(ratio "${server_cpu[tapped]}" "${server_cpu[alone]}")"
printf '%-30s %16s %16s\n' "players' errors (all players)" "${player_errors[alone]}" "${player_errors[tapped]}"
printf '%-30s %16s %16s\n' "program's errors (its nodes)" "-" "${app_errors[tapped]}"
printf '%-30s %16s %16s\n' "cycles profiled" "${profiled[alone]}" "${profiled[tapped]}"
printf '%-30s %16s %16s\n' "program's nodes" "${app_nodes[alone]}" "${app_nodes[tapped]}"
printf '%-30s %16s %16s\n' "load average (start -> end)" "" ""
printf '  %-28s %s\n' "players alone" "${load[alone]}" "tapped" "${load[tapped]}"
