// What the tables and dialogs of the named sets share: the insert and delete
// rules of a table row, the rename question of an edited name, and the combo
// boxes that offer a set's names. The name checks are check_entry_name
// (model/named_set.h).
#pragma once

#include "framework/app_state.h"
#include "framework/text.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/messages.h"
#include "model/named_set.h"
#include "platform/backend.h"

#include <string>

// A blank record may go in before `row` while input is open and that row
// and the one above it are named (one blank row at a time).
template <typename T>
bool named_row_can_insert(const NamedSet<T>& set, int row)
{
    if (input_locked() || !set.valid(row) || set[row].name.empty())
        return false;
    return row == 1 || !set[row - 1].name.empty();
}

// Puts a blank record before `row`; the model is modified.
template <typename T>
void named_row_insert(NamedSet<T>& set, int row)
{
    set.insert(row, T{});
    model_modified() = true;
}

// Removes the record of `row` unless a place names it; then beeps and says
// "<what> <name> is in use, it cannot be deleted" over `owner`. True when the
// record went (the model is modified).
template <typename T>
bool named_row_delete(NamedSet<T>& set, const std::string& key, int row, WindowId owner, const char* what)
{
    if (!set.valid(row))
        return false;
    const std::string name = set[row].name;
    if (name_in_use(key, name)) {
        beep();
        message_error(owner, c_format("%s %s is in use, it cannot be deleted", what, name.c_str()));
        return false;
    }
    set.erase(row);
    model_modified() = true;
    return true;
}

// Asks whether the entry `old_name` of the set becomes `new_name` ("<what>"
// names the field in the question) and, when the user agrees, renames it
// and every place that names it (rename_entry). False when declined. Nothing
// is asked for an unnamed entry or an unchanged name.
bool confirm_entry_rename(const std::string& key, WindowId owner, const char* what, const std::string& old_name,
                          const std::string& new_name);

// What OK of a set's dialog does with the record `read` of entry `index`
// (past the last: a new entry), which opened showing `old`. A stored entry
// left unchanged drops the undo snapshot and gives false. A stored entry
// renamed asks first (confirm_entry_rename, the field named `what`); when
// declined the name field `name_item` shows the old name again and the
// dialog stays open. Otherwise the entry is stored, or appended with `index`
// set to its number; the model is modified and the answer is true.
template <typename T>
bool store_named_entry(NamedSet<T>& set, int& index, const T& read, const T& old, const std::string& key,
                       WindowId owner, const char* what, int name_item)
{
    const bool stored = set.valid(index);
    if (stored && read == old) {
        discard_undo_snapshot();
        return false;
    }
    if (stored && !confirm_entry_rename(key, owner, what, old.name, read.name)) {
        dialog_set_text(name_item, old.name);
        dialog_throw(name_item, "");
    }
    if (stored)
        set[index] = read;
    else
        index = set.push_back(read);
    model_modified() = true;
    return true;
}

// Fills the combo `item` of the running dialog with the names of a set's
// records in order from 1, after the default entry ("Default") when
// `after_default`; entry k is then record k (or k + 1 after the default).
template <typename T>
void dialog_fill_name_combo(int item, const NamedSet<T>& set, bool after_default)
{
    dialog_list_reset(item);
    if (after_default)
        dialog_list_add(default_entry_text());
    for (const T& record : set)
        dialog_list_add(record.name);
}

// The pipe-load combo of the element dialogs: the names of the model's pipe
// loads, a set the loads layer owns and passes in.
template <typename T>
void dialog_fill_load_combo(int item, const NamedSet<T>& pipe_loads, bool after_default = false)
{
    dialog_fill_name_combo(item, pipe_loads, after_default);
}
