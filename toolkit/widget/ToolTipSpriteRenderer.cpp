#include "toolkit/widget/ToolTipSpriteRenderer.h"

#include "platform/app/Application.h"
#include "platform/app/Screen.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/raster/Fill.h"
#include "platform/surface/DrawError.h"
#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceFactory.h"
#include "resources/layout/XmlAttr.h"
#include "runtime/ObjectFactory.h"
#include "toolkit/sprite/NestedBuild.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/TooltipSource.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/widget/PixelFontLabel.h"

#include <tinyxml.h>

const ClassRecord ToolTipSpriteRendererAbstract::classRecord("ToolTipSpriteRendererAbstract", &XMLSprite::classRecord);
const ClassRecord ToolTipSpriteRenderer::classRecord("ToolTipSpriteRenderer",
                                                     &ToolTipSpriteRendererAbstract::classRecord);

namespace {

} // namespace

ToolTipSpriteRenderer::ToolTipSpriteRenderer()
{
    setAlpha(200);
    setSize(100, 20);
}

ToolTipSpriteRenderer::~ToolTipSpriteRenderer()
{
    if (label)
        label->release();
    label = nullptr;
}

void ToolTipSpriteRenderer::readXML(const TiXmlElement* element)
{
    if (!element)
        return;
    // A "label" child that builds no label leaves the box without text: it never shows.
    NestedBuild self(element);
    const TiXmlElement* child = XmlAttr::findChild(element, "label");
    if (Sprite* made = createNestedSpriteFromXml(child)) {
        made->addRef();
        if (made->isKindOf(&PixelFontLabel::classRecord))
            setLabel(static_cast<PixelFontLabel*>(made));
        else
            made->setObsolete(true); // lets a discarded sprite go of its own children
        made->release();
    }
    int colour = 0;
    if (XmlAttr::getInt(element, "bordercolor", colour))
        setBorderColor(colour);
}

void ToolTipSpriteRenderer::setLabel(PixelFontLabel* newLabel)
{
    if (newLabel == label)
        return;
    if (newLabel)
        newLabel->addRef();
    if (label) {
        if (SpriteCanvas* owner = label->getCanvas())
            owner->removeSprite(label);
        label->release();
    }
    label = newLabel;
    if (label && canvas && hasStateFlags(StateOnCanvas))
        canvas->addSpriteAfter(label, this);
    setDirty(true);
}

void ToolTipSpriteRenderer::onAddedToCanvas()
{
    XMLSprite::onAddedToCanvas();
    if (label && canvas) {
        // A box that comes back brings its label back too.
        label->setObsolete(false);
        canvas->addSpriteAfter(label, this);
    }
}

void ToolTipSpriteRenderer::onRemovedFromCanvas()
{
    if (label && canvas)
        canvas->removeSprite(label);
    XMLSprite::onRemovedFromCanvas();
}

void ToolTipSpriteRenderer::setSource(TooltipSource* newSource)
{
    if (newSource != source)
        setDirty(true);
    source = newSource;
}

void ToolTipSpriteRenderer::setPosition(int x, int y)
{
    pointerX = x;
    pointerY = y;
}

void ToolTipSpriteRenderer::bringToFront()
{
    if (!canvas)
        return;
    canvas->bringToFront(this);
    if (label)
        canvas->bringToFront(label);
}

void ToolTipSpriteRenderer::setFont(BitmapFont* font)
{
    if (label)
        label->setFont(font);
}

BitmapFont* ToolTipSpriteRenderer::getFont() const
{
    return label ? label->getFont() : nullptr;
}

void ToolTipSpriteRenderer::setTextColor(int colour)
{
    if (label)
        label->setColorFg(colour);
}

int ToolTipSpriteRenderer::getTextColor() const
{
    return label ? label->getColorFg() : 0;
}

void ToolTipSpriteRenderer::setBoxColor(int colour)
{
    if (label)
        label->setColorBg(colour);
}

int ToolTipSpriteRenderer::getBoxColor() const
{
    return label ? label->getColorBg() : 0;
}

void ToolTipSpriteRenderer::setMaxWidth(int width)
{
    maxWidth = width;
    setDirty(true);
}

void ToolTipSpriteRenderer::rebuild()
{
    if (!source || !label)
        return;
    const std::string text = source->getTooltip();
    if (text.empty()) {
        label->setTextShown(false);
        return;
    }
    label->setTextShown(true);
    // One line per paragraph: the box grows with its text, whatever maxwidth says.
    label->setWrapStyle(PixelFontLabel::WrapNormal);
    label->setText(text);
    label->fitSizeToText();

    const int width = label->getWidth() + 2 * insetX;
    const int height = label->getHeight() + 2 * insetY;
    setSize(width, height);

    int screenWidth = 0;
    int screenHeight = 0;
    Application::screenSize(screenWidth, screenHeight);
    const int m = screenMargin;
    int x = pointerX + offsetX;
    int y = pointerY + offsetY;
    if (x < m)
        x = m;
    else if (x + width > screenWidth - m)
        x = screenWidth - width - m;
    if (y < m) {
        y = m;
    } else if (y + height > screenHeight - m) {
        // No room below the pointer: the box goes above it.
        y = pointerY - height;
        if (y > screenHeight - m)
            y = screenHeight - m;
    }
    setX(x);
    setY(y);
    label->Sprite::setPosition(x + insetX, y + insetY);

    Surface* box = getSurface();
    if (box && static_cast<int>(box->getDesc().width) == width && static_cast<int>(box->getDesc().height) == height)
        return;
    if (width < 1 || height < 1)
        return;
    Surface* made = createDirectDrawSurface(ResourceManager::getDirectDraw(), static_cast<std::uint32_t>(width),
                                            static_cast<std::uint32_t>(height));
    if (!made)
        return;
    made->addRef();
    fillRectClipped(made, 0, 0, width, height, 0xFF000000u | static_cast<std::uint32_t>(label->getColorBg()));
    drawRect(made, 0, 0, width, height, 0xFF000000u | static_cast<std::uint32_t>(borderColor));
    setSurface(made);
    made->release();
}

void ToolTipSpriteRenderer::draw(Surface* target)
{
    if (!source) {
        if (label)
            label->setTextShown(false);
        return;
    }
    if (isDirty() || source->isTooltipChanged()) {
        rebuild();
        setDirty(false);
    }
    if (!getSurface() || !label || !label->isTextShown())
        return;
    const bool failedBefore = hasDrawError() != 0;
    XMLSprite::draw(target);
    if (!failedBefore && hasDrawError()) {
        // The box's surface went with the display: made again, shown at the next redraw.
        setSurface(nullptr);
        rebuild();
        setDirty(true);
    }
}

QUARRY_REGISTER_XML_CREATOR("tooltiprenderer", createAndReadXml<ToolTipSpriteRenderer>);
