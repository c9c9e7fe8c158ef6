#!/usr/bin/env python3
"""Writes the SVG sources of the endless mode's pictures into assets/images/: the rock floor below the
scrolling field, the elevator cart on its rope with its gold stages, and the miner riding in it (his
upper body in four poses and his blink). Run `python3 tools/assetgen/endlessart.py` after changing a drawing."""

import random
from svgart import (NIGHT, ROCK_DARK, ROCK, ROCK_LIGHT, GOLD, GOLD_LIGHT, GOLD_DARK, LAMP, STEEL, STEEL_DARK,
                    svg_maker, write)

svg = svg_maker("endlessart.py")

# The field is 12 cells of 32 pixels wide; the floor's lower edge lies one cell below the bottom row.
FLOOR_W, FLOOR_H = 384, 48
# The cart hangs from a rope that leaves the picture at its top; the gold pile has five stages.
CART_W, CART_H = 112, 96
GOLD_W, GOLD_H, GOLD_STAGES = 96, 32, 5
# The miner shows from the waist up over the cart's rim.
JACK_W, JACK_H = 64, 56
SKIN = "#E8B48A"
SHIRT = "#2F8F9D"


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


def cart():
    """IMAGE_CART_ENDLESS: an iron-banded bucket cart hanging from a rope and a hook."""
    body = ('  <path d="M56 0 L56 22" stroke="%s" stroke-width="4"/>\n'
            '  <path d="M56 0 L56 22" stroke="%s" stroke-width="2" stroke-dasharray="3 3"/>\n'
            '  <path d="M12 46 L56 24 L100 46" fill="none" stroke="%s" stroke-width="3"/>\n'
            '  <circle cx="56" cy="25" r="4" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
            % (ROCK_LIGHT, ROCK_DARK, STEEL_DARK, STEEL, NIGHT))
    body += ('  <path d="M4 46 L108 46 L98 92 L14 92 Z" fill="%s" stroke="%s" stroke-width="2"/>\n'
             '  <rect x="2" y="42" width="108" height="6" rx="2" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
             '  <path d="M9 68 L103 68" stroke="%s" stroke-width="2"/>\n'
             % (ROCK, NIGHT, STEEL_DARK, NIGHT, ROCK_DARK))
    for x in (18, 56, 94):
        body += '  <circle cx="%d" cy="56" r="2" fill="%s"/><circle cx="%d" cy="80" r="2" fill="%s"/>\n' % (
            x, STEEL, x, STEEL)
    return svg(CART_W, CART_H, body, "The elevator cart of the endless mode on its rope.")


def gold_stages():
    """IMAGE_CART_GOLD_ENDLESS: five stages of the gold pile, each a little higher than the one before."""
    body = ""
    for stage in range(GOLD_STAGES):
        top = stage * GOLD_H
        height = 6 + stage * 6
        base = top + GOLD_H
        body += ('  <path d="M4 %d Q%d %d %d %d T%d %d Z" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
                 % (base, GOLD_W // 4, base - height - 4, GOLD_W // 2, base - height, GOLD_W - 4, base,
                    GOLD, GOLD_DARK))
        for i in range(stage + 1):
            body += '  <circle cx="%d" cy="%d" r="2" fill="%s"/>\n' % (20 + i * 14, base - height // 2, GOLD_LIGHT)
    return svg(GOLD_W, GOLD_H * GOLD_STAGES, body, "The gold in the endless cart, five stages stacked.")


def miner(eyes, mouth, arms_up=False):
    """The miner's upper body with the given face details; arms raised for the elevator ride."""
    cx = JACK_W / 2
    body = ('  <path d="M%g 56 L%g 40 Q%g 34 %g 40 L%g 56 Z" fill="%s" stroke="%s" stroke-width="2"/>\n'
            % (cx - 20, cx - 18, cx, cx + 18, cx + 20, SHIRT, NIGHT))
    if arms_up:
        body += ('  <path d="M%g 42 L%g 18 M%g 42 L%g 18" stroke="%s" stroke-width="7" stroke-linecap="round"/>\n'
                 '  <circle cx="%g" cy="16" r="4" fill="%s"/><circle cx="%g" cy="16" r="4" fill="%s"/>\n'
                 % (cx - 18, cx - 26, cx + 18, cx + 26, SHIRT, cx - 26, SKIN, cx + 26, SKIN))
    body += ('  <ellipse cx="%g" cy="26" rx="13" ry="12" fill="%s" stroke="%s" stroke-width="2"/>\n'
             '  <path d="M%g 20 a16 13 0 0 1 32 0 Z" fill="%s" stroke="%s" stroke-width="2"/>\n'
             '  <circle cx="%g" cy="12" r="4" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
             % (cx, SKIN, NIGHT, cx - 16, GOLD, NIGHT, cx, LAMP, NIGHT))
    return body + eyes(cx) + mouth(cx)


def open_eyes(cx, r=2.5):
    return ('  <circle cx="%g" cy="25" r="%g" fill="#FFFFFF" stroke="%s" stroke-width="1"/>\n'
            '  <circle cx="%g" cy="25" r="%g" fill="#FFFFFF" stroke="%s" stroke-width="1"/>\n'
            '  <circle cx="%g" cy="25" r="1.2" fill="%s"/><circle cx="%g" cy="25" r="1.2" fill="%s"/>\n'
            % (cx - 5, r, NIGHT, cx + 5, r, NIGHT, cx - 5, NIGHT, cx + 5, NIGHT))


def glad_eyes(cx):
    return ('  <path d="M%g 26 q2.5 -4 5 0 M%g 26 q2.5 -4 5 0" fill="none" stroke="%s" stroke-width="1.5"'
            ' stroke-linecap="round"/>\n' % (cx - 7.5, cx + 2.5, NIGHT))


def smile(cx):
    return '  <path d="M%g 31 q4 3 8 0" fill="none" stroke="%s" stroke-width="1.5"/>\n' % (cx - 4, NIGHT)


def grin(cx):
    return '  <path d="M%g 30 q6 7 12 0 Z" fill="#7A2E2E" stroke="%s" stroke-width="1.2"/>\n' % (cx - 6, NIGHT)


def wooh(cx):
    return '  <ellipse cx="%g" cy="32" rx="3" ry="3.5" fill="#7A2E2E" stroke="%s" stroke-width="1.2"/>\n' % (cx, NIGHT)


def blink():
    """IMAGE_JACK_BLINK_ENDLESS: closed eyes over the open ones, in the miner's own coordinates."""
    cx = JACK_W / 2
    body = ('  <ellipse cx="%g" cy="25" rx="3.5" ry="3" fill="%s"/><ellipse cx="%g" cy="25" rx="3.5" ry="3" fill="%s"/>\n'
            '  <path d="M%g 25 q2.5 1.5 5 0 M%g 25 q2.5 1.5 5 0" fill="none" stroke="%s" stroke-width="1.2"/>\n'
            % (cx - 5, SKIN, cx + 5, SKIN, cx - 7.5, cx + 2.5, NIGHT))
    return svg(JACK_W, JACK_H, body, "The endless miner's closed eyes.")


if __name__ == "__main__":
    write("mine_bottom_endless.svg", mine_bottom())
    write("cart_endless.svg", cart())
    write("cart_gold_endless.svg", gold_stages())
    poses = {
        "normal": (open_eyes, smile, False, "in his normal pose"),
        "wooh": (lambda cx: open_eyes(cx, 3), wooh, True, "cheering on the elevator ride"),
        "happy": (glad_eyes, grin, False, "happy about the gold"),
        "panic": (lambda cx: open_eyes(cx, 3.5), wooh, False, "in panic at the top"),
    }
    for name, (eyes, mouth, arms, comment) in poses.items():
        write("jack_%s_endless.svg" % name,
              svg(JACK_W, JACK_H, miner(eyes, mouth, arms), "The endless miner %s." % comment))
    write("jack_blink_endless.svg", blink())
