#!/usr/bin/env bash
# Installs what is missing, builds the game and makes its Debian package,
# build/zephrine_<version>_amd64.deb; `sudo apt install ./build/zephrine_*.deb`
# installs it.
set -euo pipefail
cd "$(dirname "$0")"
source tools/install-deps.sh
zephrine_install_missing "${zephrine_packages[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target package
ls build/zephrine_*.deb
