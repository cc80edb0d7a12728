#!/bin/sh
# quorvane map as a script uses it, with no display to be had: every bad input is refused with
# one line and status 2, a failed write with one line and status 1, and neither leaves a file
# behind; each row and column of a map is, byte for byte, a `lyapunov --vary` run; the numbers
# are the same on one thread and on two; slices merged give the whole run's file, and merge
# refuses what is not a map's slices.
#   map_command_test.sh PATH/TO/quorvane
program=$1
. "$(dirname "$0")/command_test_helpers.sh"

small="--steps 1000 --transient 100"

# Every bad input: the run options the other commands refuse too, orbit 2's letters, too few
# steps, the method's numbers; the axes' forms, FROM equal to TO, a letter the attractor does not
# ask for, the same letter across and up, a letter --set gives as well; sizes of 0 or beyond
# 4096; slices I >= N, N beyond the rows, and a slice without a CSV file or with a picture;
# no output at all, a picture that is no PNG, names that are no files or the same file.
while read -r args; do
    # shellcheck disable=SC2086 # split on purpose
    expect_refused 2 map $args
done <<'EOF_CASES'
--x b=0:1 --y a=0:1 --csv m.csv
lorenzz --x b=0:1 --y a=0:1 --csv m.csv
lorenz extra --x b=0:1 --y a=0:1 --csv m.csv
lorenz --bogus --x b=0:1 --y a=0:1 --csv m.csv
lorenz --x b=0:1 --y a=0:1 --csv m.csv --steps
lorenz --x b=0:1 --y a=0:1 --csv m.csv --steps 9
lorenz --x b=0:1 --y a=0:1 --csv m.csv --steps 1000000000001
lorenz --x b=0:1 --y a=0:1 --csv m.csv --set aa=1
lorenz --x b=0:1 --y a=0:1 --csv m.csv --set d=1
lorenz --x b=0:1 --y a=0:1 --csv m.csv --set c=x
lorenz --x b=0:1 --y a=0:1 --csv m.csv --transient -1
lorenz --x b=0:1 --y a=0:1 --csv m.csv --renorm 0
lorenz --x b=0:1 --y a=0:1 --csv m.csv --threads 0
lorenz --x b=0:1 --y a=0:1 --csv m.csv --threads 1025
lorenz --x b=0:1 --y a=0:1 --csv m.csv --x b=0:2
lorenz --y a=0:1 --csv m.csv
lorenz --x b=0:1 --csv m.csv
lorenz --x b=5:5 --y a=0:1 --csv m.csv
lorenz --x b=0:1 --y a=-0:0 --csv m.csv
lorenz --x b=0:1 --y b=2:3 --csv m.csv
lorenz --x B=0:1 --y b=2:3 --csv m.csv
lorenz --x d=0:1 --y a=0:1 --csv m.csv
lorenz --x aa=0:1 --y a=0:1 --csv m.csv
hopalong --x a=0:1 --y dd=0:1 --csv m.csv
lorenz --x b=0 --y a=0:1 --csv m.csv
lorenz --x b=0:1:5 --y a=0:1 --csv m.csv
lorenz --x b0:1 --y a=0:1 --csv m.csv
lorenz --x =0:1 --y a=0:1 --csv m.csv
lorenz --x b=x:1 --y a=0:1 --csv m.csv
lorenz --x b=0:inf --y a=0:1 --csv m.csv
lorenz --x b=0:1e999 --y a=0:1 --csv m.csv
lorenz --x b=0:1 --y a=0:1 --set b=3 --csv m.csv
lorenz --x b=0:1 --y a=0:1 --set A=3 --csv m.csv
lorenz --x b=0:1 --y a=0:1 --size 0x10 --csv m.csv
lorenz --x b=0:1 --y a=0:1 --size 10x0 --csv m.csv
lorenz --x b=0:1 --y a=0:1 --size 4097x10 --csv m.csv
lorenz --x b=0:1 --y a=0:1 --size 10x4097 --csv m.csv
lorenz --x b=0:1 --y a=0:1 --size 10 --csv m.csv
lorenz --x b=0:1 --y a=0:1 --size 10x --csv m.csv
lorenz --x b=0:1 --y a=0:1 --size x10 --csv m.csv
lorenz --x b=0:1 --y a=0:1 --size 10x10x10 --csv m.csv
lorenz --x b=0:1 --y a=0:1 --size -5x10 --csv m.csv
lorenz --x b=0:1 --y a=0:1 --size 2.5x10 --csv m.csv
lorenz --x b=0:1 --y a=0:1 --slice 3/3 --csv m.csv
lorenz --x b=0:1 --y a=0:1 --slice 4/3 --csv m.csv
lorenz --x b=0:1 --y a=0:1 --slice 0/0 --csv m.csv
lorenz --x b=0:1 --y a=0:1 --slice 1 --csv m.csv
lorenz --x b=0:1 --y a=0:1 --slice 1/ --csv m.csv
lorenz --x b=0:1 --y a=0:1 --slice a/b --csv m.csv
lorenz --x b=0:1 --y a=0:1 --slice -1/3 --csv m.csv
lorenz --x b=0:1 --y a=0:1 --size 10x5 --slice 0/6 --csv m.csv
lorenz --x b=0:1 --y a=0:1 --slice 1/3
lorenz --x b=0:1 --y a=0:1 --slice 1/3 --csv m.csv --plot m.png
lorenz --x b=0:1 --y a=0:1
lorenz --x b=0:1 --y a=0:1 --plot m.jpg
lorenz --x b=0:1 --y a=0:1 --csv folder/
lorenz --x b=0:1 --y a=0:1 --csv .
lorenz --x b=0:1 --y a=0:1 --plot ..
lorenz --x b=0:1 --y a=0:1 --csv same.png --plot same.png
lorenz --x b=0:1 --y a=0:1 --csv m.csv --merge
--merge
--merge --csv m.csv
--merge part.csv
--merge part.csv --csv m.csv --x b=0:1
--merge part.csv --csv m.csv --steps 10
EOF_CASES

# A failed write: one line with the system's reason, status 1, no file.
for option in --csv --plot; do
    expect_refused 1 map lorenz --x b=0:1 --y a=0:1 --size 2x2 $small $option missing/m
    grep -q 'No such file or directory' "$err" || fail "missing folder: '$(cat "$err")'"
done

# field_lines FILE FIRST STEP COUNT COLUMNS: COUNT lines of values of a CSV file, every STEP-th
# from the FIRST line of values, with the fields COLUMNS ("1,3,4,5"), comma-separated.
field_lines() {
    awk -F, -v first="$2" -v step="$3" -v count="$4" -v columns="$5" '
        BEGIN { n = split(columns, c, ",") }
        NR > 1 && (NR - 2 - first) % step == 0 && NR - 2 >= first && (NR - 2 - first) / step < count {
            line = $c[1]; for (i = 2; i <= n; i++) line = line "," $c[i]; print line }' "$1"
}

# The map's contract: row j is `lyapunov --set Y=y_j --vary X=FROM:TO:W`, column i is
# `lyapunov --set X=x_i --vary Y=FROM:TO:H`, byte for byte. Lorenz 4 x 3: row 1 has a = 10.
run map lorenz --x b=20:30 --y a=8:12 --size 4x3 $small --csv map.csv
[ "$status" -eq 0 ] || fail "lorenz map: exit status $status: $(cat "$err")"
[ -s "$err" ] && fail "lorenz map wrote to standard error: $(cat "$err")"
[ "$(head -n 1 "$folder/map.csv")" = "b,a,lambda_per_step,lambda_per_time,stderr,settings" ] \
    || fail "header: '$(head -n 1 "$folder/map.csv")'"
[ "$(wc -l <"$folder/map.csv")" -eq 13 ] || fail "not a header and 12 values: $(cat "$folder/map.csv")"
sed -n 2p "$folder/map.csv" | grep -q ',quorvane map lorenz --x b=20:30 --y a=8:12 --size 4x3 --set c=2.667 --steps 1000 --transient 100 --renorm 10$' \
    || fail "settings: '$(sed -n 2p "$folder/map.csv")'"
awk -F, 'NR > 2 && NF != 5 { exit 1 }' "$folder/map.csv" || fail "a later line without five fields"
awk 'length > 80 { exit 1 }' "$out" || fail "a line over 80 columns: $(cat "$out")"
run lyapunov lorenz --set a=10 --vary b=20:30:4 $small --csv row.csv
[ "$(field_lines "$folder/map.csv" 4 1 4 1,3,4,5)" = "$(field_lines "$folder/row.csv" 0 1 4 1,2,3,4)" ] \
    || fail "lorenz row 1 is not lyapunov's --vary: $(cat "$folder/map.csv" "$folder/row.csv")"
x2=$(field_lines "$folder/map.csv" 2 1 1 1)
run lyapunov lorenz --set b="$x2" --vary a=8:12:3 $small --csv column.csv
[ "$(field_lines "$folder/map.csv" 2 4 3 2,3,4,5)" = "$(field_lines "$folder/column.csv" 0 1 3 1,2,3,4)" ] \
    || fail "lorenz column 2 is not lyapunov's --vary: $(cat "$folder/map.csv" "$folder/column.csv")"
rm -f "$folder"/*

# The same for a map of Hopalong whose row 1 (c = 0) holds the jump of sgn(x) at a = 0: a value
# without an exponent, its fields empty, beside values with one.
run map hopalong --x a=-1:1 --y c=-0.5:0.5 --size 5x3 $small --csv map.csv
grep -q '^15 values: .* 1 without an exponent$' "$out" || fail "hopalong summary: $(cat "$out")"
run lyapunov hopalong --set c=0 --vary a=-1:1:5 $small --csv row.csv
[ "$(field_lines "$folder/map.csv" 5 1 5 1,3,4,5)" = "$(field_lines "$folder/row.csv" 0 1 5 1,2,3,4)" ] \
    || fail "hopalong row 1 is not lyapunov's --vary: $(cat "$folder/map.csv" "$folder/row.csv")"
[ "$(field_lines "$folder/map.csv" 7 1 1 1,2,3,4,5)" = "0,0,,," ] \
    || fail "hopalong at a = c = 0: '$(field_lines "$folder/map.csv" 7 1 1 1,2,3,4,5)'"
rm -f "$folder"/*

# A width or height of 1 measures FROM alone, as lyapunov's COUNT of 1 does, and the summary
# says so rather than a range.
run map lorenz --x b=10:40 --y a=5:15 --size 1x2 --steps 10 --transient 0 --csv one.csv
[ "$(tr '\n' ' ' <"$out" | tr -s ' ' | cut -d';' -f1)" = \
    "lorenz c=2.667: b = 10 across (a width of 1 takes FROM alone), a from 5 to 15 up (2 values)" ] \
    || fail "a width of 1: $(cat "$out")"
run map lorenz --x b=10:40 --y a=5:15 --size 3x1 --steps 10 --transient 0 --csv one.csv
tr '\n' ' ' <"$out" | tr -s ' ' | grep -q 'a = 5 up (a height of 1 takes FROM alone);' \
    || fail "a height of 1: $(cat "$out")"
rm -f "$folder"/*

# The numbers do not depend on the threads; the file's name without .png gets it.
plane="lorenz --x b=10:40 --y a=5:15 --size 6x5"
whole="$plane $small"
# shellcheck disable=SC2086
run map $whole --threads 1 --csv one.csv --plot picture
[ "$status" -eq 0 ] || fail "one thread: exit status $status: $(cat "$err")"
[ "$(tail -n 1 "$out")" = "wrote one.csv, picture.png" ] || fail "one thread: '$(tail -n 1 "$out")'"
[ "$(od -An -tx1 -N8 "$folder/picture.png" | tr -d ' \n')" = 89504e470d0a1a0a ] \
    || fail "picture.png is not a PNG file"
# shellcheck disable=SC2086
run map $whole --threads 2 --csv two.csv -q
[ "$status" -eq 0 ] || fail "two threads: exit status $status: $(cat "$err")"
grep -q '^wrote' "$out" && fail "-q still names the files: $(cat "$out")"
cmp -s "$folder/one.csv" "$folder/two.csv" || fail "one and two threads differ"

# Three slices, merged in any order, give the whole run's file byte for byte; so does the
# whole run's file merged alone, with its picture drawn anew.
for i in 0 1 2; do
    # shellcheck disable=SC2086
    run map $whole --slice $i/3 --csv part-$i.csv
    [ "$status" -eq 0 ] || fail "slice $i/3: exit status $status: $(cat "$err")"
done
grep -qx 'slice 2/3: row 2 (1 of 5)' "$out" || fail "slice 2/3: $(cat "$out")"
grep -qx '6 values: .*' "$out" || fail "slice 2/3 counts: $(cat "$out")"
run map --merge part-2.csv part-0.csv part-1.csv --csv merged.csv --plot merged.png
[ "$status" -eq 0 ] || fail "merge: exit status $status: $(cat "$err")"
cmp -s "$folder/one.csv" "$folder/merged.csv" || fail "three slices merged are not the whole run"
[ "$(tail -n 1 "$out")" = "wrote merged.csv, merged.png" ] || fail "merge: '$(tail -n 1 "$out")'"
# A part read from a pipe, as from another machine's `ssh host cat part.csv`, is read whole.
mkfifo "$work/pipe.csv"
cat "$folder/part-1.csv" >"$work/pipe.csv" &
run map --merge part-0.csv "$work/pipe.csv" part-2.csv --csv piped.csv
wait
rm -f "$work/pipe.csv"
cmp -s "$folder/one.csv" "$folder/piped.csv" || fail "a part from a pipe: $(cat "$err")"
run map --merge one.csv --csv again.csv
cmp -s "$folder/one.csv" "$folder/again.csv" || fail "a whole run merged alone is not itself"
sed -n 2p "$folder/part-1.csv" | grep -q -- '--slice 1/3$' || fail "a part's settings: '$(sed -n 2p "$folder/part-1.csv")'"
[ "$(wc -l <"$folder/part-1.csv")" -eq 13 ] || fail "slice 1/3 of 5 rows of 6 is not 12 values"

# Merge refuses, with one line naming the rows or the setting and no file: a slice missing, a
# slice twice, a part of a map with other steps, another attractor or another size, a part
# whose values are not where its settings put them, a part cut short, a file that is no part,
# a part that is not there, and writing the whole over a part.
mkdir "$work/other"
(cd "$work/other" && env -u DISPLAY "$program" map $plane --steps 2000 --transient 100 --slice 1/3 --csv steps.csv -q >/dev/null &&
    env -u DISPLAY "$program" map rossler --x b=10:40 --y a=5:15 --size 6x5 $small --slice 1/3 --csv rossler.csv -q >/dev/null &&
    env -u DISPLAY "$program" map lorenz --x b=10:40 --y a=5:15 --size 6x6 $small --slice 1/3 --csv size.csv -q >/dev/null) \
    || fail "the foreign parts could not be made"
sed '3s/^[^,]*,/11,/' "$folder/part-1.csv" >"$work/other/moved.csv"
head -n 8 "$folder/part-1.csv" >"$work/other/short.csv"
run lyapunov lorenz --vary b=0:1:3 --steps 100 --transient 0 --csv ../other/range.csv
cp "$folder/part-0.csv" "$folder/part-2.csv" "$folder/part-1.csv" "$folder/one.csv" "$work/other/"
rm -f "$folder"/*
refuse_merge() { # TEXT PARTS...: the one line of the refusal says TEXT
    wanted=$1
    shift
    expect_refused 2 map --merge "$@" --csv merged.csv
    grep -q -- "$wanted" "$err" || fail "merge $*: '$(cat "$err")' does not say '$wanted'"
}
cd "$work/other" || exit 1
refuse_merge 'slice 1/3 of the map is missing (rows 1, 4)' "$work/other/part-0.csv" "$work/other/part-2.csv"
refuse_merge 'part-1.csv and .*part-1.csv are both slice 1/3 (rows 1, 4)' "$work/other/part-0.csv" \
    "$work/other/part-1.csv" "$work/other/part-1.csv" "$work/other/part-2.csv"
refuse_merge 'different maps: --steps 1000 against --steps 2000' "$work/other/part-0.csv" \
    "$work/other/steps.csv" "$work/other/part-2.csv"
refuse_merge 'different maps: lorenz against rossler' "$work/other/part-0.csv" \
    "$work/other/rossler.csv" "$work/other/part-2.csv"
refuse_merge 'different maps: --size 6x5 against --size 6x6' "$work/other/part-0.csv" \
    "$work/other/size.csv" "$work/other/part-2.csv"
refuse_merge 'line 3 (row 1, column 1): b should be 16' "$work/other/part-0.csv" \
    "$work/other/moved.csv" "$work/other/part-2.csv"
refuse_merge 'it ends at row 4 column 1, after 7 of its 12 values' "$work/other/part-0.csv" "$work/other/short.csv" \
    "$work/other/part-2.csv"
refuse_merge 'different maps: one is a whole map, the other one of 3 slices\.' \
    "$work/other/one.csv" "$work/other/part-1.csv"
# A field that holds a NUL, an escape and a carriage return is quoted with \xNN for each, so
# that the refusal stays one whole line that does nothing to the terminal.
{
    sed -n 1,2p "$work/other/part-1.csv"
    printf '1\000\033[2J\r,'
    sed -n '3,$p' "$work/other/part-1.csv" | sed '1s/^[^,]*,//'
} >"$work/other/control.csv"
refuse_merge 'b should be 16 there, not .1\\x00\\x1B\[2J\\x0D.\. Try .quorvane map --help.\.$' \
    "$work/other/part-0.csv" "$work/other/control.csv" "$work/other/part-2.csv"
refuse_merge 'settings are missing' "$work/other/range.csv"
refuse_merge 'nothing.csv: No such file or directory\. Try' "$work/other/part-0.csv" "$work/other/nothing.csv"
cd "$folder" || exit 1
cp "$work/other/part-0.csv" "$work/other/part-1.csv" "$work/other/part-2.csv" "$folder/"
expect_refused_here() {
    run "$@"
    [ "$status" -eq 2 ] || fail "$*: exit status $status, not 2"
    [ "$(wc -l <"$err")" -eq 1 ] || fail "$*: error is not one line: $(cat "$err")"
}
expect_refused_here map --merge part-0.csv part-1.csv part-2.csv --csv part-1.csv
cmp -s "$folder/part-1.csv" "$work/other/part-1.csv" || fail "the merge wrote over a part"
rm -f "$folder"/*

# Out of memory: one line, status 1, no file. The limit is what a small map needs (see
# least_address_space) and 40 MiB more, where a 4096x4096 map's picture needs 64 MiB for its
# values alone. A build whose sanitizer needs an address space without a limit cannot be tried
# this way.
base=$(least_address_space map lorenz --x b=0:1 --y a=0:1 --size 4x4 --steps 10 --transient 0 \
    --plot small.png -q)
if [ -n "$base" ]; then
    within_address_space $((base + 40)) map lorenz --x b=0:1 --y a=0:1 --size 4096x4096 \
        --steps 10 --transient 0 --plot big.png --threads 1
    [ "$status" -eq 1 ] || fail "out of memory: exit status $status: $(cat "$err")"
    [ "$(cat "$err")" = "quorvane map: out of memory for a map of 4096x4096 values; nothing was written." ] \
        || fail "out of memory: '$(cat "$err")'"
    [ -z "$(ls -A "$folder")" ] || fail "out of memory: left $(ls -A "$folder")"
else
    echo "note: the program runs under no address space limit; out of memory not tried"
fi

# Help, and the program's own list of commands.
run map --help
[ "$status" -eq 0 ] || fail "--help: exit status $status"
for option in --x --y --size --steps --transient --renorm --threads --csv --plot --slice --merge; do
    grep -q -- "$option" "$out" || fail "--help does not describe $option"
done
run --help
grep -q '^  map  ' "$out" || fail "quorvane --help does not list map: $(cat "$out")"

[ "$failures" -eq 0 ]
