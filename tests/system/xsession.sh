#!/usr/bin/env bash
# Runs a command on a private X server (Xvfb) with the openbox window manager,
# and with --tray also a tray host (trayer). Everything started here is ended
# when the command ends.
set -u
tray=0
if [ "${1:-}" = "--tray" ]; then tray=1; shift; fi

workdir=$(mktemp -d)
cleanup() {
    [ -n "${tray_pid:-}" ] && kill "$tray_pid" 2>/dev/null
    [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null
    [ -n "${x_pid:-}" ] && kill "$x_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$workdir"
}
trap cleanup EXIT

# -displayfd picks a free display number, so tests may run side by side.
exec 3>"$workdir/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >"$workdir/xvfb.log" 2>&1 &
x_pid=$!
for _ in $(seq 100); do
    [ -s "$workdir/display" ] && break
    sleep 0.05
done
exec 3>&-
if [ ! -s "$workdir/display" ]; then
    echo "xsession: Xvfb did not start" >&2
    cat "$workdir/xvfb.log" >&2
    exit 1
fi
export DISPLAY=":$(head -n1 "$workdir/display")"
export QT_QPA_PLATFORM=xcb

openbox --sm-disable >"$workdir/openbox.log" 2>&1 &
wm_pid=$!
# Wait until the window manager has taken the screen.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done

if [ "$tray" = 1 ]; then
    trayer --edge bottom --align right --widthtype pixel --width 120 --height 24 \
        >"$workdir/trayer.log" 2>&1 &
    tray_pid=$!
    for _ in $(seq 100); do
        xprop -root 2>/dev/null | grep -q '_NET_SYSTEM_TRAY' && break
        sleep 0.05
    done
    sleep 0.3
fi

"$@"
