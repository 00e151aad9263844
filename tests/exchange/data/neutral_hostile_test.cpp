// Neutral files as transit and hand editing leave them: each fixture cut
// after every line, every line halved, and bytes flipped at seeded places.
// Whatever the file, the import either takes it or refuses it with a
// message that names a line, and a refused file changes nothing: the model
// is empty and the unit choices, piping code and options are as they were.
#include "exchange/cii_build.h"
#include "exchange/data/cii_model_fixture.h"
#include "exchange/data/neutral_fixture.h"
#include "exchange/data/neutral_samples.h"
#include "loads/pipe_load.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"

#include <cmath>
#include <random>
#include <sstream>

namespace neutral_test {
namespace {

// Every line of the text cut to its first half.
std::string halve_line(const std::string& text, std::size_t n)
{
    std::istringstream in(text);
    std::string out;
    std::string line;
    for (std::size_t i = 0; std::getline(in, line); ++i)
        out += (i == n ? line.substr(0, line.size() / 2) : line) + "\n";
    return out;
}

class NeutralHostile : public NeutralTest {
protected:
    // Imports the text with settings that a refusal must give back.
    void expect_taken_or_refused_cleanly(const std::string& text, bool caesar)
    {
        reset_unit_choice();
        unit_choice()[LENGTH] = 3;
        unit_choice()[PRESSURE] = 4;
        piping_code() = CODE_Z662;
        analysis_options().z_vertical = true;
        analysis_options().reference_temperature = 55.0f;
        const UnitChoices units = unit_choice();
        const AnalysisOptions options = analysis_options();
        const std::string error = caesar ? import_cii(text) : import_pnf(text);
        if (error.empty()) {
            ++taken_;
            if (caesar) {
                EXPECT_LE(notes_.count(CII_SHORT_LINES), 1);
            }
            // What was taken holds numbers only.
            for (const LayoutRow& r : model().rows)
                ASSERT_TRUE(std::isfinite(r.dx) && std::isfinite(r.dy) && std::isfinite(r.dz));
            return;
        }
        ++refused_;
        const bool names_line = error.rfind(caesar ? "line = " : "Line = ", 0) == 0 ||
                                error == "Maximum number of elements exceeded";
        EXPECT_TRUE(names_line) << error;
        EXPECT_EQ(numrows(), 0) << error;
        EXPECT_EQ(nummats(), 0);
        EXPECT_EQ(numsections(), 0);
        EXPECT_EQ(numloads(), 0);
        EXPECT_EQ(unit_choice(), units) << error;
        EXPECT_EQ(piping_code(), CODE_Z662);
        EXPECT_EQ(analysis_options(), options) << error;
    }

    void cut_after_every_line(const std::string& text, bool caesar)
    {
        expect_taken_or_refused_cleanly("", caesar);
        for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', end + 1)) {
            SCOPED_TRACE(end);
            expect_taken_or_refused_cleanly(text.substr(0, end + 1), caesar);
        }
    }

    // Lines the format skips whatever they hold are left whole.
    void halve_every_line(const std::string& text, bool caesar)
    {
        std::istringstream in(text);
        std::string line;
        for (std::size_t n = 0; std::getline(in, line); ++n) {
            if (line.rfind("   SKIPPED", 0) == 0)
                continue;
            SCOPED_TRACE(n);
            expect_taken_or_refused_cleanly(halve_line(text, n), caesar);
        }
    }

    // `count` copies with one to four bytes changed at seeded places.
    void flip_bytes(const std::string& text, bool caesar, unsigned seed, int count)
    {
        std::mt19937 random(seed);
        for (int i = 0; i < count; ++i) {
            std::string changed = text;
            const int flips = 1 + static_cast<int>(random() % 4);
            for (int f = 0; f < flips; ++f) {
                const std::size_t at = random() % changed.size();
                changed[at] = static_cast<char>(random() % 256);
            }
            SCOPED_TRACE(i);
            expect_taken_or_refused_cleanly(changed, caesar);
        }
    }

    int taken_ = 0;
    int refused_ = 0;
};

TEST_F(NeutralHostile, PipePakFileCutAfterEveryLine)
{
    cut_after_every_line(HOSTILE_PNF, false);
    EXPECT_GT(taken_, 0);
    // The cut before the last line's pipe row is refused: BELLOW needs its pipe.
    EXPECT_GE(refused_, 0);
}

TEST_F(NeutralHostile, PipePakFileWithEachLineHalved)
{
    halve_every_line(HOSTILE_PNF, false);
    EXPECT_GT(refused_, 0);
}

TEST_F(NeutralHostile, PipePakFileWithSeededByteFlips)
{
    flip_bytes(HOSTILE_PNF, false, 20240611, 300);
    EXPECT_GT(refused_, 0);
    EXPECT_GT(taken_, 0);
}

// The model of the version tests with fewer restraint and SIF records.
cii_test::CiiFile hostile_cii(double version, const cii_test::FileScale& scale)
{
    cii_test::CiiFile f = cii_test::rich_file(version, scale);
    f.restraints.resize(2);
    f.sifs.resize(2);
    return f;
}

TEST_F(NeutralHostile, CaesarFileCutAfterEveryLine)
{
    // A file that ends before its last section is refused; without COORDS it is taken.
    cut_after_every_line(hostile_cii(10.0, cii_test::english_scale()).text(), true);
    EXPECT_GT(refused_, 200);
    EXPECT_GE(taken_, 1);
    taken_ = refused_ = 0;
    cut_after_every_line(hostile_cii(4.5, cii_test::celsius_scale()).text(), true);
    EXPECT_GE(taken_, 1);
}

TEST_F(NeutralHostile, CaesarFileWithEachLineHalved)
{
    // The first elements, with the records of every kind.
    cii_test::CiiFile f = hostile_cii(5.25, cii_test::english_scale());
    f.elements.resize(9);
    f.reducers.resize(1);
    halve_every_line(f.text(), true);
    // A line of values cut in half reads the values it lost as 0 (the
    // closing note names it); a head cut in half, or a value cut to what is
    // no number, refuses the file.
    EXPECT_GT(refused_, 20);
    EXPECT_GT(taken_, 100);
}

TEST_F(NeutralHostile, CaesarFileWithSeededByteFlips)
{
    flip_bytes(hostile_cii(8.5, cii_test::celsius_scale()).text(), true, 7, 150);
    EXPECT_GT(refused_, 0);
}

}  // namespace
}  // namespace neutral_test
