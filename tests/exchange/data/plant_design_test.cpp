// The plant-design export read back by small readers of the subset it
// writes: PDMS blocks ("New Cyli", "New Cone", "New Box", "New DISH",
// "New CTorus" with their position and direction objects and values) and
// CADMATIC records ("I ;; 1 <kind> <values> #"). Positions are checked
// against the node positions in millimetres in the world frame East, North,
// Up: with Y vertical East = 25.4 x, North = -25.4 z, Up = 25.4 y.
#include "batch_fixture.h"
#include "exchange/plant_design_export.h"
#include "materials/pipe_section.h"
#include "model/model_file.h"

#include <map>
#include <set>

namespace batch_test {
namespace {

struct P3 {
    double e = 0, n = 0, u = 0;
};
P3 operator+(P3 a, P3 b) { return {a.e + b.e, a.n + b.n, a.u + b.u}; }
P3 operator-(P3 a, P3 b) { return {a.e - b.e, a.n - b.n, a.u - b.u}; }
P3 operator*(double t, P3 a) { return {t * a.e, t * a.n, t * a.u}; }
double dot(P3 a, P3 b) { return a.e * b.e + a.n * b.n + a.u * b.u; }
double len(P3 a) { return std::sqrt(dot(a, a)); }
P3 cross(P3 a, P3 b) { return {a.n * b.u - a.u * b.n, a.u * b.e - a.e * b.u, a.e * b.n - a.n * b.e}; }

struct Solid {
    std::string kind;                        // Cyli, Cone, Box, DISH, CTorus / cyl, cone, sph, tor
    std::map<std::string, P3> objects;       // P0, zdir, xdir, ydir
    std::map<std::string, double> values;    // dia, hei, dtop, ...
    std::vector<std::string> lines;
    std::vector<double> numbers;             // CADMATIC
};

std::vector<Solid> read_pdms(const std::string& text)
{
    std::vector<Solid> solids;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("New ", 0) == 0) {
            solids.push_back({line.substr(4), {}, {}, {}, {}});
            continue;
        }
        if (solids.empty())
            continue;
        Solid& s = solids.back();
        s.lines.push_back(line);
        if (line[0] == '!') {
            const std::string name = line.substr(1, line.find_first_of(" .") - 1);
            const auto dot = line.find('.');
            const auto eq = line.find(" = ");
            if (dot == std::string::npos || eq == std::string::npos || dot > eq)
                continue;
            const std::string field = line.substr(dot + 1, eq - dot - 1);
            if (field == "origin")
                continue;
            const double v = std::stod(line.substr(eq + 3));
            P3& p = s.objects[name];
            (field == "East" ? p.e : field == "North" ? p.n : p.u) = v;
        } else if (const auto blank = line.find(' '); blank != std::string::npos) {
            static const std::set<std::string> keys = {"dia",     "hei",     "dtop",     "dbottom", "Xlength",
                                                       "Ylength", "Zlength", "Routside", "Rinside", "angle"};
            if (keys.count(line.substr(0, blank)))
                s.values[line.substr(0, blank)] = std::stod(line.substr(blank + 1));
        }
    }
    return solids;
}

std::vector<Solid> read_cadmatic(const std::string& text)
{
    std::vector<Solid> solids;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        if (token != "I")
            continue;
        std::string semis, one, kind;
        in >> semis >> one >> kind;
        Solid s{kind, {}, {}, {}, {}};
        while (in >> token && token != "#")
            s.numbers.push_back(std::stod(token));
        solids.push_back(s);
    }
    return solids;
}

std::vector<std::shared_ptr<const Solid>> of_kind(const std::vector<Solid>& solids, const std::string& kind)
{
    std::vector<std::shared_ptr<const Solid>> found;
    for (const Solid& s : solids)
        if (s.kind == kind)
            found.push_back(std::make_shared<const Solid>(s));
    return found;
}

// World position (mm) of model coordinates (inch), Y vertical.
P3 world(double x, double y, double z) { return {25.4 * x, -25.4 * z, 25.4 * y}; }

void expect_near(P3 a, P3 b, double tolerance, const std::string& what)
{
    EXPECT_LT(len(a - b), tolerance) << what << ": (" << a.e << ", " << a.n << ", " << a.u << ") / (" << b.e << ", "
                                     << b.n << ", " << b.u << ")";
}

// Inch units, Y vertical: a pipe along X, a 90-degree bend into Y, a valve,
// a bellows and a pipe up; a 4.5-inch section (long radius 6.75 inch).
const std::string PLANT_MODEL = "PLANT\n\nOPTIONS\nB313,IN\nMATERIAL\nCS,0.283\nCS,70,29.5E6\nPIPE\nP4,4.5,0.237\n"
                                "LAYOUT\nF10,MCS,PP4\nT20,X100\nT30,X100,KI\nT40,Y100\nT50,Y20,JV\nT60,Y45,JE,CES(1,1,1)\n"
                                "T70,Y50\n";

class PlantTest : public BatchTest {
protected:
    void SetUp() override
    {
        BatchTest::SetUp();
        import_ok(PLANT_MODEL);
    }
};

TEST_F(PlantTest, PdmsCylindersRunBetweenTheNodePositionsInMillimetres)
{
    const std::vector<Solid> solids = read_pdms(plant_design_text(PLANT_PDMS));
    const auto cylinders = of_kind(solids, "Cyli");
    ASSERT_FALSE(cylinders.empty());
    // The first pipe, node 10 at the origin to node 20 at x = 100 inch.
    const Solid& pipe = *cylinders[0];
    const P3 c = pipe.objects.at("P0");
    const P3 axis = pipe.objects.at("zdir");
    const double h = pipe.values.at("hei");
    expect_near(c - (0.5 * h) * axis, world(0, 0, 0), 1e-3, "start");
    expect_near(c + (0.5 * h) * axis, world(100, 0, 0), 1e-3, "end");
    EXPECT_NEAR(pipe.values.at("dia"), 4.5 * 25.4, 1e-3);
}

TEST_F(PlantTest, PdmsTorusLiesInTheBendPlaneWithTheBendAngle)
{
    const auto tori = of_kind(read_pdms(plant_design_text(PLANT_PDMS)), "CTorus");
    ASSERT_EQ(tori.size(), 1u);
    const Solid& t = *tori[0];
    // Corner (200, 0, 0); tangent points 6.75 inch back along each leg; the
    // arc's centre is at (193.25, 6.75, 0).
    const P3 centre = world(193.25, 6.75, 0);
    expect_near(t.objects.at("P0"), centre, 1e-2, "centre");
    EXPECT_NEAR(t.values.at("angle"), 90.0, 1e-6);
    EXPECT_NEAR(0.5 * (t.values.at("Routside") + t.values.at("Rinside")), 6.75 * 25.4, 1e-3);
    EXPECT_NEAR(t.values.at("Routside") - t.values.at("Rinside"), 4.5 * 25.4, 1e-3);
    // Its x and y directions point from the centre to the far and near tangent points.
    const P3 near_point = world(193.25, 0, 0), far_point = world(200, 6.75, 0);
    expect_near(t.objects.at("xdir"), (1.0 / len(far_point - centre)) * (far_point - centre), 1e-5, "xdir");
    expect_near(t.objects.at("ydir"), (1.0 / len(near_point - centre)) * (near_point - centre), 1e-5, "ydir");
    // Both lie in the bend plane (the plane of the two legs, normal to world North here).
    const P3 normal = cross(world(1, 0, 0), world(0, 1, 0));
    EXPECT_NEAR(dot(t.objects.at("xdir"), normal), 0.0, 1e-6);
    EXPECT_NEAR(dot(t.objects.at("ydir"), normal), 0.0, 1e-6);
}

TEST_F(PlantTest, PdmsSphereIsTwoDishesSharingACentre)
{
    const auto dishes = of_kind(read_pdms(plant_design_text(PLANT_PDMS)), "DISH");
    ASSERT_EQ(dishes.size(), 2u);   // the valve's ball
    expect_near(dishes[0]->objects.at("P0"), dishes[1]->objects.at("P0"), 1e-9, "centres");
    // At the valve's midpoint, 1.7 OD across.
    expect_near(dishes[0]->objects.at("P0"), world(200, 110, 0), 1e-2, "valve centre");
    EXPECT_NEAR(dishes[0]->values.at("dia"), 1.7 * 4.5 * 25.4, 1e-3);
    EXPECT_EQ(dishes[0]->lines.back(), "ori Y is N and Z is U");
    EXPECT_EQ(dishes[1]->lines.back(), "ori Y is N and Z is D");
}

TEST_F(PlantTest, PdmsMacroHasOneSubstructurePerRunBetweenHeaderAndTrailer)
{
    // An empty model, as the Import command gives the file.
    reset_model();
    clear_model_sections();
    const std::string empty = plant_design_text(PLANT_PDMS);
    EXPECT_EQ(empty, "onerror golabel /end\nNEW STRU\nlabel /end\nhandle(41,8)\n"
                     "!!alert.message('Navigate to Zone and import')\nendhandle\n");
    EXPECT_EQ(plant_design_text(PLANT_CADMATIC), "");
    import_ok(PLANT_MODEL + "F100,X0,Y0,Z200\nT110,X50\n");
    const std::string text = plant_design_text(PLANT_PDMS);
    std::size_t subs = 0;
    for (std::size_t at = text.find("NEW SUBS"); at != std::string::npos; at = text.find("NEW SUBS", at + 1))
        ++subs;
    EXPECT_EQ(subs, 2u);
    EXPECT_EQ(plant_design_text(PLANT_CADMATIC).find("NEW SUBS"), std::string::npos);
}

TEST_F(PlantTest, CadmaticCylinderBasePlusHeightAlongTheAxisIsTheEndNodeAndTheRadiusHalfTheDiameter)
{
    const auto pdms = of_kind(read_pdms(plant_design_text(PLANT_PDMS)), "Cyli");
    const auto cad = of_kind(read_cadmatic(plant_design_text(PLANT_CADMATIC)), "cyl");
    ASSERT_EQ(pdms.size(), cad.size());
    ASSERT_FALSE(cad.empty());
    // radius, height, base (3), axis (3).
    const std::vector<double>& c = cad[0]->numbers;
    ASSERT_EQ(c.size(), 8u);
    const P3 base{c[2], c[3], c[4]}, axis{c[5], c[6], c[7]};
    expect_near(base, world(0, 0, 0), 1e-3, "base");
    expect_near(base + c[1] * axis, world(100, 0, 0), 1e-3, "end");
    for (std::size_t i = 0; i < cad.size(); ++i)
        EXPECT_NEAR(cad[i]->numbers[0], 0.5 * pdms[i]->values.at("dia"), 1e-5) << i;
}

TEST_F(PlantTest, CadmaticTorusAngleIsInRadiansAndItsAxesLieInTheBendPlane)
{
    const auto tori = of_kind(read_cadmatic(plant_design_text(PLANT_CADMATIC)), "tor");
    ASSERT_EQ(tori.size(), 1u);
    // R, r, angle, position (3), x direction (3), y direction (3).
    const std::vector<double>& t = tori[0]->numbers;
    ASSERT_EQ(t.size(), 12u);
    EXPECT_NEAR(t[0], 6.75 * 25.4, 1e-3);
    EXPECT_NEAR(t[1], 0.5 * 4.5 * 25.4, 1e-3);
    EXPECT_NEAR(t[2], 3.141592653589793 / 2, 1e-6);   // 90 degrees with pi/180
    expect_near({t[3], t[4], t[5]}, world(193.25, 0, 0), 1e-2, "near tangent point");
    expect_near({t[6], t[7], t[8]}, (1.0 / 25.4) * world(1, 0, 0), 1e-6, "tangent");
    expect_near({t[9], t[10], t[11]}, (1.0 / 25.4) * world(0, 1, 0), 1e-6, "towards the centre");
}

TEST_F(PlantTest, PlantDesignBellowsWritesTwoConesPerPitch)
{
    // Bellows 45 inch long, 4.5 inch OD: n = int(45 / 2.25) = 20 pitches, 40 cones.
    const auto cones = of_kind(read_pdms(plant_design_text(PLANT_PDMS)), "Cone");
    ASSERT_EQ(cones.size(), 40u);
    double length = 0;
    for (std::size_t i = 0; i < cones.size(); ++i) {
        length += cones[i]->values.at("hei");
        // Alternating: out to 1.2 OD, then back.
        EXPECT_NEAR(cones[i]->values.at(i % 2 == 0 ? "dtop" : "dbottom"), 1.2 * 4.5 * 25.4, 1e-3) << i;
    }
    EXPECT_NEAR(length, 45 * 25.4, 1e-2);
    EXPECT_EQ(of_kind(read_cadmatic(plant_design_text(PLANT_CADMATIC)), "cone").size(), 40u);
}

TEST_F(PlantTest, PlantDesignLeavesOutShapesOfZeroOrNonFiniteSize)
{
    // A section of no diameter: nothing of the pipe, bellows or valve body.
    pipe_sections()[1].outside_diameter = 0.0f;
    EXPECT_TRUE(of_kind(read_pdms(plant_design_text(PLANT_PDMS)), "Cyli").empty());
    EXPECT_TRUE(of_kind(read_pdms(plant_design_text(PLANT_PDMS)), "Cone").empty());
    EXPECT_TRUE(of_kind(read_cadmatic(plant_design_text(PLANT_CADMATIC)), "cyl").empty());
    pipe_sections()[1].outside_diameter = 4.5f;
    // A displacement that is not a number moves no shape into the file.
    NodeDisplacementField field(static_cast<std::size_t>(numnodes() + 1));
    field[2] = {std::nanf(""), 0.0f, 0.0f};
    const std::string text = plant_design_text(PLANT_PDMS, &field);
    EXPECT_EQ(text.find("nan"), std::string::npos);
    EXPECT_EQ(text.find("inf"), std::string::npos);
}

TEST_F(PlantTest, PlantDesignDisplacedShapeMovesTheNodesAndTheArcFollowsByAngle)
{
    // Every node 1 inch along X and 2 inch along Y.
    NodeDisplacementField field(static_cast<std::size_t>(numnodes() + 1), std::array<float, 3>{1.0f, 2.0f, 0.0f});
    const auto cylinders = of_kind(read_pdms(plant_design_text(PLANT_PDMS, &field)), "Cyli");
    EXPECT_TRUE(of_kind(read_pdms(plant_design_text(PLANT_PDMS, &field)), "CTorus").empty());
    const P3 shift = world(1, 2, 0);
    const Solid& pipe = *cylinders[0];
    const P3 c = pipe.objects.at("P0");
    const P3 axis = pipe.objects.at("zdir");
    expect_near(c - (0.5 * pipe.values.at("hei")) * axis, world(0, 0, 0) + shift, 1e-3, "start");
    // The arc: 24 cylinders from the moved near tangent point to the moved far
    // one, every joint at the bend radius from the moved centre.
    const P3 centre = world(193.25, 6.75, 0) + shift;
    int on_arc = 0;
    for (const auto& s : cylinders) {
        const P3 a = s->objects.at("P0") - (0.5 * s->values.at("hei")) * s->objects.at("zdir");
        const P3 b = s->objects.at("P0") + (0.5 * s->values.at("hei")) * s->objects.at("zdir");
        if (std::fabs(len(a - centre) - 6.75 * 25.4) < 1e-2 && std::fabs(len(b - centre) - 6.75 * 25.4) < 1e-2)
            ++on_arc;
    }
    EXPECT_EQ(on_arc, 24);
}

TEST_F(PlantTest, PlantDesignValveStemStandsUpAndJointsWithoutSectionsTakeTheDefaultSize)
{
    // A valve along X: its stem points up (world Up), 2 OD long.
    reset_model();
    clear_model_sections();
    import_ok("\nOPTIONS\nB313,IN,Z\nMATERIAL\nCS\nCS,70,29E6\nPIPE\nP4,4.5,0.237\nLAYOUT\nF10,MCS,PP4\n"
              "T20,X20,JV\n");
    const auto cylinders = of_kind(read_pdms(plant_design_text(PLANT_PDMS)), "Cyli");
    ASSERT_EQ(cylinders.size(), 3u);   // body, stem, handwheel
    const Solid& stem = *cylinders[1];
    expect_near(stem.objects.at("zdir"), {0, 0, 1}, 1e-9, "stem axis");
    EXPECT_NEAR(stem.values.at("hei"), 2 * 4.5 * 25.4, 1e-3);
    // A ball joint in a model without sections: 1.5 x 152.4 mm.
    reset_model();
    clear_model_sections();
    import_ok("\nOPTIONS\nB313,IN\nLAYOUT\nF10\nT20,X20,JB\n");
    const auto dishes = of_kind(read_pdms(plant_design_text(PLANT_PDMS)), "DISH");
    ASSERT_EQ(dishes.size(), 2u);
    EXPECT_NEAR(dishes[0]->values.at("dia"), 228.6, 1e-3);
}

}  // namespace
}  // namespace batch_test
