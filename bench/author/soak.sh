#!/bin/sh
# soak.sh BUILD_DIR [SECONDS] [SEED]
#
# The author-mode soak for a long run (600 s unless told): vantor --data
# --control under broken saves and random commands on a private X server,
# niced. Prints the faults saved, the commands answered, resident memory
# before and after and the picture difference at the end.
build=${1:?usage: soak.sh BUILD_DIR [SECONDS] [SEED]}
# vantor is started from the soak's own folder: a relative build path would
# name nothing there.
build=$(cd "$build" && pwd) || exit 1
seconds=${2:-600}
seed=${3:-1}
here=$(dirname "$0")
SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} VANTOR_HEADLESS=1 exec nice -n 10 \
    "$here/../../tests/support/with_xvfb.sh" 640x480x24 \
    "$build/tests/app/author_soak" "$build/demo/vantor" "$build/demo" "$seconds" "$seed"
