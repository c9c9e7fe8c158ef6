#include "runtime/containers/DynamicArray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using IntArray = DynamicArray<int>;

const std::string outOfBounds = "ArrayIndexOutOfBoundsException\n";
const std::string noSuchElement = "NoSuchElementException\n";

template <typename F>
std::string thrownMessage(F&& f)
{
    try {
        f();
    } catch (const DynamicArrayException& e) {
        return e.getMessage();
    }
    return "(nothing thrown)";
}

std::vector<int> contents(const IntArray& a)
{
    std::vector<int> v;
    for (unsigned i = 0; i < a.size(); ++i)
        v.push_back(a.elementAt(i));
    return v;
}

IntArray* filled(std::initializer_list<int> values, unsigned capacity = 4, unsigned increment = 0)
{
    auto* a = new IntArray(capacity, increment);
    a->addRef();
    for (int v : values)
        a->addElement(v);
    return a;
}

struct Counted : RefCounted {
    explicit Counted(int* destroyed) : destroyed(destroyed) {}
    ~Counted() override { ++*destroyed; }
    int* destroyed;
};

struct Tracked {
    Tracked(std::vector<int>* order, int id) : order(order), id(id) {}
    ~Tracked() { order->push_back(id); }
    std::vector<int>* order;
    int id;
};

} // namespace

TEST(DynamicArray, GrowthDoublesOrStepsOrJumpsToTheRequest)
{
    struct Case {
        unsigned capacity, increment, request, expected;
    };
    const Case cases[] = {
        {0, 0, 1, 1},   // adding to an empty array of capacity 0
        {4, 0, 5, 8},   // doubling
        {10, 0, 11, 20},
        {10, 5, 11, 15}, // fixed step
        {10, 3, 20, 20}, // a request beyond capacity + step is taken exactly
        {4, 0, 4, 4},   // no growth when it fits
    };
    for (const Case& c : cases) {
        IntArray a(c.capacity, c.increment);
        a.ensureCapacity(c.request);
        EXPECT_EQ(a.getCapacity(), c.expected) << c.capacity << "+" << c.increment << " -> " << c.request;
    }

    IntArray grown(0, 0);
    std::vector<unsigned> capacities;
    for (int i = 0; i < 5; ++i) {
        grown.addElement(i);
        capacities.push_back(grown.getCapacity());
    }
    EXPECT_EQ(capacities, (std::vector<unsigned>{1, 2, 4, 4, 8}));
    EXPECT_EQ(contents(grown), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(DynamicArray, InsertRemoveAndSetKeepOrderAndClearVacatedSlots)
{
    IntArray* a = filled({1, 2, 3});
    a->insertElementAt(0, 0);
    a->insertElementAt(4, 4); // at the count: appends
    a->insertElementAt(2, 9);
    EXPECT_EQ(contents(*a), (std::vector<int>{0, 1, 9, 2, 3, 4}));
    EXPECT_EQ(a->removeElementAt(2), 9);
    EXPECT_EQ(a->set(0, 7), 0);
    a->swap(0, 4);
    EXPECT_EQ(contents(*a), (std::vector<int>{4, 1, 2, 3, 7}));
    EXPECT_EQ(a->removeFirst(), 4);
    EXPECT_EQ(a->removeLast(), 7);
    EXPECT_EQ(a->lastElement(), 3);

    // Slots vacated by removals read as zero when the array grows back over them.
    a->setSize(5);
    EXPECT_EQ(contents(*a), (std::vector<int>{1, 2, 3, 0, 0}));
    a->setSize(1);
    EXPECT_EQ(contents(*a), (std::vector<int>{1}));
    a->release();
}

TEST(DynamicArray, SearchesCompareValuesAndFindTheFirstOccurrence)
{
    IntArray* a = filled({5, 6, 5, 7});
    EXPECT_EQ(a->indexOf(5), 0);
    EXPECT_EQ(a->indexOf(5, 1), 2);
    EXPECT_EQ(a->indexOf(5, 4), -1);
    EXPECT_EQ(a->indexOf(5, 100), -1);
    EXPECT_TRUE(a->contains(7));
    EXPECT_FALSE(a->contains(8));
    EXPECT_TRUE(a->removeElement(5));
    EXPECT_EQ(contents(*a), (std::vector<int>{6, 5, 7}));
    EXPECT_FALSE(a->removeElement(8));

    IntArray* subset = filled({7, 6});
    IntArray* other = filled({7, 9});
    IntArray* empty = filled({});
    EXPECT_TRUE(a->containsAll(*subset));
    EXPECT_FALSE(a->containsAll(*other));
    EXPECT_TRUE(a->containsAll(*empty));

    IntArray* same = filled({6, 5, 7}, 100, 3);
    EXPECT_TRUE(a->equals(*same));
    EXPECT_FALSE(a->equals(*subset));

    a->removeAll(*other);
    EXPECT_EQ(contents(*a), (std::vector<int>{6, 5}));
    for (IntArray* x : {a, subset, other, empty, same})
        x->release();
}

TEST(DynamicArray, RetainAllWalksTheOtherArrayByIndex)
{
    // Each step first removes other[i] from this array, then drops this[i] unless other holds it.
    IntArray* a = filled({2, 5, 9, 9, 9});
    IntArray* other = filled({2, 9});
    a->retainAll(*other);
    EXPECT_EQ(contents(*a), (std::vector<int>{9, 9}));

    // Running out of elements at index i throws.
    IntArray* b = filled({1, 2, 3, 4});
    IntArray* longer = filled({5, 3});
    EXPECT_EQ(thrownMessage([&] { b->retainAll(*longer); }), outOfBounds);
    for (IntArray* x : {a, other, b, longer})
        x->release();
}

TEST(DynamicArray, BadIndexesAndEmptyArraysThrowBeforeChangingAnything)
{
    IntArray* a = filled({1, 2, 3});
    const std::vector<std::pair<const char*, std::function<void()>>> outOfRange = {
        {"elementAt", [&] { a->elementAt(3); }},
        {"negative elementAt", [&] { a->elementAt(static_cast<unsigned>(-1)); }},
        {"insertElementAt past the end", [&] { a->insertElementAt(4, 0); }},
        {"removeElementAt", [&] { a->removeElementAt(3); }},
        {"set", [&] { a->set(3, 0); }},
        {"swap first", [&] { a->swap(3, 0); }},
        {"swap second", [&] { a->swap(0, 3); }},
        {"removeRange past the end", [&] { a->removeRange(0, 4); }},
        {"removeRange from the end", [&] { a->removeRange(3, 4); }},
    };
    for (const auto& [name, call] : outOfRange)
        EXPECT_EQ(thrownMessage(call), outOfBounds) << name;
    EXPECT_EQ(contents(*a), (std::vector<int>{1, 2, 3}));

    // An empty range is checked first and never throws.
    a->removeRange(3, 3);
    a->removeRange(5, 2);
    EXPECT_EQ(contents(*a), (std::vector<int>{1, 2, 3}));

    IntArray* empty = filled({});
    empty->removeRange(3, 3);
    for (auto call : std::vector<std::function<void()>>{[&] { empty->removeLast(); }, [&] { empty->removeFirst(); },
                                                        [&] { empty->lastElement(); }})
        EXPECT_EQ(thrownMessage(call), noSuchElement);
    a->release();
    empty->release();
}

TEST(DynamicArray, ShuffleIntoAppendsASeededPermutationAndLeavesTheSourceAlone)
{
    IntArray* source = filled({10, 20, 30, 40, 50});
    IntArray* target = filled({1});
    Random random;
    random.setSeed(0);
    source->shuffleInto(random, *target);
    EXPECT_EQ(contents(*source), (std::vector<int>{10, 20, 30, 40, 50}));

    // The draws are nextInt(5), nextInt(4), ... on the shrinking copy.
    Random replay;
    replay.setSeed(0);
    std::vector<int> remaining{10, 20, 30, 40, 50};
    std::vector<int> expected{1};
    while (!remaining.empty()) {
        int k = replay.nextInt(static_cast<int>(remaining.size()));
        expected.push_back(remaining[k]);
        remaining.erase(remaining.begin() + k);
    }
    EXPECT_EQ(contents(*target), expected);
    source->release();
    target->release();
}

TEST(RefDynamicArray, HoldsOneCountPerEntryAndReturnsOnlySurvivors)
{
    int destroyed = 0;
    auto* array = new RefDynamicArray<Counted>(2, 0);
    array->addRef();
    auto* shared = new Counted(&destroyed);
    auto* only = new Counted(&destroyed);
    array->addElement(shared);
    array->addElement(shared);
    array->insertElementAt(0, only);
    array->addElement(nullptr);
    EXPECT_EQ(shared->getRefCount(), 2);

    // The array was the only holder: the element is destroyed and null comes back.
    EXPECT_EQ(array->removeElementAt(0), nullptr);
    EXPECT_EQ(destroyed, 1);
    // Still held by the second entry: handed back.
    EXPECT_EQ(array->removeElementAt(0), shared);
    EXPECT_EQ(shared->getRefCount(), 1);

    auto* replacement = new Counted(&destroyed);
    EXPECT_EQ(array->set(0, replacement), nullptr);
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(replacement->getRefCount(), 1);

    // Shrinking releases the tail; the destructor releases the rest.
    replacement->addRef();
    array->setSize(0);
    EXPECT_EQ(replacement->getRefCount(), 1);
    array->addElement(replacement);
    replacement->release();
    array->release();
    EXPECT_EQ(destroyed, 3);
}

TEST(RefDynamicArray, ShuffleTargetTakesCounts)
{
    int destroyed = 0;
    auto* source = new RefDynamicArray<Counted>(4, 0);
    auto* target = new RefDynamicArray<Counted>(0, 0);
    source->addRef();
    target->addRef();
    source->addElement(new Counted(&destroyed));
    source->addElement(new Counted(&destroyed));
    Random random;
    source->shuffleInto(random, *target);
    EXPECT_EQ(source->elementAt(0)->getRefCount(), 2);
    source->release();
    EXPECT_EQ(destroyed, 0);
    target->release();
    EXPECT_EQ(destroyed, 2);
}

TEST(OwningDynamicArray, DeletesFromLastToFirstOnlyWhenOwning)
{
    std::vector<int> order;
    {
        auto* owning = new OwningDynamicArray<Tracked>(1, 0, true);
        owning->addRef();
        for (int id = 1; id <= 3; ++id)
            owning->addElement(new Tracked(&order, id));
        owning->addElement(nullptr);
        EXPECT_TRUE(owning->ownsElements());
        owning->release();
    }
    EXPECT_EQ(order, (std::vector<int>{3, 2, 1}));

    order.clear();
    Tracked kept(&order, 9);
    auto* borrowing = new OwningDynamicArray<Tracked>(1, 0, false);
    borrowing->addRef();
    borrowing->addElement(&kept);
    borrowing->release();
    EXPECT_TRUE(order.empty());

    struct Free {
        void operator()(int* p) const { std::free(p); }
    };
    auto* records = new OwningDynamicArray<int, Free>(2, 0, false);
    records->setOwnsElements(true);
    records->addElement(static_cast<int*>(std::malloc(sizeof(int))));
    records->addRef();
    records->release(); // the leak checker sees the C-heap record freed
}
