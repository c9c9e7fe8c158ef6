// A score text that floats over the field: drawn twice with its font, a shadow three pixels down and
// right and the text on top, in a colour that runs down a colour-bar picture one row per nominal frame.
// Its y keeps a base and an offset apart so that a scrolling field can carry every floater with it.
#pragma once

#include "toolkit/sprite/BitmapSprite.h"

#include <cstdint>
#include <string>

class BitmapFont;

class Floater : public BitmapSprite {
public:
    // Anchored at the top centre of its text; clipped to the game area.
    Floater(const std::string& text, BitmapFont* font, int x, int y);
    ~Floater() override;

    unsigned instanceSize() override { return sizeof(Floater); }
    void tick() override;
    void draw(Surface* target) override;
    // The base y; the drawn y is the base plus the offset, never above the top of the screen.
    void setY(int y) override;

    void setText(const std::string& newText);
    const std::string& getText() const { return text; }
    // 0x00RRGGBB.
    void setColor(std::uint32_t colour);
    std::uint32_t getColor() const { return textColour; }
    void setShadowColor(std::uint32_t colour) { shadowColour = colour; }
    std::uint32_t getShadowColor() const { return shadowColour; }
    void setColorCycling(bool on) { cycling = on; }
    bool isColorCycling() const { return cycling; }
    void setYOffset(int offset);
    int getYOffset() const { return yOffset; }
    int getBaseY() const { return baseY; }

private:
    std::uint32_t barColour(int row) const;

    BitmapFont* font;
    std::string text;
    float colourPosition = 0.0f;
    std::uint32_t textColour = 0;
    std::uint32_t shadowColour = 0;
    bool cycling = true;
    SurfaceHolder* colourBar = nullptr;
    int yOffset = 0;
    int baseY = 0;
};
