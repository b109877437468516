#!/bin/bash
# Compares the art encoder with JPEG on one picture: encodes it as art with the
# given options, finds the cjpeg quality whose file size is closest to the
# art file's, and prints both sizes and PSNRs (ImageMagick's compare).
# usage: tools/art-vs-jpeg.sh QUENNEL_ART IMAGE [encode options...]
set -eu
tool=$1; image=$2; shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert "$image" -type TrueColor "$work/src.ppm"
"$tool" encode "$image" "$work/pic.art" "$@" >/dev/null
"$tool" decode "$work/pic.art" "$work/art.png"
artSize=$(stat -c %s "$work/pic.art")
psnr() { compare -metric PSNR "$work/src.ppm" "$1" /dev/null 2>&1 || true; }
best=1; bestDiff=999999999
lo=1; hi=100
while [ "$lo" -le "$hi" ]; do                 # sizes grow with the quality
  q=$(((lo + hi) / 2))
  size=$(cjpeg -quality "$q" -optimize "$work/src.ppm" | wc -c)
  diff=$((size > artSize ? size - artSize : artSize - size))
  if [ "$diff" -lt "$bestDiff" ]; then best=$q; bestDiff=$diff; fi
  if [ "$size" -lt "$artSize" ]; then lo=$((q + 1)); else hi=$((q - 1)); fi
done
cjpeg -quality "$best" -optimize "$work/src.ppm" >"$work/pic.jpg"
djpeg -outfile "$work/jpg.ppm" "$work/pic.jpg"
printf '%s: art %d bytes, PSNR %s dB; JPEG (quality %d) %d bytes, PSNR %s dB\n' "$(basename "$image")" \
  "$artSize" "$(psnr "$work/art.png")" "$best" "$(stat -c %s "$work/pic.jpg")" "$(psnr "$work/jpg.ppm")"
