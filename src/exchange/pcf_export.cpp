#include "exchange/pcf_export.h"

#include "elements/bellows.h"
#include "elements/bend.h"
#include "elements/branch_sif.h"
#include "elements/flange.h"
#include "elements/miter.h"
#include "elements/reducer.h"
#include "elements/rigid_element.h"
#include "elements/valve.h"
#include "exchange/batch_import.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "loads/pipe_load.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/analysis_options.h"
#include "model/data_item.h"
#include "model/element_data.h"
#include "model/model.h"
#include "supports/guide.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"
#include "supports/skewed_restraint.h"
#include "supports/restraint.h"
#include "supports/snubber.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <vector>

namespace {

// Standard pipe sizes: outside diameter (inch), NPS (inch) and DN (mm), from
// ASME B36.10M, Table 1 (NPS 1/8 to 12), and NPS 14 to 64 in steps of 2,
// whose outside diameter is the NPS and whose DN is 25 times it.
struct PipeSize {
    double od;
    double nps;
    double dn;
};
constexpr PipeSize SMALL_SIZES[] = {
    {0.405, 0.125, 5},  {0.54, 0.25, 8},    {0.675, 0.375, 10}, {0.84, 0.5, 15},   {1.05, 0.75, 20},
    {1.315, 1.0, 25},   {1.66, 1.25, 32},   {1.9, 1.5, 40},     {2.375, 2.0, 50},  {2.875, 2.5, 65},
    {3.5, 3.0, 80},     {4.0, 3.5, 90},     {4.5, 4.0, 100},    {5.563, 5.0, 125}, {6.625, 6.0, 150},
    {8.625, 8.0, 200},  {10.75, 10.0, 250}, {12.75, 12.0, 300},
};
constexpr double BORE_MATCH = 0.1;   // inch
// The millimetre lengths that "%.6G" writes without an exponent.
constexpr double SMALLEST_MM = 1.0e-4;
constexpr double LARGEST_MM = 999999.5;

struct MaterialEntry {
    std::string code, type, material, grade;
};

struct PcfWriter {
    std::ostream& out;
    bool inch = true;
    bool z_vertical = false;
    bool pipeline_open = false;
    std::vector<MaterialEntry> materials;

    // Every line, which may quote the user's title, material descriptions
    // and tags, with their control characters as codes (shown_controls):
    // the isometric programs that read the file take none as a command.
    void line(const std::string& text) { out << shown_controls(text) << '\n'; }

    // ---- Numbers ----------------------------------------------------------------------
    static std::string trimmed(double v, int decimals)
    {
        std::string text = c_format("%.*f", decimals, v);
        if (text.find('.') != std::string::npos) {
            while (text.back() == '0')
                text.pop_back();
            if (text.back() == '.')
                text.pop_back();
        }
        return text == "-0" ? "0" : text;
    }
    // A length in the export's unit: inch with 4 decimals, mm with 6
    // significant digits (0.001 mm below 1 m, 0.01 mm below 10 m). PCF
    // readers take plain decimals only, so a length too small for the
    // decimal form is 0 and one too large for it keeps its whole millimetres.
    std::string length(double inches) const
    {
        if (inch)
            return c_format("%.4f", inches);
        const double mm = inches * 25.4;
        if (std::fabs(mm) < SMALLEST_MM)
            return "0";
        return std::fabs(mm) < LARGEST_MM ? c_format("%.6G", mm) : c_format("%.0f", mm);
    }
    // A bend radius: inch to 0.0001 without trailing zeros, mm as lengths are.
    std::string radius_text(double inches) const { return inch ? trimmed(inches, 4) : length(inches); }
    std::string bore(double od) const { return trimmed(pcf_nominal_bore(od, inch), 4); }
    std::string point(double x, double y, double z) const
    {
        const std::array<double, 3> p = z_vertical ? std::array<double, 3>{x, y, z} : std::array<double, 3>{z, x, y};
        return length(p[0]) + " " + length(p[1]) + " " + length(p[2]);
    }
    std::string node_point(int index) const
    {
        if (index < 1 || index > numnodes())
            return point(0, 0, 0);
        const NodeRecord& n = model().nodes[index];
        return point(n.x, n.y, n.z);
    }
    std::array<double, 3> mapped(double x, double y, double z) const
    {
        return z_vertical ? std::array<double, 3>{x, y, z} : std::array<double, 3>{z, x, y};
    }

    // ---- Lines ------------------------------------------------------------------------
    static double section_od(const std::string& name)
    {
        const int s = section_index(name);
        return s ? pipe_sections()[s].outside_diameter : 0.0;
    }
    void end_point(int node, double od) { line("    END-POINT " + node_point(node) + " " + bore(od)); }
    void centre_point(int node) { line("    CENTRE-POINT " + node_point(node)); }
    void midpoint(int a, int b)
    {
        const NodeRecord& p = model().nodes[a];
        const NodeRecord& q = model().nodes[b];
        line("    CENTRE-POINT " + point(0.5 * (p.x + q.x), 0.5 * (p.y + q.y), 0.5 * (p.z + q.z)));
    }
    void branch_point(int node, double od) { line("    BRANCH1-POINT " + node_point(node) + " " + bore(od)); }
    void co_ords(int node)
    {
        double od = 0.0;
        if (node >= 1 && node <= numnodes()) {
            const int row = model().nodes[node].row;
            if (row >= 1 && row <= numrows())
                od = section_od(model().rows[row].section);
        }
        line("    CO-ORDS " + node_point(node) + " " + bore(od));
    }
    void add_material(const std::string& code, const std::string& type, const std::string& material,
                      const std::string& grade)
    {
        for (const MaterialEntry& e : materials)
            if (e.code == code)
                return;
        materials.push_back({code, type, material, grade});
    }
    void item_code(const LayoutRow& row, const std::string& prefix)
    {
        const std::string code = no_blanks(prefix + "-" + row.material + "-" + row.section);
        line("    ITEM-CODE " + code);
        line("    FABRICATION-ITEM");
        const int m = material_index(row.material);
        add_material(code, prefix, m ? pipe_materials()[m].type : "", m ? pipe_materials()[m].description : "");
    }
    void fabrication_item(const std::string& text)
    {
        const std::string code = no_blanks(text);
        line("    ITEM-CODE " + code);
        line("    FABRICATION-ITEM");
        add_material(code, code, "", "");
    }
    static std::string no_blanks(std::string text)
    {
        for (char& c : text)
            if (c == ' ' || c == '\t')
                c = '-';
        return text;
    }
    void skey(const std::string& key) { line("    SKEY " + key); }
    void attributes(const LayoutRow& row)
    {
        const int s = section_index(row.section);
        const int l = load_index(row.load);
        const PipeSection section = s ? pipe_sections()[s] : PipeSection{};
        const std::string values[8] = {
            format_dimension(section.outside_diameter),
            format_dimension(section.thickness),
            format_dimension(section.corrosion_allowance),
            format_real(section.mill_tolerance, 5, 2),
            format_weight_density(section.insulation_density),
            format_dimension(section.insulation_thickness),
            l ? format_temperature(pipe_loads()[l].temperature[1]) : std::string(),
            l ? format_pressure(pipe_loads()[l].pressure[1]) : std::string(),
        };
        for (int n = 0; n < 8; ++n)
            line(c_format("    COMPONENT-ATTRIBUTE%d %s ", n + 1, values[n].c_str()));
    }
    void bend_extras(double radius, double angle, double weight)
    {
        if (radius != 0.0)
            line("    BEND-RADIUS " + radius_text(radius) + " ");
        if (angle != 0.0)
            line("    BEND-ANGLE " + trimmed(angle * 180.0 / 3.141592653589793, 4) + " ");
        if (weight != 0.0)
            line("    WEIGHT " + format_weight(weight) + " ");
    }
    void support(int node, const std::string& key)
    {
        line("SUPPORT");
        co_ords(node);
        line("    SKEY " + key + " ");
    }
    void data_attribute(int n, const std::string& value) { line(c_format("    COMPONENT-ATTRIBUTE%d %s", n, value.c_str())); }

    // ---- Pipelines ------------------------------------------------------------------------
    void pipeline(int row)
    {
        line("PIPELINE-REFERENCE P" + std::to_string(model().rows[row].node));
        pipeline_open = true;
        for (int r = row + 1; r <= numrows(); ++r) {
            const LayoutRow& next = model().rows[r];
            if (next.etype == ET_FROM)
                break;
            if (next.load.empty())
                continue;
            if (const int l = load_index(next.load)) {
                line("    PIPELINE-TEMP " + format_temperature(pipe_loads()[l].temperature[1]));
                line("    ATTRIBUTE1 " + format_pressure(pipe_loads()[l].pressure[1]));
            }
            break;
        }
    }
    void ensure_pipeline(int row)
    {
        if (!pipeline_open) {
            line("PIPELINE-REFERENCE P" + std::to_string(model().rows[row].node));
            pipeline_open = true;
        }
    }

    double distance_mm(int a, int b) const { return 25.4 * node_distance(a, b); }

    // ---- Components -------------------------------------------------------------------------
    void pipe(const LayoutRow& row)
    {
        if (distance_mm(row.start_node, row.end_node) < 0.04)
            return;
        const double od = section_od(row.section);
        line("PIPE");
        end_point(row.start_node, od);
        end_point(row.end_node, od);
        item_code(row, "P");
        attributes(row);
    }
    void elbow(const LayoutRow& row)
    {
        const BendGeometry* g = row.element->bend_geometry();
        if (!g)
            return;
        const double od = section_od(row.section);
        if (distance_mm(row.start_node, row.end_node) > 0.05)
            pipe(row);
        line("ELBOW");
        end_point(row.end_node, od);
        end_point(g->far_node, od);
        centre_point(row.node_index);
        const bool miter = row.etype == ET_MITER;
        const std::string angle = trimmed(g->bend_angle * 180.0 / 3.141592653589793, 2);
        item_code(row, std::string(miter ? "M-" : "B-") + radius_text(g->radius) + "-" + angle);
        skey(miter ? "BEBW" : "ELBW");
        attributes(row);
        bend_extras(g->radius, g->bend_angle, 0.0);
    }
    void in_line(const LayoutRow& row, const char* record, const std::string& prefix, const char* key, double weight,
                 bool centre)
    {
        const double od = section_od(row.section);
        line(record);
        end_point(row.start_node, od);
        end_point(row.end_node, od);
        if (centre)
            midpoint(row.start_node, row.end_node);
        item_code(row, prefix);
        skey(key);
        attributes(row);
        if (weight != 0.0)
            line("    WEIGHT " + format_weight(weight) + " ");
    }
    void component(const LayoutRow& row)
    {
        switch (row.etype) {
        case ET_PIPE:
        case ET_JACKETED_PIPE:
            pipe(row);
            break;
        case ET_BEND:
        case ET_MITER:
        case ET_JACKETED_BEND:
            elbow(row);
            break;
        case ET_VALVE:
            if (const auto* v = dynamic_cast<const Valve*>(row.element.get())) {
                // Gate and globe valves keep keys of their own.
                static const char* const names[] = {"VALVE", "Gate", "Globe", "Check", "Butterfly", "Control", "Ball", "Plug"};
                static const char* const keys[] = {"VS**", "VG**", "VL**", "CK**", "ZB**", "VC**", "VB**", "VP**"};
                const int type = v->valve_type >= 0 && v->valve_type <= 7 ? v->valve_type : 0;
                in_line(row, "VALVE", std::string("V-") + names[type], keys[type], 0.0, false);
                if (v->weight != 0.0f)
                    line("    WEIGHT " + format_weight(v->weight) + " ");
            }
            break;
        case ET_REDUCER:
            if (const auto* d = dynamic_cast<const Reducer*>(row.element.get())) {
                line("REDUCER-CONCENTRIC");
                end_point(row.start_node, d->od1);
                end_point(row.end_node, d->od2);
                item_code(row, "R");
                skey("RCBW");
                attributes(row);
            }
            break;
        case ET_BELLOWS: {
            const auto* b = dynamic_cast<const Bellows*>(row.element.get());
            in_line(row, "MISC-COMPONENT", "BELLOW", "EXPJ", b ? b->weight : 0.0, true);
            break;
        }
        case ET_SLIP_JOINT: in_line(row, "MISC-COMPONENT", "SLIP", "SLIP", 0.0, true); break;
        case ET_CUT_PIPE: in_line(row, "MISC-COMPONENT", "CUT-PIPE", "CUTP", 0.0, true); break;
        case ET_RIGID: {
            const auto* g = dynamic_cast<const RigidElement*>(row.element.get());
            const double weight = g ? g->weight : 0.0;
            if (section_od(row.section) < node_distance(row.start_node, row.end_node))
                in_line(row, "INSTRUMENT", "INST", "INST", weight, true);
            else
                in_line(row, "FLANGE", "FLNG", "FL**", weight, false);
            break;
        }
        default:
            break;
        }
    }

    // ---- Data items ------------------------------------------------------------------------------
    std::array<double, 3> mapped_direction(const std::array<float, 3>& d) const { return mapped(d[0], d[1], d[2]); }
    static std::string cosines(const std::array<double, 3>& c)
    {
        return format_real(c[0], 5, 3) + "-" + format_real(c[1], 5, 3) + "-" + format_real(c[2], 5, 3);
    }
    static std::array<double, 3> unit(const std::array<double, 3>& d)
    {
        const double l = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        return l > 0.0 ? std::array<double, 3>{d[0] / l, d[1] / l, d[2] / l} : d;
    }
    // The outside diameters of the run and the branch at a node.
    std::pair<double, double> tee_bores(int node) const
    {
        double run = 0.0, branch = 0.0;
        int seen = 0;
        for (int e = 1; e <= numelems() && seen < 3; ++e) {
            const Elem& el = model().elems[e];
            if (el.node1 != node && el.node2 != node)
                continue;
            ++seen;
            const double od = el.section ? pipe_sections()[el.section].outside_diameter : 0.0;
            run = seen == 1 ? od : std::max(run, od);
            branch = seen == 1 ? od : std::min(branch, od);
        }
        return {run, branch};
    }
    void data_item(int index, const LayoutRow& row)
    {
        const int node = row.node_index;
        const DataItem* d = row.data.get();
        switch (row.dtype) {
        case DT_ANCHOR:
            support(node, "ANCH");
            fabrication_item("ANCHOR");
            break;
        case DT_RESTRAINT:
            if (const auto* s = dynamic_cast<const Restraint*>(d)) {
                const auto m = mapped(s->v.restrained[0], s->v.restrained[1], s->v.restrained[2]);
                std::string axes;
                for (int i = 0; i < 3; ++i)
                    if (m[static_cast<std::size_t>(i)] != 0.0)
                        axes += "XYZ"[i];
                std::string key = axes;
                key.resize(4, '*');
                support(node, key);
                fabrication_item("RESTRAINT-" + axes);
            }
            break;
        case DT_SKEWED_RESTRAINT:
            if (const auto* s = dynamic_cast<const SkewedRestraint*>(d)) {
                const auto c = mapped_direction(s->v.direction);
                std::string text = s->v.rotational ? "R" : "T";
                if (c[0] == 1.0)
                    text += "X";
                else if (c[1] == 1.0)
                    text += "Y";
                else if (c[2] == 1.0)
                    text += "Z";
                else
                    text = "SKEW";
                std::string key = text;
                key.resize(4, '*');
                support(node, key);
                fabrication_item(text + cosines(c));
                data_attribute(1, s->v.rotational ? format_rot_stiffness(s->v.stiffness) : format_stiffness(s->v.stiffness));
            }
            break;
        case DT_HANGER:
            if (const auto* h = dynamic_cast<const Hanger*>(d)) {
                const HangerValues& v = h->v;
                if (v.type == HANGER_USER) {
                    support(node, "HANG");
                    fabrication_item("USER-HANGER");
                    data_attribute(1, format_stiffness(v.spring_rate));
                    data_attribute(2, int_text(v.count));
                    data_attribute(3, format_force(v.load));
                    data_attribute(4, v.load_type == 0 ? "HOT" : "COLD");
                } else if (v.type == HANGER_ROD) {
                    support(node, "ROD*");
                    fabrication_item("ROD-HANGER");
                    data_attribute(1, int_text(v.count));
                } else if (v.type == HANGER_CONSTANT) {
                    support(node, "CS**");
                    fabrication_item("CONSTANT-HANGER");
                    data_attribute(1, int_text(v.count));
                } else {
                    const std::string text = no_blanks(std::string(hanger_type_name(v.type)) + "-" + int_text(v.count));
                    support(node, "SPRG");
                    fabrication_item(text);
                    data_attribute(1, text);
                    data_attribute(2, int_text(v.count));
                }
            }
            break;
        case DT_GUIDE:
            if (const auto* g = dynamic_cast<const Guide*>(d)) {
                support(node, "GUI*");
                fabrication_item("GUIDE");
                data_attribute(1, format_real(g->v.mu, 3, 1));
                data_attribute(2, format_stiffness(g->v.stiffness));
                data_attribute(3, format_displacement_or_none(g->v.gap));
            }
            break;
        case DT_LIMIT_STOP:
            if (const auto* s = dynamic_cast<const LimitStop*>(d)) {
                const auto c = mapped_direction(s->v.direction);
                const std::string key = c[0] == 1.0 ? "LSX*" : c[1] == 1.0 ? "LSY*" : c[2] == 1.0 ? "LSZ*" : "LIM*";
                support(node, key);
                fabrication_item("LS-" + cosines(c));
                data_attribute(1, format_displacement_or_none(s->v.upper));
                data_attribute(2, format_displacement_or_none(s->v.lower));
                data_attribute(3, format_stiffness(s->v.stiffness));
                data_attribute(4, format_real(s->v.mu, 5, 2));
            }
            break;
        case DT_NOZZLE:
            line("NOZZLE");
            co_ords(node);
            break;
        case DT_SNUBBER:
            if (const auto* s = dynamic_cast<const Snubber*>(d)) {
                const auto c = mapped_direction(s->v.direction);
                const std::string key = c[0] == 1.0 ? "XSNB" : c[1] == 1.0 ? "YSNB" : c[2] == 1.0 ? "ZSNB" : "SNUB";
                support(node, key);
                fabrication_item(key + "-" + cosines(c));
                data_attribute(1, format_stiffness(s->v.stiffness));
            }
            break;
        case DT_FLANGE:
            if (const auto* f = dynamic_cast<const Flange*>(d)) {
                std::string section = row.section;
                for (int r = index + 1; section.empty() && r <= numrows(); ++r)
                    if (model().rows[r].etype > ET_LOCATION && model().rows[r].etype != ET_COMMENT)
                        section = model().rows[r].section;
                if (section.empty())
                    break;
                static const char* const names[] = {"Weld neck", "Double welded slip on", "Single welded slip on",
                                                    "Fillet welded", "Socket welded", "Lap joint", "Threaded"};
                const double od = section_od(section);
                line("FLANGE");
                end_point(node, od);
                end_point(node, od);
                skey("FL**");
                fabrication_item(f->flange_type >= 1 && f->flange_type <= 7 ? names[f->flange_type - 1] : "Flange");
                if (f->weight != 0.0f)
                    line("    WEIGHT " + format_weight(f->weight) + " ");
            }
            break;
        case DT_BRANCH_SIF:
            if (const auto* b = dynamic_cast<const BranchSif*>(d)) {
                const auto [run, branch] = tee_bores(node);
                if (run <= 0.0001 || branch <= 0.0001)
                    break;
                const std::string bores = bore(run) + "x" + bore(branch);
                if (b->sif_type == BRANCH_WELDING_TEE) {
                    line("TEE");
                    end_point(node, run);
                    end_point(node, run);
                    centre_point(node);
                    branch_point(node, branch);
                    skey("TEBW");
                    fabrication_item("TEE-BW-" + bores);
                } else if (b->sif_type == 2 || b->sif_type == 3) {
                    line("TEE-SET-ON");
                    branch_point(node, branch);
                    centre_point(node);
                    skey("TESO");
                    fabrication_item("TEE-SET-ON-" + bores);
                } else {
                    line("TEE-STUB");
                    branch_point(node, branch);
                    centre_point(node);
                    skey("TSSO");
                    fabrication_item("TEE-STUB-" + bores);
                }
            }
            break;
        case DT_GENERIC_SUPPORT:
            support(node, "GNSP");
            fabrication_item("GENERIC-SUPP");
            break;
        default:
            break;
        }
    }

    void components()
    {
        for (int i = 1; i <= numrows(); ++i) {
            const LayoutRow& row = model().rows[i];
            if (row.etype == ET_NONE || row.etype == ET_COMMENT || row.etype == ET_HYDROTEST_LOAD)
                continue;
            if (row.etype == ET_FROM) {
                pipeline(i);
            } else if (!row.built) {
                continue;
            } else {
                ensure_pipeline(i);
                component(row);
            }
            if (row.dtype != DT_NONE && row.node_index != 0) {
                ensure_pipeline(i);
                data_item(i, row);
            }
        }
    }
};

}  // namespace

double pcf_nominal_bore(double outside_diameter, bool inch)
{
    for (const PipeSize& s : SMALL_SIZES)
        if (std::fabs(s.od - outside_diameter) <= BORE_MATCH)
            return inch ? s.nps : s.dn;
    for (int nps = 14; nps <= 64; nps += 2)
        if (std::fabs(nps - outside_diameter) <= BORE_MATCH)
            return inch ? nps : 25.0 * nps;
    return inch ? outside_diameter : outside_diameter * 25.4;
}

void write_pcf_text(std::ostream& out)
{
    UnitChoicesKept user_units;
    PcfWriter w{out, true, false, false, {}};
    w.inch = current_unit(LENGTH) <= 2;
    w.z_vertical = analysis_options().z_vertical;
    w.line("ISOGEN-FILES ISOGEN.FLS");
    if (w.inch) {
        for (const char* l : {"UNITS-BORE INCH", "UNITS-CO-ORDS INCH", "UNITS-WEIGHT LBS", "UNITS-BOLT-DIA INCH",
                              "UNITS-BOLT-LENGTH INCH"})
            w.line(l);
        reset_unit_choice();
        unit_choice()[LENGTH] = 2;
    } else {
        for (const char* l : {"UNITS-BORE MM", "UNITS-CO-ORDS MM", "UNITS-WEIGHT KGS", "UNITS-BOLT-DIA MM",
                              "UNITS-BOLT-LENGTH MM"})
            w.line(l);
        set_batch_si_units();
    }
    // Bend angles are degrees whatever the user shows.
    unit_choice()[ANGLE] = 0;
    w.line("SYSTEM-ISOMETRIC-REFERENCE " + model_title());
    w.components();
    w.line("MATERIALS");
    for (const MaterialEntry& e : w.materials) {
        w.line("ITEM-CODE " + e.code);
        w.line("    TYPE " + e.type);
        w.line("    MATERIAL " + e.material);
        w.line("    GRADE " + e.grade);
    }
}

std::string pcf_export_text()
{
    std::ostringstream out;
    write_pcf_text(out);
    return out.str();
}

void export_pcf_at(const std::string& path, const ExportBufferFilter& filter)
{
    write_export_file(path, [](std::ostream& out) { write_pcf_text(out); }, filter);
}
