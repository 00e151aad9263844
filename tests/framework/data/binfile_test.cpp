// The binary file object: field round trips, byte layout, short reads, the
// safe replacement of the target on write, and x-y curve records.
#include "framework/binfile.h"
#include "scratch_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

namespace fs = std::filesystem;

namespace {

class BinFileTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return scratch.path(name); }

    std::vector<unsigned char> bytes_of(const std::string& name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    void put_bytes(const std::string& name, const std::vector<unsigned char>& bytes) const
    {
        std::ofstream out(path(name), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    // Names in the folder other than the given ones (left-over temporary files).
    std::vector<std::string> strays(const std::vector<std::string>& expected) const
    {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            if (std::find(expected.begin(), expected.end(), name) == expected.end())
                found.push_back(name);
        }
        return found;
    }

    ScratchFolder scratch{"binfile"};
    const fs::path& dir = scratch.dir();
};

uint32_t bits(float f)
{
    return std::bit_cast<uint32_t>(f);
}

}  // namespace

TEST_F(BinFileTest, RoundTripOfEveryFieldKind)
{
    const int32_t ints[] = {0, 1, -1, 123456789, std::numeric_limits<int32_t>::min(),
                            std::numeric_limits<int32_t>::max()};
    const float floats[] = {0.0f, -0.0f, 1.5f, -3.25e-7f,
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::denorm_min(),
                            std::numeric_limits<float>::max(),
                            std::bit_cast<float>(uint32_t{0x7fc12345})};  // NaN with payload
    {
        BinFile f;
        ASSERT_TRUE(f.open_write(path("a.bin")));
        for (int32_t v : ints)
            f.write_int(v);
        for (float v : floats)
            f.write_float(v);
        f.write_byte(0);
        f.write_byte(255);
        f.write_ints(ints, std::size(ints));
        f.write_floats(floats, std::size(floats));
        f.write("raw", 3);
        EXPECT_TRUE(f.close());
    }
    BinFile f;
    ASSERT_TRUE(f.open_read(path("a.bin")));
    for (int32_t v : ints)
        EXPECT_EQ(f.read_int(), v);
    for (float v : floats)
        EXPECT_EQ(bits(f.read_float()), bits(v));
    EXPECT_EQ(f.read_byte(), 0);
    EXPECT_EQ(f.read_byte(), 255);
    int32_t ints_back[std::size(ints)];
    f.read_ints(ints_back, std::size(ints));
    EXPECT_TRUE(std::equal(std::begin(ints), std::end(ints), ints_back));
    float floats_back[std::size(floats)];
    f.read_floats(floats_back, std::size(floats));
    for (std::size_t i = 0; i < std::size(floats); ++i)
        EXPECT_EQ(bits(floats_back[i]), bits(floats[i])) << i;
    char raw[3];
    f.read(raw, 3);
    EXPECT_EQ(std::string(raw, 3), "raw");
    EXPECT_EQ(f.remaining(), 0);
    EXPECT_FALSE(f.error());
    EXPECT_TRUE(f.close());
}

TEST_F(BinFileTest, FieldsAreLittleEndian)
{
    BinFile f;
    ASSERT_TRUE(f.open_write(path("le.bin")));
    f.write_int(0x01020304);
    f.write_int(-2);
    f.write_float(1.0f);
    f.write_byte(0xAB);
    ASSERT_TRUE(f.close());
    const std::vector<unsigned char> expected = {0x04, 0x03, 0x02, 0x01, 0xFE, 0xFF, 0xFF, 0xFF,
                                                 0x00, 0x00, 0x80, 0x3F, 0xAB};
    EXPECT_EQ(bytes_of("le.bin"), expected);
}

TEST_F(BinFileTest, LargeArraysCrossTheWriteChunks)
{
    std::vector<int32_t> values(5000);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<int32_t>(i * 2654435761u);
    BinFile f;
    ASSERT_TRUE(f.open_write(path("big.bin")));
    f.write_ints(values.data(), values.size());
    ASSERT_TRUE(f.close());
    ASSERT_TRUE(f.open_read(path("big.bin")));
    EXPECT_EQ(f.size(), 20000);
    std::vector<int32_t> back(values.size());
    f.read_ints(back.data(), back.size());
    EXPECT_EQ(back, values);
    EXPECT_FALSE(f.error());
}

TEST_F(BinFileTest, ShortReadSetsErrorAndFillsZeros)
{
    put_bytes("short.bin", {0x05, 0x00, 0x00, 0x00, 0xAA, 0xBB});
    BinFile f;
    ASSERT_TRUE(f.open_read(path("short.bin")));
    EXPECT_EQ(f.read_int(), 5);
    EXPECT_FALSE(f.error());
    EXPECT_EQ(f.read_int(), 0xBBAA);  // two bytes read, two zero-filled
    EXPECT_TRUE(f.error());

    // After the error every read gives zeros, whatever the buffer held.
    int32_t values[3] = {-1, -1, -1};
    f.read_ints(values, 3);
    EXPECT_EQ(values[0] | values[1] | values[2], 0);
    EXPECT_EQ(f.read_float(), 0.0f);
    EXPECT_EQ(f.read_name(4), "");
    EXPECT_FALSE(f.close());

    // A new open clears the flag; a missing file sets it.
    EXPECT_TRUE(f.open_read(path("short.bin")));
    EXPECT_FALSE(f.error());
    f.close();
    EXPECT_FALSE(f.open_read(path("missing.bin")));
    EXPECT_TRUE(f.error());
    EXPECT_EQ(f.read_int(), 0);
    EXPECT_FALSE(f.open_read(dir.string()));  // a folder is not a file
}

TEST_F(BinFileTest, SeekTellSizeRemaining)
{
    BinFile f;
    ASSERT_TRUE(f.open_write(path("s.bin")));
    f.write_int(0);  // a count patched in afterwards
    for (int32_t i = 10; i < 15; ++i)
        f.write_int(i);
    EXPECT_EQ(f.tell(), 24);
    ASSERT_TRUE(f.seek(0));
    f.write_int(5);
    EXPECT_EQ(f.size(), 24);
    ASSERT_TRUE(f.close());

    ASSERT_TRUE(f.open_read(path("s.bin")));
    EXPECT_EQ(f.size(), 24);
    EXPECT_EQ(f.read_int(), 5);
    EXPECT_TRUE(f.fits(5, 4));
    EXPECT_FALSE(f.fits(6, 4));
    EXPECT_FALSE(f.fits(-1, 4));
    EXPECT_TRUE(f.seek(12));
    EXPECT_EQ(f.tell(), 12);
    EXPECT_EQ(f.remaining(), 12);
    EXPECT_EQ(f.read_int(), 12);
    EXPECT_TRUE(f.seek(24));
    EXPECT_EQ(f.remaining(), 0);
    EXPECT_FALSE(f.error());
    EXPECT_FALSE(f.seek(25));
    EXPECT_TRUE(f.error());
    f.close();
    EXPECT_FALSE(f.seek(-1));
    EXPECT_EQ(f.remaining(), 0);
}

TEST_F(BinFileTest, FramedRecordsNestAndCarryTheirLengths)
{
    // A record of two ints around a record of one byte and a float, then a
    // record of nothing: each length counts the bytes after it, the inner
    // record's frame included in the outer one's.
    BinFile f;
    ASSERT_TRUE(f.open_write(path("r.bin")));
    f.write_int(7);
    f.begin_record();
    f.write_int(1);
    f.begin_record();
    f.write_byte(0xAB);
    f.write_float(1.5f);
    EXPECT_EQ(f.tell(), 4 + 4 + 4 + 4 + 1 + 4);
    f.end_record();
    f.write_int(2);
    f.end_record();
    f.begin_record();
    f.end_record();
    EXPECT_EQ(f.size(), 29);
    ASSERT_TRUE(f.close());
    const std::vector<unsigned char> expected = {7, 0, 0, 0,  17, 0, 0, 0,  1, 0, 0, 0,  5, 0, 0, 0,  0xAB,
                                                 0, 0, 0xC0, 0x3F,  2, 0, 0, 0,  0, 0, 0, 0};
    EXPECT_EQ(bytes_of("r.bin"), expected);

    // A writer closed with a record open, or asked to seek inside one,
    // fails and leaves the target as it was.
    ASSERT_TRUE(f.open_write(path("r.bin")));
    f.begin_record();
    f.write_int(3);
    EXPECT_FALSE(f.close());
    ASSERT_TRUE(f.open_write(path("r.bin")));
    f.begin_record();
    EXPECT_FALSE(f.seek(0));
    f.end_record();
    EXPECT_FALSE(f.close());
    ASSERT_TRUE(f.open_write(path("r.bin")));
    f.end_record();   // none open
    EXPECT_FALSE(f.close());
    EXPECT_EQ(bytes_of("r.bin"), expected);
    EXPECT_TRUE(strays({"r.bin"}).empty());
}

TEST_F(BinFileTest, AScratchFileReadsBackWhatWasWrittenOnce)
{
    BinFile f;
    ASSERT_TRUE(f.open_scratch());
    f.write_int(-5);
    f.begin_record();
    f.write_float(2.5f);
    EXPECT_FALSE(f.reread());   // a record still open
    EXPECT_TRUE(f.error());

    ASSERT_TRUE(f.open_scratch());
    EXPECT_FALSE(f.error());
    f.write_int(-5);
    f.begin_record();
    f.write_float(2.5f);
    f.end_record();
    ASSERT_TRUE(f.reread());
    EXPECT_EQ(f.size(), 12);
    EXPECT_EQ(f.read_int(), -5);
    EXPECT_EQ(f.read_int(), 4);
    EXPECT_EQ(f.read_float(), 2.5f);
    EXPECT_EQ(f.remaining(), 0);
    f.read_int();
    EXPECT_TRUE(f.error());     // past its end
    EXPECT_FALSE(f.reread());   // a reader cannot be read again
    EXPECT_FALSE(f.close());
    EXPECT_TRUE(f.path().empty());
}

TEST_F(BinFileTest, NameFieldsArePaddedAndCut)
{
    BinFile f;
    ASSERT_TRUE(f.open_write(path("n.bin")));
    f.write_name("A1", 6);
    f.write_name("LONGNAME", 6);
    f.write_name("", 2);
    f.write_name("ABCD\xC3\xA9", 5);   // a cut never splits a character
    ASSERT_TRUE(f.close());
    const std::vector<unsigned char> expected = {'A', '1', 0,   0,   0,   0,   'L', 'O', 'N', 'G',
                                                 'N', 'A', 0,   0,   'A', 'B', 'C', 'D', 0};
    EXPECT_EQ(bytes_of("n.bin"), expected);

    ASSERT_TRUE(f.open_read(path("n.bin")));
    EXPECT_EQ(f.read_name(6), "A1");
    EXPECT_EQ(f.read_name(6), "LONGNA");  // full width, no NUL
    EXPECT_EQ(f.read_name(2), "");
    EXPECT_EQ(f.read_name(5), "ABCD");
    EXPECT_FALSE(f.error());
}

TEST_F(BinFileTest, FailedWriteKeepsThePreviousFile)
{
    put_bytes("model.bin", {1, 2, 3});

    // A writer whose output went bad (here flagged by hand) replaces nothing.
    BinFile f;
    ASSERT_TRUE(f.open_write(path("model.bin")));
    f.write_int(99);
    f.set_error();
    f.write_int(100);
    EXPECT_FALSE(f.close());
    EXPECT_TRUE(f.error());
    EXPECT_EQ(bytes_of("model.bin"), (std::vector<unsigned char>{1, 2, 3}));

    // Abandoned, re-opened and destroyed writers leave it as well.
    ASSERT_TRUE(f.open_write(path("model.bin")));
    f.write_int(7);
    f.abandon();
    ASSERT_TRUE(f.open_write(path("model.bin")));
    f.write_int(8);
    ASSERT_TRUE(f.open_write(path("other.bin")));  // drops the write to model.bin
    f.abandon();
    {
        BinFile g;
        ASSERT_TRUE(g.open_write(path("model.bin")));
        g.write_int(9);
    }
    EXPECT_EQ(bytes_of("model.bin"), (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(strays({"model.bin"}), std::vector<std::string>{});

    // A target that cannot be replaced (a folder) and a missing folder.
    fs::create_directory(dir / "folder");
    ASSERT_TRUE(f.open_write(path("folder")));
    f.write_int(1);
    EXPECT_FALSE(f.close());
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_FALSE(f.open_write(path("no-such-folder/x.bin")));
    EXPECT_TRUE(f.error());
    f.write_int(1);  // dropped, no fault
    EXPECT_EQ(strays({"model.bin", "folder"}), std::vector<std::string>{});

    // A successful write replaces the file.
    ASSERT_TRUE(f.open_write(path("model.bin")));
    f.write_byte(4);
    EXPECT_TRUE(f.close());
    EXPECT_EQ(bytes_of("model.bin"), (std::vector<unsigned char>{4}));
}

TEST_F(BinFileTest, DiskErrorDuringWriteKeepsThePreviousFile)
{
    put_bytes("model.bin", {1, 2, 3});
    BinFile f;
    bool opened = false, closed = false;
    {
        // A file-size limit makes the system refuse the writes, as a full disk would.
        const FileSizeLimit limit(1024);
        ASSERT_TRUE(limit.ok());
        opened = f.open_write(path("model.bin"));
        std::vector<float> values(10000, 1.0f);
        f.write_floats(values.data(), values.size());
        closed = f.close();
    }

    EXPECT_TRUE(opened);
    EXPECT_FALSE(closed);
    EXPECT_EQ(bytes_of("model.bin"), (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(strays({"model.bin"}), std::vector<std::string>{});
}

// A writer that failed says why, in the system's words: the first failed
// write's reason (a file-size limit here, as a full disk would give its
// own), an open's, a read-only target's; none after a success.
TEST_F(BinFileTest, WriteFailureReasonIsTheSystems)
{
    BinFile f;
    bool opened = false, closed = false;
    {
        const FileSizeLimit limit(1024);
        ASSERT_TRUE(limit.ok());
        opened = f.open_write(path("big.bin"));
        const std::vector<float> values(10000, 1.0f);
        f.write_floats(values.data(), values.size());
        closed = f.close();
    }
    EXPECT_TRUE(opened);
    EXPECT_FALSE(closed);
    EXPECT_EQ(f.failure(), "File too large.");

    EXPECT_FALSE(f.open_write(path("no-such-folder/x.bin")));
    EXPECT_EQ(f.failure(), "No such file or directory.");
    EXPECT_FALSE(f.refused_read_only());

    put_bytes("kept.bin", {1});
    fs::permissions(path("kept.bin"), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(f.open_write(path("kept.bin")));
    EXPECT_EQ(f.failure(), "The file is read-only.");
    EXPECT_TRUE(f.refused_read_only());

    ASSERT_TRUE(f.open_write(path("fine.bin")));
    f.write_byte(1);
    EXPECT_TRUE(f.close());
    EXPECT_EQ(f.failure(), "");
    EXPECT_FALSE(f.refused_read_only());
}

// The new file replaces the previous one in one rename: until it stands in
// its place the target is the previous file, whole. A temporary file taken
// away before the close (as a cleaner of the folder might) fails the close
// with the system's reason, and the previous file is still there; a writer
// that failed otherwise leaves it as well.
TEST_F(BinFileTest, ReportReplaceAtomicKeepsThePreviousFileUntilTheNewOneIsInPlace)
{
    put_bytes("report.txt", {1, 2, 3, 4, 5});
    BinFile f;
    ASSERT_TRUE(f.open_write(path("report.txt")));
    f.write_byte(6);
    EXPECT_EQ(bytes_of("report.txt"), (std::vector<unsigned char>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(f.close());
    EXPECT_EQ(bytes_of("report.txt"), (std::vector<unsigned char>{6}));

    // Without a previous file.
    ASSERT_TRUE(f.open_write(path("new.txt")));
    f.write_byte(7);
    EXPECT_TRUE(f.close());
    EXPECT_EQ(bytes_of("new.txt"), (std::vector<unsigned char>{7}));

    ASSERT_TRUE(f.open_write(path("report.txt")));
    f.write_byte(8);
    const std::vector<std::string> temporaries = strays({"report.txt", "new.txt"});
    ASSERT_EQ(temporaries.size(), 1u);
    EXPECT_EQ(temporaries.front().rfind("report.txt.tmp-", 0), 0u) << temporaries.front();
    fs::remove(dir / temporaries.front());
    EXPECT_FALSE(f.close());
    EXPECT_EQ(f.failure(), "No such file or directory.");
    EXPECT_EQ(bytes_of("report.txt"), (std::vector<unsigned char>{6}));

    ASSERT_TRUE(f.open_write(path("report.txt")));
    f.write_byte(8);
    f.set_error();
    EXPECT_FALSE(f.close());
    EXPECT_EQ(bytes_of("report.txt"), (std::vector<unsigned char>{6}));

    // A folder in the way is not removed, and the write fails.
    fs::create_directory(dir / "folder");
    ASSERT_TRUE(f.open_write(path("folder")));
    f.write_byte(9);
    EXPECT_FALSE(f.close());
    EXPECT_EQ(f.failure(), "Is a directory.");
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_EQ(strays({"report.txt", "new.txt", "folder"}), std::vector<std::string>{});
}

TEST_F(BinFileTest, CurveRecords)
{
    XYCurve curve;
    curve.push_back(0.5f, 1.0f);
    curve.push_back(2.0f, -3.5f);
    BinFile f;
    ASSERT_TRUE(f.open_write(path("c.bin")));
    write_curve(f, curve);
    write_curve(f, XYCurve());
    ASSERT_TRUE(f.close());
    EXPECT_EQ(bytes_of("c.bin").size(), 4u + 16u + 4u);

    ASSERT_TRUE(f.open_read(path("c.bin")));
    XYCurve back, empty;
    empty.push_back(1, 1);
    EXPECT_TRUE(read_curve(f, back));
    EXPECT_TRUE(read_curve(f, empty));
    EXPECT_EQ(back, curve);
    EXPECT_TRUE(empty.empty());
    EXPECT_FALSE(f.error());
}

TEST_F(BinFileTest, BadCurveCountsAreRefusedBeforeAllocating)
{
    XYCurve kept;
    kept.push_back(1, 2);
    // count, then room for one pair only
    const std::vector<std::vector<unsigned char>> files = {
        {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0},  // -1
        {0x02, 0x00, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0},  // 2 pairs, 1 present
        {0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0, 0, 0, 0, 0},  // INT32_MAX
        {0x01, 0x00},                                      // count cut short
    };
    for (const auto& bytes : files) {
        put_bytes("bad.bin", bytes);
        BinFile f;
        ASSERT_TRUE(f.open_read(path("bad.bin")));
        EXPECT_FALSE(read_curve(f, kept));
        EXPECT_TRUE(f.error());
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_EQ(kept[0].y, 2.0f);
    }
    // The caller's limit is applied too.
    put_bytes("bad.bin", {0x01, 0x00, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0});
    BinFile f;
    ASSERT_TRUE(f.open_read(path("bad.bin")));
    EXPECT_FALSE(read_curve(f, kept, 0));
}

TEST_F(BinFileTest, SharedStreamFunctions)
{
    ASSERT_TRUE(binfile_open_write(path("g.bin")));
    binfile_write_int(-7);
    binfile_write_float(2.5f);
    EXPECT_TRUE(binfile_close());
    EXPECT_TRUE(binfile_close());  // closing again does nothing

    ASSERT_TRUE(binfile_open_read(path("g.bin")));
    EXPECT_EQ(binfile_read_int(), -7);
    EXPECT_EQ(binfile_read_float(), 2.5f);
    EXPECT_FALSE(binfile_error());
    binfile_read_byte();
    EXPECT_TRUE(binfile_error());
    binfile_close();
}
