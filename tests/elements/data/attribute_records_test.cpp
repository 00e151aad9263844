// The records of the jacketed pipe and the row attributes: every field on
// both sides of each version gate, laid out here byte by byte; round trips
// through whole model files, old and current; damaged records refused with
// a message naming the row; the texts and lists that follow the piping code.
#include "elements/branch_sif.h"
#include "elements/data/element_records_fixture.h"
#include "elements/flange.h"
#include "elements/jacket_connections.h"
#include "elements/jacketed_pipe.h"
#include "elements/user_sif.h"
#include "elements/weld.h"
#include "framework/binfile.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/piping_codes.h"

#include <cmath>
#include <limits>

namespace {

Bytes jacketed_pipe_record(int version)
{
    Bytes b;
    const std::size_t width = version < 681 ? 4 : 6;
    b.name(version < 681 ? "JM4" : "JMAT6", width);
    b.name(version < 681 ? "JS4" : "JSEC6", width);
    b.name(version < 681 ? "JL4" : "JLOD6", width);
    b.i32(7);
    b.i32(8);
    return b;
}

// Type 2, pad 0.5 in, a second value 0.25, and from 781 on two flanges.
Bytes branch_sif_record(int version)
{
    Bytes b;
    b.i32(2);
    b.f32(0.5f);
    b.f32(0.25f);
    if (version >= 781)
        b.i32(2);
    return b;
}

// The in-plane and out-of-plane SIFs 2.1 and 2.2; from 781 on axial 2.3
// and torsion 2.4; from 1001 on the sustained factors 3.1 .. 3.5 and the
// cyclic ones 4.1 .. 4.5 (pressure, bending, thrust, torsion, shear).
Bytes user_sif_record(int version)
{
    Bytes b;
    b.f32(2.1f);
    b.f32(2.2f);
    if (version >= 781) {
        b.f32(2.3f);
        b.f32(2.4f);
    }
    if (version >= 1001)
        for (float first : {3.1f, 4.1f})
            for (int i = 0; i < 5; ++i)
                b.f32(first + 0.1f * static_cast<float>(i));
    return b;
}

class AttributeRecordsTest : public ElementRecordsFixture {
protected:
    template <typename T, typename Make>
    std::unique_ptr<T> read_record(Make make, const Bytes& bytes, int version)
    {
        auto object = make();
        read_exactly(*object, bytes, version);
        return std::unique_ptr<T>(dynamic_cast<T*>(object.release()));
    }
    std::unique_ptr<DataItem> data(int dtype, const Bytes& bytes, int version)
    {
        return read_record<DataItem>([dtype] { return make_data_object(dtype); }, bytes, version);
    }
};

}  // namespace

TEST_F(AttributeRecordsTest, RecordsOnBothSidesOfTheirGates)
{
    // Jacketed pipe: 4-byte names before 681; the nodes are the build's.
    for (int version : {680, 681}) {
        auto e = read_record<JacketedPipe>([] { return make_element_object(ET_JACKETED_PIPE); },
                                           jacketed_pipe_record(version), version);
        ASSERT_TRUE(e);
        EXPECT_EQ(e->jacket.section, version < 681 ? "JS4" : "JSEC6");
        EXPECT_EQ(e->jacket.load, version < 681 ? "JL4" : "JLOD6");
        EXPECT_EQ(e->jacket.node1, 0);
        EXPECT_EQ(written(*e).size(), 26u);
    }
    // Branch SIF: 12 bytes before 781, 16 from it on.
    for (int version : {780, 781}) {
        auto d = data(DT_BRANCH_SIF, branch_sif_record(version), version);
        const auto& s = dynamic_cast<const BranchSif&>(*d);
        EXPECT_EQ(s.sif_type, 2);
        EXPECT_FLOAT_EQ(s.value1, 0.5f);
        EXPECT_FLOAT_EQ(s.value2, 0.25f);
        EXPECT_EQ(s.num_flanges, version < 781 ? 0 : 2);
        if (version >= 781) {
            EXPECT_EQ(written(s), branch_sif_record(version).b);
        }
        EXPECT_EQ(written(s).size(), 16u);
    }
    // User SIF: 8, 16 and 56 bytes.
    for (int version : {780, 781, 1000, 1001}) {
        SCOPED_TRACE(version);
        auto d = data(DT_USER_SIF, user_sif_record(version), version);
        const auto& s = dynamic_cast<const UserSif&>(*d);
        EXPECT_FLOAT_EQ(s.sif_in, 2.1f);
        EXPECT_FLOAT_EQ(s.sif_out, 2.2f);
        EXPECT_FLOAT_EQ(s.sif_axial, version >= 781 ? 2.3f : 0.0f);
        EXPECT_FLOAT_EQ(s.sif_torsion, version >= 781 ? 2.4f : 0.0f);
        EXPECT_FLOAT_EQ(s.scf_sustained[SCF_THRUST], version >= 1001 ? 3.3f : 0.0f);
        EXPECT_FLOAT_EQ(s.scf_sustained[SCF_TORSION], version >= 1001 ? 3.4f : 0.0f);
        EXPECT_FLOAT_EQ(s.scf_cyclic[SCF_SHEAR], version >= 1001 ? 4.5f : 0.0f);
        if (version >= 1001) {
            EXPECT_EQ(written(s), user_sif_record(version).b);
        }
        EXPECT_EQ(written(s).size(), 56u);
    }
    // Flange (16 bytes) and weld (8 bytes) in every version.
    Bytes flange;
    flange.i32(3);
    flange.f32(120.0f);
    flange.f32(7.5f);
    flange.f32(285.0f);
    auto f = data(DT_FLANGE, flange, 600);
    EXPECT_EQ(dynamic_cast<const Flange&>(*f).flange_type, 3);
    EXPECT_EQ(written(*f), flange.b);
    Bytes weld;
    weld.i32(4);
    weld.f32(0.0625f);
    auto w = data(DT_WELD, weld, 600);
    EXPECT_FLOAT_EQ(dynamic_cast<const Weld&>(*w).mismatch, 0.0625f);
    EXPECT_EQ(written(*w), weld.b);
    // Spiders, end caps and threaded joints write nothing.
    for (int dtype : {DT_SPIDER, DT_JACKET_END_CAP, DT_THREADED_JOINT}) {
        auto d = data(dtype, Bytes{}, 600);
        EXPECT_TRUE(written(*d).empty()) << dtype;
    }
}

TEST_F(AttributeRecordsTest, OldFilesRoundTripThroughTheCurrentVersion)
{
    for (int version : {780, 1000, 1001}) {
        SCOPED_TRACE(version);
        std::vector<OldRow> rows(5);
        rows[0].node = 10;
        rows[0].etype = ET_FROM;
        rows[1].node = 20;
        rows[1].etype = ET_JACKETED_PIPE;
        rows[1].dx = 100;
        rows[1].element = jacketed_pipe_record(version).b;
        rows[1].dtype = DT_BRANCH_SIF;
        rows[1].data = branch_sif_record(version).b;
        rows[2].node = 20;
        rows[2].etype = ET_LOCATION;
        rows[2].dtype = DT_USER_SIF;
        rows[2].data = user_sif_record(version).b;
        rows[3].node = 20;
        rows[3].etype = ET_LOCATION;
        rows[3].dtype = DT_SPIDER;
        rows[4].node = 520;
        rows[4].etype = ET_LOCATION;
        rows[4].dtype = DT_THREADED_JOINT;
        put_bytes(path("old.mod"), old_model_file(version, rows));
        read_model(path("old.mod"));
        auto check = [&] {
            ASSERT_EQ(numrows(), 5);
            EXPECT_EQ(dynamic_cast<const JacketedPipe&>(*model().rows[2].element).jacket.material, "JMAT6");
            EXPECT_EQ(dynamic_cast<const BranchSif&>(*model().rows[2].data).num_flanges, version >= 781 ? 2 : 0);
            const auto& u = dynamic_cast<const UserSif&>(*model().rows[3].data);
            EXPECT_FLOAT_EQ(u.sif_torsion, version >= 781 ? 2.4f : 0.0f);
            EXPECT_FLOAT_EQ(u.scf_cyclic[SCF_PRESSURE], version >= 1001 ? 4.1f : 0.0f);
            EXPECT_NE(dynamic_cast<const Spider*>(model().rows[4].data.get()), nullptr);
            EXPECT_NE(dynamic_cast<const ThreadedJoint*>(model().rows[5].data.get()), nullptr);
            EXPECT_EQ(model().list(JACKET_ROWS).count, 1);
            EXPECT_EQ(model().list(JACKET_CONNECTION_ROWS).count, 1);
            EXPECT_EQ(model().list(THREADED_JOINT_ROWS).count, 1);
        };
        check();
        write_model_file(path("new.mod"));
        reset_model();
        read_model(path("new.mod"));
        check();
    }
}

TEST_F(AttributeRecordsTest, DamagedRecordsAreRefusedAndChangeNothing)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        int dtype;
        Bytes bytes;
        std::string message;
    };
    std::vector<Case> cases;
    auto add = [&cases](int dtype, std::initializer_list<float> values, int first_int, const char* message,
                        int last_int = -1) {
        Case c{dtype, {}, message};
        c.bytes.i32(first_int);
        for (float v : values)
            c.bytes.f32(v);
        if (last_int >= 0)
            c.bytes.i32(last_int);
        cases.push_back(std::move(c));
    };
    add(DT_BRANCH_SIF, {0.0f, 0.0f}, 10, "Row 2: Branch SIF: the type is invalid", 0);
    add(DT_BRANCH_SIF, {0.0f, 0.0f}, 1, "Row 2: Branch SIF: the number of flanges is invalid", 3);
    add(DT_BRANCH_SIF, {nan, 0.0f}, 1, "Row 2: Branch SIF: a dimension is not a number or below 0", 0);
    add(DT_FLANGE, {-1.0f, 0.0f, 0.0f}, 1, "Row 2: Flange: the weight is not a number or below 0");
    add(DT_FLANGE, {1.0f, 0.0f, 0.0f}, 8, "Row 2: Flange: the type is invalid");
    add(DT_WELD, {0.0f}, 0, "Row 2: Weld: the type is invalid");
    add(DT_WELD, {nan}, 1, "Row 2: Weld: the mismatch is not a number or below 0");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        std::vector<OldRow> rows(2);
        rows[0].node = 10;
        rows[0].etype = ET_FROM;
        rows[1].node = 20;
        rows[1].etype = ET_PIPE;
        rows[1].dtype = c.dtype;
        rows[1].data = c.bytes.b;
        put_bytes(path("bad.mod"), old_model_file(900, rows));
        reset_model();
        from(77);
        const std::string text = thrown_text([&] { read_model(path("bad.mod")); });
        EXPECT_NE(text.find(c.message), std::string::npos) << text;
        ASSERT_EQ(numrows(), 1);
        EXPECT_EQ(model().rows[1].node, 77);
    }
}

TEST_F(AttributeRecordsTest, BranchSifTypesFollowTheCode)
{
    // Offered lists, in the dialog's order.
    EXPECT_EQ(branch_sif_types_offered(CODE_B311, false), (std::vector<int>{1, 2, 3, 6, 4, 5, 9}));
    EXPECT_EQ(branch_sif_types_offered(CODE_SWEDISH, false), (std::vector<int>{3, 7, 8, 2}));
    EXPECT_EQ(branch_sif_types_offered(CODE_NORWEGIAN_1990, false), (std::vector<int>{1, 3, 7, 8, 2}));
    EXPECT_EQ(branch_sif_types_offered(CODE_RCCM, false), (std::vector<int>{1, 2, 3, 9}));
    EXPECT_EQ(branch_sif_types_offered(CODE_B314, false), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(branch_sif_types_offered(CODE_SWEDISH, true), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(sif_position_of_type(4, CODE_B311, false), 4);
    EXPECT_EQ(sif_position_of_type(9, CODE_B314, false), 0);
    EXPECT_EQ(sif_type_at_position(7, CODE_B311, false), 1);
    // Validity: B31.4 refuses the generic branch, IGEM and None take any.
    EXPECT_TRUE(sif_type_invalid(9, CODE_B314, false));
    EXPECT_FALSE(sif_type_invalid(9, CODE_B311, false));
    EXPECT_TRUE(sif_type_invalid(9, CODE_B311, true));
    EXPECT_TRUE(sif_type_invalid(1, CODE_SWEDISH, false));
    for (int type = 1; type <= 9; ++type) {
        EXPECT_FALSE(sif_type_invalid(type, CODE_IGEM, false));
        EXPECT_FALSE(sif_type_invalid(type, CODE_NONE, false));
    }
    // Names and texts.
    EXPECT_EQ(branch_sif_default_type(CODE_SWEDISH), 3);
    EXPECT_EQ(branch_sif_type_name(3, CODE_SWEDISH, false), "Unreinforced branch (Item 4)");
    EXPECT_EQ(branch_sif_type_name(7, CODE_NORWEGIAN_1983, false), "Radiused branch (Item 6)");
    EXPECT_EQ(branch_sif_type_name(3, CODE_SWEDISH, true), "Unreinforced fabricated tee");
    EXPECT_EQ(branch_sif_short_name(8), std::string("Br on thk pipe"));
    BranchSif s;
    s.sif_type = 2;
    s.value1 = 0.5f;
    EXPECT_EQ(branch_sif_text(s, CODE_B313, false), "Reinforced fabricated tee, pad thickness = 0.5000 (inch)");
    EXPECT_EQ(branch_sif_text(s, CODE_SWEDISH, false), "Reinforced branch (Item 7), Sp = 0.5000 (inch)");
    s.num_flanges = 1;
    EXPECT_EQ(branch_sif_text(s, CODE_B313, true),
              "Reinforced fabricated tee, pad thickness = 0.5000 (inch) ,No. of flanges = 1");
    s.sif_type = 4;
    EXPECT_EQ(branch_sif_text(s, CODE_B311, false), "Extruded welding tee");
    s.sif_type = 9;
    s.value1 = 0.0f;
    EXPECT_EQ(branch_sif_text(s, CODE_B311, false), "Branch connection");
    s.sif_type = 8;
    s.value1 = 0.5f;
    s.value2 = 4.0f;
    EXPECT_EQ(branch_sif_text(s, CODE_NORWEGIAN_1990, false),
              "Branch on thickened pipe (Item 7), Tf = 0.5000 (inch), L = 4.0000 (inch)");
    // A new branch SIF starts as the code's own type.
    piping_code() = CODE_SWEDISH;
    EXPECT_EQ(BranchSif{}.sif_type, 3);
}

TEST_F(AttributeRecordsTest, CellsOfFlangesWeldsAndUserSifs)
{
    Flange f;
    f.flange_type = 1;
    f.weight = 34.0f;
    EXPECT_EQ(f.cell_text(2), "Weld neck");
    EXPECT_EQ(f.cell_text(4), "");
    EXPECT_EQ(f.cell_text(5), "");
    EXPECT_EQ(Flange{}.cell_text(2), "???");

    EXPECT_EQ(weld_text(WELD_BUTT, 0.0f), "Butt weld, Mismatch = 0.0000 (inch)");
    EXPECT_EQ(weld_text(WELD_FILLET, 0.2f), "Fillet weld");
    EXPECT_EQ(weld_text(9, 0.0f), "???");

    UserSif u;
    u.sif_in = 2.0f;
    u.sif_out = 2.5f;
    u.sif_axial = 1.0001f;
    u.sif_torsion = 1.8f;
    // One SIF under B31.1 without B31J; the out-of-plane column hidden.
    EXPECT_EQ(user_sif_form(CODE_B311, false), 1);
    EXPECT_EQ(user_sif_cell(u, 2, CODE_B311, false), "2.00");
    EXPECT_EQ(user_sif_cell(u, 3, CODE_B311, false), "");
    // B31.3: in- and out-of-plane and axial; torsion only with B31J.
    EXPECT_EQ(user_sif_form(CODE_B313, false), 2);
    EXPECT_EQ(user_sif_cell(u, 3, CODE_B313, false), "2.50");
    EXPECT_NE(user_sif_cell(u, 4, CODE_B313, false), "");
    EXPECT_EQ(user_sif_cell(u, 5, CODE_B313, false), "");
    EXPECT_NE(user_sif_cell(u, 5, CODE_B313, true), "");
    EXPECT_EQ(user_sif_cell(u, 4, CODE_B318, false), "");
    // IGEM: the ten factors, torsion before thrust in the table.
    u.scf_sustained[SCF_TORSION] = 1.5f;
    u.scf_sustained[SCF_THRUST] = 1.25f;
    EXPECT_EQ(user_sif_form(CODE_IGEM, false), 3);
    EXPECT_EQ(user_sif_cell(u, 4, CODE_IGEM, false), "1.50");
    EXPECT_EQ(user_sif_cell(u, 5, CODE_IGEM, false), "1.25");
}
