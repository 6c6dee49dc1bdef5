#!/usr/bin/env bash
# Run inside the Debian 11 build root: builds SDL 2 from Debian 12's source
# package into /opt/sdl2. Built this way (SDL's own defaults), SDL loads the
# X11, ALSA and PulseAudio libraries at run time when they are there, so the
# shipped libSDL2 needs only the C runtime; Debian's own build links all of
# them (and D-Bus, Wayland, libudev, ...) and would need them on every system.
set -euo pipefail
echo "deb-src http://deb.debian.org/debian bookworm main" >/etc/apt/sources.list.d/vantor-sdl-src.list
apt-get update -q
rm -rf /src/sdl && mkdir -p /src/sdl && cd /src/sdl
apt-get source --download-only libsdl2
tar xzf libsdl2_*.orig.tar.gz
cd SDL2-*/
./configure -q --prefix=/opt/sdl2 --disable-static --disable-rpath \
    --disable-video-wayland --disable-video-kmsdrm --disable-video-vulkan \
    --disable-esd --disable-jack --disable-sndio --disable-pipewire \
    --disable-libudev --disable-dbus --disable-ime --disable-ibus --disable-fcitx
make -s -j2
make -s install
