// What the text widgets share: a text and the font it is drawn in.
#pragma once

#include <string>

class BitmapFont;

class TextHolder {
public:
    virtual ~TextHolder() = default;
    virtual const std::string& getText() const = 0;
    virtual void setText(const std::string& text) = 0;
    virtual BitmapFont* getFont() const = 0;
    virtual void setFont(BitmapFont* font) = 0;
};
