// The list link at the start of every scene item (objects, cameras, lights,
// materials): a name, an id and the neighbours in the item's list. Lists are
// doubly linked without wrap-around. Appending through a node walks to the
// last node; the owners of long lists append through a ListTail instead.
#pragma once

#include <cstdint>
#include <string>

template <class Item>
struct SceneNode {
    std::string name;      // meshes carry the file's name; other items none
    std::int32_t id = -1;  // -1 until set
    Item* next = nullptr;
    Item* previous = nullptr;

    // Links item after the last node of the list that this node belongs to.
    void append(Item* item) {
        Item* last = static_cast<Item*>(this);
        while (last->next) last = last->next;
        last->next = item;
        item->previous = last;
        item->next = nullptr;
    }
};

// The end of one list, remembered so that appends take constant time however
// long the list grows. The tail is only a starting point: an append still
// walks on from it to the real last node, and starts over from the head when
// the list has a different head than the one the tail was taken from.
template <class Item>
class ListTail {
public:
    // Links item at the end of the list that starts at head; an empty list
    // gets it as its head.
    void append(Item*& head, Item* item) {
        item->next = nullptr;
        if (!head) {
            head = item;
            item->previous = nullptr;
        } else {
            Item* last = (head == head_ && last_) ? last_ : head;
            while (last->next) last = last->next;
            last->next = item;
            item->previous = last;
        }
        head_ = head;
        last_ = item;
    }

private:
    const Item* head_ = nullptr;
    Item* last_ = nullptr;
};

// Deletes every item of a list, starting at its first node.
template <class Item>
void deleteList(Item* first) {
    while (first) {
        Item* next = first->next;
        delete first;
        first = next;
    }
}
