#!/usr/bin/env bash
# Presses a capture combination in the Wine session that tools/run.sh started, or stops it.
#   tools/press.sh full|active|select|CODE,CODE,...
#   tools/press.sh stop
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
run="$(pwd)/build/run"
export WINEPREFIX="$run/prefix" WINEDEBUG=-all
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
if [ -z "${DISPLAY:-}" ] && [ -f "$run/xvfb.pid" ]; then
    n=$(tr '\0' ' ' <"/proc/$(cat "$run/xvfb.pid")/cmdline" | awk '{print $2}')
    export DISPLAY="$n"
fi

if [ "${1:-}" = stop ]; then
    wineserver -k 2>/dev/null || true
    sudo=
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo deploy/upload-service/run-local.sh stop "$run/service"
    for p in pixlance xvfb; do
        [ -f "$run/$p.pid" ] && kill "$(cat "$run/$p.pid")" 2>/dev/null || true
        rm -f "$run/$p.pid"
    done
    exit 0
fi
"$wine" "$(pwd)/build/tools/pixlance-keys.exe" "${1:-full}" >/dev/null 2>&1 </dev/null
