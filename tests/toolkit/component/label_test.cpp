#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "resources/properties/PropertyManager.h"
#include "toolkit/component/Label.h"
#include "toolkit/widget/WidgetFont.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// Blending may lose a few steps per channel.
::testing::AssertionResult near(std::uint32_t actual, std::uint32_t expected, int tolerance = 6)
{
    for (int shift : {0, 8, 16}) {
        const int a = static_cast<int>((actual >> shift) & 0xFF), e = static_cast<int>((expected >> shift) & 0xFF);
        if (a < e - tolerance || a > e + tolerance)
            return ::testing::AssertionFailure() << std::hex << actual << " is not near " << expected;
    }
    return ::testing::AssertionSuccess();
}

Lines linesOf(const Label& label)
{
    Lines out;
    for (unsigned i = 0; i < label.getLines().size(); ++i)
        out.push_back(*label.getLines().elementAt(i));
    return out;
}

// The font of these tests advances 5 pixels per character and is 5 pixels high; "..." is 15 wide.
class ComponentLabelTest : public WidgetFontTest {
protected:
    Label* label(int width, int height, int wrap, const char* text, const LabelOptions* options = nullptr)
    {
        Label* l = keep(new Label(uniform, wrap, options));
        l->setSize(width, height);
        l->setText(text);
        return l;
    }
    DirectDrawSurface* canvas(int width, int height, std::uint32_t background)
    {
        DirectDrawSurface* target = make32(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
        target->fill(background);
        return target;
    }
};

struct WrapCase {
    const char* name;
    int wrap;
    int width;
    int height;
    const char* text;
    Lines expected;
};

TEST_F(ComponentLabelTest, WrapModesBreakTheText)
{
    const WrapCase cases[] = {
        {"none keeps paragraphs and ignores the size", Label::WrapNone, 20, 5, "abcdefgh\n\ncd\nef",
         {"abcdefgh", "", "cd", "ef"}},
        {"truncate keeps a paragraph that fits exactly", Label::WrapTruncate, 50, 50, "abcdefghij", {"abcdefghij"}},
        {"truncate leaves room for the ellipsis strictly inside", Label::WrapTruncate, 50, 50, "abcdefghijk\nabc",
         {"abcdef...", "abc"}},
        {"truncate at a width one step lower", Label::WrapTruncate, 45, 50, "abcdefghijk", {"abcde..."}},
        {"truncate with an ellipsis wider than the label", Label::WrapTruncate, 10, 50, "abcdef", {"abcdef..."}},
        {"truncate drops paragraphs below the height", Label::WrapTruncate, 50, 10, "a\nb\nc", {"a", "b"}},
        {"word wraps when the next word reaches the width", Label::WrapWord, 40, 50, "aa bb cc dd",
         {"aa bb", "cc dd"}},
        {"word stops at the height", Label::WrapWord, 40, 5, "aa bb cc dd", {"aa bb"}},
        {"word empty paragraphs take no height", Label::WrapWord, 50, 10, "ab\n\ncd", {"ab", "", "cd"}},
        {"word skips empty words", Label::WrapWord, 60, 50, "a   b ", {"a b"}},
        {"word cuts a long word by characters", Label::WrapWord, 23, 50, "abcdefgh xy", {"abcd", "efgh", "xy"}},
        {"word pieces take no height", Label::WrapWord, 23, 5, "abcdefgh", {"abcd", "efgh"}},
        {"word ends when not one character fits", Label::WrapWord, 5, 50, "\n\nab\ncd", {"", ""}},
        {"word never splits a double-byte character", Label::WrapWord, 7, 50, "a\xB0\xA1", {"a", "\xB0\xA1"}},
        {"word gives a double-byte character that fits only by halves a line", Label::WrapWord, 2, 50,
         "\xB0\xA1\xB0\xA1", {"\xB0\xA1", "\xB0\xA1"}},
        {"an unknown mode lays out nothing", 3, 50, 50, "ab", {}},
    };
    for (const WrapCase& c : cases) {
        Label* l = label(c.width, c.height, c.wrap, c.text);
        l->refresh();
        EXPECT_EQ(linesOf(*l), c.expected) << c.name;
    }
}

TEST_F(ComponentLabelTest, OtherSeparatorsAndEllipsis)
{
    // The two separator characters have no glyph: one pixel each.
    Label* l = label(30, 50, Label::WrapWord, "ab,cd,ef|gh");
    l->setWordSeparator(",|");
    l->refresh();
    EXPECT_EQ(linesOf(*l), (Lines{"ab,|cd", "ef,|gh"})) << "cut at either character, joined by the whole text";
    Label* t = label(40, 50, Label::WrapTruncate, "abcdefghij");
    t->setEllipsis("~");
    t->refresh();
    EXPECT_EQ(linesOf(*t), (Lines{"abcdefg~"})) << "the '~' has no glyph: one pixel wide";
}

struct PlaceCase {
    const char* name;
    int width, height;
    int alignH, alignV;
    float spacing;
    const char* text;
    std::vector<PointValue> positions;
    RectangleValue bounds;
};

TEST_F(ComponentLabelTest, AlignmentPlacesLinesAndTextBounds)
{
    const PlaceCase cases[] = {
        {"left top", 100, 50, 0, 0, 1.0f, "abcdef\nab", {{0, 0}, {0, 5}}, {0, 0, 30, 10}},
        {"centre halves the free width", 101, 50, 1, 0, 1.0f, "abcdef\nab", {{35, 0}, {45, 5}}, {35, 0, 30, 10}},
        {"right", 100, 50, 2, 0, 1.0f, "abcdef\nab", {{70, 0}, {90, 5}}, {70, 0, 30, 10}},
        {"vertical centre", 100, 50, 0, 1, 1.0f, "ab\ncd", {{0, 20}, {0, 25}}, {0, 20, 10, 10}},
        {"bottom", 100, 50, 0, 2, 1.0f, "ab\ncd", {{0, 40}, {0, 45}}, {0, 40, 10, 10}},
        {"line spacing truncates each line", 100, 50, 0, 1, 1.5f, "a\nb\nc", {{0, 15}, {0, 22}, {0, 30}},
         {0, 15, 5, 22}},
        {"a block taller than the label starts above it", 100, 4, 0, 1, 1.0f, "a\nb", {{0, -3}, {0, 2}},
         {0, -3, 5, 10}},
        {"centre of a line wider than the label", 10, 10, 1, 0, 1.0f, "abcd", {{-5, 0}}, {-5, 0, 20, 5}},
    };
    for (const PlaceCase& c : cases) {
        Label* l = label(c.width, c.height, Label::WrapNone, c.text);
        l->setAlignH(c.alignH);
        l->setAlignV(c.alignV);
        l->setLineSpacing(c.spacing);
        l->refresh();
        ASSERT_EQ(l->getLinePositions().size(), c.positions.size()) << c.name;
        for (unsigned i = 0; i < c.positions.size(); ++i) {
            EXPECT_EQ(l->getLinePositions().elementAt(i)->x, c.positions[i].x) << c.name << " line " << i;
            EXPECT_EQ(l->getLinePositions().elementAt(i)->y, c.positions[i].y) << c.name << " line " << i;
        }
        const RectangleValue& b = l->getTextBounds();
        EXPECT_EQ((std::vector<int>{b.x, b.y, b.width, b.height}),
                  (std::vector<int>{c.bounds.x, c.bounds.y, c.bounds.width, c.bounds.height}))
            << c.name;
    }
}

TEST_F(ComponentLabelTest, FitOperationsSizeTheLabelToItsText)
{
    Label* l = label(0, 0, Label::WrapWord, "abc de\nfghi");
    l->fitToText();
    // Measured over the whole text first (11 characters and a line feed), then the laid-out lines.
    EXPECT_EQ(l->getWidth(), 31);
    EXPECT_EQ(l->getHeight(), 10);

    Label* h = label(40, 0, Label::WrapWord, "aa bb cc");
    h->fitHeightToText();
    EXPECT_EQ(h->getWidth(), 40);
    EXPECT_EQ(h->getHeight(), 0) << "a label without height holds no line";

    Label* a = label(0, 0, Label::WrapTruncate, "");
    a->setAutoSize(true);
    a->setText("abcd");
    EXPECT_EQ(a->getWidth(), 21);
    EXPECT_EQ(a->getHeight(), 5);
}

TEST_F(ComponentLabelTest, ChangesInvalidateOnlyWhatTheyAffect)
{
    Label* l = label(40, 10, Label::WrapNone, "ab");
    EXPECT_EQ(l->getType(), 0x80000006u);
    EXPECT_TRUE(l->hasFlag(0));
    DirectDrawSurface* target = canvas(50, 20, 0);
    l->draw(target, FrameTime(20));
    ASSERT_FALSE(l->isInvalid()) << "a successful render clears the mark";

    struct Step {
        const char* name;
        void (*change)(Label*, Surface*);
        bool invalidates;
        bool marksDirty;
    };
    const Step steps[] = {
        {"the same text", [](Label* x, Surface*) { x->setText("ab"); }, false, false},
        {"the shadow", [](Label* x, Surface*) { x->setShadow(true); }, false, true},
        {"the same alpha", [](Label* x, Surface*) { x->setAlpha(255); }, false, false},
        {"another alpha, buffered", [](Label* x, Surface*) { x->setAlpha(10); }, true, true},
        {"another text", [](Label* x, Surface*) { x->setText("abc"); }, true, true},
        {"the size", [](Label* x, Surface*) { x->setWidth(30); }, true, true},
        {"the wrap mode", [](Label* x, Surface*) { x->setWrapMode(Label::WrapWord); }, true, true},
        {"the colour, buffered", [](Label* x, Surface*) { x->setColour(0x123456); }, true, true},
        {"the colour, unbuffered",
         [](Label* x, Surface* target) {
             x->setBuffered(false);
             x->draw(target, FrameTime(20));
             x->setDirty(false);
             x->setColour(0x654321);
         },
         false, true},
        {"another alpha, unbuffered", [](Label* x, Surface*) { x->setAlpha(20); }, false, true},
    };
    for (const Step& s : steps) {
        l->draw(target, FrameTime(20));
        ASSERT_FALSE(l->isInvalid()) << s.name;
        l->setDirty(false);
        s.change(l, target);
        EXPECT_EQ(l->isInvalid(), s.invalidates) << s.name;
        EXPECT_EQ(l->isDirty(), s.marksDirty) << s.name;
    }
}

TEST_F(ComponentLabelTest, WithoutAFontNothingIsLaidOutOrDrawn)
{
    Label* l = keep(new Label(nullptr, Label::WrapWord, nullptr));
    l->setSize(30, 20);
    l->setText("abc def");
    l->fitToText();
    EXPECT_EQ(l->getWidth(), 30);
    l->refresh();
    EXPECT_EQ(l->getLines().size(), 0u);
    DirectDrawSurface* target = canvas(50, 30, 0x000080);
    l->draw(target, FrameTime(20));
    for (int y = 0; y < 30; y += 3)
        for (int x = 0; x < 50; x += 3)
            ASSERT_EQ(peek(target, x, y), 0x000080u) << x << "," << y;
    EXPECT_TRUE(l->isInvalid()) << "it renders once a font arrives";
    l->setFont(uniform);
    l->draw(target, FrameTime(20));
    EXPECT_EQ(linesOf(*l), (Lines{"abc", "def"}));
}

struct RenderCase {
    const char* name;
    LabelOptions options;
    int colourMode;
    std::uint8_t alpha;
    bool shadow;
    std::uint32_t glyph;  // expected at a pixel of the first glyph
    std::uint32_t gap;    // between the two glyphs, above the shadow
    std::uint32_t shaded; // in the gap where only the shadow falls
};

TEST_F(ComponentLabelTest, RendersPixelsInEveryWay)
{
    const std::uint32_t back = 0x000080, green = 0x00FF00, shade = 0x400000;
    const RenderCase cases[] = {
        {"buffered, font colours", LabelOptions(1, 0, 1), 0, 255, false, ink, back, back},
        {"buffered, tinted", LabelOptions(1, 0, 1), 1, 255, false, green, back, back},
        {"buffered, tinted, with shadow", LabelOptions(1, 0, 1), 1, 255, true, green, back, shade},
        {"buffered at half alpha", LabelOptions(1, 0, 1), 1, 128, false, 0x007F40, back, back},
        {"buffered over a captured background", LabelOptions(1, 1, 1), 1, 255, true, green, back, shade},
        {"unbuffered, font colours", LabelOptions(0, 0, 1), 0, 255, false, ink, back, back},
        {"unbuffered, tinted, with shadow", LabelOptions(0, 0, 1), 1, 255, true, green, back, shade},
    };
    for (const RenderCase& c : cases) {
        Label* l = label(30, 10, Label::WrapNone, "ab", &c.options);
        l->setPosition(13.0f, 7.0f);
        l->setAnchor(1, 1);
        l->setColourMode(c.colourMode);
        l->setColour(green);
        l->setAlpha(c.alpha);
        l->setShadow(c.shadow);
        l->getShadow().colour = shade;
        DirectDrawSurface* target = canvas(50, 30, back);
        l->draw(target, FrameTime(20));
        // Corner at (-2, 2): "a" covers x -2..1, "b" 3..6, rows 2..6; the shadow lies 2 lower and right.
        EXPECT_TRUE(near(peek(target, 0, 3), c.glyph)) << c.name;
        EXPECT_TRUE(near(peek(target, 2, 3), c.gap)) << c.name;
        EXPECT_TRUE(near(peek(target, 2, 7), c.shaded)) << c.name;
        EXPECT_TRUE(near(peek(target, 20, 5), back)) << c.name << ": nothing beyond the text";
    }
}

TEST_F(ComponentLabelTest, BufferIsNamedAfterTheFontAndRemadeAfterResizing)
{
    uniform->getImage()->getSurface()->setName("FONT_PICTURE");
    Label* l = label(30, 10, Label::WrapNone, "ab");
    DirectDrawSurface* target = canvas(40, 20, 0);
    l->draw(target, FrameTime(20));
    SurfaceHolder* first = l->getBuffer();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(first->getSurface(), nullptr);
    EXPECT_EQ(first->getSurface()->getName(), "LabelBuffer[FONT_PICTURE]");
    EXPECT_EQ(first->getSurface()->getDesc().width, 30u);
    EXPECT_NE(first->getMask(), nullptr) << "no background capture: the shape lives in a mask";
    l->setShadow(true);
    l->setHeight(12);
    l->draw(target, FrameTime(20));
    ASSERT_NE(l->getBuffer()->getSurface(), nullptr);
    EXPECT_EQ(l->getBuffer()->getSurface()->getDesc().width, 32u) << "room for the shadow";
    EXPECT_EQ(l->getBuffer()->getSurface()->getDesc().height, 14u);

    Label* empty = label(0, 0, Label::WrapNone, "ab");
    empty->draw(target, FrameTime(20)); // nothing to draw into, and no failure
}

// An application with a property store of its own, for the property texts that name strings.
class StoreApplication : public Application {
public:
    explicit StoreApplication(PropertyManager* store) : Application(1, "Quarrytide", "1.1.0", "LabelTest", 50, 2000)
    {
        store->addRef();
        propertyManager = store;
    }
};

std::string propertyFile(const std::string& body)
{
    return std::string("<?xml version=\"1.0\"?>\n<Properties xsi:noNamespaceSchemaLocation=\"") +
           PropertyManager::kSchemaLocation + "\" version=\"1.0\" language=\"en\" country=\"US\" lookandfeel=\"NORMAL\">\n" +
           body + "\n</Properties>\n";
}

TEST_F(ComponentLabelTest, PropertyTextConfiguresTheLabel)
{
    auto* store = new PropertyManager(nullptr);
    ASSERT_EQ(store->parse(propertyFile("<String id=\"MESSAGE_TIP\">Please wait</String>"
                                        "<String id=\"MESSAGE_TEXT\">loading</String>")
                               .c_str()),
              1);
    StoreApplication app(store);
    auto* catalogue = new ResourceManager(0); // the application deletes it
    catalogue->storeFont("FONT_TEST", uniform);

    AnimatedLabel* l = keep(new AnimatedLabel(nullptr, 1, Label::WrapWord, nullptr));
    readTextComponentProperties(l, "name=LOADING; id=7;x=120;y=400;width=200;height=30;font=FONT_TEST;"
                                   "color=0xFF8000;alignh=center;alignv=BOTTOM;wrap=Truncate;alpha=0x1C0;"
                                   "shadow=on;shadowcolor=0x102030;shadowalpha=300;tooltip=MESSAGE_TIP;"
                                   "text=MESSAGE_TEXT");
    EXPECT_EQ(l->getName(), "LOADING");
    EXPECT_EQ(l->getId(), 7);
    EXPECT_EQ(l->getAbsoluteX(), 120);
    EXPECT_EQ(l->getAbsoluteY(), 400);
    EXPECT_EQ(l->getWidth(), 200);
    EXPECT_EQ(l->getHeight(), 30);
    EXPECT_EQ(l->getFont(), uniform);
    EXPECT_EQ(l->getColourMode(), Label::Tinted);
    EXPECT_EQ(l->getColour(), 0xFF8000u);
    EXPECT_EQ(l->getAlignH(), Label::AlignCentreH);
    EXPECT_EQ(l->getAlignV(), Label::AlignBottom);
    EXPECT_EQ(l->getWrapMode(), Label::WrapTruncate);
    EXPECT_EQ(l->getAlpha(), 0xC0);
    EXPECT_TRUE(l->isShadow());
    EXPECT_EQ(l->getShadow().colour, 0x102030u);
    EXPECT_EQ(l->getShadow().alpha, 300 & 0xFF);
    EXPECT_EQ(l->getTooltip(), "Please wait");
    EXPECT_EQ(l->getText(), "loading");

    // Unknown words and missing keys change nothing; quoted values keep their ';'; plain strings
    // that name no property are taken as they are.
    readTextComponentProperties(l, "alignh=middle;alignv=up;wrap=all;shadow=maybe;font=FONT_NONE;"
                                   "text=\"a;b\";tooltip=plain");
    EXPECT_EQ(l->getAlignH(), Label::AlignCentreH);
    EXPECT_EQ(l->getAlignV(), Label::AlignBottom);
    EXPECT_EQ(l->getWrapMode(), Label::WrapTruncate);
    EXPECT_TRUE(l->isShadow());
    EXPECT_EQ(l->getFont(), uniform);
    EXPECT_EQ(l->getText(), "a;b");
    EXPECT_EQ(l->getTooltip(), "plain");
    EXPECT_EQ(l->getName(), "LOADING");
    readTextComponentProperties(l, "alignh=right;shadow=OFF");
    EXPECT_EQ(l->getAlignH(), Label::AlignRight);
    EXPECT_FALSE(l->isShadow());

    readComponentProperties(l, "x=-5");
    EXPECT_EQ(l->getAbsoluteX(), -5);
    EXPECT_EQ(l->getAbsoluteY(), 400);
}

TEST_F(ComponentLabelTest, AnimatedLabelPulsesItsAlpha)
{
    AnimatedLabel* l = keep(new AnimatedLabel(uniform, 1, Label::WrapWord, nullptr));
    EXPECT_EQ(l->getType(), 0x80000006u);
    EXPECT_EQ(l->getMinimum(), 0.0f);
    EXPECT_EQ(l->getMaximum(), 1.0f);
    EXPECT_EQ(l->getSpeed(), 1.0f);
    std::vector<int> seen;
    float expectedAngle = 0.0f;
    for (int ms : {0, 100, 400, 500, 1000}) {
        l->update(nullptr, FrameTime(ms));
        expectedAngle += static_cast<float>(ms) * 0.001f * 3.14f;
        const float phase = (std::cos(expectedAngle) + 1.0f) * 0.5f;
        EXPECT_NEAR(l->getAngle(), expectedAngle, 1e-4) << ms;
        EXPECT_NEAR(l->getPhase(), phase, 1e-4) << ms;
        seen.push_back(l->getAlpha());
    }
    // Starts fully opaque, fades to transparent after about a second and comes back.
    EXPECT_EQ(seen.front(), 255);
    EXPECT_LT(seen[3], 10);
    EXPECT_GT(seen[4], 245);

    // Range and a steady label: the load screen stops it fully opaque.
    l->setRange(0.5f, 1.0f);
    l->setAngle(3.14159265f);
    l->update(nullptr, FrameTime(0));
    EXPECT_EQ(l->getAlpha(), 127) << "(0.0 x 0.5 + 0.5) x 255, truncated";
    l->setSpeed(0.0f);
    l->setPhase(1.0f);
    l->update(nullptr, FrameTime(20));
    EXPECT_EQ(l->getAlpha(), 255);
    EXPECT_NEAR(l->getAngle(), 3.14159265f, 1e-6) << "a stopped pulse keeps its angle";
    // A range beyond 0..1 holds the alpha at its limits instead of wrapping the byte.
    l->setRange(0.0f, 3.0f);
    l->update(nullptr, FrameTime(20));
    EXPECT_EQ(l->getAlpha(), 255);
    l->setRange(-2.0f, -1.0f);
    l->update(nullptr, FrameTime(20));
    EXPECT_EQ(l->getAlpha(), 0);
}

} // namespace
