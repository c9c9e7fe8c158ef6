// The invisible sprite that shows tooltips. Every frame it looks for the first registered source under
// the pointer; once the pointer has rested on one for the delay time it hands that source to its
// renderer, which shows the text near the pointer. Moving to another source hides the tooltip at once
// and starts the delay again; holding a mouse button down or leaving every source hides it.
//
// Sources are not owned: whoever registers one takes it off again (or clears the list) before it goes.
// The renderer is held, and follows the manager onto and off its canvas.
#pragma once

#include "platform/app/InputListener.h"
#include "toolkit/sprite/Sprite.h"

#include <vector>

class TiXmlElement;
class TooltipSource;
class ToolTipSpriteRendererAbstract;

class TooltipManagerSprite : public Sprite, public InputListener {
public:
    static constexpr int DefaultDelayTime = 500;

    static const ClassRecord classRecord;

    TooltipManagerSprite();
    ~TooltipManagerSprite() override;

    unsigned instanceSize() override { return sizeof(TooltipManagerSprite); }
    const ClassRecord* getClass() const override { return &classRecord; }

    // The "renderer" child and "delaytime"; nothing else.
    virtual void readXML(const TiXmlElement* element);
    void tick() override;
    void onAddedToCanvas() override;
    void onRemovedFromCanvas() override;

    // The active flag: while it is off the manager does nothing.
    bool isEnabled() const override { return active; }
    void setEnabled(bool enabled) override { active = enabled; }
    bool isActive() const { return active; }
    void setActive(bool value) { active = value; }

    void addSource(TooltipSource* source);
    void removeSource(TooltipSource* source);
    void clearSources();
    const std::vector<TooltipSource*>& getSources() const { return sources; }

    // Holds the renderer (null drops it) and brings it to the front.
    void setRenderer(ToolTipSpriteRendererAbstract* newRenderer);
    ToolTipSpriteRendererAbstract* getRenderer() const { return renderer; }
    int getDelayTime() const { return delayTime; }
    void setDelayTime(int milliseconds) { delayTime = milliseconds; }
    void resetCountdown() { countdown = delayTime; }
    int getCountdown() const { return countdown; }
    TooltipSource* getShown() const { return shown; }
    TooltipSource* getHovered() const { return hovered; }

private:
    std::vector<TooltipSource*> sources;
    TooltipSource* shown = nullptr;
    TooltipSource* hovered = nullptr;
    ToolTipSpriteRendererAbstract* renderer = nullptr;
    int delayTime = DefaultDelayTime;
    int countdown = 0;
    bool active = true;
};
