// The event record of the component tree. Its user builds it on the stack and hands it to the
// component listeners (fireEvent) or down the tree (dispatchEvent); nobody keeps it past the call.
//
// Eight fields in order: source, type (the kind code), then six values. The tree names the values
// by what they carry: value1 = a (a component's type code), value2 = b (its id), value3 = the kind
// bits that event masks are matched against, value4 = the value of a flag event, value5 = spare,
// value6 = the target component of a listener event. Source and target are components, so they are
// pointers here rather than 32-bit words.
#pragma once

#include <cstdint>

class Component;

class ComponentEvent {
public:
    enum : std::uint32_t {
        ChildAdded = 0x80000033,   // a notifying child was added to a parent
        ChildRemoved = 0x80000034, // a notifying child is being removed from its parent
        AddListener = 0x80000016,  // add the receiver as a listener of the target
        RemoveListener = 0x80000017,
        SetVisible = 0x8000001A,
        SetActive = 0x8000001B,
        SetEnabled = 0x8000001C,
        SetInvalid = 0x8000001D,
        SetDirty = 0x8000001E,
        MarkObsolete = 0x8000001F,
    };

    ComponentEvent() = default;
    ComponentEvent(Component* source, std::uint32_t type, std::int32_t value1 = 0, std::int32_t value2 = 0,
                   std::int32_t value3 = 0, std::int32_t value4 = 0, std::int32_t value5 = 0,
                   Component* target = nullptr)
        : source(source), type(type), value1(value1), value2(value2), value3(value3), value4(value4),
          value5(value5), target(target)
    {
    }
    ComponentEvent(const ComponentEvent&) = default;
    ComponentEvent& operator=(const ComponentEvent&) = default;
    virtual ~ComponentEvent() = default;

    Component* getSource() const { return source; }
    std::uint32_t getType() const { return type; }
    std::int32_t getValue1() const { return value1; }
    std::int32_t getValue2() const { return value2; }
    std::int32_t getValue3() const { return value3; }
    std::int32_t getValue4() const { return value4; }
    std::int32_t getValue5() const { return value5; }
    Component* getValue6() const { return target; }

    // The same fields under the names the tree uses.
    std::uint32_t getKind() const { return type; }
    std::int32_t getA() const { return value1; }
    std::int32_t getB() const { return value2; }
    std::uint32_t getKindBits() const { return static_cast<std::uint32_t>(value3); }
    std::int32_t getValue() const { return value4; }
    std::int32_t getSpare() const { return value5; }
    Component* getTarget() const { return target; }

    void setSource(Component* c) { source = c; }
    void setType(std::uint32_t t) { type = t; }
    void setKind(std::uint32_t t) { type = t; }
    void setA(std::int32_t v) { value1 = v; }
    void setB(std::int32_t v) { value2 = v; }
    void setKindBits(std::uint32_t bits) { value3 = static_cast<std::int32_t>(bits); }
    void setValue(std::int32_t v) { value4 = v; }
    void setSpare(std::int32_t v) { value5 = v; }
    void setTarget(Component* c) { target = c; }

private:
    Component* source = nullptr;
    std::uint32_t type = 0;
    std::int32_t value1 = 0;
    std::int32_t value2 = 0;
    std::int32_t value3 = 0;
    std::int32_t value4 = 0;
    std::int32_t value5 = 0;
    Component* target = nullptr;
};
