#!/usr/bin/env bash
# Installs what is missing, builds Pixlance and its tests for Windows, and runs the whole suite
# under Wine on a virtual display. Then builds the portable code natively with clang under
# AddressSanitizer and UndefinedBehaviorSanitizer, runs its tests, and fuzzes it for about a minute.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

tools/install-deps.sh
# The include graph has no cycle and no product source grows past 400 lines.
python3 tools/check-includes.py
cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
# As root, the suite gets a mount namespace of its own: tests may mount small file systems there
# that nothing outside the run sees.
if [ "$(id -u)" = 0 ] && unshare -m --propagation private true 2>/dev/null; then
    PIXLANCE_OWN_MOUNT_NAMESPACE=1 unshare -m --propagation private \
        ctest --test-dir build -j"$(nproc)" --output-on-failure
else
    ctest --test-dir build -j"$(nproc)" --output-on-failure
fi

cmake -S . -B build-host -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-host -j"$(nproc)"
ctest --test-dir build-host -j"$(nproc)" --output-on-failure
tools/fuzz.sh 60
# The release archive: packaged from two clean clones of HEAD in two folders, checked and compared.
tools/check-package.sh
