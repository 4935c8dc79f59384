#!/usr/bin/env python3
"""Draws Quorrin's icon and writes packaging/quorrin.ico and packaging/icons/quorrin-N.png.

usage: make-icons.py [--check] SIZE...

The picture is a small framed field of 4 x 4 cells whose drainage joins into one branching
stream that leaves the field through the bottom edge, where an arrowhead marks the outlet.
Stream widths grow with the number of cells draining through them.

Pillow draws and writes the PNGs, one for each SIZE; the icon file's 1- and 4-bit images, which
Pillow does not write, are written here. Run it after changing the artwork, with the sizes that
QUORRIN_ICON_SIZES lists in the top CMakeLists.txt, and commit the outputs:

    python3 packaging/make-icons.py SIZE...

With --check it writes nothing and fails unless the committed files are what it draws (the
PNGs compared by their pixels, the icon file byte for byte); the release build's tests run that
with the build's sizes.
"""

import pathlib
import struct
import sys

from PIL import Image, ImageDraw

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
# The parts are drawn 8 times larger and shrunk, which smooths the arrowhead's slanted edges.
SAMPLES = 8

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


def span(centre, width):
    """A run of whole pixels of the given width centred as nearly as possible on centre."""
    start = round(centre - width / 2)
    return start, start + width


def draw(size):
    """Each part's coverage of the pixels, 0 to 255, as one greyscale image per part."""
    lay = LAYOUTS[size]
    c, f, g, top = lay["cell"], lay["frame"], lay["grid"], lay["top"]
    outer = CELLS * c + 2 * f
    left = (size - outer) // 2
    x_cells, y_cells = left + f, top + f
    layers = {role: Image.new("L", (size * SAMPLES,) * 2) for role in ROLES}

    def rect(role, x0, y0, x1, y1):
        ImageDraw.Draw(layers[role]).rectangle(
            (x0 * SAMPLES, y0 * SAMPLES, x1 * SAMPLES - 1, y1 * SAMPLES - 1), fill=255)

    rect("paper", left, top, left + outer, top + outer)
    for side in ((left, top, left + outer, top + f),
                 (left, top + outer - f, left + outer, top + outer),
                 (left, top, left + f, top + outer),
                 (left + outer - f, top, left + outer, top + outer)):
        rect("frame", *side)
    if g:
        for k in range(1, CELLS):
            gx0, gx1 = span(x_cells + k * c, g)
            gy0, gy1 = span(y_cells + k * c, g)
            rect("grid", gx0, y_cells, gx1, y_cells + CELLS * c)
            rect("grid", x_cells, gy0, x_cells + CELLS * c, gy1)

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
        rect("stream", x0, y0, x1, y1)

    for src, dst in DRAINS_TO.items():
        segment(centre(src), centre(dst), width(src))

    # The outlet stream crosses the bottom frame and ends in an arrowhead below the field.
    ox, oy = centre(OUTLET)
    base = top + outer
    tip = size if size <= 32 else size - max(1, size // 64)
    segment((ox, oy), (ox, base), width(OUTLET))
    half = max(1.5, (tip - base) * 0.85)
    ImageDraw.Draw(layers["stream"]).polygon(
        [(x * SAMPLES, y * SAMPLES) for x, y in ((ox - half, base), (ox + half, base), (ox, tip))], fill=255)
    return {role: layer.reduce(SAMPLES) for role, layer in layers.items()}


def to_rgba(cover):
    """The parts in their colours, each over the ones below it."""
    image = Image.new("RGBA", cover["paper"].size)
    for role in ROLES:
        part = Image.new("RGBA", image.size, RGB[role])
        part.putalpha(cover[role])
        image = Image.alpha_composite(image, part)
    return image


def to_indexed(cover, index):
    """Palette index per pixel (None = transparent): the topmost part covering at least half."""
    size = cover["paper"].width
    chosen = [None] * (size * size)
    for role in ROLES:
        for i, value in enumerate(cover[role].getdata()):
            if value >= 128:
                chosen[i] = index[role]
    return [chosen[y * size:(y + 1) * size] for y in range(size)]


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


def main(check, sizes):
    covers = {size: draw(size) for size in {*sizes, 16, 32}}
    pngs = {HERE / "icons" / f"quorrin-{size}.png": to_rgba(covers[size]) for size in sizes}
    entries = [
        (32, 1, MONO, to_indexed(covers[32], INDEX2)),
        (32, 4, VGA16, to_indexed(covers[32], INDEX16)),
        (16, 4, VGA16, to_indexed(covers[16], INDEX16)),
    ]
    icon_file = ico([(size, bits, len(pal), dib(px, size, bits, pal)) for size, bits, pal, px in entries])

    if not check:
        (HERE / "icons").mkdir(exist_ok=True)
        for path, image in pngs.items():
            image.save(path, optimize=True)
        (HERE / "quorrin.ico").write_bytes(icon_file)
        return 0
    stale = [path for path, image in pngs.items() if not path.exists() or not same_pixels(path, image)]
    if not (HERE / "quorrin.ico").exists() or (HERE / "quorrin.ico").read_bytes() != icon_file:
        stale.append(HERE / "quorrin.ico")
    for path in stale:
        print(f"{path}: not what make-icons.py draws", file=sys.stderr)
    return 1 if stale else 0


def same_pixels(path, image):
    with Image.open(path) as committed:
        return committed.mode == image.mode and committed.size == image.size and committed.tobytes() == image.tobytes()


if __name__ == "__main__":
    check = sys.argv[1:2] == ["--check"]
    sizes = sys.argv[2:] if check else sys.argv[1:]
    if not sizes or not all(size.isdigit() for size in sizes):
        sys.exit(__doc__)
    for size in sizes:
        if int(size) not in LAYOUTS:
            sys.exit(f"make-icons.py: no layout for icons of {size} pixels; LAYOUTS has {', '.join(map(str, LAYOUTS))}")
    sys.exit(main(check, [int(size) for size in sizes]))
