#!/usr/bin/env bash
# Set up a Debian 12 machine for Trelvan, build it, and open the window or run the tests.
#
#   scripts/dev.sh window   install what is missing, build, open the window
#   scripts/dev.sh test     install what is missing, build, run every test with ctest
#   scripts/dev.sh deps [GROUP...]
#                           install what is missing, nothing else; packages.txt lines
#                           marked with a group (e.g. fuzz) only when it is named
#   scripts/dev.sh locale-test
#                           install what is missing, generate the de_DE.UTF-8 locale
#                           when it is not there, build, and run every test again on
#                           a desktop locale that writes a decimal comma
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

# The decimal-comma locale the locale tests run under; generated from the locales
# package when the machine lacks it (a fresh Debian image has only C and POSIX).
comma_locale=de_DE.UTF-8
ensure_comma_locale() {
    locale -a 2>/dev/null | grep -ix 'de_DE\.utf-\?8' >/dev/null && return 0
    echo "Generating the $comma_locale locale"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    if grep -q "^$comma_locale UTF-8" /etc/locale.gen 2>/dev/null; then
        :  # listed already, only not generated yet
    elif grep -q "^# *$comma_locale UTF-8" /etc/locale.gen 2>/dev/null; then
        $sudo sed -i "s/^# *\($comma_locale UTF-8\)/\1/" /etc/locale.gen
    else
        echo "$comma_locale UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
    fi
    $sudo locale-gen
    locale -a 2>/dev/null | grep -ix 'de_DE\.utf-\?8' >/dev/null || {
        echo "the $comma_locale locale could not be generated" >&2
        return 1
    }
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
    locale-test)
        # Every number is written with a full stop whatever the desktop's locale:
        # the whole suite again, with the process locale of a German desktop (the
        # window and the report take it from the environment, as a desktop gives it).
        install_missing
        ensure_comma_locale
        configure_and_build
        LC_ALL=$comma_locale LANG=$comma_locale QT_QPA_PLATFORM=offscreen \
            ctest --test-dir "$build" --output-on-failure -j "$jobs"
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
        echo "usage: scripts/dev.sh window|test|locale-test|deps|sanitize" >&2
        exit 2
        ;;
esac
