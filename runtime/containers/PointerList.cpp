#include "runtime/containers/PointerList.h"

#include <cstdlib>

void PointerList::clear()
{
    for (Node* node = head; node != nullptr;) {
        Node* next = node->next;
        delete node;
        node = next;
    }
    head = tail = nullptr;
    count = 0;
}

void PointerList::clearAndFree()
{
    for (Node* node = head; node != nullptr; node = node->next)
        std::free(node->value);
    clear();
}

PointerList::Node* PointerList::pushFront(void* value)
{
    Node* node = new Node{head, nullptr, value};
    if (head != nullptr)
        head->prev = node;
    else
        tail = node;
    head = node;
    ++count;
    return node;
}

void PointerList::remove(void* value)
{
    Node* node = head;
    while (node != nullptr && node->value != value)
        node = node->next;
    if (node == nullptr)
        return;
    (node->prev != nullptr ? node->prev->next : head) = node->next;
    (node->next != nullptr ? node->next->prev : tail) = node->prev;
    delete node;
    --count;
}

bool PointerList::contains(void* value) const
{
    for (Node* node = head; node != nullptr; node = node->next)
        if (node->value == value)
            return true;
    return false;
}
