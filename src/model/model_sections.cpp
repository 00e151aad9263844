// The model file's built-in sections: title, QA block, analysis options,
// units, load cases, layout rows and nodes.
//
// Payloads (all little-endian; "name[n]" is n NUL-padded bytes):
//
//   Title        name[80]
//   QA block     client[60], project[60], file number[20], report number[20],
//                prepared by[60] x 2, checked by[60] x 2
//   Options      u8 include axial force, u8 liberal allowable, u8 use B31J,
//                i32 service level, i32 B31.8 design factor index,
//                i32 Z183 location factor index, i32 Z184 class location,
//                u8 Z184 sour service, f32 seismic coefficient,
//                f32 reference temperature, i32 thermal cycles, i32 numtloads,
//                u8 solve thermal case, u8 use cold modulus,
//                u8 pressure stress option, u8 Bourdon effect,
//                u8 pressure correction, f32 peak pressure factor,
//                i32 cutoff frequency, i32 number of modes,
//                u8 include missing mass, u8 friction in dynamics,
//                u8 include hanger stiffness, u8 Z vertical,
//                f32 default temperature, i32 piping code id, i32 node increment,
//                from version 1021 on f32 iteration tolerance and
//                i32 maximum number of iterations
//                (flags are 0 or 1; the piping code of a file up to version 680
//                is one lower from 11 upward)
//   Units        i32 x 20: the unit index chosen for quantities 1..20
//   Load cases   i32 count, count x i32 load-case code (1..126)
//   Layout rows  i32 count (0..MAX_FILE_ROWS), then per row:
//                  i32 node, u8 absolute, i32 etype, i32 dtype, f32 DX, DY, DZ,
//                  material, section and load names (6 bytes each; 4 before 680),
//                  the element record when etype is not 0, the data-item record
//                  when dtype is not 0 (each after an i32 byte length in framed
//                  files)
//   Nodes        i32 count, per node: i32 number, i32 kind, f32 x, y, z, i32 row.
//                Written for the programs that read the file; the reader checks
//                it, and the model build makes the node table again from the rows.
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/qa_block.h"
#include "framework/text.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/data_item.h"
#include "model/element_data.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/piping_codes.h"

#include <cmath>

namespace {

// A record of a stored flag: only 0 and 1 are written.
// ---- Title --------------------------------------------------------------------------

struct TitleContents final : SectionContents {
    std::string title;
    void install(Model& fresh) override { fresh.title = title; }
    void merge(ModelMerge&) override {}
};

ModelSectionOwner title_owner()
{
    ModelSectionOwner owner;
    owner.read = [](BinFile& file) {
        auto c = std::make_unique<TitleContents>();
        c->title = file.read_name(MODEL_TITLE_WIDTH);
        return std::unique_ptr<SectionContents>(std::move(c));
    };
    owner.write = [](BinFile& file) { file.write_name(model().title, MODEL_TITLE_WIDTH); };
    return owner;
}

// ---- QA block -------------------------------------------------------------------------

// The fields in file order with their widths.
template <typename Block, typename F>
void for_each_qa_field(Block& qa, F&& f)
{
    f(qa.client, QA_NAME_LIMIT);
    f(qa.project, QA_NAME_LIMIT);
    f(qa.file_number, QA_NUMBER_LIMIT);
    f(qa.report_number, QA_NUMBER_LIMIT);
    for (auto& line : qa.prepared_by)
        f(line, QA_NAME_LIMIT);
    for (auto& line : qa.checked_by)
        f(line, QA_NAME_LIMIT);
}

struct QAContents final : SectionContents {
    QABlock qa;
    void install(Model&) override { qa_block() = qa; }
    void merge(ModelMerge&) override {}
};

ModelSectionOwner qa_owner()
{
    ModelSectionOwner owner;
    owner.read = [](BinFile& file) {
        auto c = std::make_unique<QAContents>();
        for_each_qa_field(c->qa, [&](std::string& text, int width) {
            text = file.read_name(static_cast<std::size_t>(width));
        });
        return std::unique_ptr<SectionContents>(std::move(c));
    };
    owner.write = [](BinFile& file) {
        for_each_qa_field(qa_block(), [&](const std::string& text, int width) {
            file.write_name(text, static_cast<std::size_t>(width));
        });
    };
    return owner;
}

// ---- Options ----------------------------------------------------------------------------

struct OptionsContents final : SectionContents {
    AnalysisOptions options;
    int32_t code = CODE_NONE;
    int32_t node_increment = 10;
    void install(Model& fresh) override
    {
        analysis_options() = options;
        piping_code() = code;
        fresh.node_increment = node_increment;
    }
    void merge(ModelMerge&) override {}
};

ModelSectionOwner options_owner()
{
    ModelSectionOwner owner;
    owner.read = [](BinFile& f) {
        auto c = std::make_unique<OptionsContents>();
        AnalysisOptions& o = c->options;
        o.include_axial_force = read_flag(f, "Include axial force");
        o.liberal_allowable = read_flag(f, "Liberal allowable");
        o.use_b31j = read_flag(f, "Use B31J");
        o.service_level = f.read_int();
        o.b318_design_factor_index = f.read_int();
        o.z183_location_factor_index = f.read_int();
        o.z184_class_location = f.read_int();
        o.z184_sour_service = read_flag(f, "Z184 sour service");
        o.seismic_coefficient = f.read_float();
        o.reference_temperature = f.read_float();
        o.thermal_cycles = f.read_int();
        o.numtloads = f.read_int();
        o.solve_thermal_case = read_flag(f, "Solve thermal case");
        o.use_cold_modulus = read_flag(f, "Use cold modulus");
        o.pressure_stress_option = read_flag(f, "Pressure stress");
        o.bourdon_effect = read_flag(f, "Bourdon effect");
        o.pressure_correction = read_flag(f, "Pressure correction");
        o.peak_pressure_factor = f.read_float();
        o.cutoff_frequency = f.read_int();
        o.number_of_modes = f.read_int();
        o.include_missing_mass = read_flag(f, "Include missing mass");
        o.friction_in_dynamics = read_flag(f, "Friction in dynamics");
        o.include_hanger_stiffness = read_flag(f, "Include hanger stiffness");
        o.z_vertical = read_flag(f, "Vertical axis");
        o.default_temperature = f.read_float();
        c->code = f.read_int();
        c->node_increment = f.read_int();
        if (model_file_version() >= ITERATION_OPTIONS_VERSION) {
            o.iteration_tolerance = f.read_float();
            o.max_iterations = f.read_int();
        }
        if (f.error())
            return std::unique_ptr<SectionContents>();

        if (std::string wrong = validate_options(o); !wrong.empty())
            throw_message(wrong);
        if (model_file_version() <= OLD_CODE_NUMBERS_VERSION)
            c->code = piping_code_from_old_number(c->code);
        if (!piping_code_valid(c->code))
            throw_message(c_format("Piping code %d is not defined", c->code));
        if (c->node_increment < 1 || c->node_increment > MAX_NODE_NUMBER)
            throw_message(c_format("Node increment %d is invalid", c->node_increment));
        return std::unique_ptr<SectionContents>(std::move(c));
    };
    owner.write = [](BinFile& f) {
        const AnalysisOptions& o = analysis_options();
        f.write_byte(o.include_axial_force);
        f.write_byte(o.liberal_allowable);
        f.write_byte(o.use_b31j);
        f.write_int(o.service_level);
        f.write_int(o.b318_design_factor_index);
        f.write_int(o.z183_location_factor_index);
        f.write_int(o.z184_class_location);
        f.write_byte(o.z184_sour_service);
        f.write_float(o.seismic_coefficient);
        f.write_float(o.reference_temperature);
        f.write_int(o.thermal_cycles);
        f.write_int(o.numtloads);
        f.write_byte(o.solve_thermal_case);
        f.write_byte(o.use_cold_modulus);
        f.write_byte(o.pressure_stress_option);
        f.write_byte(o.bourdon_effect);
        f.write_byte(o.pressure_correction);
        f.write_float(o.peak_pressure_factor);
        f.write_int(o.cutoff_frequency);
        f.write_int(o.number_of_modes);
        f.write_byte(o.include_missing_mass);
        f.write_byte(o.friction_in_dynamics);
        f.write_byte(o.include_hanger_stiffness);
        f.write_byte(o.z_vertical);
        f.write_float(o.default_temperature);
        f.write_int(piping_code());
        f.write_int(model().node_increment);
        f.write_float(o.iteration_tolerance);
        f.write_int(o.max_iterations);
    };
    return owner;
}

// ---- Units ----------------------------------------------------------------------------------

struct UnitsContents final : SectionContents {
    UnitChoices units{};
    void install(Model&) override
    {
        for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q)
            unit_choice()[static_cast<std::size_t>(q)] = units[static_cast<std::size_t>(q)];
    }
    void merge(ModelMerge&) override {}
};

ModelSectionOwner units_owner()
{
    ModelSectionOwner owner;
    owner.read = [](BinFile& f) {
        auto c = std::make_unique<UnitsContents>();
        for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q) {
            const int32_t index = f.read_int();
            if (f.error())
                break;
            if (!unit_choice_valid(q, index))
                throw_message(c_format("Unit %d of quantity %d is not defined", index, q));
            c->units[static_cast<std::size_t>(q)] = index;
        }
        return std::unique_ptr<SectionContents>(std::move(c));
    };
    owner.write = [](BinFile& f) {
        for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q)
            f.write_int(current_unit(q));
    };
    return owner;
}

// ---- Load cases ----------------------------------------------------------------------------

// More than any analysis makes; a larger count is a damaged file.
constexpr int32_t MAX_FILE_LOAD_CASES = 1000;

struct LoadCasesContents final : SectionContents {
    LoadCaseList cases;
    void install(Model&) override { load_case_list() = cases; }
    void merge(ModelMerge&) override {}
};

ModelSectionOwner load_cases_owner()
{
    ModelSectionOwner owner;
    owner.read = [](BinFile& f) {
        auto c = std::make_unique<LoadCasesContents>();
        const int32_t count = f.read_int();
        if (f.error())
            return std::unique_ptr<SectionContents>();
        if (count < 0 || count > MAX_FILE_LOAD_CASES || !f.fits(count, 4))
            throw_message(c_format("Count %d is out of range", count));
        for (int32_t i = 0; i < count; ++i) {
            const int32_t code = f.read_int();
            if (f.error())
                break;
            if (code < 1 || code > MAX_LOAD_CASE_CODE)
                throw_message(c_format("Load case code %d is not defined", code));
            c->cases.add(code);
        }
        return std::unique_ptr<SectionContents>(std::move(c));
    };
    owner.write = [](BinFile& f) {
        const LoadCaseList& cases = load_case_list();
        f.write_int(cases.count());
        for (int i = 1; i <= cases.count(); ++i)
            f.write_int(cases.code(i));
    };
    owner.clear = [] { load_case_list().clear(); };
    return owner;
}

// ---- Layout rows --------------------------------------------------------------------------

// Kinds whose record holds nothing in every version, so that a row of such a
// kind can be read from an unframed file before its class exists.
bool element_record_always_empty(int etype)
{
    return etype == ET_FROM || etype == ET_LOCATION || etype == ET_PIPE;
}

bool data_record_always_empty(int dtype)
{
    return dtype == DT_SPIDER || dtype == DT_JACKET_END_CAP || dtype == DT_THREADED_JOINT;
}

// The highest node number a row can name: a typed number in the last band
// (the jacket band) of the model build.
constexpr int32_t MAX_ROW_NODE = JACKET_OFFSET + MAX_NODE_NUMBER;

// Reads the element or data-item record of a row. A framed record gives its
// length: a neutral object keeps the bytes, any other must take exactly them.
// In an unframed file only a class can know its record's size.
template <typename Neutral, typename Object>
void read_object_record(BinFile& file, Object& object, const char* kind, bool always_empty)
{
    auto* neutral = dynamic_cast<Neutral*>(&object);
    if (!model_file_framed()) {
        if (!neutral)
            object.read(file);
        else if (!always_empty)
            throw_message(c_format("This version of the program cannot read a %s of a version %.2f model file",
                                   kind, model_file_version() / 100.0));
        return;
    }
    const int32_t length = file.read_int();
    if (file.error())
        return;
    if (length < 0 || length > file.remaining())
        throw_message(c_format("The length of the %s record is damaged", kind));
    const int64_t start = file.tell();
    if (neutral) {
        neutral->raw.resize(static_cast<std::size_t>(length));
        file.read(neutral->raw.data(), neutral->raw.size());
    } else {
        object.read(file);
    }
    if (!file.error() && file.tell() != start + length)
        throw_message(c_format("The %s record is damaged", kind));
}

void read_layout_row(BinFile& f, LayoutRow& r, int index)
{
    r.node = f.read_int();
    r.absolute = f.read_byte();
    r.etype = f.read_int();
    r.dtype = f.read_int();
    r.dx = f.read_float();
    r.dy = f.read_float();
    r.dz = f.read_float();
    const std::size_t width = model_file_name_width();
    r.material = read_row_name(f, width);
    r.section = read_row_name(f, width);
    r.load = read_row_name(f, width);
    if (f.error())
        return;

    if (r.node < 0 || r.node > MAX_ROW_NODE)
        throw_message(c_format("Row %d: node number %d is invalid", index, r.node));
    if (r.absolute > 1)
        throw_message(c_format("Row %d: absolute flag holds %d", index, r.absolute));
    if (r.etype < 0 || r.etype > MAX_ETYPE)
        throw_message(c_format("Row %d: element type %d is not defined", index, r.etype));
    if (r.dtype < 0 || r.dtype > MAX_DTYPE)
        throw_message(c_format("Row %d: data type %d is not defined", index, r.dtype));
    try {
        require_finite(r.dx, "DX");
        require_finite(r.dy, "DY");
        require_finite(r.dz, "DZ");
    } catch (const MessageText& m) {
        throw_message(c_format("Row %d: ", index) + m.text);
    }

    try {
        if (r.etype != ET_NONE) {
            r.create_element_object();
            read_object_record<NeutralElement>(f, *r.element, element_type_name(r.etype),
                                               element_record_always_empty(r.etype));
        }
        if (r.dtype != DT_NONE && !f.error()) {
            r.create_data_object(index);
            read_object_record<NeutralDataItem>(f, *r.data, data_type_name(r.dtype),
                                                data_record_always_empty(r.dtype));
        }
    } catch (const MessageText& m) {
        throw_message(c_format("Row %d: ", index) + m.text);
    }
}

void write_layout_row(BinFile& f, const LayoutRow& r)
{
    f.write_int(r.node);
    f.write_byte(r.absolute);
    f.write_int(r.etype);
    f.write_int(r.dtype);
    f.write_float(r.dx);
    f.write_float(r.dy);
    f.write_float(r.dz);
    write_row_name(f, r.material);
    write_row_name(f, r.section);
    write_row_name(f, r.load);
    if (r.etype != ET_NONE) {
        const int64_t start = begin_framed_record(f);
        if (r.element)
            r.element->write(f);
        else
            make_element_object(r.etype)->write(f);
        end_framed_record(f, start);
    }
    if (r.dtype != DT_NONE) {
        const int64_t start = begin_framed_record(f);
        if (r.data)
            r.data->write(f);
        else if (auto made = make_data_object(r.dtype))
            made->write(f);
        end_framed_record(f, start);
    }
}

struct RowsContents final : SectionContents {
    OneBased<LayoutRow> rows;
    void install(Model& fresh) override { fresh.rows = std::move(rows); }
    void check_merge(ModelMerge&) const override
    {
        const Model& m = model();
        const LayoutRow* first = m.numrows() > 0 ? &m.rows[1] : rows.empty() ? nullptr : &rows[1];
        if (numrows() + rows.size() > row_capacity(first))
            throw_message(TOO_MANY_ROWS);
    }
    void merge(ModelMerge&) override
    {
        Model& m = model();
        for (LayoutRow& r : rows)
            m.rows.push_back(std::move(r));
        rows.clear();
        m.rebuild_needed = true;
    }
};

ModelSectionOwner rows_owner()
{
    ModelSectionOwner owner;
    owner.read = [](BinFile& f) {
        auto c = std::make_unique<RowsContents>();
        const int32_t count = f.read_int();
        if (f.error())
            return std::unique_ptr<SectionContents>();
        // node, absolute, etype, dtype, DX, DY, DZ and the three names
        const std::size_t smallest_row = 4 + 1 + 4 + 4 + 3 * 4 + 3 * model_file_name_width();
        if (count < 0 || count > MAX_FILE_ROWS || !f.fits(count, smallest_row))
            throw_message(c_format("Count %d is out of range", count));
        c->rows.reserve(count);
        for (int32_t i = 1; i <= count && !f.error(); ++i)
            read_layout_row(f, c->rows[c->rows.push_back(LayoutRow{})], i);
        return std::unique_ptr<SectionContents>(std::move(c));
    };
    owner.write = [](BinFile& f) {
        const Model& m = model();
        f.write_int(m.numrows());
        for (const LayoutRow& r : m.rows)
            write_layout_row(f, r);
    };
    return owner;
}

// ---- Nodes -------------------------------------------------------------------------------

// Every row makes a bounded number of nodes (its own, a bend's tangent and
// intermediate nodes, a jacket's); more than this is a damaged file.
constexpr int32_t MAX_FILE_NODES = 64 * MAX_FILE_ROWS;
constexpr std::size_t NODE_RECORD_SIZE = 6 * 4;

struct NodesContents final : SectionContents {
    void install(Model&) override {}
    void merge(ModelMerge&) override {}
};

ModelSectionOwner nodes_owner()
{
    ModelSectionOwner owner;
    owner.read = [](BinFile& f) {
        const int32_t count = f.read_int();
        if (f.error())
            return std::unique_ptr<SectionContents>();
        if (count < 0 || count > MAX_FILE_NODES || !f.fits(count, NODE_RECORD_SIZE))
            throw_message(c_format("Count %d is out of range", count));
        for (int32_t i = 1; i <= count && !f.error(); ++i) {
            const int32_t number = f.read_int();
            const int32_t kind = f.read_int();
            float xyz[3];
            f.read_floats(xyz, 3);
            const int32_t row = f.read_int();
            if (f.error())
                break;
            // The build makes the nodes again from the rows, so the
            // coordinates are not checked: a file stays readable whatever
            // the build made of its rows.
            if (number < 1 || (kind != NODE_PLAIN && kind != NODE_BEND_CORNER) || row < 0 || row > MAX_FILE_ROWS)
                throw_message(c_format("Node record %d is damaged", i));
        }
        return std::unique_ptr<SectionContents>(std::make_unique<NodesContents>());
    };
    owner.write = [](BinFile& f) {
        const Model& m = model();
        f.write_int(m.numnodes());
        for (const NodeRecord& n : m.nodes) {
            f.write_int(n.number);
            f.write_int(n.kind);
            f.write_float(n.x);
            f.write_float(n.y);
            f.write_float(n.z);
            f.write_int(n.row);
        }
    };
    return owner;
}

}  // namespace

ModelSectionOwner builtin_model_section_owner(int id)
{
    switch (id) {
    case SECTION_TITLE: return title_owner();
    case SECTION_QA_BLOCK: return qa_owner();
    case SECTION_OPTIONS: return options_owner();
    case SECTION_UNITS: return units_owner();
    case SECTION_LOAD_CASES: return load_cases_owner();
    case SECTION_LAYOUT_ROWS: return rows_owner();
    case SECTION_NODES: return nodes_owner();
    default: return {};
    }
}

OneBased<LayoutRow>* merged_layout_rows(SectionContents* contents)
{
    auto* rows = dynamic_cast<RowsContents*>(contents);
    return rows ? &rows->rows : nullptr;
}

RowRefusal first_unreadable_row()
{
    const Model& m = model();
    BinFile file;
    if (!file.open_scratch())
        return {};
    for (const LayoutRow& r : m.rows)
        write_layout_row(file, r);
    if (!file.reread())
        return {};
    const ModelFileVersionScope version(MODEL_FILE_VERSION);
    for (int row = 1; row <= m.numrows(); ++row) {
        LayoutRow read;
        try {
            read_layout_row(file, read, row);
        } catch (const MessageText& refusal) {
            return {row, refusal.text};
        }
        if (file.error())
            return {row, c_format("Row %d: its records do not read back as they were written", row)};
    }
    return {};
}
