#!/usr/bin/env bash
# Builds a hard look-alike set for lookalike_bench from real photographs (see real_photos.sh):
# every photograph is one place where two scenes are shot seconds apart.
#   Scene A, a framing of the photograph, is shot as a hand-held burst of three or four: reframed
#   by a few per cent, exposure shifted, slightly turned, re-encoded; in every third place a subject
#   (a piece of another photograph) moves across the burst.
#   Scene B, 7 to 10 s after A's last shot at the same place, is another framing of the same
#   photograph: its other side (overlapping A by a fifth) or a tighter, differently composed one,
#   shot two or three times. A and B are the hard negatives: same light, colours and textures.
# Places are five minutes apart. Pictures are JPEGs of about 2000x1300 with EXIF capture times.
#
# Usage: bench/make_real_lookalikes.sh OUT
#   OUT gets the pictures and "truth.txt": one line per picture, its file name and its scene.
set -euo pipefail
export LC_ALL=C

out=${1:?usage: make_real_lookalikes.sh OUT}
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=bench/real_photos.sh
source "$here/real_photos.sh"
# shellcheck source=bench/exif_stamp.sh
source "$here/exif_stamp.sh"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
real_photos >"$work/photos"
convert=/usr/bin/convert
[ -x "$convert" ] || convert=$(command -v convert)
start=$(date -u -d '2025-07-12 08:00:00' +%s)

# One shot of a burst: the scene's picture ($1) changed the way shot k ($2) of the place ($3) is.
variation() {
    local k=$1 i=$2
    case $(((i + k) % 5)) in
        0) echo "-quality 92" ;;
        1) echo "-gravity northwest -crop 96%x96%+$((20 + 10 * (i % 3)))+14 +repage -resize 2000x1300! -quality 90" ;;
        2) echo "-evaluate multiply $([ $((i % 2)) = 0 ] && echo 1.15 || echo 0.85) -quality 90" ;;
        3) echo "-distort SRT $([ $((i % 2)) = 0 ] && echo 1.5 || echo -1.2) -gravity center -crop 96%x96%+0+0 +repage -resize 2000x1300! -quality 90" ;;
        4) echo "-quality 55" ;;
    esac
}

# make_place INDEX: both scenes of one photograph, and their lines of the truth.
make_place() {
    local i=$1 count
    count=$(wc -l <"$work/photos")
    local photo other
    photo=$(sed -n "$((i + 1))p" "$work/photos")
    other=$(sed -n "$(((i + 7) % count + 1))p" "$work/photos")
    local base=$((start + i * 300))
    local a="$work/a$i.png" b="$work/b$i.png" subject="$work/s$i.png"
    # A: the left three fifths. B: the right three fifths, or a tight framing of the middle.
    "$convert" "$photo" -gravity west -crop 60%x88%+0+0 +repage -resize 2000x1300! "$a"
    if ((i % 2 == 0)); then
        "$convert" "$photo" -gravity east -crop 60%x88%+0+0 +repage -resize 2000x1300! "$b"
    else
        "$convert" "$photo" -gravity center -crop 34%x44%+0+0 +repage -resize 2000x1300! "$b"
    fi
    "$convert" "$other" -gravity center -crop 30%x40%+0+0 +repage -resize 420x380! "$subject"
    : >"$work/truth.$i"
    local shots=$((3 + i % 2)) k name when=$base
    for k in $(seq 0 $((shots - 1))); do
        name=$(printf 'P%02d_A%d.jpg' "$i" "$k")
        local moving=()
        ((i % 3 == 0)) && moving=("$subject" -geometry "+$((300 + 380 * k))+$((700 - 60 * k))" -composite)
        # shellcheck disable=SC2046
        "$convert" "$a" "${moving[@]}" $(variation "$k" "$i") -strip "$out/$name"
        exif_time "$out/$name" "$(stamp "$when")"
        echo "$name $((2 * i))" >>"$work/truth.$i"
        when=$((when + 2 + k))
    done
    when=$((when + 7 + i % 4))
    for k in $(seq 0 $((1 + i % 2))); do
        name=$(printf 'P%02d_B%d.jpg' "$i" "$k")
        # shellcheck disable=SC2046
        "$convert" "$b" $(variation $((k + 2)) "$i") -strip "$out/$name"
        exif_time "$out/$name" "$(stamp "$when")"
        echo "$name $((2 * i + 1))" >>"$work/truth.$i"
        when=$((when + 2))
    done
}
export -f make_place variation exif_time hex16 hex32 stamp
export convert work out start

places=$(wc -l <"$work/photos")
echo "Making $places places of two scenes each in $out..." >&2
seq 0 $((places - 1)) | xargs -P 2 -I{} bash -c 'make_place {}'
for i in $(seq 0 $((places - 1))); do cat "$work/truth.$i"; done >"$out/truth.txt"
echo "$out"
