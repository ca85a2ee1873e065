#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything and runs the main job: a `zorvikan check`
# of an example tag list.
# Run as root (or with sudo): it installs the build dependencies with apt-get.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake binutils
  libgtest-dev libgmock-dev libbenchmark-dev librapidcheck-dev
  libcli11-dev nlohmann-json3-dev
  clang clang-format libclang-rt-14-dev
)

if ! dpkg -s "${packages[@]}" >/dev/null 2>&1; then
  as_root=()
  if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi
  "${as_root[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y --no-install-recommends "${packages[@]}"
fi

cmake --workflow --preset default
# The example holds deliberately wrong rows, so status 1 (some rows invalid) is the expected
# outcome; 2 (a usage or I/O error) fails the setup.
status=0
build/default/bin/zorvikan check --type-column DataType examples/mp-packaging-line.csv || status=$?
[ "$status" -le 1 ]
