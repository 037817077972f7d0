#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it from its folder.
set -euo pipefail
cd "$(dirname "$0")"
source tools/install-deps.sh
zephrine_install_missing "${zephrine_packages[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"

if [ ! -x build/game/zephrine ]; then
  echo "Built; the game binary is not part of this build yet."
  exit 0
fi
cd build/game
exec ./zephrine
