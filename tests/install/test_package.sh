#!/usr/bin/env bash
# Builds the Debian package from the build tree with CPack, as `make deb` does, and checks it: its
# name, version and dependencies found from the shared libraries, the copyright file and the
# changelog where Debian wants them, the changelog naming this version, and no error from lintian.
#
# Usage: test_package.sh BUILD_DIR
set -uo pipefail

build=$1
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
for tool in cpack dpkg-deb lintian; do
    command -v $tool >/dev/null || { echo "FAIL: $tool not found (run tools/install-deps.sh)"; exit 1; }
done

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if ! log=$(cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" 2>&1); then
    echo "$log"
    echo "FAIL: cpack failed"
    exit 1
fi
deb=$(echo "$out"/*.deb)
[ -f "$deb" ] || { echo "FAIL: cpack made no single .deb: $(ls "$out")"; exit 1; }
echo "built ${deb##*/}"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package) $(field Version)" = "mosaiq $version-1" ] ||
    fail "the package is $(field Package) $(field Version), not mosaiq $version-1"
depends=$(field Depends)
[[ "$depends" == *libc6* ]] || fail "Depends names no library found by dpkg-shlibdeps: '$depends'"

dpkg-deb --extract "$deb" "$out/root"
doc=$out/root/usr/share/doc/mosaiq
head -1 "$doc/copyright" 2>/dev/null | grep -q '^Format: .*copyright-format/1.0/$' ||
    fail "usr/share/doc/mosaiq/copyright is not in Debian's machine-readable format"
changes=$(zcat "$doc/changelog.Debian.gz" 2>/dev/null | head -1)
[[ "$changes" == "mosaiq ($version-1) "* ]] || fail "changelog.Debian.gz begins '$changes'"

# lintian as a packager runs it; every tag is shown, an error fails.
tags=$(lintian --allow-root --display-info "$deb" 2>&1)
[ -z "$tags" ] || echo "$tags"
grep -q '^E: ' <<<"$tags" && fail "lintian reports errors"

echo "package checked, $failures failures"
[ "$failures" -eq 0 ]
