#!/usr/bin/env bash
# Builds the release from a clean build folder and writes dist/Pixlance-<version>-win64.zip with
# Pixlance.exe, README.txt and CHANGELOG.md at its root; prints the archive's SHA-256.
# The same commit gives the same bytes wherever it is checked out (tools/check-package.sh).
#
#   tools/package.sh [BUILD_FOLDER]     default build-release; it is removed first
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

build=${1:-build-release}
rm -rf "$build"
mkdir -p "$build"
log=$build/package.log
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DPIXLANCE_BUILD_TESTS=OFF >"$log" 2>&1 ||
    { cat "$log" >&2; exit 1; }
cmake --build "$build" -j"$(nproc)" --target Pixlance >>"$log" 2>&1 ||
    { cat "$log" >&2; exit 1; }

# The version as CMake read it from the project, the one place it is written.
version=$(sed -n 's/^#define PIXLANCE_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/PixlanceVersion.h")
[ -n "$version" ] || { echo "package.sh: no version in $build/generated" >&2; exit 1; }

# Every entry carries the commit's time, so the archive does not change with the day it is made.
if stamp=$(git log -1 --format=%ct 2>/dev/null); then :; else stamp=315532800; fi

staging="$build/package"
mkdir -p "$staging" dist
# Notepad users get Windows line ends.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' deploy/release/README.txt >"$staging/README.txt"
sed -e 's/$/\r/' CHANGELOG.md >"$staging/CHANGELOG.md"
archive="dist/Pixlance-$version-win64.zip"
python3 tools/make-zip.py "$archive" "$stamp" Pixlance.exe="$build/Pixlance.exe" \
    README.txt="$staging/README.txt" CHANGELOG.md="$staging/CHANGELOG.md"
echo "$archive"
sha256sum "$archive"
