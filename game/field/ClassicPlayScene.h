// The play field of the classic mode. Blocks do not scroll: they wait in a pipe below the field, one more
// every block time, and a full pipe is pushed into the field from below as a new row. Removing the gold
// ends the level: the gold flies into the mine cart, the rest of the field is cleared row by row for a
// line bonus, a statistics dialog follows, and a new cart brings the next level.
#pragma once

#include "game/field/PlayScene.h"

#include <vector>

class ClassicLevel;
class TempBlock;

class ClassicPlayScene : public PlayScene {
public:
    static const ClassRecord classRecord;

    // Throws a GameTextException naming the identifier when the layout lacks the mode's level or its
    // menu button: the game cannot be played without them.
    explicit ClassicPlayScene(GameSettings* settings);
    // The classic column of the phase machine's table, entered into a field of the classic kind.
    static void setActionTable(PlayScene& scene);
    ~ClassicPlayScene() override;

    unsigned instanceSize() override { return sizeof(ClassicPlayScene); }
    const ClassRecord* getClass() const override { return &classRecord; }

    void onAddedToCanvas() override;
    void onRemovedFromCanvas() override;
    void updatePhase() override;
    void sendEvent(int event) override;
    void saveModeState(TiXmlElement*) override {}
    void updateGame() override;
    int clearBonusPoints() override;
    int clearBonusFactor() override;
    void openDialog(int kind) override;
    bool onClick(ButtonBlit* button) override;

    // Puts a block into the pipe: null makes the level's next block, which drops in from the pipe's far
    // end; a given block (a restored game) is placed at its column's slot at once.
    void addPipeBlock(Block* block);

    const std::vector<TempBlock*>& getPipe() const { return pipe; }
    Sprite* getBackground() const { return background; }
    int getLineRow() const { return lineRow; }
    int getCartChannel() const { return effectChannel; }

protected:
    void startGame();
    void speedUp();
    void goldDone();
    void startLineBonus();
    void startLevelSummary();
    void cartLeaves();

    void updateRockFall();
    void updateLevelUp();
    void updateLineBonus();
    void updateLevelSummary();
    void updateCartLeaves();

    void emptyPipe();

    // The field's level, as the classic level it must be.
    ClassicLevel* classicLevel = nullptr;
    Sprite* background = nullptr;
    Sprite* pipeTop = nullptr;
    Sprite* pipeBottom = nullptr;
    std::vector<TempBlock*> pipe;
    // The line bonus: empty cells seen in the current row, and the cell it has reached.
    int lineEmpty = 0;
    int lineColumn = 0;
    int lineRow = 0;
};
