// A dialog that paints a frame of five images behind its children: the inside image tiled over the
// middle, the two side images repeated down the sides, the top image (the header, as wide as the
// dialog) and the bottom image. The children are ordinary sprites drawn after it.
#pragma once

#include "toolkit/dialog/Dialog.h"

class FramedDialog : public Dialog {
public:
    // Each image is held (a null one is left out of the frame).
    FramedDialog(int x, int y, int width, int height, SurfaceHolder* left, SurfaceHolder* right, SurfaceHolder* top,
                 SurfaceHolder* bottom, SurfaceHolder* inside);
    ~FramedDialog() override;

    unsigned instanceSize() override { return sizeof(FramedDialog); }
    void draw(Surface* target) override;

    SurfaceHolder* getTopImage() const { return topImage; }
    SurfaceHolder* getLeftImage() const { return leftImage; }
    SurfaceHolder* getRightImage() const { return rightImage; }
    SurfaceHolder* getBottomImage() const { return bottomImage; }
    SurfaceHolder* getInsideImage() const { return insideImage; }

private:
    SurfaceHolder* topImage = nullptr;
    SurfaceHolder* leftImage = nullptr;
    SurfaceHolder* rightImage = nullptr;
    SurfaceHolder* bottomImage = nullptr;
    SurfaceHolder* insideImage = nullptr;
};
