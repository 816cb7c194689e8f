#!/usr/bin/python3
"""Draws the default skin's images (the PNG files beside this script) from entries.list.

Needs Debian's python3-pil (apt-get install python3-pil; run with /usr/bin/python3). Not part of the
build: the PNG files are kept with the source and packed by tools/pack_skin at build time.

Everything is drawn at 8x and reduced with a box filter on premultiplied alpha, so every edge is
anti-aliased by its exact coverage; strokes are placed on whole pixels where they should look crisp.
Caption-button glyphs are light with a soft dark shadow so they read on dark and light title areas.
"""
import math
import os
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
S = 8  # supersampling factor
FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

# Palette
GLYPH_LIGHT = (255, 255, 255, 240)
INK = (74, 80, 88, 255)          # arrows and signs on light controls
INK_SOFT = (110, 117, 126, 255)
BORDER = (160, 167, 176, 255)
BLUE = (36, 120, 232, 255)
GREEN = (46, 170, 90, 255)
AMBER = (245, 166, 35, 255)
RED = (226, 61, 68, 255)
CLOSE_HOT = (232, 17, 35, 255)
CLOSE_PRESSED = (190, 24, 38, 255)


# ---- Supersampled canvas ----------------------------------------------------------------------

class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.img = Image.new("RGBA", (w * S, h * S), (0, 0, 0, 0))

    def mask(self):
        return Image.new("L", (self.w * S, self.h * S), 0)

    def paint(self, mask, colour, opacity=1.0):
        """Composites `colour` through `mask` (L, supersampled) onto the canvas."""
        r, g, b, a = colour
        layer = Image.new("RGBA", self.img.size, (r, g, b, 0))
        alpha = mask.point(lambda v: int(v * a / 255 * opacity + 0.5))
        layer.putalpha(alpha)
        self.img = Image.alpha_composite(self.img, layer)

    def shadow(self, mask, offset=(0, 1), blur=0.7, strength=0.45):
        m = Image.new("L", mask.size, 0)
        m.paste(mask, (int(offset[0] * S), int(offset[1] * S)))
        m = m.filter(ImageFilter.GaussianBlur(blur * S))
        self.paint(m, (0, 0, 0, 255), strength)

    def result(self):
        small = self.img.convert("RGBa").resize((self.w, self.h), Image.BOX).convert("RGBA")
        assert small.size == (self.w, self.h)
        return small


def sc(v):
    return v * S


def rect(draw, x0, y0, x1, y1, fill=255):
    draw.rectangle([sc(x0), sc(y0), sc(x1) - 1, sc(y1) - 1], fill=fill)


def rounded(draw, x0, y0, x1, y1, r, fill=255):
    draw.rounded_rectangle([sc(x0), sc(y0), sc(x1) - 1, sc(y1) - 1], radius=sc(r), fill=fill)


def ellipse(draw, x0, y0, x1, y1, fill=255):
    draw.ellipse([sc(x0), sc(y0), sc(x1) - 1, sc(y1) - 1], fill=fill)


def polygon(draw, points, fill=255):
    draw.polygon([(sc(x), sc(y)) for x, y in points], fill=fill)


def segment(draw, p0, p1, width, fill=255, round_caps=False):
    """A straight stroke of `width` pixels from p0 to p1 (butt or round caps)."""
    (x0, y0), (x1, y1) = p0, p1
    length = math.hypot(x1 - x0, y1 - y0)
    nx, ny = -(y1 - y0) / length * width / 2, (x1 - x0) / length * width / 2
    polygon(draw, [(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], fill)
    if round_caps:
        for x, y in (p0, p1):
            ellipse(draw, x - width / 2, y - width / 2, x + width / 2, y + width / 2, fill)


def polyline(draw, points, width, fill=255):
    for a, b in zip(points, points[1:]):
        if a != b:
            segment(draw, a, b, width, fill, round_caps=True)


def ring(draw, x0, y0, x1, y1, width, fill=255):
    ellipse(draw, x0, y0, x1, y1, fill)
    ellipse(draw, x0 + width, y0 + width, x1 - width, y1 - width, 0)


def outline_rect(draw, x0, y0, x1, y1, width, fill=255):
    rect(draw, x0, y0, x1, y1, fill)
    rect(draw, x0 + width, y0 + width, x1 - width, y1 - width, 0)


# ---- Caption-button glyphs (drawn into a mask; (dx, dy) shifts a pressed glyph) -----------------

def glyph_minimise(d, cx, dy):
    rect(d, cx - 5, 11 + dy, cx + 5, 12 + dy)


def glyph_maximise(d, cx, dy):
    outline_rect(d, cx - 5, 6 + dy, cx + 5, 16 + dy, 1)


def glyph_restore(d, cx, dy):
    # Front window, and the back window's visible corner behind it.
    outline_rect(d, cx - 5, 8 + dy, cx + 3, 16 + dy, 1)
    rect(d, cx - 3, 6 + dy, cx + 5, 7 + dy)
    rect(d, cx + 4, 6 + dy, cx + 5, 14 + dy)
    rect(d, cx - 3, 7 + dy, cx - 2, 8 + dy)
    rect(d, cx + 3, 13 + dy, cx + 4, 14 + dy)


def glyph_close(d, cx, dy):
    w = 1.25
    segment(d, (cx - 5, 6 + dy), (cx + 5, 16 + dy), w)
    segment(d, (cx + 5, 6 + dy), (cx - 5, 16 + dy), w)


def glyph_menu(d, cx, dy):
    for y in (7, 11, 15):
        rect(d, cx - 5, y + dy, cx + 5, y + 1 + dy)


def glyph_settings(d, cx, dy):
    cy = 11 + dy
    outer, inner, teeth = 5.6, 4.0, 8
    pts = []
    for i in range(teeth * 4):
        a = (i / (teeth * 4)) * 2 * math.pi
        r = outer if (i % 4) in (1, 2) else inner
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    polygon(d, pts)
    ellipse(d, cx - 4.2, cy - 4.2, cx + 4.2, cy + 4.2)
    ellipse(d, cx - 2.0, cy - 2.0, cx + 2.0, cy + 2.0, 0)


def glyph_skin(d, cx, dy):
    # A T-shirt outline: the usual sign for changing the look.
    y = 6.2 + dy
    neck = [(cx + 2.2 * math.cos(t), y + 1.3 * math.sin(t)) for t in (i * math.pi / 8 for i in range(9))]
    outline = [(cx - 2.2, y), (cx - 6.3, y + 2.2), (cx - 4.9, y + 5.0), (cx - 3.6, y + 4.3), (cx - 3.6, y + 9.9),
               (cx + 3.6, y + 9.9), (cx + 3.6, y + 4.3), (cx + 4.9, y + 5.0), (cx + 6.3, y + 2.2), (cx + 2.2, y)]
    polyline(d, outline + neck, 1.15)


GLYPHS = {
    "minimise": glyph_minimise, "maximise": glyph_maximise, "restore": glyph_restore,
    "close": glyph_close, "menu": glyph_menu, "settings": glyph_settings, "skin": glyph_skin,
}


def caption_button(kind, state, w, h):
    c = Canvas(w, h)
    bg = c.mask()
    d = ImageDraw.Draw(bg)
    rect(d, 0, 0, w, h)
    if kind == "close":
        if state == "hot":
            c.paint(bg, CLOSE_HOT)
        elif state == "pressed":
            c.paint(bg, CLOSE_PRESSED)
    else:
        if state == "hot":
            c.paint(bg, (255, 255, 255, 46))
        elif state == "pressed":
            c.paint(bg, (0, 0, 0, 56))
    glyph = c.mask()
    cx = 15 if kind != "close" else 16
    dy = 1 if state == "pressed" else 0
    if kind == "close" and state == "pressed":
        cx += 0.5  # the pressed close image is one pixel wider
    GLYPHS[kind](ImageDraw.Draw(glyph), cx, dy)
    c.shadow(glyph, strength=0.55 if kind != "close" or state == "normal" else 0.25)
    c.paint(glyph, GLYPH_LIGHT if state == "normal" else (255, 255, 255, 255))
    return c.result()


# ---- Small arrows and signs ---------------------------------------------------------------------

def triangle(w, h, direction, colour=INK, inset=0.0):
    c = Canvas(w, h)
    m = c.mask()
    d = ImageDraw.Draw(m)
    x0, y0, x1, y1 = inset, inset, w - inset, h - inset
    mx, my = (x0 + x1) / 2, (y0 + y1) / 2
    pts = {
        "down": [(x0, y0), (x1, y0), (mx, y1)],
        "up": [(mx, y0), (x1, y1), (x0, y1)],
        "left": [(x1, y0), (x1, y1), (x0, my)],
        "right": [(x0, y0), (x1, my), (x0, y1)],
    }[direction]
    polygon(d, pts)
    c.paint(m, colour)
    return c.result()


def scroll_arrow(direction):
    # 6 x 6: a solid 6 x 3 triangle centred in the square.
    c = Canvas(6, 6)
    m = c.mask()
    d = ImageDraw.Draw(m)
    pts = {
        "down": [(0, 1.5), (6, 1.5), (3, 4.5)],
        "up": [(3, 1.5), (6, 4.5), (0, 4.5)],
        "left": [(4.5, 0), (4.5, 6), (1.5, 3)],
        "right": [(1.5, 0), (4.5, 3), (1.5, 6)],
    }[direction]
    polygon(d, pts)
    c.paint(m, INK)
    return c.result()


def tree_node(expanded):
    c = Canvas(12, 12)
    m = c.mask()
    d = ImageDraw.Draw(m)
    if expanded:
        polygon(d, [(2.5, 4), (9.5, 4), (6, 8.5)])
    else:
        polygon(d, [(4, 2.5), (8.5, 6), (4, 9.5)])
    c.paint(m, INK_SOFT)
    return c.result()


def sign_box(plus):
    c = Canvas(11, 11)
    box = c.mask()
    d = ImageDraw.Draw(box)
    rounded(d, 0, 0, 11, 11, 2)
    c.paint(box, BORDER)
    inner = c.mask()
    rounded(ImageDraw.Draw(inner), 1, 1, 10, 10, 1.4)
    c.paint(inner, (252, 252, 253, 255))
    sign = c.mask()
    d = ImageDraw.Draw(sign)
    rect(d, 3, 5, 8, 6)
    if plus:
        rect(d, 5, 3, 6, 8)
    c.paint(sign, INK)
    return c.result()


def check_box(kind):
    c = Canvas(11, 11)
    box = c.mask()
    rounded(ImageDraw.Draw(box), 0, 0, 11, 11, 2.2)
    if kind == "on":
        c.paint(box, BLUE)
        tick = c.mask()
        polyline(ImageDraw.Draw(tick), [(2.7, 5.6), (4.6, 7.5), (8.4, 3.4)], 1.5)
        c.paint(tick, (255, 255, 255, 255))
    else:
        c.paint(box, BORDER)
        inner = c.mask()
        rounded(ImageDraw.Draw(inner), 1, 1, 10, 10, 1.5)
        c.paint(inner, (255, 255, 255, 255))
        if kind == "solid":
            dot = c.mask()
            rounded(ImageDraw.Draw(dot), 3, 3, 8, 8, 1)
            c.paint(dot, BLUE)
    return c.result()


def presence(size, colour, mark):
    c = Canvas(size, size)
    disc = c.mask()
    ellipse(ImageDraw.Draw(disc), 0, 0, size, size)
    c.paint(disc, (255, 255, 255, 255))  # white rim, so the dot reads on top of an avatar
    core = c.mask()
    ellipse(ImageDraw.Draw(core), 1, 1, size - 1, size - 1)
    c.paint(core, colour)
    m = c.mask()
    d = ImageDraw.Draw(m)
    mid = size / 2
    if mark == "bar":
        rect(d, 2.5, mid - 0.5, size - 2.5, mid + 0.5)
    elif mark == "clock":
        polyline(d, [(mid, 2.6), (mid, mid), (mid + 1.6, mid + 1.2)], 0.9)
    elif mark == "tick":
        polyline(d, [(3.0, 5.7), (4.8, 7.4), (8.0, 3.9)], 1.3)
    if mark:
        c.paint(m, (255, 255, 255, 255))
    return c.result()


def tab_arrow(direction):
    c = Canvas(17, 17)
    bg = c.mask()
    rounded(ImageDraw.Draw(bg), 0, 0, 17, 17, 3.5)
    c.paint(bg, (0, 0, 0, 38))
    face = c.mask()
    rounded(ImageDraw.Draw(face), 1, 1, 16, 16, 2.6)
    c.paint(face, (250, 250, 251, 255))
    m = c.mask()
    d = ImageDraw.Draw(m)
    if direction == "left":
        polyline(d, [(9.8, 4.8), (6.6, 8.5), (9.8, 12.2)], 1.5)
    else:
        polyline(d, [(7.2, 4.8), (10.4, 8.5), (7.2, 12.2)], 1.5)
    c.paint(m, INK)
    return c.result()


def submenu():
    c = Canvas(23, 23)
    m = c.mask()
    polyline(ImageDraw.Draw(m), [(10, 7.5), (14, 11.5), (10, 15.5)], 1.4)
    c.paint(m, INK)
    return c.result()


def link_image():
    # A pill-shaped link button face: chain sign on the left, the element writes its text beside it.
    w, h = 103, 28
    c = Canvas(w, h)
    edge = c.mask()
    rounded(ImageDraw.Draw(edge), 0, 0, w, h, 14)
    c.paint(edge, (36, 120, 232, 110))
    face = c.mask()
    rounded(ImageDraw.Draw(face), 1, 1, w - 1, h - 1, 13)
    c.paint(face, (240, 246, 255, 255))
    m = c.mask()
    # two interlocking rounded links, tilted 45 degrees
    for (x, y) in ((13.4, 16.6), (18.6, 11.4)):
        link = Image.new("L", m.size, 0)
        ld = ImageDraw.Draw(link)
        rounded(ld, x - 5.5, y - 2.6, x + 5.5, y + 2.6, 2.6)
        rounded(ld, x - 4.1, y - 1.2, x + 4.1, y + 1.2, 1.2, 0)
        link = link.rotate(45, resample=Image.BICUBIC, center=(sc(x), sc(y)))
        m = Image.composite(Image.new("L", m.size, 255), m, link)
    c.paint(m, BLUE)
    return c.result()


# ---- Message-box icons ----------------------------------------------------------------------------

def badge_disc(w, h, top, bottom):
    c = Canvas(w, h)
    size = 36
    x0, y0 = (w - size) / 2, 1
    shadow = c.mask()
    ellipse(ImageDraw.Draw(shadow), x0, y0, x0 + size, y0 + size)
    c.shadow(shadow, offset=(0, 1.2), blur=1.2, strength=0.35)
    disc = c.mask()
    ellipse(ImageDraw.Draw(disc), x0, y0, x0 + size, y0 + size)
    gradient_fill(c, disc, top, bottom)
    return c, (x0 + size / 2, y0 + size / 2)


def gradient_fill(c, mask, top, bottom):
    w, h = c.img.size
    grad = Image.new("RGBA", (1, h))
    for y in range(h):
        t = y / (h - 1)
        grad.putpixel((0, y), tuple(int(top[i] + (bottom[i] - top[i]) * t + 0.5) for i in range(3)) + (255,))
    grad = grad.resize((w, h))
    grad.putalpha(mask)
    c.img = Image.alpha_composite(c.img, grad)


def text_mask(c, text, centre, size):
    m = c.mask()
    font = ImageFont.truetype(FONT_BOLD, int(size * S))
    d = ImageDraw.Draw(m)
    d.text((sc(centre[0]), sc(centre[1])), text, font=font, fill=255, anchor="mm")
    return m


def icon_question():
    c, (cx, cy) = badge_disc(41, 40, (72, 156, 255), (28, 104, 220))
    c.paint(text_mask(c, "?", (cx, cy + 0.5), 24), (255, 255, 255, 255))
    return c.result()


def icon_information():
    c, (cx, cy) = badge_disc(40, 40, (72, 156, 255), (28, 104, 220))
    m = c.mask()
    d = ImageDraw.Draw(m)
    ellipse(d, cx - 2.3, cy - 10.5, cx + 2.3, cy - 5.9)
    rounded(d, cx - 2, cy - 3.4, cx + 2, cy + 10, 1.2)
    c.paint(m, (255, 255, 255, 255))
    return c.result()


def icon_error():
    c, (cx, cy) = badge_disc(40, 40, (246, 96, 96), (208, 44, 52))
    m = c.mask()
    d = ImageDraw.Draw(m)
    segment(d, (cx - 7, cy - 7), (cx + 7, cy + 7), 3.4, round_caps=True)
    segment(d, (cx + 7, cy - 7), (cx - 7, cy + 7), 3.4, round_caps=True)
    c.paint(m, (255, 255, 255, 255))
    return c.result()


def icon_warning():
    w, h = 40, 40
    c = Canvas(w, h)
    # A triangle with rounded corners: its outline stroked with round joins, then filled.
    r = 3.2
    top, left, right = (20, 3.5), (3.2, 35), (36.8, 35)
    tri = c.mask()
    td = ImageDraw.Draw(tri)
    polyline(td, [top, right, left, top], r * 2)
    polygon(td, [top, right, left])
    c.shadow(tri, offset=(0, 1.2), blur=1.2, strength=0.35)
    gradient_fill(c, tri, (255, 196, 64), (240, 150, 20))
    m = c.mask()
    d = ImageDraw.Draw(m)
    rounded(d, 18.2, 13, 21.8, 27, 1.6)
    ellipse(d, 18, 29.2, 22, 33.2)
    c.paint(m, (255, 255, 255, 255))
    return c.result()


# ---- The list -------------------------------------------------------------------------------------

DRAW = {
    "spin_down.png": lambda: triangle(7, 4, "down", inset=0),
    "spin_up.png": lambda: triangle(7, 4, "up", inset=0),
    "node_collapsed.png": lambda: tree_node(False),
    "node_expanded.png": lambda: tree_node(True),
    "presence_dnd.png": lambda: presence(9, RED, "bar"),
    "presence_busy.png": lambda: presence(9, RED, None),
    "presence_away.png": lambda: presence(9, AMBER, "clock"),
    "presence_online.png": lambda: presence(11, GREEN, "tick"),
    "check_on.png": lambda: check_box("on"),
    "check_solid.png": lambda: check_box("solid"),
    "check_off.png": lambda: check_box("off"),
    "tree_minus.png": lambda: sign_box(False),
    "tree_plus.png": lambda: sign_box(True),
    "tab_left.png": lambda: tab_arrow("left"),
    "tab_right.png": lambda: tab_arrow("right"),
    "scroll_down.png": lambda: scroll_arrow("down"),
    "scroll_up.png": lambda: scroll_arrow("up"),
    "scroll_left.png": lambda: scroll_arrow("left"),
    "scroll_right.png": lambda: scroll_arrow("right"),
    "link.png": link_image,
    "submenu.png": submenu,
    "icon_question.png": icon_question,
    "icon_information.png": icon_information,
    "icon_warning.png": icon_warning,
    "icon_error.png": icon_error,
}
for kind in ("minimise", "maximise", "settings", "skin", "restore", "close", "menu"):
    for state in ("normal", "hot", "pressed"):
        DRAW[f"{kind}_{state}.png"] = (lambda k, s: lambda w, h: caption_button(k, s, w, h))(kind, state)


def entries():
    with open(os.path.join(HERE, "entries.list"), encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line and not line.startswith("#"):
                name, file, size = line.split()
                w, h = (int(v) for v in size.split("x"))
                yield name, file, w, h


def main():
    for name, file, w, h in entries():
        draw = DRAW[file]
        img = draw(w, h) if file.split("_")[0] in GLYPHS else draw()
        if img.size != (w, h):
            sys.exit(f"{file}: drew {img.size}, the list says {w}x{h}")
        img.save(os.path.join(HERE, file), optimize=True)
        print(f"{file:24} {w}x{h}  {name}")


if __name__ == "__main__":
    main()
