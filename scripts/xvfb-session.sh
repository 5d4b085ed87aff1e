# Sourced by the scripts that run the real program on a private X display: a scratch folder
# ($work), a private Xvfb as $DISPLAY, and a cleanup on exit that ends the program ($app_pid, once
# set) and the display.
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
