// The item keywords of the row's element (bends, miters, jacketed elements,
// reducers, valves, bellows, joints, rigid and elastic elements, cut pipes,
// beams, tie rods, hydrotest loads) and of the component data items (branch
// and user SIFs, flanges, welds, threaded joints, jacket end caps, spiders).
#include "elements/joints.h"
#include "elements/weld.h"
#include "exchange/row_item_handlers.h"
#include "framework/text.h"
#include "framework/units.h"
#include "loads/beam_load.h"
#include "loads/pipe_load.h"
#include "materials/beam_material.h"
#include "materials/beam_section.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/layout_row.h"
#include "model/nodes.h"

namespace {

// A name that must stand in its set: the jacket's and the beam's names.
void read_reference(const ItemReading& r, const char* form_message, int (*index)(const std::string&),
                    const char* undefined, std::string RowItemValues::*member)
{
    r.not_tuple_or(form_message);
    const std::string& name = r.it.c[0];
    if (name.empty())
        r.fail("Reference cannot be NULL", r.it.text);
    if (name_fault(name, NAME_LENGTH) == NameFault::TOO_LONG)
        r.fail("Max char > 5 ", name);
    if (index(name) == 0)
        r.fail(undefined, name);
    r.values().*member = name;
}

// A joint's rotation limit: an angle above 0, or NONE (or nothing, as an
// empty tuple member) for no limit, whatever the angle unit. A limit of 0
// would lock the joint, which the joints do not take: a locked joint is a
// rigid element.
float rotation_limit(const ItemReading& r, const std::string& text, const char* message)
{
    if (text == "NONE" || text.empty())
        return NO_ROTATION_LIMIT;
    return r.number(text, parse_angle, message, above(0.0f));
}

// One scalar value of the row read by a parser and checked.
struct ValueItem {
    const char* keyword;
    ItemReading::Parser parser;
    const char* message;
    std::function<bool(float)> ok;
    float RowItemValues::*member;
};

// A stress intensification factor: 1 or more.
const std::function<bool(float)> SIF_RANGE = not_below(1.0f);

}  // namespace

ItemHandlers element_item_handlers()
{
    ItemHandlers h;
    const auto real = [](const std::string& text, float& v) { return parse_real(text, v); };
    const ItemReading::Parser plain = real;

    // ---- Values read alike: the keyword's one value, its check, its member ----
    const ValueItem value_items[] = {
        {"BTHK", parse_dimension, "Invalid Bend thickness", not_below(0.0f), &RowItemValues::bend_thickness},
        // A factor of 0 would make the bend infinitely stiff; the editors refuse it too.
        {"FF", plain, "Invalid flexibility factor", above(0.0f), &RowItemValues::flexibility_factor},
        {"SIFA", plain, "Invalid Axial SIF", SIF_RANGE, &RowItemValues::sif_axial},
        {"SIFT", plain, "Invalid Torsion SIF", SIF_RANGE, &RowItemValues::sif_torsion},
        {"JTHK", parse_dimension, "Invalid Jacket Thickness", not_below(0.0f), &RowItemValues::jacket_thickness},
        {"OD1", parse_dimension, "Invalid OD1", above(0.0f), &RowItemValues::od1},
        {"OD2", parse_dimension, "Invalid OD2", above(0.0f), &RowItemValues::od2},
        {"THK1", parse_dimension, "Invalid THK1", above(0.0f), &RowItemValues::thk1},
        {"THK2", parse_dimension, "Invalid THK2", above(0.0f), &RowItemValues::thk2},
        {"CONE", parse_angle, "Invalid Cone angle", not_below(0.0f), &RowItemValues::cone},
        {"VWGT", parse_weight, "Invalid weight (VWGT)", not_below(0.0f), &RowItemValues::valve_weight},
        {"AWGT", parse_weight, "Invalid additional weight (AWGT)", not_below(0.0f), &RowItemValues::additional_weight},
        {"THKF", plain, "Invalid thickness factor", not_below(0.01f), &RowItemValues::thickness_factor},
        {"INSF", plain, "Invalid insulation weight factor", not_below(0.01f), &RowItemValues::insulation_factor},
        {"TA", parse_area, "Invalid thrust area", not_below(0.0f), &RowItemValues::thrust_area},
        {"MD", parse_dimension, "Invalid Mean Diameter", not_below(0.0f), &RowItemValues::mean_diameter},
        {"BK", parse_rot_stiffness, "Invalid bending stiffness", not_below(0.0f), &RowItemValues::bending_stiffness},
        {"WGT", parse_weight, "Invalid weight (WGT)", not_below(0.0f), &RowItemValues::weight},
        // A friction force or torque acts against the movement, whatever its sign
        // in the file would say; the joints take none below 0.
        {"FFOR", parse_force, "Invalid friction force", not_below(0.0f), &RowItemValues::friction_force},
        {"FTOR", parse_moment, "Invalid friction torque", not_below(0.0f), &RowItemValues::friction_torque},
        {"BETA", parse_angle, "Invalid Beta value", {}, &RowItemValues::beta},
        {"HPRES", parse_pressure, "Invalid Hydrotest pressure", not_below(0.0f), &RowItemValues::hydrotest_pressure},
        {"HSG", plain, "Invalid specific gravity", not_below(0.0f), &RowItemValues::hydrotest_gravity},
        {"CRTCH", parse_dimension, "Invalid crotch radius: (CRTCH)", above(0.0f), &RowItemValues::crotch_radius},
        {"PAD", parse_dimension, "Invalid pad thickness", not_below(0.0f), &RowItemValues::pad_thickness},
        {"THK", parse_dimension, "Invalid Thickness", not_below(0.001f), &RowItemValues::branch_thickness},
        {"LEN", parse_dimension, "Invalid Length", not_below(0.001f), &RowItemValues::branch_length},
        {"R", parse_dimension, "Invalid Fillet/Branch Radius", not_below(0.001f), &RowItemValues::branch_radius},
        {"GDIA", parse_dimension, "Invalid Gasket Diameter (GDIA)", not_below(0.0f), &RowItemValues::gasket_diameter},
        {"AP", parse_pressure, "Invalid allowable pressure", not_below(0.0f), &RowItemValues::allowable_pressure},
        {"DELTA", parse_dimension, "Invalid delta value", not_below(0.0f), &RowItemValues::mismatch},
    };
    for (const ValueItem& item : value_items)
        h.push_back({{item.keyword}, [item](const ItemReading& r) {
                         r.values().*item.member = r.number(r.it.c[0], item.parser, item.message, item.ok);
                     }});

    // ---- Bends, miters and jacketed elements --------------------------------------------
    h.push_back({{"BMAT"}, [](const ItemReading& r) {
                     const std::string& name = r.it.c[0];
                     if (name.empty() || name_fault(name, NAME_LENGTH) == NameFault::TOO_LONG)
                         r.fail("Invalid bend material name", name);
                     if (material_index(name) == 0)
                         r.fail("Bend Material not defined", name);
                     r.values().bend_material = name;
                 }});
    h.push_back({{"BSIF"}, [](const ItemReading& r) {
                     r.tuple_only_or("Invalid Bend SIF");
                     // An empty member is a factor not given, as the batch export
                     // writes a factor of 1 or less.
                     RowItemValues& v = r.values();
                     const auto sif = [&r](const std::string& text, const char* message) {
                         return text.empty() ? 0.0f : r.real(text, message, SIF_RANGE);
                     };
                     v.sif_in = sif(r.it.c[0], "Invalid inplane SIF");
                     v.sif_out = sif(r.it.c[1], "Invalid outplane SIF");
                 }});
    for (int n : {1, 2})
        h.push_back({{"IN" + std::to_string(n)}, [n](const ItemReading& r) {
                         r.tuple_only_or("Invalid Intermediate Bend Node");
                         RowItemValues& v = r.values();
                         int node = 0;
                         if (parse_node_text_code(r.it.c[0], node) != 0)
                             r.fail(c_format("Invalid intermediate node%d", n), r.it.c[0]);
                         const float angle = r.number(r.it.c[1], parse_angle,
                                                      c_format("Invalid intermediate node%d angle", n), not_below(0.0f));
                         (n == 1 ? v.node1 : v.node2) = node;
                         (n == 1 ? v.angle1 : v.angle2) = angle;
                     }});
    h.push_back({{"WS"}, [](const ItemReading& r) { r.values().miter_spacing = 2; }});
    h.push_back({{"JMAT"}, [](const ItemReading& r) {
                     read_reference(r, "Invalid Jacket information", material_index, "Jacket Material not defined",
                                    &RowItemValues::jacket_material);
                 }});
    h.push_back({{"JSEC"}, [](const ItemReading& r) {
                     read_reference(r, "Invalid Jacket information", section_index, "Jacket Section not defined",
                                    &RowItemValues::jacket_section);
                 }});
    h.push_back({{"JLOAD"}, [](const ItemReading& r) {
                     read_reference(r, "Invalid Jacket information", load_index, "Jacket Load not defined",
                                    &RowItemValues::jacket_load);
                 }});
    h.push_back({{"JR"}, [](const ItemReading& r) {
                     r.values().jacket_radius =
                         r.number(r.it.c[0], parse_dimension, "Invalid Jacket Radius", not_below(0.0f));
                     r.values().jacket_radius_given = true;
                 }});
    h.push_back({{"JCAP"}, [](const ItemReading& r) { r.values().end_cap = true; }});
    h.push_back({{"SPIDER"}, [](const ItemReading& r) { r.values().spider = true; }});

    // ---- Valves, bellows, joints, rigid and elastic elements --------------------------
    h.push_back({{"OFFSET"}, [](const ItemReading& r) {
                     r.tuple_only("OFFSET", "(0,18,0)");
                     const char* const messages[3] = {"Invalid X offset", "Invalid Y offset", "Invalid Z offset"};
                     for (std::size_t i = 0; i < 3; ++i)
                         r.values().offset[i] = r.number(r.it.c[i], parse_signed_dimension, messages[i]);
                 }});
    h.push_back({{"ES"}, [](const ItemReading& r) {
                     if (!r.it.tuple)
                         r.fail(c_format("Invalid expansion joint stiffnesses: %s\nEnter as ES(axial stiffness, "
                                         "lateral stiffness, torsional stiffness)",
                                         r.it.text.c_str()));
                     // A stiffness below 1 is taken as 1: a joint without stiffness would
                     // leave its two nodes unconnected in that direction.
                     const auto at_least_one = [](float k) { return k < 1.0f ? 1.0f : k; };
                     RowItemValues& v = r.values();
                     v.axial_stiffness = at_least_one(
                         r.number(r.it.c[0], parse_stiffness, "Invalid axial stiffness", not_below(0.0f)));
                     v.lateral_stiffness = at_least_one(
                         r.number(r.it.c[1], parse_stiffness, "Invalid lateral stiffness", not_below(0.0f)));
                     v.torsional_stiffness = at_least_one(
                         r.number(r.it.c[2], parse_rot_stiffness, "Invalid torsional stiffness", not_below(0.0f)));
                 }});
    h.push_back({{"HS"}, [](const ItemReading& r) {
                     if (r.it.c[0].empty())
                         r.fail("Hinge stiffness (HS) is not specified");
                     r.values().torsional_stiffness =
                         r.number(r.it.c[0], parse_rot_stiffness, "Invalid hinge stiffness", not_below(0.0f));
                 }});
    h.push_back({{"RLIM"}, [](const ItemReading& r) {
                     r.values().rotation_limit = rotation_limit(r, r.it.c[0], "Invalid rotation limit");
                 }});
    h.push_back({{"RK"}, [](const ItemReading& r) {
                     r.tuple_only_or("Invalid Rotational Stiffness");
                     for (std::size_t i = 0; i < 2; ++i)
                         r.values().ball_stiffness[i] =
                             r.number(r.it.c[i], parse_rot_stiffness, "Invalid Rotational Stiffness", not_below(0.0f));
                 }});
    h.push_back({{"FRCT"}, [](const ItemReading& r) {
                     r.tuple_only_or("Invalid Friction Torque");
                     const char* const messages[2] = {"Invalid bending friction torque", "Invalid torsional friction torque"};
                     for (std::size_t i = 0; i < 2; ++i)
                         r.values().ball_friction[i] = r.number(r.it.c[i], parse_moment, messages[i], not_below(0.0f));
                 }});
    h.push_back({{"ROTL"}, [](const ItemReading& r) {
                     r.tuple_only_or("Invalid Rotational Limit");
                     const char* const messages[2] = {"Invalid bending limit", "Invalid torsion limit"};
                     for (std::size_t i = 0; i < 2; ++i)
                         r.values().ball_limits[i] = rotation_limit(r, r.it.c[i], messages[i]);
                 }});
    for (const char axis : {'X', 'Y'})
        h.push_back({{std::string("L") + axis + "AX"}, [axis](const ItemReading& r) {
                         std::array<float, 3> d{};
                         const char lower = static_cast<char>(axis - 'X' + 'x');
                         for (std::size_t i = 0; i < 3; ++i)
                             d[i] = r.real(r.it.c[i], c_format("Invalid %c%ccomp", lower, "XYZ"[i]));
                         // A vector this short has no direction.
                         if (!direction_given(d[0], d[1], d[2]))
                             r.fail(c_format("0.0, 0.0, 0.0 is not a valid %c direction", axis));
                         (axis == 'X' ? r.values().local_x : r.values().local_y) = d;
                     }});

    // ---- Cut pipes, beams, tie rods ------------------------------------------------------
    h.push_back({{"SHORT"}, [](const ItemReading& r) {
                     r.values().cut = r.number(r.it.c[0], parse_dimension, "Invalid Cut value", above(0.0f));
                 }});
    h.push_back({{"LONG"}, [](const ItemReading& r) {
                     r.values().cut = -r.number(r.it.c[0], parse_dimension, "Invalid Cut value", above(0.0f));
                 }});
    h.push_back({{"MAT"}, [](const ItemReading& r) {
                     read_reference(r, "Invalid Beam information", beam_material_index, "Beam Material not defined",
                                    &RowItemValues::beam_material);
                 }});
    h.push_back({{"SEC"}, [](const ItemReading& r) {
                     read_reference(r, "Invalid Beam information", beam_section_index, "Beam Section not defined",
                                    &RowItemValues::beam_section);
                 }});
    h.push_back({{"LOAD"}, [](const ItemReading& r) {
                     read_reference(r, "Invalid Beam information", beam_load_index, "Beam Load not defined",
                                    &RowItemValues::beam_load);
                 }});
    h.push_back({{"KTIE"}, [](const ItemReading& r) {
                     r.tuple_only_or("Invalid Tie rod input");
                     const char* const messages[2] = {"Invalid tension stiffness", "Invalid compression stiffness "};
                     for (std::size_t i = 0; i < 2; ++i)
                         r.values().tie_stiffness[i] = r.number(r.it.c[i], parse_stiffness, messages[i], not_below(0.0f));
                 }});
    h.push_back({{"GAP"}, [](const ItemReading& r) {
                     r.tuple_only_or("Invalid Tie rod input");
                     const char* const messages[2] = {"Invalid tension gap", "Invalid compression gap "};
                     for (std::size_t i = 0; i < 2; ++i)
                         r.values().tie_gap[i] = r.number(r.it.c[i], parse_dimension, messages[i], not_below(0.0f));
                 }});

    // ---- Component data items ------------------------------------------------------------
    h.push_back({{"SIF"}, [](const ItemReading& r) {
                     RowItemValues& v = r.values();
                     if (r.it.tuple) {
                         v.sif_in = r.real(r.it.c[0], "Invalid inplane SIF", SIF_RANGE);
                         v.sif_out = r.real(r.it.c[1], "Invalid outplane SIF", SIF_RANGE);
                     } else {
                         v.sif_in = v.sif_out = r.real(r.it.c[0], "Invalid SIF", SIF_RANGE);
                     }
                     v.user_sif = true;
                 }});
    for (std::size_t i = 0; i < 10; ++i)
        h.push_back({{IGEM_FACTOR_KEYWORDS[i]}, [i](const ItemReading& r) {
                         r.values().igem[i] = r.real(r.it.c[0], "Invalid SIF", SIF_RANGE);
                     }});
    h.push_back({{"FLANGE"}, [](const ItemReading& r) {
                     const char* const codes[] = {"WN", "DW", "SO", "FW", "SW", "LJ", "TH"};
                     RowItemValues& v = r.values();
                     v.flange_type = 1;
                     for (int type = 1; type <= 7; ++type)
                         if (r.it.value == codes[type - 1])
                             v.flange_type = type;
                     v.flange = true;
                 }});
    h.push_back({{"WTYPE"}, [](const ItemReading& r) {
                     // 0, a weld of no particular kind, is the plain butt weld.
                     const int32_t type =
                         r.integer(r.it.c[0], "Invalid weld type", [](int32_t t) { return t >= 0 && t <= WELD_TYPE_COUNT; });
                     r.values().weld_type = type == 0 ? WELD_BUTT : type;
                     r.values().weld = true;
                 }});
    h.push_back({{"TJOINT"}, [](const ItemReading& r) { r.values().threaded_joint = true; }});
    return h;
}
