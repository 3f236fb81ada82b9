#!/usr/bin/env bash
# Set up a Debian 12 machine for Trelvan, build it, and open the window or run the tests.
#
#   scripts/dev.sh window   install what is missing, build, open the window
#   scripts/dev.sh test     install what is missing (the de_DE.UTF-8 locale that the
#                           decimal-comma tests run under included), build, run every
#                           test with ctest
#   scripts/dev.sh deps [GROUP...]
#                           install what is missing, nothing else; packages.txt lines
#                           marked with a group (e.g. fuzz) only when it is named
#   scripts/dev.sh locale-test
#                           the same, and every test run again on a desktop locale
#                           that writes a decimal comma
#   scripts/dev.sh sanitize install what is missing, build with AddressSanitizer and
#                           UndefinedBehaviorSanitizer, run every test with ctest
#   scripts/dev.sh package  install what is missing, build the Debian package
#                           build-package/trelvan_VERSION-1_ARCH.deb with CPack
#   scripts/dev.sh package-check
#                           build the package, check it with lintian, install it with
#                           apt-get, check the installed program and files, remove it
#                           and check that nothing of it is left (as root or with sudo)
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

sudo_if_needed() {
    if [ "$(id -u)" -ne 0 ]; then sudo "$@"; else "$@"; fi
}

# The package, built as Debian builds its own: with dpkg-buildflags' flags, hardening
# included, for the prefix /usr, without the tests and benchmarks.
build_package() {
    install_missing package
    build=${BUILD_DIR:-$root/build-package}
    local cppflags cxxflags ldflags
    cppflags=$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CPPFLAGS)
    cxxflags=$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CXXFLAGS)
    ldflags=$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get LDFLAGS)
    configure_and_build -DCMAKE_INSTALL_PREFIX=/usr -DTRELVAN_BUILD_TESTS=OFF -DTRELVAN_BUILD_BENCHMARKS=OFF \
        "-DCMAKE_CXX_FLAGS=$cppflags $cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags"
    rm -f "$build"/trelvan_*.deb
    (cd "$build" && fakeroot cpack -G DEB)
    deb=$(ls "$build"/trelvan_*.deb)
    echo "Built $deb"
}

# The package as a surveyor's machine gets it: lintian finds no error; apt-get installs
# it with its dependencies; the installed program answers and computes exactly as the
# golden run; every installed file passes its validator; and removing it leaves nothing.
must() {
    local what=$1
    shift
    "$@" || { echo "package-check: fails: $what" >&2; exit 1; }
}

check_package() {
    local version
    version=$(sed -n 's/^project(Trelvan VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
    work=$(mktemp -d)
    trap "rm -rf '$work'" EXIT

    echo "== lintian $deb"
    lintian --fail-on error --display-info "$deb"

    echo "== apt-get install $deb"
    DEBIAN_FRONTEND=noninteractive sudo_if_needed apt-get install -y -q "$deb"
    dpkg -L trelvan | sort >"$work/files"

    echo "== /usr/bin/trelvan"
    must "trelvan on PATH is /usr/bin/trelvan" test "$(command -v trelvan)" = /usr/bin/trelvan
    must "trelvan --version prints trelvan $version" test "$(/usr/bin/trelvan --version)" = "trelvan $version"
    /usr/bin/trelvan --help >"$work/usage"
    must "trelvan --help prints the usage" grep -q '^usage: trelvan' "$work/usage"
    # A golden run from the installed program, in an empty environment: no display,
    # no runtime folder, the PDF included.
    local status=0
    env -i PATH=/usr/bin:/bin /usr/bin/trelvan --batch --report-text "$work/report.txt" \
        --report-pdf "$work/report.pdf" <"$root/tests/golden/run_typed_n4.replies" \
        >"$work/transcript" 2>"$work/stderr" || status=$?
    must "the installed batch run exits 0, not $status" test $status -eq 0
    must "the installed batch run writes the golden transcript" \
        cmp "$work/transcript" "$root/tests/golden/run_typed_n4.transcript"
    must "the installed batch run writes the golden report" \
        cmp "$work/report.txt" "$root/tests/golden/run_typed_n4.report.txt"
    must "the installed batch run writes a PDF report" test "$(head -c 5 "$work/report.pdf")" = "%PDF-"
    must "the installed batch run says nothing on standard error: $(cat "$work/stderr")" test ! -s "$work/stderr"

    echo "== installed files"
    "$root/scripts/check-installed.sh" /usr
    # The package has no maintainer scripts: the file triggers of desktop-file-utils and
    # shared-mime-info brought the desktop's caches up to date on their own.
    must "the package carries no maintainer script" \
        test -z "$(ls /var/lib/dpkg/info/trelvan.{preinst,postinst,prerm,postrm} 2>/dev/null)"
    must "the desktop's MIME cache opens job files with trelvan.desktop" \
        grep -q '^application/x-trelvan-job=.*trelvan\.desktop' /usr/share/applications/mimeinfo.cache
    must "the MIME database maps *.trv to the job type" \
        grep -qx '50:application/x-trelvan-job:\*\.trv' /usr/share/mime/globs2

    echo "== apt-get remove --purge trelvan"
    DEBIAN_FRONTEND=noninteractive sudo_if_needed apt-get remove --purge -y -q trelvan
    local left=0
    while read -r path; do
        if [ -f "$path" ] || [ -L "$path" ]; then
            echo "left behind: $path" >&2
            left=1
        fi
    done <"$work/files"
    # Nothing named after it, and no cache that still names it (the triggers of the
    # desktop, MIME and icon caches ran on removal).
    if find /usr -iname '*trelvan*' | grep .; then left=1; fi
    if grep -ls 'trelvan' /usr/share/applications/mimeinfo.cache /usr/share/mime/globs2 \
        /usr/share/mime/types /usr/share/mime/generic-icons; then
        left=1
    fi
    [ $left -eq 0 ] || { echo "package-check: the removed package left files in /usr" >&2; return 1; }
    echo "package-check: $deb builds, installs, works and removes cleanly"
}

case "${1:-}" in
    window)
        install_missing
        configure_and_build
        exec "$build/trelvan"
        ;;
    test)
        install_missing
        ensure_comma_locale
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
        ensure_comma_locale
        build=${BUILD_DIR:-$root/build-asan}
        configure_and_build -DTRELVAN_SANITIZE=ON
        ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:strict_init_order=1:check_initialization_order=1 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j "$jobs"
        ;;
    package)
        build_package
        ;;
    package-check)
        build_package
        check_package
        ;;
    *)
        echo "usage: scripts/dev.sh window|test|locale-test|deps|sanitize|package|package-check" >&2
        exit 2
        ;;
esac
