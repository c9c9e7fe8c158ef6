// The saved game as the title screen reads it: a click on a mode button with a saved game of that mode
// reads the file to ask whether to continue it. The title screen is the real one, built from the staged
// data set (the build's run directory, beside this program's folder), with the player "Ann".
//
// The first byte picks the file's form: bit 0 set and the rest is written as it stands as the scrambled
// file (whatever it unscrambles to goes to the parser); clear and the rest is the plain document, which
// is scrambled as the game's writer does. Bit 1 set for the endless game, clear for the classic one.
//
// Whatever the file holds, the click must open either the question or the start-game dialog, the
// question's text must be the data set's with the file's values in it as text, and answering "No" and
// then cancelling must leave the saved game exactly as it was.
#include "FuzzFile.h"

#include "compat/win32/path.h"
#include "frontend/app/GameApp.h"
#include "frontend/dialogs/GameDialog.h"
#include "frontend/screens/QuarrytideTransition.h"
#include "frontend/screens/TitleScene.h"
#include "game/screen/GameScene.h"
#include "platform/app/Application.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/DebugLog.h"
#include "runtime/properties/Properties.h"
#include "runtime/scramble/ScrambleTable.h"
#include "runtime/streams/XMLDocumentFile.h"
#include "tests/support/StagedDataSet.h"
#include "toolkit/dialog/Dialog.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/widget/ButtonBlit.h"
#include "toolkit/widget/PixelFontLabel.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

const char* const kPlayer = "Ann";

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "title saved game: %s\n", what);
        std::abort();
    }
}

// Records the screen the title asks for instead of switching at the next frame.
class TitleApp : public Application {
public:
    TitleApp() : Application(1, "Quarrytide", "1.1.0", "TitleSavedGameFuzz", 50, 2000) {}
    void setPendingScene(Scene* scene) override { pending = scene; }
    Scene* pending = nullptr;
};

PlayScene* noField(GameSettings*)
{
    return nullptr;
}

void ignoreMessage(const std::string&, const char*) {}

fs::path& scratchHome()
{
    static fs::path home;
    return home;
}

void removeScratchHome()
{
    std::error_code error;
    fs::remove_all(scratchHome(), error);
}

std::string readAll(const std::string& path)
{
    std::ifstream in(compat::hostPath(path), std::ios::binary);
    if (!in)
        return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The player's files go to a scratch folder of this process; the data set is the staged one of the
// build this program belongs to.
struct Setup {
    Setup()
    {
        const char* shm = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        home = fs::path(shm) / ("quarrytide-fuzz-title-" + std::to_string(::getpid()));
        fs::create_directories(home);
        scratchHome() = home;
        std::atexit(removeScratchHome);
        setenv("QUARRYTIDE_HOST", "headless", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("XDG_DATA_HOME", home.c_str(), 1);
        setenv("QUARRYTIDE_REGISTRY", (home / "registry").c_str(), 1);
        DebugLog::instance().setDebuggerOutput(false);
        setXMLMessageHandler(ignoreMessage);
        registerQuarrytideTransitionCreator();

        app = new TitleApp();
        const fs::path runDirectory = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "run";
        data = new testsupport::StagedDataSet(runDirectory.string());
        GameApp::setConfig(new Properties());
        GameApp::getConfig().setString("currentplayer", kPlayer);
        GameScene::setPlayFieldFactory(&noField);
        title = new TitleScene(app);
        play = new GameScene(app);
        app->addScene(title);
        app->addScene(play);
        app->switchScene(title);
        if (!title->getCanvas()->findSprite("BUTTON_TITLE_CLASSIC")) {
            std::fprintf(stderr, "title saved game: no data set in %s\n", runDirectory.c_str());
            std::abort();
        }
        question = layoutString("MESSAGE_START_SAVED_GAME");
    }

    fs::path home;
    TitleApp* app = nullptr;
    testsupport::StagedDataSet* data = nullptr;
    TitleScene* title = nullptr;
    GameScene* play = nullptr;
    std::string question;
};

Setup& setup()
{
    static Setup* instance = new Setup();
    return *instance;
}

SpriteCanvas* canvas()
{
    return setup().title->getCanvas();
}

template <class T = Sprite> T* find(const std::string& name)
{
    return dynamic_cast<T*>(canvas()->findSprite(name));
}

void click(const std::string& name)
{
    Sprite* target = find(name);
    check(target != nullptr, "a button of the dialog is missing");
    const int x = target->getAbsoluteX() + target->getWidth() / 2;
    const int y = target->getAbsoluteY() + target->getHeight() / 2;
    canvas()->mouseMoved(x, y, 0);
    canvas()->leftPressed(x, y, 1, 0);
    canvas()->leftReleased(x, y, 0);
    canvas()->removeObsolete();
}

bool labelShows(const std::string& start)
{
    for (Sprite* sprite : canvas()->getSprites())
        if (auto* label = dynamic_cast<PixelFontLabel*>(sprite))
            if (label->getText().compare(0, start.size(), start) == 0)
                return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Setup& s = setup();
    if (size == 0)
        return 0;
    const bool raw = (data[0] & 1) != 0;
    const std::string mode = (data[0] & 2) ? "ENDLESS" : "CLASSIC";
    const std::string button = mode == "CLASSIC" ? "BUTTON_TITLE_CLASSIC" : "BUTTON_TITLE_ENDLESS";
    const std::string path = GameApp::getSaveGamePath(mode, kPlayer, "savegames");
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (!raw)
        scrambleBuffer(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
    {
        std::ofstream out(compat::hostPath(path + ".!"), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    check(GameApp::saveGameExists(mode, kPlayer, "savegames"), "the saved game was not written");

    // The tooltip's note and the mark over the button say that a saved game waits.
    s.title->updateTexts();
    auto* modeButton = find<ButtonBlit>(button);
    check(modeButton != nullptr, "no mode button");
    s.title->onEnter(modeButton);
    check(s.title->getSaveGameIcon() == nullptr || s.title->getSaveGameIcon()->getAlpha() == 255,
          "the saved-game mark is not shown");
    s.title->onLeave(modeButton);

    click(button);
    Dialog* asked = find<Dialog>("DIALOG_START_SAVEGAME_QUESTION");
    Dialog* offered = find<Dialog>("DIALOG_START_GAME");
    check((asked != nullptr) != (offered != nullptr), "neither the question nor the start-game dialog, or both");
    check(s.play->getSettings().mode == mode, "the play screen's mode is not the button's");
    if (asked) {
        check(labelShows(s.question), "the question does not begin with the data set's text");
        click("BUTTON_NO");
        check(find("DIALOG_START_SAVEGAME_QUESTION") == nullptr, "the question stays after No");
        check(find("DIALOG_START_GAME") != nullptr, "No does not offer a new game");
    }
    click("BUTTON_CANCEL");
    check(find("DIALOG_START_GAME") == nullptr, "the start-game dialog stays after Cancel");
    check(s.app->pending == nullptr, "a game was started");
    check(readAll(path + ".!") == bytes, "the saved game was changed");

    std::remove(compat::hostPath(path + ".!").c_str());
    std::remove(compat::hostPath(path).c_str());
    return 0;
}
