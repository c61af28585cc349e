#!/usr/bin/env bash
# Tolvane Delay's LV2 edition against two delays Linux users have, all run by
# lilv's lv2bench in one go: 44.1 kHz, 512-frame blocks, each plug-in at its
# default settings and in a two-tap filtered feedback configuration. Prints the
# median of several runs in nanoseconds per stereo frame.
#
#   bench/lv2/run_lv2bench.sh [build dir]     (default: build)
#
# Installs the peers (Debian's calf-plugins and lsp-plugins-lv2) and lilv-utils
# when missing; they are only measured here, never used by the project.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
bundles="$build/lv2"
[ -f "$bundles/TolvaneDelay.lv2/manifest.ttl" ] ||
  { echo "bench: build the TolvaneDelay_lv2 target first ($bundles)" >&2; exit 1; }

packages=(lilv-utils liblilv-dev calf-plugins lsp-plugins-lv2 gcc)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
gcc -O2 -shared -fPIC -o "$work/bench_host_settings.so" "$root/bench/lv2/bench_host_settings.c" \
  $(pkg-config --cflags lilv-0) -ldl

rate=44100
block=512
frames=$((rate * 20))
runs=${BENCH_RUNS:-5}
export LV2_PATH="$bundles:/usr/lib/lv2:/usr/lib/x86_64-linux-gnu/lv2"

# name | URI | two-tap filtered feedback settings: taps at 375 ms (left) and
# 625 ms (right), each feeding back through low- and high-cut filters
plugins=(
  "Tolvane Delay|urn:tolvane:TolvaneDelay|switch=100 units=24.29 delay1=16.36 delay2=27.27 pan1=0 pan2=100 lp1=85 lp2=85 hp1=38.61 hp2=38.61 feedback1=60 feedback2=60"
  "Calf Vintage Delay|http://calf.sourceforge.net/plugins/VintageDelay|subdiv=4 time_l=3 time_r=5 feedback=0.6 medium=2 mix_mode=0"
  "LSP Artistic Delay|http://lsp-plug.in/plugins/lv2/art_delay_stereo|on0=1 on1=1 dadd0=0.375 dadd1=0.625 fbadd0=0.375 fbadd1=0.625 pl0=-100 pr0=-100 pl1=100 pr1=100 eq0=1 eq1=1 hc0=1 hc1=1 fhc0=5000 fhc1=5000 lc0=1 lc1=1 fbe0=1 fbe1=1 fbg0=0.6 fbg1=0.6"
)

# Seconds lv2bench takes for one plug-in in one configuration; empty when it
# cannot run the plug-in.
time_one() {
  BENCH_RATE=$rate BENCH_CONTROLS=$2 LD_PRELOAD="$work/bench_host_settings.so" \
    lv2bench -f -b "$block" -n "$frames" "$1" | grep -v '^#' | grep -F "$1" | awk '{print $3}'
}

# The runs interleave the plug-ins, so a busy machine weighs on all alike.
declare -A seconds
for run in $(seq "$runs"); do
  for entry in "${plugins[@]}"; do
    IFS='|' read -r name uri settings <<<"$entry"
    seconds["$name|default"]+="$(time_one "$uri" "") "
    seconds["$name|configured"]+="$(time_one "$uri" "$settings") "
  done
done

# The median of a list of seconds as ns per stereo frame.
median_ns() {
  [ -n "${1// /}" ] || { echo "n/a"; return; }
  printf '%s\n' $1 | sort -g | awk -v f="$frames" \
    '{ t[NR] = $1 } END { printf "%.1f\n", t[int((NR + 1) / 2)] / f * 1e9 }'
}

printf '%-20s %18s %28s\n' "ns per stereo frame" "default settings" "two-tap filtered feedback"
for entry in "${plugins[@]}"; do
  IFS='|' read -r name _ _ <<<"$entry"
  printf '%-20s %18s %28s\n' "$name" "$(median_ns "${seconds["$name|default"]}")" \
    "$(median_ns "${seconds["$name|configured"]}")"
done
echo "($rate Hz, $block-frame blocks, $frames frames, median of $runs runs of lv2bench)"
