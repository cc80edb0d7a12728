#!/bin/sh
# quorvane diverge as a user and a script use it, with no display to be had: its own bad input
# refused with one line and status 2 (the shared options are render's, tested there), a failed
# write with status 1 and no file, and a summary whose lines fit an 80-column terminal.
#   diverge_command_test.sh PATH/TO/quorvane
program=$1
. "$(dirname "$0")/command_test_helpers.sh"

# No name, a bad name, number or option; --every without --csv, outside 1..10^12 or making
# more than 10^7 rows; a folder for a file; a chart that is not PNG; one file named twice;
# Qt's own options, which only the command may accept.
while read -r args; do
    # shellcheck disable=SC2086 # split on purpose
    expect_refused 2 diverge $args
done <<'EOF_CASES'
--steps 10
lorenzz
lorenz extra
lorenz --bogus
lorenz --set d=1
lorenz --set aa=1e999
lorenz --steps 0
lorenz --every 10
lorenz --csv d.csv --every 0
lorenz --csv d.csv --every 2.5
lorenz --csv d.csv --every 1000000000001
lorenz --csv d.csv --steps 1000000000000
lorenz --csv d.csv --every 1 --steps 10000001
lorenz --csv
lorenz --csv folder/
lorenz --csv .
lorenz --plot p.jpg
lorenz --plot folder/
lorenz --plot ..
lorenz --csv same.png --plot same
lorenz --plot-steps 10
lorenz --steps 100 --plot p.png --plot-steps 101
lorenz --steps 100 --plot p.png --plot-steps 0
lorenz -platform xcb
lorenz -reverse
EOF_CASES

# The chart's name a symbolic link to the CSV file, which the write would follow: one file.
ln -s folder/d.csv "$work/link.png"
expect_refused 2 diverge lorenz --steps 10 --csv d.csv --plot ../link.png
rm -f "$work/link.png"

# A missing folder is found before the run: status 1, the system's reason, no file.
expect_refused 1 diverge lorenz --steps 10 --csv missing/d.csv
grep -q 'No such file or directory' "$err" || fail "missing folder: '$(cat "$err")'"
expect_refused 1 diverge lorenz --steps 10 --plot missing/p.png
# A write cut short by a file size limit, as by a full disk: the old file stays as it was.
echo "the rows from before" >"$folder/kept.csv"
within_file_size 1 diverge hopalong --every 1 --steps 100000 --csv kept.csv
[ "$status" -eq 1 ] || fail "write past the size limit: exit status not 1"
grep -qx 'quorvane diverge: cannot write kept.csv: File too large' "$err" \
    || fail "write past the size limit: '$(cat "$err")'"
[ "$(cat "$folder/kept.csv")" = "the rows from before" ] || fail "the old file was changed"
[ "$(ls -A "$folder")" = kept.csv ] || fail "left $(ls -A "$folder")"
rm -f "$folder"/*

# The summaries, in a German locale too: numbers with a point, lines of 80 columns at most.
check_summary() {
    [ "$status" -eq 0 ] || fail "$*: exit status $status: $(cat "$err")"
    [ -s "$err" ] && fail "$*: wrote to standard error: $(cat "$err")"
    awk 'length > 80 { bad = 1; print "longer than 80 columns: " $0 } END { exit bad }' \
        "$out" >&2 || fail "$*: a line is longer than 80 columns"
}
run diverge hopalong --steps 5000
check_summary hopalong
grep -qx 'orbits identical for all 5000 steps' "$out" || fail "equal: $(cat "$out")"
LC_ALL=de_DE.UTF-8 run diverge lorenz --set aa=10.001 --steps 100000
check_summary lorenz
grep -q '^lorenz, 100000 steps of 0.0004 time units$' "$out" || fail "lorenz: $(cat "$out")"
grep -q '^orbits part at step [0-9]* (t = [0-9.]* time units)$' "$out" \
    || fail "lorenz: no parting step: $(cat "$out")"
grep -q '^growth rate [0-9.e-]* per step ([0-9.e-]* per time unit)$' "$out" \
    || fail "lorenz: no growth rate: $(cat "$out")"
run diverge pickover --set a=-1.2345678901234567e-300 --set bb=0.12345678901234567 \
    --set cc=-1.2345678901234567e+300 --set dd=1.2345678901234567e-100 --set ee=9.87654321 \
    --steps 100
check_summary pickover
# An orbit whose point leaves single precision leaves the range the window can draw, while its
# state is still finite (orbit 2's x is about 1e+38 at step 9); a state that is infinite
# leaves the numbers.
run diverge lorenz --set aa=100000 --steps 1000
check_summary "point beyond single precision"
grep -qx 'orbit 2 leaves the range the window can draw at step 9 (t = 0.0032 time units)' "$out" \
    || fail "point beyond single precision: $(cat "$out")"
grep -qx '  (its point lies beyond single precision; the run ends there)' "$out" \
    || fail "point beyond single precision: $(cat "$out")"
grep -qx 'no growth rate: an orbit left the range the window can draw' "$out" \
    || fail "point beyond single precision: $(cat "$out")"
grep -q 'numbers' "$out" && fail "point beyond single precision: $(cat "$out")"
run diverge lorenz --set a=1e300 --set aa=1e300 --steps 1000
check_summary "infinite state"
grep -qx 'both orbits leave the numbers at step 3 (t = 0.0008 time units)' "$out" \
    || fail "infinite state: $(cat "$out")"
grep -qx '  (a state value is infinite or not a number; the run ends there)' "$out" \
    || fail "infinite state: $(cat "$out")"
grep -qx 'no growth rate: an orbit left the numbers' "$out" || fail "infinite state: $(cat "$out")"
run diverge hopalong --set aa=0.7241 --steps 1000 --quiet --csv d.csv
# --quiet leaves out the line naming the files, never the results.
grep -q '^orbits part at step ' "$out" || fail "--quiet: no summary: $(cat "$out")"
grep -q '^wrote' "$out" && fail "--quiet still named the files: $(cat "$out")"
[ -s "$err" ] && fail "--quiet wrote to standard error: $(cat "$err")"
[ -s "$folder/d.csv" ] || fail "--quiet: no CSV file"
run diverge lorenz --steps 1 --csv one.csv
grep -qx 'wrote one.csv (1 row)' "$out" || fail "one row: '$(cat "$out")'"

# A chart that cannot be written keeps the CSV file from before as well: neither file is put in
# place unless both are complete. The file size limit lets the short CSV through, not the chart.
rm -f "$folder"/*
echo "rows from before" >"$folder/kept.csv"
within_file_size 8 diverge hopalong --set aa=0.7241 --steps 2000 --csv kept.csv --plot chart.png
[ "$status" -eq 1 ] || fail "chart past the size limit: exit status $status"
grep -q '^quorvane diverge: cannot write chart.png: File too large$' "$err" \
    || fail "chart past the size limit: '$(cat "$err")'"
[ "$(cat "$folder/kept.csv")" = "rows from before" ] || fail "the old CSV file was replaced"
[ "$(ls -A "$folder")" = kept.csv ] || fail "chart past the size limit left $(ls -A "$folder")"
rm -f "$folder"/*

# Both files or neither, and the message names the file that failed: a CSV file cut short by a
# file size limit keeps the chart from before as well.
echo "rows from before" >"$folder/kept.csv"
echo "chart from before" >"$folder/kept.png"
within_file_size 100 diverge lorenz --steps 100000 --every 1 -q --csv kept.csv --plot kept.png
[ "$status" -eq 1 ] || fail "CSV past the size limit: exit status $status"
grep -qx 'quorvane diverge: cannot write kept.csv: File too large' "$err" \
    || fail "CSV past the size limit: '$(cat "$err")'"
[ "$(cat "$folder/kept.png")" = "chart from before" ] \
    || fail "CSV past the size limit: the chart was replaced"
[ "$(cat "$folder/kept.csv")" = "rows from before" ] || fail "CSV past the size limit: CSV replaced"
[ "$(ls -A "$folder" | tr '\n' ' ')" = "kept.csv kept.png " ] \
    || fail "CSV past the size limit left $(ls -A "$folder")"
rm -f "$folder"/*

# The same on a disk that fills up: the CSV file is named, not the chart after it.
on_small_disk 64 '
    echo "rows from before" >kept.csv
    echo "chart from before" >kept.png
    env -u DISPLAY "$program" diverge lorenz --steps 100000 --every 1 -q --csv kept.csv \
        --plot kept.png >"$work/full.out" 2>"$work/full.err"
    echo $? >"$work/full.status"
    cat kept.csv kept.png >"$work/full.kept"
    ls -A >"$work/full.files"'
case $? in
77) echo "SKIP: no small file system to fill here" ;;
0)
    [ "$(cat "$work/full.status")" -eq 1 ] || fail "full disk: exit status $(cat "$work/full.status")"
    grep -qx 'quorvane diverge: cannot write kept.csv: No space left on device' "$work/full.err" \
        || fail "full disk: '$(cat "$work/full.err")'"
    [ "$(cat "$work/full.kept")" = "$(printf 'rows from before\nchart from before')" ] \
        || fail "full disk: a file was replaced"
    [ "$(tr '\n' ' ' <"$work/full.files")" = "kept.csv kept.png " ] \
        || fail "full disk: left $(cat "$work/full.files")"
    ;;
*) fail "full disk: the test's own commands failed" ;;
esac

# Standard output named as the CSV file, with standard output a file: the rows go there in
# place, followed by the summary, rather than a new file renamed over it.
(cd "$folder" && env -u DISPLAY "$program" diverge lorenz --steps 1000 --csv /dev/stdout) \
    >"$work/stdout.txt" 2>"$err"
status=$?
[ "$status" -eq 0 ] || fail "--csv /dev/stdout: exit status $status: $(cat "$err")"
[ "$(head -n 1 "$work/stdout.txt")" = "step,state_separation,screen_separation_px" ] \
    || fail "--csv /dev/stdout: first line '$(head -n 1 "$work/stdout.txt")'"
sed -n 11,12p "$work/stdout.txt" | tr '\n' ' ' \
    | grep -qx '1000,0,0 lorenz, 1000 steps of 0.0004 time units ' \
    || fail "--csv /dev/stdout: rows then summary: $(cat "$work/stdout.txt")"
# The chart into a pipe named /dev/stdout: no extension added, and no file made for it.
(cd "$folder" && env -u DISPLAY "$program" diverge lorenz --steps 100 -q --plot /dev/stdout) \
    2>"$err" | head -c 4 | tail -c 3 >"$work/piped"
[ "$(cat "$work/piped")" = PNG ] || fail "--plot /dev/stdout: no PNG file on the pipe: $(cat "$err")"
if [ -e /dev/stdout.png ]; then
    fail "--plot /dev/stdout made /dev/stdout.png"
    rm -f /dev/stdout.png
fi
[ -z "$(ls -A "$folder")" ] || fail "writes to standard output left $(ls -A "$folder")"

[ "$failures" -eq 0 ]
