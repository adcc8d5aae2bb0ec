#!/usr/bin/env bash
# Takes the README screenshots of the companion dialogs on a private X server
# with openbox: docs/settings.png, docs/alarm.png and docs/about.png.
#   tests/system/screenshots.sh [build folder]     (default: build)
# Needs xdotool, xwd and ImageMagick's convert besides what the tests need.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

if [ "${1:-}" != "--inside" ]; then
    build=$(cd "${1:-$root/build}" && pwd)
    exec "$here/xsession.sh" "$0" --inside "$build"
fi
build=$2
modules=$build/bin/modules

# A store of our own with what the clock would have written.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run
mkdir -p "$XDG_CONFIG_HOME/Dialmere" && install -d -m 700 "$XDG_RUNTIME_DIR"
cat >"$XDG_CONFIG_HOME/Dialmere/Dialmere.ini" <<'INI'
[Settings]
Version=1.1.0
[Alarm]
Time=07:30:00
Message=Time for the morning walk!
INI

shoot() { # program, window name, picture
    "$modules/$1" &
    local pid=$!
    local id
    id=$(xdotool search --sync --onlyvisible --name "^$2\$" | head -n1)
    sleep 1 # let the window manager frame it and the program paint it
    # The window manager's frame is the ancestor just below the root window.
    local frame=$id info parent top
    while :; do
        info=$(xwininfo -children -id "$frame")
        parent=$(awk '/Parent window id/ {print $4}' <<<"$info")
        top=$(awk '/Root window id/ {print $4}' <<<"$info")
        [ "$parent" = "$top" ] && break
        frame=$parent
    done
    xwd -silent -id "$frame" | convert xwd:- "$root/docs/$3"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "docs/$3"
}

shoot DMSettings Settings settings.png
shoot DMAlarm Alarm alarm.png
shoot DMAbout "About Dialmere" about.png
