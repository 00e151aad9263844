#!/usr/bin/env bash
# Installs the Debian packages Korvane needs to build, run and test, when missing.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config ccache clang libclang-rt-dev llvm
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  libgtest-dev googletest libbenchmark-dev libeigen3-dev libspectra-dev zlib1g-dev xvfb xauth locales-all fonts-dejavu-core
  python3-ezdxf ghostscript hp2xx openbox x11-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
