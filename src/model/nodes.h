// The node table: one record per node of the model, numbered from 1 to
// numnodes(), built from the layout rows by make_model().
//
// Node numbers typed by the user run from 1 to 99999. The model build makes
// further nodes in bands of 100000, printed as the number within the band
// followed by the band's letter: A (+100000, a bend's near tangent point),
// B (+200000, its far tangent point), C (+300000) and D (+400000, the jacket's
// tangent points) and J (+500000, the jacket node of a core node).
#pragma once

#include "framework/geometry.h"
#include "model/box2d.h"

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int32_t MAX_NODE_NUMBER = 99999;
inline constexpr int32_t NODE_BAND = 100000;
inline constexpr int32_t NEAR_TANGENT_OFFSET = 100000;   // A
inline constexpr int32_t FAR_TANGENT_OFFSET = 200000;    // B
inline constexpr int32_t JACKET_OFFSET = 500000;         // J

enum NodeKind : int32_t {
    NODE_PLAIN = 0,
    NODE_BEND_CORNER = 1,     // the intersection point of a bend's tangents
};

struct NodeRecord {
    int32_t number = 0;
    int32_t kind = NODE_PLAIN;
    float x = 0.0f, y = 0.0f, z = 0.0f;   // model coordinates, inch
    int32_t row = 0;                      // defining layout row
    float sx = 0.0f, sy = 0.0f;           // projected position, view units
    int32_t n = 0;                        // renumbered analysis index; 0 = not in the analysis
    uint8_t branch_mark = 0;              // 2 at a branch point
    std::vector<int32_t> elements;        // indices of the elements that end here
    Box2D box;                            // extent in the view (with its label)
    uint8_t has_results = 0;              // set by the results reader
};

// The index 1..numnodes() of the node with that number; 0 when none.
int node_index(int number);
// "25", "25A", "25J"...; empty for 0. Numbers beyond the J band print plainly.
std::string node_text(int number);
// node_text written into `out` (NUMBER_TEXT_SIZE characters); returns its end.
char* write_node_text(char* out, int number);

// Node text: a number with an optional suffix letter A, B, C, D or J (either
// case; blanks ignored). Returns 0 when valid (out set), 1 not an integer,
// 3 below 1, 4 above 99999, 5 empty; out is left alone on failure.
int parse_node_text_code(const std::string& text, int& out);
// The same for item_text().
int parse_node_text(int& out);
// item_text() as a node that must exist and must not be a bend corner node;
// an empty text gives 0. Failures throw the name followed by the node error
// text (code 1, 3, 4 from the parser; 2 "Invalid node" for a missing or bend
// corner node).
int parse_existing_node(const std::string& name);

// The next node number after `last` that no node has, stepping by the
// model's node increment; with an increment of 5, 10, 15, 20, 50 or 100 the
// first candidate is the next multiple of it. 0 when none is left below 100000.
int next_node_number(int last);

struct Model;

// Distance between two nodes by index; 0 when either index is 0.
double node_distance(int a, int b);
double node_distance(const Model& model, int a, int b);
// The position of a node by index, as the last build put it.
Vec3 node_position(const Model& model, int node);
// Direction cosines of the pipe at a node, from the first element ending
// there that has a length (with `pipe_only`, pipe-like elements only); for an
// arc the tangent at the node. 0, or -1 when none is found (then 0, 0, 0).
int pipe_direction_at_node(int node, double& x, double& y, double& z, bool pipe_only = false);
int pipe_direction_at_node(const Model& model, int node, double& x, double& y, double& z, bool pipe_only = false);
// The same as a vector; along X when none is found.
Vec3 pipe_direction_or_x(int node);

// The jacket partner of a core node number: N -> N + 500000, A -> C, B -> D;
// numbers already in a jacket band are returned as they are.
int jacket_node_number(int number);
