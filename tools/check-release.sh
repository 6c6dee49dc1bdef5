#!/usr/bin/env bash
# Proves the release on clean systems: builds it (tools/make-release.sh),
# makes minimal roots of Debian 11 and Debian 13 holding only what a desktop
# has for it (the C library, libGL and libEGL with Mesa's drivers, the X11
# client libraries; no development package), and in each, with the release
# unpacked, moved to a path with spaces and bound read-only:
#   - lists every shared library the programs need and fails on any not found,
#     and lists every library the running demo loaded;
#   - runs vantor on an X server from outside the root (Xvfb, SDL's dummy
#     audio) and checks from outside that the window shows the loading screen
#     and then the show, which moves;
#   - runs vantor with no sound device and checks it ends with its message;
#   - renders one frame with the shipped vantor-capture and compares it with
#     the same frame rendered here;
#   - fails on any file the programs wrote outside /tmp.
# Needs root, debootstrap, Xvfb and ffmpeg (.ci/deps --release).
#
#   tools/check-release.sh [--no-build] [--data DIR] [--at MS] [--systems LIST]
#
#   --no-build   check the newest dist/vantor-*-linux-x86_64.tar.gz as it is
#   --data DIR   build the release with an author's folder over the shipped
#                show (make-release.sh --data DIR) and check that the release
#                plays that show: its frame must match the one this checkout's
#                demo build renders with --data DIR
#   --at MS      the music time of the compared frame (24000; an author's
#                show that ends sooner needs an earlier one)
#   --systems LIST
#                the Debian releases to check in, by code name, comma
#                separated (bullseye,trixie: the oldest glibc the programs
#                run on and the newest Debian; bookworm too)
#
# Roots are kept in build/release-roots/ and reused; screenshots, frames and
# logs of each system go to build/release-check/SUITE/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/release/debian-root.sh"
. "$root/tools/release/data-folder.sh"

usage() { awk 'NR > 1 && !/^#/ {exit} NR > 1 {sub(/^# ?/, ""); print}' "$0"; }
build=1
data=""
at=24000
systems="bullseye trixie"
while [ $# -gt 0 ]; do
    case "$1" in
        --no-build) build=0; shift ;;
        --data) [ $# -ge 2 ] || { echo "check-release: --data needs a folder" >&2; exit 2; }
                data=$2; shift 2 ;;
        --systems) [[ "${2:-}" =~ ^(bullseye|bookworm|trixie)(,(bullseye|bookworm|trixie))*$ ]] || {
                       echo "check-release: --systems takes bullseye, bookworm and trixie, comma separated" >&2; exit 2; }
                   systems=${2//,/ }; shift 2 ;;
        --at) [[ "${2:-}" =~ ^[0-9]+$ ]] || { echo "check-release: --at needs a time in ms" >&2; exit 2; }
              at=$2; shift 2 ;;
        -h|--help) usage; exit 0 ;;
        *) echo "check-release: unknown argument '$1'" >&2; usage >&2; exit 2 ;;
    esac
done
if [ -n "$data" ]; then
    data=$(release_data_folder check-release "$data") || exit 1
fi
# Everything below works in the checkout; --data was taken from where the
# script was started.
cd "$root"
[ "$(id -u)" = 0 ] || { echo "check-release: run as root (it makes and enters Debian roots)" >&2; exit 1; }
for tool in debootstrap Xvfb ffmpeg; do
    command -v "$tool" >/dev/null || { echo "check-release: '$tool' is missing (.ci/deps --release)" >&2; exit 1; }
done

start=$SECONDS
step() { echo "check-release: [$((SECONDS - start)) s] $*"; }
fail() { echo "check-release: FAILED: $*" >&2; exit 1; }

work=$(mktemp -d "/tmp/vantor release check.XXXXXX")
xvfb_pid=""
demo_pid=""
cleanup() {
    [ -n "$demo_pid" ] && kill -KILL "$demo_pid" 2>/dev/null || true
    root_unmount_all
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

if [ "$build" = 1 ]; then
    step "building the release (tools/make-release.sh)"
    if [ -n "$data" ]; then
        tools/make-release.sh --data "$data" | sed 's/^/    /'
    else
        tools/make-release.sh | sed 's/^/    /'
    fi
fi
tarball=$(ls -t dist/vantor-*-linux-x86_64.tar.gz 2>/dev/null | head -n 1)
[ -n "$tarball" ] || fail "no dist/vantor-*-linux-x86_64.tar.gz"
name=$(basename "$tarball" .tar.gz)
[ -f "dist/$name.zip" ] || fail "no dist/$name.zip beside $tarball"
step "checking $tarball and its .zip"

# The release as a user has it: unpacked, the folder moved and renamed to a
# path with spaces, nothing in it writable.
mkdir -p "$work/unpacked" "$work/zip" "$work/party entries"
tar -C "$work/unpacked" -xzf "$tarball"
(cd "$work/zip" && unzip -q "$root/dist/$name.zip")
[ "$(ls "$work/unpacked")" = "$name" ] || fail "the .tar.gz does not hold the one folder $name"
diff -r "$work/unpacked/$name" "$work/zip/$name" >/dev/null || fail "the .zip and the .tar.gz differ"
for f in vantor vantor-capture vantor.ppd soundtrack.mp3 README; do
    [ -f "$work/unpacked/$name/$f" ] || fail "the release lacks $f"
done
release="$work/party entries/vantor demo (moved)"
mv "$work/unpacked/$name" "$release"
chmod -R a-w "$release"

# The frame vantor-capture draws here, to compare each system's with.
step "rendering the reference frame here"
mkdir -p "$work/reference"
(cd "$work/reference" && VANTOR_HEADLESS=1 "$release/vantor-capture" --quiet --fps 10 --at "$at" ./) ||
    fail "the release's vantor-capture does not render here"

# ffmpeg as the measuring tool: how far a picture's mean luma lies above
# black, in hundredths of a level (signalstats measures video-range luma,
# where black is 16: an empty screen with the pointer is 1, the dark star
# field of the intro about 130), and the PSNR of two pictures.
luma() {
    ffmpeg -v error -i "$1" -vf signalstats,metadata=print:key=lavfi.signalstats.YAVG:file=- -f null - |
        sed -n 's/^lavfi.signalstats.YAVG=//p' | head -n 1 | awk '{v = int(($1 - 16) * 100); print (v > 0 ? v : 0)}'
}
psnr() {
    local v
    v=$(ffmpeg -v info -i "$1" -i "$2" -lavfi "[0][1]scale2ref[a][b];[a][b]psnr" -f null - 2>&1 |
        sed -n 's/.*PSNR.* average:\([0-9.inf]*\).*/\1/p' | tail -n 1)
    [ "$v" = inf ] && v=99
    echo "${v%%.*}"
}
grab() {
    ffmpeg -v error -y -f x11grab -video_size 1024x768 -i "$display" -frames:v 1 "$1" 2>/dev/null
}

# With --data the release must play the author's show: its frame is the one
# this checkout's demo build renders with the folder over the shipped archive.
if [ -n "$data" ]; then
    capture=$root/build/demo/tools/vantor_capture/vantor-capture
    [ -x "$capture" ] || fail "no $capture to render $data with (cmake --workflow --preset demo)"
    step "rendering $data with this checkout's demo build"
    mkdir -p "$work/author"
    (cd "$root/build/demo/demo" &&
        VANTOR_HEADLESS=1 "$capture" --data "$data" --quiet --fps 10 --at "$at" "$work/author/") ||
        fail "the demo build does not render $data"
    p=$(psnr "$work/author/$at.png" "$work/reference/$at.png")
    [ "$p" -ge 30 ] || fail "the release does not play $data (its frame at $at ms differs, PSNR $p dB)"
    step "the release plays $data (PSNR $p dB against the demo build's frame)"
fi

step "starting Xvfb"
for attempt in 1 2 3 4 5; do
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    exec 3>&-
    for _ in $(seq 50); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    display=":$(cat "$work/display" 2>/dev/null)"
    if [ "$display" != ":" ] && grab "$work/blank.png"; then break; fi
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
    sleep 1
done
[ -n "$xvfb_pid" ] || fail "Xvfb does not start (see $work/xvfb.log)"

desktop="libgl1 libegl1 libgl1-mesa-dri libegl-mesa0 libglx-mesa0 libx11-6 libxext6 libxcursor1 libxi6
libxrandr2 libxss1 libxfixes3 libxrender1 libxinerama1 libxxf86vm1 libxkbcommon0"
inside="/opt/demo party/vantor demo (moved)"

check_system() {
    local suite=$1
    local sys=$root/build/release-roots/$suite
    local out=$root/build/release-check/$suite
    rm -rf "$out" && mkdir -p "$out"

    step "$suite: making the root (build/release-roots/$suite, kept for next time)"
    # shellcheck disable=SC2086
    debian_root "$sys" "$suite" $desktop
    local dev
    dev=$(root_run "$sys" dpkg-query -W -f '${Package}\n' | grep -- '-dev$' || true)
    [ -z "$dev" ] || fail "$suite: the root holds development packages: $dev"
    local glibc
    glibc=$(root_run "$sys" dpkg-query -W -f '${Version}' libc6)

    root_mount "$sys"
    root_bind "$release" "$sys$inside" ro
    root_bind /tmp/.X11-unix "$sys/tmp/.X11-unix" ro
    rm -rf "$sys/tmp/vantor-run" && mkdir -p "$sys/tmp/vantor-run"
    touch "$work/stamp-$suite"
    sleep 1

    step "$suite (libc6 $glibc): the libraries the programs need"
    local f missing=""
    for f in vantor vantor-capture lib/libSDL2-2.0.so.0 lib/libmpg123.so.0; do
        root_run "$sys" ldd "$inside/$f" >>"$out/ldd.txt" 2>&1 || true
        missing+=$(root_run "$sys" ldd "$inside/$f" 2>&1 | grep "not found" | sed "s|^|$f: |" || true)
    done
    [ -z "$missing" ] || fail "$suite: libraries not found: $missing"

    step "$suite: vantor on $display for 12 s (screenshots from outside)"
    chroot "$sys" env -i HOME=/root PATH=/usr/bin:/bin DISPLAY="$display" SDL_AUDIODRIVER=dummy \
        LD_DEBUG=libs LD_DEBUG_OUTPUT=/tmp/vantor-run/ld \
        sh -c 'cd /tmp/vantor-run && exec "$1/vantor"' sh "$inside" >"$out/vantor.log" 2>&1 &
    demo_pid=$!
    local i
    for i in $(seq -w 1 24); do
        sleep 0.5
        grab "$out/screen-$i.png" || true
        kill -0 "$demo_pid" 2>/dev/null || break
    done
    if kill -0 "$demo_pid" 2>/dev/null; then
        kill -TERM "$demo_pid" 2>/dev/null || true
        sleep 1
        kill -KILL "$demo_pid" 2>/dev/null || true
        wait "$demo_pid" 2>/dev/null || true
    else
        # An author's show may be shorter than the 12 s: it may end, at its
        # DEMOEND, with status 0. The shipped show never does.
        local status=0
        wait "$demo_pid" || status=$?
        if [ -z "$data" ] || [ "$status" != 0 ]; then
            cat "$out/vantor.log" >&2
            fail "$suite: vantor ended early (status $status)"
        fi
        step "$suite: vantor ended by itself with status 0 (the show's end)"
    fi
    demo_pid=""
    grep -h "calling init:" "$sys"/tmp/vantor-run/ld.* | sed 's/.*calling init: //' | sort -u >"$out/loaded.txt"
    rm -f "$sys"/tmp/vantor-run/ld.*
    grep -q "libX11.so" "$out/loaded.txt" || fail "$suite: vantor never loaded libX11 (see $out/loaded.txt)"
    grep -q "libGL" "$out/loaded.txt" || fail "$suite: vantor never loaded libGL (see $out/loaded.txt)"
    step "$suite: vantor loaded $(wc -l <"$out/loaded.txt") libraries: $(sed 's|.*/||' "$out/loaded.txt" | tr '\n' ' ')"

    # The loading screen is the first picture that is not black; the show is
    # a later one unlike it and not black either (a picture taken after a
    # short show ended is the empty screen), and the show moves: two of its
    # pictures differ.
    local shots=("$out"/screen-*.png) loading="" show=() s
    for s in "${shots[@]}"; do
        if [ -z "$loading" ]; then
            [ "$(luma "$s")" -gt 30 ] && loading=$s
        elif [ "$(luma "$s")" -gt 30 ] && [ "$(psnr "$loading" "$s")" -lt 25 ]; then
            show+=("$s")
        fi
    done
    [ -n "$loading" ] || fail "$suite: the window stayed black (see $out/)"
    [ ${#show[@]} -ge 2 ] || fail "$suite: no show after the loading screen (see $out/)"
    [ "$(psnr "${show[0]}" "${show[-1]}")" -lt 40 ] || fail "$suite: the show does not move (see $out/)"
    cp "$loading" "$out/loading.png"
    cp "${show[-1]}" "$out/show.png"
    step "$suite: loading screen at $(basename "$loading"), the show from $(basename "${show[0]}") on"

    # A system without sound: the root has no sound library, and without
    # SDL's dummy driver there is no device. The demo must say so in its
    # error box ("could not init sound", also on stderr), not crash or hang
    # silently. The box waits for its OK, so the demo is ended from here.
    step "$suite: vantor without a sound device"
    chroot "$sys" env -i HOME=/root PATH=/usr/bin:/bin DISPLAY="$display" \
        sh -c 'cd /tmp/vantor-run && exec "$1/vantor"' sh "$inside" >"$out/no-sound.log" 2>&1 &
    demo_pid=$!
    for i in $(seq 40); do
        grep -q "could not init sound" "$out/no-sound.log" && break
        kill -0 "$demo_pid" 2>/dev/null || break
        sleep 0.25
    done
    sleep 1
    grab "$out/no-sound.png" || true
    local ended=running
    if ! kill -0 "$demo_pid" 2>/dev/null; then
        ended=0
        wait "$demo_pid" || ended=$?
    else
        kill -KILL "$demo_pid" 2>/dev/null || true
        wait "$demo_pid" 2>/dev/null || true
    fi
    demo_pid=""
    grep -q "could not init sound" "$out/no-sound.log" && { [ "$ended" = running ] || [ "$ended" = 1 ]; } || {
        cat "$out/no-sound.log" >&2
        fail "$suite: without sound vantor did not end with \"could not init sound\" (status $ended)"
    }
    # SDL draws its box with the X server's core fonts: where the server has
    # them (xfonts-base), the box must be on the screen, which is otherwise
    # as empty as before the demo started.
    if [ -d /usr/share/fonts/X11/misc ]; then
        [ "$(psnr "$work/blank.png" "$out/no-sound.png")" -lt 35 ] || fail "$suite: without sound no error box shows (see $out/no-sound.png)"
        step "$suite: without sound: the box \"could not init sound\" shows"
    else
        step "$suite: without sound: $(grep -m 1 'could not init sound' "$out/no-sound.log") (this X server has no core fonts for the box)"
    fi

    step "$suite: one frame with the shipped vantor-capture"
    chroot "$sys" env -i HOME=/root PATH=/usr/bin:/bin VANTOR_HEADLESS=1 \
        sh -c 'cd /tmp/vantor-run && exec "$1/vantor-capture" --quiet --fps 10 --at "$2" ./' sh "$inside" "$at" \
        >"$out/capture.log" 2>&1 || { cat "$out/capture.log" >&2; fail "$suite: vantor-capture failed"; }
    cp "$sys/tmp/vantor-run/$at.png" "$out/$at.png" || fail "$suite: vantor-capture wrote no $at.png"
    local p
    p=$(psnr "$work/reference/$at.png" "$out/$at.png")
    [ "$p" -ge 30 ] || fail "$suite: the frame differs from this system's (PSNR $p dB)"
    step "$suite: the frame matches this system's (PSNR $p dB)"

    # Nothing written outside /tmp. Mesa's own shader cache in the home
    # folder is the system driver's, not the programs'.
    local written
    written=$(find "$sys" -xdev \( -path "$sys/tmp" -o -path "$sys/proc" -o -path "$sys/dev" \
        -o -path "$sys/root/.cache/mesa_shader_cache*" \) -prune -o -newer "$work/stamp-$suite" -print |
        grep -v -x -F -e "$sys/root/.cache" -e "$sys/root" || true)
    [ -z "$written" ] || fail "$suite: files written outside /tmp: $written"
    root_unmount_all
    step "$suite: passed"
}

for suite in $systems; do
    check_system "$suite"
done
step "the release runs on $systems (build/release-check/)"
echo "check-release: passed on $systems in $((SECONDS - start)) s"
