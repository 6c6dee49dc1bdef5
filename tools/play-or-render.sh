#!/bin/sh
# Plays the built demo where there is a display; where there is none, renders
# it to BUILD_DIR/demo/vantor.mp4 with vantor-capture and says where it is.
#
#   tools/play-or-render.sh [BUILD_DIR]     (default: build/demo, the demo
#                                            workflow's; else build/release)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -gt 0 ]; then
    build=$1
elif [ -x "$root/build/demo/demo/vantor" ]; then
    build=$root/build/demo
else
    build=$root/build/release
fi
demo=$build/demo
capture=$build/tools/vantor_capture/vantor-capture
if [ ! -x "$demo/vantor" ] || [ ! -x "$capture" ]; then
    echo "play-or-render: build the demo first (cmake --workflow --preset demo)" >&2
    exit 1
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
cd "$demo"
status=0
./vantor 2>"$log" || status=$?
cat "$log" >&2
grep -q "no display" "$log" || exit "$status"

echo "No display here: rendering the demo with vantor-capture instead (this takes a while)." >&2
"$capture" vantor.mp4
echo "The demo is in $demo/vantor.mp4"
