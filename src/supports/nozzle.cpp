#include "supports/nozzle.h"

#include "analysis_core/element_assembly.h"
#include "analysis_core/results_sink.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "supports/anchor.h"
#include "supports/support_analysis.h"

#include <cmath>

const char* nozzle_type_name(int type)
{
    switch (type) {
    case NOZZLE_WRC_297: return "WRC 297";
    case NOZZLE_API_650: return "API 650";
    case NOZZLE_PD_5500: return "PD 5500";
    default: return "";
    }
}

NozzleFlexibility nozzle_flexibility(const NozzleValues& values)
{
    NozzleFlexibility f;
    switch (values.type) {
    case NOZZLE_API_650:
        f.reason = "the stiffness coefficients of API 650 are read from its figures";
        break;
    case NOZZLE_PD_5500:
        f.reason = "the shell flexibilities of PD 5500 are read from its charts";
        break;
    default:
        f.reason = "the nozzle flexibilities of WRC 297 are read from its charts";
        break;
    }
    return f;
}

void Nozzle::check_values(const NozzleValues& values)
{
    const int type = values.type;
    if (values.nozzle_od <= 0.0f)
        throw_message("Nozzle OD required");
    if (values.nozzle_thickness <= 0.0f)
        throw_message("Nozzle thk required");
    if (values.nozzle_thickness > values.nozzle_od / 2)
        throw_message("Nozzle Thickness is greater than nozzle radius");
    if (values.vessel_od <= 0.0f)
        throw_message("Vessel OD required");
    if (values.vessel_thickness <= 0.0f)
        throw_message("Vessel THK required");
    if (values.vessel_thickness > values.vessel_od / 2)
        throw_message("Vessel Thickness is greater than vessel radius");
    if (values.length1 <= 0.0f && type != NOZZLE_PD_5500)
        throw_message("Length 1 required");
    if (type == NOZZLE_WRC_297 && values.length2 <= 0.0f)
        throw_message("L2 required");
    const auto& a = values.axis;
    if (type != NOZZLE_PD_5500 && !direction_given(a[0], a[1], a[2]))
        throw_message("Direction required");
    if (type == NOZZLE_API_650) {
        const double ratio = static_cast<double>(values.nozzle_od) / values.vessel_od;
        if (ratio < 0.0049)
            throw_message("Nozzle OD/Vessel OD < 0.005");
        if (ratio > 0.041)
            throw_message("Nozzle OD/Vessel OD > 0.04");
        const double length = static_cast<double>(values.length1) / values.nozzle_od;
        if (length < 0.99)
            throw_message("L/Nozzle OD < 1.0");
        if (length > 1.51)
            throw_message("L/Nozzle OD > 1.5");
    }
}

void Nozzle::read(BinFile& file)
{
    require_framed_record("Nozzle");
    NozzleValues r;
    r.tag = read_tag(file);
    const bool api650 = read_flag(file, "API 650");
    r.pad = read_flag(file, "Reinforcing pad");
    r.nozzle_od = read_not_negative(file, "Nozzle OD");
    r.nozzle_thickness = read_not_negative(file, "Nozzle thickness");
    r.vessel_od = read_not_negative(file, "Vessel OD");
    r.vessel_thickness = read_not_negative(file, "Vessel thickness");
    r.length1 = read_not_negative(file, "Length 1");
    r.length2 = read_not_negative(file, "Length 2");
    r.modulus = read_not_negative(file, "Vessel modulus");
    for (float& c : r.axis)
        c = read_finite(file, "Vessel axis");
    const bool pd5500 = read_flag(file, "PD 5500");
    r.displacements.read(file);
    if (file.error())
        return;
    if (api650 && pd5500)
        throw_message("Nozzle type is invalid");
    r.type = api650 ? NOZZLE_API_650 : pd5500 ? NOZZLE_PD_5500 : NOZZLE_WRC_297;
    v = r;
}

void Nozzle::write(BinFile& file) const
{
    write_tag(file, v.tag);
    file.write_byte(v.type == NOZZLE_API_650 ? 1 : 0);
    file.write_byte(v.pad ? 1 : 0);
    for (float value : {v.nozzle_od, v.nozzle_thickness, v.vessel_od, v.vessel_thickness, v.length1, v.length2,
                        v.modulus})
        file.write_float(value);
    for (float c : v.axis)
        file.write_float(c);
    file.write_byte(v.type == NOZZLE_PD_5500 ? 1 : 0);
    v.displacements.write(file);
}

std::string Nozzle::cell_text(int column) const
{
    auto dimension = [](float value) { return value == 0.0f ? std::string() : format_dimension(value); };
    auto length = [](float value) { return value == 0.0f ? std::string() : format_length(value); };
    switch (column) {
    case NOZZLE_COL_TAG: return v.tag;
    case NOZZLE_COL_TYPE: return nozzle_type_name(v.type);
    case NOZZLE_COL_NOZZLE_OD: return dimension(v.nozzle_od);
    case NOZZLE_COL_NOZZLE_THICKNESS: return dimension(v.nozzle_thickness);
    case NOZZLE_COL_VESSEL_OD: return dimension(v.vessel_od);
    case NOZZLE_COL_VESSEL_THICKNESS: return dimension(v.vessel_thickness);
    case NOZZLE_COL_L1: return length(v.length1);
    case NOZZLE_COL_L2: return length(v.length2);
    case NOZZLE_COL_MODULUS: return v.modulus == 0.0f ? std::string() : format_modulus(v.modulus);
    case NOZZLE_COL_PAD: return v.type == NOZZLE_API_650 && v.pad ? "Yes" : "";
    case NOZZLE_COL_DISPLACEMENTS: return displacement_sets_text(v.displacements);
    default: return {};
    }
}

std::string Nozzle::description() const
{
    return std::string(nozzle_type_name(v.type)) + " nozzle";
}

void Nozzle::check(const Model&, int row) const
{
    check_row_values(row, [this] { check_values(v); });
}

void Nozzle::assemble_stiffness(AnalysisRun& run, int row) const
{
    const int node = support_node(run, row);
    for (int d = 0; d < 6; ++d)
        add_axis_spring(run, node, 0, d, RIGID_LINK);
}

void Nozzle::add_loads(AnalysisRun& run, int row) const
{
    const int node = support_node(run, row);
    if (node == 0)
        return;
    const std::array<Vec3, 2> d = step_displacement(run, v.displacements);
    for (int i = 0; i < 6; ++i)
        if (const double value = component(d[static_cast<std::size_t>(i / 3)], i % 3); value != 0.0)
            run.add_load(run.equation(node, i), RIGID_LINK * value);
}

void Nozzle::write_support_loads(AnalysisRun& run, int row) const
{
    const int node = support_node(run, row);
    double loads[6] = {};
    if (node) {
        const std::array<Vec3, 2> d = step_displacement(run, v.displacements);
        for (int i = 0; i < 6; ++i)
            loads[i] =
                RIGID_LINK * (component(d[static_cast<std::size_t>(i / 3)], i % 3) - node_displacement(run, node, i));
    }
    record_support_loads(run, row, loads);
}

void Nozzle::compute_local_axes(int node)
{
    const bool z_vertical = analysis_options().z_vertical;
    axes = pipe_axes_at_node(model(), node, z_vertical);
    if (v.type == NOZZLE_PD_5500)
        return;
    // y: the vessel axis made normal to the nozzle.
    const Vec3 a = unit_direction(v.axis[0], v.axis[1], v.axis[2]);
    Vec3 y = minus(a, scaled(axes.x, dot(a, axes.x)));
    const double length = norm(y);
    if (length < MIN_DIRECTION_LENGTH)
        return;
    axes.y = scaled(y, 1.0 / length);
    axes.z = cross(axes.x, axes.y);
}

SymbolParts Nozzle::symbol_parts(int row) const
{
    SymbolParts parts;
    float x = 0.0f, y = 0.0f;
    if (!support_symbol_origin(row, x, y))
        return parts;
    const Vec3 axes3[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (const Vec3& a : axes3)
        add_heads_both_ways(parts, 1, x, y, a, support_symbol_size());
    return parts;
}
