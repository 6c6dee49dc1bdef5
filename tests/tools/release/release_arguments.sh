#!/usr/bin/env bash
# The release scripts' refusals: each bad call must end at once with its
# message on stderr and a non-zero status, before anything is built. The
# scripts run with a PATH that lacks debootstrap, so one that wrongly accepts
# its arguments stops at the missing-tool message (and fails here) instead of
# starting a build.
#
#   release_arguments.sh SOURCE_DIR WORK_DIR
set -uo pipefail
src=$1
work=$2
rm -rf "$work" && mkdir -p "$work/empty" "$work/show/data" "$work/notes"
touch "$work/a file" "$work/notes/todo.txt"
failures=0

# expect STATUS PATTERN SCRIPT ARGS...: the script ends with STATUS and its
# stderr (or, for status 0, its stdout) matches PATTERN.
expect() {
    local status=$1 pattern=$2 script=$3
    shift 3
    local out err rc
    out=$(cd "$work" && env PATH=/usr/bin:/bin bash "$src/tools/$script" "$@" 2>"$work/err")
    rc=$?
    err=$(cat "$work/err")
    local text=$err
    [ "$status" = 0 ] && text=$out
    if [ "$rc" != "$status" ] || ! grep -q -e "$pattern" <<<"$text"; then
        echo "FAIL: $script $* ended with $rc (wanted $status and '$pattern')" >&2
        echo "  stdout: $out" >&2
        echo "  stderr: $err" >&2
        failures=$((failures + 1))
    fi
}

expect 0 "--data DIR" make-release.sh --help
expect 2 "unknown argument '--bogus'" make-release.sh --bogus
expect 2 "--data needs a folder" make-release.sh --data
expect 1 "no folder '$work/missing'" make-release.sh --data "$work/missing"
expect 1 "no folder" make-release.sh --data "$work/a file"
expect 1 "nothing to ship" make-release.sh --data "$work/empty"
expect 1 "nothing to ship" make-release.sh --data "$work/notes"
# A folder with a show in it passes the argument checks and stops only at
# the missing tool (or, for a user, at the root check).
expect 1 "debootstrap' is missing\|run as root" make-release.sh --data "$work/show"
# A relative folder is taken from where the script is started, not from the
# checkout it changes to.
expect 1 "debootstrap' is missing\|run as root" make-release.sh --data show
expect 1 "no folder 'missing'" make-release.sh --data missing

expect 0 "--no-build" check-release.sh --help
expect 2 "unknown argument '--bogus'" check-release.sh --bogus
expect 2 "--data needs a folder" check-release.sh --data
expect 2 "--at needs" check-release.sh --at
expect 2 "--at needs" check-release.sh --at soon
expect 2 "--systems takes" check-release.sh --systems
expect 2 "--systems takes" check-release.sh --systems bullseye,sid
expect 2 "--systems takes" check-release.sh --systems "bullseye trixie"
expect 1 "no folder" check-release.sh --data "$work/missing"
expect 1 "nothing to ship" check-release.sh --data "$work/empty"
expect 1 "nothing to ship" check-release.sh --data empty

[ "$failures" = 0 ] || { echo "$failures refusal(s) wrong" >&2; exit 1; }
echo "all refusals as expected"
