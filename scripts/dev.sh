#!/usr/bin/env bash
# Set up a Debian 12 machine for Trelvan, build it, and open the window or run the tests.
#
#   scripts/dev.sh window   install what is missing, build, open the window
#   scripts/dev.sh test     install what is missing, build, run every test with ctest
#   scripts/dev.sh deps     install what is missing, nothing else
#
# Environment: BUILD_DIR (default: build), JOBS (default: number of cores).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
jobs=${JOBS:-$(nproc)}

install_missing() {
    local wanted missing=()
    wanted=$(grep -v -E '^\s*(#|$)' "$root/packages.txt")
    for p in $wanted; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_and_build() {
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$build" -j "$jobs"
}

case "${1:-}" in
    window)
        install_missing
        configure_and_build
        exec "$build/trelvan"
        ;;
    test)
        install_missing
        configure_and_build
        # Window tests run on the offscreen platform; nothing needs a display.
        QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j "$jobs"
        ;;
    deps)
        install_missing
        ;;
    *)
        echo "usage: scripts/dev.sh window|test|deps" >&2
        exit 2
        ;;
esac
