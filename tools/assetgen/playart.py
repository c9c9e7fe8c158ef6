#!/usr/bin/env python3
"""Writes the SVG sources of the play screens' surroundings into assets/images/: the classic mine
interior behind the field (pit, frame, pipe, top bar, rock walls, the miner's ledge and the cart's
track) with the two caps over the pipe's ends, and the endless mine (a rock wall that repeats
seamlessly downward while the field scrolls, and the fixed frame over it). Run
`python3 tools/assetgen/playart.py` after changing a drawing."""

import random
from svgart import (NIGHT, ROCK_DARK, ROCK, ROCK_LIGHT, GOLD, GOLD_LIGHT, GOLD_DARK, LAMP, STEEL, STEEL_DARK,
                    svg_maker, write)

svg = svg_maker("playart.py")

# The screen and the places the layout document gives.
SCREEN_W, SCREEN_H = 640, 480
FIELD_X, FIELD_Y, FIELD_W, FIELD_H = 64, 64, 384, 352   # 12 x 11 cells (RECT_LEVEL_BLOCKS_CLIP_RECT_*)
SHAFT_X, SHAFT_Y, SHAFT_W, SHAFT_H = 472, 48, 32, 400   # RECT_TEMP_BLOCK_CLIP_RECT_CLASSIC
BAR_H = 56                                              # the top bar under the score and the menu button
LEDGE_Y = 262                                           # the miner (472, 136) stands with his boots here
TRACK_Y = 384                                           # the cart's wheels (cart at 508, 316) roll here
# The pipe's caps: a flange over each end of the shaft, 8 pixels wider than the pipe's bore on each
# side (SPRITE_PIPE_TOP_CLASSIC at (464, 40) over the top end, _BOTTOM_ at (464, 448) under the lowest
# waiting block).
CAP_W, CAP_H = 48, 24
# The endless wall repeats every WALL_H pixels; the elevator shaft of the endless cart is at the right.
WALL_H = 160
ELEVATOR_X = 520

PIT = "#120D0A"        # the pit behind the blocks: darker than Night's outlines would show
PIT_LINE = "#241A14"   # the faint seams of the pit's back wall


def stones(rnd, x0, y0, x1, y1, count, colours, wrap_h=0):
    """Scattered flat stones in the rectangle; with wrap_h, a stone crossing the bottom edge is drawn
    again one period higher, so the strip repeats without a seam."""
    out = ""
    for _ in range(count):
        x, y = rnd.randint(x0, x1), rnd.randint(y0, y1)
        rx, ry = rnd.randint(6, 16), rnd.randint(3, 7)
        colour = colours[rnd.randrange(len(colours))]
        shapes = [(x, y)]
        if wrap_h and y + ry > wrap_h:
            shapes.append((x, y - wrap_h))
        if wrap_h and y - ry < 0:
            shapes.append((x, y + wrap_h))
        for sx, sy in shapes:
            out += ('  <ellipse cx="%d" cy="%d" rx="%d" ry="%d" fill="%s" stroke="%s" stroke-width="1"/>\n'
                    % (sx, sy, rx, ry, colour, NIGHT))
    return out


def gold_flecks(points):
    return "".join('  <circle cx="%d" cy="%d" r="2" fill="%s"/>\n' % (x, y, GOLD) for x, y in points)


def pit(x, y, w, h):
    """The dark back wall behind the field, with faint seams a cell apart so the columns read."""
    out = '  <rect x="%d" y="%d" width="%d" height="%d" fill="%s"/>\n' % (x, y, w, h, PIT)
    for gx in range(x + 32, x + w, 32):
        out += ('  <path d="M%d %d L%d %d" stroke="%s" stroke-width="1"/>\n'
                % (gx, y, gx, y + h, PIT_LINE))
    return out


def timber_frame(x, y, w, h, t=8):
    """A timber frame of thickness t around the rectangle (x, y, w, h), posts at the corners."""
    out = ('  <path d="M%d %d h%d v%d h%d Z M%d %d v%d h%d v%d Z" fill="%s" fill-rule="evenodd" '
           'stroke="%s" stroke-width="2" stroke-linejoin="round"/>\n'
           % (x - t, y - t, w + 2 * t, h + 2 * t, -(w + 2 * t), x, y, h, w, -h, ROCK_LIGHT, NIGHT))
    # The grain of the beams, and a nail at each corner.
    out += ('  <path d="M%d %d H%d M%d %d H%d" stroke="%s" stroke-width="1"/>\n'
            % (x, y - t / 2, x + w, x, y + h + t / 2, x + w, ROCK))
    for cx, cy in ((x - t / 2, y - t / 2), (x + w + t / 2, y - t / 2), (x - t / 2, y + h + t / 2),
                   (x + w + t / 2, y + h + t / 2)):
        out += '  <circle cx="%g" cy="%g" r="1.5" fill="%s"/>\n' % (cx, cy, STEEL_DARK)
    return out


def plate(x, y, w, h):
    """A recessed plate with a gold rim, for a line of FONT_BIG."""
    return ('  <rect x="%d" y="%d" width="%d" height="%d" rx="4" fill="%s" stroke="%s" stroke-width="2"/>\n'
            '  <rect x="%d" y="%d" width="%d" height="%d" rx="3" fill="none" stroke="%s" stroke-width="1"/>\n'
            % (x, y, w, h, ROCK_DARK, NIGHT, x + 2, y + 2, w - 4, h - 4, GOLD_DARK))


def socket(x, y, w, h):
    """The dark socket a button sits in."""
    return ('  <rect x="%d" y="%d" width="%d" height="%d" rx="6" fill="%s" stroke="%s" stroke-width="2"/>\n'
            % (x, y, w, h, ROCK_DARK, NIGHT))


def top_bar(endless):
    """The beam across the top. Classic: the score's plate (the score label ends at x 443) and the menu
    button's socket at the right. Endless: the menu button slides in at the left end with the score
    beside it (ending at x 273), and the depth sits at the right (x 370 to 525), clear of the hint
    panel in the middle, which the depth label would be drawn over."""
    out = ('  <rect x="-2" y="-2" width="%d" height="%d" fill="%s" stroke="%s" stroke-width="2"/>\n'
           % (SCREEN_W + 4, BAR_H + 2, ROCK, NIGHT))
    out += ('  <path d="M0 %d H%d" stroke="%s" stroke-width="2"/>\n'
            '  <path d="M0 8 H%d M0 %d H%d" stroke="%s" stroke-width="1"/>\n'
            % (BAR_H - 4, SCREEN_W, ROCK_LIGHT, SCREEN_W, BAR_H - 10, SCREEN_W, ROCK_DARK))
    if endless:
        out += socket(-8, 12, 92, 40) + plate(88, 12, 192, 36) + plate(364, 12, 166, 36)
        bolts = (300, 322, 344)
    else:
        out += plate(284, 12, 168, 36) + socket(544, 12, 88, 40)
        bolts = (16, 160, 472, 520)
    for x in bolts:
        out += '  <circle cx="%d" cy="30" r="3" fill="%s" stroke="%s" stroke-width="1"/>\n' % (x, STEEL_DARK, NIGHT)
    return out


def pipe(x, y, w, h):
    """The shaft of waiting blocks as an iron pipe: thick steel walls either side of a dark bore,
    ringed every two cells; it runs on down into the floor."""
    out = ('  <rect x="%d" y="%d" width="%d" height="%d" fill="%s" stroke="%s" stroke-width="2"/>\n'
           % (x - 9, y, w + 18, h, STEEL_DARK, NIGHT))
    out += ('  <path d="M%d %d V%d M%d %d V%d" stroke="%s" stroke-width="3"/>\n'
            % (x - 5, y, y + h, x + w + 4, y, y + h, STEEL))
    out += '  <rect x="%d" y="%d" width="%d" height="%d" fill="%s" stroke="%s" stroke-width="1"/>\n' % (
        x - 1, y, w + 2, h, PIT, NIGHT)
    for by in range(y + 56, y + h - 8, 64):
        for bx in (x - 11, x + w + 1):
            out += ('  <rect x="%d" y="%d" width="10" height="8" rx="2" fill="%s" stroke="%s" stroke-width="1.5"/>\n'
                    % (bx, by, STEEL, NIGHT))
    return out


def classic_background():
    """IMAGE_PLAYSCENE_BACKGROUND_CLASSIC: the whole classic screen behind the sprites."""
    rnd = random.Random(11)
    body = '  <rect width="%d" height="%d" fill="%s"/>\n' % (SCREEN_W, SCREEN_H, ROCK_DARK)
    # Rock layers: a few slanted bands, then stones.
    for y0 in (120, 230, 340, 440):
        body += ('  <path d="M0 %d L640 %d L640 %d L0 %d Z" fill="%s"/>\n'
                 % (y0, y0 - 24, y0 - 12, y0 + 14, ROCK))
    body += stones(rnd, 8, 64, 632, 472, 70, [ROCK, ROCK, ROCK_LIGHT])
    body += gold_flecks([(24, 150), (40, 330), (600, 210), (560, 450), (30, 460)])
    # The pit and its frame.
    body += timber_frame(FIELD_X, FIELD_Y, FIELD_W, FIELD_H)
    body += pit(FIELD_X, FIELD_Y, FIELD_W, FIELD_H)
    # Below the field: the floor of the pit (the waiting row is pushed in from here).
    body += ('  <rect x="%d" y="%d" width="%d" height="%d" fill="%s" stroke="%s" stroke-width="2"/>\n'
             % (FIELD_X - 16, FIELD_Y + FIELD_H + 8, FIELD_W + 32, SCREEN_H - FIELD_Y - FIELD_H - 8 + 2, ROCK,
                NIGHT))
    body += stones(rnd, FIELD_X, FIELD_Y + FIELD_H + 20, FIELD_X + FIELD_W, SCREEN_H - 8, 10, [ROCK_DARK, ROCK_LIGHT])
    # The miner's ledge beside the pipe, and the track the cart stands on.
    body += ('  <path d="M%d %d L640 %d L640 %d L%d %d Z" fill="%s" stroke="%s" stroke-width="2" '
             'stroke-linejoin="round"/>\n'
             % (SHAFT_X + SHAFT_W, LEDGE_Y, LEDGE_Y - 2, LEDGE_Y + 18, SHAFT_X + SHAFT_W + 10, LEDGE_Y + 24,
                ROCK_LIGHT, NIGHT))
    body += ('  <path d="M%d %d L640 %d" stroke="%s" stroke-width="1"/>\n'
             % (SHAFT_X + SHAFT_W + 4, LEDGE_Y + 8, LEDGE_Y + 6, ROCK))
    body += ('  <rect x="%d" y="%d" width="%d" height="%d" fill="%s" stroke="%s" stroke-width="2"/>\n'
             % (SHAFT_X + SHAFT_W + 2, TRACK_Y, SCREEN_W, SCREEN_H - TRACK_Y + 2, ROCK, NIGHT))
    body += ('  <rect x="%d" y="%d" width="%d" height="4" fill="%s" stroke="%s" stroke-width="1"/>\n'
             % (SHAFT_X + SHAFT_W + 2, TRACK_Y - 2, SCREEN_W, STEEL, NIGHT))
    for x in range(SHAFT_X + SHAFT_W + 12, SCREEN_W, 24):
        body += ('  <rect x="%d" y="%d" width="12" height="6" fill="%s" stroke="%s" stroke-width="1"/>\n'
                 % (x, TRACK_Y + 2, ROCK_LIGHT, NIGHT))
    body += pipe(SHAFT_X, SHAFT_Y, SHAFT_W, SCREEN_H - SHAFT_Y + 2)
    body += top_bar(False)
    write("playscene_background_classic.svg",
          svg(SCREEN_W, SCREEN_H, body, "The classic play screen behind the field, the pipe and the miner."))


def cap(name, comment, flange_y):
    """A pipe cap: a steel flange across the shaft's end with its bolts; flange_y is where the
    flange's broad band sits (the end that faces away from the bore)."""
    body = ('  <rect x="1" y="%d" width="%d" height="10" rx="3" fill="%s" stroke="%s" stroke-width="2"/>\n'
            % (flange_y, CAP_W - 2, STEEL, NIGHT))
    collar_y = 10 if flange_y == 1 else 1
    body += ('  <rect x="5" y="%d" width="%d" height="%d" fill="%s" stroke="%s" stroke-width="2"/>\n'
             % (collar_y, CAP_W - 10, CAP_H - 11, STEEL_DARK, NIGHT))
    body += ('  <path d="M7 %d H%d" stroke="%s" stroke-width="1"/>\n'
             % (collar_y + 3, CAP_W - 7, STEEL))
    for x in (7, CAP_W - 7):
        body += ('  <circle cx="%d" cy="%d" r="2" fill="%s" stroke="%s" stroke-width="1"/>\n'
                 % (x, flange_y + 5, STEEL_DARK, NIGHT))
    write(name, svg(CAP_W, CAP_H, body, comment))


def endless_wall():
    """IMAGE_PLAYSCENE_WALL_ENDLESS: a band of the endless mine, WALL_H high, whose bottom runs on into
    its top: rock walls at both sides, the dark pit behind the field, the elevator shaft at the right."""
    rnd = random.Random(23)
    body = '  <rect width="%d" height="%d" fill="%s"/>\n' % (SCREEN_W, WALL_H, ROCK_DARK)
    body += stones(rnd, 4, 0, FIELD_X - 16, WALL_H, 6, [ROCK, ROCK_LIGHT], WALL_H)
    body += stones(rnd, FIELD_X + FIELD_W + 16, 0, ELEVATOR_X - 8, WALL_H, 4, [ROCK, ROCK_LIGHT], WALL_H)
    body += pit(FIELD_X, 0, FIELD_W, WALL_H)
    # A few seams in the pit's back wall, so the descent shows even behind a thin field.
    for _ in range(5):
        x, y = rnd.randint(FIELD_X + 8, FIELD_X + FIELD_W - 40), rnd.randint(8, WALL_H - 8)
        body += ('  <path d="M%d %d l%d %d l%d %d" fill="none" stroke="%s" stroke-width="1"/>\n'
                 % (x, y, rnd.randint(8, 20), rnd.randint(-4, 4), rnd.randint(8, 20), rnd.randint(-4, 4), ROCK_DARK))
    # The elevator shaft: a darker slot with a guide rail either side and sleepers between.
    body += ('  <rect x="%d" y="0" width="%d" height="%d" fill="%s"/>\n'
             % (ELEVATOR_X, SCREEN_W - ELEVATOR_X, WALL_H, PIT))
    for y in range(8, WALL_H, 40):
        body += ('  <rect x="%d" y="%d" width="%d" height="6" fill="%s" stroke="%s" stroke-width="1"/>\n'
                 % (ELEVATOR_X, y, SCREEN_W - ELEVATOR_X, ROCK, NIGHT))
    body += gold_flecks([(20, 40), (484, 120)])
    write("playscene_wall_endless.svg",
          svg(SCREEN_W, WALL_H, body, "The endless mine's wall, repeating downward without a seam."))


def endless_frame():
    """IMAGE_PLAYSCENE_FRAME_ENDLESS: what stands still over the scrolling wall: the top bar, the
    timber posts beside the field and the elevator's guide rails."""
    body = ""
    # Timber posts either side of the field, from the top bar to the bottom of the screen.
    for x in (FIELD_X - 8, FIELD_X + FIELD_W):
        body += ('  <rect x="%d" y="%d" width="8" height="%d" fill="%s" stroke="%s" stroke-width="2"/>\n'
                 % (x, BAR_H - 2, SCREEN_H - BAR_H + 4, ROCK_LIGHT, NIGHT))
        body += ('  <path d="M%d %d V%d" stroke="%s" stroke-width="1"/>\n'
                 % (x + 4, BAR_H, SCREEN_H, ROCK))
    # The guide rails of the elevator.
    for x in (ELEVATOR_X + 2, SCREEN_W - 8):
        body += ('  <rect x="%d" y="%d" width="6" height="%d" fill="%s" stroke="%s" stroke-width="1"/>\n'
                 % (x, BAR_H - 2, SCREEN_H - BAR_H + 4, STEEL, NIGHT))
    body += top_bar(True)
    write("playscene_frame_endless.svg",
          svg(SCREEN_W, SCREEN_H, body, "The endless play screen's fixed frame over the scrolling wall."))


if __name__ == "__main__":
    classic_background()
    cap("pipe_top_classic.svg", "The cap over the pipe's top end.", 1)
    cap("pipe_bottom_classic.svg", "The cap over the pipe's bottom end.", CAP_H - 11)
    endless_wall()
    endless_frame()
