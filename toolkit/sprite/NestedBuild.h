// Sprites that build other sprites while they read their layout element (a strip's template, a
// scroller's layers) can meet their own element again: a child looked up through the enclosing scope or
// a "setup" chain may be an ancestor, and such loops can branch. Each such reader holds a NestedBuild
// while it reads and builds nothing more once the nesting is deeper, or the readers inside one outermost
// read are more, than any real layout needs.
#pragma once

class NestedBuild {
public:
    static constexpr int kMaxDepth = 16;
    static constexpr int kMaxReaders = 4096;

    NestedBuild()
    {
        if (depth()++ == 0) {
            readers() = 0;
            reported() = false;
        }
        ++readers();
    }
    ~NestedBuild() { --depth(); }
    NestedBuild(const NestedBuild&) = delete;
    NestedBuild& operator=(const NestedBuild&) = delete;

    bool tooDeep() const { return depth() > kMaxDepth || readers() > kMaxReaders; }
    // True for the first refusal inside one outermost read, so a loop is logged once.
    bool reportRefusal() const
    {
        const bool first = !reported();
        reported() = true;
        return first;
    }

private:
    static int& depth()
    {
        static int value = 0;
        return value;
    }
    static bool& reported()
    {
        static bool value = false;
        return value;
    }
    static int& readers()
    {
        static int value = 0;
        return value;
    }
};
