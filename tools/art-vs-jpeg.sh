#!/bin/bash
# Compares the art encoder with JPEG on one picture: makes a JPEG with cjpeg
# at the given quality (4:2:0, optimised Huffman tables), finds the art
# quality whose file is nearest the JPEG's size, and prints both sizes and
# PSNRs (over blue, green and red, as ImageMagick's compare counts it).
# usage: tools/art-vs-jpeg.sh QUENNEL_ART IMAGE JPEG_QUALITY [encode options...]
set -eu
if [ $# -lt 3 ]; then
  sed -n '2,6p' "$0" >&2
  exit 2
fi
tool=$1; image=$2; jpegQuality=$3; shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert "$image" -type TrueColor "$work/src.ppm"
psnr() { compare -metric PSNR "$work/src.ppm" "$1" /dev/null 2>&1 || true; }

cjpeg -quality "$jpegQuality" -optimize "$work/src.ppm" >"$work/pic.jpg"
djpeg -outfile "$work/jpg.ppm" "$work/pic.jpg"
jpegSize=$(stat -c %s "$work/pic.jpg")

best=0; bestDiff=999999999; lo=1; hi=100
while [ "$lo" -le "$hi" ]; do                 # art sizes grow with the quality
  q=$(((lo + hi) / 2))
  "$tool" encode "$image" "$work/q$q.art" --quality "$q" "$@" >/dev/null
  size=$(stat -c %s "$work/q$q.art")
  diff=$((size > jpegSize ? size - jpegSize : jpegSize - size))
  if [ "$diff" -lt "$bestDiff" ]; then best=$q; bestDiff=$diff; fi
  if [ "$size" -lt "$jpegSize" ]; then lo=$((q + 1)); else hi=$((q - 1)); fi
done
"$tool" decode "$work/q$best.art" "$work/art.png"
printf '%s: JPEG quality %d: %d bytes, PSNR %s dB; art quality %d: %d bytes, PSNR %s dB\n' \
  "$(basename "$image")" "$jpegQuality" "$jpegSize" "$(psnr "$work/jpg.ppm")" \
  "$best" "$(stat -c %s "$work/q$best.art")" "$(psnr "$work/art.png")"
