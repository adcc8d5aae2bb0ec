#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Dialmere needs to build, run and test.
# Safe to run again: nothing is installed when everything is already there.
set -eu
packages=(
    cmake g++ make pkg-config ccache
    qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev
    fonts-dejavu-core
    xvfb xauth openbox xdotool trayer x11-utils x11-apps
    clang libclang-rt-14-dev libbenchmark-dev
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
