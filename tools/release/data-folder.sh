# The author's folder that --data names (sourced by tools/make-release.sh and
# tools/check-release.sh).
#
#   release_data_folder PROGRAM DIR   prints DIR as an absolute path, or says
#                                     on stderr why it cannot be shipped
#                                     (not a folder, or none of what the demo
#                                     reads) and fails
#
# The demo reads only data/..., celpalette.pcx and soundtrack.mp3 of such a
# folder; one with none of them would ship the plain show under the author's
# name.
release_data_folder() {
    local program=$1 dir=$2
    [ -d "$dir" ] || { echo "$program: no folder '$dir'" >&2; return 1; }
    dir=$(cd "$dir" && pwd)
    if [ ! -d "$dir/data" ] && [ ! -f "$dir/celpalette.pcx" ] && [ ! -f "$dir/soundtrack.mp3" ]; then
        echo "$program: '$dir' has none of data/, celpalette.pcx, soundtrack.mp3: nothing to ship" >&2
        return 1
    fi
    echo "$dir"
}
