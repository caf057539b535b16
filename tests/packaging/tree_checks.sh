# shellcheck shell=bash
# Checks shared by the install and package tests (sourced). Both are called with the build
# folder and the program targets that must be installed.

# begin BUILD_DIR PROGRAM...: sets build, programs and scratch (a folder removed at exit).
# shellcheck disable=SC2034 # the variables are for the scripts that source this file
begin() {
    build=$1
    shift
    programs=("$@")
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# png_size FILE: prints "WIDTHxHEIGHT" from the PNG header, or nothing when FILE is no PNG.
png_size() {
    local bytes
    read -r -a bytes <<<"$(od -An -tu1 -N24 -w24 "$1")"
    [ "${#bytes[@]}" -eq 24 ] || return 0
    [ "${bytes[1]} ${bytes[2]} ${bytes[3]}" = "80 78 71" ] || return 0 # "PNG"
    echo "$(((bytes[16] << 24) | (bytes[17] << 16) | (bytes[18] << 8) | bytes[19]))x$(((bytes[20] << 24) | (bytes[21] << 16) | (bytes[22] << 8) | bytes[23]))"
}

# check_tree ROOT PROGRAM...: exactly the programs, the desktop entry and the icons, all usable.
check_tree() {
    local root=$1
    shift
    local expected actual program
    expected=$(
        for program in "$@"; do echo "usr/bin/$program"; done
        echo usr/share/applications/vellora.desktop
        echo usr/share/icons/hicolor/256x256/apps/vellora.png
        echo usr/share/icons/hicolor/64x64/apps/vellora.png
    )
    expected=$(sort <<<"$expected")
    actual=$(cd "$root" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort)
    if [ "$expected" != "$actual" ]; then
        diff <(echo "$expected") <(echo "$actual") >&2 || true
        fail "installed files differ from the expected list (< expected, > installed)"
    fi

    for program in "$@"; do
        [ -x "$root/usr/bin/$program" ] || fail "$program is not executable"
        [ "$(head -c4 "$root/usr/bin/$program" | od -An -c | tr -d ' ')" = '177ELF' ] ||
            fail "$program is not an ELF program"
    done

    local entry=$root/usr/share/applications/vellora.desktop
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$entry" || fail "desktop entry does not validate"
    fi
    grep -qx 'Type=Application' "$entry" || fail "desktop entry is no application"
    grep -qx 'Name=Vellora' "$entry" || fail "desktop entry is not named Vellora"
    grep -q '^Name\[zh_CN\]=.' "$entry" || fail "desktop entry has no Chinese name"
    grep -qx 'Categories=Graphics;Photography;' "$entry" || fail "desktop entry categories"
    local command icon
    command=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    [ -x "$root/usr/bin/$command" ] || fail "Exec=$command is not an installed program"
    icon=$(sed -n 's/^Icon=//p' "$entry")
    local size file
    for size in 64 256; do
        file=$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
        [ "$(png_size "$file")" = "${size}x${size}" ] ||
            fail "icon $file is not a ${size}x${size} PNG"
    done
}
