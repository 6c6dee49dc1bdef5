// The list link at the start of every scene item (objects, cameras, lights,
// materials): a name, an id and the neighbours in the item's list. Lists are
// doubly linked without wrap-around; appending walks to the last node.
#pragma once

#include <cstdint>
#include <string>

template <class Item>
struct SceneNode {
    std::string name;       // meshes carry the file's name; other items none
    std::int32_t id = -1;   // -1 until set
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

// Deletes every item of a list, starting at its first node.
template <class Item>
void deleteList(Item* first) {
    while (first) {
        Item* next = first->next;
        delete first;
        first = next;
    }
}
