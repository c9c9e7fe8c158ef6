// The plain panel the play fields show over their playing area at the end of a level or a game: a
// header line, rows of a description with its value on the same line, and a continue button. The
// field builds it, listens to it and learns from its closing that the player went on.
#pragma once

#include "toolkit/dialog/Dialog.h"

#include <string>
#include <vector>

class PixelFontLabel;

class GameOverStatsDialog : public Dialog {
public:
    // The field's box (x, y, width, height); the panel keeps x and the width, fits its height to what
    // it holds and centres itself on the box's middle line. A values list shorter than the texts is
    // an error of the caller (std::out_of_range); a longer one's extra values are not shown.
    GameOverStatsDialog(int x, int y, int width, int height, const std::string& header,
                        const std::vector<std::string>& rowTexts, const std::vector<std::string>& rowValues);
    ~GameOverStatsDialog() override;

    unsigned instanceSize() override { return sizeof(GameOverStatsDialog); }

    PixelFontLabel* getHeader() const { return header; }

private:
    PixelFontLabel* header = nullptr;
};
