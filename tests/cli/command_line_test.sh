#!/bin/sh
# The command line, answered by the built program with no display to be had:
#   command_line_test.sh PATH/TO/quorvane
set -u
program=$1
failures=0
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Runs the program without a display; leaves its status in $status.
run() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@" >"$out" 2>"$err"
    status=$?
}

for option in --help -h; do
    run "$option"
    [ "$status" -eq 0 ] || fail "$option: exit status $status"
    grep -q '^Usage: .*quorvane \[options\]$' "$out" || fail "$option: no usage line"
    grep -q -- '--version' "$out" || fail "$option: --version not listed"
    grep -q '^  render  ' "$out" || fail "$option: the render command not listed"
    grep -q '^  film  ' "$out" || fail "$option: the film command not listed"
    [ -s "$err" ] && fail "$option: wrote to standard error: $(cat "$err")"
done

run --version
[ "$status" -eq 0 ] || fail "--version: exit status $status"
[ "$(cat "$out")" = "quorvane 1.0" ] || fail "--version printed '$(cat "$out")'"
[ -s "$err" ] && fail "--version: wrote to standard error"

# Unknown options, Qt's own among them, stray arguments and values where none belong.
for args in "--bogus" "--version --bogus" "-platform offscreen" "stray" "--help=yes" \
    "--version render"; do
    # shellcheck disable=SC2086 # split on purpose
    run $args
    [ "$status" -eq 2 ] || fail "$args: exit status $status, not 2"
    [ -s "$out" ] && fail "$args: wrote to standard output"
    [ "$(wc -l <"$err")" -eq 1 ] || fail "$args: error is not one line: $(cat "$err")"
    grep -q "^quorvane: .*--help" "$err" || fail "$args: error '$(cat "$err")'"
done

# A word where a command stands that names none is an unknown command, whatever options follow
# it; one that differs from a command only in case is pointed to that command.
run Render lorenz --steps 5 -o x.png
[ "$status" -eq 2 ] || fail "Render: exit status $status, not 2"
grep -qx "quorvane: Unknown command 'Render'; did you mean 'render'? Try 'quorvane --help'." "$err" \
    || fail "Render: error '$(cat "$err")'"
run draw --size 10x10
[ "$status" -eq 2 ] || fail "draw: exit status $status, not 2"
grep -q "^quorvane: Unknown command 'draw'; the commands are render, diverge, lyapunov" "$err" \
    || fail "draw: error '$(cat "$err")'"

# A line break or an escape in a word the error quotes is shown as \xNN: the error stays one line
# and does nothing to the terminal.
run "$(printf 'dr\naw')"
[ "$(wc -l <"$err")" -eq 1 ] || fail "a command with a line break: '$(cat "$err")'"
grep -q '^quorvane: Unknown command .dr\\x0Aaw.; ' "$err" || fail "a command with a line break: '$(cat "$err")'"
run render lorenz --steps "$(printf '1\n2\0333')" -o x.png
[ "$status" -eq 2 ] || fail "steps with a line break: exit status $status, not 2"
[ "$(wc -l <"$err")" -eq 1 ] || fail "steps with a line break: '$(cat "$err")'"
grep -q '^quorvane render: --steps 1\\x0A2\\x1B3: ' "$err" || fail "steps with a line break: '$(cat "$err")'"

[ "$failures" -eq 0 ]
