#include "game/actors/MineCart.h"

#include <algorithm>

const ClassRecord MineCart::classRecord("MineCart", &Sprite::classRecord);

MineCart::MineCart(int maximum) : maxGold(std::max(maximum, 0)) {}

void MineCart::setGoldAmount(int n)
{
    const int clamped = std::clamp(n, 0, maxGold);
    if (clamped == goldAmount)
        return;
    goldAmount = clamped;
    setDirty(true);
}
