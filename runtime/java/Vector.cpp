#include "runtime/java/Vector.h"

#include <algorithm>

namespace java {

Vector::Vector() : items(new Object*[initialCapacity]()) {}

Vector::~Vector()
{
    removeAllElements();
}

void Vector::ensureCapacity(unsigned n)
{
    if (n <= static_cast<unsigned>(initialCapacity) || n < static_cast<unsigned>(count_))
        return;
    std::unique_ptr<Object*[]> grown(new Object*[n]());
    std::copy(items.get(), items.get() + count_, grown.get());
    items = std::move(grown);
    capacity_ = static_cast<int>(n);
}

void Vector::addElement(Object* element)
{
    if (!element)
        return;
    if (count_ == capacity_)
        ensureCapacity(static_cast<unsigned>(capacity_ + growth));
    element->addRef();
    items[count_++] = element;
}

void Vector::insertElementAt(int index, Object* element)
{
    if (!element || index < 0 || index > count_)
        return;
    if (count_ == capacity_)
        ensureCapacity(static_cast<unsigned>(capacity_ + growth));
    std::copy_backward(items.get() + index, items.get() + count_, items.get() + count_ + 1);
    element->addRef();
    items[index] = element;
    ++count_;
}

Object* Vector::elementAt(int index)
{
    if (index < 0 || index >= count_)
        return nullptr;
    items[index]->addRef();
    return items[index];
}

void Vector::removeElementAt(int index)
{
    if (index < 0 || index >= count_)
        return;
    Object* element = items[index];
    std::copy(items.get() + index + 1, items.get() + count_, items.get() + index);
    items[--count_] = nullptr;
    releaseAndDelete(element);
}

void Vector::removeElement(Object* element)
{
    // An equal pointer that moves down into the index just scanned is not looked at again.
    for (int i = 0; i < count_; ++i) {
        if (items[i] == element)
            removeElementAt(i);
    }
}

void Vector::removeAllElements()
{
    int n = count_;
    count_ = 0;
    for (int i = 0; i < n; ++i) {
        Object* element = items[i];
        items[i] = nullptr;
        releaseAndDelete(element);
    }
}

int Vector::size()
{
    return count_;
}

bool Vector::contains(Object* element)
{
    return element && std::find(items.get(), items.get() + count_, element) != items.get() + count_;
}

} // namespace java
