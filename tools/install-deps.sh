#!/usr/bin/env bash
# Installs, on Debian, the packages that building and testing Pixlance need and that are missing.
# With --bench, also what bench/run_e2e_bench.py needs (key presses, the X clipboard, scrot).
set -euo pipefail

packages=(
    cmake make
    mingw-w64 g++-mingw-w64-x86-64-posix
    wine wine64 xvfb x11-utils fonts-wqy-microhei
    googletest
    python3 python3-pyftpdlib
    vsftpd libpam-pwdfile lighttpd openssl procps
    imagemagick
    curl git
    clang libclang-rt-14-dev
)
if [ "${1:-}" = --bench ]; then
    packages+=(xdotool xclip scrot libxtst6)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=
[ "$(id -u)" -ne 0 ] && sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
