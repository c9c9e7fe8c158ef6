#include "toolkit/scene/TransitionSprite.h"

#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"

namespace {

BitmapSprite* makeImage(Surface* surface)
{
    auto* image = new BitmapSprite(surface, nullptr, 0, 0);
    image->addRef();
    image->fitSizeToImage();
    // A snapshot has no picture behind it to load again: the holder keeps its original, so that a
    // display lost during the transition gives it back.
    image->copyToOwnSurface();
    return image;
}

void removeFromItsCanvas(BitmapSprite* image)
{
    if (image && image->getCanvas())
        image->getCanvas()->removeSprite(image);
}

} // namespace

TransitionSprite::~TransitionSprite()
{
    removeImages();
    if (fromImage)
        fromImage->release();
    if (toImage)
        toImage->release();
}

void TransitionSprite::onRemovedFromCanvas()
{
    removeImages();
    XMLSprite::onRemovedFromCanvas();
}

void TransitionSprite::removeImages()
{
    removeFromItsCanvas(fromImage);
    removeFromItsCanvas(toImage);
}

void TransitionSprite::setImages(Surface* fromSurface, Surface* toSurface)
{
    // A second call replaces the pictures of the first.
    removeImages();
    if (fromImage)
        fromImage->release();
    if (toImage)
        toImage->release();
    fromImage = makeImage(fromSurface);
    toImage = makeImage(toSurface);
    state = ImagesSet;
}
