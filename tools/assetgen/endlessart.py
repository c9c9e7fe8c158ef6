#!/usr/bin/env python3
"""Writes the SVG sources of the endless mode's pictures into assets/images/: the rock floor below the
scrolling field. Run `python3 tools/assetgen/endlessart.py` after changing a drawing."""

import random
from svgart import NIGHT, ROCK_DARK, ROCK, ROCK_LIGHT, GOLD, svg_maker, write

svg = svg_maker("endlessart.py")

# The field is 12 cells of 32 pixels wide; the floor's lower edge lies one cell below the bottom row.
FLOOR_W, FLOOR_H = 384, 48


def mine_bottom():
    """IMAGE_GAME_ENDLESS_MINE_BOTTOM: a jagged rock floor with a few stones and a fleck of gold."""
    rnd = random.Random(3)
    top = [(0, 14)]
    for x in range(16, FLOOR_W, 16):
        top.append((x, rnd.randint(8, 20)))
    top.append((FLOOR_W, 14))
    edge = " ".join("L%d %d" % point for point in top)
    body = ('  <path d="M0 %d %s L%d %d L0 %d Z" fill="%s" stroke="%s" stroke-width="2"/>\n'
            % (FLOOR_H, edge, FLOOR_W, FLOOR_H, FLOOR_H, ROCK_DARK, NIGHT))
    for _ in range(14):
        x, y = rnd.randint(8, FLOOR_W - 8), rnd.randint(24, FLOOR_H - 6)
        rx, ry = rnd.randint(5, 12), rnd.randint(3, 6)
        colour = ROCK if rnd.random() < 0.6 else ROCK_LIGHT
        body += ('  <ellipse cx="%d" cy="%d" rx="%d" ry="%d" fill="%s" stroke="%s" stroke-width="1"/>\n'
                 % (x, y, rx, ry, colour, NIGHT))
    for x, y in ((72, 34), (250, 40), (330, 30)):
        body += '  <circle cx="%d" cy="%d" r="2.5" fill="%s"/>\n' % (x, y, GOLD)
    return svg(FLOOR_W, FLOOR_H, body, "The rock floor below the endless field.")


if __name__ == "__main__":
    write("mine_bottom_endless.svg", mine_bottom())
