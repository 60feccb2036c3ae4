#!/usr/bin/env bash
# Starts or stops one copy of the upload service recipe (deploy/upload-service: vsftpd on port 21
# and lighttpd) for the tests, on its own loopback address, with an empty folder.
#   service_fixture.sh start FIXTURE_DIR NAME ADDRESS HTTP_PORT
#   service_fixture.sh stop FIXTURE_DIR NAME
# The folder is FIXTURE_DIR/NAME; configuration copies, logs and process ids are in
# FIXTURE_DIR/NAME.state.
set -eu
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
service="$here/../../deploy/upload-service/run-local.sh"
action=$1 dir=$2 name=$3

case "$action" in
start)
    address=$4 http_port=$5
    "$service" stop "$dir/$name.state"
    for path in "$dir/$name" "$dir/$name.state"; do
        if [ -L "$path" ]; then
            rm -rf "$(dirname "$(readlink "$path")")"
        fi
        rm -rf "$path"
    done
    mkdir -p "$dir"
    # lighttpd reads the folder and writes its logs as www-data. Where a folder above the build
    # tree is closed to it (a home of mode 700), both live under /tmp and the usual paths link
    # there.
    if ! runuser -u www-data -- test -x "$dir"; then
        open=$(mktemp -d "/tmp/pixlance-$name.XXXXXX")
        chmod 755 "$open"
        mkdir "$open/root" "$open/state"
        ln -s "$open/root" "$dir/$name"
        ln -s "$open/state" "$dir/$name.state"
    fi
    exec "$service" start "$address" 21 "$http_port" "$dir/$name" "$dir/$name.state"
    ;;
stop)
    exec "$service" stop "$dir/$name.state"
    ;;
esac
echo "usage: service_fixture.sh start FIXTURE_DIR NAME ADDRESS HTTP_PORT | stop FIXTURE_DIR NAME" >&2
exit 2
