#!/usr/bin/env bash
# Builds a camera roll for grid_bench: COUNT distinct 1800x1350 JPEGs in one folder. A few
# fractal scenes are painted once; every picture is one of them rolled by its own offset and with
# its own brightness and hue, so no two pictures share bytes or look alike. Each ImageMagick
# process writes a run of pictures from the scenes it keeps in memory, two at a time.
#
# Usage: bench/make_roll.sh [FOLDER [COUNT]]
#   FOLDER defaults to a new temporary folder; COUNT to 10000. Prints the folder at the end.
set -euo pipefail
export LC_ALL=C

out=${1:-$(mktemp -d "${TMPDIR:-/tmp}/vellora-roll.XXXXXX")}
count=${2:-10000}
mkdir -p "$out"
convert=/usr/bin/convert
[ -x "$convert" ] || convert=$(command -v convert)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
scenes=16
for ((s = 0; s < scenes; s++)); do
    "$convert" -seed "$((s + 1))" -size 1800x1350 plasma:fractal -blur 0x0.7 "$work/scene_$s.mpc"
done

# One process: pictures first..last-1, each a clone of its scene, rolled and tinted, written and dropped.
write_run() {
    local first=$1 last=$2 args=() i
    for ((i = first; i < last; i++)); do
        args+=("(" "mpr:s$((i % scenes))" -roll "+$(((i * 97) % 1800))+$(((i * 61) % 1350))"
            -modulate "$((85 + (i * 7) % 30)),100,$((80 + (i * 13) % 40))"
            -quality 90 -write "$out/$(printf 'roll_%05d.jpg' "$i")" +delete ")")
    done
    local load=() s
    for ((s = 0; s < scenes; s++)); do
        load+=("$work/scene_$s.mpc" -write "mpr:s$s" +delete)
    done
    "$convert" "${load[@]}" "${args[@]}" -size 1x1 xc:none null:
}

run=250
for ((first = 0; first < count; first += 2 * run)); do
    write_run "$first" "$((first + run < count ? first + run : count))" &
    if ((first + run < count)); then
        write_run "$((first + run))" "$((first + 2 * run < count ? first + 2 * run : count))" &
    fi
    wait
done
echo "$out"
