# Shared by the headless commands' shell tests, sourced after setting $program: a work folder,
# a way to run the built program with no display to be had, and the check that a refused
# command line prints one line, exits with its status and leaves no file.
set -u
failures=0
work=$(mktemp -d)
out=$work/out err=$work/err
folder=$work/folder # where the command's files go, empty between the cases
mkdir "$folder"
trap 'rm -rf "$work"' EXIT

# The cases run in a German locale need it installed: without it, LC_ALL=de_DE.UTF-8 quietly
# leaves the C locale in place and those cases prove nothing. A system without it gets one
# built here, from the locale sources, for these runs only.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8' && command -v localedef >/dev/null; then
    # localedef may end with a warning status and still have written the locale.
    mkdir -p "$work/locales"
    localedef -i de_DE -f UTF-8 "$work/locales/de_DE.UTF-8" >/dev/null 2>&1
    if [ -e "$work/locales/de_DE.UTF-8/LC_NUMERIC" ]; then
        LOCPATH=$work/locales
        export LOCPATH
    fi
fi

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Runs the program in $folder without a display; leaves its status in $status.
run() {
    (cd "$folder" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@") \
        >"$out" 2>"$err"
    status=$?
}

# within_address_space MIB COMMAND ARGS...: runs the program as run() does, with at most MIB MiB
# of address space, for two minutes at most, where work that should not fit does; leaves its
# status in $status.
within_address_space() {
    limit=$1
    shift
    (ulimit -v $((limit * 1024)) && cd "$folder" \
        && exec timeout 120 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@") \
        >"$out" 2>"$err"
    status=$?
}

# within_file_size BLOCKS COMMAND ARGS...: runs the program as run() does, with no file it writes
# growing past BLOCKS blocks (ulimit -f), so that a write fails part way as on a full disk;
# leaves its status in $status.
within_file_size() {
    limit=$1
    shift
    (
        trap '' XFSZ
        ulimit -f "$limit"
        cd "$folder" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@"
    ) >"$out" 2>"$err"
    status=$?
}

# least_address_space COMMAND ARGS...: the least address space, in MiB, within which the program
# runs COMMAND ARGS... to success, by bisection up to 4096 MiB; nothing where it fails even then
# (a sanitized build, whose shadow memory takes terabytes of it). How much the program needs
# before it does any work depends on its libraries and on the system's, so a memory limit that
# should let some work fit, or not, is set this far above what a trivial run of the same command
# needs. Call it as $(least_address_space ...), in a shell of its own.
least_address_space() {
    folder=$work/least # in a folder of its own, so that the files of the case stay as they are
    mkdir -p "$folder"
    low=0
    high=4096
    within_address_space "$high" "$@"
    [ "$status" -eq 0 ] || return 0
    while [ $((high - low)) -gt 1 ]; do
        middle=$(((low + high) / 2))
        within_address_space "$middle" "$@"
        if [ "$status" -eq 0 ]; then high=$middle; else low=$middle; fi
    done
    rm -rf "$folder"
    echo "$high"
}

# expect_refused STATUS COMMAND ARGS...: one line on standard error naming the problem, nothing
# on standard output, no file.
expect_refused() {
    expected=$1
    shift
    run "$@"
    [ "$status" -eq "$expected" ] || fail "$*: exit status $status, not $expected"
    [ -s "$out" ] && fail "$*: wrote to standard output: $(cat "$out")"
    [ "$(wc -l <"$err")" -eq 1 ] || fail "$*: error is not one line: $(cat "$err")"
    grep -q "^quorvane $1: " "$err" || fail "$*: error '$(cat "$err")'"
    [ -z "$(ls -A "$folder")" ] && return
    fail "$*: left $(ls -A "$folder")"
    rm -rf "${folder:?}"/* "$folder"/.[!.]*
}

# on_small_disk KIB SCRIPT: runs the shell script SCRIPT in a folder of its own on a file system
# of KIB KiB, with $program, $folder and $work set, in a mount namespace of its own so that the
# mount ends with it. Returns 77 where no such file system can be had (no unshare, or neither
# root nor user namespaces to mount with); otherwise the script's own status.
on_small_disk() {
    command -v unshare >/dev/null || return 77
    disk=$work/disk
    mkdir -p "$disk"
    for namespace in "--mount" "--mount --map-root-user"; do
        # shellcheck disable=SC2086 # two words on purpose
        unshare $namespace sh -c 'mount -t tmpfs -o size="$1k" tmpfs "$2"' sh "$1" "$disk" \
            2>/dev/null || continue
        # shellcheck disable=SC2086
        program=$program folder=$disk work=$work unshare $namespace sh -c \
            'mount -t tmpfs -o size="$1k" tmpfs "$folder" && cd "$folder" && eval "$2"' \
            sh "$1" "$2"
        return
    done
    return 77
}
