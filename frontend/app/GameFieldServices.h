// The front end's answers to the play field and the statistics: the configuration, the current player
// and the paths of that player's files, the music, the highscore tables, the game window and the
// dialogs. Installed by the program entry; the dialogs' openers are hooks so a program can run the field
// before every dialog exists (an unset opener answers with no dialog).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "game/field/FieldServices.h"
#include "game/stats/PlayerFiles.h"

class GameFieldServices : public FieldServices, public PlayerFiles {
public:
    using MainMenuOpener = std::function<Dialog*(const std::string& imageId, int topMargin, int unused, int clipX,
                                                 int clipY, int clipWidth, int clipHeight)>;
    using TreasureClaimedOpener = std::function<Dialog*(int treasure, bool fromField)>;

    // The program's services, installed into the field and the statistics by install().
    static GameFieldServices& instance();
    void install();
    void uninstall();

    void setMainMenuOpener(MainMenuOpener opener) { mainMenuOpener = std::move(opener); }
    void setTreasureClaimedOpener(TreasureClaimedOpener opener) { treasureOpener = std::move(opener); }

    Properties& getConfig() override;
    std::string getCurrentPlayer() override;
    bool isGuest() override;
    std::string getSaveGamePath(const std::string& mode, const std::string& player,
                                const std::string& directory) override;
    void playMusic(const std::string& musicId, float fadeSeconds) override;
    void fadeMusicIn(float seconds) override;
    void fadeMusicHalf(float seconds) override;
    void fadeMusicOut(float seconds) override;
    int addScore(const std::string& mode, bool quattro, const std::string& player, int levelNumber, int score,
                 int time, int gold, double depth) override;
    Dialog* openMainMenu(const std::string& imageId, int yOffset, int x, int y, int width, int height,
                         const GameSettings& settings) override;
    Dialog* openTreasureClaimedDialog(int treasure, bool flag) override;
    Dialog* openGameOverStatsDialog(int x, int y, int width, int height, const std::string& header,
                                    const std::vector<std::string>& rowTexts,
                                    const std::vector<std::string>& rowValues) override;
    int getStatsDialogHeaderY(Dialog* dialog) override;
    void postGameWindowMessage(unsigned message, long wParam, long lParam) override;

    // PlayerFiles
    std::string getCurrentPlayer() const override;
    std::string getPlayerFilePath(const std::string& directory, const std::string& player,
                                  const std::string& extension) const override;

private:
    MainMenuOpener mainMenuOpener;
    TreasureClaimedOpener treasureOpener;
};
