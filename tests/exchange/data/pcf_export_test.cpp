// The PCF export read back by a reader written here from the public PCF
// record layout: a record's identifier stands in column 1 and its attribute
// lines are indented; END-POINT, CENTRE-POINT and BRANCH1-POINT carry x y z
// (and a bore); components follow a PIPELINE-REFERENCE; the MATERIALS list
// closes the file.
#include "batch_fixture.h"
#include "elements/valve.h"
#include "exchange/pcf_export.h"
#include "framework/text.h"

#include <map>
#include <set>

namespace batch_test {
namespace {

struct Point {
    double x = 0, y = 0, z = 0;
};
double gap(Point a, Point b) { return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z)); }

struct Record {
    std::string id;
    std::multimap<std::string, std::string> attributes;
    std::vector<Point> ends;
    std::vector<double> bores;
    std::optional<Point> centre;
    std::optional<Point> branch;
    std::string pipeline;   // the PIPELINE-REFERENCE it stands in
};

const std::set<std::string> COMPONENTS = {"PIPE", "ELBOW", "VALVE", "REDUCER-CONCENTRIC", "MISC-COMPONENT",
                                          "INSTRUMENT", "FLANGE", "TEE", "TEE-SET-ON", "TEE-STUB", "SUPPORT", "NOZZLE"};
const std::set<std::string> HEADER_RECORDS = {"ISOGEN-FILES", "UNITS-BORE", "UNITS-CO-ORDS", "UNITS-WEIGHT",
                                              "UNITS-BOLT-DIA", "UNITS-BOLT-LENGTH", "SYSTEM-ISOMETRIC-REFERENCE"};

struct PcfFile {
    std::map<std::string, std::string> header;
    std::vector<Record> records;     // components and supports in file order
    std::vector<std::string> faults;
    std::vector<std::string> material_codes;
};

Point point_of(const std::string& text, double* bore = nullptr)
{
    std::istringstream in(text);
    Point p;
    in >> p.x >> p.y >> p.z;
    if (bore)
        in >> *bore;
    return p;
}

PcfFile read_pcf(const std::string& text)
{
    PcfFile f;
    std::istringstream in(text);
    std::string pipeline;
    Record* current = nullptr;
    bool materials = false;
    for (std::string line; std::getline(in, line);) {
        if (line.find_first_of("Ee") != std::string::npos && line.find("POINT") != std::string::npos &&
            line.find_first_of("0123456789") != std::string::npos) {
            const std::string numbers = line.substr(line.find("POINT") + 5);
            if (numbers.find_first_of("Ee") != std::string::npos)
                f.faults.push_back("exponent form: " + line);
        }
        if (line.empty())
            continue;
        if (line[0] != ' ') {
            const std::string id = line.substr(0, line.find(' '));
            const std::string rest = line.find(' ') == std::string::npos ? "" : line.substr(line.find(' ') + 1);
            current = nullptr;
            if (materials) {
                if (id == "ITEM-CODE")
                    f.material_codes.push_back(rest);
                else
                    f.faults.push_back("unknown record in the materials: " + line);
            } else if (HEADER_RECORDS.count(id)) {
                f.header[id] = rest;
            } else if (id == "PIPELINE-REFERENCE") {
                pipeline = rest;
            } else if (id == "MATERIALS") {
                materials = true;
            } else if (COMPONENTS.count(id)) {
                if (pipeline.empty())
                    f.faults.push_back("outside a pipeline: " + id);
                f.records.push_back({id, {}, {}, {}, {}, {}, pipeline});
                current = &f.records.back();
            } else {
                f.faults.push_back("unknown record: " + line);
            }
            continue;
        }
        const std::size_t start = line.find_first_not_of(' ');
        const std::string body = line.substr(start);
        const std::string name = body.substr(0, body.find(' '));
        const std::string value = body.find(' ') == std::string::npos ? "" : body.substr(body.find(' ') + 1);
        if (!current)
            continue;
        current->attributes.emplace(name, value);
        if (name == "END-POINT" || name == "CO-ORDS") {
            double bore = 0;
            current->ends.push_back(point_of(value, &bore));
            current->bores.push_back(bore);
        } else if (name == "CENTRE-POINT") {
            current->centre = point_of(value);
        } else if (name == "BRANCH1-POINT") {
            current->branch = point_of(value);
        }
    }
    return f;
}

std::string attribute(const Record& r, const std::string& name)
{
    const auto it = r.attributes.find(name);
    return it == r.attributes.end() ? std::string("(none)") : it->second;
}

// Inch units, Z vertical: a run along X, a bend turning into Y, valves,
// instruments and flanges, a bellows, supports, a reducer and a tee.
const std::string PCF_MODEL = "PCF MODEL\n\nOPTIONS\nB313,IN,Z\nMATERIAL\nCS,0.283,,,,CS,CARBON STEEL\n"
                              "CS,70,29.5E6,6.07E-6,20000\nPIPE\nP4,4.5,0.237\nP2,2.375,0.154\nLOADS\nL1,300,150\n"
                              "LAYOUT\nF10,MCS,PP4,CL=L1\nT20,X100,KA\nT30,X100,KI\nT40,Y100,JV\nT45,Y20,JV\n"
                              "T50,Y10,JR\nT60,Y3,JR\nT70,Y20,JE,CES(1000,1000,1000)\nT80,Y50,CFIXD(1,0,1)\n"
                              "T90,Y50,CLS(-1,1),DV(0,0.7071,0.7071)\nT100,Y50,CVS=2,HTYP=16\n"
                              "T110,Y50,JD,COD1=4.5,THK1=0.237,OD2=2.375,THK2=0.154\nT120,PP2,Y50,KT\nT130,Y50\n";

class PcfTest : public BatchTest {
protected:
    PcfFile exported()
    {
        const std::string text = pcf_export_text();
        PcfFile f = read_pcf(text);
        for (const std::string& fault : f.faults)
            ADD_FAILURE() << fault;
        return f;
    }
};

TEST_F(PcfTest, PcfRecordsAreKnownInsidePipelinesAndJoinedEndToEnd)
{
    import_ok(PCF_MODEL);
    element<Valve>(row_of(40)).valve_type = 1;
    element<Valve>(row_of(45)).valve_type = 2;
    const PcfFile f = exported();
    EXPECT_EQ(f.header.at("UNITS-WEIGHT"), "LBS");
    EXPECT_EQ(f.header.at("UNITS-CO-ORDS"), "INCH");
    EXPECT_EQ(f.header.at("SYSTEM-ISOMETRIC-REFERENCE"), "PCF MODEL");
    std::vector<const Record*> components;
    for (const Record& r : f.records)
        if (r.id != "SUPPORT")
            components.push_back(&r);
    // One component per element row (a pipe before the bend, the elbow, the
    // tee at node 120); every pipeline named after its From node.
    std::vector<std::string> ids;
    for (const Record* r : components)
        ids.push_back(r->id);
    const std::vector<std::string> expected = {"PIPE",  "PIPE",       "ELBOW",          "VALVE", "VALVE",
                                               "INSTRUMENT", "FLANGE", "MISC-COMPONENT", "PIPE",  "PIPE",
                                               "PIPE",  "REDUCER-CONCENTRIC", "PIPE", "TEE", "PIPE"};
    EXPECT_EQ(ids, expected);
    for (const Record& r : f.records)
        EXPECT_EQ(r.pipeline, "P10");
    // Consecutive components join: each starts where the one before ended.
    for (std::size_t i = 1; i < components.size(); ++i) {
        ASSERT_FALSE(components[i]->ends.empty()) << components[i]->id;
        EXPECT_LT(gap(components[i]->ends.front(), components[i - 1]->ends.back()), 1e-3)
            << i << " " << components[i]->id << " after " << components[i - 1]->id;
    }
    // SKEYs of four characters without blanks; item codes without blanks.
    std::set<std::string> valve_keys;
    for (const Record& r : f.records) {
        for (const auto& [name, value] : r.attributes) {
            if (name == "SKEY") {
                std::string key = value;
                while (!key.empty() && key.back() == ' ')
                    key.pop_back();
                EXPECT_EQ(key.size(), 4u) << r.id << " '" << value << "'";
                EXPECT_EQ(key.find(' '), std::string::npos) << r.id;
                if (r.id == "VALVE")
                    valve_keys.insert(key);
            }
            if (name == "ITEM-CODE") {
                EXPECT_EQ(value.find(' '), std::string::npos) << value;
            }
        }
    }
    EXPECT_EQ(valve_keys.size(), 2u);   // gate and globe apart
    for (const std::string& code : f.material_codes)
        EXPECT_EQ(code.find(' '), std::string::npos);
}

TEST_F(PcfTest, PcfElbowCentreIsTheTangentIntersectionEquidistantFromItsEnds)
{
    import_ok(PCF_MODEL);
    const PcfFile f = exported();
    const Record* elbow = nullptr;
    const Record* before = nullptr;
    for (const Record& r : f.records) {
        if (r.id == "ELBOW") {
            elbow = &r;
            break;
        }
        if (r.id == "PIPE")
            before = &r;
    }
    ASSERT_TRUE(elbow && before && elbow->centre);
    ASSERT_EQ(elbow->ends.size(), 2u);
    // Long radius: 1.5 x 4.5 = 6.75 inch from the corner (200, 0, 0) along each leg.
    const Point c = *elbow->centre;
    EXPECT_NEAR(c.x, 200.0, 1e-4);
    EXPECT_NEAR(c.y, 0.0, 1e-4);
    EXPECT_NEAR(gap(c, elbow->ends[0]), 6.75, 1e-3);
    EXPECT_NEAR(gap(c, elbow->ends[1]), 6.75, 1e-3);
    // The centre lies on the incoming leg's line: (centre - near end) along the pipe before.
    const Point d{before->ends[1].x - before->ends[0].x, before->ends[1].y - before->ends[0].y,
                  before->ends[1].z - before->ends[0].z};
    const Point e{c.x - elbow->ends[0].x, c.y - elbow->ends[0].y, c.z - elbow->ends[0].z};
    const double cross = std::hypot(d.y * e.z - d.z * e.y, d.z * e.x - d.x * e.z, d.x * e.y - d.y * e.x);
    EXPECT_NEAR(cross, 0.0, 1e-6 * gap({}, d) * gap({}, e) + 1e-9);
    EXPECT_EQ(attribute(*elbow, "BEND-ANGLE"), "90 ");
    EXPECT_EQ(attribute(*elbow, "BEND-RADIUS"), "6.75 ");
}

TEST_F(PcfTest, PcfSupportsAndFittingsCarryTheirKeysItemsAndBores)
{
    import_ok(PCF_MODEL);
    const PcfFile f = exported();
    std::vector<std::string> supports;
    const Record* tee = nullptr;
    for (const Record& r : f.records) {
        if (r.id == "SUPPORT")
            supports.push_back(attribute(r, "SKEY"));
        if (r.id == "TEE")
            tee = &r;
    }
    // Anchor, restraint in X and Z, limit stop off the axes, catalogue hanger.
    EXPECT_EQ(supports, (std::vector<std::string>{"ANCH ", "XZ** ", "LIM* ", "SPRG "}));
    const std::vector<std::string> codes = f.material_codes;
    EXPECT_NE(std::find(codes.begin(), codes.end(), "LS-0.000-0.707-0.707"), codes.end());
    EXPECT_NE(std::find(codes.begin(), codes.end(), "Grinnell-2"), codes.end());
    EXPECT_NE(std::find(codes.begin(), codes.end(), "RESTRAINT-XZ"), codes.end());
    // The tee on the 2-inch line: run and branch bores 2 (NPS of 2.375 inch).
    ASSERT_TRUE(tee);
    ASSERT_EQ(tee->bores.size(), 2u);
    EXPECT_EQ(tee->bores[0], 2.0);
    EXPECT_NE(std::find(codes.begin(), codes.end(), "TEE-BW-2x2"), codes.end());
    // The reducer's ends take the bores of its two diameters: 4 and 2.
    for (const Record& r : f.records) {
        if (r.id == "REDUCER-CONCENTRIC") {
            EXPECT_EQ(r.bores, (std::vector<double>{4.0, 2.0}));
        }
    }
    // One material-list entry per item code.
    EXPECT_EQ(std::set<std::string>(codes.begin(), codes.end()).size(), codes.size());
}

TEST_F(PcfTest, PcfInMillimetresWithYVerticalWritesDnBoresAndTheVerticalThird)
{
    import_ok("MM MODEL\n\nOPTIONS\nB313,SI\nMATERIAL\nCS,7850\nCS,20,200000\nPIPE\nP4,114.3,6.02\n"
              "LAYOUT\nF10,MCS,PP4,X25.4,Y50.8,Z76.2\nT20,X1000\nT30,X0.03,CFIXD(0,1,0)\n");
    const PcfFile f = exported();
    EXPECT_EQ(f.header.at("UNITS-WEIGHT"), "KGS");
    EXPECT_EQ(f.header.at("UNITS-BORE"), "MM");
    ASSERT_GE(f.records.size(), 2u);
    const Record& pipe = f.records[0];
    ASSERT_EQ(pipe.id, "PIPE");
    // (1, 2, 3) inch with Y vertical is written z x y: 76.2 25.4 50.8, DN 100.
    EXPECT_EQ(attribute(pipe, "END-POINT"), "76.2 25.4 50.8 100");
    // A pipe of 0.03 mm writes no PIPE, but its restraint is written.
    EXPECT_EQ(f.records.size(), 2u);
    EXPECT_EQ(f.records[1].id, "SUPPORT");
    EXPECT_EQ(attribute(f.records[1], "SKEY"), "Z*** ");   // Y vertical: the model's Y is the file's Z
}

TEST(PcfNominalBore, StandardSizesGiveNpsOrDnAndOthersTheirDiameter)
{
    // ASME B36.10M: NPS 4 is 4.5 inch outside (DN 100); NPS 3 1/2 is 4.0 (DN 90).
    EXPECT_EQ(pcf_nominal_bore(4.5, true), 4.0);
    EXPECT_EQ(pcf_nominal_bore(4.5, false), 100.0);
    EXPECT_EQ(pcf_nominal_bore(4.0, true), 3.5);
    EXPECT_EQ(pcf_nominal_bore(24.0, false), 600.0);
    EXPECT_EQ(pcf_nominal_bore(0.405, true), 0.125);
    // 4.7 inch is within 0.1 of no size: its own diameter (inch, or mm).
    EXPECT_EQ(pcf_nominal_bore(4.7, true), 4.7);
    EXPECT_NEAR(pcf_nominal_bore(4.7, false), 119.38, 1e-9);
}

TEST_F(PcfTest, PcfWithoutAFromRowStillPutsEveryComponentInAPipeline)
{
    import_ok(PCF_MODEL);
    // Take the From row's kind away: the first row is a pipe.
    LayoutRow::change_etype(1, ET_LOCATION);
    const PcfFile f = exported();
    ASSERT_FALSE(f.records.empty());
    for (const Record& r : f.records)
        EXPECT_FALSE(r.pipeline.empty()) << r.id;
}

// ---- Digits of millimetre lengths ----------------------------------------------------------

// Metric, Z vertical, starting off the origin so that no coordinate is round:
// a 329.409 mm valve along X, a pipe to the corner of a 229 mm bend that
// turns 53.13 degrees into the direction (0.6, 0.8, 0), a 1000 mm pipe along
// it, and a run up Y to 8.8 m from the origin.
const std::string DIGITS_MODEL = "PCF DIGITS\n\nOPTIONS\nB313,SI,Z\nMATERIAL\nCS,7850\nCS,20,200000\n"
                                 "PIPE\nP4,114.3,6.02\nLAYOUT\nF10,MCS,PP4,X12.345,Y23.456,Z34.567\n"
                                 "T20,X329.409,JV\nT30,X200\nT40,X300,KI,B229\nT50,X600,Y800\nT60,Y8000\n";

class PcfDigits : public PcfTest {
protected:
    static std::string points_text(const Record& r, const std::string& name)
    {
        std::string all;
        for (auto [at, end] = r.attributes.equal_range(name); at != end; ++at)
            all += at->second + "|";
        return all;
    }
    static const Record& first(const PcfFile& f, const std::string& id)
    {
        for (const Record& r : f.records)
            if (r.id == id)
                return r;
        ADD_FAILURE() << "no " << id;
        return f.records.front();
    }
};

TEST_F(PcfDigits, ValveLengthAndBendRadiusReadBackToSixDigits)
{
    import_ok(DIGITS_MODEL);
    const PcfFile f = exported();
    ASSERT_FALSE(f.records.empty());
    // The valve runs from x = 12.345 to 12.345 + 329.409 = 341.754 (mm, the
    // batch lines above); "%.6G" keeps all of their digits.
    const Record& valve = first(f, "VALVE");
    ASSERT_EQ(valve.ends.size(), 2u);
    EXPECT_EQ(points_text(valve, "END-POINT"), "12.345 23.456 34.567 100|341.754 23.456 34.567 100|");
    EXPECT_EQ(c_format("%.6G", gap(valve.ends[0], valve.ends[1])), "329.409");

    // The bend: corner at x = 341.754 + 200 + 300 = 841.754; the legs meet
    // at the deflection D with cos D = 0.6, so the tangent length is
    // T = R tan(D/2) = 229 x 0.5 = 114.5 (circular curve, T = R tan(D/2)):
    // the ends are the corner - 114.5 (1, 0, 0) and + 114.5 (0.6, 0.8, 0).
    const Record& elbow = first(f, "ELBOW");
    ASSERT_EQ(elbow.ends.size(), 2u);
    ASSERT_TRUE(elbow.centre);
    EXPECT_EQ(attribute(elbow, "CENTRE-POINT"), "841.754 23.456 34.567");
    EXPECT_EQ(points_text(elbow, "END-POINT"), "727.254 23.456 34.567 100|910.454 115.056 34.567 100|");
    EXPECT_EQ(attribute(elbow, "BEND-RADIUS"), "229 ");
    // A reader's radius from the three points: R = T / tan(D/2).
    const Point c = *elbow.centre;
    const Point a{elbow.ends[0].x - c.x, elbow.ends[0].y - c.y, elbow.ends[0].z - c.z};
    const Point b{elbow.ends[1].x - c.x, elbow.ends[1].y - c.y, elbow.ends[1].z - c.z};
    const double between = std::acos((a.x * b.x + a.y * b.y + a.z * b.z) / (gap({}, a) * gap({}, b)));
    const double deflection = 3.141592653589793 - between;
    const double radius = gap({}, a) / std::tan(deflection / 2.0);
    EXPECT_EQ(c_format("%.6G", radius), "229");

    // The last pipe rises to (1441.754, 8823.456, 34.567), 8.99 m from the
    // origin: written to 0.01 mm.
    const Record& last = f.records.back();
    ASSERT_EQ(last.ends.size(), 2u);
    EXPECT_EQ(points_text(last, "END-POINT"), "1441.75 823.456 34.567 100|1441.75 8823.46 34.567 100|");
    EXPECT_NEAR(last.ends.back().x, 1441.754, 0.005);
    EXPECT_NEAR(last.ends.back().y, 8823.456, 0.005);
}

TEST_F(PcfDigits, MillimetresFarOutOrNearlyZeroStayPlainDecimals)
{
    // Nodes 2 km out along X are whole millimetres (no exponent); a tenth
    // of a micron off an axis is 0.
    import_ok("FAR\n\nOPTIONS\nB313,SI,Z\nMATERIAL\nCS,7850\nCS,20,200000\nPIPE\nP4,114.3,6.02\n"
              "LAYOUT\nF10,MCS,PP4,X2000000,Y0.00001\nT20,X1000\n");
    const PcfFile far = exported();
    ASSERT_FALSE(far.records.empty());
    EXPECT_EQ(points_text(far.records[0], "END-POINT"), "2000000 0 0 100|2001000 0 0 100|");
}

}  // namespace
}  // namespace batch_test
