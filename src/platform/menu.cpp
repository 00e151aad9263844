#include "platform/menu.h"

#include <algorithm>

namespace {

MenuItem* find_in(std::vector<MenuItem>& items, int id) {
    for (MenuItem& item : items) {
        if (item.id == id) return &item;
        if (MenuItem* inner = find_in(item.items, id)) return inner;
    }
    return nullptr;
}

// The list that directly holds the item with the id, and the item's position in it.
std::vector<MenuItem>* holder_of(std::vector<MenuItem>& items, int id, size_t& position) {
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].id == id) {
            position = i;
            return &items;
        }
        if (std::vector<MenuItem>* inner = holder_of(items[i].items, id, position)) return inner;
    }
    return nullptr;
}

bool remove_from(std::vector<MenuItem>& items, int id) {
    bool removed = false;
    for (size_t i = 0; i < items.size();) {
        if (items[i].id == id) {
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
            removed = true;
        } else {
            removed = remove_from(items[i].items, id) || removed;
            ++i;
        }
    }
    return removed;
}

void collect_ids(const std::vector<MenuItem>& items, std::vector<int>& ids) {
    for (const MenuItem& item : items) {
        if (item.id != 0) ids.push_back(item.id);
        collect_ids(item.items, ids);
    }
}

}  // namespace

// Id 0 marks separators and unnamed popups, so it never names a command.
MenuItem* Menu::find(int id) {
    if (id == 0) return nullptr;
    return find_in(items_, id);
}

const MenuItem* Menu::find(int id) const {
    return const_cast<Menu*>(this)->find(id);
}

MenuItem* Menu::submenu(int position) {
    if (position < 0 || position >= static_cast<int>(items_.size())) return nullptr;
    MenuItem& item = items_[static_cast<size_t>(position)];
    return item.is_popup() ? &item : nullptr;
}

bool Menu::enable(int id, bool enabled) {
    MenuItem* item = find(id);
    if (!item) return false;
    item->disabled = !enabled;
    return true;
}

bool Menu::check(int id, bool checked) {
    MenuItem* item = find(id);
    if (!item) return false;
    item->checked = checked;
    return true;
}

bool Menu::set_text(int id, const std::string& text) {
    MenuItem* item = find(id);
    if (!item) return false;
    item->text = text;
    return true;
}

bool Menu::is_enabled(int id) const {
    const MenuItem* item = find(id);
    return item && !item->disabled;
}

bool Menu::is_checked(int id) const {
    const MenuItem* item = find(id);
    return item && item->checked;
}

bool Menu::insert_before(int before_id, const MenuItem& item) {
    if (before_id == 0) return false;
    size_t position = 0;
    std::vector<MenuItem>* holder = holder_of(items_, before_id, position);
    if (!holder) return false;
    holder->insert(holder->begin() + static_cast<std::ptrdiff_t>(position), item);
    return true;
}

bool Menu::append_beside(int sibling_id, const MenuItem& item) {
    if (sibling_id == 0) return false;
    size_t position = 0;
    std::vector<MenuItem>* holder = holder_of(items_, sibling_id, position);
    if (!holder) return false;
    holder->push_back(item);
    return true;
}

bool Menu::append_to(int position, const MenuItem& item) {
    MenuItem* popup = submenu(position);
    if (!popup) return false;
    popup->items.push_back(item);
    return true;
}

bool Menu::remove(int id) {
    if (id == 0) return false;
    return remove_from(items_, id);
}

bool Menu::remove_separator_after(int id) {
    if (id == 0) return false;
    size_t position = 0;
    std::vector<MenuItem>* holder = holder_of(items_, id, position);
    if (!holder || position + 1 >= holder->size() || !(*holder)[position + 1].is_separator()) return false;
    holder->erase(holder->begin() + static_cast<std::ptrdiff_t>(position + 1));
    return true;
}

bool Menu::enable_position(int position, bool enabled) {
    if (position < 0 || position >= static_cast<int>(items_.size())) return false;
    items_[static_cast<size_t>(position)].disabled = !enabled;
    return true;
}

std::vector<int> Menu::command_ids() const {
    std::vector<int> ids;
    collect_ids(items_, ids);
    return ids;
}
