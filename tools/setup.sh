#!/usr/bin/env bash
# Installs every Debian package the build, tests, benchmarks and tools need.
# Idempotent: quiet and quick when everything is already installed.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang pkg-config
  libclang-rt-14-dev
  libpng-dev zlib1g-dev
  libfreetype-dev libfontconfig-dev fonts-dejavu-core
  libsndfile1-dev
  libplist-dev
  libx11-dev libxext-dev
  xvfb xdotool x11-apps
  lv2-dev liblilv-dev
  lilv-utils serdi sordi jalv jackd2
  libgtest-dev libgmock-dev libbenchmark-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
