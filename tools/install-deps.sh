#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the package and the benchmarks need, and only
# those that are missing, so running it again costs next to nothing.
set -euo pipefail

packages=(
    build-essential cmake pkg-config libpng-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev
    clang
    xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core
    desktop-file-utils shared-mime-info libxml2-utils groff-base
    appstream dpkg-dev file lintian
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    SUDO=()
elif command -v sudo >/dev/null 2>&1; then
    SUDO=(sudo)
else
    echo "error: missing packages (${missing[*]}) and neither root nor sudo is available" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
