#include "platform/resources.h"

const ControlSpec* DialogTemplate::find(int id) const {
    for (const ControlSpec& c : controls)
        if (c.id == id) return &c;
    return nullptr;
}

int AcceleratorTable::command_for(int key, unsigned mods) const {
    for (const Accelerator& a : entries)
        if (a.key == key && a.mods == mods) return a.id;
    return 0;
}

ControlSpec control(int id, ControlKind kind, std::string text, int row, int col, int span,
                    unsigned flags, int limit, int rows) {
    ControlSpec c;
    c.id = id;
    c.kind = kind;
    c.text = std::move(text);
    c.row = row;
    c.col = col;
    c.span = span;
    c.flags = flags;
    c.limit = limit;
    c.rows = rows;
    return c;
}

ControlSpec unit_label_control(int id, int row, int col, int quantity) {
    ControlSpec c = control(id, ControlKind::Unit, "", row, col);
    c.quantity = quantity;
    return c;
}
