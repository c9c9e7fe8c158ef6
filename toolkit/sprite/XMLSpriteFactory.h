// Sprite factories make sprites on demand from a template element of the layout documents: one template
// many times, the n-th child of a template, or the n-th slice of an image. The template element belongs
// to its document, which must outlive the factory. Each create returns a new sprite with a reference
// count of 0 (the caller takes the first reference), or null when there is nothing to build from.
#pragma once

#include "runtime/ClassRecord.h"
#include "runtime/RefCounted.h"

class Sprite;
class SurfaceHolder;
class TiXmlElement;

class AbstractXMLSpriteFactory : public RefObject {
public:
    static const ClassRecord classRecord;

    unsigned size() override { return instanceSize(); }
    virtual unsigned instanceSize() { return sizeof(AbstractXMLSpriteFactory); }
    virtual const ClassRecord* getClass() const { return &classRecord; }
    virtual Sprite* create(int index) = 0;
    // How many different sprites create can make.
    virtual int getCount() = 0;
    virtual void readXML(const TiXmlElement* element) = 0;

    const TiXmlElement* getTemplate() const { return templateElement; }

protected:
    const TiXmlElement* templateElement = nullptr;
};

class SingleXMLSpriteFactory : public AbstractXMLSpriteFactory {
public:
    static const ClassRecord classRecord;

    unsigned instanceSize() override { return sizeof(SingleXMLSpriteFactory); }
    const ClassRecord* getClass() const override { return &classRecord; }
    // The index is ignored.
    Sprite* create(int index) override;
    int getCount() override { return 1; }
    // The template is the child "template".
    void readXML(const TiXmlElement* element) override;
};

class ArrayXMLSpriteFactory : public AbstractXMLSpriteFactory {
public:
    static const ClassRecord classRecord;

    unsigned instanceSize() override { return sizeof(ArrayXMLSpriteFactory); }
    const ClassRecord* getClass() const override { return &classRecord; }
    // From the template's index-th child element; null for an index outside the children.
    Sprite* create(int index) override;
    int getCount() override { return count; }
    // The template is the child "template"; the count is the number of its child elements.
    void readXML(const TiXmlElement* element) override;

private:
    int count = 1;
};

class SliceXMLSpriteFactory : public AbstractXMLSpriteFactory {
public:
    enum Orientation : int { Horizontal = 0, Vertical = 1 };

    static const ClassRecord classRecord;

    SliceXMLSpriteFactory() = default;
    SliceXMLSpriteFactory(const SliceXMLSpriteFactory&) = delete;
    SliceXMLSpriteFactory& operator=(const SliceXMLSpriteFactory&) = delete;
    ~SliceXMLSpriteFactory() override;

    unsigned instanceSize() override { return sizeof(SliceXMLSpriteFactory); }
    const ClassRecord* getClass() const override { return &classRecord; }
    // A sprite from the template showing slice `index` of the image (and of its mask).
    Sprite* create(int index) override;
    int getCount() override { return sliceCount; }
    // "template", "slicecount" (a count below one counts as one), "orientation", "surface".
    void readXML(const TiXmlElement* element) override;

    void setSliceCount(int n) { sliceCount = n < 1 ? 1 : n; }
    int getOrientation() const { return orientation; }
    SurfaceHolder* getImage() const { return image; }
    void setImage(SurfaceHolder* resource);
    void setTemplate(const TiXmlElement* element) { templateElement = element; }

private:
    int sliceCount = 1;
    SurfaceHolder* image = nullptr;
    int orientation = Horizontal;
};
