#!/usr/bin/python3
"""The wallpaper bitmaps that quennel-art render writes, read back by two
independent readers (Pillow and ImageMagick) at every depth and at screen
widths with and without row padding; each must look like the art.

usage: bitmap_readers.py QUENNEL_ART QUENNEL_PALETTE WORK_FOLDER
Ends with one line "N passed, N failed"."""
import os
import subprocess
import sys

from PIL import Image, ImageFilter

art_tool, palette_tool, work = sys.argv[1:4]
os.makedirs(work, exist_ok=True)
passed = failed = 0


def check(ok, what):
    global passed, failed
    if ok:
        passed += 1
    else:
        failed += 1
        print("FAILED:", what)


# A source picture: soft gradients and a disc, 1024 x 768.
width, height = 1024, 768
source = Image.new("RGB", (width, height))
pixels = source.load()
for y in range(height):
    for x in range(width):
        inside = (x - 512) ** 2 + (y - 384) ** 2 < 200 ** 2
        pixels[x, y] = (230, 200, 40) if inside else (255 * x // width, 128, 255 * y // height)
source_path = os.path.join(work, "source.png")
source.save(source_path)
art = os.path.join(work, "test.ART")
palette = os.path.join(work, "test.tr")
decoded_path = os.path.join(work, "decoded.png")
subprocess.run([art_tool, "encode", source_path, art, "--pieces", "4"], check=True, stdout=subprocess.DEVNULL)
subprocess.run([palette_tool, source_path, palette], check=True, stdout=subprocess.DEVNULL)
subprocess.run([art_tool, "decode", art, decoded_path], check=True)
decoded = Image.open(decoded_path).convert("RGB")

sizes = [(640, 480), (800, 600), (1366, 768), (1920, 1080), (3840, 2160)]
for depth in (8, 16, 24):
    for w, h in sizes:
        out = os.path.join(work, f"wall-{depth}-{w}.bmp")
        subprocess.run([art_tool, "render", art, palette, "--size", f"{w}x{h}", "--depth", str(depth), "-o", out],
                       check=True)
        name = f"{depth} bits, {w} x {h}"
        with open(out, "rb") as f:
            header = f.read(54)
        bits = int.from_bytes(header[28:30], "little")
        row = (w * bits // 8 + 3) & ~3
        check(bits == depth, f"{name}: {bits} bits in the header")
        check(os.path.getsize(out) == 1078 + row * h, f"{name}: file size with padded rows")

        identify = subprocess.run(["identify", "-format", "%w %h", out], capture_output=True, text=True)
        check(identify.returncode == 0 and identify.stdout.split() == [str(w), str(h)],
              f"{name}: ImageMagick reads {identify.stdout!r} {identify.stderr.strip()}")

        picture = Image.open(out)
        picture.load()
        check(picture.size == (w, h), f"{name}: Pillow reads {picture.size}")
        check(picture.mode == ("P" if depth == 8 else "RGB"), f"{name}: Pillow mode {picture.mode}")

        # Like the art: the decoded picture scaled to the screen, both blurred
        # to take the dithering out; the top line (the picture's last row,
        # black after scaling) is left out.
        want = decoded.resize((w, h), Image.BILINEAR).filter(ImageFilter.BoxBlur(2))
        got = picture.convert("RGB").filter(ImageFilter.BoxBlur(2))
        a, b = want.tobytes(), got.tobytes()
        start = w * 3 * 4
        end = len(a) - w * 3 * 4
        error = sum(abs(a[i] - b[i]) for i in range(start, end, 97)) / len(range(start, end, 97))
        limit = {8: 12, 16: 6, 24: 6}[depth]
        print(f"{name}: mean error {error:.2f} levels against the decoded art (limit {limit})")
        check(error < limit, f"{name}: mean error {error:.2f}")

print(f"{passed} passed, {failed} failed")
sys.exit(1 if failed else 0)
