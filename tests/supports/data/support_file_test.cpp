// The support kinds in the model file: every field of every kind comes back
// as it was written, copies are deep, and a damaged or hostile record is
// refused with a message that names it, leaving the model in memory alone.
#include "model/data/model_file_fixture.h"
#include "supports/anchor.h"
#include "supports/generic_support.h"
#include "supports/guide.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"
#include "supports/nozzle.h"
#include "supports/restraint.h"
#include "supports/skewed_restraint.h"
#include "supports/snubber.h"
#include "supports/supports.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

template <typename T>
T& item_at(int row)
{
    return dynamic_cast<T&>(*model().rows[row].data);
}

class SupportFileTest : public ModelFileTest {
protected:
    void SetUp() override
    {
        ModelFileTest::SetUp();
        install_supports();
    }

    // A row of each support kind, every field away from its default.
    void all_kinds()
    {
        from(10);
        int r = row(20, ET_PIPE, 100, 0, 0, DT_ANCHOR);
        Anchor& a = item_at<Anchor>(r);
        a.v.tag = "A-20";
        a.v.stiffness = {1000.0f, 0.0f, RIGID_STIFFNESS, 2.5e6f, 0.0f, 7.0e5f};
        a.v.local_axes = true;
        a.v.local_displacements = true;
        a.v.released = {1, 0, 1, 0, 0, 1};
        a.v.displacements.given[2] = 1;
        a.v.displacements.values[2] = {0.1f, -0.2f, 0.3f, 0.001f, 0.0f, -0.002f};
        a.v.displacements.given[12] = 1;
        a.v.displacements.values[12] = {0.0f, -1.5f, 0.0f, 0.0f, 0.0f, 0.0f};

        r = row(30, ET_PIPE, 100, 0, 0, DT_RESTRAINT);
        item_at<Restraint>(r).v = {"R30", {1, 0, 1}};

        r = row(40, ET_PIPE, 100, 0, 0, DT_SKEWED_RESTRAINT);
        item_at<SkewedRestraint>(r).v = {"SK", true, 5.0e5f, {0.6f, 0.8f, 0.0f}, 20};

        r = row(50, ET_PIPE, 100, 0, 0, DT_HANGER);
        Hanger& h = item_at<Hanger>(r);
        h.v.tag = "H50";
        h.v.type = HANGER_USER;
        h.v.count = 2;
        h.v.load_variation = 12;
        h.v.short_range = true;
        h.v.connected = 30;
        h.v.load_type = 1;
        h.v.spring_rate = 750.0f;
        h.v.load = 1234.5f;
        h.v.design = {"B-268", "SZ12", 800.0f, 0.75f, -0.125f, 1500.0f, 1300.0f};

        r = row(60, ET_PIPE, 100, 0, 0, DT_GUIDE);
        item_at<Guide>(r).v = {"G60", 0.3f, 2.0e5f, 0.0625f, 40};

        r = row(70, ET_PIPE, 100, 0, 0, DT_LIMIT_STOP);
        item_at<LimitStop>(r).v = {"LS", -0.5f, NO_LIMIT, {0.0f, 1.0f, 0.0f}, 0.25f, 3.0e5f, 0};

        r = row(80, ET_PIPE, 100, 0, 0, DT_NOZZLE);
        Nozzle& n = item_at<Nozzle>(r);
        n.v.tag = "N1";
        n.v.type = NOZZLE_API_650;
        n.v.pad = true;
        n.v.nozzle_od = 8.625f;
        n.v.nozzle_thickness = 0.5f;
        n.v.vessel_od = 480.0f;
        n.v.vessel_thickness = 1.0f;
        n.v.length1 = 10.0f;
        n.v.length2 = 30.0f;
        n.v.modulus = 2.8e7f;
        n.v.axis = {0.0f, 1.0f, 0.0f};
        n.v.displacements.given[11] = 1;
        n.v.displacements.values[11] = {0.2f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};

        r = row(90, ET_PIPE, 100, 0, 0, DT_SNUBBER);
        item_at<Snubber>(r).v = {"SN", 1.0e5f, {0.0f, 0.0f, 1.0f}};

        r = row(95, ET_PIPE, 100, 0, 0, DT_GENERIC_SUPPORT);
        item_at<GenericSupport>(r).v = {{10.0f, 20.0f, 0.0f, RIGID_STIFFNESS, 0.0f, 40.0f}};
    }

    // The values of every kind of the model, in row order.
    struct Snapshot {
        AnchorValues anchor;
        RestraintValues restraint;
        SkewedRestraintValues skewed;
        HangerValues hanger;
        GuideValues guide;
        LimitStopValues stop;
        NozzleValues nozzle;
        SnubberValues snubber;
        GenericSupportValues generic;
        bool operator==(const Snapshot&) const = default;
    };
    static Snapshot snapshot()
    {
        Snapshot s;
        for (int r = 1; r <= numrows(); ++r) {
            const DataItem* d = model().rows[r].data.get();
            if (auto* x = dynamic_cast<const Anchor*>(d)) s.anchor = x->v;
            if (auto* x = dynamic_cast<const Restraint*>(d)) s.restraint = x->v;
            if (auto* x = dynamic_cast<const SkewedRestraint*>(d)) s.skewed = x->v;
            if (auto* x = dynamic_cast<const Hanger*>(d)) s.hanger = x->v;
            if (auto* x = dynamic_cast<const Guide*>(d)) s.guide = x->v;
            if (auto* x = dynamic_cast<const LimitStop*>(d)) s.stop = x->v;
            if (auto* x = dynamic_cast<const Nozzle*>(d)) s.nozzle = x->v;
            if (auto* x = dynamic_cast<const Snubber*>(d)) s.snubber = x->v;
            if (auto* x = dynamic_cast<const GenericSupport*>(d)) s.generic = x->v;
        }
        return s;
    }

    // Writes a one-support model and returns its bytes with the support's
    // record (found by its frame just after the pipe row's names) replaced.
    std::vector<unsigned char> splice_record(int dtype, const std::vector<unsigned char>& record)
    {
        const std::vector<unsigned char> bytes = bytes_of(path("one.mod"));
        // The pipe row: i32 node 20, u8, i32 etype 3, i32 dtype, three f32,
        // three 6-byte names, then the element frame (i32 0 for a pipe) and
        // the data frame.
        Bytes row_head;
        row_head.i32(20);
        row_head.u8(0);
        row_head.i32(ET_PIPE);
        row_head.i32(dtype);
        auto at = std::search(bytes.begin(), bytes.end(), row_head.b.begin(), row_head.b.end());
        EXPECT_NE(at, bytes.end());
        const auto frame = static_cast<std::size_t>(at - bytes.begin()) + row_head.b.size() + 12 + 18 + 4;
        int32_t length = 0;
        std::memcpy(&length, &bytes[frame], 4);
        std::vector<unsigned char> out(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(frame));
        Bytes len;
        len.i32(static_cast<int32_t>(record.size()));
        out.insert(out.end(), len.b.begin(), len.b.end());
        out.insert(out.end(), record.begin(), record.end());
        out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(frame + 4 + static_cast<std::size_t>(length)),
                   bytes.end());
        return out;
    }

    // The message of reading bytes that must be refused; the model in
    // memory (a marker row) must stay.
    std::string refused(const std::vector<unsigned char>& bytes)
    {
        reset_model();
        from(777);
        put_bytes(path("bad.mod"), bytes);
        std::string text = thrown_text([&] { read_model(path("bad.mod")); });
        EXPECT_EQ(numrows(), 1);
        EXPECT_EQ(model().rows[1].node, 777);
        return text;
    }
};

TEST_F(SupportFileTest, EveryKindComesBackFieldByField)
{
    all_kinds();
    const Snapshot before = snapshot();
    write_model_file(path("kinds.mod"));
    reset_model();
    read_model(path("kinds.mod"));
    EXPECT_TRUE(snapshot() == before);
    // Written again, the file is the same to the byte.
    write_model_file(path("again.mod"));
    EXPECT_EQ(bytes_of(path("kinds.mod")), bytes_of(path("again.mod")));
}

TEST_F(SupportFileTest, DefaultsOfNewObjects)
{
    // A new anchor is rigid in all six directions; a new hanger is one spring
    // of the default catalogue with a load variation of 25 percent.
    Anchor a;
    for (float k : a.v.stiffness)
        EXPECT_EQ(k, RIGID_STIFFNESS);
    Hanger h;
    EXPECT_EQ(h.v.type, 16);
    EXPECT_STREQ(hanger_type_name(h.v.type), "Grinnell");
    EXPECT_EQ(h.v.count, 1);
    EXPECT_EQ(h.v.load_variation, 25);
    LimitStop s;
    EXPECT_TRUE(no_limit(s.v.lower));
    EXPECT_TRUE(no_limit(s.v.upper));
}

TEST_F(SupportFileTest, CopiesShareNothing)
{
    all_kinds();
    const Snapshot before = snapshot();
    Model copy = model();
    for (int r = 1; r <= numrows(); ++r) {
        DataItem* d = model().rows[r].data.get();
        if (auto* x = dynamic_cast<Anchor*>(d)) x->v.displacements.clear();
        if (auto* x = dynamic_cast<Hanger*>(d)) x->v.design.figure = "X";
        if (auto* x = dynamic_cast<LimitStop*>(d)) x->v.direction = {1, 0, 0};
    }
    model() = copy;
    EXPECT_TRUE(snapshot() == before);
}

TEST_F(SupportFileTest, HangerCatalogueNames)
{
    EXPECT_STREQ(hanger_type_name(1), "ABB-PBS");
    EXPECT_STREQ(hanger_type_name(4), "Bergen-Paterson (L)");
    EXPECT_STREQ(hanger_type_name(29), "Sanwa Tekki(30-60-120)");
    EXPECT_STREQ(hanger_type_name(34), "Comet");
    EXPECT_STREQ(hanger_type_name(35), "Gradior");
    EXPECT_STREQ(hanger_type_name(101), "User hanger");
    EXPECT_STREQ(hanger_type_name(102), "Rod hanger");
    EXPECT_STREQ(hanger_type_name(103), "Constant support");
    for (int bad : {0, 36, 100, 104, -1})
        EXPECT_FALSE(hanger_type_valid(bad)) << bad;
}

TEST_F(SupportFileTest, HostileRecordsAreRefused)
{
    from(10);
    row(20, ET_PIPE, 100, 0, 0, DT_ANCHOR);
    write_model_file(path("one.mod"));

    // An anchor record: tag, six stiffnesses, two axis flags, six releases,
    // twelve set flags.
    auto anchor = [](float k1, uint8_t local_axes) {
        Bytes b;
        b.name("T", TAG_FIELD_WIDTH);
        b.f32(k1);
        for (int i = 0; i < 5; ++i)
            b.f32(1.0f);
        b.u8(local_axes);
        for (int i = 0; i < 1 + 6 + 12; ++i)
            b.u8(0);
        return b.b;
    };
    std::string text = refused(splice_record(DT_ANCHOR, anchor(std::numeric_limits<float>::quiet_NaN(), 0)));
    EXPECT_NE(text.find("Row 2: Anchor stiffness is not a number"), std::string::npos) << text;
    text = refused(splice_record(DT_ANCHOR, anchor(-5.0f, 0)));
    EXPECT_NE(text.find("Row 2: Anchor stiffness is invalid"), std::string::npos) << text;
    text = refused(splice_record(DT_ANCHOR, anchor(1.0f, 2)));
    EXPECT_NE(text.find("Row 2: Local axes flag holds 2"), std::string::npos) << text;

    // A record one byte short of its fields, or with a byte too many.
    const std::vector<unsigned char> good = anchor(1.0f, 0);
    text = refused(splice_record(DT_ANCHOR, std::vector<unsigned char>(good.begin(), good.end() - 1)));
    EXPECT_NE(text.find("Row 2: "), std::string::npos) << text;
    std::vector<unsigned char> longer(good);
    longer.push_back(0);
    text = refused(splice_record(DT_ANCHOR, longer));
    EXPECT_NE(text.find("The Anchor record is damaged"), std::string::npos) << text;
    // The good record reads.
    put_bytes(path("good.mod"), splice_record(DT_ANCHOR, good));
    read_model(path("good.mod"));
    EXPECT_EQ(item_at<Anchor>(2).v.stiffness[0], 1.0f);
}

TEST_F(SupportFileTest, HostileHangerAndNozzleRecords)
{
    auto hanger = [](int32_t type, int32_t count, int32_t connected) {
        Bytes b;
        b.name("H", TAG_FIELD_WIDTH);
        b.i32(type);
        b.i32(count);
        b.i32(25);
        b.u8(0);
        b.i32(connected);
        b.i32(0);
        b.f32(100.0f);
        b.f32(200.0f);
        b.name("", 6);
        b.name("", 6);
        for (int i = 0; i < 5; ++i)
            b.f32(0.0f);
        return b.b;
    };
    reset_model();
    from(10);
    row(20, ET_PIPE, 100, 0, 0, DT_HANGER);
    write_model_file(path("one.mod"));
    EXPECT_NE(refused(splice_record(DT_HANGER, hanger(999, 1, 0))).find("Hanger type 999 is not defined"),
              std::string::npos);
    EXPECT_NE(refused(splice_record(DT_HANGER, hanger(101, 9, 0))).find("Number of hangers 9 is invalid"),
              std::string::npos);
    EXPECT_NE(refused(splice_record(DT_HANGER, hanger(101, 1, -5))).find("Connected node -5 is invalid"),
              std::string::npos);
    // A good one reads.
    put_bytes(path("good.mod"), splice_record(DT_HANGER, hanger(101, 2, 10)));
    read_model(path("good.mod"));
    EXPECT_EQ(item_at<Hanger>(2).v.count, 2);
    EXPECT_EQ(item_at<Hanger>(2).v.connected, 10);

    // A nozzle that says it is both API 650 and PD 5500.
    reset_model();
    from(10);
    row(20, ET_PIPE, 100, 0, 0, DT_NOZZLE);
    write_model_file(path("one.mod"));
    Bytes n;
    n.name("N", TAG_FIELD_WIDTH);
    n.u8(1);
    n.u8(0);
    for (int i = 0; i < 10; ++i)
        n.f32(1.0f);
    n.u8(1);
    for (int i = 0; i < 12; ++i)
        n.u8(0);
    EXPECT_NE(refused(splice_record(DT_NOZZLE, n.b)).find("Nozzle type is invalid"), std::string::npos);
}

TEST_F(SupportFileTest, UnframedFilesOfOlderVersionsAreRefused)
{
    // Support records of the versions before framing have a layout this
    // program does not know: the row is refused, not misread.
    OldRow first;
    first.node = 10;
    first.etype = ET_FROM;
    OldRow anchored;
    anchored.node = 20;
    anchored.etype = ET_PIPE;
    anchored.dtype = DT_ANCHOR;
    anchored.dx = 10;
    anchored.data = {0, 0, 0, 0};
    const std::string text = refused(old_model_file(1010, {first, anchored}));
    EXPECT_NE(text.find("cannot read a Anchor of a version 10.10 model file"), std::string::npos) << text;
}

}  // namespace
