// The mine cart beside the play field into which the collected gold goes. A gold sprite on top of the cart
// shows how full it is, one stage of a strip picture of stacked stages, and small sparkles light up on the
// gold now and then. The play field tells the cart when the game is left.
#pragma once

#include "runtime/values/Point.h"
#include "toolkit/sprite/BitmapSprite.h"

#include <string>
#include <vector>

class MemorySurface;
class SurfaceHolder;

class MineCart : public BitmapSprite {
public:
    static const ClassRecord classRecord;

    // A cart without pictures (a test double of the play field).
    MineCart();
    // The cart picture `cartImageId` (drawn from a copy of its own), the gold strip `goldImageId` of
    // `stageCount` stacked stages, its stages shown at `goldOffset` from the cart's corner. A missing
    // picture leaves that part empty.
    MineCart(const std::string& cartImageId, const std::string& goldImageId, const Point& goldOffset, int stageCount);
    ~MineCart() override;

    unsigned instanceSize() override { return sizeof(MineCart); }
    const ClassRecord* getClass() const override { return &classRecord; }

    void onAddedToCanvas() override;
    void onRemovedFromCanvas() override;
    // The sparkles.
    void tick() override;
    // The gold moves with the cart.
    void setX(int x) override;
    void setY(int y) override;

    // Shows fill stage n, clamped to 0..the stage count; 0 hides the gold.
    virtual void setGoldLevel(int n);
    int getGoldLevel() const { return goldLevel; }
    void setGoldAmount(int n) { setGoldLevel(n); }
    int getGoldAmount() const { return goldLevel; }
    int getStageCount() const { return stageCount; }
    BitmapSprite* getGoldSprite() const { return gold; }
    // The game is being left: a cart stops whatever it still plays.
    virtual void leave() {}

protected:
    // A point of the shown stage where the gold's mask is set; false when the stage has none.
    bool pickGoldPoint(int& x, int& y);

    SurfaceHolder* cartImage = nullptr;
    SurfaceHolder* goldImage = nullptr;
    BitmapSprite* gold = nullptr;
    MemorySurface* goldMask = nullptr;
    int goldLevel = -1;
    int stageCount = 0;
    int stageHeight = 0;
};

// The cart of the classic mode: the level number painted on its side and four wheels that turn as it
// rolls sideways.
class MineCartClassic : public MineCart {
public:
    static constexpr int WheelCount = 4;

    static const ClassRecord classRecord;

    explicit MineCartClassic(int levelNumber);
    ~MineCartClassic() override;

    unsigned instanceSize() override { return sizeof(MineCartClassic); }
    const ClassRecord* getClass() const override { return &classRecord; }

    void onAddedToCanvas() override;
    void onRemovedFromCanvas() override;
    // The wheels roll along: their frames follow the cart's x.
    void setX(int x) override;
    void setY(int y) override;
    void leave() override {}

    const std::vector<BitmapSprite*>& getWheels() const { return wheels; }

private:
    void paintLevelNumber(int levelNumber);

    std::vector<BitmapSprite*> wheels;
};
