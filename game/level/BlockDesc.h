// One entry of a level's block bag: the kind of block a generator makes when it draws the entry. The bag
// is a weighted table, not a deck: an entry stays in the bag when drawn, and the bag holds counted
// references.
#pragma once

#include "runtime/ClassRecord.h"
#include "runtime/RefCounted.h"

#include <cstdint>

class BlockDesc : public RefObject {
public:
    // A record of its own, without a parent.
    static const ClassRecord classRecord;

    BlockDesc(int type, int colour, int multiplier) : type(type), colour(colour), multiplier(multiplier) {}

    unsigned size() override { return sizeof(BlockDesc); }
    virtual const ClassRecord* getClass() const { return &classRecord; }

    std::int32_t type;
    std::int32_t colour;
    std::int32_t multiplier;
};
