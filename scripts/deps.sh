#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Quellor need, when any is missing.
# As root it runs apt-get; otherwise it prints the apt-get line to run and fails. Arguments name
# further packages that one script needs (the fuzzing script's clang).
set -euo pipefail
PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  libsndfile1-dev libasound2-dev libavahi-client-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  liblo-tools sox valgrind
  xvfb xauth xdotool imagemagick xclip x11-utils libxcb1-dev
  fonts-inter fonts-jetbrains-mono
  libclang-rt-14-dev
  libpipewire-0.3-dev pipewire pipewire-bin pipewire-pulse wireplumber pulseaudio-utils dbus-daemon
)
PACKAGES+=("$@")
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# The symbol icons come from the npm registry at configure time. Any npm will do: Debian's is taken
# only when none is on the path, since a Node.js from elsewhere already brings its own.
command -v npm > /dev/null || missing+=(nodejs npm)
if [ ${#missing[@]} -eq 0 ]; then exit 0; fi
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run as root:" >&2
  echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
