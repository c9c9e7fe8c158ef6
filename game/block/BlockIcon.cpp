#include "game/block/BlockIcon.h"

BlockIcon::BlockIcon(Surface* surface, Surface* mask, int offsetX, int offsetY)
    : BitmapSprite(surface, mask, 0, 0), offsetX(offsetX), offsetY(offsetY)
{
    fitSizeToImage();
    setName("SPRITE_BLOCK_ICON");
}

void BlockIcon::setX(int x)
{
    BitmapSprite::setX(offsetX + x);
}

void BlockIcon::setY(int y)
{
    BitmapSprite::setY(offsetY + y);
}
