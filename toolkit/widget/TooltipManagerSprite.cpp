#include "toolkit/widget/TooltipManagerSprite.h"

#include "platform/app/Application.h"
#include "platform/app/InputManager.h"
#include "resources/layout/XmlAttr.h"
#include "runtime/ObjectFactory.h"
#include "toolkit/sprite/FrameRate.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/TooltipSource.h"
#include "toolkit/sprite/XmlCreation.h"
#include "toolkit/sprite/NestedBuild.h"
#include "toolkit/widget/ToolTipSpriteRendererAbstract.h"

#include <tinyxml.h>

#include <algorithm>

const ClassRecord TooltipManagerSprite::classRecord("TooltipManagerSprite", &Sprite::classRecord);

TooltipManagerSprite::TooltipManagerSprite() = default;

TooltipManagerSprite::~TooltipManagerSprite()
{
    if (renderer)
        renderer->release();
    renderer = nullptr;
}

void TooltipManagerSprite::readXML(const TiXmlElement* element)
{
    if (!element)
        return;
    // A "renderer" child that builds no renderer leaves a manager that shows nothing.
    NestedBuild self(element);
    const TiXmlElement* child = XmlAttr::findChild(element, "renderer");
    if (Sprite* made = createNestedSpriteFromXml(child)) {
        made->addRef();
        if (made->isKindOf(&ToolTipSpriteRendererAbstract::classRecord))
            setRenderer(static_cast<ToolTipSpriteRendererAbstract*>(made));
        else
            made->setObsolete(true); // lets a discarded sprite go of its own children
        made->release();
    }
    XmlAttr::getInt(element, "delaytime", delayTime);
}

void TooltipManagerSprite::addSource(TooltipSource* source)
{
    if (source && std::find(sources.begin(), sources.end(), source) == sources.end())
        sources.push_back(source);
}

void TooltipManagerSprite::removeSource(TooltipSource* source)
{
    sources.erase(std::remove(sources.begin(), sources.end(), source), sources.end());
    // A source that goes may be about to be destroyed: nothing keeps pointing at it.
    if (hovered == source)
        hovered = nullptr;
    if (shown == source) {
        shown = nullptr;
        if (renderer)
            renderer->setSource(nullptr);
    }
}

void TooltipManagerSprite::clearSources()
{
    sources.clear();
    hovered = nullptr;
    shown = nullptr;
    if (renderer)
        renderer->setSource(nullptr);
}

void TooltipManagerSprite::setRenderer(ToolTipSpriteRendererAbstract* newRenderer)
{
    if (newRenderer != renderer) {
        if (newRenderer)
            newRenderer->addRef();
        if (renderer) {
            if (SpriteCanvas* owner = renderer->getCanvas())
                owner->removeSprite(renderer);
            renderer->release();
        }
        renderer = newRenderer;
        if (renderer && canvas && hasStateFlags(StateOnCanvas))
            canvas->addSprite(renderer);
    }
    if (renderer)
        renderer->bringToFront();
}

void TooltipManagerSprite::onAddedToCanvas()
{
    Sprite::onAddedToCanvas();
    if (renderer && canvas) {
        renderer->setObsolete(false);
        canvas->addSprite(renderer);
    }
}

void TooltipManagerSprite::onRemovedFromCanvas()
{
    if (renderer && canvas)
        canvas->removeSprite(renderer);
    Sprite::onRemovedFromCanvas();
}

void TooltipManagerSprite::tick()
{
    if (!active)
        return;
    Application* app = Application::instance();
    InputManager* input = app ? app->getInputManager() : nullptr;
    if (!input)
        return;
    const int px = input->getMouseX();
    const int py = input->getMouseY();

    TooltipSource* found = nullptr;
    if (!input->isLeftDown() && !input->isRightDown()) {
        for (TooltipSource* source : sources) {
            if (!source->isTooltipActive())
                continue;
            const Rect r = source->getTooltipRect();
            const long long left = r.x;
            const long long top = r.y;
            if (left <= px && px < left + r.width && top <= py && py < top + r.height) {
                found = source;
                break;
            }
        }
    }

    bool changed = false;
    if (found == hovered) {
        if (hovered && shown != hovered) {
            countdown -= getFrameRate().getElapsedMs();
            if (countdown < 1) {
                countdown = 0;
                shown = hovered;
                changed = true;
            }
        }
    } else if (!found) {
        resetCountdown();
        hovered = nullptr;
        shown = nullptr;
        changed = true;
    } else {
        resetCountdown();
        hovered = found;
        if (found != shown) {
            shown = nullptr;
            changed = true;
        }
    }
    if (changed && renderer) {
        renderer->setSource(shown);
        renderer->setPosition(px, py);
    }
}

QUARRY_REGISTER_XML_CREATOR("tooltipmanager", createAndReadXml<TooltipManagerSprite>);
