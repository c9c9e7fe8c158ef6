#include "toolkit/widget/PixelFontInputLabel.h"

#include "compat/win32/system/notify/beep.h"
#include "compat/win32/system/notify/messagebox.h"
#include "platform/font/BitmapFont.h"
#include "platform/raster/Fill.h"
#include "resources/layout/XmlAttr.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <algorithm>

const ClassRecord PixelFontInputLabel::classRecord("PixelFontInputLabel", &PixelFontLabel::classRecord);

namespace {

bool isHigh(char c)
{
    return static_cast<unsigned char>(c) >= 161;
}

} // namespace

bool CursorBlinker::update(int elapsedMs)
{
    const long long period = static_cast<long long>(timeOn) + timeOff;
    bool nowVisible = true;
    // Without a sensible period the cursor simply stays on.
    if (period > 0) {
        phase = static_cast<int>((static_cast<long long>(phase) + std::max(elapsedMs, 0)) % period);
        nowVisible = phase < timeOn;
    }
    if (nowVisible == visible)
        return false;
    visible = nowVisible;
    changed = true;
    return true;
}

void CursorBlinker::restart()
{
    phase = 0;
    if (!visible) {
        visible = true;
        changed = true;
    }
}

void CursorBlinker::draw(Surface* target, int x, int y)
{
    if (visible && target && width > 0 && height > 0)
        invertRect(target, x, y, width, height);
    changed = false;
}

const std::string& PixelFontInputLabel::defaultCharacterSet()
{
    static const std::string set =
        " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!@#$%*()/:;'+,-.=?"
        "\xA1\xA2\xA3\xA5\xA7\xA9\xAE\xBF"
        "\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6"
        "\xD8\xD9\xDA\xDB\xDC\xDD\xDF"
        "\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF0\xF1\xF2\xF3\xF4\xF5\xF6"
        "\xF8\xF9\xFA\xFB\xFC"
        "?";
    return set;
}

PixelFontInputLabel::PixelFontInputLabel()
    : charFilter(defaultCharacterSet()), blinker(std::make_unique<CursorBlinker>(this))
{
    addStateFlags(StateConsumesPress);
    addInputFlags(29574);
}

PixelFontInputLabel::~PixelFontInputLabel() = default;

void PixelFontInputLabel::readXML(const TiXmlElement* element)
{
    PixelFontLabel::readXML(element);
    if (!element)
        return;
    XmlAttr::getBool(element, "numbersonly", numbersOnly);
    XmlAttr::getInt(element, "maxlength", maxLength);
    XmlAttr::getString(element, "charfilter", charFilter);
    XmlAttr::getBool(element, "readonly", readOnly);
    XmlAttr::getInt(element, "cursorwidth", cursorWidth);
    XmlAttr::getInt(element, "cursortimeon", blinker->timeOn);
    XmlAttr::getInt(element, "cursortimeoff", blinker->timeOff);
    // Sizes the cursor for the font and text just read.
    setCursor(cursor);
}

void PixelFontInputLabel::setText(const std::string& newText)
{
    PixelFontLabel::setText(newText);
    setCursor(static_cast<int>(text.size()));
}

void PixelFontInputLabel::setFocused(bool value)
{
    if (value == focused)
        return;
    focused = value;
    setDirty(true);
}

int PixelFontInputLabel::textWidth(int from, int to) const
{
    const int length = static_cast<int>(text.size());
    from = std::clamp(from, 0, length);
    to = std::clamp(to, from, length);
    if (!font || from == to)
        return 0;
    return font->measureMarkup(text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from)));
}

int PixelFontInputLabel::highBytesBefore(int count) const
{
    count = std::clamp(count, 0, static_cast<int>(text.size()));
    return static_cast<int>(std::count_if(text.begin(), text.begin() + count, isHigh));
}

void PixelFontInputLabel::setCursor(int position)
{
    cursor = std::clamp(position, 0, static_cast<int>(text.size()));
    cursorX = textWidth(0, cursor);
    blinker->restart();
    blinker->setSize(cursorWidth, font ? font->getLineHeight() : 0);
    if (selecting)
        setSelectionEnd(cursor);
    setDirty(true);
}

void PixelFontInputLabel::setSelection(int start, int end)
{
    selectionStart = start;
    selectionEnd = start == end ? -1 : end;
    setDirty(true);
}

void PixelFontInputLabel::setSelectionStart(int start)
{
    setSelection(start, selectionEnd);
}

void PixelFontInputLabel::setSelectionEnd(int end)
{
    setSelection(selectionStart, end);
}

void PixelFontInputLabel::selectAll()
{
    setSelection(0, static_cast<int>(text.size()));
}

void PixelFontInputLabel::erase(int position, int count)
{
    const int length = static_cast<int>(text.size());
    position = std::clamp(position, 0, length);
    count = std::clamp(count, 0, length - position);
    text.erase(static_cast<std::size_t>(position), static_cast<std::size_t>(count));
    textChanged = true;
    setDirty(true);
}

bool PixelFontInputLabel::deleteSelection()
{
    if (!hasSelection())
        return false;
    // Indices left over from a longer text are cut to the present one.
    const int length = static_cast<int>(text.size());
    const int low = std::clamp(std::min(selectionStart, selectionEnd), 0, length);
    const int high = std::clamp(std::max(selectionStart, selectionEnd), 0, length);
    erase(low, high - low);
    clearSelection();
    setCursor(low);
    return true;
}

int PixelFontInputLabel::stepLeft(int from) const
{
    if (from <= 0)
        return 0;
    // The byte left of the position closes a pair when an odd count of halves comes before it.
    const int step = from >= 2 && highBytesBefore(from - 1) % 2 == 1 ? 2 : 1;
    return from - step;
}

int PixelFontInputLabel::stepRight(int from) const
{
    const int length = static_cast<int>(text.size());
    if (from >= length)
        return length;
    const int step = highBytesBefore(from + 1) % 2 == 1 ? 2 : 1;
    return std::min(from + step, length);
}

bool PixelFontInputLabel::dropsSelection()
{
    if (selecting || !hasSelection())
        return false;
    clearSelection();
    return true;
}

void PixelFontInputLabel::onKeyPressed(int key)
{
    if (!focused || readOnly)
        return;
    const int length = static_cast<int>(text.size());
    switch (key) {
    case KeyBackspace:
        if (!deleteSelection() && cursor > 0) {
            const int step = cursor >= 2 && isHigh(text[static_cast<std::size_t>(cursor - 1)]) ? 2 : 1;
            erase(cursor - step, step);
            setCursor(cursor - step);
        }
        break;
    case KeyTab:
        setFocused(true);
        break;
    case KeyEnter:
        setFocused(false);
        break;
    case KeyShift:
        heldInput |= HeldShift;
        if (!selecting) {
            clearSelection();
            selecting = true;
            setSelectionStart(cursor);
        }
        break;
    case KeyCtrl:
        heldInput |= HeldCtrl;
        break;
    case KeyEscape:
        clearSelection();
        break;
    case KeyEnd:
        setCursor(length);
        dropsSelection();
        break;
    case KeyHome:
        setCursor(0);
        dropsSelection();
        break;
    case KeyLeft:
        if (heldInput & HeldCtrl) {
            int at = cursor;
            while (at > 0 && text[static_cast<std::size_t>(at - 1)] == ' ')
                --at;
            while (at > 0 && text[static_cast<std::size_t>(at - 1)] != ' ')
                at = stepLeft(at);
            setCursor(at);
        } else if (!dropsSelection()) {
            setCursor(stepLeft(cursor));
        }
        break;
    case KeyRight:
        if (heldInput & HeldCtrl) {
            int at = cursor;
            while (at < length && text[static_cast<std::size_t>(at)] != ' ')
                ++at;
            while (at < length && text[static_cast<std::size_t>(at)] == ' ')
                at = stepRight(at);
            setCursor(at);
        } else if (!dropsSelection()) {
            setCursor(stepRight(cursor));
        }
        break;
    case KeyDelete:
        if (!deleteSelection() && cursor < length) {
            const int step = isHigh(text[static_cast<std::size_t>(cursor)]) && cursor + 1 < length ? 2 : 1;
            erase(cursor, step);
            setCursor(cursor);
        }
        break;
    default:
        break;
    }
}

void PixelFontInputLabel::onKeyReleased(int key)
{
    if (!focused)
        return;
    if (key == KeyShift) {
        heldInput &= ~HeldShift;
        selecting = false;
    } else if (key == KeyCtrl) {
        heldInput &= ~HeldCtrl;
    }
}

void PixelFontInputLabel::onKeyTyped(int character)
{
    const int c = character & 0xFF;
    if ((numbersOnly && (c < '0' || c > '9')) || !focused || readOnly || c >= 161)
        return;
    // Control characters come with the keys that make them (Backspace, Tab, Enter, Escape), which the
    // key handler has dealt with: they are not text, and must neither erase a selection nor beep.
    if (c < 32 || c == 127)
        return;
    deleteSelection();
    selecting = false;
    const bool full = maxLength >= 0 && static_cast<int>(text.size()) >= maxLength;
    if (full || charFilter.find(static_cast<char>(c)) == std::string::npos) {
        MessageBeep(MB_ICONWARNING); // the exclamation sound
        return;
    }
    text.insert(static_cast<std::size_t>(std::min(cursor, static_cast<int>(text.size()))), 1, static_cast<char>(c));
    textChanged = true;
    setCursor(cursor + 1);
    setDirty(true);
}

int PixelFontInputLabel::characterAt(int x) const
{
    const int rx = x - getAbsoluteX();
    const int length = static_cast<int>(text.size());
    if (rx >= textWidth(0, length))
        return length;
    int i = 0;
    while (i < length && rx >= textWidth(0, i + 1))
        ++i;
    if (highBytesBefore(i) % 2 == 1)
        --i;
    return std::max(i, 0);
}

void PixelFontInputLabel::onLeftPressed(int x, int y, int, int doubleClick)
{
    pressX = x;
    pressY = y;
    if (readOnly) {
        setFocused(false);
        return;
    }
    heldInput |= HeldMouse;
    setFocused(true);
    if (doubleClick == 0) {
        const int at = characterAt(x);
        setCursor(at);
        if (!selecting) {
            setSelection(at, -1);
            selecting = true;
        }
    } else {
        selectAll();
        setCursor(static_cast<int>(text.size()));
    }
    if (hasStateFlags(StateConsumesPress) && getCanvas())
        getCanvas()->consumeEvent();
}

void PixelFontInputLabel::onMouseMoved(int x, int y, int)
{
    // The canvas follows every press with a move to the same point; that one move is no drag, and must
    // not pull the cursor of a double click back from the end. Later moves to that point are drags.
    const bool echoOfPress = x == pressX && y == pressY;
    pressX = pressY = -1;
    if (echoOfPress)
        return;
    if ((heldInput & HeldMouse) && contains(x, y) && !readOnly)
        setCursor(characterAt(x));
}

void PixelFontInputLabel::onLeftReleased(int, int, int)
{
    pressX = pressY = -1;
    heldInput &= ~HeldMouse;
    selecting = false;
}

void PixelFontInputLabel::onMouseExited(int, int)
{
    selecting = false;
    heldInput = 0;
}

void PixelFontInputLabel::tick()
{
    PixelFontLabel::tick();
    if (blinker->update(getFrameRate().getElapsedMs()))
        setDirty(true);
}

void PixelFontInputLabel::drawAt(Surface* target, int x, int y)
{
    PixelFontLabel::drawAt(target, x, y);
    if (!target)
        return;
    if (hasSelection() && focused && !readOnly && font) {
        const int low = std::min(selectionStart, selectionEnd);
        const int high = std::max(selectionStart, selectionEnd);
        const int width = textWidth(low, high);
        if (width > 0)
            invertRect(target, x + textWidth(0, low), y, width, font->getLineHeight());
    }
    blinker->draw(target, x + cursorX, y);
}
