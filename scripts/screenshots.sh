#!/usr/bin/env bash
# Writes a PNG of every window of Quellor in every theme to build/screenshots/, from the real
# program on a private X display (Xvfb), so that anyone can look at the windows.
set -euo pipefail
cd "$(dirname "$0")/.."
# QUELLOR=<binary> shoots that program instead of building this one (a sanitized build, say).
bash scripts/deps.sh
if [ -z "${QUELLOR:-}" ]; then
  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELLOR_BENCH=OFF > /dev/null
  cmake --build build/release --target quellor
  QUELLOR=build/release/quellor
fi
QUELLOR=$(realpath "$QUELLOR")
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
out="$PWD/build/screenshots"
mkdir -p "$out"
source scripts/xvfb-session.sh

# The visible window of the program titled exactly $1 (and $2 pixels wide, when given), waiting
# up to 20 s. The startup screen, the permission window and the main window share one title.
window() {
  local id=""
  for _ in $(seq 200); do
    for candidate in $(xdotool search --all --onlyvisible --pid "$app_pid" --name "^$1\$" 2>/dev/null || true); do
      if [ -z "${2:-}" ] || [ "$(xdotool getwindowgeometry --shell "$candidate" | sed -n 's/^WIDTH=//p')" = "$2" ]; then
        id=$candidate
        break
      fi
    done
    [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || { echo "no window '$1' ${2:-}" >&2; return 1; }
  echo "$id"
}
# Clicks at a point of window $1, $2 and $3 from its top left corner.
click_in() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove $((X + $2)) $((Y + $3)) click 1
}
# A machine whose user has not let Quellor capture audio.
cat > "$work/refused-world.json" <<'JSON'
{ "devices": [{ "uid": "usb", "name": "USB Audio Interface", "transport": "usb ", "output": { "streams": [8] } }],
  "defaultOutput": "usb",
  "processes": [{ "pid": 4101, "bundleID": "org.quellor.sim.tone-a", "name": "Tone A", "playing": true,
                  "tone": { "kind": "sine", "frequency": 440, "amplitude": 0.25 } }],
  "capturePermission": false }
JSON
# The console's strips: the three applications of the built-in world, the buses and the system
# devices, one application coloured and grouped, one renamed, cued and muted. Styles and volumes
# are JSON data in the defaults file.
data() { printf '{"$data": "%s"}' "$(printf '%s' "$1" | base64 -w0)"; }
strip_defaults() {  # theme
  printf '{"theme": "%s", "oscEnabled": false,\n' "$1"
  printf ' "consoleSlots": ["org.quellor.sim.tone-a", "org.quellor.sim.tone-b", "org.quellor.sim.quiet", "bus:main",'
  printf ' "bus:phones", "system_output", "system_input", "", "", "", "", "", "", "", "", ""],\n'
  printf ' "stripStyles": %s,\n' "$(data '{"org.quellor.sim.tone-a": {"color": 2, "group": "B"}, "org.quellor.sim.tone-b": {"name": "Synth"}}')"
  printf ' "appVolumes": %s}\n' "$(data '{"org.quellor.sim.tone-b": {"volume": 0.5, "isMuted": true, "outputDeviceUIDs": [], "isCued": true, "cueVolume": 0.8}}')"
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
  strip_defaults "$theme" > "$home/config/Quellor/defaults.json"
  # The pictures show the built-in simulated world: no PipeWire server lives in the private runtime.
  HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/runtime" \
    PIPEWIRE_RUNTIME_DIR="$home/runtime" "$QUELLOR" > "$home/log" 2>&1 &
  app_pid=$!
  # The startup screen greets first; its first recent setup (centred at 188, 215: 30 above, the
  # 52-high header, two buttons of 38, the 22 + 13 of the list header and 8 more) opens the main window.
  startup=$(window Quellor 376)
  sleep 0.4  # its entrance
  shoot "$startup" "startup-screen-$theme"
  click_in "$startup" 188 215
  main=$(window Quellor 1180)
  sleep 1  # the meters' first readings
  shoot "$main" "main-window-$theme"
  # The whole console: the console column (right of the sources column, 27 % of the 1180-wide
  # window, and its 2-point edge), its top bar and strips, below the window's menu bar.
  eval "$(xdotool getwindowgeometry --shell "$main")"
  convert "$out/main-window-$theme.png" -crop "859x900+321+$((HEIGHT - 900))" +repage "$out/console-$theme.png"
  echo "$out/console-$theme.png"
  # The source grid alone: the sources column, 27 % of the window, below the menu bar.
  convert "$out/main-window-$theme.png" -crop "319x900+0+$((HEIGHT - 900))" +repage "$out/sources-$theme.png"
  echo "$out/sources-$theme.png"
  # A menu and a tooltip as the theme draws them, shot from the screen since each is a window of
  # its own: the menu bar's Quellor menu, then the help of the top bar's settings button (the last
  # control of the bar, 28 from the window's right edge, centred 43 down).
  xdotool mousemove $((X + 30)) $((Y + 9)) click 1
  sleep 0.6
  import -window root -crop "360x300+$X+$Y" +repage "$out/menu-$theme.png"
  echo "$out/menu-$theme.png"
  xdotool key Escape
  xdotool mousemove $((X + WIDTH - 28)) $((Y + 43))
  sleep 1.5
  import -window root -crop "360x120+$((X + WIDTH - 240))+$((Y + 30))" +repage "$out/tooltip-$theme.png"
  echo "$out/tooltip-$theme.png"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  xdotool windowfocus --sync "$main" key --clearmodifiers ctrl+n
  shoot "$(window 'New setup')" "new-setup-prompt-$theme"
  xdotool key Escape
  xdotool windowfocus --sync "$main" key --clearmodifiers ctrl+comma
  # The settings open on General with the focus on its tab; the right arrow selects the next tab.
  settings=$(window Settings)
  for tab in general devices audio ios; do
    [ "$tab" = general ] || xdotool windowfocus --sync "$settings" key --clearmodifiers Right
    shoot "$settings" "settings-$tab-$theme"
  done
  xdotool key Escape
  kill -TERM "$app_pid"
  wait "$app_pid" || true
  app_pid=""

  # The permission window, on a machine that refuses capture.
  printf '{"theme": "%s", "oscEnabled": false}\n' "$theme" > "$home/config/Quellor/defaults.json"
  QUELLOR_WORLD="$work/refused-world.json" \
    HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/runtime" \
    "$QUELLOR" > "$home/log-refused" 2>&1 &
  app_pid=$!
  permission=$(window Quellor 420)
  window Quellor 376 > /dev/null  # the startup screen comes up over it: bring it back on top
  xdotool windowraise "$permission"
  shoot "$permission" "permission-window-$theme"
  kill -TERM "$app_pid"
  wait "$app_pid" || true
  app_pid=""
done
