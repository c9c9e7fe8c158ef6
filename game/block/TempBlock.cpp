#include "game/block/TempBlock.h"

#include "resources/layout/LayoutDocument.h"
#include "toolkit/sprite/SpriteCanvas.h"

TempBlock::TempBlock(Level* level, Block* source)
    : Block(level, source->getColumn(), source->getRow(), source->getType(), source->getColour(),
            source->getMultiplier(), true),
      source(source)
{
    source->addRef();
    place();
    // Block's clip setter clips the icon as well.
    const Rect& clip = getResourceRect("RECT_TEMP_BLOCK_CLIP_RECT_CLASSIC");
    setClipRect(clip.x, clip.y, clip.width, clip.height);
}

TempBlock::~TempBlock()
{
    source->release();
}

void TempBlock::place()
{
    const Point& shift = getResourcePoint("POINT_PIPE_SHIFT_POS");
    const Point& drop = getResourcePoint("POINT_PIPE_DROP_POS");
    const int dx = shift.x - source->getX();
    const int dy = shift.y - source->getY();
    setPosition(drop.x - dy, drop.y - dx);
}

void TempBlock::tick()
{
    place();
    if (source->isObsolete() && getCanvas())
        getCanvas()->removeSprite(this);
}
