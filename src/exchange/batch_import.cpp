// The import frame: the reset before the first line, the loop that hands
// each data line to the reader of its section, the model build at the end,
// and the way back when a line is refused.
#include "exchange/batch_import.h"

#include "exchange/batch_sections.h"
#include "exchange/import_check.h"
#include "exchange/import_rollback.h"
#include "exchange/neutral_text.h"
#include "exchange/row_objects.h"
#include "framework/document.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/units.h"
#include "graphics/graphics_view.h"
#include "graphics/model_view.h"
#include "graphics/view_transform.h"
#include "loads/beam_load.h"
#include "loads/pipe_load.h"
#include "materials/beam_material.h"
#include "materials/beam_section.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/soil.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/named_set.h"
#include "model/piping_codes.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

void read_data_line(BatchImport& b)
{
    const int section = b.reader.section();
    switch (section) {
    case BATCH_TITLE: read_title_line(b); break;
    case BATCH_VERSION: read_version_line(b); break;
    case BATCH_OPTIONS: read_options_line(b); break;
    case BATCH_OPCODE: read_opcode_line(b); break;
    case BATCH_OPTEMP: read_optemp_line(b); break;
    case BATCH_OPPRES: read_oppres_line(b); break;
    case BATCH_OPMISC: read_opmisc_line(b); break;
    case BATCH_MATERIAL: read_material_line(b); break;
    case BATCH_LOADS: read_loads_line(b); break;
    case BATCH_BMATERIALS: read_bmaterial_line(b); break;
    case BATCH_SOILS: read_soil_line(b); break;
    case BATCH_PIPE: read_pipe_line(b); break;
    case BATCH_BSECTIONS: read_bsection_line(b); break;
    case BATCH_BLOADS: read_bload_line(b); break;
    case BATCH_JOINT: break;
    case BATCH_LAYOUT: read_layout_line(b); break;
    case BATCH_SEISMIC: read_seismic_line(b); break;
    case BATCH_ASCES: read_asces_line(b); break;
    case BATCH_WIND: read_wind_line(b); break;
    case BATCH_ASCEW: read_ascew_line(b); break;
    case BATCH_PUMPS: read_pump_line(b); break;
    case BATCH_COMPRESSORS: read_compressor_line(b, false); break;
    case BATCH_TURBINES: read_compressor_line(b, true); break;
    case BATCH_ALLOWABLES: read_allowable_line(b); break;
    default:
        if (section >= BATCH_WIND1 && section <= BATCH_WIND4)
            read_wind_load(b, section - BATCH_WIND1 + 1);
        break;
    }
}

// The sections whose lines each add a record of a named set, by the name
// the line begins with. A set's record of a name is its first: a name given
// again, in the set or in a set that shares its names (pipe and beam
// materials, pipe and beam sections), would be passed over, so the line is
// refused as the set's editor refuses the name, before anything else of it.
struct NamedSection {
    int section;
    const char* set;   // the set's key
};

constexpr NamedSection NAMED_SECTIONS[] = {
    {BATCH_MATERIAL, PIPE_MATERIALS}, {BATCH_SOILS, SOILS},        {BATCH_PIPE, PIPE_SECTIONS},
    {BATCH_LOADS, PIPE_LOADS},        {BATCH_BMATERIALS, BEAM_MATERIALS}, {BATCH_BSECTIONS, BEAM_SECTIONS},
    {BATCH_BLOADS, BEAM_LOADS},
};

void check_name_not_taken(const BatchImport& b)
{
    const int section = b.reader.section();
    const auto named = std::find_if(std::begin(NAMED_SECTIONS), std::end(NAMED_SECTIONS),
                                    [section](const NamedSection& s) { return s.section == section; });
    if (named == std::end(NAMED_SECTIONS))
        return;
    BatchTokenizer tokens;
    tokens.start(b.reader.work());
    const std::optional<std::string> name = tokens.next_token();
    // A name the set cannot hold is the section reader's to refuse; a line
    // of the current material's name is one of its temperature lines.
    if (!given(name) || name_fault(*name, named_set_info(named->set).name_limit) != NameFault::NONE)
        return;
    if (section == BATCH_MATERIAL && b.current_material != 0 && *name == pipe_materials()[b.current_material].name)
        return;
    if (std::optional<std::string> refusal = refusal_of([&] { check_entry_name(named->set, *name, 0); }))
        b.reader.fail(*refusal);
}

// The built model must be one that the model file's reader and the model
// check take: the first row they refuse ends the import at its line.
void check_built_rows(const BatchImport& b)
{
    const ImportRefusal refusal = imported_model_refusal();
    const auto index = static_cast<std::size_t>(refusal.row);
    if (refusal.message.empty())
        return;
    if (refusal.row == 0 || index >= b.row_lines.size())
        throw MessageText(refusal.message);
    const BatchImport::SourceLine& line = b.row_lines[index];
    throw MessageText(batch_error_text(line.number, line.text, refusal.message));
}

}  // namespace

void import_batch_text(std::istream& in)
{
    ImportRollback rollback;
    // The file's values are read in English units until its OPTIONS say
    // otherwise, with Y vertical.
    reset_unit_choice();
    analysis_options().z_vertical = false;
    BatchImport b(in);
    for (;;) {
        const bool data = b.reader.read_line();
        const BatchReader::OptionHeads heads = b.reader.take_option_heads();
        if (heads.oppres)
            apply_oppres_defaults();
        if (heads.opmisc)
            apply_opmisc_defaults();
        if (!data)
            break;
        check_name_not_taken(b);
        read_data_line(b);
    }
    check_pump_shaft_axes(b);
    settle_loads(b);
    make_model();
    check_built_rows(b);
    rollback.done();
    show_imported_model();
}

void show_imported_model()
{
    set_viewpoint(1.0, 1.0, 1.0);
    update_screen_positions();
    zoom_all();
}

void import_batch_file_at(const std::string& path)
{
    std::ifstream in = open_import_file(path);
    import_batch_text(in);
}

std::string batch_model_path(const std::string& batch_path, std::size_t extension_offset)
{
    if (extension_offset >= batch_path.size())
        return batch_path + (batch_path.empty() || batch_path.back() != '.' ? ".mod" : "mod");
    return batch_path.substr(0, extension_offset) + "mod";
}

bool same_file(const std::string& a, const std::string& b)
{
    std::error_code ec;
    if (std::filesystem::exists(a, ec) && std::filesystem::exists(b, ec))
        return std::filesystem::equivalent(a, b, ec);
    // Paths the system cannot follow (too long, say) are the same only when
    // they read the same.
    std::error_code ec_a, ec_b;
    const std::filesystem::path whole_a = std::filesystem::weakly_canonical(a, ec_a);
    const std::filesystem::path whole_b = std::filesystem::weakly_canonical(b, ec_b);
    return ec_a || ec_b ? a == b : whole_a == whole_b;
}
