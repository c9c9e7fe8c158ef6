// A label's settings, fitting it to its text, and breaking and placing its lines; the animated label
// that moves along a range. Drawing is in LabelRendering.cpp.
#include "toolkit/component/Label.h"

#include "platform/font/BitmapFont.h"
#include "platform/surface/SurfaceHolder.h"
#include "runtime/strings/StringUtils.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Bytes above 0xA0 are halves of double-byte characters: a cut after an odd number of them would
// split one.
bool splitsDoubleByte(const std::string& s, std::size_t length)
{
    std::size_t halves = 0;
    for (std::size_t i = 0; i < length && i < s.size(); ++i)
        if (static_cast<unsigned char>(s[i]) > 0xA0)
            ++halves;
    return (halves % 2) != 0;
}

int toInt(double value)
{
    if (!(value == value))
        return 0;
    return static_cast<int>(std::clamp(value, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

} // namespace

Label::Label(BitmapFont* newFont, int newWrapMode, const LabelOptions* newOptions)
    : InteractiveComponent(0.0f, 0.0f, 0, 0), wrapMode(newWrapMode)
{
    setType(TypeLabel);
    setFlag(0, true);
    setFont(newFont);
    if (newOptions)
        options = *newOptions;
    setInvalid(true);
}

Label::~Label()
{
    if (font)
        font->release();
    if (buffer)
        buffer->release();
}

void Label::setWidth(int width)
{
    InteractiveComponent::setWidth(width);
    bufferStale = 1;
    setDirty(true);
    setInvalid(true);
}

void Label::setHeight(int height)
{
    InteractiveComponent::setHeight(height);
    bufferStale = 1;
    setDirty(true);
    setInvalid(true);
}

void Label::setSize(int width, int height)
{
    InteractiveComponent::setSize(width, height);
    bufferStale = 1;
    setDirty(true);
    setInvalid(true);
}

void Label::setAlignV(int a)
{
    alignV = a;
    setInvalid(true);
}

void Label::setAlignH(int a)
{
    alignH = a;
    setInvalid(true);
}

void Label::setLineSpacing(float f)
{
    lineSpacing = f;
    setInvalid(true);
}

void Label::setText(const std::string& newText)
{
    if (newText != text) {
        text = newText;
        setDirty(true);
        setInvalid(true);
    }
    if (isAutoSize())
        fitToText();
}

void Label::setFont(BitmapFont* newFont)
{
    if (newFont)
        newFont->addRef();
    if (font)
        font->release();
    font = newFont;
    setDirty(true);
    setInvalid(true);
}

void Label::refresh()
{
    layoutLines();
    placeLines();
    if (bufferStale) {
        createBuffer();
        bufferStale = 0;
    }
}

void Label::setBuffered(bool b)
{
    options.buffered = b ? 1 : 0;
    setInvalid(true);
}

void Label::setWrapMode(int m)
{
    wrapMode = m;
    setInvalid(true);
}

void Label::setEllipsis(const std::string& value)
{
    ellipsis = value;
    setInvalid(true);
}

void Label::setWordSeparator(const std::string& value)
{
    wordSeparator = value;
    setInvalid(true);
}

void Label::setCaptureBackground(bool b)
{
    options.captureBackground = b ? 1 : 0;
    setInvalid(true);
}

void Label::setColour(std::uint32_t rgb)
{
    colour = rgb;
    if (isBuffered())
        setInvalid(true);
    setDirty(true);
}

void Label::setColourMode(int m)
{
    colourMode = m;
    setInvalid(true);
}

void Label::setAlpha(std::uint8_t a)
{
    if (a == alpha)
        return;
    if (isBuffered())
        setInvalid(true);
    setDirty(true);
    alpha = a;
}

void Label::setShadow(bool b)
{
    shadowOn = b ? 1 : 0;
    setDirty(true);
}

void Label::fitToText()
{
    if (!font)
        return;
    if (wrapMode != WrapNone)
        setSize(widthOf(text) + 1, font->measureHeight(text));
    if (isInvalid())
        refresh();
    setSize(textBounds.width + 1, textBounds.height);
}

void Label::fitWidthToText()
{
    if (!font)
        return;
    if (wrapMode != WrapNone)
        setWidth(widthOf(text) + 1);
    if (isInvalid())
        refresh();
    setSize(textBounds.width + 1, size.height);
}

void Label::fitHeightToText()
{
    if (!font)
        return;
    if (isInvalid())
        refresh();
    setSize(size.width, textBounds.height);
}

void Label::setAutoSize(bool b)
{
    autoSize = b ? 1 : 0;
    if (b)
        fitToText();
}

int Label::widthOf(const std::string& s) const
{
    return font->measureMarkup(s);
}

int Label::fontHeight() const
{
    return font->getLineHeight();
}

void Label::splitParagraphs(Lines& out) const
{
    splitAtChar(text, out, lineSeparator, false, true, false);
}

void Label::addLine(const std::string& line)
{
    lines.addElement(new std::string(line));
}

void Label::layoutLines()
{
    lines.deleteAll();
    if (!font)
        return;
    switch (wrapMode) {
    case WrapNone:
        wrapNone();
        break;
    case WrapTruncate:
        wrapTruncate();
        break;
    case WrapWord:
        wrapWord();
        break;
    default:
        break;
    }
}

void Label::wrapNone()
{
    if (!font)
        return;
    Lines paragraphs(10, 10, true);
    splitParagraphs(paragraphs);
    for (unsigned i = 0; i < paragraphs.size(); ++i)
        addLine(*paragraphs.elementAt(i));
}

void Label::wrapTruncate()
{
    if (!font)
        return;
    Lines paragraphs(10, 10, true);
    splitParagraphs(paragraphs);
    const int e = widthOf(ellipsis);
    const long long w = size.width, hLimit = size.height, h = fontHeight();
    long long y = 0;
    for (unsigned i = 0; i < paragraphs.size(); ++i) {
        const std::string& p = *paragraphs.elementAt(i);
        std::string line = p;
        if (widthOf(p) > w) {
            // The longest prefix that leaves room for the ellipsis strictly inside the width, cut
            // between characters.
            long long best = -1;
            for (std::size_t k = 0; k <= p.size(); ++k) {
                if (static_cast<long long>(widthOf(p.substr(0, k))) + e >= w)
                    break;
                if (!splitsDoubleByte(p, k))
                    best = static_cast<long long>(k);
            }
            line = (best < 0 ? p : p.substr(0, static_cast<std::size_t>(best))) + ellipsis;
        }
        y += h;
        if (y > hLimit)
            return;
        addLine(line);
    }
}

void Label::wrapWord()
{
    if (!font)
        return;
    Lines paragraphs(10, 10, true);
    splitParagraphs(paragraphs);
    int y = 0;
    for (unsigned i = 0; i < paragraphs.size(); ++i) {
        const std::string& p = *paragraphs.elementAt(i);
        if (p.empty()) {
            addLine(std::string());
            continue;
        }
        if (!wrapParagraph(p, y))
            return;
    }
}

bool Label::wrapParagraph(const std::string& paragraph, int& y)
{
    const long long w = size.width;
    const long long hLimit = size.height;
    const int h = fontHeight();
    const int separatorWidth = widthOf(wordSeparator);
    auto advance = [&]() {
        y = static_cast<int>(std::clamp<long long>(static_cast<long long>(y) + h, INT_MIN, INT_MAX));
        return y <= hLimit;
    };

    std::string line;
    bool atStart = true;
    std::size_t position = 0;
    while (position < paragraph.size()) {
        const std::size_t end = paragraph.find_first_of(wordSeparator, position);
        const std::size_t stop = end == std::string::npos ? paragraph.size() : end;
        const std::string word = paragraph.substr(position, stop - position);
        position = stop == paragraph.size() ? stop : stop + 1;
        if (word.empty())
            continue;

        if (!atStart && static_cast<long long>(widthOf(word)) + widthOf(line) + separatorWidth >= w) {
            if (!advance())
                return false;
            addLine(line);
            line.clear();
            atStart = true;
        }
        if (!atStart) {
            line += wordSeparator + word;
            continue;
        }
        line = word;
        atStart = false;
        // A word wider than the label is cut by characters.
        while (!line.empty() && widthOf(line) >= w) {
            std::size_t n = 1;
            while (n < line.size() && widthOf(line.substr(0, n)) < w)
                ++n;
            if (n == 1)
                return false; // not even one character fits
            std::size_t k = n - 1;
            if (splitsDoubleByte(line, k))
                --k;
            // A double-byte character that fits only by halves goes whole, so every cut makes
            // progress.
            if (k == 0)
                k = std::min<std::size_t>(2, line.size());
            addLine(line.substr(0, k));
            line.erase(0, k);
        }
    }
    if (!line.empty()) {
        if (!advance())
            return false;
        addLine(line);
    }
    return true;
}

void Label::placeLines()
{
    linePositions.deleteAll();
    const unsigned n = lines.size();
    if (!font || n == 0) {
        textBounds.set(0, 0, 0, 0);
        return;
    }
    const int h = fontHeight();
    const float s = static_cast<float>(h) * lineSpacing;
    const float block = static_cast<float>(h) + static_cast<float>(n - 1) * s;
    int y0 = 0;
    if (alignV == AlignCentreV)
        y0 = toInt((static_cast<double>(size.height) - block) / 2.0);
    else if (alignV == AlignBottom)
        y0 = toInt(static_cast<float>(size.height) - block);
    int left = INT_MAX, widest = 0;
    for (unsigned i = 0; i < n; ++i) {
        const int lineWidth = widthOf(*lines.elementAt(i));
        int x = 0;
        if (alignH == AlignCentreH)
            x = toInt((static_cast<long long>(size.width) - lineWidth) / 2);
        else if (alignH == AlignRight)
            x = toInt(static_cast<double>(size.width) - lineWidth);
        const int y = toInt(static_cast<float>(y0) + static_cast<float>(i) * s);
        linePositions.addElement(new PointValue(x, y));
        left = std::min(left, x);
        widest = std::max(widest, lineWidth);
    }
    textBounds.set(left, linePositions.elementAt(0)->y, widest, toInt(static_cast<float>(n) * s));
}

AnimatedLabel::AnimatedLabel(BitmapFont* font, int value, int wrapMode, const LabelOptions* options)
    : Label(font, wrapMode, options), value(value)
{
    phase = 0.0f;
    speed = 1.0f;
    angle = 0.0f;
    setRange(0.0f, 1.0f);
}

void AnimatedLabel::setPhase(float p)
{
    phase = p;
    setDirty(true);
}

void AnimatedLabel::setAngle(float a)
{
    angle = a;
    setDirty(true);
}

void AnimatedLabel::setSpeed(float s)
{
    speed = s;
    setDirty(true);
}

void AnimatedLabel::setRange(float newMinimum, float newMaximum)
{
    minimum = newMinimum;
    maximum = newMaximum;
    range = newMaximum - newMinimum;
    setDirty(true);
}

void AnimatedLabel::updateSelf(Surface*, const FrameTime& frameInfo)
{
    if (speed > 0.0f) {
        angle = angle + frameInfo.elapsedSeconds * speed * 3.14f;
        phase = (std::cos(angle) + 1.0f) * 0.5f;
    }
    const double level = (static_cast<double>(phase) * range + minimum) * 255.0;
    // A range outside 0..1 must not wrap the byte around.
    setAlpha(static_cast<std::uint8_t>(std::clamp(toInt(level), 0, 255)));
}
