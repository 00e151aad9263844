// Damaged and hostile model files: every one gives a message that names the
// file and what is wrong, nothing crashes, and the model in memory stays as
// it was.
#include "model/analysis_options.h"
#include "model/data/model_file_fixture.h"

#include <gtest/gtest.h>

#include <random>

#include <sys/stat.h>

namespace {

class ModelFileBadTest : public ModelFileTest {
protected:
    void SetUp() override
    {
        ModelFileTest::SetUp();
        small_model();
        write_model_file(path("good.mod"));
        good = bytes_of(path("good.mod"));
        // The model in memory differs from the file in every part a read replaces.
        reset_model();
        from(7, 1, 1, 1);
        row(8, ET_PIPE, 2, 0, 0);
        model().title = "In memory";
        analysis_options().thermal_cycles = 1234;
        qa_block().client = "Memory client";
        load_case_list().add(LC_SUSTAINED);
        make_model();
    }

    // Reads the bytes as a model file and checks that the read failed with
    // a message naming the file and left the model alone; the message.
    std::string refused(const std::vector<unsigned char>& bytes)
    {
        put_bytes(path("bad.mod"), bytes);
        std::string text;
        try {
            read_model(path("bad.mod"));
            ADD_FAILURE() << "a damaged file was read (" << bytes.size() << " bytes)";
        } catch (const MessageText& m) {
            text = m.text;
        } catch (const AssertionExit&) {
            ADD_FAILURE() << "an internal check failed";
        }
        EXPECT_NE(text.find(path("bad.mod")), std::string::npos) << text;
        EXPECT_EQ(numrows(), 2);
        EXPECT_EQ(numnodes(), 2);
        EXPECT_EQ(model().title, "In memory");
        EXPECT_EQ(analysis_options().thermal_cycles, 1234);
        EXPECT_EQ(qa_block().client, "Memory client");
        EXPECT_EQ(load_case_list().count(), 1);
        EXPECT_EQ(model_file_version(), MODEL_FILE_VERSION);
        return text;
    }

    // Where each section of the good file starts (at its length field).
    std::vector<std::size_t> section_starts() const
    {
        std::vector<std::size_t> starts;
        std::size_t at = MODEL_FILE_HEADER_SIZE;
        for (int id = 0; id < NUM_MODEL_SECTIONS; ++id) {
            starts.push_back(at);
            uint32_t length = 0;
            std::memcpy(&length, &good[at], 4);   // the test host is little-endian
            at += 4 + length;
        }
        EXPECT_EQ(at, good.size());
        return starts;
    }

    // The offset of the first row's fields in the good file.
    std::size_t first_row() const { return section_starts()[SECTION_LAYOUT_ROWS] + 8; }

    std::vector<unsigned char> with_int(std::size_t at, int32_t value) const
    {
        std::vector<unsigned char> bytes = good;
        for (int i = 0; i < 4; ++i)
            bytes[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(static_cast<uint32_t>(value) >> (8 * i));
        return bytes;
    }

    std::vector<unsigned char> good;
};

TEST_F(ModelFileBadTest, EveryTruncationIsRefused)
{
    for (std::size_t size = 0; size < good.size(); ++size) {
        SCOPED_TRACE("cut at " + std::to_string(size));
        refused(std::vector<unsigned char>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)));
        if (HasFailure())
            break;
    }
}

TEST_F(ModelFileBadTest, TruncationAtSectionBoundariesNamesTheSection)
{
    const std::vector<std::size_t> starts = section_starts();
    for (int id = 0; id < NUM_MODEL_SECTIONS; ++id) {
        const std::string name = model_section_name(id);
        SCOPED_TRACE(name);
        const auto at = static_cast<std::ptrdiff_t>(starts[static_cast<std::size_t>(id)]);
        std::string text = refused(std::vector<unsigned char>(good.begin(), good.begin() + at));
        EXPECT_NE(text.find("The file ends before the "), std::string::npos) << text;
        text = refused(std::vector<unsigned char>(good.begin(), good.begin() + at + 4));
        const std::string lower = id == SECTION_QA_BLOCK ? name : char(name[0] - 'A' + 'a') + name.substr(1);
        if (id == SECTION_QA_BLOCK)
            EXPECT_NE(text.find("QA block section"), std::string::npos) << text;
        else
            EXPECT_NE(text.find(lower + " section"), std::string::npos) << text;
    }
}

TEST_F(ModelFileBadTest, HeadersOfOtherFilesAndVersions)
{
    const std::string file = path("bad.mod");
    auto header = [&](const char* text) {
        std::vector<unsigned char> bytes = good;
        std::memcpy(bytes.data(), text, 16);
        return refused(bytes);
    };
    EXPECT_EQ(header("KORVANE21KR1020"), "Unable to read model file:\n" + file + "\nIt is not a model file.");
    EXPECT_EQ(header("KORVANEWMOD6800"),
              "Unable to read model file:\n" + file +
                  "\nIt is in an old model file format that this version of the program cannot read.");
    EXPECT_NE(header("KORVANE.MOD\0\xa8\x02\0\0").find("old model file format"), std::string::npos);
    EXPECT_EQ(header("KORVANE21KM1024"), "Unable to read model file:\n" + file +
                                             "\nModel file version = 10.24\nProgram version = 10.23\nIt was written "
                                             "by a newer version of the program.");
    EXPECT_NE(header("KORVANE21KM0499").find("reads versions from 5.00 on"), std::string::npos);
    EXPECT_NE(header("KORVANE21KM1O20").find("Its header is damaged."), std::string::npos);
    EXPECT_NE(header("KORVANE21KM-020").find("Its header is damaged."), std::string::npos);
    EXPECT_EQ(refused({}), "Unable to read model file:\n" + file + "\nIt is not a model file.");

    EXPECT_EQ(thrown_text([&] { read_model(path("missing.mod")); }),
              "Unable to open model file:\n" + path("missing.mod") + "\nNo such file or directory.");
    EXPECT_EQ(thrown_text([&] { read_model(dir.string()); }),
              "Unable to open model file:\n" + dir.string() + "\nIs a directory.");
    // A FIFO is refused at once, not waited on for a writer.
    const std::string fifo = path("fifo.mod");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(thrown_text([&] { read_model(fifo); }), "Unable to open model file:\n" + fifo + "\nNot a regular file.");
}

TEST_F(ModelFileBadTest, CountsAndCodesOutOfRange)
{
    const std::size_t rows = section_starts()[SECTION_LAYOUT_ROWS] + 4;
    EXPECT_NE(refused(with_int(rows, MAXROWS + 1)).find("Layout rows: Count 7001 is out of range"), std::string::npos);
    EXPECT_NE(refused(with_int(rows, -1)).find("Count -1 is out of range"), std::string::npos);
    EXPECT_NE(refused(with_int(rows, 4000)).find("Count 4000 is out of range"), std::string::npos);   // more than the bytes left
    EXPECT_NE(refused(with_int(rows, 4)).find("layout rows section is damaged"), std::string::npos);

    const std::size_t cases = section_starts()[SECTION_LOAD_CASES] + 4;
    EXPECT_NE(refused(with_int(cases, std::numeric_limits<int32_t>::min())).find("Load cases: Count"), std::string::npos);
    const std::size_t nodes = section_starts()[SECTION_NODES] + 4;
    EXPECT_NE(refused(with_int(nodes, 0x7fffffff)).find("Nodes: Count"), std::string::npos);
    // A section length beyond the end, and a negative one.
    EXPECT_NE(refused(with_int(section_starts()[SECTION_TITLE], 1 << 30)).find("The file ends inside the title section"),
              std::string::npos);
    EXPECT_NE(refused(with_int(section_starts()[SECTION_UNITS], -4)).find("units section is damaged"), std::string::npos);

    const std::size_t r = first_row();
    EXPECT_NE(refused(with_int(r, -5)).find("Row 1: node number -5 is invalid"), std::string::npos);
    EXPECT_NE(refused(with_int(r + 5, 21)).find("Row 1: element type 21 is not defined"), std::string::npos);
    EXPECT_NE(refused(with_int(r + 9, 22)).find("Row 1: data type 22 is not defined"), std::string::npos);
    EXPECT_NE(refused(with_int(r + 13, 0x7fc00000)).find("Row 1: DX is not a finite number"), std::string::npos);
    std::vector<unsigned char> flag = good;
    flag[r + 4] = 2;
    EXPECT_NE(refused(flag).find("Row 1: absolute flag holds 2"), std::string::npos);

    // The first row is a From row: its element record is empty, so a length
    // of 1 takes a byte of the next row; -1 and a huge length are damage.
    const std::size_t record = r + 4 + 1 + 4 + 4 + 12 + 18;
    EXPECT_NE(refused(with_int(record, 1)).find("Row 1: The From record is damaged"), std::string::npos);
    EXPECT_NE(refused(with_int(record, -1)).find("Row 1: The length of the From record is damaged"), std::string::npos);
    EXPECT_NE(refused(with_int(record, 1 << 30)).find("length of the From record"), std::string::npos);

    const std::size_t options = section_starts()[SECTION_OPTIONS] + 4;
    std::vector<unsigned char> bad_flag = good;
    bad_flag[options] = 7;
    EXPECT_NE(refused(bad_flag).find("Analysis options: Include axial force flag holds 7"), std::string::npos);
    // numtloads sits after 3 flags, 4 ints, a flag, 2 floats and an int.
    EXPECT_NE(refused(with_int(options + 3 + 16 + 1 + 8 + 4, 4)).find("Number of thermal loads"), std::string::npos);
    // The section ends with the piping code, the node increment, the
    // iteration tolerance and the maximum number of iterations.
    const std::size_t code = section_starts()[SECTION_OPTIONS + 1] - 16;
    EXPECT_NE(refused(with_int(code, 25)).find("Piping code 25 is not defined"), std::string::npos);
    EXPECT_NE(refused(with_int(code + 4, 0)).find("Node increment 0 is invalid"), std::string::npos);
    EXPECT_NE(refused(with_int(code + 8, 0)).find("Invalid iteration tolerance"), std::string::npos);
    EXPECT_NE(refused(with_int(code + 12, 0)).find("Invalid maximum number of iterations"), std::string::npos);
    EXPECT_NE(refused(with_int(section_starts()[SECTION_UNITS] + 4, 99)).find("Unit 99 of quantity 1"),
              std::string::npos);

    std::vector<unsigned char> longer = good;
    longer.push_back(0);
    EXPECT_NE(refused(longer).find("unexpected data after its last section"), std::string::npos);
}

TEST_F(ModelFileBadTest, TitledLayoutOfMaxRowsReadsAndOneRowMoreIsRefused)
{
    // A count past the title row and MAXROWS rows is refused before
    // anything is read.
    const std::size_t rows = section_starts()[SECTION_LAYOUT_ROWS] + 4;
    EXPECT_NE(refused(with_int(rows, MAX_FILE_ROWS + 1)).find("Layout rows: Count 7002 is out of range"),
              std::string::npos);
    // The title row and MAXROWS rows after it are saved and read back whole.
    reset_model();
    row(0, ET_COMMENT);
    for (int i = 0; i < MAXROWS; ++i)
        row(0, ET_NONE);
    write_model_file(path("full.mod"));
    reset_model();
    read_model(path("full.mod"));
    EXPECT_EQ(numrows(), MAX_FILE_ROWS);
    EXPECT_EQ(model().rows[1].etype, ET_COMMENT);
}

TEST_F(ModelFileBadTest, MergeOfABadFileChangesNothing)
{
    std::vector<unsigned char> cut(good.begin(), good.end() - 3);
    put_bytes(path("bad.mod"), cut);
    const std::string text = thrown_text([&] { merge_model(path("bad.mod")); });
    EXPECT_EQ(text.rfind("Unable to merge model file:\n" + path("bad.mod") + "\n", 0), 0u) << text;
    EXPECT_EQ(numrows(), 2);
    EXPECT_FALSE(model_modified());
}

// Random damage to the good file never crashes or trips an internal check:
// the file reads or gives a message.
TEST_F(ModelFileBadTest, RandomDamageNeverCrashes)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 1500; ++round) {
        std::vector<unsigned char> bytes = good;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < changes; ++i)
            bytes[random() % bytes.size()] = static_cast<unsigned char>(random());
        put_bytes(path("random.mod"), bytes);
        try {
            read_model(path("random.mod"));
        } catch (const MessageText&) {
        } catch (const AssertionExit&) {
            ADD_FAILURE() << "an internal check failed in round " << round;
            break;
        }
    }
}

}  // namespace
