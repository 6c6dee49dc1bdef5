#!/bin/sh
# with_xvfb.sh SCREEN COMMAND [ARG...]
#
# Runs COMMAND on a fresh Xvfb server with one screen of SCREEN (for example
# 1024x768x24) and returns its exit status. The server picks a free display
# number itself (-displayfd), so test programs started side by side never end
# up on each other's servers. -noreset keeps the server up between windows: by
# default it resets when its last client leaves, and a program that closes its
# window and opens the next one at that moment finds no display.
screen=$1
shift
dir=$(mktemp -d "${TMPDIR:-/tmp}/vantor-xvfb.XXXXXX") || exit 1
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/log" &
server=$!
cleanup() {
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The number is written once the server accepts clients.
tries=0
while [ ! -s "$dir/display" ]; do
    if ! kill -0 "$server" 2>/dev/null || [ $tries -ge 300 ]; then
        echo "with_xvfb.sh: Xvfb did not start" >&2
        cat "$dir/log" >&2
        exit 1
    fi
    tries=$((tries + 1))
    sleep 0.1
done
display=$(head -n 1 "$dir/display")
DISPLAY=":$display" "$@"
