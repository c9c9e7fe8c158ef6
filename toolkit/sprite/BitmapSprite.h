// The sprite that draws an image: a surface kept in a SurfaceHolder (so it survives a lost display),
// with an optional 8-bit mask map, a global alpha and a mask colour. Without an image, a sprite with a
// mask draws the mask's shape filled with the mask colour. It is the base of every XML-built sprite and
// widget.
#pragma once

#include "toolkit/sprite/Sprite.h"

#include <cstdint>

class SurfaceHolder;

class BitmapSprite : public Sprite {
public:
    static const ClassRecord classRecord;

    BitmapSprite(Surface* image = nullptr, Surface* mask = nullptr, int x = 0, int y = 0);
    ~BitmapSprite() override;

    unsigned instanceSize() override { return sizeof(BitmapSprite); }
    const ClassRecord* getClass() const override { return &classRecord; }
    void draw(Surface* target) override;

    // The current source rectangle (or the whole size) at (x, y), cut to the clip rectangle.
    virtual void drawAt(Surface* target, int x, int y);
    virtual int getAlpha() const { return alpha; }
    virtual void setAlpha(int newAlpha);
    virtual std::uint32_t getMaskColor() const { return maskColor; }
    // 0xAARRGGBB; packed into the target's format when drawn.
    virtual void setMaskColor(std::uint32_t colour);
    // The image's size, else the mask's; with neither the size stays.
    virtual void fitSizeToImage();
    virtual void setFrames(int count, int width, int height);
    // count frames stacked vertically in the image (or the mask); a count below one changes nothing.
    virtual void setFrameCountFromImage(int count);
    // A copy of the image in the holder's second surface.
    virtual void copyToOwnSurface();
    // Called when a blit fails: the holder restores what the display lost (at most once a frame).
    virtual void restoreImage();

    void setSurface(Surface* surface);
    Surface* getSurface() const;
    // Counted; marks dirty.
    void setMask(Surface* newMask);
    Surface* getMask() const { return mask; }
    SurfaceHolder* getHolder() const { return holder; }

protected:
    SurfaceHolder* holder = nullptr;
    Surface* mask = nullptr;
    int alpha = 255;
    std::uint32_t maskColor = 0;
};
