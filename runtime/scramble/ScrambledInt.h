// An integer that never stands in memory as its plain value: it is kept XORed with four bytes of the
// object's own table, at a position drawn afresh on every set. Scores and statistics use it.
#pragma once

#include "runtime/scramble/ScrambleTable.h"

#include <string>

class ScrambledInt : public ScrambleTable {
public:
    ScrambledInt() { set(0); }
    // A new table and generator of its own, holding the same value.
    ScrambledInt(const ScrambledInt& other) : ScrambleTable() { set(other.get()); }
    ScrambledInt& operator=(const ScrambledInt& other)
    {
        set(other.get());
        return *this;
    }

    // The value XORed with the shared table's mask at the current position, then "i" and the position:
    // readable only with the shared table.
    virtual std::string encodedText() const;
    virtual int get() const;
    virtual void set(int value);

private:
    uint32_t masked = 0;
};
