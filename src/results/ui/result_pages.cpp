#include "results/ui/result_pages.h"

#include "framework/state.h"
#include "framework/strings.h"
#include "framework/ui/help.h"

namespace {

// The pages of one table each, by their place in ResultPageId.
struct FixedPage {
    int id;
    const char* name;
    int result;
};
constexpr FixedPage FIXED_PAGES[] = {
    {PAGE_SORTED_STRESSES, "Sorted stresses", RESULT_SORTED_STRESSES},
    {PAGE_CODE_COMPLIANCE, "Code compliance", RESULT_CODE_COMPLIANCE},
    {PAGE_BRANCH_CONNECTION, "Branch connection stresses", RESULT_BRANCH_CONNECTION},
    {PAGE_HANGER_REPORT, "Hanger report", RESULT_HANGER_REPORT},
    {PAGE_FLANGE_REPORT, "Flange report", RESULT_FLANGE_REPORT},
    {PAGE_PUMP_REPORT, "Pump report", RESULT_ROT_EQUIP_REPORT},
    {PAGE_COMPRESSOR_REPORT, "Compressor and turbine report", RESULT_ROT_EQUIP_REPORT},
    {PAGE_SOIL_RESTRAINTS, "Soil restraints", RESULT_SOIL_RESTRAINTS},
    {PAGE_LIMIT_STOP_STATUS, "Limit stop status", RESULT_SUPPORT_LOADS},
    {PAGE_PIPE_FORCES, "Pipe forces", RESULT_ELEMENT_FORCES},
    {PAGE_BEAM_FORCES, "Beam forces", RESULT_ELEMENT_FORCES},
    {PAGE_FRP_FORCES, "FRP forces", RESULT_ELEMENT_FORCES},
    {PAGE_OTHER_FORCES, "Other forces", RESULT_ELEMENT_FORCES},
    {PAGE_FRP_STRESSES, "FRP stresses", RESULT_FRP_STRESSES},
    {PAGE_SORTED_FRP_STRESSES, "Sorted FRP stresses", RESULT_SORTED_FRP_STRESSES},
    {PAGE_DISPLACEMENTS, "Displacements", RESULT_DISPLACEMENTS},
    {PAGE_DISPLACEMENT_EXTREMES, "Displacement extremes", RESULT_DISPLACEMENTS},
    {PAGE_FREQUENCIES, "Frequencies", RESULT_FREQUENCIES},
    {PAGE_MODE_SHAPES, "Mode shapes", RESULT_MODE_SHAPES},
    {PAGE_DYNAMIC_SUSCEPTIBILITY, "Dynamic susceptibility", RESULT_DYNAMIC_SUSCEPTIBILITY},
    {PAGE_DYNAMIC_STRESSES, "Dynamic stresses", RESULT_DYNAMIC_STRESSES},
    {PAGE_ACCELERATIONS, "Accelerations", RESULT_ACCELERATIONS},
    {PAGE_SUPPORT_LOADS_HISTORY, "Time history of support loads", RESULT_TIME_HISTORY},
    {PAGE_ELEMENT_FORCES_HISTORY, "Time history of element forces", RESULT_TIME_HISTORY},
    {PAGE_DISPLACEMENTS_HISTORY, "Time history of displacements", RESULT_TIME_HISTORY},
};

// "Anchors", "Limit stops" ...: the support kind's name without its mnemonic.
std::string support_kind_plural(int kind)
{
    std::string name = support_kind_name(kind);
    std::erase(name, '&');
    return name;
}

struct ResultPageTables {
    std::array<std::function<TableWindow*()>, RESULT_PAGES> tables;
};

}  // namespace

ResultPage result_page(int page)
{
    if (page >= PAGE_SUPPORT_SUMMARY && page < PAGE_SUPPORT_SUMMARY + SUPPORT_KINDS)
        return {"Support load summary for " + lower_case(support_kind_plural(page - PAGE_SUPPORT_SUMMARY)),
                RESULT_SUPPORT_SUMMARY};
    if (page >= PAGE_SUPPORT_LOADS && page < PAGE_SUPPORT_LOADS + SUPPORT_KINDS)
        return {"Loads on " + support_kind_plural(page - PAGE_SUPPORT_LOADS), RESULT_SUPPORT_LOADS};
    for (const FixedPage& p : FIXED_PAGES)
        if (p.id == page)
            return {p.name, p.result};
    return {};
}

std::array<std::function<TableWindow*()>, RESULT_PAGES>& result_page_tables()
{
    return session_part<ResultPageTables>().tables;
}

TableWindow* result_page_table(int page)
{
    if (page < 0 || page >= RESULT_PAGES)
        return nullptr;
    const auto& table = result_page_tables()[static_cast<std::size_t>(page)];
    return table ? table() : nullptr;
}

void open_result_page(int page, WindowId owner)
{
    const std::string name = result_page(page).name;
    help_page(name.empty() ? std::string("results") : name, owner, std::string("results"));
}
