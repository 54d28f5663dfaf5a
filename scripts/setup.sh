#!/usr/bin/env bash
# Installs every Debian package the build, the tools and the tests need.
# Idempotent: does nothing when all are present.
set -euo pipefail

packages=(
    cmake g++ make pkg-config binutils
    libgtest-dev libgmock-dev libbenchmark-dev
    libsndfile1-dev
    libx11-dev libgl-dev libxtst-dev x11-utils
    dpf-source python3-glad
    fonts-noto-core
    clang libclang-rt-14-dev
    xvfb xauth libgl1-mesa-dri
    python3-pil
    lv2-dev liblilv-dev lilv-utils sordi jalv jackd2 lintian dpkg-dev
    meson ninja-build libelf-dev
    qtractor libjack-jackd2-dev desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
