#!/usr/bin/env python3
"""check_bmp.py FILE WIDTH HEIGHT [PAGE]: exit 0 when FILE is a complete
32-bit BMP of WIDTH x HEIGHT whose colour band shows page PAGE of the sample
site; without PAGE only the file itself is checked."""
import struct
import sys

from serve import page_colour

# A point inside the band, left of the page number and clear of the bars.
SAMPLE_X, SAMPLE_Y = 60, 350


def main():
    path, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    page = int(sys.argv[4]) if len(sys.argv) > 4 else None
    data = open(path, "rb").read()
    if data[:2] != b"BM" or len(data) < 54:
        sys.exit("%s: not a BMP file" % path)
    size, offset = struct.unpack_from("<I4xI", data, 2)
    w, h, planes, bpp = struct.unpack_from("<iiHH", data, 18)
    problems = []
    if size != len(data):
        problems.append("file size field %d, file %d bytes" % (size, len(data)))
    if (w, h, bpp) != (width, height, 32):
        problems.append("%dx%d at %d bits, expected %dx%d at 32" % (w, h, bpp, width, height))
    if not problems and page is not None:
        row = h - 1 - SAMPLE_Y   # rows are stored bottom-up
        b, g, r = data[offset + (row * w + SAMPLE_X) * 4: offset + (row * w + SAMPLE_X) * 4 + 3]
        want = page_colour(page)
        if max(abs(r - want[0]), abs(g - want[1]), abs(b - want[2])) > 40:
            best = min(range(1, 13), key=lambda p: sum(abs(a - c) for a, c in zip((r, g, b), page_colour(p))))
            problems.append("pixel (%d,%d) is %s, page %d is %s (looks like page %d)"
                            % (SAMPLE_X, SAMPLE_Y, (r, g, b), page, want, best))
    if problems:
        sys.exit("%s: %s" % (path, "; ".join(problems)))


if __name__ == "__main__":
    main()
