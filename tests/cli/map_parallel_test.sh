#!/bin/sh
# The README's recipe for spreading a map over processes and machines with GNU parallel, run
# for real: slices computed by parallel on this machine, then the same through --sshlogin (to
# the local machine, ":", which needs no ssh server), merged and compared with one whole run,
# byte for byte.
#   map_parallel_test.sh PATH/TO/quorvane
program=$1
. "$(dirname "$0")/command_test_helpers.sh"

if ! command -v parallel >/dev/null; then
    echo "FAIL: GNU parallel is not installed; 'make deps' installs it" >&2
    exit 1
fi
# The commands as the README writes them, with `quorvane` on the PATH.
mkdir "$work/bin"
ln -s "$program" "$work/bin/quorvane"
PATH=$work/bin:$PATH
export PATH
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
cd "$folder" || exit 1

# A small map, fast enough for a test, with chaos and order in it.
map="lorenz --x b=0:60 --y a=2:20 --size 8x7 --steps 2000 --transient 500"
# shellcheck disable=SC2086
quorvane map $map --csv "$work/whole.csv" -q >/dev/null || fail "the whole run failed"

# One slice a job, as many jobs at once as there are cores, each on one thread.
# shellcheck disable=SC2086
parallel quorvane map $map --threads 1 --slice {}/4 --csv part-{}.csv -q ::: 0 1 2 3 \
    >"$out" 2>"$err" || fail "parallel: $(cat "$err")"
quorvane map --merge part-*.csv --csv lorenz-map.csv --plot lorenz-map.png >"$out" 2>"$err" \
    || fail "merge: $(cat "$err")"
cmp -s lorenz-map.csv "$work/whole.csv" || fail "parallel's slices merged are not the whole run"
[ -s lorenz-map.png ] || fail "merge drew no picture"
rm -f ./*

# Over ssh logins: here two job slots on the local machine. Each job's part comes back with
# --return and is removed from the login with --cleanup.
# shellcheck disable=SC2086
parallel --sshlogin 2/: --return part-{}.csv --cleanup \
    quorvane map $map --threads 1 --slice {}/7 --csv part-{}.csv -q ::: $(seq 0 6) \
    >"$out" 2>"$err" || fail "parallel --sshlogin: $(cat "$err")"
[ "$(ls part-*.csv | wc -l)" -eq 7 ] || fail "parallel --sshlogin: parts $(ls)"
quorvane map --merge part-*.csv --csv lorenz-map.csv -q >"$out" 2>"$err" || fail "merge: $(cat "$err")"
cmp -s lorenz-map.csv "$work/whole.csv" || fail "parallel --sshlogin's slices merged are not the whole run"

[ "$failures" -eq 0 ]
