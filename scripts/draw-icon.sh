#!/usr/bin/env bash
# Draws Quillow's icon (two desktops, the front one veiled) and writes
# src/res/Quillow.ico with the usual sizes. Run it by hand after changing the
# drawing; the build uses the committed icon.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 256x256 xc:none \
    -fill '#1d4e6b' -draw 'roundrectangle 8,8 247,247 44,44' \
    -fill '#2f7fa8' -draw 'roundrectangle 20,20 235,235 36,36' \
    -fill '#9fd3ec' -draw 'roundrectangle 44,52 172,148 10,10' \
    -fill '#1d4e6b' -draw 'rectangle 54,62 162,138' \
    -fill '#ffffff' -draw 'roundrectangle 84,100 212,196 10,10' \
    -fill '#f2b544' -draw 'rectangle 84,100 212,120' \
    -fill '#dde9ef' -draw 'rectangle 94,128 202,186' \
    -fill '#1d4e6b' -draw 'polygon 120,206 176,206 164,196 132,196' \
    "$work/icon-256.png"

sizes=(16 24 32 48 64 128 256)
frames=()
for size in "${sizes[@]}"; do
    convert "$work/icon-256.png" -resize "${size}x${size}" "$work/icon-$size.png"
    frames+=("$work/icon-$size.png")
done
convert "${frames[@]}" "$root/src/res/Quillow.ico"
echo "wrote src/res/Quillow.ico"
