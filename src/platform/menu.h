// A live menu: a tree made from a MenuTemplate that the program changes while
// it runs (items inserted before Delete, greyed, checked, renamed). After a
// change the owner hands it to the backend again with Backend::set_menu.
#pragma once

#include "platform/resources.h"

#include <string>
#include <vector>

class Menu {
public:
    Menu() = default;
    explicit Menu(const MenuTemplate& t) : name_(t.name), items_(t.items) {}

    const std::string& name() const { return name_; }
    std::vector<MenuItem>& items() { return items_; }
    const std::vector<MenuItem>& items() const { return items_; }
    bool empty() const { return items_.empty(); }

    // The item with the command id anywhere in the tree, or null.
    MenuItem* find(int id);
    const MenuItem* find(int id) const;
    // The popup at a top-level position, or null.
    MenuItem* submenu(int position);

    bool enable(int id, bool enabled);          // false when no such item
    bool check(int id, bool checked);
    bool set_text(int id, const std::string& text);
    bool is_enabled(int id) const;              // false for a missing item
    bool is_checked(int id) const;

    // Inserts an item before the item `before_id` in the popup that holds it.
    bool insert_before(int before_id, const MenuItem& item);
    // Appends an item at the end of the popup that holds `sibling_id`.
    bool append_beside(int sibling_id, const MenuItem& item);
    // Appends an item to the popup at a top-level position.
    bool append_to(int position, const MenuItem& item);
    bool remove(int id);                        // removes every item with the id
    // Removes the separator right after the item; false when there is none.
    bool remove_separator_after(int id);
    bool contains(int id) const { return find(id) != nullptr; }
    // Greys or enables a whole top-level popup by position.
    bool enable_position(int position, bool enabled);

    // Every command id in the tree, in menu order.
    std::vector<int> command_ids() const;

private:
    std::string name_;
    std::vector<MenuItem> items_;
};
