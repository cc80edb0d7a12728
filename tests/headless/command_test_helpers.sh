# What the shell tests of the headless commands share; sourced after setting
#   program   the built quorvane
#   command   the command's word, as its errors name it: "quorvane COMMAND: ..."
# Gives a scratch folder $folder that the program runs in (kept empty between the cases),
# $out and $err for its output, a count of $failures, and:
#   fail TEXT                       counts a failure and says what it was;
#   run ARGS...                     runs the program without a display, status in $status;
#   expect_refused STATUS ARGS...   one line on standard error naming the problem, nothing
#                                   on standard output, no file left.
failures=0
work=$(mktemp -d)
out=$work/out err=$work/err
folder=$work/folder
mkdir "$folder"
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

run() {
    (cd "$folder" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@") \
        >"$out" 2>"$err"
    status=$?
}

expect_refused() {
    expected=$1
    shift
    run "$@"
    [ "$status" -eq "$expected" ] || fail "$*: exit status $status, not $expected"
    [ -s "$out" ] && fail "$*: wrote to standard output: $(cat "$out")"
    [ "$(wc -l <"$err")" -eq 1 ] || fail "$*: error is not one line: $(cat "$err")"
    grep -q "^quorvane $command: " "$err" || fail "$*: error '$(cat "$err")'"
    [ -z "$(ls -A "$folder")" ] && return
    fail "$*: left $(ls -A "$folder")"
    rm -rf "${folder:?}"/* "$folder"/.[!.]*
}
