#!/usr/bin/python3
"""Draws every image of Quillow's settings window, its dialogs and the program
icon into src/res/art/, then checks them. Every PNG is drawn a second time at
twice the size into src/res/art/2x/, under the same name, for screens of 144
DPI and above: the same drawing rendered at scale 2, not the 1x pixels
enlarged. The icon has no 2x set; it carries its own sizes.

    scripts/draw-art.py           draw everything, then check
    scripts/draw-art.py --check   only check the committed files

The build uses the committed files, so this runs by hand after changing a
drawing. It needs python3-cairo and fonts-dejavu-core (scripts/setup installs
both, and optipng) and is the system python3 on purpose: that is where python3-cairo lives.
Output is deterministic: no randomness, no timestamps.
"""
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

import cairo

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
ART = os.path.join(ROOT, "src", "res", "art")
ART_2X = os.path.join(ART, "2x")

# Device pixels per drawing unit in the pass draw() is making. The drawings
# stay in 1x units; only code that handles pixels itself has to know.
SCALE = 1

# One family: soft white/blue surfaces, glossy blue controls, a teal accent
# for Apply, amber for warnings and small warm accents.
PALETTE = {
    "ink": "#163a63",           # wordmark, glyph shadows, dark details
    "ink_soft": "#4f6f93",      # tagline, secondary strokes
    "sky_top": "#fcfdff",       # frame background, top
    "sky_mid": "#eef5fd",
    "sky_bottom": "#d6e6f7",    # frame background just above the panel
    "panel": "#b9d2ef",         # the navigation panel's fill, RGB(185,210,239)
    "panel_edge": "#93b3da",
    "rim_soft": "#8ba7c9",      # tab and dialog rims
    "tab_top": "#ffffff",
    "tab_bottom": "#eaf2fc",    # also the base line's body
    "rest_top": "#eaf2fb",      # a tab at rest
    "rest_bottom": "#bcd2ed",
    "hot_top": "#f1f8ff",
    "hot_bottom": "#cfe5fb",
    "hot_rim": "#6f9fd4",
    "strip_top": "#9bbbe5",
    "strip_bottom": "#adc9ec",
    "strip_rim": "#7496c4",
    # glossy control tones: top, bottom, rim, inner glow
    "blue": ("#5fb0f2", "#1d65bd", "#164a87", "#8fd3ff"),
    "blue_hot": ("#7fc6fa", "#2d7fd6", "#1a5a9c", "#b4e6ff"),
    "blue_pressed": ("#3f8bd6", "#164f99", "#103c72", "#5aa6e6"),
    "teal": ("#6cdcc0", "#169779", "#0f6c58", "#a6f4e0"),
    "teal_hot": ("#8aeccf", "#22ae8c", "#137b63", "#c6fff0"),
    "teal_pressed": ("#43bf9f", "#0f7a61", "#0b5745", "#70d9bd"),
    "grey": ("#d9dde3", "#aeb6c0", "#939dab", "#e4e8ed"),
    "amber": ("#ffc46a", "#e8801c", "#b25a0e", "#ffe2a8"),
    "glyph_disabled": "#f4f6f8",
    # the rest face of a dialog button: top, just above and below its middle, bottom
    "button_rest": ("#ffffff", "#f5f8fc", "#e9eff7", "#dfe8f3"),
    "wordmark_top": "#2f6fb8",  # the wordmark shades down to ink
    # the logo's two desktops: bezel top, bottom, rim; display top, bottom
    "back_bezel": ("#9cbde2", "#5f8cc2", "#46709f"),
    "back_display": ("#e4f2fe", "#a8cdf1"),
    "front_bezel": ("#3d7cc6", "#16447f", "#0f3566"),
    "front_display": ("#7cc8f7", "#1f70c4"),
    "gear": ("#9ec1e8", "#3e6aa3", "#274d7e"),
    "steel": "#6b7a8f",         # the padlock's shackle
    "lock_hole": "#6a3a08",
    "bolt_top": "#ffe08a",
    "mouse_bottom": "#c4d7ee",
}
STRENGTH = {
    "gloss": 0.78,          # white at the top of a control's highlight
    "gloss_end": 0.10,      # ... at its lower edge
    "glow": 0.55,           # light reflected up from a control's bottom
    "shadow": 0.22,         # a control's drop shadow
    "hot_halo": 0.45,       # the halo of a hot control
    "glyph_shadow": 0.45,   # the shadow under white glyphs
    "sheen": 0.30,          # the diagonal light across the frame background
    "sweep": 0.66,          # the sweep light at its centre
}
RADIUS = {"tab": 6, "dialog_button": 4, "strip": 16}
FONT = "DejaVu Sans"

DISABLED, NORMAL, HOT, PRESSED = range(4)


# ---- drawing helpers ----

def rgb(colour, alpha=1.0):
    value = int(colour[1:], 16)
    return ((value >> 16) / 255.0, ((value >> 8) & 255) / 255.0, (value & 255) / 255.0, alpha)


def vertical(y0, y1, *stops):
    """A top-to-bottom gradient; stops are (offset, colour[, alpha])."""
    gradient = cairo.LinearGradient(0, y0, 0, y1)
    for stop in stops:
        gradient.add_color_stop_rgba(stop[0], *rgb(stop[1], stop[2] if len(stop) > 2 else 1.0))
    return gradient


def canvas(width, height):
    """width x height in drawing units. The device scale, rather than a scale
    on the context, also keeps the surface at its drawn size when it is
    painted as a source, so cutting and masking need no arithmetic."""
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, width * SCALE, height * SCALE)
    surface.set_device_scale(SCALE, SCALE)
    ctx = cairo.Context(surface)
    options = cairo.FontOptions()
    options.set_antialias(cairo.ANTIALIAS_GRAY)
    options.set_hint_style(cairo.HINT_STYLE_NONE)
    options.set_hint_metrics(cairo.HINT_METRICS_OFF)
    ctx.set_font_options(options)
    return surface, ctx


def rounded_rect(ctx, x, y, w, h, r):
    r = max(0.0, min(r, w / 2.0, h / 2.0))
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    ctx.close_path()


def top_rounded(ctx, x, y, w, h, r):
    """Rounded at the top only, open at the bottom (a tab's outline)."""
    ctx.move_to(x, y + h)
    ctx.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.line_to(x + w, y + h)


def frames(width, height, count, draw):
    """count frames of width x height side by side; draw(ctx, index) sees its
    own frame at the origin and cannot paint into a neighbour."""
    surface, ctx = canvas(width * count, height)
    for index in range(count):
        ctx.save()
        ctx.translate(index * width, 0)
        ctx.rectangle(0, 0, width, height)
        ctx.clip()
        draw(ctx, index)
        ctx.restore()
    return surface


def slice_columns(surface, x, width):
    part, ctx = canvas(width, surface.get_height() // SCALE)
    ctx.set_source_surface(surface, -x, 0)
    ctx.paint()
    return part


def columns_equal(surface, x0, x1):
    """True when pixel columns x0..x1-1 are identical: a stretched middle must be."""
    surface.flush()
    data, stride = bytes(surface.get_data()), surface.get_stride()
    for y in range(surface.get_height()):
        row = data[y * stride + x0 * 4:y * stride + x1 * 4]
        if row != row[:4] * (x1 - x0):
            return False
    return True


class Control:
    """A glossy control's outline: a disc or a pill, traced at an inset."""

    def __init__(self, x, y, w, h):
        self.x, self.y, self.w, self.h = x, y, w, h

    def trace(self, ctx, inset=0.0):
        rounded_rect(ctx, self.x + inset, self.y + inset, self.w - 2 * inset,
                     self.h - 2 * inset, self.h / 2.0 - inset)

    @property
    def cx(self):
        return self.x + self.w / 2.0

    @property
    def cy(self):
        return self.y + self.h / 2.0


def glossy(ctx, shape, tone, state):
    """A glossy control body in one of the four states; the glyph goes on top."""
    top, bottom, rim, glow = tone
    if state == DISABLED:
        shape.trace(ctx)
        ctx.set_source(vertical(shape.y, shape.y + shape.h, (0, rim, 0.7), (1, rim, 0.9)))
        ctx.fill()
        shape.trace(ctx, 1)
        ctx.set_source(vertical(shape.y, shape.y + shape.h, (0, top), (1, bottom)))
        ctx.fill()
        return
    if state == HOT:
        shape.trace(ctx, -1)
        ctx.set_source_rgba(*rgb(glow, STRENGTH["hot_halo"]))
        ctx.fill()
    else:
        ctx.save()
        ctx.translate(0, 0.8)
        shape.trace(ctx, -0.4)
        ctx.set_source_rgba(*rgb(PALETTE["ink"], STRENGTH["shadow"]))
        ctx.fill()
        ctx.restore()
    shape.trace(ctx)
    ctx.set_source_rgba(*rgb(rim))
    ctx.fill()
    shape.trace(ctx, 1)
    ctx.set_source(vertical(shape.y, shape.y + shape.h, (0, top), (0.55, bottom), (1, bottom)))
    ctx.fill_preserve()
    ctx.save()
    ctx.clip()
    reflected = cairo.RadialGradient(shape.cx, shape.y + shape.h, 0,
                                     shape.cx, shape.y + shape.h, shape.h * 0.62)
    reflected.add_color_stop_rgba(0, *rgb(glow, STRENGTH["glow"]))
    reflected.add_color_stop_rgba(1, *rgb(glow, 0))
    ctx.set_source(reflected)
    ctx.paint()
    if state == PRESSED:
        # Lit from above, a pressed control is shaded at its top edge.
        ctx.set_source(vertical(shape.y, shape.y + shape.h * 0.45,
                                (0, PALETTE["ink"], 0.45), (1, PALETTE["ink"], 0)))
        ctx.paint()
    gloss = STRENGTH["gloss"] * (0.55 if state == PRESSED else 1.0)
    ctx.save()
    ctx.translate(shape.cx, shape.y + shape.h * 0.28)
    ctx.scale((shape.w / 2.0 - shape.h * 0.16), shape.h * 0.25)
    ctx.arc(0, 0, 1, 0, 2 * math.pi)
    ctx.restore()
    ctx.set_source(vertical(shape.y + 1, shape.y + shape.h * 0.53,
                            (0, "#ffffff", gloss), (1, "#ffffff", STRENGTH["gloss_end"])))
    ctx.fill()
    ctx.restore()


def glyph(ctx, state, draw):
    """A white glyph with a soft dark shadow under it; draw(ctx) traces and
    paints it with whatever source is current."""
    if state == DISABLED:
        ctx.set_source_rgba(*rgb(PALETTE["glyph_disabled"], 0.95))
        draw(ctx)
        return
    nudge = 0.6 if state == PRESSED else 0.0
    ctx.save()
    ctx.translate(0, nudge + 0.9)
    ctx.set_source_rgba(*rgb(PALETTE["ink"], STRENGTH["glyph_shadow"]))
    draw(ctx)
    ctx.restore()
    ctx.save()
    ctx.translate(0, nudge)
    ctx.set_source_rgba(1, 1, 1, 1)
    draw(ctx)
    ctx.restore()


def stroked(points, width):
    def draw(ctx):
        ctx.set_line_width(width)
        ctx.set_line_cap(cairo.LINE_CAP_ROUND)
        ctx.set_line_join(cairo.LINE_JOIN_ROUND)
        for path in points:
            ctx.move_to(*path[0])
            for point in path[1:]:
                ctx.line_to(*point)
        ctx.stroke()
    return draw


def text_glyph(text, cx, cy, size):
    def draw(ctx):
        ctx.select_font_face(FONT, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
        ctx.set_font_size(size)
        extents = ctx.text_extents(text)
        ctx.move_to(cx - extents.x_bearing - extents.width / 2.0,
                    cy - extents.y_bearing - extents.height / 2.0)
        ctx.show_text(text)
    return draw


def power_symbol(cx, cy, r, width):
    def draw(ctx):
        ctx.set_line_width(width)
        ctx.set_line_cap(cairo.LINE_CAP_ROUND)
        ctx.new_sub_path()
        ctx.arc(cx, cy, r, -math.pi / 2 + 0.75, 3 * math.pi / 2 - 0.75)
        ctx.stroke()
        ctx.move_to(cx, cy - r - width * 0.35)
        ctx.line_to(cx, cy - r * 0.15)
        ctx.stroke()
    return draw


def house(cx, cy):
    def draw(ctx):
        ctx.set_fill_rule(cairo.FILL_RULE_EVEN_ODD)
        ctx.set_line_join(cairo.LINE_JOIN_ROUND)
        ctx.set_line_width(1.0)
        ctx.move_to(cx, cy - 6.2)
        ctx.line_to(cx + 6.6, cy - 0.2)
        ctx.line_to(cx + 4.4, cy - 0.2)
        ctx.line_to(cx + 4.4, cy + 5.2)
        ctx.line_to(cx - 4.4, cy + 5.2)
        ctx.line_to(cx - 4.4, cy - 0.2)
        ctx.line_to(cx - 6.6, cy - 0.2)
        ctx.close_path()
        ctx.rectangle(cx - 1.3, cy + 1.6, 2.6, 3.6)
        ctx.fill_preserve()
        ctx.stroke()
        ctx.set_fill_rule(cairo.FILL_RULE_WINDING)
    return draw


# ---- the settings window's frame and tabs ----

def draw_frame_background():
    width, height, panel = 472, 352, 52
    page = height - panel
    surface, ctx = canvas(width, height)
    ctx.set_source(vertical(0, page, (0, PALETTE["sky_top"]), (0.45, PALETTE["sky_mid"]),
                            (1, PALETTE["sky_bottom"])))
    ctx.rectangle(0, 0, width, page)
    ctx.fill()
    # A broad, faint band of light from the upper left: it gives the large
    # flat area depth without drawing the eye away from the text on it.
    ctx.save()
    ctx.rectangle(0, 0, width, page)
    ctx.clip()
    sheen = cairo.LinearGradient(40, 0, 300, 260)
    sheen.add_color_stop_rgba(0.0, 1, 1, 1, 0)
    sheen.add_color_stop_rgba(0.35, 1, 1, 1, STRENGTH["sheen"])
    sheen.add_color_stop_rgba(0.55, 1, 1, 1, STRENGTH["sheen"] * 0.4)
    sheen.add_color_stop_rgba(1.0, 1, 1, 1, 0)
    ctx.set_source(sheen)
    ctx.paint()
    ctx.restore()
    # The panel is filled in its own colour over this; the background matches
    # it, so nothing shows while the panel is not yet painted.
    ctx.set_source_rgba(*rgb(PALETTE["panel"]))
    ctx.rectangle(0, page, width, panel)
    ctx.fill()
    ctx.set_source_rgba(*rgb(PALETTE["panel_edge"]))
    ctx.rectangle(0, page, width, 1)
    ctx.fill()
    ctx.set_source_rgba(1, 1, 1, 0.55)
    ctx.rectangle(0, page + 1, width, 1)
    ctx.fill()
    return surface


def draw_tab_base():
    # The top edge of the page: a rim, a highlight, then the page's own
    # colour fading out; the short ends fade so the line never stops abruptly.
    width, height = 116, 4
    surface, ctx = canvas(width, height)
    rows = [(PALETTE["rim_soft"], 0.85), ("#ffffff", 0.95),
            (PALETTE["tab_bottom"], 0.75), (PALETTE["tab_bottom"], 0.35)]
    for y, (colour, alpha) in enumerate(rows):
        ctx.set_source_rgba(*rgb(colour, alpha))
        ctx.rectangle(0, y, width, 1)
        ctx.fill()
    fade = cairo.LinearGradient(0, 0, width, 0)
    fade.add_color_stop_rgba(0, 0, 0, 0, 0)
    fade.add_color_stop_rgba(4.0 / width, 0, 0, 0, 1)
    fade.add_color_stop_rgba(1 - 4.0 / width, 0, 0, 0, 1)
    fade.add_color_stop_rgba(1, 0, 0, 0, 0)
    faded, fctx = canvas(width, height)
    fctx.set_source_surface(surface)
    fctx.mask(fade)
    return faded


def tab_frame(ctx, index):
    w, h, r = 109, 28, RADIUS["tab"]
    selected = index in (1, 4)
    hot = index == 3
    # Tabs that are not selected stand a little lower, so the selected one
    # reads as the front tab.
    top = 0.5 if selected else 2.5
    if selected:
        fill = vertical(top, h, (0, PALETTE["tab_top"]), (1, PALETTE["tab_bottom"]))
        rim, highlight = rgb(PALETTE["rim_soft"]), (1, 1, 1, 0.95)
    elif hot:
        fill = vertical(top, h, (0, PALETTE["hot_top"], 0.95), (1, PALETTE["hot_bottom"], 0.85))
        rim, highlight = rgb(PALETTE["hot_rim"], 0.85), (1, 1, 1, 0.8)
    else:
        fill = vertical(top, h, (0, PALETTE["rest_top"], 0.85), (1, PALETTE["rest_bottom"], 0.85))
        rim, highlight = rgb(PALETTE["rim_soft"], 0.7), (1, 1, 1, 0.6)
    top_rounded(ctx, 0.5, top, w - 1, h + 1 - top, r)
    ctx.close_path()
    ctx.set_source(fill)
    ctx.fill()
    if hot:
        ctx.save()
        top_rounded(ctx, 0.5, top, w - 1, h + 1 - top, r)
        ctx.close_path()
        ctx.clip()
        # Kept level across the stretched middle: the glow lives in the rows
        # below the label, evenly along the tab.
        ctx.set_source(vertical(h - 9, h, (0, PALETTE["hot_rim"], 0), (1, PALETTE["hot_rim"], 0.28)))
        ctx.paint()
        ctx.restore()
    ctx.set_line_width(1)
    top_rounded(ctx, 1.5, top + 1, w - 3, h + 1 - top, r - 1)
    ctx.set_source_rgba(*highlight)
    ctx.stroke()
    top_rounded(ctx, 0.5, top, w - 1, h + 1 - top, r)
    ctx.set_source_rgba(*rim)
    ctx.stroke()


def draw_tabs():
    return frames(109, 28, 5, tab_frame)


# ---- the navigation panel ----

def strip_piece(ctx, width):
    """The whole capsule at the given width; caps and middle are cut from it."""
    h, r = 33, RADIUS["strip"]
    rounded_rect(ctx, 0, 0, width, h, r + 0.5)
    ctx.set_source_rgba(1, 1, 1, 0.55)  # the light catching the bottom lip
    ctx.fill()
    rounded_rect(ctx, 0, 0, width, h - 1, r)
    ctx.set_source_rgba(*rgb(PALETTE["strip_rim"]))
    ctx.fill()
    rounded_rect(ctx, 1, 1, width - 2, h - 3, r - 1)
    ctx.set_source(vertical(1, h - 2, (0, PALETTE["strip_top"]), (1, PALETTE["strip_bottom"])))
    ctx.fill_preserve()
    ctx.save()
    ctx.clip()
    # Recessed: shaded under its top edge, lit along the bottom, with a
    # soft gloss across its upper half.
    ctx.set_source(vertical(1, 10, (0, PALETTE["ink"], 0.30), (1, PALETTE["ink"], 0)))
    ctx.paint()
    ctx.set_source(vertical(4, 16, (0, "#ffffff", 0.28), (1, "#ffffff", 0.04)))
    rounded_rect(ctx, 4, 4, width - 8, 12, 6)
    ctx.fill()
    ctx.set_source(vertical(h - 12, h - 2, (0, "#ffffff", 0), (1, "#ffffff", 0.45)))
    ctx.paint()
    ctx.restore()


def draw_strip_parts():
    # The capsule's round ends are half its height, 16.5, half a pixel more
    # than a cap: at 2x that half pixel is a whole column of curve. A spare
    # column each side keeps the middle where the outline is straight.
    cap, middle, spare = 16, 5, 1
    width = 2 * (cap + spare) + middle
    whole, ctx = canvas(width, 33)
    strip_piece(ctx, width)
    return whole, cap, middle, spare


def draw_strip_cap_left():
    whole, cap, _, _ = draw_strip_parts()
    return slice_columns(whole, 0, cap)


def draw_strip_middle():
    whole, cap, middle, spare = draw_strip_parts()
    return slice_columns(whole, cap + spare, middle)


def draw_strip_cap_right():
    whole, cap, middle, spare = draw_strip_parts()
    return slice_columns(whole, cap + 2 * spare + middle, cap)


def draw_panel_seat():
    # A collar the strip widens into around Apply: only its top and bottom
    # show past the button, so it is tall and narrow, with a soft shadow
    # where the button rests.
    w, h = 40, 51
    surface, ctx = canvas(w, h)
    cx, cy = w / 2.0, h / 2.0
    ctx.save()
    ctx.translate(cx, cy)
    ctx.scale(w / 2.0 - 0.5, h / 2.0 - 0.5)
    ctx.arc(0, 0, 1, 0, 2 * math.pi)
    ctx.restore()
    ctx.set_source_rgba(*rgb(PALETTE["strip_rim"]))
    ctx.fill()
    ctx.save()
    ctx.translate(cx, cy)
    ctx.scale(w / 2.0 - 1.5, h / 2.0 - 1.5)
    ctx.arc(0, 0, 1, 0, 2 * math.pi)
    ctx.restore()
    ctx.set_source(vertical(0, h, (0, PALETTE["strip_top"]), (1, PALETTE["strip_bottom"])))
    ctx.fill_preserve()
    ctx.save()
    ctx.clip()
    ctx.set_source(vertical(1, 8, (0, PALETTE["ink"], 0.22), (1, PALETTE["ink"], 0)))
    ctx.paint()
    ctx.set_source(vertical(h - 9, h - 1, (0, "#ffffff", 0), (1, "#ffffff", 0.55)))
    ctx.paint()
    # Where the button rests: a narrow shadow ring just past its edge.
    shade = cairo.RadialGradient(cx, cy + 0.5, 20.5, cx, cy + 0.5, 24)
    shade.add_color_stop_rgba(0, *rgb(PALETTE["ink"], 0.30))
    shade.add_color_stop_rgba(1, *rgb(PALETTE["ink"], 0))
    ctx.set_source(shade)
    ctx.paint()
    ctx.restore()
    return surface


def nav_disc(draw_glyph):
    def frame(ctx, state):
        tone = (PALETTE["grey"], PALETTE["blue"], PALETTE["blue_hot"], PALETTE["blue_pressed"])[state]
        shape = Control(1, 1, 23, 23)
        glossy(ctx, shape, tone, state)
        glyph(ctx, state, draw_glyph)
    return lambda: frames(25, 25, 4, frame)


def nav_pill(pointing_right):
    def frame(ctx, state):
        tone = (PALETTE["grey"], PALETTE["blue"], PALETTE["blue_hot"], PALETTE["blue_pressed"])[state]
        shape = Control(1, 1, 49, 23)
        glossy(ctx, shape, tone, state)
        cx, cy, s = 25.5, 12.5, 1 if pointing_right else -1
        glyph(ctx, state, stroked([[(cx - 6.5 * s, cy), (cx + 6 * s, cy)],
                                   [(cx + 1.5 * s, cy - 4.8), (cx + 6.3 * s, cy),
                                    (cx + 1.5 * s, cy + 4.8)]], 2.6))
    return lambda: frames(51, 25, 4, frame)


def apply_frame(ctx, state):
    tone = (PALETTE["grey"], PALETTE["teal"], PALETTE["teal_hot"], PALETTE["teal_pressed"])[state]
    glossy(ctx, Control(1, 3, 42, 42), tone, state)
    glyph(ctx, state, stroked([[(13.2, 24.8), (19.2, 30.6), (31.2, 17.6)]], 4.6))


def draw_apply():
    return frames(44, 48, 4, apply_frame)


def draw_sweep_light():
    w, h = 23, 61
    surface, ctx = canvas(w, h)
    across = cairo.LinearGradient(0, 0, w, 0)
    for i in range(9):
        t = i / 8.0
        across.add_color_stop_rgba(t, 1, 1, 1, STRENGTH["sweep"] * math.sin(math.pi * t) ** 2)
    along = cairo.LinearGradient(0, 0, 0, h)
    for i in range(9):
        t = i / 8.0
        along.add_color_stop_rgba(t, 0, 0, 0, math.sin(math.pi * t) ** 1.5)
    ctx.set_source(across)
    ctx.mask(along)
    return surface


# ---- dialogs ----

def draw_dialog_background():
    surface, ctx = canvas(5, 64)
    ctx.set_source(vertical(0, 64, (0, "#ffffff"), (0.6, PALETTE["sky_mid"]),
                            (1, PALETTE["sky_bottom"])))
    ctx.paint()
    return surface


def dialog_button_frame(ctx, index):
    if index in (0, 2):
        return
    w, h, r = 202, 36, RADIUS["dialog_button"]
    if index == 3:
        rounded_rect(ctx, 0.5, 0.5, w - 1, h - 1, r)
        faces = PALETTE["button_rest"]
        ctx.set_source(vertical(0, h, (0, faces[0]), (0.5, faces[1]), (0.5, faces[2]), (1, faces[3])))
        ctx.fill_preserve()
        ctx.set_source_rgba(*rgb(PALETTE["ink_soft"]))
        ctx.set_line_width(1)
        ctx.stroke()
        rounded_rect(ctx, 1.5, 1.5, w - 3, h - 3, r - 1)
        ctx.set_source_rgba(1, 1, 1, 0.9)
        ctx.stroke()
        return
    top, bottom, rim, glow = PALETTE["blue"] if index == 1 else PALETTE["blue_pressed"]
    rounded_rect(ctx, 0, 0, w, h, r)
    ctx.set_source_rgba(*rgb(rim))
    ctx.fill()
    rounded_rect(ctx, 1, 1, w - 2, h - 2, r - 1)
    ctx.set_source(vertical(1, h - 1, (0, top), (1, bottom)))
    ctx.fill_preserve()
    ctx.save()
    ctx.clip()
    # The classic split gloss: a bright upper half ending in a clean line,
    # which stays in the middle however tall the button is drawn.
    gloss = 0.42 if index == 1 else 0.2
    ctx.set_source(vertical(1, h / 2.0, (0, "#ffffff", gloss), (1, "#ffffff", gloss * 0.35)))
    ctx.rectangle(0, 0, w, h / 2.0)
    ctx.fill()
    ctx.set_source(vertical(h / 2.0, h - 1, (0, glow, 0), (1, glow, 0.35)))
    ctx.rectangle(0, h / 2.0, w, h / 2.0)
    ctx.fill()
    ctx.restore()
    rounded_rect(ctx, 1.5, 1.5, w - 3, h - 3, r - 1)
    ctx.set_source_rgba(1, 1, 1, 0.35)
    ctx.set_line_width(1)
    ctx.stroke()


def draw_dialog_button():
    return frames(202, 36, 5, dialog_button_frame)


# ---- wordmark, logo, pictures ----

def draw_product_name():
    surface, ctx = canvas(214, 45)
    ctx.select_font_face(FONT, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(33)
    name = "Quillow"
    extents = ctx.text_extents(name)
    x, baseline = 2 - extents.x_bearing, 32
    ctx.move_to(x, baseline + 1.2)
    ctx.text_path(name)
    ctx.set_source_rgba(1, 1, 1, 0.9)
    ctx.fill()
    ctx.move_to(x, baseline)
    ctx.text_path(name)
    ctx.set_source(vertical(baseline - 25, baseline, (0, PALETTE["wordmark_top"]), (1, PALETTE["ink"])))
    ctx.fill()
    ctx.select_font_face(FONT, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(11)
    tagline = "VEIL KEY"
    tx = x + extents.x_advance + 6
    for letter in tagline:
        ctx.move_to(tx, baseline)
        ctx.set_source_rgba(*rgb(PALETTE["ink_soft"]))
        ctx.show_text(letter)
        tx += ctx.text_extents(letter).x_advance + 1.2
    if tx > 214:
        raise SystemExit("draw-art: the tagline runs past the wordmark's width")
    return surface


def screen(ctx, x, y, w, h, r, bezel, display, gloss=True):
    """A monitor face: bezel, display and its glossy reflection."""
    rounded_rect(ctx, x, y, w, h, r)
    ctx.set_source(vertical(y, y + h, (0, bezel[0]), (1, bezel[1])))
    ctx.fill_preserve()
    ctx.set_source_rgba(*rgb(bezel[2]))
    ctx.set_line_width(max(1.0, w / 60.0))
    ctx.stroke()
    inset = w * 0.075
    dx, dy, dw, dh = x + inset, y + inset, w - 2 * inset, h - 2 * inset
    rounded_rect(ctx, dx, dy, dw, dh, r * 0.45)
    ctx.set_source(vertical(dy, dy + dh, (0, display[0]), (1, display[1])))
    ctx.fill()
    if gloss:
        ctx.save()
        rounded_rect(ctx, dx, dy, dw, dh, r * 0.45)
        ctx.clip()
        ctx.move_to(dx, dy)
        ctx.line_to(dx + dw, dy)
        ctx.line_to(dx + dw, dy + dh * 0.18)
        ctx.curve_to(dx + dw * 0.6, dy + dh * 0.32, dx + dw * 0.35, dy + dh * 0.62, dx, dy + dh * 0.72)
        ctx.close_path()
        ctx.set_source(vertical(dy, dy + dh * 0.7, (0, "#ffffff", 0.55), (1, "#ffffff", 0.08)))
        ctx.fill()
        ctx.restore()
    return dx, dy, dw, dh


def veil(ctx, dx, dy, dw, dh):
    """A sheer curtain drawn across the display from its top, in soft folds."""
    ctx.save()
    rounded_rect(ctx, dx, dy, dw, dh, dw * 0.05)
    ctx.clip()
    folds = 4
    ctx.move_to(dx, dy)
    ctx.line_to(dx + dw, dy)
    ctx.line_to(dx + dw, dy + dh * 0.42)
    for i in range(folds, 0, -1):
        x0 = dx + dw * i / folds
        x1 = dx + dw * (i - 1) / folds
        ctx.curve_to(x0 - dw * 0.08, dy + dh * 0.56, x1 + dw * 0.08, dy + dh * 0.56, x1, dy + dh * 0.42)
    ctx.close_path()
    ctx.set_source(vertical(dy, dy + dh * 0.55, (0, "#ffffff", 0.62), (1, "#ffffff", 0.30)))
    ctx.fill()
    ctx.set_line_width(max(0.8, dw / 70.0))
    for i in range(1, folds):
        x = dx + dw * i / folds
        ctx.move_to(x, dy)
        ctx.line_to(x, dy + dh * 0.42)
    ctx.set_source_rgba(1, 1, 1, 0.45)
    ctx.stroke()
    ctx.restore()


def keyhole(ctx, cx, cy, size):
    ctx.arc(cx, cy - size * 0.28, size * 0.36, 0, 2 * math.pi)
    ctx.move_to(cx - size * 0.16, cy - size * 0.2)
    ctx.line_to(cx + size * 0.16, cy - size * 0.2)
    ctx.line_to(cx + size * 0.27, cy + size * 0.62)
    ctx.line_to(cx - size * 0.27, cy + size * 0.62)
    ctx.close_path()


def stand(ctx, cx, top, scale, colours):
    ctx.rectangle(cx - 6 * scale, top, 12 * scale, 8 * scale)
    ctx.set_source(vertical(top, top + 8 * scale, (0, colours[1]), (1, colours[0])))
    ctx.fill()
    rounded_rect(ctx, cx - 20 * scale, top + 7 * scale, 40 * scale, 6 * scale, 3 * scale)
    ctx.set_source(vertical(top + 7 * scale, top + 13 * scale, (0, colours[0]), (1, colours[1])))
    ctx.fill()


def logo(ctx, size):
    """The logo in a size x size box, drawn on a 128 grid: two desktops, the
    front one veiled and locked with a keyhole."""
    ctx.save()
    ctx.scale(size / 128.0, size / 128.0)
    shadow = cairo.RadialGradient(70, 120, 0, 70, 120, 52)
    shadow.add_color_stop_rgba(0, *rgb(PALETTE["ink"], 0.28))
    shadow.add_color_stop_rgba(1, *rgb(PALETTE["ink"], 0))
    ctx.save()
    ctx.translate(0, 120)
    ctx.scale(1, 0.16)
    ctx.translate(0, -120)
    ctx.set_source(shadow)
    ctx.arc(70, 120, 52, 0, 2 * math.pi)
    ctx.fill()
    ctx.restore()
    screen(ctx, 8, 12, 80, 60, 8, PALETTE["back_bezel"], PALETTE["back_display"])
    stand(ctx, 80, 100, 1.0, (PALETTE["front_bezel"][1], PALETTE["front_bezel"][0]))
    dx, dy, dw, dh = screen(ctx, 32, 40, 88, 64, 9, PALETTE["front_bezel"], PALETTE["front_display"], gloss=False)
    veil(ctx, dx, dy, dw, dh)
    for offset, colour in ((1.5, rgb(PALETTE["ink"], 0.35)), (0, (1, 1, 1, 1))):
        keyhole(ctx, dx + dw / 2.0, dy + dh * 0.58 + offset, 22)
        ctx.set_source_rgba(*colour)
        ctx.fill()
    ctx.restore()


def draw_logo():
    surface, ctx = canvas(128, 128)
    logo(ctx, 128)
    return surface


def draw_quit_question():
    # In the quit dialog the check box covers the picture's lower part, so
    # the sign keeps to the upper left of its 48 x 48.
    surface, ctx = canvas(48, 48)
    shape = Control(2, 1, 33, 33)
    glossy(ctx, shape, PALETTE["amber"], NORMAL)
    glyph(ctx, NORMAL, power_symbol(18.5, 17.5, 7.5, 3.4))
    return surface


# ---- section icons (24 x 24, drawn on the pixel grid) ----

def draw_section_triggers():
    # A mouse, its left button lit: the switch is triggered by mouse or key.
    surface, ctx = canvas(24, 24)
    outline = PALETTE["ink_soft"]
    body = lambda: rounded_rect(ctx, 5.5, 4.5, 13, 18, 6.5)
    ctx.move_to(12, 4.5)
    ctx.curve_to(12, 2, 15, 3, 16.5, 0.5)
    ctx.set_source_rgba(*rgb(outline))
    ctx.set_line_width(1)
    ctx.stroke()
    body()
    ctx.set_source(vertical(4, 23, (0, "#ffffff"), (1, PALETTE["mouse_bottom"])))
    ctx.fill_preserve()
    ctx.set_source_rgba(*rgb(outline))
    ctx.stroke()
    ctx.save()
    body()
    ctx.clip()
    ctx.rectangle(5, 4, 7, 7.5)
    top, bottom = PALETTE["blue"][:2]
    ctx.set_source(vertical(4, 11.5, (0, top), (1, bottom)))
    ctx.fill()
    ctx.move_to(5, 11.5)
    ctx.line_to(19, 11.5)
    ctx.move_to(12, 4)
    ctx.line_to(12, 11.5)
    ctx.set_source_rgba(*rgb(outline))
    ctx.stroke()
    ctx.restore()
    rounded_rect(ctx, 11, 6, 2, 4, 1)  # the wheel
    ctx.set_source_rgba(*rgb(PALETTE["ink"]))
    ctx.fill()
    rounded_rect(ctx, 8, 15, 8, 5, 2.5)
    ctx.set_source_rgba(1, 1, 1, 0.75)
    ctx.fill()
    return surface


def draw_section_system():
    surface, ctx = canvas(24, 24)
    cx, cy, teeth = 12, 12, 8
    ctx.new_path()
    for i in range(teeth * 2):
        a0 = (i - 0.5) * math.pi / teeth
        a1 = (i + 0.5) * math.pi / teeth
        r = 10.5 if i % 2 == 0 else 8.0
        inset = 0.12 if i % 2 == 0 else -0.05
        ctx.arc(cx, cy, r, a0 + inset, a1 - inset)
    ctx.close_path()
    ctx.new_sub_path()
    ctx.arc_negative(cx, cy, 3.4, 2 * math.pi, 0)
    top, bottom, rim = PALETTE["gear"]
    ctx.set_source(vertical(1, 23, (0, top), (1, bottom)))
    ctx.fill_preserve()
    ctx.set_source_rgba(*rgb(rim))
    ctx.set_line_width(1)
    ctx.stroke()
    ctx.arc(cx, cy, 6.2, 0, 2 * math.pi)
    ctx.set_source_rgba(1, 1, 1, 0.35)
    ctx.stroke()
    return surface


def draw_section_passwords():
    surface, ctx = canvas(24, 24)
    # The shackle: a steel arch, lit on its left.
    ctx.new_sub_path()
    ctx.arc(12, 9, 5, math.pi, 2 * math.pi)
    ctx.line_to(17, 11)
    ctx.move_to(7, 9)
    ctx.line_to(7, 11)
    ctx.set_line_width(3)
    ctx.set_source_rgba(*rgb(PALETTE["steel"]))
    ctx.stroke()
    ctx.new_sub_path()
    ctx.arc(12, 9, 5, math.pi, 1.6 * math.pi)
    ctx.set_line_width(1)
    ctx.set_source_rgba(1, 1, 1, 0.6)
    ctx.stroke()
    rounded_rect(ctx, 4.5, 10.5, 15, 11, 2)
    top, bottom, rim, _ = PALETTE["amber"]
    ctx.set_source(vertical(10, 22, (0, top), (1, bottom)))
    ctx.fill_preserve()
    ctx.set_source_rgba(*rgb(rim))
    ctx.stroke()
    ctx.rectangle(5, 11, 14, 4)
    ctx.set_source_rgba(1, 1, 1, 0.35)
    ctx.fill()
    keyhole(ctx, 12, 16, 5.2)
    ctx.set_source_rgba(*rgb(PALETTE["lock_hole"]))
    ctx.fill()
    return surface


def draw_section_actions():
    surface, ctx = canvas(24, 24)
    ctx.move_to(15.5, 1.5)
    ctx.line_to(4.5, 13.5)
    ctx.line_to(10.5, 13.5)
    ctx.line_to(7.5, 22.5)
    ctx.line_to(19.5, 9.5)
    ctx.line_to(13.5, 9.5)
    ctx.close_path()
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    top, bottom, rim, _ = PALETTE["amber"]
    ctx.set_source(vertical(1, 23, (0, PALETTE["bolt_top"]), (0.5, top), (1, bottom)))
    ctx.fill_preserve()
    ctx.set_source_rgba(*rgb(rim))
    ctx.set_line_width(1)
    ctx.stroke()
    ctx.move_to(14, 4)
    ctx.line_to(6.8, 12)
    ctx.set_source_rgba(1, 1, 1, 0.7)
    ctx.stroke()
    return surface


# ---- the program icon ----

ICON_SIZES = (16, 24, 32, 48, 256)


# Up to 48 px the logo is redrawn on the pixel grid rather than scaled, so
# every edge lands on a pixel: boxes are (x, y, w, h) in pixels; bezel is the
# frame's width; the keyhole is a head and a stem.
ICON_GRID = {
    16: dict(back=(0, 1, 11, 8), front=(5, 5, 11, 8), bezel=1, radius=1.5,
             stand=(9, 13, 3, 1), base=(7, 14, 7, 1), head=(9, 7, 3, 2), stem=(10, 9, 1, 2)),
    24: dict(back=(0, 2, 15, 11), front=(7, 8, 17, 12), bezel=1, radius=1.5,
             stand=(14, 20, 3, 1), base=(11, 21, 9, 2), head=(14, 11, 3, 3), stem=(15, 14, 1, 3)),
    32: dict(back=(1, 3, 20, 15), front=(9, 11, 22, 16), bezel=2, radius=2.5,
             stand=(18, 27, 4, 2), base=(14, 29, 12, 2), head=(18, 15, 4, 4), stem=(19, 18, 2, 5)),
    48: dict(back=(1, 4, 30, 23), front=(13, 16, 34, 25), bezel=3, radius=3.5,
             stand=(27, 41, 6, 3), base=(21, 44, 18, 3), head=(27, 23, 6, 6), stem=(28, 28, 4, 7)),
}


def grid_icon(size):
    """The logo simplified: two plain panes, the front one with its keyhole;
    from 32 px on, a dark rim and a touch of gloss."""
    grid = ICON_GRID[size]
    surface, ctx = canvas(size, size)
    bezel, radius, framed = grid["bezel"], grid["radius"], size >= 32

    def pane(box, colours, display):
        x, y, w, h = box
        rounded_rect(ctx, x, y, w, h, radius)
        if framed:
            ctx.set_source_rgba(*rgb(colours[2]))
            ctx.fill()
            rounded_rect(ctx, x + 1, y + 1, w - 2, h - 2, radius - 1)
        ctx.set_source(vertical(y, y + h, (0, colours[0]), (1, colours[1])))
        ctx.fill()
        dx, dy, dw, dh = x + bezel, y + bezel, w - 2 * bezel, h - 2 * bezel
        ctx.rectangle(dx, dy, dw, dh)
        ctx.set_source(vertical(dy, dy + dh, (0, display[0]), (1, display[1])))
        ctx.fill()
        if framed:
            ctx.move_to(dx, dy)
            ctx.line_to(dx + dw, dy)
            ctx.line_to(dx + dw, dy + dh * 0.25)
            ctx.line_to(dx, dy + dh * 0.6)
            ctx.close_path()
            ctx.set_source_rgba(1, 1, 1, 0.25)
            ctx.fill()

    pane(grid["back"], PALETTE["back_bezel"] if framed else (PALETTE["back_bezel"][1], PALETTE["back_bezel"][2]), PALETTE["back_display"])
    if not framed:
        # Without a rim the panes need a clear pixel between them to read as two.
        x, y, w, h = grid["front"]
        ctx.rectangle(x - 1, y - 1, w + 1, h + 1)
        ctx.set_operator(cairo.OPERATOR_CLEAR)
        ctx.fill()
        ctx.set_operator(cairo.OPERATOR_OVER)
    pane(grid["front"], PALETTE["front_bezel"] if framed else (PALETTE["front_bezel"][0], PALETTE["front_bezel"][2]), PALETTE["front_display"])
    for box, colour in ((grid["stand"], PALETTE["front_bezel"][1]), (grid["base"], PALETTE["front_bezel"][2])):
        rounded_rect(ctx, *box, 1 if framed else 0)
        ctx.set_source_rgba(*rgb(colour))
        ctx.fill()
    x, y, w, h = grid["head"]
    if framed:
        ctx.arc(x + w / 2.0, y + h / 2.0, w / 2.0, 0, 2 * math.pi)
    else:
        ctx.rectangle(x, y, w, h)
    ctx.rectangle(*grid["stem"])
    ctx.set_source_rgba(1, 1, 1, 1)
    ctx.fill()
    return surface


def draw_icon():
    images = []
    for size in ICON_SIZES:
        if size in ICON_GRID:
            images.append(grid_icon(size))
        else:
            surface, ctx = canvas(size, size)
            logo(ctx, size)
            images.append(surface)
    return images


def straight_bgra(surface):
    """Cairo keeps premultiplied alpha; icon bitmaps want it straight."""
    surface.flush()
    data, stride = bytes(surface.get_data()), surface.get_stride()
    width, height = surface.get_width(), surface.get_height()
    rows = []
    for y in range(height):
        row = bytearray(data[y * stride:y * stride + width * 4])
        for x in range(0, width * 4, 4):
            a = row[x + 3]
            if a == 0:
                row[x:x + 3] = b"\0\0\0"
            elif a < 255:
                for c in range(3):
                    row[x + c] = min(255, (row[x + c] * 255 + a // 2) // a)
        rows.append(bytes(row))
    return rows


def png_bytes(surface):
    """An 8-bit RGBA PNG even for an opaque image: cairo would write RGB, and
    the loader expects every image to carry alpha."""
    width, height = surface.get_width(), surface.get_height()
    raw, previous = bytearray(), bytes(width * 4)
    for row in straight_bgra(surface):
        rgba = bytearray(row)
        rgba[0::4], rgba[2::4] = row[2::4], row[0::4]
        raw += best_filtered(bytes(rgba), previous)
        previous = bytes(rgba)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (PNG_SIGNATURE + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def best_filtered(row, previous):
    """The row under whichever PNG filter leaves the smallest residue."""
    n = len(row)
    sub = bytes((row[i] - (row[i - 4] if i >= 4 else 0)) & 255 for i in range(n))
    up = bytes((row[i] - previous[i]) & 255 for i in range(n))
    paeth = bytearray(n)
    for i in range(n):
        a = row[i - 4] if i >= 4 else 0
        b = previous[i]
        c = previous[i - 4] if i >= 4 else 0
        p = a + b - c
        pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
        predictor = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
        paeth[i] = (row[i] - predictor) & 255
    candidates = [(0, row), (1, sub), (2, up), (4, bytes(paeth))]
    cost = lambda data: sum(v if v < 128 else 256 - v for v in data)
    kind, data = min(candidates, key=lambda item: cost(item[1]))
    return bytes((kind,)) + data


def optimised(png):
    """The same pixels, recompressed by optipng without loss. It may not turn
    an image into a palette or drop its alpha: the loader expects 8-bit RGBA."""
    optipng = shutil.which("optipng")
    if not optipng:
        raise SystemExit("draw-art: optipng is missing (scripts/setup installs it)")
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "image.png")
        with open(path, "wb") as out:
            out.write(png)
        subprocess.run([optipng, "-quiet", "-o5", "-nc", "-nb", "-np", "-strip", "all", path],
                       check=True)
        with open(path, "rb") as result:
            return result.read()


def icon_entry(surface):
    """PNG at every size: Windows reads PNG icon entries since Vista, and the
    small sizes as DIBs would double the icon, the largest resource."""
    return optimised(png_bytes(surface))


def write_icon(path, images):
    entries = [icon_entry(image) for image in images]
    directory = struct.pack("<HHH", 0, 1, len(entries))
    offset = len(directory) + 16 * len(entries)
    for image, data in zip(images, entries):
        size = image.get_width()
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as out:
        out.write(directory + b"".join(entries))


# ---- what is drawn where, and the check ----

ART_FILES = {
    "TabBase.png": (draw_tab_base, 116, 4),
    "Tab.png": (draw_tabs, 545, 28),
    "FrameBackground.png": (draw_frame_background, 472, 352),
    "PanelCapLeft.png": (draw_strip_cap_left, 16, 33),
    "PanelCapRight.png": (draw_strip_cap_right, 16, 33),
    "PanelStrip.png": (draw_strip_middle, 5, 33),
    "PanelSeat.png": (draw_panel_seat, 40, 51),
    "NavHome.png": (nav_disc(house(12.5, 12.2)), 100, 25),
    "NavHelp.png": (nav_disc(text_glyph("?", 12.5, 12.5, 15)), 100, 25),
    "NavHide.png": (nav_disc(stroked([[(7.8, 10.2), (12.5, 14.9), (17.2, 10.2)]], 2.8)), 100, 25),
    "NavQuit.png": (nav_disc(power_symbol(12.5, 13, 5.2, 2.3)), 100, 25),
    "NavPrevious.png": (nav_pill(False), 204, 25),
    "NavNext.png": (nav_pill(True), 204, 25),
    "NavApply.png": (draw_apply, 176, 48),
    "SweepLight.png": (draw_sweep_light, 23, 61),
    "DialogBackground.png": (draw_dialog_background, 5, 64),
    "DialogButton.png": (draw_dialog_button, 1010, 36),
    "ProductName.png": (draw_product_name, 214, 45),
    "Logo.png": (draw_logo, 128, 128),
    "QuitQuestion.png": (draw_quit_question, 48, 48),
    "SectionTriggers.png": (draw_section_triggers, 24, 24),
    "SectionSystem.png": (draw_section_system, 24, 24),
    "SectionPasswords.png": (draw_section_passwords, 24, 24),
    "SectionActions.png": (draw_section_actions, 24, 24),
    "Quillow.ico": (draw_icon, 256, 256),
}

# Images stretched sideways: (frame width, left border, right border). Every
# column between the borders must be the same, or the stretch smears it.
STRETCHED = {
    "TabBase.png": (116, 4, 4),
    "Tab.png": (109, 14, 14),
    "PanelStrip.png": (5, 0, 0),
    "DialogButton.png": (202, 6, 6),
    "DialogBackground.png": (5, 0, 0),
}

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def png_size(data):
    """Width and height of an 8-bit RGBA PNG; ValueError for anything else."""
    if len(data) < 26 or data[:8] != PNG_SIGNATURE or data[12:16] != b"IHDR":
        raise ValueError("not a PNG")
    width, height, depth, colour_type = struct.unpack(">IIBB", data[16:26])
    if depth != 8 or colour_type != 6:
        raise ValueError("not 8-bit RGBA (depth %d, colour type %d)" % (depth, colour_type))
    return width, height


def icon_sizes(data):
    """The sizes in an ICO file, each entry checked against its own image."""
    if len(data) < 6:
        raise ValueError("too short for an icon")
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    if reserved != 0 or kind != 1 or count == 0 or 6 + 16 * count > len(data):
        raise ValueError("not an icon directory")
    sizes = []
    for i in range(count):
        w, h, _, _, _, bits, length, offset = struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        w, h = w or 256, h or 256
        if bits != 32 or offset + length > len(data) or length < 40:
            raise ValueError("entry %d is not a 32-bit image inside the file" % i)
        image = data[offset:offset + length]
        if image[:8] == PNG_SIGNATURE:
            inner = png_size(image)
        else:
            _, dw, dh, _, dbits = struct.unpack("<IiiHH", image[:16])
            inner = (dw, dh // 2) if dbits == 32 else None
        if inner != (w, h):
            raise ValueError("entry %d says %dx%d but holds %s" % (i, w, h, inner))
        sizes.append(w)
    return sizes


# The 1x set, then the 2x set; the icon is only in the first.
PASSES = ((1, ART), (2, ART_2X))


def png_problem(path, label, width, height):
    """What is wrong with one PNG on disk, or None."""
    try:
        with open(path, "rb") as f:
            size = png_size(f.read())
    except OSError as error:
        return "%s: %s" % (label, error.strerror)
    except ValueError as error:
        return "%s: %s" % (label, error)
    if size != (width, height):
        return "%s: %dx%d, expected %dx%d" % ((label,) + size + (width, height))
    return None


def icon_problem(name):
    try:
        with open(os.path.join(ART, name), "rb") as f:
            sizes = icon_sizes(f.read())
    except OSError as error:
        return "%s: %s" % (name, error.strerror)
    except ValueError as error:
        return "%s: %s" % (name, error)
    if sorted(sizes) != sorted(ICON_SIZES):
        return "%s: sizes %s, expected %s" % (name, sizes, list(ICON_SIZES))
    return None


def check():
    problems, count = [], 0
    for name, (_, width, height) in ART_FILES.items():
        if name.endswith(".ico"):
            problems.append(icon_problem(name))
            count += 1
            continue
        for scale, folder in PASSES:
            path = os.path.join(folder, name)
            label = os.path.relpath(path, ART)
            problems.append(png_problem(path, label, width * scale, height * scale))
            count += 1
    problems = [problem for problem in problems if problem]
    for problem in problems:
        print("draw-art: " + problem, file=sys.stderr)
    if not problems:
        print("draw-art: %d images in %s and %s are in place"
              % (count, os.path.relpath(ART, ROOT), os.path.relpath(ART_2X, ROOT)))
    return 0 if not problems else 1


def draw_file(folder, name):
    """One entry of ART_FILES at the current SCALE."""
    function, width, height = ART_FILES[name]
    result = function()
    path = os.path.join(folder, name)
    if name.endswith(".ico"):
        write_icon(path, result)
        return
    label = os.path.relpath(path, ART)
    width, height = width * SCALE, height * SCALE
    if (result.get_width(), result.get_height()) != (width, height):
        raise SystemExit("draw-art: %s came out %dx%d, expected %dx%d"
                         % (label, result.get_width(), result.get_height(), width, height))
    if name in STRETCHED:
        frame, left, right = (SCALE * n for n in STRETCHED[name])
        for x in range(0, width, frame):
            if not columns_equal(result, x + left, x + frame - right):
                raise SystemExit("draw-art: %s does not stretch evenly in its frame at x %d" % (label, x))
    with open(path, "wb") as out:
        out.write(optimised(png_bytes(result)))


def draw():
    global SCALE
    for scale, folder in PASSES:
        os.makedirs(folder, exist_ok=True)
        SCALE = scale
        try:
            for name in ART_FILES:
                if scale == 1 or not name.endswith(".ico"):
                    draw_file(folder, name)
        finally:
            SCALE = 1


def main(argv):
    if argv[1:] == ["--check"]:
        return check()
    if argv[1:]:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    draw()
    return check()


if __name__ == "__main__":
    sys.exit(main(sys.argv))
