#!/usr/bin/env python3
"""Draws Kelvane's tray button icons, its application icon and the pictures of
the playlist window's trees.

    python3 tools/draw_icons.py [--out DIR] [--preview PNG]

Writes <DIR>/icon/{Prev,Play,Pause,Stop,Next,Eject}.ico (for dark taskbars, and
any taskbar in high contrast), the same names under <DIR>/icon/light/ for light
taskbars, <DIR>/kelvane.ico, the
options dialog's <DIR>/option.ico and <DIR>/tree/{Artist,Album}.ico (DIR defaults
to resources/ beside this script). Each file holds 16, 20, 24,
32, 40, 48 and 64 pixel images as 32-bit BMP entries with an AND mask, the
form that LoadImage understands on every Windows version and on Wine. The
application icon also carries a 256 pixel PNG entry for Explorer's large views.

Only the Python standard library is used, and the output is byte-for-byte
reproducible. Shapes are described in a 16-unit design grid; straight edges
are snapped to whole pixels at every size so that the glyphs stay crisp in the
tray, and coverage is found by supersampling each pixel.
"""

import argparse
import math
import os
import struct
import zlib

SIZES = (16, 20, 24, 32, 40, 48, 64)
SUPERSAMPLE = 8


# --- shapes: each answers whether a point (in pixels) is inside -------------

class RoundRect:
    def __init__(self, x0, y0, x1, y1, radius):
        self.x0, self.y0, self.x1, self.y1, self.r = x0, y0, x1, y1, radius
        self.bbox = (x0, y0, x1, y1)

    def contains(self, x, y):
        if x < self.x0 or x >= self.x1 or y < self.y0 or y >= self.y1:
            return False
        r = self.r
        cx = min(max(x, self.x0 + r), self.x1 - r)
        cy = min(max(y, self.y0 + r), self.y1 - r)
        dx, dy = x - cx, y - cy
        return dx * dx + dy * dy <= r * r


class Ring:
    """The band between two circles about one centre; with `below` set, only
    its part under that line (a smile)."""

    def __init__(self, cx, cy, r0, r1, below=None):
        self.cx, self.cy, self.r0, self.r1, self.below = cx, cy, r0, r1, below
        self.bbox = (cx - r1, cy - r1, cx + r1, cy + r1)

    def contains(self, x, y):
        if self.below is not None and y < self.below:
            return False
        d = (x - self.cx) ** 2 + (y - self.cy) ** 2
        return self.r0 * self.r0 <= d <= self.r1 * self.r1


def Circle(cx, cy, r):
    return RoundRect(cx - r, cy - r, cx + r, cy + r, r)


def Rect(x0, y0, x1, y1):
    return RoundRect(x0, y0, x1, y1, 0.0)


class Polygon:
    def __init__(self, points):
        self.points = points
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self.bbox = (min(xs), min(ys), max(xs), max(ys))

    def contains(self, x, y):
        inside = False
        pts = self.points
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y):
                xc = xi + (y - yi) * (xj - xi) / (yj - yi)
                if x < xc:
                    inside = not inside
            j = i
        return inside


# --- raster: premultiplied RGBA floats, painted layer by layer --------------

class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def paint(self, shape, colour):
        """Paints shape with colour (an (r, g, b, a) tuple or a function of the
        pixel row giving one), source over what is already there."""
        n = self.size
        bx0, by0, bx1, by1 = shape.bbox
        x0 = max(0, int(math.floor(bx0)))
        y0 = max(0, int(math.floor(by0)))
        x1 = min(n, int(math.ceil(bx1)))
        y1 = min(n, int(math.ceil(by1)))
        step = 1.0 / SUPERSAMPLE
        offsets = [(i + 0.5) * step for i in range(SUPERSAMPLE)]
        total = SUPERSAMPLE * SUPERSAMPLE
        for py in range(y0, y1):
            c = colour(py + 0.5) if callable(colour) else colour
            for px in range(x0, x1):
                hits = 0
                for oy in offsets:
                    for ox in offsets:
                        if shape.contains(px + ox, py + oy):
                            hits += 1
                if not hits:
                    continue
                a = c[3] * hits / total
                d = self.px[py * n + px]
                keep = 1.0 - a
                d[0] = c[0] * a + d[0] * keep
                d[1] = c[1] * a + d[1] * keep
                d[2] = c[2] * a + d[2] * keep
                d[3] = a + d[3] * keep

    def rgba_rows(self):
        """Rows top to bottom of straight (not premultiplied) 8-bit RGBA."""
        n = self.size
        rows = []
        for y in range(n):
            row = bytearray()
            for x in range(n):
                r, g, b, a = self.px[y * n + x]
                if a <= 0.0:
                    row += b"\0\0\0\0"
                    continue
                row += bytes((_byte(r / a), _byte(g / a), _byte(b / a), _byte(a)))
            rows.append(bytes(row))
        return rows


def _byte(v):
    return max(0, min(255, int(math.floor(v * 255.0 + 0.5))))


def hex_colour(text, alpha=1.0):
    v = int(text.lstrip("#"), 16)
    return ((v >> 16 & 255) / 255.0, (v >> 8 & 255) / 255.0, (v & 255) / 255.0, alpha)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(4))


# --- the design grid ---------------------------------------------------------

class Grid:
    """Maps the 16-unit design grid onto a bitmap of `size` pixels. snap()
    rounds away from the centre so that shapes mirrored about the centre stay
    mirrored after snapping (Python's round() would break ties unevenly)."""

    def __init__(self, size, scale=1.0):
        self.size = size
        self.k = size * scale / 16.0
        self.c = size / 2.0

    def snap(self, v):
        d = (v - 8.0) * self.k
        m = math.floor(abs(d) + 0.5)
        return self.c + (m if d >= 0 else -m)

    def free(self, v):
        return self.c + (v - 8.0) * self.k

    def rect(self, x0, y0, x1, y1):
        return Rect(self.snap(x0), self.snap(y0), self.snap(x1), self.snap(y1))

    def tri(self, *points):
        """A triangle whose vertices are snapped on the axes given as 's' and
        left free on those given as 'f': ((x, 's'), (y, 'f')) and so on."""
        out = []
        for (x, xm), (y, ym) in points:
            out.append((self.snap(x) if xm == "s" else self.free(x),
                        self.snap(y) if ym == "s" else self.free(y)))
        return Polygon(out)


def S(v):
    return (v, "s")


def F(v):
    return (v, "f")


# --- glyphs, in the 16-unit grid (the badge's inside is 1..15) --------------

def glyph_play(g):
    return [g.tri((S(5), S(3)), (S(5), S(13)), (F(13), S(8)))]


def glyph_pause(g):
    return [g.rect(4, 3.5, 7, 12.5), g.rect(9, 3.5, 12, 12.5)]


def glyph_stop(g):
    return [g.rect(4, 4, 12, 12)]


def glyph_next(g):
    return [g.tri((S(2.5), S(4)), (S(2.5), S(12)), (F(7.5), S(8))),
            g.tri((S(7), S(4)), (S(7), S(12)), (F(12), S(8))),
            g.rect(11.5, 4, 13.5, 12)]


def glyph_prev(g):
    return [g.rect(2.5, 4, 4.5, 12),
            g.tri((S(9), S(4)), (S(9), S(12)), (F(4), S(8))),
            g.tri((S(13.5), S(4)), (S(13.5), S(12)), (F(8.5), S(8)))]


def glyph_eject(g):
    return [g.tri((F(8), S(3)), (S(2.5), S(9)), (S(13.5), S(9))),
            g.rect(3, 10, 13, 12.5)]


WHITE = (1.0, 1.0, 1.0, 1.0)

# Badge colours (top of the gradient, bottom of the gradient). Deep enough for
# a white glyph to read, light enough to stand out on a black taskbar; the dark
# rim does the work on a white one.
BUTTONS = {
    "Prev": (glyph_prev, "#4a8ff0", "#1d58b8"),
    "Play": (glyph_play, "#3fbf5a", "#1b7f33"),
    "Pause": (glyph_pause, "#f5a623", "#c26a00"),
    "Stop": (glyph_stop, "#ef5a4c", "#b02318"),
    "Next": (glyph_next, "#4a8ff0", "#1d58b8"),
    "Eject": (glyph_eject, "#9a7be0", "#5b3aa8"),
}


def rim_width(size):
    return max(1, int(math.floor(size / 24.0 + 0.5)))


def paint_badge(canvas, top, bottom):
    n = canvas.size
    g = Grid(n)
    w = rim_width(n)
    radius = 3.0 * g.k
    top_c, bottom_c = hex_colour(top), hex_colour(bottom)
    rim = mix(bottom_c, (0.0, 0.0, 0.0, 1.0), 0.55)
    canvas.paint(RoundRect(0, 0, n, n, radius), rim)
    inner = RoundRect(w, w, n - w, n - w, max(0.0, radius - w))

    def gradient(y):
        return mix(top_c, bottom_c, (y - w) / max(1.0, n - 2 * w))

    canvas.paint(inner, gradient)
    if n >= 32:
        # A soft sheen on the upper half; too fine to help at tray sizes.
        sheen = RoundRect(w, w, n - w, n / 2.0, max(0.0, radius - w))
        canvas.paint(sheen, (1.0, 1.0, 1.0, 0.12))


def paint_glyph(canvas, shapes):
    n = canvas.size
    if n >= 32:
        # A faint shadow one pixel down-right lifts the glyph off the sheen.
        off = max(1.0, n / 32.0)
        for s in shapes:
            canvas.paint(_shifted(s, off, off), (0.0, 0.0, 0.0, 0.28))
    for s in shapes:
        canvas.paint(s, WHITE)


def _shifted(shape, dx, dy):
    if isinstance(shape, RoundRect):
        return RoundRect(shape.x0 + dx, shape.y0 + dy, shape.x1 + dx, shape.y1 + dy, shape.r)
    return Polygon([(x + dx, y + dy) for x, y in shape.points])


def draw_button(name, size):
    glyph, top, bottom = BUTTONS[name]
    canvas = Canvas(size)
    paint_badge(canvas, top, bottom)
    paint_glyph(canvas, glyph(Grid(size)))
    return canvas


# Without a badge the glyph may fill more of its square.
LIGHT_GLYPH_SCALE = 1.15


def draw_button_light(name, size):
    """For light taskbars, where the white glyph's badge is a dark blot among
    the system's dark line icons: the glyph alone, in its badge's colours
    deepened so that it reads on white and light grey."""
    glyph, top, bottom = BUTTONS[name]
    canvas = Canvas(size)
    black = (0.0, 0.0, 0.0, 1.0)
    top_c = mix(hex_colour(top), black, 0.2)
    bottom_c = mix(hex_colour(bottom), black, 0.2)

    def gradient(y):
        return mix(top_c, bottom_c, y / size)

    for shape in glyph(Grid(size, LIGHT_GLYPH_SCALE)):
        canvas.paint(shape, gradient)
    return canvas


def draw_app(size):
    """The application icon: a hand remote on the family's dark badge, its
    keys lit in the button badges' colours (a green play key above four
    small keys)."""
    canvas = Canvas(size)
    paint_badge(canvas, "#4b5d78", "#1f2a3c")
    g = Grid(size)
    body = RoundRect(g.snap(4), g.snap(1.5), g.snap(12), g.snap(14.5), 1.8 * g.k)
    paint_glyph(canvas, [body])
    canvas.paint(g.tri((S(6), S(3)), (S(6), S(9)), (F(11), S(6))), hex_colour(BUTTONS["Play"][2]))
    keys = (("Prev", 5.5, 10), ("Pause", 8.5, 10), ("Stop", 5.5, 12), ("Eject", 8.5, 12))
    for name, x, y in keys:
        key = RoundRect(g.snap(x), g.snap(y), g.snap(x + 2), g.snap(y + 1),
                        0.4 * g.k if size >= 32 else 0.0)
        canvas.paint(key, hex_colour(BUTTONS[name][2]))
    return canvas


def draw_option(size):
    """The options dialog's picture: a white cog on the family's dark badge."""
    canvas = Canvas(size)
    paint_badge(canvas, "#4b5d78", "#1f2a3c")
    g = Grid(size)
    c = size / 2.0
    k = g.k
    teeth = []
    for i in range(8):
        a = i * math.pi / 4.0
        ca, sa = math.cos(a), math.sin(a)
        # A tooth: a short bar along the radius, 2.4 units wide.
        pts = []
        for r, w in ((3.5, 1.2), (6.3, 1.2), (6.3, -1.2), (3.5, -1.2)):
            pts.append((c + (r * ca - w * sa) * k, c + (r * sa + w * ca) * k))
        teeth.append(Polygon(pts))
    paint_glyph(canvas, teeth + [RoundRect(c - 4.6 * k, c - 4.6 * k, c + 4.6 * k, c + 4.6 * k, 4.6 * k)])
    # The hole shows the badge through the cog.
    hole = 1.9 * k
    canvas.paint(RoundRect(c - hole, c - hole, c + hole, c + hole, hole), hex_colour("#2c3a50"))
    return canvas


# --- tree pictures: on no badge, since they stand beside text ---------------

def draw_face(size):
    """The artist picture: a round face with two eyes and a smile."""
    canvas = Canvas(size)
    g = Grid(size)
    k = g.k
    c = size / 2.0
    canvas.paint(Circle(c, c, 7.5 * k), hex_colour("#7a4f12"))

    def skin(y):
        return mix(hex_colour("#ffe08a"), hex_colour("#f0a830"), y / size)

    canvas.paint(Circle(c, c, 7.5 * k - max(1.0, k)), skin)
    eye = max(0.9, 1.1 * k)
    for x in (5.6, 10.4):
        canvas.paint(Circle(g.free(x), g.free(6.4), eye), hex_colour("#3b2606"))
    line = max(1.0, 1.05 * k)
    canvas.paint(Ring(c, g.free(8.2), 3.6 * k - line / 2, 3.6 * k + line / 2, below=g.free(9.6)),
                 hex_colour("#3b2606"))
    return canvas


def draw_disc(size):
    """The album picture: a compact disc with a sheen and a hole."""
    canvas = Canvas(size)
    g = Grid(size)
    k = g.k
    c = size / 2.0
    outer = 7.5 * k
    hole = max(1.0, 1.6 * k)
    canvas.paint(Ring(c, c, hole, outer), hex_colour("#4a5a70"))

    def silver(y):
        return mix(hex_colour("#f4f7fb"), hex_colour("#9fb0c6"), y / size)

    canvas.paint(Ring(c, c, hole + max(1.0, 0.8 * k), outer - max(1.0, k)), silver)
    canvas.paint(Ring(c, c, 3.2 * k, 4.6 * k), (0.55, 0.75, 1.0, 0.55))
    canvas.paint(Ring(c, c, hole, hole + max(1.0, 0.8 * k)), hex_colour("#4a5a70"))
    return canvas


TREE_PICTURES = {"Artist": draw_face, "Album": draw_disc}


# --- file formats --------------------------------------------------------------

def bmp_entry(canvas):
    """A 32-bit BITMAPINFOHEADER image with its 1-bit AND mask, as an .ico
    entry holds it: height doubled, rows bottom-up, BGRA."""
    n = canvas.size
    rows = canvas.rgba_rows()
    xor = bytearray()
    mask = bytearray()
    mask_stride = ((n + 31) // 32) * 4
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(n):
            r, g, b, a = row[4 * x:4 * x + 4]
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def png_entry(canvas):
    n = canvas.size
    raw = b"".join(b"\0" + row for row in canvas.rgba_rows())

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", n, n, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def ico_file(images):
    """images: list of (size, bytes) in the order they should be listed."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        body += data
    return out + body


def preview(path, icons):
    """A contact sheet: each icon at every size on a light and a dark strip,
    and the 16 px image at 4x, as an uncompressed-ish PNG for looking at."""
    names = list(icons)
    zoom = 4
    cell = max(SIZES) + 8
    zoomed = 16 * zoom + 8
    width = len(SIZES) * cell + zoomed + 8
    band = max(cell, zoomed)
    height = 2 * len(names) * band
    bg = [(0xF3, 0xF3, 0xF3), (0x20, 0x20, 0x20)]
    img = [[(0, 0, 0)] * width for _ in range(height)]
    for b, shade in enumerate(bg):
        for i, name in enumerate(names):
            y0 = (b * len(names) + i) * band
            for y in range(y0, y0 + band):
                img[y] = [shade] * width
            placements = [(4 + j * cell, size, 1) for j, size in enumerate(SIZES)]
            placements.append((4 + len(SIZES) * cell, 16, zoom))
            for x, size, z in placements:
                rows = icons[name][size].rgba_rows()
                for yy in range(size * z):
                    row = rows[yy // z]
                    line = img[y0 + 4 + yy]
                    for xx in range(size * z):
                        r, g, bl, a = row[4 * (xx // z):4 * (xx // z) + 4]
                        base = line[x + xx]
                        f = a / 255.0
                        line[x + xx] = tuple(int(round(c * f + d * (1 - f)))
                                             for c, d in zip((r, g, bl), base))
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in img)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n"
                + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 6))
                + chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(here, "..", "resources"))
    parser.add_argument("--preview", help="also write a contact sheet PNG here")
    parser.add_argument("--no-large", action="store_true",
                        help="skip the 256 px application image (faster drafts)")
    args = parser.parse_args()

    os.makedirs(os.path.join(args.out, "icon"), exist_ok=True)
    drawn = {}
    for name in BUTTONS:
        drawn[name] = {size: draw_button(name, size) for size in SIZES}
        data = ico_file([(s, bmp_entry(drawn[name][s])) for s in SIZES])
        with open(os.path.join(args.out, "icon", name + ".ico"), "wb") as f:
            f.write(data)
    os.makedirs(os.path.join(args.out, "icon", "light"), exist_ok=True)
    for name in BUTTONS:
        drawn["light " + name] = {size: draw_button_light(name, size) for size in SIZES}
        data = ico_file([(s, bmp_entry(drawn["light " + name][s])) for s in SIZES])
        with open(os.path.join(args.out, "icon", "light", name + ".ico"), "wb") as f:
            f.write(data)

    drawn["kelvane"] = {size: draw_app(size) for size in SIZES}
    images = [(s, bmp_entry(drawn["kelvane"][s])) for s in SIZES]
    if not args.no_large:
        global SUPERSAMPLE
        keep, SUPERSAMPLE = SUPERSAMPLE, 3
        images.append((256, png_entry(draw_app(256))))
        SUPERSAMPLE = keep
    with open(os.path.join(args.out, "kelvane.ico"), "wb") as f:
        f.write(ico_file(images))

    drawn["option"] = {size: draw_option(size) for size in SIZES}
    with open(os.path.join(args.out, "option.ico"), "wb") as f:
        f.write(ico_file([(s, bmp_entry(drawn["option"][s])) for s in SIZES]))
    os.makedirs(os.path.join(args.out, "tree"), exist_ok=True)
    for name, draw in TREE_PICTURES.items():
        drawn[name] = {size: draw(size) for size in SIZES}
        data = ico_file([(s, bmp_entry(drawn[name][s])) for s in SIZES])
        with open(os.path.join(args.out, "tree", name + ".ico"), "wb") as f:
            f.write(data)

    if args.preview:
        preview(args.preview, drawn)


if __name__ == "__main__":
    main()
