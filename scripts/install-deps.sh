#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the fuzz targets, the benchmarks and the
# Debian package need, and only those missing. Uses sudo when not run as root.
#   install-deps.sh            what `make test`, `make run` and `make bench` need
#   install-deps.sh --slurm    that, and the one-node Slurm cluster of `make test-slurm`
set -euo pipefail

packages=(
  build-essential cmake ninja-build
  qt6-base-dev libgl-dev libxcb1-dev
  pkg-config libavcodec-dev libavformat-dev libswscale-dev libavutil-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
  desktop-file-utils appstream
  clang libclang-rt-14-dev
  dpkg-dev file lintian devscripts
  qemu-user
  parallel
)
if [ "${1:-}" = --slurm ]; then
  packages+=(slurm-wlm munge)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
