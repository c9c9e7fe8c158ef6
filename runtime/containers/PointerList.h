// A doubly linked list of untyped pointers; the input manager keeps its registered listeners in one,
// newest first. Values are not owned, except by clearAndFree (which the destructor runs: an owner whose
// values are not C-heap blocks calls clear() before the list goes).
#pragma once

class PointerList {
public:
    struct Node {
        Node* next; // towards the tail
        Node* prev; // towards the head
        void* value;
    };

    PointerList() = default;
    PointerList(const PointerList&) = delete;
    PointerList& operator=(const PointerList&) = delete;
    virtual ~PointerList() { clearAndFree(); }

    void clear();
    // Frees every node and, with the C heap, the value it holds.
    void clearAndFree();
    Node* pushFront(void* value);
    // Unlinks the first node (from the head) holding `value`; the value itself stays.
    void remove(void* value);
    bool contains(void* value) const;

    Node* getHead() const { return head; }
    Node* getTail() const { return tail; }
    int size() const { return count; }

private:
    Node* head = nullptr;
    Node* tail = nullptr;
    int count = 0;
};
