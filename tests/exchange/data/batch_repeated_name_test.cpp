// A name given twice in a batch file: the sets take a record by its first
// name, so a second record of the same name would be passed over without a
// word. Every section whose lines name the records of a set refuses the
// second one at its line, with the message its editor gives, and the import
// leaves an empty model.
#include "exchange/data/batch_fixture.h"
#include "loads/pipe_load.h"
#include "materials/pipe_material.h"
#include "model/model_file.h"

#include <vector>

using namespace batch_test;

namespace {

struct Repeated {
    const char* head;      // the section's head line
    const char* first;     // lines that name records, the first of them the name given again
    const char* again;     // a later line of the same name
    const char* message;
};

// One line of each named section, and the same name again with other values.
const Repeated NAMED_SECTIONS[] = {
    // A line of the current material's name is one of its temperature
    // lines: the name comes again after another material.
    {"MATERIAL", "CS,0.283,0.3\nCS,70,29E6\nSS,0.29", "CS,400,27E6", "Material =  CS  is already defined"},
    {"SOILS", "SA,1,120,0,500", "SA,1,110,0,400", "Soil =  SA  is already defined"},
    {"PIPE", "P6,6.625,0.28", "P6,6.625,0.432", "Section =  P6  is already defined"},
    {"LOADS", "OPER,350,150", "OPER,400,150", "Load =  OPER  is already defined"},
    {"BMATERIALS", "BM,29E6,0.3,0.283", "BM,28E6,0.3,0.283", "Material =  BM  is already defined"},
    {"BSECTIONS", "W8,10,100,50", "W8,12,120,60", "Section =  W8  is already defined"},
    {"BLOADS", "BL,100", "BL,200", "Beam load =  BL  is already defined"},
};

// "Line = <n> :  <line>\n<message>" and an empty model, or what was wrong.
void expect_refused_at(const std::string& text, int line, const std::string& quoted, const std::string& message)
{
    reset_model();
    clear_model_sections();
    EXPECT_EQ(import_batch_error(text), line_error(line, quoted, message)) << text;
    EXPECT_EQ(numrows(), 0) << text;
    EXPECT_EQ(numloads(), 0) << text;
}

class RepeatedName : public BatchTest {};

}  // namespace

TEST_F(RepeatedName, EveryNamedSectionRefusesANameGivenAgainAtItsLine)
{
    for (const Repeated& r : NAMED_SECTIONS) {
        // Next to each other, and apart: another record and a section between them.
        const std::string before = std::string("Title\n") + r.head + "\n" + r.first + "\n";
        const int lines = static_cast<int>(std::count(before.begin(), before.end(), '\n'));
        expect_refused_at(before + r.again + "\n", lines + 1, r.again, r.message);
        expect_refused_at(before + "OPTIONS\nB313\n" + r.head + "\n" + r.again + "\n", lines + 4, r.again, r.message);
    }
}

// The file: two loads named OPER. The rows would have taken the
// first; the second is refused at its line and nothing of the model remains.
TEST_F(RepeatedName, ALoadNamedTwiceIsRefusedAndTheFirstIsNotTakenSilently)
{
    const std::string text = "Loads\n"
                             "MATERIAL\nCS,0.283,0.3\nCS,70,29E6,6E-6,20000\n"
                             "PIPE\nP6,6.625,0.28\n"
                             "LOADS\nOPER,350,150\nOPER,400,150\n"
                             "LAYOUT\nF10,MCS,PP6,CL=OPER\nT20,X10-0\n";
    expect_refused_at(text, 9, "OPER,400,150", "Load =  OPER  is already defined");
    // Without the second line the rows take the one load.
    ASSERT_EQ(import_batch_error("Loads\nMATERIAL\nCS,0.283,0.3\nCS,70,29E6,6E-6,20000\nPIPE\nP6,6.625,0.28\n"
                                 "LOADS\nOPER,350,150\nLAYOUT\nF10,MCS,PP6,CL=OPER\nT20,X10-0\n"),
              "");
    EXPECT_EQ(numloads(), 1);
    EXPECT_FLOAT_EQ(pipe_loads()[1].temperature[1], 350.0f);
}

// Sets that share their names: a beam material may not take a pipe
// material's name, nor a beam section a pipe section's (and the other way).
// Temperature lines, which repeat their material's name, are no new record.
TEST_F(RepeatedName, NamesSharedWithAnotherSetAreRefusedTemperatureLinesAreNot)
{
    expect_refused_at("T\nMATERIAL\nCS,0.283\nBMATERIALS\nCS,29E6\n", 5, "CS,29E6",
                      "Material =  CS  is already defined as a pipe material");
    expect_refused_at("T\nBMATERIALS\nCS,29E6\nMATERIAL\nCS,0.283\n", 5, "CS,0.283",
                      "Material =  CS  is already defined as a beam material");
    expect_refused_at("T\nPIPE\nW8,8.625,0.322\nBSECTIONS\nW8,10,100,50\n", 5, "W8,10,100,50",
                      "Section =  W8  is already defined as a pipe section");
    expect_refused_at("T\nBSECTIONS\nW8,10,100,50\nPIPE\nW8,8.625,0.322\n", 5, "W8,8.625,0.322",
                      "Section =  W8  is already defined as a beam section");

    // A material's temperature lines follow it under its name; once another
    // material stands between, the name begins a second material.
    ASSERT_EQ(import_batch_error("T\nMATERIAL\nCS,0.283\nCS,70,29E6\nCS,400,27E6\nSS,0.29\nSS,70,28E6\n"), "");
    EXPECT_EQ(nummats(), 2);
    expect_refused_at("T\nMATERIAL\nCS,0.283\nCS,70,29E6\nSS,0.29\nCS,400,27E6\n", 6, "CS,400,27E6",
                      "Material =  CS  is already defined");
    // Loads of other sets may share a name: pipe and beam loads are apart.
    ASSERT_EQ(import_batch_error("T\nLOADS\nL1,300,0\nBLOADS\nL1,300\n"), "");
}
