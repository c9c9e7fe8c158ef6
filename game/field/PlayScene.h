// The play field: the one object that runs a game. It is a sprite that the play screen adds to its canvas
// and that never draws itself; it owns the level, the miner and the cart, the score label, the menu and
// new-row buttons and every transient sprite of the game, and puts them between 22 named layer markers
// of the canvas. It hears the player's input, runs the phase machine once per frame, keeps the score,
// the statistics of the game, the hint counts and seven stopwatches.
//
// The phase machine: everything that happens to the field is one of twelve numbered events; the table
// [phase][event] names an action; the action does its work and usually moves the field to another
// phase. Each frame the work of the current phase waits for its timers and animations and then sends the
// event that ends the phase. The mode fields fill their own table entries, run their own actions and
// phase work, and hand everything else to this base.
//
// The field is abstract: the modes supply the saved-state writer and the clear bonus, and override the
// other hooks where they differ. Front-end services (menus, dialogs, music, highscores, configuration)
// are reached through FieldServices.
#pragma once

#include "game/field/GameSettings.h"
#include "game/level/Level.h"
#include "game/stats/GameStats.h"
#include "game/stats/GameTimer.h"
#include "platform/app/InputListener.h"
#include "runtime/scramble/ScrambledInt.h"
#include "toolkit/dialog/DialogListener.h"
#include "toolkit/sprite/Sprite.h"
#include "toolkit/widget/ButtonListener.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class BitmapFont;
class Block;
class ButtonBlit;
class Dialog;
class HintSprite;
class Jack;
class MineCart;
class PixelFontLabel;
class Surface;
struct ShellMessage;
struct ShellMessageLog;
class TiXmlDocument;
class TiXmlElement;

// The phases of a game; the action table is indexed by these numbers (14 and 19 are never entered).
namespace PlayPhase {
enum : int {
    Created = 0,
    Shown = 1,
    Starting = 2,
    Intro = 3,
    Playing = 4,
    FieldCleared = 5,
    ToolEffect = 6,
    TreasureFound = 7,
    TreasureToDialog = 8,
    LevelUp = 9,
    LineBonus = 10,
    LevelSummary = 11,
    CartLeaves = 12,
    Menu = 13,
    RockFall = 15,
    GameOver = 16,
    EndlessEnd = 17,
    Leave = 18,
};
constexpr int Count = 20;
} // namespace PlayPhase

// What happens to the field (9 is never sent).
namespace PlayEvent {
enum : int {
    StepDone = 0,
    Click = 1,
    GroupRemoved = 2,
    ToolUsed = 3,
    TreasureTaken = 4,
    GoldComplete = 5,
    GameLost = 6,
    SpeedUp = 7,
    Pause = 8,
    MenuLeave = 10,
    DialogClosed = 11,
};
constexpr int Count = 12;
} // namespace PlayEvent

// The actions of the table; the modes run 1, 2, 3, 14 to 17 and 22, the base the others.
namespace PlayAction {
enum : int {
    None = 0,
    Begin = 1,
    StartGame = 2,
    SpeedUp = 3,
    RequestMenu = 4,
    ResumeFromMenu = 7,
    BackToPlay = 8,
    SettleField = 9,
    ClickBlock = 10,
    ToolStarted = 11,
    TreasureStarted = 12,
    TreasureDialog = 13,
    GoldDone = 14,
    LineBonus = 15,
    LevelSummary = 16,
    CartLeaves = 17,
    GameLost = 18,
    EnterHighscore = 19,
    OpenMenu = 20,
    EndlessEnd = 22,
    Leave = 23,
};
} // namespace PlayAction

// The dialogs the field builds through openDialog.
namespace PlayDialog {
enum : int {
    TreasureClaimed = 2,
    LevelStats = 3,
    GameOver = 4,
    UpdateScores = 6,
    SinglePlayer = 7,
    Waiting = 8,
    UpdateSuccess = 9,
    UpdateFail = 10,
};
} // namespace PlayDialog

// What the saved game records about the game's end (written with the game).
namespace SaveState {
enum : int { None = 0, Lost = 1, Playing = 2, LevelDone = 3, Ended = 4, Saved = 5 };
} // namespace SaveState

// The score hand-over to the shell, shared by the whole program: a hand-over is due, the score shown
// last, the hand-over's step and its result (1 success, 2 failure).
extern bool scorePending;
extern int uploadScore;
extern int scoreUploadState;
extern int scoreUploadResult;

class PlayScene : public Sprite, public InputListener, public ButtonListener, public DialogListener,
                  public BlockRemover {
public:
    static const ClassRecord classRecord;

    static constexpr int kLayerCount = 22;
    static constexpr int kHintKinds = 16;
    static constexpr int kStarTypes = 13;
    static constexpr int kStarColours = 5;
    // Room of the list that showHint fills; blinking stops there.
    static constexpr int kHintBlockRoom = 50;

    // The layer names from the bottom up.
    static const char* const kLayerNames[kLayerCount];

    explicit PlayScene(GameSettings* settings);
    ~PlayScene() override;

    unsigned instanceSize() override { return sizeof(PlayScene); }
    const ClassRecord* getClass() const override { return &classRecord; }
    // "show": the layer markers, the score label and the buttons go onto the canvas.
    void onAddedToCanvas() override;
    // "hide": the input listener and everything show added leave again.
    void onRemovedFromCanvas() override;
    void tick() override;
    void onKeyTyped(int character) override;
    void onLeftPressed(int x, int y, int buttons, int doubleClick) override;
    void onRightPressed(int x, int y, int buttons, int doubleClick) override;

    // Mode hooks, in slot order.
    // Sends StepDone.
    virtual void start();
    // The per-frame work of the current phase.
    virtual void updatePhase();
    // Looks up the action of (phase, event) and runs it; the modes run their own actions first.
    virtual void sendEvent(int event);
    // Writes the mode's own part of a saved game on the "SaveGame" element.
    virtual void saveModeState(TiXmlElement* element) = 0;
    // The time-driven rules of the playing phase.
    virtual void updateGame();
    // Points of the current selection for the block under the mouse (before the multiplier).
    virtual int computeGroupScore();
    // Product of the multipliers above 1 of the selected colour blocks.
    virtual int computeGroupMultiplier();
    virtual int clearBonusPoints() = 0;
    virtual int clearBonusFactor() = 0;
    // Builds the dialog of the kind and holds it as the open dialog; shows nothing.
    virtual void openDialog(int kind);
    // Builds the hint for a request (16: whichever applies first) and lists the blocks it points at;
    // null when no hint applies.
    virtual HintSprite* showHint(std::vector<Block*>& blocks, int id);
    virtual void onChar(int character);

    // InputListener (attached while the field is shown).
    void keyTyped(char character) override;
    void mousePressed(int x, int y, int buttons, int doubleClick) override;
    void rightPressed(int x, int y, int buttons, int doubleClick) override;
    // ButtonListener: the menu and new-row buttons.
    bool onClick(ButtonBlit* button) override;
    bool onEnter(ButtonBlit* button) override;
    bool onLeave(ButtonBlit* button) override;
    // DialogListener: every in-game dialog.
    void onDialogClosed(Dialog* dialog) override;

    // Phase machine.
    // Stores the phase, restarts the phase timer, resets the sub-step and the removal count, enables
    // the buttons for the phase and turns a hand cursor back into the arrow.
    void setPhase(int newPhase);
    int getAction(int phase, int event) const;
    void setAction(int phase, int event, int action);
    // Runs one base action; unknown numbers do nothing.
    void runAction(int action);
    // The entries of the action table that both modes have; each mode sets its own after them.
    void setSharedActions();
    // The base actions with work of their own.
    void resumeFromMenu();
    void settleField();
    void gameLost();
    void enterHighscore();
    void openMenu();
    void leave();

    // Layers: puts the sprite into the canvas just below the layer's marker (on top of that layer).
    void addSpriteAtLayer(Sprite* sprite, const char* layer);
    Sprite* getLayerMarker(const char* layer) const;

    // Group click, scoring and tool use (PlaySceneClick.cpp; computeGroupScore and
    // computeGroupMultiplier above too).
    void updateMouseCell();
    void clickBlock(bool refreshMouse);
    void showScorePreview();
    void hideScorePreview();
    void showScoreFloater(int points, int multiplier);
    // BlockRemover: the level hands over every block it takes out of the grid.
    void removeBlockSprite(Block* block, int delay) override;
    void createStar(const std::string& image, int x, int y, std::uint32_t colour, int delay);
    void createStar(const std::string& image, int x, int y, std::uint32_t colour);
    void clearSelection();
    // Tools, treasures and the hourglass (PlaySceneTools.cpp).
    bool dropTreasure();
    void updateTreasure();
    void startHourglassEffect(Sprite* icon);

    // Hints (PlaySceneHints.cpp; showHint above too).
    void requestHint(int id);
    void hideHint();
    void blinkSprite(Sprite* sprite);

    // Per-frame rules and field effects (PlaySceneRules.cpp; updateGame above too).
    void updateGameOverTimer(bool topReached);
    void showTopRowWarnings();
    void putBlocksOnCanvas(bool hide);
    void dropBlockOut(Block* block, int extra, int delay);
    // The rock fall that ends a game, as each mode times it: the header over the named layer after two
    // frames, every block falling out of the field after five (each column by its own extra drop and
    // delay; the waiting row too where it shows), and the step done once the fall has run its frames
    // and nothing is left falling.
    struct RockFall {
        const char* headerLayer;
        int extraDrop;
        bool waitingRowFalls;
        int lastFrame;
    };
    void updateRockFall(const RockFall& fall);
    void createFloater(const std::string& text, int x, int y, std::uint32_t colour);
    // Makes the sliding header text and holds it as the header sprite (replacing one held before); the
    // caller puts it on the canvas.
    void showHeaderText(const std::string& stringId);

    // One step of the score hand-over to the shell.
    void updateScoreUpload();
    // The saved game of the current player and mode: its path, and whether one is there.
    std::string getSaveGamePath() const;

    // Accessors.
    Level* getLevel() const { return level; }
    GameSettings* getSettings() const { return settings; }
    int getScore() const { return score.get(); }
    void setScore(int value) { score.set(value); }
    int getShownScore() const { return shownScore.get(); }
    void setShownScore(int value) { shownScore.set(value); }
    int getPhase() const { return phase; }
    int getSubStep() const { return subStep; }
    bool isMenuRequested() const { return menuRequested; }
    bool isClearBonusAllowed() const { return clearBonusAllowed; }
    int getSaveState() const { return saveState; }
    void setSaveState(int state) { saveState = state; }
    int getHintCount(int id) const { return id >= 0 && id < kHintKinds ? hintCounts[id] : 0; }
    Sprite* getOpenDialog() const { return openDialogSprite; }
    Jack* getJack() const { return jack; }
    MineCart* getMineCart() const { return mineCart; }
    ButtonBlit* getMenuButton() const { return menuButton; }
    ButtonBlit* getNewRowButton() const { return newRowButton; }
    PixelFontLabel* getScoreLabel() const { return scoreLabel; }
    HintSprite* getHint() const { return hint; }
    LevelStats& getGameStats() { return gameStats; }
    GameStats& getLevelStats() { return levelStats; }
    float getScoreMultiplier() const { return scoreMultiplier; }
    std::uint32_t getStarColour(int type, int colour) const;
    GameTimer& getHourglassTimer() { return hourglassTimer; }
    GameTimer& getBlockTimer() { return blockTimer; }
    GameTimer& getLevelTimer() { return levelTimer; }
    GameTimer& getPhaseTimer() { return phaseTimer; }
    GameTimer& getHintTimer() { return hintTimer; }
    GameTimer& getGameoverTimer() { return gameoverTimer; }
    GameTimer& getTreasureTimer() { return treasureTimer; }
    // The phase timer's reading in nominal frames.
    int phaseFrames() const;

    // Counts calls of updateGame since the program started (the gold shine's rhythm).
    static int shineFrameCounter;
    // "INT_TREASURE_BLINK_START_TIME", read at its first use (0 until then).
    static int treasureBlinkStart;
    // The fonts of the floaters and of the bonus texts, loaded by every new field.
    static BitmapFont* floaterFont;
    static BitmapFont* bigFont;

protected:
    // Releases the held object and clears the slot first, so a release that reaches back into the
    // field finds the slot empty.
    template <class Held>
    static void dropSprite(Held*& held)
    {
        Held* released = held;
        held = nullptr;
        if (released)
            released->release();
    }
    // Takes the running game from the saved-game document (score, statistics, hint counts); false
    // (after telling the player) when there is no usable saved game, which then starts a new game.
    bool restoreSavedGame();
    void readStarColours();
    // The phase work of the treasure's way to its dialog and of the game's end.
    void updateTreasureToDialog();
    void updateGameOver();
    // Puts the open dialog on top of the canvas with the field as its listener.
    void showOpenDialog();
    void createLayerMarkers();
    void createButtonsAndLabel();
    // A mode's field cannot be played without its level, of the mode's kind (`levelOfKind`; `kind` as
    // the message says it, "a classic"), nor left without its menu button: a GameTextException names
    // what the layout lacks, the message starting with "<field> field: ".
    void requirePlayable(const char* field, const char* kind, bool levelOfKind) const;
    // An integer of the property store; without a store, the store's "ID not found" error.
    static int propertyInt(const char* id);
    // Ends every animation of the sprite where it stands.
    static void dropModifiers(Sprite* sprite);

    // The steps every mode's start of a level takes.
    // The game's first level plays the start sound and times the music; the pointer becomes the arrow.
    void beginLevelStart(std::uint32_t now);
    // A new level's stopwatches: the treasure, the hourglass and the countdown stopped, the level timer
    // (and with `withBlockTimer` the block timer) running from now, and no block removed yet.
    void startLevelTimers(std::uint32_t now, bool withBlockTimer);
    // A continued game's stopwatches as the saved game has them (the block timer only with
    // `withBlockTimer`; one the saved game lacks keeps its state), all running on, the countdown afresh;
    // a treasure still falling is the lowest one on the field, and a running hourglass shows again.
    void resumeSavedTimers(bool withBlockTimer);
    // Hints timed from now, the blocks shown fading in at the speed, no row shaking, and the saved game
    // used up.
    void finishLevelStart(std::uint32_t now, float fadeSpeed);
    // The gold block's picture on its way into the cart: it leaves the block, is held among the pending
    // sprites, goes just below the cart's gold on the canvas, shows whole over the whole screen, plays
    // its frames and waits `delay` frames; the caller gives it its path.
    Sprite* takeGoldIcon(Block* block, Sprite* cartGold, double delay);
    // The end of both fields' gold step: the gold group under the mouse leaves the field and the
    // level-up phase begins.
    void startLevelUp();
    // The gold icons on their way that have landed: each shows "+<points>" where it landed, fills the
    // cart by one stage and rocks it (while `cartMayRock` allows) and is let go; the others fly on.
    // Returns how many landed.
    int landGoldIcons(int points, const std::function<bool()>& cartMayRock);
    // A statistics dialog of the mode: the header and the lines (text identifiers, shown values), given
    // the name when there is one, held as the open dialog with the field as its listener.
    void openStatsDialog(const char* header, const std::vector<std::string>& texts,
                         const std::vector<std::string>& values, const std::string& name);

    // The members of the play field, in order.
    TiXmlElement* savedGame = nullptr;
    TiXmlDocument* savedDocument = nullptr;
    bool clearBonusAllowed = true;
    int actionTable[PlayPhase::Count][PlayEvent::Count] = {};
    int saveState = SaveState::None;
    int hintCounts[kHintKinds] = {};
    int phase = PlayPhase::Created;
    Level* level = nullptr;
    int mouseCellX = -1;
    int mouseCellY = -1;
    int lastMouseCellX = -2;
    int lastMouseCellY = -2;
    bool menuRequested = false;
    GameTimer hourglassTimer;
    GameTimer blockTimer;
    GameTimer levelTimer;
    GameTimer phaseTimer;
    GameTimer hintTimer;
    GameTimer gameoverTimer;
    GameTimer treasureTimer;
    int removedNow = 0;
    int subStep = 0;
    Sprite* layers[kLayerCount] = {};
    PixelFontLabel* scoreLabel = nullptr;
    ScrambledInt shownScore;
    ScrambledInt score;
    Sprite* openDialogSprite = nullptr;
    Sprite* headerSprite = nullptr;
    Sprite* previewFloater = nullptr;
    LevelStats gameStats;
    GameStats levelStats;
    Jack* jack = nullptr;
    MineCart* mineCart = nullptr;
    std::uint32_t starColours[kStarTypes][kStarColours] = {};
    int earthquakeChannel = -1;
    int effectChannel = -1;
    int musicStartTime = -1;
    ButtonBlit* menuButton = nullptr;
    ButtonBlit* newRowButton = nullptr;
    Sprite* droppedTreasure = nullptr;
    Sprite* treasureSprite = nullptr;
    Sprite* hourglassSprite = nullptr;
    GameSettings* settings = nullptr;
    std::vector<Sprite*> pendingSprites;
    float scoreMultiplier = 1.0f;

    // State of the click, the hints and the speed-up.
    bool hasClicked = false;
    bool speedUpActive = false;
    bool speedUpUsed = false;
    HintSprite* hint = nullptr;
    // The score preview last shown: its points and the block under the mouse then.
    int previewPoints = 0;
    Block* previewBlock = nullptr;
    int previewX = 0;
    int previewY = 0;
    // A statistics dialog of the mode that the score hand-over may replace.
    Sprite* statsDialog = nullptr;
    // Taking a treasure paused the level and game-over timers; the next settling resumes them.
    bool treasurePausedTimers = false;

    // -- click --
    // What a used tool or a taken treasure does to the field (PlaySceneTools.cpp); the icon is the one
    // the click took from the block, or null.
    void useTool(Block* block, Sprite* icon);
    void takeTreasure(Block* block, Sprite* icon);
    // The running hourglass's frame for the modes, while no speed-up overrides it: the picture shows
    // the elapsed share of "INT_HOURGLASS_TOOL_DURATION" and blinks faster and faster from
    // "INT_HOURGLASS_BLINK_START_TIME" on; when the time is up the timer stops and the picture goes.
    // True while the hourglass holds the field (no new blocks, no scrolling this frame).
    bool updateHourglass();

    // -- hints --
public:
    // Spends one of the hint from both stocks, the player's and this game's; a stock at 0 stays there.
    void spendHint(int id);
    // Hints are on and both stocks of the hint last.
    bool isHintInStock(int id) const;
    // How many rows shake after `elapsedMs` of the game-over countdown: the share of the countdown gone,
    // of the field's rows (all of them once a countdown without time is over).
    int shakingRowsFor(int elapsedMs) const;

protected:

    // -- effects --

    // -- input and dialog answers --
    // Lets the answered dialog go: the open dialog loses its listener and the field's reference, and the
    // answered dialog leaves the canvas.
    void closeAnsweredDialog(Dialog* dialog);
    // Builds the dialog of the kind and puts it on the canvas with the field as its listener.
    void showDialogOfKind(int kind);
    // The question that follows a shown score: the single-player result for a guest, else whether to
    // hand the score over.
    void showScoreQuestion();

    // -- saved game --
public:
    // The stopwatches a game in progress keeps, under these element names in this order.
    static constexpr int kSavedTimerCount = 5;
    static const char* const kSavedTimerNames[kSavedTimerCount];
    // Writes the game when the field is left: a game in progress, a finished level or an ended game
    // replaces the saved game whole (the old one stays when the write fails); a game not started or lost
    // deletes it; a game already saved is left as it is. The state becomes Saved in every case.
    void saveGame();
    // Fills the "SaveGame" element from the field as it stands.
    void writeSavedGame(TiXmlElement& saveGame);
    // For the modes' start of a game: when the saved game was in progress, takes back the level's cells
    // and the stopwatches (the block-creation one only when asked); false when there is nothing to take.
    bool restoreGameInProgress(bool withBlockTimer);

    // -- score hand-over --
    // Finds the oldest message of that number in the log, copies it to `found` (when given) and, with
    // `remove`, takes it out keeping the order of the others.
    static bool peekShellMessage(ShellMessageLog& log, unsigned message, ShellMessage* found, bool remove);

protected:
    GameTimer& savedTimer(int index);
    // Reads the saved game's stopwatches but the countdown (the block timer only with
    // `withBlockTimer`); one the saved game lacks keeps its state.
    void loadSavedTimers(bool withBlockTimer);
};
