#!/usr/bin/env bash
# Packages the committed HEAD twice, from two clones in two different folders, and checks the
# archives: each opens and holds exactly Pixlance.exe, README.txt and CHANGELOG.md at its root,
# the executable's version resource gives the project's version, and both are byte-identical.
# Uncommitted changes are not packaged.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
repo=$(pwd)
commit=$(git rev-parse HEAD)
# The one place the version is written; read here apart from the build, so the check sees a build
# that lost it.
version=$(sed -n 's/^project(Pixlance VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "check-package: no version in CMakeLists.txt" >&2; exit 1; }
name="Pixlance-$version-win64.zip"

work=$(mktemp -d "${TMPDIR:-/tmp}/pixlance-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
# Different folders and depths: a build path that leaks into the output makes the archives differ.
first=$work/a
second=$work/second/checkout-of-pixlance
for clone in "$first" "$second"; do
    git clone -q --no-checkout "$repo" "$clone"
    git -C "$clone" -c advice.detachedHead=false checkout -q "$commit"
    echo "check-package: packaging $commit in $clone"
    (cd "$clone" && tools/package.sh) | tee "$clone.out"
done

status=0
for clone in "$first" "$second"; do
    zip=$clone/dist/$name
    if ! python3 tools/check-archive.py "$zip" "$work/unpacked-${clone##*/}"; then
        status=1
        continue
    fi
    if ! python3 tools/pe-version.py "$work/unpacked-${clone##*/}/Pixlance.exe" \
        --expect "$version" >/dev/null; then
        echo "check-package: $zip: the version resource does not give $version" >&2
        status=1
    fi
    # What package.sh printed is the archive's real hash.
    if ! grep -qx "$(sha256sum "$zip" | cut -d' ' -f1)  dist/$name" "$clone.out"; then
        echo "check-package: package.sh printed no SHA-256 of $zip" >&2
        status=1
    fi
done
if ! cmp "$first/dist/$name" "$second/dist/$name"; then
    echo "check-package: the two archives differ; the executables:" >&2
    cmp -l "$first/build-release/Pixlance.exe" "$second/build-release/Pixlance.exe" | head -20 >&2
    status=1
fi
[ "$status" = 0 ] && echo "check-package: $name is reproducible: $(sha256sum "$first/dist/$name" | cut -d' ' -f1)"
exit "$status"
