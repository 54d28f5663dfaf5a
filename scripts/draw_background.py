#!/usr/bin/python3
"""Draws the editor background resources/Quelt.png, or its sharper twins.

Two 330 x 195 frames side by side (page 1 "Gate", page 2 "About"), drawn at
4x and box-filtered down, then quantised to an 8-bit palette. Coordinates are
editor pixels and follow the default skin text; the editor draws the knob
dots, value read-outs, level bar and info labels on top. At --scale N every
editor pixel becomes N x N output pixels: the same shapes, text, line widths
and glows drawn at N times the resolution, N x 4 supersampled.

Needs python3-pil and fonts-noto-core.
Usage: scripts/draw_background.py [--scale N] [output.png]
       (default resources/Quelt.png at 1, resources/Quelt@Nx.png above)
"""
import argparse
import math
import os

from PIL import Image, ImageDraw, ImageFilter, ImageFont

FONT = "/usr/share/fonts/truetype/noto/NotoSans-Regular.ttf"
SUPERSAMPLE = 4            # drawing pixels per output pixel, each way
SCALE = 1                  # output pixels per editor pixel, set by --scale
S = SUPERSAMPLE * SCALE    # drawing pixels per editor pixel
W, H = 330, 195            # one frame
PAGES = 2

# Skin geometry (x, y, w, h)
TITLE = (0, 0, 160, 55)
TABS = [(183, 3, 64, 16), (258, 3, 64, 16)]
TAB_TEXTS = ["Gate", "About"]
METER = (188, 38, 119, 9)
KNOBS = [(55, 100, 50, 50), (140, 100, 50, 50), (225, 100, 50, 50)]
KNOB_CAPTIONS = ["Threshold", "Attack", "Fade"]
VALUES = [(50, 155, 60, 15), (135, 155, 60, 15), (220, 155, 60, 15)]
DOT_RADIUS = 15
SUPPORT = (225, 40, 85, 30)
PANEL = (8, 74, 314, 110)          # recessed main area, both pages
INFO_DIVIDER_Y = 145               # between the build lines and the host line
EMBLEM = (286, 154)                # right of the two 260-wide labels

# Palette (skin colours: values 220/240/255, labels 180/190/200, bar green)
BG_TOP = (46, 51, 58)
BG_BOTTOM = (31, 35, 41)
PANEL_TOP = (22, 25, 30)
PANEL_BOTTOM = (28, 32, 38)
WELL = (13, 15, 18)
TEXT_HI = (220, 240, 255)
TEXT_LBL = (180, 190, 200)
TEXT_DIM = (118, 128, 140)
ACCENT = (95, 210, 135)
CAP_TOP = (226, 230, 235)
CAP_BOTTOM = (150, 157, 166)
TICK = (112, 122, 134)
TICK_MAJOR = (170, 180, 192)

# Font sizes in editor pixels per em; the editor's 13.4 px label font is 9.8 px per em
CAPTION_SIZE = 10.5
TAB_SIZE = 9.8


def sc(v):
    return int(round(v * S))


def font(size):
    return ImageFont.truetype(FONT, sc(size))


def vgradient(y0, y1, c0, c1, a0=255, a1=None):
    """Full-frame RGBA image graded vertically between editor rows y0 and y1."""
    a1 = a0 if a1 is None else a1
    col = Image.new("RGBA", (1, H * S))
    px = col.load()
    for y in range(H * S):
        t = min(1.0, max(0.0, (y / S - y0) / max(1e-6, y1 - y0)))
        px[0, y] = tuple(int(round(c0[i] + (c1[i] - c0[i]) * t)) for i in range(3)) + (
            int(round(a0 + (a1 - a0) * t)),)
    return col.resize((W * S, H * S), Image.NEAREST)


def solid(c, a=255):
    return Image.new("RGBA", (W * S, H * S), tuple(c) + (a,))


def mask_rrect(x, y, w, h, r):
    m = Image.new("L", (W * S, H * S), 0)
    ImageDraw.Draw(m).rounded_rectangle(
        [sc(x), sc(y), sc(x + w) - 1, sc(y + h) - 1], radius=sc(r), fill=255)
    return m


def mask_circle(cx, cy, r):
    m = Image.new("L", (W * S, H * S), 0)
    ImageDraw.Draw(m).ellipse([sc(cx - r), sc(cy - r), sc(cx + r) - 1, sc(cy + r) - 1], fill=255)
    return m


def paint(img, mask, paint_img):
    """Composites paint_img through mask (multiplied with its own alpha)."""
    layer = paint_img.copy()
    alpha = Image.composite(layer.getchannel("A"), Image.new("L", layer.size, 0), mask)
    layer.putalpha(alpha)
    img.alpha_composite(layer)


def text(img, xy, s, size, colour, anchor="ls", tracking=0.0, alpha=255):
    """Draws text at editor coordinates; tracking adds editor pixels between glyphs."""
    layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    f = font(size)
    x, y = xy
    if tracking:
        total = sum(f.getlength(ch) for ch in s) / S + tracking * (len(s) - 1)
        if anchor[0] == "m":
            x -= total / 2
        elif anchor[0] == "r":
            x -= total
        for ch in s:
            d.text((sc(x), sc(y)), ch, font=f, fill=tuple(colour) + (alpha,), anchor="l" + anchor[1])
            x += f.getlength(ch) / S + tracking
    else:
        d.text((sc(x), sc(y)), s, font=f, fill=tuple(colour) + (alpha,), anchor=anchor)
    img.alpha_composite(layer)


def recess(img, x, y, w, h, r, top, bottom):
    """A well sunk into the panel: dark upper rim, light lower rim, graded floor."""
    paint(img, mask_rrect(x - 1, y, w + 2, h + 1, r + 1), solid((255, 255, 255), 24))
    paint(img, mask_rrect(x - 1, y - 1, w + 2, h + 1, r + 1), solid((0, 0, 0), 130))
    paint(img, mask_rrect(x, y, w, h, r), vgradient(y, y + h, top, bottom))
    paint(img, mask_rrect(x, y, w, h, r), vgradient(y, y + 3, (0, 0, 0), (0, 0, 0), 90, 0))


def raised(img, x, y, w, h, r, top, bottom):
    """A raised plate: dark outline, graded face, bright top edge."""
    paint(img, mask_rrect(x, y, w, h, r), solid((8, 9, 11), 220))
    paint(img, mask_rrect(x + 1, y + 1, w - 2, h - 2, max(0, r - 1)),
          vgradient(y + 1, y + h - 1, top, bottom))
    top_edge = Image.new("L", img.size, 0)
    ImageDraw.Draw(top_edge).rectangle(
        [sc(x + r), sc(y + 1), sc(x + w - r) - 1, sc(y + 2) - 1], fill=255)
    paint(img, top_edge, solid((255, 255, 255), 40))


def hline(img, x0, x1, y, colour, a):
    m = Image.new("L", img.size, 0)
    ImageDraw.Draw(m).rectangle([sc(x0), sc(y), sc(x1) - 1, sc(y + 1) - 1], fill=255)
    paint(img, m, solid(colour, a))


def groove(img, x0, x1, y):
    hline(img, x0, x1, y, (0, 0, 0), 130)
    hline(img, x0, x1, y + 1, (255, 255, 255), 16)


def draw_panel(img):
    img.alpha_composite(vgradient(0, H, BG_TOP, BG_BOTTOM))
    hline(img, 0, W, 0, (255, 255, 255), 28)
    hline(img, 0, W, H - 1, (0, 0, 0), 120)
    recess(img, *PANEL, 4, PANEL_TOP, PANEL_BOTTOM)


def draw_title(img):
    x0 = 12
    text(img, (x0 + 1, 16), "ZORV", 8.5, TEXT_DIM, tracking=2.2)
    text(img, (x0, 43), "Quelt", 29, TEXT_HI)
    end = x0 + font(29).getlength("Quelt") / S
    text(img, (end + 7, 43), "NOISE GATE", 7.5, TEXT_DIM, tracking=1.4)


def led(img, cx, cy, on):
    """Round status lamp; lit lamps get a soft glow."""
    if on:
        glow = Image.new("RGBA", img.size, (0, 0, 0, 0))
        ImageDraw.Draw(glow).ellipse([sc(cx - 5), sc(cy - 5), sc(cx + 5), sc(cy + 5)], fill=ACCENT + (110,))
        img.alpha_composite(glow.filter(ImageFilter.GaussianBlur(sc(1.8))))
    paint(img, mask_circle(cx, cy, 3.0), solid((6, 7, 9), 210))
    paint(img, mask_circle(cx, cy, 2.2), solid(ACCENT if on else (60, 66, 75)))
    if on:
        paint(img, mask_circle(cx - 0.5, cy - 0.6, 1.0), solid((225, 255, 235), 170))


def draw_tabs(img, page):
    for i, ((x, y, w, h), label) in enumerate(zip(TABS, TAB_TEXTS)):
        selected = i == page
        if selected:
            raised(img, x, y, w, h, 3, (66, 74, 85), (48, 54, 62))
        else:
            recess(img, x, y, w, h, 3, (26, 29, 34), (33, 37, 43))
        tw = font(TAB_SIZE).getlength(label) / S
        left = x + (w - tw - 10) / 2
        led(img, left + 2.5, y + h / 2, selected)
        text(img, (left + 10, y + h / 2 + 3.4), label, TAB_SIZE, TEXT_HI if selected else TEXT_DIM)


def draw_meter(img):
    x, y, w, h = METER
    text(img, (x, y - 5), "GAIN", 7.5, TEXT_DIM, tracking=1.4)  # the gate's gain, full while open
    recess(img, x, y, w, h, 1, WELL, (20, 23, 27))
    for k in range(5):
        tx = x + round(k * (w - 1) / 4)
        m = Image.new("L", img.size, 0)
        ImageDraw.Draw(m).rectangle([sc(tx), sc(y + h + 2), sc(tx + 1) - 1, sc(y + h + 4) - 1], fill=255)
        paint(img, m, solid(TICK, 255))


def arc_point(cx, cy, v, d):
    th = v * 1.5 * math.pi + math.pi / 4
    return cx - d * math.sin(th), cy + d * math.cos(th)


def draw_knob(img, box, caption):
    x, y, w, h = box
    cx, cy = x + w / 2, y + h / 2
    text(img, (cx, y - 9), caption, CAPTION_SIZE, TEXT_LBL, anchor="ms")
    # scale: 11 ticks over the 270 degree travel, longer at the ends and the centre
    ticks = Image.new("RGBA", img.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(ticks)
    for k in range(11):
        v = k / 10
        major = k in (0, 5, 10)
        p0 = arc_point(cx, cy, v, 21.0 if major else 21.5)
        p1 = arc_point(cx, cy, v, 24.5 if major else 23.5)
        d.line([sc(p0[0]), sc(p0[1]), sc(p1[0]), sc(p1[1])],
               fill=(TICK_MAJOR if major else TICK) + (255,), width=S)
    img.alpha_composite(ticks)
    # drop shadow
    shadow = Image.new("RGBA", img.size, (0, 0, 0, 0))
    ImageDraw.Draw(shadow).ellipse(
        [sc(cx - 19.5), sc(cy - 18.5), sc(cx + 19.5), sc(cy + 20.5)], fill=(0, 0, 0, 170))
    img.alpha_composite(shadow.filter(ImageFilter.GaussianBlur(sc(1.6))))
    # cap: dark rim, light graded face, concave centre
    paint(img, mask_circle(cx, cy, 19.5), solid((12, 13, 16)))
    paint(img, mask_circle(cx, cy, 18.5), vgradient(cy - 18.5, cy + 18.5, CAP_TOP, CAP_BOTTOM))
    shine = Image.new("L", img.size, 0)
    ImageDraw.Draw(shine).ellipse([sc(cx - 14), sc(cy - 17.5), sc(cx + 14), sc(cy - 2)], fill=255)
    shine = Image.composite(shine, Image.new("L", img.size, 0), mask_circle(cx, cy, 18.5))
    paint(img, shine.filter(ImageFilter.GaussianBlur(sc(1.5))), vgradient(cy - 18, cy - 4, (255, 255, 255), (255, 255, 255), 90, 0))
    paint(img, mask_circle(cx, cy, 11.5), vgradient(cy - 11.5, cy + 11.5, (158, 165, 174), (214, 219, 225)))
    rim = Image.new("RGBA", img.size, (0, 0, 0, 0))
    ImageDraw.Draw(rim).ellipse([sc(cx - 11.5), sc(cy - 11.5), sc(cx + 11.5) - 1, sc(cy + 11.5) - 1],
                                outline=(90, 96, 104, 110), width=S // 2)
    img.alpha_composite(rim)


def draw_value_windows(img):
    for (x, y, w, h) in VALUES:
        recess(img, x, y, w, h, 3, WELL, (18, 21, 25))


def draw_support_button(img):
    x, y, w, h = SUPPORT
    bx, by, bw, bh = x, y + 2, w, h - 4
    raised(img, bx, by, bw, bh, 4, (64, 72, 83), (46, 52, 60))
    text(img, (bx + bw / 2 - 5, by + bh / 2 + 0.5), "Support", 11.5, TEXT_HI, anchor="mm")
    # small "external link" arrow after the caption
    tw = font(11.5).getlength("Support") / S
    ax = bx + bw / 2 - 5 + tw / 2 + 5
    ay = by + bh / 2 - 3
    arrow = Image.new("RGBA", img.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(arrow)
    d.line([sc(ax), sc(ay + 6), sc(ax + 6), sc(ay)], fill=ACCENT + (255,), width=S)
    d.line([sc(ax + 2), sc(ay), sc(ax + 6), sc(ay)], fill=ACCENT + (255,), width=S)
    d.line([sc(ax + 6), sc(ay), sc(ax + 6), sc(ay + 4)], fill=ACCENT + (255,), width=S)
    img.alpha_composite(arrow)


def draw_emblem(img, x, y):
    """Gate envelope (closed, attack, open, fade) over a baseline, 24 x 14."""
    d_pts = [(0, 14), (5, 14), (8, 2), (15, 2), (21, 14), (24, 14)]
    layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    d.polygon([(sc(x + px), sc(y + py)) for px, py in d_pts], fill=ACCENT + (40,))
    d.line([(sc(x + px), sc(y + py)) for px, py in d_pts], fill=ACCENT + (170,), width=S, joint="curve")
    img.alpha_composite(layer)


def draw_frame(page):
    img = Image.new("RGBA", (W * S, H * S), (0, 0, 0, 255))
    draw_panel(img)
    draw_title(img)
    draw_tabs(img, page)
    if page == 0:
        draw_meter(img)
        for box, caption in zip(KNOBS, KNOB_CAPTIONS):
            draw_knob(img, box, caption)
        draw_value_windows(img)
    else:
        draw_support_button(img)
        groove(img, 20, 310, INFO_DIVIDER_Y)
        draw_emblem(img, *EMBLEM)
    return img.resize((W * SCALE, H * SCALE), Image.BOX)


def build():
    sheet = Image.new("RGBA", (W * SCALE * PAGES, H * SCALE), (0, 0, 0, 255))
    for page in range(PAGES):
        sheet.paste(draw_frame(page), (page * W * SCALE, 0))
    rgb = sheet.convert("RGB")
    # max-coverage keeps every colour within a few levels, small accents included
    return rgb.quantize(colors=256, method=Image.Quantize.MAXCOVERAGE)


def set_scale(scale):
    global SCALE, S
    SCALE = scale
    S = SUPERSAMPLE * scale


def main():
    parser = argparse.ArgumentParser(description="Draws the editor background.")
    parser.add_argument("--scale", type=int, default=1, choices=range(1, 5), metavar="N",
                        help="output pixels per editor pixel, 1 to 4 (default 1)")
    parser.add_argument("output", nargs="?", help="PNG to write")
    args = parser.parse_args()
    set_scale(args.scale)
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    name = "Quelt.png" if SCALE == 1 else "Quelt@%dx.png" % SCALE
    out = args.output or os.path.join(root, "resources", name)
    build().save(out, optimize=True, bits=8)
    print(out)


if __name__ == "__main__":
    main()
