#include "runtime/RefCounted.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct Counted : RefCounted {
    explicit Counted(bool* destroyed) : destroyed(destroyed) {}
    ~Counted() override { *destroyed = true; }
    bool* destroyed;
};

struct Sprite : RefObject {
    explicit Sprite(bool* destroyed) : destroyed(destroyed) {}
    ~Sprite() override { *destroyed = true; }
    unsigned size() override { return sizeof(*this); }
    bool* destroyed;
};

struct Throwing : RefObject {
    Throwing() { throw std::runtime_error("constructor failed"); }
    unsigned size() override { return sizeof(*this); }
};

} // namespace

TEST(RefCounted, ReleaseReportsRemainingHoldersAndDestroysAtZero)
{
    bool destroyed = false;
    auto* object = new Counted(&destroyed);
    EXPECT_EQ(object->addRef(), 1);
    EXPECT_EQ(object->addRef(), 2);
    EXPECT_EQ(object->release(), 1);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(object->release(), 0);
    EXPECT_TRUE(destroyed);
}

TEST(RefCounted, ReleaseOfUnheldObjectGoesNegativeAndKeepsIt)
{
    bool destroyed = false;
    auto* object = new Counted(&destroyed);
    EXPECT_EQ(object->release(), -1);
    EXPECT_FALSE(destroyed);
    delete object;
}

TEST(RefObject, ReleaseDestroysBelowOneEvenWithoutAddRef)
{
    bool first = false;
    auto* held = new Sprite(&first);
    held->addRef();
    held->release();
    EXPECT_TRUE(first);

    bool second = false;
    auto* unheld = new Sprite(&second);
    unheld->release();
    EXPECT_TRUE(second);
}

TEST(RefObject, ThrowingConstructorFreesThroughClassDelete)
{
    // Under AddressSanitizer a mismatched or missing free would be reported here.
    EXPECT_THROW(new Throwing(), std::runtime_error);
}
