#include "qualification/rot_equip.h"

#include "framework/errors.h"
#include "framework/state.h"

#include <array>

namespace {

// "Cold spring (W+P1+T1)" .. "Cold spring (W+P10+T10)".
constexpr std::array<int, 10> COLD_SPRING_CASES = {15, 16, 17, 110, 111, 112, 113, 114, 115, 116};
// "Operating (W+P1+T1)" .. "Operating (W+P10+T10)".
constexpr std::array<int, 10> OPERATING_CASES = {8, 9, 10, 100, 101, 102, 103, 104, 105, 106};

// Runs one machine's step; a thrown message becomes its report.
template <typename F>
void guarded(RotEquipEntry& entry, F&& step)
{
    if (!entry.fault.empty())
        return;
    try {
        step();
    } catch (const MessageText& m) {
        entry.fault = m.text.empty() ? std::string("Evaluation failed") : m.text;
    }
}

}  // namespace

RotEquipReport& rot_equip_report() { return session_part<RotEquipReport>(); }

void reset_rot_equip_report() { rot_equip_report() = RotEquipReport{}; }

std::vector<int> rot_report_load_cases(const std::function<bool(int)>& present)
{
    std::vector<int> list;
    for (int code : COLD_SPRING_CASES)
        if (present(code))
            list.push_back(code);
    if (list.empty())
        for (int code : OPERATING_CASES)
            if (present(code))
                list.push_back(code);
    if (list.size() > static_cast<std::size_t>(ROT_LOAD_CASES))
        list.resize(static_cast<std::size_t>(ROT_LOAD_CASES));
    return list;
}

void build_rot_equip_report(const RotEquipResults& results)
{
    reset_rot_equip_report();
    RotEquipReport& r = rot_equip_report();
    if (pumps().empty() && compressors().empty() && turbines().empty())
        return;
    if (!results.present)
        return;
    r.load_cases = rot_report_load_cases(results.present);
    if (r.load_cases.empty())
        return;
    r.ready = true;

    r.pumps.resize(pumps().size());
    r.compressors.resize(compressors().size());
    r.turbines.resize(turbines().size());
    for (int i = 1; i <= pumps().size(); ++i) {
        r.equipment.push_back({ROT_PUMP, i, {}});
        guarded(r.equipment.back(), [&] { prepare_pump(pumps()[i], r.pumps[i]); });
    }
    for (int i = 1; i <= compressors().size(); ++i) {
        r.equipment.push_back({ROT_COMPRESSOR, i, {}});
        guarded(r.equipment.back(), [&] { prepare_compressor(compressors()[i], r.compressors[i], MACHINE_COMPRESSOR); });
    }
    for (int i = 1; i <= turbines().size(); ++i) {
        r.equipment.push_back({ROT_TURBINE, i, {}});
        guarded(r.equipment.back(), [&] { prepare_compressor(turbines()[i], r.turbines[i], MACHINE_TURBINE); });
    }

    for (int j = 1; j <= r.case_count(); ++j) {
        if (results.make_current)
            results.make_current(r.case_code(j));
        const int slot = j - 1;
        for (RotEquipEntry& e : r.equipment) {
            switch (e.kind) {
            case ROT_PUMP:
                guarded(e, [&] { evaluate_pump_loads(pumps()[e.index], r.pumps[e.index], slot); });
                break;
            case ROT_COMPRESSOR:
                guarded(e, [&] {
                    evaluate_compressor_loads(compressors()[e.index], r.compressors[e.index], slot, MACHINE_COMPRESSOR);
                });
                break;
            default:
                guarded(e, [&] {
                    evaluate_compressor_loads(turbines()[e.index], r.turbines[e.index], slot, MACHINE_TURBINE);
                });
                break;
            }
        }
    }
    r.current_case = 1;
    r.current = 1;
}

std::string rot_equip_kind_name(int kind)
{
    return kind == ROT_PUMP ? "Pump" : kind == ROT_COMPRESSOR ? "Compressor" : "Turbine";
}

const std::string& rot_equip_description(const RotEquipEntry& entry)
{
    static const std::string none;
    switch (entry.kind) {
    case ROT_PUMP: return pumps().valid(entry.index) ? pumps()[entry.index].name : none;
    case ROT_COMPRESSOR: return compressors().valid(entry.index) ? compressors()[entry.index].name : none;
    default: return turbines().valid(entry.index) ? turbines()[entry.index].name : none;
    }
}
