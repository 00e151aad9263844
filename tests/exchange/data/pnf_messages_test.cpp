// Every message of the PipePak neutral file import for a crafted bad line,
// with its exact text and line number; and every refusal that mends a fault
// of the format's first reading. Each bad line follows a small sound model,
// so that the error names the line the file places it on.
#include "exchange/data/neutral_fixture.h"
#include "exchange/pnf_reader.h"
#include "loads/pipe_load.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"

namespace neutral_test {
namespace {

// Eight lines: English units, a material, a section, a run A-B with a bend
// at C and a leg to D, and a run E-F on a section S4.
const std::string HEAD = "UNIT ENGLISH\n"
                         "MATERIAL CS\n"
                         "PIPE S1 6 40 6.625 0.28\n"
                         "PIPE S4 4 40 4.5 0.237\n"
                         "FROM A 0 0 0 S1 CS\n"
                         "TO B 10 0 0\n"
                         "TO C 0 10 0 LONG\n"
                         "TO D 0 0 10\n";
constexpr int HEAD_LINES = 8;

struct BadLine {
    std::string line;
    std::string message;   // with " :  " and the word where the message names one
};

class PnfMessages : public NeutralTest {
protected:
    // Each line after the head is refused with its message at line 9; the
    // model is then empty.
    void expect_refused(const std::vector<BadLine>& cases)
    {
        for (const BadLine& c : cases) {
            SCOPED_TRACE(c.line);
            EXPECT_EQ(import_pnf(HEAD + c.line + "\n"), pnf_error(HEAD_LINES + 1, c.line, c.message));
            EXPECT_EQ(numrows(), 0);
            EXPECT_EQ(nummats(), 0);
        }
    }
};

TEST_F(PnfMessages, SectionLinesRefuseEachBadWord)
{
    expect_refused({
        {"UNIT", "Unit is required"},
        {"UNIT IMPERIAL", "Invalid UNIT Type :  IMPERIAL"},
        {"GLOBAL B31.3 HOT", "Invalid temperature :  HOT"},
        {"GLOBAL B31.3 100 * 1.2 * 25", "Invalid F factor :  *"},
        {"GLOBAL B31.3 100 1 0.5", "Invalid E factor :  0.5"},
        {"GLOBAL B31.3 100 1 1.2 2.5", "Invalid No. of dynamic loads :  2.5"},
        {"GLOBAL B31.3 100 1 1.2 3 -1", "Invalid cut-off frequency :  -1"},
        {"MATERIAL", "Material name is required"},
        {"MATERIAL STEEL1", "Material name should be <= 5 characters :  STEEL1"},
        {"MATERIAL C_S", "Material name should be alpha-numeric :  C_S"},
        {"MATERIAL SS * -0.1", "Invalid density :  -0.1"},
        {"MATERIAL SS * *", "Invalid density :  *"},
        {"MATERIAL SS * 0.29 0.5", "Invalid Poisson's ratio :  0.5"},
        {"ALLOWABLE CS WARM 20000", "Invalid temperature :  WARM"},
        {"ALLOWABLE CS 70 -5", "Invalid allowable stress :  -5"},
        {"ALLOWABLE CS 70", "Allowable stress is required :  70"},
        {"LOAD", "Load name is required"},
        {"LOAD HOTTER 300 100", "Load name should be <= 5 characters :  HOTTER"},
        {"LOAD L.1 300 100", "Load name should be alpha-numeric :  L.1"},
        {"LOAD L1", "T1 is required"},
        {"LOAD L1 -500 100", "Invalid T1 :  -500"},
        {"LOAD L1 300", "P1 is required"},
        {"LOAD L1 300 HIGH", "Invalid P1 :  HIGH"},
        {"LOAD L1 300 100 X", "Invalid T2 :  X"},
        {"LOAD L1 300 100 200 X", "Invalid P2 :  X"},
        {"LOAD L1 300 100 200 50 X", "Invalid T3 :  X"},
        {"LOAD L1 300 100 200 50 100 X", "Invalid P3 :  X"},
        {"PIPE", "Section name is required"},
        {"PIPE SIXINCH 6 40", "Section name should be <= 5 characters :  SIXINCH"},
        {"PIPE S#6 6 40", "Section name should be alpha-numeric :  S#6"},
        {"PIPE S6", "Pipe nominal size is required"},
        {"PIPE S6 6", "Pipe schedule size is required"},
        {"PIPE S6 6 40", "Pipe diameter is required"},
        {"PIPE S6 6 40 WIDE 0.28", "Invalid pipe diameter :  WIDE"},
        {"PIPE S6 6 40 0.0005 0.0001", "Invalid pipe diameter :  0.0005"},
        {"PIPE S6 6 40 6.625", "Pipe thickness is required"},
        {"PIPE S6 6 40 6.625 -0.28", "Invalid pipe thickness :  -0.28"},
        {"PIPE S6 6 40 6.625 0.00005", "Invalid pipe thickness :  0.00005"},
        {"PIPE S6 6 40 6.625 3.5", "Thickness is greater than radius"},
        {"PIPE S6 6 40 6.625 0.28 X", "Invalid corrosion allowance :  X"},
        {"PIPE S6 6 40 6.625 0.28 0.28", "Corrosion allowance is >= wall thickness"},
        {"PIPE S6 6 40 6.625 0.28 * X", "Invalid insulation thickness :  X"},
        {"PIPE S6 6 40 6.625 0.28 * 2 X", "Invalid insulation density :  X"},
    });
}

namespace {

using PnfSectionBoundsRoundTrip = PnfMessages;

}  // namespace

// The PipePak reader takes the walls the table, the model check and the
// batch reader take: 0.0005 in and the bound itself, 0.0001 in.
TEST_F(PnfSectionBoundsRoundTrip, ThePipePakReaderTakesTheWallsOfTheOtherPaths)
{
    for (const char* wall : {"0.0005", "0.0001"}) {
        SCOPED_TRACE(wall);
        EXPECT_EQ(import_pnf(HEAD + "PIPE S6 6 40 6.625 " + wall + "\n"), "");
        const int s = section_index("S6");
        ASSERT_NE(s, 0);
        EXPECT_FLOAT_EQ(pipe_sections()[s].thickness, std::stof(wall));
    }
}

TEST_F(PnfMessages, ElementLinesRefuseEachBadWord)
{
    expect_refused({
        {"TO E 1,5 0 0", "Invalid DX :  1,5"},
        {"TO E 1 Y 0", "Invalid DY :  Y"},
        {"TO E 1 0 Z", "Invalid DZ :  Z"},
        {"TO E 0 0 5 ROUND", "Invalid bend_radius :  ROUND"},
        {"TO E 0 0 5 0", "Invalid bend_radius :  0"},
        {"BSJ X SOFT", "Invalid stiffness ky :  SOFT"},
        {"VALVE A GATE HEAVY", "Invalid Valve weight :  HEAVY"},
        {"VALVE A GATE 100 X", "Invalid insulation factor :  X"},
        {"CUT A 0", "Cut value required"},
        {"CUT A SHORT", "Cut value required :  SHORT"},
        {"BELLOW A X", "Invalid bellows weight :  X"},
        {"BELLOW A 10 X", "Invalid bellows thrust area :  X"},
        {"BELLOW A 10 20 X", "Invalid axial stiffness :  X"},
        {"BELLOW A 10 20 * X", "Invalid lateral stiffness :  X"},
        {"BELLOW A 10 20 * * X", "Invalid bending stiffness :  X"},
        {"BELLOW A 10 20 * * * W X", "Invalid torsional stiffness :  X"},
    });
}

TEST_F(PnfMessages, SupportLinesRefuseEachBadWord)
{
    expect_refused({
        {"ANCHOR A * X", "Invalid stiffness kx :  X"},
        {"ANCHOR A * * X", "Invalid stiffness ky :  X"},
        {"ANCHOR A * * * X", "Invalid stiffness kz :  X"},
        {"ANCHOR A * * * * X", "Invalid rotational stiffness kxx :  X"},
        {"ANCHOR A * * * * * X", "Invalid rotational stiffness kyy :  X"},
        {"ANCHOR A * * * * * * X", "Invalid rotational stiffness kzz :  X"},
        {"ANCHOR A * * * * * * * X", "Invalid displacement x :  X"},
        {"ANCHOR A * * * * * * * 0 X", "Invalid displacement y :  X"},
        {"ANCHOR A * * * * * * * 0 0 X", "Invalid displacement z :  X"},
        {"ANCHOR A * * * * * * * 0 0 0 X", "Invalid rot. displacement x :  X"},
        {"ANCHOR A * * * * * * * 0 0 0 0 X", "Invalid rot. displacement y :  X"},
        {"ANCHOR A * * * * * * * 0 0 0 0 0 X", "Invalid rot. displacement z :  X"},
        {"LINESTOP B * X", "Invalid translational stiffness :  X"},
        {"ROTATIONAL B * X", "Invalid rotational stiffness :  X"},
        {"ROTATIONAL B * 100 *", "Invalid xcomp :  *"},
        {"ROTATIONAL B * 100 0 *", "Invalid ycomp :  *"},
        {"ROTATIONAL B * 100 0 0 *", "Invalid zcomp :  *"},
        {"SPRING B * X", "Invalid spring rate :  X"},
        {"SPRING B * 100 X", "Invalid cold load :  X"},
        {"CONSTANT B * W X", "Invalid cold load :  X"},
        {"GUIDE B * X", "Invalid spring rate :  X"},
        {"LIMITSTOP B * X", "Invalid stiffness :  X"},
        {"LIMITSTOP B * 100 X", "Invalid upper limit :  X"},
        {"LIMITSTOP B * 100 1 X", "Invalid lower limit :  X"},
        {"LIMITSTOP B * 100 1 1 X", "Invalid friction coefficient :  X"},
        {"LIMITSTOP B * 100 1 1 0 X", "Invalid xcomp :  X"},
        {"LIMITSTOP B * 100 1 1 0 0 X", "Invalid ycomp :  X"},
        {"LIMITSTOP B * 100 1 1 0 0 0 X", "Invalid zcomp :  X"},
        {"LIMITSTOP B * 100 -1", "Upper limit should be greater than the lower limit, or both limits 0"},
        {"ONEWAY B * +Y X", "Invalid friction coefficient :  X"},
        {"SNUBBER B * X", "Invalid spring rate :  X"},
        {"SNUBBER B * 100 *", "Invalid xcomp :  *"},
        {"SNUBBER B * 100 0 *", "Invalid ycomp :  *"},
        {"SNUBBER B * 100 0 0 *", "Invalid zcomp :  *"},
        {"SNUBBER B * 100", "Direction is invalid"},
        {"FLANGE B * WELD X HEAVY", "Invalid flange weight :  HEAVY"},
        {"FLANGE B * WELD X 10 WIDE", "Invalid gasket dia :  WIDE"},
        {"TEE B WELDING X", "Invalid pad thickness :  X"},
        {"TEE B WELDING * X", "Invalid crotch radius :  X"},
        {"TEE B EXTRUDED", "For Extruded Tee, crotch radius is required"},
        {"SIF B 0.9", "Invalid inplane SIF :  0.9"},
        {"SIF B 1.5 X", "Invalid out of plane SIF :  X"},
        {"FORCE B * *", "Invalid fx :  *"},
        {"FORCE B * 0 X", "Invalid fy :  X"},
        {"FORCE B * 0 0 X", "Invalid fz :  X"},
        {"FORCE B * 0 0 0 X", "Invalid mx :  X"},
        {"FORCE B * 0 0 0 0 X", "Invalid my :  X"},
        {"FORCE B * 0 0 0 0 0 X", "Invalid mz :  X"},
        {"WEIGHT B * *", "Invalid mass or weight :  *"},
        {"MASS B * -5", "Invalid mass or weight :  -5"},
    });
}

// The refusals that mend what the format's first reading let through.
TEST_F(PnfMessages, MendedRefusalsNameTheLineAndTheWord)
{
    expect_refused({
        // A name or comment longer than the model holds is refused, never cut.
        {"TO E 5 0 0 * SECTN6", "Section name should be <= 5 characters :  SECTN6"},
        {"TO E 5 0 0 * * STEEL1", "Material name should be <= 5 characters :  STEEL1"},
        {"COMMENT " + std::string(75, 'X') + " TOO LONG", "The comment is longer than 80 characters :  LONG"},
        // A number where the position word belongs has lost its field.
        {"FORCE B 100 0 0",
         "A position word (NEAR, FAR, a word for the middle of a bend or *) is required :  100"},
        {"RIGID B NEAR", "NEAR is allowed only at the node of a bend :  NEAR"},
        // A bend's own node is the corner of its tangents, no point of the pipe.
        {"FORCE C * 100", "The node is a bend's corner: NEAR, FAR or a word for the middle of the bend is required :  *"},
        {"RIGID C", "The node is a bend's corner: NEAR, FAR or a word for the middle of the bend is required"},
        {"RIGID B FAR", "FAR is allowed only at the node of a bend :  FAR"},
        {"GUIDE Q *", "Node is not defined :  Q"},
        // Second-pass lines.
        {"VALVE D", "No element starts at the node :  D"},
        {"VALVE B", "The element that starts at the node is not a pipe :  B"},
        {"CUT A -0.5", "Invalid cut value :  -0.5"},
        {"TEE B BRANCH", "For Branch Connection, radius is required: a TEE line cannot give it :  BRANCH"},
        {"TEE B UNREINFORCED -0.25", "Invalid pad thickness :  -0.25"},
        {"TEE B EXTRUDED * -0.5", "Invalid crotch radius :  -0.5"},
        {"FLANGE B * WELD X 10 -8", "Invalid gasket dia :  -8"},
        {"ONEWAY B *", "One-way direction is required (+X, -X, +Y, -Y, +Z or -Z)"},
        {"ONEWAY B * UP", "Invalid one-way direction :  UP"},
        {"ALLOWABLE CS 500 18000 70 20000", "Temperatures are not in ascending order"},
    });
}

TEST_F(PnfMessages, FaultyBytesAndLongLinesAreRefusedWithTheirLine)
{
    const std::string long_line = "COMMENT " + std::string(300, 'A');
    EXPECT_EQ(import_pnf(HEAD + long_line + "\nTO E 1 0 0\n"),
              pnf_error(9, long_line.substr(0, NEUTRAL_QUOTED_LINE) + "...",
                        "The line is longer than 255 characters"));
    // Not split into a further line: the line after it is still line 10.
    EXPECT_EQ(import_pnf(HEAD + "* " + std::string(250, 'A') + "\nTO E X 0 0\n"),
              pnf_error(10, "TO E X 0 0", "Invalid DX :  X"));
    EXPECT_EQ(import_pnf(HEAD + std::string("TO E 1\0 0 0\n", 12)),
              pnf_error(9, "TO E 1  0 0", "The line holds a NUL character"));
    EXPECT_EQ(import_pnf(HEAD + "TO E 1 \x01 0\n"),
              pnf_error(9, "TO E 1 \\x01 0", "The line holds a control character (0x01)"));
    // CR LF and CR alone end lines as LF does.
    std::string crlf, cr;
    for (char c : HEAD + "TO E X 0 0\n") {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        cr += c == '\n' ? '\r' : c;
    }
    EXPECT_EQ(import_pnf(crlf), pnf_error(9, "TO E X 0 0", "Invalid DX :  X"));
    EXPECT_EQ(import_pnf(cr), pnf_error(9, "TO E X 0 0", "Invalid DX :  X"));
    EXPECT_EQ(numrows(), 0);
}

TEST_F(PnfMessages, SevenThousandAndFirstRowIsRefused)
{
    std::string text = "FROM A 0 0 0\n";
    for (int i = 2; i <= MAXROWS; ++i)
        text += "TO N" + std::to_string(i) + " 1 0 0\n";
    ASSERT_NO_FATAL_FAILURE(pnf_ok(text));
    EXPECT_EQ(numrows(), MAXROWS);
    reset_model();
    clear_model_sections();
    EXPECT_EQ(import_pnf(text + "TO LAST 1 0 0\n"),
              pnf_error(MAXROWS + 1, "TO LAST 1 0 0", "Maximum number of rows exceeded"));
}

}  // namespace
}  // namespace neutral_test
