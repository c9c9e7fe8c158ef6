// Keyboard and mouse input. The window procedure hands every message to handleMessage, which notes
// the key and mouse state at once and queues the message; once a frame, dispatch hands the queue, in
// arrival order, to every registered listener, the most recently registered first.
#pragma once

#include "platform/app/InputListener.h"
#include "platform/app/InputRecord.h"
#include "runtime/containers/PointerList.h"

#include <cstdint>
#include <deque>

class InputManager {
public:
    InputManager() = default;
    InputManager(const InputManager&) = delete;
    InputManager& operator=(const InputManager&) = delete;
    // The listeners are not owned: they stay alive, only the list goes.
    virtual ~InputManager();

    // Inserts at the head unless the listener is already in the list.
    virtual void addListener(InputListener* listener);
    virtual void removeListener(InputListener* listener);
    virtual void dispatch();
    virtual void handleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    virtual int getKeyState(int key);
    virtual int isLeft(unsigned flags) { return static_cast<int>(flags & 0x1); }
    virtual int isLeftDown() { return static_cast<int>(buttons & 0x1); }
    virtual int isRight(unsigned flags) { return static_cast<int>(flags & 0x2); }
    virtual int isMiddleDown() { return static_cast<int>(buttons & 0x10); }
    virtual int isMiddle(unsigned flags) { return static_cast<int>(flags & 0x10); }
    virtual int isRightDown() { return static_cast<int>(buttons & 0x2); }
    virtual int isShift(unsigned flags) { return static_cast<int>(flags & 0x4); }
    virtual int isShiftDown() { return static_cast<int>(buttons & 0x4); }
    virtual int isControl(unsigned flags) { return static_cast<int>(flags & 0x8); }
    virtual int isControlDown() { return static_cast<int>(buttons & 0x8); }
    virtual int getMouseX() { return mouseX; }
    virtual int getMouseY() { return mouseY; }
    virtual void queueInput(int message, int wParam, int lParam);
    virtual void fireKeyPressed(int key);
    virtual void fireKeyReleased(int key);
    virtual void fireKeyTyped(char character);
    // An unchanged position is not delivered.
    virtual void fireMouseMoved(int x, int y, int buttons);
    virtual void fireMousePressed(int x, int y, int buttons, int doubleClick);
    virtual void fireMouseReleased(int x, int y, int buttons);
    virtual void fireMiddlePressed(int x, int y, int buttons, int doubleClick);
    virtual void fireMiddleReleased(int x, int y, int buttons);
    virtual void fireRightPressed(int x, int y, int buttons, int doubleClick);
    virtual void fireRightReleased(int x, int y, int buttons);

    std::size_t queuedInput() const { return queue.size(); }

private:
    // Calls `call` on every listener, head first. The walk goes over a copy of the list and skips a
    // listener that was removed meanwhile, so a listener may remove itself or any other while it is
    // called; one added meanwhile hears the next message.
    template <typename Call>
    void fire(Call call);

    int keyDown[256] = {};
    unsigned buttons = 0;
    int mouseX = 0;
    int mouseY = 0;
    std::deque<InputRecord> queue;
    PointerList listeners;
    bool moveSeen = false;
    int lastMoveX = 0;
    int lastMoveY = 0;
};
