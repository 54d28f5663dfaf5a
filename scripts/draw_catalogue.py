#!/usr/bin/python3
"""Draws the image strips of the catalogue skin, skins/catalogue/*.png.

The catalogue places every control type the gate can bind on three pages
over the embedded background resources/Quelt.png (page 1 over its first
frame, pages 2 and 3 over its second). Every picture here is cut from a page
drawn at 4x over that background and box-filtered down, so that pixels left
alone match the background exactly and each image sits seamlessly where the
skin places it. The drawing helpers and palette are those of
scripts/draw_background.py. Coordinates are editor pixels and follow
skins/catalogue.txt.

Needs python3-pil and fonts-noto-core.
Usage: scripts/draw_catalogue.py [outdir]   (default skins/catalogue)
"""
import os
import sys

from PIL import Image, ImageDraw

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import draw_background as art  # noqa: E402

S, W, H = art.S, art.W, art.H
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ACCENT = art.ACCENT
DIM, LBL, HI = art.TEXT_DIM, art.TEXT_LBL, art.TEXT_HI
CAPTION = 7.0      # type names and section titles
TABS = [("Dials", 150), ("Switches", 208), ("Meters", 266)]
TAB_Y, TAB_W, TAB_H = 2, 58, 18

# Geometry shared with skins/catalogue.txt (x, y, w, h)
P1_CAPTIONS = (12, 172, 306, 11)
P1_BARCAP = (236, 24, 72, 11)
BGPOT = (225, 100, 50, 50)
BGVALUE = (220, 155, 60, 15)
P2_TOP = (14, 79, 300, 11)
RADIOS = [(22 + 36 * i, 93, 34, 20) for i in range(4)]
RADIO_TEXTS = ["-56", "-18", "-5.6", "-1.8"]   # dB at the centres of the four bands (a log scale)
HLRADIO_X = [186, 226, 266]                   # 16 x 16 boxes at y 95
HLRADIO_LABELS = (178, 113, 124, 11)
HLRADIO_TEXTS = ["5 ms", "15 ms", "25 ms"]
P2_BOTTOM = (14, 149, 270, 11)
SWITCH = (22, 162, 44, 20)
BUTTON = (196, 162, 60, 20)
MANUAL = (225, 40, 85, 30)
P3_TOP = (14, 79, 300, 11)
KNOB = (24, 93, 44, 44)
KNOB_FRAMES = 41
RAIL_L, RAIL_R = (136, 92, 8, 50), (164, 92, 8, 50)
SLIDE = (146, 92, 16, 50)
SLIDE_KNOB = (16, 10)
LADDER = (232, 92, 12, 50)
LADDER_FRAMES = 11
LADDER_SCALE = (247, 92, 44, 50)
P3_BOTTOM = (14, 149, 270, 11)


def base(frame):
    """A background frame at 4x, each pixel a 4 x 4 block."""
    sheet = Image.open(os.path.join(ROOT, "resources", "Quelt.png")).convert("RGBA")
    crop = sheet.crop((frame * W, 0, frame * W + W, H))
    return crop.resize((W * S, H * S), Image.NEAREST)


def shrink(img):
    return img.resize((W, H), Image.BOX)


def cut(img4, rect):
    x, y, w, h = rect
    return shrink(img4).crop((x, y, x + w, y + h)).convert("RGB")


def strip(frames):
    """Frames side by side."""
    w, h = frames[0].size
    out = Image.new("RGB", (w * len(frames), h))
    for i, f in enumerate(frames):
        out.paste(f, (i * w, 0))
    return out


def caption(img, x, y, title, kind):
    """A section title in capitals, then the control type in the dim colour."""
    if title:
        art.text(img, (x, y), title, CAPTION, LBL, tracking=1.0)
        x += art.font(CAPTION).getlength(title) / S + 1.0 * (len(title) - 1) + 5
    art.text(img, (x, y), kind, CAPTION, DIM)


def untabbed(frame):
    """The frame with the baked tabs painted over by the plain top gradient."""
    img = base(frame)
    column = img.crop((326 * S, 0, 326 * S + 1, H * S))
    band = column.resize((180 * S, 22 * S), Image.NEAREST)
    img.paste(band, (147 * S, 0))
    return img


def tab_frames(label, x):
    frames = []
    for state in ("inactive", "active", "pressed"):
        img = untabbed(0)
        tx, ty, tw, th = x + 2, TAB_Y + 1, TAB_W - 4, TAB_H - 2
        on = state != "inactive"
        if on:
            art.raised(img, tx, ty, tw, th, 3, (66, 74, 85), (48, 54, 62))
        else:
            art.recess(img, tx, ty, tw, th, 3, (26, 29, 34), (33, 37, 43))
        if state == "pressed":
            art.paint(img, art.mask_rrect(tx, ty, tw, th, 3), art.solid((255, 255, 255), 22))
        lw = art.font(art.TAB_SIZE).getlength(label) / S
        left = tx + (tw - lw - 10) / 2
        art.led(img, left + 2.5, ty + th / 2, on)
        art.text(img, (left + 10, ty + th / 2 + 3.4), label, art.TAB_SIZE, HI if on else DIM)
        frames.append(cut(img, (x, TAB_Y, TAB_W, TAB_H)))
    return strip(frames)


def page1_pictures(out):
    img = base(0)
    for cx, kind in ((80, "GPotDot  GValue"), (165, "GPotLine  GValue"),
                     (250, "GBgPotDot  GBgValue")):
        art.text(img, (cx, 180), kind, CAPTION, DIM, anchor="ms")
    art.text(img, (307, 33), "GBarFracMeter", CAPTION, DIM, anchor="rs")
    save(out, "p1captions", cut(img, P1_CAPTIONS))
    save(out, "p1barcap", cut(img, P1_BARCAP))

    # A dark anodised cap with an accent rim, lit while held.
    frames = []
    for held in (False, True):
        img = base(0)
        x, y, w, h = BGPOT
        cx, cy = x + w / 2, y + h / 2
        art.paint(img, art.mask_circle(cx, cy, 19.5), art.solid((10, 11, 13)))
        art.paint(img, art.mask_circle(cx, cy, 18.5), art.vgradient(cy - 18.5, cy + 18.5,
                                                                    (74, 82, 93), (34, 38, 44)))
        art.paint(img, art.mask_circle(cx, cy, 15.5), art.vgradient(cy - 15.5, cy + 15.5,
                                                                    (30, 34, 40), (58, 65, 75)))
        ring = Image.new("RGBA", img.size, (0, 0, 0, 0))
        ImageDraw.Draw(ring).ellipse([art.sc(cx - 17), art.sc(cy - 17), art.sc(cx + 17),
                                      art.sc(cy + 17)], outline=ACCENT + (230 if held else 90,),
                                     width=S if held else S // 2)
        img.alpha_composite(ring)
        frames.append(cut(img, BGPOT))
    save(out, "bgpot", strip(frames))

    img = base(0)
    x, y, w, h = BGVALUE
    art.hline(img, x + 4, x + w - 4, y + h - 2, ACCENT, 150)
    save(out, "bgvalue", cut(img, BGVALUE))


def radio_frames(rect, label):
    frames = []
    for state in ("off", "on", "offpressed", "onpressed"):
        img = base(1)
        x, y, w, h = rect
        on = state.startswith("on")
        if on:
            art.raised(img, x, y, w, h, 3, (70, 79, 91), (50, 56, 65))
        else:
            art.recess(img, x + 1, y + 1, w - 2, h - 2, 3, (20, 23, 27), (30, 34, 40))
        if state.endswith("pressed"):
            art.paint(img, art.mask_rrect(x, y, w, h, 3), art.solid((255, 255, 255), 26))
        art.led(img, x + 6, y + h / 2, on)
        art.text(img, (x + w / 2 + 4, y + h / 2 + 3.2), label, 9.0, HI if on else DIM, anchor="ms")
        frames.append(cut(img, rect))
    return strip(frames)


def page2_pictures(out):
    img = base(1)
    caption(img, 22, 87, "THRESHOLD", "GImgRadio")
    caption(img, 186, 87, "ATTACK", "GHlRadio")
    save(out, "p2top", cut(img, P2_TOP))
    for i, (rect, label) in enumerate(zip(RADIOS, RADIO_TEXTS)):
        save(out, f"radio{i + 1}", radio_frames(rect, label))

    img = base(1)
    for x, label in zip(HLRADIO_X, HLRADIO_TEXTS):
        art.text(img, (x + 8, 121), label, 8.0, LBL, anchor="ms")
    save(out, "hlradiolabels", cut(img, HLRADIO_LABELS))

    img = base(1)
    caption(img, 22, 157, "FADE", "GImgSwitch")
    caption(img, 104, 157, "", "GHlSwitch")
    caption(img, 196, 157, "ATTACK", "GImgButton")
    save(out, "p2bottom", cut(img, P2_BOTTOM))

    # Toggle: a slot with a thumb at the left (off) or right (on, lamp lit).
    frames = []
    for on, pressed in ((False, False), (True, False), (False, True), (True, True)):
        img = base(1)
        x, y, w, h = SWITCH
        art.recess(img, x, y + 3, w, h - 6, 7, (12, 14, 17), (24, 27, 32))
        if on:
            art.paint(img, art.mask_rrect(x + 2, y + 5, w - 4, h - 10, 5), art.solid(ACCENT, 60))
        tx = x + (w - 24 if on else 1)
        art.raised(img, tx, y + 1, 23, h - 2, 5, (86, 95, 108) if not pressed else (104, 114, 128),
                   (52, 58, 67))
        for k in range(3):
            grip = Image.new("L", img.size, 0)
            ImageDraw.Draw(grip).rectangle([art.sc(tx + 8 + 3 * k), art.sc(y + 6),
                                            art.sc(tx + 9 + 3 * k) - 1, art.sc(y + h - 6) - 1],
                                           fill=255)
            art.paint(img, grip, art.solid((20, 22, 26), 150))
        art.led(img, x + (9 if on else w - 9), y + h / 2, on)
        frames.append(cut(img, SWITCH))
    save(out, "switch", strip(frames))

    # Momentary button: off, on (the value at the top), held.
    frames = []
    for state in ("off", "on", "pressed"):
        img = base(1)
        x, y, w, h = BUTTON
        if state == "pressed":
            art.recess(img, x + 1, y + 1, w - 2, h - 2, 4, (36, 41, 48), (46, 52, 60))
        else:
            art.raised(img, x, y, w, h, 4, (70, 79, 91), (48, 54, 62))
        lit = state != "off"
        art.led(img, x + 9, y + h / 2, lit)
        art.text(img, (x + w / 2 + 5, y + h / 2 + 3.4), "MAX", 8.5, HI if lit else LBL,
                 anchor="ms", tracking=1.0)
        frames.append(cut(img, BUTTON))
    save(out, "button", strip(frames))


def knob_frame(v):
    """The image knob: a dark cap in a tick ring, the travel lit in the accent colour."""
    img = base(1)
    x, y, w, h = KNOB
    cx, cy = x + w / 2, y + h / 2
    arc = Image.new("RGBA", img.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(arc)
    box = [art.sc(cx - 20), art.sc(cy - 20), art.sc(cx + 20), art.sc(cy + 20)]
    d.arc(box, 135, 405, fill=(8, 9, 11, 255), width=int(S * 3.2))
    if v > 0:
        d.arc(box, 135, 135 + 270 * v, fill=ACCENT + (255,), width=int(S * 2.2))
    img.alpha_composite(arc)
    art.paint(img, art.mask_circle(cx, cy, 16.5), art.solid((8, 9, 11), 230))
    art.paint(img, art.mask_circle(cx, cy, 15.5), art.vgradient(cy - 15.5, cy + 15.5,
                                                                (92, 101, 114), (40, 45, 52)))
    art.paint(img, art.mask_circle(cx, cy, 12.5), art.vgradient(cy - 12.5, cy + 12.5,
                                                                (44, 49, 57), (70, 78, 89)))
    p0 = art.arc_point(cx, cy, v, 4.5)
    p1 = art.arc_point(cx, cy, v, 11.5)
    line = Image.new("RGBA", img.size, (0, 0, 0, 0))
    ImageDraw.Draw(line).line([art.sc(p0[0]), art.sc(p0[1]), art.sc(p1[0]), art.sc(p1[1])],
                              fill=HI + (255,), width=int(S * 1.8))
    img.alpha_composite(line)
    return cut(img, KNOB)


def page3_pictures(out):
    img = base(1)
    caption(img, 22, 87, "THRESHOLD", "GImgPot")
    caption(img, 136, 87, "FADE", "GSlide")
    caption(img, 226, 87, "LEVEL", "GImgFracMeter")
    save(out, "p3top", cut(img, P3_TOP))

    img = base(1)
    caption(img, 22, 157, "LIVE TEXT", "GLabel")
    save(out, "p3bottom", cut(img, P3_BOTTOM))

    frames = [knob_frame(i / (KNOB_FRAMES - 1)) for i in range(KNOB_FRAMES)]
    save(out, "knob", strip(frames))

    # Rails beside the fader: a tick per tenth of the travel, longer at the ends and middle.
    img = base(1)
    travel = SLIDE[3] - SLIDE_KNOB[1]
    for k in range(11):
        top = SLIDE[1] + travel - int(k / 10 * (travel - 1) + 0.5)
        cy = top + SLIDE_KNOB[1] / 2
        major = k in (0, 5, 10)
        for rx, rw, right in ((RAIL_L[0], RAIL_L[2], True), (RAIL_R[0], RAIL_R[2], False)):
            length = 6 if major else 3.5
            x0 = rx + rw - length - 1 if right else rx + 1
            art.hline(img, x0, x0 + length, cy - 0.5, art.TICK_MAJOR if major else art.TICK, 255)
    save(out, "railleft", cut(img, RAIL_L))
    save(out, "railright", cut(img, RAIL_R))

    # The fader cap, drawn over the panel half-way down the slide.
    img = base(1)
    kw, kh = SLIDE_KNOB
    kx, ky = SLIDE[0], SLIDE[1] + travel // 2
    art.raised(img, kx, ky, kw, kh, 2, (120, 130, 144), (66, 74, 85))
    art.hline(img, kx + 2, kx + kw - 2, ky + kh / 2 - 0.5, ACCENT, 255)
    save(out, "slideknob", cut(img, (kx, ky, kw, kh)))

    # LED ladder: frame k lights the k lowest of ten segments.
    frames = []
    x, y, w, h = LADDER
    for k in range(LADDER_FRAMES):
        img = base(1)
        art.recess(img, x, y, w, h, 2, (10, 11, 13), (16, 18, 21))
        for seg in range(10):
            sy = y + h - 2 - (seg + 1) * 4.6
            lit = seg < k
            colour = ACCENT if seg < 8 else (225, 200, 90)
            m = art.mask_rrect(x + 2, sy, w - 4, 3.6, 1)
            art.paint(img, m, art.solid(colour if lit else (38, 43, 50), 255 if lit else 200))
        frames.append(cut(img, LADDER))
    save(out, "ladder", strip(frames))

    img = base(1)
    sx, sy, sw, sh = LADDER_SCALE
    for frac, label in ((1.0, "open"), (0.5, "half"), (0.0, "shut")):
        ty = LADDER[1] + LADDER[3] - 2 - frac * 46
        art.hline(img, sx, sx + 4, ty - 0.5, art.TICK_MAJOR, 255)
        art.text(img, (sx + 7, ty + 2.5), label, CAPTION, DIM)
    save(out, "ladderscale", cut(img, LADDER_SCALE))

    img = base(1)
    x, y, w, h = MANUAL
    bx, by, bw, bh = x, y + 2, w, h - 4
    art.paint(img, art.mask_rrect(bx - 1, by - 1, bw + 2, bh + 2, 5), art.solid((44, 49, 56)))
    art.raised(img, bx, by, bw, bh, 4, (64, 72, 83), (46, 52, 60))
    art.paint(img, art.mask_rrect(bx + 1, by + bh - 3, bw - 2, 2, 1), art.solid(ACCENT, 120))
    art.text(img, (bx + bw / 2, by + bh / 2 + 0.5), "Manual", 11.5, HI, anchor="mm")
    save(out, "manual", cut(img, MANUAL))


def save(out, name, picture):
    picture.save(os.path.join(out, name + ".png"), optimize=True)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "skins", "catalogue")
    os.makedirs(out, exist_ok=True)
    for i, (label, x) in enumerate(TABS):
        save(out, f"tab{i + 1}", tab_frames(label, x))
    page1_pictures(out)
    page2_pictures(out)
    page3_pictures(out)
    print(out)


if __name__ == "__main__":
    main()
