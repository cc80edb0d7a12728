#!/bin/sh
# Makes the Debian package from the build under test and checks what a Debian user gets:
#   package_test.sh CPACK BUILD_DIR VERSION
# The package is made from this build rather than from a release build of its own: the files,
# their paths, the libraries the binary needs and its hardening are the same in the dev and
# release builds, and a second build would double the suite's time. The tools come from
# scripts/install-deps.sh.
set -u
cpack=$1
build=$2
version=$3
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trap 'exit 1' HUP INT TERM

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

for tool in dpkg-architecture dpkg-deb dpkg-shlibdeps file hardening-check lintian readelf timeout; do
    if ! command -v "$tool" >/dev/null; then
        echo "FAIL: $tool is missing; run scripts/install-deps.sh" >&2
        exit 1
    fi
done

if ! timeout 100 "$cpack" --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1
then
    cat "$work/cpack.log" >&2
    echo "FAIL: cpack" >&2
    exit 1
fi
deb=$work/quorvane_${version}_$(dpkg --print-architecture).deb
if [ ! -f "$deb" ]; then
    echo "FAIL: cpack wrote no ${deb#"$work"/}" >&2
    exit 1
fi

# Exactly these files, nothing missing and nothing stray; directories aside.
# The video module is private to the program, in the multiarch folder of private shared objects.
module=usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/quorvane/quorvane-video.so
expected="./usr/bin/quorvane
./$module
./usr/share/applications/org.quorvane.Quorvane.desktop
./usr/share/doc/quorvane/changelog.gz
./usr/share/doc/quorvane/copyright
./usr/share/icons/hicolor/32x32/apps/org.quorvane.Quorvane.png
./usr/share/icons/hicolor/scalable/apps/org.quorvane.Quorvane.svg
./usr/share/lintian/overrides/quorvane
./usr/share/man/man1/quorvane.1.gz
./usr/share/metainfo/org.quorvane.Quorvane.metainfo.xml"
contents=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort)
[ "$contents" = "$expected" ] || fail "the package holds:
$contents"
# A private shared object is not executable (Debian Policy 10.2).
dpkg-deb --contents "$deb" | grep -q "^-rw-r--r-- .* \./$module\$" \
    || fail "$module: $(dpkg-deb --contents "$deb" | grep "$module")"

# Depends holds every dependency dpkg-shlibdeps computes from the packaged binary and module,
# and so names the Qt 6 widgets library and FFmpeg's; a list written by hand falls behind them.
depends=$(dpkg-deb --field "$deb" Depends)
dpkg-deb -x "$deb" "$work/root"
# dpkg-shlibdeps wants a debian/control that names the package; this is the least it accepts.
mkdir "$work/debian"
printf 'Source: quorvane\n\nPackage: quorvane\nArchitecture: any\n' >"$work/debian/control"
computed=$(cd "$work" && timeout 30 dpkg-shlibdeps -O root/usr/bin/quorvane "root/$module" \
    2>shlibdeps.log | sed -n 's/^shlibs:Depends=//p')
for library in libqt6widgets6 libavcodec59 libavformat59 libswscale6 libavutil57; do
    case ", $depends," in *", $library "*) ;; *) fail "Depends: $depends; lacks $library" ;; esac
done
# The program itself does not load FFmpeg: only `quorvane film` does, through the module.
readelf -d "$work/root/usr/bin/quorvane" | grep 'NEEDED.*libav' \
    && fail "usr/bin/quorvane links FFmpeg"
case "$computed" in
*libqt6widgets6*)
    echo "$computed" | tr ',' '\n' | sed 's/^ *//' | while read -r dependency; do
        case ", $depends," in *", $dependency,"*) ;; *) echo "$dependency" ;; esac
    done >"$work/missing"
    [ -s "$work/missing" ] && fail "Depends: $depends; lacks: $(paste -s -d ";" "$work/missing")"
    ;;
*) fail "dpkg-shlibdeps computed '$computed': $(cat "$work/shlibdeps.log")" ;;
esac

# Built with Debian's hardening flags: a protected stack, fortified library calls, relocations
# read-only and bound at start-up, a position-independent executable. Debian 12 builds its own
# packages without control-flow protection, so that is not asked for (stack clash protection,
# also not among them, is only ever reported as unknown).
hardening=$(timeout 30 hardening-check --nocfprotection "$work/root/usr/bin/quorvane" 2>&1)
status=$?
[ "$status" -eq 0 ] || fail "hardening-check, exit status $status: $hardening"
# The module too. Its every call that glibc could check writes into a buffer whose size comes at
# run time, so hardening-check finds no checked call in it, and the package tells lintian so;
# that it is built with _FORTIFY_SOURCE is read from the build's own commands instead.
hardening=$(timeout 30 hardening-check --nocfprotection --nofortify "$work/root/$module" 2>&1)
status=$?
[ "$status" -eq 0 ] || fail "hardening-check of the module, exit status $status: $hardening"
grep '"file": ".*/src/output/libav_video_writer.cpp"' -B 3 "$build/compile_commands.json" \
    | grep -q -- '-D_FORTIFY_SOURCE=2' || fail "the module is built without _FORTIFY_SOURCE"

# Informational notes are shown too, so that a hardening note fails the test as well.
report=$(timeout 100 lintian --display-info --fail-on error "$deb" 2>&1)
status=$?
[ "$status" -eq 0 ] \
    || fail "lintian, exit status $status: $(echo "$report" | grep -E '^E:' || echo "$report")"
echo "$report" | grep -q -e ' hardening-' && fail "lintian: $(echo "$report" | grep -e ' hardening-')"

[ "$failures" -eq 0 ]
