// Helpers of the sprite tests: a holder of one reference and a sprite that records what reaches it.
#pragma once

#include "toolkit/sprite/Sprite.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <functional>
#include <string>
#include <vector>

// Holds one reference for the test's lifetime.
template <class T> struct Held {
    explicit Held(T* object) : p(object) { p->addRef(); }
    ~Held() { p->release(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    T* operator->() const { return p; }
    T* get() const { return p; }
    T* p;
};

// Appends "<name>:<event>" to a shared log for every update, draw and input handler call.
class RecordingSprite : public Sprite {
public:
    RecordingSprite(const std::string& spriteName, std::vector<std::string>* log, int x = 0, int y = 0, int w = 10,
                    int h = 10)
        : Sprite(x, y, w, h), log(log)
    {
        setName(spriteName);
    }
    void tick() override
    {
        note("update");
        if (onTick)
            onTick(this);
    }
    void draw(Surface*) override { note("draw"); }
    void onRemovedFromCanvas() override
    {
        note("removed");
        Sprite::onRemovedFromCanvas();
    }
    void onKeyPressed(int) override { note("key"); }
    void onKeyTyped(int) override { note("typed"); }
    void onLeftPressed(int, int, int, int) override
    {
        note("left");
        if (consumes && getCanvas())
            getCanvas()->consumeEvent();
    }
    void onRightReleased(int, int, int) override
    {
        note("rightup");
        if (consumes && getCanvas())
            getCanvas()->consumeEvent();
    }
    void onMouseEntered(int, int) override { note("enter"); }
    void onMouseExited(int, int) override { note("exit"); }
    void onMouseMoved(int, int, int) override { note("move"); }

    void note(const std::string& what) { log->push_back(getName() + ":" + what); }

    std::vector<std::string>* log;
    bool consumes = false;
    std::function<void(RecordingSprite*)> onTick;
};
