#!/bin/sh
# The video module: only `quorvane film` loads FFmpeg, through quorvane-video.so, and a program
# whose module is missing, broken or of another build fails a film with one line that names the
# file and the reason, status 1, and nothing written, while every other command works as ever.
#   video_module_test.sh PATH/TO/quorvane PATH/TO/A/MODULE/OF/ANOTHER/BUILD
program=$1
other_build=$2
. "$(dirname "$0")/command_test_helpers.sh"

# The program does not link FFmpeg; the module does.
needed() { readelf -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'; }
needed "$program" | grep '^libav' && fail "quorvane links FFmpeg: $(needed "$program" | tr '\n' ' ')"
module=$(dirname "$program")/quorvane-video.so
needed "$module" | grep -q '^libavcodec' || fail "the module does not link libavcodec"

# The program alone, in a folder of its own with no module anywhere near it.
mkdir "$work/bin"
cp "$program" "$work/bin/quorvane"
program=$work/bin/quorvane
missing="$work/bin/quorvane-video.so"

# Every command but film works as ever; film's usage errors are still usage errors.
run --version
[ "$status" -eq 0 ] || fail "--version without the module: status $status"
run lyapunov lorenz --steps 1000 --transient 0 --vary b=0:1:3 -q --csv values.csv
[ "$status" -eq 0 ] && [ -s "$folder/values.csv" ] || fail "lyapunov without the module: $(cat "$err")"
rm -f "$folder"/*
run render lorenz --steps 100 -o picture.png
[ "$status" -eq 0 ] && [ -s "$folder/picture.png" ] || fail "render without the module: $(cat "$err")"
rm -f "$folder"/*
expect_refused 2 film lorenz --steps 0 -o f.mp4

# expect_no_module FILE REASON: film fails with one line, status 1, that names the file the
# loader tried (a pattern) and the reason, and writes nothing.
expect_no_module() {
    expect_refused 1 film lorenz --steps 100 --seconds 1 -o f.mp4
    # shellcheck disable=SC2254 # FILE is a pattern
    case $(cat "$err") in
    "quorvane film: cannot load the video writer "$1": $2") ;;
    *) fail "film with $1 ($2): '$(cat "$err")'" ;;
    esac
}
# The private folder of an installation is the first place, and the one named.
expect_no_module "$work/lib/*/quorvane-video.so" \
    "No such file or directory (nor is there one in $work/bin)"
echo "no ELF file" >"$missing"
expect_no_module "$missing" "file too short"
cp "$other_build" "$missing"
expect_no_module "$missing" \
    "it is built for video interface 2, and this program for 1; it belongs to another build of quorvane"
# A shared object that is no video module.
cp "$(ldd "$program" | sed -n 's/.*libgcc_s.so.1 => \([^ ]*\).*/\1/p')" "$missing"
expect_no_module "$missing" "undefined symbol: quorvane_video_module"

# With the module beside it, the same program writes the film.
cp "$module" "$missing"
run film lorenz --steps 100 --seconds 1 -q -o f.mp4
[ "$status" -eq 0 ] && [ "$(head -c 8 "$folder/f.mp4" | tail -c 4)" = ftyp ] \
    || fail "film with the module beside the program: status $status: $(cat "$err")"

[ "$failures" -eq 0 ]
