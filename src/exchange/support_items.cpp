// The item keywords of supports: anchor stiffnesses, releases and specified
// displacements, restraints, skewed restraints, hangers, guides, limit
// stops, snubbers and vessel nozzles.
#include "exchange/row_item_handlers.h"
#include "framework/text.h"
#include "framework/units.h"
#include "model/nodes.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"
#include "supports/nozzle.h"

#include <cmath>

namespace {

// The displacement set of D/DIS (1), D2/DIS2 .. D10/DIS10, SEIS and SETT, and
// of the rotations ROT, ROT2 .. ROT10, SERO and STRO.
std::vector<std::pair<std::vector<std::string>, int>> displacement_keywords()
{
    std::vector<std::pair<std::vector<std::string>, int>> k{{{"D", "DIS"}, 1}};
    for (int set = 2; set <= 10; ++set)
        k.push_back({{"D" + std::to_string(set), "DIS" + std::to_string(set)}, set});
    k.push_back({{"SEIS"}, SEISMIC_DISPLACEMENT_SET});
    k.push_back({{"SETT"}, SETTLEMENT_DISPLACEMENT_SET});
    return k;
}

std::vector<std::pair<std::string, int>> rotation_keywords()
{
    std::vector<std::pair<std::string, int>> k{{"ROT", 1}};
    for (int set = 2; set <= 10; ++set)
        k.push_back({"ROT" + std::to_string(set), set});
    k.push_back({"SERO", SEISMIC_DISPLACEMENT_SET});
    k.push_back({"STRO", SETTLEMENT_DISPLACEMENT_SET});
    return k;
}

std::array<float, 6>& displacement_set(const ItemReading& r, int set)
{
    DisplacementSets& d = r.values().displacements;
    d.given[static_cast<std::size_t>(set)] = 1;
    return d.values[static_cast<std::size_t>(set)];
}

// TRAK and ROTK: three stiffnesses; a member of 0 is stored as -1 (given as
// nothing), so that it differs from a stiffness that no item gave.
void read_three_stiffnesses(const ItemReading& r, ItemReading::Parser parser, const char* form_message,
                            const char* message, std::array<float, 3>& out)
{
    r.tuple_only_or(form_message);
    for (std::size_t i = 0; i < 3; ++i) {
        const float k = r.number(r.it.c[i], parser, message, not_below(0.0f));
        out[i] = k == 0.0f ? -1.0f : k;
    }
}

// A hanger kind with an optional number of hangers (VS, CS, RH).
void read_hanger(const ItemReading& r, int kind, const char* form_message)
{
    r.not_tuple_or(form_message);
    RowItemValues& v = r.values();
    v.hanger_kind = kind;
    if (!r.it.c[0].empty())
        v.hanger_count = r.integer(r.it.c[0], "Invalid number of hangers",
                                   [](int32_t n) { return n >= 1 && n <= MAX_HANGERS_AT_NODE; });
}

// A limit of LS: empty or NONE is no limit.
float read_limit(const ItemReading& r, const std::string& text, float none, const char* message)
{
    if (text.empty() || text == "NONE")
        return none;
    return r.number(text, parse_displacement, message);
}

// A stop whose limits both lie beyond this on their side has none.
constexpr float NO_LIMIT_GIVEN = 1.0e29f;

bool nozzle_on_sphere(const ItemReading& r)
{
    return r.values().nozzle_type == NOZZLE_PD_5500;
}

}  // namespace

ItemHandlers support_item_handlers()
{
    ItemHandlers h;

    // ---- Specified displacements -----------------------------------------------
    for (const auto& [keywords, set] : displacement_keywords())
        h.push_back({keywords, [set = set](const ItemReading& r) {
                         r.tuple_only("specified displacement", "(0.1,0,-0.2)");
                         std::array<float, 6>& d = displacement_set(r, set);
                         for (std::size_t i = 0; i < 3; ++i)
                             d[i] = r.number(r.it.c[i], parse_displacement, "Invalid displacement");
                     }});
    for (const auto& [keyword, set] : rotation_keywords())
        h.push_back({{keyword}, [set = set](const ItemReading& r) {
                         r.tuple_only("specified rotation", "(0.1,0,-0.2)");
                         std::array<float, 6>& d = displacement_set(r, set);
                         for (std::size_t i = 0; i < 3; ++i)
                             d[3 + i] = r.number(r.it.c[i], parse_angle, "Invalid rotation");
                     }});
    const std::vector<std::string> axes[3] = {{"DX", "DISX"}, {"DY", "DISY"}, {"DZ", "DISZ"}};
    for (std::size_t i = 0; i < 3; ++i) {
        h.push_back({axes[i], [i](const ItemReading& r) {
                         r.scalar_only("specified displacement", "0.1");
                         displacement_set(r, 1)[i] = r.number(r.it.c[0], parse_displacement, "Invalid displacement");
                     }});
        h.push_back({{std::string("ROT") + "XYZ"[i]}, [i](const ItemReading& r) {
                         displacement_set(r, 1)[3 + i] = r.number(r.it.c[0], parse_angle, "Invalid rotation");
                     }});
    }

    // ---- Anchor frame, stiffness and releases ------------------------------------
    h.push_back({{"LA"}, [](const ItemReading& r) {
                     r.values().local_axes = r.integer(r.it.c[0], "Invalid anchor type 0 = GCS, 1 = LCS",
                                                       [](int32_t n) { return n == 0 || n == 1; });
                 }});
    h.push_back({{"LD"}, [](const ItemReading& r) {
                     r.values().local_displacements = r.integer(
                         r.it.c[0], "Invalid displacement type 0 = GCS, 1 = LCS", [](int32_t n) { return n == 0 || n == 1; });
                 }});
    h.push_back({{"TRAK"}, [](const ItemReading& r) {
                     read_three_stiffnesses(r, parse_stiffness, "Invalid Translational Stiffness", "Invalid stiffness",
                                            r.values().translational);
                 }});
    h.push_back({{"ROTK"}, [](const ItemReading& r) {
                     read_three_stiffnesses(r, parse_rot_stiffness, "Invalid Rotational Stiffness",
                                            "Invalid Rot.stiffness", r.values().rotational);
                 }});
    h.push_back({{"FREE"}, [](const ItemReading& r) { r.values().released.fill(1); }});
    const char* const releases[6] = {"FREEX", "FREEY", "FREEZ", "FREEXX", "FREEYY", "FREEZZ"};
    for (std::size_t i = 0; i < 6; ++i)
        h.push_back({{releases[i]}, [i](const ItemReading& r) { r.values().released[i] = 1; }});
    for (const char* keyword : {"FIXR", "FIXRX", "FIXRY", "FIXRZ"}) {
        const std::string message = std::string(keyword) + " is not available";
        h.push_back({{keyword}, [message](const ItemReading& r) { r.fail(message); }});
    }

    // ---- Restraints ----------------------------------------------------------------
    h.push_back({{"F", "FIXD"}, [](const ItemReading& r) {
                     r.tuple_only("restraint", "(1,0,1)");
                     for (std::size_t i = 0; i < 3; ++i) {
                         float flag = 0.0f;
                         if (parse_real(r.it.c[i], flag) != 0)
                             r.fail("Invalid restraint");
                         if (flag != 0.0f)
                             r.values().restrained[i] = 1;
                     }
                 }});
    const std::vector<std::string> restraint_axes[3] = {{"FX", "FIXDX"}, {"FY", "FIXDY"}, {"FZ", "FIXDZ"}};
    for (std::size_t i = 0; i < 3; ++i)
        h.push_back({restraint_axes[i], [i](const ItemReading& r) {
                         r.not_tuple_or("Invalid restraint");
                         if (r.it.c[0].empty() || r.real(r.it.c[0], "Invalid restraint") != 0.0f)
                             r.values().restrained[i] = 1;
                     }});

    // ---- Skewed restraints, directions, stiffness, friction, connection, tag ----------
    h.push_back({{"K"}, [](const ItemReading& r) {
                     if (r.it.c[0].empty())
                         r.fail("Stiffness (k) is not specified");
                     r.values().k = r.number(r.it.c[0], parse_stiffness, "Invalid stiffness");
                 }});
    h.push_back({{"KR"}, [](const ItemReading& r) {
                     if (r.it.c[0].empty())
                         r.fail("Rotational stiffness (kr) is not specified");
                     r.values().kr = r.number(r.it.c[0], parse_rot_stiffness, "Invalid rotational stiffness");
                 }});
    h.push_back({{"DV"}, [](const ItemReading& r) {
                     r.tuple_only("direction vector", "(0.5,0,-1.0)");
                     if (nozzle_on_sphere(r))
                         return;
                     std::array<float, 3> d{};
                     const char* const messages[3] = {"Invalid xcomp", "Invalid ycomp", "Invalid zcomp"};
                     for (std::size_t i = 0; i < 3; ++i)
                         d[i] = r.real(r.it.c[i], messages[i]);
                     // A vector this short has no direction.
                     if (!direction_given(d[0], d[1], d[2]))
                         r.fail("Direction vector is too short", r.it.text);
                     r.values().direction = d;
                     r.values().direction_given = true;
                 }});
    h.push_back({{"STIFF"}, [](const ItemReading& r) {
                     if (r.it.c[0].empty())
                         r.fail("Stiffness (k) is not specified");
                     r.values().stiffness = r.number(r.it.c[0], parse_stiffness, "Invalid stiffness");
                 }});
    h.push_back({{"MU"}, [](const ItemReading& r) {
                     r.values().mu = r.real(r.it.c[0], "Invalid friction coefficient (MU)", not_below(0.0f));
                 }});
    h.push_back({{"CNOD"}, [](const ItemReading& r) {
                     int node = 0;
                     if (parse_node_text_code(r.it.c[0], node) != 0)
                         r.fail("Invalid connected node number");
                     r.values().connected = node;
                 }});
    h.push_back({{"TAG"}, [](const ItemReading& r) {
                     const std::string& tag = r.it.c[0];
                     if (!tag_valid(tag))
                         r.fail("Invalid Tag", tag);
                     if (!tag.empty())
                         r.values().tag = tag;
                 }});

    // ---- Hangers ----------------------------------------------------------------------
    h.push_back({{"VS"}, [](const ItemReading& r) { read_hanger(r, r.ctx.hanger_catalog, "Invalid hanger"); }});
    h.push_back({{"CS"}, [](const ItemReading& r) { read_hanger(r, HANGER_CONSTANT, "Invalid constant support"); }});
    h.push_back({{"RH"}, [](const ItemReading& r) { read_hanger(r, HANGER_ROD, "Invalid rod hanger"); }});
    h.push_back({{"US"}, [](const ItemReading& r) {
                     r.tuple_only_or("Invalid user defined hanger");
                     RowItemValues& v = r.values();
                     v.hanger_kind = HANGER_USER;
                     if (!r.it.c[0].empty())
                         v.hanger_count = r.integer(r.it.c[0], "Invalid number of hangers",
                                                    [](int32_t n) { return n >= 1 && n <= MAX_HANGERS_AT_NODE; });
                     v.spring_rate =
                         r.number(r.it.c[1], parse_stiffness, "Invalid spring rate for user defined hanger");
                     v.hanger_load = r.number(r.it.c[2], parse_force, "Invalid load for user defined hanger");
                 }});
    h.push_back({{"HTYP"}, [](const ItemReading& r) {
                     // Every catalogue the program knows, as the batch export writes them.
                     r.values().hanger_kind = r.integer(r.it.c[0], "Invalid hanger type",
                                                        [](int32_t n) { return n >= 1 && n <= HANGER_CATALOGUES; });
                 }});
    h.push_back({{"SR"}, [](const ItemReading& r) { r.values().short_range = true; }});
    h.push_back({{"MLV"}, [](const ItemReading& r) {
                     const float percent = r.real(r.it.c[0], "Invalid load variation (MLV)", [](float p) {
                         return std::trunc(p) >= 1.0f && std::trunc(p) <= 99.0f;
                     });
                     r.values().load_variation = static_cast<int32_t>(std::trunc(percent));
                 }});
    h.push_back({{"CLD"}, [](const ItemReading& r) {
                     const int32_t type = r.integer(r.it.c[0], "Invalid load type for user defined hanger");
                     if (type > 0)
                         r.values().load_type = type;
                 }});

    // ---- Guides, limit stops and snubbers ------------------------------------------------
    h.push_back({{"G"}, [](const ItemReading& r) {
                     // "G=" and "G(" carry no value.
                     if (!r.it.value.empty())
                         r.fail(c_format("Invalid guide: %s", r.it.text.c_str()), r.it.text);
                     r.values().guide = true;
                 }});
    h.push_back({{"GGAP"}, [](const ItemReading& r) {
                     r.values().guide_gap = r.number(r.it.c[0], parse_displacement, "Invalid gap");
                 }});
    h.push_back({{"LS"}, [](const ItemReading& r) {
                     r.tuple_only("limit stop", "(-1.0,1.50)");
                     const float lower = read_limit(r, r.it.c[0], -NO_LIMIT, "Invalid lower limit");
                     const float upper = read_limit(r, r.it.c[1], NO_LIMIT, "Invalid upper limit");
                     if (lower < -NO_LIMIT_GIVEN && upper > NO_LIMIT_GIVEN)
                         r.fail("No limits are specified\n");
                     // Limits that cross make no stop, whether or not one of them is 0.
                     if (!limits_in_order(lower, upper))
                         r.fail(c_format("Invalid limit stop: %s\n%s", r.it.text.c_str(), LIMITS_OUT_OF_ORDER));
                     RowItemValues& v = r.values();
                     v.lower_limit = lower;
                     v.upper_limit = upper;
                     v.limit_stop = true;
                 }});
    h.push_back({{"SNUBBER"}, [](const ItemReading& r) { r.values().snubber = true; }});

    // ---- Vessel nozzles ------------------------------------------------------------------
    h.push_back({{"NOZZLE"}, [](const ItemReading& r) {
                     r.values().nozzle_type = r.integer(r.it.c[0], "Invalid Nozzle type", [](int32_t n) {
                         return n == NOZZLE_WRC_297 || n == NOZZLE_API_650 || n == NOZZLE_PD_5500;
                     });
                 }});
    h.push_back({{"RPAD"}, [](const ItemReading& r) {
                     int32_t pad = 0;
                     if (parse_int(r.it.c[0], pad) != 0 || (pad != 0 && pad != 1))
                         r.fail("Invalid Reinforcing pad input");
                     r.values().pad = pad;
                 }});
    struct NozzleDimension {
        const char* keyword;
        float minimum;
        const char* message;
        float RowItemValues::*member;
    };
    for (const NozzleDimension& d :
         {NozzleDimension{"NOD", 0.001f, "Invalid nozzle od", &RowItemValues::nozzle_od},
          NozzleDimension{"NTHK", 0.0001f, "Invalid nozzle thickness", &RowItemValues::nozzle_thickness},
          NozzleDimension{"VOD", 0.001f, "Invalid vessel od", &RowItemValues::vessel_od},
          NozzleDimension{"VTHK", 0.0001f, "Invalid vessel thickness", &RowItemValues::vessel_thickness}})
        h.push_back({{d.keyword}, [d](const ItemReading& r) {
                         r.values().*d.member = r.number(r.it.c[0], parse_dimension, d.message, not_below(d.minimum));
                     }});
    h.push_back({{"L1"}, [](const ItemReading& r) {
                     if (nozzle_on_sphere(r))
                         return;
                     r.values().length1 = r.number(r.it.c[0], parse_length, "Invalid length 1", not_below(0.001f));
                 }});
    h.push_back({{"L2"}, [](const ItemReading& r) {
                     r.values().length2 = r.number(r.it.c[0], parse_length, "Invalid length 2", not_below(0.001f));
                 }});
    h.push_back({{"E"}, [](const ItemReading& r) {
                     // An empty value reads as 0, which passes.
                     if (!r.it.c[0].empty())
                         r.values().vessel_modulus = r.number(r.it.c[0], parse_modulus, "Invalid modulus");
                 }});
    return h;
}
