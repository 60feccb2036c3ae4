#!/usr/bin/env bash
# Installs what is missing and builds Pixlance.exe for Windows.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

tools/install-deps.sh
cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)" --target Pixlance
echo "Built $(pwd)/build/Pixlance.exe (the tray program itself is not wired up yet)."
