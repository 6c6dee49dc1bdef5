#!/usr/bin/env bash
# Copies this system's cmake into DIR of a Debian 11 root (bin/, lib/,
# share/): Debian 11's own cmake (3.18) is older than the presets need. The
# copy runs on this system's C library, carried along in DIR/lib and named
# as its loader and library path, so it needs nothing of the root's; the
# compilers it starts are the root's own.
#
#   tools/release/transplant-cmake.sh ROOT DIR   (DIR as seen inside ROOT)
set -euo pipefail
inside=$2
dir=$1$2
cmake_bin=$(command -v cmake)
modules=$(cmake --system-information 2>/dev/null | sed -n 's/^CMAKE_ROOT "\(.*\)"$/\1/p')
[ -d "$modules" ] || modules=$(ls -d /usr/share/cmake-3.* | tail -n 1)
rm -rf "$dir"
mkdir -p "$dir/bin" "$dir/lib" "$dir/share"
cp "$cmake_bin" "$dir/bin/cmake"
for lib in $(ldd "$cmake_bin" | awk '$3 ~ /^\// {print $3}'); do
    cp -L "$lib" "$dir/lib/"
done
cp -L /lib64/ld-linux-x86-64.so.2 "$dir/lib/"
cp -a "$modules" "$dir/share/"
# DT_RPATH (not RUNPATH) so that the libraries' own dependencies are found
# there too.
patchelf --set-interpreter "$inside/lib/ld-linux-x86-64.so.2" --force-rpath --set-rpath "$inside/lib" "$dir/bin/cmake"
