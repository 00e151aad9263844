#include "results/ui/results_hooks.h"

#include "framework/state.h"
#include "model/row_kinds.h"
#include "results/ui/results_ui_state.h"

namespace {

constexpr const char* RESULT_NAMES[RESULT_KINDS] = {
    "&Sorted stresses", "&Code compliance", "&Branch conn stresses", "&Hanger report",
    "&Flange report",   "&Rot. equip report", "&Soil restraints",    "&Support load summary",
    "&Support loads",   "&Element forces",   "&FRP stresses",        "&Sorted FRP stresses",
    "&Displacements",   "&Frequencies",      "&Mode shapes",         "&Dynamic susceptibility",
    "&Dynamic stresses", "&Accelerations",   "&Time history"};

constexpr int SUPPORT_DTYPES[SUPPORT_KINDS] = {DT_ANCHOR,    DT_GUIDE,           DT_HANGER,
                                               DT_LIMIT_STOP, DT_NOZZLE,         DT_RESTRAINT,
                                               DT_SKEWED_RESTRAINT, DT_SNUBBER,  DT_GENERIC_SUPPORT};
constexpr const char* SUPPORT_NAMES[SUPPORT_KINDS] = {"&Anchors", "&Guides", "&Hangers", "&Limit stops", "&Nozzles",
                                                      "&Restraints", "&Skewed restraints", "&Snubbers",
                                                      "&Generic supports"};

}  // namespace

const char* result_kind_name(int kind)
{
    return kind >= 0 && kind < RESULT_KINDS ? RESULT_NAMES[kind] : "";
}

int support_kind_dtype(int kind)
{
    return kind >= 0 && kind < SUPPORT_KINDS ? SUPPORT_DTYPES[kind] : DT_NONE;
}

int support_kind_of(int dtype)
{
    for (int k = 0; k < SUPPORT_KINDS; ++k)
        if (SUPPORT_DTYPES[k] == dtype)
            return k;
    return -1;
}

const char* support_kind_name(int kind)
{
    return kind >= 0 && kind < SUPPORT_KINDS ? SUPPORT_NAMES[kind] : "";
}

ResultsHooks& results_hooks()
{
    return session_part<ResultsHooks>();
}

ResultsUiState& results_ui()
{
    return session_part<ResultsUiState>();
}

int current_result()
{
    return results_ui().current_result;
}

void set_current_result(int kind)
{
    results_ui().current_result = kind;
    follow_current_result();
}
