#!/usr/bin/env bash
# Takes the README's picture of the clock: a clock with each of our sample
# skins (own format, Pendrix, Olvo) on a plain desktop, on a private X server.
#   tests/system/xsession.sh tests/system/clock_screenshot.sh <build>/bin docs/clock.png
set -eu
bin=$(cd "$1" && pwd)
out=$2
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_CONFIG_HOME/Dialmere" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# A quiet desktop behind the clocks, so their outlines show.
/usr/bin/convert -size 1280x800 -depth 8 gradient:'#35597a-#7a9bb5' PNG24:"$work/desktop.png"
display -window root "$work/desktop.png" || true # it reports 1 after setting the background

# One clock per skin: each reads its place and skin from the store at start.
start() { # skin folder, ini file, left and top in pixels, clocks then shown, type
    cat >"$XDG_CONFIG_HOME/Dialmere/Dialmere.ini" <<INI
[Settings]
LeftStart=$(($3 * 15))
TopStart=$(($4 * 15))
[Skin]
Dir=$bin/skins/$1/
Name=$2
Type=${6:-dm}
INI
    "$bin/Dialmere" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        [ "$(xdotool search --onlyvisible --name '^Dialmere$' 2>/dev/null | wc -l)" -ge "$5" ] && break
        sleep 0.05
    done
}
start tidewater tidewater.ini 24 20 1
start ember ember.ini 280 30 2
start almanac almanac.ini 520 28 3
start marshlight marshlight.ini 150 120 4 px
start verdigris verdigris.ini 420 112 5 ol
sleep 1.5
/usr/bin/import -window root -crop 750x200+0+0 +repage "$out"
echo "wrote $out"
