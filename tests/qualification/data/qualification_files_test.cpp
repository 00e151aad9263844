// The flange (".flg"), lug (".lug") and nozzle (".noz") files: written and
// read back field by field, each field at its byte offset, the 145-byte
// nozzle files of versions 720 to 809, and hostile files (wrong magic, other
// versions, truncation at every byte, indices and unit choices out of range,
// NaN and infinity) refused with a message naming the file.
#include "framework/errors.h"
#include "framework/units.h"
#include "qualification/flange.h"
#include "qualification/lug.h"
#include "qualification/nozzle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>

#include <unistd.h>

namespace {

class QualificationFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("korvane_qualif_files_" + std::to_string(::getpid()) + "_" +
                   std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    static std::string bytes_of(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void write_bytes(const std::string& file, const std::string& bytes)
    {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    }
    static int32_t int_at(const std::string& b, std::size_t offset)
    {
        int32_t v = 0;
        std::memcpy(&v, b.data() + offset, 4);
        return v;
    }
    static float float_at(const std::string& b, std::size_t offset)
    {
        float v = 0;
        std::memcpy(&v, b.data() + offset, 4);
        return v;
    }
    static void put_int(std::string& b, std::size_t offset, int32_t v) { std::memcpy(b.data() + offset, &v, 4); }
    static void put_float(std::string& b, std::size_t offset, float v) { std::memcpy(b.data() + offset, &v, 4); }

    // The message a reader throws for the bytes, empty when it reads them.
    std::string refusal(const std::string& bytes, const std::function<void(const std::string&)>& read,
                        const std::string& name)
    {
        write_bytes(path(name), bytes);
        try {
            read(path(name));
        } catch (const MessageText& m) {
            return m.text.empty() ? std::string("(empty message)") : m.text;
        }
        return {};
    }

    // Refuses every truncation, every index and unit choice out of range and
    // NaN and infinity in every float of a good file.
    void expect_hostile_refused(const std::string& good, const std::function<void(const std::string&)>& read,
                                const std::string& name, const std::vector<std::size_t>& int_offsets,
                                const std::vector<std::pair<std::size_t, std::pair<int32_t, int32_t>>>& index_ranges,
                                const std::vector<std::size_t>& float_offsets, std::size_t units_offset)
    {
        const std::string file = path(name);
        ASSERT_EQ(refusal(good, read, name), "") << "the good file";
        for (std::size_t n = 0; n < good.size(); ++n) {
            const std::string m = refusal(good.substr(0, n), read, name);
            EXPECT_NE(m.find(file), std::string::npos) << "truncated at " << n << ": " << m;
        }
        for (const auto& [offset, range] : index_ranges) {
            for (int32_t bad : {range.first - 1, range.second + 1, std::numeric_limits<int32_t>::min()}) {
                std::string b = good;
                put_int(b, offset, bad);
                const std::string m = refusal(b, read, name);
                EXPECT_NE(m.find(file), std::string::npos) << "index at " << offset << " = " << bad;
                EXPECT_NE(m.find("holds " + std::to_string(bad)), std::string::npos) << m;
            }
        }
        for (int q = 0; q < NUM_UNIT_QUANTITIES; ++q) {
            for (int32_t bad : {-1, unit_count(q + 1)}) {
                std::string b = good;
                put_int(b, units_offset + 4 * static_cast<std::size_t>(q), bad);
                const std::string m = refusal(b, read, name);
                EXPECT_NE(m.find("unit choice of quantity " + std::to_string(q + 1)), std::string::npos) << m;
            }
        }
        for (std::size_t offset : float_offsets) {
            for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity()}) {
                std::string b = good;
                put_float(b, offset, bad);
                const std::string m = refusal(b, read, name);
                EXPECT_NE(m.find("is not a finite number"), std::string::npos) << "float at " << offset << ": " << m;
                EXPECT_NE(m.find(file), std::string::npos);
            }
        }
        (void)int_offsets;
        // Another magic: nothing after it is read.
        std::string other = good;
        other[3] = 'X';
        const std::string m = refusal(other, read, name);
        EXPECT_NE(m.find("Unable to read"), std::string::npos) << m;
        EXPECT_NE(m.find(file), std::string::npos);
    }

    std::filesystem::path folder_;
};

UnitChoices si_units()
{
    UnitChoices u{};
    for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q)
        u[static_cast<std::size_t>(q)] = unit_count(q) - 1;
    return u;
}

std::vector<std::size_t> float_offsets(std::size_t first, std::size_t count)
{
    std::vector<std::size_t> v;
    for (std::size_t i = 0; i < count; ++i)
        v.push_back(first + 4 * i);
    return v;
}

}  // namespace

TEST_F(QualificationFileTest, FlangeQualificationFileRoundTripAtItsOffsets)
{
    FlangeInput in;
    const std::string file = path("joint.flg");
    write_flange_file(file, in, UnitChoices{});
    const std::string b = bytes_of(file);
    ASSERT_EQ(b.size(), FLANGE_FILE_SIZE);
    EXPECT_EQ(std::string(b.data(), 16), std::string("KORVANEWFLG6700\0", 16));
    EXPECT_EQ(int_at(b, 68), 36);
    EXPECT_EQ(int_at(b, 72), 4);
    EXPECT_FLOAT_EQ(float_at(b, 20), 39.125f);
    EXPECT_FLOAT_EQ(float_at(b, 64), 37.0f);
    EXPECT_FLOAT_EQ(float_at(b, 76), 1.0f);
    EXPECT_FLOAT_EQ(float_at(b, 100), 10000.0f);
    EXPECT_EQ(int_at(b, 104), 1);
    EXPECT_EQ(int_at(b, 108), 1);
    EXPECT_FLOAT_EQ(float_at(b, 112), 414.0f);
    EXPECT_FLOAT_EQ(float_at(b, 128), 665.0f);

    // Every field distinct, other units: each comes back.
    FlangeInput changed;
    float v = 1.5f;
    for (const QualificationField<FlangeInput>& f : flange_fields()) {
        if (f.kind == QualificationField<FlangeInput>::Float)
            f.float_ref(changed) = (v += 1.25f);
        else
            f.int_ref(changed) = f.high;
    }
    write_flange_file(file, changed, si_units());
    const std::string c = bytes_of(file);
    EXPECT_EQ(int_at(c, 16), FLANGE_REVERSE);
    EXPECT_EQ(int_at(c, 72), BOLT_SIZE_COUNT - 1);
    EXPECT_EQ(int_at(c, 104), 5);
    EXPECT_EQ(int_at(c, 108), 2);
    EXPECT_EQ(int_at(c, 132), si_units()[1]);
    const FlangeFile read = read_flange_file(file);
    EXPECT_EQ(read.input, changed);
    EXPECT_EQ(read.units, si_units());
}

TEST_F(QualificationFileTest, FlangeQualificationFileHostile)
{
    const std::string file = path("good.flg");
    write_flange_file(file, FlangeInput{}, UnitChoices{});
    std::vector<std::size_t> floats = float_offsets(20, 12);
    for (std::size_t o : float_offsets(76, 7))
        floats.push_back(o);
    for (std::size_t o : float_offsets(112, 5))
        floats.push_back(o);
    expect_hostile_refused(bytes_of(file), [](const std::string& p) { read_flange_file(p); }, "bad.flg", {},
                           {{16, {0, 4}}, {68, {1, 100000}}, {72, {0, 16}}, {104, {1, 5}}, {108, {1, 2}}}, floats, 132);
    try {
        read_flange_file(path("missing.flg"));
        ADD_FAILURE();
    } catch (const MessageText& m) {
        EXPECT_EQ(m.text, "Flange Qualification file: " + path("missing.flg") + "\nDoes not exist.");
    }
}

namespace {

using QualificationMessageText = QualificationFileTest;

}  // namespace

// A folder given as a data file says it is a folder, in every mode.
TEST_F(QualificationMessageText, ADataFileThatIsAFolderSaysItIsAFolder)
{
    const std::pair<std::string, std::function<void(const std::string&)>> files[] = {
        {"Flange Qualification file", [](const std::string& p) { read_flange_file(p); }},
        {"Lug evaluation file", [](const std::string& p) { read_lug_file(p); }},
        {"Nozzle Evaluation file", [](const std::string& p) { read_nozzle_file(p); }},
    };
    const std::string folder = path("x.flg");
    std::filesystem::create_directories(folder);
    for (const auto& [title, read] : files) {
        try {
            read(folder);
            ADD_FAILURE() << title;
        } catch (const MessageText& m) {
            EXPECT_EQ(m.text, title + ": " + folder + "\nIs a folder, not a file.");
        }
    }
}

TEST_F(QualificationFileTest, LugEvaluationFileRoundTripAtItsOffsets)
{
    const std::string file = path("lug.lug");
    write_lug_file(file, LugInput{}, UnitChoices{});
    const std::string b = bytes_of(file);
    ASSERT_EQ(b.size(), LUG_FILE_SIZE);
    EXPECT_EQ(std::string(b.data(), 16), std::string("KORVANEWLUG8100\0", 16));
    EXPECT_EQ(int_at(b, 24), 1);
    for (std::size_t o = 28; o < 224; ++o)
        EXPECT_EQ(b[o], '\0') << "byte " << o;

    LugInput in;
    in.code = LUG_EN13480;
    in.level = 3;
    in.attachment = LUG_HOLLOW;
    in.weld = 1;
    float v = 0.5f;
    for (const QualificationField<LugInput>& f : lug_fields())
        if (f.kind == QualificationField<LugInput>::Float)
            f.float_ref(in) = (v += 0.75f);
    write_lug_file(file, in, si_units());
    const std::string c = bytes_of(file);
    EXPECT_EQ(int_at(c, 100), 1);
    EXPECT_FLOAT_EQ(float_at(c, 28), in.Do);
    EXPECT_FLOAT_EQ(float_at(c, 96), in.sa);
    EXPECT_FLOAT_EQ(float_at(c, 104), in.sustained.W);
    EXPECT_FLOAT_EQ(float_at(c, 124), in.sustained.MT);
    EXPECT_FLOAT_EQ(float_at(c, 128), in.thermal.W);
    EXPECT_FLOAT_EQ(float_at(c, 152), in.occasional.W);
    EXPECT_FLOAT_EQ(float_at(c, 176), in.settlement.W);
    EXPECT_FLOAT_EQ(float_at(c, 200), in.maxima.W);
    EXPECT_FLOAT_EQ(float_at(c, 220), in.maxima.MT);
    const LugFile read = read_lug_file(file);
    EXPECT_EQ(read.input, in);
    EXPECT_EQ(read.units, si_units());
}

TEST_F(QualificationFileTest, LugEvaluationFileHostile)
{
    const std::string file = path("good.lug");
    LugInput in;
    in.attachment = LUG_HOLLOW;
    write_lug_file(file, in, UnitChoices{});
    std::vector<std::size_t> floats = float_offsets(28, 18);
    for (std::size_t o : float_offsets(104, 30))
        floats.push_back(o);
    // The weld list of a hollow attachment holds two entries.
    expect_hostile_refused(bytes_of(file), [](const std::string& p) { read_lug_file(p); }, "bad.lug", {},
                           {{16, {0, 2}}, {20, {0, 3}}, {24, {1, 2}}, {100, {0, 1}}}, floats, 224);
}

TEST_F(QualificationFileTest, NozzleQualificationFileRoundTripAtItsOffsets)
{
    NozzleEvaluation n;
    n.method = NOZZLE_WRC537;
    n.spherical = 0;
    n.load_case = WRC_SUSTAINED_OCCASIONAL;
    float v = 0.25f;
    for (const QualificationField<NozzleEvaluation>& f : nozzle_en_fields())
        f.float_ref(n) = (v += 1.0f);
    for (const QualificationField<NozzleEvaluation>& f : nozzle_wrc_fields())
        f.float_ref(n) = (v += 1.0f);
    const std::string file = path("nozzle.noz");
    write_nozzle_file(file, n, si_units());
    const std::string b = bytes_of(file);
    ASSERT_EQ(b.size(), NOZZLE_FILE_SIZE);
    EXPECT_EQ(std::string(b.data(), 16), std::string("KORVANEWNOZ8100\0", 16));
    EXPECT_EQ(int_at(b, 16), 1);
    EXPECT_EQ(b[20], '\0');
    EXPECT_FLOAT_EQ(float_at(b, 21), n.R);
    EXPECT_FLOAT_EQ(float_at(b, 65), n.c);
    EXPECT_EQ(int_at(b, 69), 1);
    EXPECT_FLOAT_EQ(float_at(b, 73), n.P);
    EXPECT_FLOAT_EQ(float_at(b, 97), n.T);
    EXPECT_FLOAT_EQ(float_at(b, 105), n.rm);   // rm before ro
    EXPECT_FLOAT_EQ(float_at(b, 109), n.ro);
    EXPECT_FLOAT_EQ(float_at(b, 133), n.Kb);
    EXPECT_EQ(int_at(b, 137), si_units()[1]);
    const NozzleFile read = read_nozzle_file(file);
    EXPECT_EQ(read.version, 810);
    EXPECT_EQ(read.data, n);
    EXPECT_EQ(read.units, si_units());
}

TEST_F(QualificationFileTest, NozzleQualificationOldFileResetsWrcValues)
{
    // A version 720 file: the magic, the spherical byte, the 12 EN floats and
    // the unit choices, 145 bytes.
    std::string b(NOZZLE_OLD_FILE_SIZE, '\0');
    std::memcpy(b.data(), "KORVANEWNOZ7200", 15);
    b[16] = 0;
    for (std::size_t k = 0; k < 12; ++k)
        put_float(b, 17 + 4 * k, 2.0f + static_cast<float>(k));
    const UnitChoices units = si_units();
    for (std::size_t q = 1; q <= 20; ++q)
        put_int(b, 65 + 4 * (q - 1), units[q]);
    write_bytes(path("old.noz"), b);
    const NozzleFile read = read_nozzle_file(path("old.noz"));
    EXPECT_EQ(read.version, 720);
    EXPECT_EQ(read.data.method, NOZZLE_EN13445);
    EXPECT_EQ(read.data.spherical, 0);
    EXPECT_FLOAT_EQ(read.data.R, 2.0f);
    EXPECT_FLOAT_EQ(read.data.c, 13.0f);
    EXPECT_EQ(read.units, units);
    // The WRC values are those of a new data set, not what was held before.
    NozzleEvaluation fresh;
    EXPECT_EQ(read.data.load_case, WRC_OPERATING);
    for (const QualificationField<NozzleEvaluation>& f : nozzle_wrc_fields())
        EXPECT_EQ(f.float_ref(const_cast<NozzleEvaluation&>(read.data)), f.float_ref(fresh)) << f.name;

    // The same file's hostile variants.
    std::vector<std::size_t> floats = float_offsets(17, 12);
    expect_hostile_refused(b, [](const std::string& p) { read_nozzle_file(p); }, "bad_old.noz", {}, {}, floats, 65);
    std::string flag = b;
    flag[16] = 2;
    EXPECT_NE(refusal(flag, [](const std::string& p) { read_nozzle_file(p); }, "flag.noz").find("holds 2"),
              std::string::npos);
}

TEST_F(QualificationFileTest, NozzleQualificationFileHostile)
{
    const std::string file = path("good.noz");
    write_nozzle_file(file, NozzleEvaluation{}, UnitChoices{});
    const std::string good = bytes_of(file);
    std::vector<std::size_t> floats = float_offsets(21, 12);
    for (std::size_t o : float_offsets(73, 16))
        floats.push_back(o);
    const auto read = [](const std::string& p) { read_nozzle_file(p); };
    expect_hostile_refused(good, read, "bad.noz", {}, {{16, {0, 1}}, {69, {0, 2}}}, floats, 137);
    std::string flag = good;
    flag[20] = 7;
    EXPECT_NE(refusal(flag, read, "flag.noz").find("Spherical shell flag holds 7"), std::string::npos);

    // Versions outside 720..810: "Version = 7.00", "8.11".
    for (const auto& [magic, shown] : {std::pair{"KORVANEWNOZ7000", "7.00"}, std::pair{"KORVANEWNOZ8110", "8.11"},
                                       std::pair{"KORVANEWNOZ71900", "7.19"}}) {
        std::string b = good;
        std::memcpy(b.data(), magic, 15);
        EXPECT_EQ(refusal(b, read, "version.noz"),
                  "Unable to read nozzle data:\n" + path("version.noz") + "\nVersion = " + shown);
    }
    // The first 11 characters decide before the version is looked at.
    std::string other = good;
    std::memcpy(other.data(), "KORVANEWFLG8100", 15);
    EXPECT_EQ(refusal(other, read, "other.noz"), "Unable to read nozzle data file:\n" + path("other.noz"));
}
