// A long headless run of the whole game, as if a restless player sat at it for a given time. The game
// runs as it would for a player, with its files in a fresh data folder; when it quits, it is started
// again. The player sees the screen as the game holds it: on the play field it mostly clicks blocks, on
// other screens and in dialogs it mostly presses the buttons shown, both modes are started, and every
// game is left through the in-game menu after a while, so games are saved and, when the player takes up
// the offer to continue, loaded again. Between its clicks it moves the mouse, types and presses keys.
//
// At the end the window is closed through the termination signal. The run fails when the game crashed,
// ended with a status other than 0, showed a message box other than a notice (a file it could not read
// or write, a fatal error), left a zero-length file or a file it cannot read back among the player's
// files, or when its resident memory grew after the first minute (a third of the run for runs shorter
// than three minutes) by more than a tenth plus 16 MiB. Resident memory is printed every ten seconds;
// the last line sums up the run.
//
// Usage: soak RUN_DIR SECONDS [SEED [LAST_FRAME.png]] (the last frame shows where the run ended up)
#include "compat/host/CloseSignals.h"
#include "compat/host/testing.h"
#include "compat/win32/window/messages.h"
#include "compat/win32/system/process/mutex.h"
#include "compat/win32/system/process/shell.h"
#include "compat/win32/window/window.h"
#include "frontend/app/GameMain.h"
#include "game/field/PlayScene.h"
#include "game/level/Level.h"
#include "game/screen/GameScene.h"
#include "platform/app/Application.h"
#include "runtime/streams/DataReaderFacade.h"
#include "runtime/properties/Properties.h"
#include "runtime/streams/XMLDocumentFile.h"
#include "toolkit/dialog/Dialog.h"
#include "toolkit/scene/SpriteScene.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/widget/ButtonBlit.h"

#include <tinyxml.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

// The program's single-instance guard (held by the program entry).
extern HANDLE instanceGuard;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// The message that gives the player its turn on the game's own thread.
constexpr UINT kTurnMessage = WM_APP + 0x50A;

long residentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// What the run did, for the summary.
struct Tally {
    std::atomic<long> turns{0};
    std::atomic<long> clicks{0};
    std::atomic<long> fieldClicks{0};
    std::atomic<long> keys{0};
    std::atomic<long> dialogsOpened{0};
    std::atomic<long> classicGames{0};
    std::atomic<long> endlessGames{0};
    std::atomic<long> loads{0};
    std::atomic<long> saves{0};
};
Tally tally;

void inject(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    compat::testing::injectHostMessage(message, wParam, lParam);
}

LPARAM at(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

// The player. It looks at the screen only on the game's thread (its turn comes as a window message),
// so what it reads is never changed under it; its input goes into the host's queue like a real one.
class Player {
public:
    explicit Player(unsigned seed) : random(seed) {}

    void turn()
    {
        ++tally.turns;
        Application* app = Application::instance();
        auto* scene = app != nullptr ? dynamic_cast<SpriteScene*>(app->getCurrentScene()) : nullptr;
        SpriteCanvas* canvas = scene != nullptr ? scene->getCanvas() : nullptr;
        if (canvas == nullptr) {
            wander();
            return;
        }
        // A web page would be opened by a browser: the run only notes it (and forgets what it noted).
        compat::testing::recordShellOpens(true);

        const std::vector<Sprite*>& sprites = canvas->getSprites();
        std::size_t topDialog = 0;
        int dialogs = 0;
        for (std::size_t i = 0; i < sprites.size(); ++i) {
            if (dynamic_cast<Dialog*>(sprites[i]) != nullptr && !sprites[i]->isObsolete()) {
                ++dialogs;
                topDialog = i;
            }
        }
        if (scene != lastScene)
            dialogsShown = 0;
        lastScene = scene;
        if (dialogs > dialogsShown)
            tally.dialogsOpened += dialogs - dialogsShown;
        dialogsShown = dialogs;

        PlayScene* field = nullptr;
        if (auto* game = dynamic_cast<GameScene*>(scene))
            field = game->getPlayScene();
        noteField(field);
        const bool playing = field != nullptr && dialogs == 0 && field->getPhase() == PlayPhase::Playing &&
                             field->getLevel() != nullptr;
        const bool leaving = field != nullptr && Clock::now() > leaveAt;

        // The buttons a player can press now: those of the topmost dialog when one is open.
        std::vector<std::pair<Sprite*, int>> buttons;
        for (std::size_t i = dialogs > 0 ? topDialog : 0; i < sprites.size(); ++i) {
            auto* button = dynamic_cast<ButtonBlit*>(sprites[i]);
            if (button == nullptr || !button->isEnabled() || !button->isVisible() || button->isObsolete())
                continue;
            if (!onScreen(button))
                continue;
            const int weight = weightOf(button->getName(), leaving);
            if (weight > 0)
                buttons.emplace_back(button, weight);
        }

        const std::string view = scene->getName() + " " + std::to_string(field != nullptr ? field->getPhase() : -1) +
                                 " " + std::to_string(dialogs) +
                                 (dialogs > 0 ? " " + sprites[topDialog]->getName() : std::string());
        if (trace && view != lastView) {
            lastView = view;
            std::printf("soak trace: %s, phase %d, %d dialog(s)%s%s, buttons:", scene->getName().c_str(),
                        field != nullptr ? field->getPhase() : -1, dialogs, dialogs > 0 ? " top " : "",
                        dialogs > 0 ? sprites[topDialog]->getName().c_str() : "");
            for (const auto& entry : buttons)
                std::printf(" %s", entry.first->getName().c_str());
            if (field != nullptr && field->getOpenDialog() != nullptr) {
                Sprite* open = field->getOpenDialog();
                std::printf("; the field shows %s (%s, on %s canvas)", open->getName().c_str(),
                            open->isObsolete() ? "obsolete" : "live",
                            open->getCanvas() == canvas ? "this" : open->getCanvas() ? "another" : "no");
            }
            std::printf("\n");
            std::fflush(stdout);
        }

        // A name is typed before the name question is answered, so games are kept under a player's name
        // and the title screen offers to continue them.
        const bool askingName = dialogs > 0 && sprites[topDialog]->getName() == "DIALOG_NAME_ENTRY";
        if (!askingName)
            nameLetters = 0;
        if (askingName && nameLetters < 5) {
            ++nameLetters;
            character(static_cast<char>('a' + pick(0, 25)));
            return;
        }

        const int roll = pick(0, 99);
        if (playing) {
            if (leaving && roll < 40)
                pressNamed(buttons, "BUTTON_GAME_MENU");
            else if (roll < 60)
                clickField(field->getLevel(), false);
            else if (roll < 64)
                clickField(field->getLevel(), true);
            else if (roll < 67)
                key(pick(0, 1) == 0 ? VK_SPACE : 'P');
            else if (roll < 68)
                character(27);
            else if (roll < 80)
                press(buttons);
            else if (roll < 92)
                wander();
            else
                clickAnywhere();
        } else {
            if (roll < 55)
                press(buttons);
            else if (roll < 65)
                character(static_cast<char>(pick(0, 1) == 0 ? 'a' + pick(0, 25) : 'A' + pick(0, 25)));
            else if (roll < 70)
                key(std::vector<int>{VK_RETURN, VK_BACK, VK_ESCAPE}[static_cast<std::size_t>(pick(0, 2))]);
            else if (roll < 88)
                wander();
            else
                clickAnywhere();
        }
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

    static bool onScreen(const Sprite* sprite)
    {
        const int x = sprite->getAbsoluteX();
        const int y = sprite->getAbsoluteY();
        return sprite->getWidth() > 0 && sprite->getHeight() > 0 && x < 640 && y < 480 &&
               x + sprite->getWidth() > 0 && y + sprite->getHeight() > 0;
    }

    // How much the player likes a button: it starts games readily, mostly answers yes (continuing a
    // saved game, keeping a stopped one), leaves a game only once it has played for a while, and rarely
    // quits the program.
    static int weightOf(const std::string& name, bool leaving)
    {
        static const std::map<std::string, int> weights = {
            {"BUTTON_TITLE_QUIT", 1}, {"BUTTON_TITLE_HIGHSCORE", 1}, {"BUTTON_MAINMENU_HIGHSCORE", 1},
            {"BUTTON_YES", 6},        {"BUTTON_OK", 6},              {"BUTTON_NO", 2},
            {"BUTTON_CANCEL", 1},     {"BUTTON_MAINMENU_RESUME", 3},
        };
        // The mode played less so far is the likelier choice, so short runs see both.
        if (name == "BUTTON_TITLE_CLASSIC")
            return tally.classicGames <= tally.endlessGames ? 12 : 4;
        if (name == "BUTTON_TITLE_ENDLESS")
            return tally.endlessGames <= tally.classicGames ? 12 : 4;
        if (name == "BUTTON_GAME_MENU")
            return leaving ? 20 : 1;
        if (name == "BUTTON_MAINMENU_STOP")
            return leaving ? 30 : 2;
        const auto found = weights.find(name);
        return found != weights.end() ? found->second : 2;
    }

    // A new play field is a game started; one made from a saved game (the settings still ask to
    // continue once it has read the file) is a load.
    void noteField(PlayScene* field)
    {
        if (field == lastField)
            return;
        lastField = field;
        // Some games are left after a few seconds, most after half a minute or so.
        leaveAt = Clock::now() + std::chrono::seconds(pick(0, 3) == 0 ? pick(5, 15) : pick(15, 45));
        if (field == nullptr || field->getSettings() == nullptr)
            return;
        if (field->getSettings()->mode == "ENDLESS")
            ++tally.endlessGames;
        else
            ++tally.classicGames;
        if (field->getSettings()->continueSaved != 0)
            ++tally.loads;
    }

    void click(int x, int y, bool right = false)
    {
        inject(WM_MOUSEMOVE, 0, at(x, y));
        inject(right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, at(x, y));
        inject(right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at(x, y));
        ++tally.clicks;
    }

    void clickAnywhere() { click(pick(0, 639), pick(0, 479), pick(0, 9) == 0); }

    void wander() { inject(WM_MOUSEMOVE, 0, at(pick(0, 639), pick(0, 479))); }

    void key(int code)
    {
        inject(WM_KEYDOWN, static_cast<std::uintptr_t>(code), 1);
        inject(WM_KEYUP, static_cast<std::uintptr_t>(code), 1);
        ++tally.keys;
    }

    void character(char letter)
    {
        inject(WM_CHAR, static_cast<std::uintptr_t>(static_cast<unsigned char>(letter)), 1);
        ++tally.keys;
    }

    // A cell of the field (the endless field's cells move, so any point of its rectangle will do).
    void clickField(Level* level, bool right)
    {
        const int left = std::max(0, level->getAbsoluteX());
        const int top = std::max(0, level->getAbsoluteY());
        const int rightEdge = std::min(639, level->getAbsoluteX() + level->getColumns() * level->getBlockWidth() - 1);
        const int bottom = std::min(479, level->getAbsoluteY() + level->getRows() * level->getBlockHeight() - 1);
        if (left > rightEdge || top > bottom) {
            clickAnywhere();
            return;
        }
        click(pick(left, rightEdge), pick(top, bottom), right);
        ++tally.fieldClicks;
    }

    void pressButton(Sprite* button)
    {
        if (trace)
            std::printf("soak trace: press %s\n", button->getName().c_str());
        const int x = std::clamp(button->getAbsoluteX() + button->getWidth() / 2, 0, 639);
        const int y = std::clamp(button->getAbsoluteY() + button->getHeight() / 2, 0, 479);
        click(x, y);
    }

    void press(const std::vector<std::pair<Sprite*, int>>& buttons)
    {
        int total = 0;
        for (const auto& entry : buttons)
            total += entry.second;
        if (total == 0) {
            clickAnywhere();
            return;
        }
        int roll = pick(0, total - 1);
        for (const auto& entry : buttons) {
            if (roll < entry.second) {
                pressButton(entry.first);
                return;
            }
            roll -= entry.second;
        }
    }

    void pressNamed(const std::vector<std::pair<Sprite*, int>>& buttons, const std::string& name)
    {
        for (const auto& entry : buttons)
            if (entry.first->getName() == name) {
                pressButton(entry.first);
                return;
            }
        press(buttons);
    }

    std::mt19937 random;
    // SOAK_TRACE set: what the player sees is printed now and then.
    const bool trace = std::getenv("SOAK_TRACE") != nullptr;
    std::string lastView;
    const void* lastScene = nullptr;
    int dialogsShown = 0;
    PlayScene* lastField = nullptr;
    Clock::time_point leaveAt;
    int nameLetters = 0;
};

Player* player = nullptr;
std::atomic<bool> turnPending{false};

LRESULT soakWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kTurnMessage) {
        turnPending = false;
        player->turn();
        return 0;
    }
    return WndProc(window, message, wParam, lParam);
}

// The saved games as last seen: a file whose time or size changed was written again.
class SaveWatch {
public:
    explicit SaveWatch(fs::path folder) : folder(std::move(folder)) {}

    void look()
    {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            std::error_code ignored;
            const std::pair<long long, long long> stamp(
                static_cast<long long>(entry.last_write_time(ignored).time_since_epoch().count()),
                static_cast<long long>(entry.file_size(ignored)));
            auto& seen = stamps[entry.path().filename().string()];
            if (seen != stamp)
                ++tally.saves;
            seen = stamp;
        }
    }

private:
    fs::path folder;
    std::map<std::string, std::pair<long long, long long>> stamps;
};

struct Sample {
    double seconds;
    long kib;
};

// Gives the player its turns until `end`, reports resident memory and watches the saved games; then
// asks the game to close as a desktop would.
void drive(Clock::time_point start, Clock::time_point end, const fs::path& home, const std::atomic<bool>& running,
           const std::atomic<bool>& finished, std::vector<Sample>& samples, std::mutex& samplesMutex)
{
    SaveWatch saves(home / "quarrytide" / "savegames");
    auto nextReport = start + std::chrono::seconds(10);
    auto nextLook = start + std::chrono::seconds(1);
    while (Clock::now() < end && !finished) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
        if (!running)
            continue;
        const compat::host::HeadlessState state = compat::testing::headlessState();
        HWND window = state.windowOpen ? FindWindowA(nullptr, state.title.c_str()) : nullptr;
        if (window != nullptr) {
            const auto ours = reinterpret_cast<LONG_PTR>(&soakWindowProcedure);
            if (GetWindowLongPtrA(window, GWLP_WNDPROC) != ours) {
                SetWindowLongPtrA(window, GWLP_WNDPROC, ours);
                turnPending = false;
            }
            if (!turnPending.exchange(true) && !PostMessageA(window, kTurnMessage, 0, 0))
                turnPending = false;
        }
        const auto now = Clock::now();
        if (now >= nextLook) {
            saves.look();
            nextLook += std::chrono::seconds(1);
        }
        if (now >= nextReport) {
            const double seconds = std::chrono::duration<double>(now - start).count();
            const long kib = residentKiB();
            {
                std::lock_guard<std::mutex> lock(samplesMutex);
                samples.push_back({seconds, kib});
            }
            std::printf("soak: %4.0f s resident %ld KiB, %ld clicks, %ld games, %ld saves, %ld loads\n", seconds, kib,
                        tally.clicks.load(), tally.classicGames.load() + tally.endlessGames.load(), tally.saves.load(),
                        tally.loads.load());
            std::fflush(stdout);
            nextReport += std::chrono::seconds(10);
        }
    }
    // The close goes through the same path as a desktop's termination request.
    while (running && !finished) {
        std::raise(SIGTERM);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    saves.look();
}

// Whether the memory stayed flat after the start-up. One reading is taken at whatever the player is
// doing, and a play field with a transition's pictures alive holds some 20 MiB more than the title, so
// single readings are not compared: the lowest of the last three readings (what the game keeps at the
// end whatever screen it shows) against the highest up to the baseline time. A leak lifts the former
// above the latter; a game that happens to be starting at the last reading does not. Prints the
// verdict; false when it grew by more than a tenth plus 16 MiB.
bool memoryFlat(const std::vector<Sample>& samples, double baselineSeconds)
{
    auto baseline = std::find_if(samples.begin(), samples.end(),
                                 [&](const Sample& sample) { return sample.seconds >= baselineSeconds; });
    if (baseline == samples.end() || baseline + 1 == samples.end()) {
        std::printf("soak: too short a run to judge the resident memory\n");
        return true;
    }
    long early = 0;
    for (auto sample = samples.begin(); sample <= baseline; ++sample)
        early = std::max(early, sample->kib);
    const auto lastFrom = samples.end() - std::min<std::ptrdiff_t>(3, samples.end() - (baseline + 1));
    long late = lastFrom->kib;
    for (auto sample = lastFrom; sample != samples.end(); ++sample)
        late = std::min(late, sample->kib);
    const long allowed = early + early / 10 + 16 * 1024;
    std::printf("soak: resident at most %ld KiB up to %.0f s, at least %ld KiB from %.0f s on (allowed up to %ld KiB)\n",
                early, baseline->seconds, late, lastFrom->seconds, allowed);
    if (late > allowed) {
        std::fprintf(stderr, "soak: the resident memory grew after %.0f s\n", baseline->seconds);
        return false;
    }
    return true;
}

// Reads back every file the game keeps for the player, as the game would: false for one it cannot
// read or that is empty (a lock file is empty by nature).
bool playerFilesReadable(const fs::path& home)
{
    bool clean = true;
    auto fail = [&](const fs::path& path, const char* why) {
        std::fprintf(stderr, "soak: %s %s\n", path.c_str(), why);
        clean = false;
    };
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(home, error)) {
        if (!entry.is_regular_file())
            continue;
        const fs::path& path = entry.path();
        const std::string name = path.filename().string();
        std::error_code sizeError;
        if (entry.file_size(sizeError) == 0 && !sizeError && path.extension() != ".lock") {
            fail(path, "is empty");
            continue;
        }
        if (name.size() > 6 && name.compare(name.size() - 6, 6, ".sav.!") == 0) {
            // A saved game: the document the title screen and the play field read.
            TiXmlDocument document;
            const std::string stem = path.string().substr(0, path.string().size() - 2);
            const TiXmlElement* root = nullptr;
            if (loadXMLDocument(document, stem, nullptr, false) && !document.Error())
                root = document.RootElement();
            const TiXmlElement* game = root != nullptr ? root->FirstChildElement("SaveGame") : nullptr;
            int number = 0;
            const char* mode = game != nullptr ? game->Attribute("gamemode") : nullptr;
            const bool endless = mode != nullptr && std::string(mode) == "ENDLESS";
            if (game == nullptr || mode == nullptr || game->QueryIntAttribute("score", &number) != TIXML_SUCCESS ||
                game->QueryIntAttribute("levelnr", &number) != TIXML_SUCCESS ||
                game->QueryIntAttribute("isgameinprogress", &number) != TIXML_SUCCESS ||
                (number == 1 && game->FirstChildElement("BlockList") == nullptr) ||
                (endless && (game->QueryIntAttribute("levelypos", &number) != TIXML_SUCCESS ||
                             game->QueryIntAttribute("minecartgoldamount", &number) != TIXML_SUCCESS)) ||
                name.find(std::string("_") + mode + ".sav") == std::string::npos)
                fail(path, "is no saved game the game can continue");
        } else if (name.size() > 2 && name.compare(name.size() - 2, 2, ".!") == 0) {
            // Another scrambled document (a player's statistics).
            TiXmlDocument document;
            const std::string stem = path.string().substr(0, path.string().size() - 2);
            if (!loadXMLDocument(document, stem, nullptr, false) || document.Error() || !document.RootElement())
                fail(path, "cannot be read as a document");
        } else if (name == "Quarrytide.cfg") {
            // The configuration, read as the game reads it at its start.
            Properties config;
            try {
                DataReaderFacade reader(1);
                reader.open(path.string());
                config.read(reader);
                reader.close();
            } catch (...) {
                fail(path, "cannot be read");
                continue;
            }
            if (!config.has("cfgversion") || !config.has("currentplayer"))
                fail(path, "lacks its version or current player");
        }
    }
    return clean;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: soak RUN_DIR SECONDS [SEED [LAST_FRAME.png]]\n");
        return 2;
    }
    const fs::path runDir = fs::absolute(argv[1]);
    const int seconds = std::atoi(argv[2]);
    const unsigned seed = argc >= 4 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 1u;
    if (seconds <= 0 || !fs::is_regular_file(runDir / "properties" / "default.uprop")) {
        std::fprintf(stderr, "soak: %s holds no data set, or the time is not positive\n", argv[1]);
        return 2;
    }

    // A fresh home, so the run neither reads nor spoils a player's files.
    std::string pattern = (fs::temp_directory_path() / "quarrytide-soak-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("soak: mkdtemp");
        return 2;
    }
    const fs::path home = pattern;
    setenv("QUARRYTIDE_HOST", "headless", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    // Its own runtime folder, so a game started by another test does not count as a second copy.
    setenv("XDG_RUNTIME_DIR", home.c_str(), 1);
    setenv("QUARRYTIDE_REGISTRY", (home / "registry").c_str(), 1);
    fs::current_path(runDir);
    compat::host::closeWindowOnTerminationSignals();
    compat::testing::recordShellOpens(true);

    Player brain(seed);
    player = &brain;
    const auto start = Clock::now();
    const auto end = start + std::chrono::seconds(seconds);
    std::atomic<bool> running{true};
    // Set when the game ended before its time (it failed), so the run stops there.
    std::atomic<bool> finished{false};
    std::vector<Sample> samples;
    std::mutex samplesMutex;
    std::thread driver(drive, start, end, std::cref(home), std::cref(running), std::cref(finished),
                       std::ref(samples), std::ref(samplesMutex));
    int starts = 0;
    int status = 0;
    while (status == 0) {
        ++starts;
        status = GameMain({(runDir / "quarrytide").string()});
        // The single-instance guard is the process's until it ends; the next start in this process
        // stands for a new process.
        if (instanceGuard != nullptr) {
            CloseHandle(instanceGuard);
            instanceGuard = nullptr;
        }
        if (Clock::now() >= end)
            break;
    }
    finished = status != 0;
    running = false;
    driver.join();
    if (argc == 5 && !compat::host::writePng(compat::testing::headlessState().lastFrame, argv[4]))
        std::fprintf(stderr, "soak: the last frame could not be written to %s\n", argv[4]);

    bool clean = status == 0;
    if (!clean)
        std::fprintf(stderr, "soak: the game ended with status %d\n", status);
    // A notice (the full-screen hint) is part of play; any other message tells of a fault.
    for (const compat::host::MessageBox& box : compat::testing::headlessState().messageBoxes) {
        if (box.icon == compat::host::MessageBox::Icon::Information)
            continue;
        std::fprintf(stderr, "soak: the game showed the message \"%s\": %s\n", box.caption.c_str(), box.text.c_str());
        clean = false;
    }
    if (!playerFilesReadable(home))
        clean = false;
    if (!memoryFlat(samples, seconds >= 180 ? 60.0 : seconds / 3.0))
        clean = false;

    const double ran = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("soak: %.0f s, %d start(s), %ld games (%ld classic, %ld endless), %ld clicks (%ld on the field), "
                "%ld keys, %ld dialogs opened, %ld saves, %ld loads, resident %ld KiB at the end, files in %s\n",
                ran, starts, tally.classicGames.load() + tally.endlessGames.load(), tally.classicGames.load(),
                tally.endlessGames.load(), tally.clicks.load(), tally.fieldClicks.load(), tally.keys.load(),
                tally.dialogsOpened.load(), tally.saves.load(), tally.loads.load(), residentKiB(), home.c_str());
    if (clean) {
        std::error_code ignored;
        fs::remove_all(home, ignored);
    }
    return clean ? 0 : 1;
}
