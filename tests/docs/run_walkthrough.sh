#!/bin/bash
# run_walkthrough.sh DOC WORK DEMO_DIR BIN_DIR...
#
# Runs the commands of a walkthrough the way its reader would: every fenced
# block whose info string is exactly "sh", in file order, each with bash -e
# in WORK, a fresh folder holding the demo as shipped (vantor.ppd and
# soundtrack.mp3 from DEMO_DIR), with every BIN_DIR on the PATH. A block
# marked "sh interactive" waits for a person, one marked "sh setup" prepares
# the reader's own machine (the PATH, the working folder, which this script
# makes itself): both are skipped, and said so. A
# block without an info string right after an "sh" block lists lines that
# block must print. Exit 1 at the first block that fails.
set -u
doc=$1 work=$2 demo=$3
shift 3
for dir in "$@"; do PATH="$dir:$PATH"; done
export PATH

rm -rf "$work" && mkdir -p "$work/.blocks" || exit 1
ln -s "$demo/vantor.ppd" "$work/vantor.ppd" && ln -s "$demo/soundtrack.mp3" "$work/soundtrack.mp3" || exit 1
blocks=$work/.blocks

# Block n: its info string in n.info, its text in n.body.
awk -v dir="$blocks" '
    !inside && /^```/ { n++; inside = 1; info = substr($0, 4); print info > (dir "/" n ".info"); printf "" > (dir "/" n ".body"); next }
    inside && /^```[[:space:]]*$/ { inside = 0; next }
    inside { print > (dir "/" n ".body") }
' "$doc"

cd "$work" || exit 1
ran=0 previous=
for info_file in $(ls "$blocks"/*.info | sort -t/ -k1 -V); do
    n=$(basename "$info_file" .info)
    info=$(cat "$info_file")
    body=$blocks/$n.body
    case "$info" in
    sh)
        echo "---- block $n"
        cat "$body"
        echo "----"
        if ! bash -e -o pipefail "$body" >"$blocks/$n.out" 2>&1; then
            cat "$blocks/$n.out"
            echo "run_walkthrough.sh: block $n failed" >&2
            exit 1
        fi
        cat "$blocks/$n.out"
        ran=$((ran + 1))
        previous=$n
        ;;
    "sh interactive" | "sh setup")
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
