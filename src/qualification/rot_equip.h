// The rotating-equipment report of results mode: the load cases it covers,
// the list of every pump, compressor and turbine, and the evaluation of each
// for each listed load case, made once when results are opened and only
// read afterwards. A session part, dropped when results mode ends; the
// model's records are never changed by it.
#pragma once

#include "qualification/compressor_evaluation.h"
#include "qualification/pump_evaluation.h"

#include <functional>
#include <string>
#include <vector>

enum RotEquipKind : int { ROT_PUMP = 0, ROT_COMPRESSOR = 1, ROT_TURBINE = 2 };

struct RotEquipEntry {
    int kind = ROT_PUMP;
    int index = 0;            // 1-based into pumps(), compressors() or turbines()
    // The message that ended this machine's evaluation (a shaft axis that
    // gives no axes, a node the model no longer has); it is then the
    // machine's whole report.
    std::string fault;
};

struct RotEquipReport {
    bool ready = false;
    std::vector<int> load_cases;             // entry j (1-based) is load_cases[j - 1]
    int current_case = 0;                    // 1-based, 0 without a report
    std::vector<RotEquipEntry> equipment;    // entry i (1-based) is equipment[i - 1]
    int current = 0;                         // 1-based
    OneBased<PumpEvaluation> pumps;
    OneBased<CompressorEvaluation> compressors;
    OneBased<CompressorEvaluation> turbines;

    int case_count() const { return static_cast<int>(load_cases.size()); }
    int equipment_count() const { return static_cast<int>(equipment.size()); }
    // The load-case code of entry j; 0 outside 1..case_count().
    int case_code(int j) const { return j >= 1 && j <= case_count() ? load_cases[static_cast<std::size_t>(j - 1)] : 0; }
    const RotEquipEntry* entry(int i) const
    {
        return i >= 1 && i <= equipment_count() ? &equipment[static_cast<std::size_t>(i - 1)] : nullptr;
    }
    // The entry of a machine by its kind and index; null when not listed.
    const RotEquipEntry* entry_of(int kind, int index) const
    {
        for (const RotEquipEntry& e : equipment)
            if (e.kind == kind && e.index == index)
                return &e;
        return nullptr;
    }
};

RotEquipReport& rot_equip_report();
void reset_rot_equip_report();

// What the report needs of the results: whether a load-case code is present,
// and making one current so that the anchors hold its support loads.
struct RotEquipResults {
    std::function<bool(int code)> present;
    std::function<void(int code)> make_current;
};

// The load cases of the report: the present cold-spring cases (15, 16, 17,
// 110 to 116) when there is any, else the present operating cases (8, 9, 10,
// 100 to 106), in that order; at most ROT_LOAD_CASES.
std::vector<int> rot_report_load_cases(const std::function<bool(int code)>& present);

// Builds the report: nothing without rotating equipment or without a listed
// load case. A machine whose evaluation throws keeps the message as its
// report; the others are evaluated.
void build_rot_equip_report(const RotEquipResults& results);

// The equipment entry's name and kind word ("Pump", "Compressor", "Turbine").
std::string rot_equip_kind_name(int kind);
const std::string& rot_equip_description(const RotEquipEntry& entry);
