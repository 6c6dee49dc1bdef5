#!/bin/sh
# Fetches Debian's libjpeg-turbo source package into DIR and unpacks the
# upstream tarball there as DIR/source (needs a deb-src entry; .ci/deps --web
# adds one). The source is never part of the repository.
set -eu
dir=$1
mkdir -p "$dir"
cd "$dir"
if [ ! -f source/jpeglib.h ]; then
  apt-get source --download-only libjpeg-turbo >/dev/null
  rm -rf source
  mkdir source
  tar xzf libjpeg-turbo_*.orig.tar.gz -C source --strip-components=1
fi
