#!/usr/bin/env bash
# Set up a Debian 12 machine for Trelvan, build it, and open the window or run the tests.
#
#   scripts/dev.sh window   install what is missing, build, open the window
#   scripts/dev.sh test     install what is missing, build, run every test with ctest
#   scripts/dev.sh deps [GROUP...]
#                           install what is missing, nothing else; packages.txt lines
#                           marked with a group (e.g. fuzz) only when it is named
#   scripts/dev.sh sanitize install what is missing, build with AddressSanitizer and
#                           UndefinedBehaviorSanitizer, run every test with ctest
#
# Environment: BUILD_DIR (default: build; build-asan for sanitize), JOBS (default:
# number of cores), CMAKE_ARGS (more configure options, e.g. -DTRELVAN_SANITIZE=ON).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
jobs=${JOBS:-$(nproc)}

# The packages of packages.txt: every line with a single name, and lines of the form
# "NAME GROUP" when GROUP is among the arguments.
install_missing() {
    local wanted missing=()
    wanted=$(awk -v groups=" $* " '
        /^[[:space:]]*(#|$)/ { next }
        NF == 1 || index(groups, " " $2 " ") { print $1 }' "$root/packages.txt")
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
    # shellcheck disable=SC2086  # CMAKE_ARGS is a list of options
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" ${CMAKE_ARGS:-}
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
        shift
        install_missing "$@"
        ;;
    sanitize)
        # Any memory error, leak or undefined behaviour ends the test that meets it
        # with the sanitizer's report. No leak is suppressed: Qt and fontconfig leave
        # none that LeakSanitizer sees on this platform.
        install_missing
        build=${BUILD_DIR:-$root/build-asan}
        configure_and_build -DTRELVAN_SANITIZE=ON
        ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:strict_init_order=1:check_initialization_order=1 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j "$jobs"
        ;;
    *)
        echo "usage: scripts/dev.sh window|test|deps|sanitize" >&2
        exit 2
        ;;
esac
