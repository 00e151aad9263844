#include "exchange/hanger_interface_export.h"

#include "exchange/batch_import.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "loads/pipe_load.h"
#include "materials/pipe_section.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/nodes.h"
#include "supports/hanger.h"

#include <cmath>
#include <sstream>
#include <vector>

namespace {

// DIM 1: a fixed 3000 mm.
constexpr double DIM_1_INCHES = 3000.0 / 25.4;

const char* const HEADER =
    "Hanger mark;X_Coor;Y_Coor;Z_Coor;Hng_Type;Config. No;Pipe;Insul;Temp;DIM 1;Load;Hydro Load;Move X;Move Y;"
    "Move Z;Load_Axial_h;Load_Axial_l;NorthAxis_Angle;Pipe_Dir;Support_Dir;Design_Method;Load_Var;Tare_Weight;"
    "Thermal_Mov";

bool breaks_record(const std::string& text)
{
    return text.find_first_of(";\r\n") != std::string::npos;
}

const Hanger* written_hanger(const LayoutRow& row)
{
    if (row.dtype != DT_HANGER)
        return nullptr;
    const auto* h = dynamic_cast<const Hanger*>(row.data.get());
    if (!h || h->v.type == HANGER_USER || h->v.type == HANGER_ROD)
        return nullptr;
    return h;
}

void check_texts()
{
    for (int i = 1; i <= numrows(); ++i) {
        const LayoutRow& row = model().rows[i];
        const Hanger* h = written_hanger(row);
        if (!h)
            continue;
        for (const std::string& text : {h->v.tag, h->latest_design().figure, h->latest_design().size})
            if (breaks_record(text))
                throw MessageText(c_format("Row %d: the hanger's tag or designed name \"%s\" holds \";\" or a line "
                                           "end, which the hanger interface file cannot hold; change it",
                                           i, text.c_str()));
    }
}

std::string record(int index)
{
    const LayoutRow& row = model().rows[index];
    const Hanger& hanger = dynamic_cast<const Hanger&>(*row.data);
    const HangerValues& h = hanger.v;
    // The design of the results read last, else the one the model holds.
    const HangerDesign& d = hanger.latest_design();
    // A Location row stands for the row that made its node.
    int geometry = index;
    if (row.etype == ET_LOCATION && row.node_index >= 1 && row.node_index <= numnodes()) {
        const int defining = model().nodes[row.node_index].row;
        if (defining >= 1 && defining <= numrows())
            geometry = defining;
    }
    const LayoutRow& g = model().rows[geometry];
    const NodeRecord node = row.node_index >= 1 && row.node_index <= numnodes() ? model().nodes[row.node_index]
                                                                                 : NodeRecord{};
    const int s = section_index(g.section);
    const int l = load_index(g.load);
    double direction[3] = {1.0, 0.0, 0.0};
    if (g.start_node >= 1 && g.end_node >= 1 && g.start_node <= numnodes() && g.end_node <= numnodes()) {
        const NodeRecord& a = model().nodes[g.start_node];
        const NodeRecord& b = model().nodes[g.end_node];
        const double v[3] = {b.x - a.x, b.y - a.y, b.z - a.z};
        const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (length > 0)
            for (int k = 0; k < 3; ++k)
                direction[k] = v[k] / length;
    }
    const double variation = d.hot_load == 0.0f ? 0.0
                                                 : std::fabs(static_cast<double>(d.spring_rate) * d.vertical_travel /
                                                             d.hot_load);
    std::string temperature = format_temperature(l ? pipe_loads()[l].temperature[1]
                                                   : analysis_options().reference_temperature);
    if (temperature.empty())
        temperature = "0";
    const std::string fields[24] = {
        (h.tag.empty() ? node_text(row.node) : h.tag) + " " + int_text(h.count),
        format_length(node.x),
        format_length(node.y),
        format_length(node.z),
        d.figure,
        d.size,
        format_dimension(s ? pipe_sections()[s].outside_diameter : 0.0),
        format_dimension(s ? pipe_sections()[s].insulation_thickness : 0.0),
        temperature,
        format_length(DIM_1_INCHES),
        format_force(d.hot_load),
        "0.0",
        format_displacement_or_none(d.horizontal_travel),
        format_displacement_or_none(d.vertical_travel),
        format_displacement_or_none(d.horizontal_travel),
        "0.0",
        "0.0",
        "X_180.000",
        format_real(direction[0], 5, 2) + "_" + format_real(direction[1], 5, 2) + "_" + format_real(direction[2], 5, 2),
        analysis_options().z_vertical ? "0.00_0.00_1.00" : "0.00_1.00_0.00",
        "HOT",
        format_real(variation, 5, 3),
        "0.00",
        format_displacement_or_none(d.vertical_travel),
    };
    std::string text;
    for (int k = 0; k < 24; ++k)
        text += (k ? ";" : "") + fields[k];
    return text;
}

}  // namespace

void write_hanger_interface_text(std::ostream& out)
{
    check_texts();
    UnitChoicesKept user_units;
    const bool metric = current_unit(LENGTH) > 2;
    out << "Interface KORVANE LICAD Version: 1.0\n";
    out << (metric ? "METRIC" : "IMPERIAL") << '\n';
    if (metric) {
        reset_unit_choice();
        set_batch_si_units();
    } else {
        reset_unit_choice();
        unit_choice()[LENGTH] = 2;
    }
    out << HEADER << '\n';
    for (int i = 1; i <= numrows(); ++i)
        if (written_hanger(model().rows[i]))
            out << shown_controls(record(i)) << '\n';   // a tag's control characters as codes
}

std::string hanger_interface_text()
{
    std::ostringstream out;
    write_hanger_interface_text(out);
    return out.str();
}

void export_hanger_interface_at(const std::string& path, const ExportBufferFilter& filter)
{
    check_texts();
    write_export_file(path, [](std::ostream& out) { write_hanger_interface_text(out); }, filter,
                      "Unable to open LICAD export file:\n");
}
