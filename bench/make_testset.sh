#!/usr/bin/env bash
# Builds the reproducible picture set that thumbnail_bench is run on: 12-megapixel JPEGs with
# photo-like detail (fractal texture, hard edges, fine grain), some carrying the EXIF orientation
# of a phone held upright (6) or upside-down portrait (8), plus a few PNG and BMP files.
#
# Usage: bench/make_testset.sh [FOLDER [JPEG_COUNT]]
#   FOLDER defaults to a new temporary folder; JPEG_COUNT to 200. Prints the folder at the end.
# The same arguments give byte-identical files on the same ImageMagick version.
set -euo pipefail
export LC_ALL=C

out=${1:-$(mktemp -d "${TMPDIR:-/tmp}/vellora-testset.XXXXXX")}
count=${2:-200}
mkdir -p "$out"

if ! command -v identify >/dev/null || ! identify -version 2>/dev/null | grep -q ImageMagick; then
    echo "ImageMagick not found: installing it" >&2
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends imagemagick
fi
# ImageMagick's own convert, whatever else is called convert on the PATH.
convert=/usr/bin/convert
[ -x "$convert" ] || convert=$(command -v convert)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Shapes with hard edges (the kind of detail that aliases when a picture is shrunk carelessly),
# placed by a seeded generator.
shapes() {
    awk -v seed="$1" 'BEGIN {
        srand(seed)
        for (i = 0; i < 60; i++) {
            x = int(rand() * 4000); y = int(rand() * 3000); r = 20 + int(rand() * 300)
            printf "fill rgb(%d,%d,%d) ", rand() * 255, rand() * 255, rand() * 255
            if (i % 3 == 0) printf "circle %d,%d %d,%d ", x, y, x + r, y
            else if (i % 3 == 1) printf "rectangle %d,%d %d,%d ", x, y, x + r * 2, y + r
            else printf "stroke black stroke-width %d line %d,%d %d,%d stroke none ", 1 + i % 5, x, y, x + r * 3, y + r
        }
    }'
}

echo "Making base pictures..." >&2
bases=4
for b in $(seq 0 $((bases - 1))); do
    "$convert" -seed $((b + 11)) -size 4000x3000 plasma:fractal -blur 0x0.8 \
        -draw "$(shapes $((b + 101)))" \
        \( -size 4000x3000 xc:gray50 -seed $((b + 21)) -attenuate 0.25 +noise Gaussian \) \
        -compose overlay -composite "$work/base$b.mpc" &
    # Two at a time: the machine this runs on may have only two cores.
    if (( b % 2 == 1 )); then wait; fi
done
wait

# exif_orientation FILE VALUE: puts an EXIF block with only the orientation tag right after the
# JPEG start marker (APP1, big-endian TIFF header, one IFD entry).
exif_orientation() {
    local file=$1 value=$2
    {
        head -c 2 "$file"
        printf '\xff\xe1\x00\x22Exif\x00\x00MM\x00\x2a\x00\x00\x00\x08\x00\x01'
        printf '\x01\x12\x00\x03\x00\x00\x00\x01\x00'
        printf "\\x$(printf %02x "$value")"
        printf '\x00\x00\x00\x00\x00\x00'
        tail -c +3 "$file"
    } >"$file.tmp"
    mv "$file.tmp" "$file"
}

echo "Making $count JPEGs in $out..." >&2
make_jpeg() {
    local i=$1 name
    name=$(printf 'IMG_%04d.jpg' "$i")
    local flop=""
    (( i % 2 )) && flop="-flop"
    # shellcheck disable=SC2086
    "$convert" "$work/base$((i % bases)).mpc" -roll +$((i * 397 % 4000))+$((i * 211 % 3000)) $flop \
        -modulate 100,$((80 + i % 40)),$((70 + i * 7 % 60)) -strip -quality 90 "$out/$name"
    if (( i % 10 == 3 )); then exif_orientation "$out/$name" 6; fi
    if (( i % 10 == 7 )); then exif_orientation "$out/$name" 8; fi
}
export -f make_jpeg exif_orientation
export convert work bases out
seq 0 $((count - 1)) | xargs -P 2 -I{} bash -c 'make_jpeg {}'

# 8-bit colour, as screenshots and scans usually are.
echo "Making PNG and BMP files..." >&2
for i in 0 1 2; do
    "$convert" "$work/base$i.mpc" -resize 2000x1500 -depth 8 -strip "PNG24:$out/$(printf 'SCAN_%02d.png' "$i")"
    "$convert" "$work/base$i.mpc" -roll +1000+500 -resize 2000x1500 -depth 8 -type TrueColor -strip \
        "BMP3:$out/$(printf 'SCAN_%02d.bmp' "$i")"
done

echo "$out"
