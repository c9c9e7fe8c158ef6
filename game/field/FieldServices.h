// What the play field needs from the game's front end: the in-game menu and the dialogs it builds, the
// music, the highscore tables, the configuration, the current player and the game window. The front end
// installs its implementation at start-up; until then (and in programs without a front end) a quiet one
// answers: no dialogs, no music, no highscore place, a configuration of its own.
//
// Dialogs come back new and unreferenced: the caller takes the reference it keeps.
#pragma once

#include <string>
#include <vector>

class Dialog;
class Properties;
struct GameSettings;

class FieldServices {
public:
    virtual ~FieldServices() = default;

    // The installed services, or the quiet ones.
    static FieldServices& get();
    // Installs the services (not owned); null puts the quiet ones back.
    static void install(FieldServices* services);

    // The program's configuration, saved with the configuration file.
    virtual Properties& getConfig() = 0;
    virtual std::string getCurrentPlayer() = 0;
    // True when the game runs without a signed-in user.
    virtual bool isGuest() = 0;
    // Creates the directory and answers the path of the player's saved game of the mode.
    virtual std::string getSaveGamePath(const std::string& mode, const std::string& player,
                                        const std::string& directory) = 0;

    // Starts the music at volume 0 and fades it in over `fadeSeconds`.
    virtual void playMusic(const std::string& musicId, float fadeSeconds) = 0;
    virtual void fadeMusicIn(float seconds) = 0;
    virtual void fadeMusicHalf(float seconds) = 0;
    virtual void fadeMusicOut(float seconds) = 0;

    // Enters a finished game into the highscore table of its mode (`time` in milliseconds of play); the
    // place (1 is the top) or 0 when the game does not qualify.
    virtual int addScore(const std::string& mode, bool quattro, const std::string& player, int levelNumber,
                         int score, int time, int gold, double depth) = 0;

    // The in-game menu panel built from the frame image, over the field's rectangle.
    virtual Dialog* openMainMenu(const std::string& imageId, int yOffset, int x, int y, int width, int height,
                                 const GameSettings& settings) = 0;
    // The dialog that shows the treasure of that index as claimed.
    virtual Dialog* openTreasureClaimedDialog(int treasure, bool flag) = 0;
    // The statistics dialog of a finished level or game: a header, then one row per text and value.
    virtual Dialog* openGameOverStatsDialog(int x, int y, int width, int height, const std::string& header,
                                            const std::vector<std::string>& rowTexts,
                                            const std::vector<std::string>& rowValues) = 0;
    // The absolute y of a statistics dialog's header label (the field slides its own header there).
    virtual int getStatsDialogHeaderY(Dialog* dialog) = 0;

    // Posts a private message to the game's own window.
    virtual void postGameWindowMessage(unsigned message, long wParam, long lParam) = 0;
};
