#include "toolkit/dialog/FramedDialog.h"

#include "platform/surface/Surface.h"
#include "platform/surface/SurfaceHolder.h"

namespace {

SurfaceHolder* hold(SurfaceHolder* image)
{
    if (image)
        image->addRef();
    return image;
}

void drop(SurfaceHolder*& image)
{
    if (image)
        image->release();
    image = nullptr;
}

// The image's width and height; false for an image without a surface or without a size, which cannot
// be tiled.
bool imageSize(SurfaceHolder* image, int& width, int& height)
{
    if (!image || !image->getSurface())
        return false;
    width = static_cast<int>(image->getSurface()->getDesc().width);
    height = static_cast<int>(image->getSurface()->getDesc().height);
    return width > 0 && height > 0;
}

} // namespace

FramedDialog::FramedDialog(int x, int y, int width, int height, SurfaceHolder* left, SurfaceHolder* right,
                           SurfaceHolder* top, SurfaceHolder* bottom, SurfaceHolder* inside)
    : Dialog(x, y, width, height)
{
    topImage = hold(top);
    leftImage = hold(left);
    rightImage = hold(right);
    bottomImage = hold(bottom);
    insideImage = hold(inside);
}

FramedDialog::~FramedDialog()
{
    drop(topImage);
    drop(leftImage);
    drop(rightImage);
    drop(bottomImage);
    drop(insideImage);
}

void FramedDialog::draw(Surface* target)
{
    const long long ax = getAbsoluteX();
    const long long ay = getAbsoluteY();
    const long long w = getWidth();
    const long long h = getHeight();
    int iw = 0;
    int ih = 0;

    // The inside, tiled over (ax + 30, ay + 20, w - 60, h - 40).
    if (imageSize(insideImage, iw, ih)) {
        const long long cx = ax + 30, cy = ay + 20, cw = w - 60, ch = h - 40;
        for (long long ty = cy; ty < cy + ch; ty += ih)
            for (long long tx = cx; tx < cx + cw; tx += iw)
                drawImage(insideImage, target, static_cast<int>(tx), static_cast<int>(ty), static_cast<int>(cx),
                          static_cast<int>(cy), static_cast<int>(cw), static_cast<int>(ch));
    }

    // The sides, in rows from ay + 40 down the height less 60, clipped to that band.
    const long long sy = ay + 40, sh = h - 60, sx = ax + 13, sw = w - 10;
    int lw = 0, lh = 0, rw = 0, rh = 0;
    const bool hasLeft = imageSize(leftImage, lw, lh);
    const bool hasRight = imageSize(rightImage, rw, rh);
    const int rowStep = hasLeft ? lh : rh;
    if (hasLeft || hasRight) {
        for (long long y = sy; y < sy + sh; y += rowStep) {
            if (hasLeft)
                drawImage(leftImage, target, static_cast<int>(sx), static_cast<int>(y), static_cast<int>(sx),
                          static_cast<int>(sy), static_cast<int>(sw), static_cast<int>(sh));
            if (hasRight)
                drawImage(rightImage, target, static_cast<int>(sx + sw - rw), static_cast<int>(y),
                          static_cast<int>(sx), static_cast<int>(sy), static_cast<int>(sw), static_cast<int>(sh));
        }
    }

    // The header at the top and the bottom piece, whole.
    int tw = 0, th = 0, bw = 0, bh = 0;
    if (imageSize(topImage, tw, th))
        drawImage(topImage, target, static_cast<int>(ax), static_cast<int>(ay), static_cast<int>(ax),
                  static_cast<int>(ay), tw, th);
    if (imageSize(bottomImage, bw, bh))
        drawImage(bottomImage, target, static_cast<int>(ax), static_cast<int>(ay + h - bh), static_cast<int>(ax),
                  static_cast<int>(ay + h - bh), bw, bh);
}
