// The game's application object: made before the program entry, it runs the game on the platform's
// frame loop and carries what many screens share: the configuration tree kept in "Quarrytide.cfg", the
// players, the music and the paths of each player's files.
#pragma once

#include <string>

#include "platform/app/Application.h"

class Properties;

class GameApp : public Application {
public:
    GameApp();
    ~GameApp() override;

    int initGame() override;
    void onResourcesLoaded() override;
    int onExit() override;
    // Stores a game in progress as a saved game before the program quits.
    void requestQuit() override;
    int getIconId() override { return 101; }
    // Shows the file messages other threads left, then runs the frame.
    void updateAndDraw(Surface* target, const FrameTime& frameTime) override;

    // The configuration tree (one for the program). setConfig takes ownership and deletes the old one.
    static Properties& getConfig();
    static void setConfig(Properties* config);
    static void deleteConfig();
    // Reads "Quarrytide.cfg" from the player's data folder; a missing, foreign or playerless file is
    // deleted and the game starts as on a first run ("firstplay" 1, made-up highscores).
    static void loadConfig();
    // Writes the highscores into the tree and the tree to the file (replacing it whole); false when the
    // file could not be written (the old one is kept).
    static bool saveConfig();
    // The file's path inside the player's data folder.
    static std::string configPath();

    static std::string getCurrentPlayer();
    // The "players" child of the configuration: one empty child per known player.
    static Properties* getPlayers();
    // Makes `name` the current player: saves the old player's statistics, loads the new one's and
    // saves the configuration. A name equal to the current one but for case changes nothing.
    static void selectPlayer(const std::string& name);
    // Forgets the current player without saving its statistics again (used when it was deleted).
    static void dropCurrentPlayer();

    // Music on the application's sound manager; the fades move the fade factor over `seconds`.
    static void stopMusic();
    static void fadeMusicIn(float seconds);
    static void fadeMusicHalf(float seconds);
    static void fadeMusicOut(float seconds);
    // Opens the stream the string property `id` names, silent, and fades it in over `seconds`.
    static void playMusic(const std::string& id, float seconds);

    // "<directory>\<safe player>_<name>.sav", the directory created first.
    static std::string getSaveGamePath(const std::string& name, const std::string& player,
                                       const std::string& directory);
    // "<directory>\<safe player>.cfg", the directory created first.
    static std::string getPlayerFilePath(const std::string& player, const std::string& directory);
    // Whether that saved game (stored under its name with ".!" added) exists.
    static bool saveGameExists(const std::string& name, const std::string& player, const std::string& directory);

    // The one instance (null before it is made or after it is gone).
    static GameApp* instance();
};

// The child `name` of a configuration tree, made when absent. A value of another kind under that name
// (a damaged or hand-edited file) is replaced by an empty child, so readers always get a group.
Properties& configChild(Properties& parent, const std::string& name);

// printf-style formatting of the two path builders (`extension` is the last, plain text argument).
std::string formatString3(const char* format, const std::string& a, const std::string& b,
                          const std::string& extension);
std::string formatString2(const char* format, const std::string& a, const std::string& extension);
