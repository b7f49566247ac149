#!/bin/bash
# Starts Varnock.exe under Wine, photographs the screen and checks both status indicators
# in the picture: owner-drawn, a magenta rectangle with a white/grey bevel, a yellow
# caption, and the texts "Fldigi not load !" and "Kebrin not load !". Varnock polls an
# endpoint where no fldigi answers, so that no indicator turns green meanwhile.
# Usage: indicator_screenshot.sh WINE_RUN VARNOCK_EXE PROBE_EXE OUTPUT_DIR
set -u
if [ -z "${DISPLAY:-}" ]; then
    # Varnock, the probe and the screenshot must share one display.
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@"
fi
wine_run=$1 varnock=$2 probe=$3 out=$4
mkdir -p "$out"
shot="$out/indicators.png"
rm -f "$shot"

# A fldigi endpoint where nothing listens (the discard port), whatever the other tests run on
# fldigi's own port: both indicators keep their start look.
no_fldigi=http://127.0.0.1:9/RPC2

# Its output goes to a file: a Wine process left holding ctest's pipe would stall ctest.
(cd "$out" && exec "$wine_run" "$varnock" --fldigi "$no_fldigi") </dev/null >"$out/varnock.log" 2>&1 &
varnock_pid=$!
stop_varnock() {
    if kill -0 "$varnock_pid" 2>/dev/null; then
        timeout 30 "$wine_run" "$probe" close >/dev/null 2>&1
        for _ in $(seq 1 50); do
            kill -0 "$varnock_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill "$varnock_pid" 2>/dev/null
        wait "$varnock_pid" 2>/dev/null
    fi
}
trap stop_varnock EXIT

if ! lines=$(timeout 30 "$wine_run" "$probe" | tr -d '\r'); then
    echo "FAILED: indicator_probe found no indicators"
    exit 1
fi
echo "$lines"

failed=0
fail() { echo "FAILED: $*"; failed=1; }

# Colour counts of the rectangle LEFT TOP RIGHT BOTTOM of the screenshot, as "count colour"
# lines with colours in hex (#RRGGBB).
histogram() {
    convert "$shot" -crop "$(($3 - $1))x$(($4 - $2))+$1+$2" +repage -format %c histogram:info:- |
        sed -E 's/^ *([0-9]+):.*(#[0-9A-Fa-f]{6}).*/\1 \2/'
}
count_of() { awk -v c="$2" 'toupper($2) == toupper(c) { n += $1 } END { print n + 0 }' <<<"$1"; }
pixel() { convert "$shot" -format "%[hex:p{$1,$2}]" info: | cut -c1-6; }

# The indicators are painted at once; the display may show them a moment later.
for attempt in $(seq 1 25); do
    import -window root "$shot"
    read -r _ l t r b _ <<<"$(head -n1 <<<"$lines")"
    [ "$(pixel $((l + 10)) $((t + 4)))" = FF00FF ] && break
    sleep 0.2
done

while read -r id left top right bottom style text; do
    case "$id" in
    1003) expected="Fldigi not load !" ;;
    1004) expected="Kebrin not load !" ;;
    *) continue ;;
    esac
    [ "$text" = "$expected" ] || fail "control $id text is '$text', expected '$expected'"
    [ $((0x$style & 0xF)) -eq 11 ] || fail "control $id style $style is not owner-drawn (0xB)"
    width=$((right - left)) height=$((bottom - top))
    hist=$(histogram "$left" "$top" "$right" "$bottom")
    magenta=$(count_of "$hist" "#FF00FF")
    yellow=$(count_of "$hist" "#FFFF00")
    green=$(count_of "$hist" "#00FF00")
    area=$((width * height))
    echo "control $id: ${width}x${height}, magenta $magenta, yellow $yellow, green $green"
    [ $((magenta * 2)) -gt "$area" ] || fail "control $id: face not magenta ($magenta of $area)"
    [ "$yellow" -ge 20 ] || fail "control $id: no yellow caption ($yellow pixels)"
    [ "$green" -eq 0 ] || fail "control $id: green pixels ($green)"
    # Raised bevel: white top-left corner, grey bottom-right corner.
    tl=$(pixel "$left" "$top") br=$(pixel $((right - 1)) $((bottom - 1)))
    [ "$tl" = FFFFFF ] || fail "control $id: top-left bevel pixel $tl, expected FFFFFF"
    [ "$br" = 7F7F7F ] || fail "control $id: bottom-right bevel pixel $br, expected 7F7F7F"
    # The caption sits in the middle: yellow in the centre band, none near the edges.
    mid=$(histogram $((left + 4)) $((top + height / 4)) $((right - 4)) $((bottom - height / 4)))
    [ "$(count_of "$mid" "#FFFF00")" -eq "$yellow" ] || fail "control $id: caption not centred"
done <<<"$lines"

[ "$(wc -l <<<"$lines")" -eq 2 ] || fail "expected two indicator lines"
echo "screenshot: $shot"
exit $failed
