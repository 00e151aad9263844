// Bad results files: each gives its message, changes nothing in the model
// or in the results that were open, and never crashes (the sanitizers run
// these). The good file is written by the real analysis; the bad ones are
// made from it byte by byte.
#include "results/data/results_fixture.h"

#include <cstring>
#include <functional>
#include <limits>

using namespace results_test;

namespace {

class ResultsBadFileTest : public ResultsTest {
protected:
    void SetUp() override
    {
        ResultsTest::SetUp();
        every_support_model();
        choose({LC_SUSTAINED, LC_OPERATING_1});
        load.temperature[1] = 250;
        analyse();
        good = file_bytes(results_path);
        bad_path = folder + "/bad.res";
    }

    // The document's marks that a read sets: each row's support layout and
    // each node's has-results flag.
    std::vector<int64_t> marks() const
    {
        std::vector<int64_t> out;
        for (const LayoutRow& r : model().rows) {
            out.push_back(r.results_offset);
            out.push_back(r.results_words);
        }
        for (const NodeRecord& n : model().nodes)
            out.push_back(n.has_results);
        return out;
    }
    // Reads a bad file after the good one was opened: the message, with the
    // good results still open and the model's marks as they were.
    std::string refused(const std::vector<char>& bytes)
    {
        read_results(results_path);
        const std::vector<int64_t> before = marks();
        const int cases = results().load_case_count();
        write_bytes(bad_path, bytes);
        const std::string message = read_message(bad_path);
        EXPECT_EQ(marks(), before);
        EXPECT_TRUE(results_open());
        EXPECT_EQ(results().load_case_count(), cases);
        EXPECT_EQ(results().path, results_path);
        return message;
    }
    // Where the good file's run record starts.
    static std::ptrdiff_t blocks_end()
    {
        return static_cast<std::ptrdiff_t>(results_file_size(model(), analysis_load_cases(), model().numelems(), 0));
    }
    static void put_int(std::vector<char>& bytes, std::size_t at, int32_t value)
    {
        std::memcpy(bytes.data() + at, &value, 4);
    }

    // The good file's blocks and a run record of the case lines, the notes
    // and the fingerprint, without the check that ends the file (sealed()
    // adds it); without notes as version 1022 wrote it.
    std::vector<char> with_record(const std::vector<std::string>& case_lines,
                                  const std::vector<HangerNote>* hanger_notes, const Sha256Digest& f) const
    {
        std::vector<char> bytes(good.begin(), good.begin() + blocks_end());
        auto put = [&bytes](auto v) {
            const char* p = reinterpret_cast<const char*>(&v);
            bytes.insert(bytes.end(), p, p + 4);
        };
        auto put_text = [&](const std::string& text) {
            put(static_cast<int32_t>(text.size()));
            bytes.insert(bytes.end(), text.begin(), text.end());
        };
        put(static_cast<int32_t>(case_lines.size()));
        for (const std::string& line : case_lines)
            put_text(line);
        if (hanger_notes) {
            put(static_cast<int32_t>(hanger_notes->size()));
            for (const HangerNote& n : *hanger_notes) {
                put(n.row);
                put(n.node);
                put(static_cast<int32_t>(n.reason));
                put(n.designed ? 1 : 0);
                for (float v : {n.load, n.travel, n.below, n.above})
                    put(v);
                put(n.percent);
                put_text(n.catalogue);
            }
        } else {
            std::memcpy(bytes.data() + 11, "1022", 4);
        }
        bytes.insert(bytes.end(), f.begin(), f.end());
        return bytes;
    }
    // The row of the model's hanger (at node 50).
    static int hanger_row()
    {
        int row = 1;
        while (model().rows[row].dtype != DT_HANGER)
            ++row;
        return row;
    }

    // The good file as version 1023 wrote it: the same without the check.
    std::vector<char> as_1023() const
    {
        std::vector<char> bytes(good.begin(), good.end() - RESULTS_CHECK_SIZE);
        std::memcpy(bytes.data() + 11, "1023", 4);
        return bytes;
    }

    std::vector<char> good;
    std::string bad_path;
};

const std::string MISMATCH = "Results file does not match the model.\nPlease reanalyze the model.";

}  // namespace

TEST_F(ResultsBadFileTest, HeadersOldWrongMagicAndVersions)
{
    // Magic, the digits 1024 and any sixteenth character: accepted.
    std::vector<char> other = good;
    other[15] = 'X';
    write_bytes(bad_path, resealed(other));
    EXPECT_EQ(read_message(bad_path), "<nothing thrown>");

    struct Case {
        const char* what;
        std::string header;
        std::string message;
    };
    std::string old("KORVANE.RES\0\0\0", 14);
    old += static_cast<char>(950 & 0xff);
    old += static_cast<char>(950 >> 8);
    const std::vector<Case> cases = {
        {"old header", old, "Results file is in Version 9.50 format.\nUnable to read results file."},
        {"wrong magic", "KORVANE21KM10200", "Unable to read results file"},
        {"version 1010", "KORVANE21KR10100", "Program version = 10.20\nResults version = 10.10\nPlease reanalyze the model."},
        {"version 1025", "KORVANE21KR10250", "Program version = 10.20\nResults version = 10.25\nPlease reanalyze the model."},
        // A file of version 1020 has shorter element records: this one's do not fit it;
        // one of 1023 ends without the check, which this one's bytes then overrun.
        {"version 1020", "KORVANE21KR10200", MISMATCH},
        {"version 1023", "KORVANE21KR10230", MISMATCH},
        {"no digits", "KORVANE21KRabcd0", "Unable to read results file"},
    };
    for (const Case& c : cases) {
        std::vector<char> bytes = good;
        ASSERT_EQ(c.header.size(), 16u);
        std::memcpy(bytes.data(), c.header.data(), 16);
        EXPECT_EQ(refused(bytes), c.message) << c.what;
    }
    // Shorter than a header.
    EXPECT_EQ(refused(std::vector<char>(good.begin(), good.begin() + 10)), "Unable to read results file");
    EXPECT_EQ(refused({}), "Unable to read results file");
}

TEST_F(ResultsBadFileTest, TruncatedAtEveryBlockBoundaryAndBetween)
{
    const Model& m = model();
    const int64_t n = m.numnodes(), e = m.numelems();
    const int64_t b = 4 * (6 + 3 + 3 + 2 + 1 + 1 + 1 + 6 + 6);
    const int64_t first = 16 + 4 + 44 * e + 4;
    const int64_t block = 24 * n + 48 * e + b;
    const std::vector<int64_t> cuts = {16, 20, 20 + 44 * e, first, first + 24 * n, first + 24 * n + 48 * e,
                                       first + block, first + 2 * block, static_cast<int64_t>(good.size()) - 1,
                                       first + 7, 21};
    // Cut short, the file's check fails; a file of the version without one,
    // or a cut one sealed anew, is refused as another model's.
    const std::vector<char> old = as_1023();
    for (int64_t cut : cuts) {
        EXPECT_EQ(refused(std::vector<char>(good.begin(), good.begin() + cut)), results_damaged_text(bad_path))
            << "cut at " << cut;
        const int64_t old_cut = std::min(cut, static_cast<int64_t>(old.size()) - 1);
        EXPECT_EQ(refused(std::vector<char>(old.begin(), old.begin() + old_cut)), MISMATCH) << "cut at " << cut;
        if (cut >= 20) {
            EXPECT_EQ(refused(sealed(std::vector<char>(good.begin(), good.begin() + cut - 4))), MISMATCH);
        }
    }
    // Bytes added at the end.
    std::vector<char> longer = good;
    longer.push_back(0);
    EXPECT_EQ(refused(longer), results_damaged_text(bad_path));
    EXPECT_EQ(refused(sealed(longer)), MISMATCH);
}

TEST_F(ResultsBadFileTest, AbsurdCountsAndIndices)
{
    const int32_t e = model().numelems();
    const std::size_t soils_at = 16 + 4 + 44 * static_cast<std::size_t>(e);
    for (int32_t count : {-1, e + 1, e - 1, 0x7fffffff, static_cast<int32_t>(0x80000000)}) {
        std::vector<char> bytes = good;
        put_int(bytes, 16, count);
        EXPECT_EQ(refused(resealed(bytes)), MISMATCH) << "E " << count;
    }
    for (int32_t count : {-1, 1, 1000000, 0x7fffffff}) {
        std::vector<char> bytes = good;
        put_int(bytes, soils_at, count);
        EXPECT_EQ(refused(resealed(bytes)), MISMATCH) << "S " << count;
    }
    // An element's node index out of range, and one that names another node.
    for (int32_t node : {0, -5, model().numnodes() + 1, 99999}) {
        std::vector<char> bytes = good;
        put_int(bytes, 20 + 8, node);
        EXPECT_EQ(refused(resealed(bytes)), MISMATCH) << "node " << node;
    }
    // Another element kind, row, material.
    for (std::size_t word : {0u, 1u, 4u, 7u}) {
        std::vector<char> bytes = good;
        int32_t v;
        std::memcpy(&v, bytes.data() + 20 + 4 * word, 4);
        put_int(bytes, 20 + 4 * word, v + 1);
        EXPECT_EQ(refused(resealed(bytes)), MISMATCH) << "word " << word;
    }
}

TEST_F(ResultsBadFileTest, ModelEditedAfterTheAnalysis)
{
    // A row added.
    {
        pipe(95, 50, 0, 0);
        make_model();
        EXPECT_EQ(read_message(results_path), MISMATCH);
        model().rows.erase(model().numrows());
        make_model();
        EXPECT_EQ(read_message(results_path), "<nothing thrown>");
        close_results();
    }
    // A support of another kind at a row whose words differ. (A kind of
    // the same words, a guide for a restraint, leaves the file's length as
    // it was: such an edit is caught by the model file being newer than its
    // results, and the results open marked out of date.)
    int restraint = 0;
    for (int r = 1; r <= model().numrows(); ++r)
        if (model().rows[r].dtype == DT_RESTRAINT)
            restraint = r;
    ASSERT_NE(restraint, 0);
    with(restraint, DT_ANCHOR);
    make_model();
    EXPECT_EQ(read_message(results_path), MISMATCH);
    with(restraint, DT_RESTRAINT);
    make_model();
    EXPECT_EQ(read_message(results_path), "<nothing thrown>");
    close_results();
    // The load-case list changed.
    choose({LC_SUSTAINED, LC_OPERATING_1, LC_EXPANSION_T1});
    EXPECT_EQ(read_message(results_path), MISMATCH);
    choose({LC_SUSTAINED});
    EXPECT_EQ(read_message(results_path), MISMATCH);
    // The same cases in another order: the file is as long, but the blocks
    // are read against the model's order (no way to tell; the values are
    // the other case's). The list the analysis ran is the model's.
    choose({LC_SUSTAINED, LC_OPERATING_1});
    EXPECT_EQ(read_message(results_path), "<nothing thrown>");
}

TEST_F(ResultsBadFileTest, ValuesThatAreNotNumbersAreRefusedWhenRead)
{
    // A NaN in the first case's displacements: the file reads (the values
    // are read on demand), the displacement reader refuses it with the path.
    std::vector<char> bytes = good;
    const std::size_t first = 16 + 4 + 44 * static_cast<std::size_t>(model().numelems()) + 4;
    const uint32_t nan_bits = 0x7fc00000u;
    std::memcpy(bytes.data() + first + 8, &nan_bits, 4);
    write_bytes(bad_path, resealed(bytes));
    ASSERT_EQ(read_message(bad_path), "<nothing thrown>");
    ASSERT_TRUE(set_results_load_case(LC_SUSTAINED));
    EXPECT_EQ(thrown_text([] { read_load_case_displacements(); }), "Unable to read results file:\n" + bad_path);
    for (const auto& u : results().displacements)
        for (float v : u)
            EXPECT_EQ(v, 0.0f);
    EXPECT_EQ(results().loaded.displacements, 0);
}

// A file of the version before, whose element records hold the 8 words
// without the chords, still reads: its results open as they are, and no
// element counts as changed, since the file cannot tell (an edit that
// changes an element's length goes unseen in its stress colours, as it did
// with those files).
TEST_F(ResultsBadFileTest, AFileOfVersion1020WithoutChordsReads)
{
    std::vector<char> old = as_1023();
    std::memcpy(old.data() + 11, "1020", 4);
    int32_t elements = 0;
    std::memcpy(&elements, old.data() + 16, 4);
    ASSERT_EQ(elements, model().numelems());
    std::vector<char> bytes(old.begin(), old.begin() + 20);
    for (int32_t e = 0; e < elements; ++e) {
        const auto at = old.begin() + 20 + 44 * e;
        bytes.insert(bytes.end(), at, at + 32);
    }
    // Nor has it the run record that ends the file.
    bytes.insert(bytes.end(), old.begin() + 20 + 44 * elements, old.begin() + blocks_end());
    write_bytes(bad_path, bytes);
    EXPECT_EQ(read_message(bad_path), "<nothing thrown>");
    ASSERT_TRUE(results_open());
    EXPECT_EQ(results().version, 1020);
    EXPECT_TRUE(results().chords.empty());
    model().rows[2].dx += 12.0f;
    make_model();
    for (int e = 1; e <= model().numelems(); ++e)
        EXPECT_FALSE(results_element_changed(e));

    // The same edit with the file as this version writes it: the element of
    // that row changed.
    model().rows[2].dx -= 12.0f;
    make_model();
    write_bytes(bad_path, good);
    EXPECT_EQ(read_message(bad_path), "<nothing thrown>");
    EXPECT_EQ(results().chords.size(), model().numelems());
    model().rows[2].dx += 12.0f;
    make_model();
    int changed = 0;
    for (int e = 1; e <= model().numelems(); ++e)
        changed += results_element_changed(e) ? 1 : 0;
    EXPECT_GE(changed, 1);
}

namespace {

class ResultsFingerprint : public ResultsBadFileTest {};

}  // namespace

// The run record before the check that ends a file: the case lines, the
// notes of the hanger design and the fingerprint read back as written; a
// record whose counts overrun the file, with a reason or a flag out of its
// range, or with bytes after it, is refused; a file of version 1022 has the lines and
// no notes, one of version 1021 no record: both read with what they have.
TEST_F(ResultsFingerprint, RunRecordReadBackAndBadRecordsRefused)
{
    const std::vector<std::string> lines = {"Sustained (W+P): converged in 3 iterations, 2 factorisations",
                                            "Operating (W+P1+T1): converged in 5 iterations, 3 factorisations"};
    const int hanger = hanger_row();
    const std::vector<HangerNote> notes = {
        {hanger, 50, HangerNoteReason::NoRangeHolds, true, 215.5f, 0.125f, 210.0f, 221.0f, 25, "Grinnell"}};
    const Sha256Digest fingerprint = sha256("model file");
    write_bytes(bad_path, sealed(with_record(lines, &notes, fingerprint)));
    ASSERT_EQ(read_message(bad_path), "<nothing thrown>");
    EXPECT_EQ(results().run_record.case_lines, lines);
    EXPECT_EQ(results().run_record.hanger_notes, notes);
    EXPECT_EQ(results().run_record.model_fingerprint, fingerprint);
    Sha256Digest carried{};
    EXPECT_TRUE(results_file_fingerprint(bad_path, carried));
    EXPECT_EQ(carried, fingerprint);
    // The all-0 fingerprint of a model that was not its file's is none.
    write_bytes(bad_path, sealed(with_record(lines, &notes, Sha256Digest{})));
    EXPECT_FALSE(results_file_fingerprint(bad_path, carried));

    const std::vector<char> sound = with_record(lines, &notes, fingerprint);
    const std::size_t count_at = static_cast<std::size_t>(blocks_end());
    std::vector<char> overrun = sound;
    put_int(overrun, count_at, 3);   // a third line whose bytes are the notes' and the fingerprint's
    EXPECT_EQ(refused(sealed(overrun)), MISMATCH);
    std::vector<char> huge = sound;
    put_int(huge, count_at, 1 << 30);
    EXPECT_EQ(refused(sealed(huge)), MISMATCH);
    std::vector<char> negative = sound;
    put_int(negative, count_at + 4, -1);
    EXPECT_EQ(refused(sealed(negative)), MISMATCH);
    std::size_t notes_at = count_at + 4;
    for (const std::string& line : lines)
        notes_at += 4 + line.size();
    std::vector<char> more_notes = sound;
    put_int(more_notes, notes_at, 3);
    EXPECT_EQ(refused(sealed(more_notes)), MISMATCH);
    for (const auto& [offset, value] : std::vector<std::pair<std::size_t, int32_t>>{{8, 0}, {8, 6}, {12, 2}}) {
        std::vector<char> field = sound;
        put_int(field, notes_at + 4 + offset, value);   // the first note's reason and flag
        EXPECT_EQ(refused(sealed(field)), MISMATCH) << offset << " " << value;
    }
    std::vector<char> longer = sound;
    longer.push_back('x');
    EXPECT_EQ(refused(sealed(longer)), MISMATCH);
    EXPECT_EQ(refused(sealed(std::vector<char>(sound.begin(), sound.end() - 1))), MISMATCH);

    write_bytes(bad_path, with_record(lines, nullptr, fingerprint));
    ASSERT_EQ(read_message(bad_path), "<nothing thrown>");
    EXPECT_EQ(results().version, 1022);
    EXPECT_EQ(results().run_record.case_lines, lines);
    EXPECT_TRUE(results().run_record.hanger_notes.empty());
    EXPECT_TRUE(results_file_fingerprint(bad_path, carried));

    std::vector<char> older(good.begin(), good.begin() + blocks_end());
    std::memcpy(older.data() + 11, "1021", 4);
    write_bytes(bad_path, older);
    ASSERT_EQ(read_message(bad_path), "<nothing thrown>");
    EXPECT_EQ(results().version, 1021);
    EXPECT_TRUE(results().run_record.case_lines.empty());
    EXPECT_FALSE(results_file_fingerprint(bad_path, carried));
}

namespace {

class DamagedHangerNotes : public ResultsBadFileTest {};

}  // namespace

// A note of the hanger design that is no number, names a row or node the
// model's hanger is not at, gives a negative size's load or variation
// allowed, holds what its reason does not (a load that is upward for "no
// upward load", sizes around the load or a design where no spring was
// looked for, no variation for a reason of the springs), or is given twice,
// is refused as the file's other damage is, even with its check made anew.
TEST_F(DamagedHangerNotes, NoNumberAnotherRowOrNodeOrANegativeValueIsRefused)
{
    const HangerNote sound{hanger_row(), 50, HangerNoteReason::VariationTooLarge, true, 215.5f, 0.125f, 0.0f, 0.0f,
                           25, "Grinnell"};
    const auto with_note = [&](const std::function<void(HangerNote&)>& damage) {
        std::vector<HangerNote> notes = {sound};
        damage(notes[0]);
        return sealed(with_record({}, &notes, sha256("model file")));
    };
    write_bytes(bad_path, with_note([](HangerNote&) {}));
    ASSERT_EQ(read_message(bad_path), "<nothing thrown>");
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const std::vector<std::pair<const char*, std::function<void(HangerNote&)>>> damaged = {
        {"load NaN", [&](HangerNote& n) { n.load = nan; }},
        {"travel Inf", [&](HangerNote& n) { n.travel = -inf; }},
        {"size NaN", [&](HangerNote& n) { n.below = nan; }},
        {"size negative", [](HangerNote& n) { n.above = -1.0f; }},
        {"row of a restraint", [](HangerNote& n) { n.row = 2; }},
        {"row beyond the model", [](HangerNote& n) { n.row = 1000; }},
        {"another node", [](HangerNote& n) { n.node = std::numeric_limits<int32_t>::min(); }},
        {"negative percent", [](HangerNote& n) { n.percent = std::numeric_limits<int32_t>::min(); }},
        {"percent past 99", [](HangerNote& n) { n.percent = 100; }},
        {"upward load with no upward load",
         [](HangerNote& n) {
             n.reason = HangerNoteReason::NoUpwardLoad;
             n.designed = false;
             n.percent = 0;
         }},
        {"sizes around where a range holds", [](HangerNote& n) { n.below = 200.0f; }},
        {"no variation for the springs", [](HangerNote& n) { n.percent = 0; }},
        {"designed with no constant size",
         [](HangerNote& n) {
             n.reason = HangerNoteReason::NoConstantSize;
             n.percent = 0;
         }}};
    for (const auto& [what, damage] : damaged)
        EXPECT_EQ(refused(with_note(damage)), MISMATCH) << what;
    const std::vector<HangerNote> twice = {sound, sound};
    EXPECT_EQ(refused(sealed(with_record({}, &twice, sha256("model file")))), MISMATCH) << "noted twice";
}

namespace {

class ResultsFileChecked : public ResultsBadFileTest {};

}  // namespace

// Any one byte changed, whatever it is, refuses the whole file before
// anything of it is read: from the header's last character (the magic and
// the version before it have their own messages) to the check itself. The
// same file as the version before wrote it, without a check, still opens.
TEST_F(ResultsFileChecked, EveryByteChangedAloneIsRefused)
{
    read_results(results_path);
    const std::vector<int64_t> before = marks();
    const std::string damaged = results_damaged_text(bad_path);
    for (std::size_t at = 0; at < good.size(); ++at)
        for (const unsigned flip : {0x01u, 0x80u, 0xffu}) {
            std::vector<char> bytes = good;
            bytes[at] = static_cast<char>(static_cast<unsigned char>(bytes[at]) ^ flip);
            write_bytes(bad_path, bytes);
            const std::string message = read_message(bad_path);
            if (at >= RESULTS_HEADER_SIZE - 1)
                ASSERT_EQ(message, damaged) << "byte " << at << " ^ " << flip;
            else
                ASSERT_NE(message, "<nothing thrown>") << "byte " << at << " ^ " << flip;
        }
    EXPECT_EQ(marks(), before);
    EXPECT_EQ(results().path, results_path);
    write_bytes(bad_path, as_1023());
    EXPECT_EQ(read_message(bad_path), "<nothing thrown>");
    EXPECT_EQ(results().version, RESULTS_FILE_VERSION_WITHOUT_CHECK);
}

// Saving the model again puts its file's fingerprint in its results and
// makes their check anew; a damaged file is not made whole by it.
TEST_F(ResultsFileChecked, StampingKeepsTheCheckOfADamagedFile)
{
    const Sha256Digest saved = sha256("saved again");
    restamp_results_fingerprint(results_path, saved);
    ASSERT_EQ(read_message(results_path), "<nothing thrown>");
    EXPECT_EQ(results().run_record.model_fingerprint, saved);
    close_results();

    std::vector<char> bytes = file_bytes(results_path);
    bytes[RESULTS_HEADER_SIZE + 4] ^= 0x10;
    write_bytes(bad_path, bytes);
    EXPECT_EQ(thrown_text([&] { restamp_results_fingerprint(bad_path, sha256("another")); }),
              results_damaged_text(bad_path));
    EXPECT_EQ(file_bytes(bad_path), bytes);
    EXPECT_EQ(read_message(bad_path), results_damaged_text(bad_path));
}
