// A horizontal value control: the sprite's own image is the track and a button sprite, made from the
// layout child "button", is the knob. The value runs from 0 to 1. The knob can be dragged; a click on
// the track left or right of the knob moves the value by a tenth. Owners read the value every frame.
//
// The knob is a child of the slider, placed relative to it and listed on the canvas right after it.
// Knob and slider hold each other (a sprite holds its parent); making the slider obsolete, as leaving
// its canvas does, lets the pair go of each other.
#pragma once

#include "toolkit/sprite/TooltipSource.h"
#include "toolkit/sprite/XMLSprite.h"

#include <string>

class ButtonBlit;

class Slider : public XMLSprite, public TooltipSource {
public:
    // Sprite state bit: presses the slider takes are consumed.
    static constexpr std::uint32_t StateConsumesPress = 16;
    // What a click on the track beside the knob adds or takes away.
    static constexpr float TrackStep = 0.1f;

    static const ClassRecord classRecord;

    Slider();
    ~Slider() override;

    unsigned instanceSize() override { return sizeof(Slider); }
    const ClassRecord* getClass() const override { return &classRecord; }

    // The "button" child first, then the sprite's own attributes, then "tooltip".
    void readXML(const TiXmlElement* element) override;
    void onAddedToCanvas() override;
    void setObsolete(bool obsolete) override;

    // Holds the knob (null drops it), adopts it and places it at the current value.
    void setKnob(ButtonBlit* sprite);
    ButtonBlit* getKnob() const { return knob; }
    float getValue() const { return value; }
    // Clamped to 0..1; the knob follows.
    void setValue(float newValue);
    // The value the knob's position stands for.
    void updateValueFromKnob();
    bool isDragging() const { return dragging; }

    void onLeftPressed(int x, int y, int buttons, int doubleClick) override;
    void onLeftReleased(int x, int y, int buttons) override;
    void onMouseMoved(int x, int y, int buttons) override;

    std::string getTooltip() override { return tooltip; }
    Rect getTooltipRect() override { return Rect(getAbsoluteX(), getAbsoluteY(), getWidth(), getHeight()); }
    bool isTooltipActive() override { return isActive(); }
    bool isTooltipChanged() override { return false; }
    void setTooltip(const std::string& text) { tooltip = text; }

private:
    // How far the knob can travel: track width minus knob width.
    int travel() const;

    ButtonBlit* knob = nullptr;
    int dragOffset = 0;
    bool dragging = false;
    float value = 0.0f;
    std::string tooltip;
};
