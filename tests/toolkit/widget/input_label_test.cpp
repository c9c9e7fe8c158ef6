#include "compat/win32/system/notify/beep.h"
#include "compat/win32/system/machine/timer.h"
#include "platform/app/FrameTime.h"
#include "platform/catalogue/ResourceManager.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/PixelFontInputLabel.h"
#include "toolkit/widget/WidgetFont.h"
#include "toolkit/widget/WidgetPixels.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Beeps = std::vector<UINT>;
using Field = PixelFontInputLabel;

// A field at (10, 10), 80 x 10, in the 5-pixel test font, on a 100 x 100 canvas; the field is focused
// by a click, as the player focuses it. Every character is 5 pixels wide, so character i spans
// x = 10 + 5i .. 14 + 5i.
class InputLabelTest : public WidgetFontTest {
protected:
    void SetUp() override
    {
        WidgetFontTest::SetUp();
        catalogue = std::make_unique<ResourceManager>(0);
        catalogue->storeFont("FONT_TEST", uniform);
        canvas = new SpriteCanvas(100, 100, 100, 100);
        canvas->addRef();
        compat::testing::takeMessageBeeps();
    }
    void TearDown() override
    {
        canvas->release();
        catalogue.reset();
        compat::testing::takeMessageBeeps();
        WidgetFontTest::TearDown();
    }

    Field* make(const std::string& attributes = "", const std::string& text = "")
    {
        const std::string xml = "<pixelfontinputlabel x='10' y='10' width='80' height='10' font='FONT_TEST' "
                                "wrapstyle='normal' " + attributes + ">" + text + "</pixelfontinputlabel>";
        TiXmlDocument doc;
        doc.Parse(xml.c_str());
        Sprite* sprite = createSpriteFromXml(doc.RootElement());
        EXPECT_TRUE(sprite && sprite->isKindOf(&Field::classRecord)) << xml;
        canvas->addSprite(sprite);
        return static_cast<Field*>(sprite);
    }
    Field* focused(const std::string& text, const std::string& attributes = "")
    {
        Field* field = make(attributes);
        click(12);
        field->setText(text);
        return field;
    }
    void click(int x, int extra = 0)
    {
        canvas->leftPressed(x, 12, 1, extra);
        canvas->leftReleased(x, 12, 0);
    }
    void type(const std::string& characters)
    {
        for (char c : characters)
            canvas->keyTyped(c);
    }
    void key(int code)
    {
        canvas->keyPressed(code);
        canvas->keyReleased(code);
    }
    void keys(std::initializer_list<int> codes)
    {
        for (int code : codes)
            key(code);
    }

    std::unique_ptr<ResourceManager> catalogue;
    SpriteCanvas* canvas = nullptr;
};

struct TypingCase {
    const char* name;
    const char* attributes;
    const char* text;
    int selectionStart, selectionEnd; // -1: none
    const char* typed;
    const char* expected;
    int cursor;
    Beeps beeps;
};

TEST_F(InputLabelTest, TypingGoesThroughTheFilterAndTheLimit)
{
    constexpr UINT exclamation = 0x30;
    const TypingCase cases[] = {
        {"typed at the cursor", "", "ac", -1, -1, "b", "acb", 3, {}},
        {"outside the default set", "", "ab", -1, -1, "&~", "ab", 2, {exclamation, exclamation}},
        {"a full field refuses", "maxlength='3'", "abc", -1, -1, "d", "abc", 3, {exclamation}},
        {"a selection is replaced, within the limit", "maxlength='3'", "abc", 0, 2, "x", "xc", 1, {}},
        {"a selection made leftwards", "", "abcdefg", 5, 2, "x", "abxfg", 3, {}},
        {"a refused character still erases the selection", "", "abcd", 1, 3, "&", "ad", 1, {exclamation}},
        {"numbers only ignores letters silently", "numbersonly='1' charfilter='0123'", "", -1, -1, "a1b", "1", 1,
         {}},
        {"numbers only beeps at digits outside the filter", "numbersonly='1' charfilter='0123'", "", -1, -1, "7",
         "", 0, {exclamation}},
        {"a custom filter", "charfilter='xyz'", "", -1, -1, "xa", "x", 1, {exclamation}},
        {"bytes from 161 up are ignored silently", "", "ab", -1, -1, "\xE9\xB0", "ab", 2, {}},
        {"control characters are not text", "", "abcd", 0, 4, "\r\b\t\x1B", "abcd", 4, {}},
        {"no limit below zero", "maxlength='-1'", "abcdefghijkl", -1, -1, "m", "abcdefghijklm", 13, {}},
    };
    for (const TypingCase& c : cases) {
        SCOPED_TRACE(c.name);
        Field* field = focused(c.text, c.attributes);
        field->setSelection(c.selectionStart, c.selectionEnd);
        type(c.typed);
        EXPECT_EQ(field->getText(), c.expected);
        EXPECT_EQ(field->getCursor(), c.cursor);
        EXPECT_EQ(compat::testing::takeMessageBeeps(), c.beeps);
        canvas->removeSprite(field);
        canvas->removeObsolete();
    }
}

TEST_F(InputLabelTest, OnlyAFocusedEditableFieldTakesKeys)
{
    Field* field = make("", "ab");
    type("c");
    key(Field::KeyBackspace);
    EXPECT_EQ(field->getText(), "ab") << "not focused yet";
    click(12);
    EXPECT_TRUE(field->isFocused());
    type("c");
    EXPECT_EQ(field->getText(), "cab") << "the click put the cursor before the first character";
    key(Field::KeyEnter);
    EXPECT_FALSE(field->isFocused());
    type("d");
    EXPECT_EQ(field->getText(), "cab");

    field->setReadOnly(true);
    field->setFocused(true);
    type("d");
    key(Field::KeyDelete);
    EXPECT_EQ(field->getText(), "cab");
    canvas->leftPressed(12, 12, 1, 0);
    EXPECT_FALSE(field->isFocused()) << "a press on a read-only field takes the focus away";
    EXPECT_TRUE(compat::testing::takeMessageBeeps().empty());
}

TEST_F(InputLabelTest, ShiftSelectsAndLeftDropsTheSelection)
{
    Field* field = focused("abcdef");
    key(Field::KeyHome);
    EXPECT_EQ(field->getCursor(), 0);
    canvas->keyPressed(Field::KeyShift);
    keys({Field::KeyRight, Field::KeyRight, Field::KeyRight});
    canvas->keyReleased(Field::KeyShift);
    EXPECT_EQ(field->getSelectionStart(), 0);
    EXPECT_EQ(field->getSelectionEnd(), 3);
    EXPECT_FALSE(field->isSelecting());
    key(Field::KeyLeft);
    EXPECT_FALSE(field->hasSelection());
    EXPECT_EQ(field->getCursor(), 3) << "dropping the selection does not move the cursor";
    key(Field::KeyLeft);
    EXPECT_EQ(field->getCursor(), 2);

    // Shift+End selects to the end; End again without Shift drops the selection.
    canvas->keyPressed(Field::KeyShift);
    key(Field::KeyEnd);
    canvas->keyReleased(Field::KeyShift);
    EXPECT_EQ(field->getSelectionStart(), 2);
    EXPECT_EQ(field->getSelectionEnd(), 6);
    key(Field::KeyHome);
    EXPECT_EQ(field->getCursor(), 0);
    EXPECT_FALSE(field->hasSelection());

    // Shift+Left twice from the end, then Escape.
    key(Field::KeyEnd);
    canvas->keyPressed(Field::KeyShift);
    keys({Field::KeyLeft, Field::KeyLeft});
    canvas->keyReleased(Field::KeyShift);
    EXPECT_EQ(field->getSelectionStart(), 6);
    EXPECT_EQ(field->getSelectionEnd(), 4);
    key(Field::KeyBackspace);
    EXPECT_EQ(field->getText(), "abcd") << "Backspace erases the selection only";
    EXPECT_EQ(field->getCursor(), 4);
    field->selectAll();
    key(Field::KeyEscape);
    EXPECT_FALSE(field->hasSelection());
}

struct EditCase {
    const char* name;
    const char* text;
    int cursor;
    std::vector<int> keys; // Ctrl is held for the whole list when the first entry is Ctrl
    const char* expected;
    int cursorAfter;
};

TEST_F(InputLabelTest, EditingKeysStepOverWordsAndDoubleByteCharacters)
{
    using F = Field;
    const EditCase cases[] = {
        {"backspace", "abc", 2, {F::KeyBackspace}, "ac", 1},
        {"backspace at the start", "abc", 0, {F::KeyBackspace}, "abc", 0},
        {"delete", "abc", 1, {F::KeyDelete}, "ac", 1},
        {"delete at the end", "abc", 3, {F::KeyDelete}, "abc", 3},
        {"left and right", "abc", 1, {F::KeyRight, F::KeyRight, F::KeyRight, F::KeyLeft}, "abc", 2},
        {"ctrl left to the start of the word", "ab cd  ef", 8, {F::KeyCtrl, F::KeyLeft}, "ab cd  ef", 7},
        {"ctrl left over spaces first", "ab cd  ef", 7, {F::KeyCtrl, F::KeyLeft}, "ab cd  ef", 3},
        {"ctrl right to the next word", "ab cd  ef", 4, {F::KeyCtrl, F::KeyRight}, "ab cd  ef", 7},
        {"ctrl right at the last word", "ab cd", 3, {F::KeyCtrl, F::KeyRight}, "ab cd", 5},
        {"left over a double-byte pair", "a\xB0\xA1"
                                         "b",
         3, {F::KeyLeft}, "a\xB0\xA1"
                          "b",
         1},
        {"right over a double-byte pair", "a\xB0\xA1"
                                          "b",
         1, {F::KeyRight}, "a\xB0\xA1"
                           "b",
         3},
        {"backspace erases a pair", "a\xB0\xA1"
                                    "b",
         3, {F::KeyBackspace}, "ab", 1},
        {"delete erases a pair", "a\xB0\xA1"
                                 "b",
         1, {F::KeyDelete}, "ab", 1},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        Field* field = focused(c.text);
        field->setCursor(c.cursor);
        const bool ctrl = !c.keys.empty() && c.keys.front() == F::KeyCtrl;
        if (ctrl)
            canvas->keyPressed(F::KeyCtrl);
        for (std::size_t i = ctrl ? 1 : 0; i < c.keys.size(); ++i)
            key(c.keys[i]);
        if (ctrl)
            canvas->keyReleased(F::KeyCtrl);
        EXPECT_EQ(field->getText(), c.expected);
        EXPECT_EQ(field->getCursor(), c.cursorAfter);
        canvas->removeSprite(field);
        canvas->removeObsolete();
    }
}

TEST_F(InputLabelTest, MousePlacesTheCursorAndDragsASelection)
{
    Field* field = focused("abcdef");
    click(80);
    EXPECT_EQ(field->getCursor(), 6) << "right of the text: the end";
    click(22);
    EXPECT_EQ(field->getCursor(), 2) << "x 22 lies in the third character";
    EXPECT_EQ(field->getCursorX(), 10);

    canvas->leftPressed(16, 12, 1, 0);
    EXPECT_TRUE(canvas->isConsumed());
    canvas->mouseMoved(31, 12, 1);
    canvas->leftReleased(31, 12, 0);
    EXPECT_EQ(field->getSelectionStart(), 1);
    EXPECT_EQ(field->getSelectionEnd(), 4);
    EXPECT_EQ(field->getCursor(), 4);
    canvas->mouseMoved(40, 12, 0);
    EXPECT_EQ(field->getCursor(), 4) << "moves without the button do not select";

    canvas->leftPressed(16, 12, 1, 0);
    canvas->mouseMoved(31, 12, 1);
    canvas->mouseMoved(16, 12, 1);
    canvas->leftReleased(16, 12, 0);
    EXPECT_EQ(field->getCursor(), 1) << "a drag back to where it began takes the cursor back";
    EXPECT_FALSE(field->hasSelection());

    click(12, 1);
    EXPECT_EQ(field->getSelectionStart(), 0);
    EXPECT_EQ(field->getSelectionEnd(), 6);
    EXPECT_EQ(field->getCursor(), 6) << "a double click selects everything";
    type("z");
    EXPECT_EQ(field->getText(), "z");

    field->setText("hello");
    EXPECT_EQ(field->getCursor(), 5) << "new text puts the cursor at its end";
}

TEST_F(InputLabelTest, DrawsTheSelectionAndTheBlinkingCursorInverted)
{
    Field* field = focused("abcd");
    field->setColorDraw(true);
    field->setColorFg(0xFFFFFF);
    field->setStyle(PixelFontLabel::StyleNormal);
    field->setSelection(1, 3);
    field->setCursor(4);
    DirectDrawSurface* target = make32(100, 30);
    const auto drawnAt = [&](int x, int y) {
        target->fill(0);
        field->draw(target);
        return peek(target, x, y) & 0xFFFFFF;
    };
    // "b" and "c" (x 15..24) are inverted: the glyphs turn black, the gaps between them white.
    EXPECT_TRUE(nearColour(drawnAt(15, 10), 0));
    EXPECT_TRUE(nearColour(drawnAt(19, 10), 0xFFFFFF));
    EXPECT_TRUE(nearColour(drawnAt(10, 10), 0xFFFFFF)) << "outside the selection the glyph is drawn plainly";
    EXPECT_EQ(drawnAt(31, 10), 0xFFFFFFu) << "the cursor, 2 pixels wide after the fourth character";
    EXPECT_EQ(drawnAt(32, 10), 0u);

    // Frames as the application measures them on the virtual clock: 20 ms each.
    compat::testing::useVirtualClock(true);
    DWORD last = timeGetTime();
    const auto frame = [&] {
        compat::testing::advanceClock(20);
        const DWORD now = timeGetTime();
        field->setDirty(false);
        canvas->update(FrameTime(static_cast<int>(now - last)));
        last = now;
    };
    // 750 ms on, then 250 ms off: frames 1..37 (20..740 ms) show the cursor, 38..49 do not, and the
    // 50th (a whole second) starts the next visible period.
    int firstHidden = 0, shownAgain = 0;
    for (int n = 1; n <= 50; ++n) {
        frame();
        const bool visible = drawnAt(30, 14) != 0;
        if (!visible && firstHidden == 0) {
            firstHidden = n;
            EXPECT_TRUE(field->isDirty()) << "the flip repaints";
        }
        if (visible && firstHidden != 0 && shownAgain == 0)
            shownAgain = n;
    }
    EXPECT_EQ(firstHidden, 38);
    EXPECT_EQ(shownAgain, 50);
    for (int n = 0; n < 40; ++n)
        frame();
    compat::testing::useVirtualClock(false);
    ASSERT_FALSE(field->getBlinker().visible);
    EXPECT_TRUE(nearColour(drawnAt(10, 10), 0xFFFFFF));
    field->setCursor(0);
    EXPECT_TRUE(nearColour(drawnAt(10, 10), 0)) << "a cursor move starts a visible period at once";
    field->setFocused(false);
    EXPECT_TRUE(nearColour(drawnAt(15, 10), 0xFFFFFF)) << "an unfocused field shows no selection";
}

TEST_F(InputLabelTest, AFieldWithoutAFontEditsButDrawsNothing)
{
    Held<Field> bare(new Field);
    bare->setBounds(0, 0, 40, 10);
    canvas->addSprite(bare.get());
    canvas->leftPressed(5, 5, 1, 0);
    canvas->leftReleased(5, 5, 0);
    type("ab");
    key(Field::KeyLeft);
    key(Field::KeyBackspace);
    EXPECT_EQ(bare->getText(), "b");
    EXPECT_EQ(bare->getCursorX(), 0);
    DirectDrawSurface* target = make32(40, 10);
    target->fill(0);
    bare->draw(target);
    for (int x = 0; x < 40; ++x)
        ASSERT_EQ(peek(target, x, 0), 0u) << x;
}

TEST_F(InputLabelTest, LayoutElementConfiguresTheField)
{
    Field* field = make("numbersonly='true' maxlength='4' charfilter='12' readonly='1' cursorwidth='3' "
                        "cursortimeon='10' cursortimeoff='20'",
                        "12");
    EXPECT_TRUE(field->isNumbersOnly());
    EXPECT_EQ(field->getMaxLength(), 4);
    EXPECT_EQ(field->getCharFilter(), "12");
    EXPECT_TRUE(field->isReadOnly());
    EXPECT_EQ(field->getCursorWidth(), 3);
    EXPECT_EQ(field->getBlinker().timeOn, 10);
    EXPECT_EQ(field->getBlinker().timeOff, 20);
    EXPECT_TRUE(field->hasStateFlags(Field::StateConsumesPress));
    EXPECT_EQ(field->getInputFlags() & 29574u, 29574u);

    Field* plain = make();
    EXPECT_EQ(plain->getMaxLength(), -1);
    const std::string& set = Field::defaultCharacterSet();
    EXPECT_EQ(set.size(), 148u);
    EXPECT_EQ(set.substr(0, 27), " ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(set.substr(63, 18), "!@#$%*()/:;'+,-.=?");
    EXPECT_EQ(plain->getCharFilter(), set);
}

} // namespace
