// What the model build of a CAESAR II neutral file shares between the rows
// (cii_build.cpp) and the supports, loads and SIFs (cii_items.cpp): the
// store, the line of every row made, conversion of file values through the
// file's factors with their range checks, and row making.
#pragma once

#include "exchange/cii_staging.h"
#include "framework/geometry.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

// Groups of the closing note.
inline constexpr const char* CII_SKIPPED = "Read and not used";
inline constexpr const char* CII_DROPPED = "Items whose node has no row, not taken";
inline constexpr const char* CII_DEFAULT_TABLES = "Materials with the default property table";
inline constexpr const char* CII_NOT_TAKEN = "Not taken";
inline constexpr const char* CII_TAKEN_AS = "Taken in another form than the file gives";
inline constexpr const char* CII_SHORT_LINES = "Lines with fewer values than read, the missing ones read as 0";
inline constexpr const char* CII_TANGENT_POINTS = "Bend nodes taken as tangent points";
inline constexpr const char* CII_MATERIAL_VALUES = "Materials the file gives no density or Poisson's ratio";
inline constexpr const char* CII_WEIGHTLESS_INSULATION = "Insulation without a density, taken as weighing nothing";
inline constexpr const char* CII_UNPLACED = "Elements that no connection places";
inline constexpr const char* CII_OPEN_LOOPS = "Loops that do not close, kept as the file gives them";
inline constexpr const char* CII_UNHELD_DISPLACEMENTS = "Displacements that fix nothing, not taken";
inline constexpr const char* CII_COORDS_DISAGREE = "COORDS places that the elements do not agree with";
inline constexpr const char* CII_UNKNOWN_FACTORS =
    "Unit factors that match no unit, their values shown in the unit named";
inline constexpr const char* CII_OPTIONS_KEPT =
    "Options the file turns off and the model keeps on (Options > Analysis Options turns them off)";

// Places this far apart (inch) are two: an element's offsets that end
// farther from its to node leave a loop of the file open. 1 mm.
inline constexpr double CII_LOOP_GAP = 1.0 / 25.4;

// The nominal size of the file's sections, which have no table size.
inline constexpr const char* CII_NOMINAL_SIZE = "Non Std";

// A node that a bend of the file makes: an intermediate node at its angle
// from the near tangent point, or a node at the angle 0 or at the whole bend
// angle, which is no node of the arc but the bend's near or far tangent
// point (the bend's node + NEAR_TANGENT_OFFSET or + FAR_TANGENT_OFFSET).
struct CiiBendPoint {
    int corner = 0;    // the bend's node: the to node of its element
    int element = 0;   // the bend's element
    int offset = 0;    // 0 for an intermediate node, else the tangent point's band offset
    int line = 0;      // the line of the bend record
    // Where what the file puts at the node acts: the node itself for an
    // intermediate node and for a tangent point that is a node of the run
    // (the bend's from node, or the to node of the element after it, where
    // no straight part lies between), else corner + offset.
    int node = 0;
};

// The largest magnitude of the components of two vectors.
double largest_component(const Vec3& a, const Vec3& b);

class CiiBuild {
public:
    CiiBuild(const CiiStaging& staging, const NeutralLines& lines, ImportNotes& notes)
        : s(staging), notes(notes), lines_(lines)
    {
    }

    const CiiStaging& s;
    ImportNotes& notes;

    // The nodes the file's bends make, by the number the file gives.
    std::map<int, CiiBendPoint> bend_points;
    // By element: for a bend's element, the element that continues it, the
    // first after it in the file (else the first before it) that leaves the
    // bend's node; else 0, also for a bend that nothing continues.
    std::vector<int> continuation;
    // By a bend's node (the to node of its element, where its tangents
    // meet): the bend's element, the first of the file that ends there.
    std::map<int, int> bend_at_corner;
    // The bend's element of which node n is the corner; 0 when none.
    int bend_of_corner(int n) const;
    const CiiBendPoint* bend_point(int n) const;
    // True when node n stands only once its bend is built: an intermediate
    // node, or a tangent point that is no node of the run.
    bool made_by_bend(int n) const;
    // The node at which what the file puts at node n acts: a bend's tangent
    // point for a node at the angle 0 or at the whole bend angle, else n.
    int model_node(int n) const;

    // The error text of a record's line; the message alone for line 0.
    [[noreturn]] void fail(int line, const std::string& message) const;
    std::string here(int line) const;

    // A file value divided by its factor, in the range of its quantity;
    // otherwise "<what> is out of range" at the line.
    float convert(double value, const CiiValue& factor, NeutralQuantity q, int line, const char* what) const;
    float convert(double value, double factor, NeutralQuantity q, int line, const char* what) const;
    // The same in double, for the places worked out from the file's numbers.
    double exact(double value, double factor, NeutralQuantity q, int line, const char* what) const;
    // An element's DX, DY, DZ (inch), as the rows hold them and in double.
    std::array<float, 3> offsets(const CiiElement& e) const;
    Vec3 offset_vector(const CiiElement& e) const;
    // A place or offset worked out in double from the file's numbers, whose
    // terms are at most `scale` (inch), as the numbers make it: rounded in
    // the file's length unit to ten digits below the scale's first, so
    // that the residues of the arithmetic go (a 0 the numbers make is 0)
    // and every digit the file or a float holds stays.
    Vec3 to_file_precision(const Vec3& v, double scale) const;
    // The difference b - a of two such places, to the file's precision.
    Vec3 offset_between(const Vec3& a, const Vec3& b) const;
    // Rotational stiffnesses are per degree in the file.
    float rot_stiffness(double value, int line, const char* what) const;
    // A temperature: (t - offset) / scale in degF; a file value of 0 is one
    // not given and takes `zero_temperature`.
    float temperature(double value, int line) const;
    float zero_temperature = 70.0f;   // degF

    // Rows: appended at the end, or inserted right after a row; each keeps
    // the line of the record that made it. Beyond the row limit: "Maximum
    // number of elements exceeded".
    int append_row(int line);
    int insert_row_after(int row, int line);
    int row_line(int row) const { return row_lines_[static_cast<std::size_t>(row)]; }

private:
    const NeutralLines& lines_;
    std::vector<int> row_lines_{0};
};

// Where the connections of the file put its nodes (cii_placement.cpp):
// every node that the elements tie to a COORDS node or to the first
// element's from node, along the elements in either direction (the to node
// at the from node + DX, DY, DZ), worked out before any row is made. A
// node of a bend's arc (an intermediate node, or a tangent point that is no
// node of the run) stands where the bend's radius puts it between the
// tangents that meet at its corner.
class CiiPlacement {
public:
    // Places what the connections place, and names in the closing note the
    // elements that they tie to nothing, which the rows place.
    explicit CiiPlacement(CiiBuild& b);
    // Where the connections put node n (inch); null when they place it not
    // (yet).
    const Vec3* position(int n) const;
    // Where COORDS puts node n (inch); null when it does not.
    const Vec3* given(int n) const;
    // Where the connections put the far tangent point of the bend of
    // element `bend`, whose node is `corner`; none while they do not place
    // the corner or the bend has no arc.
    std::optional<Vec3> far_tangent(int bend, int corner) const;
    // Node n, which the rows have put at p, and everything it connects to
    // that is not placed yet.
    void place_connected(int n, const Vec3& p);

private:
    struct Edge {
        int element;   // 0: a node of a bend's arc and the bend's corner
        int other;     // the node at the other end
        double sign;   // +1 from the element's from node, -1 from its to node
    };
    CiiBuild& b_;
    std::map<int, std::vector<Edge>> edges_;
    std::vector<Vec3> offsets_;
    std::map<int, Vec3> placed_;
    std::map<int, Vec3> given_;

    void walk(std::vector<int> from);
    std::optional<Vec3> on_bend(const CiiBendPoint& point, int n) const;
    void note_unplaced_groups();
};

// Once the model is built: the elements whose offsets do not end within
// 1 mm of their to node, where the elements before them put it (a loop of
// the file that does not close), are named in the closing note with the
// gap; each is kept as the file gives it, joining its two nodes.
void note_open_loops(CiiBuild& b);
// Once the model is built: every COORDS place more than 1 mm from where the
// elements put its node, which the model keeps, is named in the closing
// note with both places and the distance.
void note_coords_disagreements(CiiBuild& b, const CiiPlacement& placement);

// The row of the bend whose node is `corner`; 0 when none.
int cii_bend_row(int corner);

// The supports, loads and SIFs, in this order: restraints, nozzles,
// displacements, forces, SIFs, hangers (cii_items.cpp).
void add_cii_items(CiiBuild& b);
// After the build: the direction of limit stops that the file gives none
// and whose type names no axis, along the pipe at their node.
void fix_cii_item_directions(CiiBuild& b);
