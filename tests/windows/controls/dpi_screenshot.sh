#!/bin/bash
# Varnock.exe at 96 and at 144 DPI (the LogPixels setting, in a Wine prefix of its own): at 144
# the window and the indicators are 1.5 times as large, the indicators are filled with their
# face and their captions sit inside them, and the "Finish" text stays inside its button.
# Writes dpi96.png and dpi144.png (the window) to OUTPUT_DIR and prints their sizes.
# Varnock polls an endpoint where no fldigi answers, so that no indicator turns green.
# Usage: dpi_screenshot.sh WINE_RUN VARNOCK_EXE PROBE_EXE OUTPUT_DIR
set -u
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@"
fi
wine_run=$1 varnock=$2 probe=$3 out=$4
mkdir -p "$out"
export VARNOCK_WINEPREFIX=$out/wineprefix-dpi
export WINEPREFIX=$VARNOCK_WINEPREFIX

# A fldigi endpoint where nothing listens (the discard port), whatever the other tests run on
# fldigi's own port: both indicators keep their start look.
no_fldigi=http://127.0.0.1:9/RPC2

failed=0
fail() { echo "FAILED: $*"; failed=1; }
varnock_pid=
stop_varnock() {
    if [ -n "$varnock_pid" ] && kill -0 "$varnock_pid" 2>/dev/null; then
        timeout 30 "$wine_run" "$probe" close >/dev/null 2>&1
        for _ in $(seq 1 50); do
            kill -0 "$varnock_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill "$varnock_pid" 2>/dev/null
        wait "$varnock_pid" 2>/dev/null
    fi
    varnock_pid=
}
finish() {
    stop_varnock
    wineserver -k >/dev/null 2>&1  # this test's own prefix
}
trap finish EXIT

histogram() { # PICTURE LEFT TOP RIGHT BOTTOM: "count #RRGGBB" lines
    convert "$1" -crop "$(($4 - $2))x$(($5 - $3))+$2+$3" +repage -format %c histogram:info:- |
        sed -E 's/^ *([0-9]+):.*(#[0-9A-Fa-f]{6}).*/\1 \2/'
}
count_of() { awk -v c="$2" 'toupper($2) == toupper(c) { n += $1 } END { print n + 0 }' <<<"$1"; }
# Pixels of the rectangle that are none of the given colours.
count_other() {
    awk -v a="$2" -v b="$3" 'toupper($2) != toupper(a) && toupper($2) != toupper(b) { n += $1 }
        END { print n + 0 }' <<<"$1"
}
# A / B within 1.5 +- 0.08.
about_one_and_a_half() { awk -v a="$1" -v b="$2" 'BEGIN { r = a / b; exit !(r > 1.42 && r < 1.58) }'; }

# Runs Varnock at DPI, photographs it; sets dialog_w/h, finish rect, and the indicator lines.
run_at() {
    local dpi=$1
    "$wine_run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
        >/dev/null 2>&1 || fail "setting LogPixels to $dpi"
    wineserver -w
    (cd "$out" && exec "$wine_run" "$varnock" --fldigi "$no_fldigi") </dev/null \
        >"$out/varnock-dpi$dpi.log" 2>&1 &
    varnock_pid=$!
    indicators=$(timeout 30 "$wine_run" "$probe" | tr -d '\r') || fail "$dpi DPI: no indicators"
    local rects
    rects=$(timeout 30 "$wine_run" "$probe" dialog | tr -d '\r')
    read -r _ dl dt dr db <<<"$(grep '^dialog' <<<"$rects")"
    read -r _ fl ft fr fb <<<"$(grep '^finish' <<<"$rects")"
    local shot=$out/screen-dpi$dpi.png
    for _ in $(seq 1 25); do  # painted at once, shown by the display a moment later
        import -window root "$shot"
        read -r _ l t _ <<<"$(head -n1 <<<"$indicators")"
        [ "$(convert "$shot" -format "%[hex:p{$((l + 10)),$((t + 4))}]" info: | cut -c1-6)" = FF00FF ] &&
            break
        sleep 0.2
    done
    convert "$shot" -crop "$((dr - dl))x$((db - dt))+$dl+$dt" +repage "$out/dpi$dpi.png"
    echo "$dpi DPI: window $((dr - dl))x$((db - dt)) pixels ($out/dpi$dpi.png)"
    stop_varnock
}

run_at 96
w96=$((dr - dl)) h96=$((db - dt))
ind96=$(head -n1 <<<"$indicators")
run_at 144
w144=$((dr - dl)) h144=$((db - dt))
shot=$out/screen-dpi144.png

about_one_and_a_half "$w144" "$w96" || fail "window width $w144 at 144 DPI, $w96 at 96"
about_one_and_a_half "$h144" "$h96" || fail "window height $h144 at 144 DPI, $h96 at 96"
read -r _ l96 t96 r96 b96 _ <<<"$ind96"
read -r _ l t r b _ <<<"$(head -n1 <<<"$indicators")"
about_one_and_a_half $((r - l)) $((r96 - l96)) || fail "indicator width $((r - l)), $((r96 - l96)) at 96"
about_one_and_a_half $((b - t)) $((b96 - t96)) || fail "indicator height $((b - t)), $((b96 - t96)) at 96"

while read -r id left top right bottom _; do
    width=$((right - left)) height=$((bottom - top))
    hist=$(histogram "$shot" "$left" "$top" "$right" "$bottom")
    magenta=$(count_of "$hist" "#FF00FF") yellow=$(count_of "$hist" "#FFFF00")
    echo "144 DPI: indicator $id ${width}x${height}, magenta $magenta, yellow $yellow"
    [ $((magenta * 2)) -gt $((width * height)) ] || fail "indicator $id: face does not fill it"
    [ "$yellow" -ge 40 ] || fail "indicator $id: caption missing ($yellow yellow pixels)"
    # The whole caption lies inside, clear of the bevel: nothing yellow in a 3-pixel frame.
    inner=$(histogram "$shot" $((left + 3)) $((top + 3)) $((right - 3)) $((bottom - 3)))
    [ "$(count_of "$inner" "#FFFF00")" -eq "$yellow" ] || fail "indicator $id: caption clipped"
done <<<"$indicators"

# "Finish": its text (black) lies inside the button's focus frame (at 3 pixels) with room
# around it: the black pixels of the rectangle within the frame have a margin on every side.
iw=$((fr - fl - 8)) ih=$((fb - ft - 8))
read -r tw th tx ty <<<"$(convert "$shot" -crop "${iw}x${ih}+$((fl + 4))+$((ft + 4))" +repage \
    -fill white +opaque black -trim -format '%w %h %X %Y' info:)"
echo "144 DPI: \"Finish\" $((fr - fl))x$((fb - ft)), its text ${tw}x${th} at ${tx}${ty} within ${iw}x${ih}"
[ "$th" -ge 8 ] || fail "\"Finish\": no text"
[ "${tx#+}" -ge 1 ] && [ "${ty#+}" -ge 1 ] && [ $((${tx#+} + tw)) -lt "$iw" ] &&
    [ $((${ty#+} + th)) -lt "$ih" ] || fail "\"Finish\": text clipped or touching the frame"
exit $failed
