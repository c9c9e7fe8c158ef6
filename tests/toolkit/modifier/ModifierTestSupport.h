// A canvas with one bitmap sprite on it, and frames of a chosen length: the modifiers' steps depend on
// the frame time the canvas stores, so every test drives the canvas as a scene would.
#pragma once

#include "toolkit/modifier/Modifier.h"
#include "toolkit/sprite/BitmapSprite.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <gtest/gtest.h>

class ModifierTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        canvas = new SpriteCanvas(64, 64, 64, 64);
        canvas->addRef();
        sprite = new BitmapSprite;
        sprite->addRef();
        sprite->setSize(10, 10);
        canvas->addSprite(sprite);
    }
    void TearDown() override
    {
        sprite->release();
        canvas->release();
    }

    // One frame of `ms` milliseconds (seconds as the nearest float, so 20 ms is exactly one nominal frame).
    void frame(int ms = 20) { canvas->update(static_cast<float>(ms) / 1000.0f, ms, 50.0f); }
    bool running(const Modifier* m) const
    {
        for (const Modifier* listed : sprite->getModifiers())
            if (listed == m)
                return true;
        return false;
    }

    SpriteCanvas* canvas = nullptr;
    BitmapSprite* sprite = nullptr;
};
