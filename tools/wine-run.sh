#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, with the build tree's own Wine prefix and, when
# no display is set, a virtual 1920 x 1080 x 24 display. See PIXLANCE_FILE_SIZE_LIMIT_KB below.
#
#   wine-run.sh PROGRAM.exe [ARGS...]   run one program; its exit code is ours
#   wine-run.sh --start-session         create the prefix once, start a shared display and wineserver
#   wine-run.sh --end-session           stop what --start-session started
#
# Wine's helper processes inherit the output of whoever started them, so the program's output goes to
# files first and is copied out when it ends; otherwise a reader of our output could wait forever.
set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tools/wine-prefix.sh
. "$here/wine-prefix.sh"

find_session_dir() {
    if [ -n "${PIXLANCE_WINE_DIR:-}" ]; then echo "$PIXLANCE_WINE_DIR"; return; fi
    local d
    d=$(pwd)
    if [ $# -gt 0 ] && [ -e "$1" ]; then d=$(cd "$(dirname "$1")" && pwd); fi
    while [ "$d" != / ]; do
        if [ -f "$d/CMakeCache.txt" ]; then echo "$d/wine"; return; fi
        d=$(dirname "$d")
    done
    echo "$(pwd)/wine"
}

session=$(find_session_dir "${1:-}")
mkdir -p "$session"
export WINEPREFIX="$session/prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialogs in a fresh prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64

if [ -n "${WINE:-}" ]; then
    wine_cmd=$WINE
elif command -v wine64 >/dev/null; then
    wine_cmd=wine64
elif [ -x /usr/lib/wine/wine64 ]; then
    wine_cmd=/usr/lib/wine/wine64
else
    wine_cmd=wine
fi
wineserver_cmd=$(command -v wineserver || echo /usr/lib/wine/wineserver)

ensure_prefix() {
    (
        flock 9
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            "$wine_cmd" wineboot -i >"$session/wineboot.log" 2>&1 </dev/null
            "$wineserver_cmd" -w
        fi
        configure_prefix "$wine_cmd" "$wineserver_cmd" "$session"
    ) 9>"$session/prefix.lock"
}

display_alive() { # pid
    [ -n "$1" ] && kill -0 "$1" 2>/dev/null
}

start_xvfb() { # file to record "display pid" in
    local n
    for n in $(seq 90 199); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >"$session/xvfb.log" 2>&1 </dev/null &
        local pid=$!
        for _ in $(seq 1 100); do
            if [ -e "/tmp/.X11-unix/X$n" ]; then
                echo "$n $pid" >"$1"
                return 0
            fi
            display_alive "$pid" || break
            sleep 0.05
        done
        kill "$pid" 2>/dev/null
    done
    echo "wine-run.sh: could not start Xvfb" >&2
    return 1
}

shared_display() { # prints "display pid" of the session's display if it runs
    local f="$session/display" n pid
    [ -f "$f" ] || return 1
    read -r n pid <"$f"
    display_alive "$pid" && echo "$n $pid"
}

case "${1:-}" in
--start-session)
    ensure_prefix
    if [ -z "${DISPLAY:-}" ] && ! shared_display >/dev/null; then
        start_xvfb "$session/display" || exit 1
    fi
    if [ -z "${DISPLAY:-}" ]; then
        read -r n _ <"$session/display"
        export DISPLAY=":$n"
    fi
    # A persistent wineserver keeps the prefix's services up between test programs.
    "$wineserver_cmd" -p >/dev/null 2>&1 </dev/null
    "$wine_cmd" cmd /c exit >/dev/null 2>&1 </dev/null
    exit 0
    ;;
--end-session)
    "$wineserver_cmd" -k >/dev/null 2>&1
    "$wineserver_cmd" -w >/dev/null 2>&1
    if info=$(shared_display); then
        kill "${info#* }" 2>/dev/null
    fi
    rm -f "$session/display"
    exit 0
    ;;
"")
    echo "usage: wine-run.sh PROGRAM.exe [ARGS...] | --start-session | --end-session" >&2
    exit 2
    ;;
esac

ensure_prefix
private_xvfb=
if [ -z "${DISPLAY:-}" ]; then
    if info=$(shared_display); then
        export DISPLAY=":${info%% *}"
    else
        start_xvfb "$session/display.$$" || exit 1
        read -r n private_xvfb <"$session/display.$$"
        rm -f "$session/display.$$"
        export DISPLAY=":$n"
    fi
fi

# PIXLANCE_FILE_SIZE_LIMIT_KB: the program may write no file larger than this; a write past it
# fails instead of ending the program. The wineserver, which writes the registry, is started before,
# outside the limit.
launch=("$wine_cmd")
if [ -n "${PIXLANCE_FILE_SIZE_LIMIT_KB:-}" ]; then
    "$wineserver_cmd" -p5 >/dev/null 2>&1 </dev/null
    launch=(bash -c 'ulimit -f "$0" && trap "" XFSZ && exec "$@"' "$PIXLANCE_FILE_SIZE_LIMIT_KB"
        "$wine_cmd")
fi

out=$(mktemp "$session/out.XXXXXX")
err=$(mktemp "$session/err.XXXXXX")
"${launch[@]}" "$@" >"$out" 2>"$err" </dev/null &
child=$!
trap 'kill "$child" 2>/dev/null' TERM INT
wait "$child"
rc=$?
wait "$child" 2>/dev/null && rc=$?
trap - TERM INT
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"

if [ -n "$private_xvfb" ]; then
    "$wineserver_cmd" -k >/dev/null 2>&1
    "$wineserver_cmd" -w >/dev/null 2>&1
    kill "$private_xvfb" 2>/dev/null
fi
exit "$rc"
