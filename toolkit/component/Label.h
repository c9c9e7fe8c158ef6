// The text widget of the component tree. A Label breaks its text into lines by one of three wrap
// modes, places the lines by a horizontal and a vertical alignment and draws them in a bitmap font,
// with an optional drop shadow, either straight onto the frame's target or through an off-screen
// buffer that it renders again only when something changed (the invalid mark of the component).
//
// Without a font a label lays out nothing and draws nothing. Breaking always makes progress: a word
// cut by characters gives at least one whole character per line.
#pragma once

#include "runtime/containers/DynamicArray.h"
#include "runtime/values/PointValue.h"
#include "runtime/values/RectangleValue.h"
#include "toolkit/component/InteractiveComponent.h"

#include <cstdint>
#include <string>

class BitmapFont;
class SurfaceHolder;

// How a label renders: through a buffer or straight, whether the buffer starts from the pixels under
// the label (background capture), and the memory type of the buffer's surface.
class LabelOptions {
public:
    LabelOptions() = default;
    LabelOptions(int buffered, int captureBackground, int memoryType)
        : buffered(buffered), captureBackground(captureBackground), memoryType(memoryType)
    {
    }
    LabelOptions(const LabelOptions&) = default;
    LabelOptions& operator=(const LabelOptions&) = default;
    virtual ~LabelOptions() = default;

    std::int32_t buffered = 1;
    std::int32_t captureBackground = 0;
    std::int32_t memoryType = 1;
};

// A drop shadow: colour 0xRRGGBB, alpha, and the offset from the text.
class LabelShadow {
public:
    LabelShadow() = default;
    LabelShadow(const LabelShadow&) = default;
    LabelShadow& operator=(const LabelShadow&) = default;
    virtual ~LabelShadow() = default;

    std::uint32_t colour = 0;
    std::uint8_t alpha = 255;
    PointValue offset{2, 2};
};

class Label : public InteractiveComponent {
public:
    enum AlignH { AlignLeft = 0, AlignCentreH = 1, AlignRight = 2 };
    enum AlignV { AlignTop = 0, AlignCentreV = 1, AlignBottom = 2 };
    enum WrapMode { WrapNone = 0, WrapTruncate = 1, WrapWord = 2 };
    enum ColourMode { FontColours = 0, Tinted = 1 };

    using Lines = OwningDynamicArray<std::string>;
    using Positions = OwningDynamicArray<PointValue>;

    // Without options the label is buffered, captures no background and keeps its buffer in system
    // memory.
    Label(BitmapFont* font, int wrapMode, const LabelOptions* options);
    ~Label() override;

    void setWidth(int width) override;
    void setHeight(int height) override;
    void setSize(int width, int height) override;
    void paint(Surface* target, const FrameTime& frameInfo) override;
    // The font's picture and the buffer rebuild themselves; the text renders again.
    void restoreLost() override;

    virtual int getAlignV() const { return alignV; }
    virtual int getAlignH() const { return alignH; }
    virtual void setAlignV(int a);
    virtual void setAlignH(int a);
    virtual void setLineSpacing(float f);
    virtual SurfaceHolder* getBuffer() const { return buffer; }
    // An unchanged text does not invalidate; with auto size the label fits itself either way.
    virtual void setText(const std::string& newText);
    virtual std::string getText() const { return text; }
    virtual void setFont(BitmapFont* newFont);
    virtual BitmapFont* getFont() const { return font; }
    // Lays the lines out and places them; makes a new buffer after a size change.
    virtual void refresh();
    virtual void renderBuffer(Surface* target);
    virtual bool isBuffered() const { return options.buffered != 0; }
    virtual void setBuffered(bool b);
    virtual void setWrapMode(int m);
    virtual int getWrapMode() const { return wrapMode; }
    virtual void setEllipsis(const std::string& value);
    virtual void setWordSeparator(const std::string& value);
    virtual RectangleValue& getTextBounds() { return textBounds; }
    virtual void setCaptureBackground(bool b);
    virtual bool isCaptureBackground() const { return options.captureBackground != 0; }
    virtual LabelOptions& getOptions() { return options; }
    virtual void setColour(std::uint32_t rgb);
    virtual std::uint32_t getColour() const { return colour; }
    virtual void setColourMode(int m);
    virtual int getColourMode() const { return colourMode; }
    virtual void setAlpha(std::uint8_t a);
    virtual std::uint8_t getAlpha() const { return alpha; }
    virtual bool isShadow() const { return shadowOn != 0; }
    // Only marks the label dirty: a buffer with the shadow in it is not rendered again for it.
    virtual void setShadow(bool b);
    // Callers change colour and alpha in place.
    virtual LabelShadow& getShadow() { return shadow; }
    virtual void fitToText();
    virtual void fitWidthToText();
    virtual void fitHeightToText();
    virtual void setAutoSize(bool b);
    virtual bool isAutoSize() const { return autoSize != 0; }
    virtual void layoutLines();
    virtual void placeLines();
    virtual void createBuffer();
    virtual void wrapNone();
    virtual void wrapTruncate();
    virtual void wrapWord();

    const Lines& getLines() const { return lines; }
    const Positions& getLinePositions() const { return linePositions; }
    float getLineSpacing() const { return lineSpacing; }

protected:
    // The width of a text as laid out: markup codes take no room.
    int widthOf(const std::string& s) const;
    int fontHeight() const;
    void splitParagraphs(Lines& out) const;
    void addLine(const std::string& line);
    // Fits whole words of one paragraph into lines; false when the label is full.
    bool wrapParagraph(const std::string& paragraph, int& y);
    void drawLines(Surface* surface, int x, int y, bool tinted, std::uint32_t rgb, std::uint8_t a);
    void drawShadow(Surface* surface, int x, int y);
    void copyBackground(Surface* target, int x, int y);

    Positions linePositions{10, 10, true};
    Lines lines{10, 10, true};
    std::string text;
    std::int32_t alignV = AlignTop;
    std::int32_t alignH = AlignLeft;
    BitmapFont* font = nullptr;
    char lineSeparator = '\n';
    float lineSpacing = 1.0f;
    SurfaceHolder* buffer = nullptr;
    std::int32_t bufferStale = 0;
    RectangleValue textBounds;
    std::int32_t wrapMode = WrapNone;
    std::string ellipsis = "...";
    std::string wordSeparator = " ";
    std::int32_t colourMode = FontColours;
    std::uint32_t colour = 0xFFFFFF;
    std::uint8_t alpha = 255;
    LabelOptions options;
    LabelShadow shadow;
    std::int32_t shadowOn = 0;
    std::int32_t autoSize = 0;
};

// A label whose alpha pulses between a minimum and a maximum, driven by a cosine of the time.
class AnimatedLabel : public Label {
public:
    AnimatedLabel(BitmapFont* font, int value, int wrapMode, const LabelOptions* options);

    virtual float getPhase() const { return phase; }
    virtual float getAngle() const { return angle; }
    virtual float getSpeed() const { return speed; }
    virtual void setPhase(float p);
    virtual void setAngle(float a);
    virtual void setSpeed(float s);
    virtual void setRange(float minimum, float maximum);
    virtual float getMinimum() const { return minimum; }
    virtual float getMaximum() const { return maximum; }

    // With a positive speed the angle advances by 3.14 x speed per second and the phase follows its
    // cosine; every update sets the alpha from the phase.
    void updateSelf(Surface* target, const FrameTime& frameInfo) override;

    int getValue() const { return value; }

private:
    float phase = 0.0f;
    float angle = 0.0f;
    float speed = 1.0f;
    float minimum = 0.0f;
    float maximum = 1.0f;
    float range = 1.0f;
    std::int32_t value = 0;
};

// Reads a component's place and names from a property text of key=value entries separated by ';'
// (a value in double quotes may hold ';'): "name", "id", "x", "y", "width", "height", "tooltip". An
// absent key changes nothing.
void readComponentProperties(VisualComponent* component, const std::string& text);
// The same, then the look of a label: colour mode 1 always; "font", "color", "alignh", "alignv",
// "wrap", "alpha", "shadow", "shadowcolor", "shadowalpha", "text". Keywords compare without regard to
// case; an unknown keyword is ignored.
void readTextComponentProperties(Label* label, const std::string& text);
