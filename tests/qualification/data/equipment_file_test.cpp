// The equipment sections of the model file: pumps, compressors, turbines and
// allowable loads written and read back field by field, the pump records of
// files before version 701, the allowables of files after 690, damaged
// records refused with their number, and a merge that appends.
#include "model/data/model_file_fixture.h"
#include "qualification/equipment.h"

namespace {

PumpRecord pump(const std::string& name)
{
    PumpRecord p;
    p.name = name;
    p.suction_node = 10;
    p.suction_location = LOCATION_SIDE;
    p.discharge_node = 100020;   // 20A
    p.discharge_location = LOCATION_END;
    p.shaft_axis = {1, 0, 0};
    p.centre = {100.5f, 20, -50};
    p.kind = PUMP_ANSI_HI;
    p.hi_type = 3;
    p.hi_size = 20;
    p.hi_mounting = 4;
    p.hi_material = 17;
    p.temperature = 250;
    return p;
}

class EquipmentFileTest : public ModelFileTest {
protected:
    void SetUp() override
    {
        ModelFileTest::SetUp();
        install_equipment();
    }
    void fill()
    {
        pumps().push_back(pump("P-101 FEED PUMPS"));   // all 16 characters
        pumps().push_back(pump("P2"));
        compressors().push_back({"K-1", 10, 0, 30, 40, {0, 1, 0}});
        turbines().push_back({"T-1", 0, 20, 0, 0, {0, 0, -1}});
        allowables().push_back({10, {1000, 2000, 3000, 4000, 5000, -6000}});
    }
    template <typename T>
    static void expect_same(const OneBased<T>& read, const OneBased<T>& written, const char* what)
    {
        ASSERT_EQ(read.size(), written.size()) << what;
        for (int i = 1; i <= read.size(); ++i)
            EXPECT_TRUE(read[i] == written[i]) << what << " " << i;
    }
    // Reads a file made of bytes; the text it is refused with, empty when read.
    std::string read_bytes(const std::vector<unsigned char>& bytes)
    {
        const std::string file = path("equipment.mod");
        put_bytes(file, bytes);
        try {
            read_model(file);
        } catch (const MessageText& m) {
            return m.text;
        }
        return {};
    }
};

std::vector<unsigned char> pump_bytes(const PumpRecord& p, bool with_standard)
{
    Bytes b;
    b.name(p.name, 16);
    b.i32(p.suction_node);
    b.i32(p.suction_location);
    b.i32(p.discharge_node);
    b.i32(p.discharge_location);
    for (float v : p.shaft_axis)
        b.f32(v);
    for (float v : p.centre)
        b.f32(v);
    b.u8(p.vertical);
    if (with_standard) {
        b.i32(p.kind);
        b.i32(p.hi_type);
        b.i32(p.hi_size);
        b.i32(p.hi_material);   // before the mounting in the file
        b.i32(p.hi_mounting);
        b.f32(p.temperature);
    }
    return b.b;
}

}  // namespace

TEST_F(EquipmentFileTest, RecordsReadBackFieldByField)
{
    fill();
    const EquipmentData written = equipment();
    write_model_file(path("m.mod"));
    equipment() = EquipmentData{};
    read_model(path("m.mod"));
    expect_same(pumps(), written.pumps, "pumps");
    EXPECT_EQ(pumps()[1].name, "P-101 FEED PUMPS");
    expect_same(compressors(), written.compressors, "compressors");
    expect_same(turbines(), written.turbines, "turbines");
    expect_same(allowables(), written.allowables, "allowables");
    // A new model has none.
    clear_model_sections();
    EXPECT_EQ(pumps().size() + compressors().size() + turbines().size() + allowables().size(), 0);
}

TEST_F(EquipmentFileTest, OlderFilesByTheirVersions)
{
    // Before 701 a pump record ends after its vertical-inline flag.
    PumpRecord p = pump("OLD");
    Bytes allowable;
    allowable.i32(30);
    for (float v : {1.f, 2.f, 3.f, 4.f, 5.f, 6.f})
        allowable.f32(v);
    EXPECT_EQ(read_bytes(old_model_file(700, {}, CODE_NONE, {{SECTION_PUMPS, 1}, {SECTION_ALLOWABLES, 1}},
                                        {{SECTION_PUMPS, pump_bytes(p, false)}, {SECTION_ALLOWABLES, allowable.b}})),
              "");
    ASSERT_EQ(pumps().size(), 1);
    EXPECT_EQ(pumps()[1].centre, p.centre);
    EXPECT_EQ(pumps()[1].kind, PUMP_KIND_UNSET);
    EXPECT_EQ(pumps()[1].temperature, 0.0f);
    ASSERT_EQ(allowables().size(), 1);
    EXPECT_EQ(allowables()[1].node, 30);
    EXPECT_EQ(allowables()[1].values[5], 6.0f);
    // From 701 on the whole record; a file of 690 has no allowables.
    EXPECT_EQ(read_bytes(old_model_file(701, {}, CODE_NONE, {{SECTION_PUMPS, 1}}, {{SECTION_PUMPS, pump_bytes(p, true)}})),
              "");
    EXPECT_TRUE(pumps()[1] == p);
    EXPECT_EQ(read_bytes(old_model_file(690, {}, CODE_NONE, {{SECTION_PUMPS, 1}}, {{SECTION_PUMPS, pump_bytes(p, false)}})),
              "");
    EXPECT_EQ(allowables().size(), 0);
}

TEST_F(EquipmentFileTest, DamagedRecordsAreRefusedWithTheirNumber)
{
    PumpRecord bad = pump("BAD");
    bad.suction_location = 5;
    const std::string located = read_bytes(
        old_model_file(701, {}, CODE_NONE, {{SECTION_PUMPS, 2}}, {{SECTION_PUMPS, pump_bytes(pump("A"), true)}, {SECTION_PUMPS, pump_bytes(bad, true)}}));
    EXPECT_NE(located.find("Pump 2: a nozzle location is out of range"), std::string::npos) << located;
    bad = pump("BAD");
    bad.hi_size = 21;   // B73.5M pumps have 21 sizes, 0 to 20
    EXPECT_NE(read_bytes(old_model_file(701, {}, CODE_NONE, {{SECTION_PUMPS, 1}}, {{SECTION_PUMPS, pump_bytes(bad, true)}}))
                  .find("Pump 1: an ANSI/HI choice is out of range"),
              std::string::npos);
    Bytes compressor;
    compressor.name("K", 16);
    for (int32_t node : {10, -4, 0, 0})
        compressor.i32(node);
    for (float v : {0.f, 1.f, 0.f})
        compressor.f32(v);
    EXPECT_NE(read_bytes(old_model_file(701, {}, CODE_NONE, {{SECTION_COMPRESSORS, 1}}, {{SECTION_COMPRESSORS, compressor.b}}))
                  .find("Compressor 1: the node -4 is invalid"),
              std::string::npos);
    // Counts out of range or beyond the bytes there are.
    EXPECT_NE(read_bytes(old_model_file(701, {}, CODE_NONE, {{SECTION_TURBINES, -1}})).find("Count -1 is out of range"),
              std::string::npos);
    EXPECT_NE(read_bytes(old_model_file(701, {}, CODE_NONE, {{SECTION_ALLOWABLES, 5000}}))
                  .find("The file ends inside its 5000 records"),
              std::string::npos);
    EXPECT_EQ(pumps().size() + compressors().size() + turbines().size() + allowables().size(), 0);
}

TEST_F(EquipmentFileTest, MergeAppendsTheMergedRecords)
{
    fill();
    write_model_file(path("m.mod"));
    merge_model(path("m.mod"));
    ASSERT_EQ(pumps().size(), 4);
    EXPECT_EQ(pumps()[3].name, "P-101 FEED PUMPS");
    EXPECT_EQ(allowables().size(), 2);
    EXPECT_EQ(turbines()[2].exhaust, 20);
}

TEST_F(EquipmentFileTest, MergeTakesAllowablesAboveVersion690AsTheReaderDoes)
{
    allowables().push_back({5, {1, 0, 0, 0, 0, 0}});
    Bytes allowable;
    allowable.i32(30);
    for (float v : {10.f, 20.f, 30.f, 40.f, 50.f, 60.f})
        allowable.f32(v);
    auto file_of = [&](int32_t version) {
        const std::string file = path("merged.mod");
        put_bytes(file, old_model_file(version, {}, CODE_NONE, {{SECTION_ALLOWABLES, 1}},
                                       {{SECTION_ALLOWABLES, allowable.b}}));
        return file;
    };
    // A file of 690 has no allowables section: nothing is added.
    merge_model(file_of(690));
    EXPECT_EQ(allowables().size(), 1);
    // 695 and 700 carry the section: their records follow the model's own
    // (a merge gate at 700 would misread the 691-699 files).
    for (int32_t version : {695, 700}) {
        merge_model(file_of(version));
        ASSERT_EQ(allowables().back().node, 30) << version;
        EXPECT_EQ(allowables().back().values[5], 60.0f);
    }
    EXPECT_EQ(allowables().size(), 3);
    EXPECT_EQ(allowables()[1].node, 5);
}
