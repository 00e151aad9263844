// The supports, loads and stress intensification factors of a CAESAR II
// neutral file, attached to the rows once every element stands: each item
// goes on the row that carries its node, or on a Location row inserted right
// after it.
//
// A bend's own node is the corner of its tangents, which is no point of the
// pipe: an item there goes to the bend's far end (node + 200000), where the
// file's bend ends. An item at a bend node that the file gives at the angle
// 0 (or at the whole bend angle) goes to the bend's near (far) tangent
// point, node + 100000 (+ 200000). A bend without an arc has no tangent
// points: once the model is built, such items stand at its node.
#include "exchange/cii_build.h"
#include "exchange/row_objects.h"

#include "elements/branch_sif.h"
#include "elements/user_sif.h"
#include "elements/weld.h"
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
#include "supports/nozzle.h"
#include "supports/restraint.h"
#include "supports/skewed_restraint.h"
#include "supports/snubber.h"
#include "supports/support_common.h"

#include <cmath>
#include <functional>
#include <numbers>

namespace {

constexpr double DEGREES_PER_RADIAN = 180.0 / std::numbers::pi;
// A displacement component of this value or more is free.
constexpr double FREE_DISPLACEMENT = 9999.99;
// A translational stiffness this high after conversion is rigid (1.0e12
// written in another unit and converted back may round below it).
constexpr double RIGID_TEST = 9.8e11;
// An anchor whose stiffness lies below this takes it for its rotations too.
constexpr double ANCHOR_ROTATION_LIMIT = 14.0;

// Runs a kind's own check of its values; its message ends the import at the line.
void checked(const CiiBuild& b, int line, const std::function<void()>& check)
{
    if (const std::optional<std::string> refusal = refusal_of(check))
        b.fail(line, *refusal);
}

// The first row carrying node n (reduced to its band: n mod 100000), or the
// bend row that has n as an intermediate node; 0 when none.
int row_of_node(int n)
{
    if (n <= 0)
        return 0;
    n %= NODE_BAND;
    for (int row = 1; row <= numrows(); ++row) {
        const LayoutRow& r = model().rows[row];
        if (r.node == n)
            return row;
        if (etype_is_bend(r.etype) && r.element)
            if (const BendGeometry* g = r.element->bend_geometry(); g && (g->node1 == n || g->node2 == n))
                return row;
    }
    return 0;
}

// Where an item of node `given` found at row `row` stands: at a bend's own
// node its far end; a band node of a bend's near or far end as given; any
// other band node at its base node.
int item_node(int given, int row)
{
    const LayoutRow& r = model().rows[row];
    const int base = given % NODE_BAND;
    const int band = given / NODE_BAND;
    const bool bend_own = etype_is_bend(r.etype) && r.node == base;
    if (band == 0)
        return bend_own ? base + FAR_TANGENT_OFFSET : given;
    if (bend_own && (band == 1 || band == 2))
        return given;
    return base;
}

// Where an item that the file puts at node `given` acts, and the row that
// carries that node (or the bend that makes it); row 0 when none.
struct ItemPlace {
    int row = 0;
    int node = 0;
};

ItemPlace item_place(const CiiBuild& b, int given)
{
    // A tangent point that is no node of the run: by the bend that makes it.
    if (const CiiBendPoint* p = b.bend_point(given); p && p->offset != 0 && p->node != given) {
        const int row = cii_bend_row(p->corner);
        return {row, row != 0 ? p->node : 0};
    }
    const int row = row_of_node(given);
    return {row, row != 0 ? item_node(given, row) : 0};
}

// A new Location row after `row` (and the Location rows that follow it, so
// that items stand in file order) at node `node` carrying an item of `dtype`.
int new_location(CiiBuild& b, int row, int node, int dtype, int line)
{
    while (row < numrows() && model().rows[row + 1].etype == ET_LOCATION)
        ++row;
    const int index = b.insert_row_after(row, line);
    LayoutRow& r = model().rows[index];
    r.node = node;
    r.etype = ET_LOCATION;
    r.dtype = dtype;
    r.create_element_object();
    r.create_data_object(index);
    return index;
}

// The row an item of `dtype` goes on: the row that carries its node when
// that row has no item yet, else a new Location row after it. 0 (and the
// item noted) when its node has no row.
int item_row(CiiBuild& b, double node_value, int dtype, int line, const char* what)
{
    const int given = static_cast<int>(node_value);
    const auto [row, node] = item_place(b, given);
    if (row == 0) {
        b.notes.add(CII_DROPPED, c_format("%s at node %d (line %d)", what, given, line));
        return 0;
    }
    LayoutRow& r = model().rows[row];
    if (r.dtype == DT_NONE && r.node == node) {
        LayoutRow::change_dtype(row, dtype);
        return row;
    }
    return new_location(b, row, node, dtype, line);
}

bool valid_node_value(double v)
{
    return v >= 0.0 && v < 6.0 * NODE_BAND;
}

// ---- Restraints ------------------------------------------------------------------------------

// The global axis a restraint type names: 0 X, 1 Y, 2 Z; -1 when none.
// 25 and 26 name the vertical axis.
int type_axis(int t, bool z_vertical)
{
    switch (t) {
    case 2: case 5: case 10: case 13: case 16: case 27: case 30: case 33: return 0;
    case 3: case 6: case 11: case 14: case 17: case 28: case 31: case 34: return 1;
    case 4: case 7: case 12: case 15: case 18: case 29: case 32: case 35: return 2;
    case 25: case 26: return z_vertical ? 2 : 1;
    default: return -1;
    }
}

class Restraints {
public:
    explicit Restraints(CiiBuild& b) : b_(b) {}

    void add(const std::vector<CiiRestraintBlock>& record)
    {
        for (const CiiRestraintBlock& block : record)
            if (block.node != 0.0)
                add(block);
    }

private:
    CiiBuild& b_;

    float translational(double k, int line) const
    {
        return k == 0.0 ? 0.0f
                        : b_.convert(k, b_.s.units.stiffness, NeutralQuantity::Stiffness, line, "Restraint stiffness");
    }

    float gap(double g, int line) const
    {
        return b_.convert(g, b_.s.units.length, NeutralQuantity::Dimension, line, "Gap");
    }

    void add(const CiiRestraintBlock& block)
    {
        const int line = block.line;
        if (!valid_node_value(block.node))
            b_.fail(line, c_format("Invalid node number :  %g", block.node));
        if (!valid_node_value(block.connected))
            b_.fail(line, c_format("Invalid connected node :  %g", block.connected));
        const int given = static_cast<int>(block.node);
        const auto [row, node] = item_place(b_, given);
        if (row == 0) {
            b_.notes.add(CII_DROPPED, c_format("restraint at node %d (line %d)", given, line));
            return;
        }
        // Types lie from 1 to 35; others make no item.
        const int t = block.type >= 0.0 && block.type <= 99.0 ? static_cast<int>(block.type) : 0;
        const int index = new_location(b_, row, node, DT_NONE, line);
        std::array<float, 3> d{static_cast<float>(block.cosines[0]), static_cast<float>(block.cosines[1]),
                               static_cast<float>(block.cosines[2])};
        for (float c : d)
            if (!neutral_value_in_range(NeutralQuantity::SignedDimension, c))
                b_.fail(block.cosine_line, "Direction cosine is out of range");
        // No cosines: the axis the type names.
        const int axis = type_axis(t, b_.s.z_vertical);
        if (d == std::array<float, 3>{} && axis >= 0)
            d[static_cast<std::size_t>(axis)] = 1.0f;
        const int zero_cosines = (block.cosines[0] == 0.0) + (block.cosines[1] == 0.0) + (block.cosines[2] == 0.0);
        const int32_t connected = b_.model_node(static_cast<int32_t>(block.connected));
        const double k = block.stiffness;
        if (k < 0.0 || block.gap < 0.0 || block.mu < 0.0)
            b_.fail(line, "Stiffness, gap and friction coefficient must not be negative");

        if (t == 1) {
            anchor(index, k, line);
        } else if ((t >= 2 && t <= 4) && zero_cosines >= 2 && translational(k, line) >= RIGID_TEST) {
            LayoutRow::change_dtype(index, DT_RESTRAINT);
            RestraintValues v;
            v.restrained[static_cast<std::size_t>(t - 2)] = 1;
            row_item<Restraint>(index).v = v;
        } else if (t >= 2 && t <= 7) {
            SkewedRestraintValues v;
            v.rotational = t >= 5;
            v.direction = d;
            v.stiffness = k == 0.0 ? 0.0f
                          : v.rotational ? b_.rot_stiffness(k, line, "Restraint stiffness")
                                         : translational(k, line);
            set<SkewedRestraint>(index, DT_SKEWED_RESTRAINT, v, line);
        } else if (t == 8) {
            GuideValues v;
            v.gap = gap(block.gap, line);
            v.stiffness = translational(k, line);
            v.mu = static_cast<float>(block.mu);
            set<Guide>(index, DT_GUIDE, v, line);
        } else if (t >= 10 && t <= 12) {
            SnubberValues v;
            v.direction = d;
            v.stiffness = translational(k, line);
            set<Snubber>(index, DT_SNUBBER, v, line);
        } else if (t == 9 || (t >= 13 && t <= 18) || (t >= 25 && t <= 35)) {
            limit_stop(index, t, d, block, connected);
        } else {
            b_.notes.add(CII_NOT_TAKEN, c_format("restraint of type %g at node %d (line %d)", block.type, given, line));
        }
    }

    void anchor(int index, double k, int line)
    {
        LayoutRow::change_dtype(index, DT_ANCHOR);
        AnchorValues v;
        if (k != 0.0) {
            const float kt = translational(k, line);
            v.stiffness[0] = v.stiffness[1] = v.stiffness[2] = kt;
            // A small stiffness stands for the rotations too.
            if (k < ANCHOR_ROTATION_LIMIT) {
                const float kr =
                    b_.convert(k, b_.s.units.rot_stiffness, NeutralQuantity::Stiffness, line, "Anchor stiffness");
                v.stiffness[3] = v.stiffness[4] = v.stiffness[5] = kr;
                b_.notes.add(CII_TAKEN_AS,
                             c_format("anchor stiffness %g, below 14, for the rotations too (line %d)", k, line));
            }
        }
        row_item<Anchor>(index).v = v;
    }

    void limit_stop(int index, int t, const std::array<float, 3>& d, const CiiRestraintBlock& block,
                    int32_t connected)
    {
        const int line = block.line;
        LimitStopValues v;
        v.connected = connected;
        v.direction = d;
        v.mu = static_cast<float>(block.mu);
        v.stiffness = translational(block.stiffness, line);
        const float g = gap(block.gap, line);
        // Types 27 to 35 stand at their node without a gap.
        const float used = t >= 27 ? 0.0f : g;
        if (t == 9 || (t >= 27 && t <= 29)) {
            v.upper = used;
            v.lower = -used;
        } else if ((t >= 13 && t <= 15) || t == 25 || (t >= 30 && t <= 32)) {
            v.upper = NO_LIMIT;
            v.lower = -used;
        } else {
            v.upper = used;
            v.lower = -NO_LIMIT;
        }
        // A stop closed both ways is a restraint along its direction.
        if (v.upper == 0.0f && v.lower == 0.0f) {
            SkewedRestraintValues s;
            s.direction = v.direction;
            s.stiffness = v.stiffness;
            s.connected = connected;
            if (v.mu != 0.0f)
                b_.notes.add(CII_NOT_TAKEN, c_format("friction of a stop without a gap (line %d)", line));
            set<SkewedRestraint>(index, DT_SKEWED_RESTRAINT, s, line, false);
            return;
        }
        set<LimitStop>(index, DT_LIMIT_STOP, v, line, false);
    }

    // Gives the row the item with its values; the kind's own check refuses
    // what it cannot hold. A direction still to come (along the pipe) is
    // checked once it is there.
    template <typename T, typename V>
    void set(int index, int dtype, const V& v, int line, bool check_now = true)
    {
        LayoutRow::change_dtype(index, dtype);
        if (check_now || direction_of(v) != std::array<float, 3>{})
            checked(b_, line, [&] { T::check_values(v); });
        if (!connected_node_number_valid(connected_of(v)))
            b_.fail(line, "Invalid connected node");
        row_item<T>(index).v = v;
    }

    template <typename V>
    static std::array<float, 3> direction_of(const V& v)
    {
        if constexpr (requires { v.direction; })
            return v.direction;
        else
            return {};
    }
    template <typename V>
    static int32_t connected_of(const V& v)
    {
        if constexpr (requires { v.connected; })
            return v.connected;
        else
            return 0;
    }
};

// ---- Nozzles, displacements, forces ----------------------------------------------------------------

void add_nozzle(CiiBuild& b, const CiiNozzle& n)
{
    if (n(1) == 0.0)
        return;
    if (!valid_node_value(n(1)))
        b.fail(n.line, c_format("Invalid node number :  %g", n(1)));
    const int row = item_row(b, n(1), DT_NOZZLE, n.line, "nozzle");
    if (row == 0)
        return;
    const CiiUnits& u = b.s.units;
    auto dimension = [&](double v, const CiiValue& factor, const char* what) {
        return b.convert(v, factor, NeutralQuantity::Dimension, n.line, what);
    };
    NozzleValues v;
    v.nozzle_od = dimension(n(4), u.diameter, "Nozzle diameter");
    v.nozzle_thickness = dimension(n(5), u.length, "Nozzle thickness");
    v.vessel_od = dimension(n(6), u.diameter, "Vessel diameter");
    v.vessel_thickness = dimension(n(7), u.length, "Vessel thickness");
    if (n(8) != 0.0) {
        v.type = NOZZLE_API_650;
        v.pad = b.convert(n(8), u.length, NeutralQuantity::SignedDimension, n.line, "Reinforcement") != 0.0f;
    }
    v.length1 = dimension(n(10), u.length, "Nozzle distance");
    v.length2 = v.type == NOZZLE_API_650 ? 0.0f : dimension(n(11), u.length, "Nozzle distance");
    for (std::size_t k = 0; k < 3; ++k)
        v.axis[k] = b.convert(n(12 + static_cast<int>(k)), 1.0, NeutralQuantity::SignedDimension, n.line,
                              "Vessel direction");
    checked(b, n.line, [&] { Nozzle::check_values(v); });
    row_item<Nozzle>(row).v = v;
}

// The displacement vectors 1 to 3 of a node block on the anchor or nozzle
// at its node; false when there is none. A component of FREE_DISPLACEMENT or
// more is one the file leaves free. A direction that every vector leaves free
// is free at the node: the anchor takes no stiffness in it, and a nozzle,
// which holds the pipe in every direction, cannot leave it free, so the
// import is refused. A direction that one vector gives is held by the
// support, at 0 in the vectors that leave it free (the file's blank of a
// direction given elsewhere). A block that gives no component adds nothing.
bool add_displacements(CiiBuild& b, const CiiDisplacementBlock& block, int dtype)
{
    if (!valid_node_value(block.node))
        b.fail(block.line, c_format("Invalid node number :  %g", block.node));
    const int node = static_cast<int>(block.node);
    const ItemPlace place = item_place(b, node);
    int row = 0;
    for (int i = 1; i <= numrows() && row == 0 && place.row != 0; ++i)
        if (model().rows[i].node == place.node && model().rows[i].dtype == dtype)
            row = i;
    if (row == 0)
        return false;
    std::array<bool, 6> given{};
    for (const std::array<double, 6>& vector : block.vectors)
        for (std::size_t c = 0; c < 6; ++c)
            given[c] = given[c] || vector[c] < FREE_DISPLACEMENT;
    if (given == std::array<bool, 6>{}) {
        b.notes.add(CII_UNHELD_DISPLACEMENTS, c_format("displacements at node %d that give no component (line %d)", node,
                                          block.line));
        return true;
    }
    DisplacementSets sets;
    bool held_at_zero = false;
    for (int set = 1; set <= 9; ++set)
        sets.given[static_cast<std::size_t>(set)] = 1;
    for (std::size_t k = 0; k < 3; ++k)
        for (std::size_t c = 0; c < 6; ++c) {
            const double v = block.vectors[k][c];
            if (v >= FREE_DISPLACEMENT) {
                held_at_zero = held_at_zero || given[c];
                continue;
            }
            sets.values[k + 1][c] =
                c < 3 ? b.convert(v, b.s.units.length, NeutralQuantity::SignedDimension, block.vector_lines[k],
                                  "Displacement")
                      : b.convert(v, DEGREES_PER_RADIAN, NeutralQuantity::Angle, block.vector_lines[k], "Rotation");
        }
    std::string free;
    for (std::size_t c = 0; c < 6; ++c)
        if (!given[c])
            free += (free.empty() ? "" : " ") + std::string(direction_name(static_cast<int>(c)));
    if (dtype == DT_NOZZLE && !free.empty())
        b.fail(block.line, c_format("Node %d: a nozzle holds the pipe in every direction and cannot leave %s free; "
                                    "give the displacement of %s, or model the support as an anchor",
                                    node, free.c_str(), free.c_str()));
    if (held_at_zero)
        b.notes.add(CII_TAKEN_AS, c_format("displacement components left free where another vector gives their "
                                           "direction, held at 0 (line %d)",
                                           block.line));
    if (dtype == DT_NOZZLE) {
        row_item<Nozzle>(row).v.displacements = sets;
        return true;
    }
    AnchorValues& anchor = row_item<Anchor>(row).v;
    anchor.displacements = sets;
    for (std::size_t c = 0; c < 6; ++c)
        if (!given[c])
            anchor.stiffness[c] = 0.0f;
    if (!free.empty())
        b.notes.add(CII_TAKEN_AS, c_format("anchor at node %d free in %s, which its displacements leave free "
                                           "(line %d)",
                                           node, free.c_str(), block.line));
    return true;
}

// The components of a displacement vector, as the file names them.
constexpr const char* DISPLACEMENT_COMPONENTS[6] = {"DX", "DY", "DZ", "RX", "RY", "RZ"};

// A displacement block at a node that has no anchor or nozzle. Where one of
// its vectors gives every component, the file holds the node fixed (its
// writers fix a line's ends so): a rigid anchor there takes the block's
// displacements. A block that gives only some components holds nothing by
// itself and is named in the closing note with the components it gives.
void fix_by_displacements(CiiBuild& b, const CiiDisplacementBlock& block)
{
    const int node = static_cast<int>(block.node);
    bool whole = false;
    std::array<bool, 6> given{};
    for (const std::array<double, 6>& vector : block.vectors) {
        int count = 0;
        for (std::size_t c = 0; c < 6; ++c) {
            const bool here = vector[c] < FREE_DISPLACEMENT;
            given[c] = given[c] || here;
            count += here ? 1 : 0;
        }
        whole = whole || count == 6;
    }
    if (!whole) {
        std::string components;
        for (std::size_t c = 0; c < 6; ++c)
            if (given[c])
                components += (components.empty() ? "" : " ") + std::string(DISPLACEMENT_COMPONENTS[c]);
        b.notes.add(CII_UNHELD_DISPLACEMENTS,
                    components.empty()
                        ? c_format("displacements at node %d that give no component (line %d)", node, block.line)
                        : c_format("displacements at node %d in %s, which has no anchor or nozzle (line %d)", node,
                                   components.c_str(), block.line));
        return;
    }
    const auto [row, at] = item_place(b, node);
    if (row == 0) {
        b.notes.add(CII_DROPPED, c_format("displacements at node %d (line %d)", node, block.line));
        return;
    }
    const int index = new_location(b, row, at, DT_ANCHOR, block.line);
    row_item<Anchor>(index).v = AnchorValues{};
    b.notes.add(CII_TAKEN_AS, c_format("displacements at node %d that give every component, as a rigid anchor "
                                       "(line %d)",
                                       node, block.line));
    add_displacements(b, block, DT_ANCHOR);
}

void add_force(CiiBuild& b, const CiiForceBlock& block)
{
    if (block.node == 0.0)
        return;
    if (!valid_node_value(block.node))
        b.fail(block.line, c_format("Invalid node number :  %g", block.node));
    const int row = item_row(b, block.node, DT_FORCE, block.line, "force");
    if (row == 0)
        return;
    ForceLoad& force = row_item<ForceLoad>(row);
    const CiiUnits& u = b.s.units;
    for (std::size_t c = 0; c < 6; ++c)
        force.values[c] = c < 3 ? b.convert(block.vectors[0][c], u.force, NeutralQuantity::Force,
                                            block.vector_lines[0], "Force")
                                : b.convert(block.vectors[0][c], u.moment, NeutralQuantity::Moment,
                                            block.vector_lines[0], "Moment");
    for (std::size_t k = 1; k < 9; ++k)
        for (double v : block.vectors[k])
            if (v != 0.0) {
                b.notes.add(CII_NOT_TAKEN, c_format("force vectors 2 to 9 (line %d)", block.vector_lines[k]));
                return;
            }
}

// ---- SIFs --------------------------------------------------------------------------------------------

void add_sif(CiiBuild& b, const CiiSifEntry& e)
{
    if (e(1) == 0.0)
        return;
    if (!valid_node_value(e(1)))
        b.fail(e.line, c_format("Invalid node number :  %g", e(1)));
    const int t = e(2) >= -1.0 && e(2) <= 99.0 ? static_cast<int>(e(2)) : -1;
    const double in_plane = e(3), out_plane = e(4);
    if (in_plane < 0.0 || out_plane < 0.0 || e(7) < 0.0 || e(8) < 0.0 || e(9) < 0.0)
        b.fail(e.line, "SIFs, pad thickness and radii must not be negative");
    if (t < 0) {
        b.notes.add(CII_NOT_TAKEN, c_format("SIF of type %d (line %d)", t, e.line));
        return;
    }
    auto length = [&](double v, const char* what) {
        return b.convert(v, b.s.units.length, NeutralQuantity::Dimension, e.line, what);
    };
    auto user_sif = [&](float i, float o) {
        const int row = item_row(b, e(1), DT_USER_SIF, e.line, "SIF");
        if (row == 0)
            return;
        UserSif& sif = row_item<UserSif>(row);
        sif.sif_in = i;
        sif.sif_out = o;
    };
    auto branch = [&](int32_t type, float value1) {
        const int row = item_row(b, e(1), DT_BRANCH_SIF, e.line, "SIF");
        if (row == 0)
            return;
        BranchSif& sif = row_item<BranchSif>(row);
        sif.sif_type = type;
        sif.value1 = value1;
        sif.value2 = 0.0f;
        sif.num_flanges = 0;
    };
    auto weld = [&](int32_t type) {
        if (const int row = item_row(b, e(1), DT_WELD, e.line, "SIF"))
            row_item<Weld>(row).weld_type = type;
    };
    const auto sif_value = [&](double v) {
        return b.convert(v, 1.0, NeutralQuantity::Factor, e.line, "SIF");
    };
    switch (t) {
    case 0:
        // No tee type: the SIFs the entry gives, or a welding tee when it gives none.
        if (in_plane != 0.0 || out_plane != 0.0)
            user_sif(sif_value(in_plane), sif_value(out_plane));
        else
            branch(BRANCH_WELDING_TEE, 0.0f);
        break;
    case 1: branch(BRANCH_REINFORCED_TEE, length(e(7), "Pad thickness")); break;
    case 2: branch(BRANCH_UNREINFORCED_TEE, 0.0f); break;
    case 3: branch(BRANCH_WELDING_TEE, 0.0f); break;
    case 4: branch(BRANCH_SWEEPOLET, 0.0f); break;
    case 5: branch(BRANCH_WELDOLET, 0.0f); break;
    case 6: {
        const float crotch = length(e(9), "Crotch radius");
        if (crotch < 0.001f)
            b.fail(e.line, "For Extruded Tee, crotch radius is required");
        branch(BRANCH_EXTRUDED_TEE, crotch);
        break;
    }
    case 7: weld(WELD_BUTT); break;
    // A user SIF whose values the file does not give is 1.0, no intensification.
    case 8: case 9: case 14: user_sif(1.0f, 1.0f); break;
    case 10: weld(WELD_TAPERED); break;
    case 11: item_row(b, e(1), DT_THREADED_JOINT, e.line, "SIF"); break;
    case 12: weld(WELD_FILLET); break;
    case 13: weld(WELD_CONCAVE_FILLET); break;
    case 17: {
        const float radius = length(e(8), "Branch radius");
        if (radius < 0.001f)
            b.fail(e.line, "For Branch Connection, radius is required");
        branch(BRANCH_CONNECTION, radius);
        break;
    }
    default: user_sif(sif_value(in_plane), sif_value(out_plane)); break;
    }
}

// ---- Hangers ------------------------------------------------------------------------------------------

// The spring-hanger catalogue of a hanger table code 0 to 20.
constexpr int HANGER_CATALOGUE_OF_CODE[21] = {16, 16, 3, 16, 16, 18, 15, 27, 16, 26, 2,
                                              16, 16, 16, 5, 13, 8, 34, 17, 31, 21};

void add_hanger(CiiBuild& b, const CiiHanger& h)
{
    const int line = h.node.line;
    if (!valid_node_value(h.node.value))
        b.fail(line, c_format("Invalid node number :  %g", h.node.value));
    if (h.node.value == 0.0)
        return;
    int code = static_cast<int>(h.table.value);
    if (code < 0)
        b.fail(h.table.line, c_format("Invalid hanger table code :  %d", code));
    if (code > 20)
        code = 1;
    HangerValues v;
    v.type = HANGER_CATALOGUE_OF_CODE[code];
    v.count = h.count.value == 0.0 ? 1 : static_cast<int32_t>(h.count.value);
    checked(b, h.count.line, [&] { Hanger::check_values(v); });
    if (const int row = item_row(b, h.node.value, DT_HANGER, line, "hanger"))
        row_item<Hanger>(row).v = v;
}

}  // namespace

void add_cii_items(CiiBuild& b)
{
    const CiiStaging& s = b.s;
    Restraints restraints(b);
    for (const std::vector<CiiRestraintBlock>& record : s.restraint)
        restraints.add(record);
    for (const CiiNozzle& n : s.nozzle)
        add_nozzle(b, n);
    for (const auto& record : s.displacement) {
        bool taken[2] = {false, false};
        for (std::size_t k = 0; k < 2; ++k)
            if (record[k].node != 0.0)
                taken[k] = add_displacements(b, record[k], DT_ANCHOR);
        for (std::size_t k = 0; k < 2; ++k)
            if (record[k].node != 0.0)
                taken[k] = add_displacements(b, record[k], DT_NOZZLE) || taken[k];
        // A block before it at the same node may have made its anchor.
        for (std::size_t k = 0; k < 2; ++k)
            if (record[k].node != 0.0 && !taken[k] && !add_displacements(b, record[k], DT_ANCHOR))
                fix_by_displacements(b, record[k]);
    }
    for (const auto& record : s.force)
        for (const CiiForceBlock& block : record)
            add_force(b, block);
    for (const auto& record : s.sif)
        for (const CiiSifEntry& entry : record)
            add_sif(b, entry);
    for (const CiiHanger& h : s.hanger)
        add_hanger(b, h);
}

void fix_cii_item_directions(CiiBuild& b)
{
    for (int row = 1; row <= numrows(); ++row) {
        LayoutRow& r = model().rows[row];
        auto* stop = dynamic_cast<LimitStop*>(r.data.get());
        auto* skewed = dynamic_cast<SkewedRestraint*>(r.data.get());
        std::array<float, 3>* d = stop ? &stop->v.direction : skewed ? &skewed->v.direction : nullptr;
        const int32_t connected = stop ? stop->v.connected : skewed ? skewed->v.connected : 0;
        if (!d || *d != std::array<float, 3>{} || connected != 0)
            continue;
        double x = 0.0, y = 0.0, z = 0.0;
        if (pipe_direction_at_node(r.node_index, x, y, z) != 0)
            b.fail(b.row_line(row), "The stop has no direction and no pipe ends at its node");
        *d = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
        checked(b, b.row_line(row), [&] {
            if (stop)
                LimitStop::check_values(stop->v);
            else
                SkewedRestraint::check_values(skewed->v);
        });
    }
}
