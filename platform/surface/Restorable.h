// Objects whose pixels live in display memory and must be rebuilt after the display was lost.
// check() is what callers use: it rebuilds at most once per frame of the application's counter.
#pragma once

#include <cstdint>

class Restorable {
public:
    virtual ~Restorable() = default;

    // Does nothing when the object already restored in the current frame for the current display;
    // otherwise notes both and calls restoreLost().
    virtual void check();

    // Rebuilds what a lost display took away. Named apart from the surfaces' own restore(), which
    // asks DirectDraw to restore the pixel memory and answers with an HRESULT.
    virtual void restoreLost() {}

protected:
    Restorable();
    Restorable(const Restorable&) = default;
    Restorable& operator=(const Restorable&) = default;

    // Frame of the last restore. 0 at construction, so an object made in frame 0 restores on a
    // failure only from frame 1 on.
    std::uint32_t restoredFrame = 0;
    // The display it was last restored for; made for the display of its time.
    std::uint32_t restoredDisplay = 0;
};
