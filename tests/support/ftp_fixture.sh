#!/usr/bin/env bash
# Starts or stops one test FTP server (ftp_server.py) in the background.
#   ftp_fixture.sh start FIXTURE_DIR NAME ADDRESS MODE [USER PASSWORD [PORT]]
#   ftp_fixture.sh stop FIXTURE_DIR NAME
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
action=$1 dir=$2 name=$3
pidfile="$dir/$name.pid"
log="$dir/$name.log"

stop() {
    if [ -f "$pidfile" ]; then
        kill "$(cat "$pidfile")" 2>/dev/null
        rm -f "$pidfile"
    fi
}

case "$action" in
start)
    address=$4 mode=$5 user=${6:-tester} password=${7:-secret} port=${8:-21}
    stop
    root="$dir/$name"
    rm -rf "$root"
    mkdir -p "$root"
    : >"$log"
    setsid /usr/bin/python3 "$here/ftp_server.py" --address "$address" --port "$port" --root "$root" \
        --mode "$mode" --user "$user" --password "$password" >"$log" 2>&1 </dev/null &
    echo $! >"$pidfile"
    for _ in $(seq 1 100); do
        if grep -q ready "$log"; then
            exit 0
        fi
        kill -0 "$(cat "$pidfile")" 2>/dev/null || break
        sleep 0.1
    done
    echo "FTP server $name on $address did not start:" >&2
    cat "$log" >&2
    stop
    exit 1
    ;;
stop)
    stop
    ;;
esac
