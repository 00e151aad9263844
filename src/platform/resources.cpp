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
