// Checks the dialogs on a screen from their sprites' rectangles, not from pixels: every button of a
// dialog lies inside the dialog's frame, and the tooltip a button shows when the pointer rests on its
// middle lies inside the frame too and covers no other control's text (another button, or a line of a
// label). The tooltip's box is placed as the tooltip renderer places it (20 pixels below the pointer,
// its text's size plus the insets, kept 5 pixels inside the screen). Works on any host, headless too:
// it only walks the sprite tree.
#pragma once

#include "platform/font/BitmapFont.h"
#include "toolkit/dialog/Dialog.h"
#include "toolkit/dialog/FramedDialog.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteContainer.h"
#include "toolkit/sprite/TooltipSource.h"
#include "toolkit/widget/PixelFontLabel.h"
#include "toolkit/widget/ToolTipSpriteRenderer.h"
#include "toolkit/widget/TooltipManagerSprite.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

struct Box {
    int x = 0, y = 0, width = 0, height = 0;
    bool inside(const Box& outer) const
    {
        return x >= outer.x && y >= outer.y && x + width <= outer.x + outer.width &&
               y + height <= outer.y + outer.height;
    }
    bool overlaps(const Box& other) const
    {
        return x < other.x + other.width && other.x < x + width && y < other.y + other.height &&
               other.y < y + height;
    }
};

inline std::ostream& operator<<(std::ostream& out, const Box& b)
{
    return out << "(" << b.x << ", " << b.y << ", " << b.width << "x" << b.height << ")";
}

inline Box boxOf(const Sprite* sprite)
{
    return {sprite->getAbsoluteX(), sprite->getAbsoluteY(), sprite->getWidth(), sprite->getHeight()};
}

// Where the renderer puts a tooltip of `text` with the pointer at (px, py) on a screen of that size.
inline Box tooltipBox(BitmapFont& font, const std::string& text, int px, int py, int screenWidth, int screenHeight)
{
    constexpr int offsetY = 20, margin = 5, insetX = 3, insetY = 2;
    int widest = 0, lines = 0;
    std::istringstream paragraphs(text);
    for (std::string line; std::getline(paragraphs, line); ++lines)
        widest = std::max(widest, font.measure(line));
    Box box{px, py + offsetY, widest + 2 * insetX, std::max(lines, 1) * font.getLineHeight() + 2 * insetY};
    if (box.x < margin)
        box.x = margin;
    else if (box.x + box.width > screenWidth - margin)
        box.x = screenWidth - box.width - margin;
    if (box.y < margin) {
        box.y = margin;
    } else if (box.y + box.height > screenHeight - margin) {
        box.y = py - box.height;
        if (box.y > screenHeight - margin)
            box.y = screenHeight - margin;
    }
    return box;
}

namespace detail {

inline void collect(Sprite* sprite, std::vector<Sprite*>& into)
{
    if (sprite == nullptr || sprite->isObsolete() || !sprite->isVisible())
        return;
    into.push_back(sprite);
    if (auto* container = dynamic_cast<SpriteContainer*>(sprite))
        for (Sprite* child : container->getChildren())
            collect(child, into);
}

// The rectangles a control's text takes: each line of a label, a button whole (its caption).
inline std::vector<Box> textBoxes(Sprite* sprite)
{
    std::vector<Box> boxes;
    if (auto* label = dynamic_cast<PixelFontLabel*>(sprite)) {
        if (label->getText().empty() || !label->isTextShown() || label->getFont() == nullptr)
            return boxes;
        const auto& lines = label->getLines();
        const auto& at = label->getLinePositions();
        for (std::size_t i = 0; i < lines.size() && i < at.size(); ++i)
            if (!lines[i].empty())
                boxes.push_back({label->getAbsoluteX() + at[i].x, label->getAbsoluteY() + at[i].y,
                                 label->styledWidth(lines[i]), label->styledHeight()});
    } else if (dynamic_cast<TooltipSource*>(sprite) != nullptr && dynamic_cast<SpriteContainer*>(sprite) == nullptr) {
        boxes.push_back(boxOf(sprite));
    }
    return boxes;
}

} // namespace detail

// The frame a player sees: a framed dialog draws its sides 13 pixels inside its rectangle.
inline Box frameOf(Dialog* dialog)
{
    Box frame = boxOf(dialog);
    if (dynamic_cast<FramedDialog*>(dialog) != nullptr) {
        frame.x += 13;
        frame.width -= 26;
    }
    return frame;
}

struct RectangleFault {
    std::string dialog;
    std::string control;
    bool tooltip = false; // else the control itself sticks out
    std::string text;
};

// Every fault found on the canvas; empty when every dialog is in order.
inline std::vector<RectangleFault> dialogRectangleFaults(SpriteCanvas& canvas, int screenWidth, int screenHeight)
{
    std::vector<RectangleFault> faults;
    for (Sprite* top : canvas.getSprites()) {
        auto* dialog = dynamic_cast<Dialog*>(top);
        if (dialog == nullptr || dialog->isObsolete() || !dialog->isVisible())
            continue;
        const Box frame = frameOf(dialog);
        const std::string where = dialog->getName() + " " + [&] {
            std::ostringstream text;
            text << frame;
            return text.str();
        }();
        std::vector<Sprite*> parts;
        for (Sprite* child : dialog->getChildren())
            detail::collect(child, parts);
        for (Sprite* part : parts)
            if (dynamic_cast<TooltipSource*>(part) != nullptr && dynamic_cast<SpriteContainer*>(part) == nullptr &&
                !boxOf(part).inside(frame)) {
                std::ostringstream text;
                text << where << ": " << part->getName() << " " << boxOf(part) << " sticks out of the frame";
                faults.push_back({dialog->getName(), part->getName(), false, text.str()});
            }

        TooltipManagerSprite* tooltips = dialog->getTooltipManager();
        auto* renderer = tooltips != nullptr ? dynamic_cast<ToolTipSpriteRenderer*>(tooltips->getRenderer()) : nullptr;
        BitmapFont* font = renderer != nullptr ? renderer->getFont() : nullptr;
        if (font == nullptr)
            continue;
        for (TooltipSource* source : tooltips->getSources()) {
            auto* control = dynamic_cast<Sprite*>(source);
            const std::string text = source->getTooltip();
            if (control == nullptr || control->isObsolete() || !control->isVisible() || text.empty() ||
                std::find(parts.begin(), parts.end(), control) == parts.end())
                continue;
            const Box rest = boxOf(control);
            const Box box = tooltipBox(*font, text, rest.x + rest.width / 2, rest.y + rest.height / 2, screenWidth,
                                       screenHeight);
            std::ostringstream head;
            head << where << ": the tooltip \"" << text << "\" of " << control->getName() << " at " << box;
            if (!box.inside(frame))
                faults.push_back({dialog->getName(), control->getName(), true, head.str() + " hangs off the frame"});
            for (Sprite* other : parts) {
                if (other == control)
                    continue;
                for (const Box& words : detail::textBoxes(other))
                    if (box.overlaps(words)) {
                        std::ostringstream text2;
                        text2 << head.str() << " covers the text of " << other->getName() << " " << words;
                        faults.push_back({dialog->getName(), control->getName(), true, text2.str()});
                        break;
                    }
            }
        }
    }
    return faults;
}

// Tooltips the renderer still places across a dialog's frame or over other text: it puts a box 20
// pixels below the pointer, whatever lies there. Each is "<dialog> <control>". Mend one and take it off;
// a new one fails.
inline const std::vector<std::string>& tooltipsStillOut()
{
    static const std::vector<std::string> known = {
        "DIALOG_NAME_SELECT BUTTON_ADD", "DIALOG_NAME_SELECT BUTTON_CLEAR", "DIALOG_HELP BUTTON_PREV",
        "DIALOG_HELP BUTTON_NEXT", "DIALOG_OPTIONS SLIDER_SOUNDFX", "DIALOG_OPTIONS SLIDER_MUSIC",
        "DIALOG_OPTIONS TOGGLE_FULL_SCREEN", "DIALOG_OPTIONS TOGGLE_SHOW_HINTS", "DIALOG_OPTIONS BUTTON_INFO",
        "DIALOG_START_GAME BUTTON_PREV", "DIALOG_START_GAME BUTTON_NEXT", "DIALOG_HIGHSCORE BUTTON_PREV",
        "DIALOG_HIGHSCORE BUTTON_NEXT", "DIALOG_HIGHSCORE BUTTON_CLEAR", "DIALOG_STOP_GAME BUTTON_YES",
        "DIALOG_STOP_GAME BUTTON_NO", "DIALOG_STOP_GAME BUTTON_CANCEL", "DIALOG_BONUS ",
        "DIALOG_TREASURE_CLAIMED BUTTON_TREASURE_CHEST",
        " BUTTON_TREASURE_DUMMY", " BUTTON_TREASURE_CHEST_GEMSTONES", " BUTTON_TREASURE_CHEST_ANTIQUITIES",
    };
    return known;
}

inline bool knownTooltipFault(const RectangleFault& fault)
{
    const auto& known = tooltipsStillOut();
    return fault.tooltip && std::find(known.begin(), known.end(), fault.dialog + " " + fault.control) != known.end();
}

// The faults on the canvas that are not among the known tooltips; `seen`, when given, collects the
// known ones met, so a caller that walks every dialog can tell which are mended.
inline std::vector<RectangleFault> newDialogRectangleFaults(SpriteCanvas& canvas, int screenWidth, int screenHeight,
                                                            std::vector<std::string>* seen = nullptr)
{
    std::vector<RectangleFault> fresh;
    for (RectangleFault& fault : dialogRectangleFaults(canvas, screenWidth, screenHeight)) {
        if (!knownTooltipFault(fault))
            fresh.push_back(std::move(fault));
        else if (seen != nullptr)
            seen->push_back(fault.dialog + " " + fault.control);
    }
    return fresh;
}

} // namespace testsupport
