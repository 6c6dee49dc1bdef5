#!/usr/bin/env bash
# Builds the release: dist/vantor-VERSION-linux-x86_64.tar.gz and .zip, each
# one folder with vantor, vantor-capture, the libraries they need that a
# desktop lacks, vantor.ppd, soundtrack.mp3 and a README. Runs in a checkout
# on Debian 12, as root (it makes and enters a Debian 11 build root).
#
#   tools/make-release.sh [--data DIR] [--keep-stage]
#
#   --data DIR     ship an author's folder over the shipped show: DIR/data/...
#                  and DIR/celpalette.pcx replace or add to the shipped members
#                  and are packed as the build packs vantor.ppd;
#                  DIR/soundtrack.mp3 replaces the soundtrack
#   --keep-stage   leave the unpacked folder in dist/ beside the archives
#
# The show's data (archive, soundtrack) is built on this system by the demo
# workflow. The programs are built in a Debian 11 root (glibc 2.31, kept in
# build/release-roots/) so that they run there and on every newer system:
# a program built here would need glibc 2.34 or newer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/release/debian-root.sh"
. "$root/tools/release/data-folder.sh"

usage() { sed -n '7,14p' "$0" | sed 's/^# \{0,1\}//'; }
data=""
keep_stage=0
while [ $# -gt 0 ]; do
    case "$1" in
        --data) [ $# -ge 2 ] || { echo "make-release: --data needs a folder" >&2; exit 2; }
                data=$2; shift 2 ;;
        --keep-stage) keep_stage=1; shift ;;
        -h|--help) usage; exit 0 ;;
        *) echo "make-release: unknown argument '$1'" >&2; usage >&2; exit 2 ;;
    esac
done
if [ -n "$data" ]; then
    data=$(release_data_folder make-release "$data") || exit 1
fi
# Everything below works in the checkout; --data was taken from where the
# script was started.
cd "$root"
if [ "$(id -u)" != 0 ]; then
    echo "make-release: run as root (it builds the programs in a Debian 11 root)" >&2
    exit 1
fi
for tool in debootstrap patchelf zip tar strip; do
    command -v "$tool" >/dev/null || { echo "make-release: '$tool' is missing (.ci/deps --release)" >&2; exit 1; }
done

start=$SECONDS
step() { echo "make-release: [$((SECONDS - start)) s] $*"; }
trap root_unmount_all EXIT

project_version=$(sed -n 's/^project(vantor VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
full_commit=$(git rev-parse HEAD 2>/dev/null || echo unknown)
commit=${full_commit:0:10}
dirty=""
if [ "$full_commit" != unknown ] && [ -n "$(git status --porcelain --untracked-files=no 2>/dev/null)" ]; then
    dirty="-dirty"
fi
version="$project_version-g$commit$dirty"
name="vantor-$version-linux-x86_64"
broot=$root/build/release-roots/bullseye-build
bbuild=/vantor/build

# 1. The show's data, built here by the demo workflow. A fresh checkout has
#    no build/ yet; the logs go there.
mkdir -p build dist
step "building the show's data (cmake --workflow --preset demo)"
cmake --workflow --preset demo >build/release-demo.log 2>&1 || {
    tail -n 30 build/release-demo.log >&2; echo "make-release: the demo workflow failed" >&2; exit 1; }
demo=$root/build/demo/demo
password=$(sed -n 's/^VANTOR_DEMO_ARCHIVE_PASSWORD:INTERNAL=//p' build/demo/CMakeCache.txt)
[ -n "$password" ] || { echo "make-release: no archive password in build/demo/CMakeCache.txt" >&2; exit 1; }

# The show the release plays: the shipped archive and soundtrack, or an
# author's folder packed over the shipped show's files. An author's show is
# played here at once, one frame from the packed archive alone as the
# release plays it, so that a script or picture that does not load fails now
# with its message rather than after the build in the root.
stage=$root/dist/stage
files=$stage/files
rm -rf "$stage"
mkdir -p "$files"
if [ -z "$data" ]; then
    cp "$demo/vantor.ppd" "$demo/soundtrack.mp3" "$files/"
else
    step "packing the shipped show with $data over it"
    show=$stage/show
    mkdir -p "$show"
    cp -R "$demo/data" "$show/data"
    [ -f "$demo/celpalette.pcx" ] && cp "$demo/celpalette.pcx" "$show/"
    [ -d "$data/data" ] && cp -R "$data/data/." "$show/data/"
    [ -f "$data/celpalette.pcx" ] && cp "$data/celpalette.pcx" "$show/"
    for extra in "$data"/*; do
        case "$(basename "$extra")" in
            data|celpalette.pcx|soundtrack.mp3) ;;
            *) echo "make-release: not shipped (the demo reads only data/, celpalette.pcx, soundtrack.mp3): $extra" >&2 ;;
        esac
    done
    roots=()
    [ -f "$show/celpalette.pcx" ] && roots+=(celpalette.pcx)
    (cd "$show" && "$root/build/demo/tools/ppd/ppd" pack --password "$password" "$files/vantor.ppd" data "${roots[@]}") ||
        { echo "make-release: packing $data failed" >&2; exit 1; }
    if [ -f "$data/soundtrack.mp3" ]; then
        cp "$data/soundtrack.mp3" "$files/"
    else
        cp "$demo/soundtrack.mp3" "$files/"
    fi
    step "playing the packed show here (one frame)"
    if ! (cd "$files" && VANTOR_HEADLESS=1 "$root/build/demo/tools/vantor_capture/vantor-capture" \
            --quiet --at 1000 "$stage/probe/" >"$stage/probe.log" 2>&1); then
        cat "$stage/probe.log" >&2
        echo "make-release: the show packed from $data does not play" >&2
        exit 1
    fi
fi

# 2. The Debian 11 build root: its compiler and libraries, this system's
#    cmake (Debian 11's is too old for the presets) and SDL built from source.
step "making the Debian 11 build root (build/release-roots/bullseye-build, kept for next time)"
debian_root "$broot" bullseye $(cat tools/release/build-packages.txt)
root_mount "$broot"
if [ ! -x "$broot/opt/host-cmake/bin/cmake" ] || ! root_run "$broot" /opt/host-cmake/bin/cmake --version >/dev/null 2>&1; then
    step "copying this system's cmake into the build root"
    bash tools/release/transplant-cmake.sh "$broot" /opt/host-cmake
fi
if [ ! -f "$broot/opt/sdl2/lib/libSDL2-2.0.so.0" ]; then
    step "building SDL from Debian's source in the build root (a few minutes)"
    cp tools/release/build-sdl.sh "$broot/tmp/build-sdl.sh"
    root_run "$broot" bash /tmp/build-sdl.sh >build/release-sdl.log 2>&1 || {
        tail -n 30 build/release-sdl.log >&2; echo "make-release: building SDL failed" >&2; exit 1; }
fi

# 3. The programs, built in the root from this checkout (bound read-only).
step "building vantor and vantor-capture in the build root"
root_bind "$root" "$broot/vantor/src" ro
root_run "$broot" PKG_CONFIG_PATH=/opt/sdl2/lib/pkgconfig bash /vantor/src/tools/release/build-programs.sh \
    >build/release-programs.log 2>&1 || {
    tail -n 40 build/release-programs.log >&2; echo "make-release: building the programs failed" >&2; exit 1; }

# 4. The folder.
step "assembling dist/$name"
folder=$stage/$name
mkdir -p "$folder/lib"
install -m 755 "$broot$bbuild/demo/vantor" "$folder/vantor"
install -m 755 "$broot$bbuild/tools/vantor_capture/vantor-capture" "$folder/vantor-capture"
install -m 755 "$broot/opt/sdl2/lib/libSDL2-2.0.so.0" "$folder/lib/libSDL2-2.0.so.0"
install -m 755 "$(readlink -f "$broot/usr/lib/x86_64-linux-gnu/libmpg123.so.0")" "$folder/lib/libmpg123.so.0"
strip --strip-unneeded "$folder/vantor" "$folder/vantor-capture" "$folder"/lib/*.so.*

cp "$files/vantor.ppd" "$files/soundtrack.mp3" "$folder/"
if [ -z "$data" ]; then
    show_text="The show lasts four minutes."
else
    show_text="This release plays an author's own show over the Vantor show's data."
fi
sed -e "s/@VERSION@/$version/" -e "s/@COMMIT@/$full_commit$dirty/" -e "s/@SHOW@/$show_text/" \
    tools/release/README.txt >"$folder/README"

# 5. What the folder needs from the system: only the C runtime, libGL/EGL and
#    (loaded by SDL at run time) the X11 client libraries.
step "checking what the programs need from the system"
allowed=" libc.so.6 libm.so.6 libdl.so.2 libpthread.so.0 librt.so.1 ld-linux-x86-64.so.2 libGL.so.1 libEGL.so.1 "
for f in "$folder/vantor" "$folder/vantor-capture" "$folder"/lib/*.so.*; do
    for need in $(objdump -p "$f" | awk '$1 == "NEEDED" {print $2}'); do
        case "$allowed" in *" $need "*) continue ;; esac
        [ -f "$folder/lib/$need" ] && continue
        echo "make-release: $(basename "$f") needs $need, neither shipped nor on every desktop" >&2
        exit 1
    done
done
newest=$(objdump -T "$folder/vantor" "$folder/vantor-capture" "$folder"/lib/*.so.* |
    grep -o 'GLIBC_[0-9.]*' | sort -uV | tail -n 1)
step "the programs need $newest at most"

# The folder is checked by running it: one frame rendered from the packed data.
step "rendering one frame with the release's vantor-capture"
probe=$(mktemp -d /tmp/vantor-release.XXXXXX)
if ! (cd "$probe" && VANTOR_HEADLESS=1 "$folder/vantor-capture" --quiet --at 1000 ./ >log 2>&1) ||
    [ ! -s "$probe/1000.png" ]; then
    cat "$probe/log" >&2
    rm -rf "$probe"
    echo "make-release: the release does not render (its data or its programs are broken)" >&2
    exit 1
fi
rm -rf "$probe"

# 6. The archives.
step "writing dist/$name.tar.gz and dist/$name.zip"
rm -f "dist/$name.tar.gz" "dist/$name.zip"
tar -C "$stage" --owner=0 --group=0 --numeric-owner -czf "dist/$name.tar.gz" "$name"
(cd "$stage" && zip -qr -y "$root/dist/$name.zip" "$name")
if [ "$keep_stage" = 1 ]; then
    rm -rf "dist/$name" && mv "$folder" "dist/$name"
fi
rm -rf "$stage"
echo "dist/$name.tar.gz"
echo "dist/$name.zip"
