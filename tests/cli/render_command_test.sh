#!/bin/sh
# quorvane render as a script uses it, with no display to be had: every bad input is refused
# with one line and status 2, a failed write with one line and status 1, and neither leaves a
# file behind or touches the one already there.
#   render_command_test.sh PATH/TO/quorvane
program=$1
. "$(dirname "$0")/command_test_helpers.sh"

# Every bad input: an unknown attractor or option, a letter the attractor does not ask for, a
# number that does not convert or is not finite, steps that are not whole or outside 1..10^12,
# a size or scale of 0 or negative, an image over 1 GiB, an option that takes a value given
# twice.
while read -r args; do
    # shellcheck disable=SC2086 # split on purpose
    expect_refused 2 render $args
done <<'EOF_CASES'
lorenzz -o p.png
-o p.png
lorenz
lorenz -o p.png --bogus
lorenz -o p.png --steps
lorenz extra -o p.png
lorenz -o p.jpg
lorenz -o folder/
lorenz -o .
lorenz --set d=1 -o p.png
lorenz --set ee=1 -o p.png
hopalong --set dd=1 -o p.png
lorenz --set a -o p.png
lorenz --set =5 -o p.png
lorenz --set a= -o p.png
lorenz --set a=abc -o p.png
lorenz --set a=1,5 -o p.png
lorenz --set a=10.5x -o p.png
lorenz --set a=inf -o p.png
lorenz --set a=-inf -o p.png
lorenz --set a=nan -o p.png
lorenz --set a=1e999 -o p.png
lorenz --set a=0x10 -o p.png
lorenz --set a=+-5 -o p.png
lorenz --steps 2.5 -o p.png
lorenz --steps 1e6 -o p.png
lorenz --steps 0 -o p.png
lorenz --steps -5 -o p.png
lorenz --steps 1000000000001 -o p.png
lorenz --steps 99999999999999999999999 -o p.png
lorenz --steps abc -o p.png
lorenz --size 0x100 -o p.png
lorenz --size 100x0 -o p.png
lorenz --size -5x100 -o p.png
lorenz --size 100x-5 -o p.png
lorenz --size 100 -o p.png
lorenz --size 100x100x2 -o p.png
lorenz --size 1.5x100 -o p.png
lorenz --scale 0 -o p.png
lorenz --scale -1 -o p.png
lorenz --scale 9 -o p.png
lorenz --scale 1.5 -o p.png
lorenz --background 16 -o p.png
lorenz --background -1 -o p.png
lorenz --size 1000001x1 -o p.png
lorenz --size 16385x16384 -o p.png
lorenz --size 4097x4096 --scale 4 -o p.png
lorenz --size 100000x100000 --scale 8 -o p.png
lorenz --size 500001x100 --scale 2 -o p.png
lorenz --size 1000000x1 --scale 2 -o p
lorenz -o p.png -o q.png
lorenz --set aa=1 --set AA=2 -o p.png
lorenz --steps 10 --steps 20 -o p.png
lorenz --size 10x10 --scale 2 --scale 3 -o p.png
EOF_CASES

# An empty name, and a name whose bytes are not UTF-8: its bytes could not be kept, and two
# such names could write one file.
expect_refused 2 render lorenz --steps 10 -o ''
grep -q "empty" "$err" || fail "empty name: '$(cat "$err")'"
expect_refused 2 render lorenz --steps 10 -o "$(printf 'x\377.png')"
grep -q "'x\\\\xFF.png' is not UTF-8" "$err" || fail "name not UTF-8: '$(cat "$err")'"
# A PNG file takes a side of 1000000 pixels, but no more; BMP has no such limit.
run render lorenz --steps 10 --size 500000x1 --scale 2 -q -o side.png
[ "$status" -eq 0 ] || fail "a side of 1000000 pixels: exit status $status: $(cat "$err")"
grep -q 'the 1000000 pixels a side a PNG file takes' "$err" && fail "side: $(cat "$err")"
run render lorenz --steps 10 --size 500001x1 --scale 2 -q -o side.bmp
[ "$status" -eq 0 ] || fail "a BMP file 1000002 pixels wide: exit status $status: $(cat "$err")"
rm -f "$folder"/*

# A run that works: the format follows the extension, a name without one gets .png, numbers
# are taken the C way whatever the locale, and the closing line says what was written.
run render HopAlong --set aa=+0.7241 --set BB=-.565 --set c=-1.17e-1 --steps 5000 --size 200x150 \
    --scale 2 -o picture
[ "$status" -eq 0 ] || fail "render: exit status $status: $(cat "$err")"
[ "$(head -c 8 "$folder/picture.png" | od -An -c | tr -d ' ')" = '211PNG\r\n032\n' ] \
    || fail "picture.png is not a PNG file"
grep -qx 'wrote picture.png: 400x300, 5000 steps, [0-9]*\.[0-9][0-9] s' "$out" \
    || fail "closing line: '$(cat "$out")'"
[ -s "$err" ] && fail "render wrote to standard error: $(cat "$err")"
run render lorenz --steps 1 --size 8x8 -o one.png
grep -qx 'wrote one.png: 8x8, 1 step, [0-9]*\.[0-9][0-9] s' "$out" || fail "one step: '$(cat "$out")'"
run render rossler --steps 100 --quiet -o picture.BMP
[ "$(head -c 2 "$folder/picture.BMP")" = BM ] || fail "picture.BMP is not a bitmap file"
[ -s "$out" ] || [ -s "$err" ] && fail "--quiet still wrote: $(cat "$out" "$err")"
# A long thin image is no larger than a square one: only its bytes are limited.
run render lorenz --steps 10 --size 20000x2 --quiet -o wide.png
[ "$status" -eq 0 ] || fail "a 20000x2 image: exit status $status: $(cat "$err")"
# A closing line that cannot be written is work that failed.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" render lorenz --steps 10 \
    -o "$folder/full.png" >/dev/full 2>"$err"
status=$?
[ "$status" -eq 1 ] || fail "standard output on a full disk: exit status $status"
rm -f "$folder"/*

# A failed write: one line with the system's reason, status 1, no file, the old file intact.
expect_refused 1 render lorenz --steps 10 -o missing/p.png
grep -q 'No such file or directory' "$err" || fail "missing folder: '$(cat "$err")'"
echo "the picture from before" >"$folder/kept.png"
# A file size limit makes the write fail part way, as a full disk does.
within_file_size 1 render hopalong --steps 100000 -o kept.png
[ "$status" -eq 1 ] || fail "write past the size limit: exit status $status"
[ "$(wc -l <"$err")" -eq 1 ] || fail "write past the size limit: $(cat "$err")"
grep -q '^quorvane render: cannot write kept.png: File too large$' "$err" \
    || fail "write past the size limit: '$(cat "$err")'"
[ "$(cat "$folder/kept.png")" = "the picture from before" ] || fail "the old file was changed"
[ "$(ls -A "$folder")" = kept.png ] || fail "left $(ls -A "$folder")"

# The same name written successfully replaces the old file.
run render hopalong --steps 100 -o kept.png
[ "$status" -eq 0 ] && [ "$(head -c 4 "$folder/kept.png" | tail -c 3)" = PNG ] \
    || fail "a successful write did not replace the old file"

# A named pipe is opened once, for the picture: its reader gets the whole file, and the command
# does not wait for a second reader.
rm -f "$folder"/*
mkfifo "$folder/pipe.png"
timeout 30 cat "$folder/pipe.png" >"$work/piped" &
reader=$!
(cd "$folder" && timeout 20 env -u DISPLAY "$program" render hopalong --steps 100 -q -o pipe.png) \
    >"$out" 2>"$err"
status=$?
wait "$reader"
[ "$status" -eq 0 ] || fail "render into a named pipe: exit status $status: $(cat "$err")"
[ "$(head -c 4 "$work/piped" | tail -c 3)" = PNG ] || fail "the pipe's reader got no PNG file"

# A name that exists as something other than a file is written in place, as it is: a named
# pipe without an extension gains none, and /dev/null is not made /dev/null.png.
rm -f "$folder"/*
mkfifo "$folder/pipe"
timeout 30 cat "$folder/pipe" >"$work/piped" &
reader=$!
(cd "$folder" && timeout 20 env -u DISPLAY "$program" render hopalong --steps 100 -q -o pipe) \
    >"$out" 2>"$err"
status=$?
kill "$reader" 2>/dev/null
wait "$reader"
[ "$status" -eq 0 ] || fail "render into a pipe without extension: exit status $status: $(cat "$err")"
[ "$(head -c 4 "$work/piped" | tail -c 3)" = PNG ] || fail "the pipe's reader got no PNG file"
[ "$(ls -A "$folder")" = pipe ] || fail "render into a pipe left $(ls -A "$folder")"
rm -f "$folder"/*
run render lorenz --steps 10 -q -o /dev/null
[ "$status" -eq 0 ] || fail "-o /dev/null: exit status $status: $(cat "$err")"
if [ -e /dev/null.png ]; then
    fail "-o /dev/null made /dev/null.png"
    rm -f /dev/null.png
fi

# Standard output closed: a render that would print its closing line there is refused before
# the work, with the reason, and writes nothing; with --quiet it needs no standard output. A
# file opened meanwhile never takes the closed descriptor's place.
echo "the picture from before" >"$folder/kept.png"
(cd "$folder" && env -u DISPLAY "$program" render lorenz --steps 10 -o kept.png >&-) 2>"$err"
status=$?
[ "$status" -eq 1 ] || fail "standard output closed: exit status $status"
grep -qx 'quorvane render: cannot write to standard output: Bad file descriptor' "$err" \
    || fail "standard output closed: '$(cat "$err")'"
[ "$(cat "$folder/kept.png")" = "the picture from before" ] \
    || fail "standard output closed: the picture was replaced"
(cd "$folder" && env -u DISPLAY "$program" render lorenz --steps 10 -q -o kept.png >&-) 2>"$err"
status=$?
[ "$status" -eq 0 ] || fail "standard output closed, --quiet: exit status $status: $(cat "$err")"
[ "$(head -c 4 "$folder/kept.png" | tail -c 3)" = PNG ] || fail "closed, --quiet: no picture"
(cd "$folder" && env -u DISPLAY "$program" render lorenz --steps 10 -q -o /dev/stdout >&-) \
    2>"$err"
status=$?
[ "$status" -eq 1 ] || fail "-o /dev/stdout, closed: exit status $status"
grep -qx 'quorvane render: cannot write /dev/stdout: Bad file descriptor' "$err" \
    || fail "-o /dev/stdout, closed: '$(cat "$err")'"
[ "$(ls -A "$folder")" = kept.png ] || fail "standard output closed: left $(ls -A "$folder")"
rm -f "$folder"/*

# The progress bar: on a terminal once the work has taken a second, never when standard error
# is not a terminal, nor with --quiet. A run of 10^12 steps outlasts the test's two seconds on
# any machine; it is ended then, before it writes anything.
if command -v script >/dev/null && script -qec true /dev/null >/dev/null 2>&1; then
    long="timeout 2 env -u DISPLAY $program render lorenz --steps 1000000000000 -o $folder/p.png"
    script -qec "$long" /dev/null >"$work/terminal" 2>&1
    grep -q '%  .* steps/s  .* left' "$work/terminal" \
        || fail "no progress bar on a terminal: $(cat -v "$work/terminal")"
    script -qec "$long 2>$work/bar" /dev/null >"$work/terminal" 2>&1
    [ -s "$work/bar" ] && fail "a progress bar into a file: $(cat -v "$work/bar")"
    script -qec "$long --quiet" /dev/null >"$work/terminal" 2>&1
    grep -q 'steps/s' "$work/terminal" && fail "a progress bar with --quiet: $(cat -v "$work/terminal")"
    [ -z "$(ls -A "$folder")" ] || fail "the ended runs left $(ls -A "$folder")"
else
    echo "SKIP: no terminal to be had (script)"
fi

[ "$failures" -eq 0 ]
