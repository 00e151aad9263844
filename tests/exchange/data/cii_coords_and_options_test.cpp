// What a CAESAR II import keeps against the file, and says so in its
// closing note: a COORDS place more than 1 mm from where the elements put
// its node, where the elements' place holds whatever order they come in,
// named with both places and the distance in the model's dimension unit;
// and the options the file turns off that the model keeps on, named with
// where they are turned off.
#include "exchange/cii_build.h"
#include "exchange/data/cii_bend_lines.h"
#include "exchange/data/cii_solve_fixture.h"
#include "exchange/data/neutral_samples.h"
#include "model/analysis_options.h"

namespace batch_test {
namespace {

using namespace cii_test;

class CiiCoordsDisagree : public CiiLineTest {
protected:
    // The line of COORDS entry k (from 0) of a text.
    static int coords_line_number(const std::string& text, int k)
    {
        return line_of(lines_of(text), "#$ COORDS") + 2 + k;
    }
};

TEST_F(CiiCoordsDisagree, PlacesMoreThanAMillimetreOffAreNamedAndTheElementsPlaceIsTaken)
{
    for (const bool reversed : {false, true}) {
        SCOPED_TRACE(reversed ? "written from 40 back" : "written from 10 on");
        const std::string text = coords_off_line(reversed).text();
        ASSERT_NO_FATAL_FAILURE(cii_ok(text));
        // Every node where the elements put it from 10, in inch.
        for (int k = 0; k < 4; ++k)
            expect_at(10 + 10 * k, {(1000 + 3000.0 * k) / MM, 0, 500 / MM});
        EXPECT_EQ(notes_.items(CII_COORDS_DISAGREE),
                  (std::vector<std::string>{
                      c_format("COORDS places node 20 at (4000, 3, 500) mm (line %d); its elements put it 3 mm away, "
                               "at (4000, 0, 500) mm: the elements' place is taken",
                               coords_line_number(text, 1)),
                      c_format("COORDS places node 30 at (7050, 0, 500) mm (line %d); its elements put it 50 mm "
                               "away, at (7000, 0, 500) mm: the elements' place is taken",
                               coords_line_number(text, 2))}));
        // The line is whole: no element ends away from its node.
        EXPECT_EQ(notes_.count(CII_OPEN_LOOPS), 0) << notes_.text("");
        EXPECT_EQ(model_check_refusal(), "");
    }
}

TEST_F(CiiCoordsDisagree, TheNoteShowsThePlacesInTheModelsDimensionUnit)
{
    // The same line in an English file (inch): node 30 given 2 in along X
    // from where its elements put it.
    CiiFile f = coords_off_line();
    f.units = english_factors();
    for (CiiElementRecord& e : f.elements)
        e.dx = 120, e.od = 6.625, e.wall = 0.28, e.density = 0.283;
    f.coords = {{10, 0, 0, 0}, {30, 242, 0, 0}, {40, 360, 0, 0.01}};
    const std::string text = f.text();
    ASSERT_NO_FATAL_FAILURE(cii_ok(text));
    EXPECT_EQ(notes_.items(CII_COORDS_DISAGREE),
              std::vector<std::string>{c_format("COORDS places node 30 at (242, 0, 0) inch (line %d); its elements put "
                                                "it 2 inch away, at (240, 0, 0) inch: the elements' place is taken",
                                                coords_line_number(text, 1))});
    // A file whose COORDS agree with its elements says nothing of them.
    f.coords = {{10, 0, 0, 0}, {40, 360, 0, 0}};
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    EXPECT_EQ(notes_.count(CII_COORDS_DISAGREE), 0);
}

// ---- Options ----------------------------------------------------------------------------------------

class CiiOptionsKept : public CiiLineTest {
protected:
    // A pipe anchored at both ends whose file turns the three options of
    // MISCEL_1 on or off.
    static std::string options_file(bool on)
    {
        CiiFile f = bent_line({10, 20}, {{0, 0, 0}, {120, 0, 0}});
        f.bourdon = f.liberal = f.pressure_correction = on;
        return f.text();
    }
};

TEST_F(CiiOptionsKept, OptionsTheFileTurnsOffThatTheModelKeepsOnAreNamedAndNoneThatItTurnsOn)
{
    // The model's defaults: the Bourdon effect and the pressure correction
    // on, liberal allowable stresses off.
    ASSERT_NO_FATAL_FAILURE(cii_ok(options_file(false)));
    EXPECT_TRUE(analysis_options().bourdon_effect);
    EXPECT_TRUE(analysis_options().pressure_correction);
    EXPECT_FALSE(analysis_options().liberal_allowable);
    EXPECT_EQ(notes_.items(CII_OPTIONS_KEPT),
              (std::vector<std::string>{"Include Bourdon effect", "Use pressure correction for bends"}));
    EXPECT_NE(notes_.text("").find("\nOptions the file turns off and the model keeps on (Options > Analysis Options "
                                   "turns them off): Include Bourdon effect, Use pressure correction for bends"),
              std::string::npos)
        << notes_.text("");

    // A model that keeps liberal allowable stresses on and the Bourdon
    // effect off (the options the import starts from): the first named, the
    // second kept off, which the file asks.
    analysis_options().liberal_allowable = true;
    analysis_options().bourdon_effect = false;
    ASSERT_NO_FATAL_FAILURE(cii_ok(options_file(false)));
    EXPECT_FALSE(analysis_options().bourdon_effect);
    EXPECT_EQ(notes_.items(CII_OPTIONS_KEPT),
              (std::vector<std::string>{"Use liberal allowable stresses", "Use pressure correction for bends"}));

    // A file that turns them on: each on, none named.
    analysis_options().bourdon_effect = analysis_options().pressure_correction = false;
    analysis_options().liberal_allowable = false;
    ASSERT_NO_FATAL_FAILURE(cii_ok(options_file(true)));
    EXPECT_TRUE(analysis_options().bourdon_effect);
    EXPECT_TRUE(analysis_options().pressure_correction);
    EXPECT_TRUE(analysis_options().liberal_allowable);
    EXPECT_EQ(notes_.count(CII_OPTIONS_KEPT), 0) << notes_.text("");
}

}  // namespace
}  // namespace batch_test
