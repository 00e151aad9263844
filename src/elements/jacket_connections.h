// The jacket connections: spiders and end caps, the data items that tie the
// core of a jacketed line to its jacket at a row's node. A spider holds the
// jacket to the core across the pipe (both lateral directions) and leaves
// them free along the axis and in rotation; an end cap joins them rigidly in
// all six directions. Neither has input values or a dialog: the row's node
// says where it is, and the connection finds its partner node on the other
// pipe (N <-> N + 500000, A <-> C, B <-> D) when the elements are generated.
// Neither writes a record of its own; both share one row list.
#pragma once

#include "framework/geometry.h"
#include "model/data_item.h"
#include "model/symbols.h"

#include <string>

struct Model;

// The partner band of a node-number band: 0 <-> 5, 1 <-> 3, 2 <-> 4.
int jacket_partner_band(int band);
// The node number on the other pipe of a connection at `number`.
int jacket_partner_number(int number);

// "Spider" for data type 9, "End Cap" for 10, "???" otherwise.
const char* jacket_connection_name(int dtype);

class JacketEndCap final : public DataItem {
public:
    // Symbol (rebuilt, never stored).
    Point2 line_start, line_end;   // the 2D line across the pipe
    Quad2D outline;
    Cylinder disk;

    void count() override;
    std::string cell_text(int column) const override;
    void register_row(int row) override;
    void update_extents(int row) override;
    void build_symbol(int row) override;
    void draw_2d(int row) override;
    void draw_3d(int row) override;
    std::string description() const override { return "End Cap"; }
    // The partner node exists (the rigid coupling is a coupled pair).
    void check(const Model& model, int row) const override;
    void draw_outline_2d() override;
    void draw_outline_3d() override;
};

class Spider final : public DataItem {
public:
    // Set by prepare_jacket_connections on the analysis model's copy: the
    // partner's node index, the pipe's unit direction at the node and two
    // unit directions across it.
    int32_t partner_node = 0;
    Vec3 axis{1.0, 0.0, 0.0};
    Vec3 lateral1{0.0, 1.0, 0.0};
    Vec3 lateral2{0.0, 0.0, 1.0};

    // Symbol (rebuilt, never stored).
    Cylinder legs[3];

    void count() override;
    std::string cell_text(int column) const override;
    void register_row(int row) override;
    void update_extents(int row) override;
    void build_symbol(int row) override;
    void draw_2d(int row) override;
    void draw_3d(int row) override;
    // Rigid (1.0e12) between the two nodes in both lateral directions.
    void assemble_stiffness(AnalysisRun& run, int row) const override;
    std::string description() const override { return "Spider"; }
    // The partner node exists and the pipe has a direction at the node.
    void check(const Model& model, int row) const override;
    void draw_outline_2d() override;
    void draw_outline_3d() override;
};

// The spider's directions at a node of a model: the pipe direction and the
// two lateral directions. The first lateral is (0, 0, 1) on a vertical pipe
// (horizontal part below 0.0005), else (-dx dy/h, h, -dy dz/h) with
// h = sqrt(dx^2 + dz^2); the second is the axis cross the first. Throws
// "Unable to find spider direction at node %s" when the node has no pipe
// direction.
void spider_directions(const Model& model, int node, Vec3& axis, Vec3& lateral1, Vec3& lateral2);

// For every row with a spider or an end cap, in row order: the partner node
// (throws "Jacket connection at point %s is not on a jacketed pipe" when it
// does not exist), stored by a spider, and the coupled pair {node, partner}
// of flag 1 (spider) or 0 (end cap) added to the model's list.
void check_jacket_connections(Model& model);
// What the analysis needs of the connections of its model: the check above,
// then each spider's directions (spider_directions).
void prepare_jacket_connections(Model& model);
