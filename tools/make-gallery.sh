#!/bin/sh
# Renders the gallery under docs/gallery/: frames of the built demo drawn by
# vantor-capture --at (after every frame before them at 60 fps, as in the
# video), stored as small JPEG files named by their music time.
#
#   tools/make-gallery.sh [BUILD_DIR [MS,MS,...]]   (default: build/release and the times below)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
times=${2:-24000,40000,50000,66000,104000,134000,142000,188000,222000}
capture=$build/tools/vantor_capture/vantor-capture
out=$root/docs/gallery
if [ ! -x "$capture" ] || [ ! -f "$build/demo/vantor.ppd" ]; then
    echo "make-gallery: build the demo first (cmake --workflow --preset demo)" >&2
    exit 1
fi

pictures=$(mktemp -d)
trap 'rm -rf "$pictures"' EXIT
(cd "$build/demo" && "$capture" --at "$times" "$pictures/")

rm -rf "$out"
mkdir -p "$out"
for png in "$pictures"/*.png; do
    name=$(basename "$png" .png)
    ffmpeg -hide_banner -loglevel error -y -i "$png" -q:v 4 "$out/$name.jpg"
done
ls "$out"
