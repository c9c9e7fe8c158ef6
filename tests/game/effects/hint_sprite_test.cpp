// The hint panel: its picture of caps and middle pieces with the text over them, and what it remembers.
#include "game/effects/HintSprite.h"
#include "game/support/GameFixture.h"
#include "toolkit/sprite/SpriteTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace gamefixture;

namespace {

constexpr std::uint32_t kTop = 0x102030;
constexpr std::uint32_t kMiddle = 0x405060;
constexpr std::uint32_t kMiddleEdge = 0x405066;
constexpr std::uint32_t kBottom = 0x708090;
constexpr int kWidth = 40;

class HintSpriteTest : public GameFixture {
protected:
    void SetUp() override
    {
        GameFixture::SetUp();
        catalogue->storeFont("FONT_TINY", font);
    }

    // Caps of 10 rows and middle pieces of 8; the label's own look comes from the layout.
    void usePieces(int topHeight = 10, int middleHeight = 8, int bottomHeight = 10)
    {
        addImage("IMAGE_HINT_TOP", kWidth, topHeight, kTop, 0xE1);
        addImage("IMAGE_HINT_MIDDLE", kWidth, middleHeight, kMiddle, 0xE2);
        addImage("IMAGE_HINT_BOTTOM", kWidth, bottomHeight, kBottom, 0xE3);
    }

    void useLabel(const std::string& attributes)
    {
        std::string layout = defaultLayout();
        layout.insert(layout.rfind("</Layout>"),
                      "<pixelfontlabel id=\"LABEL_HINT\" style=\"normal\" wrapstyle=\"normal\" " + attributes + "/>\n");
        loadLayout(layout);
    }

    // The colour of the panel's picture, column 0, row y.
    std::uint32_t pieceAt(HintSprite* hint, int y) { return peek(hint->getSurface(), 0, y) & 0xFFFFFF; }
};

TEST_F(HintSpriteTest, PiecesFillTheLabelsHeightAndTheBottomCapOverlapsTheLastMiddlePiece)
{
    usePieces();
    // Each middle piece starts with a row of its own colour, so the rows where pieces begin show.
    fillRect(ResourceManager::getImage("IMAGE_HINT_MIDDLE")->getSurface(), 0, 0, kWidth, 1, kMiddleEdge);
    useLabel("");
    // The digit font's lines are 5 rows apart.
    struct Case {
        const char* text;
        int height;
        std::vector<int> pieceStarts; // visible; a piece that starts under the bottom cap is hidden
    };
    for (const Case& c : {Case{"1", 25, {10}}, Case{"1\n2", 30, {10, 18}}, Case{"1\n2\n3", 35, {10, 18}}}) {
        SCOPED_TRACE(c.text);
        auto* hint = keep(new HintSprite(c.text, 3, false));
        ASSERT_EQ(hint->getHeight(), c.height);
        EXPECT_EQ(hint->getWidth(), kWidth);
        for (int y = 0; y < c.height; ++y) {
            const bool start = std::find(c.pieceStarts.begin(), c.pieceStarts.end(), y) != c.pieceStarts.end();
            const std::uint32_t expected = y < 10                ? kTop
                                           : y >= c.height - 10 ? kBottom
                                           : start              ? kMiddleEdge
                                                                : kMiddle;
            EXPECT_EQ(pieceAt(hint, y), expected) << "row " << y;
        }
        EXPECT_EQ(mapByte(hint->getMask(), 0, 0), 0xE1);
        EXPECT_EQ(mapByte(hint->getMask(), 0, 12), 0xE2);
        EXPECT_EQ(mapByte(hint->getMask(), 0, c.height - 1), 0xE3);
    }
}

TEST_F(HintSpriteTest, TextIsCentredAndStartsFiveRowsAboveTheTopCapsEdge)
{
    usePieces();
    useLabel("colorfg=\"#F00000\"");
    auto* hint = keep(new HintSprite("11", 7, true));
    // "11": two glyphs, centred on the middle piece's width.
    Surface* picture = hint->getSurface();
    int left = kWidth, right = -1, topRow = 1000;
    for (int y = 0; y < hint->getHeight(); ++y)
        for (int x = 0; x < kWidth; ++x)
            if ((peek(picture, x, y) & 0xFFFFFF) == 0xF00000) {
                left = std::min(left, x);
                right = std::max(right, x);
                topRow = std::min(topRow, y);
            }
    ASSERT_GE(right, 0) << "the text is drawn";
    EXPECT_EQ(topRow, 5);
    EXPECT_NEAR(left + right, kWidth - 1, 1) << left << ".." << right;
}

TEST_F(HintSpriteTest, KeepsItsNumberRequestAndBirthTime)
{
    usePieces();
    useLabel("");
    compat::testing::advanceClock(1234);
    const DWORD now = timeGetTime();
    auto* hint = keep(new HintSprite("1", 12, true));
    EXPECT_EQ(hint->getHintNumber(), 12);
    EXPECT_TRUE(hint->isAsked());
    EXPECT_EQ(hint->getCreatedAt(), now);
    EXPECT_FALSE(hint->isMoving());
    EXPECT_EQ(HintSprite::font(), font);
    EXPECT_TRUE(hint->isKindOf(&BitmapSprite::classRecord));
}

TEST_F(HintSpriteTest, MissingPiecesOrLabelGiveAPanelWithoutCrashing)
{
    useLabel("");
    // No pieces at all: nothing to draw, no picture.
    auto* bare = keep(new HintSprite("1", 0, false));
    EXPECT_EQ(bare->getSurface(), nullptr);

    // A middle piece without rows must not stall the filling.
    usePieces(10, 0, 10);
    auto* flat = keep(new HintSprite("1", 0, false));
    EXPECT_EQ(flat->getHeight(), 5 + 20);

    // No label element: the caps alone.
    usePieces();
    loadLayout(defaultLayout());
    auto* empty = keep(new HintSprite("1", 0, false));
    EXPECT_EQ(empty->getHeight(), 20);
}

} // namespace
