// Names of pipe materials across the model: the rename that reaches every
// reference, the in-use test that guards deletion, and the appending of a
// merged file's materials with the renaming of clashing names.
//
// A pipe material is named by the layout rows (all but beam rows), by the
// own material of a bend, miter or jacketed bend object and by the jacket
// material of a jacketed pipe or jacketed bend object. Kinds that name a
// material in some other way add themselves to pipe_material_reference_hooks.
#pragma once

#include "framework/one_based.h"
#include "materials/pipe_material.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

struct LayoutRow;

// Further references to pipe materials held outside the rows' bend and
// jacket records (each kind that has one registers a pair).
struct PipeMaterialReferenceHooks {
    std::vector<std::function<void(const std::string& old_name, const std::string& new_name)>> rename;
    std::vector<std::function<bool(const std::string& name)>> in_use;
};
PipeMaterialReferenceHooks& pipe_material_reference_hooks();

// True when a pipe-material or a beam-material name is taken.
bool material_name_taken(const std::string& name);

// Every reference to `old_name` becomes `new_name`, then the record named
// old_name; marks the model modified and redraws the layout. An empty old
// name does nothing.
void rename_material(const std::string& old_name, const std::string& new_name);
// False for an empty name and in material-library mode; otherwise true when
// anything refers to the material.
bool material_in_use(const PipeMaterial& material);

// Renames within rows (merged rows or the model's) by a map from the
// original names; each reference is looked up once, by the name it had
// before any rename, so a chain A -> 1, 1 -> 2 does not carry A on to 2.
void rename_materials_in_rows(OneBased<LayoutRow>& rows, const std::map<std::string, std::string>& renames);

// Merge of a model file's materials: check_merge_materials throws a message
// when the records cannot be appended (too many, or a material without
// temperature rows); merge_materials appends them, giving each clashing name
// the first free "1".."999" and renaming the merged rows from their
// original names. `rows` may be null.
void check_merge_materials(const OneBased<PipeMaterial>& merged);
// The renames made (original name -> new name).
std::map<std::string, std::string> merge_materials(OneBased<PipeMaterial>& merged, OneBased<LayoutRow>* rows);
