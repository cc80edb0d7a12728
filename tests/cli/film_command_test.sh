#!/bin/sh
# quorvane film as a script uses it, with no display to be had: every bad input is refused with
# one line and status 2, a failed write with one line and status 1, and neither leaves a file
# behind or touches the one already there.
#   film_command_test.sh PATH/TO/quorvane
program=$1
. "$(dirname "$0")/command_test_helpers.sh"

# render's bad input, with a film's name: an unknown attractor or option, a letter the
# attractor does not ask for, a number that does not convert or is not finite, steps that are
# not whole or outside 1..10^12, a size or scale of 0 or negative, an option that takes a value
# given twice. Then the film's own: a name whose extension is no film's, a frame rate or length
# of 0 or out of range, fewer steps than frames, a length less than a frame, --seconds with
# --steps-per-frame, a frame the encoder cannot take (over 16384 pixels a side or 8192x8192 in
# all, the caption strip of 34 pixels a logical pixel counted), and a film over a day long.
while read -r args; do
    # shellcheck disable=SC2086 # split on purpose
    expect_refused 2 film $args
done <<'EOF_CASES'
lorenzz -o f.mp4
-o f.mp4
lorenz
lorenz -o f.mp4 --bogus
lorenz -o f.mp4 --steps
lorenz extra -o f.mp4
lorenz -o folder/
lorenz -o .
lorenz --set d=1 -o f.mp4
lorenz --set ee=1 -o f.mp4
hopalong --set dd=1 -o f.mp4
lorenz --set a -o f.mp4
lorenz --set a=abc -o f.mp4
lorenz --set a=1,5 -o f.mp4
lorenz --set a=inf -o f.mp4
lorenz --set a=nan -o f.mp4
lorenz --set a=1e999 -o f.mp4
lorenz --steps 2.5 -o f.mp4
lorenz --steps 0 -o f.mp4
lorenz --steps -5 -o f.mp4
lorenz --steps 1000000000001 -o f.mp4
lorenz --size 0x100 -o f.mp4
lorenz --size 100x-5 -o f.mp4
lorenz --size 100 -o f.mp4
lorenz --scale 0 -o f.mp4
lorenz --scale 9 -o f.mp4
lorenz --background 16 -o f.mp4
lorenz -o f.mp4 -o g.mp4
lorenz --steps 10 --steps 20 -o f.mp4
lorenz -o f.png
lorenz -o f.avi
lorenz -o f
lorenz -o f.mp4.part
lorenz --fps 0 -o f.mp4
lorenz --fps 1001 -o f.mp4
lorenz --fps 29.97 -o f.mp4
lorenz --fps -30 -o f.mp4
lorenz --fps 30 --fps 25 -o f.mp4
lorenz --seconds 0 -o f.mp4
lorenz --seconds -1 -o f.mp4
lorenz --seconds abc -o f.mp4
lorenz --seconds nan -o f.mp4
lorenz --seconds inf -o f.mp4
lorenz --seconds 86401 -o f.mp4
lorenz --seconds 0.01 -o f.mp4
lorenz --seconds 1e-300 -o f.mp4
lorenz --steps 599 --seconds 20 -o f.mp4
lorenz --steps 100 --seconds 4 --fps 30 -o f.mp4
lorenz --steps-per-frame 0 -o f.mp4
lorenz --steps-per-frame 1.5 -o f.mp4
lorenz --steps 100 --steps-per-frame 101 -o f.mp4
lorenz --seconds 10 --steps-per-frame 100 -o f.mp4
lorenz --steps 100000000 --steps-per-frame 1 --fps 1 -o f.mp4
lorenz --size 16385x100 -o f.mp4
lorenz --size 100x16351 -o f.mp4
lorenz --size 8192x8192 -o f.mp4
lorenz --size 8192x8193 --no-caption --lossless -o f.mkv
lorenz --size 4097x4096 --scale 2 --no-caption -o f.mp4
lorenz --size 1000000x1 -o f.mp4
EOF_CASES

# The name the error gives: the known extensions, listed.
run film lorenz -o f.avi
grep -qx "quorvane film: -o f.avi: a film is written as .mp4, .mov, .mkv; end the name in one of \
them. Try 'quorvane film --help'." "$err" || fail "unknown extension: '$(cat "$err")'"
run film lorenz --steps 100 --seconds 4 -o f.mp4
grep -q "fewer than the 120 frames of 4 s at 30 frames a second" "$err" \
    || fail "fewer steps than frames: '$(cat "$err")'"
# A length too short for a frame: the least length the line offers makes one frame, at a rate
# whose least length has more digits than the line shows as at one that has fewer.
for fps in 11 24 30; do
    run film lorenz --steps 10 --size 8x8 --fps "$fps" --seconds 0.001 -o f.mp4
    least=$(sed -n 's/.* make no frame; give at least \([0-9.e-]*\) s\. .*/\1/p' "$err")
    [ -n "$least" ] || fail "--fps $fps --seconds 0.001: '$(cat "$err")'"
    run film lorenz --steps 10 --size 8x8 --fps "$fps" --seconds "$least" -o f.mp4
    grep -q '^wrote f.mp4: 1 frame' "$out" || fail "--fps $fps --seconds $least: '$(cat "$err")'"
done
rm -f "$folder"/*
run film lorenz --size 100x16351 -o f.mp4
grep -q "its frames would be 100x16385 pixels" "$err" || fail "frame size: '$(cat "$err")'"

# A film that works, in a German locale: numbers are taken and written the C way, the frame
# count is the length times the rate, and the closing line says what was written.
LC_ALL=de_DE.UTF-8 run film hopalong --set aa=0.7241 --steps 3000 --seconds 2.5 --fps 12 \
    --size 200x150 -o film.mkv
[ "$status" -eq 0 ] || fail "film: exit status $status: $(cat "$err")"
grep -qx 'wrote film.mkv: 30 frames of 200x184 at 12 fps (2.50 s), 3000 steps, [0-9]*\.[0-9][0-9] s' \
    "$out" || fail "closing line: '$(cat "$out")'"
[ -s "$err" ] && fail "film wrote to standard error: $(cat "$err")"
[ "$(head -c 4 "$folder/film.mkv" | od -An -tx1 | tr -d ' ')" = 1a45dfa3 ] \
    || fail "film.mkv is not a Matroska file"
# One of each: a frame, a frame a second, a step.
run film lorenz --steps 1 --steps-per-frame 1 --fps 1 --size 8x8 -o one.mp4
grep -qx 'wrote one.mp4: 1 frame of 8x42 at 1 fps (1.00 s), 1 step, [0-9]*\.[0-9][0-9] s' "$out" \
    || fail "one frame: '$(cat "$out")'"
run film lorenz --steps 10 --seconds 0.1 --fps 1 --size 8x8 -o one.mp4
grep -q ': 0.1 s at 1 frame a second make no frame;' "$err" || fail "one a second: '$(cat "$err")'"
# The orbits part: the closing line says from which frame the caption shows it.
run film hopalong --set aa=0.72400001 --steps 3000 --seconds 1 --size 200x150 -o part.mov
grep -qx 'the caption shows the orbits parting from frame [0-9]*, [0-9]*\.[0-9][0-9] s into the film' \
    "$out" || fail "parting line: '$(cat "$out")'"
[ "$(head -c 8 "$folder/part.mov" | tail -c 4)" = ftyp ] || fail "part.mov is not a QuickTime file"
run film rossler --steps 100 --steps-per-frame 30 --quiet -o quiet.mp4
[ "$status" -eq 0 ] || fail "--quiet: exit status $status: $(cat "$err")"
[ -s "$out" ] || [ -s "$err" ] && fail "--quiet still wrote: $(cat "$out" "$err")"
# On a terminal, a film that takes over a second shows its progress bar with the time left, and
# erases it before the closing line.
if command -v script >/dev/null; then
    (cd "$folder" && env -u DISPLAY script -qec "'$program' film lorenz --steps 200000 \
        --seconds 3 -o bar.mp4" /dev/null) >"$out" 2>&1
    tr '\r' '\n' <"$out" | grep -q '^\[#*\.*\] *[0-9]*%  .* steps/s  [0-9:]* s* *left' \
        || fail "no progress bar on a terminal: $(cat "$out")"
    tr '\r' '\n' <"$out" | grep -q "^$(printf '\033')\[Kwrote bar.mp4: 90 frames" \
        || fail "the progress bar was not erased: $(cat "$out")"
fi
# A closing line that cannot be written is work that failed.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" film lorenz --steps 100 \
    --seconds 1 -o "$folder/full.mp4" >/dev/full 2>"$err"
status=$?
[ "$status" -eq 1 ] || fail "standard output on a full disk: exit status $status"
rm -f "$folder"/* "$folder"/.[!.]*

# A failed write: one line with the system's reason, status 1, no file, the old file intact.
expect_refused 1 film lorenz --steps 100 --seconds 1 -o missing/f.mp4
grep -q 'No such file or directory' "$err" || fail "missing folder: '$(cat "$err")'"
echo "the film from before" >"$folder/kept.mp4"
# A file size limit makes the write fail part way, as a full disk does.
within_file_size 20 film lorenz --set aa=10.001 --steps 20000 --seconds 5 --lossless -q -o kept.mp4
[ "$status" -eq 1 ] || fail "write past the size limit: exit status $status"
[ "$(wc -l <"$err")" -eq 1 ] || fail "write past the size limit: $(cat "$err")"
grep -q '^quorvane film: cannot write kept.mp4: File too large$' "$err" \
    || fail "write past the size limit: '$(cat "$err")'"
[ "$(cat "$folder/kept.mp4")" = "the film from before" ] || fail "the old file was changed"
[ "$(ls -A "$folder")" = kept.mp4 ] || fail "left $(ls -A "$folder")"

# Out of memory: a large film's picture cannot be had within a small address space. One line,
# status 1, and the old file intact. The limit is 100 MiB above what a tiny film needs, its
# encoder and FFmpeg's libraries included (see least_address_space), where the 8000x6000
# picture alone takes 183 MiB. A sanitized build runs under no such limit and is left out.
base=$(least_address_space film lorenz --steps 10 --seconds 1 --fps 1 --size 16x16 -q -o tiny.mp4)
if [ -n "$base" ]; then
    within_address_space $((base + 100)) film lorenz --steps 100 --seconds 1 --size 4000x3000 \
        --scale 2 -o kept.mp4
    [ "$status" -eq 1 ] || fail "out of memory: exit status $status: $(cat "$err")"
    grep -qx 'quorvane film: not enough memory for a 8000x[0-9]* image' "$err" \
        || fail "out of memory: '$(cat "$err")'"
    [ "$(cat "$folder/kept.mp4")" = "the film from before" ] || fail "the old file was changed"
fi

# The same name written successfully replaces the old file.
run film lorenz --steps 100 --seconds 1 -q -o kept.mp4
[ "$status" -eq 0 ] && [ "$(head -c 8 "$folder/kept.mp4" | tail -c 4)" = ftyp ] \
    || fail "a successful write did not replace the old file"
[ "$(ls -A "$folder")" = kept.mp4 ] || fail "left $(ls -A "$folder")"

# A named pipe or a device is no file a film can be written into, and is left as it is.
rm -f "$folder"/*
mkfifo "$folder/pipe.mp4"
run film lorenz --steps 100 --seconds 1 -o pipe.mp4
[ "$status" -eq 2 ] || fail "film into a named pipe: exit status $status"
grep -q "^quorvane film: -o pipe.mp4: is not a regular file" "$err" \
    || fail "film into a named pipe: '$(cat "$err")'"
[ -p "$folder/pipe.mp4" ] || fail "the named pipe was replaced"
rm -f "$folder/pipe.mp4"

[ "$failures" -eq 0 ]
