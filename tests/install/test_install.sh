#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR with prefix /usr, as a package build would, and
# checks what lands there: the programs (and that the installed runner runs), the manual pages
# (they render without warnings), the examples, and for the editor the desktop entry (valid, and
# pointing at the installed program, icon and file type), the icons in every size, and the .mq
# file type, which the real MIME and desktop databases built from the install must map to Mosaiq.
#
# Usage: test_install.sh BUILD_DIR GUI   (GUI: ON when the editor is built, OFF otherwise)
set -uo pipefail

build=$1
gui=$2
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

need() {
    command -v "$1" >/dev/null 2>&1 || { echo "FAIL: $1 not found (run tools/install-deps.sh)"; exit 1; }
}
need cmake
need groff
if [ "$gui" = ON ]; then
    need desktop-file-validate
    need update-desktop-database
    need update-mime-database
    need xmllint
    need identify
fi

dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
if ! DESTDIR=$dest cmake --install "$build" --prefix /usr >"$dest.log" 2>&1; then
    cat "$dest.log"
    rm -f "$dest.log"
    echo "FAIL: cmake --install failed"
    exit 1
fi
rm -f "$dest.log"
root=$dest/usr

# --- the runner, its manual page and the examples ---------------------------------------------
[ -x "$root/bin/mosaiq-run" ] || fail "bin/mosaiq-run missing or not executable"
if [ -x "$root/bin/mosaiq-run" ]; then
    "$root/bin/mosaiq-run" --help >/dev/null 2>&1 || fail "installed mosaiq-run --help failed"
    example=$root/share/mosaiq/examples/first-step.mq
    if [ -f "$example" ]; then
        summary=$("$root/bin/mosaiq-run" --out "$dest/out.mq" "$example" 2>&1)
        [ "$summary" = "steps=1024 passes=1 x=1024 end=limit" ] ||
            fail "installed mosaiq-run on the installed first-step.mq: '$summary'"
    fi
fi
for f in README.md first-step.mq counter.mq; do
    [ -f "$root/share/mosaiq/examples/$f" ] || fail "share/mosaiq/examples/$f missing"
done
[ -e "$root/share/mosaiq/examples/expected.txt" ] && fail "the test expectations were installed"

pages=(mosaiq-run)
[ "$gui" = ON ] && pages+=(mosaiq)
for page in "${pages[@]}"; do
    file=$root/share/man/man1/$page.1
    if [ ! -f "$file" ]; then
        fail "share/man/man1/$page.1 missing"
        continue
    fi
    warnings=$(LC_ALL=C.UTF-8 groff -t -man -Tutf8 -ww -z "$file" 2>&1)
    [ -z "$warnings" ] || fail "$page.1 renders with warnings: $warnings"
    text=$(LC_ALL=C.UTF-8 groff -t -man -Tascii -P-cbou "$file" 2>/dev/null)
    grep -q "^NAME" <<<"$text" || fail "$page.1 has no NAME section"
    grep -q "$page - " <<<"$text" || fail "$page.1 does not name $page"
done
if [ -f "$root/share/man/man1/mosaiq-run.1" ]; then
    # The page documents every option the program's own usage text lists.
    page=$(LC_ALL=C.UTF-8 groff -t -man -Tascii -P-cbou "$root/share/man/man1/mosaiq-run.1" 2>/dev/null)
    for option in $("$root/bin/mosaiq-run" --help | grep -o -- '--[a-z]\+' | sort -u); do
        grep -q -- "$option" <<<"$page" || fail "mosaiq-run.1 does not document $option"
    done
fi

if [ "$gui" != ON ]; then
    [ -e "$root/bin/mosaiq" ] && fail "bin/mosaiq installed without the editor"
    echo "install checked without the editor, $failures failures"
    [ "$failures" -eq 0 ]
    exit
fi

# --- the editor -------------------------------------------------------------------------------
[ -x "$root/bin/mosaiq" ] || fail "bin/mosaiq missing or not executable"
if [ -x "$root/bin/mosaiq" ] && command -v ldd >/dev/null 2>&1; then
    missing=$(ldd "$root/bin/mosaiq" | grep 'not found')
    [ -z "$missing" ] || fail "bin/mosaiq needs libraries that are not found: $missing"
fi

# The icon, scalable and in every PNG size, each really of its size.
svg=$root/share/icons/hicolor/scalable/apps/mosaiq.svg
if [ -f "$svg" ]; then
    xmllint --noout "$svg" 2>/dev/null || fail "mosaiq.svg is not well-formed XML"
    grep -q '<svg' "$svg" || fail "mosaiq.svg is no SVG"
else
    fail "share/icons/hicolor/scalable/apps/mosaiq.svg missing"
fi
for n in 16 32 48 64 128 256; do
    png=$root/share/icons/hicolor/${n}x${n}/apps/mosaiq.png
    if [ ! -f "$png" ]; then
        fail "share/icons/hicolor/${n}x${n}/apps/mosaiq.png missing"
        continue
    fi
    got=$(identify -format '%m %wx%h' "$png" 2>/dev/null)
    [ "$got" = "PNG ${n}x${n}" ] || fail "${n}x${n}/apps/mosaiq.png is '$got'"
done

# The desktop entry: valid without a single remark, and every name in it resolves.
desktop=$root/share/applications/mosaiq.desktop
if [ -f "$desktop" ]; then
    remarks=$(desktop-file-validate "$desktop" 2>&1)
    status=$?
    { [ $status -eq 0 ] && [ -z "$remarks" ]; } || fail "desktop-file-validate: $remarks"
    key() { sed -n "s/^$1=//p" "$desktop"; }
    exec=$(key Exec)
    { [ "${exec%% *}" = mosaiq ] && [ -x "$root/bin/mosaiq" ]; } ||
        fail "Exec=$exec does not start the installed mosaiq"
    [[ "$exec" == *%f* ]] || fail "Exec=$exec does not pass the file to open"
    icon=$(key Icon)
    { [ -n "$icon" ] && [ -f "$root/share/icons/hicolor/scalable/apps/$icon.svg" ] &&
        [ -f "$root/share/icons/hicolor/48x48/apps/$icon.png" ]; } ||
        fail "Icon=$icon names no installed icon"
    [ "$(key MimeType)" = "text/x-mosaiq;" ] || fail "MimeType=$(key MimeType)"
else
    fail "share/applications/mosaiq.desktop missing"
fi

# The file type: well-formed, and the databases built from this install map *.mq to it and
# it to the desktop entry, which is what a file manager consults.
mime=$root/share/mime
if [ -f "$mime/packages/mosaiq.xml" ]; then
    xmllint --noout "$mime/packages/mosaiq.xml" || fail "mosaiq.xml is not well-formed XML"
    if update-mime-database "$mime" >"$dest/mime.log" 2>&1; then
        grep -q -x 'text/x-mosaiq:\*\.mq' "$mime/globs" ||
            fail "the MIME database maps *.mq to $(grep ':\*\.mq$' "$mime/globs")"
        grep -q -x 'text/x-mosaiq:mosaiq' "$mime/icons" ||
            fail "the MIME database gives text/x-mosaiq no icon mosaiq"
        grep -q -x 'text/x-mosaiq text/plain' "$mime/subclasses" ||
            fail "text/x-mosaiq is not a kind of text/plain"
    else
        fail "update-mime-database: $(cat "$dest/mime.log")"
    fi
else
    fail "share/mime/packages/mosaiq.xml missing"
fi
if [ -f "$desktop" ]; then
    update-desktop-database "$root/share/applications" 2>/dev/null ||
        fail "update-desktop-database failed"
    grep -q -x 'text/x-mosaiq=mosaiq.desktop;' "$root/share/applications/mimeinfo.cache" ||
        fail "the desktop database does not open text/x-mosaiq with mosaiq.desktop"
fi

echo "install checked, $failures failures"
[ "$failures" -eq 0 ]
