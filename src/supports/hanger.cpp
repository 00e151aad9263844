#include "supports/hanger.h"

#include "analysis_core/element_assembly.h"
#include "analysis_core/results_sink.h"
#include "analysis_core/steps.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/symbol_shapes.h"
#include "supports/support_analysis.h"
#include "supports/support_common.h"

#include <array>
#include <cmath>

namespace {

const std::array<const char*, HANGER_CATALOGUES + 1> CATALOGUE_NAMES = {
    "",
    "ABB-PBS",
    "Basic Engineers",
    "Bergen-Paterson",
    "Bergen-Paterson (L)",
    "BHEL Hyderabad",
    "BHEL Trichy",
    "Borrello",
    "Carpenter & Paterson",
    "Corner & Lada",
    "Dynax",
    "Elcen",
    "Fee & Mason",
    "Flexider (30-60-120)",
    "Flexider (50-100-200)",
    "Fronek",
    "Grinnell",
    "Hydra",
    "Lisega",
    "Mitsubishi (30-60-120)",
    "Mitsubishi (80-160)",
    "Myricks",
    "NHK (30-60-120)",
    "NHK (80-160)",
    "Nordon",
    "NPS Industries",
    "Piping Services",
    "Piping Tech & Products",
    "Power Piping",
    "Sanwa Tekki(30-60-120)",
    "Sanwa Tekki(85-170)",
    "Sarathi",
    "Spring Supports",
    "SSG",
    "Comet",
    "Gradior",
};

// What a hanger does in a step: a spring of `stiffness` along the vertical
// and an upward force on the pipe at its drawn position.
struct HangerAction {
    double stiffness = 0.0;
    double force = 0.0;
};

HangerAction action_in_step(const Hanger& h, const AnalysisRun& run, int row)
{
    HangerAction a;
    const bool weight = step_has_weight(run);
    const double count = h.v.count;
    if (const auto* design = run.find_run_state<HangerRunDesign>(); design && design->sizes(row)) {
        const HangerPhase phase = design->phase;
        if (phase == HangerPhase::Rigid) {
            a.stiffness = RIGID_LINK;
            return a;
        }
        if (phase == HangerPhase::Loaded) {
            const std::size_t r = static_cast<std::size_t>(row);
            a.force = weight && r < design->load.size() ? design->load[r] : 0.0;
            return a;
        }
    }
    if (h.v.type == HANGER_CONSTANT) {
        a.force = weight ? count * h.load(run, row) : 0.0;
        return a;
    }
    if (!h.is_variable_spring())
        return a;
    a.force = weight ? count * h.load(run, row) : 0.0;
    const bool hot_step = current_step(run).temperature_set != SET_NONE;
    if (run.snapshot().options.include_hanger_stiffness && !(h.hot_load() && hot_step))
        a.stiffness = count * h.rate(run, row);
    return a;
}

Vec3 run_vertical(const AnalysisRun& run)
{
    return vertical_axis(run.snapshot().options.z_vertical);
}

Contact rod_contact(const AnalysisRun& run, int row, int32_t connected)
{
    Contact contact;
    contact.a = support_node(run, row);
    contact.b = connected_node_index(run.layout(), connected);
    contact.directions.push_back({run_vertical(run), 0.0, NO_LIMIT});
    contact.stiffness = RIGID_LINK;
    return contact;
}

}  // namespace

const char* hanger_type_name(int type)
{
    if (type >= 1 && type <= HANGER_CATALOGUES)
        return CATALOGUE_NAMES[static_cast<std::size_t>(type)];
    switch (type) {
    case HANGER_USER: return "User hanger";
    case HANGER_ROD: return "Rod hanger";
    case HANGER_CONSTANT: return "Constant support";
    default: return "";
    }
}

bool hanger_type_valid(int type)
{
    return *hanger_type_name(type) != '\0';
}

void read_hanger_design(BinFile& file, HangerDesign& design)
{
    HangerDesign d;
    d.figure = file.read_name(HANGER_NAME_WIDTH);
    d.size = file.read_name(HANGER_NAME_WIDTH);
    d.spring_rate = read_finite(file, "Designed spring rate");
    d.vertical_travel = read_finite(file, "Designed vertical travel");
    d.horizontal_travel = read_finite(file, "Designed horizontal travel");
    d.cold_load = read_finite(file, "Designed cold load");
    d.hot_load = read_finite(file, "Designed hot load");
    if (!file.error())
        design = d;
}

void write_hanger_design(BinFile& file, const HangerDesign& design)
{
    file.write_name(design.figure, HANGER_NAME_WIDTH);
    file.write_name(design.size, HANGER_NAME_WIDTH);
    file.write_float(design.spring_rate);
    file.write_float(design.vertical_travel);
    file.write_float(design.horizontal_travel);
    file.write_float(design.cold_load);
    file.write_float(design.hot_load);
}

void Hanger::check_values(const HangerValues& values)
{
    if (!hanger_type_valid(values.type))
        throw_message("Hanger type is invalid");
    if (values.count < 1 || values.count > MAX_HANGERS_AT_NODE)
        throw_message("Number of hangers is invalid");
    if (values.load_variation < 1 || values.load_variation > MAX_LOAD_VARIATION)
        throw_message("Load variation is invalid");
    if (values.type == HANGER_USER && !(values.spring_rate > 0.0f))
        throw_message("Spring rate is required");
}

double Hanger::rate() const
{
    return stiffness_of(v.type == HANGER_USER ? v.spring_rate : v.design.spring_rate);
}

double Hanger::load() const
{
    return v.type == HANGER_USER ? v.load : v.design.hot_load;
}

const HangerDesign& Hanger::latest_design() const
{
    const HangerDesign& r = results_design;
    return !r.figure.empty() || r.hot_load != 0.0f ? r : v.design;
}

const HangerDesign& Hanger::design_in(const AnalysisRun& run, int row) const
{
    const auto* design = run.find_run_state<HangerRunDesign>();
    if (design && design->has_design(row))
        return design->design[static_cast<std::size_t>(row)];
    return v.design;
}

double Hanger::rate(const AnalysisRun& run, int row) const
{
    return v.type == HANGER_USER ? rate() : stiffness_of(design_in(run, row).spring_rate);
}

double Hanger::load(const AnalysisRun& run, int row) const
{
    return v.type == HANGER_USER ? load() : design_in(run, row).hot_load;
}

bool hanger_type_designed(int type)
{
    return (type >= 1 && type <= HANGER_CATALOGUES) || type == HANGER_CONSTANT;
}

void HangerRunDesign::resize(int rows)
{
    const auto n = static_cast<std::size_t>(rows) + 1;
    load.assign(n, 0.0);
    designed.assign(n, 0);
    design.assign(n, HangerDesign{});
    sizing.assign(n, 0);
    notes.clear();
}

bool HangerRunDesign::sizes(int row) const
{
    return row >= 0 && static_cast<std::size_t>(row) < sizing.size() && sizing[static_cast<std::size_t>(row)];
}

bool HangerRunDesign::has_design(int row) const
{
    return row >= 0 && static_cast<std::size_t>(row) < designed.size() && designed[static_cast<std::size_t>(row)];
}

void Hanger::read(BinFile& file)
{
    require_framed_record("Hanger");
    HangerValues r;
    r.tag = read_tag(file);
    r.type = file.read_int();
    r.count = file.read_int();
    r.load_variation = file.read_int();
    r.short_range = read_flag(file, "Short range");
    r.connected = read_connected_node(file);
    r.load_type = file.read_int();
    r.spring_rate = read_not_negative(file, "Spring rate");
    r.load = read_finite(file, "Hanger load");
    read_hanger_design(file, r.design);
    if (file.error())
        return;
    if (!hanger_type_valid(r.type))
        throw_message(c_format("Hanger type %d is not defined", r.type));
    if (r.count < 0 || r.count > MAX_HANGERS_AT_NODE)
        throw_message(c_format("Number of hangers %d is invalid", r.count));
    v = r;
}

void Hanger::write(BinFile& file) const
{
    write_tag(file, v.tag);
    file.write_int(v.type);
    file.write_int(v.count);
    file.write_int(v.load_variation);
    file.write_byte(v.short_range ? 1 : 0);
    file.write_int(v.connected);
    file.write_int(v.load_type);
    file.write_float(v.spring_rate);
    file.write_float(v.load);
    write_hanger_design(file, v.design);
}

std::string Hanger::cell_text(int column) const
{
    const bool user = v.type == HANGER_USER;
    const bool catalogue = v.type <= HANGER_CATALOGUES;
    switch (column) {
    case HANGER_COL_TAG: return v.tag;
    case HANGER_COL_TYPE: return hanger_type_name(v.type);
    case HANGER_COL_COUNT: return int_text(v.count);
    case HANGER_COL_RATE:
        if (user)
            return format_stiffness(v.spring_rate);
        return v.design.spring_rate != 0.0f ? format_stiffness(v.design.spring_rate) : std::string();
    case HANGER_COL_LOAD:
        if (user)
            return format_force(v.load);
        return v.design.hot_load != 0.0f ? format_force(v.design.hot_load) : std::string();
    case HANGER_COL_LOAD_TYPE:
        if (user)
            return hot_load() ? "Hot" : "Cold";
        return v.type == HANGER_ROD ? std::string() : std::string("Hot");
    case HANGER_COL_VARIATION: return catalogue ? int_text(v.load_variation) : std::string();
    case HANGER_COL_SHORT_RANGE: return catalogue && v.short_range ? "Yes" : "";
    case HANGER_COL_CONNECTED: return v.connected ? node_text(v.connected) : std::string();
    default: return {};
    }
}

std::string Hanger::description() const
{
    std::string text = hanger_type_name(v.type);
    if (v.count > 1)
        text += c_format(", %d hangers", v.count);
    if (!v.design.figure.empty())
        text += ", " + v.design.figure + " " + v.design.size;
    return text;
}

void Hanger::check(const Model& model, int row) const
{
    if (v.count < 1)
        throw_message(c_format("Row %d: Number of hangers is invalid", row));
    if (v.type == HANGER_USER && !(v.spring_rate > 0.0f))
        throw_message(c_format("Row %d: Spring rate is required", row));
    check_connected_node(model, row, v.connected, "hanger");
}

void Hanger::assemble_stiffness(AnalysisRun& run, int row) const
{
    const int node = support_node(run, row);
    const int other = connected_node_index(run.layout(), v.connected);
    if (v.type == HANGER_ROD) {
        contact_stiffness(run, rod_contact(run, row, v.connected), run.row_state<ContactState>(row));
        return;
    }
    const HangerAction a = action_in_step(*this, run, row);
    if (a.stiffness > 0.0 || (run.structure_pass() && (is_variable_spring() || is_designed())))
        add_line_spring(run, node, other, run_vertical(run), a.stiffness);
}

void Hanger::add_loads(AnalysisRun& run, int row) const
{
    const int node = support_node(run, row);
    const int other = connected_node_index(run.layout(), v.connected);
    if (v.type == HANGER_ROD) {
        contact_loads(run, rod_contact(run, row, v.connected), run.row_state<ContactState>(row));
        return;
    }
    const HangerAction a = action_in_step(*this, run, row);
    if (a.force != 0.0)
        add_line_load(run, node, other, run_vertical(run), a.force);
}

void Hanger::reset_nonlinear_state(AnalysisRun& run, int row) const
{
    if (v.type == HANGER_ROD)
        contact_reset(run, rod_contact(run, row, v.connected), run.row_state<ContactState>(row), DT_HANGER, row);
}

bool Hanger::update_nonlinear_state(AnalysisRun& run, int row) const
{
    if (v.type != HANGER_ROD)
        return true;
    return contact_update(run, row);
}

void Hanger::write_support_loads(AnalysisRun& run, int row) const
{
    double load[1] = {};
    const int node = support_node(run, row);
    const int other = connected_node_index(run.layout(), v.connected);
    if (v.type == HANGER_ROD) {
        const Contact contact = rod_contact(run, row, v.connected);
        load[0] = contact_forces(run, contact, run.row_state<ContactState>(row)).normal[0];
    } else if (node) {
        const HangerAction a = action_in_step(*this, run, row);
        load[0] = a.force - a.stiffness * relative_along(run, node, other, run_vertical(run));
    }
    record_support_loads(run, row, load);
}

void Hanger::read_design_record(BinFile& file)
{
    read_hanger_design(file, results_design);
}

SymbolParts Hanger::symbol_parts(int row) const
{
    SymbolParts parts;
    float x = 0.0f, y = 0.0f;
    if (!support_symbol_origin(row, x, y))
        return parts;
    const Model& m = model();
    const int other = connected_node_index(m, v.connected);
    if (other != 0 && is_variable_spring()) {
        // A spring drawn from the node to its connected node.
        const NodeRecord& n = m.nodes[other];
        const float dx = n.sx - x, dy = n.sy - y;
        const float length = std::sqrt(dx * dx + dy * dy);
        const float scale = symbol_drawing().symbol_scale;
        if (length > 0.0f && scale > 0.0f)
            parts.push_back(SymbolPart{10, x, y, dx / length, dy / length, length / scale,
                                       minus(node_position(m, other), node_position(m, m.rows[row].node_index))});
        return parts;
    }
    // The hanger shapes stand on their y axis, 51 units tall: the x axis
    // goes a quarter turn clockwise from the projected vertical, and a unit
    // is a twelfth of the symbol size.
    const Vec3 up = vertical_axis(analysis_options().z_vertical);
    float vx = 0.0f, vy = 0.0f;
    project_unit_direction(up.x, up.y, up.z, vx, vy);
    const int shape = v.type == HANGER_ROD ? 3 : 2;
    parts.push_back(SymbolPart{shape, x, y, vy, -vx, support_symbol_size() / 12.0f, up});
    return parts;
}
