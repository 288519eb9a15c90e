#!/usr/bin/env python3
"""Draws the editor's bitmaps and icon into resources/images/.

Small images are pixel art kept as character grids, written as 8-bit
palette BMPs: the toolbar and the resource loader can then map the light
grey background (192, 192, 192) to the desktop's button face. Tree images
sit on white, the colour of a tree view. The wizard pictures are drawn with
a few shapes and written as 24-bit BMPs. The icon holds 16 x 16 and
32 x 32 images with their masks.

    python3 scripts/make-images.py [--preview FOLDER | --check]

--preview also writes each picture enlarged as PNG, to look at; --check
writes nothing and fails when a committed picture differs from what the
script draws.
"""

import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources", "images")

BUTTON_FACE = (192, 192, 192)
WHITE = (255, 255, 255)

# One palette for every grid; '.' is the background of the image.
COLOURS = {
    "k": (32, 32, 40),  # outline
    "w": (255, 255, 255),
    "g": (212, 212, 212),
    "d": (112, 112, 120),
    "y": (250, 206, 80),  # folder
    "o": (204, 150, 40),
    "n": (132, 84, 28),  # wood, folder edge
    "b": (44, 96, 204),
    "B": (24, 44, 120),
    "c": (156, 196, 244),
    "r": (210, 44, 44),
    "R": (130, 22, 22),
    "G": (48, 150, 64),
    "l": (148, 214, 124),
    "s": (255, 236, 60),  # spark
}

GRIDS = {
    "new": """
..kkkkkkkk...s..
..kwwwwwwkk.sss.
..kwwwwwwkgk.s..
..kwwwwwwkkkk...
..kwwwwwwwwwk...
..kwddddddwwk...
..kwwwwwwwwwk...
..kwddddddddk...
..kwwwwwwwwwk...
..kwddddddddk...
..kwwwwwwwwwk...
..kwddddddwwk...
..kwwwwwwwwwk...
..kwwwwwwwwwk...
..kkkkkkkkkkk...
................
""",
    "import": """
.....kkkkkkkk...
.....kwwwwwwkk..
.....kwwwwwwkgk.
.....kwwwwwwkkkk
.....kwddddddwwk
.....kwwwwwwwwwk
...G.kwddddddddk
...GG.wwwwwwwwwk
GGGGGGwddddddddk
GGGGGGGwwwwwwwwk
GGGGGGwddddddwwk
...GG.wwwwwwwwwk
...G.kwddddddddk
.....kwwwwwwwwwk
.....kkkkkkkkkkk
................
""",
    "open": """
................
..nnnn..........
.nyyyyn.........
.nyyyyynnnnnnn..
.nyyyyyyyyyyyn..
.nyyyyyyyyyyyn..
.nyyynnnnnnnnnnn
.nyynoooooooooon
.nynoooooooooon.
.nynooooooooon..
.nnoooooooooon..
.nnooooooooon...
.nooooooooooon..
.nnnnnnnnnnnn...
................
................
""",
    "save": """
................
.kkkkkkkkkkkkkk.
.kbbwwwwwwwwbbk.
.kbbwddddddwbbk.
.kbbwwwwwwwwbbk.
.kbbwddddddwbbk.
.kbbwwwwwwwwbbk.
.kbbbbbbbbbbbbk.
.kbbbbbbbbbbbbk.
.kbbggggggggbbk.
.kbbgBBgggggbbk.
.kbbgBBgggggbbk.
.kbbgBBgggggbbk.
..kbggggggggbbk.
...kkkkkkkkkkkk.
................
""",
    "publish": """
................
..kkkkkkkkkkkk..
..kddddddddddk..
..kdkkkkkkkkdk..
..kdkcccccckdk..
..kdkcBBBBckdk..
..kdkcccccckdk..
..kdkcBBBcckdk..
..kdkcccccckdk..
..kdkcBBBBckdk..
..kdkcccccckdk..
..kdkkkkkkkkdk..
..kddddddddddk..
..kddGdddrrddk..
..kddddddddddk..
..kkkkkkkkkkkk..
""",
    "manifest": """
...kkkkkkkkkk...
...kwwwwwwwwk...
...kwwwwwwwwk...
...kwbbwddddk...
...kwbbwwwwwk...
...kwwwwwwwwk...
...kwbbwddddk...
...kwbbwwwwwk...
...kwwwwwwwwk...
...kwbbwddddk...
...kwbbwwwwwk...
...kwwwwwwwwk...
...kwbbwdddwk...
...kwbbwwwwwk...
...kkkkkkkkkk...
................
""",
    "spine": """
................
.kkkk...........
.krrk.kkkk......
.kRRk.kbbk......
.krrk.kBBk.kkkk.
.krrk.kbbk.kGGk.
.krrk.kbbk.kllk.
.krrk.kbbk.kGGk.
.krrk.kbbk.kGGk.
.krrk.kbbk.kGGk.
.kRRk.kbbk.kGGk.
.krrk.kBBk.kllk.
.krrk.kbbk.kGGk.
.kkkkkkkkkkkkkk.
................
................
""",
    "metadata": """
................
......kkkkkkkk..
.....kyyyyyyyyk.
....kyyyyyyyyyk.
...kyykkyyyyyyk.
..kyyykwkyyyyyk.
.kyyyyykkyyyyyk.
.kyyyyyyyyyyyyk.
.kyyyyyyyyyyyyk.
..kyyyyyoooyyyk.
...kyyyyyyyyyyk.
....kyyyoooooyk.
.....kyyyyyyyyk.
......kkkkkkkk..
................
................
""",
    "tours": """
................
..kk............
..knkkkkkkkkk...
..knkrrrrrrrrk..
..knkrrrrrrrrrk.
..knkrrrrrrrrk..
..knkrrrrrrrk...
..knkrrrrrrrrk..
..knkkkkkkkkkk..
..knk...........
..knk...........
..knk...........
..knk...........
.kknkk..........
.kGGGGk.........
................
""",
    "guide": """
......kk........
......kn........
.kkkkkknkkkkk...
.kwwwwwnwwwwwk..
.kwbbbwnwbbbwwk.
.kwwwwwnwwwwwk..
.kkkkkknkkkkk...
...kkkknkkkkkkk.
..kwwwwnwwwwwwk.
.kwwbbbnwbbbwwk.
..kwwwwnwwwwwwk.
...kkkknkkkkkkk.
......kn........
......kn........
....kkknkkk.....
....kGGGGGk.....
""",
    "href": """
.....kkkkkk.....
...kkbbbbbbkk...
..kbbGGbbbbbbk..
.kbGGGGbbbbGbbk.
.kbGGGGGbbGGGbk.
kbbbGGGbbbbGGbbk
kbbbbGbbbbbbbbbk
kbbbbGGbbbbbbbbk
kbbbbbGGGbbbbbbk
kbbbbbbGGGGbbbbk
.kbbbbbGGGGbbbk.
.kbbbbbbGGbbbbk.
..kbbbbbGbbbbk..
...kkbbbbbbkk...
.....kkkkkk.....
................
""",
    "folder": """
................
................
..nnnnn.........
.nyyyyyn........
.nyyyyyynnnnnnn.
.nyyyyyyyyyyyyn.
.noooooooooooon.
.nyyyyyyyyyyyyn.
.nyyyyyyyyyyyyn.
.nyyyyyyyyyyyyn.
.nyyyyyyyyyyyyn.
.nyyyyyyyyyyyyn.
.nooooooooooooon
.nnnnnnnnnnnnnn.
................
................
""",
    "icon": """
..kkkkkkkkkkkk..
.kBbbbbbbbbbbkk.
.kBbbbbbbbbbbkwk
.kBbbsssssbbbkwk
.kBbsbbbbbsbbkwk
.kBbsbbbbbsbbkwk
.kBbsbbbbbsbbkwk
.kBbsbbbsbsbbkwk
.kBbbsssssbbbkwk
.kBbbbbbbbsbbkwk
.kBbbbbbbbbbbkwk
.kBbbbbbbbbbbkwk
.kBbbbbrrbbbbkwk
.kBkkkkrrkkkkkwk
..kwwwwrrwwwwwk.
...kkkkrkkkkkk..
""",
}

TOOLBAR = ["new", "import", "open", "save", "publish"]  # image order 0 to 4

TREE = {
    "IDB_MANIFEST": "manifest",
    "IDB_SPINE": "spine",
    "IDB_METADATA": "metadata",
    "IDB_TOURS": "tours",
    "IDB_GUIDE": "guide",
    "IDB_HREF": "href",
    "IDB_FOLDER": "folder",
}

TABS = {
    "IDB_TAB_MANIFEST": "manifest",
    "IDB_TAB_SPINE": "spine",
    "IDB_TAB_METADATA": "metadata",
    "IDB_TAB_TOURS": "tours",
    "IDB_TAB_GUIDE": "guide",
}


def main():
    global write_file
    preview = None
    stale = []
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        preview = sys.argv[2]
        os.makedirs(preview, exist_ok=True)
    elif len(sys.argv) == 2 and sys.argv[1] == "--check":
        write_file = lambda name, data: compare_file(name, data, stale)
    elif len(sys.argv) != 1:
        sys.exit(__doc__)
    os.makedirs(OUT, exist_ok=True)
    pictures = {}

    for name, grid in TREE.items():
        pictures[name.lower()] = grid_picture(GRIDS[grid], WHITE)
    for name, grid in TABS.items():
        pictures[name.lower()] = grid_picture(GRIDS[grid], BUTTON_FACE)
    pictures["idb_btn_folder"] = grid_picture(GRIDS["open"], BUTTON_FACE)
    pictures["toolbar"] = side_by_side([grid_picture(GRIDS[g], BUTTON_FACE) for g in TOOLBAR])

    for name, pixels in pictures.items():
        write_file(f"{name}.bmp", palette_bmp(pixels))
    watermark = draw_backcolor(164, 314)
    side = draw_side_picture(164, 314)
    write_file("idb_backcolor.bmp", rgb_bmp(watermark))
    write_file("side.bmp", rgb_bmp(side))

    icon16 = grid_picture(GRIDS["icon"], None)
    icon32 = draw_icon32()
    write_file("quirebound.ico", ico_file([icon16, icon32]))

    if stale:
        sys.exit("out of date (run scripts/make-images.py): " + ", ".join(stale))
    if preview:
        pictures["idb_backcolor"] = watermark
        pictures["side"] = side
        pictures["icon16"] = icon16
        pictures["icon32"] = icon32
        for name, pixels in pictures.items():
            scale = 1 if len(pixels) > 100 else 8
            with open(os.path.join(preview, f"{name}.png"), "wb") as f:
                f.write(png_file(pixels, scale))


# ---- pictures as rows of (r, g, b) or None for transparent -------------


def grid_picture(grid, background):
    rows = [line for line in grid.strip("\n").split("\n")]
    assert len(rows) == 16 and all(len(r) == 16 for r in rows), rows
    return [[background if ch == "." else COLOURS[ch] for ch in row] for row in rows]


def side_by_side(pictures):
    return [sum((p[y] for p in pictures), []) for y in range(len(pictures[0]))]


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def vertical_gradient(width, height, top, bottom):
    return [[mix(top, bottom, y / (height - 1))] * width for y in range(height)]


def draw_backcolor(width, height):
    # A quiet wash: it shows behind the welcome text and in the page header.
    return vertical_gradient(width, height, (250, 252, 255), (200, 218, 240))


def draw_side_picture(width, height):
    pixels = vertical_gradient(width, height, (22, 46, 110), (60, 128, 190))
    pixels = [row[:] for row in pixels]
    cx, top = width / 2, height * 0.55
    # An open book: two pages leaning outwards, lines of text on each.
    left = [(cx, top + 8), (cx - 62, top - 6), (cx - 62, top + 70), (cx, top + 84)]
    right = [(cx, top + 8), (cx + 62, top - 6), (cx + 62, top + 70), (cx, top + 84)]
    cover = [(cx, top + 14), (cx - 68, top), (cx - 68, top + 78), (cx, top + 92), (cx + 68, top + 78),
             (cx + 68, top), (cx, top + 14)]
    fill_polygon(pixels, cover, (16, 30, 70))
    fill_polygon(pixels, left, (250, 248, 238))
    fill_polygon(pixels, right, (244, 240, 226))
    for i in range(7):
        y0 = top + 6 + i * 9
        for side in (-1, 1):
            x_near, x_far = cx + side * 8, cx + side * 54
            line = [(x_near, y0 + 8), (x_far, y0), (x_far, y0 + 2.2), (x_near, y0 + 10.2)]
            fill_polygon(pixels, line, (150, 160, 180))
    # A ribbon marker down the middle.
    fill_polygon(pixels, [(cx - 3, top + 10), (cx + 3, top + 10), (cx + 3, top + 110), (cx, top + 104),
                          (cx - 3, top + 110)], (210, 44, 44))
    # A ring above the book, the program's mark.
    ring(pixels, cx, height * 0.27, 34, 24, (250, 206, 80))
    fill_polygon(pixels, [(cx + 14, height * 0.27 + 16), (cx + 24, height * 0.27 + 12),
                          (cx + 42, height * 0.27 + 40), (cx + 32, height * 0.27 + 44)], (250, 206, 80))
    return pixels


def draw_icon32():
    size = 32
    pixels = [[None] * size for _ in range(size)]
    fill_polygon(pixels, [(4, 3), (27, 3), (27, 29), (4, 29)], COLOURS["k"])
    fill_polygon(pixels, [(27, 5), (30, 5), (30, 30), (27, 30)], COLOURS["k"])
    fill_polygon(pixels, [(27, 6), (29, 6), (29, 29), (27, 29)], WHITE)
    fill_polygon(pixels, [(5, 29), (30, 29), (30, 31), (5, 31)], COLOURS["k"])
    fill_polygon(pixels, [(6, 29), (29, 29), (29, 30), (6, 30)], WHITE)
    fill_polygon(pixels, [(5, 4), (26, 4), (26, 28), (5, 28)], COLOURS["b"])
    fill_polygon(pixels, [(5, 4), (8, 4), (8, 28), (5, 28)], COLOURS["B"])
    ring(pixels, 17, 15, 7.5, 4.8, COLOURS["s"])
    fill_polygon(pixels, [(19, 18), (21.5, 17), (25, 23), (22.5, 24)], COLOURS["s"])
    fill_polygon(pixels, [(14, 28), (18, 28), (18, 32), (16, 30.5), (14, 32)], COLOURS["r"])
    return pixels


def fill_polygon(pixels, points, colour, samples=4):
    """Fills with coverage blending against what is already there."""
    height, width = len(pixels), len(pixels[0])
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    for y in range(max(0, int(min(ys))), min(height, int(max(ys)) + 1)):
        for x in range(max(0, int(min(xs))), min(width, int(max(xs)) + 1)):
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    if inside(points, x + (sx + 0.5) / samples, y + (sy + 0.5) / samples):
                        hits += 1
            blend(pixels, x, y, colour, hits / (samples * samples))


def ring(pixels, cx, cy, outer, inner, colour, samples=4):
    height, width = len(pixels), len(pixels[0])
    for y in range(max(0, int(cy - outer)), min(height, int(cy + outer) + 1)):
        for x in range(max(0, int(cx - outer)), min(width, int(cx + outer) + 1)):
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    dx = x + (sx + 0.5) / samples - cx
                    dy = y + (sy + 0.5) / samples - cy
                    if inner * inner <= dx * dx + dy * dy <= outer * outer:
                        hits += 1
            blend(pixels, x, y, colour, hits / (samples * samples))


def blend(pixels, x, y, colour, coverage):
    if coverage <= 0:
        return
    under = pixels[y][x]
    if under is None:
        # The icon has no backdrop: a pixel is either drawn or see-through.
        pixels[y][x] = colour if coverage >= 0.5 else None
    else:
        pixels[y][x] = mix(under, colour, coverage)


def inside(points, x, y):
    result = False
    j = len(points) - 1
    for i in range(len(points)):
        xi, yi = points[i]
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


# ---- file formats ---------------------------------------------------------


def write_file(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def compare_file(name, data, stale):
    try:
        with open(os.path.join(OUT, name), "rb") as f:
            same = f.read() == data
    except OSError:
        same = False
    if not same:
        stale.append(name)


def bmp_file(info, palette, rows_bottom_up):
    pixel_data = b"".join(rows_bottom_up)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixel_data), 0, 0, offset)
    return header + info + palette + pixel_data


def info_header(width, height, bits, colours_used, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 2835, 2835,
                       colours_used, 0)


def pad_row(row):
    return row + b"\0" * (-len(row) % 4)


def palette_bmp(pixels):
    colours = []
    for row in pixels:
        for c in row:
            if c not in colours:
                colours.append(c)
    assert len(colours) <= 256
    index = {c: i for i, c in enumerate(colours)}
    rows = [pad_row(bytes(index[c] for c in row)) for row in reversed(pixels)]
    palette = b"".join(struct.pack("<BBBB", c[2], c[1], c[0], 0) for c in colours)
    width, height = len(pixels[0]), len(pixels)
    info = info_header(width, height, 8, len(colours), sum(map(len, rows)))
    return bmp_file(info, palette, rows)


def rgb_bmp(pixels):
    rows = [pad_row(b"".join(bytes((c[2], c[1], c[0])) for c in row)) for row in reversed(pixels)]
    info = info_header(len(pixels[0]), len(pixels), 24, 0, sum(map(len, rows)))
    return bmp_file(info, b"", rows)


def ico_file(images):
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for pixels in images:
        size = len(pixels)
        colour_rows = [
            b"".join(bytes((0, 0, 0, 0)) if c is None else bytes((c[2], c[1], c[0], 255)) for c in row)
            for row in reversed(pixels)
        ]
        mask_rows = []
        for row in reversed(pixels):
            bits = 0
            for c in row:
                bits = (bits << 1) | (1 if c is None else 0)
            mask_rows.append(pad_row(bits.to_bytes(size // 8, "big")))
        blob = info_header(size, size * 2, 32, 0, 0) + b"".join(colour_rows) + b"".join(mask_rows)
        entries.append(struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


def png_file(pixels, scale):
    checker = [(204, 204, 204), (255, 255, 255)]
    raw = b""
    for y, row in enumerate(pixels):
        line = b""
        for x, c in enumerate(row):
            if c is None:
                c = checker[(x // 2 + y // 2) % 2]
            line += bytes(c) * scale
        raw += (b"\0" + line) * scale
    width, height = len(pixels[0]) * scale, len(pixels) * scale

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")


if __name__ == "__main__":
    main()
