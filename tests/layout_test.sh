#!/bin/sh
# The shape of src/: each folder includes only the folders below it, so the arrows between them
# run one way, no header includes its way round in a circle, and neither the measurements nor
# the headless run include Qt.
#
#   main.cpp -> cli -> (analysis, output) -> headless -> (attractors, app) -> run -> platform
#
# Folders on one floor (analysis and output, headless and app) do not include each other;
# platform/qt, the Qt implementation of the platform, stands beside run.
set -u
src=${1:?usage: layout_test.sh SRC_DIR}
cd "$src" || exit 2
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

floor() {
    case $1 in
    platform) echo 0 ;;
    platform/qt | run) echo 1 ;;
    attractors) echo 2 ;;
    app | headless) echo 3 ;;
    analysis | output) echo 4 ;;
    cli) echo 5 ;;
    .) echo 6 ;;
    *) echo unknown ;;
    esac
}

# The folder a file or an included name belongs to: its directory, "." for main.cpp.
folder_of() {
    d=$(dirname "$1")
    echo "${d#./}"
}

edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
for file in $(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort); do
    from=$(folder_of "$file")
    from_floor=$(floor "$from")
    [ "$from_floor" = unknown ] && fail "$file: a folder with no place in the layout"
    for included in $(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file"); do
        [ -f "$included" ] || continue # a header beside the file, or generated
        echo "$file $included" >>"$edges"
        to=$(folder_of "$included")
        [ "$to" = "$from" ] && continue
        to_floor=$(floor "$to")
        [ "$to_floor" -lt "$from_floor" ] 2>/dev/null \
            || fail "$file includes $included: $from may not include $to"
    done
    case $from in
    analysis | headless | run | attractors | app | platform)
        grep -n '^#include <Q' "$file" >/dev/null && fail "$file includes Qt"
        ;;
    esac
done

# tsort names every file of a circle on its standard error.
if ! loops=$(tsort "$edges" 2>&1 >/dev/null) || [ -n "$loops" ]; then
    fail "includes that go round in a circle: $(echo "$loops" | tr '\n' ' ')"
fi

[ "$failures" -eq 0 ] && echo "layout: every include points down"
exit $((failures > 0))
