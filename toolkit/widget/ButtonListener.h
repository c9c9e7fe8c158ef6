// The one listener of a button: told when the button is clicked and when the pointer enters and leaves
// it. Each answer is a bool that the button ignores.
#pragma once

class ButtonBlit;

class ButtonListener {
public:
    virtual ~ButtonListener() = default;
    virtual bool onClick(ButtonBlit* button) = 0;
    virtual bool onEnter(ButtonBlit* button) = 0;
    virtual bool onLeave(ButtonBlit* button) = 0;
};
