// Names of pipe materials across the model: the rename that reaches every
// reference, the in-use test that guards deletion, and the appending of a
// merged file's materials with the renaming of clashing names. All go through
// the name registry (model/named_set.h), where the places that name a pipe
// material are registered (install_pipe_materials).
#pragma once

#include "framework/one_based.h"
#include "materials/pipe_material.h"

#include <map>
#include <string>

struct LayoutRow;

// True when a pipe-material or a beam-material name is taken.
bool material_name_taken(const std::string& name);

// Every reference to `old_name` becomes `new_name`, then the record named
// old_name; marks the model modified and notifies the change. An empty old
// name does nothing.
void rename_material(const std::string& old_name, const std::string& new_name);
// False for an empty name and in material-library mode; otherwise true when
// anything refers to the material.
bool material_in_use(const PipeMaterial& material);

// Merge of a model file's materials: check_merge_materials throws a message
// when the records cannot be appended (too many, a material without
// temperature rows, or a clashing name that no free "1".."999" is left for);
// merge_materials appends them, giving each clashing name
// the first free "1".."999" and renaming the merged rows from their
// original names. `rows` may be null.
void check_merge_materials(const OneBased<PipeMaterial>& merged);
// The renames made (original name -> new name).
std::map<std::string, std::string> merge_materials(OneBased<PipeMaterial>& merged, OneBased<LayoutRow>* rows);
