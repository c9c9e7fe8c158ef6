#include "runtime/containers/ListenerList.h"
#include "runtime/containers/PointerList.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

std::vector<void*> fromHead(const PointerList& list)
{
    std::vector<void*> values;
    for (PointerList::Node* node = list.getHead(); node != nullptr; node = node->next)
        values.push_back(node->value);
    return values;
}

std::vector<void*> fromTail(const PointerList& list)
{
    std::vector<void*> values;
    for (PointerList::Node* node = list.getTail(); node != nullptr; node = node->prev)
        values.push_back(node->value);
    return values;
}

struct Event {
    std::vector<int> calls;
};

struct Recorder : EventListener<Event> {
    Recorder(int id, int answer) : id(id), answer(answer) {}
    int handleEvent(Event& event) override
    {
        event.calls.push_back(id);
        return answer;
    }
    int id;
    int answer;
};

} // namespace

TEST(PointerList, PushFrontRemoveAndClearKeepBothEndsLinked)
{
    int a = 0, b = 0, c = 0;
    PointerList list;
    list.pushFront(&a);
    list.pushFront(&b);
    list.pushFront(&c);
    list.pushFront(&b);
    EXPECT_EQ(fromHead(list), (std::vector<void*>{&b, &c, &b, &a}));

    list.remove(&b); // the one nearer the head
    EXPECT_EQ(fromHead(list), (std::vector<void*>{&c, &b, &a}));
    list.remove(&b);
    EXPECT_EQ(fromHead(list), (std::vector<void*>{&c, &a}));
    EXPECT_EQ(fromTail(list), (std::vector<void*>{&a, &c}));
    list.remove(&b); // absent: nothing
    EXPECT_EQ(list.size(), 2);

    list.remove(&a); // the tail
    EXPECT_EQ(list.getTail()->value, &c);
    list.remove(&c); // the last node
    EXPECT_EQ(list.getHead(), nullptr);
    EXPECT_EQ(list.getTail(), nullptr);
    EXPECT_EQ(list.size(), 0);

    list.pushFront(&a);
    list.pushFront(&b);
    list.clear();
    EXPECT_FALSE(list.contains(&a));
    EXPECT_EQ(list.size(), 0);
    list.pushFront(&c);
    EXPECT_EQ(fromTail(list), (std::vector<void*>{&c}));
    list.clear(); // the values are on the stack: they must not be freed
}

TEST(PointerList, DestructorFreesCHeapValues)
{
    PointerList list;
    list.pushFront(std::malloc(8));
    list.pushFront(std::malloc(8)); // freed by the destructor, or the leak checker complains
}

TEST(ListenerList, NotifyDropsListenersThatAnswerNonZeroWithoutSkipping)
{
    Recorder first(1, 0), middle(2, 1), last(3, 0);
    ListenerList<Event> list;
    list.add(&first);
    list.add(&middle);
    list.add(&middle);
    list.add(&last);
    EXPECT_EQ(list.size(), 3u);

    Event event;
    list.notifyAll(event);
    EXPECT_EQ(event.calls, (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(list.contains(&middle));

    list.remove(&first);
    Event again;
    list.notifyAll(again);
    EXPECT_EQ(again.calls, (std::vector<int>{3}));
}
