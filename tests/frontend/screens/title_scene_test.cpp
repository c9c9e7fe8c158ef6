// The title screen built from the staged data set and driven through the mouse and keyboard on its
// canvas: the first run's name entry, the buttons' answers, the saved-game question and the start of a
// game on the play screen.
#include "compat/win32/registry/registry.h"
#include "compat/win32/system/process/shell.h"
#include "frontend/app/GameApp.h"
#include "frontend/screens/QuarrytideTransition.h"
#include "frontend/screens/TitleScene.h"
#include "game/screen/GameScene.h"
#include "game/stats/StatsManager.h"
#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/surface/ImageLoader.h"
#include "platform/surface/MemorySurface.h"
#include "platform/surface/SurfaceTestSupport.h"
#include "resources/settings/Settings.h"
#include "runtime/Random.h"
#include "runtime/properties/Properties.h"
#include "runtime/streams/XMLDocumentFile.h"
#include "support/StagedDataSet.h"
#include "support/TempDir.h"
#include "toolkit/dialog/Dialog.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

// Records the screen the title asks for instead of switching at the next frame.
class TitleApp : public Application {
public:
    TitleApp() : Application(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000) {}
    void setPendingScene(Scene* scene) override { pending = scene; }
    Scene* pending = nullptr;
};

PlayScene* noField(GameSettings*)
{
    return nullptr;
}

class TitleSceneTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        registerQuarrytideTransitionCreator();
        setenv("XDG_DATA_HOME", home.path().c_str(), 1);
        compat::testing::setRegistryFile(registry.file("registry"));
        compat::testing::recordShellOpens(true);
        Settings::instance().setNoRegistry(1);
        app = std::make_unique<TitleApp>();
        data = std::make_unique<testsupport::StagedDataSet>(
            std::filesystem::path(QUARRY_PROGRAM).parent_path().string());
        GameApp::setConfig(new Properties());
        GameApp::getConfig().setString("currentplayer", "");
        GameScene::setPlayFieldFactory(&noField);
        ownedBefore = StatsManager::instance().distinctOwned;
        title = new TitleScene(app.get());
        play = new GameScene(app.get());
        app->addScene(title);
        app->addScene(play);
    }
    void TearDown() override
    {
        app->switchScene(nullptr);
        GameScene::setPlayFieldFactory(nullptr);
        StatsManager::instance().distinctOwned = ownedBefore;
        compat::testing::recordShellOpens(false);
        GameApp::deleteConfig();
        data.reset();
        app.reset();
        DisplayTest::TearDown();
    }

    void enterAs(const std::string& player)
    {
        GameApp::getConfig().setString("currentplayer", player);
        app->switchScene(title);
    }
    SpriteCanvas* canvas() const { return title->getCanvas(); }
    template <class T = Sprite> T* find(const std::string& name) const
    {
        return dynamic_cast<T*>(canvas()->findSprite(name));
    }
    void click(const std::string& name)
    {
        Sprite* target = find(name);
        ASSERT_NE(target, nullptr) << name;
        const int x = target->getAbsoluteX() + target->getWidth() / 2;
        const int y = target->getAbsoluteY() + target->getHeight() / 2;
        canvas()->mouseMoved(x, y, 0);
        canvas()->leftPressed(x, y, 1, 0);
        canvas()->leftReleased(x, y, 0);
        canvas()->removeObsolete();
    }
    std::string balloon() const
    {
        auto* label = find<PixelFontLabel>("LABEL_TITLE_BALLOON");
        return label ? label->getText() : "<none>";
    }
    // A saved game of the player as the play field writes it (only what the title screen reads).
    void writeSave(const std::string& mode, const std::string& player, const std::string& xml)
    {
        TiXmlDocument document;
        document.Parse(("<Root>" + xml + "</Root>").c_str());
        ASSERT_TRUE(saveXMLDocument(document, GameApp::getSaveGamePath(mode, player, "savegames"), "%s"));
        ASSERT_TRUE(GameApp::saveGameExists(mode, player, "savegames"));
    }

    testsupport::TempDir home, registry;
    std::unique_ptr<TitleApp> app;
    std::unique_ptr<testsupport::StagedDataSet> data;
    TitleScene* title = nullptr;
    GameScene* play = nullptr;
    int32_t ownedBefore = 0;
};

} // namespace

TEST_F(TitleSceneTest, AFirstRunAsksForANameAndWelcomesThePlayerByIt)
{
    enterAs("");
    EXPECT_EQ(balloon(), "Welcome to the quarry!");
    ASSERT_NE(find<Dialog>("DIALOG_NAME_ENTRY"), nullptr) << "the required name entry opens at once";

    for (char c : std::string("Ann"))
        canvas()->keyTyped(c);
    find<Dialog>("DIALOG_NAME_ENTRY")->tick();
    click("BUTTON_OK");
    EXPECT_EQ(find("DIALOG_NAME_ENTRY"), nullptr);
    EXPECT_EQ(GameApp::getCurrentPlayer(), "Ann");
    EXPECT_EQ(balloon(), "Hello, Ann!");

    // Changing the name and answering OK with nothing typed keeps the player.
    click("BUTTON_TITLE_CHANGENAME");
    ASSERT_NE(find("BUTTON_OK"), nullptr);
    click("BUTTON_OK");
    EXPECT_EQ(find("DIALOG_NAME_ENTRY"), nullptr) << "answered";
    EXPECT_EQ(GameApp::getCurrentPlayer(), "Ann");

    // A name is shown as text, never read as a format.
    GameApp::selectPlayer("%s%n");
    title->updateTexts();
    EXPECT_EQ(balloon(), "Hello, %s%n!");
}

TEST_F(TitleSceneTest, TheSmallButtonsOpenTheirDialogsAndTheScoreListWithTheNameEncoded)
{
    enterAs("Ann");
    EXPECT_EQ(find("DIALOG_NAME_ENTRY"), nullptr) << "a known player is not asked again";
    struct Case {
        const char* button;
        const char* dialog;
    };
    for (const Case& c : {Case{"BUTTON_TITLE_QUIT", "DIALOG_EXIT_GAME"}, Case{"BUTTON_TITLE_HELP", nullptr},
                          Case{"BUTTON_TITLE_OPTIONS", nullptr}}) {
        SCOPED_TRACE(c.button);
        const std::size_t before = canvas()->getSprites().size();
        click(c.button);
        EXPECT_FALSE(title->isIdle()) << "a click rests the chest";
        EXPECT_FALSE(title->getTooltipManager()->isEnabled()) << "no tooltips over a dialog";
        Dialog* shown = nullptr;
        for (Sprite* sprite : canvas()->getSprites())
            if (auto* dialog = dynamic_cast<Dialog*>(sprite))
                shown = dialog;
        ASSERT_NE(shown, nullptr);
        EXPECT_GT(canvas()->getSprites().size(), before);
        if (c.dialog) {
            EXPECT_EQ(shown->getName(), c.dialog);
        }
        // Closing it (as its own button would) gives the tooltips back and lets the chest shine again.
        shown->addRef();
        canvas()->removeSprite(shown);
        title->onDialogClosed(shown);
        shown->setObsolete(true);
        shown->release();
        canvas()->removeObsolete();
        EXPECT_TRUE(title->isIdle());
        EXPECT_TRUE(title->getTooltipManager()->isEnabled());
    }

    for (const auto& [user, address] :
         {std::pair<std::string, std::string>{"", "&type=0"}, {"Ann Lee&x=1", "&type=0&name=Ann+Lee%26x%3D1"}}) {
        TitleScene::setSignedInUser(user);
        click("BUTTON_TITLE_HIGHSCORE");
        ASSERT_FALSE(compat::testing::recordedShellOpens().empty());
        const std::string opened = compat::testing::recordedShellOpens().back().back();
        EXPECT_EQ(opened.substr(opened.find("/interface/ScoreList.jsp?id=")),
                  "/interface/ScoreList.jsp?id=tbnq" + address);
    }
    TitleScene::setSignedInUser("");
}

TEST_F(TitleSceneTest, ANewGameFromTheStartGameDialogGoesToThePlayScreenAndDropsTheOldSave)
{
    enterAs("Ann");
    // Ann last started an endless game on normal: the dialog opens with that choice.
    const GameSettings before = StatsManager::instance().prevSettings["ENDLESS"];
    StatsManager::instance().prevSettings["ENDLESS"].difficulty = "NORMAL";
    writeSave("ENDLESS", "Ann", "<SaveGame difficulty=\"HARD\" blockset=\"0\" isquattro=\"0\"/>");
    // An endless save without its stats cannot be described: the start-game dialog is offered instead.
    click("BUTTON_TITLE_ENDLESS");
    auto* dialog = find<Dialog>("DIALOG_START_GAME");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(find("DIALOG_START_SAVEGAME_QUESTION"), nullptr);
    EXPECT_FALSE(dialog->getCloseOnButton());

    click("BUTTON_OK");
    EXPECT_EQ(app->pending, play);
    const GameSettings& settings = play->getSettings();
    EXPECT_EQ(settings.mode, "ENDLESS");
    EXPECT_EQ(settings.difficulty, "NORMAL");
    EXPECT_EQ(settings.continueSaved, 0);
    EXPECT_FALSE(settings.quattro);
    EXPECT_EQ(play->getPreviousScene(), title);
    EXPECT_FALSE(GameApp::saveGameExists("ENDLESS", "Ann", "savegames")) << "a new game replaces the save";
    StatsManager::instance().prevSettings["ENDLESS"] = before;
}

TEST_F(TitleSceneTest, ASavedGameIsOfferedAndNoFallsBackToTheStartGameDialogKeepingTheSave)
{
    enterAs("Ann");
    writeSave("CLASSIC", "Ann", "<SaveGame difficulty=\"HARD\" blockset=\"1\" isquattro=\"1\" levelnr=\"7\"/>");
    title->updateTexts();
    EXPECT_NE(find<ButtonBlit>("BUTTON_TITLE_CLASSIC")->getTooltip().find("(a saved game waits for you)"),
              std::string::npos);

    // The mark shows for the button that has a save, and leaving the other button keeps it.
    title->onEnter(find<ButtonBlit>("BUTTON_TITLE_CLASSIC"));
    EXPECT_EQ(title->getSaveGameIcon()->getAlpha(), 255);
    title->onEnter(find<ButtonBlit>("BUTTON_TITLE_ENDLESS"));
    EXPECT_EQ(title->getSaveGameIcon()->getAlpha(), 255);
    title->onLeave(find<ButtonBlit>("BUTTON_TITLE_ENDLESS"));
    EXPECT_EQ(title->getSaveGameIcon()->getAlpha(), 255);
    title->onLeave(find<ButtonBlit>("BUTTON_TITLE_CLASSIC"));
    EXPECT_EQ(title->getSaveGameIcon()->getAlpha(), 0);

    for (const char* answer : {"BUTTON_NO", "BUTTON_YES"}) {
        SCOPED_TRACE(answer);
        click("BUTTON_TITLE_CLASSIC");
        auto* question = find<Dialog>("DIALOG_START_SAVEGAME_QUESTION");
        ASSERT_NE(question, nullptr);
        bool described = false;
        for (Sprite* sprite : canvas()->getSprites())
            if (auto* label = dynamic_cast<PixelFontLabel*>(sprite))
                described = described || label->getText().find("(Hard, level 7)") != std::string::npos;
        EXPECT_TRUE(described);
        EXPECT_EQ(play->getSettings().difficulty, "HARD");
        EXPECT_EQ(play->getSettings().blockset, 1);
        EXPECT_TRUE(play->getSettings().quattro);

        click(answer);
        if (std::string(answer) == "BUTTON_NO") {
            EXPECT_EQ(find("DIALOG_START_SAVEGAME_QUESTION"), nullptr);
            ASSERT_NE(find("DIALOG_START_GAME"), nullptr);
            EXPECT_EQ(app->pending, nullptr);
            click("BUTTON_CANCEL");
            EXPECT_EQ(find("DIALOG_START_GAME"), nullptr);
            EXPECT_TRUE(GameApp::saveGameExists("CLASSIC", "Ann", "savegames")) << "cancelling keeps the save";
        } else {
            EXPECT_EQ(app->pending, play);
            EXPECT_EQ(play->getSettings().continueSaved, 1);
            EXPECT_TRUE(GameApp::saveGameExists("CLASSIC", "Ann", "savegames"));
        }
    }
}

// The mark stands beside the button of the mode whose game is saved, not always beside the first one.
TEST_F(TitleSceneTest, TheSavedGameMarkStandsBesideTheModeItMarks)
{
    enterAs("Ann");
    writeSave("ENDLESS", "Ann", "<SaveGame difficulty=\"EASY\" blockset=\"0\" isquattro=\"0\"><GameStats depth=\"3.5\"/></SaveGame>");
    writeSave("CLASSIC", "Ann", "<SaveGame difficulty=\"EASY\" blockset=\"0\" isquattro=\"0\" levelnr=\"2\"/>");
    BitmapSprite* icon = title->getSaveGameIcon();
    for (const char* mode : {"BUTTON_TITLE_ENDLESS", "BUTTON_TITLE_CLASSIC", "BUTTON_TITLE_ENDLESS"}) {
        SCOPED_TRACE(mode);
        auto* button = find<ButtonBlit>(mode);
        title->onEnter(button);
        EXPECT_EQ(icon->getAlpha(), 255);
        const int middle = icon->getAbsoluteY() + icon->getHeight() / 2;
        EXPECT_GE(middle, button->getAbsoluteY());
        EXPECT_LT(middle, button->getAbsoluteY() + button->getHeight());
        title->onLeave(button);
        EXPECT_EQ(icon->getAlpha(), 0);
    }
}

// The question shows the saved game's difficulty as text: a difficulty whose name, or whose entry's
// text, holds a format's directives is shown as it stands and never read as part of the format.
TEST_F(TitleSceneTest, TheSavedGamesDifficultyIsShownAsTextNeverAsAFormat)
{
    enterAs("Ann");
    struct Case {
        const char* difficulty;
        const char* shown;
    };
    for (const Case& c : {Case{"100%%", "(STRING_100%%, level 7)"},
                          Case{"START_SAVEGAME_DESCRIPTION_CLASSIC", "(? (%s, level %.0f), level 7)"}}) {
        SCOPED_TRACE(c.difficulty);
        writeSave("CLASSIC", "Ann",
                  std::string("<SaveGame difficulty=\"") + c.difficulty + "\" blockset=\"0\" isquattro=\"0\" levelnr=\"7\"/>");
        click("BUTTON_TITLE_CLASSIC");
        ASSERT_NE(find<Dialog>("DIALOG_START_SAVEGAME_QUESTION"), nullptr);
        std::string text;
        for (Sprite* sprite : canvas()->getSprites())
            if (auto* label = dynamic_cast<PixelFontLabel*>(sprite))
                if (label->getText().find("saved game") != std::string::npos)
                    text = label->getText();
        EXPECT_NE(text.find(c.shown), std::string::npos) << text;
        click("BUTTON_NO");
        click("BUTTON_CANCEL");
        EXPECT_EQ(find("DIALOG_START_GAME"), nullptr);
    }
}

TEST_F(TitleSceneTest, TheChestShinesOnlyWithTreasuresAndADarkGlowMakesNoSparkle)
{
    enterAs("Ann");
    ASSERT_TRUE(title->getChestButton()->isEnabled());
    BitmapSprite* glow = title->getCurrentGlow();
    ASSERT_NE(glow, nullptr);
    const std::size_t sprites = canvas()->getSprites().size();
    auto sparkles = [&] {
        int n = 0;
        for (Sprite* sprite : canvas()->getSprites())
            n += sprite->getName() == "SPRITE_TREASURECHEST_SPARKLE" ? 1 : 0;
        return n;
    };

    StatsManager::instance().distinctOwned = 0;
    for (int frame = 0; frame < 200; ++frame)
        title->animateChest();
    EXPECT_EQ(glow->getAlpha(), 1) << "no treasures: no pulse";
    EXPECT_EQ(canvas()->getSprites().size(), sprites);

    // All treasures: the glow pulses between 255 / 1.8 and 255, and sparkles come.
    StatsManager::instance().distinctOwned = 24;
    Random::global().setSeed(7);
    int lowest = 255, highest = 0;
    for (int frame = 0; frame < 600; ++frame) {
        title->animateChest();
        if (frame > 200) {
            lowest = std::min(lowest, glow->getAlpha());
            highest = std::max(highest, glow->getAlpha());
        }
    }
    EXPECT_EQ(highest, 255);
    EXPECT_EQ(lowest, 141);
    EXPECT_GT(sparkles(), 0);

    // A glow whose mask is dark everywhere gives up looking for a lit point.
    MemorySurface* dark = makeMap(16, 16);
    std::memset(dark->pixels(), 0, 16 * 16);
    glow->setMask(dark);
    const int before = sparkles();
    for (int frame = 0; frame < 300; ++frame)
        title->animateChest();
    EXPECT_EQ(sparkles(), before);
}

// The title screen as a returning player first sees it, drawn headless, against the picture kept beside
// this file (QUARRY_WRITE_GOLDEN=<file.ppm> writes what is drawn).
TEST_F(TitleSceneTest, TheTitleScreenLooksAsKept)
{
    constexpr int kWidth = 640, kHeight = 480;
    enterAs("Ann");
    Surface* backBuffer = make32(kWidth, kHeight);
    canvas()->invalidateAll(true);
    canvas()->render(backBuffer);

    if (const char* file = std::getenv("QUARRY_WRITE_GOLDEN")) {
        std::ofstream out(file, std::ios::binary);
        out << "P6\n" << kWidth << " " << kHeight << "\n255\n";
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const std::uint32_t p = peek(backBuffer, x, y);
                const char rgb[3] = {static_cast<char>(p >> 16), static_cast<char>(p >> 8), static_cast<char>(p)};
                out.write(rgb, 3);
            }
    }

    const std::filesystem::path kept = (std::filesystem::path(QUARRY_TESTS_DIR) / "frontend/screens") / "title_scene_golden.png";
    SurfaceDesc desc = sourceImageDesc();
    DirectDrawSurface* golden = decodeImageFromFile(ResourceManager::getDirectDraw(), kept.string(), desc);
    ASSERT_NE(golden, nullptr) << kept;
    hold(golden);
    ASSERT_EQ(golden->getDesc().width, static_cast<std::uint32_t>(kWidth));
    ASSERT_EQ(golden->getDesc().height, static_cast<std::uint32_t>(kHeight));
    int differing = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if ((peek(backBuffer, x, y) & 0xFFFFFF) != (peek(golden, x, y) & 0xFFFFFF) && ++differing <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): drawn " << std::hex
                              << (peek(backBuffer, x, y) & 0xFFFFFF) << ", kept " << (peek(golden, x, y) & 0xFFFFFF);
    EXPECT_EQ(differing, 0);
}

TEST_F(TitleSceneTest, AResultThatEnteredTheTablesShowsThemOnceBackFromTheGame)
{
    GameApp::getConfig().setString("lastscoregame", "CLASSIC");
    GameApp::getConfig().setInt("lastscorequattro", 0);
    GameApp::getConfig().setInt("lastscorerank", 2);
    play->getSettings().mode = "CLASSIC";
    title->setPreviousScene(play);
    enterAs("Ann");
    title->onTransitionFinished();
    EXPECT_NE(find("DIALOG_HIGHSCORE"), nullptr);
    EXPECT_EQ(GameApp::getConfig().getInt("lastscorerank"), 0);

    // Back from a game without a new place: no table.
    canvas()->removeSprite(find("DIALOG_HIGHSCORE"));
    canvas()->removeObsolete();
    app->switchScene(nullptr);
    title->setPreviousScene(play);
    enterAs("Ann");
    title->onTransitionFinished();
    EXPECT_EQ(find("DIALOG_HIGHSCORE"), nullptr);
}
