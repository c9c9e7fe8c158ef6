#!/usr/bin/env python3
"""Writes the SVG sources of the classic miner and mine cart into assets/images/: the miner, his blink,
happy and panic faces and his raised arm, the cart, its gold stages and a wheel. The overlays are drawn
in the miner's own coordinates at their place on him (the layout puts them there). Run
`python3 tools/assetgen/actorart.py` after changing a drawing."""

import math
from svgart import (NIGHT, ROCK_DARK, ROCK, ROCK_LIGHT, GOLD, GOLD_LIGHT, GOLD_DARK, LAMP, STEEL,
                    STEEL_DARK, svg_maker, write)

svg = svg_maker("actorart.py")

# Sizes and frame counts the layout document names.
JACK_W, JACK_H = 96, 128
FACE_X, FACE_Y, FACE_W, FACE_H = 30, 26, 36, 30   # the face overlays (SPRITE_JACK_*_CLASSIC)
ARM_W, ARM_H, ARM_FRAMES = 40, 48, 3
CART_W, CART_H = 112, 64
GOLD_W, GOLD_H, GOLD_STAGES = 96, 32, 5
WHEEL, WHEEL_FRAMES = 20, 8
SKIN = "#E8B48A"
SKIN_DARK = "#B9805A"
SHIRT = "#2F8F9D"
TROUSERS = "#3B4A6B"


def head(x, y):
    """The head without its face details: helmet with a lamp, skin, beard."""
    return ('  <ellipse cx="%g" cy="%g" rx="18" ry="17" fill="%s" stroke="%s" stroke-width="2"/>\n'
            '  <path d="M%g %g a22 18 0 0 1 44 0 Z" fill="%s" stroke="%s" stroke-width="2"/>\n'
            '  <rect x="%g" y="%g" width="52" height="6" rx="3" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
            '  <circle cx="%g" cy="%g" r="5" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
            '  <path d="M%g %g q18 22 36 0 q-4 8 -18 9 q-14 -1 -18 -9 Z" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
            % (x, y + 16, SKIN, NIGHT, x - 22, y + 8, GOLD, NIGHT, x - 26, y + 6, GOLD_DARK, NIGHT,
               x, y - 2, LAMP, NIGHT, x - 18, y + 24, ROCK_LIGHT, NIGHT))


def face(eyes, mouth, brows=""):
    return eyes + mouth + brows


def open_eyes(cx, cy):
    return ('  <circle cx="%g" cy="%g" r="3" fill="#FFFFFF" stroke="%s" stroke-width="1"/>\n'
            '  <circle cx="%g" cy="%g" r="3" fill="#FFFFFF" stroke="%s" stroke-width="1"/>\n'
            '  <circle cx="%g" cy="%g" r="1.5" fill="%s"/><circle cx="%g" cy="%g" r="1.5" fill="%s"/>\n'
            % (cx - 7, cy, NIGHT, cx + 7, cy, NIGHT, cx - 7, cy, NIGHT, cx + 7, cy, NIGHT))


def jack():
    """IMAGE_JACK_CLASSIC: the miner standing, pick on his shoulder, in his normal pose."""
    cx = JACK_W / 2
    body = ('  <path d="M%g 120 L%g 84 L%g 84 L%g 120 Z" fill="%s" stroke="%s" stroke-width="2"/>\n'
            % (cx - 22, cx - 18, cx + 18, cx + 22, TROUSERS, NIGHT))
    body += '  <rect x="%g" y="118" width="20" height="9" rx="3" fill="%s"/>\n' % (cx - 24, ROCK_DARK)
    body += '  <rect x="%g" y="118" width="20" height="9" rx="3" fill="%s"/>\n' % (cx + 4, ROCK_DARK)
    body += ('  <path d="M%g 86 L%g 56 Q%g 50 %g 56 L%g 86 Z" fill="%s" stroke="%s" stroke-width="2"/>\n'
             % (cx - 22, cx - 20, cx, cx + 20, cx + 22, SHIRT, NIGHT))
    body += '  <rect x="%g" y="58" width="4" height="28" fill="%s"/>\n' % (cx - 12, ROCK_DARK)
    body += '  <rect x="%g" y="58" width="4" height="28" fill="%s"/>\n' % (cx + 8, ROCK_DARK)
    # Left arm down with the pick; the right arm hangs (the raised arm is a sprite of its own).
    body += ('  <path d="M%g 60 L%g 88" stroke="%s" stroke-width="9" stroke-linecap="round"/>\n'
             '  <circle cx="%g" cy="90" r="5" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
             % (cx - 22, cx - 30, SHIRT, cx - 30, SKIN, NIGHT))
    body += ('  <path d="M%g 100 L%g 40" stroke="%s" stroke-width="4" stroke-linecap="round"/>\n'
             '  <path d="M%g 44 Q%g 30 %g 44" fill="none" stroke="%s" stroke-width="5" stroke-linecap="round"/>\n'
             % (cx - 34, cx - 26, ROCK_LIGHT, cx - 40, cx - 26, cx - 10, STEEL_DARK))
    body += ('  <path d="M%g 60 L%g 88" stroke="%s" stroke-width="9" stroke-linecap="round"/>\n'
             '  <circle cx="%g" cy="90" r="5" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
             % (cx + 22, cx + 28, SHIRT, cx + 28, SKIN, NIGHT))
    body += head(cx, 22)
    body += open_eyes(cx, 37)
    body += '  <path d="M%g 47 q5 3 10 0" fill="none" stroke="%s" stroke-width="1.5"/>\n' % (cx - 5, NIGHT)
    write("jack_classic.svg", svg(JACK_W, JACK_H, body, "The classic miner in his normal pose."))


def overlay(name, comment, details):
    """A face overlay: the skin patch over the eyes and mouth, then the pose's details."""
    cx = FACE_W / 2
    body = ('  <ellipse cx="%g" cy="12" rx="14" ry="8" fill="%s"/>\n'
            '  <path d="M%g 17 q%g 8 26 0 L%g 22 L%g 22 Z" fill="%s"/>\n'
            % (cx, SKIN, cx - 13, 13, cx + 13, cx - 13, SKIN))
    body += details(cx)
    write(name, svg(FACE_W, FACE_H, body, comment))


def blink():
    """IMAGE_JACK_BLINK_CLASSIC: closed eyes over the open ones."""
    cx = FACE_W / 2
    body = ('  <ellipse cx="%g" cy="11" rx="5" ry="4" fill="%s"/><ellipse cx="%g" cy="11" rx="5" ry="4" fill="%s"/>\n'
            '  <path d="M%g 11 q3 2 6 0 M%g 11 q3 2 6 0" fill="none" stroke="%s" stroke-width="1.5"'
            ' stroke-linecap="round"/>\n' % (cx - 7, SKIN, cx + 7, SKIN, cx - 10, cx + 4, NIGHT))
    write("jack_blink_classic.svg", svg(FACE_W, FACE_H, body, "The miner's closed eyes, drawn over his face."))


def happy_details(cx):
    return ('  <path d="M%g 12 q3 -4 6 0 M%g 12 q3 -4 6 0" fill="none" stroke="%s" stroke-width="2"'
            ' stroke-linecap="round"/>\n'
            '  <path d="M%g 18 q8 8 16 0 Z" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
            % (cx - 10, cx + 4, NIGHT, cx - 8, "#7A2E2E", NIGHT))


def panic_details(cx):
    return (open_eyes(cx, 11).replace('r="3"', 'r="4"').replace('r="1.5"', 'r="1"') +
            '  <path d="M%g 4 l6 3 M%g 4 l-6 3" stroke="%s" stroke-width="1.5" stroke-linecap="round"/>\n'
            '  <ellipse cx="%g" cy="21" rx="4" ry="5" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
            '  <path d="M%g 2 q2 4 0 6 q-2 -2 0 -6 Z" fill="%s"/>\n'
            % (cx - 11, cx + 11, NIGHT, cx, "#7A2E2E", NIGHT, FACE_W - 4, "#9AD4F0"))


def arm():
    """IMAGE_JACK_ARM_CLASSIC: three frames of the right arm rising to a wave."""
    body = ""
    for f in range(ARM_FRAMES):
        angle = math.radians(60 - 70 * f)   # from down-and-out to raised
        sx, sy = 6, ARM_H * f + 34
        ex, ey = sx + 26 * math.cos(angle), sy + 26 * math.sin(angle)
        body += ('  <path d="M%g %g L%g %g" stroke="%s" stroke-width="9" stroke-linecap="round"/>\n'
                 '  <circle cx="%g" cy="%g" r="5" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
                 % (sx, sy, ex, ey, SHIRT, ex, ey, SKIN, NIGHT))
    write("jack_arm_classic.svg", svg(ARM_W, ARM_H * ARM_FRAMES, body,
                                      "The miner's right arm, three frames from lowered to raised."))


def cart():
    """IMAGE_CART_CLASSIC: the wooden cart with iron bands; the level number goes on its side."""
    body = ('  <path d="M4 14 L108 14 L98 56 L14 56 Z" fill="%s" stroke="%s" stroke-width="2"/>\n'
            '  <path d="M4 14 L108 14 L107 20 L5 20 Z" fill="%s"/>\n'
            '  <path d="M9 34 L103 34" stroke="%s" stroke-width="1.5"/>\n'
            '  <rect x="2" y="10" width="108" height="6" rx="2" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
            '  <rect x="40" y="24" width="32" height="24" rx="4" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
            % (ROCK, NIGHT, ROCK_LIGHT, ROCK_DARK, STEEL_DARK, NIGHT, ROCK_DARK, STEEL_DARK))
    for x in (16, 92):
        body += '  <circle cx="%g" cy="24" r="2" fill="%s"/><circle cx="%g" cy="48" r="2" fill="%s"/>\n' % (
            x, STEEL, x + (2 if x < 50 else -2), STEEL)
    write("cart_classic.svg", svg(CART_W, CART_H, body, "The classic mine cart, empty."))


def gold_stages():
    """IMAGE_CART_GOLD_CLASSIC: GOLD_STAGES stacked piles of gold over the cart's rim, low to full."""
    body = ""
    for s in range(GOLD_STAGES):
        top = GOLD_H * s
        height = 6 + 5 * s               # the pile grows with the stage
        base = top + GOLD_H - 2
        body += ('  <path d="M2 %g Q%g %g %g %g Q%g %g %g %g Z" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
                 % (base, GOLD_W * 0.25, base - height * 1.4, GOLD_W / 2, base - height,
                    GOLD_W * 0.75, base - height * 1.4, GOLD_W - 2, base, GOLD, GOLD_DARK))
        for i in range(3 + 2 * s):
            x = 10 + (i * 37) % (GOLD_W - 20)
            y = base - 3 - ((i * 13) % max(1, height))
            body += '  <circle cx="%g" cy="%g" r="3" fill="%s" stroke="%s" stroke-width="1"/>\n' % (
                x, y, GOLD_LIGHT, GOLD_DARK)
    write("cart_gold_classic.svg", svg(GOLD_W, GOLD_H * GOLD_STAGES, body,
                                       "The gold in the cart, one stage per 32 rows, from a little to full."))


def wheel():
    """IMAGE_WHEEL: WHEEL_FRAMES frames of an iron wheel turning."""
    body = ""
    r = WHEEL / 2
    for f in range(WHEEL_FRAMES):
        cy = WHEEL * f + r
        body += '  <circle cx="%g" cy="%g" r="%g" fill="%s" stroke="%s" stroke-width="2"/>\n' % (
            r, cy, r - 1.5, STEEL_DARK, NIGHT)
        for k in range(3):
            a = 2 * math.pi * (f / WHEEL_FRAMES / 3 + k / 3)
            body += '  <path d="M%g %g L%g %g" stroke="%s" stroke-width="2"/>\n' % (
                r, cy, r + (r - 3) * math.cos(a), cy + (r - 3) * math.sin(a), STEEL)
        body += '  <circle cx="%g" cy="%g" r="2.5" fill="%s"/>\n' % (r, cy, NIGHT)
    write("wheel.svg", svg(WHEEL, WHEEL * WHEEL_FRAMES, body, "A cart wheel, frames of a third of a turn."))


if __name__ == "__main__":
    jack()
    blink()
    overlay("jack_happy_classic.svg", "The miner's happy face, drawn over his face.", happy_details)
    overlay("jack_panic_classic.svg", "The miner's panicked face, drawn over his face.", panic_details)
    arm()
    cart()
    gold_stages()
    wheel()
