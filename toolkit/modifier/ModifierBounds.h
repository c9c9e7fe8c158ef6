// Grows or shrinks the sprite from a start size to an end size. Each axis moves by its own speed per
// nominal frame and stops on its end value; the update after both have arrived writes the end size and
// finishes.
//
// How the per-axis speeds come about: setSizes (and the layout element, through "speed") makes both axes
// cover their whole distance at the same pace, `speed` of the way per nominal frame, so they arrive
// together; setSpeeds sets them directly. The ease flag ("easyinout") is kept for the layouts but the
// step stays linear.
#pragma once

#include "toolkit/modifier/Modifier.h"

class ModifierBounds : public Modifier {
public:
    static const ClassRecord classRecord;

    ModifierBounds() = default;

    // A new resize from the start to the end size at `speed` of the way per nominal frame.
    static ModifierBounds* start(Sprite* sprite, int startWidth, int startHeight, int endWidth, int endHeight,
                                 float speed, int options);

    unsigned getSize() override { return sizeof(ModifierBounds); }
    const ClassRecord* getClass() const override { return &classRecord; }
    void update() override;
    // "easyinout", "speed", "startwidth", "startheight", "endwidth", "endheight" after the base's; then
    // the sizes and speeds as setSizes makes them.
    void readXML(const TiXmlElement* element) override;

    // Current size := start size; per-axis speeds := (end - start) * speed.
    void setSizes(int newStartWidth, int newStartHeight, int newEndWidth, int newEndHeight, float newSpeed);
    void setSpeeds(float newWidthSpeed, float newHeightSpeed)
    {
        widthSpeed = newWidthSpeed;
        heightSpeed = newHeightSpeed;
    }
    void setEaseInOut(bool on) { easeInOut = on; }

    float getCurrentWidth() const { return currentWidth; }
    float getCurrentHeight() const { return currentHeight; }
    float getWidthSpeed() const { return widthSpeed; }
    float getHeightSpeed() const { return heightSpeed; }

protected:
    // One axis: moves `current` toward `end`, clamped on arrival; a zero speed arrives at once.
    static void stepAxis(float& current, float speed, int end, float ratio);

    float widthSpeed = 0.0f;
    float heightSpeed = 0.0f;
    int startWidth = 0;
    int startHeight = 0;
    int endWidth = 0;
    int endHeight = 0;
    float currentWidth = 0.0f;
    float currentHeight = 0.0f;
    float speed = 0.0f;
    bool done = false;
    bool easeInOut = false;
};
