#!/usr/bin/env bash
# Runs this folder's upload service (vsftpd.conf, lighttpd.conf, pam.d/pixlance-upload) on one
# address, for development and tests; as root, since vsftpd needs root to start its sessions and
# the PAM service file goes to /etc/pam.d.
#   run-local.sh start ADDRESS FTP_PORT HTTP_PORT ROOT STATE_DIR
#   run-local.sh stop STATE_DIR
# start serves ROOT (made if missing, given to the ftp account; its files are kept) and keeps
# the runtime copies of the configuration, the password file, logs and process ids in
# STATE_DIR. Only the lines each file marks as a site's own are changed in the copies. The
# account is the program's built-in one (output/BuiltinTarget.h). stop ends what start started
# there and removes its PAM service file; stopping what is not running is no error.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

usage() {
    echo "usage: run-local.sh start ADDRESS FTP_PORT HTTP_PORT ROOT STATE_DIR | stop STATE_DIR" >&2
    exit 2
}

# Whether the process runs; one that ended but was not yet reaped (the servers' parent has
# gone, so init reaps them) does not.
running() { # pid
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) && [ "${state:0:1}" != Z ]
}

# Ends the process group that setsid made for one server, and waits until it has gone.
stop_server() { # pid file
    local pid
    [ -f "$1" ] || return 0
    pid=$(cat "$1")
    # A process id left from before a restart may name another program by now.
    if ! tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qF "$(dirname "$1")/"; then
        rm -f "$1"
        return 0
    fi
    kill -TERM -- "-$pid" 2>/dev/null || true
    for _ in $(seq 1 50); do
        running "$pid" || break
        sleep 0.1
    done
    kill -KILL -- "-$pid" 2>/dev/null || true
    rm -f "$1"
}

stop() { # state dir
    local state=$1
    stop_server "$state/vsftpd.pid"
    stop_server "$state/lighttpd.pid"
    if [ -f "$state/pam-service" ]; then
        rm -f "/etc/pam.d/$(cat "$state/pam-service")"
        rm -f "$state/pam-service"
    fi
}

# The value of one of the built-in target's constants in the program's source.
builtin_value() { # constant name
    sed -n "s/.*$1 = L\"\\(.*\\)\";.*/\\1/p" "$here/../../output/BuiltinTarget.h"
}

# Sets "key=value" in a vsftpd configuration: the line of that key is replaced, or added.
set_vsftpd_option() { # file key value
    if grep -q "^$2=" "$1"; then
        sed -i "s|^$2=.*|$2=$3|" "$1"
    else
        echo "$2=$3" >>"$1"
    fi
}

# Sets one of lighttpd.conf's "var.NAME = value" lines.
set_lighttpd_var() { # file name value
    grep -q "^var\.$2 = " "$1" || { echo "run-local.sh: lighttpd.conf has no var.$2" >&2; exit 1; }
    sed -i "s|^var\.$2 = .*|var.$2 = $3|" "$1"
}

# Waits until the server takes connections on the address, or says why it did not.
wait_for_port() { # pid file address port name
    for _ in $(seq 1 100); do
        if (exec 3<>"/dev/tcp/$2/$3") 2>/dev/null; then
            return 0
        fi
        running "$(cat "$1")" || break
        sleep 0.1
    done
    echo "run-local.sh: $4 did not start on $2:$3" >&2
    return 1
}

[ $# -ge 1 ] || usage
case "$1" in
stop)
    [ $# -eq 2 ] || usage
    # Nothing runs from a folder that is not there.
    state=$(cd "$2" 2>/dev/null && pwd -P) || exit 0
    stop "$state"
    exit 0
    ;;
start)
    [ $# -eq 6 ] || usage
    ;;
*)
    usage
    ;;
esac

address=$2 ftp_port=$3 http_port=$4
mkdir -p "$5" "$6"
root=$(cd "$5" && pwd -P)
state=$(cd "$6" && pwd -P)
if [ "$(id -u)" -ne 0 ]; then
    echo "run-local.sh: run as root (vsftpd starts its sessions as root, PAM reads /etc/pam.d)" >&2
    exit 1
fi
for program in /usr/sbin/vsftpd /usr/sbin/lighttpd; do
    [ -x "$program" ] || { echo "run-local.sh: $program is missing (tools/install-deps.sh)" >&2; exit 1; }
done
stop "$state"

# The folder belongs to the guest account that vsftpd's sessions run as; the web server, as
# www-data, must be able to reach it.
chown ftp:ftp "$root"
chmod 755 "$root"
if ! runuser -u www-data -- test -r "$root" -a -x "$root"; then
    echo "run-local.sh: www-data cannot read $root (a folder above it is closed)" >&2
    exit 1
fi
mkdir -p "$state/empty"
chmod 555 "$state/empty"

user=$(builtin_value kUsername)
password=$(builtin_value kPassword)
if [ -z "$user" ] || [ -z "$password" ]; then
    echo "run-local.sh: no built-in account in output/BuiltinTarget.h" >&2
    exit 1
fi
printf '%s:%s\n' "$user" "$(printf '%s' "$password" | openssl passwd -6 -stdin)" >"$state/passwd"
chmod 600 "$state/passwd"

# One PAM service per address, port and state folder, so that several copies can run at once,
# also in other network namespaces where the same address is free again (/etc is shared).
pam_service="pixlance-upload-$address-$ftp_port-$(printf '%s' "$state" | cksum | cut -d' ' -f1)"
sed "s|pwdfile=[^ ]*|pwdfile=$state/passwd|" "$here/pam.d/pixlance-upload" \
    >"/etc/pam.d/$pam_service"
echo "$pam_service" >"$state/pam-service"

ftp_conf="$state/vsftpd.conf"
cp "$here/vsftpd.conf" "$ftp_conf"
chmod 600 "$ftp_conf"
set_vsftpd_option "$ftp_conf" listen_port "$ftp_port"
set_vsftpd_option "$ftp_conf" listen_address "$address"
set_vsftpd_option "$ftp_conf" pam_service_name "$pam_service"
set_vsftpd_option "$ftp_conf" local_root "$root"
set_vsftpd_option "$ftp_conf" secure_chroot_dir "$state/empty"
set_vsftpd_option "$ftp_conf" vsftpd_log_file "$state/vsftpd.log"

web_conf="$state/lighttpd.conf"
cp "$here/lighttpd.conf" "$web_conf"
set_lighttpd_var "$web_conf" upload_root "\"$root\""
set_lighttpd_var "$web_conf" bind_address "\"$address\""
set_lighttpd_var "$web_conf" http_port "$http_port"
# lighttpd opens its logs after it has become www-data.
mkdir -p "$state/web-logs"
chown www-data:www-data "$state/web-logs"
set_lighttpd_var "$web_conf" log_dir "\"$state/web-logs\""
set_lighttpd_var "$web_conf" pid_file "\"$state/lighttpd.own.pid\""
/usr/sbin/lighttpd -tt -f "$web_conf" >"$state/lighttpd.out" 2>&1 || {
    cat "$state/lighttpd.out" >&2
    exit 1
}

: >"$state/vsftpd.log"
setsid /usr/sbin/vsftpd "$ftp_conf" >"$state/vsftpd.out" 2>&1 </dev/null &
echo $! >"$state/vsftpd.pid"
setsid /usr/sbin/lighttpd -D -f "$web_conf" >"$state/lighttpd.out" 2>&1 </dev/null &
echo $! >"$state/lighttpd.pid"

if ! wait_for_port "$state/vsftpd.pid" "$address" "$ftp_port" vsftpd ||
    ! wait_for_port "$state/lighttpd.pid" "$address" "$http_port" lighttpd; then
    cat "$state/vsftpd.out" "$state/lighttpd.out" "$state/web-logs/pixlance-error.log" >&2 2>/dev/null || true
    stop "$state"
    exit 1
fi
