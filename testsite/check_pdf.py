#!/usr/bin/env python3
"""check_pdf.py PDF TITLE BMP...: exit 0 when PDF, as poppler reads it, has
one page per BMP in their order, the Title TITLE, and every page rendered at
96 dpi equals its BMP pixel for pixel (the BMP's fourth byte aside)."""
import os
import struct
import subprocess
import sys
import tempfile


def bmp_rgb(path):
    data = open(path, "rb").read()
    offset, = struct.unpack_from("<I", data, 10)
    w, h = struct.unpack_from("<ii", data, 18)
    bpp, = struct.unpack_from("<H", data, 28)
    if bpp != 32:
        sys.exit("%s: %d bits per pixel" % (path, bpp))
    rows = []
    for r in range(abs(h)):
        stored = abs(h) - 1 - r if h > 0 else r
        row = data[offset + stored * w * 4: offset + (stored + 1) * w * 4]
        rgb = bytearray(w * 3)
        rgb[0::3], rgb[1::3], rgb[2::3] = row[2::4], row[1::4], row[0::4]
        rows.append(bytes(rgb))
    return w, abs(h), b"".join(rows)


def ppm(path):
    data = open(path, "rb").read()
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    magic, w, h, _ = fields
    if magic != b"P6":
        sys.exit("%s: not a binary PPM" % path)
    return int(w), int(h), data[at + 1:]


def main():
    pdf, title, bmps = sys.argv[1], sys.argv[2], sys.argv[3:]
    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True)
    if info.returncode != 0:
        sys.exit("%s: pdfinfo fails: %s" % (pdf, info.stderr.strip()))
    fields = dict(line.split(":", 1) for line in info.stdout.splitlines() if ":" in line)
    problems = []
    if fields.get("Pages", "").strip() != str(len(bmps)):
        problems.append("%s pages for %d pictures" % (fields.get("Pages", "?").strip(), len(bmps)))
    if fields.get("Title", "").strip() != title:
        problems.append("title %r" % fields.get("Title", "").strip())
    with tempfile.TemporaryDirectory() as out:
        subprocess.run(["pdftoppm", "-r", "96", pdf, os.path.join(out, "p")], check=True)
        pages = sorted(os.listdir(out), key=lambda n: int(n[2:].split(".")[0]))
        for n, (page, bmp) in enumerate(zip(pages, bmps), 1):
            pw, ph, pixels = ppm(os.path.join(out, page))
            bw, bh, want = bmp_rgb(bmp)
            if (pw, ph) != (bw, bh):
                problems.append("page %d is %dx%d, %s is %dx%d" % (n, pw, ph, bmp, bw, bh))
            elif pixels != want:
                differ = sum(1 for i in range(0, len(want), 3) if pixels[i:i + 3] != want[i:i + 3])
                problems.append("page %d: %d pixels differ from %s" % (n, differ, bmp))
    if problems:
        sys.exit("%s: %s" % (pdf, "; ".join(problems)))


if __name__ == "__main__":
    main()
