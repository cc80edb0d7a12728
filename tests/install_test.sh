#!/bin/sh
# Installs the build into a temporary prefix and checks what a desktop reads from it:
#   install_test.sh CMAKE BUILD_DIR
# desktop-file-validate and appstreamcli come from scripts/install-deps.sh.
set -u
cmake=$1
build=$2
id=org.quorvane.Quorvane
failures=0
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

for tool in desktop-file-validate appstreamcli; do
    if ! command -v "$tool" >/dev/null; then
        echo "FAIL: $tool is missing; run scripts/install-deps.sh" >&2
        exit 1
    fi
done

if ! "$cmake" --install "$build" --prefix "$prefix" >/dev/null; then
    echo "FAIL: cmake --install" >&2
    exit 1
fi

desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
png=$prefix/share/icons/hicolor/32x32/apps/$id.png
svg=$prefix/share/icons/hicolor/scalable/apps/$id.svg
man=$prefix/share/man/man1/quorvane.1.gz
for file in "$desktop" "$metainfo" "$png" "$svg" "$man"; do
    [ -s "$file" ] || fail "not installed: ${file#"$prefix"/}"
done
[ -x "$prefix/bin/quorvane" ] || fail "not installed: bin/quorvane"

# Errors and warnings fail; hints (the launcher has two main categories on purpose) do not.
report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $report"
echo "$report" | grep -v ': hint: ' | grep . && fail "desktop-file-validate warns"
appstreamcli validate --no-net "$metainfo" >/dev/null 2>&1 \
    || fail "appstreamcli: $(appstreamcli validate --no-net "$metainfo" 2>&1)"

# The files name one another: the launcher runs the installed command and shows the installed
# icons, and the metadata points at the launcher.
value() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(value Exec)" = quorvane ] || fail "Exec=$(value Exec)"
[ "$(value Icon)" = "$id" ] || fail "Icon=$(value Icon)"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" \
    || fail "the metadata does not launch $id.desktop"

# The PNG is the window's 32 x 32 icon: width and height are bytes 17-24 of the file.
[ "$(od -An -tx1 -j16 -N8 "$png" | tr -d ' \n')" = 0000002000000020 ] || fail "the PNG is not 32 x 32"

[ "$("$prefix/bin/quorvane" --version)" = "quorvane 1.0" ] || fail "installed quorvane --version"

# The video module, in a private folder under lib/, not executable, found by the installed
# program from its own folder: under the prefix, and under a DESTDIR as a package is made.
module=$(cd "$prefix" && find . -name quorvane-video.so)
case $module in
./lib/*/quorvane-video.so) ;;
*) fail "the video module is installed as '$module'" ;;
esac
[ -n "$module" ] && [ "$(stat -c %a "$prefix/$module")" = 644 ] \
    || fail "the video module's mode is $(stat -c %a "$prefix/$module")"
film() { (cd "$1" && env -u DISPLAY "$2" film lorenz --steps 100 --seconds 1 -q -o f.mp4 2>&1); }
mkdir "$prefix/films"
report=$(film "$prefix/films" "$prefix/bin/quorvane") && [ -s "$prefix/films/f.mp4" ] \
    || fail "film from the installed program: $report"
root=$prefix/destdir
if ! DESTDIR=$root "$cmake" --install "$build" --prefix /usr >/dev/null; then
    fail "cmake --install with DESTDIR"
elif ! report=$(film "$prefix/films" "$root/usr/bin/quorvane") || [ -n "$report" ]; then
    fail "film from the program installed under DESTDIR: $report"
fi
if command -v groff >/dev/null; then
    gzip -dc "$man" | groff -man -ww -z 2>&1 | grep . && fail "the manual page has warnings"
fi

[ "$failures" -eq 0 ]
