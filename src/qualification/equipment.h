// The rotating equipment and the allowable nozzle loads of a model: pumps,
// compressors, turbines and allowable loads at nodes. They are model data,
// written with the model file and brought by batch files; their nozzle-load
// evaluation reads them in results mode.
//
// Model-file sections (count, then the records; little-endian):
//   pumps        81 bytes a record (57 before version 701): description[16],
//                i32 suction node, i32 suction location, i32 discharge node,
//                i32 discharge location, f32 shaft axis X, Y, Z, f32 centre
//                X, Y, Z (inch), u8 vertical inline, then from 701 on i32
//                kind, i32 ANSI/HI type, i32 size, i32 material, i32
//                mounting, f32 temperature (degF)
//   compressors  44 bytes a record: description[16], i32 inlet, exhaust,
//   turbines     extraction 1, extraction 2 nodes, f32 shaft axis X, Y, Z
//   allowables   28 bytes a record: i32 node, f32 P/FX, VL/FY, VC/FZ (lb),
//                MT/MX, MC/MY, ML/MZ (in-lb)
// A description fills its 16 bytes; a shorter one is padded with NULs. Node
// numbers are node texts' numbers (0: none); a node need not exist.
#pragma once

#include "framework/one_based.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

inline constexpr std::size_t EQUIPMENT_DESCRIPTION_LENGTH = 16;
// Records of one kind that a model may hold.
inline constexpr int32_t MAX_EQUIPMENT_RECORDS = 9999;
// Pump records hold the standard and the ANSI/HI fields from this version on.
inline constexpr int32_t PUMP_STANDARD_VERSION = 701;

enum NozzleLocation : int32_t { LOCATION_TOP = 0, LOCATION_SIDE = 1, LOCATION_END = 2 };

// The standard a pump is checked against; 0 (older files) is taken as 1.
enum PumpKind : int32_t {
    PUMP_KIND_UNSET = 0,
    PUMP_HORIZONTAL_API610 = 1,
    PUMP_VERTICAL_INLINE_API610 = 2,
    PUMP_ANSI_HI = 3,
};

// The API 610 kind of a pump by its vertical-inline flag: what every path
// that makes an API 610 pump (the pump dialog, the batch file) stores.
inline int32_t api610_pump_kind(uint8_t vertical)
{
    return vertical ? PUMP_VERTICAL_INLINE_API610 : PUMP_HORIZONTAL_API610;
}

struct PumpRecord {
    std::string name;                       // description
    int32_t suction_node = 0;
    int32_t suction_location = LOCATION_TOP;
    int32_t discharge_node = 0;
    int32_t discharge_location = LOCATION_TOP;
    std::array<float, 3> shaft_axis{};      // global axes, any length
    std::array<float, 3> centre{};          // inch
    uint8_t vertical = 0;                   // vertical inline pump (API 610)
    int32_t kind = PUMP_KIND_UNSET;
    int32_t hi_type = 0;                    // ANSI/HI pump type 0..5
    int32_t hi_size = 0;                    // in the size list of the type
    int32_t hi_mounting = 0;                // baseplate or bolt size
    int32_t hi_material = 0;                // 0..17
    float temperature = 0.0f;               // degF
    bool operator==(const PumpRecord&) const = default;
};

// A compressor or a turbine.
struct CompressorRecord {
    std::string name;                       // description
    int32_t inlet = 0;
    int32_t exhaust = 0;
    int32_t extraction1 = 0;
    int32_t extraction2 = 0;
    std::array<float, 3> shaft_axis{};
    bool operator==(const CompressorRecord&) const = default;
};

// Indices of AllowableLoad::values.
enum AllowableValue : int { ALLOW_FX, ALLOW_FY, ALLOW_FZ, ALLOW_MX, ALLOW_MY, ALLOW_MZ, ALLOWABLE_VALUES };

// The allowable loads at a node: P/FX, VL/FY, VC/FZ (lb), MT/MX, MC/MY,
// ML/MZ (in-lb); 0 means that no limit is given.
struct AllowableLoad {
    int32_t node = 0;
    std::array<float, ALLOWABLE_VALUES> values{};
    bool operator==(const AllowableLoad&) const = default;
};

struct EquipmentData {
    OneBased<PumpRecord> pumps;
    OneBased<CompressorRecord> compressors;
    OneBased<CompressorRecord> turbines;
    OneBased<AllowableLoad> allowables;
};

// The equipment of the current model.
EquipmentData& equipment();
inline OneBased<PumpRecord>& pumps() { return equipment().pumps; }
inline OneBased<CompressorRecord>& compressors() { return equipment().compressors; }
inline OneBased<CompressorRecord>& turbines() { return equipment().turbines; }
inline OneBased<AllowableLoad>& allowables() { return equipment().allowables; }

// What is wrong with a record a file brings (a value that is not a number,
// a location, kind or list index out of range, a node number that no node
// text gives); empty when it is in range.
std::string pump_fault(const PumpRecord& pump);
std::string compressor_fault(const CompressorRecord& compressor);
std::string allowable_fault(const AllowableLoad& allowable);

// The number (1..) of the first allowable-load record that names the node;
// 0 when none.
int allowable_at_node(int node);
// The six values of that record; false when there is none.
bool allowable_values_at_node(int node, std::array<float, ALLOWABLE_VALUES>& values);
// Gives the nodes of the allowable loads, pumps, compressors and turbines
// new numbers by the pairs {old, new} of base numbers (node numbers within
// their band), applied at once and in every band, as the rows' nodes are.
void renumber_equipment_nodes(const std::vector<std::pair<int, int>>& pairs);

// The four model-file sections: read (each record checked), written, cleared
// with a new model, and appended by a merge; the support summaries' lookup
// of allowable loads.
void install_equipment();
