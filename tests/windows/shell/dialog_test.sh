#!/bin/bash
# Starts Varnock.exe under Wine and checks its main window from outside the process:
# texts, hidden controls, default button, system menu, the About box (command 16 and 16|5),
# a screenshot of the dialog, and "Finish" ending the process with exit code 0.
# Usage: dialog_test.sh WINE_RUN VARNOCK_EXE PROBE_EXE OUTPUT_DIR
set -u
if [ -z "${DISPLAY:-}" ]; then
    # Varnock, the probe and the screenshot must share one display.
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@"
fi
wine_run=$1 varnock=$2 probe=$3 out=$4
mkdir -p "$out"
rm -f "$out/varnock-dialog.png"

# A fldigi endpoint where nothing listens (the discard port), whatever the other tests run on
# fldigi's own port: both indicators keep their start look.
no_fldigi=http://127.0.0.1:9/RPC2

failed=0
step() {
    local name=$1; shift
    if timeout 30 "$wine_run" "$probe" "$@"; then
        echo "ok: $name"
    else
        echo "FAILED: $name"
        failed=1
    fi
}

# Wine starts from a Linux directory so that its current drive is Z:.
# Its output goes to a file: a Wine process left holding ctest's pipe would stall ctest.
(cd "$out" && exec "$wine_run" "$varnock" --fldigi "$no_fldigi") </dev/null >"$out/varnock.log" 2>&1 &
varnock_pid=$!
stop_varnock() {
    if kill -0 "$varnock_pid" 2>/dev/null; then
        kill "$varnock_pid" 2>/dev/null
        wait "$varnock_pid" 2>/dev/null
    fi
}
trap stop_varnock EXIT

step "main dialog after start" check-main
step "About box from system command 16" about 16
step "About box from system command 21 (16 with low bits 5)" about 21
step "system command 32 opens no About box" no-about 32
step "help command" help

# Screenshot of the whole screen; the dialog's client area must show its background colour.
if rect=$(timeout 30 "$wine_run" "$probe" client-rect | tr -d '\r'); then
    import -window root "$out/varnock-dialog.png"
    read -r left top right bottom <<<"$rect"
    x=$((left + 6)) y=$((top + 6))
    pixel=$(convert "$out/varnock-dialog.png" -format "%[pixel:p{$x,$y}]" info:)
    case "$pixel" in
    "srgb(255,250,198)") echo "ok: screenshot shows the dialog background at $x,$y" ;;
    *) echo "FAILED: screenshot pixel at $x,$y is $pixel, expected srgb(255,250,198)"; failed=1 ;;
    esac
    echo "screenshot: $out/varnock-dialog.png"
else
    echo "FAILED: client rectangle of the main dialog"
    failed=1
fi

step "Finish closes the dialog" finish
# The process must end by itself, with exit code 0.
for _ in $(seq 1 100); do
    kill -0 "$varnock_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$varnock_pid" 2>/dev/null; then
    echo "FAILED: Varnock.exe still runs 10 s after Finish"
    failed=1
else
    wait "$varnock_pid"
    code=$?
    if [ "$code" -eq 0 ]; then
        echo "ok: Varnock.exe exited with code 0"
    else
        echo "FAILED: Varnock.exe exited with code $code"
        failed=1
    fi
fi
exit $failed
