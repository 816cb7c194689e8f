#!/usr/bin/python3
"""Draws the installer window's seven images (the PNG files beside this script).

Needs Debian's python3-pil, fonts-inter and fonts-wqy-microhei (run with /usr/bin/python3). Not part
of the build: the PNG files are kept with the source and embedded by the installer's build.

The window is dark (ARGB 255, 28, 28, 28); every image has a transparent background and is drawn
at 8x, then reduced with a box filter on premultiplied alpha.

  close.png            30 x 31   the close button's cross (the button adds a black backdrop when hot)
  logo.png            389 x 63   emblem and "Velmora" wordmark
  marker.png           34 x 29   orange callout pointing down at the progress bar; the window writes
                                 the percentage over it, centred in the whole image
  install_normal.png  233 x 54   "立即安装" button: normal, hot (lighter) and pressed (darker, the
  install_hot.png                face and label one pixel lower)
  install_pressed.png
  busy.png            476 x 33   17 frames of 28 x 33: a spinning arc. The window plays frames 1 to 16
                                 over and over, so those sixteen make one turn; frame 0 repeats frame
                                 16 so that a player showing every frame holds one step instead of
                                 jumping.

And the installer program's own icon (built into VelmoraSetup.exe by installer/VelmoraSetup.rc):

  VelmoraSetup.ico    16, 32, 48 and 256 pixels square: the logo's emblem. The three small images
                      are 32-bit bitmaps with an AND mask (what Windows XP reads); the 256 pixel one
                      is PNG-compressed, as Vista and later read it, and XP never picks it.

Run with names to redraw only those files: make_images.py VelmoraSetup.ico
"""
import io
import math
import os
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
S = 8
WORDMARK_FONT = "/usr/share/fonts/opentype/inter/InterDisplay-SemiBold.otf"
CHINESE_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.img = Image.new("RGBA", (w * S, h * S), (0, 0, 0, 0))

    def mask(self):
        return Image.new("L", self.img.size, 0)

    def paint(self, mask, colour, opacity=1.0):
        r, g, b, a = colour
        layer = Image.new("RGBA", self.img.size, (r, g, b, 0))
        layer.putalpha(mask.point(lambda v: int(v * a / 255 * opacity + 0.5)))
        self.img = Image.alpha_composite(self.img, layer)

    def paint_gradient(self, mask, top, bottom, y0=0, y1=None):
        """Paints `mask` with a vertical gradient running from y0 to y1 (pixels)."""
        y1 = self.h if y1 is None else y1
        column = Image.new("RGBA", (1, self.img.size[1]))
        for y in range(self.img.size[1]):
            t = min(max((y / S - y0) / max(y1 - y0, 1e-6), 0.0), 1.0)
            column.putpixel((0, y), tuple(int(top[i] + (bottom[i] - top[i]) * t + 0.5) for i in range(4)))
        layer = column.resize(self.img.size)
        layer.putalpha(ImageChops.multiply(layer.getchannel("A"), mask))
        self.img = Image.alpha_composite(self.img, layer)

    def shadow(self, mask, offset=(0, 1), blur=1.0, strength=0.5, colour=(0, 0, 0, 255)):
        m = Image.new("L", mask.size, 0)
        m.paste(mask, (int(offset[0] * S), int(offset[1] * S)))
        m = m.filter(ImageFilter.GaussianBlur(blur * S))
        self.paint(m, colour, strength)

    def result(self):
        return self.img.convert("RGBa").resize((self.w, self.h), Image.BOX).convert("RGBA")


def sc(v):
    return v * S


def rounded(draw, x0, y0, x1, y1, r, fill=255):
    draw.rounded_rectangle([sc(x0), sc(y0), sc(x1) - 1, sc(y1) - 1], radius=sc(r), fill=fill)


def ellipse(draw, x0, y0, x1, y1, fill=255):
    draw.ellipse([sc(x0), sc(y0), sc(x1) - 1, sc(y1) - 1], fill=fill)


def polygon(draw, points, fill=255):
    draw.polygon([(sc(x), sc(y)) for x, y in points], fill=fill)


def segment(draw, p0, p1, width, fill=255):
    (x0, y0), (x1, y1) = p0, p1
    length = math.hypot(x1 - x0, y1 - y0)
    if length == 0:
        return
    nx, ny = -(y1 - y0) / length * width / 2, (x1 - x0) / length * width / 2
    polygon(draw, [(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], fill)
    for x, y in (p0, p1):
        ellipse(draw, x - width / 2, y - width / 2, x + width / 2, y + width / 2, fill)


def polyline(draw, points, width, fill=255):
    for a, b in zip(points, points[1:]):
        segment(draw, a, b, width, fill)


def text_box(font, text):
    """The ink box of `text` in 1x pixels: (left, top, right, bottom) relative to the origin."""
    l, t, r, b = font.getbbox(text)
    return l / S, t / S, r / S, b / S


def draw_text(mask, font, text, x, y, embolden=0):
    ImageDraw.Draw(mask).text((sc(x), sc(y)), text, font=font, fill=255, stroke_width=embolden, stroke_fill=255)


# ---- close.png ------------------------------------------------------------------------------------

def close_button():
    c = Canvas(30, 31)
    m = c.mask()
    d = ImageDraw.Draw(m)
    cx, cy, r = 15, 15.5, 5.5
    segment(d, (cx - r, cy - r), (cx + r, cy + r), 1.6)
    segment(d, (cx + r, cy - r), (cx - r, cy + r), 1.6)
    c.paint(m, (214, 214, 214, 255))
    return c.result()


# ---- logo.png -------------------------------------------------------------------------------------

def emblem(c, x, y, size, shadow_scale=1.0):
    """A rounded square with a blue-to-violet gradient, a white "V" and a spark on its right arm."""
    body = c.mask()
    rounded(ImageDraw.Draw(body), x, y, x + size, y + size, size * 0.27)
    c.shadow(body, offset=(0, 1.5 * shadow_scale), blur=2.0 * shadow_scale, strength=0.45)
    c.paint_gradient(body, (64, 150, 255, 255), (118, 84, 246, 255), y, y + size)
    # soft sheen on the upper half
    sheen = c.mask()
    ImageDraw.Draw(sheen).ellipse([sc(x - size * 0.4), sc(y - size * 0.9), sc(x + size * 1.4), sc(y + size * 0.45)], fill=255)
    sheen = ImageChops.multiply(sheen, body)
    c.paint(sheen, (255, 255, 255, 255), 0.10)
    v = c.mask()
    d = ImageDraw.Draw(v)
    w = size * 0.115
    left, bottom, right = (x + size * 0.29, y + size * 0.30), (x + size * 0.5, y + size * 0.72), (x + size * 0.71, y + size * 0.30)
    polyline(d, [left, bottom, right], w)
    c.paint(v, (255, 255, 255, 255))
    spark = c.mask()
    d = ImageDraw.Draw(spark)
    sx, sy, sr = x + size * 0.79, y + size * 0.2, size * 0.085
    polygon(d, [(sx, sy - sr * 1.6), (sx + sr * 0.45, sy - sr * 0.45), (sx + sr * 1.6, sy), (sx + sr * 0.45, sy + sr * 0.45),
                (sx, sy + sr * 1.6), (sx - sr * 0.45, sy + sr * 0.45), (sx - sr * 1.6, sy), (sx - sr * 0.45, sy - sr * 0.45)])
    c.paint(spark, (255, 255, 255, 235))


def logo():
    w, h = 389, 63
    c = Canvas(w, h)
    size = 50
    font = ImageFont.truetype(WORDMARK_FONT, sc(44))
    word = "Velmora"
    l, t, r, b = text_box(font, word)
    gap = 16
    total = size + gap + (r - l)
    x0 = (w - total) / 2
    emblem(c, x0, (h - size) / 2 - 0.5, size)
    # Wordmark: cap height centred on the emblem.
    cap_top, cap_bottom = text_box(font, "V")[1], text_box(font, "V")[3]
    tx = x0 + size + gap - l
    ty = h / 2 - (cap_top + cap_bottom) / 2 - 0.5
    m = c.mask()
    draw_text(m, font, word, tx, ty)
    c.shadow(m, offset=(0, 1), blur=1.2, strength=0.35)
    c.paint(m, (244, 246, 250, 255))
    return c.result()


# ---- marker.png -----------------------------------------------------------------------------------

def marker():
    w, h = 34, 29
    c = Canvas(w, h)
    body_bottom = 24
    shape = c.mask()
    d = ImageDraw.Draw(shape)
    rounded(d, 0, 0, w, body_bottom, 5)
    polygon(d, [(w / 2 - 5, body_bottom - 1), (w / 2 + 5, body_bottom - 1), (w / 2, h)])
    c.paint_gradient(shape, (255, 128, 40, 255), (214, 78, 8, 255), 0, h)
    highlight = c.mask()
    rounded(ImageDraw.Draw(highlight), 1, 1, w - 1, 12, 4)
    c.paint(ImageChops.multiply(highlight, shape), (255, 255, 255, 255), 0.08)
    return c.result()


# ---- install_*.png --------------------------------------------------------------------------------

def install_button(state):
    w, h = 233, 54
    c = Canvas(w, h)
    face = (2, 2, w - 2, h - 5)  # room below for the shadow
    dy = 1 if state == "pressed" else 0
    x0, y0, x1, y1 = face[0], face[1] + dy, face[2], face[3] + dy
    radius = 10
    body = c.mask()
    rounded(ImageDraw.Draw(body), x0, y0, x1, y1, radius)
    if state == "hot":
        glow = body.filter(ImageFilter.GaussianBlur(sc(2.2)))
        c.paint(glow, (70, 150, 255, 255), 0.55)
    c.shadow(body, offset=(0, 2 if state != "pressed" else 1), blur=1.6, strength=0.55 if state != "pressed" else 0.35)
    top, bottom = {
        "normal": ((52, 142, 255, 255), (22, 104, 227, 255)),
        "hot": ((84, 166, 255, 255), (40, 126, 246, 255)),
        "pressed": ((24, 96, 206, 255), (16, 78, 176, 255)),
    }[state]
    c.paint_gradient(body, top, bottom, y0, y1)
    # A one-pixel light edge along the top of the face.
    edge = c.mask()
    d = ImageDraw.Draw(edge)
    rounded(d, x0, y0, x1, y1, radius)
    rounded(d, x0, y0 + 1, x1, y1, radius, 0)
    c.paint(edge, (255, 255, 255, 255), 0.30 if state != "pressed" else 0.12)

    font = ImageFont.truetype(CHINESE_FONT, sc(21))
    label = "立即安装"
    l, t, r, b = text_box(font, label)
    arrow_w, gap = 14, 10
    total = (r - l) + gap + arrow_w
    tx = (w - total) / 2 - l
    cy = (y0 + y1) / 2
    ty = cy - (t + b) / 2
    m = c.mask()
    draw_text(m, font, label, tx, ty, embolden=4)
    ax0 = (w - total) / 2 + (r - l) + gap
    d = ImageDraw.Draw(m)
    segment(d, (ax0, cy), (ax0 + arrow_w, cy), 2.2)
    polyline(d, [(ax0 + arrow_w - 5.5, cy - 5.5), (ax0 + arrow_w, cy), (ax0 + arrow_w - 5.5, cy + 5.5)], 2.2)
    c.shadow(m, offset=(0, 1), blur=0.8, strength=0.25)
    c.paint(m, (255, 255, 255, 255))
    return c.result()


# ---- busy.png -------------------------------------------------------------------------------------

def spinner_frame(turn):
    """One frame, 28 x 33: a faint track and an arc whose tail fades, rotated by `turn` (0..1)."""
    w, h = 28, 33
    c = Canvas(w, h)
    cx, cy, r, width = w / 2, h / 2, 9.5, 3.0
    track = c.mask()
    d = ImageDraw.Draw(track)
    ellipse(d, cx - r - width / 2, cy - r - width / 2, cx + r + width / 2, cy + r + width / 2)
    ellipse(d, cx - r + width / 2, cy - r + width / 2, cx + r - width / 2, cy + r - width / 2, 0)
    c.paint(track, (255, 255, 255, 255), 0.12)
    # The arc: 270 degrees, drawn as small overlapping discs whose opacity rises toward the head.
    head = -90 + 360 * turn
    steps = 120
    for i in range(steps + 1):
        f = i / steps
        angle = math.radians(head - 270 * (1 - f))
        x, y = cx + r * math.cos(angle), cy + r * math.sin(angle)
        dot = c.mask()
        ellipse(ImageDraw.Draw(dot), x - width / 2, y - width / 2, x + width / 2, y + width / 2)
        c.img = Image.alpha_composite(c.img, _coloured(dot, (255, 136, 40), f ** 1.6))
    return c.result()


def _coloured(mask, rgb, opacity):
    layer = Image.new("RGBA", mask.size, rgb + (0,))
    layer.putalpha(mask.point(lambda v: int(v * opacity + 0.5)))
    return layer


def busy_strip():
    frames = 17
    strip = Image.new("RGBA", (28 * frames, 33), (0, 0, 0, 0))
    loop = [spinner_frame((k - 1) / 16) for k in range(1, frames)]  # frames 1..16: one turn
    cells = [loop[-1]] + loop                                        # frame 0 repeats frame 16
    for k, cell in enumerate(cells):
        strip.paste(cell, (28 * k, 0))
    return strip


# ---- VelmoraSetup.ico -----------------------------------------------------------------------------

ICON_SIZES = (16, 32, 48, 256)


def icon_image(n):
    """The emblem filling an n x n square, with a margin of n/16 for its shadow."""
    c = Canvas(n, n)
    margin = n / 16
    size = n - 2 * margin
    # The logo's emblem is 50 pixels with a 1.5 pixel shadow; the shadow keeps that proportion.
    emblem(c, margin, margin - margin / 4, size, shadow_scale=size / 50)
    return c.result()


def bitmap_icon_entry(img):
    """An icon image as Windows XP reads it: BITMAPINFOHEADER (height doubled for the mask), 32-bit
    BGRA rows bottom-up, then the 1-bit AND mask (set where a pixel is fully transparent)."""
    n = img.size[0]
    pixels = img.load()
    colour = bytearray()
    mask = bytearray()
    mask_row_bytes = (n + 31) // 32 * 4
    for y in reversed(range(n)):
        row_mask = bytearray(mask_row_bytes)
        for x in range(n):
            r, g, b, a = pixels[x, y]
            colour += bytes((b, g, r, a))
            if a == 0:
                row_mask[x // 8] |= 0x80 >> (x % 8)
        mask += row_mask
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return header + bytes(colour) + bytes(mask)


def png_icon_entry(img):
    out = io.BytesIO()
    img.save(out, format="PNG", optimize=True)
    return out.getvalue()


def setup_icon():
    """The bytes of VelmoraSetup.ico: ICONDIR, one ICONDIRENTRY per size, then the images."""
    images = []
    for n in ICON_SIZES:
        img = icon_image(n)
        images.append((n, png_icon_entry(img) if n >= 256 else bitmap_icon_entry(img)))
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    data = b""
    for n, entry in images:
        directory += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(entry), offset + len(data))
        data += entry
    return directory + data


ICONS = {
    "VelmoraSetup.ico": setup_icon,
}


IMAGES = {
    "close.png": (close_button, (30, 31)),
    "logo.png": (logo, (389, 63)),
    "marker.png": (marker, (34, 29)),
    "install_normal.png": (lambda: install_button("normal"), (233, 54)),
    "install_hot.png": (lambda: install_button("hot"), (233, 54)),
    "install_pressed.png": (lambda: install_button("pressed"), (233, 54)),
    "busy.png": (busy_strip, (476, 33)),
}


def main():
    wanted = set(sys.argv[1:]) or set(IMAGES) | set(ICONS)
    unknown = wanted - set(IMAGES) - set(ICONS)
    if unknown:
        sys.exit(f"unknown image: {', '.join(sorted(unknown))}")
    for name, (draw, size) in IMAGES.items():
        if name not in wanted:
            continue
        img = draw()
        assert img.size == size, (name, img.size, size)
        img.save(os.path.join(HERE, name), optimize=True)
        print(f"{name:22} {size[0]}x{size[1]}  {os.path.getsize(os.path.join(HERE, name))} bytes")
    for name, make in ICONS.items():
        if name not in wanted:
            continue
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(make())
        sizes = ", ".join(str(n) for n in ICON_SIZES)
        print(f"{name:22} {sizes}  {os.path.getsize(os.path.join(HERE, name))} bytes")


if __name__ == "__main__":
    main()
