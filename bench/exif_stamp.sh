#!/usr/bin/env bash
# Sourced by the set builders: exif_time FILE "YYYY:MM:DD HH:MM:SS" puts an EXIF block holding
# DateTimeOriginal right after the JPEG start marker (big-endian TIFF: the first IFD points to the
# EXIF IFD, which holds the time; the text follows it).
hex32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 >> 24 & 255)) $(($1 >> 16 & 255)) $(($1 >> 8 & 255)) $(($1 & 255)); }
hex16() { printf '\\x%02x\\x%02x' $(($1 >> 8 & 255)) $(($1 & 255)); }
exif_time() {
    local file=$1 time=$2
    local exif_ifd=$((8 + 2 + 12 + 4))
    local text=$((exif_ifd + 2 + 12 + 4))
    local length=$((2 + 6 + text + 20))
    {
        head -c 2 "$file"
        printf '%b' "\\xff\\xe1$(hex16 $length)Exif\\x00\\x00MM\\x00\\x2a\\x00\\x00\\x00\\x08\\x00\\x01"
        printf '%b' "\\x87\\x69\\x00\\x04\\x00\\x00\\x00\\x01$(hex32 $exif_ifd)\\x00\\x00\\x00\\x00"
        printf '%b' "\\x00\\x01\\x90\\x03\\x00\\x02\\x00\\x00\\x00\\x14$(hex32 $text)\\x00\\x00\\x00\\x00"
        printf '%s\0' "$time"
        tail -c +3 "$file"
    } >"$file.tmp"
    mv "$file.tmp" "$file"
}
stamp() { date -u -d "@$1" '+%Y:%m:%d %H:%M:%S'; }
