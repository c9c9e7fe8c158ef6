#!/usr/bin/env python3
"""Writes the SVG sources of the play field's pictures into assets/images/: the block sheets, the
special blocks and their icons, the sparkle and the 24 treasures. The SVGs are the sources the build
renders; change the drawing here and run `python3 tools/assetgen/blockart.py` to write them again.

Every picture keeps the art guide's grid (32 x 32 blocks), palette and line weights. Each block colour
carries its shape mark in the block's top-left corner, so the multiplier text drawn in the middle of a
block never covers it."""

import os
import sys
from svgart import (NIGHT, ROCK_DARK, ROCK, ROCK_LIGHT, GOLD, GOLD_LIGHT, GOLD_DARK, LAMP, SKY, STEEL,
                    STEEL_DARK, svg_maker, write)

svg = svg_maker("blockart.py")


# The five block colours: base, light, dark (art guide, "Block colours").
COLOURS = [
    ("#D55E00", "#F08A40", "#8F3F00"),
    ("#56B4E9", "#9AD6F6", "#2F7FAF"),
    ("#009E73", "#40C79F", "#006B4E"),
    ("#F0E442", "#FAF39A", "#B5A920"),
    ("#CC79A7", "#E6A9CB", "#934F76"),
]

# Centre of the colour mark: the top-left corner, clear of the centred multiplier text.
MARK_X, MARK_Y = 7.5, 7.5


def mix(a, b, t):
    """Colour a moved toward b by t (0..1)."""
    pa = [int(a[i:i + 2], 16) for i in (1, 3, 5)]
    pb = [int(b[i:i + 2], 16) for i in (1, 3, 5)]
    return "#" + "".join("%02X" % round(x + (y - x) * t) for x, y in zip(pa, pb))


def mark(colour, x=MARK_X, y=MARK_Y, scale=1.0):
    """The colour's shape mark: Lamp with a 2 px Night outline, about 10 pixels across."""
    shapes = [
        '<path d="M0 -5 L5 4.2 L-5 4.2 Z"/>',                                            # triangle
        '<circle r="4.6"/>',                                                             # circle
        '<rect x="-4.2" y="-4.2" width="8.4" height="8.4"/>',                            # square
        '<path d="M0 -5.3 L5.3 0 L0 5.3 L-5.3 0 Z"/>',                                   # diamond
        '<path d="M-1.8 -5 H1.8 V-1.8 H5 V1.8 H1.8 V5 H-1.8 V1.8 H-5 V-1.8 H-1.8 Z"/>',  # cross
    ]
    return ('<g transform="translate(%g %g) scale(%g)" fill="%s" stroke="%s" stroke-width="%g" '
            'stroke-linejoin="round">%s</g>' % (x, y, scale, LAMP, NIGHT, 2 / scale, shapes[colour]))


# Block silhouettes of the three sets. Each keeps its top-left corner square enough for the mark.
SET_OUTLINE = [
    # cut stone: a rounded square
    '<rect x="1" y="1" width="30" height="30" rx="4"/>',
    # rough stone: an uneven broken block
    '<path d="M2 2 L13 1 L22 2.5 L30 1.5 L31 12 L30 21 L31 30 L20 31 L11 29.5 L1.5 31 L2.5 19 L1 10 Z"/>',
    # gem: a cushion with cut corners except the marked one
    '<path d="M2 1 H24 L31 8 V24 L24 31 H8 L1 24 V2 Z"/>',
]


def block_face(s, base, light, dark, selected=False):
    """Body of a block of set s in one colour (no mark)."""
    fill = mix(base, LAMP, 0.35) if selected else base
    hl = mix(light, LAMP, 0.5) if selected else light
    parts = ['<g fill="%s" stroke="%s" stroke-width="2" stroke-linejoin="round">%s</g>'
             % (fill, NIGHT, SET_OUTLINE[s])]
    if s == 0:
        parts.append('<path d="M4 12 V6 Q4 4 6 4 H14" fill="none" stroke="%s" stroke-width="2" '
                     'stroke-linecap="round"/>' % hl)
        parts.append('<path d="M28 18 V26 Q28 28 26 28 H10" fill="none" stroke="%s" stroke-width="2" '
                     'stroke-linecap="round"/>' % dark)
        parts.append('<path d="M18 4 H26 Q28 4 28 6 V9" fill="none" stroke="%s" stroke-width="1" '
                     'stroke-linecap="round"/>' % hl)
    elif s == 1:
        parts.append('<path d="M18 5 L22 6 L27 5" fill="none" stroke="%s" stroke-width="2" '
                     'stroke-linecap="round" stroke-linejoin="round"/>' % hl)
        parts.append('<path d="M28 14 L27 21 L28 27 L21 28 L13 26.5 L5 28" fill="none" stroke="%s" '
                     'stroke-width="2" stroke-linecap="round" stroke-linejoin="round"/>' % dark)
        parts.append('<path d="M21 12 L24 17 L22 22" fill="none" stroke="%s" stroke-width="1" '
                     'stroke-linecap="round" stroke-linejoin="round"/>' % dark)
    else:
        # facets: a lighter table in the middle, joined to the rim
        parts.append('<path d="M11 11 H21 V21 H11 Z" fill="%s" stroke="none"/>' % hl)
        parts.append('<path d="M21 11 L29 8 M21 21 L29 24 M11 21 L8 29 M21 21 L24 29" fill="none" '
                     'stroke="%s" stroke-width="1" stroke-linecap="round"/>' % dark)
        parts.append('<path d="M14 4 H23 L28 9" fill="none" stroke="%s" stroke-width="2" '
                     'stroke-linecap="round" stroke-linejoin="round"/>' % hl)
        parts.append('<path d="M28 23 L23 28 H10" fill="none" stroke="%s" stroke-width="2" '
                     'stroke-linecap="round" stroke-linejoin="round"/>' % dark)
    if selected:
        parts.append('<g fill="none" stroke="%s" stroke-width="1.5" stroke-linejoin="round" '
                     'transform="translate(16 16) scale(0.82) translate(-16 -16)">%s</g>'
                     % (LAMP, SET_OUTLINE[s]))
    return "".join(parts)


def colour_back(s, base, light, dark, selected=False):
    """Background of the colour bomb and the rainbow block: the set's silhouette in the colour with a
    dark socket for the pickaxe (drawn 3 pixels right of and below the centre)."""
    fill = mix(base, LAMP, 0.35) if selected else base
    parts = ['<g fill="%s" stroke="%s" stroke-width="2" stroke-linejoin="round">%s</g>'
             % (fill, NIGHT, SET_OUTLINE[s])]
    parts.append('<circle cx="19" cy="19" r="10" fill="%s" stroke="%s" stroke-width="2"/>'
                 % (ROCK_DARK, dark))
    parts.append('<circle cx="19" cy="19" r="11.8" fill="none" stroke="%s" stroke-width="1.5" '
                 'stroke-dasharray="2 2.5"/>' % (LAMP if selected else light))
    return "".join(parts)


def sheet(cell, selected, comment):
    body = []
    for s in range(3):
        for c, (base, light, dark) in enumerate(COLOURS):
            body.append('  <g transform="translate(%d %d)">%s%s</g>\n'
                        % (32 * s, 32 * c, cell(s, base, light, dark, selected), mark(c)))
    return svg(96, 160, "".join(body), comment)


def set_preview():
    """IMAGE_BLOCKS_PREVIEW: four blocks of each block set as the field draws them, marks included, one
    frame of 120 by 44 per set, stacked in the sheet's order."""
    body = []
    for s in range(3):
        for c, (base, light, dark) in enumerate(COLOURS[:4]):
            body.append('  <g transform="translate(%d %d) scale(0.75)">%s%s</g>\n'
                        % (6 + 28 * c, 44 * s + 10, block_face(s, base, light, dark, False), mark(c)))
    return svg(120, 132, "".join(body), "Four blocks of each block set as it plays, three frames of 44 stacked: "
                                          "block sets 1, 2 and 3.")


def plate(selected):
    """IMAGE_BLOCK_BACK_BLACK: the dark plate under the tool icons."""
    rim = LAMP if selected else ROCK_LIGHT
    fill = ROCK if selected else "#2A201A"
    rivets = "".join('<circle cx="%g" cy="%g" r="1.4" fill="%s"/>' % (x, y, STEEL)
                     for x, y in ((5, 5), (27, 5), (5, 27), (27, 27)))
    return svg(32, 32,
               '  <rect x="1" y="1" width="30" height="30" rx="3" fill="%s" stroke="%s" stroke-width="2"/>\n'
               '  <rect x="3.5" y="3.5" width="25" height="25" rx="2" fill="none" stroke="%s" stroke-width="1.5"/>\n'
               '  %s\n' % (fill, NIGHT, rim, rivets),
               "The dark plate behind the tool blocks%s." % (", selected" if selected else ""))


def blocker(selected):
    """IMAGE_BLOCKER: iron-bound rock that no click removes."""
    fill = ROCK_LIGHT if selected else ROCK
    strap = LAMP if selected else STEEL
    return svg(32, 32,
               '  <rect x="1" y="1" width="30" height="30" rx="2" fill="%s" stroke="%s" stroke-width="2"/>\n'
               '  <path d="M6 9 L11 7 M20 24 L26 22 M8 22 L10 26" stroke="%s" stroke-width="1" fill="none" '
               'stroke-linecap="round"/>\n'
               '  <path d="M3 3 L29 29 M29 3 L3 29" stroke="%s" stroke-width="5" stroke-linecap="square"/>\n'
               '  <path d="M3 3 L29 29 M29 3 L3 29" stroke="%s" stroke-width="3" stroke-linecap="square"/>\n'
               '  <circle cx="16" cy="16" r="3.5" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
               % (fill, NIGHT, ROCK_DARK, NIGHT, strap, STEEL_DARK, NIGHT),
               "A blocker: iron-bound rock%s." % (", selected" if selected else ""))


def rock_tile(selected, extra=""):
    fill = ROCK_LIGHT if selected else ROCK
    rim = LAMP if selected else ROCK_LIGHT
    return ('<rect x="1" y="1" width="30" height="30" rx="4" fill="%s" stroke="%s" stroke-width="2"/>'
            '<path d="M4 10 V6 Q4 4 6 4 H12" fill="none" stroke="%s" stroke-width="1.5" stroke-linecap="round"/>%s'
            % (fill, NIGHT, rim, extra))


def star(x, y, r, fill=LAMP, opacity=1.0):
    k = r * 0.28
    return ('<path d="M%g %g L%g %g L%g %g L%g %g L%g %g L%g %g L%g %g L%g %g Z" fill="%s" opacity="%g"/>'
            % (x, y - r, x + k, y - k, x + r, y, x + k, y + k, x, y + r, x - k, y + k, x - r, y, x - k, y - k,
               fill, opacity))


GLINT = [(0, 0), (3, 0.7), (5, 1.0), (3, 0.7)]  # frame: star radius, opacity (bounces back and forth)


def gold(selected):
    """IMAGE_GOLD: rock with gold nuggets, four frames of a glint."""
    body = []
    for f, (r, o) in enumerate(GLINT):
        nuggets = ''.join(
            '<path d="%s" fill="%s" stroke="%s" stroke-width="1.5" stroke-linejoin="round"/>' % (d, GOLD, NIGHT)
            for d in ("M7 13 L12 9 L17 11 L18 17 L12 19 L8 17 Z",
                      "M17 21 L22 17 L27 20 L26 26 L20 27 Z",
                      "M20 6 L25 5 L27 10 L22 12 Z",
                      "M6 23 L10 22 L11 27 L7 27 Z"))
        shine = ('<path d="M10 12 L13 11 M19 20 L22 19 M22 7 L24 7" stroke="%s" stroke-width="1.5" '
                 'stroke-linecap="round"/>' % GOLD_LIGHT)
        glint = star(15, 12, r, LAMP, o) if r else ""
        body.append('  <g transform="translate(0 %d)">%s</g>\n'
                    % (32 * f, rock_tile(selected, nuggets + shine + glint)))
    return svg(32, 128, "".join(body), "A gold block, four frames of a glint%s." % (", selected" if selected else ""))


def treasure_block(selected):
    """IMAGE_BLOCK_TREASURE: a small chest on rock, four frames of a sparkle."""
    body = []
    for f, (r, o) in enumerate(GLINT):
        chest = ('<rect x="6" y="13" width="20" height="13" rx="1" fill="%s" stroke="%s" stroke-width="1.5"/>'
                 '<path d="M6 14 Q6 7 16 7 Q26 7 26 14 Z" fill="%s" stroke="%s" stroke-width="1.5" '
                 'stroke-linejoin="round"/>'
                 '<path d="M6 14 H26 M11 7.5 V26 M21 7.5 V26" stroke="%s" stroke-width="2"/>'
                 '<rect x="14" y="13" width="4" height="5" fill="%s" stroke="%s" stroke-width="1"/>'
                 % (ROCK_LIGHT, NIGHT, ROCK_LIGHT, NIGHT, GOLD_DARK, GOLD, NIGHT))
        glint = star(24, 8, r + 1, GOLD_LIGHT, o) if r else ""
        body.append('  <g transform="translate(0 %d)">%s</g>\n' % (32 * f, rock_tile(selected, chest + glint)))
    return svg(32, 128, "".join(body),
               "A treasure block, four frames of a sparkle%s." % (", selected" if selected else ""))


def dynamite():
    sticks = "".join('<rect x="%g" y="9" width="5" height="13" rx="1" fill="#C8372D" stroke="%s" stroke-width="1.5"/>'
                     % (x, NIGHT) for x in (5.5, 9.5, 13.5))
    return svg(24, 24,
               '  %s\n  <path d="M5 13 H19" stroke="%s" stroke-width="2"/>\n'
               '  <path d="M12 9 Q13 4 17 4" fill="none" stroke="%s" stroke-width="1.5" stroke-linecap="round"/>\n'
               '  %s\n' % (sticks, ROCK_LIGHT, LAMP, star(18.5, 4, 3.5, GOLD_LIGHT)),
               "Icon of the bomb: a bundle of dynamite.")


def pickaxe():
    return svg(20, 20,
               '  <path d="M5 17 L14 6" stroke="%s" stroke-width="4" stroke-linecap="round"/>\n'
               '  <path d="M5 17 L14 6" stroke="%s" stroke-width="2" stroke-linecap="round"/>\n'
               '  <path d="M3 6 Q10 0 19 5 Q12 4 8 9 Z" fill="%s" stroke="%s" stroke-width="1.5" '
               'stroke-linejoin="round"/>\n' % (NIGHT, ROCK_LIGHT, STEEL, NIGHT),
               "Icon of the colour bomb and the rainbow block: a pickaxe.")


def shovel():
    return svg(24, 24,
               '  <path d="M4 12 H13" stroke="%s" stroke-width="4" stroke-linecap="round"/>\n'
               '  <path d="M4 12 H13" stroke="%s" stroke-width="2" stroke-linecap="round"/>\n'
               '  <path d="M3 8.5 V15.5" stroke="%s" stroke-width="4" stroke-linecap="round"/>\n'
               '  <path d="M3 8.5 V15.5" stroke="%s" stroke-width="2" stroke-linecap="round"/>\n'
               '  <path d="M12 7 H16 Q21 8 23 12 Q21 16 16 17 H12 Z" fill="%s" stroke="%s" stroke-width="1.5" '
               'stroke-linejoin="round"/>\n'
               '  <path d="M8 1.5 L5 3.5 L8 5.5 M16 18.5 L19 20.5 L16 22.5" fill="none" stroke="%s" stroke-width="1.5" '
               'stroke-linecap="round" stroke-linejoin="round"/>\n'
               % (NIGHT, ROCK_LIGHT, NIGHT, ROCK_LIGHT, STEEL, NIGHT, GOLD),
               "Icon of the line bomb: a spade lying along the row, with arrows both ways.")


def hammer():
    return svg(24, 24,
               '  <path d="M12 3 V15" stroke="%s" stroke-width="4" stroke-linecap="round"/>\n'
               '  <path d="M12 3 V15" stroke="%s" stroke-width="2" stroke-linecap="round"/>\n'
               '  <rect x="6" y="13" width="12" height="6" rx="1" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
               '  <path d="M9 21.5 L12 23.5 L15 21.5" fill="none" stroke="%s" stroke-width="1.5" '
               'stroke-linecap="round" stroke-linejoin="round"/>\n' % (NIGHT, ROCK_LIGHT, STEEL, NIGHT, GOLD),
               "Icon of the hammer: a sledge striking down.")


def hourglass():
    return svg(24, 24,
               '  <path d="M7 3 H17 V5 Q17 10 13 12 Q17 14 17 19 V21 H7 V19 Q7 14 11 12 Q7 10 7 5 Z" '
               'fill="%s" stroke="%s" stroke-width="1.5" stroke-linejoin="round"/>\n'
               '  <path d="M9 19 Q12 15 15 19 Z M10 7 H14 Q13 10 12 11 Q11 10 10 7 Z" fill="%s"/>\n'
               '  <path d="M5 2.5 H19 M5 21.5 H19" stroke="%s" stroke-width="3" stroke-linecap="round"/>\n'
               '  <path d="M5 2.5 H19 M5 21.5 H19" stroke="%s" stroke-width="1.5" stroke-linecap="round"/>\n'
               % (mix(SKY, LAMP, 0.6), NIGHT, GOLD, NIGHT, GOLD_DARK),
               "Icon of the hourglass.")


def tnt():
    return svg(32, 32,
               '  <rect x="2" y="6" width="28" height="24" rx="2" fill="#C8372D" stroke="%s" stroke-width="2"/>\n'
               '  <path d="M3 11 H29 M3 25 H29" stroke="%s" stroke-width="1.5"/>\n'
               '  <text x="16" y="22" font-family="DejaVu Sans" font-weight="bold" font-size="10" '
               'text-anchor="middle" fill="%s" stroke="%s" stroke-width="0.6">TNT</text>\n'
               '  <path d="M16 6 Q17 2 21 2.5" fill="none" stroke="%s" stroke-width="1.5" stroke-linecap="round"/>\n'
               '  %s\n' % (NIGHT, NIGHT, LAMP, NIGHT, LAMP, star(22.5, 3, 3, GOLD_LIGHT)),
               "The TNT block: a crate of explosives.")


def bucket(selected):
    body = []
    for c, (base, light, dark) in enumerate(COLOURS):
        paint = mix(base, LAMP, 0.3) if selected else base
        rim = LAMP if selected else STEEL
        cell = ('<path d="M6 10 L9 29 H23 L26 10 Z" fill="%s" stroke="%s" stroke-width="2" stroke-linejoin="round"/>'
                '<path d="M8 15 H24 M8.7 21 H23.3" stroke="%s" stroke-width="1"/>'
                '<path d="M5 7 Q16 1 27 7" fill="none" stroke="%s" stroke-width="1.5"/>'
                '<ellipse cx="16" cy="10" rx="10.5" ry="3" fill="%s" stroke="%s" stroke-width="2"/>'
                '<path d="M22 10 Q24 14 22 17 Q20 14 22 10 Z" fill="%s" stroke="%s" stroke-width="1"/>%s'
                % (rim, NIGHT, STEEL_DARK, NIGHT, paint, NIGHT, paint, NIGHT,
                   mark(c, 16, 21, 0.9)))
        body.append('  <g transform="translate(%d 0)">%s</g>\n' % (32 * c, cell))
    return svg(160, 32, "".join(body),
               "The paint bucket, one cell per colour, each with its colour's mark%s."
               % (", selected" if selected else ""))


SPARKLE_FRAMES = [2, 5, 8, 11, 8, 4]


def sparkle():
    body = []
    for f, r in enumerate(SPARKLE_FRAMES):
        body.append('  <g transform="translate(0 %d)">%s<circle cx="12" cy="12" r="%g" fill="%s" opacity="0.6"/></g>\n'
                    % (24 * f, star(12, 12, r, "#FFFFFF"), r / 4, "#FFFFFF"))
    return svg(24, 24 * len(SPARKLE_FRAMES), "".join(body),
               "A sparkle, %d frames; the game draws it through its mask in white." % len(SPARKLE_FRAMES))


# ---- Treasures: 48 x 48, gems 0-11, antiquities 12-23 ----

def gem(outline, facets, base, light, dark):
    return ('<path d="%s" fill="%s" stroke="%s" stroke-width="2" stroke-linejoin="round"/>'
            '<path d="%s" fill="none" stroke="%s" stroke-width="1" stroke-linejoin="round"/>'
            '<path d="%s" fill="none" stroke="%s" stroke-width="1" stroke-linejoin="round" opacity="0.8"/>'
            % (outline, base, NIGHT, facets, dark, facets.split(" M")[0], light))


def gem_shape(kind):
    if kind == "round":
        return ("M24 6 L37 11 L42 24 L37 37 L24 42 L11 37 L6 24 L11 11 Z",
                "M17 17 H31 V31 H17 Z M17 17 L11 11 M31 17 L37 11 M31 31 L37 37 M17 31 L11 37")
    if kind == "emerald":
        return ("M14 8 H34 L40 14 V34 L34 40 H14 L8 34 V14 Z", "M16 15 H32 V33 H16 Z M16 15 L14 8 M32 33 L34 40")
    if kind == "pear":
        return ("M24 5 Q40 22 38 32 Q35 43 24 43 Q13 43 10 32 Q8 22 24 5 Z", "M24 14 L31 30 L24 36 L17 30 Z")
    if kind == "marquise":
        return ("M24 4 Q40 24 24 44 Q8 24 24 4 Z", "M24 13 L30 24 L24 35 L18 24 Z")
    if kind == "oval":
        return ("M24 6 Q40 6 40 24 Q40 42 24 42 Q8 42 8 24 Q8 6 24 6 Z", "M24 14 L32 24 L24 34 L16 24 Z")
    if kind == "heart":
        return ("M24 42 L8 24 Q3 15 11 9 Q19 5 24 13 Q29 5 37 9 Q45 15 40 24 Z", "M24 20 L31 24 L24 32 L17 24 Z")
    if kind == "trillion":
        return ("M24 5 L43 39 H5 Z", "M24 17 L33 33 H15 Z")
    if kind == "cushion":
        return ("M12 7 H36 Q41 7 41 12 V36 Q41 41 36 41 H12 Q7 41 7 36 V12 Q7 7 12 7 Z",
                "M16 16 H32 V32 H16 Z M16 16 L9 9 M32 32 L39 39")
    if kind == "baguette":
        return ("M16 4 H32 V44 H16 Z", "M20 9 H28 V39 H20 Z")
    if kind == "hexagon":
        return ("M24 4 L41 14 V34 L24 44 L7 34 V14 Z", "M24 14 L32 19 V29 L24 34 L16 29 V19 Z")
    if kind == "princess":
        return ("M8 8 H40 V40 H8 Z", "M8 8 L40 40 M40 8 L8 40 M16 16 H32 V32 H16 Z")
    return ("M24 8 Q41 8 41 28 Q41 40 24 40 Q7 40 7 28 Q7 8 24 8 Z", "M16 17 Q24 12 32 17")  # cabochon


GEMS = [  # name, description, cut, colour, rarity
    ("Ruby", "A deep red ruby, warm as a forge.", "round", "#C8283C", "common"),
    ("Sapphire", "A sapphire as blue as the sky above the quarry.", "oval", "#2E5FC8", "common"),
    ("Emerald", "A green emerald in a classic step cut.", "emerald", "#1F9E55", "common"),
    ("Topaz", "A golden topaz shaped like a drop of honey.", "pear", "#E8A33A", "common"),
    ("Amethyst", "A violet amethyst with pointed ends.", "marquise", "#8E4FC2", "uncommon"),
    ("Diamond", "A flawless diamond. Miners dream of this one.", "princess", "#DDEBF5", "rare"),
    ("Opal", "A milky opal that shows every colour in the lamp light.", "cabochon", "#BFE3DA", "uncommon"),
    ("Garnet", "A dark red garnet cut as a heart.", "heart", "#8C1C2E", "uncommon"),
    ("Aquamarine", "A pale sea-blue aquamarine, cut in three.", "trillion", "#7FD3E0", "common"),
    ("Citrine", "A long yellow citrine bar.", "baguette", "#F2D13A", "common"),
    ("Jade", "A piece of green jade, ground into six sides.", "hexagon", "#5FAF7A", "uncommon"),
    ("Rose quartz", "A soft pink quartz with rounded corners.", "cushion", "#E7A1B8", "rare"),
]


def gem_picture(cut, colour):
    outline, facets = gem_shape(cut)
    picture = gem(outline, facets, colour, mix(colour, "#FFFFFF", 0.6), mix(colour, NIGHT, 0.45))
    if cut == "cabochon":  # an opal's play of colour
        picture += "".join('<circle cx="%g" cy="%g" r="%g" fill="%s" opacity="0.8"/>' % flake
                           for flake in ((17, 26, 3, "#F08A40"), (27, 22, 2.5, "#56B4E9"), (31, 31, 2.5, "#CC79A7"),
                                         (22, 33, 2, "#40C79F"), (24, 19, 1.8, "#F0E442")))
    return picture + star(34, 12, 4, "#FFFFFF")


def coin(fill, rim, sign):
    return ('<circle cx="24" cy="24" r="17" fill="%s" stroke="%s" stroke-width="2"/>'
            '<circle cx="24" cy="24" r="13" fill="none" stroke="%s" stroke-width="1.5"/>'
            '<text x="24" y="30" font-family="DejaVu Sans" font-weight="bold" font-size="16" text-anchor="middle" '
            'fill="%s">%s</text>' % (fill, NIGHT, rim, rim, sign))


ANTIQUITIES = [  # name, description, type, rarity, drawing, colour
    ("Gold nugget", "A fat nugget of pure gold.", "coin", "common",
     '<path d="M9 26 L15 14 L26 10 L37 15 L40 27 L32 37 L18 38 Z" fill="%s" stroke="%s" stroke-width="2" '
     'stroke-linejoin="round"/><path d="M17 18 L24 15 M30 30 L35 27" stroke="%s" stroke-width="2" '
     'stroke-linecap="round"/><path d="M14 30 L20 27 L24 32 M27 20 L31 23" fill="none" stroke="%s" '
     'stroke-width="1.5" stroke-linecap="round" stroke-linejoin="round"/>' % (GOLD, NIGHT, GOLD_LIGHT, GOLD_DARK),
     GOLD),
    ("Old gold coin", "A gold coin from a long-lost mint.", "coin", "uncommon", coin(GOLD, GOLD_DARK, "Q"), GOLD),
    ("Silver coin", "A worn silver coin with a crown on one side.", "coin", "common", coin(STEEL, "#7D8591", "S"),
     STEEL),
    ("Signet ring", "A heavy gold ring with a red stone.", "jewel", "uncommon",
     '<circle cx="24" cy="28" r="12" fill="none" stroke="%s" stroke-width="7"/>'
     '<circle cx="24" cy="28" r="12" fill="none" stroke="%s" stroke-width="4"/>'
     '<rect x="17" y="7" width="14" height="11" rx="3" fill="#C8283C" stroke="%s" stroke-width="2"/>'
     % (NIGHT, GOLD, NIGHT), "#C8283C"),
    ("Amulet", "An amulet on a chain. It feels warm.", "jewel", "rare",
     '<path d="M12 4 Q24 26 36 4" fill="none" stroke="%s" stroke-width="2" stroke-dasharray="2 1.5"/>'
     '<circle cx="24" cy="30" r="12" fill="%s" stroke="%s" stroke-width="2"/>'
     '<circle cx="24" cy="30" r="5" fill="%s" stroke="%s" stroke-width="1.5"/>'
     % (GOLD_DARK, GOLD, NIGHT, "#2E9E8E", NIGHT), "#2E9E8E"),
    ("Crown", "The crown of the mountain king.", "jewel", "rare",
     '<path d="M7 36 L9 14 L17 24 L24 10 L31 24 L39 14 L41 36 Z" fill="%s" stroke="%s" stroke-width="2" '
     'stroke-linejoin="round"/><rect x="7" y="34" width="34" height="6" fill="%s" stroke="%s" stroke-width="2"/>'
     '<circle cx="24" cy="29" r="3" fill="#C8283C" stroke="%s" stroke-width="1"/>'
     % (GOLD, NIGHT, GOLD_DARK, NIGHT, NIGHT), GOLD),
    ("Goblet", "A silver goblet for the miners' feast.", "drink", "uncommon",
     '<path d="M12 7 H36 Q36 24 24 26 Q12 24 12 7 Z" fill="%s" stroke="%s" stroke-width="2" '
     'stroke-linejoin="round"/><path d="M24 26 V37 M15 41 H33" stroke="%s" stroke-width="4" stroke-linecap="round"/>'
     '<path d="M24 26 V37 M15 41 H33" stroke="%s" stroke-width="2" stroke-linecap="round"/>'
     '<path d="M14 11 H34" stroke="#8C1C2E" stroke-width="3"/>' % (STEEL, NIGHT, NIGHT, STEEL), STEEL),
    ("Potion", "A flask of something blue and bubbly.", "drink", "common",
     '<path d="M20 6 H28 V16 Q39 22 37 32 Q35 42 24 42 Q13 42 11 32 Q9 22 20 16 Z" fill="%s" stroke="%s" '
     'stroke-width="2" stroke-linejoin="round"/><path d="M12 30 Q24 26 36 30 Q35 40 24 40 Q13 40 12 30 Z" '
     'fill="#3A7BD5"/><rect x="19" y="3" width="10" height="5" rx="1" fill="%s" stroke="%s" stroke-width="1.5"/>'
     '<circle cx="20" cy="34" r="2" fill="%s"/>' % (mix(SKY, LAMP, 0.7), NIGHT, ROCK_LIGHT, NIGHT, LAMP), "#3A7BD5"),
    ("Clay jug", "A clay jug. Whatever was in it is long gone.", "drink", "common",
     '<path d="M17 6 H31 L29 12 Q40 18 38 30 Q36 42 24 42 Q12 42 10 30 Q8 18 19 12 Z" fill="#B5651D" '
     'stroke="%s" stroke-width="2" stroke-linejoin="round"/><path d="M36 18 Q45 22 37 30" fill="none" '
     'stroke="%s" stroke-width="2"/><path d="M12 26 H36" stroke="%s" stroke-width="1.5"/>'
     % (NIGHT, NIGHT, LAMP), "#B5651D"),
    ("Idol", "A small stone idol with a knowing smile.", "figure", "rare",
     '<path d="M16 42 V24 Q16 8 24 8 Q32 8 32 24 V42 Z" fill="%s" stroke="%s" stroke-width="2" '
     'stroke-linejoin="round"/><path d="M20 20 H22 M26 20 H28" stroke="%s" stroke-width="2.5" stroke-linecap="round"/>'
     '<path d="M20 28 Q24 31 28 28" fill="none" stroke="%s" stroke-width="1.5"/>'
     '<rect x="12" y="40" width="24" height="4" fill="%s" stroke="%s" stroke-width="1.5"/>'
     % ("#6FA37A", NIGHT, NIGHT, NIGHT, ROCK, NIGHT), "#6FA37A"),
    ("Ammonite", "A fossil shell, older than the mountain.", "figure", "common",
     '<circle cx="24" cy="24" r="17" fill="%s" stroke="%s" stroke-width="2"/>'
     '<path d="M24 24 Q28 24 28 20 Q28 15 22 15 Q15 16 15 24 Q15 33 25 33 Q35 33 35 22 Q35 10 24 10" '
     'fill="none" stroke="%s" stroke-width="2" stroke-linecap="round"/>' % ("#D9C7A3", NIGHT, ROCK), "#D9C7A3"),
    ("Miner's lamp", "The lamp of the first miner who dug here.", "figure", "uncommon",
     '<path d="M17 14 H31 L33 38 H15 Z" fill="%s" stroke="%s" stroke-width="2" stroke-linejoin="round"/>'
     '<path d="M19 18 H29 L30 34 H18 Z" fill="%s"/><path d="M18 14 Q24 4 30 14" fill="none" stroke="%s" '
     'stroke-width="2"/><rect x="13" y="38" width="22" height="5" fill="%s" stroke="%s" stroke-width="1.5"/>'
     % (GOLD_DARK, NIGHT, GOLD_LIGHT, NIGHT, ROCK_DARK, NIGHT), GOLD_LIGHT),
]

FREQUENCIES = {"common": (10, 4), "uncommon": (6, 2), "rare": (3, 1)}


def treasure_svg(index, drawing, name):
    return svg(48, 48, "  %s\n" % drawing, "Treasure %d: %s." % (index, name.lower()))


def treasures():
    """Yields (index, name, description, type, rarity, colour, svg) for the 24 treasures."""
    for i, (name, text, cut, colour, rarity) in enumerate(GEMS):
        yield i, name, text, "gem", rarity, colour, treasure_svg(i, gem_picture(cut, colour), name)
    for j, (name, text, kind, rarity, drawing, colour) in enumerate(ANTIQUITIES):
        yield 12 + j, name, text, kind, rarity, colour, treasure_svg(12 + j, drawing, name)


def preview(rendered, out):
    """A look at the field: every block type in every colour for each block set, three times larger,
    drawn from the rendered pictures in `rendered` (PNG files named like the SVGs)."""
    def size(picture):
        with open(os.path.join(rendered, picture + ".png"), "rb") as f:
            head = f.read(24)
        return int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big")

    def cell(picture, sx, sy, x, y, w=32, h=32):
        pw, ph = size(picture)
        return ('<svg x="%d" y="%d" width="%d" height="%d" viewBox="%d %d %d %d">'
                '<image href="%s/%s.png" width="%d" height="%d"/></svg>'
                % (x, y, w, h, sx, sy, w, h, rendered, picture, pw, ph))

    def icon(picture, size, x, y, dx=0, dy=0):
        w, h = size
        return cell(picture, 0, 0, x + 16 + dx - w // 2, y + 16 + dy - h // 2, w, h)

    sizes = {"block_dynamite": (24, 24), "block_shovel": (24, 24), "block_hammer": (24, 24),
             "block_hourglass": (24, 24), "block_pickaxe": (20, 20)}
    parts = []
    for s in range(3):
        ox = 8 + s * 8 * 36
        parts.append('<text x="%d" y="14" font-family="DejaVu Sans" font-size="10" fill="%s">set %d</text>'
                     % (ox, LAMP, s))
        for c in range(5):
            for sel in (0, 1):
                y = 20 + (c * 2 + sel) * 34
                suffix = "_selected" if sel else ""
                row = []
                row.append(cell("blocks" + suffix, 32 * s, 32 * c, ox, y))
                mul = cell("blocks" + suffix, 32 * s, 32 * c, ox + 34, y)
                if s == 0:
                    mul += ('<text x="%d" y="%d" font-family="DejaVu Sans" font-weight="bold" font-size="11" '
                            'fill="%s" stroke="%s" stroke-width="2" paint-order="stroke">x%d</text>'
                            % (ox + 34 + 8, y + 20, LAMP, NIGHT, 2 + c % 3))
                row.append(mul)
                row.append(cell("block_back_color" + suffix, 32 * s, 32 * c, ox + 68, y)
                           + icon("block_pickaxe", sizes["block_pickaxe"], ox + 68, y, 3, 3))
                row.append(cell("block_bucket" + suffix, 32 * c, 0, ox + 102, y))
                tools = ["block_dynamite", "block_shovel", "block_hammer", "block_hourglass"]
                t = tools[c % 4]
                row.append(cell("block_back_black" + suffix, 0, 0, ox + 136, y) + icon(t, sizes[t], ox + 136, y))
                specials = ["gold", "block_treasure", "blocker", "block_tnt", "gold"]
                sp = specials[c] + (suffix if specials[c] != "block_tnt" else "")
                row.append(cell(sp, 0, 32 * (c % 4) if specials[c] != "blocker" and specials[c] != "block_tnt" else 0,
                                ox + 170, y))
                parts.append("".join(row))
    for i in range(24):
        parts.append(cell("treasure_%02d" % i, 0, 0, 8 + (i % 12) * 52, 370 + (i // 12) * 52, 48, 48))
    width, height = 3 * 8 * 36 + 16, 480
    body = '<rect width="%d" height="%d" fill="%s"/>' % (width, height, ROCK_DARK) + "".join(parts)
    with open(out, "w") as f:
        f.write('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">%s</svg>'
                % (width * 2, height * 2, width, height, body))


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "--preview":
        preview(sys.argv[2], sys.argv[3])
        return
    write("blocks.svg", sheet(block_face, False,
                              "Block sheet: one block set per column (cut stone, rough stone, gem), one colour per "
                              "row; every colour carries its mark in the top-left corner."))
    write("blocks_preview.svg", set_preview())
    write("blocks_selected.svg", sheet(block_face, True, "The block sheet of selected blocks."))
    write("block_back_color.svg", sheet(colour_back, False,
                                        "Colour bomb and rainbow backgrounds, laid out like the block sheet."))
    write("block_back_color_selected.svg", sheet(colour_back, True, "The colour backgrounds, selected."))
    write("block_back_black.svg", plate(False))
    write("block_back_black_selected.svg", plate(True))
    write("blocker.svg", blocker(False))
    write("blocker_selected.svg", blocker(True))
    write("gold.svg", gold(False))
    write("gold_selected.svg", gold(True))
    write("block_treasure.svg", treasure_block(False))
    write("block_treasure_selected.svg", treasure_block(True))
    write("block_bucket.svg", bucket(False))
    write("block_bucket_selected.svg", bucket(True))
    write("block_dynamite.svg", dynamite())
    write("block_pickaxe.svg", pickaxe())
    write("block_shovel.svg", shovel())
    write("block_hammer.svg", hammer())
    write("block_hourglass.svg", hourglass())
    write("block_tnt.svg", tnt())
    write("sparkle_big.svg", sparkle())
    for index, name, _, _, _, _, picture in treasures():
        write("treasure_%02d.svg" % index, picture)
    if "--list" in sys.argv:
        for index, name, text, kind, rarity, colour, _ in treasures():
            print(index, name, kind, rarity, colour, text)


if __name__ == "__main__":
    main()
