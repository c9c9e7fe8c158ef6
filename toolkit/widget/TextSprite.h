// A sprite that renders a multi-line text once, when it is made, into an image and a mask of its own,
// and from then on draws like any bitmap sprite (so modifiers can fade and move it at no text cost).
// Lines are centred against the widest one; the mask holds every glyph fully opaque with a half-strength
// copy one pixel down and right around it.
#pragma once

#include "toolkit/sprite/XMLSprite.h"

#include <string>

class BitmapFont;

class TextSprite : public XMLSprite {
public:
    TextSprite(BitmapFont* font, const std::string& text, int x, int y);

    unsigned instanceSize() override { return sizeof(TextSprite); }
};
