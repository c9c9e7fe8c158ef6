#!/usr/bin/env python3
"""Writes the SVG sources of the play field's effect pictures into assets/images/: the floater colour
bar, the clear-bonus arrow, the shine band, the warning sign, the removal stars, the hourglass timer
and the hint panel's caps and middle piece. The SVGs are the sources the build renders; change the
drawing here and run `python3 tools/assetgen/effectart.py` to write them again."""

import math
from svgart import (NIGHT, ROCK_DARK, ROCK, ROCK_LIGHT, GOLD, GOLD_LIGHT, GOLD_DARK, LAMP, STEEL,
                    svg_maker, write)

svg = svg_maker("effectart.py")


# Frame counts the layout document names (INT_NR_OF_STAR_FRAMES, INT_NR_OF_TIMER_FRAMES).
STAR_FRAMES = 6
TIMER_FRAMES = 8
ARROW_FRAMES = 4
HINT_WIDTH = 224


def colour_bar():
    """IMAGE_FLOATER_COLOR_BAR: 1 x 32, the colours a score text runs through, one row per frame."""
    stops = [(0, GOLD_LIGHT), (0.25, LAMP), (0.5, GOLD), (0.75, "#FF9A3C"), (1.0, GOLD_LIGHT)]
    grad = "".join('<stop offset="%g" stop-color="%s"/>' % (o, c) for o, c in stops)
    body = ('  <defs><linearGradient id="g" x1="0" y1="0" x2="0" y2="1">%s</linearGradient></defs>\n'
            '  <rect width="1" height="32" fill="url(#g)"/>\n' % grad)
    write("floater_color_bar.svg", svg(1, 32, body, "The colours a score floater runs through, top to bottom."))


def arrow():
    """IMAGE_ARROW: 32 x 96, four frames of a downward chevron, dim to bright."""
    body = ""
    for f in range(ARROW_FRAMES):
        t = f / (ARROW_FRAMES - 1)
        fill = [ROCK_LIGHT, GOLD_DARK, GOLD, GOLD_LIGHT][f]
        y = 24 * f
        body += ('  <path d="M4 %g L16 %g L28 %g L28 %g L16 %g L4 %g Z" fill="%s" stroke="%s" '
                 'stroke-width="2" stroke-linejoin="round" opacity="%g"/>\n'
                 % (y + 4, y + 14, y + 4, y + 10, y + 20, y + 10, fill, NIGHT, 0.7 + 0.3 * t))
    write("arrow.svg", svg(32, 24 * ARROW_FRAMES, body, "The clear bonus's arrow, four frames from dim to bright."))


def shine():
    """IMAGE_SHINE_ALPHA: 32 x 48, the band of light: soft at both edges, brightest in the middle."""
    body = ('  <defs><linearGradient id="g" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#FFFFFF" stop-opacity="0"/>'
            '<stop offset="0.45" stop-color="#FFFFFF" stop-opacity="0.85"/>'
            '<stop offset="0.55" stop-color="#FFFFFF" stop-opacity="0.85"/>'
            '<stop offset="1" stop-color="#FFFFFF" stop-opacity="0"/></linearGradient></defs>\n'
            '  <rect width="32" height="48" fill="url(#g)"/>\n')
    write("shine_alpha.svg", svg(32, 48, body, "The shine band; the game draws it through its mask in white."))


def warning():
    """IMAGE_WARNING: 28 x 26, a warning triangle with an exclamation mark."""
    body = ('  <path d="M14 2 L26 23 L2 23 Z" fill="%s" stroke="%s" stroke-width="2" stroke-linejoin="round"/>\n'
            '  <path d="M14 5 L23 21 L5 21 Z" fill="none" stroke="%s" stroke-width="1" stroke-linejoin="round"/>\n'
            '  <rect x="12.5" y="9" width="3" height="8" rx="1" fill="%s"/>\n'
            '  <circle cx="14" cy="19.5" r="1.6" fill="%s"/>\n' % (GOLD, NIGHT, GOLD_LIGHT, NIGHT, NIGHT))
    write("warning.svg", svg(28, 26, body, "The warning sign over a block in the top row."))


def four_point_star(x, y, r, fill="#FFFFFF", opacity=1.0):
    k = r * 0.3
    return ('<path d="M%g %g L%g %g L%g %g L%g %g L%g %g L%g %g L%g %g L%g %g Z" fill="%s" opacity="%g"/>'
            % (x, y - r, x + k, y - k, x + r, y, x + k, y + k, x, y + r, x - k, y + k, x - r, y, x - k, y - k,
               fill, opacity))


def stars(name, size, comment):
    """A removal star: STAR_FRAMES frames of a star that flares up and fades; tinted by the game."""
    body = ""
    half = size / 2
    for f in range(STAR_FRAMES):
        t = f / (STAR_FRAMES - 1)
        r = half * (0.35 + 0.6 * math.sin(math.pi * min(1.0, t * 1.4)))
        opacity = 1.0 if t < 0.6 else 1.0 - (t - 0.6) * 1.5
        cy = size * f + half
        body += '  <g>%s<circle cx="%g" cy="%g" r="%g" fill="#FFFFFF" opacity="%g"/></g>\n' % (
            four_point_star(half, cy, max(1.0, r - 0.5), opacity=opacity), half, cy, max(0.5, r * 0.25),
            0.8 * opacity)
    write(name, svg(size, size * STAR_FRAMES, body, comment))


def hourglass_timer():
    """IMAGE_HOURGLASS_ICON: 32 x 32 frames, the sand running from the top bulb into the bottom one."""
    body = ""
    for f in range(TIMER_FRAMES):
        y = 32 * f
        t = f / (TIMER_FRAMES - 1)
        top_sand = 9 * (1 - t)
        bottom_sand = 9 * t
        body += '  <g transform="translate(0 %d)">' % y
        body += '<rect x="6" y="2" width="20" height="3" rx="1" fill="%s" stroke="%s"/>' % (ROCK_LIGHT, NIGHT)
        body += '<rect x="6" y="27" width="20" height="3" rx="1" fill="%s" stroke="%s"/>' % (ROCK_LIGHT, NIGHT)
        body += ('<path d="M9 5 L23 5 L23 8 L17.5 16 L23 24 L23 27 L9 27 L9 24 L14.5 16 L9 8 Z" fill="%s" '
                 'fill-opacity="0.55" stroke="%s" stroke-width="1.5" stroke-linejoin="round"/>' % (LAMP, NIGHT))
        if top_sand > 0.2:
            body += ('<path d="M%g %g L%g %g L16 15.5 Z" fill="%s"/>'
                     % (16 - top_sand * 0.7, 15.5 - top_sand, 16 + top_sand * 0.7, 15.5 - top_sand, GOLD))
        if 0 < t < 1:
            body += '<rect x="15.5" y="16" width="1" height="10" fill="%s"/>' % GOLD
        if bottom_sand > 0.2:
            body += ('<path d="M10 26 L22 26 L%g %g L%g %g Z" fill="%s"/>'
                     % (16 + bottom_sand * 0.5, 26 - bottom_sand, 16 - bottom_sand * 0.5, 26 - bottom_sand, GOLD_DARK))
        body += '</g>\n'
    write("hourglass_icon.svg", svg(32, 32 * TIMER_FRAMES, body,
                                    "The hourglass timer, %d frames of running sand." % TIMER_FRAMES))


def hint_pieces():
    """IMAGE_HINT_TOP (20 high), IMAGE_HINT_MIDDLE (8 high), IMAGE_HINT_BOTTOM (16 high): a parchment
    panel on a rock frame; the middle piece repeats as often as the text needs."""
    w = HINT_WIDTH
    # The outlines stay open where the pieces meet, so no seam shows between them.
    top = ('  <path d="M1 20 L1 10 Q1 1 10 1 L%d 1 Q%d 1 %d 10 L%d 20 Z" fill="%s"/>\n'
           '  <path d="M2 20 L2 10 Q2 2 10 2 L%d 2 Q%d 2 %d 10 L%d 20" fill="none" stroke="%s" stroke-width="2"/>\n'
           '  <path d="M6 20 L6 12 Q6 6 12 6 L%d 6 Q%d 6 %d 12 L%d 20 Z" fill="%s"/>\n'
           '  <circle cx="%d" cy="4" r="1.5" fill="%s"/>\n'
           % (w - 10, w - 1, w - 1, w - 1, ROCK, w - 10, w - 2, w - 2, w - 2, NIGHT, w - 12, w - 6, w - 6, w - 6,
              LAMP, w // 2, GOLD))
    write("hint_top.svg", svg(w, 20, top, "The hint panel's top cap."))
    middle = ('  <rect x="0" y="0" width="%d" height="8" fill="%s"/>\n'
              '  <rect x="2" y="0" width="4" height="8" fill="%s"/>\n'
              '  <rect x="%d" y="0" width="4" height="8" fill="%s"/>\n'
              '  <rect x="6" y="0" width="%d" height="8" fill="%s"/>\n'
              % (w, NIGHT, ROCK, w - 6, ROCK, w - 12, LAMP))
    write("hint_middle.svg", svg(w, 8, middle, "The hint panel's middle piece, repeated down the text."))
    bottom = ('  <path d="M1 0 L1 6 Q1 15 10 15 L%d 15 Q%d 15 %d 6 L%d 0 Z" fill="%s"/>\n'
              '  <path d="M2 0 L2 6 Q2 14 10 14 L%d 14 Q%d 14 %d 6 L%d 0" fill="none" stroke="%s" stroke-width="2"/>\n'
              '  <path d="M6 0 L6 4 Q6 10 12 10 L%d 10 Q%d 10 %d 4 L%d 0 Z" fill="%s"/>\n'
              % (w - 10, w - 1, w - 1, w - 1, ROCK, w - 10, w - 2, w - 2, w - 2, NIGHT, w - 12, w - 6, w - 6, w - 6,
                 LAMP))
    write("hint_bottom.svg", svg(w, 16, bottom, "The hint panel's bottom cap."))


def main():
    colour_bar()
    arrow()
    shine()
    warning()
    stars("star_small.svg", 16, "A small removal star, %d frames; the game tints it with the block's colour." % STAR_FRAMES)
    stars("star_medium.svg", 24, "A medium star, %d frames; the game tints it." % STAR_FRAMES)
    hourglass_timer()
    hint_pieces()


if __name__ == "__main__":
    main()
