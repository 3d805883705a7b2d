#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the package and the benchmarks need, and only
# those that are missing, so running it again costs next to nothing. With the argument `web` it
# also installs what the browser edition and its tests need: emscripten, Chromium and the browser
# suite's npm packages, as its lock file pins them (no browser is downloaded).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    build-essential cmake pkg-config libpng-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev
    clang
    xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core python3-xlib
    desktop-file-utils shared-mime-info libxml2-utils groff-base
    appstream dpkg-dev file lintian
)
if [ "${1:-}" = web ]; then
    packages+=(emscripten chromium)
    # Debian's npm only where no other Node.js (such as NodeSource's, which brings its own npm)
    # is installed: the two do not go together.
    command -v npm >/dev/null 2>&1 || packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

install_npm_packages() {
    [ "${1:-}" = web ] || return 0
    local suite=tests/web
    # Again only when the lock file has changed since the last install.
    if [ ! -f $suite/node_modules/.package-lock.json ] ||
        [ $suite/package-lock.json -nt $suite/node_modules/.package-lock.json ]; then
        (cd $suite && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
    fi
}

if [ ${#missing[@]} -eq 0 ]; then
    install_npm_packages "$@"
    exit 0
fi

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
install_npm_packages "$@"
