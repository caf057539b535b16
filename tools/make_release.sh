#!/usr/bin/env bash
# Makes a release for the updater, as the stand-in service serves it with --release OUT_DIR:
#   tools/make_release.sh OUT_DIR VERSION SOURCE
# SOURCE is a folder (zipped with its sub-folders) or an existing .zip file (used byte for byte,
# so odd archives can be served too). Writes OUT_DIR/Vellora.zip and OUT_DIR/version.js carrying
# the archive's sha256 and an Ed25519 signature over the release number and that sha256 together.
#
# Signing uses the development key tools/release-dev-secret.key unless VELLORA_RELEASE_KEY names
# another; the signing helper is build/bin/vellora-release-sign unless VELLORA_RELEASE_SIGN names it.
set -euo pipefail

if [ $# -ne 3 ]; then
    echo "usage: $0 OUT_DIR VERSION SOURCE" >&2
    exit 2
fi
out_dir=$1
version=$2
source=$3
here=$(cd "$(dirname "$0")" && pwd)
sign=${VELLORA_RELEASE_SIGN:-$here/../build/bin/vellora-release-sign}
key=${VELLORA_RELEASE_KEY:-$here/release-dev-secret.key}

if ! [[ $version =~ ^[0-9]+$ ]]; then
    echo "VERSION must be a whole number: $version" >&2
    exit 2
fi
mkdir -p "$out_dir"
out_dir=$(cd "$out_dir" && pwd)
archive=$out_dir/Vellora.zip

if [ -d "$source" ]; then
    rm -f "$archive"
    # -X leaves out extra attributes that differ between machines; modes are kept.
    (cd "$source" && zip -q -r -X "$archive" .)
elif [ -f "$source" ]; then
    if [ "$(cd "$(dirname "$source")" && pwd)/$(basename "$source")" != "$archive" ]; then
        cp "$source" "$archive"
    fi
else
    echo "SOURCE is neither a folder nor a file: $source" >&2
    exit 2
fi

read -r sha256 signature < <("$sign" release "$key" "$version" "$archive")
if [ -z "$signature" ] || [ "$sha256" != "$(sha256sum "$archive" | cut -d' ' -f1)" ]; then
    echo "signing failed" >&2
    exit 1
fi
cat > "$out_dir/version.js" <<JSON
{
    "version": $version,
    "soft_path": "Vellora.zip",
    "soft_update": {
        "sha256": "$sha256",
        "signature": "$signature"
    }
}
JSON
