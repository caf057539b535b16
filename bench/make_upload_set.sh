#!/usr/bin/env bash
# Builds the picture set that upload_bench runs on: COUNT noise JPEGs of about 2 MB each (noise
# does not compress, so the bytes on the line are the picture's), each of its own content.
#
# A few noise pictures are encoded; every file then gets a JPEG comment of its own ("upload NNNNNN")
# after the start marker, so no two files have the same bytes (encoding 300 such pictures would
# take many minutes).
#
# Usage: bench/make_upload_set.sh [FOLDER [COUNT]]
#   FOLDER defaults to a new temporary folder; COUNT to 300. Prints the folder at the end.
set -euo pipefail
export LC_ALL=C

out=${1:-$(mktemp -d "${TMPDIR:-/tmp}/vellora-uploadset.XXXXXX")}
count=${2:-300}
mkdir -p "$out"
# ImageMagick's own convert, whatever else is called convert on the PATH.
convert=/usr/bin/convert
[ -x "$convert" ] || convert=$(command -v convert)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$convert" -seed 27 -size 2000x1700 xc:gray50 -attenuate 1.5 +noise Gaussian "$work/noise.png"
bases=8
for ((b = 0; b < bases; b++)); do
    "$convert" "$work/noise.png" -roll "+$((b * 7))+$((b * 3))" -quality 92 "$work/base_$b.jpg"
done
for ((i = 0; i < count; i++)); do
    # FF D8, then a comment segment (FF FE, length 15 counting itself, 13 bytes of text), then the
    # rest of the base picture after its own FF D8.
    {
        printf '\xff\xd8\xff\xfe\x00\x0f'
        printf 'upload %06d' "$i"
        tail -c +3 "$work/base_$((i % bases)).jpg"
    } >"$out/$(printf 'upload_%03d.jpg' "$i")"
done
echo "$out"
