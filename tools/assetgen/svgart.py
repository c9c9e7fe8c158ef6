"""What the picture generators share: the art guide's palette, the SVG wrapper and the writer that puts
a source into assets/images/."""

import os

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "assets", "images")

NIGHT = "#1B1410"
ROCK_DARK = "#3A2A20"
ROCK = "#5C4433"
ROCK_LIGHT = "#8A6A4E"
GOLD = "#F2C230"
GOLD_LIGHT = "#FFE27A"
GOLD_DARK = "#B8861B"
LAMP = "#FFF4D6"
SKY = "#2F8F9D"
STEEL = "#C9CED6"
STEEL_DARK = "#7D8591"


def svg_maker(generator):
    """The wrapper of one generator's pictures: size, view box and a comment naming the generator."""
    def svg(width, height, body, comment):
        return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n'
                '  <!-- %s Written by tools/assetgen/%s. -->\n%s</svg>\n'
                % (width, height, width, height, comment, generator, body))
    return svg


def write(name, text):
    with open(os.path.join(OUT, name), "w", encoding="ascii", newline="\n") as f:
        f.write(text)
