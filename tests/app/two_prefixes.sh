#!/usr/bin/env bash
# Two copies of Pixlance.exe, each in a Wine prefix of its own (two users, two machines), capture
# in the same second with the built-in target pointed at one upload service: the server keeps two
# files whose names differ only in their random suffix, each served at the address its program
# opened. A pair whose captures fell in two seconds proves nothing and is taken again, at most four
# times.
#   two_prefixes.sh
# From the environment (CTest sets it): PIXLANCE_PAIR_DIR (the two prefixes, made once and kept),
# PIXLANCE_EXE, PIXLANCE_KEYS (pixlance-keys.exe), PIXLANCE_URL_RECORDER, and the service fixture's
# PIXLANCE_FTP_ROOT_SERVICE_PAIR, PIXLANCE_FTP_ADDRESS_SERVICE_PAIR, PIXLANCE_SERVICE_URL_SERVICE_PAIR.
# Runs on an Xvfb of its own; ends it and both prefixes' Wine processes on the way out.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tools/wine-prefix.sh
. "$here/../../tools/wine-prefix.sh"

work=$PIXLANCE_PAIR_DIR
folder=$PIXLANCE_FTP_ROOT_SERVICE_PAIR
server=$PIXLANCE_FTP_ADDRESS_SERVICE_PAIR
web=$PIXLANCE_SERVICE_URL_SERVICE_PAIR
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
prefixes=(a b)
mkdir -p "$work"

fail() {
    echo "FAIL: $*" >&2
    for p in "${prefixes[@]}"; do
        echo "--- $p: program output" >&2
        cat "$work/$p/pixlance.log" >&2 2>/dev/null
    done
    exit 1
}

# A Windows path for a host path, for the registry.
windows_path() {
    local path="Z:$1"
    echo "${path//\//\\}"
}

in_prefix() { # prefix command...
    local p=$1
    shift
    WINEPREFIX="$work/$p/prefix" "$@"
}

xvfb_pid=
# shellcheck disable=SC2317 # run by the trap
cleanup() {
    for p in "${prefixes[@]}"; do
        in_prefix "$p" "$wineserver" -k >/dev/null 2>&1
    done
    for p in "${prefixes[@]}"; do
        in_prefix "$p" timeout 30 "$wineserver" -w >/dev/null 2>&1
    done
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; fi
}
trap cleanup EXIT

start_xvfb() {
    local n
    for n in $(seq 200 299); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >"$work/xvfb.log" 2>&1 </dev/null &
        xvfb_pid=$!
        for _ in $(seq 1 100); do
            if [ -e "/tmp/.X11-unix/X$n" ]; then
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.05
        done
        kill "$xvfb_pid" 2>/dev/null
        xvfb_pid=
    done
    return 1
}

# Makes the prefix once, with the suite's settings (tools/wine-prefix.sh).
make_prefix() { # prefix
    local dir="$work/$1"
    mkdir -p "$dir"
    export WINEPREFIX="$dir/prefix"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$wine" wineboot -i >"$dir/wineboot.log" 2>&1 </dev/null
        "$wineserver" -w
    fi
    configure_prefix "$wine" "$wineserver" "$dir"
    unset WINEPREFIX
}

# No settings, queue, history, shortcut or registry values of an earlier run; the built-in target
# points at the service; the URL recorder stands in for the browser.
prepare_prefix() { # prefix
    local p=$1 users="$work/$1/prefix/drive_c/users"
    find "$users" -maxdepth 4 -type d -name Pixlance -path '*AppData*' -exec rm -rf {} + 2>/dev/null
    find "$users" -name Morvex.lnk -delete 2>/dev/null
    rm -f "$work/$p/record.txt"
    in_prefix "$p" "$wine" reg delete 'HKCU\Software\Morvex_1.0' /f >/dev/null 2>&1 </dev/null
    local key='HKCU\Software\Morvex_1.0\Pixlance\Default' value
    for value in "Server=$server" "Username=uploads@pixlance.example" "Path=/" "URL=$web"; do
        in_prefix "$p" "$wine" reg add "$key" /v "${value%%=*}" /d "${value#*=}" /f \
            >/dev/null 2>&1 </dev/null || fail "$p: reg add $value"
    done
    local command root scheme
    command="\"$(windows_path "$PIXLANCE_URL_RECORDER")\" \"$(windows_path "$work/$p/record.txt")\" \"%1\""
    for root in HKCU HKLM; do
        for scheme in http https; do
            in_prefix "$p" "$wine" reg add "$root\\Software\\Classes\\$scheme\\shell\\open\\command" \
                /ve /d "$command" /f >/dev/null 2>&1 </dev/null || fail "$p: reg add $scheme handler"
        done
    done
}

# Start-up is over once the program has made its start-up shortcut, its last step.
started() { # prefix
    [ -n "$(find "$work/$1/prefix/drive_c/users" -name Morvex.lnk 2>/dev/null)" ]
}

# Everything in the server's folder, one name a line.
stored() {
    find "$folder/" -mindepth 1 -maxdepth 1 -printf '%f\n' | sort
}

new_files() { # what stored() gave before
    comm -13 <(echo "$1") <(stored)
}

# The address the program opened, as the URL recorder wrote it (UTF-16LE).
recorded() { # prefix
    iconv -f UTF-16LE -t UTF-8 "$work/$1/record.txt" 2>/dev/null
}

start_xvfb || fail "no Xvfb could start"
for p in "${prefixes[@]}"; do
    make_prefix "$p"
    prepare_prefix "$p"
done
for p in "${prefixes[@]}"; do
    in_prefix "$p" "$wine" "$PIXLANCE_EXE" >"$work/$p/pixlance.log" 2>&1 </dev/null &
done
for p in "${prefixes[@]}"; do
    for _ in $(seq 1 600); do
        started "$p" && break
        sleep 0.1
    done
    started "$p" || fail "$p: the program did not finish starting"
done
# The GUI thread goes from the shortcut to its message loop; give it that moment.
sleep 1

name_pattern='^[0-9]{2}_[0-9]{2}_[0-9]{2}_[0-9]{2}_[0-9]{2}_[0-9]{2}_[A-Za-z0-9]{16}\.png$'
for attempt in 1 2 3 4; do
    before=$(stored)
    rm -f "$work/a/record.txt" "$work/b/record.txt"
    # Both presses right after a second begins, so that both captures fall in that second.
    sleep "0.$(printf '%09d' $((1000000000 - 10#$(date +%N))))"
    in_prefix a "$wine" "$PIXLANCE_KEYS" full >/dev/null 2>&1 </dev/null &
    press_a=$!
    in_prefix b "$wine" "$PIXLANCE_KEYS" full >/dev/null 2>&1 </dev/null &
    press_b=$!
    wait "$press_a" "$press_b"
    # Each program opens the address of its upload once the server confirmed it.
    for _ in $(seq 1 600); do
        [ -s "$work/a/record.txt" ] && [ -s "$work/b/record.txt" ] && break
        sleep 0.1
    done
    if [ ! -s "$work/a/record.txt" ] || [ ! -s "$work/b/record.txt" ]; then
        fail "attempt $attempt: not both programs uploaded (new: $(new_files "$before" | tr '\n' ' '))"
    fi
    # Time for anything more to arrive, which must not.
    sleep 2
    mapfile -t new < <(new_files "$before")
    [ ${#new[@]} -eq 2 ] || fail "attempt $attempt: ${#new[@]} new entries, not 2: ${new[*]}"
    for name in "${new[@]}"; do
        [[ $name =~ $name_pattern ]] || fail "attempt $attempt: unexpected name $name"
    done
    if [ "${new[0]:0:17}" != "${new[1]:0:17}" ]; then
        echo "attempt $attempt: the captures fell in two seconds (${new[*]}); again"
        continue
    fi
    # One file each, at the address that program opened, served as stored.
    addresses=$(printf '%s\n' "$(recorded a)" "$(recorded b)" | sort)
    expected=$(printf '%s\n' "$web/${new[0]}" "$web/${new[1]}" | sort)
    [ "$addresses" = "$expected" ] || fail "opened addresses $addresses, files $expected"
    for name in "${new[@]}"; do
        curl -sf "$web/$name" | cmp -s - "$folder/$name" || fail "$web/$name is not the stored file"
    done
    echo "two captures in one second: ${new[*]}"
    exit 0
done
fail "four pairs of captures each fell in two seconds"
