#include "platform/app/Component.h"
#include "platform/surface/FrameCounter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records what the tree does to it in one shared log, and can count its own destruction.
class Probe : public Component {
public:
    Probe(std::vector<std::string>& log, const std::string& label) : log(log)
    {
        setName(label);
    }
    ~Probe() override { log.push_back(getName() + ":destroyed"); }

    void updateSelf(Surface*, const FrameTime&) override { log.push_back(getName() + ":update"); }
    void paint(Surface*, const FrameTime&) override { log.push_back(getName() + ":paint"); }
    void onAdded() override { log.push_back(getName() + ":added"); }
    void onRemoved() override { log.push_back(getName() + ":removed"); }
    void onDispose() override { log.push_back(getName() + ":dispose"); }
    void restoreLost() override { log.push_back(getName() + ":restoreLost"); }

    std::vector<std::string>& log;
};

struct Recorder : ComponentListener {
    int onComponentEvent(ComponentEvent& e) override
    {
        events.push_back(e);
        return 0;
    }
    std::vector<ComponentEvent> events;
};

class ComponentTree : public ::testing::Test {
protected:
    ComponentTree()
    {
        root = new Probe(log, "root");
        root->addRef();
    }
    ~ComponentTree() override { root->release(); }

    Probe* child(const std::string& label, Component* parent = nullptr)
    {
        auto* c = new Probe(log, label);
        (parent ? parent : root)->addChild(c);
        return c;
    }

    std::vector<std::string> log;
    Probe* root;
    FrameTime frame{20};
};

TEST_F(ComponentTree, NewComponentStartsWithTheDocumentedState)
{
    Component c;
    EXPECT_TRUE(c.isEnabled());
    EXPECT_TRUE(c.isActive());
    EXPECT_TRUE(c.isVisible());
    EXPECT_TRUE(c.isDirty());
    EXPECT_FALSE(c.isInvalid());
    EXPECT_FALSE(c.isObsolete());
    EXPECT_FALSE(c.isNotifying());
    EXPECT_EQ(c.getType(), 0x80000001u);
    EXPECT_EQ(c.getId(), 0);
    EXPECT_EQ(c.getEventMask(), 0u);
    EXPECT_EQ(c.getName(), "");
    EXPECT_EQ(c.getChildren(), nullptr);
    EXPECT_EQ(c.getChildCount(), 0);
    EXPECT_EQ(c.getChildAt(0), nullptr);
    EXPECT_EQ(c.getRefCount(), 0);
}

TEST_F(ComponentTree, AddChildLinksSiblingsAndHoldsAReference)
{
    Probe* a = child("a");
    Probe* b = child("b");
    Probe* c = child("c");
    EXPECT_EQ(root->getChildCount(), 3);
    EXPECT_EQ(a->getParent(), root);
    EXPECT_EQ(a->getNextSibling(), b);
    EXPECT_EQ(b->getNextSibling(), c);
    EXPECT_EQ(c->getNextSibling(), nullptr);
    EXPECT_EQ(a->getRefCount(), 1);
    EXPECT_EQ(root->getChildren()->getCapacityIncrement(), 10u);
    EXPECT_EQ(c->getRoot(), root);
    EXPECT_EQ(log, (std::vector<std::string>{"a:added", "b:added", "c:added"}));
}

TEST_F(ComponentTree, RemovingTheFirstOrAMiddleChildKeepsTheSiblingChain)
{
    Probe* a = child("a");
    Probe* b = child("b");
    Probe* c = child("c");
    Probe* d = child("d");
    b->addRef(); // keep it alive to look at it after removal
    root->removeChild(b);
    EXPECT_EQ(a->getNextSibling(), c);
    EXPECT_EQ(b->getParent(), nullptr);
    EXPECT_EQ(b->getNextSibling(), nullptr);
    EXPECT_EQ(b->getRefCount(), 1);
    b->release();

    root->removeChildAt(0); // a
    EXPECT_EQ(c->getNextSibling(), d);
    EXPECT_EQ(root->getChildAt(0), c);
    EXPECT_EQ(root->getChildCount(), 2);
    EXPECT_EQ(log, (std::vector<std::string>{"a:added", "b:added", "c:added", "d:added", "b:removed",
                                            "b:destroyed", "a:removed", "a:destroyed"}));
}

TEST_F(ComponentTree, LookupsAndIndexErrors)
{
    EXPECT_EQ(root->indexOfChild(root), 0) << "no child list yet";
    Probe* a = child("a");
    Probe* b = child("b");
    a->setId(7);
    b->setId(7);
    EXPECT_EQ(root->findChildById(7), a);
    EXPECT_EQ(root->findChildById(8), nullptr);
    EXPECT_EQ(root->findChildByName("b"), b);
    EXPECT_EQ(root->findChildByName("B"), nullptr);
    EXPECT_EQ(root->indexOfChild(b), 1);
    EXPECT_EQ(root->indexOfChild(root), -1);

    Component stranger;
    root->removeChild(&stranger); // not a child: nothing happens
    EXPECT_EQ(root->getChildCount(), 2);
    EXPECT_THROW(root->getChildAt(2), DynamicArrayException);
    EXPECT_THROW(root->getChildAt(-1), DynamicArrayException);
    EXPECT_THROW(root->removeChildAt(5), DynamicArrayException);
}

TEST_F(ComponentTree, NotifyingChildrenTellTheirListenersWhenAddedAndRemoved)
{
    Recorder listener;
    auto* quiet = new Component;
    auto* loud = new Component;
    loud->setNotifying(true);
    loud->setId(42);
    loud->setType(0x80000006);
    quiet->addListener(&listener);
    loud->addListener(&listener);
    loud->addListener(&listener); // added once only

    root->addChild(quiet);
    root->addChild(loud);
    ASSERT_EQ(listener.events.size(), 1u);
    const ComponentEvent& added = listener.events[0];
    EXPECT_EQ(added.getSource(), loud);
    EXPECT_EQ(added.getType(), 0x80000033u);
    EXPECT_EQ(added.getValue1(), static_cast<std::int32_t>(0x80000006));
    EXPECT_EQ(added.getValue2(), 42);
    EXPECT_EQ(added.getValue3(), 0);
    EXPECT_EQ(added.getValue4(), 0);
    EXPECT_EQ(added.getValue5(), 0);
    EXPECT_EQ(added.getTarget(), nullptr);

    root->removeChild(quiet);
    root->removeChild(loud);
    ASSERT_EQ(listener.events.size(), 2u);
    EXPECT_EQ(listener.events[1].getType(), 0x80000034u);
    EXPECT_EQ(listener.events[1].getB(), 42);
}

TEST_F(ComponentTree, DestroyingAParentRemovesItsChildrenLastFirstWithEvents)
{
    Recorder listener;
    auto* parent = new Probe(log, "p");
    parent->addRef();
    Probe* a = child("a", parent);
    Probe* b = child("b", parent);
    b->setNotifying(true);
    b->addListener(&listener);
    a->addRef();
    parent->release();
    EXPECT_EQ(a->getParent(), nullptr);
    ASSERT_EQ(listener.events.size(), 1u);
    EXPECT_EQ(listener.events[0].getType(), 0x80000034u);
    // The derived part goes first; the component base then lets the children go.
    EXPECT_EQ(log, (std::vector<std::string>{"a:added", "b:added", "p:destroyed", "b:removed", "b:destroyed",
                                            "a:removed"}));
    a->release();
}

TEST_F(ComponentTree, UpdateAndDrawFollowTheStateFlags)
{
    struct Case {
        const char* what;
        bool enabled, active, visible;
        bool updated, drawn;
    };
    const Case cases[] = {
        {"all on", true, true, true, true, true},
        {"inactive: drawn, not updated", true, false, true, false, true},
        {"disabled: neither", false, true, true, false, false},
        {"hidden: updated, not drawn", true, true, false, true, false},
    };
    for (const Case& c : cases) {
        log.clear();
        root->setEnabled(c.enabled);
        root->setActive(c.active);
        root->setVisible(c.visible);
        root->update(nullptr, frame);
        root->draw(nullptr, frame);
        std::vector<std::string> expected;
        if (c.updated)
            expected.push_back("root:update");
        if (c.drawn)
            expected.push_back("root:paint");
        EXPECT_EQ(log, expected) << c.what;
        EXPECT_EQ(root->isDirty(), !c.drawn) << c.what << ": draw clears the mark, a skipped draw keeps it";
    }
}

TEST_F(ComponentTree, UpdateAndDrawPassDownInOrderAndDirtinessFlowsToChildren)
{
    Probe* a = child("a");
    Probe* b = child("b");
    Probe* a1 = child("a1", a);
    log.clear();
    root->update(nullptr, frame);
    EXPECT_EQ(log, (std::vector<std::string>{"root:update", "a:update", "a1:update", "b:update"}));

    root->draw(nullptr, frame);
    EXPECT_FALSE(root->isDirty());
    EXPECT_FALSE(a->isDirty());
    EXPECT_FALSE(a1->isDirty());

    root->setDirty(true);
    root->draw(nullptr, frame);
    EXPECT_FALSE(b->isDirty()) << "a dirty parent marks its children dirty, and their draw clears it";

    // A child that is not dirty is still drawn: the gate is enabled and visible only.
    log.clear();
    root->draw(nullptr, frame);
    EXPECT_EQ(log, (std::vector<std::string>{"root:paint", "a:paint", "a1:paint", "b:paint"}));
}

TEST_F(ComponentTree, ObsoleteChildIsDroppedByTheNextUpdateAndTheNextOneStillRuns)
{
    Probe* a = child("a");
    Probe* b = child("b");
    Probe* c = child("c");
    b->setObsolete(true);
    root->setDirty(false);
    log.clear();
    root->update(nullptr, frame);
    EXPECT_EQ(log, (std::vector<std::string>{"root:update", "a:update", "b:removed", "b:destroyed", "c:update"}));
    EXPECT_EQ(root->getChildCount(), 2);
    EXPECT_EQ(a->getNextSibling(), c);
    EXPECT_TRUE(root->isDirty());

    // An inactive parent does not get round to it.
    c->setObsolete(true);
    root->setActive(false);
    root->update(nullptr, frame);
    EXPECT_EQ(root->getChildCount(), 2);
}

TEST_F(ComponentTree, ChildThatRemovesItselfDuringItsUpdateIsSafe)
{
    struct Leaver : Component {
        void updateSelf(Surface*, const FrameTime&) override { getParent()->removeChild(this); }
    };
    root->addChild(new Leaver);
    Probe* after = child("after");
    log.clear();
    root->update(nullptr, frame);
    EXPECT_EQ(root->getChildCount(), 1);
    EXPECT_EQ(root->getChildAt(0), after);
}

TEST_F(ComponentTree, RestoreMarksDirtyAndRestoresEachNodeOncePerFrame)
{
    Probe* a = child("a");
    root->draw(nullptr, frame);
    frame::set(5);
    root->restore();
    root->restore();
    EXPECT_TRUE(root->isDirty());
    EXPECT_TRUE(a->isDirty());
    EXPECT_EQ(log, (std::vector<std::string>{"a:added", "root:paint", "a:paint", "root:restoreLost",
                                            "a:restoreLost"}));
    frame::set(6);
    root->restore();
    EXPECT_EQ(log.size(), 7u);
    frame::set(0);
}

TEST_F(ComponentTree, DispatchReachesChildrenWhoseMaskIsInTheKindBits)
{
    struct Case {
        std::uint32_t mask, bits;
        bool reached;
    };
    const Case cases[] = {{0, 0, true}, {0, 0xFF, true}, {6, 6, true}, {6, 7, true}, {6, 2, false}, {6, 4, false}};
    for (const Case& c : cases) {
        auto* target = new Component;
        target->setEventMask(c.mask);
        root->addChild(target);
        ComponentEvent hide(nullptr, 0x8000001A);
        hide.setKindBits(c.bits);
        root->dispatchEvent(hide);
        EXPECT_FALSE(root->isVisible()) << "the dispatching component handles the event itself";
        EXPECT_EQ(target->isVisible(), !c.reached) << "mask " << c.mask << " bits " << c.bits;
        root->removeChild(target);
        root->setVisible(true);
    }
}

TEST_F(ComponentTree, HandleEventSetsFlagsAndListenerLinks)
{
    auto send = [](Component& c, std::uint32_t kind, int value, Component* target = nullptr) {
        ComponentEvent e(nullptr, kind, 0, 0, 0, value, 0, target);
        c.handleEvent(e);
    };
    Component c;
    send(c, 0x8000001A, 0);
    EXPECT_FALSE(c.isVisible());
    send(c, 0x8000001B, 0);
    EXPECT_FALSE(c.isActive());
    send(c, 0x8000001C, 0);
    EXPECT_FALSE(c.isEnabled());
    send(c, 0x8000001D, 1);
    EXPECT_TRUE(c.isInvalid());
    send(c, 0x8000001E, 0);
    EXPECT_FALSE(c.isDirty());
    send(c, 0x8000001F, 0);
    EXPECT_FALSE(c.isObsolete()) << "false does not clear or set";
    send(c, 0x8000001F, 1);
    EXPECT_TRUE(c.isObsolete());
    send(c, 0x8000001A, 5);
    EXPECT_TRUE(c.isVisible());

    // 0x80000016/17: become (or stop being) a listener of the target.
    Component watched;
    send(c, 0x80000016, 0, &watched);
    EXPECT_TRUE(watched.getListeners()->contains(&c));
    send(c, 0x80000017, 0, &watched);
    EXPECT_EQ(watched.getListeners()->size(), 0u);
    send(c, 0x80000016, 0, nullptr); // no target: nothing
}

TEST_F(ComponentTree, FlagSetAddressesWordAndBit)
{
    Component c;
    c.setFlag(40, true);
    EXPECT_TRUE(c.hasFlag(40));
    EXPECT_FALSE(c.hasFlag(8));
    c.setFlag(0, true);
    c.setFlag(159, true);
    EXPECT_TRUE(c.hasFlag(159));
    c.setFlag(40, false);
    EXPECT_FALSE(c.hasFlag(40));
    EXPECT_TRUE(c.hasFlag(0)) << "clearing clears only that bit";
    c.setFlag(160, true); // outside the set: ignored
    EXPECT_FALSE(c.hasFlag(160));
}

TEST_F(ComponentTree, DumpWritesOneLinePerNodeWithIndentAndParentCheck)
{
    Component* a = child("a");
    child("b");
    child("a1", a)->setId(3);
    a->setVisible(false);
    std::string out;
    root->dump(out, nullptr, 0);
    EXPECT_EQ(out,
              "- root, ID: 0, active: true, enabled: true, visible: true, obsolete: false, parent: root\n"
              "- Children: 2\n"
              "   |- a, ID: 0, active: true, enabled: true, visible: false, obsolete: false, parent: valid\n"
              "   |- Children: 1\n"
              "   |   |- a1, ID: 3, active: true, enabled: true, visible: true, obsolete: false, parent: valid\n"
              "   |- b, ID: 0, active: true, enabled: true, visible: true, obsolete: false, parent: valid\n");

    out.clear();
    a->dump(out, root->findChildByName("b"), 2);
    EXPECT_EQ(out.substr(0, out.find('\n')),
              "   |   |- a, ID: 0, active: true, enabled: true, visible: false, obsolete: false, parent: invalid");
}

TEST_F(ComponentTree, GetNextWalksPreOrder)
{
    Component* a = child("a");
    Component* a1 = child("a1", a);
    Component* a2 = child("a2", a);
    Component* b = child("b");
    std::vector<Component*> walk;
    for (Component* n = root->getNext(nullptr, root); n; n = n->getNext(n, root))
        walk.push_back(n);
    EXPECT_EQ(walk, (std::vector<Component*>{a, a1, a2, b})) << "the walk starts below its root";

    walk.clear();
    for (Component* n = a->getNext(nullptr, a); n; n = n->getNext(n, a))
        walk.push_back(n);
    EXPECT_EQ(walk, (std::vector<Component*>{a1, a2})) << "a subtree walk does not climb out of it";
    EXPECT_EQ(b->getNext(nullptr, b), nullptr) << "a leaf has nothing to walk";
}

TEST_F(ComponentTree, DisposeTellsTheSubtreeAndDropsChildrenWithoutEvents)
{
    Recorder listener;
    Probe* a = child("a");
    child("a1", a);
    child("b");
    a->setNotifying(true);
    a->addListener(&listener);
    log.clear();
    root->dispose();
    EXPECT_EQ(root->getChildCount(), 0);
    EXPECT_TRUE(listener.events.empty());
    EXPECT_EQ(log, (std::vector<std::string>{"root:dispose", "b:dispose", "b:destroyed", "a:dispose", "a1:dispose",
                                            "a1:destroyed", "a:destroyed"}));
}

} // namespace
