#!/usr/bin/env bash
# Builds a camera roll for grid_bench: COUNT 1800x1350 JPEGs in one folder, no two with the same
# bytes. A few fractal scenes are painted once; each of the first DISTINCT pictures is one of them
# rolled by its own offset and with its own brightness and hue, so none looks like another (each
# ImageMagick process writes a run of them from the scenes it keeps in memory, two at a time;
# about six a second here). The rest repeat those pictures, each with a JPEG comment of its own
# after the start marker, so that they are different files that decode the same.
#
# Usage: bench/make_roll.sh [FOLDER [COUNT [DISTINCT]]]
#   FOLDER defaults to a new temporary folder; COUNT to 10000; DISTINCT to 1000. Prints the folder.
set -euo pipefail
export LC_ALL=C

out=${1:-$(mktemp -d "${TMPDIR:-/tmp}/vellora-roll.XXXXXX")}
count=${2:-10000}
distinct=${3:-1000}
((distinct > count)) && distinct=$count
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
for ((first = 0; first < distinct; first += 2 * run)); do
    write_run "$first" "$((first + run < distinct ? first + run : distinct))" &
    if ((first + run < distinct)); then
        write_run "$((first + run))" "$((first + 2 * run < distinct ? first + 2 * run : distinct))" &
    fi
    wait
done
for ((i = distinct; i < count; i++)); do
    # FF D8, then a comment segment (FF FE, length 14 counting itself, 12 bytes of text), then the
    # rest of the painted picture after its own FF D8.
    {
        printf '\xff\xd8\xff\xfe\x00\x0e'
        printf 'roll %07d' "$i"
        tail -c +3 "$out/$(printf 'roll_%05d.jpg' "$((i % distinct))")"
    } >"$out/$(printf 'roll_%05d.jpg' "$i")"
done
echo "$out"
