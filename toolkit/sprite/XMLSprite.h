// The bitmap sprite that configures itself from a layout element: position, size, image, mask, alpha,
// anchor, frames, clip and source rectangles, and a few layout hints for the classes built on it. Every
// widget derives from it. Attributes are read through XmlAttr (with "setup" inheritance); a missing
// attribute keeps the value the sprite had, and keyword values compare without regard to case.
#pragma once

#include "toolkit/sprite/BitmapSprite.h"

class TiXmlElement;

class XMLSprite : public BitmapSprite {
public:
    enum LayoutType : int { LayoutStatic = 0, LayoutAbsolute = 1, LayoutRelative = 2, LayoutAuto = 3 };
    enum HorizontalAlign : int { AlignLeft = 0, AlignRight = 1, AlignHCenter = 4 };
    enum VerticalAlign : int { AlignTop = 2, AlignBottom = 3, AlignVCenter = 4 };

    static const ClassRecord classRecord;

    XMLSprite();

    unsigned instanceSize() override { return sizeof(XMLSprite); }
    const ClassRecord* getClass() const override { return &classRecord; }
    // The active flag stands for "enabled": neither touches state 512 nor marks dirty.
    bool isEnabled() const override { return active; }
    void setEnabled(bool enabled) override { active = enabled; }

    // Reads the element (null reads nothing).
    virtual void readXML(const TiXmlElement* element);

    int getSpriteId() const { return spriteId; }
    bool isActive() const { return active; }
    bool getUsePreviousY() const { return usePreviousY; }
    const Point& getOffset() const { return offset; }
    int getLayoutType() const { return layoutType; }
    int getHorizontalAlign() const { return horizontalAlign; }
    int getVerticalAlign() const { return verticalAlign; }

protected:
    int spriteId = -1;
    bool active = true;
    bool usePreviousY = false;
    Point offset;
    int layoutType = LayoutRelative;
    int horizontalAlign = AlignHCenter;
    int verticalAlign = AlignTop;
};
