#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the demo
# need, only when something is missing. Safe to run again and again.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ git
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  mingw-w64 binutils-mingw-w64
  # the imaging library's JPEG/PNG writers and resampler (header-only)
  libstb-dev
  # fuzzing the stream decoder
  clang libclang-rt-14-dev
  # running and looking at the Windows programs
  wine wine64 xvfb xauth imagemagick x11-utils
  # reading the imaging library's TIFF files in its tests
  libtiff-tools
  # the network lab of the discovery tests
  iproute2 snmpd snmp dnsmasq-base tshark tcpdump
  # the SANE backend: its headers and libusb (found through pkg-config), and the front ends that test it
  libsane-dev libusb-1.0-0-dev pkg-config sane-utils python3-sane
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#packages[@]} packages present"
  exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
# tshark asks whether non-root users may capture; the answer does not matter here.
echo "wireshark-common wireshark-common/install-setuid boolean false" | $SUDO debconf-set-selections
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq "${missing[@]}"
echo "setup: done"
