#include "platform/font/BitmapFont.h"
#include "platform/catalogue/ResourceManager.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/PixelFontLabel.h"
#include "toolkit/widget/WidgetFont.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// Blending through the mask map may lose a few steps per channel.
::testing::AssertionResult near(std::uint32_t actual, std::uint32_t expected)
{
    for (int shift : {0, 8, 16}) {
        const int a = static_cast<int>((actual >> shift) & 0xFF), e = static_cast<int>((expected >> shift) & 0xFF);
        if (a < e - 6 || a > e + 6)
            return ::testing::AssertionFailure() << std::hex << actual << " is not near " << expected;
    }
    return ::testing::AssertionSuccess();
}

class LabelTest : public WidgetFontTest {
protected:
    void SetUp() override
    {
        WidgetFontTest::SetUp();
        label = new PixelFontLabel;
        label->addRef();
        label->setFont(uniform);
    }
    void TearDown() override
    {
        label->release();
        WidgetFontTest::TearDown();
    }

    PixelFontLabel* label = nullptr;
};

struct WrapCase {
    const char* name;
    int wrap;
    int width;
    int height;
    const char* text;
    Lines expected;
};

TEST_F(LabelTest, WrapStylesLayOutTheText)
{
    using L = PixelFontLabel;
    const WrapCase cases[] = {
        {"normal keeps paragraphs whole", L::WrapNormal, 20, 50, "abcdefgh\n\ncd", {"abcdefgh", "", "cd"}},
        {"word keeps an empty paragraph", L::WrapWord, 50, 50, "ab\n\ncd", {"ab", "", "cd"}},
        {"line drops an empty paragraph", L::WrapLine, 50, 50, "ab\n\ncd", {"ab", "cd"}},
        // 23 pixels hold four characters; the character wrap cuts one earlier.
        {"line cuts one character early", L::WrapLine, 23, 50, "abcdefgh", {"abc", "def", "gh"}},
        // "aa bb" + " " + "cc" measures exactly 40: not below the width.
        {"word wraps at the width", L::WrapWord, 40, 50, "aa bb cc dd", {"aa bb", "cc dd"}},
        {"word empty words are kept", L::WrapWord, 60, 50, "a  b", {"a  b"}},
        {"word breaks a long word and continues on its last piece", L::WrapWord, 33, 50, "abcdefgh xy",
         {"abcde", "fgh xy"}},
        {"truncate ends in an ellipsis inside the width", L::WrapTruncate, 40, 50, "abcdefghij\nabc",
         {"abcd...", "abc"}},
        {"truncate too narrow for the ellipsis", L::WrapTruncate, 15, 50, "abcdef", {""}},
        {"truncate in a label not above the font height", L::WrapTruncate, 100, 5, "ab\ncd", {"", ""}},
        {"line gives a too-wide character a line of its own", L::WrapLine, 4, 50, "abc", {"a", "b", "c"}},
        {"word breaks too-wide characters one by one", L::WrapWord, 4, 50, "abc de", {"a", "b", "c", "d", "e"}},
        {"line keeps a double-byte pair whole", L::WrapLine, 4, 50, "\xB0\xA1\xB0\xA1", {"\xB0\xA1", "\xB0\xA1"}},
        {"normal carries markup to the next paragraph", L::WrapNormal, 50, 50, "^FF00FF00^ab\ncd",
         {"^FF00FF00^ab", "^FF00FF00^cd"}},
        {"word carries markup to the next paragraph", L::WrapWord, 50, 50, "a^FF0000FF^b\ncd",
         {"a^FF0000FF^b", "^FF0000FF^cd"}},
    };
    for (const WrapCase& c : cases) {
        SCOPED_TRACE(c.name);
        label->setSize(c.width, c.height);
        label->setWrapStyle(c.wrap);
        label->setStyle(PixelFontLabel::StyleNormal);
        label->setText(c.text);
        label->invalidate();
        EXPECT_EQ(label->getLines(), c.expected);
    }
}

struct PlaceCase {
    const char* name;
    int style;
    int styleValue;
    int alignH;
    const char* vertical; // layout "veralign"
    double factor;
    int width;
    int height;
    const char* text;
    std::vector<Point> positions;
    int blockWidth;
    int blockHeight;
};

TEST_F(LabelTest, PlacementAlignsLinesAndBlock)
{
    using L = PixelFontLabel;
    const PlaceCase cases[] = {
        {"left top", L::StyleNormal, 0, L::AlignLeft, "top", 1.0, 40, 30, "ab\nabc", {{0, 0}, {0, 5}}, 15, 10},
        {"center halves with truncation", L::StyleNormal, 0, L::AlignHCenter, "top", 1.0, 21, 30, "ab",
         {{5, 0}}, 10, 5},
        {"center of a line one pixel narrower", L::StyleNormal, 0, L::AlignHCenter, "top", 1.0, 11, 30, "ab",
         {{0, 0}}, 10, 5},
        {"right is one pixel inside", L::StyleNormal, 0, L::AlignRight, "top", 1.0, 21, 30, "ab", {{10, 0}}, 10, 5},
        {"bottom block", L::StyleNormal, 0, L::AlignLeft, "bottom", 1.0, 40, 30, "ab", {{0, 24}}, 10, 5},
        {"centered block", L::StyleNormal, 0, L::AlignLeft, "center", 1.0, 40, 30, "ab", {{0, 13}}, 10, 5},
        // Steps of 7.5 truncated as they add up; block 3 x 7.5 - (7.5 - 5).
        {"line height factor", L::StyleNormal, 0, L::AlignLeft, "top", 1.5, 40, 30, "a\nb\nc",
         {{0, 0}, {0, 7}, {0, 14}}, 5, 20},
        {"outline widens by twice the value", L::StyleOutline, 1, L::AlignRight, "top", 1.0, 40, 30, "ab",
         {{27, 0}}, 12, 5},
        {"shadow widens by the value", L::StyleShadow, 1, L::AlignRight, "top", 1.0, 40, 30, "ab", {{28, 0}}, 11, 5},
        {"empty text", L::StyleNormal, 0, L::AlignLeft, "top", 1.0, 40, 30, "", {}, 0, 0},
    };
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        TiXmlDocument doc;
        doc.Parse(("<pixelfontlabel x='3' y='4' veralign='" + std::string(c.vertical) + "'/>").c_str());
        Held<PixelFontLabel> placed(new PixelFontLabel);
        placed->readXML(doc.RootElement());
        placed->setFont(uniform);
        placed->setSize(c.width, c.height);
        placed->setStyle(c.style);
        placed->setStyleValue(c.styleValue);
        placed->setAlignH(c.alignH);
        placed->setLineHeight(c.factor);
        placed->setText(c.text);
        placed->invalidate();
        ASSERT_EQ(placed->getLinePositions().size(), c.positions.size());
        for (std::size_t i = 0; i < c.positions.size(); ++i) {
            EXPECT_EQ(placed->getLinePositions()[i].x, c.positions[i].x) << "line " << i;
            EXPECT_EQ(placed->getLinePositions()[i].y, c.positions[i].y) << "line " << i;
        }
        const Rect& bounds = placed->getTextBounds();
        EXPECT_EQ(bounds.x, 3);
        EXPECT_EQ(bounds.y, 4);
        EXPECT_EQ(bounds.width, c.blockWidth);
        EXPECT_EQ(bounds.height, c.blockHeight);
    }
}

TEST_F(LabelTest, StyledMeasuresAndFitOperations)
{
    label->setStyle(PixelFontLabel::StyleOutline);
    label->setStyleValue(1);
    EXPECT_EQ(label->styledWidth("ab"), 12);
    EXPECT_EQ(label->styledHeight(), 7);
    label->setStyle(PixelFontLabel::StyleShadow);
    EXPECT_EQ(label->styledWidth("a^FF00FF00^b"), 11) << "markup is not measured";
    EXPECT_EQ(label->styledHeight(), 6);

    label->setSize(100, 100);
    label->setWrapStyle(PixelFontLabel::WrapNormal);
    label->setText("abc\na");
    label->fitSizeToText();
    EXPECT_EQ(label->getWidth(), 16);
    EXPECT_EQ(label->getHeight(), 10);
}

TEST_F(LabelTest, LayoutWaitsForInvalidateOrTheNextDraw)
{
    label->setSize(100, 20);
    label->setText("ab");
    EXPECT_TRUE(label->getLines().empty()) << "setText does not lay out";
    label->setWrapStyle(PixelFontLabel::WrapLine);
    DirectDrawSurface* target = make32(100, 20);
    label->draw(target);
    EXPECT_EQ(label->getLines(), Lines{"ab"});
    label->setSize(8, 20);
    label->draw(target);
    EXPECT_EQ(label->getLines(), Lines{"ab"}) << "a size change keeps the old layout";
    label->invalidate();
    EXPECT_EQ(label->getLines(), (Lines{"a", "b"}));
}

TEST_F(LabelTest, LabelWithoutAFontNeitherLaysOutNorDraws)
{
    Held<PixelFontLabel> bare(new PixelFontLabel);
    bare->setBounds(0, 0, 30, 20);
    bare->setText("abc");
    bare->invalidate();
    bare->fitSizeToText();
    EXPECT_TRUE(bare->getLines().empty());
    EXPECT_EQ(bare->getWidth(), 30);
    DirectDrawSurface* target = make32(30, 20);
    target->fill(0);
    bare->draw(target);
    EXPECT_EQ(peek(target, 0, 0), 0u);
}

struct DrawCase {
    const char* name;
    int style;
    bool colorDraw;
    // Pixels: the text's corner, the copy's far corner, a pixel outside both.
    std::uint32_t atText, atCopy;
    int copyX, copyY;
};

TEST_F(LabelTest, DrawsTextWithItsShadowOrOutline)
{
    // The label at (2, 2); "a" covers (2..5, 2..6); copies are offset by the style value 1.
    constexpr std::uint32_t fg = 0x000000FF, bg = 0x0000FF00;
    using L = PixelFontLabel;
    const DrawCase cases[] = {
        {"plain from the font image", L::StyleNormal, false, ink, 0, 6, 7},
        {"tinted with colordraw", L::StyleNormal, true, fg, 0, 6, 7},
        {"shadow one pixel down and right", L::StyleShadow, true, fg, bg, 6, 7},
        {"outline corner copies", L::StyleOutline, true, bg, bg, 7, 8},
    };
    for (const DrawCase& c : cases) {
        SCOPED_TRACE(c.name);
        Held<PixelFontLabel> drawn(new PixelFontLabel);
        drawn->setFont(uniform);
        drawn->setBounds(2, 2, 30, 12);
        drawn->setStyle(c.style);
        drawn->setStyleValue(1);
        drawn->setColorFg(static_cast<int>(fg));
        drawn->setColorBg(static_cast<int>(bg));
        drawn->setColorDraw(c.colorDraw);
        drawn->setText("a");
        DirectDrawSurface* target = make32(20, 16);
        target->fill(0);
        drawn->draw(target);
        EXPECT_TRUE(near(peek(target, 2, 2), c.atText));
        EXPECT_TRUE(near(peek(target, c.copyX, c.copyY), c.atCopy));
        EXPECT_EQ(peek(target, 10, 2), 0u);
        if (c.style == L::StyleOutline) {
            EXPECT_TRUE(near(peek(target, 3, 3), fg)) << "the text sits one pixel in";
        }
    }
}

TEST_F(LabelTest, MarkupIsNeitherDrawnNorMeasuredInTheFontsOwnColours)
{
    label->setBounds(0, 0, 40, 10);
    label->setStyle(PixelFontLabel::StyleNormal);
    label->setAlignH(PixelFontLabel::AlignRight);
    label->setText("^FF0000FF^ab");
    DirectDrawSurface* target = make32(40, 10);
    target->fill(0);
    label->draw(target);
    // Right-aligned "ab" (10 wide) in 40: from x 29; nothing of the code is drawn before it.
    EXPECT_TRUE(near(peek(target, 29, 0), ink));
    EXPECT_EQ(peek(target, 28, 0), 0u);
    EXPECT_EQ(peek(target, 20, 0), 0u);
}

TEST_F(LabelTest, LayoutElementConfiguresTheLabel)
{
    auto* catalogue = new ResourceManager(0);
    catalogue->storeFont("FONT_TEST", uniform);
    TiXmlDocument doc;
    doc.Parse("<pixelfontlabel width='50' height='20' font='FONT_TEST' alignh='right' alignv='bottom' "
              "style='outline' stylevalue='2' wrapstyle='line' colorfg='#FF0000' colorbg='255' "
              "lineheight='1.5' textalpha='100' shadowalpha='50' colordraw='true'>hello</pixelfontlabel>");
    Held<Sprite> sprite(createSpriteFromXml(doc.RootElement()));
    ASSERT_TRUE(sprite->isKindOf(&PixelFontLabel::classRecord));
    auto* read = static_cast<PixelFontLabel*>(sprite.get());
    EXPECT_EQ(read->getFont(), uniform);
    EXPECT_EQ(read->getText(), "hello");
    EXPECT_TRUE(read->getLines().empty()) << "reading does not lay out";
    EXPECT_EQ(read->getAlignH(), PixelFontLabel::AlignRight);
    EXPECT_EQ(read->getAlignV(), PixelFontLabel::AlignBottom);
    EXPECT_EQ(read->getStyle(), PixelFontLabel::StyleOutline);
    EXPECT_EQ(read->getStyleValue(), 2);
    EXPECT_EQ(read->getWrapStyle(), PixelFontLabel::WrapLine);
    EXPECT_EQ(read->getColorFg(), 0xFF0000);
    EXPECT_EQ(read->getColorBg(), 255);
    EXPECT_DOUBLE_EQ(read->getLineHeight(), 1.5);
    EXPECT_EQ(read->getAlpha(), 100);
    EXPECT_EQ(read->getShadowAlpha(), 50);
    EXPECT_TRUE(read->getColorDraw());

    TiXmlDocument odd;
    odd.Parse("<pixelfontlabel alignh='Right' style='fancy' wrapstyle='WORD'/>");
    Held<Sprite> kept(createSpriteFromXml(odd.RootElement()));
    auto* defaults = static_cast<PixelFontLabel*>(kept.get());
    EXPECT_EQ(defaults->getAlignH(), PixelFontLabel::AlignLeft) << "words compare exactly";
    EXPECT_EQ(defaults->getStyle(), PixelFontLabel::StyleShadow);
    EXPECT_EQ(defaults->getWrapStyle(), PixelFontLabel::WrapWord);
    EXPECT_EQ(defaults->getColorBg(), 0xFFFFFF);
    delete catalogue;
}

} // namespace
