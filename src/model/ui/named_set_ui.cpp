#include "model/ui/named_set_ui.h"

bool confirm_entry_rename(const std::string& key, WindowId owner, const char* what, const std::string& old_name,
                          const std::string& new_name)
{
    if (old_name.empty() || old_name == new_name)
        return true;
    if (!ask_change_value(owner, what, old_name, new_name))
        return false;
    rename_entry(key, old_name, new_name);
    return true;
}
