#include "toolkit/widget/PixelButton.h"

#include "platform/surface/Surface.h"

const ClassRecord PixelButton::classRecord("PixelButton", &ButtonBlit::classRecord);

void PixelButton::readXML(const TiXmlElement* element)
{
    ButtonBlit::readXML(element);
    const Surface* image = getSurface();
    if (frameCount == 0 && image)
        frameCount = toggle ? 6 : 4;
    if (image && frameCount >= 1) {
        // The frames split the picture itself, whatever height the element gave the sprite.
        setHeight(static_cast<int>(image->getDesc().height));
        // A "startframe" read with the sprite's attributes selected nothing yet; the split must.
        frameIndex = -1;
        setFrameCount(frameCount);
    }
    setState(StateNormal);
}

void PixelButton::setState(int newState)
{
    ButtonBlit::setState(newState);
    selectStateFrame();
}

void PixelButton::selectStateFrame()
{
    if (!getFrameRect() || frameCount < 1)
        return;
    int frame = state % frameCount;
    if (frame < 0)
        frame += frameCount;
    setFrame(frame);
}
