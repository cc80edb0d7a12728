#!/bin/sh
# quorvane lyapunov as a script uses it, with no display to be had: every bad input is refused
# with one line and status 2, a failed write with one line and status 1, and neither leaves a
# file behind; a run's results come out as documented, the same on one thread and on two.
#   lyapunov_command_test.sh PATH/TO/quorvane
program=$1
. "$(dirname "$0")/command_test_helpers.sh"

# Every bad input: the run options render refuses too; orbit 2's letters, which make no sense
# here; too few steps for the blocks; the method's own numbers; and the forms of --vary: a
# COUNT of 0, FROM equal to TO, a letter the attractor does not ask for, orbit 2's letter, a
# letter --set gives as well, and ranges that are not numbers or not three of them. Files are
# refused without a range, or with a name that is no PNG or no file, or the same for both.
while read -r args; do
    # shellcheck disable=SC2086 # split on purpose
    expect_refused 2 lyapunov $args
done <<'EOF_CASES'
lorenzz
--steps 100
lorenz extra
lorenz --bogus
lorenz --steps
lorenz --set d=1
lorenz --set aa=1
lorenz --set ee=1
hopalong --set bb=1
pickover --set dd=1
lorenz --set a
lorenz --set a=abc
lorenz --set a=1,5
lorenz --set a=inf
lorenz --set a=nan
lorenz --set a=1e999
lorenz --steps 0
lorenz --steps 9
lorenz --steps 2.5
lorenz --steps 1000000000001
lorenz --transient -1
lorenz --transient 1.5
lorenz --transient 1000000000001
lorenz --transient abc
lorenz --renorm 0
lorenz --renorm -3
lorenz --renorm 1e3
lorenz --threads 0
lorenz --threads 1025
lorenz --threads two
lorenz --vary b=0:200:0
lorenz --vary b=5:5:10
lorenz --vary b=-0:0:3
lorenz --vary d=0:1:5
lorenz --vary aa=0:1:5
lorenz --vary bb=0:1:5
hopalong --vary dd=0:1:5
lorenz --vary b=0:200
lorenz --vary b=0:200:10:5
lorenz --vary b0:200:10
lorenz --vary =0:200:10
lorenz --vary b=x:200:10
lorenz --vary b=0:inf:10
lorenz --vary b=0:1e999:10
lorenz --vary b=0:200:2.5
lorenz --vary b=0:200:-4
lorenz --vary b=0:200:1000001
lorenz --vary b=0:200:10 --set b=3
lorenz --vary B=0:200:10 --set b=3
lorenz --csv values.csv
lorenz --plot chart.png
lorenz --vary b=0:200:10 --plot chart.jpg
lorenz --vary b=0:200:10 --plot folder/
lorenz --vary b=0:200:10 --csv folder/
lorenz --vary b=0:200:10 --csv .
lorenz --vary b=0:200:10 --plot ..
lorenz --vary b=0:200:10 --csv same.png --plot same.png
EOF_CASES

# The least --steps named is the one the command takes.
expect_refused 2 lyapunov lorenz --steps 0
grep -q -- '--steps 0: the steps must be a whole number from 10 to 1000000000000\.' "$err" \
    || fail "--steps 0: '$(cat "$err")'"

# The chart's name a symbolic link to the CSV file, which the write would follow: one file.
ln -s folder/values.csv "$work/link.png"
expect_refused 2 lyapunov lorenz --vary b=0:1:2 --steps 10 --csv values.csv --plot ../link.png
rm -f "$work/link.png"

# One exponent: the method's settings, lambda_1 per unit time and per step with its error,
# the Lyapunov time and the verdict, numbers with a point in a German locale too; nothing on
# standard error. Lorenz at rho = 28 is chaotic.
LC_ALL=de_DE.UTF-8 run lyapunov lorenz --set c=2.6666666666666665 --steps 100000 \
    --transient 10000 --renorm 5
[ "$status" -eq 0 ] || fail "one exponent: exit status $status: $(cat "$err")"
[ -s "$err" ] && fail "one exponent wrote to standard error: $(cat "$err")"
head -n 1 "$out" | grep -qx 'lorenz a=10 b=28 c=2.6666666666666665:' \
    || fail "first line: '$(head -n 1 "$out")'"
sed -n 2p "$out" | grep -qx '100000 steps measured after a transient of 10000, renormalised every 5' \
    || fail "second line: '$(sed -n 2p "$out")'"
awk 'length > 80 { exit 1 }' "$out" || fail "a line over 80 columns: $(cat "$out")"
grep -qx 'lambda_1 = 0\.[89][0-9]* per unit time (standard error 0\.[0-9]*)' "$out" \
    || fail "per unit time: '$(cat "$out")'"
grep -qx 'lambda_1 = 0\.000[0-9]* per step (standard error [0-9.e-]*)' "$out" \
    || fail "per step: '$(cat "$out")'"
grep -qx 'Lyapunov time = 1\.[0-9]* time units ([0-9.]* steps)' "$out" \
    || fail "Lyapunov time: '$(cat "$out")'"
[ "$(tail -n 1 "$out")" = "verdict: chaotic" ] || fail "verdict: '$(tail -n 1 "$out")'"

# A map has no model time: its exponent is per step only. Settling on a stable fixed point
# is not chaotic.
run lyapunov PICKOVER --set e=0 --set d=1 --steps 1000 --transient 1000 --quiet
[ "$status" -eq 0 ] || fail "map: exit status $status: $(cat "$err")"
grep -q 'per unit time' "$out" && fail "map: an exponent per unit time: $(cat "$out")"
grep -qx 'lambda_1 = -0\.395[0-9]* per step (standard error [0-9.e-]*)' "$out" \
    || fail "map: '$(cat "$out")'"
grep -qx 'Lyapunov time: none, as lambda_1 is not above zero' "$out" \
    || fail "map: Lyapunov time '$(cat "$out")'"
[ "$(tail -n 1 "$out")" = "verdict: not chaotic" ] || fail "map: verdict '$(cat "$out")'"

# An orbit that overflows is a result: its step, no exponent, status 0.
run lyapunov lorenz --set a=1e6
[ "$status" -eq 0 ] || fail "overflow: exit status $status"
[ "$(tail -n 1 "$out")" = "orbit 1 leaves the numbers (infinite or not a number) at step 10: no exponent" ] \
    || fail "overflow: '$(cat "$out")'"
grep -q lambda "$out" && fail "overflow: an exponent: $(cat "$out")"

# A companion that jumps across sgn(x)'s step at 0 gives no exponent, whatever the period: the
# measurement would be ln(1e8) / K, not an exponent.
for renorm in 1 10 100; do
    run lyapunov hopalong --set a=0 --set b=0 --set c=0 --renorm $renorm
    [ "$status" -eq 0 ] || fail "jump, renorm $renorm: exit status $status"
    grep -q lambda "$out" && fail "jump, renorm $renorm: an exponent: $(cat "$out")"
    grep -q 'verdict' "$out" && fail "jump, renorm $renorm: a verdict: $(cat "$out")"
    tr '\n' ' ' <"$out" | grep -q "at step $((100001 + renorm)) the companion was 1\(\.[0-9]*\)\? from orbit 1 .*no exponent" \
        || fail "jump, renorm $renorm: '$(cat "$out")'"
done

# A range: one line a value in the table, CSV in the C way, the same bytes on one thread and
# on two; per unit time for a flow.
run lyapunov lorenz --vary b=5:45:9 --steps 20000 --transient 5000 --threads 1 --csv one.csv
[ "$status" -eq 0 ] || fail "range: exit status $status: $(cat "$err")"
[ "$(wc -l <"$out")" -eq 13 ] \
    || fail "range: not two lines of heading, ten of table and the files: $(cat "$out")"
sed -n 3p "$out" | grep -q '^b  *lambda_1/time  *stderr  *verdict$' || fail "range: '$(sed -n 3p "$out")'"
sed -n 4p "$out" | grep -q '^5  *-[0-9.]*  *[0-9.]*  *not chaotic$' || fail "range: '$(sed -n 4p "$out")'"
sed -n 12p "$out" | grep -q '^45  *[0-9.]*  *[0-9.]*  *chaotic$' || fail "range: '$(sed -n 12p "$out")'"
[ "$(tail -n 1 "$out")" = "wrote one.csv" ] || fail "range: '$(tail -n 1 "$out")'"
run lyapunov lorenz --vary b=5:45:9 --steps 20000 --transient 5000 --threads 2 --csv two.csv
[ "$status" -eq 0 ] || fail "range on two threads: exit status $status: $(cat "$err")"
cmp -s "$folder/one.csv" "$folder/two.csv" || fail "range: one and two threads differ"
[ "$(head -n 1 "$folder/one.csv")" = "value,lambda_per_step,lambda_per_time,stderr" ] \
    || fail "CSV header: '$(head -n 1 "$folder/one.csv")'"
[ "$(wc -l <"$folder/one.csv")" -eq 10 ] || fail "CSV is not a header and nine lines"
sed -n 2p "$folder/one.csv" | grep -qx '5,-[0-9.e-]*,-[0-9.e-]*,[0-9.e-]*' \
    || fail "CSV line of b = 5: '$(sed -n 2p "$folder/one.csv")'"
awk -F, 'NR > 1 && $3 != "" { r = $3 / $2; if (r < 2499.999 || r > 2500.001) bad = 1 } END { exit bad }' \
    "$folder/one.csv" || fail "CSV: lambda_per_time is not lambda_per_step / 0.0004"
rm -f "$folder"/*

# A map's CSV leaves lambda_per_time empty; an orbit without an exponent leaves all three.
run lyapunov lorenz --vary a=10:1000000:2 --steps 100 --transient 100 --csv runaway.csv
[ "$(tail -n 1 "$folder/runaway.csv")" = "1000000,,," ] \
    || fail "runaway CSV line: '$(tail -n 1 "$folder/runaway.csv")'"
run lyapunov hopalong --vary c=-0.2:0:3 --steps 1000 --transient 10 --csv map.csv
awk -F, 'NR > 1 && ($2 == "" || $3 != "" || $4 == "") { bad = 1 } END { exit bad }' \
    "$folder/map.csv" || fail "map CSV: $(cat "$folder/map.csv")"
rm -f "$folder"/*

# The chart: a PNG image of 1200 x 800 pixels, next to the CSV file; a name without an
# extension gets .png.
run lyapunov eqn8 --vary a=1:3:5 --steps 1000 --transient 100 --csv values --plot chart
[ "$status" -eq 0 ] || fail "chart: exit status $status: $(cat "$err")"
[ "$(ls "$folder")" = "$(printf 'chart.png\nvalues')" ] || fail "chart: files $(ls "$folder")"
[ "$(od -An -tx1 -j12 -N12 "$folder/chart.png" | tr -d ' \n')" = 49484452000004b000000320 ] \
    || fail "chart.png is not a 1200x800 PNG image"
rm -f "$folder"/*

# A failed write: one line with the system's reason, status 1, no file.
for option in --csv --plot; do
    expect_refused 1 lyapunov lorenz --vary b=0:1:2 --steps 10 --transient 0 $option missing/v
    grep -q 'No such file or directory' "$err" || fail "missing folder: '$(cat "$err")'"
done

# Both files or neither: a CSV file cut short by a file size limit keeps the chart from before
# as well, and is the file the message names.
echo "values from before" >"$folder/kept.csv"
echo "chart from before" >"$folder/kept.png"
within_file_size 40 lyapunov lorenz --vary b=0:200:1000 --steps 10 \
    --transient 0 -q --csv kept.csv --plot kept.png
[ "$status" -eq 1 ] || fail "CSV past the size limit: exit status $status"
grep -qx 'quorvane lyapunov: cannot write kept.csv: File too large' "$err" \
    || fail "CSV past the size limit: '$(cat "$err")'"
[ "$(cat "$folder/kept.csv" "$folder/kept.png")" = "$(printf 'values from before\nchart from before')" ] \
    || fail "CSV past the size limit: a file was replaced"
[ -s "$out" ] && fail "CSV past the size limit: printed $(cat "$out")"
rm -f "$folder"/*

# Running out of memory is one line and status 1, with no file written or changed, wherever it
# happens; here the values of a range of a million do not fit. A range that is measured within
# a memory limit is also printed and written within it: the table and the CSV file go out a
# line at a time, where the whole table as one text took twice the measurement's memory. The
# limits are set above what a range of two values takes (see least_address_space): a range of
# a million takes some 125 MiB more, one of 100000 some 15 MiB more, and 60 MiB more was too
# little for that range as one text.
base=$(least_address_space lyapunov lorenz --steps 10 --transient 0 --vary b=0:200:2 --threads 2 -q)
if [ -z "$base" ]; then
    echo "SKIP: no memory limit under which the program runs (a sanitized build)"
else
    echo "values from before" >"$folder/kept.csv"
    within_address_space $((base + 40)) lyapunov lorenz --steps 10 --transient 0 \
        --vary b=0:200:1000000 --threads 2 -q --csv kept.csv
    [ "$status" -eq 1 ] || fail "out of memory: exit status $status: $(cat "$err")"
    grep -qx 'quorvane lyapunov: not enough memory' "$err" || fail "out of memory: '$(cat "$err")'"
    [ -s "$out" ] && fail "out of memory: printed $(cat "$out")"
    [ "$(cat "$folder/kept.csv")" = "values from before" ] || fail "out of memory: CSV replaced"
    [ "$(ls -A "$folder")" = kept.csv ] || fail "out of memory: left $(ls -A "$folder")"
    rm -f "$folder"/*
    within_address_space $((base + 60)) lyapunov lorenz --steps 10 --transient 0 \
        --vary b=0:200:100000 --threads 2 -q --csv values.csv
    [ "$status" -eq 0 ] || fail "a range within a memory limit: exit status $status: $(cat "$err")"
    [ "$(wc -l <"$out")" -eq 100003 ] || fail "a range within a memory limit: $(wc -l <"$out") lines"
    [ "$(wc -l <"$folder/values.csv")" -eq 100001 ] || fail "a range within a memory limit: CSV"
    rm -f "$folder"/*
fi

# The program's own help lists the command.
run --help
grep -q '^  lyapunov  ' "$out" || fail "quorvane --help does not list lyapunov: $(cat "$out")"

[ "$failures" -eq 0 ]
