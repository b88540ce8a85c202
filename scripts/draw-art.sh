#!/usr/bin/env bash
# Draws Quillow's art: the icon (two desktops, the front one veiled) as
# src/res/Quillow.ico in the usual sizes, and the settings window's background
# as src/res/FrameBackground.png. Run it by hand after changing a drawing; the
# build uses the committed files.
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

# Stretched over the whole frame, so a soft vertical gradient with a lighter
# band where the tab bar sits.
convert -size 472x352 gradient:'#f4f8fb'-'#d3e3ee' \
    -fill '#1d4e6b' -draw 'rectangle 0,0 471,2' \
    -fill '#2f7fa8' -draw 'rectangle 0,300 471,351' \
    -fill '#9fd3ec' -draw 'rectangle 0,300 471,301' \
    -define png:color-type=6 "$root/src/res/FrameBackground.png"
echo "wrote src/res/FrameBackground.png"
