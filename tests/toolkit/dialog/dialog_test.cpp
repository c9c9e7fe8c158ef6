#include "compat/host/testing.h"
#include "compat/win32/window/window.h"
#include "platform/app/Application.h"
#include "platform/surface/SurfaceHolder.h"
#include "resources/layout/LayoutDocument.h"
#include "support/TempDir.h"
#include "toolkit/dialog/Dialog.h"
#include "toolkit/dialog/DialogListener.h"
#include "toolkit/dialog/FramedDialog.h"
#include "toolkit/dialog/PortalShell.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteTestSupport.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/ToolTipSpriteRenderer.h"
#include "toolkit/widget/TooltipManagerSprite.h"
#include "platform/surface/SurfaceTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

class DialogApp : public Application {
public:
    DialogApp() : Application(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000) {}
};

class CountingListener : public DialogListener {
public:
    void onDialogClosed(Dialog* dialog) override { answered.push_back(dialog); }
    std::vector<Dialog*> answered;
};

// A full-screen sprite that takes every input under a 200 x 150 dialog at (100, 100) with an "OK"
// button (40 x 20 at 10, 10 inside it), on a 640 x 480 canvas.
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<DialogApp>();
        canvas = new SpriteCanvas(640, 480, 640, 480);
        canvas->addRef();
        below = new RecordingSprite("below", &log, 0, 0, 640, 480);
        below->setInputFlags(Sprite::InputLeftPressed | Sprite::InputLeftReleased | Sprite::InputMouseOver |
                             Sprite::InputKeyPressed);
        canvas->addSprite(below);
        dialog = new Dialog(100, 100, 200, 150);
        dialog->addRef();
        dialog->setListener(&listener);
        ok = addButton("BUTTON_OK", 10, 10);
    }
    void TearDown() override
    {
        // Dialog and buttons hold each other until the dialog is made obsolete.
        dialog->setObsolete(true);
        dialog->release();
        canvas->release();
        app.reset();
    }

    ButtonBlit* addButton(const std::string& name, int x, int y)
    {
        auto* button = new ButtonBlit;
        button->setName(name);
        button->setBounds(x, y, 40, 20);
        button->setListener(dialog);
        dialog->addChildAsIs(button);
        return button;
    }
    void click(int x, int y)
    {
        canvas->mouseMoved(x, y, 0);
        canvas->leftPressed(x, y, 1, 0);
        canvas->leftReleased(x, y, 0);
    }
    bool belowHeard(const std::string& event) const
    {
        for (const std::string& entry : log)
            if (entry == "below:" + event)
                return true;
        return false;
    }

    std::unique_ptr<DialogApp> app;
    SpriteCanvas* canvas = nullptr;
    RecordingSprite* below = nullptr;
    Dialog* dialog = nullptr;
    ButtonBlit* ok = nullptr;
    CountingListener listener;
    std::vector<std::string> log;
};

TEST_F(DialogTest, OpenDialogKeepsInputFromEverythingBeneath)
{
    click(20, 20);
    EXPECT_TRUE(belowHeard("left"));
    log.clear();

    canvas->addSprite(dialog);
    EXPECT_TRUE(dialog->isInputBarrier());
    click(20, 20); // outside the dialog
    click(150, 200); // inside it, off its button
    canvas->keyPressed(13);
    EXPECT_FALSE(belowHeard("left"));
    EXPECT_FALSE(belowHeard("key"));
    EXPECT_FALSE(belowHeard("move"));
    EXPECT_TRUE(belowHeard("exit")) << "the pointer counts as having left what the dialog covers";
    EXPECT_TRUE(listener.answered.empty());
}

TEST_F(DialogTest, ButtonAnswersTellsTheListenerAndClosesTheDialog)
{
    canvas->addSprite(dialog);
    click(120, 115);
    ASSERT_EQ(listener.answered, std::vector<Dialog*>{dialog});
    EXPECT_EQ(dialog->getResult(), ok);
    EXPECT_FALSE(dialog->hasStateFlags(Sprite::StateEnabled)) << "an answered dialog is disabled";
    EXPECT_TRUE(dialog->isObsolete());
    canvas->update(0.02f, 20, 50.0f);
    EXPECT_EQ(canvas->getSpriteCount(), 1) << "dialog and button left the canvas; only the sprite beneath stays";
    click(20, 20);
    EXPECT_TRUE(belowHeard("left")) << "input reaches the screen again";
}

TEST_F(DialogTest, DialogLeftOpenByItsOwnerStaysDisabledAfterTheAnswer)
{
    ButtonBlit* no = addButton("BUTTON_NO", 60, 10);
    dialog->setCloseOnButton(false);
    canvas->addSprite(dialog);
    click(70, 115); // left of the dialog
    EXPECT_TRUE(listener.answered.empty());
    click(170, 115);
    EXPECT_EQ(dialog->getResult(), no);
    EXPECT_EQ(listener.answered.size(), 1u);
    canvas->update(0.02f, 20, 50.0f);
    EXPECT_EQ(canvas->indexOf(dialog), 1) << "still open";
    EXPECT_FALSE(dialog->hasStateFlags(Sprite::StateEnabled));
    click(120, 115);
    EXPECT_EQ(dialog->getResult(), no) << "a disabled dialog takes no further answer";
    EXPECT_EQ(listener.answered.size(), 1u);
    click(20, 20);
    EXPECT_FALSE(belowHeard("left")) << "and still keeps input from what is beneath";
}

TEST_F(DialogTest, HandOverButtonLeavesTheDialogOpenAndPostsToTheShell)
{
    compat::testing::resetWindows();
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "ShellTest";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND shell = CreateWindowExA(0, "ShellTest", "CorvelShell", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                 nullptr);
    ASSERT_NE(shell, nullptr);
    ButtonBlit* cutover = addButton("BUTTON_CUTOVER", 60, 10);
    canvas->addSprite(dialog);

    // No shell handle known: the window is brought forward, nothing is posted anywhere.
    click(170, 115);
    EXPECT_EQ(GetForegroundWindow(), shell);
    MSG message{};
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0x2B1A, 0x2B1A, PM_REMOVE));

    setPortalShellWindow(shell);
    click(170, 115);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0x2B1A, 0x2B1A, PM_REMOVE));
    EXPECT_EQ(message.hwnd, shell);
    EXPECT_EQ(message.wParam, 1u);
    EXPECT_EQ(message.lParam, 0);
    setPortalShellWindow(nullptr);

    EXPECT_EQ(dialog->getResult(), nullptr);
    EXPECT_TRUE(listener.answered.empty());
    EXPECT_TRUE(dialog->hasStateFlags(Sprite::StateEnabled));
    EXPECT_TRUE(cutover->isUsable());
    EXPECT_FALSE(dialog->isObsolete());
    DestroyWindow(shell);
    compat::testing::resetWindows();
}

TEST_F(DialogTest, DraggedDialogStaysOnTheScreenAndTheGripSlides)
{
    dialog->setDraggable(true);
    canvas->addSprite(dialog);
    canvas->mouseMoved(150, 120, 0);
    canvas->leftPressed(150, 120, 1, 0);
    ASSERT_TRUE(dialog->isDragging());
    EXPECT_EQ(app->getCursorShape(), Dialog::CursorHand);

    canvas->mouseMoved(170, 130, 1);
    EXPECT_EQ(dialog->getX(), 120);
    EXPECT_EQ(dialog->getY(), 110);
    EXPECT_EQ(ok->getAbsoluteX(), 130) << "the children move with it";

    canvas->mouseMoved(40, 130, 1); // 20 beyond the left edge
    EXPECT_EQ(dialog->getX(), 0);
    canvas->mouseMoved(45, 130, 1);
    EXPECT_EQ(dialog->getX(), 5) << "moving back moves the dialog at once";

    canvas->mouseMoved(700, 500, 1);
    EXPECT_EQ(dialog->getX(), 440);
    EXPECT_EQ(dialog->getY(), 330);
    canvas->mouseMoved(0, -50, 1);
    EXPECT_EQ(dialog->getY(), 0);

    canvas->leftReleased(0, 0, 0);
    EXPECT_FALSE(dialog->isDragging());
    EXPECT_EQ(app->getCursorShape(), Dialog::CursorArrow);
    const int x = dialog->getX();
    canvas->mouseMoved(300, 300, 0);
    EXPECT_EQ(dialog->getX(), x);
}

TEST_F(DialogTest, OnlyADraggableDialogMovesAndOnlyFromInside)
{
    canvas->addSprite(dialog);
    canvas->mouseMoved(150, 120, 0);
    canvas->leftPressed(150, 120, 1, 0);
    EXPECT_FALSE(dialog->isDragging());

    dialog->setDraggable(true);
    canvas->mouseMoved(20, 20, 0);
    canvas->leftPressed(20, 20, 1, 0);
    EXPECT_FALSE(dialog->isDragging()) << "a press outside the dialog does not grip it";
    canvas->mouseMoved(120, 115, 0);
    canvas->leftPressed(120, 115, 1, 0);
    EXPECT_FALSE(dialog->isDragging()) << "a press on its button is the button's";
}

TEST_F(DialogTest, TooltipManagerFromTheLayoutFollowsTheDialog)
{
    testsupport::TempDir dir;
    {
        std::ofstream out(dir.file("base.xml"));
        out << "<Layout><tooltipmanager id='TOOLTIPS_DEFAULT' delaytime='250'>"
               "<tooltiprenderer id='renderer'/></tooltipmanager></Layout>";
    }
    ASSERT_TRUE(LayoutDocument::loadFile(LayoutDocument::kBase, dir.file("base.xml")));
    Held<Dialog> framed(new Dialog(0, 0, 100, 100));
    LayoutDocument::unloadAll();
    TooltipManagerSprite* manager = framed->getTooltipManager();
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->getDelayTime(), 250);
    manager->addSource(ok);

    canvas->addSprite(framed.get());
    EXPECT_EQ(canvas->indexOf(manager), canvas->indexOf(framed.get()) + 1);
    EXPECT_EQ(canvas->indexOf(manager->getRenderer()), canvas->getSpriteCount() - 1);
    canvas->removeSprite(framed.get());
    EXPECT_EQ(framed->getTooltipManager(), nullptr);
    EXPECT_TRUE(manager->getSources().empty());
    canvas->update(0.02f, 20, 50.0f);
    EXPECT_EQ(canvas->getSpriteCount(), 1) << "dialog, manager and renderer are gone";

    EXPECT_EQ(dialog->getTooltipManager(), nullptr) << "without the layout element a dialog has none";
}

// Solid 8 x 8 frame parts in five colours.
class FramedDialogTest : public DisplayTest {
protected:
    SurfaceHolder* part(std::uint32_t colour, int w = 8, int h = 8)
    {
        auto* holder = new SurfaceHolder;
        holder->addRef();
        holders.push_back(holder);
        DirectDrawSurface* surface = make32(static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h));
        surface->fill(colour);
        holder->setSurface(surface);
        return holder;
    }
    void TearDown() override
    {
        for (SurfaceHolder* h : holders)
            h->release();
        DisplayTest::TearDown();
    }
    std::vector<SurfaceHolder*> holders;
};

TEST_F(FramedDialogTest, FramePartsGoWhereTheFrameSays)
{
    DialogApp app;
    const std::uint32_t inside = 0x110000, left = 0x002200, right = 0x000033, top = 0x444444, bottom = 0x555555;
    Held<FramedDialog> framed(new FramedDialog(10, 10, 100, 100, part(left), part(right), part(top, 100, 8),
                                               part(bottom, 100, 6), part(inside)));
    Surface* target = make32(200, 200);
    target->fill(0);
    framed->draw(target);
    struct Probe {
        int x, y;
        std::uint32_t colour;
    };
    for (const Probe& p : {Probe{40, 30, inside}, Probe{79, 89, inside}, Probe{39, 30, 0}, Probe{80, 30, 0},
                           Probe{23, 50, left}, Probe{30, 50, left}, Probe{22, 50, 0}, Probe{105, 50, right},
                           Probe{112, 50, right}, Probe{113, 50, 0}, Probe{23, 39, 0}, Probe{23, 90, 0},
                           Probe{10, 10, top}, Probe{109, 17, top}, Probe{10, 104, bottom}, Probe{109, 109, bottom},
                           Probe{110, 109, 0}}) {
        EXPECT_EQ(peek(target, p.x, p.y) & 0xFFFFFF, p.colour) << p.x << "," << p.y;
    }

    // 60 wide or less: no inside tiles, but the frame still draws.
    Held<FramedDialog> narrow(
        new FramedDialog(0, 0, 60, 100, part(left), part(right), part(top, 60, 8), part(bottom, 60, 6), part(inside)));
    target->fill(0);
    narrow->draw(target);
    for (int x = 0; x < 60; ++x)
        for (int y = 8; y < 94; ++y)
            ASSERT_NE(peek(target, x, y) & 0xFFFFFF, inside) << x << "," << y;
    EXPECT_EQ(peek(target, 0, 0) & 0xFFFFFF, top);

    // A dialog without images draws nothing and does not fail.
    Held<FramedDialog> bare(new FramedDialog(0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr, nullptr));
    bare->draw(target);
}

} // namespace
