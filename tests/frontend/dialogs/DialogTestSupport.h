// The common ground of the front end's dialog tests: an application, the test font as "FONT_TEST" in
// a fresh catalogue, a base layout document written from the test's own XML, and a 640 x 480 canvas,
// with helpers to find sprites in a dialog and to click them.
#pragma once

#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "resources/layout/LayoutDocument.h"
#include "support/TempDir.h"
#include "toolkit/dialog/Dialog.h"
#include "toolkit/dialog/DialogListener.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/SpriteContainer.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"
#include "toolkit/widget/WidgetFont.h"

#include <gtest/gtest.h>

#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace dialogtest {

class DialogApp : public Application {
public:
    DialogApp() : Application(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000) {}
};

// Records every dialog that closes as "NAME:RESULT", or "RESULT" for a dialog without a name (the
// result empty when there is none).
class RecordingListener : public DialogListener {
public:
    void onDialogClosed(Dialog* dialog) override
    {
        const std::string result = dialog->getResult() ? dialog->getResult()->getName() : "";
        results.push_back(dialog->getName().empty() ? result : dialog->getName() + ":" + result);
    }
    std::vector<std::string> results;
};

// Holds a dialog built off-canvas and takes it down at the end, so the dialog and its children,
// which hold each other, are freed.
template <class T> struct Built {
    explicit Built(T* dialog) : p(dialog) { p->addRef(); }
    ~Built()
    {
        p->setObsolete(true);
        p->release();
    }
    Built(const Built&) = delete;
    Built& operator=(const Built&) = delete;
    T* operator->() const { return p; }
    T* get() const { return p; }
    T* p;
};

class DialogTest : public WidgetFontTest {
protected:
    void SetUp() override
    {
        WidgetFontTest::SetUp();
        app = makeApp();
        catalogue = new ResourceManager(0);
        catalogue->storeFont("FONT_TEST", uniform);
        canvas = new SpriteCanvas(640, 480, 640, 480);
        canvas->addRef();
    }
    void TearDown() override
    {
        if (canvas)
            canvas->release();
        LayoutDocument::unloadAll();
        delete catalogue;
        app.reset();
        WidgetFontTest::TearDown();
    }
    // The application the dialogs run under; a test that needs more of it (a property store) makes its own.
    virtual std::unique_ptr<Application> makeApp() { return std::make_unique<DialogApp>(); }

    // Plain pictures of one size under each identifier.
    void storeImages(std::initializer_list<const char*> ids, int width, int height)
    {
        for (const char* id : ids)
            catalogue->storeImage(id, picture(width, height));
    }
    // The base layout document, from the whole XML text of a <Layout> element.
    void loadLayout(const std::string& xml)
    {
        std::ofstream(dir.file("base.xml")) << xml;
        ASSERT_TRUE(LayoutDocument::loadFile(LayoutDocument::kBase, dir.file("base.xml")));
    }

    // One frame of 20 milliseconds at 50 frames a second.
    void frame() { canvas->update(0.02f, 20, 50.0f); }
    // Takes everything off the canvas, as the screen that held the dialogs would when it goes.
    void clearCanvas()
    {
        for (Sprite* sprite : canvas->getSprites())
            sprite->setObsolete(true);
        frame();
    }
    // Moves the pointer to a point just inside the sprite's top left corner, presses and releases there.
    void click(Sprite* sprite)
    {
        ASSERT_NE(sprite, nullptr);
        const int x = sprite->getAbsoluteX() + 5;
        const int y = sprite->getAbsoluteY() + 5;
        canvas->mouseMoved(x, y, 0);
        canvas->leftPressed(x, y, 1, 0);
        canvas->leftReleased(x, y, 0);
    }
    // The first sprite of that name that is not obsolete, searched depth first through nested containers.
    static Sprite* find(SpriteContainer* container, const std::string& name)
    {
        for (Sprite* child : container->getChildren()) {
            if (child->getName() == name && !child->isObsolete())
                return child;
            if (auto* inner = dynamic_cast<SpriteContainer*>(child))
                if (Sprite* found = find(inner, name))
                    return found;
        }
        return nullptr;
    }
    static std::string text(Sprite* sprite) { return static_cast<PixelFontLabel*>(sprite)->getText(); }

    testsupport::TempDir dir;
    std::unique_ptr<Application> app;
    ResourceManager* catalogue = nullptr;
    SpriteCanvas* canvas = nullptr;
};

} // namespace dialogtest
