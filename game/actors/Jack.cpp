#include "game/actors/Jack.h"

const ClassRecord Jack::classRecord("Jack", &Sprite::classRecord);

Jack::Jack() = default;

void Jack::setPose(int n)
{
    if (n == pose)
        return;
    pose = n;
    setDirty(true);
}
