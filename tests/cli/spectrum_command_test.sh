#!/bin/sh
# quorvane lyapunov --spectrum as a user and a script use it, with no display to be had: every
# exponent in the form of lambda_1's lines, their sum beside the mean of ln|det J|, the
# Kaplan-Yorke dimension; the guards as results with status 0; a range as a table, a CSV file
# and a chart, the same on one thread and on two; bad input refused as lyapunov refuses it.
#   spectrum_command_test.sh PATH/TO/quorvane
program=$1
. "$(dirname "$0")/command_test_helpers.sh"

# What the options of lyapunov refuse, --spectrum refuses too.
while read -r args; do
    # shellcheck disable=SC2086 # split on purpose
    expect_refused 2 lyapunov $args
done <<'EOF_CASES'
lorenz --spectrum --steps 9
lorenz --spectrum --renorm 0
lorenz --spectrum --set aa=1
lorenz --spectrum --csv values.csv
lorenz --spectrum --vary b=0:200:0
lorenz --spectrum --vary b=0:200:10 --plot chart.jpg
lorenz --spectrum=yes
EOF_CASES

# The first example of the help, as a new user runs it: three exponents near the published
# (0.906, 0, -14.572) per unit time, each with its per-step line; the sum of the Euler step,
# ln((1 - a dt)(1 - dt)(1 - c dt)) / dt = -13.688, twice; the dimension near 2.062. Numbers
# with a point in a German locale too, and nothing on standard error.
LC_ALL=de_DE.UTF-8 run lyapunov lorenz --set c=2.6666666666666665 --spectrum
[ "$status" -eq 0 ] || fail "lorenz: exit status $status: $(cat "$err")"
[ -s "$err" ] && fail "lorenz wrote to standard error: $(cat "$err")"
head -n 1 "$out" | grep -qx 'lorenz a=10 b=28 c=2.6666666666666665:' \
    || fail "first line: '$(head -n 1 "$out")'"
sed -n 2p "$out" | grep -qx '1000000 steps measured after a transient of 100000, renormalised every 10' \
    || fail "second line: '$(sed -n 2p "$out")'"
[ "$(wc -l <"$out")" -eq 10 ] || fail "lorenz: not ten lines: $(cat "$out")"
awk 'length > 80 { exit 1 }' "$out" || fail "a line over 80 columns: $(cat "$out")"
for k in 1 2 3; do
    [ "$(grep -c "^lambda_$k = -\{0,1\}[0-9.]* per unit time (standard error [0-9.]*)\$" "$out")" -eq 1 ] \
        || fail "lambda_$k per unit time: $(cat "$out")"
    [ "$(grep -c "^lambda_$k = -\{0,1\}[0-9.]* per step (standard error [0-9.e-]*)\$" "$out")" -eq 1 ] \
        || fail "lambda_$k per step: $(cat "$out")"
done
awk '/per unit time \(/ { v[++n] = $3 }
     END { exit !(v[1] > 0.897 && v[1] < 0.915 && v[2] > -0.02 && v[2] < 0.02 \
                  && v[3] > -14.7 && v[3] < -14.5) }' "$out" \
    || fail "lorenz: the exponents are not near (0.906, 0, -14.6): $(cat "$out")"
expected=$(awk 'BEGIN { dt = 0.0004; c = 2.6666666666666665
                        printf "%.4f", log((1 - 10 * dt) * (1 - dt) * (1 - c * dt)) / dt }')
sed -n 9p "$out" | grep -qx "sum = $expected per unit time, mean ln|det J| = $expected per unit time" \
    || fail "sum line, not $expected twice: '$(sed -n 9p "$out")'"
tail -n 1 "$out" | grep -qx 'Kaplan-Yorke dimension = 2\.06[0-9]*' \
    || fail "dimension: '$(tail -n 1 "$out")'"

# A map: two exponents per step only, which add up to 0 for hopalong, whose step keeps area;
# so the dimension is the full 2.
run lyapunov hopalong --spectrum --steps 100000 --quiet
[ "$status" -eq 0 ] || fail "hopalong: exit status $status: $(cat "$err")"
grep -q 'per unit time' "$out" && fail "hopalong: an exponent per unit time: $(cat "$out")"
grep -q '^lambda_3' "$out" && fail "hopalong: a third exponent: $(cat "$out")"
grep -qx 'lambda_2 = -[0-9.]* per step (standard error [0-9.e-]*)' "$out" \
    || fail "hopalong: lambda_2: $(cat "$out")"
grep -qx 'sum = 0\.0* per step, mean ln|det J| = 0\.0* per step' "$out" \
    || fail "hopalong: sum: $(cat "$out")"
[ "$(tail -n 1 "$out")" = "Kaplan-Yorke dimension = 2" ] || fail "hopalong: '$(tail -n 1 "$out")'"

# No exponents, with the step and the reason, status 0: Hopalong at a = b = c = 0 sits at
# (0, 0), where the sign function jumps; an orbit that overflows; a period so long that the
# tangent vectors part beyond double precision.
run lyapunov hopalong --set a=0 --set b=0 --set c=0 --spectrum
[ "$status" -eq 0 ] || fail "not smooth: exit status $status"
grep -q lambda "$out" && fail "not smooth: an exponent: $(cat "$out")"
tr '\n' ' ' <"$out" | tr -s ' ' | grep -q "at step 100001 the Jacobian at orbit 1's point (x', y') = (0, 0) is infinite or not a number: .*: no exponents" \
    || fail "not smooth: '$(cat "$out")'"
run lyapunov lorenz --set a=1e308 --spectrum --transient 0 --steps 100
tr '\n' ' ' <"$out" | tr -s ' ' | grep -q "at step 1 the Jacobian .* is infinite or not a number: .*or one beyond double precision: no exponents" \
    || fail "Jacobian beyond double precision: '$(cat "$out")'"
run lyapunov lorenz --set a=1e6 --spectrum
[ "$status" -eq 0 ] || fail "overflow: exit status $status"
[ "$(tail -n 1 "$out")" = "orbit 1 leaves the numbers (infinite or not a number) at step 10: no exponents" ] \
    || fail "overflow: '$(cat "$out")'"
run lyapunov lorenz --spectrum --renorm 20000 --steps 400000 --transient 1000
[ "$status" -eq 0 ] || fail "long period: exit status $status"
tr '\n' ' ' <"$out" | tr -s ' ' | grep -q "at step 41001 the tangent vectors .* in the 20000 steps .* a smaller --renorm measures them: no exponents" \
    || fail "long period: '$(cat "$out")'"

# A range whose ends have no exponents: the reasons in the table wrapped to 80 columns, as every
# other line; a COUNT of 1 is FROM alone, as lyapunov's table says.
run lyapunov lorenz --spectrum --vary a=1e308:-1e308:3 --steps 100 --transient 0
[ "$status" -eq 0 ] || fail "reasons: exit status $status: $(cat "$err")"
grep -q '^1e+308  *at step 1 the Jacobian' "$out" || fail "reasons: $(cat "$out")"
awk 'length > 80 { exit 1 }' "$out" || fail "a line over 80 columns: $(cat "$out")"
run lyapunov lorenz --spectrum --vary a=1:2:1 --steps 100 --transient 0
[ "$(head -n 1 "$out")" = "lorenz b=28 c=2.667: a = 1 (a COUNT of 1 takes FROM alone);" ] \
    || fail "a COUNT of 1: $(cat "$out")"

# A range: a table with every exponent and the dimension, the CSV columns of the help, the
# same bytes on one thread and on two, and a 1200 x 800 PNG chart.
run lyapunov lorenz --spectrum --vary b=20:40:3 --steps 20000 --transient 5000 --threads 1 \
    --csv one.csv --plot one.png
[ "$status" -eq 0 ] || fail "range: exit status $status: $(cat "$err")"
sed -n 3p "$out" | grep -q '^b  *lambda_1/time  *lambda_2/time  *lambda_3/time  *dimension$' \
    || fail "range heading: '$(sed -n 3p "$out")'"
sed -n 6p "$out" | grep -q '^40  *[0-9.]*  *-\{0,1\}[0-9.]*  *-1[0-9.]*  *2\.[0-9]*$' \
    || fail "range, b = 40: '$(sed -n 6p "$out")'"
[ "$(tail -n 1 "$out")" = "wrote one.csv, one.png" ] || fail "range: '$(tail -n 1 "$out")'"
[ "$(head -n 1 "$folder/one.csv")" = "value,lambda_1_per_step,lambda_1_per_time,stderr_1,lambda_2_per_step,lambda_2_per_time,stderr_2,lambda_3_per_step,lambda_3_per_time,stderr_3,kaplan_yorke" ] \
    || fail "CSV header: '$(head -n 1 "$folder/one.csv")'"
[ "$(wc -l <"$folder/one.csv")" -eq 4 ] || fail "CSV is not a header and three lines"
awk -F, 'NR > 1 { for (k = 0; k < 3; ++k) { r = $(3 + 3 * k) / $(2 + 3 * k)
                  if (r < 2499.999 || r > 2500.001) bad = 1 }
                  if (NF != 11 || $11 < 0 || $11 > 3) bad = 1 } END { exit bad }' \
    "$folder/one.csv" || fail "CSV rows: $(cat "$folder/one.csv")"
[ "$(od -An -tx1 -j12 -N12 "$folder/one.png" | tr -d ' \n')" = 49484452000004b000000320 ] \
    || fail "one.png is not a 1200x800 PNG image"
run lyapunov lorenz --spectrum --vary b=20:40:3 --steps 20000 --transient 5000 --threads 2 \
    --csv two.csv
cmp -s "$folder/one.csv" "$folder/two.csv" || fail "range: one and two threads differ"
rm -f "$folder"/*

# A map's CSV leaves lambda_k_per_time empty; a value without exponents leaves all but its
# value empty.
run lyapunov hopalong --spectrum --vary c=-0.2:-0.1:2 --steps 1000 --transient 10 --csv map.csv
awk -F, 'NR > 1 && ($2 == "" || $3 != "" || $6 != "" || $8 == "") { bad = 1 } END { exit bad }' \
    "$folder/map.csv" || fail "map CSV: $(cat "$folder/map.csv")"
run lyapunov lorenz --spectrum --vary a=10:1000000:2 --steps 100 --transient 100 --csv runaway.csv
[ "$(tail -n 1 "$folder/runaway.csv")" = "1000000,,,,,,,,,," ] \
    || fail "runaway CSV line: '$(tail -n 1 "$folder/runaway.csv")'"
grep -q '^1e+06  *orbit 1 leaves the numbers' "$out" || fail "runaway table: $(cat "$out")"
rm -f "$folder"/*

# A failed write: one line with the system's reason, status 1, no file.
expect_refused 1 lyapunov lorenz --spectrum --vary b=0:1:2 --steps 10 --transient 0 --csv missing/v

# Memory refused: one line, status 1, nothing on standard output and no file. A million values
# need about 110 MB more than a run of two (see least_address_space). Not under the sanitizers,
# whose shadow memory a limit on the address space leaves no room for.
base=$(least_address_space lyapunov lorenz --spectrum --vary b=0:1:2 --steps 10 --transient 0 \
    --threads 1 -q)
if [ -z "$base" ]; then
    echo "SKIP: no memory limit under which the program runs (a sanitized build)"
else
    within_address_space $((base + 40)) lyapunov lorenz --spectrum --vary b=0:1:1000000 \
        --steps 10 --transient 0 --threads 1 --csv big.csv
    [ "$status" -eq 1 ] || fail "out of memory: exit status $status: $(cat "$err")"
    [ "$(cat "$err")" = "quorvane lyapunov: not enough memory" ] \
        || fail "out of memory: '$(cat "$err")'"
    [ -s "$out" ] && fail "out of memory: wrote to standard output"
    [ -z "$(ls -A "$folder")" ] || fail "out of memory: left $(ls -A "$folder")"
fi

# The help says what the spectrum is and what the method does where the step is not smooth.
run lyapunov --help
grep -q '^  --spectrum ' "$out" || fail "--help does not list --spectrum"
grep -q 'Kaplan-Yorke' "$out" || fail "--help does not explain the dimension"
grep -q 'sign function at 0' "$out" || fail "--help does not say what happens at sgn(0)"

[ "$failures" -eq 0 ]
