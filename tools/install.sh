#!/usr/bin/env bash
# Installs a build tree under PREFIX, staged below $DESTDIR when that is set, with the programs
# stripped; or removes exactly the files that the last install from that tree put there, as its
# install_manifest.txt lists them (below $DESTDIR when that is set), and the folders of Mosaiq's
# own that this empties. A direct (unstaged) install or uninstall refreshes the desktop's
# file-type, application and icon caches under PREFIX, so that a file manager sees the change at
# once; a staged one leaves that to the package that carries the files.
#
# Usage: tools/install.sh install|uninstall BUILD_DIR PREFIX
set -euo pipefail

action=$1
build=$2
prefix=$3
root=${DESTDIR:-}$prefix
manifest=$build/install_manifest.txt

case $action in
install)
    cmake --install "$build" --prefix "$prefix" --strip
    ;;
uninstall)
    [ -f "$manifest" ] || { echo "nothing to uninstall: no $manifest" >&2; exit 1; }
    mapfile -t files <"$manifest"
    # The manifest names the files under the prefix they were installed for, without DESTDIR.
    present=0
    for file in "${files[@]}"; do
        [[ "$file" == "$prefix"/* ]] ||
            { echo "$manifest lists $file, outside $prefix: not uninstalling" >&2; exit 1; }
        [ ! -e "${DESTDIR:-}$file" ] || present=$((present + 1))
    done
    [ $present -gt 0 ] || { echo "nothing of the last install is under $root" >&2; exit 1; }
    own=()
    for file in "${files[@]}"; do
        rm -f -- "${DESTDIR:-}$file"
        rest=${file#"$prefix"/}
        if [[ "$rest" == */mosaiq/* ]]; then own+=("$root/${rest%%/mosaiq/*}/mosaiq"); fi
    done
    while IFS= read -r dir; do
        [ ! -d "$dir" ] || find "$dir" -depth -type d -empty -delete
    done < <(printf '%s\n' "${own[@]}" | sort -u)
    ;;
*)
    echo "usage: $0 install|uninstall BUILD_DIR PREFIX" >&2
    exit 2
    ;;
esac

refresh() { # refresh COMMAND ARGS... FOLDER: when both are there; a failure is only reported
    command -v "$1" >/dev/null && [ -d "${!#}" ] || return 0
    "$@" || echo "warning: $1 failed" >&2
}
if [ -z "${DESTDIR:-}" ]; then
    refresh update-mime-database "$prefix/share/mime"
    refresh update-desktop-database -q "$prefix/share/applications"
    refresh gtk-update-icon-cache -q -t -f "$prefix/share/icons/hicolor"
fi
