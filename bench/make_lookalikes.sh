#!/usr/bin/env bash
# Builds the picture set lookalike_bench is run on, from make_testset.sh's pictures: every scene
# (one of those pictures) is shot again two or three times, as a camera or phone would in a burst
# (a small crop, an exposure shift, a slight turn, a re-encode at lower quality), with EXIF capture
# times a few seconds apart. Scenes follow each other in pairs: the second scene of a pair is taken
# 20 seconds after the first (so only the pictures themselves tell them apart), the next pair some
# minutes later. Every fifth scene is a single shot without look-alikes.
#
# Usage: bench/make_lookalikes.sh OUT [SCENES]
#   SCENES defaults to 60. OUT gets the pictures and "truth.txt": one line per picture, its file
#   name and its scene number; pictures of the same scene are look-alikes, all others distinct.
set -euo pipefail
export LC_ALL=C

out=${1:?usage: make_lookalikes.sh OUT [SCENES]}
scenes=${2:-60}
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bash "$here/make_testset.sh" "$work/scenes" "$scenes" >/dev/null
convert=/usr/bin/convert
[ -x "$convert" ] || convert=$(command -v convert)

# hex32 VALUE: four big-endian bytes as printf escapes.
hex32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 >> 24 & 255)) $(($1 >> 16 & 255)) $(($1 >> 8 & 255)) $(($1 & 255)); }
hex16() { printf '\\x%02x\\x%02x' $(($1 >> 8 & 255)) $(($1 & 255)); }

# exif_time FILE TIME [ORIENTATION]: puts an EXIF block right after the JPEG start marker holding
# DateTimeOriginal ("YYYY:MM:DD HH:MM:SS") and, when given, the orientation tag. Big-endian TIFF:
# the first IFD points to the EXIF IFD, which holds the time; the text follows it.
exif_time() {
    local file=$1 time=$2 orientation=${3:-}
    local entries=1
    [ -n "$orientation" ] && entries=2
    local exif_ifd=$((8 + 2 + 12 * entries + 4))
    local text=$((exif_ifd + 2 + 12 + 4))
    local tiff=$((text + 20))
    local length=$((2 + 6 + tiff))
    {
        head -c 2 "$file"
        printf '%b' "\\xff\\xe1$(hex16 $length)Exif\\x00\\x00MM\\x00\\x2a\\x00\\x00\\x00\\x08"
        printf '%b' "$(hex16 $entries)"
        if [ -n "$orientation" ]; then
            printf '%b' "\\x01\\x12\\x00\\x03\\x00\\x00\\x00\\x01$(hex16 "$orientation")\\x00\\x00"
        fi
        printf '%b' "\\x87\\x69\\x00\\x04\\x00\\x00\\x00\\x01$(hex32 $exif_ifd)\\x00\\x00\\x00\\x00"
        printf '%b' "\\x00\\x01\\x90\\x03\\x00\\x02\\x00\\x00\\x00\\x14$(hex32 $text)\\x00\\x00\\x00\\x00"
        printf '%s\0' "$time"
        tail -c +3 "$file"
    } >"$file.tmp"
    mv "$file.tmp" "$file"
}

# The stored orientation of a make_testset picture (it writes 6 or 8 into some), else empty.
orientation_of() {
    local value
    value=$(identify -format '%[EXIF:Orientation]' "$1" 2>/dev/null || true)
    [ "$value" = 6 ] || [ "$value" = 8 ] && echo "$value"
    return 0
}

start=$(date -u -d '2025-06-01 09:00:00' +%s)
stamp() { date -u -d "@$1" '+%Y:%m:%d %H:%M:%S'; }

# make_scene INDEX: the scene's own picture plus its look-alikes, and their lines of the truth.
make_scene() {
    local i=$1
    local source
    source=$(printf '%s/scenes/IMG_%04d.jpg' "$work" "$i")
    local pair=$((i / 2))
    local base=$((start + pair * 240 + (i % 2) * 20))
    local name
    name=$(printf 'S%03d_0.jpg' "$i")
    local orientation
    orientation=$(orientation_of "$source")
    # The scene's own shot keeps its pixels and orientation as the camera stored them.
    "$convert" "$source" -strip "$out/$name"
    exif_time "$out/$name" "$(stamp "$base")" "$orientation"
    echo "$name $i" >"$work/truth.$i"
    if (( i % 5 == 4 )); then
        return 0
    fi
    # The look-alikes are stored upright; two or three of four kinds, varying by scene.
    local variations=("-gravity center -crop 95%x95%+0+0 +repage -quality 90"
        "-evaluate multiply 1.15 -quality 90"
        "-distort SRT 1.5 -gravity center -crop 96%x96%+0+0 +repage -quality 90"
        "-quality 55")
    local count=$((2 + i % 2)) k
    for k in $(seq 1 "$count"); do
        local v=$(((i + k) % 4))
        name=$(printf 'S%03d_%d.jpg' "$i" "$k")
        # shellcheck disable=SC2086
        "$convert" "$source" -auto-orient ${variations[$v]} -strip "$out/$name"
        exif_time "$out/$name" "$(stamp $((base + 2 * k + k * k)))"
        echo "$name $i" >>"$work/truth.$i"
    done
}
export -f make_scene exif_time orientation_of hex16 hex32 stamp
export convert work out start

echo "Making $scenes scenes with their look-alikes in $out..." >&2
seq 0 $((scenes - 1)) | xargs -P 2 -I{} bash -c 'make_scene {}'
for i in $(seq 0 $((scenes - 1))); do cat "$work/truth.$i"; done >"$out/truth.txt"
echo "$out"
