#!/usr/bin/env bash
# Builds the set sharpness_bench is run on, from real photographs (see real_photos.sh): every
# photograph is one group of six JPEGs at the photograph's own size, all saved alike (quality 92):
# the sharp original and five copies degraded the way a burst's soft frames are:
#   out of focus: Gaussian blur of sigma 1, 2 and 4 pixels
#   shaken: motion blur of sigma 4 along a direction that changes from group to group
#   noisy: Gaussian noise, as a small sensor at high sensitivity gives it
# Usage: bench/make_blurred.sh OUT
#   OUT gets the pictures and "truth.txt": one line per picture, its file name, its group and 1 for
#   the sharp original or 0 for a degraded copy, separated by spaces.
set -euo pipefail
export LC_ALL=C

out=${1:?usage: make_blurred.sh OUT}
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=bench/real_photos.sh
source "$here/real_photos.sh"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
real_photos >"$work/photos"
convert=/usr/bin/convert
[ -x "$convert" ] || convert=$(command -v convert)

# make_group INDEX: the original of one photograph and its copies, and their lines of the truth.
# File names do not tell which is which.
make_group() {
    local i=$1 photo
    photo=$(sed -n "$((i + 1))p" "$work/photos")
    local degradations=("" "-blur 0x1" "-blur 0x2" "-blur 0x4" "-motion-blur 0x4+$(((i * 37) % 180))"
        "-attenuate 0.5 +noise Gaussian")
    : >"$work/truth.$i"
    local k name
    for k in "${!degradations[@]}"; do
        # Shuffled places within the group, so the original is not always the first file.
        name=$(printf 'G%02d_%d.jpg' "$i" $(((k + i) % ${#degradations[@]})))
        # shellcheck disable=SC2086
        "$convert" "$photo" -seed $((i * 10 + k)) ${degradations[$k]} -quality 92 -strip "$out/$name"
        echo "$name $i $([ "$k" = 0 ] && echo 1 || echo 0)" >>"$work/truth.$i"
    done
}
export -f make_group
export convert work out

count=$(wc -l <"$work/photos")
echo "Making $count groups of six in $out..." >&2
seq 0 $((count - 1)) | xargs -P 2 -I{} bash -c 'make_group {}'
for i in $(seq 0 $((count - 1))); do sort "$work/truth.$i"; done >"$out/truth.txt"
echo "$out"
