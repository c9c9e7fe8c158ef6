#include "runtime/java/Vector.h"

#include "runtime/java/TrackedObject.h"

#include <gtest/gtest.h>

#include <vector>

using namespace java;
using java_test::countOf;
using java_test::Tracked;

namespace {

// The elements in index order, without keeping the references elementAt hands out.
std::vector<Object*> contents(Vector& vector)
{
    std::vector<Object*> result;
    for (int i = 0; i < vector.size(); ++i) {
        Object* element = vector.elementAt(i);
        element->release();
        result.push_back(element);
    }
    return result;
}

} // namespace

TEST(JavaVector, GrowsByTenAndInsertsWithoutGrowingWhileThereIsRoom)
{
    Vector vector;
    Tracked items[12];
    for (int i = 0; i < 9; ++i)
        vector.addElement(&items[i]);
    EXPECT_EQ(vector.capacity(), 10);

    vector.insertElementAt(0, &items[9]);
    EXPECT_EQ(vector.capacity(), 10);
    std::vector<Object*> expected{&items[9]};
    for (int i = 0; i < 9; ++i)
        expected.push_back(&items[i]);
    EXPECT_EQ(contents(vector), expected);

    vector.addElement(&items[10]); // the eleventh element
    EXPECT_EQ(vector.capacity(), 20);
    EXPECT_EQ(vector.size(), 11);
    vector.insertElementAt(11, &items[11]); // index size() appends
    EXPECT_EQ(contents(vector).back(), &items[11]);
    vector.removeAllElements();
    EXPECT_EQ(vector.capacity(), 20);
}

TEST(JavaVector, OutOfRangeAndNullAreIgnored)
{
    Vector vector;
    Tracked a;
    vector.addElement(nullptr);
    vector.insertElementAt(0, nullptr);
    vector.insertElementAt(1, &a); // beyond the end of an empty vector
    vector.insertElementAt(-1, &a);
    EXPECT_EQ(vector.size(), 0);

    vector.addElement(&a);
    EXPECT_EQ(vector.elementAt(-1), nullptr);
    EXPECT_EQ(vector.elementAt(1), nullptr);
    vector.removeElementAt(1);
    vector.removeElementAt(-1);
    EXPECT_EQ(vector.size(), 1);
    EXPECT_FALSE(vector.contains(nullptr));
    EXPECT_TRUE(vector.contains(&a));

    vector.ensureCapacity(5);
    EXPECT_EQ(vector.capacity(), 10);
    vector.ensureCapacity(25);
    EXPECT_EQ(vector.capacity(), 25);
    EXPECT_EQ(contents(vector), std::vector<Object*>{&a});
    vector.removeAllElements();
}

TEST(JavaVector, HoldsOneReferencePerSlotAndDeletesAtTheLast)
{
    bool destroyed = false;
    auto* element = new Tracked(&destroyed);
    {
        Vector vector;
        vector.addElement(element);
        vector.addElement(element);
        EXPECT_EQ(countOf(element), 3);

        Object* got = vector.elementAt(1);
        EXPECT_EQ(got, element);
        EXPECT_EQ(countOf(element), 4);
        got->release();

        EXPECT_EQ(element->release(), 2); // the creator lets go; the vector still holds two
        vector.removeElementAt(0);
        EXPECT_FALSE(destroyed);
    }
    EXPECT_TRUE(destroyed); // the vector's destructor gave up the last reference
}

TEST(JavaVector, RemoveElementScansForwardOnce)
{
    Vector vector;
    Tracked a, b;
    for (Object* element : {&a, &a, &b, &a})
        vector.addElement(element);
    // The second a moves into the index just scanned and is passed over.
    vector.removeElement(&a);
    EXPECT_EQ(contents(vector), (std::vector<Object*>{&a, &b}));
    vector.removeAllElements();
}
