#include "frontend/app/GameFieldServices.h"

#include "frontend/app/EntryShellLink.h"
#include "frontend/app/GameApp.h"
#include "frontend/dialogs/play/GameOverStatsDialog.h"
#include "frontend/scores/Highscores.h"
#include "game/stats/StatsManager.h"
#include "platform/app/Application.h"
#include "platform/app/Screen.h"
#include "runtime/containers/Buffer.h"
#include "toolkit/widget/PixelFontLabel.h"

#include "compat/win32/path.h"
#include "compat/win32/window/userdata.h"
#include "compat/win32/window/window.h"

#include <filesystem>
#include <system_error>

GameFieldServices& GameFieldServices::instance()
{
    static GameFieldServices services;
    return services;
}

void GameFieldServices::install()
{
    FieldServices::install(this);
    StatsManager::instance().setPlayerFiles(this);
}

void GameFieldServices::uninstall()
{
    if (&FieldServices::get() == this)
        FieldServices::install(nullptr);
    if (StatsManager::instance().getPlayerFiles() == this)
        StatsManager::instance().setPlayerFiles(nullptr);
}

Properties& GameFieldServices::getConfig() { return GameApp::getConfig(); }

std::string GameFieldServices::getCurrentPlayer() { return GameApp::getCurrentPlayer(); }

std::string GameFieldServices::getCurrentPlayer() const { return GameApp::getCurrentPlayer(); }

// Players are local names; there is no signed-in account.
// Nobody signed in through the portal shell (always so without one): the score goes nowhere, and the
// play field says so instead of asking to send it.
bool GameFieldServices::isGuest() { return EntryShellLink::instance().signedOut; }

std::string GameFieldServices::getSaveGamePath(const std::string& mode, const std::string& player,
                                               const std::string& directory)
{
    return GameApp::getSaveGamePath(mode, player, directory);
}

std::string GameFieldServices::getPlayerFilePath(const std::string& directory, const std::string& player,
                                                 const std::string& extension) const
{
    std::string folder = compat::userDataPath(directory);
    std::error_code ignored;
    std::filesystem::create_directories(compat::hostPath(folder), ignored);
    std::string ext = extension;
    if (!ext.empty() && ext[0] == '.')
        ext.erase(0, 1);
    return formatString3("%s\\%s.%s", folder, makeSafeFileName(player, false), ext);
}

void GameFieldServices::playMusic(const std::string& musicId, float fadeSeconds)
{
    GameApp::playMusic(musicId, fadeSeconds);
}

void GameFieldServices::fadeMusicIn(float seconds) { GameApp::fadeMusicIn(seconds); }
void GameFieldServices::fadeMusicHalf(float seconds) { GameApp::fadeMusicHalf(seconds); }
void GameFieldServices::fadeMusicOut(float seconds) { GameApp::fadeMusicOut(seconds); }

int GameFieldServices::addScore(const std::string& mode, bool quattro, const std::string& player, int levelNumber,
                                int score, int time, int gold, double depth)
{
    return Highscores::instance().addScore(mode, quattro, player, levelNumber, score, time, gold, depth);
}

Dialog* GameFieldServices::openMainMenu(const std::string& imageId, int yOffset, int x, int y, int width,
                                        int height, const GameSettings&)
{
    return mainMenuOpener ? mainMenuOpener(imageId, yOffset, 0, x, y, width, height) : nullptr;
}

Dialog* GameFieldServices::openTreasureClaimedDialog(int treasure, bool flag)
{
    return treasureOpener ? treasureOpener(treasure, flag) : nullptr;
}

Dialog* GameFieldServices::openGameOverStatsDialog(int x, int y, int width, int height, const std::string& header,
                                                   const std::vector<std::string>& rowTexts,
                                                   const std::vector<std::string>& rowValues)
{
    return new GameOverStatsDialog(x, y, width, height, header, rowTexts, rowValues);
}

int GameFieldServices::getStatsDialogHeaderY(Dialog* dialog)
{
    auto* stats = dynamic_cast<GameOverStatsDialog*>(dialog);
    if (stats == nullptr || stats->getHeader() == nullptr)
        return 0;
    int y = 0;
    for (const Sprite* sprite = stats->getHeader(); sprite != nullptr; sprite = sprite->getParent())
        y += sprite->getY();
    return y;
}

void GameFieldServices::postGameWindowMessage(unsigned message, long wParam, long lParam)
{
    Application* app = Application::instance();
    if (app == nullptr || app->getScreen() == nullptr)
        return;
    HWND window = app->getScreen()->getWindow();
    if (window != nullptr)
        PostMessageA(window, message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}
