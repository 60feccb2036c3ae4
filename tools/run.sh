#!/usr/bin/env bash
# Installs what is missing, builds Pixlance, and runs it under Wine with the upload service as a
# deployment runs it (deploy/upload-service): vsftpd on 127.0.0.1 port 21 with the built-in
# account and lighttpd on 127.0.0.1:8021, both on build/run/uploads. The built-in target's
# registry values are pointed at them.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
top=$(pwd)

tools/install-deps.sh
cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target Pixlance pixlance-keys

run="$top/build/run"
uploads="$run/uploads"
mkdir -p "$run" "$uploads"
export PIXLANCE_WINE_DIR="$run"
export WINEPREFIX="$run/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)


if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 50 89); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >"$run/xvfb.log" 2>&1 </dev/null &
        echo $! >"$run/xvfb.pid"
        export DISPLAY=":$n"
        sleep 1
        break
    done
    echo "No display was set: started Xvfb on $DISPLAY (screenshots: DISPLAY=$DISPLAY import -window root shot.png)."
fi

# The upload service with the built-in account (its password is the program's own); root starts
# vsftpd and installs its PAM service file.
user="uploads@pixlance.example"
sudo=
[ "$(id -u)" -ne 0 ] && sudo=sudo
$sudo deploy/upload-service/run-local.sh start 127.0.0.1 21 8021 "$uploads" "$run/service"

[ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot -i >"$run/wineboot.log" 2>&1 </dev/null
. tools/wine-prefix.sh
configure_prefix "$wine" "$(command -v wineserver || echo /usr/lib/wine/wineserver)" "$run"
key='HKCU\Software\Morvex_1.0\Pixlance\Default'
for value in "Server=127.0.0.1" "Username=$user" "Path=/" "URL=http://127.0.0.1:8021"; do
    "$wine" reg add "$key" /v "${value%%=*}" /d "${value#*=}" /f >/dev/null 2>&1 </dev/null
done

"$wine" "$top/build/Pixlance.exe" >"$run/pixlance.log" 2>&1 </dev/null &
echo $! >"$run/pixlance.pid"

cat <<MSG
Pixlance is running under Wine (prefix $WINEPREFIX, display $DISPLAY).
  Uploads land in        $uploads
  and are served at      http://127.0.0.1:8021/<name>.png (the address is put on the clipboard)
  The service's logs     $run/service/ (vsftpd.log, web-logs/)
  Settings.dat is in     $WINEPREFIX/drive_c/users/$(whoami)/AppData/Roaming/Pixlance/
  Captures not yet sent  $WINEPREFIX/drive_c/users/$(whoami)/AppData/Local/Pixlance/Unsent/
  and the upload history $WINEPREFIX/drive_c/users/$(whoami)/AppData/Local/Pixlance/History.tsv
Trigger a capture (Ctrl+Shift+F full screen, active = window, select = region):
  tools/press.sh full
Stop everything:
  tools/press.sh stop
MSG
