// The record of one class of the sprite, widget and modifier families: its name and the record of its
// parent. The kind test walks the records, not the C++ inheritance, so a family can declare a parent that
// differs from the class's base (a container that is not of kind "Sprite", for example).
//
// Records are meant to be namespace-scope constants: the constructor is constexpr, so every record is
// built before any dynamic initializer runs and a parent pointer never sees a record that is not there yet.
#pragma once

class ClassRecord {
public:
    constexpr ClassRecord(const char* name, const ClassRecord* parent) : name(name), parent(parent) {}
    ClassRecord(const ClassRecord&) = delete;
    ClassRecord& operator=(const ClassRecord&) = delete;

    // True when `asked` is this record or one of its parents (identity of records, never of names).
    bool isKindOf(const ClassRecord* asked) const
    {
        for (const ClassRecord* record = this; record; record = record->parent) {
            if (record == asked)
                return true;
        }
        return false;
    }

    const char* const name;
    const ClassRecord* const parent;
};
