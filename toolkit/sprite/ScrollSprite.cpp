#include "toolkit/sprite/ScrollSprite.h"

#include "resources/layout/XmlAttr.h"
#include "runtime/DebugLog.h"
#include "toolkit/sprite/FrameRate.h"
#include "toolkit/sprite/NestedBuild.h"
#include "toolkit/sprite/RepeatingSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"
#include "toolkit/sprite/XmlCreation.h"

#include <tinyxml.h>

#include <cmath>
#include <string>

// Of kind "Sprite" only: kind tests do not take a scroller for an XML or bitmap sprite.
const ClassRecord ScrollSprite::classRecord("ScrollSprite", &Sprite::classRecord);

namespace {

const std::vector<Sprite*> noSprites;

// What a layout element is called in a log line.
std::string describe(const TiXmlElement* element)
{
    const char* id = element->Attribute("id");
    return std::string("<") + element->Value() + (id ? std::string(" id=\"") + id + "\"" : std::string()) + ">";
}

} // namespace

ScrollSprite::ScrollSprite() = default;

ScrollSprite::~ScrollSprite()
{
    std::vector<std::vector<Sprite*>> held;
    held.swap(layers);
    for (auto& layer : held) {
        for (Sprite* sprite : layer)
            sprite->release();
    }
}

void ScrollSprite::readXML(const TiXmlElement* element)
{
    if (!element)
        return;
    double value = 0.0;
    if (XmlAttr::getFloat(element, "changespeed", value))
        changeRate = static_cast<float>(value);
    if (XmlAttr::getFloat(element, "targetspeed", value))
        targetSpeed = static_cast<float>(value);
    if (XmlAttr::getFloat(element, "speed", value))
        speed = static_cast<float>(value);

    // The layer lists are the element's own children, never found through an enclosing scope.
    const NestedBuild nesting;
    if (nesting.tooDeep()) {
        if (nesting.reportRefusal())
            DebugLog::instance().log("ScrollSprite: " + describe(element) + " is nested too deeply; no layers\n");
    } else if (const TiXmlElement* list = element->FirstChildElement("layers")) {
        for (const TiXmlElement* child = list->FirstChildElement(); child; child = child->NextSiblingElement()) {
            // Without a layer number the sprite gets a layer of its own, as a negative number asks.
            int layer = -1;
            if (!XmlAttr::getInt(child, "layer", layer)) {
                layer = -1;
                DebugLog::instance().log("ScrollSprite: " + describe(child) + " names no \"layer\"; it gets a new one\n");
            }
            Sprite* sprite = createSpriteFromXml(child);
            if (!sprite) {
                DebugLog::instance().log("ScrollSprite: " + describe(child) + " makes no sprite; skipped\n");
                continue;
            }
            addToLayer(sprite, layer);
        }
    }
    if (const TiXmlElement* list = element->FirstChildElement("layerspeeds")) {
        for (const TiXmlElement* child = list->FirstChildElement(); child; child = child->NextSiblingElement()) {
            int layer = -1;
            if (!XmlAttr::getInt(child, "layer", layer) || layer < 0 || layer > kMaxLayerIndex) {
                DebugLog::instance().log("ScrollSprite: " + describe(child) + " names no usable \"layer\"; skipped\n");
                continue;
            }
            if (layerSpeeds.size() < static_cast<std::size_t>(layer) + 1)
                layerSpeeds.resize(static_cast<std::size_t>(layer) + 1, 0.0);
            XmlAttr::getFloat(child, "speed", layerSpeeds[static_cast<std::size_t>(layer)]);
        }
    }
}

void ScrollSprite::addToLayer(Sprite* sprite, int layer)
{
    if (!sprite)
        return;
    sprite->addRef();
    if (layer > kMaxLayerIndex) {
        DebugLog::instance().log("ScrollSprite: layer " + std::to_string(layer) + " is out of range; a new one is used\n");
        layer = -1;
    }
    if (layer < 0)
        layer = static_cast<int>(layers.size());
    if (layers.size() <= static_cast<std::size_t>(layer))
        layers.resize(static_cast<std::size_t>(layer) + 1);
    layers[static_cast<std::size_t>(layer)].push_back(sprite);
    // A sprite added after scrolling carries the fraction of the offset the others already carry.
    exactPositions[sprite] = static_cast<float>(sprite->getY() + (scrollOffset - std::trunc(scrollOffset)));
}

const std::vector<Sprite*>& ScrollSprite::getLayer(int layer) const
{
    if (layer < 0 || static_cast<std::size_t>(layer) >= layers.size())
        return noSprites;
    return layers[static_cast<std::size_t>(layer)];
}

double ScrollSprite::getLayerSpeed(int layer) const
{
    if (layer < 0 || static_cast<std::size_t>(layer) >= layerSpeeds.size())
        return 0.0;
    return layerSpeeds[static_cast<std::size_t>(layer)];
}

void ScrollSprite::setLayerSpeed(int layer, double layerSpeed)
{
    if (layer < 0 || layer > kMaxLayerIndex)
        return;
    if (layerSpeeds.size() < static_cast<std::size_t>(layer) + 1)
        layerSpeeds.resize(static_cast<std::size_t>(layer) + 1, 0.0);
    layerSpeeds[static_cast<std::size_t>(layer)] = layerSpeed;
}

float ScrollSprite::getExactPosition(const Sprite* sprite) const
{
    auto it = exactPositions.find(sprite);
    if (it != exactPositions.end())
        return it->second;
    return sprite ? static_cast<float>(sprite->getY()) : 0.0f;
}

void ScrollSprite::tick()
{
    scroll(static_cast<double>(speed * getFrameRate().ratio()));
}

void ScrollSprite::update()
{
    runModifiers();
}

void ScrollSprite::scroll(double amount)
{
    if (paused)
        return;
    scrollOffset -= amount;
    for (std::size_t i = 0; i < layers.size(); ++i) {
        const double layerSpeed = getLayerSpeed(static_cast<int>(i));
        for (Sprite* sprite : layers[i]) {
            float& exact = exactPositions[sprite];
            exact = static_cast<float>(exact - amount * layerSpeed);
            // Truncated toward zero; a position beyond the integers (or not a number) leaves y alone.
            if (exact > -2147483648.0f && exact < 2147483648.0f)
                sprite->setY(static_cast<int>(exact));
            if (sprite->isKindOf(&RepeatingSprite::classRecord)) {
                if (auto* strip = dynamic_cast<RepeatingSprite*>(sprite))
                    strip->wrapCopies();
            }
        }
    }
    if (!changing)
        return;
    // The speed for the next frame, after this frame's move.
    if (changeParameter >= 1.0f) {
        speed = targetSpeed;
        changeParameter = 1.0f;
        changing = false;
    } else {
        const float t = changeParameter;
        speed = startSpeed + (targetSpeed - startSpeed) * (t * t * (3.0f - 2.0f * t));
        changeParameter = t + getFrameRate().ratio() * changeRate;
    }
}

void ScrollSprite::setSpeed(float target, int duration)
{
    if (duration < 1) {
        changing = false;
        changeParameter = 1.0f;
        speed = target;
        startSpeed = target;
        targetSpeed = target;
        return;
    }
    changing = true;
    changeParameter = 0.0f;
    startSpeed = speed;
    targetSpeed = target;
    changeRate = std::fabs(target - startSpeed) / static_cast<float>(duration);
}

void ScrollSprite::onAddedToCanvas()
{
    // The scroller's own on-canvas flag stays as it is: only its layer sprites are handed over.
    if (!canvas)
        return;
    for (auto& layer : layers) {
        for (Sprite* sprite : layer) {
            if (sprite->isKindOf(&RepeatingSprite::classRecord)) {
                if (auto* strip = dynamic_cast<RepeatingSprite*>(sprite))
                    strip->build();
            }
            sprite->setObsolete(false);
            if (canvas->indexOf(sprite) < 0)
                canvas->addSpriteBefore(sprite, this);
        }
    }
}

void ScrollSprite::onRemovedFromCanvas()
{
    if (canvas) {
        for (auto& layer : layers) {
            for (Sprite* sprite : layer) {
                if (sprite->getCanvas() == canvas)
                    canvas->removeSprite(sprite);
            }
        }
    }
    XMLSprite::onRemovedFromCanvas();
}
