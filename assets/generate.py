#!/usr/bin/python3
"""Artwork generator for Veldana, the Tollrand wallpaper companion.

Everything under assets/ that is an image, icon or clip is produced here from
code: the skinned window background, the close button, the four picture
buttons (normal / hover / inactive), the two preview clips, the program icon
and the bundled wallpapers.  The output is committed, so the build never runs
this script; rerun it after changing the artwork:

    /usr/bin/python3 assets/generate.py [--preview DIR]

Needs Debian's python3-pil (Pillow 9.x) and the DejaVu fonts from
fonts-dejavu-core.  numpy is not required.  All randomness comes from
fixed seeds, so two runs give byte-identical files.
"""

import argparse
import math
import os
import random
import shutil
import struct
import subprocess
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont, ImageOps

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "scripts"))
import places  # noqa: E402

FONT_DIR = "/usr/share/fonts/truetype/dejavu"

# ---------------------------------------------------------------------------
# Window geometry (client coordinates, left/top/width/height)
# ---------------------------------------------------------------------------
BG_SIZE = (757, 544)
KEY = (10, 10, 10)              # transparent colour of the window region
OUTLINE = (12, 11, 13)          # near-black rim, deliberately not KEY
PANEL = (142, 183, 220)
KEEP_BOX = (6, 6, 747, 536)     # inclusive bounds of the visible window shape
PANEL_BOX = (452, 132, 747, 526)

# The controls' places come from the layout table (src/app/Layout.cpp).
PLACES = places.read_places()
PREVIEW = PLACES["Image2"]
LABEL1 = PLACES["Label1"]
LABEL2 = PLACES["Label2"]
LABEL10 = PLACES["Label10"]
CLOSE = PLACES["ImageClose"]
LISTBOX = PLACES["ListBox1"]
LIST_FRAME = (503, 224, 736, 316)   # inclusive outer edge of the sunken frame
CHECK1 = PLACES["CheckBox1"]
CHECK2 = PLACES["CheckBox2"]
BUTTONS = [  # picture rectangles, stacked into one block
    PLACES[name] for name in ("ImageNoWallpaper", "ImageSetAsDefault", "ImageDeleteSelected", "ImageAddYourOwn")
]
# Visible face of each button inside its picture (inclusive, picture-relative).
BUTTON_FACES = [
    (6, 6, 228, 33),
    (6, 3, 228, 30),
    (6, 3, 228, 30),
    (6, 4, 228, 31),
]
BUTTON_CAPTIONS = ["No wallpaper", "Set as default", "Delete selected", "Add your own..."]

CONTROL_RECTS = {
    "Image2": PREVIEW, "Label1": LABEL1, "Label2": LABEL2, "Label10": LABEL10,
    "ImageClose": CLOSE, "ListBox1": LISTBOX, "CheckBox1": CHECK1,
    "CheckBox2": CHECK2,
    "ImageNoWallpaper": BUTTONS[0], "ImageSetAsDefault": BUTTONS[1],
    "ImageDeleteSelected": BUTTONS[2], "ImageAddYourOwn": BUTTONS[3],
}

# Five see-through gem settings in the shield: (centre x, centre y, shape).
# "disc9"/"disc10" are discs with r^2 <= 9 / 10, "diamond4" is |dx|+|dy| <= 4.
GEM_HOLES = [
    (190, 428, "disc9"),
    (220, 434, "disc10"),
    (250, 437, "diamond4"),
    (280, 434, "disc10"),
    (310, 428, "disc9"),
]

CLIP_SIZE = (154, 115)
SS = 4  # supersampling factor for anti-aliased shapes


# ---------------------------------------------------------------------------
# Small helpers
# ---------------------------------------------------------------------------
def font(name, size):
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size,
                              layout_engine=ImageFont.Layout.BASIC)


def lerp(a, b, t):
    return a + (b - a) * t


def mix(c1, c2, t):
    return tuple(int(round(lerp(a, b, t))) for a, b in zip(c1, c2))


def stops_at(stops, t):
    t = min(1.0, max(0.0, t))
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix(c0, c1, 0.0 if t1 == t0 else (t - t0) / (t1 - t0))
    return tuple(stops[-1][1])


def vgrad(w, h, stops):
    col = Image.new("RGB", (1, h))
    col.putdata([stops_at(stops, y / max(1, h - 1)) for y in range(h)])
    return col.resize((w, h), Image.NEAREST)


def hgrad(w, h, stops):
    row = Image.new("RGB", (w, 1))
    row.putdata([stops_at(stops, x / max(1, w - 1)) for x in range(w)])
    return row.resize((w, h), Image.NEAREST)


def solid(size, colour):
    return Image.new("RGB", size, colour)


def scale_mask(mask, factor):
    return mask.point(lambda v: int(v * factor))


def radial_mask(size, cx, cy, rx, ry=None, curve=lambda t: 1.0 - t):
    """L mask, 255*curve(t) where t is the normalised elliptical distance."""
    ry = rx if ry is None else ry
    g = Image.radial_gradient("L").resize((max(1, int(2 * rx)), max(1, int(2 * ry))),
                                          Image.BILINEAR)
    lut = []
    for v in range(256):
        t = v / 180.3
        lut.append(int(max(0.0, min(1.0, curve(t))) * 255) if t < 1.0 else 0)
    g = g.point(lut)
    out = Image.new("L", size, 0)
    out.paste(g, (int(cx - rx), int(cy - ry)))
    return out


def value_noise(w, h, cx, cy, rnd):
    gw, gh = w // cx + 4, h // cy + 4
    small = Image.frombytes("L", (gw, gh), rnd.randbytes(gw * gh))
    big = small.resize((gw * cx, gh * cy), Image.BICUBIC)
    return big.crop((cx, cy, cx + w, cy + h))


def fractal_noise(w, h, cell, octaves, rnd, stretch=1.0, gain=0.5):
    acc, total, weight = None, 0.0, 1.0
    for o in range(octaves):
        c = max(2, int(cell / (2 ** o)))
        n = value_noise(w, h, max(2, int(c * stretch)), c, rnd)
        total += weight
        acc = n if acc is None else Image.blend(acc, n, weight / total)
        weight *= gain
    return ImageOps.autocontrast(acc, cutoff=0.5)


def grain(img, rnd, amount):
    """Adds fine monochrome film grain (amount = strength 0..1)."""
    w, h = img.size
    n = Image.frombytes("L", (w, h), rnd.randbytes(w * h))
    n = n.filter(ImageFilter.GaussianBlur(0.6))
    n = ImageOps.autocontrast(n)
    n = n.point(lambda v: int(128 + (v - 128) * amount))
    return ImageChops.overlay(img, Image.merge("RGB", (n, n, n)))


def paint(base, colour_or_img, mask):
    src = colour_or_img if isinstance(colour_or_img, Image.Image) else solid(base.size, colour_or_img)
    return Image.composite(src, base, mask)


def screen_glow(base, colour, mask):
    glow = Image.composite(solid(base.size, colour), solid(base.size, (0, 0, 0)), mask)
    return ImageChops.screen(base, glow)


def ss_box(x0, y0, x1, y1):
    """Inclusive pixel bounds -> supersampled inclusive bounds."""
    return (x0 * SS, y0 * SS, (x1 + 1) * SS - 1, (y1 + 1) * SS - 1)


def ss_pts(points):
    return [(x * SS, y * SS) for x, y in points]


class Shape:
    """An anti-aliased mask drawn at SS times the target resolution."""

    def __init__(self, size):
        self.size = size
        self.big = Image.new("L", (size[0] * SS, size[1] * SS), 0)
        self.d = ImageDraw.Draw(self.big)

    def polygon(self, pts, fill=255):
        self.d.polygon(ss_pts(pts), fill=fill)
        return self

    def ellipse(self, x0, y0, x1, y1, fill=255):
        self.d.ellipse((x0 * SS, y0 * SS, x1 * SS, y1 * SS), fill=fill)
        return self

    def rrect(self, box, r, fill=255):
        self.d.rounded_rectangle(ss_box(*box), radius=r * SS, fill=fill)
        return self

    def line(self, pts, width, fill=255, joint="curve"):
        self.d.line(ss_pts(pts), fill=fill, width=int(width * SS), joint=joint)
        return self

    def mask(self):
        return self.big.reduce(SS)


def bezier(p0, p1, p2, n=40):
    pts = []
    for i in range(n + 1):
        t = i / n
        a, b, c = (1 - t) ** 2, 2 * t * (1 - t), t * t
        pts.append((a * p0[0] + b * p1[0] + c * p2[0], a * p0[1] + b * p1[1] + c * p2[1]))
    return pts


def bevel(img, mask, depth, light, light_a, dark, dark_a, blur=0.0, direction=(1, 1)):
    """Lights the edges of a mask facing the light (upper left by default) and
    darkens the opposite ones."""
    dx, dy = direction[0] * depth, direction[1] * depth
    hi = ImageChops.subtract(mask, ImageChops.offset(mask, dx, dy))
    lo = ImageChops.subtract(mask, ImageChops.offset(mask, -dx, -dy))
    if blur:
        hi = ImageChops.multiply(hi.filter(ImageFilter.GaussianBlur(blur)), mask)
        lo = ImageChops.multiply(lo.filter(ImageFilter.GaussianBlur(blur)), mask)
    img = paint(img, light, scale_mask(hi, light_a))
    return paint(img, dark, scale_mask(lo, dark_a))


def text_mask(size, xy, text, fnt, tracking=0, anchor_center=False):
    """L mask with text; optional extra spacing between letters."""
    m = Image.new("L", size, 0)
    d = ImageDraw.Draw(m)
    width = sum(fnt.getlength(ch) for ch in text) + tracking * (len(text) - 1)
    x, y = xy
    if anchor_center:
        x -= width / 2
    for ch in text:
        d.text((x, y), ch, font=fnt, fill=255)
        x += fnt.getlength(ch) + tracking
    return m


def text_width(text, fnt, tracking=0):
    return sum(fnt.getlength(ch) for ch in text) + tracking * (len(text) - 1)


# ---------------------------------------------------------------------------
# File writers
# ---------------------------------------------------------------------------
def bmp_bytes(img):
    """Uncompressed 24-bit bottom-up BMP with a BITMAPINFOHEADER."""
    img = img.convert("RGB")
    w, h = img.size
    stride = (w * 3 + 3) & ~3
    pixels = img.tobytes("raw", ("BGR", stride, -1))
    assert len(pixels) == stride * h
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return head + info + pixels


def write_file(rel, data):
    path = os.path.join(HERE, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    return path


def write_bmp(rel, img):
    return write_file(rel, bmp_bytes(img))


def read_bmp24(path):
    """Reads back one of our BMPs without PIL to check the header layout."""
    with open(path, "rb") as f:
        data = f.read()
    magic, fsize, _, _, off = struct.unpack_from("<2sIHHI", data, 0)
    hsize, w, h, planes, bpp, comp = struct.unpack_from("<IiiHHI", data, 14)
    assert magic == b"BM" and fsize == len(data), path
    assert hsize == 40 and planes == 1 and bpp == 24 and comp == 0 and h > 0, path
    stride = (w * 3 + 3) & ~3
    assert off + stride * h == len(data), path
    img = Image.frombytes("RGB", (w, h), data[off:], "raw", "BGR", stride, -1)
    return img


# ---------------------------------------------------------------------------
# Close button and picture buttons
# ---------------------------------------------------------------------------
def make_close(hover=False):
    w, h = CLOSE[2], CLOSE[3]
    stops = [(0.0, (255, 128, 112)), (0.45, (226, 40, 34)), (1.0, (128, 8, 12))]
    if hover:
        stops = [(1.0 - t, c) for t, c in reversed(stops)]
    img = vgrad(w, h, stops)
    d = ImageDraw.Draw(img)
    # glassy upper half
    hl = Image.new("L", (w, h), 0)
    ImageDraw.Draw(hl).rectangle((2, 2, w - 3, h // 2 - 1), fill=70 if not hover else 40)
    img = paint(img, (255, 255, 255), hl)
    d = ImageDraw.Draw(img)
    d.rectangle((0, 0, w - 1, h - 1), outline=(16, 28, 92))
    d.line((1, 1, w - 2, 1), fill=(255, 190, 180) if not hover else (250, 120, 110))
    d.line((1, 1, 1, h - 2), fill=(240, 150, 140) if not hover else (220, 90, 80))
    # the X, anti-aliased
    x = Shape((w, h))
    x.line([(6.2, 6.5), (w - 6.2, h - 6.5)], 2.6, joint=None)
    x.line([(w - 6.2, 6.5), (6.2, h - 6.5)], 2.6, joint=None)
    xm = x.mask()
    shadow = ImageChops.offset(xm, 1, 1)
    img = paint(img, (255, 170, 160), scale_mask(shadow, 0.55))
    img = paint(img, (0, 0, 0), xm)
    return img


def button_palette(state):
    if state == "A":
        return dict(grad=[(0.0, (255, 214, 224)), (0.48, (246, 128, 146)),
                          (0.52, (236, 92, 112)), (1.0, (198, 28, 48))],
                    border=(124, 14, 30), gloss=95, text=(112, 0, 16),
                    emboss=(255, 214, 220), glow=None)
    if state == "B":
        return dict(grad=[(0.0, (255, 238, 242)), (0.48, (255, 172, 186)),
                          (0.52, (252, 136, 152)), (1.0, (234, 64, 84))],
                    border=(170, 40, 60), gloss=120, text=(128, 0, 22),
                    emboss=(255, 236, 240), glow=(255, 246, 200))
    return dict(grad=[(0.0, (232, 232, 234)), (0.48, (204, 204, 207)),
                      (0.52, (192, 192, 196)), (1.0, (160, 160, 165))],
                border=(118, 118, 124), gloss=70, text=(122, 122, 128),
                emboss=(236, 236, 238), glow=None)


def make_button(index, state):
    w, h = BUTTONS[index][2], BUTTONS[index][3]
    x0, y0, x1, y1 = BUTTON_FACES[index]
    pal = button_palette(state)
    img = solid((w, h), PANEL)
    radius = 10
    if pal["glow"]:
        g = Shape((w, h)).rrect((x0 - 2, y0 - 2, x1 + 2, y1 + 2), radius + 2).mask()
        g = g.filter(ImageFilter.GaussianBlur(1.2))
        # keep the glow off the rows shared with the neighbouring pictures
        keep = Image.new("L", (w, h), 0)
        ImageDraw.Draw(keep).rectangle((2, 2, w - 3, h - 3), fill=255)
        img = paint(img, pal["glow"], scale_mask(ImageChops.multiply(g, keep), 0.9))
    outer = Shape((w, h)).rrect((x0, y0, x1, y1), radius).mask()
    inner = Shape((w, h)).rrect((x0 + 1, y0 + 1, x1 - 1, y1 - 1), radius - 1).mask()
    face = solid((w, h), (0, 0, 0))
    face.paste(vgrad(x1 - x0 + 1, y1 - y0 + 1, pal["grad"]), (x0, y0))
    img = paint(img, pal["border"], outer)
    img = paint(img, face, inner)
    # gloss on the upper half of the face
    gloss = Shape((w, h)).rrect((x0 + 3, y0 + 2, x1 - 3, y0 + (y1 - y0) // 2), radius - 3).mask()
    fade = Image.new("L", (w, h), 0)
    fade.paste(vgrad(1, (y1 - y0) // 2, [(0, (255,) * 3), (1, (60,) * 3)]).convert("L")
               .resize((w, (y1 - y0) // 2)), (0, y0 + 2))
    gloss = ImageChops.multiply(gloss, fade)
    img = paint(img, (255, 255, 255), scale_mask(gloss, pal["gloss"] / 255))
    # thin inner light line along the top edge
    lip = ImageChops.subtract(inner, ImageChops.offset(inner, 0, 1))
    img = paint(img, (255, 255, 255), scale_mask(lip, 0.5))
    # caption
    f = font("DejaVuSans-Bold.ttf", 13)
    cap = BUTTON_CAPTIONS[index]
    tw = f.getlength(cap)
    bb = f.getbbox("Ag")
    ty = (y0 + y1 + 1) / 2 - (bb[1] + bb[3]) / 2
    tx = (x0 + x1 + 1) / 2 - tw / 2
    tm = Image.new("L", (w, h), 0)
    ImageDraw.Draw(tm).text((round(tx), round(ty)), cap, font=f, fill=255)
    img = paint(img, pal["emboss"], scale_mask(ImageChops.offset(tm, 0, 1), 0.75))
    img = paint(img, pal["text"], tm)
    return img


# ---------------------------------------------------------------------------
# Window background
# ---------------------------------------------------------------------------
def gold_fill(size, y0, y1):
    w, h = size
    img = solid(size, (180, 130, 50))
    band = vgrad(w, max(2, y1 - y0), [(0.0, (255, 240, 170)), (0.3, (226, 178, 78)),
                                      (0.5, (150, 98, 34)), (0.62, (236, 192, 96)),
                                      (1.0, (124, 76, 26))])
    img.paste(band, (0, y0))
    return img


def steel_fill(size, y0, y1, top=(150, 164, 188), bottom=(40, 46, 64)):
    w, h = size
    img = solid(size, bottom)
    img.paste(vgrad(w, max(2, y1 - y0), [(0.0, top), (0.45, mix(top, bottom, 0.45)),
                                         (1.0, bottom)]), (0, y0))
    return img


def erode4(mask):
    """Erosion with a 4-neighbourhood, so the rim is one pixel thin on diagonals too."""
    out = mask
    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
        out = ImageChops.darker(out, ImageChops.offset(mask, dx, dy))
    return out


def paint_hero(art):
    """The hero rising behind the emblem: cape, plumed helmet, armour, raised sword.

    Returns the painted image and the union mask of everything drawn."""
    size = art.size
    W, H = size
    # cape blowing to the right, behind everything else
    cape = Shape(size)
    cape.polygon([(214, 108), (300, 102), (352, 104), (398, 114), (436, 126), (470, 142),
                  (486, 162), (470, 186), (420, 190), (330, 180), (230, 170)])
    cape.polygon([(230, 120), (170, 150), (120, 168), (200, 180), (260, 170)])
    cape_m = cape.mask()
    red = vgrad(W, H, [(0.0, (186, 40, 48)), (0.2, (150, 24, 36)), (0.36, (84, 12, 24)),
                       (1.0, (50, 8, 18))])
    folds = hgrad(W, H, [(i / 26.0, (255,) * 3 if i % 2 else (150,) * 3) for i in range(27)])
    folds = folds.filter(ImageFilter.GaussianBlur(5))
    art = paint(art, ImageChops.multiply(red, folds), cape_m)
    art = bevel(art, cape_m, 2, (255, 170, 120), 0.55, (20, 0, 6), 0.6, blur=1)

    # plume sweeping back from the helmet
    plume = Shape(size)
    plume.polygon([(244, 44)] + bezier((250, 28), (298, -2), (358, 36), 24) +
                  [(370, 78)] + bezier((344, 56), (302, 40), (266, 58), 16))
    plume_m = plume.mask()
    feathers = Image.new("L", size, 0)
    fd = ImageDraw.Draw(feathers)
    for k in range(12):
        x0 = 256 + k * 8
        fd.line(bezier((x0, 40 + k * 0.5), (x0 + 16, 30 + k * 1.5), (x0 + 26, 54 + k * 1.2), 10),
                fill=140, width=1)
    art = paint(art, vgrad(W, H, [(0.0, (236, 60, 60)), (0.1, (170, 24, 36)), (0.2, (90, 10, 24)),
                                  (1.0, (60, 8, 18))]), plume_m)
    art = paint(art, (60, 4, 14), ImageChops.multiply(feathers, plume_m))
    art = bevel(art, plume_m, 2, (255, 190, 140), 0.7, (20, 0, 6), 0.5, blur=0.7)

    body = Shape(size)
    body.polygon([(232, 94), (270, 94), (282, 118), (220, 118)])          # gorget
    body.polygon([(198, 112), (304, 112), (296, 190), (206, 190)])        # breastplate
    body.ellipse(226, 38, 278, 100)                                       # helmet dome
    body.polygon([(228, 70), (225, 94), (238, 108), (264, 108), (277, 94), (275, 70)])
    body.polygon([(248, 36), (252, 30), (256, 36), (256, 60), (248, 60)])  # crest ridge
    body.ellipse(166, 94, 238, 148)                                       # shoulder plates
    body.ellipse(264, 94, 336, 148)
    body.line([(192, 118), (158, 132)], 23)                               # upper arm
    body.line([(158, 132), (130, 100)], 20)                               # forearm
    body.polygon([(124, 112), (136, 94), (154, 106), (142, 124)])          # gauntlet cuff
    body_m = body.mask()
    fist_m = Shape(size).ellipse(113, 81, 143, 109).mask()

    # the sword: blade to the upper left, its tip beyond the window's top edge
    bx, by, tx, ty = 122, 88, 62, -4
    ang = math.atan2(ty - by, tx - bx)
    ux, uy = math.cos(ang), math.sin(ang)
    nx, ny = -uy, ux
    hw = 8.0
    sword = Shape(size)
    sword.polygon([(bx + nx * hw, by + ny * hw), (bx - nx * hw, by - ny * hw),
                   (tx - ux * 16 - nx * 5, ty - uy * 16 - ny * 5), (tx, ty),
                   (tx - ux * 16 + nx * 5, ty - uy * 16 + ny * 5)])
    guard = Shape(size)
    gx, gy = bx + ux * 17, by + uy * 17
    guard.polygon([(gx + nx * 26 + ux * 6, gy + ny * 26 + uy * 6), (gx + nx * 22, gy + ny * 22),
                   (gx - nx * 22, gy - ny * 22), (gx - nx * 26 + ux * 6, gy - ny * 26 + uy * 6),
                   (gx - nx * 20 - ux * 5, gy - ny * 20 - uy * 5),
                   (gx + nx * 20 - ux * 5, gy + ny * 20 - uy * 5)])
    sword_m = sword.mask()
    guard_m = guard.mask()
    armour = steel_fill(size, 30, 170, top=(176, 188, 212), bottom=(40, 46, 66))
    art = paint(art, armour, body_m)
    for (cx, cy, rx, ry, a) in [(242, 56, 24, 28, 1.0), (190, 106, 34, 24, 1.0),
                                (292, 106, 34, 24, 0.8), (126, 90, 14, 14, 0.8),
                                (250, 124, 40, 20, 0.5)]:
        art = screen_glow(art, (130, 140, 160),
                          ImageChops.multiply(radial_mask(size, cx, cy, rx, ry,
                                                          lambda t: (1 - t) ** 1.6 * a), body_m))
    seams = Shape(size)
    seams.line(bezier((170, 124), (200, 112), (236, 128), 12), 1.4)
    seams.line(bezier((266, 128), (302, 112), (332, 124), 12), 1.4)
    seams.line(bezier((174, 136), (202, 126), (234, 140), 12), 1.2)
    seams.line(bezier((268, 140), (300, 126), (328, 136), 12), 1.2)
    seams.line([(251, 118), (251, 160)], 1.4)
    seams.line([(226, 96), (276, 96)], 1.2)
    seams.line([(120, 110), (146, 92)], 1.2)
    art = paint(art, (22, 24, 36), ImageChops.multiply(seams.mask(), body_m))
    rim = ImageChops.subtract(body_m, ImageChops.offset(body_m, -2, 2))
    art = paint(art, (255, 214, 150), scale_mask(rim, 0.85))
    art = bevel(art, body_m, 1, (230, 236, 250), 0.35, (10, 12, 24), 0.5)
    glow = sword_m.filter(ImageFilter.GaussianBlur(4))
    art = screen_glow(art, (40, 120, 220), scale_mask(glow, 0.9))
    blade = hgrad(W, H, [(0.0, (232, 242, 255)), (0.25, (170, 190, 214)), (1.0, (110, 126, 150))])
    art = paint(art, blade, sword_m)
    half = Shape(size).polygon([(bx, by), (bx - nx * hw, by - ny * hw),
                                (tx - ux * 16 - nx * 5, ty - uy * 16 - ny * 5), (tx, ty)]).mask()
    art = paint(art, (70, 84, 110), scale_mask(half, 0.45))
    ridge = Shape(size).line([(bx + ux * 8, by + uy * 8), (tx - ux * 14, ty - uy * 14)], 1.4).mask()
    art = paint(art, (255, 255, 255), scale_mask(ridge, 0.9))
    art = bevel(art, sword_m, 1, (255, 255, 255), 0.6, (30, 36, 50), 0.6)
    art = paint(art, gold_fill(size, 70, 120), guard_m)
    art = bevel(art, guard_m, 1, (255, 250, 220), 0.9, (60, 30, 0), 0.7)

    art = paint(art, armour, fist_m)
    art = screen_glow(art, (130, 140, 160), ImageChops.multiply(
        radial_mask(size, 122, 88, 14, 14, lambda t: (1 - t) ** 1.6), fist_m))
    fist_seam = Shape(size).line(bezier((118, 92), (128, 100), (138, 96), 8), 1.2).mask()
    art = paint(art, (22, 24, 36), ImageChops.multiply(fist_seam, fist_m))
    art = bevel(art, fist_m, 1, (255, 214, 150), 0.7, (10, 12, 24), 0.6)
    # gold star on the breastplate
    pts = []
    for k in range(10):
        r = 7 if k % 2 == 0 else 3
        a = -math.pi / 2 + k * math.pi / 5
        pts.append((251 + r * math.cos(a), 132 + r * math.sin(a)))
    st = Shape(size).polygon(pts).mask()
    art = paint(art, gold_fill(size, 124, 140), st)
    # glowing visor
    visor = Shape(size)
    visor.line([(236, 70), (268, 70)], 3)
    visor.line([(252, 70), (252, 88)], 3)
    vm = visor.mask()
    art = screen_glow(art, (60, 170, 255), scale_mask(vm.filter(ImageFilter.GaussianBlur(3)), 2.2))
    art = paint(art, (210, 250, 255), vm)

    union = cape_m
    for m in (plume_m, body_m, sword_m, guard_m, fist_m):
        union = ImageChops.lighter(union, m)
    return art, union


def shield_outline_pts():
    left = bezier((40, 330), (48, 476), (250, 541), 60)
    right = bezier((250, 541), (452, 476), (460, 330), 60)
    return [(40, 204), (250, 196), (460, 204)] + [(460, 330)] + right + left[::-1] + [(40, 330)]


def shield_inset_pts(inset):
    def inner(p0, p1, p2):
        return bezier(p0, p1, p2, 60)
    i = inset
    left = inner((40 + i, 330), (48 + i * 1.05, 476 - i * 0.6), (250, 541 - i * 1.55))
    right = inner((250, 541 - i * 1.55), (452 - i * 1.05, 476 - i * 0.6), (460 - i, 330))
    return [(40 + i, 204 + i), (250, 196 + i), (460 - i, 204 + i), (460 - i, 330)] + right + \
        left[::-1] + [(40 + i, 330)]


def banner_pts():
    top = [(x, 150 + 13 * ((x - 250) / 222.0) ** 2) for x in range(28, 473, 4)]
    bottom = [(x, y + 60) for x, y in top[::-1]]
    return top + bottom


def hole_pixels(cx, cy, shape):
    pts = []
    for dy in range(-5, 6):
        for dx in range(-5, 6):
            if shape == "disc9" and dx * dx + dy * dy <= 9 or \
               shape == "disc10" and dx * dx + dy * dy <= 10 or \
               shape == "diamond4" and abs(dx) + abs(dy) <= 4:
                pts.append((cx + dx, cy + dy))
    return pts


def draw_screen(size, with_glow=True):
    """The 'TV screen' in the preview rectangle: VELDANA on a dark backdrop."""
    w, h = size
    img = vgrad(w, h, [(0.0, (22, 36, 78)), (0.55, (14, 24, 58)), (1.0, (20, 18, 48))])
    img = screen_glow(img, (60, 110, 200), radial_mask(size, w * 0.5, h * 0.46, w * 0.62, h * 0.7,
                                                      lambda t: (1 - t) ** 2 * 0.8))
    rnd = random.Random(51)
    # faint star dust
    d = ImageDraw.Draw(img)
    for _ in range(40):
        x, y = rnd.randrange(w), rnd.randrange(h)
        v = rnd.randrange(70, 170)
        d.point((x, y), fill=(v // 2, v * 3 // 4, v))
    # scan lines
    sl = Image.new("L", size, 0)
    ds = ImageDraw.Draw(sl)
    for y in range(0, h, 2):
        ds.line((0, y, w, y), fill=40)
    img = paint(img, (4, 8, 24), sl)
    # the name
    f, tr, ty = screen_text_layout(size)
    bb = f.getbbox("VELDANA")
    tm = text_mask(size, (w / 2, ty), "VELDANA", f, tr, anchor_center=True)
    if with_glow:
        glow = tm.filter(ImageFilter.GaussianBlur(4))
        img = screen_glow(img, (70, 160, 255), scale_mask(glow, 1.0))
    fill = vgrad(w, h, [(0.0, (255, 255, 255)), (0.38, (214, 240, 255)),
                        (0.55, (120, 190, 255)), (1.0, (60, 120, 230))])
    shadow = ImageChops.offset(tm, 1, 2)
    img = paint(img, (6, 10, 30), scale_mask(shadow, 0.8))
    img = paint(img, fill, tm)
    # small caption under the name
    f2 = font("DejaVuSansCondensed-Bold.ttf", 9)
    cm = text_mask(size, (w / 2, ty + bb[3] + 6), "TOLLRAND", f2, 3, anchor_center=True)
    img = paint(img, (232, 190, 100), scale_mask(cm, 0.9))
    # glass glare
    glare = Shape(size).polygon([(0, 0), (w * 0.55, 0), (w * 0.25, h), (0, h)]).mask()
    glare = ImageChops.multiply(glare, vgrad(w, h, [(0, (60,) * 3), (1, (0,) * 3)]).convert("L"))
    img = paint(img, (255, 255, 255), scale_mask(glare, 0.35))
    return img


def make_background(buttons, close_img):
    W, H = BG_SIZE
    size = BG_SIZE
    art = solid(size, OUTLINE)        # everything blends against the rim colour
    parts = []

    # --- hero behind the emblem --------------------------------------------
    art, hero_m = paint_hero(art)
    parts.append(hero_m)

    # --- panel ----------------------------------------------------------------
    panel_m = Shape(size).rrect(PANEL_BOX, 18).mask()
    art = paint(art, PANEL, panel_m)
    inner1 = Shape(size).rrect((PANEL_BOX[0] + 1, PANEL_BOX[1] + 1, PANEL_BOX[2] - 1,
                                PANEL_BOX[3] - 1), 17).mask()
    inner2 = Shape(size).rrect((PANEL_BOX[0] + 4, PANEL_BOX[1] + 4, PANEL_BOX[2] - 4,
                                PANEL_BOX[3] - 4), 14).mask()
    inner3 = Shape(size).rrect((PANEL_BOX[0] + 5, PANEL_BOX[1] + 5, PANEL_BOX[2] - 5,
                                PANEL_BOX[3] - 5), 13).mask()
    border = vgrad(W, H, [(0.0, (112, 152, 194)), (1.0, (84, 120, 162))])
    art = paint(art, border, ImageChops.subtract(inner1, inner2))
    art = paint(art, (196, 220, 242), ImageChops.subtract(ImageChops.subtract(inner1, inner3),
                                                           ImageChops.subtract(inner1, inner2)))
    art = paint(art, (190, 214, 238), ImageChops.subtract(inner1, ImageChops.offset(inner1, 0, 1)))
    parts.append(panel_m)

    # --- emblem shield --------------------------------------------------------
    shield_m = Shape(size).polygon(shield_outline_pts()).mask()
    rim_in_m = Shape(size).polygon(shield_inset_pts(13)).mask()
    field_m = Shape(size).polygon(shield_inset_pts(17)).mask()
    line_m = ImageChops.subtract(Shape(size).polygon(shield_inset_pts(26)).mask(),
                                 Shape(size).polygon(shield_inset_pts(28)).mask())
    art = paint(art, gold_fill(size, 196, 541), shield_m)
    brushed = value_noise(W, H, 40, 2, random.Random(7)).point(lambda v: int(v * 0.35))
    art = paint(art, (255, 236, 190), ImageChops.multiply(brushed, shield_m))
    art = bevel(art, shield_m, 3, (255, 248, 210), 0.8, (70, 40, 8), 0.7, blur=1)
    art = paint(art, (60, 36, 10), ImageChops.subtract(rim_in_m, field_m))
    field = vgrad(W, H, [(0.0, (40, 64, 128)), (0.45, (24, 40, 94)), (1.0, (16, 24, 62))])
    tex = fractal_noise(W, H, 48, 4, random.Random(11))
    field = ImageChops.overlay(field, Image.merge("RGB", [tex.point(lambda v: 112 + v // 8)] * 3))
    rays = Image.new("L", size, 0)
    dr = ImageDraw.Draw(rays)
    for k in range(24):
        a0 = k * math.tau / 24
        a1 = a0 + math.tau / 48
        dr.polygon([(250, 344), (250 + 600 * math.cos(a0), 344 + 600 * math.sin(a0)),
                    (250 + 600 * math.cos(a1), 344 + 600 * math.sin(a1))], fill=34)
    rays = ImageChops.multiply(rays, radial_mask(size, 250, 344, 240, 240, lambda t: 1 - t * 0.7))
    field = paint(field, (120, 170, 255), rays.filter(ImageFilter.GaussianBlur(1)))
    field = screen_glow(field, (50, 90, 170), radial_mask(size, 250, 344, 190, 170,
                                                        lambda t: (1 - t) ** 2))
    art = paint(art, field, field_m)
    art = bevel(art, field_m, 2, (8, 12, 30), 0.8, (120, 150, 220), 0.35)
    art = paint(art, gold_fill(size, 220, 520), scale_mask(line_m, 0.9))
    # rivets along the rim
    rivets = Shape(size)
    rim_path = shield_inset_pts(7)
    for i in range(0, len(rim_path), 9):
        x, y = rim_path[i]
        if y > 226:
            rivets.ellipse(x - 2.6, y - 2.6, x + 2.6, y + 2.6)
    rv = rivets.mask()
    art = paint(art, (110, 70, 20), rv)
    art = bevel(art, rv, 1, (255, 250, 220), 0.9, (60, 30, 0), 0.6)
    parts.append(shield_m)

    # crest above the screen: a small gold star with a halo
    star = Shape(size)
    cx, cy = 250, 252
    pts = []
    for k in range(16):
        r = 17 if k % 2 == 0 else 6
        if k % 4 == 2:
            r = 11
        a = -math.pi / 2 + k * math.pi / 8
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    star.polygon(pts)
    sm = star.mask()
    art = screen_glow(art, (120, 110, 60), radial_mask(size, cx, cy, 30, 30, lambda t: (1 - t) ** 2))
    art = paint(art, gold_fill(size, 234, 270), sm)
    art = bevel(art, sm, 1, (255, 255, 230), 0.8, (80, 40, 0), 0.6)

    # screen bezel and screen
    px, py, pw, ph = PREVIEW
    bez = Shape(size).rrect((px - 10, py - 10, px + pw + 9, py + ph + 9), 12).mask()
    bez_in = Shape(size).rrect((px - 3, py - 3, px + pw + 2, py + ph + 2), 5).mask()
    art = paint(art, (8, 12, 28), scale_mask(ImageChops.offset(bez, 2, 3).filter(
        ImageFilter.GaussianBlur(2)), 0.7))
    art = paint(art, steel_fill(size, py - 10, py + ph + 10, (210, 218, 232), (70, 78, 100)), bez)
    art = bevel(art, bez, 2, (255, 255, 255), 0.7, (20, 24, 40), 0.7, blur=0.8)
    art = paint(art, (28, 32, 48), bez_in)
    art = bevel(art, bez_in, 2, (14, 16, 26), 0.9, (190, 200, 220), 0.8)
    art.paste(draw_screen((pw, ph)), (px, py))

    # gem settings around the see-through holes, chevron below
    settings = Shape(size)
    for gx, gy, shape in GEM_HOLES:
        r = 9 if shape == "diamond4" else 8
        if shape == "diamond4":
            settings.polygon([(gx, gy - r - 1), (gx + r + 1, gy), (gx, gy + r + 1), (gx - r - 1, gy)])
        else:
            settings.ellipse(gx - r + 0.5, gy - r + 0.5, gx + r + 0.5, gy + r + 0.5)
    chev = Shape(size)
    chev.polygon([(200, 462), (250, 490), (300, 462), (300, 472), (250, 502), (200, 472)])
    cm = chev.mask()
    art = paint(art, gold_fill(size, 460, 504), cm)
    art = bevel(art, cm, 1, (255, 250, 210), 0.8, (60, 30, 0), 0.7)
    st = settings.mask()
    art = paint(art, gold_fill(size, 416, 448), st)
    art = bevel(art, st, 1, (255, 250, 210), 0.9, (60, 30, 0), 0.7)

    # --- banner with the game logo -------------------------------------------
    tails = Shape(size)
    tails.polygon([(46, 176), (3, 176), (22, 206), (3, 236), (56, 236)])
    tails.polygon([(454, 176), (497, 176), (478, 206), (497, 236), (444, 236)])
    tm_ = tails.mask()
    art = paint(art, vgrad(W, H, [(0.0, (120, 14, 26)), (0.33, (120, 14, 26)),
                                  (0.45, (70, 6, 16)), (1.0, (70, 6, 16))]), tm_)
    art = bevel(art, tm_, 1, (220, 100, 100), 0.6, (20, 0, 4), 0.6)
    folds_m = Shape(size)
    folds_m.polygon([(30, 204), (56, 236), (56, 210)])
    folds_m.polygon([(470, 204), (444, 236), (444, 210)])
    art = paint(art, (40, 2, 10), folds_m.mask())
    parts.append(tm_)
    band_m = Shape(size).polygon(banner_pts()).mask()
    band = vgrad(W, H, [(0.0, (236, 70, 70)), (0.30, (200, 30, 40)), (0.38, (160, 18, 32)),
                        (0.44, (110, 10, 22)), (1.0, (110, 10, 22))])
    cloth = value_noise(W, H, 200, 1, random.Random(3)).point(lambda v: 110 + v // 6)
    band = ImageChops.overlay(band, Image.merge("RGB", [cloth] * 3))
    art = paint(art, band, band_m)
    trim_o = Shape(size).polygon(banner_pts()).mask()
    trim_i = Shape(size).polygon([(x, y + (4 if i < len(banner_pts()) // 2 else -4))
                                  for i, (x, y) in enumerate(banner_pts())]).mask()
    art = paint(art, gold_fill(size, 148, 226), ImageChops.subtract(trim_o, trim_i))
    art = bevel(art, band_m, 2, (255, 220, 160), 0.6, (30, 0, 6), 0.7)
    parts.append(band_m)

    f = font("DejaVuSerif-Bold.ttf", 42)
    tr = 5
    word = "TOLLRAND"
    tw = text_width(word, f, tr)
    bb = f.getbbox(word)
    logo = Image.new("L", size, 0)
    x = 250 - tw / 2
    # letters follow the banner's curve
    for ch in word:
        cw = f.getlength(ch)
        mx = x + cw / 2
        cy = 150 + 13 * ((mx - 250) / 222.0) ** 2 + 30
        ImageDraw.Draw(logo).text((x, cy - (bb[1] + bb[3]) / 2), ch, font=f, fill=255)
        x += cw + tr
    outline = logo.filter(ImageFilter.MaxFilter(5))
    art = paint(art, (30, 4, 8), scale_mask(ImageChops.offset(outline, 1, 2), 0.9))
    art = paint(art, (40, 8, 4), outline)
    art = paint(art, gold_fill(size, 160, 204), logo)
    art = bevel(art, logo, 1, (255, 255, 230), 0.9, (90, 40, 0), 0.6)

    # --- panel decoration: texts, list frame, buttons, logos -----------------
    d = ImageDraw.Draw(art)
    ft = font("DejaVuSansCondensed-Bold.ttf", 11)
    def shadow_text(img, x, y, text):
        m = Image.new("L", size, 0)
        ImageDraw.Draw(m).text((x, y), text, font=ft, fill=255)
        img = paint(img, (24, 42, 72), scale_mask(ImageChops.offset(m, 1, 1), 0.9))
        return paint(img, (255, 255, 255), m)
    bb = ft.getbbox("Hg")
    y1 = CHECK1[1] + CHECK1[3] / 2 - (bb[1] + bb[3]) / 2
    art = shadow_text(art, 545, round(y1), "Veldana aktivieren")
    y2 = CHECK2[1] + CHECK2[3] / 2 - (bb[1] + bb[3]) / 2
    art = shadow_text(art, 545, round(y2), "Hintergrundbild zufällig bei jedem")
    art = shadow_text(art, 545, round(y2) + 13, "Windows-Start auswählen")
    # title
    fh = font("DejaVuSansCondensed-Bold.ttf", 11)
    hm = text_mask(size, (527, 142), "TOLLRAND \u00b7 HINTERGR\u00dcNDE", fh, 1)
    art = paint(art, (246, 252, 255), scale_mask(ImageChops.offset(hm, 0, 1), 0.6))
    art = paint(art, (44, 78, 122), hm)

    # sunken frame around the list
    x0, y0, x1, y1 = LIST_FRAME
    d = ImageDraw.Draw(art)
    d.rectangle((x0, y0, x1, y1), fill=(124, 164, 204))
    d.line((x0, y0, x1 - 1, y0), fill=(84, 114, 150))
    d.line((x0, y0, x0, y1 - 1), fill=(84, 114, 150))
    d.line((x0, y1, x1, y1), fill=(236, 244, 252))
    d.line((x1, y0, x1, y1), fill=(236, 244, 252))
    d.line((x0 + 1, y0 + 1, x1 - 2, y0 + 1), fill=(62, 90, 126))
    d.line((x0 + 1, y0 + 1, x0 + 1, y1 - 2), fill=(62, 90, 126))
    d.line((x0 + 1, y1 - 1, x1 - 1, y1 - 1), fill=(196, 218, 240))
    d.line((x1 - 1, y0 + 1, x1 - 1, y1 - 1), fill=(196, 218, 240))
    lx, ly, lw, lh = LISTBOX
    d.rectangle((lx - 1, ly - 1, lx + lw, ly + lh), fill=(255, 255, 255), outline=(70, 96, 130))

    for (bx_, by_, _, _), bimg in zip(BUTTONS, buttons):
        art.paste(bimg, (bx_, by_))
    art.paste(close_img, (CLOSE[0], CLOSE[1]))
    art = draw_publisher_logo(art)
    art = draw_handheld_logo(art)

    # --- window shape ----------------------------------------------------------
    union = parts[0]
    for m in parts[1:]:
        union = ImageChops.lighter(union, m)
    binary = union.point(lambda v: 255 if v >= 128 else 0)
    clip = Image.new("L", size, 0)
    ImageDraw.Draw(clip).rectangle(KEEP_BOX, fill=255)
    binary = ImageChops.multiply(binary, clip)
    # fill any pocket enclosed by the shape so that only the gem holes see through
    padded = Image.new("L", (W + 2, H + 2), 0)
    padded.paste(binary, (1, 1))
    ImageDraw.floodfill(padded, (0, 0), 128)
    pockets = padded.crop((1, 1, W + 1, H + 1)).point(lambda v: 255 if v == 0 else 0)
    pocket_count = sum(1 for v in pockets.getdata() if v)
    binary = ImageChops.lighter(binary, pockets)

    er1 = erode4(binary)
    ring1 = ImageChops.subtract(binary, er1)
    ring2 = ImageChops.subtract(er1, erode4(er1))
    art = paint(art, OUTLINE, scale_mask(ring2, 0.45))

    final = solid(size, KEY)
    final.paste(art, (0, 0), binary)
    final.paste(OUTLINE, (0, 0), ring1)

    holes = Image.new("L", size, 0)
    hd = ImageDraw.Draw(holes)
    for gx, gy, shape in GEM_HOLES:
        for p in hole_pixels(gx, gy, shape):
            hd.point(p, fill=255)
    hole_rim = ImageChops.subtract(holes.filter(ImageFilter.MaxFilter(3)), holes)
    final.paste(OUTLINE, (0, 0), hole_rim)
    final.paste(KEY, (0, 0), holes)

    # no kept pixel may carry the key colour by accident
    data = list(final.getdata())
    bdata = binary.getdata()
    hdata = holes.getdata()
    fixed = 0
    for i, c in enumerate(data):
        if c == KEY and bdata[i] and not hdata[i]:
            data[i] = OUTLINE
            fixed += 1
    if fixed:
        final.putdata(data)
    return final, pocket_count


def draw_publisher_logo(art):
    """Invented publisher mark 'Nordwerk Interactive' in Label2's rectangle."""
    x, y, w, h = LABEL2
    m = Shape(art.size)
    # a small mountain-and-anvil mark
    m.polygon([(x + 2, y + 22), (x + 10, y + 5), (x + 14, y + 12), (x + 18, y + 6), (x + 24, y + 22)])
    mark = m.mask()
    art = paint(art, vgrad(art.size[0], art.size[1], [(0.0, (60, 96, 150)), (1.0, (22, 44, 84))]), mark)
    snow = Shape(art.size).polygon([(x + 8, y + 9), (x + 10, y + 5), (x + 12, y + 9),
                                    (x + 10, y + 8)]).mask()
    art = paint(art, (255, 255, 255), snow)
    f1 = font("DejaVuSansCondensed-Bold.ttf", 12)
    f2 = font("DejaVuSansCondensed-Bold.ttf", 7)
    t1 = text_mask(art.size, (x + 28, y + 2), "NORDWERK", f1, 0)
    t2 = text_mask(art.size, (x + 29, y + 16), "INTERACTIVE", f2, 1)
    art = paint(art, (232, 244, 255), scale_mask(ImageChops.offset(t1, 0, 1), 0.6))
    art = paint(art, (26, 50, 92), t1)
    art = paint(art, (40, 70, 112), t2)
    return art


def draw_handheld_logo(art):
    """Invented handheld console 'Sternling' logo in Label10's rectangle."""
    x, y, w, h = LABEL10
    cx, cy = x + 11, y + 12
    pts = []
    for k in range(10):
        r = 10 if k % 2 == 0 else 4.2
        a = -math.pi / 2 + k * math.pi / 5
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    sm = Shape(art.size).polygon(pts).mask()
    art = screen_glow(art, (90, 80, 20), radial_mask(art.size, cx, cy, 13, 13, lambda t: (1 - t) ** 2))
    art = paint(art, vgrad(art.size[0], art.size[1], [(0.0, (255, 236, 120)), (1.0, (240, 150, 20))]), sm)
    art = bevel(art, sm, 1, (255, 255, 230), 0.6, (140, 70, 0), 0.7)
    f1 = font("DejaVuSans-BoldOblique.ttf", 14)
    t1 = text_mask(art.size, (x + 24, y + 1), "Sternling", f1, 0)
    f2 = font("DejaVuSansCondensed-Bold.ttf", 7)
    t2 = text_mask(art.size, (x + 60, y + 16), "POCKET", f2, 2)
    art = paint(art, (236, 246, 255), scale_mask(ImageChops.offset(t1, 1, 1), 0.7))
    art = paint(art, vgrad(art.size[0], art.size[1], [(0.0, (110, 40, 160)), (1.0, (50, 16, 96))]), t1)
    art = paint(art, (70, 30, 120), t2)
    return art


# ---------------------------------------------------------------------------
# Preview clips (uncompressed 8-bit AVI)
# ---------------------------------------------------------------------------
def screen_with_sweep(size, sweep=None, glow_gain=1.0):
    """The VELDANA screen; 'sweep' moves a band of light across the letters."""
    img = draw_screen(size, with_glow=True)
    if sweep is None and glow_gain == 1.0:
        return img
    w, h = size
    f, tr, ty = screen_text_layout(size)
    tm = text_mask(size, (w / 2, ty), "VELDANA", f, tr, anchor_center=True)
    if glow_gain != 1.0:
        img = screen_glow(img, (60, 140, 255),
                          scale_mask(tm.filter(ImageFilter.GaussianBlur(5)), max(0.0, glow_gain - 1.0)))
    if sweep is not None:
        band = Shape(size).polygon([(sweep - 10, 0), (sweep + 4, 0), (sweep - 18, h), (sweep - 32, h)]).mask()
        band = band.filter(ImageFilter.GaussianBlur(2))
        img = paint(img, (255, 255, 255), ImageChops.multiply(band, tm))
        img = screen_glow(img, (90, 120, 160), scale_mask(band, 0.35))
    return img


def screen_text_layout(size):
    w, h = size
    size_pt = 40
    while True:
        f = font("DejaVuSans-Bold.ttf", size_pt)
        tr = max(1, size_pt // 14)
        if text_width("VELDANA", f, tr) <= w - 14:
            break
        size_pt -= 1
    bb = f.getbbox("VELDANA")
    return f, tr, h * 0.47 - (bb[1] + bb[3]) / 2


def power_on_frames(n=26):
    w, h = CLIP_SIZE
    final = draw_screen(CLIP_SIZE)
    black = solid(CLIP_SIZE, (4, 6, 16))
    frames = []
    for i in range(n):
        if i == 0:
            img = black.copy()
        elif i <= 3:
            # a thin line opens from the centre, like an old tube warming up
            half = [0, 8, 36, 77][i]
            img = black.copy()
            m = Image.new("L", CLIP_SIZE, 0)
            ImageDraw.Draw(m).rectangle((w // 2 - half, h // 2 - 1, w // 2 + half, h // 2), fill=255)
            img = screen_glow(img, (80, 160, 255), m.filter(ImageFilter.GaussianBlur(4)))
            img = screen_glow(img, (80, 160, 255), m.filter(ImageFilter.GaussianBlur(2)))
            img = paint(img, (235, 248, 255), m)
        elif i <= 6:
            # the line becomes a bright field
            half_h = [0, 0, 0, 0, 5, 22, 58][i]
            img = black.copy()
            m = Image.new("L", CLIP_SIZE, 0)
            ImageDraw.Draw(m).rectangle((0, h // 2 - half_h, w, h // 2 + half_h), fill=255)
            img = paint(img, (200, 230, 255), m.filter(ImageFilter.GaussianBlur(3)))
            img = screen_glow(img, (255, 255, 255), radial_mask(CLIP_SIZE, w / 2, h / 2, w * 0.7, half_h * 1.6 + 4))
        elif i <= 11:
            t = (i - 6) / 5.0
            img = Image.blend(solid(CLIP_SIZE, (226, 240, 255)), final, t)
        else:
            k = i - 12
            sweep = -10 + k * 14 if k <= 12 else None
            gain = 1.0 + 0.6 * math.sin(min(1.0, k / 13.0) * math.pi)
            img = screen_with_sweep(CLIP_SIZE, sweep, gain)
        frames.append(img)
    frames[-1] = final
    return frames


def static_frames(n=12):
    w, h = CLIP_SIZE
    rnd = random.Random(4242)
    frames = []
    vign = radial_mask(CLIP_SIZE, w / 2, h / 2, w * 0.78, h * 0.86, lambda t: 1 - t ** 3)
    for i in range(n):
        fine = Image.frombytes("L", CLIP_SIZE, rnd.randbytes(w * h))
        coarse = Image.frombytes("L", (w // 3 + 1, h), rnd.randbytes((w // 3 + 1) * h))
        coarse = coarse.resize((w, h), Image.BILINEAR)
        rows = Image.frombytes("L", (1, h), rnd.randbytes(h)).resize((w, h), Image.NEAREST)
        img = Image.blend(Image.blend(fine, coarse, 0.35), rows, 0.22)
        img = ImageOps.autocontrast(img, cutoff=1)
        # a brighter band rolling down the picture
        band_y = (i * h // n + 17) % h
        band = Image.new("L", CLIP_SIZE, 0)
        ImageDraw.Draw(band).rectangle((0, band_y - 6, w, band_y + 6), fill=70)
        band = band.filter(ImageFilter.GaussianBlur(4))
        img = ImageChops.add(img, band)
        # horizontal tear: shift a few rows sideways
        tear_y = rnd.randrange(10, h - 20)
        strip = img.crop((0, tear_y, w, tear_y + 6))
        img.paste(ImageChops.offset(strip, rnd.randrange(-20, 20), 0), (0, tear_y))
        scan = Image.new("L", CLIP_SIZE, 255)
        sd = ImageDraw.Draw(scan)
        for y in range(1, h, 2):
            sd.line((0, y, w, y), fill=200)
        img = ImageChops.multiply(img, scan)
        img = ImageChops.multiply(img, vign)
        frames.append(img)
    return frames


def static_palette():
    pal = []
    for v in range(256):
        t = v / 255.0
        pal.append((int(12 + 232 * t ** 1.05), int(14 + 236 * t), int(26 + 229 * t ** 0.92)))
    return pal


def quantize_clip(frames):
    """One shared 256-colour palette for all frames (the animate control has
    only the stream's palette)."""
    w, h = frames[0].size
    cols = 6
    rows = (len(frames) + cols - 1) // cols
    sheet = solid((w * cols, h * rows), (0, 0, 0))
    for i, f in enumerate(frames):
        sheet.paste(f, ((i % cols) * w, (i // cols) * h))
    pal_img = sheet.quantize(256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    pal = pal_img.getpalette()[:768]
    pal += [0] * (768 - len(pal))
    out = [f.quantize(palette=pal_img, dither=Image.Dither.NONE) for f in frames]
    palette = [tuple(pal[i * 3:i * 3 + 3]) for i in range(256)]
    return out, palette


def chunk(fourcc, data):
    pad = b"\0" if len(data) % 2 else b""
    return fourcc + struct.pack("<I", len(data)) + data + pad


def riff_list(kind, fourcc, content):
    return kind + struct.pack("<I", len(content) + 4) + fourcc + content


def avi_bytes(indexed_frames, palette, fps):
    w, h = indexed_frames[0].size
    stride = (w + 3) & ~3
    frame_len = stride * h
    n = len(indexed_frames)
    avih = struct.pack("<14I", int(round(1000000 / fps)), frame_len * fps, 0, 0x10, n, 0, 1,
                       frame_len, w, h, 0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIiI4h", b"vids", b"DIB ", 0, 0, 0, 0, 1, fps, 0, n,
                       frame_len, -1, 0, 0, 0, w, h)
    bih = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, frame_len, 0, 0, 256, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    strl = riff_list(b"LIST", b"strl", chunk(b"strh", strh) + chunk(b"strf", bih + pal))
    hdrl = riff_list(b"LIST", b"hdrl", chunk(b"avih", avih) + strl)
    movi_content = b""
    index = b""
    for f in indexed_frames:
        data = f.tobytes("raw", ("P", stride, -1))
        assert len(data) == frame_len
        index += struct.pack("<4sIII", b"00db", 0x10, 4 + len(movi_content), frame_len)
        movi_content += chunk(b"00db", data)
    movi = riff_list(b"LIST", b"movi", movi_content)
    body = hdrl + movi + chunk(b"idx1", index)
    return b"RIFF" + struct.pack("<I", len(body) + 4) + b"AVI " + body


def parse_avi(data):
    """Minimal reader used to check what we wrote: returns a summary dict."""
    assert data[:4] == b"RIFF" and data[8:12] == b"AVI ", "not an AVI"
    assert struct.unpack_from("<I", data, 4)[0] + 8 == len(data), "RIFF size"
    info = {"frames": 0, "frame_sizes": set(), "index": 0}

    def walk(pos, end, movi_start=None):
        while pos + 8 <= end:
            cid = data[pos:pos + 4]
            size = struct.unpack_from("<I", data, pos + 4)[0]
            body = pos + 8
            if cid == b"LIST":
                kind = data[body:body + 4]
                walk(body + 4, body + size, body if kind == b"movi" else movi_start)
                if kind == b"movi":
                    info["movi"] = body
            elif cid == b"avih":
                v = struct.unpack_from("<14I", data, body)
                info.update(usec=v[0], flags=v[3], total=v[4], streams=v[6], width=v[8], height=v[9])
            elif cid == b"strh":
                v = struct.unpack_from("<4s4sIHHIIIIIIiI4h", data, body)
                info.update(type=v[0], handler=v[1], scale=v[6], rate=v[7], length=v[9])
            elif cid == b"strf":
                v = struct.unpack_from("<IiiHHIIiiII", data, body)
                info.update(bih_w=v[1], bih_h=v[2], bpp=v[4], compression=v[5], clr_used=v[9],
                            strf_len=size)
            elif cid == b"00db":
                info["frames"] += 1
                info["frame_sizes"].add(size)
            elif cid == b"idx1":
                for k in range(size // 16):
                    ck, flags, off, ln = struct.unpack_from("<4sIII", data, body + k * 16)
                    target = info["movi"] + off
                    assert data[target:target + 4] == ck == b"00db", "idx1 offset"
                    assert struct.unpack_from("<I", data, target + 4)[0] == ln
                    info["index"] += 1
            pos = body + size + (size & 1)
    walk(12, len(data))
    return info


def check_avi(path, want_frames, size=CLIP_SIZE):
    with open(path, "rb") as f:
        info = parse_avi(f.read())
    w, h = size
    assert info["frames"] == info["total"] == info["length"] == info["index"] == want_frames, info
    assert (info["width"], info["height"]) == (info["bih_w"], info["bih_h"]) == (w, h), info
    assert info["type"] == b"vids" and info["handler"] in (b"DIB ", b"\0\0\0\0"), info
    assert info["bpp"] == 8 and info["compression"] == 0 and info["strf_len"] == 40 + 1024, info
    assert info["frame_sizes"] == {((w + 3) & ~3) * h}, info
    assert info["streams"] == 1 and info["flags"] & 0x10, info
    if shutil.which("ffprobe"):
        out = subprocess.run(["ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0",
                              "-show_entries", "stream=width,height,nb_read_frames",
                              "-of", "csv=p=0", path], capture_output=True, text=True).stdout
        assert out.strip() == "%d,%d,%d" % (w, h, want_frames), out
    return info


# ---------------------------------------------------------------------------
# Program icon
# ---------------------------------------------------------------------------
def icon_art(px):
    """The hero's plumed helmet on the Tollrand shield, RGBA, px x px."""
    S = 256
    size = (S, S)
    img = Image.new("RGB", size, OUTLINE)
    sh = Shape(size)
    left = bezier((24, 120), (28, 206), (128, 250), 30)
    right = bezier((128, 250), (228, 206), (232, 120), 30)
    outline = [(24, 30), (128, 18), (232, 30), (232, 120)] + right + left[::-1] + [(24, 120)]
    sh.polygon(outline)
    shield = sh.mask()
    img = paint(img, gold_fill(size, 18, 250), shield)
    img = bevel(img, shield, 6, (255, 250, 220), 0.8, (80, 40, 0), 0.7, blur=2)
    inner = Shape(size)
    il = bezier((44, 118), (48, 190), (128, 228), 30)
    ir = bezier((128, 228), (208, 190), (212, 118), 30)
    inner.polygon([(44, 48), (128, 38), (212, 48), (212, 118)] + ir + il[::-1] + [(44, 118)])
    field_m = inner.mask()
    img = paint(img, vgrad(S, S, [(0.0, (52, 86, 160)), (1.0, (18, 30, 76))]), field_m)
    img = screen_glow(img, (50, 90, 170), ImageChops.multiply(
        radial_mask(size, 128, 120, 110, 110, lambda t: (1 - t) ** 2), field_m))
    # plume
    pl = Shape(size)
    pl.polygon([(124, 60)] + bezier((130, 40), (190, 10), (226, 70), 20) + [(228, 124)] +
               bezier((204, 90), (170, 60), (140, 76), 12))
    plume = pl.mask()
    img = paint(img, vgrad(S, S, [(0.0, (240, 70, 70)), (0.5, (150, 20, 34)), (1.0, (90, 10, 20))]), plume)
    img = bevel(img, plume, 3, (255, 200, 160), 0.7, (30, 0, 8), 0.6, blur=1)
    # helmet
    hm = Shape(size)
    hm.ellipse(76, 54, 180, 176)
    hm.polygon([(78, 120), (72, 176), (100, 206), (156, 206), (184, 176), (178, 120)])
    helmet = hm.mask()
    img = paint(img, steel_fill(size, 54, 206, (214, 224, 240), (56, 64, 88)), helmet)
    img = screen_glow(img, (120, 130, 150), ImageChops.multiply(
        radial_mask(size, 108, 92, 50, 56, lambda t: (1 - t) ** 1.5), helmet))
    rim = ImageChops.subtract(helmet, ImageChops.offset(helmet, -5, 5))
    img = paint(img, (255, 214, 150), scale_mask(rim, 0.8))
    img = bevel(img, helmet, 3, (240, 244, 255), 0.4, (10, 12, 24), 0.6, blur=1)
    vz = Shape(size)
    vz.line([(90, 128), (166, 128)], 12)
    vz.line([(128, 128), (128, 178)], 12)
    vm = vz.mask()
    img = screen_glow(img, (60, 170, 255), scale_mask(vm.filter(ImageFilter.GaussianBlur(8)), 2.0))
    img = paint(img, (210, 250, 255), vm)
    alpha = ImageChops.lighter(shield, plume)
    # dark rim around the whole motif so it reads on any desktop colour
    rim_a = alpha.filter(ImageFilter.MaxFilter(9))
    base = solid(size, (20, 16, 24))
    img = Image.composite(img, base, alpha)
    rgba = img.convert("RGBA")
    rgba.putalpha(rim_a)
    return rgba.resize((px, px), Image.LANCZOS)


def icon_bmp_8bit(rgba):
    w, h = rgba.size
    alpha = rgba.getchannel("A")
    flat = Image.composite(rgba.convert("RGB"), solid((w, h), (0, 0, 0)),
                           alpha.point(lambda v: 255 if v >= 128 else 0))
    q = flat.quantize(255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    qpal = q.getpalette()[:765]
    qpal += [0] * (765 - len(qpal))
    palette = [(0, 0, 0)] + [tuple(qpal[i * 3:i * 3 + 3]) for i in range(255)]
    idx = list(q.getdata())
    a = list(alpha.getdata())
    pixels = bytearray()
    mask_rows = []
    mstride = ((w + 31) // 32) * 4
    for y in range(h - 1, -1, -1):
        row = bytearray()
        bits = bytearray(mstride)
        for x in range(w):
            i = y * w + x
            transparent = a[i] < 128
            row.append(0 if transparent else idx[i] + 1)
            if transparent:
                bits[x // 8] |= 0x80 >> (x % 8)
        row += b"\0" * (((w + 3) & ~3) - w)
        pixels += row
        mask_rows.append(bytes(bits))
    andmask = b"".join(mask_rows)
    bih = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 8, 0, len(pixels) + len(andmask), 0, 0, 256, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return bih + pal + bytes(pixels) + andmask


def icon_bmp_32bit(rgba):
    w, h = rgba.size
    px = rgba.load()
    mstride = ((w + 31) // 32) * 4
    pixels = bytearray()
    andmask = bytearray()
    for y in range(h - 1, -1, -1):
        bits = bytearray(mstride)
        for x in range(w):
            r, g, b, a = px[x, y]
            if a == 0:
                r = g = b = 0
            pixels += bytes((b, g, r, a))
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        andmask += bits
    bih = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(pixels) + len(andmask), 0, 0, 0, 0)
    return bih + bytes(pixels) + bytes(andmask)


def ico_bytes(entries):
    """entries: list of (width, height, bitcount, dib bytes)."""
    head = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    dirs, blobs = b"", b""
    for w, h, bpp, dib in entries:
        dirs += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, bpp, len(dib), offset + len(blobs))
        blobs += dib
    return head + dirs + blobs


def ico_images(path):
    """Decodes each entry of our icon (XOR bitmap + AND mask) into RGBA."""
    with open(path, "rb") as f:
        data = f.read()
    count = struct.unpack_from("<H", data, 4)[0]
    out = []
    for k in range(count):
        w, h, _, _, _, bpp, size, off = struct.unpack_from("<BBBBHHII", data, 6 + 16 * k)
        p = off + 40
        pal = []
        if bpp == 8:
            pal = [(data[p + 4 * i + 2], data[p + 4 * i + 1], data[p + 4 * i]) for i in range(256)]
            p += 1024
        stride = ((w * bpp + 31) // 32) * 4
        mstride = ((w + 31) // 32) * 4
        xor, andm = p, p + stride * h
        img = Image.new("RGBA", (w, h))
        for y in range(h):
            row = xor + (h - 1 - y) * stride
            mrow = andm + (h - 1 - y) * mstride
            for x in range(w):
                hole = data[mrow + x // 8] & (0x80 >> (x % 8))
                if bpp == 8:
                    r, g, b = pal[data[row + x]]
                    a = 0 if hole else 255
                else:
                    b, g, r, a = data[row + 4 * x:row + 4 * x + 4]
                img.putpixel((x, y), (r, g, b, a))
        out.append(img)
    return out


def check_ico(path):
    with open(path, "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert reserved == 0 and kind == 1 and count == 3
    seen = []
    for k in range(count):
        w, h, colours, _, planes, bpp, size, off = struct.unpack_from("<BBBBHHII", data, 6 + 16 * k)
        hs, bw, bh, bplanes, bbpp, comp = struct.unpack_from("<IiiHHI", data, off)
        assert hs == 40 and bw == w and bh == 2 * h and bbpp == bpp and comp == 0, (k, w, h)
        pal = 1024 if bpp == 8 else 0
        xor = ((w * bpp + 31) // 32) * 4 * h
        andm = ((w + 31) // 32) * 4 * h
        assert size == 40 + pal + xor + andm and off + size <= len(data), (k, size)
        seen.append((w, h, bpp))
    assert seen == [(16, 16, 8), (32, 32, 8), (32, 32, 32)], seen
    return seen


# ---------------------------------------------------------------------------
# Wallpapers: painted Tollrand key art
# ---------------------------------------------------------------------------
class Scene:
    def __init__(self, w, h, seed):
        self.w, self.h = w, h
        self.size = (w, h)
        self.rnd = random.Random(seed)
        self.img = None

    # -- sky and lights ---------------------------------------------------
    def sky(self, stops):
        self.img = vgrad(self.w, self.h, stops)

    def glow(self, cx, cy, r, colour, strength=1.0, power=2.0, ry=None):
        m = radial_mask(self.size, cx * self.w, cy * self.h, r * self.w,
                        (ry if ry else r) * self.w, lambda t: (1 - t) ** power * strength)
        self.img = screen_glow(self.img, colour, m)

    def sun(self, cx, cy, r, colour, halo, rays=0):
        self.glow(cx, cy, r * 9, halo, 0.55, 2.4)
        self.glow(cx, cy, r * 3.2, halo, 0.8, 2.0)
        if rays:
            m = Image.new("L", self.size, 0)
            d = ImageDraw.Draw(m)
            X, Y = cx * self.w, cy * self.h
            for k in range(rays):
                a = self.rnd.uniform(math.pi * 1.02, math.pi * 1.98)
                wd = self.rnd.uniform(0.012, 0.035)
                L = self.w * 1.2
                d.polygon([(X, Y), (X + L * math.cos(a - wd), Y + L * math.sin(a - wd)),
                           (X + L * math.cos(a + wd), Y + L * math.sin(a + wd))],
                          fill=self.rnd.randrange(20, 46))
            m = m.filter(ImageFilter.GaussianBlur(self.w / 200))
            m = ImageChops.multiply(m, radial_mask(self.size, X, Y, self.w * 0.9, None,
                                                   lambda t: 1 - t))
            self.img = screen_glow(self.img, halo, m)
        disc = Shape(self.size).ellipse((cx - r) * self.w, cy * self.h - r * self.w,
                                        (cx + r) * self.w, cy * self.h + r * self.w).mask()
        self.img = paint(self.img, colour, disc)

    def moon(self, cx, cy, r, colour=(246, 240, 222), halo=(90, 110, 160), crescent=0.0):
        X, Y, R = cx * self.w, cy * self.h, r * self.w
        self.glow(cx, cy, r * 7, halo, 0.55, 2.2)
        self.glow(cx, cy, r * 2.2, halo, 0.9, 1.6)
        disc = Shape(self.size).ellipse(X - R, Y - R, X + R, Y + R).mask()
        if crescent:
            cut = Shape(self.size).ellipse(X - R + crescent * R * 2, Y - R * 1.05,
                                           X + R + crescent * R * 2, Y + R * 0.95).mask()
            disc = ImageChops.subtract(disc, cut)
        shade = radial_mask(self.size, X - R * 0.35, Y - R * 0.35, R * 1.6, None, lambda t: 1 - t * 0.6)
        body = Image.composite(solid(self.size, colour), solid(self.size, mix(colour, (120, 120, 140), 0.5)),
                               shade)
        craters = fractal_noise(self.w, self.h, max(4, int(R / 3)), 3, self.rnd)
        craters = craters.point(lambda v: max(0, v - 140) * 2)
        body = paint(body, mix(colour, (140, 136, 150), 0.7), scale_mask(craters, 0.55))
        self.img = paint(self.img, body, disc)

    def stars(self, count, y_max=0.7, bright=1.0, tint=(220, 230, 255)):
        m = Image.new("L", self.size, 0)
        d = ImageDraw.Draw(m)
        big = []
        for _ in range(count):
            x = self.rnd.uniform(0, self.w)
            y = self.rnd.uniform(0, self.h * y_max) * self.rnd.uniform(0.3, 1.0)
            v = int(self.rnd.uniform(60, 255) * bright) if self.rnd.random() < 0.93 else 255
            r = 0.5 if v < 200 else self.rnd.uniform(0.7, 1.4)
            d.ellipse((x - r, y - r, x + r, y + r), fill=min(255, v))
            if v >= 250 and self.rnd.random() < 0.4:
                big.append((x, y))
        for x, y in big:
            L = self.rnd.uniform(4, 9) * self.w / 1024
            d.line((x - L, y, x + L, y), fill=150)
            d.line((x, y - L, x, y + L), fill=150)
        fade = vgrad(self.w, self.h, [(0.0, (255,) * 3), (y_max * 0.9, (90,) * 3),
                                      (y_max, (0,) * 3), (1.0, (0,) * 3)]).convert("L")
        m = ImageChops.multiply(m, fade)
        self.img = screen_glow(self.img, tint, m.filter(ImageFilter.GaussianBlur(1.2)))
        self.img = screen_glow(self.img, tint, m)

    def warp_columns(self, img, offsets):
        out = Image.new(img.mode, img.size, 0)
        for x, off in enumerate(offsets):
            out.paste(img.crop((x, 0, x + 1, self.h)), (x, int(off)))
        return out

    def plateau(self, hs, x, half_width):
        """Flattens a ridge around x (fraction) so something can stand on it."""
        c = int(x * self.w)
        hw = int(half_width * self.w)
        top = min(hs[max(0, c - hw):c + hw + 1])
        for i in range(max(0, c - hw * 2), min(len(hs), c + hw * 2 + 1)):
            t = min(1.0, max(0.0, (abs(i - c) - hw) / float(hw)))
            hs[i] = lerp(top, hs[i], t * t)
        return top

    def aurora(self, y, height, colours):
        n = fractal_noise(self.w, self.h, int(self.w / 5), 3, self.rnd, stretch=3.0)
        curtains = value_noise(self.w, self.h, max(2, self.w // 90), self.h, self.rnd)
        band = vgrad(self.w, self.h, [(0.0, (0,) * 3), (y - height, (0,) * 3), (y - height * 0.3, (255,) * 3),
                                      (y, (200,) * 3), (min(1.0, y + height * 0.25), (0,) * 3),
                                      (1.0, (0,) * 3)]).convert("L")
        m = ImageChops.multiply(ImageChops.multiply(n, curtains), band)
        m = ImageOps.autocontrast(m, cutoff=0.2)
        phase = self.rnd.uniform(0, math.tau)
        m = self.warp_columns(m, [self.h * (0.1 * math.sin(x / self.w * 5.0 + phase) +
                                            0.06 * (x / self.w - 0.5)) for x in range(self.w)])
        for i, c in enumerate(colours):
            sm = m.filter(ImageFilter.GaussianBlur(self.w / (60 + 80 * i)))
            shifted = ImageChops.offset(sm, 0, -int(self.h * 0.04 * i))
            self.img = screen_glow(self.img, c, scale_mask(shifted, 0.9))

    def clouds(self, y0, y1, colour, shade, cover=0.5, cell=0.35, stretch=2.6, alpha=1.0, lit_from=-1):
        n = fractal_noise(self.w, self.h, int(self.w * cell * 0.5), 5, self.rnd, stretch=stretch)
        thr = int(255 * (1 - cover))
        m = n.point(lambda v: max(0, min(255, (v - thr) * 3)))
        band = vgrad(self.w, self.h, [(0.0, (0,) * 3), (max(0.0, y0 - 0.02), (0,) * 3), (y0 + 0.04, (255,) * 3),
                                      (y1 - 0.05, (255,) * 3), (min(1.0, y1), (0,) * 3), (1.0, (0,) * 3)]).convert("L")
        m = ImageChops.multiply(m, band)
        m = m.filter(ImageFilter.GaussianBlur(self.w / 700))
        shadow_off = ImageChops.offset(m, int(-lit_from * self.w * 0.006), int(self.h * 0.012))
        body = Image.composite(solid(self.size, shade), solid(self.size, colour),
                               ImageChops.multiply(shadow_off, m.point(lambda v: 255 if v else 0)))
        body = Image.composite(body, solid(self.size, colour),
                               m.point(lambda v: min(255, v * 2)))
        self.img = paint(self.img, body, scale_mask(m, alpha))

    # -- terrain --------------------------------------------------------------
    def ridge(self, base, amp, rough=0.55, levels=9, peaks=None):
        n = 2 ** levels + 1
        pts = [0.0] * n
        pts[0] = self.rnd.uniform(-1, 1)
        pts[-1] = self.rnd.uniform(-1, 1)
        step, scale = n - 1, 1.0
        while step > 1:
            half = step // 2
            for i in range(half, n, step):
                pts[i] = (pts[i - half] + pts[i + half]) / 2 + self.rnd.uniform(-1, 1) * scale
            scale *= rough
            step = half
        lo, hi = min(pts), max(pts)
        hs = []
        for x in range(self.w + 1):
            f = x / self.w * (n - 1)
            i = min(n - 2, int(f))
            v = lerp(pts[i], pts[i + 1], f - i)
            v = (v - lo) / (hi - lo + 1e-9)
            if peaks:
                for px, pw, ph in peaks:
                    v += ph * max(0.0, 1 - abs(x / self.w - px) / pw) ** 1.4
            hs.append((base - amp * v) * self.h)
        return hs

    def terrain_mask(self, hs, bottom=None):
        s = Shape(self.size) if self.w * self.h < 900000 else None
        pts = [(x, y) for x, y in enumerate(hs)] + [(self.w, bottom or self.h + 2), (0, bottom or self.h + 2)]
        if s:
            return s.polygon(pts).mask()
        big = Image.new("L", (self.w * 2, self.h * 2), 0)
        ImageDraw.Draw(big).polygon([(x * 2, y * 2) for x, y in pts], fill=255)
        return big.reduce(2)

    def depth_below(self, hs, falloff):
        """L mask: 255 on the crest line, fading to 0 'falloff' pixels below it."""
        k = 255.0 / self.h
        ys = vgrad(1, self.h, [(0.0, (0,) * 3), (1.0, (255,) * 3)]).convert("L").resize(self.size)
        row = Image.new("L", (self.w, 1))
        row.putdata([int(max(0, min(255, y * k))) for y in hs[:self.w]])
        crest = row.resize(self.size, Image.NEAREST)
        d = ImageChops.subtract(ys, crest)
        return d.point(lambda v: int(255 * max(0.0, 1 - v / k / falloff)))

    def mountains(self, hs, top, bottom, lit, dark, sun_x=0.2, snow=None, snowline=None,
                  rim=None, haze=None, texture=0.25, shading=1.0, falloff=0.22):
        m = self.terrain_mask(hs)
        ytop = int(min(hs))
        fill = solid(self.size, bottom)
        fill.paste(vgrad(self.w, self.h - ytop, [(0.0, top), (1.0, bottom)]), (0, ytop))
        # facets: slopes facing the light are lit, the others fall into shadow
        d = max(2, self.w // 300)
        row = []
        sgn = -1 if sun_x < 0.5 else 1
        for x in range(self.w):
            a, b = hs[max(0, x - d)], hs[min(self.w, x + d)]
            slope = (b - a) / (2 * d)
            row.append(int(max(0, min(255, 128 + sgn * slope * 260 * shading))))
        rimg = Image.new("L", (self.w, 1))
        rimg.putdata(row)
        shade = rimg.resize(self.size, Image.NEAREST).filter(ImageFilter.GaussianBlur(self.w / 150))
        streak = value_noise(self.w, self.h, max(2, self.w // 120), max(2, self.h // 6), self.rnd)
        shade = ImageChops.multiply(shade, streak.point(lambda v: 200 + v * 55 // 255))
        # the light/shadow split is strongest just under the crest and fades out below
        below = self.depth_below(hs, falloff * self.h)
        shade = Image.composite(shade, Image.new("L", self.size, 118), below)
        lit_img = fill if lit is None else Image.blend(fill, solid(self.size, lit), 0.55)
        dark_img = Image.blend(fill, solid(self.size, dark), 0.55)
        fill = Image.composite(lit_img, dark_img, shade)
        if texture:
            tex = fractal_noise(self.w, self.h, max(8, self.w // 40), 4, self.rnd)
            fill = ImageChops.overlay(fill, Image.merge("RGB", [tex.point(
                lambda v: int(128 + (v - 128) * texture))] * 3))
        if snow:
            depth = fractal_noise(self.w, self.h, max(8, self.w // 24), 3, self.rnd, stretch=0.9)
            srow = []
            for x in range(self.w):
                over = max(0.0, snowline * self.h - hs[x])
                srow.append(hs[x] + over * 0.55)
            smask = self.terrain_mask(hs, None)
            lower = self.terrain_mask([y for y in srow] + [srow[-1]])
            smask = ImageChops.subtract(smask, lower)
            smask = ImageChops.multiply(smask.filter(ImageFilter.GaussianBlur(self.w / 900)),
                                        depth.point(lambda v: min(255, v * 2)))
            snow_img = Image.composite(solid(self.size, snow[0]), solid(self.size, snow[1]), shade)
            fill = paint(fill, snow_img, smask)
        if haze:
            hz = vgrad(self.w, self.h, [(0.0, (0,) * 3), (max(0.0, haze[1] - 0.12), (0,) * 3),
                                        (haze[1], (haze[2],) * 3), (1.0, (haze[2],) * 3)]).convert("L")
            fill = paint(fill, haze[0], hz)
        self.img = paint(self.img, fill, m)
        if rim:
            edge = ImageChops.subtract(m, ImageChops.offset(m, 0, max(1, self.h // 400)))
            edge = ImageChops.lighter(edge, scale_mask(ImageChops.subtract(m, ImageChops.offset(m, 0, max(2, self.h // 160))), 0.5))
            self.img = paint(self.img, rim[0], scale_mask(edge, rim[1]))
        return m

    def fog(self, y, height, colour, alpha, cell=0.3):
        n = fractal_noise(self.w, self.h, int(self.w * cell * 0.5), 4, self.rnd, stretch=4.0)
        band = vgrad(self.w, self.h, [(0.0, (0,) * 3), (max(0.0, y - height), (0,) * 3), (y, (255,) * 3),
                                      (min(1.0, y + height * 0.6), (110,) * 3), (1.0, (70,) * 3)]).convert("L")
        m = ImageChops.multiply(band, n.point(lambda v: 60 + v * 195 // 255))
        self.img = paint(self.img, colour, scale_mask(m, alpha))

    def water(self, horizon, tint, strength=0.45):
        hy = int(horizon * self.h)
        above = self.img.crop((0, max(0, 2 * hy - self.h), self.w, hy))
        refl = above.transpose(Image.FLIP_TOP_BOTTOM)
        refl = refl.resize((self.w, self.h - hy))
        rnd = self.rnd
        out = Image.new("RGB", refl.size)
        for y in range(refl.size[1]):
            shift = int(math.sin(y * 0.9 + rnd.uniform(0, 0.6)) * (1 + y * 6 / refl.size[1]))
            out.paste(refl.crop((0, y, self.w, y + 1)), (shift, y))
            if shift > 0:
                out.paste(refl.crop((0, y, 1, y + 1)).resize((shift, 1)), (0, y))
            elif shift < 0:
                out.paste(refl.crop((self.w - 1, y, self.w, y + 1)).resize((-shift, 1)), (self.w + shift, y))
        out = out.filter(ImageFilter.GaussianBlur(0.8))
        out = Image.blend(out, solid(out.size, tint), strength)
        self.img.paste(out, (0, hy))
        # glints and a bright shoreline
        m = Image.new("L", self.size, 0)
        d = ImageDraw.Draw(m)
        for _ in range(int(self.w * 0.25)):
            y = rnd.uniform(hy + 2, self.h)
            x = rnd.uniform(0, self.w)
            L = rnd.uniform(4, 30) * (0.4 + (y - hy) / self.h)
            d.line((x, y, x + L, y), fill=rnd.randrange(40, 120))
        self.img = screen_glow(self.img, (200, 210, 230), scale_mask(m, 0.5))
        line = Image.new("L", self.size, 0)
        ImageDraw.Draw(line).line((0, hy, self.w, hy), fill=160)
        self.img = screen_glow(self.img, tint, line.filter(ImageFilter.GaussianBlur(1)))

    # -- silhouettes ---------------------------------------------------------
    def silhouette(self, mask, colour, rim=None, lit_from=-1):
        self.img = paint(self.img, colour, mask)
        if rim:
            dx = int(-lit_from * max(1, self.w // 500))
            edge = ImageChops.subtract(mask, ImageChops.offset(mask, -dx, max(1, self.w // 700)))
            self.img = paint(self.img, rim[0], scale_mask(edge, rim[1]))

    def trees(self, hs_fn, count, hmin, hmax, x0=0.0, x1=1.0, layer=None):
        m = Image.new("L", (self.w * 2, self.h * 2), 0)
        d = ImageDraw.Draw(m)
        rnd = self.rnd
        for _ in range(count):
            x = rnd.uniform(x0, x1) * self.w
            base = hs_fn(x) + rnd.uniform(0, self.h * 0.01)
            th = rnd.uniform(hmin, hmax) * self.h
            tw = th * rnd.uniform(0.26, 0.36)
            tiers = rnd.randrange(5, 8)
            X, B = x * 2, base * 2
            d.rectangle((X - tw * 0.06, B - th * 0.3, X + tw * 0.06, B + 4), fill=255)
            for k in range(tiers):
                t0 = k / tiers
                ytop = B - th * 2 * (0.12 + 0.88 * (k + 1) / tiers)
                ybot = B - th * 2 * (0.12 + 0.88 * t0) + th * 0.1
                hw = tw * (1 - t0 * 0.8)
                d.polygon([(X, ytop), (X + hw * 0.55, ybot - th * 0.12), (X + hw, ybot),
                           (X - hw, ybot), (X - hw * 0.55, ybot - th * 0.12)], fill=255)
        return m.reduce(2)

    def castle(self, x, base, scale, towers, windows_colour=None):
        """towers: (dx, width, height, roof) in units of 'scale' (fraction of W)."""
        S = self.w * scale
        m = Image.new("L", (self.w * 2, self.h * 2), 0)
        d = ImageDraw.Draw(m)
        wins = []
        X0, B = x * self.w, base * self.h
        xs = [X0 + t[0] * S for t in towers]
        d.rectangle(((min(xs) - S * 0.1) * 2, (B - S * 0.38) * 2, (max(xs) + S * 0.1) * 2, (B + 6) * 2), fill=255)
        for k in range(int((max(xs) - min(xs) + S * 0.2) / (S * 0.08))):
            cx = min(xs) - S * 0.1 + k * S * 0.08
            d.rectangle((cx * 2, (B - S * 0.45) * 2, (cx + S * 0.045) * 2, (B - S * 0.33) * 2), fill=255)
        for dx, tw, th, roof in towers:
            cx = X0 + dx * S
            top = B - th * S
            hw = tw * S / 2
            d.rectangle(((cx - hw) * 2, top * 2, (cx + hw) * 2, B * 2), fill=255)
            if roof == "cone":
                d.polygon([((cx - hw * 1.25) * 2, top * 2), ((cx + hw * 1.25) * 2, top * 2),
                           (cx * 2, (top - tw * S * 1.6) * 2)], fill=255)
                d.line((cx * 2, (top - tw * S * 1.6) * 2, cx * 2, (top - tw * S * 2.1) * 2),
                       fill=255, width=max(2, int(S * 0.012)))
                d.polygon([(cx * 2, (top - tw * S * 2.1) * 2), ((cx + tw * S * 0.55) * 2, (top - tw * S * 1.98) * 2),
                           (cx * 2, (top - tw * S * 1.86) * 2)], fill=255)
            else:
                d.rectangle(((cx - hw * 1.15) * 2, (top - S * 0.03) * 2, (cx + hw * 1.15) * 2, (top + S * 0.03) * 2), fill=255)
                n = 4
                for k in range(n):
                    bx = cx - hw * 1.15 + k * (hw * 2.3) / (n - 0.5)
                    d.rectangle((bx * 2, (top - S * 0.08) * 2, (bx + hw * 2.3 / (n - 0.5) * 0.5) * 2, top * 2), fill=255)
            for k in range(max(1, int(th / 0.35))):
                if self.rnd.random() < 0.6:
                    wy = top + S * (0.12 + k * 0.3)
                    if wy < B - S * 0.1:
                        wins.append((cx - S * 0.012, wy, cx + S * 0.012, wy + S * 0.05))
        mask = m.reduce(2)
        return mask, wins

    def paint_windows(self, wins, colour):
        m = Image.new("L", self.size, 0)
        d = ImageDraw.Draw(m)
        for box in wins:
            d.rounded_rectangle(box, radius=max(1, int((box[2] - box[0]) / 2)), fill=255)
        self.img = screen_glow(self.img, colour, scale_mask(m.filter(ImageFilter.GaussianBlur(self.w / 250)), 1.6))
        self.img = paint(self.img, mix(colour, (255, 255, 255), 0.4), m)

    def hero(self, x, foot, height, pose="planted", flip=False):
        """Mask of the Tollrand hero; x, foot in fractions, height in fractions of H."""
        Hh = height * self.h
        X, F = x * self.w, foot * self.h
        sgn = -1 if flip else 1
        big = Image.new("L", (self.w * 2, self.h * 2), 0)
        d = ImageDraw.Draw(big)

        def P(u, v):
            return ((X + sgn * u * Hh) * 2, (F - (1 - v) * Hh) * 2)

        def poly(pts):
            d.polygon([P(u, v) for u, v in pts], fill=255)

        def limb(pts, width):
            d.line([P(u, v) for u, v in pts], fill=255, width=max(2, int(width * Hh * 2)), joint="curve")
            for u, v in pts:
                r = width * Hh
                cx, cy = P(u, v)
                d.ellipse((cx - r, cy - r, cx + r, cy + r), fill=255)

        cx, cy = P(0.0, 0.07)
        d.ellipse((cx - 0.047 * Hh * 2, cy - 0.062 * Hh * 2, cx + 0.047 * Hh * 2, cy + 0.062 * Hh * 2), fill=255)
        poly([(0.01, 0.01), (-0.08, 0.02), (-0.2, 0.06), (-0.13, 0.075), (-0.24, 0.12), (-0.03, 0.1)])
        poly([(-0.035, 0.1), (0.035, 0.1), (0.045, 0.17), (-0.045, 0.17)])
        poly([(-0.15, 0.16), (0.15, 0.16), (0.135, 0.29), (0.085, 0.46), (-0.085, 0.46), (-0.135, 0.29)])
        for su in (-0.125, 0.125):
            cx, cy = P(su, 0.19)
            d.ellipse((cx - 0.078 * Hh * 2, cy - 0.052 * Hh * 2, cx + 0.078 * Hh * 2, cy + 0.052 * Hh * 2), fill=255)
        poly([(-0.1, 0.44), (0.1, 0.44), (0.15, 0.6), (0.02, 0.58), (-0.15, 0.6)])
        # legs: thigh, knee, shin, boot
        poly([(-0.1, 0.55), (-0.005, 0.55), (-0.03, 0.74), (-0.045, 0.8), (-0.055, 0.94), (-0.06, 0.97),
              (-0.16, 1.0), (-0.165, 0.975), (-0.115, 0.95), (-0.11, 0.8), (-0.12, 0.72)])
        poly([(0.005, 0.55), (0.1, 0.55), (0.115, 0.7), (0.125, 0.76), (0.15, 0.93), (0.22, 0.97),
              (0.225, 1.0), (0.11, 1.0), (0.1, 0.95), (0.07, 0.8), (0.045, 0.72)])
        # cape in the wind
        poly([(-0.12, 0.15), (0.05, 0.15), (0.0, 0.32), (-0.12, 0.56), (-0.22, 0.8), (-0.32, 0.93),
              (-0.4, 0.86), (-0.5, 0.92), (-0.46, 0.72), (-0.56, 0.62), (-0.42, 0.48), (-0.3, 0.3),
              (-0.18, 0.18)])
        if pose == "planted":
            limb([(0.15, 0.2), (0.21, 0.35), (0.17, 0.48)], 0.055)
            limb([(-0.14, 0.2), (-0.06, 0.36), (0.15, 0.47)], 0.052)
            poly([(0.155, 0.53), (0.185, 0.53), (0.18, 0.97), (0.17, 1.0), (0.16, 0.97)])
            poly([(0.08, 0.515), (0.26, 0.515), (0.26, 0.54), (0.08, 0.54)])
            limb([(0.17, 0.44), (0.17, 0.52)], 0.018)
        elif pose == "raised":
            limb([(0.14, 0.19), (0.25, 0.09), (0.25, -0.06)], 0.052)
            limb([(-0.14, 0.2), (-0.2, 0.36), (-0.18, 0.5)], 0.052)
            poly([(0.235, -0.1), (0.27, -0.1), (0.3, -0.62), (0.285, -0.68), (0.265, -0.62)])
            poly([(0.17, -0.085), (0.34, -0.095), (0.34, -0.07), (0.17, -0.06)])
        elif pose == "banner":
            limb([(0.14, 0.19), (0.24, 0.3), (0.22, 0.2)], 0.052)
            limb([(-0.14, 0.2), (-0.2, 0.36), (-0.18, 0.5)], 0.052)
            poly([(0.21, -0.55), (0.235, -0.55), (0.235, 1.0), (0.21, 1.0)])
            poly([(0.22, -0.52), (-0.12, -0.5), (-0.34, -0.42), (-0.26, -0.36), (-0.4, -0.28),
                  (-0.12, -0.24), (0.22, -0.22)])
        return big.reduce(2)

    def dragon(self, cx, cy, span, flip=False):
        S = span * self.w
        sgn = -1 if flip else 1
        big = Image.new("L", (self.w * 2, self.h * 2), 0)
        d = ImageDraw.Draw(big)

        def P(u, v):
            return ((cx * self.w + sgn * u * S) * 2, (cy * self.h + v * S) * 2)

        spine = [(0.44, -0.06), (0.37, -0.07), (0.3, -0.04), (0.22, 0.0), (0.12, 0.03), (0.0, 0.04),
                 (-0.12, 0.05), (-0.24, 0.09), (-0.36, 0.12), (-0.46, 0.09), (-0.53, 0.03)]
        thick = [0.018, 0.02, 0.016, 0.02, 0.04, 0.05, 0.045, 0.03, 0.018, 0.009, 0.002]
        left, right = [], []
        for i, (u, v) in enumerate(spine):
            a = spine[max(0, i - 1)]
            b = spine[min(len(spine) - 1, i + 1)]
            tx, ty = b[0] - a[0], b[1] - a[1]
            L = math.hypot(tx, ty) or 1
            nx, ny = -ty / L, tx / L
            left.append((u + nx * thick[i], v + ny * thick[i]))
            right.append((u - nx * thick[i], v - ny * thick[i]))
        d.polygon([P(u, v) for u, v in left + right[::-1]], fill=255)
        # head with horns and jaw
        d.polygon([P(u, v) for u, v in [(0.37, -0.09), (0.47, -0.075), (0.5, -0.055), (0.44, -0.045),
                                        (0.47, -0.03), (0.38, -0.04)]], fill=255)
        d.polygon([P(u, v) for u, v in [(0.38, -0.085), (0.33, -0.13), (0.4, -0.09)]], fill=255)
        d.polygon([P(u, v) for u, v in [(0.36, -0.08), (0.29, -0.11), (0.37, -0.07)]], fill=255)
        # tail spade
        d.polygon([P(u, v) for u, v in [(-0.52, 0.035), (-0.6, 0.0), (-0.57, 0.05), (-0.61, 0.08)]], fill=255)
        # wings: leading edge up to the wrist, membrane scalloped between the finger tips
        def wing(shoulder, elbow, wrist, tips, root):
            pts = [shoulder, elbow, wrist]
            prev = wrist
            for tip in tips:
                if prev is not wrist:
                    mx, my = (prev[0] + tip[0]) / 2, (prev[1] + tip[1]) / 2
                    pts.append((lerp(mx, wrist[0], 0.45), lerp(my, wrist[1], 0.45)))
                pts.append(tip)
                prev = tip
            mx, my = (prev[0] + root[0]) / 2, (prev[1] + root[1]) / 2
            pts.append((lerp(mx, wrist[0], 0.25), lerp(my, wrist[1], 0.25)))
            pts.append(root)
            d.polygon([P(u, v) for u, v in pts], fill=255)
            d.line([P(*shoulder), P(*elbow), P(*wrist)], fill=255, width=max(2, int(S * 0.03)))
            return [(wrist, t) for t in tips]
        far_ribs = wing((0.16, 0.0), (0.2, -0.14), (0.24, -0.3), [(0.17, -0.36), (0.1, -0.3), (0.06, -0.2)],
                        (0.1, 0.02))
        near_ribs = wing((0.1, 0.0), (0.06, -0.2), (-0.02, -0.38),
                         [(-0.14, -0.46), (-0.24, -0.36), (-0.3, -0.22), (-0.27, -0.1)], (-0.1, 0.05))
        # legs tucked back in flight
        d.polygon([P(u, v) for u, v in [(0.06, 0.05), (0.02, 0.12), (-0.04, 0.14), (-0.05, 0.12),
                                        (0.0, 0.1), (0.0, 0.05)]], fill=255)
        d.polygon([P(u, v) for u, v in [(-0.14, 0.07), (-0.2, 0.14), (-0.27, 0.15), (-0.27, 0.13),
                                        (-0.21, 0.11), (-0.2, 0.07)]], fill=255)
        m = big.reduce(2)
        ribs = Image.new("L", self.size, 0)
        rd = ImageDraw.Draw(ribs)
        for a, b in near_ribs + far_ribs:
            p, q = P(*a), P(*b)
            rd.line((p[0] / 2, p[1] / 2, q[0] / 2, q[1] / 2), fill=255, width=max(1, int(S / 250)))
        return m, ribs

    def birds(self, cx, cy, count, size_px, spread, colour=(40, 30, 50)):
        m = Image.new("L", (self.w * 2, self.h * 2), 0)
        d = ImageDraw.Draw(m)
        for _ in range(count):
            x = (cx + self.rnd.uniform(-spread, spread)) * self.w * 2
            y = (cy + self.rnd.uniform(-spread, spread) * 0.5) * self.h * 2
            s = size_px * self.rnd.uniform(0.6, 1.2) * 2
            flap = self.rnd.uniform(-0.2, 0.3)
            d.line([(x - s, y - s * (0.35 + flap)), (x - s * 0.45, y - s * 0.12), (x, y + s * 0.1),
                    (x + s * 0.45, y - s * 0.12), (x + s, y - s * (0.35 + flap))],
                   fill=255, width=max(2, int(s / 4)), joint="curve")
        self.img = paint(self.img, colour, m.reduce(2))

    def embers(self, count, colour, y0=0.3):
        m = Image.new("L", self.size, 0)
        d = ImageDraw.Draw(m)
        for _ in range(count):
            x = self.rnd.uniform(0, self.w)
            y = self.rnd.uniform(y0, 1.0) * self.h
            r = self.rnd.uniform(0.6, 2.2) * self.w / 1024
            d.ellipse((x - r, y - r, x + r, y + r), fill=self.rnd.randrange(120, 255))
        self.img = screen_glow(self.img, colour, m.filter(ImageFilter.GaussianBlur(2)))
        self.img = screen_glow(self.img, mix(colour, (255, 255, 255), 0.5), m)

    # -- finishing ------------------------------------------------------------
    def title(self, corner, subtitle, scale=1.0, colour_glow=(255, 170, 60)):
        fs = int(self.h * 0.085 * scale)
        f = font("DejaVuSerif-Bold.ttf", fs)
        tr = int(fs * 0.08)
        tw = text_width("TOLLRAND", f, tr)
        bb = f.getbbox("TOLLRAND")
        th = bb[3]
        fs2 = max(10, int(fs * 0.24))
        f2 = font("DejaVuSansCondensed-Bold.ttf", fs2)
        sub = subtitle.upper()
        tr2 = int(fs2 * 0.35)
        sw = text_width(sub, f2, tr2)
        margin = self.w * 0.04
        block_w = max(tw, sw)
        if corner[1] == "l":
            x = margin
        elif corner[1] == "r":
            x = self.w - margin - block_w
        else:
            x = (self.w - block_w) / 2
        y = margin * 0.8 if corner[0] == "t" else self.h - margin * 0.8 - th - fs2 * 1.9
        cx = x + block_w / 2
        tm = text_mask(self.size, (cx, y), "TOLLRAND", f, tr, anchor_center=True)
        sm = text_mask(self.size, (cx, y + th + fs2 * 0.6), sub, f2, tr2, anchor_center=True)
        both = ImageChops.lighter(tm, sm)
        # soft dark backing for legibility, then glow, outline, gold face
        back = both.filter(ImageFilter.MaxFilter(9)).filter(ImageFilter.GaussianBlur(fs * 0.35))
        self.img = paint(self.img, (8, 6, 14), scale_mask(back, 0.55))
        self.img = screen_glow(self.img, colour_glow, scale_mask(tm.filter(ImageFilter.GaussianBlur(fs * 0.18)), 0.7))
        edge = tm.filter(ImageFilter.MaxFilter(5 if fs > 60 else 3))
        self.img = paint(self.img, (34, 14, 6), edge)
        gold = gold_fill(self.size, int(y + bb[1]), int(y + bb[3]))
        self.img = paint(self.img, gold, tm)
        self.img = bevel(self.img, tm, 1, (255, 255, 230), 0.8, (90, 40, 0), 0.6)
        # thin rule with the subtitle
        ry = y + th + fs2 * 0.15
        rule = Image.new("L", self.size, 0)
        ImageDraw.Draw(rule).line((cx - tw * 0.45, ry, cx + tw * 0.45, ry), fill=200, width=1)
        self.img = paint(self.img, (230, 190, 110), rule)
        self.img = paint(self.img, (6, 6, 10), scale_mask(ImageChops.offset(sm, 1, 1), 0.8))
        self.img = paint(self.img, (246, 232, 206), sm)

    def finish(self, vignette=0.55, grain_amount=0.06):
        v = radial_mask(self.size, self.w / 2, self.h / 2, self.w * 0.78, self.h * 0.86,
                        lambda t: 1 - t ** 2.2 * vignette)
        self.img = ImageChops.multiply(self.img, Image.merge("RGB", [v.point(
            lambda x: int(255 * (1 - vignette) + x * vignette))] * 3))
        self.img = grain(self.img, self.rnd, grain_amount)
        return self.img


def scene_nebelpass(w, h):
    s = Scene(w, h, 101)
    s.sky([(0.0, (40, 52, 104)), (0.3, (120, 98, 150)), (0.5, (236, 150, 128)), (0.62, (255, 206, 150)),
           (1.0, (255, 226, 180))])
    s.sun(0.62, 0.5, 0.03, (255, 246, 220), (255, 180, 110), rays=14)
    s.clouds(0.05, 0.4, (250, 190, 170), (130, 90, 130), cover=0.45, alpha=0.8)
    s.birds(0.55, 0.3, 7, w / 160, 0.06)
    hs = s.ridge(0.6, 0.3, peaks=[(0.3, 0.18, 0.5)])
    s.mountains(hs, (170, 150, 190), (210, 170, 170), (255, 210, 190), (130, 110, 160), sun_x=0.62,
                haze=((250, 200, 170), 0.62, 120), texture=0.15, rim=((255, 230, 200), 0.5))
    s.fog(0.62, 0.12, (255, 220, 200), 0.7)
    hs = s.ridge(0.72, 0.26, peaks=[(0.82, 0.15, 0.5)])
    s.mountains(hs, (110, 96, 140), (140, 110, 140), (220, 160, 150), (70, 60, 100), sun_x=0.62,
                haze=((230, 170, 160), 0.74, 100), rim=((255, 200, 160), 0.7))
    s.fog(0.75, 0.12, (240, 200, 190), 0.6)
    hs = s.ridge(0.86, 0.2)
    s.mountains(hs, (62, 52, 84), (40, 32, 56), (120, 90, 110), (30, 24, 44), sun_x=0.62,
                rim=((255, 190, 140), 0.8))
    s.fog(0.9, 0.08, (210, 170, 170), 0.4)
    # rocky outcrop with the hero
    rock = Shape(s.size).polygon([(0, h), (0, h * 0.78), (w * 0.08, h * 0.76), (w * 0.16, h * 0.74),
                                  (w * 0.24, h * 0.77), (w * 0.3, h * 0.85), (w * 0.36, h)]).mask()
    s.silhouette(rock, (24, 18, 34), rim=((255, 170, 120), 0.9), lit_from=1)
    hero = s.hero(0.17, 0.745, 0.22, "planted")
    s.silhouette(hero, (20, 16, 30), rim=((255, 190, 130), 1.0), lit_from=1)
    s.title("br", "Nebelpass")
    return s.finish()


def scene_mondfeste(w, h):
    s = Scene(w, h, 202)
    s.sky([(0.0, (6, 10, 34)), (0.45, (24, 36, 90)), (0.75, (60, 70, 140)), (1.0, (90, 90, 150))])
    s.stars(int(w * h / 1500), 0.75)
    s.moon(0.76, 0.22, 0.075, halo=(80, 110, 180))
    s.clouds(0.28, 0.52, (90, 100, 150), (30, 34, 70), cover=0.35, alpha=0.6, lit_from=1)
    hs = s.ridge(0.66, 0.16)
    s.mountains(hs, (54, 62, 110), (60, 66, 120), (100, 110, 170), (30, 34, 70), sun_x=0.76,
                haze=((80, 90, 150), 0.68, 110), texture=0.12, rim=((150, 170, 230), 0.5))
    s.fog(0.7, 0.08, (120, 130, 190), 0.5)
    hill = s.ridge(0.78, 0.14, peaks=[(0.36, 0.2, 0.9)])
    top = s.plateau(hill, 0.36, 0.075)
    cm, wins = s.castle(0.36, top / h + 0.012, 0.2,
                        [(-0.3, 0.08, 0.85, "cone"), (-0.12, 0.1, 1.25, "crenel"),
                         (0.05, 0.13, 1.7, "cone"), (0.22, 0.09, 1.0, "crenel"), (0.36, 0.07, 0.75, "cone")])
    s.silhouette(cm, (22, 24, 50), rim=((180, 200, 255), 0.7), lit_from=1)
    s.paint_windows(wins, (255, 190, 90))
    s.mountains(hill, (26, 28, 56), (14, 16, 34), (50, 56, 100), (16, 18, 40), sun_x=0.76,
                texture=0.2, rim=((170, 190, 250), 0.6))
    s.fog(0.86, 0.08, (90, 100, 160), 0.45)
    fg = s.ridge(0.96, 0.06)
    tm = s.trees(lambda x: fg[int(min(w, max(0, x)))], int(w / 7), 0.06, 0.16)
    s.silhouette(ImageChops.lighter(tm, s.terrain_mask(fg)), (8, 10, 22), rim=((120, 140, 210), 0.5), lit_from=1)
    s.title("bl", "Die Mondfeste")
    return s.finish()


def scene_glutwald(w, h):
    s = Scene(w, h, 303)
    s.sky([(0.0, (60, 20, 50)), (0.3, (170, 50, 50)), (0.55, (250, 130, 50)), (0.7, (255, 200, 110)),
           (1.0, (255, 220, 150))])
    s.clouds(0.08, 0.42, (255, 140, 90), (120, 30, 50), cover=0.5, alpha=0.85, stretch=3.2)
    s.sun(0.42, 0.64, 0.09, (255, 240, 190), (255, 140, 60))
    hs = s.ridge(0.7, 0.12)
    s.mountains(hs, (190, 90, 80), (200, 100, 80), (230, 140, 100), (150, 70, 70), sun_x=0.42, texture=0.1,
                haze=((255, 170, 110), 0.7, 140))
    rows = [(0.76, 0.1, 0.18, (120, 40, 50), 0.55), (0.86, 0.14, 0.26, (70, 20, 36), 0.35),
            (0.98, 0.2, 0.38, (26, 8, 18), 0.0)]
    for base, hmin, hmax, col, fogalpha in rows:
        line = s.ridge(base, 0.04)
        front = fogalpha == 0.0
        tm = s.trees(lambda x, l=line: l[int(min(w, max(0, x)))], int(w / (40 if front else 12)),
                     hmin, hmax, 0.0, 0.45 if front else 1.0)
        s.silhouette(ImageChops.lighter(tm, s.terrain_mask(line)), col, rim=((255, 170, 90), 0.6), lit_from=-1)
        if fogalpha:
            s.fog(base + 0.02, 0.08, (255, 150, 90), fogalpha)
    ledge = Shape(s.size).polygon([(w * 0.58, h), (w * 0.64, h * 0.9), (w * 0.72, h * 0.86), (w * 0.8, h * 0.85),
                                   (w * 0.88, h * 0.87), (w * 0.96, h * 0.92), (w, h * 0.9), (w, h)]).mask()
    s.silhouette(ledge, (26, 8, 16), rim=((255, 170, 90), 0.9), lit_from=-1)
    hero = s.hero(0.8, 0.855, 0.36, "raised", flip=True)
    s.silhouette(hero, (20, 6, 14), rim=((255, 200, 120), 1.0), lit_from=-1)
    s.embers(int(w / 8), (255, 150, 60), 0.55)
    s.title("tl", "Der Glutwald")
    return s.finish()


def scene_sternenwacht(w, h):
    s = Scene(w, h, 404)
    s.sky([(0.0, (4, 8, 24)), (0.5, (12, 30, 60)), (0.8, (20, 60, 80)), (1.0, (40, 90, 100))])
    s.stars(int(w * h / 900), 0.85)
    s.aurora(0.42, 0.3, [(40, 220, 140), (60, 140, 220), (170, 80, 200)])
    hs = s.ridge(0.7, 0.32, peaks=[(0.35, 0.15, 0.6), (0.7, 0.12, 0.4)])
    s.mountains(hs, (50, 80, 110), (20, 40, 60), (90, 140, 160), (14, 26, 46), sun_x=0.4,
                snow=((200, 240, 240), (80, 120, 150)), snowline=0.55, texture=0.18,
                haze=((30, 70, 90), 0.7, 120), rim=((120, 240, 200), 0.5))
    s.fog(0.74, 0.1, (60, 120, 140), 0.45)
    fg = s.ridge(0.9, 0.12, peaks=[(0.22, 0.16, 0.6)])
    top = s.plateau(fg, 0.22, 0.03)
    s.mountains(fg, (20, 30, 40), (8, 12, 20), (40, 70, 80), (8, 12, 22), sun_x=0.4, texture=0.2,
                rim=((100, 230, 180), 0.6))
    hero = s.hero(0.22, top / h + 0.004, 0.2, "planted", flip=True)
    s.silhouette(hero, (8, 12, 20), rim=((120, 240, 200), 0.9), lit_from=1)
    s.title("br", "Sternenwacht")
    return s.finish()


def scene_wolkenburg(w, h):
    s = Scene(w, h, 505)
    s.sky([(0.0, (40, 100, 190)), (0.45, (110, 170, 230)), (0.75, (200, 226, 245)), (1.0, (240, 244, 250))])
    s.sun(0.85, 0.12, 0.03, (255, 255, 240), (255, 240, 200), rays=10)
    s.clouds(0.05, 0.35, (255, 255, 255), (170, 190, 220), cover=0.4, alpha=0.9)
    # rock pinnacle rising out of the cloud sea
    crag = s.ridge(0.5, 0.05, rough=0.6)
    left, right = [], []
    for i in range(41):
        t = i / 40.0
        y = h * (0.5 + 0.55 * t)
        spread = 0.1 + 0.12 * t ** 1.6
        left.append((w * (0.52 - spread) + (crag[int(t * (w - 1))] - h * 0.475) * 1.6, y))
        right.append((w * (0.52 + spread * 0.9) - (crag[int((1 - t) * (w - 1))] - h * 0.475) * 1.6, y))
    top_edge = [(w * 0.42 + k * w * 0.2 / 20, crag[int(k * w / 40)] * 0.1 + h * 0.45) for k in range(21)]
    rock = Shape(s.size).polygon(left[::-1] + top_edge + right).mask()
    ys_mask = hgrad(w, h, [(0.0, (0,) * 3), (0.44, (30,) * 3), (0.56, (230,) * 3), (1.0, (255,) * 3)]).convert("L")
    rock_fill = Image.composite(vgrad(w, h, [(0.0, (196, 180, 160)), (1.0, (100, 100, 120))]),
                                vgrad(w, h, [(0.0, (110, 100, 116)), (1.0, (60, 62, 84))]), ys_mask)
    tex = fractal_noise(w, h, w // 30, 5, s.rnd, stretch=0.5)
    rock_fill = ImageChops.overlay(rock_fill, Image.merge("RGB", [tex.point(lambda v: 80 + v * 96 // 255)] * 3))
    s.img = paint(s.img, rock_fill, rock)
    s.img = bevel(s.img, rock, 2, (255, 240, 210), 0.5, (40, 40, 60), 0.5)
    cm, wins = s.castle(0.515, 0.5, 0.15, [(-0.34, 0.1, 0.9, "cone"), (-0.12, 0.12, 1.45, "cone"),
                                           (0.08, 0.15, 2.0, "cone"), (0.3, 0.1, 1.1, "cone"),
                                           (0.45, 0.08, 0.7, "crenel")])
    stone = vgrad(w, h, [(0.0, (250, 236, 214)), (0.5, (214, 200, 196)), (1.0, (150, 150, 176))])
    tex = fractal_noise(w, h, max(4, w // 120), 3, s.rnd)
    stone = ImageChops.overlay(stone, Image.merge("RGB", [tex.point(lambda v: 108 + v * 40 // 255)] * 3))
    s.img = paint(s.img, stone, cm)
    s.img = bevel(s.img, cm, max(2, w // 300), (255, 244, 220), 0.9, (90, 96, 140), 0.8, blur=1.5,
                  direction=(-1, 1))
    s.img = paint(s.img, (120, 126, 160), scale_mask(
        ImageChops.multiply(cm, vgrad(w, h, [(0.0, (0,) * 3), (0.42, (0,) * 3), (0.5, (150,) * 3),
                                             (1.0, (150,) * 3)]).convert("L")), 0.6))
    s.paint_windows(wins, (60, 90, 150))
    s.clouds(0.62, 1.0, (255, 255, 255), (176, 196, 226), cover=0.72, cell=0.5, alpha=1.0)
    s.fog(0.8, 0.2, (250, 252, 255), 0.6)
    s.img = paint(s.img, (238, 243, 252), vgrad(w, h, [(0.0, (0,) * 3), (0.8, (0,) * 3),
                                                      (0.94, (245,) * 3), (1.0, (250,) * 3)]).convert("L"))
    s.birds(0.22, 0.4, 9, w / 150, 0.07)
    s.title("tl", "Die Wolkenburg", colour_glow=(255, 200, 120))
    return s.finish(vignette=0.35)


def scene_spiegelsee(w, h):
    s = Scene(w, h, 606)
    s.sky([(0.0, (30, 20, 70)), (0.35, (110, 60, 120)), (0.55, (230, 130, 110)), (0.62, (255, 190, 120))])
    s.stars(int(w * h / 4000), 0.35)
    s.moon(0.22, 0.15, 0.035, crescent=0.35, halo=(150, 110, 160))
    s.glow(0.6, 0.6, 0.45, (255, 150, 90), 0.6, 2.2, ry=0.1)
    s.clouds(0.15, 0.5, (255, 150, 140), (90, 50, 100), cover=0.4, alpha=0.75)
    hs = s.ridge(0.6, 0.3, peaks=[(0.62, 0.14, 0.6)])
    s.mountains(hs, (120, 80, 130), (180, 110, 120), (240, 160, 140), (70, 50, 100), sun_x=0.7,
                snow=((255, 220, 210), (150, 120, 170)), snowline=0.42, texture=0.15,
                haze=((240, 150, 120), 0.6, 130), rim=((255, 200, 170), 0.6))
    near = s.ridge(0.625, 0.07)
    cm, wins = s.castle(0.2, 0.62, 0.12, [(-0.25, 0.1, 1.0, "cone"), (0.0, 0.12, 1.6, "cone"),
                                           (0.25, 0.1, 1.1, "crenel")])
    s.silhouette(cm, (44, 28, 60), rim=((255, 180, 140), 0.6), lit_from=1)
    s.paint_windows(wins, (255, 200, 100))
    s.mountains(near, (60, 36, 70), (40, 26, 50), (100, 60, 90), (30, 20, 40), sun_x=0.7, texture=0.2)
    tm = s.trees(lambda x: near[int(min(w, max(0, x)))], int(w / 14), 0.02, 0.05, 0.45, 1.0)
    s.silhouette(tm, (40, 24, 50))
    s.water(0.64, (60, 40, 90), 0.35)
    shore = Shape(s.size).polygon([(0, h), (0, h * 0.86), (w * 0.2, h * 0.9), (w * 0.32, h * 0.97), (w * 0.36, h)]).mask()
    s.silhouette(shore, (20, 12, 28), rim=((255, 170, 130), 0.5), lit_from=1)
    s.title("bl", "Am Spiegelsee")
    return s.finish()


def scene_drachenkamm(w, h):
    s = Scene(w, h, 707)
    s.sky([(0.0, (30, 8, 14)), (0.4, (120, 30, 24)), (0.7, (230, 100, 40)), (1.0, (255, 170, 80))])
    s.clouds(0.02, 0.55, (200, 70, 50), (50, 10, 20), cover=0.6, alpha=0.9, stretch=3.0)
    s.glow(0.45, 0.75, 0.5, (255, 120, 40), 0.7, 2.0, ry=0.2)
    dm, ribs = s.dragon(0.58, 0.3, 0.34, flip=True)
    s.silhouette(dm, (30, 8, 14), rim=((255, 140, 60), 0.7), lit_from=-1)
    s.img = paint(s.img, (70, 20, 20), scale_mask(ImageChops.multiply(ribs, dm), 0.7))
    hs = s.ridge(0.74, 0.34, rough=0.62, peaks=[(0.2, 0.08, 0.7), (0.3, 0.05, 0.5), (0.85, 0.1, 0.6)])
    s.mountains(hs, (60, 20, 24), (80, 30, 24), (200, 80, 50), (30, 8, 14), sun_x=0.45, texture=0.25,
                haze=((220, 90, 40), 0.74, 120), rim=((255, 150, 60), 0.8), shading=1.6)
    s.fog(0.8, 0.1, (255, 120, 50), 0.5)
    fg = s.ridge(0.95, 0.1, peaks=[(0.75, 0.2, 0.8)])
    top = s.plateau(fg, 0.75, 0.03)
    s.mountains(fg, (30, 8, 12), (14, 4, 8), (90, 30, 20), (12, 4, 8), sun_x=0.45, texture=0.3,
                rim=((255, 130, 50), 0.9))
    hero = s.hero(0.75, top / h + 0.004, 0.22, "raised")
    s.silhouette(hero, (14, 4, 8), rim=((255, 170, 80), 1.0), lit_from=-1)
    s.embers(int(w / 9), (255, 120, 40), 0.55)
    s.title("tl", "Der Drachenkamm")
    return s.finish()


def scene_frostgipfel(w, h):
    s = Scene(w, h, 808)
    s.sky([(0.0, (60, 100, 170)), (0.4, (140, 180, 220)), (0.65, (220, 230, 240)), (1.0, (240, 244, 250))])
    s.sun(0.28, 0.3, 0.022, (255, 255, 245), (255, 236, 200), rays=12)
    s.clouds(0.05, 0.3, (250, 252, 255), (150, 170, 200), cover=0.35, alpha=0.8)
    hs = s.ridge(0.6, 0.34, peaks=[(0.62, 0.16, 0.8)])
    s.mountains(hs, (150, 170, 200), (120, 140, 170), (230, 240, 250), (90, 110, 150), sun_x=0.28,
                snow=((255, 255, 255), (170, 190, 220)), snowline=0.5, texture=0.15,
                haze=((220, 230, 245), 0.58, 150), shading=1.3)
    s.fog(0.6, 0.12, (245, 248, 255), 0.75)
    hs = s.ridge(0.75, 0.26, peaks=[(0.15, 0.14, 0.6)])
    s.mountains(hs, (90, 110, 140), (70, 90, 120), (200, 215, 235), (50, 66, 100), sun_x=0.28,
                snow=((250, 252, 255), (140, 160, 200)), snowline=0.57, texture=0.2,
                haze=((200, 215, 235), 0.74, 120), shading=1.3, rim=((255, 255, 255), 0.5))
    s.fog(0.76, 0.1, (235, 240, 250), 0.6)
    fg = s.ridge(0.97, 0.08)
    tm = s.trees(lambda x: fg[int(min(w, max(0, x)))], int(w / 6), 0.08, 0.22)
    trees = ImageChops.lighter(tm, s.terrain_mask(fg))
    s.silhouette(trees, (22, 34, 50), rim=((230, 240, 255), 0.5), lit_from=-1)
    frost = ImageChops.multiply(trees, fractal_noise(w, h, 12, 2, s.rnd).point(lambda v: max(0, v - 170) * 2))
    s.img = paint(s.img, (210, 225, 240), scale_mask(frost, 0.6))
    s.title("br", "Frostgipfel")
    return s.finish(vignette=0.4)


def scene_aschenebene(w, h):
    s = Scene(w, h, 909)
    s.sky([(0.0, (20, 6, 10)), (0.45, (70, 16, 16)), (0.7, (160, 50, 20)), (1.0, (220, 100, 30))])
    s.clouds(0.0, 0.6, (110, 40, 30), (30, 8, 10), cover=0.65, alpha=0.9, stretch=2.0)
    rough = s.ridge(0.0, 0.06, rough=0.6)
    volcano = [(h * (0.62 - 0.36 * max(0.0, 1 - abs(x / w - 0.62) / 0.3) ** 1.3)) + rough[x] * 0.6
               for x in range(w + 1)]
    for x in range(int(w * 0.585), int(w * 0.655)):
        volcano[x] = max(volcano[x], h * 0.3)
    s.glow(0.62, 0.28, 0.25, (255, 120, 30), 0.9, 2.0)
    s.mountains(volcano, (60, 20, 20), (90, 30, 20), (150, 60, 30), (30, 10, 12), sun_x=0.62, texture=0.35,
                haze=((200, 70, 30), 0.62, 100), shading=0.8)
    lava = Shape(s.size)

    def flow(p0, p1, p2, width):
        pts = bezier(p0, p1, p2, 40)
        wig = [(x + w * 0.004 * math.sin(i * 0.45 + s.rnd.uniform(0, 0.5)), y) for i, (x, y) in enumerate(pts)]
        for i in range(1, len(wig)):
            lava.line([wig[i - 1], wig[i]], width * (0.6 + 0.8 * i / len(wig)))
    flow((w * 0.6, h * 0.3), (w * 0.57, h * 0.44), (w * 0.53, h * 0.6), w * 0.006)
    flow((w * 0.64, h * 0.3), (w * 0.68, h * 0.42), (w * 0.69, h * 0.56), w * 0.004)
    lm = lava.mask()
    s.img = screen_glow(s.img, (255, 120, 20), scale_mask(lm.filter(ImageFilter.GaussianBlur(w / 150)), 2.0))
    s.img = paint(s.img, (255, 220, 120), lm)
    plain = s.ridge(0.78, 0.08)
    s.mountains(plain, (50, 16, 16), (24, 8, 10), (120, 40, 20), (20, 6, 8), sun_x=0.62, texture=0.35,
                rim=((255, 120, 40), 0.7))
    # ruined towers
    cm, wins = s.castle(0.2, plain[int(w * 0.2)] / h + 0.01, 0.16, [(-0.2, 0.12, 1.3, "crenel"),
                                                                   (0.15, 0.1, 0.8, "crenel")])
    bite = Shape(s.size).polygon([(w * 0.16, h * 0.5), (w * 0.2, h * 0.5), (w * 0.19, h * 0.6)]).mask()
    s.silhouette(ImageChops.subtract(cm, bite), (26, 8, 10), rim=((255, 120, 40), 0.6), lit_from=1)
    river = Shape(s.size)
    river.line(bezier((w * 0.58, h * 0.78), (w * 0.3, h * 0.86), (w * 0.5, h * 1.02), 40), w * 0.02)
    rm = river.mask()
    s.img = screen_glow(s.img, (255, 90, 10), scale_mask(rm.filter(ImageFilter.GaussianBlur(w / 80)), 1.5))
    s.img = paint(s.img, vgrad(w, h, [(0.0, (255, 240, 160)), (1.0, (255, 120, 30))]), rm)
    hero = s.hero(0.82, 0.9, 0.26, "banner", flip=True)
    s.silhouette(hero, (14, 4, 6), rim=((255, 150, 60), 1.0), lit_from=-1)
    s.embers(int(w / 7), (255, 110, 30), 0.5)
    s.title("tl", "Die Aschenebene")
    return s.finish()


def scene_heldenruf(w, h):
    s = Scene(w, h, 1010)
    s.sky([(0.0, (40, 30, 80)), (0.3, (150, 70, 100)), (0.55, (255, 150, 80)), (0.7, (255, 210, 130)),
           (1.0, (255, 230, 170))])
    s.sun(0.5, 0.6, 0.12, (255, 244, 210), (255, 170, 80), rays=22)
    s.clouds(0.1, 0.5, (255, 170, 130), (110, 50, 90), cover=0.45, alpha=0.85, stretch=3.4)
    hs = s.ridge(0.7, 0.15)
    s.mountains(hs, (170, 100, 110), (200, 120, 100), (250, 170, 130), (120, 70, 100), sun_x=0.5,
                haze=((255, 180, 120), 0.7, 130), texture=0.12)
    s.fog(0.72, 0.1, (255, 200, 150), 0.6)
    hs = s.ridge(0.82, 0.1)
    s.mountains(hs, (90, 50, 80), (60, 30, 60), (160, 90, 100), (40, 24, 50), sun_x=0.5, texture=0.2,
                rim=((255, 200, 140), 0.7))
    cliff = Shape(s.size).polygon([(w * 0.2, h), (w * 0.3, h * 0.8), (w * 0.4, h * 0.74), (w * 0.56, h * 0.73),
                                   (w * 0.64, h * 0.78), (w * 0.76, h)]).mask()
    s.silhouette(cliff, (26, 14, 28), rim=((255, 200, 140), 0.9), lit_from=0)
    hero = s.hero(0.48, 0.735, 0.4, "banner")
    s.silhouette(hero, (22, 12, 24), rim=((255, 220, 160), 1.0), lit_from=0)
    s.birds(0.72, 0.3, 6, w / 170, 0.05)
    s.title("bc", "Der Ruf der Helden", scale=1.1)
    return s.finish()


WALLPAPERS = {
    (800, 600): [("Tollrand_Nebelpass", scene_nebelpass), ("Tollrand_Mondfeste", scene_mondfeste),
                 ("Tollrand_Glutwald", scene_glutwald)],
    (1024, 768): [("Tollrand_Sternenwacht", scene_sternenwacht), ("Tollrand_Wolkenburg", scene_wolkenburg),
                  ("Tollrand_Spiegelsee", scene_spiegelsee), ("Tollrand_Drachenkamm", scene_drachenkamm)],
    (1280, 1024): [("Tollrand_Frostgipfel", scene_frostgipfel), ("Tollrand_Aschenebene", scene_aschenebene),
                   ("Tollrand_Heldenruf", scene_heldenruf)],
}


# ---------------------------------------------------------------------------
# The setup program's welcome and finish pages
# ---------------------------------------------------------------------------
# The width of the picture's place on those pages (109 dialog units) at 100, 125, 150, 175
# and 200 %, as Wine lays it out (Windows' may be a few pixels narrower); the page shows
# about 1.7 times that in height and cuts the rest off. The setup shows the narrowest
# picture at least as wide as its place, unscaled (installer/Veldana.nsi).
SETUP_PICTURE_WIDTHS = [164, 218, 245, 300, 327]


def setup_picture(w, h):
    """A Tollrand night under Veldana's name, drawn afresh at w x h."""
    s = Scene(w, h, 3636)
    s.sky([(0.0, (6, 10, 30)), (0.35, (22, 34, 80)), (0.62, (70, 60, 120)), (0.78, (190, 110, 110)),
           (1.0, (250, 170, 120))])
    s.stars(int(w * h / 700), 0.6)
    s.moon(0.7, 0.36, 0.1, crescent=0.35)
    hs = s.ridge(0.72, 0.22, peaks=[(0.3, 0.14, 0.6)])
    s.mountains(hs, (70, 70, 120), (40, 40, 80), (200, 140, 150), (30, 30, 60), sun_x=0.7,
                haze=((200, 130, 130), 0.72, 90), rim=((255, 200, 170), 0.5))
    s.fog(0.78, 0.08, (220, 150, 140), 0.5)
    fg = s.ridge(0.88, 0.1, peaks=[(0.35, 0.1, 0.5)])
    top = s.plateau(fg, 0.35, 0.06)
    s.mountains(fg, (24, 20, 40), (12, 10, 24), (60, 40, 70), (10, 8, 20), sun_x=0.7,
                rim=((255, 180, 140), 0.7))
    hero = s.hero(0.35, top / h + 0.004, 0.16, "planted")
    s.silhouette(hero, (12, 10, 22), rim=((255, 190, 150), 0.9), lit_from=1)
    # The program's name in the gold of the game's title on the wallpapers.
    fs = int(w * 0.15)
    f = font("DejaVuSerif-Bold.ttf", fs)
    y = h * 0.08
    tm = text_mask(s.size, (w / 2, y), "VELDANA", f, int(fs * 0.02), anchor_center=True)
    bb = f.getbbox("VELDANA")
    back = tm.filter(ImageFilter.MaxFilter(5)).filter(ImageFilter.GaussianBlur(fs * 0.3))
    s.img = paint(s.img, (8, 6, 14), scale_mask(back, 0.5))
    s.img = screen_glow(s.img, (255, 170, 60), scale_mask(tm.filter(ImageFilter.GaussianBlur(fs * 0.15)), 0.6))
    s.img = paint(s.img, (34, 14, 6), tm.filter(ImageFilter.MaxFilter(3)))
    s.img = paint(s.img, gold_fill(s.size, int(y + bb[1]), int(y + bb[3])), tm)
    return s.finish(vignette=0.35, grain_amount=0.03)


def write_setup_pictures():
    """setup/welcome-WxH.bmp for each scale; returns their names."""
    names = []
    for w in SETUP_PICTURE_WIDTHS:
        h = round(w * 314 / 164)
        rel = os.path.join("setup", "welcome-%dx%d.bmp" % (w, h))
        write_bmp(rel, setup_picture(w, h))
        assert read_bmp24(os.path.join(HERE, rel)).size == (w, h), rel
        names.append(rel)
    return names


# ---------------------------------------------------------------------------
# Self-checks
# ---------------------------------------------------------------------------
def rect_pixels(rect):
    x, y, w, h = rect
    for yy in range(y, y + h):
        for xx in range(x, x + w):
            yield xx, yy


def components(cells, W):
    """8-connected components of a set of pixel indices."""
    seen, comps = set(), []
    for start in cells:
        if start in seen:
            continue
        seen.add(start)
        stack, comp = [start], []
        while stack:
            p = stack.pop()
            comp.append(p)
            y, x = divmod(p, W)
            for dy in (-1, 0, 1):
                for dx in (-1, 0, 1):
                    q = (y + dy) * W + (x + dx)
                    if q in cells and q not in seen:
                        seen.add(q)
                        stack.append(q)
        comps.append(comp)
    return comps


def check_background(img):
    W, H = img.size
    assert (W, H) == BG_SIZE, img.size
    px = list(img.getdata())
    for x, y in [(0, 0), (W - 1, 0), (0, H - 1), (W - 1, H - 1)]:
        assert px[y * W + x] == KEY, ("corner", x, y)
    is_key = bytearray(1 if c == KEY else 0 for c in px)

    # bounding box of the kept (non-key) pixels
    xs = [i % W for i in range(W * H) if not is_key[i]]
    ys = [i // W for i in range(W * H) if not is_key[i]]
    bbox = (min(xs), min(ys), max(xs), max(ys))
    assert bbox == KEEP_BOX, bbox

    # key pixels reachable from the border are the outside; the rest are holes
    outside = bytearray(W * H)
    stack = [i for i in range(W * H) if is_key[i] and (i % W in (0, W - 1) or i // W in (0, H - 1))]
    for i in stack:
        outside[i] = 1
    while stack:
        p = stack.pop()
        y, x = divmod(p, W)
        for q in ((p - 1) if x > 0 else -1, (p + 1) if x < W - 1 else -1,
                  (p - W) if y > 0 else -1, (p + W) if y < H - 1 else -1):
            if q >= 0 and is_key[q] and not outside[q]:
                outside[q] = 1
                stack.append(q)
    interior = {i for i in range(W * H) if is_key[i] and not outside[i]}
    rows = {i // W for i in interior}
    assert rows and min(rows) >= 406 and max(rows) <= 448, (min(rows), max(rows))
    assert 150 <= len(interior) <= 200, len(interior)
    comps = components(interior, W)
    assert len(comps) == 5, len(comps)
    # each hole must be sealed on all sides (also diagonally) by kept pixels
    for comp in comps:
        for p in comp:
            y, x = divmod(p, W)
            for dy in (-1, 0, 1):
                for dx in (-1, 0, 1):
                    q = (y + dy) * W + x + dx
                    assert not outside[q], ("hole touches outside", x, y)

    for name, rect in CONTROL_RECTS.items():
        for x, y in rect_pixels(rect):
            assert not is_key[y * W + x], ("key colour under", name, x, y)
    # controls the program draws sit on the panel
    for name in ("ListBox1", "CheckBox1", "CheckBox2", "ImageNoWallpaper", "ImageSetAsDefault",
                 "ImageDeleteSelected", "ImageAddYourOwn", "Label1", "Label2", "Label10", "ImageClose"):
        x, y, w, h = CONTROL_RECTS[name]
        assert PANEL_BOX[0] < x and x + w - 1 < PANEL_BOX[2] and PANEL_BOX[1] < y and \
            y + h - 1 < PANEL_BOX[3], name
    # plain panel colour where the program writes text, and in calm spots of the panel
    for x, y in rect_pixels(LABEL1):
        assert px[y * W + x] == PANEL, ("Label1 area not plain", x, y, px[y * W + x])
    for x, y in [(600, 178), (700, 178), (480, 300), (470, 450), (600, 488), (740, 300), (520, 160)]:
        assert px[y * W + x] == PANEL, ("panel colour", x, y, px[y * W + x])
    for x, y in rect_pixels(CHECK1):
        assert px[y * W + x] == PANEL, ("check box area", x, y)
    for x, y in rect_pixels(CHECK2):
        assert px[y * W + x] == PANEL, ("check box area", x, y)
    # figure rising above the panel's top edge towards the top of the window
    top_left = [i for i in range(W * 132) if not is_key[i] and i % W < PANEL_BOX[0]]
    assert top_left and min(i // W for i in top_left) <= 10

    near = sum(1 for i, c in enumerate(px) if not is_key[i] and
               all(abs(v - 10) <= 3 for v in c))
    runs = 0
    for y in range(H):
        row = is_key[y * W:(y + 1) * W]
        runs += sum(1 for x in range(W) if row[x] and (x == 0 or not row[x - 1]))
    return {
        "key pixels": sum(is_key),
        "kept pixels": W * H - sum(is_key),
        "kept pixels within 3 of key": near,
        "horizontal key runs": runs,
        "holes": "%d px in %d parts, rows %d..%d" % (len(interior), len(comps), min(rows), max(rows)),
    }


def check_buttons(images):
    for i, states in enumerate(images):
        w, h = BUTTONS[i][2], BUTTONS[i][3]
        a, b, c = states["A"], states["B"], states["C"]
        for img in (a, b, c):
            assert img.size == (w, h)
            # outermost ring stays panel coloured so the stacked pictures join up
            for x in range(w):
                for y in (0, 1, h - 2, h - 1):
                    assert img.getpixel((x, y)) == PANEL, ("button margin", i, x, y)
            for y in range(h):
                assert img.getpixel((0, y)) == PANEL and img.getpixel((w - 1, y)) == PANEL
        diff = ImageChops.difference(a, b).convert("L").point(lambda v: 255 if v > 12 else 0)
        assert sum(1 for v in diff.getdata() if v) > w * h // 3, "hover picture too similar"
        lum = lambda im: sum(im.convert("L").getdata()) / (w * h)
        assert lum(b) > lum(a) + 8, "hover picture not lighter"
        x0, y0, x1, y1 = BUTTON_FACES[i]
        face = c.crop((x0 + 3, y0 + 3, x1 - 2, y1 - 2))
        assert all(max(p) - min(p) <= 10 for p in face.getdata()), "inactive picture not grey"


# ---------------------------------------------------------------------------
# Driver
# ---------------------------------------------------------------------------
def save_jpeg(rel, img):
    path = os.path.join(HERE, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img.save(path, "JPEG", quality=88, optimize=False, progressive=False)
    return path


def frames_from_avi(path):
    """Decodes our own AVI back into RGB frames (for previews)."""
    with open(path, "rb") as f:
        data = f.read()
    info = parse_avi(data)
    w, h = info["width"], info["height"]
    pos = data.index(b"strf") + 8 + 40
    pal = [(data[pos + 4 * i + 2], data[pos + 4 * i + 1], data[pos + 4 * i]) for i in range(256)]
    flat = [c for rgb in pal for c in rgb]
    stride = (w + 3) & ~3
    frames = []
    p = info["movi"] + 4
    for _ in range(info["frames"]):
        size = struct.unpack_from("<I", data, p + 4)[0]
        im = Image.frombytes("P", (w, h), data[p + 8:p + 8 + size], "raw", "P", stride, -1)
        im.putpalette(flat)
        frames.append(im.convert("RGB"))
        p += 8 + size + (size & 1)
    return frames


def write_previews(out, bg, buttons, close_pair, clips, wallpapers):
    os.makedirs(out, exist_ok=True)
    bg.save(os.path.join(out, "background.png"))
    # background as it will look on a desktop: key colour shown as a checkerboard
    checker = Image.new("RGB", bg.size)
    cd = ImageDraw.Draw(checker)
    for y in range(0, bg.size[1], 12):
        for x in range(0, bg.size[0], 12):
            cd.rectangle((x, y, x + 11, y + 11), fill=(90, 140, 90) if (x // 12 + y // 12) % 2 else (70, 110, 70))
    keymask = Image.new("L", bg.size, 0)
    keymask.putdata([255 if c == KEY else 0 for c in bg.getdata()])
    Image.composite(checker, bg, keymask).save(os.path.join(out, "background_on_desktop.png"))
    sheet = solid((236 * 3 + 40, 160 + 46), (60, 60, 70))
    y = 10
    for i, states in enumerate(buttons):
        for k, s in enumerate("ABC"):
            sheet.paste(states[s], (10 + k * 246, y))
        y += BUTTONS[i][3] + 4
    sheet.paste(close_pair[0].resize((66, 69), Image.NEAREST), (10, y + 4))
    sheet.paste(close_pair[1].resize((66, 69), Image.NEAREST), (86, y + 4))
    sheet.save(os.path.join(out, "buttons.png"))
    for name, frames in clips.items():
        w, h = frames[0].size
        cols = 6
        rows = (len(frames) + cols - 1) // cols
        s = solid((cols * (w + 4) + 4, rows * (h + 4) + 4), (40, 40, 40))
        for i, f in enumerate(frames):
            s.paste(f, (4 + (i % cols) * (w + 4), 4 + (i // cols) * (h + 4)))
        s.save(os.path.join(out, "clip_%s.png" % name))
    if not wallpapers:
        return
    tw = 400
    cols = 3
    thumbs = [img.resize((tw, int(tw * img.size[1] / img.size[0])), Image.LANCZOS) for _, img in wallpapers]
    rows = (len(thumbs) + cols - 1) // cols
    s = solid((cols * (tw + 8) + 8, rows * (max(t.size[1] for t in thumbs) + 8) + 8), (30, 30, 30))
    for i, t in enumerate(thumbs):
        s.paste(t, (8 + (i % cols) * (tw + 8), 8 + (i // cols) * (max(t.size[1] for t in thumbs) + 8)))
    s.save(os.path.join(out, "wallpapers.png"))


def write_clips_at_200(clips):
    """Each clip again at twice its frame size, every pixel repeated, for windows shown at
    200 % and more: the animation control plays a clip at its own frame size."""
    for name, (frames, palette, fps) in clips.items():
        doubled = [f.resize((f.size[0] * 2, f.size[1] * 2), Image.NEAREST) for f in frames]
        write_file(os.path.join("Media", name + "_200.avi"), avi_bytes(doubled, palette, fps))
        check_avi(os.path.join(HERE, "Media", name + "_200.avi"), len(frames), doubled[0].size)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--preview", metavar="DIR", help="also write PNG previews to DIR")
    ap.add_argument("--skip-wallpapers", action="store_true", help="leave the JPEGs untouched")
    args = ap.parse_args()

    # buttons and close button
    buttons = []
    for i in range(4):
        states = {s: make_button(i, s) for s in "ABC"}
        buttons.append(states)
        write_bmp("button%d.bmp" % (i + 1), states["A"])
        for s in "ABC":
            write_bmp(os.path.join("Media", "button%d_%s.bmp" % (i + 1, s)), states[s])
    check_buttons(buttons)
    close_n, close_h = make_close(False), make_close(True)
    write_bmp("close.bmp", close_n)
    write_bmp("close_hover.bmp", close_h)
    strip = solid((CLOSE[2] * 2, CLOSE[3]), (0, 0, 0))
    strip.paste(close_n, (0, 0))
    strip.paste(close_h, (CLOSE[2], 0))
    write_bmp("close_strip.bmp", strip)

    # window background
    bg, pockets = make_background([b["A"] for b in buttons], close_n)
    assert pockets == 0, "outline encloses %d stray pixels" % pockets
    write_bmp("background.bmp", bg)
    back = read_bmp24(os.path.join(HERE, "background.bmp"))
    assert back.tobytes() == bg.tobytes(), "background.bmp does not read back"
    stats = check_background(back)
    assert back.crop((CLOSE[0], CLOSE[1], CLOSE[0] + CLOSE[2], CLOSE[1] + CLOSE[3])).tobytes() == \
        close_n.tobytes(), "painted close button differs from close.bmp"

    for rel, want in [("close.bmp", (22, 23)), ("close_hover.bmp", (22, 23)), ("close_strip.bmp", (44, 23))] + \
            [("button%d.bmp" % (i + 1), BUTTONS[i][2:]) for i in range(4)] + \
            [(os.path.join("Media", "button%d_%s.bmp" % (i + 1, s)), BUTTONS[i][2:])
             for i in range(4) for s in "ABC"]:
        assert read_bmp24(os.path.join(HERE, rel)).size == tuple(want), rel
    for i in range(4):
        with open(os.path.join(HERE, "button%d.bmp" % (i + 1)), "rb") as f1, \
                open(os.path.join(HERE, "Media", "button%d_A.bmp" % (i + 1)), "rb") as f2:
            assert f1.read() == f2.read(), "button%d_A differs from button%d" % (i + 1, i + 1)

    # preview clips
    pal = static_palette()
    tv_idx = []
    for f in static_frames(12):
        p = Image.frombytes("P", f.size, f.tobytes())   # grey level = palette index
        p.putpalette([c for rgb in pal for c in rgb])
        tv_idx.append(p)
    write_file(os.path.join("Media", "tv.avi"), avi_bytes(tv_idx, pal, 12))
    on_idx, on_pal = quantize_clip(power_on_frames(26))
    write_file(os.path.join("Media", "on.avi"), avi_bytes(on_idx, on_pal, 13))
    tv_info = check_avi(os.path.join(HERE, "Media", "tv.avi"), 12)
    on_info = check_avi(os.path.join(HERE, "Media", "on.avi"), 26)
    write_clips_at_200({"tv": (tv_idx, pal, 12), "on": (on_idx, on_pal, 13)})

    # icon
    big = icon_art(32)
    small = icon_art(16)
    ico = ico_bytes([(16, 16, 8, icon_bmp_8bit(small)), (32, 32, 8, icon_bmp_8bit(big)),
                     (32, 32, 32, icon_bmp_32bit(big))])
    write_file("icon.ico", ico)
    check_ico(os.path.join(HERE, "icon.ico"))

    # wallpapers
    wallpapers = []
    if not args.skip_wallpapers:
        for (w, h), scenes in WALLPAPERS.items():
            folder = os.path.join(HERE, "wallpapers", "%dx%d" % (w, h))
            if os.path.isdir(folder):
                for old in os.listdir(folder):
                    if old.lower().endswith(".jpg"):
                        os.remove(os.path.join(folder, old))
            for name, fn in scenes:
                img = fn(w, h)
                path = save_jpeg(os.path.join("wallpapers", "%dx%d" % (w, h), name + ".jpg"), img)
                with Image.open(path) as chk:
                    assert chk.format == "JPEG" and chk.size == (w, h), path
                    assert not chk.info.get("progressive") and not chk.info.get("progression"), path
                wallpapers.append((name, img))
            assert 3 <= len(scenes) <= 4

    write_setup_pictures()

    total = 0
    for root, _, files in os.walk(HERE):
        for fn in files:
            if fn not in ("generate.py", "README.md"):
                total += os.path.getsize(os.path.join(root, fn))
    assert total < 8 * 1024 * 1024, total

    print("background.bmp %dx%d" % BG_SIZE)
    for k, v in stats.items():
        print("  %-28s %s" % (k, v))
    print("tv.avi %d frames, on.avi %d frames, %dx%d, 8-bit" % (tv_info["frames"], on_info["frames"],
                                                              tv_info["width"], tv_info["height"]))
    print("wallpapers %d, assets total %.2f MB" % (len(wallpapers), total / 1048576.0))

    if args.preview:
        clips = {"tv": frames_from_avi(os.path.join(HERE, "Media", "tv.avi")),
                 "on": frames_from_avi(os.path.join(HERE, "Media", "on.avi"))}
        write_previews(args.preview, bg, buttons, (close_n, close_h), clips, wallpapers)
        icon_sheet = solid((130, 44), (200, 200, 210))
        for k, im in enumerate(ico_images(os.path.join(HERE, "icon.ico"))):
            icon_sheet.paste(im, (6 + k * 42, 6 + (16 if im.size[0] == 16 else 0)), im)
        dark = solid((130, 44), (40, 60, 90))
        for k, im in enumerate(ico_images(os.path.join(HERE, "icon.ico"))):
            dark.paste(im, (6 + k * 42, 6 + (16 if im.size[0] == 16 else 0)), im)
        sheet = solid((130, 88), (0, 0, 0))
        sheet.paste(icon_sheet, (0, 0))
        sheet.paste(dark, (0, 44))
        sheet.resize((520, 352), Image.NEAREST).save(os.path.join(args.preview, "icon.png"))


if __name__ == "__main__":
    main()
