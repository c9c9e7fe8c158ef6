#include "platform/app/Component.h"

namespace {

// Holds one count on a component for the length of a call that may drop the last other holder (a
// child removing itself from its parent inside its own update, for example).
class Hold {
public:
    explicit Hold(Component* c) : c(c) { c->addRef(); }
    ~Hold() { c->release(); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

private:
    Component* c;
};

unsigned checkedIndex(int index)
{
    if (index < 0)
        throw DynamicArrayException(dynamic_array_messages::outOfBounds);
    return static_cast<unsigned>(index);
}

} // namespace

Component::Component() = default;

Component::~Component()
{
    removeAllChildren();
    if (children) {
        children->release();
        children = nullptr;
    }
    delete listeners;
    listeners = nullptr;
}

void Component::update(Surface* target, const FrameTime& frameInfo)
{
    if (!isEnabled() || !isActive())
        return;
    updateSelf(target, frameInfo);
    updateChildren(target, frameInfo);
}

void Component::updateChildren(Surface* target, const FrameTime& frameInfo)
{
    for (int i = 0; i < getChildCount(); ++i) {
        Component* child = children->elementAt(static_cast<unsigned>(i));
        if (child->isObsolete()) {
            setDirty(true);
            removeChild(child);
            --i;
        } else {
            Hold hold(child);
            child->update(target, frameInfo);
        }
    }
}

void Component::draw(Surface* target, const FrameTime& frameInfo)
{
    if (!isEnabled() || !isVisible())
        return;
    paint(target, frameInfo);
    drawChildren(target, frameInfo);
    setDirty(false);
}

void Component::drawChildren(Surface* target, const FrameTime& frameInfo)
{
    for (int i = 0; i < getChildCount(); ++i) {
        Component* child = children->elementAt(static_cast<unsigned>(i));
        if (isDirty())
            child->setDirty(true);
        Hold hold(child);
        child->draw(target, frameInfo);
    }
}

void Component::restore()
{
    setDirty(true);
    check();
    restoreChildren();
}

void Component::restoreChildren()
{
    for (int i = 0; i < getChildCount(); ++i) {
        Component* child = children->elementAt(static_cast<unsigned>(i));
        Hold hold(child);
        child->restore();
    }
}

void Component::dispatchEvent(ComponentEvent& event)
{
    handleEvent(event);
    std::uint32_t bits = event.getKindBits();
    for (int i = 0; i < getChildCount(); ++i) {
        Component* child = children->elementAt(static_cast<unsigned>(i));
        std::uint32_t mask = child->getEventMask();
        if ((mask & bits) == mask) {
            Hold hold(child);
            child->dispatchEvent(event);
        }
    }
}

void Component::handleEvent(ComponentEvent& event)
{
    bool value = event.getValue() != 0;
    switch (event.getKind()) {
    case ComponentEvent::AddListener:
        if (Component* target = event.getTarget())
            target->addListener(this);
        break;
    case ComponentEvent::RemoveListener:
        if (Component* target = event.getTarget())
            target->removeListener(this);
        break;
    case ComponentEvent::SetVisible:
        setVisible(value);
        break;
    case ComponentEvent::SetActive:
        setActive(value);
        break;
    case ComponentEvent::SetEnabled:
        setEnabled(value);
        break;
    case ComponentEvent::SetInvalid:
        setInvalid(value);
        break;
    case ComponentEvent::SetDirty:
        setDirty(value);
        break;
    case ComponentEvent::MarkObsolete:
        if (value)
            setObsolete(true);
        break;
    default:
        break;
    }
}

void Component::addChild(Component* child)
{
    if (!children) {
        children = new Children(ChildCapacityIncrement, ChildCapacityIncrement);
        children->addRef();
    }
    child->nextSibling = nullptr;
    if (children->size() != 0)
        children->lastElement()->nextSibling = child;
    children->addElement(child);
    child->setParent(this);
    child->onAdded();
    notifyMembership(child, ComponentEvent::ChildAdded);
    child->setDirty(true);
}

void Component::removeChild(Component* child)
{
    if (!children)
        return;
    int index = children->indexOf(child);
    if (index >= 0)
        removeChildAt(index);
}

void Component::removeChildAt(int index)
{
    if (!children)
        throw DynamicArrayException(dynamic_array_messages::outOfBounds);
    Component* child = children->elementAt(checkedIndex(index));
    Hold hold(child);
    child->onRemoved();
    notifyMembership(child, ComponentEvent::ChildRemoved);
    // A hook or listener may have changed the list; unlink the child where it is now.
    int at = children->indexOf(child);
    if (at < 0)
        return;
    child->setParent(nullptr);
    if (at != 0)
        children->elementAt(static_cast<unsigned>(at - 1))->nextSibling = child->nextSibling;
    child->nextSibling = nullptr;
    children->removeElementAt(static_cast<unsigned>(at));
}

void Component::removeAllChildren()
{
    while (getChildCount() > 0)
        removeChildAt(getChildCount() - 1);
}

void Component::disposeChildren()
{
    while (getChildCount() > 0) {
        Component* child = children->lastElement();
        Hold hold(child);
        child->dispose();
        // dispose may have changed this list (a hook that removes siblings); drop the child where it
        // is now, if it is still here.
        int at = children->indexOf(child);
        if (at < 0)
            continue;
        if (at != 0)
            children->elementAt(static_cast<unsigned>(at - 1))->nextSibling = child->nextSibling;
        child->setParent(nullptr);
        child->nextSibling = nullptr;
        children->removeElementAt(static_cast<unsigned>(at));
    }
}

int Component::getChildCount() const
{
    return children ? static_cast<int>(children->size()) : 0;
}

int Component::indexOfChild(Component* child) const
{
    return children ? children->indexOf(child) : 0;
}

Component* Component::findChildById(int wanted) const
{
    for (int i = 0; i < getChildCount(); ++i) {
        Component* child = children->elementAt(static_cast<unsigned>(i));
        if (child->getId() == wanted)
            return child;
    }
    return nullptr;
}

Component* Component::findChildByName(const std::string& wanted) const
{
    for (int i = 0; i < getChildCount(); ++i) {
        Component* child = children->elementAt(static_cast<unsigned>(i));
        if (child->getName() == wanted)
            return child;
    }
    return nullptr;
}

Component* Component::getChildAt(int index) const
{
    if (!children)
        return nullptr;
    return children->elementAt(checkedIndex(index));
}

void Component::dispose()
{
    setDirty(true);
    onDispose();
    disposeChildren();
}

Component* Component::getRoot()
{
    return parent ? parent->getRoot() : this;
}

Component* Component::getNext(Component* from, Component* root)
{
    bool hasChildren = getChildCount() > 0;
    if (!from) {
        if (!hasChildren)
            return nullptr;
        from = this;
    }
    if (from == parent)
        return this;
    if (from == this) {
        if (hasChildren)
            return children->elementAt(0);
    } else if (this == root) {
        return nullptr;
    }
    if (nextSibling)
        return nextSibling;
    if (parent)
        return parent->getNext(this, root);
    return nullptr;
}

void Component::setActive(bool b)
{
    active = b ? 1 : 0;
    setDirty(true);
}

void Component::setEnabled(bool b)
{
    enabled = b ? 1 : 0;
    setDirty(true);
}

void Component::setVisible(bool b)
{
    visible = b ? 1 : 0;
    setDirty(true);
}

void Component::setInvalid(bool b)
{
    invalid = b ? 1 : 0;
    setDirty(true);
}

void Component::setObsolete(bool b)
{
    obsolete = b ? 1 : 0;
    setDirty(true);
}

Component::Listeners* Component::getListeners()
{
    if (!listeners)
        listeners = new Listeners();
    return listeners;
}

void Component::addListener(ComponentListener* listener)
{
    if (listener)
        getListeners()->add(listener);
}

void Component::removeListener(ComponentListener* listener)
{
    if (listener && listeners)
        listeners->remove(listener);
}

void Component::fireEvent(ComponentEvent& event)
{
    if (listeners)
        listeners->notifyAll(event);
}

void Component::setFlag(unsigned n, bool on)
{
    if (n >= FlagCount)
        return;
    std::uint32_t bit = 1u << (n % 32);
    if (on)
        flags[n / 32] |= bit;
    else
        flags[n / 32] &= ~bit;
}

bool Component::hasFlag(unsigned n) const
{
    return n < FlagCount && (flags[n / 32] & (1u << (n % 32))) != 0;
}

// One line per node:
//   indent "- " name ", ID: " id ", active: " a ", enabled: " e ", visible: " v ", obsolete: " o
//   ", parent: " (root | valid | invalid)
// where indent is depth copies of "   |"; a node with children adds indent "- Children: " count and
// its children at depth + 1.
void Component::dump(std::string& out, const Component* expectedParent, int depth) const
{
    std::string indent;
    for (int i = 0; i < depth; ++i)
        indent += "   |";
    auto text = [](bool b) { return b ? "true" : "false"; };
    const char* parentText = !parent ? "root" : parent == expectedParent ? "valid" : "invalid";
    out += indent + "- " + name + ", ID: " + std::to_string(id) + ", active: " + text(isActive()) +
           ", enabled: " + text(isEnabled()) + ", visible: " + text(isVisible()) +
           ", obsolete: " + text(isObsolete()) + ", parent: " + parentText + "\n";
    int count = getChildCount();
    if (count == 0)
        return;
    out += indent + "- Children: " + std::to_string(count) + "\n";
    for (int i = 0; i < count; ++i)
        children->elementAt(static_cast<unsigned>(i))->dump(out, this, depth + 1);
}

void Component::notifyMembership(Component* child, std::uint32_t kind)
{
    if (!child->isNotifying())
        return;
    ComponentEvent event(child, kind, static_cast<std::int32_t>(child->getType()), child->getId());
    child->fireEvent(event);
}
