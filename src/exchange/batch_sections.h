// The readers of the batch file's sections, one call per data line, and the
// state of one import that they share.
#pragma once

#include "exchange/batch_reader.h"
#include "exchange/row_items.h"
#include "loads/pipe_load.h"

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct BatchImport {
    explicit BatchImport(std::istream& in) : reader(in) {}

    BatchReader reader;
    // The spring-hanger catalogue of VS items (OPTIONS HGRA to HGRK).
    int hanger_catalog = 16;
    // The material whose temperature lines follow (index; 0 none).
    int current_material = 0;
    // OPTEMP gave the number of thermal load sets ahead of the loads: the
    // loads do not change it.
    bool numtloads_given = false;
    // The LAYOUT rows' carried material and section names and operating condition.
    std::string material;
    std::string section;
    OperatingCondition condition;
    // The number and text of the line that made each layout row (from 1),
    // so that a check of the built model names it.
    struct SourceLine {
        int number = 0;
        std::string text;
    };
    std::vector<SourceLine> row_lines{SourceLine{}};
    void keep_row_line(int row, SourceLine line)
    {
        row_lines.resize(static_cast<std::size_t>(row) + 1);
        row_lines[static_cast<std::size_t>(row)] = std::move(line);
    }
    // What each LOADS line gave beyond its load's values, so that the load
    // is settled again once the number of thermal sets is final.
    struct LoadLine {
        int load = 0;                                  // index in the pipe loads
        SourceLine source;
        std::array<bool, NUM_LOAD_SETS + 1> sets_given{};
        bool design_temperature_given = false;
        bool design_pressure_given = false;
        std::optional<std::string> wind;               // the wind field, named by a refusal
    };
    std::vector<LoadLine> load_lines;
    // The line of each pump a PUMPS line made, by its number (from 1).
    std::vector<SourceLine> pump_lines{SourceLine{}};
};

// ---- Title, version and options (batch_options.cpp) ----------------------------------
void read_title_line(BatchImport& b);
void read_version_line(BatchImport& b);
void read_options_line(BatchImport& b);
void read_opcode_line(BatchImport& b);
void read_optemp_line(BatchImport& b);
void read_oppres_line(BatchImport& b);
void read_opmisc_line(BatchImport& b);
// What an OPPRES and an OPMISC head set before their line is read.
void apply_oppres_defaults();
void apply_opmisc_defaults();

// ---- Property sets and loads (batch_property_sets.cpp) ------------------------------
void read_material_line(BatchImport& b);
void read_soil_line(BatchImport& b);
void read_pipe_line(BatchImport& b);
void read_loads_line(BatchImport& b);
// After the last line: every load against the final number of thermal sets.
void settle_loads(const BatchImport& b);
void read_bmaterial_line(BatchImport& b);
void read_bsection_line(BatchImport& b);
void read_bload_line(BatchImport& b);

// ---- Seismic and wind (batch_seismic_wind.cpp) ---------------------------------------
void read_seismic_line(BatchImport& b);
void read_asces_line(BatchImport& b);
void read_wind_line(BatchImport& b);
void read_ascew_line(BatchImport& b);
// The header line of WIND1 to WIND4 and, for a profile, its size and point lines.
void read_wind_load(BatchImport& b, int n);

// ---- Equipment (batch_equipment.cpp) --------------------------------------------------
void read_pump_line(BatchImport& b);
void read_compressor_line(BatchImport& b, bool turbine);
void read_allowable_line(BatchImport& b);
// After the last line, when the model's vertical axis is final: each pump
// whose shaft axis has no horizontal part is refused at its line.
void check_pump_shaft_axes(const BatchImport& b);

// ---- Layout rows (batch_layout.cpp) ---------------------------------------------------
void read_layout_line(BatchImport& b);

// ---- Shared by the readers --------------------------------------------------------------
// "Maximum number of <things> exceeded" when `count` records already stand
// in a set that a model file may hold `limit` of.
void check_room(const BatchReader& reader, int count, int limit, const char* things);
// A field that is there and not empty.
inline bool given(const std::optional<std::string>& field) { return field && !field->empty(); }
// A name of the kind `noun` ("Material"): required ("<noun> name is
// required"), then refused as name_fault_text says (its length counted in
// characters, then its letters), the name as detail.
std::string read_name_field(const BatchReader& reader, const std::optional<std::string>& field, std::size_t limit,
                            const char* noun);
