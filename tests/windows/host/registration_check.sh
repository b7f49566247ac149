#!/bin/bash
# kebrin-sim beside a "real Kebrin" whose ProgID is registered machine-wide and for this user:
# refused without --take-over, and after a run with it, after --register/--unregister, and
# after an --unregister with nothing recorded, both registrations are byte for byte as before
# (`reg export`). The prefix's own machine-wide entry for the stand-in is put back at the end.
#
#   registration_check.sh WINE_RUN KEBRIN_SIM_EXE
set -u
wine_run=$1
sim=$2
real_class='{0A1B2C3D-4E5F-4071-8293-A4B5C6D7E8F9}'
stand_in_class='{6B1F2C3A-8E4D-4A7B-9C51-2F0E3D7A4B61}'
machine='HKLM\Software\Classes\Kebrin2.Application'
user='HKCU\Software\Classes\Kebrin2.Application'
work=$(mktemp -d)
failures=0

reg() { "$wine_run" reg "$@" >/dev/null 2>&1; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
cleanup() {
    reg delete "$user" /f
    reg delete "$machine" /f
    reg add "$machine\\CLSID" /ve /d "$stand_in_class" /f
    rm -rf "$work"
}
trap cleanup EXIT

# Both registrations as `reg export` writes them (Z: is the Linux root).
export_both() { # NAME
    for hive in machine user; do
        rm -f "$work/$1.$hive.reg"
        reg export "${!hive}" "Z:${work//\//\\}\\$1.$hive.reg" /y ||
            fail "reg export of ${!hive} ($1)"
    done
}
same_as_before() { # NAME WHAT
    export_both "$1"
    for hive in machine user; do
        cmp -s "$work/before.$hive.reg" "$work/$1.$hive.reg" ||
            fail "$2: the $hive registration changed"
    done
}
user_class() {
    "$wine_run" reg query "$user\\CLSID" /ve 2>/dev/null | tr -d '\r' | grep -o '{[^}]*}'
}

register_real_kebrin() {
    reg delete "$user" /f
    reg add "$user\\CLSID" /ve /d "$real_class" /f &&
        reg add "$user" /v Owner /d "real Kebrin, this user" /f || fail "registering the real Kebrin"
}

reg delete "$machine" /f
reg add "$machine\\CLSID" /ve /d "$real_class" /f &&
    reg add "$machine" /ve /d "Kebrin (machine)" /f || fail "setting up the real Kebrin"
register_real_kebrin
export_both before

"$wine_run" "$sim" --register >"$work/out.txt" 2>&1
status=$?
[ "$status" -eq 1 ] || fail "--register beside the real Kebrin: exit $status, expected 1"
grep -q "registered for another program (class $real_class)" "$work/out.txt" ||
    fail "no word about the other program: $(cat "$work/out.txt")"
same_as_before refused "refused --register"

ready="$work/ready.txt"
control="$work/control.txt"
start_sim() { # starts kebrin-sim --take-over and waits until it is ready
    rm -f "$ready"
    echo ok >"$control"
    "$wine_run" "$sim" --take-over --ready-file "Z:${ready//\//\\}" \
        --control "Z:${control//\//\\}" >/dev/null 2>&1 &
    sim_pid=$!
    for _ in $(seq 1 300); do
        [ -s "$ready" ] && break
        kill -0 "$sim_pid" 2>/dev/null || break
        sleep 0.1
    done
    [ -s "$ready" ] || fail "kebrin-sim --take-over did not get ready"
    [ "$(user_class)" = "$stand_in_class" ] || fail "while running: this user's class is $(user_class)"
}

start_sim
echo quit >"$control"
wait "$sim_pid"
same_as_before after-run "a run with --take-over"

# Stopped without a chance to put anything back; then Kebrin registers itself again: the next
# run of the stand-in puts back that new registration, not the one recorded before.
start_sim
"$wine_run" taskkill /f /pid "$(tr -dc 0-9 <"$ready")" >/dev/null 2>&1
wait "$sim_pid"
[ "$(user_class)" = "$stand_in_class" ] || fail "the stopped stand-in put its keys back"
register_real_kebrin
start_sim
echo quit >"$control"
wait "$sim_pid"
same_as_before after-stopped-run "a run after a stopped one and Kebrin's new registration"

reg_status=0
"$wine_run" "$sim" --register --take-over >/dev/null 2>&1 || reg_status=$?
[ "$reg_status" -eq 0 ] || fail "--register --take-over: exit $reg_status"
[ "$(user_class)" = "$stand_in_class" ] || fail "after --register: this user's class is $(user_class)"
"$wine_run" "$sim" --unregister >/dev/null 2>&1 || fail "--unregister failed"
same_as_before after-unregister "--register --take-over, then --unregister"

"$wine_run" "$sim" --unregister >/dev/null 2>&1 || fail "a second --unregister failed"
same_as_before nothing-recorded "--unregister with nothing recorded"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "both registrations unchanged by a refused start, a run, --register/--unregister and a spare --unregister"
