#include "materials/pipe_material_merge.h"

#include "framework/state.h"
#include "model/model.h"

namespace {

struct MaterialLibraryMode {
    bool on = false;
};

}  // namespace

bool& material_library_mode() { return session_part<MaterialLibraryMode>().on; }

bool material_name_taken(const std::string& name) { return entry_name_taken(PIPE_MATERIALS, name); }

void rename_material(const std::string& old_name, const std::string& new_name)
{
    rename_entry(PIPE_MATERIALS, old_name, new_name);
}

bool material_in_use(const PipeMaterial& m) { return name_in_use(PIPE_MATERIALS, m.name); }

void check_merge_materials(const OneBased<PipeMaterial>& merged)
{
    check_merge_named_set(pipe_material_rules(), merged);
}

std::map<std::string, std::string> merge_materials(OneBased<PipeMaterial>& merged, OneBased<LayoutRow>* rows)
{
    ModelMerge merge;
    merge.rows = rows;
    return merge_named_set(pipe_material_rules(), merged, merge);
}
