// The panel that brings the player a hint: a top cap, as many middle pieces as the text needs and a
// bottom cap, with the text drawn over them. Its picture is composed once, when it is made; the play
// field slides it in and out and reads which hint it shows, whether that hint was asked for by number
// and when it appeared.
#pragma once

#include "toolkit/sprite/BitmapSprite.h"

#include <cstdint>
#include <string>

class BitmapFont;

class HintSprite : public BitmapSprite {
public:
    HintSprite(const std::string& text, int hintNumber, bool asked);

    unsigned instanceSize() override { return sizeof(HintSprite); }

    int getHintNumber() const { return hintNumber; }
    bool isAsked() const { return asked; }
    // The millisecond clock when the panel was made.
    std::uint32_t getCreatedAt() const { return createdAt; }
    // A slide in or out is under way.
    bool isMoving() const { return !getModifiers().empty(); }

    // The font of every hint text; each new panel looks it up again.
    static BitmapFont* font() { return hintFont; }

private:
    void compose(const std::string& text);

    static BitmapFont* hintFont;

    std::int32_t hintNumber;
    bool asked;
    std::uint32_t createdAt;
};
