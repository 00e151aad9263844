// The exported files of a model whose texts hold control characters, a
// bidirectional override and bytes that are no UTF-8: the PCF and the
// hanger interface file (read by other programs) hold them as codes; the
// batch file, which the program reads back, refuses a title or a comment
// that holds them and writes a description with blanks in their place, so
// that what it writes reads back as it was written; its import refuses
// such a tag.
#include "batch_fixture.h"
#include "control_bytes.h"
#include "exchange/batch_export.h"
#include "exchange/hanger_interface_export.h"
#include "exchange/pcf_export.h"
#include "materials/pipe_material.h"
#include "supports/hanger.h"

namespace batch_test {
namespace {

// ESC with an OSC sequence that would retitle a terminal, BEL, a CSI
// sequence that would clear it, the 8-bit CSI (U+009B), a byte that is no
// UTF-8, the right-to-left override (U+202E) and an accented letter.
const std::string HOSTILE = "Unit 4\x1B]0;pwned\x07\x1B[2J\xC2\x9B" "31m\xFF\xE2\x80\xAE" "cba \xC3\xA9t\xC3\xA9";
// The same as a message or a report shows it: the codes of the bytes.
const std::string HOSTILE_SHOWN = "Unit 4\\x1B]0;pwned\\x07\\x1B[2J\\xC2\\x9B31m\\xFF\\xE2\\x80\\xAEcba \xC3\xA9t\xC3\xA9";

const std::string LINE = "Line\nOPTIONS\nB313,IN\nMATERIAL\nCS,0.283,0.3,1,1,CS,CARBON STEEL\nCS,70,29.5E6\n"
                         "PIPE\nP4,4.5,0.237\nLOADS\nL1,300,150\nLAYOUT\nF10,MCS,PP4,CL=L1\n"
                         "T20,X100,CVS=2,HTYP=16\nT30,X100,KA\n";

using ReportControlBytes = BatchTest;

}  // namespace

TEST_F(ReportControlBytes, ExportsHoldNoneRawAndTheBatchFileReadsBackAsWritten)
{
    import_ok(LINE);
    model_title() = HOSTILE;
    // The PCF's reference line holds the title as codes.
    const std::string pcf = pcf_export_text();
    EXPECT_EQ(raw_control_bytes(pcf), std::vector<std::string>{});
    EXPECT_NE(pcf.find("SYSTEM-ISOMETRIC-REFERENCE " + HOSTILE_SHOWN + "\n"), std::string::npos) << pcf;

    // The hanger interface file: a tag from a damaged model file as codes.
    Hanger& hanger = data<Hanger>(row_of(20));
    hanger.v.tag = "H\x1B[2J";
    hanger.v.design.figure = "B-268";
    hanger.v.design.size = "10";
    const std::string cli = hanger_interface_text();
    EXPECT_EQ(raw_control_bytes(cli), std::vector<std::string>{});
    EXPECT_NE(cli.find("\nH\\x1B[2J 2;"), std::string::npos) << cli;   // the tag and the count
    hanger.v.tag.clear();

    // The batch file refuses the title, as it refuses a tag of a control
    // character: written as codes it would read back as another title.
    try {
        (void)batch_export_text();
        ADD_FAILURE() << "the title was written";
    } catch (const MessageText& m) {
        EXPECT_NE(m.text.find("holds a control character or a byte that is not UTF-8; change the title"),
                  std::string::npos)
            << m.text;
    }
    // A comment row likewise, read from a batch file as it stood there.
    reset_model();
    clear_model_sections();
    import_ok(LINE + "* note\x07\n");
    EXPECT_THROW((void)batch_export_text(), MessageText);
    reset_model();
    clear_model_sections();
    import_ok(LINE);

    // A description goes with a blank for each such character, named in the
    // export's report, and reads back as it was written.
    pipe_materials()[1].description = "CS\x1B[2J\xC2\x9B" "A\xE2\x80\xAE";
    BatchExportReport report;
    const std::string text = batch_export_text({}, &report);
    EXPECT_EQ(raw_control_bytes(text), std::vector<std::string>{});
    EXPECT_EQ(report.entries[NC_MATERIAL_DESCRIPTION].rows, std::vector<int>{1});
    reset_model();
    clear_model_sections();
    import_ok(text);
    EXPECT_EQ(pipe_materials()[1].description, "CS [2J A ");
    BatchExportReport again;
    EXPECT_EQ(batch_export_text({}, &again), text);
}

// The batch import refuses a tag that holds a C1 control, a bidirectional
// override or a byte that is no UTF-8, as it refuses an ESC in a tag, and
// quotes it with its codes.
TEST_F(ReportControlBytes, BatchImportRefusesSuchATag)
{
    for (const std::string tag : {"A\x1B" "B", "A\xC2\x9B" "B", "A\xE2\x80\xAE" "B", "A\xFF" "B"}) {
        const std::string error = import(LINE + "T40,X100,KA,CTAG=" + tag + "\n");
        EXPECT_NE(error.find("Invalid Tag"), std::string::npos) << error;
    }
    import_ok(LINE + "T40,X100,KA,CTAG=\xC3\xA9t\xC3\xA9-7\n");
}

}  // namespace batch_test
