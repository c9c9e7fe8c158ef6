// The moves: a start point, the current position as floats, and two switches that let a move leave one
// axis of the sprite alone. The base itself moves nothing.
#pragma once

#include "runtime/values/PointValue.h"
#include "toolkit/modifier/Modifier.h"

class ModifierLocation : public Modifier {
public:
    static const ClassRecord classRecord;
    // A record that no class answers with; kept so that the record chain is complete.
    static const ClassRecord bounceRecord;

    ModifierLocation() = default;

    unsigned getSize() override { return sizeof(ModifierLocation); }
    const ClassRecord* getClass() const override { return &classRecord; }
    // "startx", "starty" (the start point only), "adjustx", "adjusty" after the base's attributes.
    void readXML(const TiXmlElement* element) override;

    // Start point and current position := (x, y).
    void setStart(int x, int y);
    const PointValue& getStart() const { return startPoint; }
    // A move writes the sprite's X only while adjust x is set, and Y only while adjust y is set.
    void setAdjustX(bool on) { adjustX = on; }
    void setAdjustY(bool on) { adjustY = on; }
    bool getAdjustX() const { return adjustX; }
    bool getAdjustY() const { return adjustY; }
    float getCurrentX() const { return currentX; }
    float getCurrentY() const { return currentY; }
    bool isDone() const { return done; }

protected:
    PointValue startPoint;
    float currentX = 0.0f;
    float currentY = 0.0f;
    bool adjustX = true;
    bool adjustY = true;
    bool done = false;
};

// A straight move from the start to the end point at `speed` of the way per nominal frame, optionally
// eased in and out. The first update places the sprite on the start point; the update in which the move
// passes its end still writes the position before the end, and the next one writes the end and finishes.
class ModifierLocationLine : public ModifierLocation {
public:
    static const ClassRecord classRecord;

    ModifierLocationLine() = default;
    ModifierLocationLine(int fromX, int fromY, int toX, int toY, float speed);

    static ModifierLocationLine* start(Sprite* sprite, int fromX, int fromY, int toX, int toY, float speed,
                                       int options);
    static ModifierLocationLine* startFromCurrent(Sprite* sprite, int toX, int toY, float speed, int options);
    // Speed from pixels per nominal frame over the distance; a move of no distance has an infinite speed.
    static ModifierLocationLine* startConstantSpeed(Sprite* sprite, int fromX, int fromY, int toX, int toY,
                                                    float pixelsPerFrame, int options);
    static ModifierLocationLine* startConstantSpeedFromCurrent(Sprite* sprite, int toX, int toY,
                                                               float pixelsPerFrame, int options);

    // The speed that covers the distance between the points at pixelsPerFrame: the squares are exact for
    // every screen coordinate (taken in double precision, so no layout coordinate overflows them), the
    // root is a float.
    static float constantSpeed(int fromX, int fromY, int toX, int toY, float pixelsPerFrame);

    unsigned getSize() override { return sizeof(ModifierLocationLine); }
    const ClassRecord* getClass() const override { return &classRecord; }
    void update() override;
    // The location's attributes, then "endx", "endy", "speed", "easyinout".
    void readXML(const TiXmlElement* element) override;

    void setEnd(int x, int y) { endPoint.set(x, y); }
    const PointValue& getEnd() const { return endPoint; }
    void setEaseInOut(bool on) { easeInOut = on; }
    bool getEaseInOut() const { return easeInOut; }
    float getSpeed() const { return speed; }
    void setSpeed(float newSpeed) { speed = newSpeed; }
    float getT() const { return t; }

protected:
    PointValue endPoint;
    float t = 0.0f;
    float speed = 0.0f;
    bool easeInOut = false;
};

// A line move that speeds up: after every step the speed grows by the acceleration per nominal frame.
class ModifierLocationDrop : public ModifierLocationLine {
public:
    static const ClassRecord classRecord;

    ModifierLocationDrop() = default;
    ModifierLocationDrop(int fromX, int fromY, int toX, int toY, float speed, float acceleration)
        : ModifierLocationLine(fromX, fromY, toX, toY, speed), acceleration(acceleration)
    {
    }

    static ModifierLocationDrop* start(Sprite* sprite, float fromX, float fromY, float toX, float toY, float speed,
                                       float acceleration, int options);
    static ModifierLocationDrop* startFromCurrent(Sprite* sprite, float toX, float toY, float speed,
                                                  float acceleration, int options);
    static ModifierLocationDrop* startConstantSpeed(Sprite* sprite, float fromX, float fromY, float toX, float toY,
                                                    float pixelsPerFrame, float acceleration, int options);
    static ModifierLocationDrop* startConstantSpeedFromCurrent(Sprite* sprite, float toX, float toY,
                                                               float pixelsPerFrame, float acceleration,
                                                               int options);

    unsigned getSize() override { return sizeof(ModifierLocationDrop); }
    const ClassRecord* getClass() const override { return &classRecord; }
    void update() override;

    float getAcceleration() const { return acceleration; }

protected:
    float acceleration = 0.0f;
};
