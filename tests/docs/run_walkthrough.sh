#!/bin/bash
# run_walkthrough.sh DOC WORK BUILD_DIR
#
# Runs the commands of a walkthrough the way its reader would: every fenced
# block whose info string is "sh" or "sh install", in file order, each with
# bash -e. The reader's home is WORK/home, a fresh folder, so the guide's
# install into ~/.local and its working folder ~/shows are the test's own;
# ~/.local/bin comes first on the PATH, so every later block runs the
# installed programs.
#
# A block marked "sh install" builds and installs from the source tree: it
# runs in WORK/src, where build/author is BUILD_DIR (the test's own build,
# made before the test), and `cmake --workflow` there says so instead of
# building a second time; every other cmake command (the install) runs as
# written. The other blocks run in ~/shows once the guide has made it (in
# ~/ before). A block marked "sh interactive" waits for a person and is
# skipped, and said so. A block without an info string right after a block
# that ran lists lines that block must print. Exit 1 at the first block that
# fails.
set -u
doc=$1 work=$2 build=$3

rm -rf "$work" && mkdir -p "$work/.blocks" "$work/home" "$work/src/build" || exit 1
ln -s "$build" "$work/src/build/author" || exit 1
export HOME=$work/home
export PATH="$HOME/.local/bin:$PATH"
blocks=$work/.blocks

# Block n: its info string in n.info, its text in n.body.
awk -v dir="$blocks" '
    !inside && /^```/ { n++; inside = 1; info = substr($0, 4); print info > (dir "/" n ".info"); printf "" > (dir "/" n ".body"); next }
    inside && /^```[[:space:]]*$/ { inside = 0; next }
    inside { print > (dir "/" n ".body") }
' "$doc"

# The cmake of an "sh install" block: the build is the test's own.
cat >"$blocks/install-prelude.sh" <<'PRELUDE'
cmake() {
    if [ "${1:-}" = --workflow ]; then
        echo "run_walkthrough.sh: cmake $*: the test's own build is build/author"
        return 0
    fi
    command cmake "$@"
}
PRELUDE

ran=0 previous=
for info_file in $(ls "$blocks"/*.info | sort -t/ -k1 -V); do
    n=$(basename "$info_file" .info)
    info=$(cat "$info_file")
    body=$blocks/$n.body
    case "$info" in
    sh | "sh install")
        echo "---- block $n ($info)"
        cat "$body"
        echo "----"
        if [ "$info" = "sh install" ]; then
            cat "$blocks/install-prelude.sh" "$body" >"$blocks/$n.run"
            place=$work/src
        else
            cp "$body" "$blocks/$n.run"
            place=$HOME
            [ -d "$HOME/shows" ] && place=$HOME/shows
        fi
        if ! (cd "$place" && bash -e -o pipefail "$blocks/$n.run") >"$blocks/$n.out" 2>&1; then
            cat "$blocks/$n.out"
            echo "run_walkthrough.sh: block $n failed" >&2
            exit 1
        fi
        cat "$blocks/$n.out"
        ran=$((ran + 1))
        previous=$n
        ;;
    "sh interactive")
        echo "---- block $n skipped (${info#sh }): $(head -n 1 "$body")"
        previous=
        ;;
    "")
        if [ -n "$previous" ]; then
            while IFS= read -r line; do
                if ! grep -Fxq -- "$line" "$blocks/$previous.out"; then
                    echo "run_walkthrough.sh: block $previous did not print: $line" >&2
                    exit 1
                fi
            done <"$body"
        fi
        previous=
        ;;
    *) previous= ;;
    esac
done
echo "run_walkthrough.sh: $ran blocks ran"
[ "$ran" -gt 0 ]
