// The support, fitting and load lines of a PipePak neutral file: each names
// the node of an earlier row and adds a Location row there (or at a bend's
// near or far end, or in its middle) carrying one data item.
#include "exchange/pnf_reader.h"
#include "exchange/row_objects.h"

#include "elements/branch_sif.h"
#include "elements/flange.h"
#include "elements/user_sif.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "framework/units.h"
#include "loads/nodal_loads.h"
#include "model/element_data.h"
#include "model/model.h"
#include "model/nodes.h"
#include "supports/anchor.h"
#include "supports/guide.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"
#include "supports/restraint.h"
#include "supports/skewed_restraint.h"
#include "supports/snubber.h"

#include <array>
#include <functional>
#include <string_view>

namespace {

// A node in the middle of a bend: the bend's node plus this.
constexpr int MID_BEND_OFFSET = 5;
// The stiffness that "FREE", and for some items a missing value, stands for:
// 1 lb/in, whatever the file's units.
constexpr float SOFT_STIFFNESS = 1.0f;

// Runs a kind's own check of its values; its message ends the import at the line.
void checked(const PnfImport& p, const std::function<void()>& check)
{
    if (const std::optional<std::string> refusal = refusal_of(check))
        p.fail(*refusal);
}

// A direction component: a plain number ("*" is not one).
float component(const PnfImport& p, const std::optional<std::string>& word, const char* message)
{
    return word ? static_cast<float>(p.plain(*word, message, NeutralQuantity::SignedDimension)) : 0.0f;
}

const char* const XYZ_MESSAGES[3] = {"Invalid xcomp", "Invalid ycomp", "Invalid zcomp"};

// A stiffness of 1 lb/in where the line gives "*", "FREE", 0 or nothing.
float soft_default_stiffness(const PnfImport& p, const std::optional<std::string>& word, const char* message)
{
    if (!word || *word == "*" || *word == "FREE")
        return SOFT_STIFFNESS;
    const float k = p.stiffness(*word, message);
    return k == 0.0f ? SOFT_STIFFNESS : k;
}

// ---- Items ------------------------------------------------------------------------------------

void read_pnf_anchor(PnfImport& p, int row)
{
    AnchorValues a;
    static const char* const MESSAGES[6] = {"Invalid stiffness kx", "Invalid stiffness ky",
                                            "Invalid stiffness kz", "Invalid rotational stiffness kxx",
                                            "Invalid rotational stiffness kyy", "Invalid rotational stiffness kzz"};
    for (std::size_t i = 0; i < 6; ++i) {
        const std::optional<std::string> word = p.next();
        float k = 0.0f;
        if (word && *word == "FREE")
            k = i < 3 ? SOFT_STIFFNESS : PnfImport::one_rot_unit();
        else if (word && *word != "*")
            k = i < 3 ? p.stiffness(*word, MESSAGES[i]) : p.rot_stiffness(*word, MESSAGES[i]);
        // Not given, or 0: rigid.
        a.stiffness[i] = k == 0.0f ? RIGID_STIFFNESS : k;
    }
    static const char* const SET_MESSAGES[6] = {"Invalid displacement x",      "Invalid displacement y",
                                                "Invalid displacement z",      "Invalid rot. displacement x",
                                                "Invalid rot. displacement y", "Invalid rot. displacement z"};
    // Up to three sets, for T1, T2 and T3: a set is there once its dx word
    // is; the values it leaves out are 0.
    bool more = true;
    for (std::size_t set = 1; set <= 3 && more; ++set) {
        for (std::size_t i = 0; i < 6; ++i) {
            const std::optional<std::string> word = p.next();
            if (!word) {
                more = false;
                break;
            }
            a.displacements.given[set] = 1;
            if (*word == "*")
                continue;
            a.displacements.values[set][i] =
                i < 3 ? p.signed_dimension(*word, SET_MESSAGES[i])
                      : p.parsed(*word, parse_angle, SET_MESSAGES[i], NeutralQuantity::Angle);
        }
    }
    p.end_of_line();
    row_item<Anchor>(row).v = a;
}

void set_pnf_rigid(PnfImport& p, int row)
{
    p.end_of_line();
    row_item<Restraint>(row).v.restrained = {0, 1, 0};
}

void read_pnf_skewed(PnfImport& p, int row)
{
    const bool rotational = p.keyword() == "ROTATIONAL";
    SkewedRestraintValues s;
    s.rotational = rotational;
    const std::optional<std::string> word = p.next();
    // "*" is a soft stiffness, a missing word or 0 rigid; "FREE" is soft too.
    if (word && (*word == "*" || *word == "FREE"))
        s.stiffness = rotational ? PnfImport::one_rot_unit() : SOFT_STIFFNESS;
    else if (word)
        s.stiffness = rotational ? p.rot_stiffness(*word, "Invalid rotational stiffness")
                                 : p.stiffness(*word, "Invalid translational stiffness");
    if (p.keyword() == "INCLINED") {
        p.next();   // two words the model has no place for
        p.next();
    }
    if (rotational)
        for (std::size_t i = 0; i < 3; ++i)
            s.direction[i] = component(p, p.next(), XYZ_MESSAGES[i]);
    p.end_of_line();
    // A direction left out becomes the pipe's at the node after the build.
    row_item<SkewedRestraint>(row).v = s;
}

void read_pnf_hanger(PnfImport& p, int row)
{
    const std::string& keyword = p.keyword();
    HangerValues h;
    h.count = 1;
    h.short_range = false;
    h.connected = 0;
    h.load_variation = DEFAULT_LOAD_VARIATION;
    if (keyword == "HANGER") {
        h.type = p.hanger_type;
    } else {
        std::optional<std::string> word = p.next();
        float rate = 0.0f, cold = 0.0f;
        if (keyword == "SPRING" && word && *word != "*" && *word != "FREE")
            rate = p.stiffness(*word, "Invalid spring rate");
        if ((word = p.next()) && *word != "*")
            cold = p.parsed(*word, parse_force, "Invalid cold load", NeutralQuantity::Force);
        if (keyword == "SPRING") {
            h.type = HANGER_USER;
            h.load_type = 1;   // the load is the cold load
            h.spring_rate = rate == 0.0f ? SOFT_STIFFNESS : rate;
            h.load = cold;
        } else {
            h.type = HANGER_CONSTANT;
            if (word && *word != "*")
                p.note(PNF_COLD_LOADS, p.here(*word));
        }
    }
    p.end_of_line();
    checked(p, [&] { Hanger::check_values(h); });
    row_item<Hanger>(row).v = h;
}

void read_pnf_guide(PnfImport& p, int row)
{
    GuideValues g;
    g.stiffness = soft_default_stiffness(p, p.next(), "Invalid spring rate");
    p.end_of_line();
    row_item<Guide>(row).v = g;
}

void read_pnf_limit_stop(PnfImport& p, int row)
{
    LimitStopValues s;
    s.stiffness = soft_default_stiffness(p, p.next(), "Invalid stiffness");
    std::optional<std::string> word = p.next();
    s.upper = word && *word != "*" ? p.signed_dimension(*word, "Invalid upper limit") : 0.0f;
    word = p.next();
    s.lower = word && *word != "*" ? p.signed_dimension(*word, "Invalid lower limit") : 0.0f;
    if (s.lower > 0.0f)
        s.lower = -s.lower;
    if ((word = p.next()) && *word != "*")
        s.mu = static_cast<float>(p.plain(*word, "Invalid friction coefficient", NeutralQuantity::Factor));
    for (std::size_t i = 0; i < 3; ++i)
        if ((word = p.next()) && *word != "*")
            s.direction[i] = component(p, word, XYZ_MESSAGES[i]);
    p.end_of_line();
    if (s.direction == std::array<float, 3>{})
        s.direction = {0.0f, 1.0f, 0.0f};
    checked(p, [&] { LimitStop::check_values(s); });
    row_item<LimitStop>(row).v = s;
}

void read_pnf_oneway(PnfImport& p, int row)
{
    struct OneWay {
        std::string_view word;
        std::array<float, 3> direction;
    };
    static constexpr std::array<OneWay, 6> ONE_WAY = {{
        {"+X", {-1.0f, 0.0f, 0.0f}},
        {"-X", {1.0f, 0.0f, 0.0f}},
        {"+Y", {0.0f, -1.0f, 0.0f}},
        {"-Y", {0.0f, 1.0f, 0.0f}},
        {"+Z", {0.0f, 0.0f, -1.0f}},
        {"-Z", {0.0f, 0.0f, 1.0f}},
    }};
    std::optional<std::string> word = p.next();
    // A one-way stop acts along one of the axes the table names; without
    // one it would have no side to act on.
    if (!word)
        p.fail("One-way direction is required (+X, -X, +Y, -Y, +Z or -Z)");
    LimitStopValues s;
    const auto* found = std::find_if(ONE_WAY.begin(), ONE_WAY.end(), [&](const OneWay& o) { return o.word == *word; });
    if (found == ONE_WAY.end())
        p.fail("Invalid one-way direction", *word);
    s.direction = found->direction;
    s.upper = NO_LIMIT;
    s.lower = 0.0f;
    s.stiffness = RIGID_STIFFNESS;
    if ((word = p.next()) && *word != "*")
        s.mu = static_cast<float>(p.plain(*word, "Invalid friction coefficient", NeutralQuantity::Factor));
    p.end_of_line();
    row_item<LimitStop>(row).v = s;
}

void read_pnf_snubber(PnfImport& p, int row)
{
    SnubberValues s;
    s.stiffness = soft_default_stiffness(p, p.next(), "Invalid spring rate");
    for (std::size_t i = 0; i < 3; ++i)
        s.direction[i] = component(p, p.next(), XYZ_MESSAGES[i]);
    p.end_of_line();
    checked(p, [&] { Snubber::check_values(s); });
    row_item<Snubber>(row).v = s;
}

void read_pnf_flange(PnfImport& p, int row)
{
    struct FlangeWord {
        std::string_view word;
        int32_t type;
    };
    static constexpr std::array<FlangeWord, 5> TYPES = {{
        {"WELD", 1}, {"DOUBLE", 2}, {"SOCKET", 5}, {"LAP", 6}, {"SCREWED", 7}}};
    Flange& flange = row_item<Flange>(row);
    flange.flange_type = 1;
    std::optional<std::string> word = p.next();
    for (const FlangeWord& t : TYPES)
        if (word && t.word == *word)
            flange.flange_type = t.type;
    p.next();   // a word the model has no place for
    flange.weight = 0.0f;
    if ((word = p.next()) && *word != "*")
        flange.weight = p.parsed(*word, parse_weight, "Invalid flange weight", NeutralQuantity::Weight);
    flange.gasket_diameter = 0.0f;
    if ((word = p.next()) && *word != "*")
        flange.gasket_diameter = p.dimension(*word, "Invalid gasket dia");
    flange.allowable_pressure = 0.0f;
    p.end_of_line();
}

void read_pnf_tee(PnfImport& p, int row)
{
    struct TeeWord {
        std::string_view word;
        int32_t type;
    };
    static constexpr std::array<TeeWord, 5> TYPES = {{{"WELDING", BRANCH_WELDING_TEE},
                                                      {"REINFORCED", BRANCH_REINFORCED_TEE},
                                                      {"UNREINFORCED", BRANCH_UNREINFORCED_TEE},
                                                      {"EXTRUDED", BRANCH_EXTRUDED_TEE},
                                                      {"BRANCH", BRANCH_CONNECTION}}};
    int32_t type = BRANCH_WELDING_TEE;
    std::optional<std::string> word = p.next();
    for (const TeeWord& t : TYPES)
        if (word && t.word == *word)
            type = t.type;
    // A branch connection needs the radius of its branch, which a TEE line has no field for.
    if (type == BRANCH_CONNECTION)
        p.fail("For Branch Connection, radius is required: a TEE line cannot give it", *word);
    float pad = 0.0f, crotch = 0.0f;
    if ((word = p.next()) && *word != "*")
        pad = p.dimension(*word, "Invalid pad thickness");
    if ((word = p.next()) && *word != "*")
        crotch = p.dimension(*word, "Invalid crotch radius");
    p.end_of_line();
    float value1 = 0.0f;
    if (type == BRANCH_UNREINFORCED_TEE && pad > 0.0f)
        type = BRANCH_REINFORCED_TEE;
    // A reinforced tee keeps its pad, which its SIF depends on.
    if (type == BRANCH_REINFORCED_TEE)
        value1 = pad;
    if (type == BRANCH_EXTRUDED_TEE) {
        if (crotch < 0.001f)
            p.fail("For Extruded Tee, crotch radius is required");
        value1 = crotch;
    }
    BranchSif& sif = row_item<BranchSif>(row);
    sif.sif_type = type;
    sif.value1 = value1;
    sif.value2 = 0.0f;
    sif.num_flanges = 0;
}

void read_pnf_sif(PnfImport& p, int row)
{
    UserSif& sif = row_item<UserSif>(row);
    static const char* const MESSAGES[2] = {"Invalid inplane SIF", "Invalid out of plane SIF"};
    float values[2] = {0.0f, 0.0f};
    for (std::size_t i = 0; i < 2; ++i)
        if (const std::optional<std::string> word = p.next()) {
            values[i] = static_cast<float>(p.plain(*word, MESSAGES[i], NeutralQuantity::Factor));
            if (values[i] < 1.0f)
                p.fail(MESSAGES[i], *word);
        }
    p.end_of_line();
    sif.sif_in = values[0];
    sif.sif_out = values[1];
}

void read_pnf_force(PnfImport& p, int row)
{
    static const char* const MESSAGES[6] = {"Invalid fx", "Invalid fy", "Invalid fz",
                                            "Invalid mx", "Invalid my", "Invalid mz"};
    ForceLoad& force = row_item<ForceLoad>(row);
    force.values = {};
    for (std::size_t i = 0; i < 6; ++i)
        if (const std::optional<std::string> word = p.next())
            force.values[i] = i < 3 ? p.parsed(*word, parse_force, MESSAGES[i], NeutralQuantity::Force)
                                    : p.parsed(*word, parse_moment, MESSAGES[i], NeutralQuantity::Moment);
    p.end_of_line();
}

void read_pnf_mass(PnfImport& p, int row)
{
    ConcentratedMass& mass = row_item<ConcentratedMass>(row);
    mass.weight = 0.0f;
    mass.offset = {};
    if (const std::optional<std::string> word = p.next())
        mass.weight = p.parsed(*word, parse_weight, "Invalid mass or weight", NeutralQuantity::Weight);
    p.end_of_line();
}

struct SupportKind {
    std::string_view word;
    int dtype;
    bool position;   // the line has a position word after its node
    void (*read)(PnfImport&, int row);
};

constexpr std::array<SupportKind, 18> SUPPORT_KINDS = {{
    {"ANCHOR", DT_ANCHOR, true, read_pnf_anchor},
    {"RIGID", DT_RESTRAINT, true, set_pnf_rigid},
    {"LINESTOP", DT_SKEWED_RESTRAINT, true, read_pnf_skewed},
    {"ROTATIONAL", DT_SKEWED_RESTRAINT, true, read_pnf_skewed},
    {"INCLINED", DT_SKEWED_RESTRAINT, true, read_pnf_skewed},
    {"SPRING", DT_HANGER, true, read_pnf_hanger},
    {"CONSTANT", DT_HANGER, true, read_pnf_hanger},
    {"HANGER", DT_HANGER, true, read_pnf_hanger},
    {"GUIDE", DT_GUIDE, true, read_pnf_guide},
    {"LIMITSTOP", DT_LIMIT_STOP, true, read_pnf_limit_stop},
    {"ONEWAY", DT_LIMIT_STOP, true, read_pnf_oneway},
    {"SNUBBER", DT_SNUBBER, true, read_pnf_snubber},
    {"FLANGE", DT_FLANGE, true, read_pnf_flange},
    {"TEE", DT_BRANCH_SIF, false, read_pnf_tee},
    {"SIF", DT_USER_SIF, false, read_pnf_sif},
    {"FORCE", DT_FORCE, true, read_pnf_force},
    {"WEIGHT", DT_CONC_MASS, true, read_pnf_mass},
    {"MASS", DT_CONC_MASS, true, read_pnf_mass},
}};

const SupportKind* support_kind(const std::string& keyword)
{
    for (const SupportKind& k : SUPPORT_KINDS)
        if (k.word == keyword)
            return &k;
    return nullptr;
}

// The first row whose node is the number; 0 when none.
int row_with_node_number(int number)
{
    for (int row = 1; row <= numrows(); ++row)
        if (model().rows[row].node == number)
            return row;
    return 0;
}

// The node the item goes to: the node itself, a bend's near or far end
// (NEAR, FAR), or the middle of a bend (any other word at a bend's node).
int position_node(PnfImport& p, const SupportKind& kind, int number, int defining)
{
    LayoutRow& bend_row = model().rows[defining];
    const bool bend = bend_row.etype == ET_BEND;
    if (!kind.position)
        return bend ? number + NEAR_TANGENT_OFFSET : number;
    const std::optional<std::string> word = p.next();
    // A bend's node is the corner of its tangents, which is no point of the
    // pipe: an item there would act on nothing.
    if (!word || *word == "*") {
        static const char* const CORNER =
            "The node is a bend's corner: NEAR, FAR or a word for the middle of the bend is required";
        if (bend && word)
            p.fail(CORNER, *word);
        if (bend)
            p.fail(CORNER);
        return number;
    }
    // A number in the position's place is a value that has lost its field.
    double value = 0.0;
    if (parse_real(*word, value) == 0)
        p.fail("A position word (NEAR, FAR, a word for the middle of a bend or *) is required", *word);
    if (*word == "NEAR" || *word == "FAR") {
        if (!bend)
            p.fail(*word + " is allowed only at the node of a bend", *word);
        return number + (*word == "NEAR" ? NEAR_TANGENT_OFFSET : FAR_TANGENT_OFFSET);
    }
    if (!bend)
        return number;
    BendGeometry* geometry = bend_row.element ? bend_row.element->bend_geometry() : nullptr;
    const int middle = number + MID_BEND_OFFSET;
    if (!geometry)
        throw MessageText("Internal error: the bend row has no bend");
    if (middle > MAX_NODE_NUMBER || (p.number_taken(middle) && geometry->node1 != middle))
        p.fail(c_format("The middle of the bend would be node %d, which another node has", middle), *word);
    geometry->node1 = middle;
    p.take_number(middle);
    return middle;
}

}  // namespace

int pnf_support_dtype(const std::string& keyword)
{
    const SupportKind* kind = support_kind(keyword);
    return kind ? kind->dtype : 0;
}

void read_pnf_support(PnfImport& p)
{
    const SupportKind* kind = support_kind(p.keyword());
    if (!kind)
        return;
    const std::optional<std::string> name = p.next();
    if (!name) {
        p.note(PNF_IGNORED_LINES, p.here(p.keyword() + " without a node"));
        return;
    }
    const int number = p.node_number(*name);
    const int defining = row_with_node_number(number);
    if (defining == 0)
        p.fail("Node is not defined", *name);
    p.current_node = position_node(p, *kind, number, defining);
    const int row = p.append_row();
    LayoutRow& r = model().rows[row];
    r.node = p.current_node;
    r.etype = ET_LOCATION;
    r.dtype = kind->dtype;
    r.create_element_object();
    r.create_data_object(row);
    kind->read(p, row);
}
