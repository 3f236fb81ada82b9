#!/usr/bin/env bash
# Checks an installed Trelvan as a desktop would meet it: every file in place, each
# passing its own validator, and the manual pages covering every option.
#
#   scripts/check-installed.sh PREFIX   PREFIX is /usr for the package, or the folder
#                                       given to cmake --install --prefix
#
# Exit status: 0 when all is well; 1 on any fault (each is named on standard
# error); 77 when a validator is not installed and SKIP_MISSING=1 (scripts/dev.sh
# installs every validator first, from packages.txt).
set -uo pipefail

prefix=${1:?usage: scripts/check-installed.sh PREFIX}
share=$prefix/share
faults=0
fault() {
    echo "check-installed: $*" >&2
    faults=$((faults + 1))
}

for tool in desktop-file-validate appstreamcli xmllint update-mime-database man gzip od; do
    if ! command -v "$tool" >/dev/null; then
        echo "check-installed: $tool is not installed (scripts/dev.sh deps)" >&2
        [ "${SKIP_MISSING:-0}" = 1 ] && exit 77
        exit 1
    fi
done

program=$prefix/bin/trelvan
desktop=$share/applications/trelvan.desktop
mime=$share/mime/packages/trelvan.xml
svg=$share/icons/hicolor/scalable/apps/trelvan.svg
pages=("$share/man/man1/trelvan.1.gz" "$share/man/zh_CN/man1/trelvan.1.gz")
metainfo=$(ls "$share"/metainfo/*trelvan*.metainfo.xml 2>/dev/null | head -n 1)

for file in "$program" "$desktop" "$mime" "$svg" "${pages[@]}" "$metainfo" \
            "$share/doc/trelvan/README.md" "$share/doc/trelvan/copyright"; do
    [ -n "$file" ] && [ -f "$file" ] || fault "missing: ${file:-the AppStream metainfo in $share/metainfo}"
done
[ -x "$program" ] || fault "not executable: $program"
[ $faults -eq 0 ] || exit 1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The menu entry: no error or warning (hints are advice, not faults).
desktop-file-validate "$desktop" >"$work/desktop.log" 2>&1 || fault "desktop-file-validate failed"
grep -E 'error|warning' "$work/desktop.log" >&2 && fault "desktop-file-validate: $desktop"
grep -qx 'Exec=trelvan %f' "$desktop" || fault "the menu entry does not hand a job file to trelvan: $desktop"
grep -qx 'Icon=trelvan' "$desktop" || fault "the menu entry does not name the icon trelvan"
grep -q '^MimeType=.*application/x-trelvan-job;' "$desktop" || fault "the menu entry does not open job files"

# The software-centre description, without the network; a warning fails it too.
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log" >&2; fault "appstreamcli validate: $metainfo"; }
grep -q '<launchable type="desktop-id">trelvan.desktop</launchable>' "$metainfo" ||
    fault "the metainfo does not launch trelvan.desktop"

# The media type: well-formed XML, and read by shared-mime-info's own compiler into a
# database of its own, where *.trv must name the job type.
xmllint --noout "$mime" || fault "xmllint: $mime"
mkdir -p "$work/mime/packages"
cp "$mime" "$work/mime/packages/"
XDG_DATA_DIRS=$work update-mime-database "$work/mime" >"$work/mime.log" 2>&1 || fault "update-mime-database failed"
grep -iE 'error|warning|unknown' "$work/mime.log" >&2 && fault "update-mime-database: $mime"
grep -qx '50:application/x-trelvan-job:\*\.trv' "$work/mime/globs2" 2>/dev/null ||
    fault "*.trv does not map to application/x-trelvan-job"

# The icon: the drawing, and the bitmaps rendered from it at their sizes.
xmllint --noout "$svg" || fault "xmllint: $svg"
for size in 48 256; do
    png=$share/icons/hicolor/${size}x${size}/apps/trelvan.png
    if [ ! -f "$png" ]; then
        fault "missing: $png"
        continue
    fi
    # PNG signature, then IHDR width and height as 32-bit big-endian numbers.
    read -r -a head <<<"$(od -An -v -tu1 -w24 -N24 "$png")"
    signature="${head[*]:0:8}"
    width=$(( (head[16] << 24) | (head[17] << 16) | (head[18] << 8) | head[19] ))
    height=$(( (head[20] << 24) | (head[21] << 16) | (head[22] << 8) | head[23] ))
    [ "$signature" = "137 80 78 71 13 10 26 10" ] || fault "not a PNG: $png"
    [ "$width" = "$size" ] && [ "$height" = "$size" ] || fault "$png is ${width}x${height}, not ${size}x${size}"
done

# The manual pages render without a warning, in a UTF-8 locale (the Chinese page
# needs one; so do the Chinese button names the English page quotes).
for page in "${pages[@]}"; do
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" >"$work/page.txt" 2>"$work/man.log" || fault "man failed: $page"
    [ -s "$work/man.log" ] && { cat "$work/man.log" >&2; fault "man warns: $page"; }
    [ -s "$work/page.txt" ] || fault "man rendered nothing: $page"
done

# Every option the program's usage names is in both manual pages, and every option
# the pages name is one the program knows.
"$program" --help >"$work/usage.txt" || fault "$program --help failed"
options=$(grep -oE -- '--[a-z][a-z-]*' "$work/usage.txt" | sort -u)
[ -n "$options" ] || fault "the usage names no option"
for page in "${pages[@]}"; do
    documented=$(gzip -dc "$page" | sed 's/\\-/-/g' | grep -oE -- '--[a-z][a-z-]*[a-z]' | sort -u)
    for option in $options; do
        grep -qx -- "$option" <<<"$documented" || fault "$page does not document $option"
    done
    for option in $documented; do
        grep -qx -- "$option" <<<"$options" || fault "$page documents $option, which the usage does not name"
    done
done

if [ $faults -ne 0 ]; then
    echo "check-installed: $faults fault(s) in $prefix" >&2
    exit 1
fi
echo "check-installed: $prefix is complete and valid"
