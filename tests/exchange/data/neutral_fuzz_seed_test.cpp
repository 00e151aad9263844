// The seeds of the neutral file fuzz targets (fuzz/corpus/pnf, fuzz/corpus/cii)
// are the files the tests import, made here and compared byte for byte with
// the committed seeds (KV_UPDATE_GOLDEN=1 rewrites them). Each is also
// imported, so that fuzzing starts from files that are taken.
#include "exchange/cii_build.h"
#include "exchange/data/cii_bend_node_lines.h"
#include "exchange/data/cii_branch_lines.h"
#include "exchange/data/cii_model_fixture.h"
#include "exchange/data/neutral_fixture.h"
#include "exchange/data/neutral_samples.h"
#include "golden.h"

#include <filesystem>

namespace neutral_test {
namespace {

std::string seed_path(const std::string& folder, const std::string& name)
{
    return std::string(KV_SOURCE_DIR) + "/fuzz/corpus/" + folder + "/" + name;
}

// A CAESAR II file of the version with a record of every kind, kept small.
std::string seed_cii(double version, const cii_test::FileScale& scale)
{
    cii_test::CiiFile f = cii_test::rich_file(version, scale);
    f.elements.resize(12);
    f.restraints.resize(2);
    f.sifs.resize(2);
    return f.text();
}

class NeutralFuzzSeeds : public NeutralTest {};

TEST_F(NeutralFuzzSeeds, SeedsAreTheTestFilesAndAreTaken)
{
    const std::pair<std::string, std::string> pnf[] = {
        {"every_keyword_english.pnf", every_keyword_pnf("ENGLISH")},
        {"every_keyword_metric.pnf", every_keyword_pnf("METRIC")},
        {"every_keyword_si.pnf", every_keyword_pnf("SI")},
        {"most_kinds.pnf", HOSTILE_PNF},
        // A valve at the lowest insulation factor the model takes, a description in parentheses.
        {"valve_factor.pnf", "UNIT ENGLISH\nMATERIAL CS (CARBON STEEL) 0.283 0.3\nPIPE S6 6 40 6.625 0.28\n"
                             "FROM A 0 0 0 S6 CS\nTO B 10 0 0\nTO C 5 0 0\nVALVE B GATE 300 0.01\n"},
    };
    for (const auto& [name, text] : pnf) {
        SCOPED_TRACE(name);
        expect_golden_file_at(seed_path("pnf", name), text);
        EXPECT_EQ(import_pnf(text), "");
    }
    constexpr double FREE = cii_test::FREE_DISPLACEMENT;
    cii_test::CiiFile exported = cii_test::small_cii();
    exported.exporter_layout = true;
    exported.ambient = 50;
    const std::pair<std::string, std::string> cii[] = {
        {"v4_5_english.cii", seed_cii(4.5, cii_test::english_scale())},
        {"v5_1_celsius.cii", seed_cii(5.1, cii_test::celsius_scale())},
        {"v5_3_english.cii", seed_cii(5.3, cii_test::english_scale())},
        {"v10_celsius.cii", seed_cii(10.0, cii_test::celsius_scale())},
        {"small.cii", cii_test::small_cii().text()},
        // Laid out as public exporters write: three numbers on the version
        // line, six on the ambient line.
        {"exporter_layout.cii", exported.text()},
        // Displacements that leave DY and RZ free in every vector.
        {"free_displacement.cii", cii_test::anchored_pipe_cii({cii_test::Six{0.5, FREE, 0, 0, 0, FREE},
                                                               cii_test::Six{0, FREE, 0, 0, 0, FREE},
                                                               cii_test::Six{0, FREE, 0, 0, 0, FREE}})
                                      .text()},
        // As CAESAR II writes a line: six bends with their mid and 0-degree
        // nodes, Y restraints at two 0-degree nodes, the ends fixed by
        // displacements alone.
        {"v7_six_bends_fixed_by_displacements.cii", cii_test::six_bend_line().text()},
        // Insulation thicknesses, one without a density.
        {"v4_5_insulation_without_density.cii", cii_test::insulation_without_density_cii().text()},
        // Branches written from their free ends toward tees placed before
        // them, and a bend whose continuation comes later in the file.
        {"branches_from_free_ends.cii", cii_test::branch_file().text()},
        {"bend_continued_later.cii", cii_test::later_continuation_line().text()},
        // A drain into a bend's node written before the bend, a line that
        // ends in a bend with an anchor at its node, and COORDS places that
        // the elements do not agree with.
        {"drain_into_bend_node.cii", cii_test::drain_line(cii_test::DrainOrder::BeforeTheLine).text()},
        {"bend_at_line_end_anchored.cii", cii_test::bend_at_line_end().text()},
        {"coords_off_the_elements.cii", cii_test::coords_off_line(true).text()},
    };
    for (const auto& [name, text] : cii) {
        SCOPED_TRACE(name);
        expect_golden_file_at(seed_path("cii", name), text);
        EXPECT_EQ(import_cii(text), "");
        // Every element of these files ends where its to node stands.
        EXPECT_EQ(notes_.count(CII_OPEN_LOOPS), 0) << notes_.text("");
    }
}

}  // namespace
}  // namespace neutral_test
