#!/usr/bin/env bash
# Generates the compiled-in artwork of QVellora (QVellora/image/...).
#
# Requirements: ImageMagick 6 (convert, identify), fontconfig (fc-match) and
# the Noto Sans CJK SC font (Debian package fonts-noto-cjk).
#
# Usage: tools/make_images.sh [output-dir]
#   output-dir defaults to QVellora/image next to this script's parent.
#
# The output is deterministic: running the script twice produces
# byte-identical files (no timestamps, no random numbers, metadata stripped).
# Temporary file names are assigned through "printf -v" (see tmp_name), and
# the Chinese texts contain typographic quotes on purpose.
# shellcheck disable=SC2154,SC1111
set -euo pipefail

export LC_ALL=C.UTF-8

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
OUT=${1:-"$HERE/../QVellora/image"}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)

for tool in convert identify fc-match awk; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 1; }
done

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# ---------------------------------------------------------------------------
# Fonts.  The Noto CJK fonts ship as .ttc collections whose first face is the
# Japanese variant; ImageMagick 6 cannot select a face by a path suffix, so a
# private type map is written that names the Simplified Chinese faces
# (with their collection index as reported by fontconfig).
# ---------------------------------------------------------------------------
font_entry() { # <IM name> <fontconfig pattern>
    local found file index family
    found=$(fc-match -f '%{file}|%{index}|%{family}' "$2")
    IFS='|' read -r file index family <<<"$found"
    case "$family" in
        *"Noto Sans CJK SC"*) ;;
        *) echo "font '$2' not found (got '$family'); install fonts-noto-cjk" >&2
           exit 1 ;;
    esac
    printf '  <type name="%s" family="Noto Sans CJK SC" glyphs="%s" face="%s"/>\n' \
        "$1" "$file" "${index:-0}"
}
mkdir -p "$TMP/cfg"
{
    echo '<?xml version="1.0" encoding="UTF-8"?>'
    echo '<typemap>'
    font_entry Vellora-Sans 'Noto Sans CJK SC:style=Regular'
    font_entry Vellora-Sans-Bold 'Noto Sans CJK SC:style=Bold'
    echo '</typemap>'
} >"$TMP/cfg/type.xml"
export MAGICK_CONFIGURE_PATH="$TMP/cfg"
FR=Vellora-Sans
FB=Vellora-Sans-Bold

# ---------------------------------------------------------------------------
# Palette
# ---------------------------------------------------------------------------
BLUE='#2F80ED'
BLUE_D='#1F6BD6'
BLUE_L='#EAF2FE'
TEXT='#2B3445'
TEXT2='#5B6577'
BORDER='#D3DDEB'
GREEN='#27AE60'
TICK='#1E9E57'
ORANGE='#F2994A'
PURPLE='#9B51E0'
RED='#EB5757'
ICON='#44546A'
FOLDER_BACK='#E3A537'
FOLDER_FRONT='#F7C84F'

# ---------------------------------------------------------------------------
# Helpers
# ---------------------------------------------------------------------------
n=0
# tmp_name <var>...: store fresh temporary file names in the named variables.
tmp_name() {
    local v
    for v in "$@"; do
        n=$((n + 1))
        printf -v "$v" '%s/t%d.miff' "$TMP" "$n"
    done
}

# finish <src> <relative path> <w> <h>: write the final file, check its size.
finish() {
    local src=$1 rel=$2 w=$3 h=$4 dst
    dst="$OUT/$rel"
    mkdir -p "$(dirname "$dst")"
    case "$rel" in
        *.png)
            convert "$src" +set date:create +set date:modify -strip \
                -define png:exclude-chunks=date,time "PNG32:$dst" ;;
        *.jpg)
            convert "$src" +set date:create +set date:modify -strip \
                -background white -alpha remove -alpha off \
                -sampling-factor 1x1 -quality 92 -interlace none "JPEG:$dst" ;;
    esac
    local got
    got=$(identify -format '%wx%h' "$dst")
    if [[ $got != "${w}x${h}" ]]; then
        echo "size mismatch for $rel: $got, expected ${w}x${h}" >&2
        exit 1
    fi
    echo "  $rel ${w}x${h}"
}

# draw4 <w> <h> <mvg> <out>: draw MVG given in w x h coordinates at 4x on a
# transparent canvas and reduce it (box filter = exact supersampling).
draw4() {
    convert -size "$(($1 * 4))x$(($2 * 4))" xc:none \
        -draw "scale 4,4 $3" -filter Box -resize "${1}x${2}!" "$4"
}

# arc_points <cx> <cy> <r> <a0> <a1>: points of a circular arc from angle a0
# to a1 (degrees, y axis down, so increasing angles run clockwise).  Arcs are
# emitted as polylines because ImageMagick 6 strokes "A" path segments as
# closed figures.
arc_points() {
    awk -v cx="$1" -v cy="$2" -v r="$3" -v a0="$4" -v a1="$5" 'BEGIN {
        pi = atan2(0, -1); n = 64
        for (i = 0; i <= n; i++) {
            t = (a0 + (a1 - a0) * i / n) * pi / 180
            printf " %.3f,%.3f", cx + r * cos(t), cy + r * sin(t)
        }
    }'
}

# arc_arrow <cx> <cy> <r> <a0> <a1> <stroke> <head> <colour>
# An arc from angle a0 to a1 (degrees, y axis down, a1 > a0 = clockwise)
# with an arrow head at a1.  Prints MVG.
arc_arrow() {
    awk -v cx="$1" -v cy="$2" -v r="$3" -v a0="$4" -v a1="$5" \
        -v sw="$6" -v h="$7" -v col="$8" 'BEGIN {
        pi = atan2(0, -1); t0 = a0 * pi / 180; t1 = a1 * pi / 180
        x0 = cx + r * cos(t0); y0 = cy + r * sin(t0)
        x1 = cx + r * cos(t1); y1 = cy + r * sin(t1)
        s = (a1 > a0) ? 1 : -1
        dx = -sin(t1) * s; dy = cos(t1) * s
        nx = cos(t1); ny = sin(t1)
        printf "push graphic-context fill none stroke %s stroke-width %g stroke-linecap round stroke-linejoin round polyline", col, sw
        for (i = 0; i <= 64; i++) {
            t = (a0 + (a1 - a0) * i / 64) * pi / 180
            printf " %.3f,%.3f", cx + r * cos(t), cy + r * sin(t)
        }
        printf " pop graphic-context "
        printf "push graphic-context fill %s stroke %s stroke-width %g stroke-linejoin round ", col, col, sw * 0.35
        printf "polygon %.3f,%.3f %.3f,%.3f %.3f,%.3f pop graphic-context\n", \
            x1 + dx * h, y1 + dy * h, x1 + nx * h * 0.8, y1 + ny * h * 0.8, x1 - nx * h * 0.8, y1 - ny * h * 0.8
    }'
}

# text_img <font> <size> <colour> <text> <out>: tightly cropped text.
text_img() {
    convert -background none -fill "$3" -font "$1" -pointsize "$2" \
        label:"$4" -trim +repage "$5"
}

# ---------------------------------------------------------------------------
# Small button faces (26 px high)
# button <rel> <w> <h> <primary|secondary> <text> [left|right|plus]
# ---------------------------------------------------------------------------
button() {
    local rel=$1 w=$2 h=$3 style=$4 text=$5 deco=${6:-}
    local bg stroke fg shape txt deco_img group
    if [[ $style == primary ]]; then
        bg=$BLUE; stroke=$BLUE_D; fg='#FFFFFF'
    else
        bg='#FFFFFF'; stroke=$BLUE; fg=$BLUE
    fi
    tmp_name shape
    draw4 "$w" "$h" "fill $bg stroke $stroke stroke-width 1
        roundrectangle 0.5,0.5 $(awk -v w="$w" -v h="$h" 'BEGIN{printf "%g,%g", w-0.5, h-0.5}') 5,5" "$shape"
    tmp_name txt
    text_img "$FR" 13 "$fg" "$text" "$txt"
    tmp_name group
    if [[ -n $deco ]]; then
        tmp_name deco_img
        case "$deco" in
            right) draw4 7 10 "fill $fg stroke $fg stroke-width 0.8 stroke-linejoin round
                        polygon 1,1 6.2,5 1,9" "$deco_img" ;;
            left)  draw4 7 10 "fill $fg stroke $fg stroke-width 0.8 stroke-linejoin round
                        polygon 6,1 0.8,5 6,9" "$deco_img" ;;
            plus)  draw4 9 9 "stroke $fg stroke-width 1.6 stroke-linecap round
                        line 4.5,1 4.5,8 line 1,4.5 8,4.5" "$deco_img" ;;
        esac
        if [[ $deco == right ]]; then
            convert -background none -gravity center "$txt" -size 5x1 xc:none \
                "$deco_img" +append "$group"
        else
            convert -background none -gravity center "$deco_img" -size 5x1 xc:none \
                "$txt" +append "$group"
        fi
    else
        cp "$txt" "$group"
    fi
    local img
    tmp_name img
    convert "$shape" "$group" -gravity center -geometry +0+0 -compose Over \
        -composite "$img"
    finish "$img" "$rel" "$w" "$h"
}

# ---------------------------------------------------------------------------
# Small pictograms shared by several pictures (20 x 16 design units)
# ---------------------------------------------------------------------------
MVG_FOLDER20="fill $FOLDER_BACK roundrectangle 1,1.2 9,5 1.2,1.2
    roundrectangle 1,3 19,15 1.6,1.6
    fill $FOLDER_FRONT roundrectangle 1,5.6 19,15 1.6,1.6"
MVG_PICTURE20="fill #EAF3FF stroke $BLUE stroke-width 1.4 roundrectangle 1.2,1.5 18.8,14.5 2,2
    stroke none fill $GREEN polygon 2.4,13.6 7.6,7 12.6,13.6
    fill #6FCF97 polygon 9.6,13.6 13.8,9.2 17.6,13.6
    fill #F2B134 circle 14.4,5.4 14.4,7"

echo "Writing artwork to $OUT"

# ---------------------------------------------------------------------------
# icon/win.png - application icon; icon/win_256.png - the same drawing at full
# size for the desktop entry of an installed copy (not compiled in)
# ---------------------------------------------------------------------------
tmp_name big img
convert -size 256x256 gradient:'#5CC6F6'-'#2F6FE0' \
    \( -size 256x256 xc:black -fill white -draw "roundrectangle 8,8 247,247 52,52" \) \
    -alpha off -compose CopyOpacity -composite -compose Over \
    -draw "scale 4,4
        push graphic-context translate 30,32 rotate -13
          fill #FFFFFF8C roundrectangle -17,-14 17,14 2.5,2.5
        pop graphic-context
        push graphic-context translate 33.5,35 rotate 7
          fill #00000030 roundrectangle -18.2,-13.6 20,16.6 3,3
          fill #FFFFFF roundrectangle -19,-15 19,15 2.5,2.5
          fill #8ED0FF rectangle -16,-12 16,8
          fill #FFCF40 circle 9,-5.5 12.3,-5.5
          fill $GREEN polygon -16,8 -5,-4.5 6,8
          fill #6FCF97 polygon 1,8 8.5,-0.5 16,6 16,8
        pop graphic-context" "$big"
finish "$big" icon/win_256.png 256 256
convert "$big" -filter Box -resize 64x64! "$img"
finish "$img" icon/win.png 64 64

# ---------------------------------------------------------------------------
# icon/open_times.png - continue last scan (circular arrow round a photo)
# ---------------------------------------------------------------------------
tmp_name img
draw4 32 32 "$(arc_arrow 16 16 12 -40 245 2.6 4.2 "$BLUE")
    fill #8ED0FF stroke $ICON stroke-width 1 roundrectangle 10,11 22,21 1,1
    stroke none fill $GREEN polygon 10.5,20.5 14.5,15 18.5,20.5
    fill #FFB020 circle 18.6,14 18.6,15.6" "$img"
finish "$img" icon/open_times.png 32 32

# ---------------------------------------------------------------------------
# icon/file_type.png - filter by type / date (funnel)
# ---------------------------------------------------------------------------
tmp_name img
draw4 32 32 "fill $BLUE stroke $BLUE stroke-width 2 stroke-linejoin round
    polygon 5,6 27,6 18.6,16.4 18.6,25.2 13.4,27.6 13.4,16.4
    stroke #FFFFFF stroke-width 1.2 stroke-linecap round line 9,9.2 23,9.2" "$img"
finish "$img" icon/file_type.png 32 32

# ---------------------------------------------------------------------------
# Toolbar faces 103 x 31: pictogram + caption
# ---------------------------------------------------------------------------
toolbar_face() { # <rel> <pictogram mvg> <caption>
    local shape pic txt group img
    tmp_name shape pic txt group img
    draw4 103 31 "fill #FFFFFF stroke #C3D2E8 stroke-width 1
        roundrectangle 0.5,0.5 102.5,30.5 5,5" "$shape"
    draw4 20 16 "$2" "$pic"
    text_img "$FR" 14 "$TEXT" "$3" "$txt"
    convert -background none -gravity center "$pic" -size 7x1 xc:none "$txt" \
        +append "$group"
    convert "$shape" "$group" -gravity center -geometry +0+0 -composite "$img"
    finish "$img" "$1" 103 31
}
toolbar_face view_dlg_icon/input_image.png "$MVG_FOLDER20" "选择目录"
toolbar_face view_dlg_icon/pause_input.png "$MVG_PICTURE20" "浏览照片"

# ---------------------------------------------------------------------------
# Start page buttons 150 x 150: coloured disc with a white pictogram
# (72 x 72 design units) and a caption.
# ---------------------------------------------------------------------------
big_button() { # <rel> <colour> <pictogram mvg> <caption>
    local card disc txt img
    tmp_name card disc txt img
    draw4 150 150 "fill #0000000D roundrectangle 1,2 149,150 16,16
        fill #FFFFFF stroke $BORDER stroke-width 1.2
        roundrectangle 1,1 149,148 15,15" "$card"
    draw4 72 72 "fill $2 circle 36,36 36,0.4 $3" "$disc"
    text_img "$FB" 18 "$TEXT" "$4" "$txt"
    convert "$card" "$disc" -gravity north -geometry +0+22 -composite \
        "$txt" -gravity north -geometry +0+111 -composite "$img"
    finish "$img" "$1" 150 150
}

big_button new_button/select_scan.png "$BLUE" "
    fill #FFFFFFA8 roundrectangle 16,20 31,28 2.5,2.5
    roundrectangle 16,23 54,50 3,3
    fill #FFFFFF roundrectangle 16,28 54,50 3,3
    fill $BLUE stroke #FFFFFF stroke-width 3.6 circle 45.5,45 45.5,36.4
    fill none stroke-width 4.6 stroke-linecap round line 51.8,51.4 57.6,57.2" \
    "扫描照片"

big_button new_button/go_last.png "$GREEN" "
    $(arc_arrow 36 36 17 -35 235 4.4 6.4 '#FFFFFF')
    fill #FFFFFF stroke #FFFFFF stroke-width 2 stroke-linejoin round
    polygon 32.5,29.5 42.5,36 32.5,42.5" \
    "继续上次"

big_button new_button/had_scan.png "$ORANGE" "
    fill none stroke #FFFFFF stroke-width 4 circle 36,36 36,18
    stroke-width 3.6 stroke-linecap round stroke-linejoin round
    polyline 36,25.5 36,36 43.5,40.5
    fill #FFFFFF stroke none circle 36,36 36,38.2" \
    "历史导出"

big_button new_button/updata_net.png "$PURPLE" "
    fill #FFFFFF circle 27,40 27,31.5 circle 38,33 38,21.5 circle 47.5,40.5 47.5,32.5
    roundrectangle 17,38 55,50 6,6
    fill $PURPLE stroke $PURPLE stroke-width 1 stroke-linejoin round
    polygon 36,30 43.5,38.5 39,38.5 39,46 33,46 33,38.5 28.5,38.5" \
    "上传照片"

# ---------------------------------------------------------------------------
# big_image/customer_help.png 241 x 78
# ---------------------------------------------------------------------------
tmp_name card disc t1 t2 img
draw4 241 78 "fill #F2F7FF stroke #C9DCF8 stroke-width 1
    roundrectangle 0.5,0.5 240.5,77.5 10,10" "$card"
draw4 52 52 "fill $BLUE circle 26,26 26,0.4
    fill none stroke #FFFFFF stroke-width 3 stroke-linejoin round polyline $(arc_points 26 30 11.5 180 360)
    fill #FFFFFF stroke none roundrectangle 11.5,26.5 18.5,37.5 2.6,2.6
    roundrectangle 33.5,26.5 40.5,37.5 2.6,2.6
    fill none stroke #FFFFFF stroke-width 2 stroke-linecap round
    path 'M 37,37 Q 36.5,42 30,42'
    fill #FFFFFF stroke none roundrectangle 24,40 30.5,44 2,2" "$disc"
text_img "$FB" 17 "$TEXT" "客服帮助" "$t1"
text_img "$FR" 13 "$TEXT2" "菜单 帮助 → 联系客服" "$t2"
convert "$card" "$disc" -geometry +13+13 -composite \
    "$t1" -geometry +78+17 -composite \
    "$t2" -geometry +78+46 -composite "$img"
finish "$img" big_image/customer_help.png 241 78

# ---------------------------------------------------------------------------
# icon/view_folder.png 279 x 278 - manila folder; thumbnails are painted over
# the front panel (x 36..243, y 67..202) at run time.
# ---------------------------------------------------------------------------
tmp_name back front img
convert -size 1116x1112 xc:none -draw "scale 4,4
    fill #00000022 ellipse 139.5,205 110,6 0,360
    fill $FOLDER_BACK
    path 'M 42,30 L 102,30 Q 109,30 113.5,35.5 L 123,47 L 30,47 L 30,42 Q 30,30 42,30 Z'
    roundrectangle 30,40 249,203 12,12
    fill #EDEDED rectangle 44,53 226,190
    fill #FFFFFF rectangle 52,59 236,190
    stroke #D9D9D9 stroke-width 1 line 64,63 170,63" "$back"
convert -size 1116x1112 gradient:'#FFE28A'-'#E9A52C' \
    \( -size 1116x1112 xc:black -fill white \
       -draw "scale 4,4 roundrectangle 36,67 243,203 12,12" \) \
    -alpha off -compose CopyOpacity -composite "$front"
convert "$back" "$front" -compose Over -composite \
    -draw "scale 4,4 fill none stroke #FFF0B8 stroke-width 2 stroke-linecap round
        line 48,70 231,70" \
    -filter Box -resize 279x278! "$img"
finish "$img" icon/view_folder.png 279 278

# ---------------------------------------------------------------------------
# view_dlg_icon/check_03.png 15 x 11 - tick mark
# ---------------------------------------------------------------------------
tmp_name img
convert -size 120x88 xc:none -draw "scale 8,8 fill none stroke $TICK
    stroke-width 2.3 stroke-linecap round stroke-linejoin round
    polyline 2,5.6 5.6,9 13,1.8" -filter Box -resize 15x11! "$img"
finish "$img" view_dlg_icon/check_03.png 15 11

# ---------------------------------------------------------------------------
# Photo viewer icons
# ---------------------------------------------------------------------------
STROKE="fill none stroke $ICON stroke-linecap round stroke-linejoin round"

tmp_name img
draw4 28 28 "$STROKE stroke-width 2.2
    polyline 4,10.5 4,4 10.5,4   line 4.6,4.6 11,11
    polyline 17.5,4 24,4 24,10.5 line 23.4,4.6 17,11
    polyline 4,17.5 4,24 10.5,24 line 4.6,23.4 11,17
    polyline 17.5,24 24,24 24,17.5 line 23.4,23.4 17,17" "$img"
finish "$img" view_dlg_icon/full_screen.png 28 28

MVG_LENS="$STROKE stroke-width 2.3 circle 11,12.5 18.5,12.5
    stroke-width 3.2 line 16.6,18.1 22.4,23.9
    stroke-width 2.2 line 7.3,12.5 14.7,12.5"
tmp_name img
draw4 26 28 "$MVG_LENS" "$img"
finish "$img" view_dlg_icon/show_small.png 26 28
tmp_name img
draw4 26 28 "$MVG_LENS line 11,8.8 11,16.2" "$img"
finish "$img" view_dlg_icon/show_max.png 26 28

tmp_name prev
draw4 36 28 "fill $ICON stroke $ICON stroke-width 2.6 stroke-linejoin round
    polygon 10,14 23,6 23,22" "$prev"
finish "$prev" view_dlg_icon/pre_image.png 36 28
tmp_name img
convert "$prev" -flop "$img"
finish "$img" view_dlg_icon/next_image.png 36 28

tmp_name rotl
draw4 22 28 "$(arc_arrow 11 15.5 6.6 75 -150 2.3 3.6 "$ICON")" "$rotl"
finish "$rotl" view_dlg_icon/left_90_degree.png 22 28
tmp_name img
convert "$rotl" -flop "$img"
finish "$img" view_dlg_icon/right_90_degree.png 22 28

tmp_name img
draw4 24 29 "$STROKE stroke-width 1.6
    roundrectangle 1.5,7.5 11,21.5 1.4,1.4
    roundrectangle 13,7.5 22.5,21.5 1.4,1.4
    fill $ICON stroke none
    polygon 3,20 6.2,15 9.5,20 circle 8.4,11 8.4,12.2
    polygon 14.5,20 17.7,15 21,20 circle 19.9,11 19.9,12.2" "$img"
finish "$img" view_dlg_icon/compare_image.png 24 29

# ---------------------------------------------------------------------------
# Small button faces
# ---------------------------------------------------------------------------
button new_button/compare.png        80 26 primary   "下一步" right
button new_button/new_item.png       57 26 secondary "新建" plus
button new_button/go_back.png        74 26 secondary "返回" left
button new_button/out_put_image.png 155 26 primary   "导出分类照片"
button new_button/see_folder.png    136 26 secondary "打开导出目录"
button new_button/updata_to_net.png 136 26 secondary "上传到云端"
button new_button/push_to_image.png 110 26 secondary "在线冲印"
button new_button/Next_Make.png      83 26 primary   "完成"
button new_button/open.png           70 26 secondary "打开目录"

# ---------------------------------------------------------------------------
# big_image/show_help.jpg 928 x 1680 - illustrated step-by-step tutorial
# ---------------------------------------------------------------------------
MVG="$TMP/help.mvg"
: >"$MVG"
m() { printf '%s\n' "$*" >>"$MVG"; }

SKY=('#BFE3FF' '#FFE0B8' '#D3F3E1' '#E6DCFB' '#FFD9D9' '#CFEAFF' '#FFF0C2' '#DDEFD0' '#E0E7FF')
MNT=('#3FA56C' '#E08E45' '#2E9E6A' '#8E6CE0' '#E06666' '#3B8FD9' '#D9A21B' '#5B9E3A' '#5C6BD6')

# thumb <x> <y> <w> <h> <k>: a schematic photo thumbnail.
thumb() {
    local k=$(($5 % ${#SKY[@]}))
    awk -v x="$1" -v y="$2" -v w="$3" -v h="$4" -v sky="${SKY[$k]}" \
        -v mnt="${MNT[$k]}" 'BEGIN {
        printf "push graphic-context stroke none fill %s rectangle %g,%g %g,%g\n", sky, x, y, x + w, y + h
        printf "fill #FFC93C circle %.2f,%.2f %.2f,%.2f\n", x + w * 0.76, y + h * 0.3, x + w * 0.76, y + h * 0.3 + h * 0.13
        printf "fill %s fill-opacity 0.55 polygon %.2f,%.2f %.2f,%.2f %.2f,%.2f %.2f,%.2f\n", mnt, \
            x + w * 0.42, y + h, x + w * 0.72, y + h * 0.5, x + w, y + h * 0.78, x + w, y + h
        printf "fill-opacity 1 polygon %.2f,%.2f %.2f,%.2f %.2f,%.2f\n", x, y + h, x + w * 0.34, y + h * 0.36, x + w * 0.74, y + h
        printf "fill none stroke #00000018 stroke-width 1 rectangle %g,%g %g,%g pop graphic-context\n", x + 0.5, y + 0.5, x + w - 0.5, y + h - 0.5
    }' >>"$MVG"
}
# tick <cx> <cy> <r>: green check badge.
tick() {
    awk -v x="$1" -v y="$2" -v r="$3" -v c="$TICK" 'BEGIN {
        printf "push graphic-context fill %s stroke #FFFFFF stroke-width %.2f circle %g,%g %g,%g\n", c, r * 0.18, x, y, x, y + r
        printf "fill none stroke #FFFFFF stroke-width %.2f stroke-linecap round stroke-linejoin round ", r * 0.26
        printf "polyline %.2f,%.2f %.2f,%.2f %.2f,%.2f pop graphic-context\n", \
            x - r * 0.45, y + r * 0.02, x - r * 0.1, y + r * 0.38, x + r * 0.48, y - r * 0.36
    }' >>"$MVG"
}
# cursor <x> <y>: mouse pointer with its tip at x,y.
cursor() {
    m "push graphic-context translate $1,$2 scale 1.15,1.15
       fill #FFFFFF stroke #1F2937 stroke-width 1.1 stroke-linejoin round
       polygon 0,0 0,17 4,13.2 6.8,19.6 9.6,18.4 6.9,12.2 12.2,12.2
       pop graphic-context"
}
# window <x0> <y0> <x1> <y1>: mini application window with a title bar.
window() {
    local x0=$1 y0=$2 x1=$3 y1=$4
    m "push graphic-context stroke none
       fill #00000012 roundrectangle $x0,$((y0 + 2)) $x1,$((y1 + 2)) 8,8
       fill #FFFFFF roundrectangle $x0,$y0 $x1,$y1 8,8
       fill #E9EEF5 roundrectangle $x0,$y0 $x1,$((y0 + 20)) 8,8
       rectangle $x0,$((y0 + 12)) $x1,$((y0 + 20))
       fill #F26D6D circle $((x0 + 11)),$((y0 + 10)) $((x0 + 14)),$((y0 + 10))
       fill #F5BE4F circle $((x0 + 21)),$((y0 + 10)) $((x0 + 24)),$((y0 + 10))
       fill #5CC46E circle $((x0 + 31)),$((y0 + 10)) $((x0 + 34)),$((y0 + 10))
       fill none stroke #C9D3E1 stroke-width 1 line $x0,$((y0 + 20)) $x1,$((y0 + 20))
       roundrectangle $x0,$y0 $x1,$y1 8,8
       pop graphic-context"
}
# txt <x> <y> <size> <colour> <start|middle|end> <font> <text>
txt() {
    m "push graphic-context stroke none fill $4 font '$6' font-size $3
       text-anchor $5 text $1,$2 '$7' pop graphic-context"
}
# folder <x> <y> <w> <h> <back colour> <front colour>
folder() {
    awk -v x="$1" -v y="$2" -v w="$3" -v h="$4" -v b="$5" -v f="$6" 'BEGIN {
        r = h * 0.1
        printf "push graphic-context stroke none fill %s roundrectangle %g,%g %g,%g %g,%g\n", b, x, y, x + w * 0.42, y + h * 0.3, r, r
        printf "roundrectangle %g,%g %g,%g %g,%g\n", x, y + h * 0.12, x + w, y + h, r, r
        printf "fill %s roundrectangle %g,%g %g,%g %g,%g pop graphic-context\n", f, x, y + h * 0.3, x + w, y + h, r, r
    }' >>"$MVG"
}
# arrow <x0> <y0> <x1> <y1> <width> <colour>: straight arrow.
arrow() {
    awk -v x0="$1" -v y0="$2" -v x1="$3" -v y1="$4" -v sw="$5" -v c="$6" 'BEGIN {
        L = sqrt((x1 - x0) ^ 2 + (y1 - y0) ^ 2); dx = (x1 - x0) / L; dy = (y1 - y0) / L
        h = sw * 3.2
        bx = x1 - dx * h; by = y1 - dy * h
        printf "push graphic-context fill none stroke %s stroke-width %g stroke-linecap round line %g,%g %.2f,%.2f\n", c, sw, x0, y0, bx, by
        printf "fill %s stroke %s stroke-width 1 stroke-linejoin round polygon %g,%g %.2f,%.2f %.2f,%.2f pop graphic-context\n", \
            c, c, x1, y1, bx - dy * h * 0.75, by + dx * h * 0.75, bx + dy * h * 0.75, by - dx * h * 0.75
    }' >>"$MVG"
}
# curve_arrow <x0> <y0> <cx> <cy> <x1> <y1> <width> <colour>: dashed quadratic
# curve from x0,y0 (control point cx,cy) with an arrow head ending at x1,y1.
curve_arrow() {
    awk -v x0="$1" -v y0="$2" -v cx="$3" -v cy="$4" -v x1="$5" -v y1="$6" \
        -v sw="$7" -v c="$8" 'BEGIN {
        dx = x1 - cx; dy = y1 - cy; L = sqrt(dx * dx + dy * dy); dx /= L; dy /= L
        h = sw * 3.6
        bx = x1 - dx * h; by = y1 - dy * h
        printf "push graphic-context fill none stroke %s stroke-width %g stroke-dasharray 7,5 stroke-linecap round stroke-linejoin round ", c, sw
        printf "path \"M %g,%g Q %g,%g %.2f,%.2f\" pop graphic-context\n", x0, y0, cx, cy, bx, by
        printf "push graphic-context fill %s stroke %s stroke-width 1 stroke-linejoin round polygon %g,%g %.2f,%.2f %.2f,%.2f pop graphic-context\n", \
            c, c, x1, y1, bx - dy * h * 0.7, by + dx * h * 0.7, bx + dy * h * 0.7, by - dx * h * 0.7
    }' >>"$MVG"
}
# cloud <cx> <cy> <s> <colour>: cloud with an up arrow, s = scale.
cloud() {
    m "push graphic-context translate $1,$2 scale $3,$3 stroke none fill $4
       circle -9,4 -9,-4.5 circle 2,-3 2,-14.5 circle 11.5,4.5 11.5,-3.5
       roundrectangle -19,2 19,14 6,6
       fill #FFFFFF stroke #FFFFFF stroke-width 1 stroke-linejoin round
       polygon 0,-6 7.5,2.5 3,2.5 3,10 -3,10 -3,2.5 -7.5,2.5
       pop graphic-context"
}
# printer <cx> <cy> <s> <colour>
printer() {
    m "push graphic-context translate $1,$2 scale $3,$3 stroke none
       fill #FFFFFF stroke $4 stroke-width 1.6 rectangle -8,-14 8,-4
       fill $4 stroke none roundrectangle -16,-6 16,8 3,3
       fill #FFFFFF stroke $4 stroke-width 1.6 rectangle -9,3 9,15
       stroke #9AA6B8 stroke-width 1.2 line -5,8 5,8 line -5,11.5 3,11.5
       fill #7CE0A0 stroke none circle 11,-1 11,0.6
       pop graphic-context"
}

W=928
H=1680
CAT_COLOURS=("$RED" "$GREEN" "$BLUE" "$ORANGE")
CAT_NAMES=("家人" "旅行" "风景" "宠物")

# Page header
m "push graphic-context stroke none fill $BLUE rectangle 0,0 $W,150
   fill #FFFFFF14 circle 860,20 860,130 circle 70,150 70,230
   pop graphic-context"
txt 464 80 40 '#FFFFFF' middle "$FB" "照片拖拽操作图文教程"
txt 464 122 19 '#DCE9FD' middle "$FR" "跟着下面 6 个步骤，轻松完成照片的挑选、分类与导出"

# step_card <index 0..5> <title> <line>...
Y0=170
STEP_H=226
STEP_GAP=14
step_card() {
    local i=$1 title=$2
    shift 2
    local y=$((Y0 + i * (STEP_H + STEP_GAP)))
    m "push graphic-context
       fill #0000000A stroke none roundrectangle 28,$((y + 2)) 900,$((y + STEP_H + 2)) 14,14
       fill #FFFFFF stroke #DCE4F0 stroke-width 1 roundrectangle 28,$y 900,$((y + STEP_H)) 14,14
       fill $BLUE stroke none circle 74,$((y + 50)) 74,$((y + 74))
       fill #F7F9FC stroke #E2E8F0 stroke-width 1 roundrectangle 488,$((y + 16)) 880,$((y + 210)) 10,10
       pop graphic-context"
    txt 74 $((y + 60)) 28 '#FFFFFF' middle "$FB" "$((i + 1))"
    txt 112 $((y + 59)) 24 "$TEXT" start "$FB" "$title"
    local ly=$((y + 108)) line
    for line in "$@"; do
        txt 56 "$ly" 17 "$TEXT2" start "$FR" "$line"
        ly=$((ly + 32))
    done
    # following illustration is drawn in the box's own coordinates
    m "push graphic-context translate 488,$((y + 16))"
}
end_card() { m "pop graphic-context"; }

# --- Step 1: choose the folder to scan -------------------------------------
step_card 0 "选择要扫描的文件夹" \
    "在开始页点击「扫描照片」按钮，" \
    "在弹出的窗口中选择存放照片的文件夹，" \
    "程序会自动扫描其中的全部照片。"
window 14 12 378 182
BX=(38 121 204 287)
BC=("$BLUE" "$GREEN" "$ORANGE" "$PURPLE")
BN=("扫描照片" "继续上次" "历史导出" "上传照片")
for k in 0 1 2 3; do
    x=${BX[$k]}
    m "push graphic-context fill #FFFFFF stroke $BORDER stroke-width 1
       roundrectangle $x,46 $((x + 67)),113 8,8
       fill ${BC[$k]} stroke none circle $((x + 33)),71 $((x + 33)),56
       pop graphic-context"
    txt $((x + 33)) 104 11 "$TEXT" middle "$FB" "${BN[$k]}"
done
m "push graphic-context fill none stroke #FFFFFF stroke-width 2.2 stroke-linecap round
   circle 69,69 69,74.5 line 73,73 77,77
   stroke-linejoin round polyline 149,65 149,77 159,71 149,65
   circle 237,71 237,79 polyline 237,66 237,71 241,73
   line 320,77 320,65 polyline 315,69 320,64 325,69
   stroke $BLUE stroke-width 3 roundrectangle 34,42 109,117 10,10
   pop graphic-context"
cursor 84 66
m "push graphic-context fill $BLUE_L stroke #B9D3FA stroke-width 1
   roundrectangle 58,130 334,168 8,8 pop graphic-context"
folder 72 140 20 16 "$FOLDER_BACK" "$FOLDER_FRONT"
txt 102 154 14 "$BLUE_D" start "$FB" "点击「扫描照片」→ 选择照片文件夹"
end_card

# --- Step 2: thumbnails appear in the middle -------------------------------
step_card 1 "缩略图出现在中间的照片区" \
    "扫描完成后，照片会以缩略图的形式" \
    "整齐地排列在窗口中间的照片区；" \
    "左侧是文件夹，右侧是分类区。"
window 14 12 378 182
m "push graphic-context stroke none fill #F3F6FA rectangle 15,33 88,181
   fill #F8FAFC rectangle 300,33 377,181
   stroke #DCE3EC stroke-width 1 line 88,33 88,181 line 300,33 300,181
   pop graphic-context"
for k in 0 1 2 3 4; do
    yy=$((44 + k * 22))
    folder 22 "$yy" 14 11 "$FOLDER_BACK" "$FOLDER_FRONT"
    m "push graphic-context fill #CBD5E1 stroke none roundrectangle 40,$((yy + 3)) $((80 - (k % 2) * 10)),$((yy + 8)) 2,2 pop graphic-context"
done
k=0
for row in 0 1 2; do
    for col in 0 1 2 3; do
        thumb $((100 + col * 48)) $((42 + row * 40)) 42 32 $k
        k=$((k + 1))
    done
done
m "push graphic-context fill none stroke $BLUE stroke-width 2 stroke-dasharray 6,4
   roundrectangle 93,37 295,159 6,6 pop graphic-context"
m "push graphic-context fill $BLUE stroke none roundrectangle 160,163 228,181 9,9 pop graphic-context"
txt 194 176 11 '#FFFFFF' middle "$FB" "照片区"
txt 338 50 11 "$TEXT" middle "$FB" "分类"
for k in 0 1 2; do
    yy=$((60 + k * 24))
    m "push graphic-context stroke none fill #FFFFFF roundrectangle 306,$yy 371,$((yy + 18)) 3,3
       fill ${CAT_COLOURS[$k]} rectangle 306,$yy 310,$((yy + 18))
       fill #CBD5E1 roundrectangle 316,$((yy + 7)) 352,$((yy + 11)) 2,2 pop graphic-context"
done
end_card

# --- Step 3: click to tick ---------------------------------------------------
step_card 2 "单击照片打勾选中（可选多张）" \
    "单击缩略图，照片左上角出现绿色对勾，" \
    "表示已经选中；继续单击其他照片，" \
    "可以一次选中多张。"
m "push graphic-context fill #FFFFFF stroke #D5DEEA stroke-width 1
   roundrectangle 14,12 378,182 8,8 pop graphic-context"
SEL=(1 0 1 0 1 0)
k=0
for row in 0 1; do
    for col in 0 1 2; do
        x=$((42 + col * 106)); y=$((24 + row * 80))
        thumb "$x" "$y" 94 68 $((k + 3))
        if [[ ${SEL[$k]} == 1 ]]; then
            m "push graphic-context fill #2F80ED22 stroke $BLUE stroke-width 3
               rectangle $((x - 1)),$((y - 1)) $((x + 95)),$((y + 69)) pop graphic-context"
            tick $((x + 9)) $((y + 9)) 10
        fi
        k=$((k + 1))
    done
done
m "push graphic-context fill #2F80ED30 stroke $BLUE stroke-width 1.6
   circle 300,138 300,127 pop graphic-context"
cursor 300 138
end_card

# --- Step 4: drag to a category ----------------------------------------------
step_card 3 "拖动照片到右侧分类" \
    "按住鼠标左键，把打勾的照片拖到" \
    "右侧的分类中，松开鼠标即可完成" \
    "归类，可一次拖动多张照片。"
m "push graphic-context fill #FFFFFF stroke #D5DEEA stroke-width 1
   roundrectangle 14,12 228,182 8,8
   roundrectangle 242,12 378,182 8,8 pop graphic-context"
SEL=(0 1 0 1 1 0 0 0 0)
k=0
for row in 0 1 2; do
    for col in 0 1 2; do
        x=$((26 + col * 66)); y=$((24 + row * 52))
        thumb "$x" "$y" 58 44 $((k + 1))
        if [[ ${SEL[$k]} == 1 ]]; then
            m "push graphic-context fill #2F80ED22 stroke $BLUE stroke-width 2.5
               rectangle $x,$y $((x + 58)),$((y + 44)) pop graphic-context"
            tick $((x + 7)) $((y + 7)) 7
        fi
        k=$((k + 1))
    done
done
txt 310 34 12 "$TEXT" middle "$FB" "分类"
for k in 0 1 2; do
    yy=$((46 + k * 44))
    if [[ $k == 1 ]]; then
        m "push graphic-context fill $BLUE_L stroke $BLUE stroke-width 2 stroke-dasharray 5,3
           roundrectangle 250,$yy 370,$((yy + 34)) 5,5 pop graphic-context"
    else
        m "push graphic-context fill #FFFFFF stroke #D5DEEA stroke-width 1
           roundrectangle 250,$yy 370,$((yy + 34)) 5,5 pop graphic-context"
    fi
    m "push graphic-context stroke none fill ${CAT_COLOURS[$k]}
       roundrectangle 256,$((yy + 9)) 272,$((yy + 25)) 3,3 pop graphic-context"
    txt 280 $((yy + 22)) 13 "$TEXT" start "$FR" "${CAT_NAMES[$k]}"
done
curve_arrow 150 62 300 -4 322 88 2.5 "$BLUE"
m "push graphic-context stroke none fill #00000026 rectangle 319,96 357,124 pop graphic-context"
thumb 312 89 38 28 2
thumb 316 93 38 28 4
m "push graphic-context fill none stroke $BLUE stroke-width 2 rectangle 316,93 354,121 pop graphic-context"
m "push graphic-context fill $RED stroke #FFFFFF stroke-width 1.5 circle 356,93 356,101.5 pop graphic-context"
txt 356 97.5 11 '#FFFFFF' middle "$FB" "3"
cursor 328 102
end_card

# --- Step 5: name the categories ---------------------------------------------
step_card 4 "给分类命名" \
    "点击分类的命名框，输入名称，例如" \
    "“家人”“旅行”“风景”；每个分类都有" \
    "自己的颜色标记，一目了然。"
m "push graphic-context fill #FFFFFF stroke #D5DEEA stroke-width 1
   roundrectangle 14,12 378,182 8,8 pop graphic-context"
txt 32 40 14 "$TEXT" start "$FB" "分类"
m "push graphic-context fill #FFFFFF stroke $BLUE stroke-width 1
   roundrectangle 300,22 362,44 5,5
   stroke-width 1.6 stroke-linecap round line 313,33 321,33 line 317,29 317,37
   pop graphic-context"
txt 326 38 12 "$BLUE" start "$FR" "新建"
NAMES=("家人" "旅行" "风")
COUNTS=("12 张" "36 张" "8 张")
for k in 0 1 2; do
    yy=$((56 + k * 40))
    m "push graphic-context stroke none fill ${CAT_COLOURS[$k]}
       roundrectangle 32,$((yy + 7)) 50,$((yy + 25)) 4,4 pop graphic-context"
    if [[ $k == 2 ]]; then
        m "push graphic-context fill #FFFFFF stroke $BLUE stroke-width 2
           roundrectangle 62,$yy 290,$((yy + 32)) 5,5 pop graphic-context"
    else
        m "push graphic-context fill #FFFFFF stroke #CBD5E1 stroke-width 1
           roundrectangle 62,$yy 290,$((yy + 32)) 5,5 pop graphic-context"
    fi
    txt 74 $((yy + 22)) 14 "$TEXT" start "$FR" "${NAMES[$k]}"
    txt 362 $((yy + 21)) 12 "#8A94A6" end "$FR" "${COUNTS[$k]}"
done
# text caret after the name being typed, and the pointer
m "push graphic-context stroke $TEXT stroke-width 1.4 line 91,144 91,160 pop graphic-context"
cursor 236 150
end_card

# --- Step 6: next step, export / upload / print ------------------------------
step_card 5 "点击“下一步”导出照片" \
    "点击“下一步”，每个分类会导出到" \
    "各自的文件夹中；也可以选择" \
    "上传到云端，或者在线冲印。"
window 14 12 158 182
k=0
for row in 0 1; do
    for col in 0 1; do
        thumb $((28 + col * 62)) $((40 + row * 44)) 54 38 $((k + 5))
        m "push graphic-context stroke none fill ${CAT_COLOURS[$k]}
           rectangle $((28 + col * 62)),$((40 + row * 44)) $((32 + col * 62)),$((78 + row * 44))
           pop graphic-context"
        k=$((k + 1))
    done
done
m "push graphic-context fill $BLUE stroke $BLUE_D stroke-width 1
   roundrectangle 40,140 132,166 5,5
   fill #FFFFFF stroke #FFFFFF stroke-width 0.8 stroke-linejoin round
   polygon 101,148.5 107,153 101,157.5 pop graphic-context"
txt 76 158 13 '#FFFFFF' middle "$FR" "下一步"
cursor 116 154
arrow 166 97 196 97 3.5 "$BLUE"
for k in 0 1 2; do
    x=$((210 + k * 58))
    folder "$x" 26 44 34 "${CAT_COLOURS[$k]}" "${CAT_COLOURS[$k]}"
    m "push graphic-context stroke none fill #FFFFFF55
       roundrectangle $x,$((26 + 10)) $((x + 44)),60 3,3 pop graphic-context"
    txt $((x + 22)) 78 12 "$TEXT" middle "$FR" "${CAT_NAMES[$k]}"
done
txt 293 100 11 "#8A94A6" middle "$FR" "— 也可以 —"
m "push graphic-context fill #FFFFFF stroke #D5DEEA stroke-width 1
   roundrectangle 206,110 288,176 8,8
   roundrectangle 298,110 380,176 8,8 pop graphic-context"
cloud 247 134 1.0 "$BLUE"
txt 247 167 11 "$TEXT" middle "$FR" "上传到云端"
printer 339 134 0.95 '#5B6B82'
txt 339 167 11 "$TEXT" middle "$FR" "在线冲印"
end_card

# Footer tip
m "push graphic-context fill #FFF8E6 stroke #F2D49B stroke-width 1
   roundrectangle 28,1612 900,1656 10,10
   fill #F2994A stroke none circle 56,1634 56,1645 pop graphic-context"
txt 56 1639.5 15 '#FFFFFF' middle "$FB" "!"
txt 76 1640 16 '#8A5A12' start "$FR" "小提示：遇到问题时，可通过菜单「帮助」→「联系客服」获得帮助。"

tmp_name img
convert -size ${W}x${H} xc:'#F3F6FB' -draw "$(cat "$MVG")" "$img"
finish "$img" big_image/show_help.jpg "$W" "$H"

echo "Done."
