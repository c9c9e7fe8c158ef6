// The framework's growable array of small values (pointers, or integers for integer lists). Three
// variants differ only in what happens to elements as they enter and leave: the plain DynamicArray
// owns nothing, RefDynamicArray holds one count on each RefCounted element, OwningDynamicArray may
// delete its elements when it is destroyed.
//
// Every slot at or beyond the element count holds a zero value at all times: storage is allocated
// zeroed and every removal clears what it vacates, so setSize can expose new slots as null.
#pragma once

#include "runtime/Random.h"
#include "runtime/RefCounted.h"

#include <algorithm>
#include <memory>
#include <string>

// Not a GameException: the containers have their own, and it carries only its message.
class DynamicArrayException {
public:
    explicit DynamicArrayException(const char* message) : message(message) {}
    const std::string& getMessage() const { return message; }

private:
    std::string message;
};

namespace dynamic_array_messages {
inline constexpr const char* outOfBounds = "ArrayIndexOutOfBoundsException\n";
inline constexpr const char* noSuchElement = "NoSuchElementException\n";
} // namespace dynamic_array_messages

template <typename T>
class DynamicArray : public RefCounted {
public:
    // A capacity increment of 0 doubles the capacity on every growth.
    DynamicArray(unsigned capacity, unsigned capacityIncrement)
        : capacity(capacity), capacityIncrement(capacityIncrement)
    {
        allocate();
    }

    // A plain copy of the values: takes no counts on RefCounted elements.
    DynamicArray(const DynamicArray& other)
        : RefCounted(), capacity(other.capacity), capacityIncrement(other.capacityIncrement)
    {
        allocate();
        std::copy(other.elementData.get(), other.elementData.get() + other.elementCount, elementData.get());
        elementCount = other.elementCount;
    }
    DynamicArray& operator=(const DynamicArray&) = delete;

    ~DynamicArray() override { DynamicArray::removeRange(0, elementCount); }

    T elementAt(unsigned index) const
    {
        checkIndex(index);
        return elementData[index];
    }

    T lastElement() const
    {
        checkNotEmpty();
        return elementData[elementCount - 1];
    }

    unsigned size() const { return elementCount; }
    unsigned getCapacity() const { return capacity; }
    unsigned getCapacityIncrement() const { return capacityIncrement; }

    virtual bool equals(const DynamicArray& other) const
    {
        return elementCount == other.elementCount &&
               std::equal(elementData.get(), elementData.get() + elementCount, other.elementData.get());
    }

    // index == size() appends.
    virtual void insertElementAt(unsigned index, T e)
    {
        if (index > elementCount)
            throw DynamicArrayException(dynamic_array_messages::outOfBounds);
        growForOneMore();
        std::move_backward(elementData.get() + index, elementData.get() + elementCount,
                           elementData.get() + elementCount + 1);
        elementData[index] = e;
        ++elementCount;
    }

    virtual void addElement(T e)
    {
        growForOneMore();
        elementData[elementCount++] = e;
    }

    // Removes the first occurrence only.
    virtual bool removeElement(T e)
    {
        int i = indexOf(e);
        if (i == -1)
            return false;
        removeElementAt(static_cast<unsigned>(i));
        return true;
    }

    virtual T removeElementAt(unsigned index)
    {
        checkIndex(index);
        T e = elementData[index];
        std::move(elementData.get() + index + 1, elementData.get() + elementCount, elementData.get() + index);
        --elementCount;
        elementData[elementCount] = T();
        return e;
    }

    virtual T removeLast()
    {
        checkNotEmpty();
        return removeElementAt(elementCount - 1);
    }

    virtual T removeFirst()
    {
        checkNotEmpty();
        return removeElementAt(0);
    }

    virtual void removeAll(const DynamicArray& other)
    {
        for (unsigned i = 0; i < other.elementCount; ++i)
            removeElement(other.elementAt(i));
    }

    // Walks `other` by index and keeps in this array, at the same index, only what `other` contains;
    // an index this array does not have throws.
    virtual void retainAll(const DynamicArray& other)
    {
        for (int i = 0; i < static_cast<int>(other.elementCount); ++i) {
            removeElement(other.elementAt(static_cast<unsigned>(i)));
            if (!other.contains(elementAt(static_cast<unsigned>(i)))) {
                removeElementAt(static_cast<unsigned>(i));
                --i;
            }
        }
    }

    virtual void removeAllElements() { removeRange(0, elementCount); }

    // An empty range (from >= to) never throws, even outside the array.
    virtual void removeRange(unsigned from, unsigned to)
    {
        if (from >= to)
            return;
        checkRange(from, to);
        std::move(elementData.get() + to, elementData.get() + elementCount, elementData.get() + from);
        unsigned removed = to - from;
        std::fill(elementData.get() + elementCount - removed, elementData.get() + elementCount, T());
        elementCount -= removed;
    }

    // Growing exposes null elements; shrinking removes (and releases, in a RefDynamicArray) the tail.
    virtual void setSize(unsigned n)
    {
        if (n < elementCount) {
            removeRange(n, elementCount);
        } else if (n > elementCount) {
            ensureCapacity(n);
            elementCount = n;
        }
    }

    // Returns the previous element.
    virtual T set(unsigned index, T e)
    {
        checkIndex(index);
        T previous = elementData[index];
        elementData[index] = e;
        return previous;
    }

    virtual void swap(unsigned i, unsigned j)
    {
        checkIndex(i);
        checkIndex(j);
        std::swap(elementData[i], elementData[j]);
    }

    virtual int indexOf(T e) const { return indexOf(e, 0); }

    virtual int indexOf(T e, unsigned from) const
    {
        for (unsigned i = from; i < elementCount; ++i)
            if (elementData[i] == e)
                return static_cast<int>(i);
        return -1;
    }

    virtual bool contains(T e) const { return indexOf(e, 0) != -1; }

    virtual bool containsAll(const DynamicArray& other) const
    {
        for (unsigned i = 0; i < other.elementCount; ++i)
            if (!contains(other.elementData[i]))
                return false;
        return true;
    }

    virtual void ensureCapacity(unsigned minimum)
    {
        if (minimum <= capacity)
            return;
        unsigned grown = capacity + (capacityIncrement == 0 ? capacity : capacityIncrement);
        unsigned newCapacity = grown > minimum ? grown : minimum;
        std::unique_ptr<T[]> storage(new T[newCapacity]());
        std::copy(elementData.get(), elementData.get() + capacity, storage.get());
        elementData = std::move(storage);
        capacity = newCapacity;
    }

    // Appends a permutation of this array to `target`, drawn from `random`; this array is unchanged.
    virtual void shuffleInto(Random& random, DynamicArray& target) const
    {
        DynamicArray copy(*this);
        target.ensureCapacity(elementCount);
        while (copy.elementCount != 0) {
            unsigned k = static_cast<unsigned>(random.nextInt(static_cast<int>(copy.elementCount)));
            target.addElement(copy.removeElementAt(k));
        }
    }

protected:
    void allocate() { elementData.reset(new T[capacity]()); }

    void growForOneMore()
    {
        if (elementCount >= capacity)
            ensureCapacity(capacity + 1);
    }

    void checkIndex(unsigned index) const
    {
        if (index >= elementCount)
            throw DynamicArrayException(dynamic_array_messages::outOfBounds);
    }

    void checkRange(unsigned from, unsigned to) const
    {
        if (from >= elementCount || to > elementCount)
            throw DynamicArrayException(dynamic_array_messages::outOfBounds);
    }

    void checkNotEmpty() const
    {
        if (elementCount == 0)
            throw DynamicArrayException(dynamic_array_messages::noSuchElement);
    }

    unsigned capacity;
    unsigned capacityIncrement;
    unsigned elementCount = 0;
    std::unique_ptr<T[]> elementData;
};

// Elements are RefCounted objects; the array holds one count on each non-null element. A removal
// hands the element back only when it survived its release (null when the array was its last holder).
template <typename T>
class RefDynamicArray : public DynamicArray<T*> {
    using Base = DynamicArray<T*>;

public:
    RefDynamicArray(unsigned capacity, unsigned capacityIncrement) : Base(capacity, capacityIncrement) {}
    ~RefDynamicArray() override { RefDynamicArray::removeRange(0, this->elementCount); }

    void insertElementAt(unsigned index, T* e) override
    {
        Base::insertElementAt(index, e);
        if (e)
            e->addRef();
    }

    void addElement(T* e) override
    {
        Base::addElement(e);
        if (e)
            e->addRef();
    }

    T* removeElementAt(unsigned index) override { return survivor(Base::removeElementAt(index)); }

    void removeRange(unsigned from, unsigned to) override
    {
        if (from >= to)
            return;
        this->checkRange(from, to);
        for (unsigned i = from; i < to; ++i) {
            if (T* e = this->elementData[i]) {
                this->elementData[i] = nullptr;
                e->release();
            }
        }
        Base::removeRange(from, to);
    }

    T* set(unsigned index, T* e) override
    {
        T* previous = Base::set(index, e);
        if (e)
            e->addRef();
        return survivor(previous);
    }

private:
    static T* survivor(T* e)
    {
        if (e && e->release() == 0)
            return nullptr;
        return e;
    }
};

// The array may own its elements: when `ownsElements` is set at destruction, deleteAll disposes of
// them from the last to the first. `Dispose` says how one element is destroyed (a C-heap record
// passes a deleter that calls free).
template <typename T, typename Dispose = std::default_delete<T>>
class OwningDynamicArray : public DynamicArray<T*> {
    using Base = DynamicArray<T*>;

public:
    OwningDynamicArray(unsigned capacity, unsigned capacityIncrement, bool ownsElements)
        : Base(capacity, capacityIncrement), owns(ownsElements)
    {
    }
    ~OwningDynamicArray() override
    {
        if (owns)
            deleteAll();
    }

    virtual void deleteAll()
    {
        while (this->elementCount != 0) {
            if (T* e = this->removeLast())
                Dispose()(e);
        }
    }

    virtual void setOwnsElements(bool flag) { owns = flag; }
    virtual bool ownsElements() const { return owns; }

private:
    bool owns;
};
