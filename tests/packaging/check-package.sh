#!/usr/bin/env bash
# check-package.sh BUILD_DIR APP_ID VERSION PROGRAM...
# Makes the Debian package from the build at hand (stripped on the way) and checks it with Debian's own tools:
# its contents, its control fields, lintian, the menu entry, the AppStream metadata, and the programs it holds.
# Exits 77 (skipped) when a tool is missing.
set -euo pipefail
build="$1" id="$2" version="$3"; shift 3
programs=("$@")

missing=()
for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli file readelf; do
    command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "package check skipped: ${missing[*]} not installed (scripts/install-deps installs them)"
    exit 77
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! (umask 022 && cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1); then
    cat "$work/cpack.log"
    echo "FAIL: cpack"
    exit 1
fi
deb="$work/halvex_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { ls "$work"; echo "FAIL: no $deb"; exit 1; }

dpkg-deb -c "$deb" | awk '{ print $6 }' >"$work/contents"
expected=(
    "./usr/share/applications/$id.desktop"
    "./usr/share/metainfo/$id.metainfo.xml"
    "./usr/share/icons/hicolor/scalable/apps/$id.svg"
    "./usr/share/doc/halvex/copyright"
    "./usr/share/doc/halvex/changelog.gz"
)
for size in 48 64 128 256; do expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/$id.png"); done
for program in "${programs[@]}"; do expected+=("./usr/bin/$program" "./usr/share/man/man1/$program.1.gz"); done
for path in "${expected[@]}"; do
    grep -qxF "$path" "$work/contents" || fail "the package lacks $path"
done

depends="$(dpkg-deb -f "$deb" Depends)"
grep -q 'libqt6core6' <<<"$depends" || fail "Depends lacks the Qt libraries found by dpkg-shlibdeps: $depends"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no Maintainer field"
[ -n "$(dpkg-deb -f "$deb" Homepage)" ] || fail "no Homepage field"

echo "== lintian"
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"

root="$work/root"
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
for program in "${programs[@]}"; do
    binary="$root/usr/bin/$program"
    file -b "$binary" | grep -q ', stripped' || fail "$program is not stripped"
    answer="$(env -u DISPLAY -u WAYLAND_DISPLAY "$binary" --version 2>&1)" || fail "$program --version failed"
    # The first line names the program and its version; lines after it say what the build has or lacks.
    [ "${answer%%$'\n'*}" = "$program $version" ] || fail "$program --version said: $answer"
done

# A program that links liblsl needs a package of it, which dpkg-shlibdeps cannot find for a liblsl built from source.
for program in "${programs[@]}"; do
    if readelf -d "$root/usr/bin/$program" | grep -q 'NEEDED.*liblsl'; then
        grep -q 'liblsl' <<<"$depends" || fail "$program links liblsl but Depends does not name it: $depends"
    fi
done

[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "package check passed: $(basename "$deb")"
