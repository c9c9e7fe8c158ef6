// What input-aware objects hear from the input manager. Mixed into them as a second base; every
// operation but the registration does nothing unless overridden.
#pragma once

class InputListener {
public:
    virtual ~InputListener() = default;

    virtual void keyPressed(int key) {}
    virtual void keyReleased(int key) {}
    virtual void keyTyped(char character) {}
    virtual void mouseMoved(int x, int y, int buttons) {}
    virtual void mousePressed(int x, int y, int buttons, int doubleClick) {}
    virtual void mouseReleased(int x, int y, int buttons) {}
    virtual void middlePressed(int x, int y, int buttons, int doubleClick) {}
    virtual void middleReleased(int x, int y, int buttons) {}
    virtual void rightPressed(int x, int y, int buttons, int doubleClick) {}
    virtual void rightReleased(int x, int y, int buttons) {}

    // Adds this listener to the application's input manager (once).
    virtual void registerInput();
    // Takes it off again; a listener must do so before it is destroyed.
    virtual void unregisterInput();
    virtual int isRegistered() { return registered; }

protected:
    int registered = 0;
};
