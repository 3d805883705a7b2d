#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR with prefix /usr, as a package build would, and
# checks what lands there: the programs (stripped, without a search path, and the installed runner
# runs), the manual pages (they render without warnings and document every option), the version
# everywhere it shows, the examples, the licence, and for the editor the desktop entry (valid, and
# pointing at the installed program, icon and file type), the icons in every size, the AppStream
# metadata, and the .mq file type, which the real MIME and desktop databases built from the install
# must map to Mosaiq. Then a second staged install is uninstalled and must leave nothing behind.
#
# With "package", builds the Debian package instead, as `make deb` does, and checks it: its name,
# version and dependencies found from the shared libraries, the copyright file and the changelog
# naming this version where Debian wants them, README and NEWS beside them, the programs built with
# the distribution's hardening, and no error or hardening tag from lintian.
#
# Usage: test_install.sh BUILD_DIR GUI [package]   (GUI: ON when the editor is built, else OFF)
set -uo pipefail

build=$1
gui=$2
package=${3:-}
source=$(cd "$(dirname "$0")/../.." && pwd)
id=io.github.mosaiq.Mosaiq
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
finish() { echo "$1, $failures failures"; [ "$failures" -eq 0 ]; exit; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
if [ "$package" = package ]; then
    out=$tmp
    log=$(cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" 2>&1) || { echo "$log"; exit 1; }
    deb=$(echo "$out"/*.deb)
    field() { dpkg-deb --field "$deb" "$1"; }
    [ "$(field Package) $(field Version)" = "mosaiq $version-1" ] ||
        fail "the package is $(field Package) $(field Version), not mosaiq $version-1"
    [[ "$(field Depends)" == *libc6* ]] || fail "Depends names no shared library: $(field Depends)"
    dpkg-deb --extract "$deb" "$out/root"
    doc=$out/root/usr/share/doc/mosaiq
    head -1 "$doc/copyright" | grep -q '^Format: .*copyright-format/1.0/$' ||
        fail "usr/share/doc/mosaiq/copyright is not in Debian's machine-readable format"
    changes=$(zcat "$doc/changelog.Debian.gz" | head -1)
    [[ "$changes" == "mosaiq ($version-1) "* ]] || fail "changelog.Debian.gz begins '$changes'"
    for file in README.md NEWS.md; do [ -f "$doc/$file" ] || fail "usr/share/doc/mosaiq/$file is missing"; done
    # The distribution's hardening: fortified functions, the stack protector, read-only
    # relocations and immediate binding.
    for program in "$out"/root/usr/bin/*; do
        marks=$(readelf --dyn-syms --program-headers --dynamic --wide "$program")
        for mark in '__[a-z_]+_chk@' '__stack_chk_fail@' GNU_RELRO 'FLAGS.* (BIND_)?NOW'; do
            grep -Eq "$mark" <<<"$marks" || fail "bin/${program##*/} lacks the hardening mark $mark"
        done
    done
    tags=$(lintian --allow-root --display-info "$deb" 2>&1)
    echo "${deb##*/}, lintian: ${tags:-no tags}"
    grep -qE '^E: |hardening-' <<<"$tags" && fail "lintian reports errors or missing hardening"
    finish "package checked"
fi
# stage DIR [uninstall]: the build staged below DIR with prefix /usr, as `make install` does it.
stage() {
    local log
    log=$(DESTDIR=$1 bash "$source/tools/install.sh" "${2:-install}" "$build" /usr 2>&1) ||
        { echo "$log"; return 1; }
}
dest=$tmp
stage "$dest" || { echo "FAIL: install failed"; exit 1; }
root=$dest/usr

# --- the programs: stripped, without a search path, and with the project's version ------------
for program in "$root"/bin/*; do
    name=${program##*/}
    readelf -S --wide "$program" | grep -qE ' \.symtab | \.debug_' && fail "bin/$name is not stripped"
    readelf -d "$program" | grep -qE 'RPATH|RUNPATH' && fail "bin/$name has a search path"
    # Asking for the usage and the version needs no display.
    alone=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program")
    "${alone[@]}" --help >/dev/null 2>&1 || fail "$name --help fails without a display"
    got=$("${alone[@]}" --version 2>&1)
    [ "$got" = "$name $version" ] || fail "$name --version says '$got', not '$name $version'"
done
grep -q "^## $version " "$source/NEWS.md" || fail "NEWS.md says nothing of version $version"

# --- the licence, as Debian's copyright file: the text of LICENSE under its Expat name ----------
copyright=$root/share/doc/mosaiq/copyright
grep -q "^Copyright: $(sed -n 's/^Copyright (c) //p' "$source/LICENSE")$" "$copyright" ||
    fail "share/doc/mosaiq/copyright is missing or names another holder than LICENSE"
diff <(sed -n '/^Permission/,$p' "$source/LICENSE") \
    <(grep '^ ' "$copyright" | sed 's/^ \.$//; t; s/^ \(.\)/\1/') >/dev/null ||
    fail "the copyright file does not hold the licence text of LICENSE"

# --- the runner, its manual page and the examples ---------------------------------------------
summary=$("$root/bin/mosaiq-run" --out "$dest/out.mq" "$root/share/mosaiq/examples/first-step.mq" 2>&1)
[ "$summary" = "steps=1024 passes=1 x=1024 end=limit" ] ||
    fail "the installed mosaiq-run on the installed first-step.mq: '$summary'"

pages=(mosaiq-run)
[ "$gui" = ON ] && pages+=(mosaiq)
for page in "${pages[@]}"; do
    file=$root/share/man/man1/$page.1.gz
    warnings=$(zcat "$file" | LC_ALL=C.UTF-8 groff -t -man -Tutf8 -ww -z 2>&1)
    [ -z "$warnings" ] || fail "$page.1 renders with warnings: $warnings"
    text=$(zcat "$file" | LC_ALL=C.UTF-8 groff -t -man -Tascii -P-cbou 2>/dev/null)
    grep -q "$page - " <<<"$text" || fail "$page.1 does not name $page"
    grep -q "Mosaiq $version" <<<"$text" || fail "$page.1 does not show version $version"
    # The page documents every option the program's own usage text lists.
    for option in $("$root/bin/$page" --help | grep -o -- '--[a-z]\+' | sort -u); do
        grep -q -- "$option" <<<"$text" || fail "$page.1 does not document $option"
    done
done

# --- uninstall: what a staged install put there goes, and only from where it went ---------------
again=$dest/again
stage "$again" || fail "the second install failed"
stage "$dest/elsewhere" uninstall >/dev/null && fail "uninstall from another DESTDIR went ahead"
[ -x "$again/usr/bin/mosaiq-run" ] || fail "uninstall from another DESTDIR removed files"
stage "$again" uninstall || fail "uninstall failed"
left=$(find "$again" -mindepth 1 \( -type f -o -type l -o -name '*mosaiq*' \) -printf '%P ')
[ -z "$left" ] || fail "uninstall left behind: $left"

if [ "$gui" != ON ]; then
    [ -e "$root/bin/mosaiq" ] && fail "bin/mosaiq installed without the editor"
    finish "install checked without the editor"
fi

# --- the editor -------------------------------------------------------------------------------

# The icon, scalable and in every PNG size, each really of its size.
for n in 16 32 48 64 128 256; do
    got=$(identify -format '%m %wx%h' "$root/share/icons/hicolor/${n}x${n}/apps/$id.png" 2>/dev/null)
    [ "$got" = "PNG ${n}x${n}" ] || fail "${n}x${n}/apps/$id.png is '$got'"
done

# The desktop entry (valid without a single remark) and the file type (well-formed), and the
# databases built from this install: every name in the entry resolves (the installed program given
# the file to open, the icon above, the file type), *.mq maps to the type and the type to the
# entry, which is what a file manager consults.
desktop=$root/share/applications/$id.desktop
remarks=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$remarks" ] ||
    fail "desktop-file-validate $id.desktop: $remarks"
[ -x "$root/bin/mosaiq" ] && [ -f "$root/share/icons/hicolor/scalable/apps/$id.svg" ] ||
    fail "bin/mosaiq or the scalable icon $id.svg is not installed"
mime=$root/share/mime
xmllint --noout "$mime/packages/$id.xml" || fail "$id.xml: missing or not well-formed XML"
log=$(update-mime-database "$mime" 2>&1) || fail "update-mime-database: $log"
update-desktop-database "$root/share/applications" 2>/dev/null || fail "update-desktop-database failed"
entry=applications/$id.desktop
for line in "$entry Exec=mosaiq %f" "$entry Icon=$id" "$entry MimeType=text/x-mosaiq;" \
    "mime/globs text/x-mosaiq:*.mq" "mime/icons text/x-mosaiq:$id" "mime/subclasses text/x-mosaiq text/plain" \
    "applications/mimeinfo.cache text/x-mosaiq=$id.desktop;"; do
    grep -qxF "${line#* }" "$root/share/${line%% *}" || fail "share/${line%% *} has no line ${line#* }"
done

# The AppStream metadata: valid together with the desktop entry, and its newest release is this one.
remarks=$(appstreamcli validate-tree --no-net "$dest" 2>&1) || fail "appstreamcli: $remarks"
release=$(xmllint --xpath 'string(//release[1]/@version)' "$root/share/metainfo/$id.metainfo.xml")
[ "$release" = "$version" ] || fail "the newest release in $id.metainfo.xml is '$release'"

finish "install checked"
