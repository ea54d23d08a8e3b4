#!/usr/bin/python3
"""Pictures of real panels, read without any imaging library.

    pixels.py xwd-crop XWD X Y W H OUT.png
        Cuts a rectangle out of an X screenshot (xwd -root) into a PNG.
    pixels.py png-crop PNG X Y W H OUT.png
        The same for a PNG screenshot (grim, GNOME's Screenshot).
    pixels.py contrast ICON.png [PANEL.png]
        How legible the digits are: the icon laid over the panel's most
        common colour (when a picture of the panel is given; an icon cut
        from the screen is already on it), then in its lower two thirds
        (below the bar) the contrast ratio between the darkest and the
        lightest twentieth of the pixels: the digits against what is
        around them, halo or panel. Prints the ratio.
    pixels.py colour PNG
        The most common colour of a picture, as #rrggbb.
    pixels.py find ICON.png SCREEN.png
        Where the panel shows the icon: the centre of the pixels of the
        icon's bar colour (its top rows' most common opaque colour) on
        the screen picture, as "X Y"; nothing when none is there.
"""
import collections
import struct
import sys
import zlib


def read_xwd(path):
    data = open(path, "rb").read()
    header = struct.unpack(">25I", data[:100])
    size, fmt, depth, width, height = header[0], header[2], header[3], header[4], header[5]
    byte_order, bpp, bpl, ncolors = header[7], header[11], header[12], header[19]
    if fmt != 2 or bpp not in (24, 32):
        raise SystemExit("xwd: only 24- and 32-bit ZPixmap screenshots are read")
    step = bpp // 8
    start = size + ncolors * 12
    rows = []
    for y in range(height):
        line = data[start + y * bpl:start + y * bpl + width * step]
        row = []
        for x in range(width):
            p = line[step * x:step * x + step]
            if byte_order == 0:  # least significant byte first: B G R
                row.append((p[2], p[1], p[0], 255))
            else:
                row.append((p[step - 3], p[step - 2], p[step - 1], 255))
        rows.append(row)
    return rows


def read_png(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit(path + ": not a PNG")
    pos, idat, width, height, ctype = 8, b"", 0, 0, 6
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, ctype = struct.unpack(">IIBB", body[:10])
            if depth != 8 or ctype not in (2, 6):
                raise SystemExit(path + ": only 8-bit RGB or RGBA")
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    channels = 4 if ctype == 6 else 3
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, prev = [], bytearray(stride)
    for y in range(height):
        f = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = prev[i]
            c = prev[i - channels] if i >= channels else 0
            if f == 1:
                line[i] = (line[i] + a) & 255
            elif f == 2:
                line[i] = (line[i] + b) & 255
            elif f == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        prev = line
        rows.append([tuple(line[x * channels:x * channels + channels]) + ((255,) if channels == 3 else ())
                     for x in range(width)])
    return rows


def write_png(path, rows):
    height, width = len(rows), len(rows[0]) if rows else 0
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def crop(rows, x, y, w, h):
    return [row[x:x + w] for row in rows[y:y + h]]


def most_common(rows):
    return collections.Counter(p[:3] for row in rows for p in row).most_common(1)[0][0]


def luminance(rgb):
    def lin(c):
        c /= 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = rgb
    return 0.2126 * lin(r) + 0.7152 * lin(g) + 0.0722 * lin(b)


def contrast(icon, panel):
    height = len(icon)
    values = []
    for row in icon[height // 3:]:
        for r, g, b, a in row:
            mix = tuple((c * a + p * (255 - a)) / 255 for c, p in zip((r, g, b), panel))
            values.append(luminance(mix))
    values.sort()
    n = max(1, len(values) // 20)
    dark = sum(values[:n]) / n
    light = sum(values[-n:]) / n
    return (light + 0.05) / (dark + 0.05)


def main(argv):
    what = argv[1]
    if what in ("xwd-crop", "png-crop"):
        rows = (read_xwd if what == "xwd-crop" else read_png)(argv[2])
        x, y, w, h = (int(v) for v in argv[3:7])
        write_png(argv[7], crop(rows, x, y, w, h))
    elif what == "contrast":
        icon = read_png(argv[2])
        panel = most_common(read_png(argv[3])) if len(argv) > 3 else (0, 0, 0)
        print("%.1f" % contrast(icon, panel))
    elif what == "find":
        icon = read_png(argv[2])
        bar = collections.Counter(p[:3] for row in icon[:len(icon) // 4] for p in row
                                  if p[3] == 255).most_common(1)[0][0]
        hits = [(x, y) for y, row in enumerate(read_png(argv[3])) for x, p in enumerate(row)
                if all(abs(a - b) <= 40 for a, b in zip(p[:3], bar))]
        if hits:
            print(sum(x for x, _ in hits) // len(hits), sum(y for _, y in hits) // len(hits))
    elif what == "colour":
        print("#%02x%02x%02x" % most_common(read_png(argv[2])))
    else:
        raise SystemExit(__doc__)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
