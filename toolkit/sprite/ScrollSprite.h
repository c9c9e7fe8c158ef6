// Scrolls layers of ordinary canvas sprites vertically, each layer at its own multiple of a common speed,
// for a parallax effect. The owner calls tick once per frame (the canvas does not) and changes the speed
// smoothly with setSpeed. Each layer sprite keeps its exact vertical position here as a float, so slow
// layers move by fractions of a pixel; the sprite itself holds the truncated integer. A RepeatingSprite
// in a layer recycles its copies after every move, which is how endless backgrounds wrap around.
//
// The layer sprites go onto the canvas with the scroller, directly in front of it in drawing order, and
// leave it with the scroller.
#pragma once

#include "toolkit/sprite/XMLSprite.h"

#include <unordered_map>
#include <vector>

class ScrollSprite : public XMLSprite {
public:
    // A layer index from a hand-edited layout beyond this opens a new layer instead of growing the list
    // to that size.
    static constexpr int kMaxLayerIndex = 1023;

    static const ClassRecord classRecord;

    ScrollSprite();
    ScrollSprite(const ScrollSprite&) = delete;
    ScrollSprite& operator=(const ScrollSprite&) = delete;
    ~ScrollSprite() override;

    unsigned instanceSize() override { return sizeof(ScrollSprite); }
    const ClassRecord* getClass() const override { return &classRecord; }

    // Reads only "changespeed", "targetspeed", "speed" and the children "layers" and "layerspeeds"; the
    // position, size and image attributes of other sprites are not read here.
    void readXML(const TiXmlElement* element) override;

    // Holds the sprite and appends it to the layer (a negative layer opens a new one); its exact position
    // starts at its y plus the fraction of the scroll offset.
    void addToLayer(Sprite* sprite, int layer);

    // One frame's scroll by the speed times the owning canvas's frame ratio. Only the owner calls it:
    // the canvas's update runs the modifiers alone.
    void tick() override;
    void update() override;
    // Moves every layer sprite up by amount times its layer speed, then advances a running speed change.
    void scroll(double amount);
    // duration below 1: the speed at once. Otherwise an eased change from the current speed to the
    // target by |target - speed| / duration per nominal frame.
    void setSpeed(float target, int duration);

    // The layer sprites go in front of the scroller (drawn beneath it) / leave the canvas.
    void onAddedToCanvas() override;
    void onRemovedFromCanvas() override;

    int getLayerCount() const { return static_cast<int>(layers.size()); }
    // The sprites of a layer in order; empty for an index outside the layers.
    const std::vector<Sprite*>& getLayer(int layer) const;
    // 0.0 for a layer without a speed entry.
    double getLayerSpeed(int layer) const;
    // Grows the speed list as needed; a negative layer changes nothing.
    void setLayerSpeed(int layer, double speed);
    // The exact vertical position of a layer sprite; its y when it is in no layer.
    float getExactPosition(const Sprite* sprite) const;

    float getSpeed() const { return speed; }
    float getStartSpeed() const { return startSpeed; }
    float getTargetSpeed() const { return targetSpeed; }
    float getChangeRate() const { return changeRate; }
    float getChangeParameter() const { return changeParameter; }
    bool isChanging() const { return changing; }
    double getScrollOffset() const { return scrollOffset; }
    bool isPaused() const { return paused; }
    void setPaused(bool value) { paused = value; }

private:
    std::vector<std::vector<Sprite*>> layers;
    std::vector<double> layerSpeeds;
    std::unordered_map<const Sprite*, float> exactPositions;
    float speed = 0.0f;
    float startSpeed = 0.0f;
    float targetSpeed = 0.0f;
    float changeRate = 1.0f;
    double scrollOffset = 0.0;
    bool paused = false;
    float changeParameter = 1.0f;
    bool changing = false;
};
