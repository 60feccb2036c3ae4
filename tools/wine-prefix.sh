# Settings of a Wine prefix for Pixlance on a display without a window manager; sourced by
# tools/wine-run.sh and tools/run.sh. configure_prefix WINE WINESERVER WORK_DIR, with WINEPREFIX
# set, applies them once per prefix (a marker file in the prefix records it).
#   - Wine draws the window frames itself (no window manager draws captions or close boxes on
#     Xvfb), with the Marlett glyphs for the caption buttons. The windows stay managed: unmanaged
#     ones lost the keyboard to the next test program after one had used the clipboard.
#   - The dialogs' face "宋体" is stood in for by WenQuanYi Micro Hei (fonts-wqy-microhei), and
#     the system's faces fall back to it for Chinese text (captions, menus). The .reg file is
#     UTF-16, so the name does not depend on the locale Wine runs under.

configure_prefix() {
    local wine=$1 wineserver=$2 work=$3
    local marker="$WINEPREFIX/.pixlance-prefix-3"
    [ -f "$marker" ] && return 0
    local fallback='wqy-microhei.ttc,WenQuanYi Micro Hei'
    {
        printf '\xff\xfe'
        printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
            '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
            '"宋体"="WenQuanYi Micro Hei"' '' \
            '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' \
            '"Decorated"="N"' '' \
            '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Fonts]' \
            '"Marlett (TrueType)"="Z:\\usr\\share\\wine\\fonts\\marlett.ttf"' |
            iconv -f UTF-8 -t UTF-16LE
    } >"$work/prefix-settings.reg"
    (cd "$work" && "$wine" regedit /S prefix-settings.reg) >>"$work/wineboot.log" 2>&1 </dev/null
    local face
    for face in Tahoma "Tahoma Bold" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"; do
        "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
            /v "$face" /t REG_MULTI_SZ /d "$fallback" /f >>"$work/wineboot.log" 2>&1 </dev/null
    done
    if "$wine" reg query 'HKCU\Software\Wine\Fonts\Replacements' 2>/dev/null </dev/null |
        grep -q 'WenQuanYi Micro Hei'; then
        touch "$marker"
    fi
    # Lets the server write the registry out; bounded, as a session's persistent server never ends.
    timeout 30 "$wineserver" -w
}
