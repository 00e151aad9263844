#include "materials/pipe_material_merge.h"
#include "framework/state.h"

#include "framework/app_state.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "materials/beam_material.h"
#include "model/bend_geometry.h"
#include "model/model.h"

namespace {

struct MaterialLibraryMode {
    bool on = false;
};

// The material names a row holds: its own (not on beam rows, which name a
// beam material), its bend's and its jacket's.
template <typename F>
void for_each_row_material(LayoutRow& r, F&& f)
{
    if (r.etype != ET_BEAM)
        f(r.material);
    if (!r.element)
        return;
    if (BendGeometry* b = r.element->bend_geometry())
        f(b->material);
    if (JacketGeometry* j = r.element->jacket_geometry())
        f(j->material);
}

constexpr int MAX_MERGE_NUMBER = 999;

}  // namespace

bool& material_library_mode() { return session_part<MaterialLibraryMode>().on; }

PipeMaterialReferenceHooks& pipe_material_reference_hooks() { return session_part<PipeMaterialReferenceHooks>(); }

bool material_name_taken(const std::string& name)
{
    return pipe_material_index(name) != 0 || beam_material_index(name) != 0;
}

void rename_materials_in_rows(OneBased<LayoutRow>& rows, const std::map<std::string, std::string>& renames)
{
    if (renames.empty())
        return;
    for (LayoutRow& r : rows)
        for_each_row_material(r, [&](std::string& name) {
            const auto it = renames.find(name);
            if (it != renames.end())
                name = it->second;
        });
}

void rename_material(const std::string& old_name, const std::string& new_name)
{
    if (old_name.empty() || old_name == new_name)
        return;
    rename_materials_in_rows(model().rows, {{old_name, new_name}});
    for (const auto& hook : pipe_material_reference_hooks().rename)
        if (hook)
            hook(old_name, new_name);
    if (const int i = pipe_material_index(old_name))
        pipe_materials()[i].name = new_name;
    notify_document_changed();
    model_modified() = true;
}

bool material_in_use(const PipeMaterial& m)
{
    if (m.name.empty() || material_library_mode())
        return false;
    bool used = false;
    for (LayoutRow& r : model().rows)
        for_each_row_material(r, [&](std::string& name) { used = used || name == m.name; });
    for (const auto& hook : pipe_material_reference_hooks().in_use)
        used = used || (hook && hook(m.name));
    return used;
}

void check_merge_materials(const OneBased<PipeMaterial>& merged)
{
    if (static_cast<long>(nummats()) + merged.size() > MAXMATS)
        throw_message("Maximum number of materials exceeded");
    for (const PipeMaterial& m : merged)
        if (m.numtemps() == 0)
            throw_message(c_format("Material %s has no temperature properties", m.name.c_str()));
}

std::map<std::string, std::string> merge_materials(OneBased<PipeMaterial>& merged, OneBased<LayoutRow>* rows)
{
    std::map<std::string, std::string> renames;
    OneBased<PipeMaterial>& mats = pipe_materials();
    for (PipeMaterial& m : merged) {
        if (material_name_taken(m.name)) {
            for (int n = 1; n <= MAX_MERGE_NUMBER; ++n) {
                const std::string candidate = c_format("%d", n);
                if (!material_name_taken(candidate)) {
                    renames.emplace(m.name, candidate);
                    m.name = candidate;
                    break;
                }
            }
        }
        mats.push_back(std::move(m));
    }
    merged.clear();
    if (rows)
        rename_materials_in_rows(*rows, renames);
    return renames;
}
