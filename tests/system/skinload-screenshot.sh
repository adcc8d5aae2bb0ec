#!/usr/bin/env bash
# Takes the README screenshot of the skin browser with a sample skin previewed,
# on a private X server with openbox: docs/skinload.png.
#   tests/system/skinload-screenshot.sh [build folder]     (default: build)
# Needs xdotool, xwd and ImageMagick's convert besides what the tests need.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

if [ "${1:-}" != "--inside" ]; then
    build=$(cd "${1:-$root/build}" && pwd)
    exec "$here/xsession.sh" "$0" --inside "$build"
fi
build=$2
# A copy of the sample skins in a short temporary path (the folder list shows
# its ancestors), and a store of our own in which one of them is chosen, so the
# browser opens on it.
home=$(mktemp -d /tmp/dialmere.XXXX)
trap 'rm -rf "$home"' EXIT
cp -r "$build/bin/skins" "$home/skins"
skins=$home/skins
export XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run
mkdir -p "$XDG_CONFIG_HOME/Dialmere" && install -d -m 700 "$XDG_RUNTIME_DIR"
cat >"$XDG_CONFIG_HOME/Dialmere/Dialmere.ini" <<INI
[Skin]
Dir=$skins/tidewater/
Name=tidewater.ini
Type=dm
INI

cd "$skins"
"$build/bin/modules/DMSkinLoad" &
pid=$!
id=$(xdotool search --sync --onlyvisible --name '^Load Skin$' | head -n1)
sleep 1 # let the window manager frame it and the program paint it
# The window manager's frame is the ancestor just below the root window.
frame=$id
while :; do
    info=$(xwininfo -children -id "$frame")
    parent=$(awk '/Parent window id/ {print $4}' <<<"$info")
    top=$(awk '/Root window id/ {print $4}' <<<"$info")
    [ "$parent" = "$top" ] && break
    frame=$parent
done
mkdir -p "$root/docs"
xwd -silent -id "$frame" | convert xwd:- "$root/docs/skinload.png"
kill "$pid"
wait "$pid" 2>/dev/null || true
echo "docs/skinload.png"
