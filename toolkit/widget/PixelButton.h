// A button that shows one frame of its image per state. The image holds the frames stacked vertically
// in state order: normal, highlight, pressed, disabled and, for a toggle button, selected normal and
// selected highlight. A state past the last frame wraps round (state mod frame count), so a four-frame
// button shows its selected states with the frames of the unselected ones.
#pragma once

#include "toolkit/widget/ButtonBlit.h"

class PixelButton : public ButtonBlit {
public:
    static const ClassRecord classRecord;

    PixelButton() = default;

    unsigned instanceSize() override { return sizeof(PixelButton); }
    const ClassRecord* getClass() const override { return &classRecord; }

    // The button's attributes, then the image is cut into its frames (6 for a toggle button, else 4,
    // unless the element gives a frame count) and the normal look is selected.
    void readXML(const TiXmlElement* element) override;
    void setState(int newState) override;

protected:
    // Shows the frame of the current state; without frames (no frame rectangle, or a frame count
    // below one) the frame is left alone.
    void selectStateFrame();
};
