#!/usr/bin/env bash
# Installs the Debian packages the game, its tests and its tools need, skipping those present.
set -euo pipefail
packages=(build-essential cmake pkg-config git libglfw3-dev libopenal-dev libstb-dev
  zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool imagemagick sox
  mesa-utils libgl1-mesa-dri vorbis-tools fonts-dejavu-core openbox x11-utils x11-apps valgrind strace
  desktop-file-utils clang-format clang-tidy cppcheck
  # The score board (scores/): HTTP, JSON, both databases, SHA-256; wrk for its load figures.
  libcpp-httplib-dev nlohmann-json3-dev libsqlite3-dev libssl-dev libpqxx-dev postgresql-15 wrk curl)
# The browser build and its tests (scripts/web, the browser stage of scripts/test); node and npm
# come from Debian only where the machine has none of its own.
if [ "${1:-}" = "--web" ]; then
  packages+=(emscripten chromium optipng)
  command -v node >/dev/null || packages+=(nodejs)
  command -v npm >/dev/null || packages+=(npm)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
