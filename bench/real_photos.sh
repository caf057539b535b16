#!/usr/bin/env bash
# Sourced by the scripts that build picture sets from real photographs: prints the paths of the
# photographs (not drawings or renders) that two Debian wallpaper packages ship, installing the
# packages when they are missing (as root, or through sudo). At least 12 are found or it fails.
#   mate-backgrounds: 12 photographs, 1280 to 2560 pixels wide
#   plasma-workspace-wallpapers: 10 photographs, 2560 pixels wide
real_photos() {
    local packages=(mate-backgrounds plasma-workspace-wallpapers) missing=() p
    for p in "${packages[@]}"; do
        dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "installing ${missing[*]} for its photographs" >&2
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo="sudo"
        $sudo apt-get update -qq >&2
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
    fi
    local mate=/usr/share/backgrounds/mate/nature plasma=/usr/share/wallpapers name found=()
    for name in Aqua Blinds Dune FreshFlower Garden GreenMeadow LadyBird RainDrops Storm TwoWings Wood \
        YellowFlower; do
        [ -f "$mate/$name.jpg" ] && found+=("$mate/$name.jpg")
    done
    for name in BytheWater ColorfulCups DarkestHour EveningGlow FallenLeaf Grey Kite OneStandsOut Path \
        summer_1am; do
        local image=$plasma/$name/contents/images/2560x1600.jpg
        [ -f "$image" ] || image=$(ls -S "$plasma/$name/contents/images/"*.jpg 2>/dev/null | head -1)
        [ -n "$image" ] && [ -f "$image" ] && found+=("$image")
    done
    if [ ${#found[@]} -lt 12 ]; then
        echo "only ${#found[@]} photographs found" >&2
        return 1
    fi
    printf '%s\n' "${found[@]}"
}
