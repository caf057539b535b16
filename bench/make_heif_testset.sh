#!/usr/bin/env bash
# Makes the HEIC pictures heif_bench is run on, with heif-enc, from the JPEGs that
# make_testset.sh writes (4000x3000, a phone's size): FOLDER/thumb holds them with a 320-pixel
# thumbnail embedded, as phones store them, FOLDER/plain without one. x265's fastest preset keeps
# the encoding to seconds a picture; both sides of the benchmark decode the same files.
#
# Usage: bench/make_heif_testset.sh JPEG_FOLDER FOLDER [COUNT]
#   COUNT (default 20) JPEGs are taken, in name order.
set -euo pipefail
export LC_ALL=C

src=$1
out=$2
count=${3:-20}
command -v heif-enc >/dev/null || { echo "heif-enc not found (apt-get install libheif-examples)" >&2; exit 2; }
mkdir -p "$out/thumb" "$out/plain"

make_heic() {
    local jpeg=$1 name
    name=$(basename "${jpeg%.*}")
    heif-enc -q 50 -p preset=ultrafast -t 320 -o "$out/thumb/$name.heic" "$jpeg" >/dev/null
    heif-enc -q 50 -p preset=ultrafast -o "$out/plain/$name.heic" "$jpeg" >/dev/null
}
export -f make_heic
export out
# Two at a time: the machine this runs on may have only two cores.
find "$src" -maxdepth 1 -name 'IMG_*.jpg' | sort | head -n "$count" | xargs -P 2 -I{} bash -c 'make_heic {}'
echo "$out"
