#!/usr/bin/env python3
"""Draws Quorrin's icon and writes packaging/quorrin.ico and packaging/icons/quorrin-N.png.

The picture is a small framed field of 4 x 4 cells whose drainage joins into one branching
stream that leaves the field through the bottom edge, where an arrowhead marks the outlet.
Stream widths grow with the number of cells draining through them.

Only the standard library is used. Run it by hand after changing the artwork and commit the
outputs; the build never runs it:

    python3 packaging/make-icons.py
"""

import pathlib
import struct
import zlib

HERE = pathlib.Path(__file__).resolve().parent

# Drainage of the pictured field: cell (column, row) -> the neighbour it drains into.
# (2, 3) drains South out of the field.
DRAINS_TO = {
    (0, 0): (0, 1), (1, 0): (1, 1), (0, 1): (1, 1), (1, 1): (1, 2), (0, 2): (1, 2),
    (1, 2): (2, 2), (3, 0): (2, 0), (2, 0): (2, 1), (2, 1): (2, 2), (3, 1): (3, 2),
    (3, 2): (3, 3), (3, 3): (2, 3), (0, 3): (1, 3), (1, 3): (2, 3), (2, 2): (2, 3),
}
OUTLET = (2, 3)
CELLS = 4

# Layout per pixel size. Everything except the arrowhead lands on whole pixels, so the small
# sizes stay crisp; stream widths are chosen odd or even to match where the cell centres fall.
#   cell: cell edge, frame: frame thickness, grid: grid line thickness (0 = none),
#   widths: stream widths for small, middle and large upstream areas, top: top margin.
LAYOUTS = {
    16: dict(cell=3, frame=1, grid=0, widths=(1, 1, 1), top=0),
    32: dict(cell=6, frame=2, grid=1, widths=(2, 2, 4), top=0),
    48: dict(cell=9, frame=2, grid=1, widths=(3, 3, 5), top=1),
    64: dict(cell=12, frame=2, grid=1, widths=(2, 4, 6), top=1),
    128: dict(cell=24, frame=4, grid=2, widths=(4, 6, 10), top=2),
    256: dict(cell=48, frame=6, grid=2, widths=(8, 12, 18), top=4),
}

# Drawing order, bottom to top.
ROLES = ("paper", "grid", "frame", "stream")

RGB = {
    "paper": (255, 255, 255),
    "grid": (212, 221, 232),
    "frame": (70, 84, 102),
    "stream": (28, 96, 196),
}

# The standard 16-colour palette, and which entry each part of the picture uses.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
INDEX16 = {"paper": 15, "grid": 7, "frame": 8, "stream": 12}
MONO = [(0, 0, 0), (255, 255, 255)]
INDEX2 = {"paper": 1, "grid": 1, "frame": 0, "stream": 0}


def upstream_cells():
    """Number of cells draining through each cell, itself included."""
    count = {}

    def area(cell):
        if cell not in count:
            count[cell] = 1 + sum(area(src) for src, dst in DRAINS_TO.items() if dst == cell)
        return count[cell]

    for cell in [OUTLET, *DRAINS_TO]:
        area(cell)
    return count


class Canvas:
    """Per-part coverage (0..1) of each pixel; overlapping shapes of one part take the maximum."""

    def __init__(self, size):
        self.size = size
        self.cover = {role: [[0.0] * size for _ in range(size)] for role in ROLES}

    def rect(self, role, x0, y0, x1, y1):
        layer = self.cover[role]
        for y in range(max(0, int(y0)), min(self.size, int(y1) + 1)):
            cy = min(y + 1, y1) - max(y, y0)
            if cy <= 0:
                continue
            for x in range(max(0, int(x0)), min(self.size, int(x1) + 1)):
                cx = min(x + 1, x1) - max(x, x0)
                if cx > 0:
                    layer[y][x] = max(layer[y][x], cx * cy)

    def triangle(self, role, pts, samples=8):
        layer = self.cover[role]
        (ax, ay), (bx, by), (cx, cy) = pts

        def inside(px, py):
            d1 = (px - bx) * (ay - by) - (ax - bx) * (py - by)
            d2 = (px - cx) * (by - cy) - (bx - cx) * (py - cy)
            d3 = (px - ax) * (cy - ay) - (cx - ax) * (py - ay)
            neg = d1 < 0 or d2 < 0 or d3 < 0
            pos = d1 > 0 or d2 > 0 or d3 > 0
            return not (neg and pos)

        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        for y in range(max(0, int(min(ys))), min(self.size, int(max(ys)) + 1)):
            for x in range(max(0, int(min(xs))), min(self.size, int(max(xs)) + 1)):
                hits = sum(
                    inside(x + (i + 0.5) / samples, y + (j + 0.5) / samples)
                    for i in range(samples) for j in range(samples))
                layer[y][x] = max(layer[y][x], hits / (samples * samples))


def span(centre, width):
    """A run of whole pixels of the given width centred as nearly as possible on centre."""
    start = round(centre - width / 2)
    return start, start + width


def draw(size):
    lay = LAYOUTS[size]
    c, f, g, top = lay["cell"], lay["frame"], lay["grid"], lay["top"]
    outer = CELLS * c + 2 * f
    left = (size - outer) // 2
    x_cells, y_cells = left + f, top + f
    canvas = Canvas(size)

    canvas.rect("paper", left, top, left + outer, top + outer)
    for side in ((left, top, left + outer, top + f),
                 (left, top + outer - f, left + outer, top + outer),
                 (left, top, left + f, top + outer),
                 (left + outer - f, top, left + outer, top + outer)):
        canvas.rect("frame", *side)
    if g:
        for k in range(1, CELLS):
            gx0, gx1 = span(x_cells + k * c, g)
            gy0, gy1 = span(y_cells + k * c, g)
            canvas.rect("grid", gx0, y_cells, gx1, y_cells + CELLS * c)
            canvas.rect("grid", x_cells, gy0, x_cells + CELLS * c, gy1)

    def centre(cell):
        return x_cells + (cell[0] + 0.5) * c, y_cells + (cell[1] + 0.5) * c

    area = upstream_cells()
    small, middle, large = lay["widths"]

    def width(cell):
        return small if area[cell] <= 2 else middle if area[cell] <= 5 else large

    def segment(a, b, w):
        (ax, ay), (bx, by) = a, b
        if ay == by:
            y0, y1 = span(ay, w)
            x0, _ = span(min(ax, bx), w)
            _, x1 = span(max(ax, bx), w)
        else:
            x0, x1 = span(ax, w)
            y0, _ = span(min(ay, by), w)
            _, y1 = span(max(ay, by), w)
        canvas.rect("stream", x0, y0, x1, y1)

    for src, dst in DRAINS_TO.items():
        segment(centre(src), centre(dst), width(src))

    # The outlet stream crosses the bottom frame and ends in an arrowhead below the field.
    ox, oy = centre(OUTLET)
    base = top + outer
    tip = size if size <= 32 else size - max(1, size // 64)
    segment((ox, oy), (ox, base), width(OUTLET))
    half = max(1.5, (tip - base) * 0.85)
    canvas.triangle("stream", [(ox - half, base), (ox + half, base), (ox, tip)])
    return canvas


def to_rgba(canvas):
    rows = []
    for y in range(canvas.size):
        row = bytearray()
        for x in range(canvas.size):
            r = g = b = a = 0.0
            for role in ROLES:
                k = canvas.cover[role][y][x]
                if k <= 0:
                    continue
                cr, cg, cb = RGB[role]
                # Premultiplied "over".
                r, g, b = cr * k + r * (1 - k), cg * k + g * (1 - k), cb * k + b * (1 - k)
                a = k + a * (1 - k)
            if a > 0:
                r, g, b = r / a, g / a, b / a
            row += bytes((round(r), round(g), round(b), round(a * 255)))
        rows.append(bytes(row))
    return rows


def to_indexed(canvas, index):
    """Palette index per pixel (None = transparent): the topmost part covering at least half."""
    rows = []
    for y in range(canvas.size):
        row = []
        for x in range(canvas.size):
            chosen = None
            for role in ROLES:
                if canvas.cover[role][y][x] >= 0.5:
                    chosen = index[role]
            row.append(chosen)
        rows.append(row)
    return rows


def png(rows, size):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = b"".join(b"\x00" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def pack_bits(values, bits):
    """Packs small integers MSB first into bytes, padded to a multiple of 4 bytes (DIB rows)."""
    out = bytearray()
    acc = used = 0
    for v in values:
        acc = (acc << bits) | v
        used += bits
        if used == 8:
            out.append(acc)
            acc = used = 0
    if used:
        out.append(acc << (8 - used))
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def dib(pixels, size, bits, palette):
    """An icon image: BITMAPINFOHEADER, palette, colour (XOR) bitmap and AND mask, bottom-up."""
    xor = b"".join(pack_bits([0 if p is None else p for p in row], bits)
                   for row in reversed(pixels))
    mask = b"".join(pack_bits([1 if p is None else 0 for p in row], 1)
                    for row in reversed(pixels))
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0,
                         len(xor) + len(mask), 0, 0, len(palette), 0)
    quads = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + quads + xor + mask


def ico(images):
    """images: (size, bits, palette length, DIB bytes)."""
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    body = b""
    for size, bits, colours, data in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, colours % 256, 0, 1, bits,
                                 len(data), offset)
        offset += len(data)
        body += data
    return directory + body


def main():
    canvases = {size: draw(size) for size in LAYOUTS}

    icons = HERE / "icons"
    icons.mkdir(exist_ok=True)
    for size, canvas in canvases.items():
        (icons / f"quorrin-{size}.png").write_bytes(png(to_rgba(canvas), size))

    entries = [
        (32, 1, MONO, to_indexed(canvases[32], INDEX2)),
        (32, 4, VGA16, to_indexed(canvases[32], INDEX16)),
        (16, 4, VGA16, to_indexed(canvases[16], INDEX16)),
    ]
    (HERE / "quorrin.ico").write_bytes(
        ico([(size, bits, len(pal), dib(px, size, bits, pal)) for size, bits, pal, px in entries]))


if __name__ == "__main__":
    main()
