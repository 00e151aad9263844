// The model-file records of the element classes: every field on both sides
// of each version gate, laid out here byte by byte from the record's own
// description; round trips through whole model files, old and current;
// damaged records refused with a message that names the row; copies,
// generated copies, counts, row lists, cells and the section terms the
// analysis takes from each kind.
#include "elements/bend.h"
#include "elements/data/element_records_fixture.h"
#include "elements/jacketed_bend.h"
#include "elements/miter.h"
#include "elements/pipe.h"
#include "elements/reducer.h"
#include "framework/binfile.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/piping_codes.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace {

// The values of the test bend; every field differs from its default.
struct BendValues {
    float radius = 9.0f, thickness = 0.3f;
    std::string material6 = "MATL6", material4 = "MAT4";
    float ff_in = 2.5f, ff_out = 3.5f, sif_in = 1.5f, sif_out = 1.6f, sif_axial = 1.7f, sif_torsion = 1.8f;
    int32_t node1 = 25, node2 = 26;
    float angle1 = 0.3f, angle2 = 0.9f;
    uint8_t kind = RADIUS_USER, flanged = 1, valid = 1;
    float bend_angle = 1.5f, centre[3] = {1, 2, 3};
    int32_t far = 77;
};

// The bend record of a file of `version`, from the record's layout:
// radius, thickness; material (4 bytes before 681, else 6) and in-plane
// factor above 500; out-of-plane factor above 780; two SIFs above 502; two
// more above 780; nodes, angles, kind, flanged ends, valid flag, bend angle,
// centre, far node always.
Bytes bend_record(int version, const BendValues& v = {})
{
    Bytes b;
    b.f32(v.radius);
    b.f32(v.thickness);
    if (version > 500) {
        if (version < 681)
            b.name(v.material4, 4);
        else
            b.name(v.material6, 6);
        b.f32(v.ff_in);
    }
    if (version > 780)
        b.f32(v.ff_out);
    if (version > 502) {
        b.f32(v.sif_in);
        b.f32(v.sif_out);
    }
    if (version > 780) {
        b.f32(v.sif_axial);
        b.f32(v.sif_torsion);
    }
    b.i32(v.node1);
    b.i32(v.node2);
    b.f32(v.angle1);
    b.f32(v.angle2);
    b.u8(v.kind);
    b.u8(v.flanged);
    b.u8(v.valid);
    b.f32(v.bend_angle);
    for (float c : v.centre)
        b.f32(c);
    b.i32(v.far);
    return b;
}

// The jacket part of a jacketed-bend record after its bend record.
void jacket_record(Bytes& b, int version)
{
    const std::size_t width = version < 681 ? 4 : 6;
    b.name(version < 681 ? "JM4" : "JMAT6", width);
    b.name(version < 681 ? "JS4" : "JSEC6", width);
    b.name(version < 681 ? "JL4" : "JLOD6", width);
    b.i32(11);       // previous node
    b.i32(12);       // near node
    b.f32(15.0f);    // radius
    b.f32(0.375f);   // thickness
    b.u8(RADIUS_USER);
    b.u8(2);         // flanged ends
    for (float c : {4.0f, 5.0f, 6.0f})
        b.f32(c);
    b.i32(13);       // far node
}

// A row of an old file: node, kind, offsets, the names "CS", "S6", "L1"
// when `named`, and the element record's bytes.
OldRow old_row(int node, int etype, float dx = 0, float dy = 0, float dz = 0, bool named = false,
               const Bytes& record = {})
{
    OldRow r;
    r.node = node;
    r.etype = etype;
    r.dx = dx;
    r.dy = dy;
    r.dz = dz;
    if (named) {
        r.material = "CS";
        r.section = "S6";
        r.load = "L1";
    }
    r.element = record.b;
    return r;
}

using ElementRecordsTest = ElementRecordsFixture;

// The values read from a record of `version`. After a model build (`built`)
// the arc and the flanged ends are the build's and are not compared.
void expect_bend(const Bend& b, int version, bool built = false, const BendValues& v = {})
{
    SCOPED_TRACE("version " + std::to_string(version));
    const BendGeometry& g = b.geometry;
    EXPECT_FLOAT_EQ(g.radius, v.radius);
    EXPECT_FLOAT_EQ(g.thickness, v.thickness);
    EXPECT_EQ(g.material, version <= 500 ? "" : version < 681 ? v.material4 : v.material6);
    EXPECT_FLOAT_EQ(b.ff_in, version <= 500 ? -1.0f : v.ff_in);
    EXPECT_FLOAT_EQ(b.ff_out, version <= 780 ? -1.0f : v.ff_out);
    EXPECT_FLOAT_EQ(b.sif_in, version <= 502 ? 0.0f : v.sif_in);
    EXPECT_FLOAT_EQ(b.sif_out, version <= 502 ? 0.0f : v.sif_out);
    EXPECT_FLOAT_EQ(b.sif_axial, version <= 780 ? 0.0f : v.sif_axial);
    EXPECT_FLOAT_EQ(b.sif_torsion, version <= 780 ? 0.0f : v.sif_torsion);
    EXPECT_EQ(g.node1, v.node1);
    EXPECT_EQ(g.node2, v.node2);
    EXPECT_FLOAT_EQ(g.angle1, v.angle1);
    EXPECT_FLOAT_EQ(g.angle2, v.angle2);
    EXPECT_EQ(g.radius_kind, v.kind);
    if (built)
        return;
    EXPECT_EQ(g.flanged_ends, v.flanged);
    EXPECT_FLOAT_EQ(g.bend_angle, v.bend_angle);
    EXPECT_FLOAT_EQ(g.centre[2], v.centre[2]);
    // The arc is the model build's to lay out again.
    EXPECT_EQ(g.geometry_valid, 0);
    EXPECT_EQ(g.far_node, 0);
}

}  // namespace

TEST_F(ElementRecordsTest, BendRecordOnBothSidesOfEachGate)
{
    for (int version : {500, 501, 502, 503, 680, 681, 780, 781, MODEL_FILE_VERSION}) {
        const auto read = read_record(ET_BEND, bend_record(version), version);
        expect_bend(dynamic_cast<const Bend&>(*read), version);
    }
    // The writer always writes the newest layout, which reads back whole.
    const auto read = read_record(ET_BEND, bend_record(MODEL_FILE_VERSION), MODEL_FILE_VERSION);
    EXPECT_EQ(written(*read), bend_record(MODEL_FILE_VERSION, [] {
                                  BendValues v;
                                  v.valid = 0;
                                  v.far = 0;
                                  return v;
                              }()).b);
}

TEST_F(ElementRecordsTest, MiterAndJacketedBendExtendTheBendRecord)
{
    for (int version : {500, 680, 681, 781, MODEL_FILE_VERSION}) {
        SCOPED_TRACE(version);
        Bytes miter = bend_record(version);
        miter.i32(MITER_WIDELY_SPACED_ID);
        const auto m = read_record(ET_MITER, miter, version);
        expect_bend(dynamic_cast<const Bend&>(*m), version);
        EXPECT_EQ(dynamic_cast<const Miter&>(*m).spacing, MITER_WIDELY_SPACED_ID);

        // The jacket names widen at 681 as the bend's own name does, one
        // version after the rows' names (680).
        Bytes jbend = bend_record(version);
        jacket_record(jbend, version);
        const auto j = read_record(ET_JACKETED_BEND, jbend, version);
        const auto& jb = dynamic_cast<const JacketedBend&>(*j);
        expect_bend(jb, version);
        EXPECT_EQ(jb.jacket.material, version < 681 ? "JM4" : "JMAT6");
        EXPECT_EQ(jb.jacket.section, version < 681 ? "JS4" : "JSEC6");
        EXPECT_EQ(jb.jacket.load, version < 681 ? "JL4" : "JLOD6");
        EXPECT_FLOAT_EQ(jb.jacket.radius, 15.0f);
        EXPECT_FLOAT_EQ(jb.jacket.thickness, 0.375f);
        EXPECT_EQ(jb.jacket.radius_kind, RADIUS_USER);
        EXPECT_EQ(jb.jacket.flanged_ends, 2);
        EXPECT_FLOAT_EQ(jb.jacket.centre[1], 5.0f);
        EXPECT_EQ(jb.jacket.far_node, 0);   // laid out again by the build
    }
}

TEST_F(ElementRecordsTest, ReducerAndCutPipeRecords)
{
    // Reducer: OD1, Thk1, OD2, Thk2, cone angle, knuckles u8, Delta: 25 bytes.
    Bytes r;
    for (float v : {8.625f, 0.322f, 6.625f, 0.28f, 0.26f})
        r.f32(v);
    r.u8(1);
    r.f32(1.25f);
    ASSERT_EQ(r.b.size(), 25u);
    const auto reducer = read_record(ET_REDUCER, r, 500);
    const auto& red = dynamic_cast<const Reducer&>(*reducer);
    EXPECT_FLOAT_EQ(red.od1, 8.625f);
    EXPECT_FLOAT_EQ(red.thickness2, 0.28f);
    EXPECT_FLOAT_EQ(red.cone_angle, 0.26f);
    EXPECT_EQ(red.knuckles, 1);
    EXPECT_FLOAT_EQ(red.delta, 1.25f);
    EXPECT_EQ(written(red), r.b);

    Bytes c;
    c.f32(-0.75f);
    const auto cut = read_record(ET_CUT_PIPE, c, 600);
    EXPECT_FLOAT_EQ(dynamic_cast<const CutPipe&>(*cut).cut, -0.75f);
    EXPECT_EQ(written(*cut), c.b);
    // A plain pipe has no record at all.
    EXPECT_TRUE(written(*make_element_object(ET_PIPE)).empty());
}

TEST_F(ElementRecordsTest, OldFilesReadAndRoundTripThroughTheCurrentVersion)
{
    // A line with a bend of each kind, a reducer and a cut pipe, in files of
    // the versions either side of the name gates; read, written at the
    // current version and read again, every value stays.
    for (int version : {680, 681}) {
        SCOPED_TRACE(version);
        std::vector<OldRow> rows;
        rows.push_back(old_row(10, ET_FROM));
        rows.push_back(old_row(20, ET_PIPE, 100, 0, 0, true));
        rows.push_back(old_row(30, ET_BEND, 100, 0, 0, true, bend_record(version)));
        Bytes miter = bend_record(version);
        miter.i32(MITER_CLOSELY_SPACED_ID);
        rows.push_back(old_row(40, ET_MITER, 0, 100, 0, true, miter));
        Bytes j = bend_record(version);
        jacket_record(j, version);
        rows.push_back(old_row(50, ET_JACKETED_BEND, 0, 0, 100, true, j));
        Bytes rb;
        for (float v : {6.625f, 0.28f, 4.5f, 0.237f, 0.0f})
            rb.f32(v);
        rb.u8(0);
        rb.f32(0.0f);
        rows.push_back(old_row(60, ET_REDUCER, 0, 0, 50, true, rb));
        Bytes cb;
        cb.f32(0.5f);
        rows.push_back(old_row(70, ET_CUT_PIPE, 0, 0, 50, true, cb));
        put_bytes(path("old.mod"), old_model_file(version, rows));

        read_model(path("old.mod"));
        auto check = [&](int file_version) {
            SCOPED_TRACE(file_version);
            ASSERT_EQ(numrows(), 7);
            expect_bend(dynamic_cast<const Bend&>(*model().rows[3].element), version, true);
            EXPECT_EQ(model().rows[3].section, "S6");
            const auto& m = dynamic_cast<const Miter&>(*model().rows[4].element);
            expect_bend(m, version, true);
            EXPECT_EQ(m.spacing, MITER_CLOSELY_SPACED_ID);
            const auto& jb = dynamic_cast<const JacketedBend&>(*model().rows[5].element);
            EXPECT_EQ(jb.jacket.section, version < 681 ? "JS4" : "JSEC6");
            EXPECT_FLOAT_EQ(jb.jacket.thickness, 0.375f);
            EXPECT_FLOAT_EQ(dynamic_cast<const Reducer&>(*model().rows[6].element).od2, 4.5f);
            EXPECT_FLOAT_EQ(dynamic_cast<const CutPipe&>(*model().rows[7].element).cut, 0.5f);
        };
        check(version);
        write_model_file(path("new.mod"));
        reset_model();
        read_model(path("new.mod"));
        check(MODEL_FILE_VERSION);
    }
}

TEST_F(ElementRecordsTest, DamagedRecordsAreRefusedAndChangeNothing)
{
    from(10);
    const int before = numrows();
    struct Case {
        int etype;
        Bytes bytes;
        std::string message;
    };
    std::vector<Case> cases;
    auto bend_with = [](auto change) {
        BendValues v;
        change(v);
        return bend_record(700, v);
    };
    cases.push_back({ET_BEND, bend_with([](BendValues& v) { v.kind = 3; }), "Bend: the radius kind is invalid"});
    cases.push_back({ET_BEND, bend_with([](BendValues& v) { v.radius = std::numeric_limits<float>::quiet_NaN(); }),
                     "Bend: the radius or the thickness is not a number or below 0"});
    cases.push_back({ET_BEND, bend_with([](BendValues& v) { v.flanged = 3; }),
                     "Bend: the number of flanged ends is invalid"});
    cases.push_back({ET_BEND, bend_with([](BendValues& v) { v.node2 = -4; }),
                     "Bend: an intermediate node number is invalid"});
    cases.push_back({ET_BEND, bend_with([](BendValues& v) { v.sif_in = -1; }),
                     "Bend: a SIF is not a number or below 0"});
    cases.push_back({ET_BEND, bend_with([](BendValues& v) { v.ff_in = std::numeric_limits<float>::infinity(); }),
                     "Bend: a flexibility factor is not a number"});
    Bytes miter = bend_record(700);
    miter.i32(3);
    cases.push_back({ET_MITER, miter, "Miter bend: the spacing is invalid"});
    Bytes reducer;
    for (float v : {6.625f, 0.28f, 4.5f, -0.2f, 0.0f})
        reducer.f32(v);
    reducer.u8(0);
    reducer.f32(0);
    cases.push_back({ET_REDUCER, reducer, "Reducer: a size or angle is not a number or below 0"});
    Bytes knuckles;
    for (float v : {6.625f, 0.28f, 4.5f, 0.2f, 0.0f})
        knuckles.f32(v);
    knuckles.u8(2);
    knuckles.f32(0);
    cases.push_back({ET_REDUCER, knuckles, "Reducer: the knuckle flag is invalid"});
    Bytes cut;
    cut.f32(std::numeric_limits<float>::quiet_NaN());
    cases.push_back({ET_CUT_PIPE, cut, "Cut pipe: the cut is not a number"});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        put_bytes(path("bad.mod"), old_model_file(700, {old_row(10, ET_FROM), old_row(20, ET_PIPE, 10),
                                                        old_row(30, c.etype, 0, 50, 0, false, c.bytes)}));
        const std::string text = thrown_text([&] { read_model(path("bad.mod")); });
        EXPECT_NE(text.find("Row 3: " + c.message), std::string::npos) << text;
        EXPECT_EQ(numrows(), before);
    }
    // A record cut short by the end of the file.
    Bytes short_bend = bend_record(700);
    short_bend.b.resize(20);
    std::vector<unsigned char> file = old_model_file(700, {old_row(10, ET_FROM), old_row(30, ET_BEND, 0, 0, 0, false, short_bend)});
    file.resize(file.size() - 8);   // the nodes and revision counts go too
    put_bytes(path("short.mod"), file);
    EXPECT_NE(thrown_text([&] { read_model(path("short.mod")); }).find("The file ends inside the layout rows"),
              std::string::npos);
    EXPECT_EQ(numrows(), before);
}

TEST_F(ElementRecordsTest, CopiesTakeTheInputAndGeneratedCopiesTheirOwnNodes)
{
    Bend b;
    b.geometry.radius_kind = RADIUS_SHORT;
    b.geometry.radius = 12.0f;
    b.geometry.thickness = 0.5f;
    b.geometry.material = "A106";
    b.ff_in = 3.0f;
    b.sif_in = 2.0f;
    b.geometry.node1 = 25;
    b.geometry.angle1 = 0.5f;
    b.geometry.geometry_valid = 1;
    b.geometry.far_node = 9;
    Bend copy;
    copy.copy_from(b);
    EXPECT_TRUE(copy.same_bend_values(b));
    EXPECT_TRUE(copy.same_intermediate_nodes(b));
    EXPECT_EQ(copy.geometry.geometry_valid, 0);   // the geometry is not copied
    EXPECT_EQ(copy.geometry.far_node, 0);
    // The generate command's copies move their intermediate nodes on.
    set_generate_node_offset(30);
    Bend generated;
    generated.copy_from(b);
    EXPECT_EQ(generated.geometry.node1, 55);
    EXPECT_EQ(generated.geometry.node2, 0);
    set_generate_node_offset(0);
    // A bend is not copied into a miter, nor a miter into a bend.
    Miter m;
    m.copy_from(b);
    EXPECT_FLOAT_EQ(m.geometry.radius, 0.0f);
    EXPECT_EQ(m.geometry.radius_kind, RADIUS_USER);   // a new miter's radius is typed
    m.spacing = MITER_WIDELY_SPACED_ID;
    m.geometry.radius = 20.0f;
    Miter m2;
    m2.copy_from(m);
    EXPECT_EQ(m2.spacing, MITER_WIDELY_SPACED_ID);
    EXPECT_FLOAT_EQ(m2.geometry.radius, 20.0f);

    JacketedBend jb;
    jb.copy_bend_values(b);
    jb.jacket.material = "JM";
    jb.jacket.section = "JS";
    jb.jacket.load = "JL";
    jb.jacket.radius = 30.0f;
    jb.jacket.thickness = 0.4f;
    jb.jacket.radius_kind = RADIUS_USER;
    jb.jacket.near_node = 7;
    jb.jacket.far_node = 8;
    JacketedBend jcopy;
    jcopy.copy_from(jb);
    EXPECT_EQ(jcopy.jacket.load, "JL");
    EXPECT_FLOAT_EQ(jcopy.jacket.radius, 30.0f);
    EXPECT_FLOAT_EQ(jcopy.jacket.thickness, 0.4f);
    EXPECT_EQ(jcopy.jacket.radius_kind, RADIUS_USER);
    EXPECT_EQ(jcopy.jacket.far_node, 0);

    // A row that becomes a bend takes the previous bend row's values but
    // not its intermediate nodes.
    from(10);
    const int first = row(20, ET_BEND, 100, 0, 0);
    dynamic_cast<Bend&>(*model().rows[first].element).copy_from(b);
    row(30, ET_PIPE, 0, 100, 0);
    const int later = row(40, ET_PIPE, 100, 0, 0);
    auto* made = dynamic_cast<Bend*>(LayoutRow::change_etype(later, ET_BEND));
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->same_bend_values(b));
    EXPECT_EQ(made->geometry.node1, 0);

    CutPipe c;
    c.cut = -2.0f;
    CutPipe c2;
    c2.copy_from(c);
    EXPECT_FLOAT_EQ(c2.cut, -2.0f);
    Reducer r;
    r.od1 = 8.625f;
    r.knuckles = 1;
    Reducer r2;
    r2.copy_from(r);
    EXPECT_TRUE(r2.same_values(r));
}

TEST_F(ElementRecordsTest, RowListsHoldTheirRowsInRowOrder)
{
    from(10);
    row(20, ET_REDUCER, 10, 0, 0);
    row(30, ET_JACKETED_BEND, 10, 0, 0);
    row(40, ET_MITER, 10, 0, 0);
    row(50, ET_REDUCER, 10, 0, 0);
    row(60, ET_CUT_PIPE, 10, 0, 0);
    row(70, ET_JACKETED_BEND, 10, 0, 0);
    row(80, ET_BEND, 10, 0, 0);
    row(90, ET_PIPE, 10, 0, 0);
    make_model();
    auto rows_of = [](int list) {
        std::vector<int> rows;
        for (int i = 1; i <= model().list(list).count; ++i)
            rows.push_back(model().list(list).rows[i]);
        return rows;
    };
    EXPECT_EQ(rows_of(REDUCER_ROWS), (std::vector<int>{2, 5}));
    EXPECT_EQ(rows_of(JACKET_ROWS), (std::vector<int>{3, 7}));
    EXPECT_EQ(rows_of(MITER_ROWS), (std::vector<int>{4}));
    EXPECT_EQ(rows_of(CUT_PIPE_ROWS), (std::vector<int>{6}));
    EXPECT_EQ(rows_of(BEND_ROWS), (std::vector<int>{8}));
    // A kind changed in the middle moves its row to its new list.
    LayoutRow::change_etype(5, ET_CUT_PIPE);
    make_model();
    EXPECT_EQ(rows_of(REDUCER_ROWS), (std::vector<int>{2}));
    EXPECT_EQ(rows_of(CUT_PIPE_ROWS), (std::vector<int>{5, 6}));
}

TEST_F(ElementRecordsTest, CellsFollowTheCodeAndTheB31JOption)
{
    Bend b;
    b.geometry.radius = 9.0f;
    b.geometry.radius_kind = RADIUS_SHORT;
    b.geometry.material = "A106";
    b.ff_in = 2.0f;
    b.ff_out = 2.0f;
    b.sif_in = b.sif_out = b.sif_axial = b.sif_torsion = 2.5f;
    b.geometry.node2 = 35;
    b.geometry.angle2 = static_cast<float>(std::numbers::pi / 6);
    unit_choice()[ANGLE] = 0;   // degrees
    EXPECT_EQ(b.cell_text(3), "Short");
    EXPECT_EQ(b.cell_text(4), "");   // no wall of its own
    EXPECT_EQ(b.cell_text(5), "A106");
    EXPECT_EQ(b.cell_text(6), "2");
    EXPECT_EQ(b.cell_text(12), "");
    EXPECT_EQ(b.cell_text(14), "35");
    EXPECT_EQ(b.cell_text(15), format_angle(b.geometry.angle2));
    // Under a code outside the B31.3 group only the in-plane SIF shows.
    piping_code() = CODE_B311;
    EXPECT_EQ(b.cell_text(8), "2.50");
    for (int c : {7, 9, 10, 11})
        EXPECT_EQ(b.cell_text(c), "") << c;
    // B31.3: the out-of-plane and axial SIFs too.
    piping_code() = CODE_B313;
    EXPECT_EQ(b.cell_text(9), "2.50");
    EXPECT_EQ(b.cell_text(10), "2.50");
    EXPECT_EQ(b.cell_text(11), "");
    // B31J: the out-of-plane factor and the torsion SIF.
    analysis_options().use_b31j = true;
    EXPECT_EQ(b.cell_text(7), "2");
    EXPECT_EQ(b.cell_text(11), "2.50");
    // A computed factor and a SIF of 1 or less show nothing.
    b.ff_in = -1.0f;
    b.sif_in = 1.0f;
    EXPECT_EQ(b.cell_text(6), "");
    EXPECT_EQ(b.cell_text(8), "");

    Miter m;
    m.ff_in = 1.25f;
    EXPECT_EQ(m.cell_text(5), "1.25");
    EXPECT_EQ(m.cell_text(11), "Closely spaced");
    m.spacing = MITER_WIDELY_SPACED_ID;
    EXPECT_EQ(m.cell_text(11), "Widely spaced");

    Reducer r;
    r.od1 = 8.625f;
    EXPECT_EQ(r.cell_text(3), format_dimension(8.625));
    EXPECT_EQ(r.cell_text(7), "");   // no cone angle given
    EXPECT_EQ(r.cell_text(8), "");
    r.knuckles = 1;
    r.cone_angle = 0.5f;
    EXPECT_EQ(r.cell_text(8), "Y");
    EXPECT_EQ(r.cell_text(7), format_angle_or_none(0.5));

    CutPipe c;
    c.cut = -0.5f;
    EXPECT_EQ(c.cell_text(3), format_dimension(0.5));
    EXPECT_EQ(c.cell_text(4), "Long");
    c.cut = 0.5f;
    EXPECT_EQ(c.cell_text(4), "Short");

    JacketedBend jb;
    jb.jacket.material = "JM";
    jb.jacket.section = "JS";
    jb.jacket.load = "JL";
    jb.geometry.thickness = 0.3f;
    EXPECT_EQ(jb.cell_text(3), "Jbend");
    EXPECT_EQ(jb.cell_text(8), "JL");
    EXPECT_EQ(jb.cell_text(12), "");
    EXPECT_EQ(jb.cell_text(13), format_dimension(0.3f));
}

TEST_F(ElementRecordsTest, SectionTermsOfEachKind)
{
    ElementSectionTerms t;
    CutPipe c;
    c.cut = 0.25f;
    c.section_terms(t);
    EXPECT_DOUBLE_EQ(t.cold_spring_cut, 0.25);

    t = {};
    Reducer r;
    r.od1 = 8.625f;
    r.thickness1 = 0.322f;
    r.od2 = 6.625f;
    r.thickness2 = 0.28f;
    r.section_terms(t);
    EXPECT_TRUE(t.two_ends);
    EXPECT_FLOAT_EQ(static_cast<float>(t.od1), 8.625f);
    EXPECT_FLOAT_EQ(static_cast<float>(t.thickness2), 0.28f);

    t = {};
    Bend b;
    b.ff_in = 3.0f;
    b.section_terms(t);
    EXPECT_DOUBLE_EQ(t.user_flexibility_factor, 3.0);
    EXPECT_EQ(t.miter_spacing, 0);

    t = {};
    Miter m;
    m.spacing = MITER_WIDELY_SPACED_ID;
    m.section_terms(t);
    EXPECT_EQ(t.miter_spacing, 2);
    EXPECT_DOUBLE_EQ(t.user_flexibility_factor, -1.0);

    // A jacketed bend's core and jacket always take computed factors.
    t = {};
    JacketedBend jb;
    jb.ff_in = 4.0f;
    jb.section_terms(t);
    EXPECT_DOUBLE_EQ(t.user_flexibility_factor, -1.0);
}
