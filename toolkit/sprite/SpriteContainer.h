// A sprite that holds child sprites and places each new child relative to a reference box by one of
// fourteen placement modes, with gaps and margins. It draws nothing: its children are ordinary sprites
// on the same canvas, listed right after the container (so drawn over it) and positioned relative to it.
// Panels, dialogs and rows or columns of widgets are containers.
//
// A child holds a reference on its parent and the container one on each child; the pair lets go of
// each other when the container is made obsolete (as leaving a canvas does), which clears the
// children's parents.
#pragma once

#include "toolkit/sprite/Sprite.h"
#include "toolkit/sprite/TooltipSource.h"

#include <string>
#include <vector>

class SpriteContainer : public Sprite, public TooltipSource {
public:
    // Where addChild puts a child relative to the reference box.
    enum Placement : int {
        PlaceAsIs = 0,
        PlaceOnCorner = 1,
        PlaceRightTop = 2,
        PlaceRightMiddle = 3,
        PlaceRightBottom = 4,
        PlaceLeftTop = 5,
        PlaceLeftMiddle = 6,
        PlaceLeftBottom = 7,
        PlaceBelowLeft = 8,
        PlaceBelowCenter = 9,
        PlaceBelowRight = 10,
        PlaceAboveLeft = 11,
        PlaceAboveCenter = 12,
        PlaceAboveRight = 13,
    };
    // Extra height that fitHeightToChildren adds when the extra-height flag is on.
    static constexpr int ExtraHeight = 200;

    static const ClassRecord classRecord;

    SpriteContainer();
    SpriteContainer(int x, int y, int width, int height, int left, int right, int top, int bottom, int gapH,
                    int gapV);
    ~SpriteContainer() override;

    unsigned instanceSize() override { return sizeof(SpriteContainer); }
    const ClassRecord* getClass() const override { return &classRecord; }
    void onAddedToCanvas() override;
    // Drops the obsolete children.
    void tick() override;
    void setObsolete(bool obsolete) override;
    void setEnabled(bool enabled) override;
    void setVisible(bool visible) override;

    virtual void addChildRelativeTo(Sprite* child, Sprite* reference, int mode);
    virtual void addChild(Sprite* child, int mode);
    virtual void addChildAsIs(Sprite* child);
    virtual void fitChildWidth(Sprite* child);
    // The fitting operations leave a container without children as it is.
    virtual void fitSizeToChildren();
    virtual void fitWidthToChildren();
    virtual void fitHeightToChildren();
    virtual void setGapH(int gap) { gapH = gap; }
    virtual void setGapV(int gap) { gapV = gap; }
    virtual void setMarginLeft(int margin) { marginLeft = margin; }
    virtual void setMarginRight(int margin) { marginRight = margin; }
    virtual void setMarginTop(int margin) { marginTop = margin; }
    virtual void setMarginBottom(int margin) { marginBottom = margin; }
    virtual void setReferenceBox(float x, float y, float w, float h);
    virtual void takeChildAsReference(Sprite* sprite);
    virtual void moveReference(float dx, float dy);
    virtual void setReferencePosition(float x, float y);
    virtual void setReferenceSize(float w, float h);
    // (left margin, top margin, width - left - right margins, 0).
    virtual void resetReference();
    virtual int getGapH() const { return gapH; }
    virtual int getGapV() const { return gapV; }
    virtual int getMarginLeft() const { return marginLeft; }
    virtual int getMarginRight() const { return marginRight; }
    virtual int getMarginTop() const { return marginTop; }
    virtual int getMarginBottom() const { return marginBottom; }
    virtual float getReferenceX() const { return referenceX; }
    virtual float getReferenceY() const { return referenceY; }
    virtual float getReferenceWidth() const { return referenceWidth; }
    virtual float getReferenceHeight() const { return referenceHeight; }

    std::string getTooltip() override { return tooltip; }
    Rect getTooltipRect() override;
    bool isTooltipActive() override { return isEnabled(); }
    bool isTooltipChanged() override { return false; }
    void setTooltip(const std::string& text) { tooltip = text; }
    void setExtraHeight(bool on) { extraHeight = on; }
    bool hasExtraHeight() const { return extraHeight; }

    const std::vector<Sprite*>& getChildren() const { return children; }

protected:
    // Steps 1, 2 and 4 of addChild: hold, link, list on the canvas after the container.
    bool adopt(Sprite* child);
    // Min and max of the children's extents; false without children.
    bool childExtent(float& minX, float& minY, float& maxRight, float& maxBottom) const;

    std::vector<Sprite*> children;
    int marginLeft = 0;
    int marginRight = 0;
    int marginTop = 0;
    int marginBottom = 0;
    int gapH = 0;
    int gapV = 0;
    float referenceX = 0.0f;
    float referenceY = 0.0f;
    float referenceWidth = 0.0f;
    float referenceHeight = 0.0f;
    std::string tooltip;
    bool extraHeight = false;
};
