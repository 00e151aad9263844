// A buried line 480 diameters below the ground of a sand, from its batch file
// (seed_batch_files.h) to the
// Soil Restraints table: the transverse soil stiffness of each element is
// the guideline's, worked out here, and above 0; the run says once that the
// factor of its transverse springs is held at the end of its fitted range.
#include "analysis/ui/analysis_ui.h"
#include "exchange/data/seed_batch_files.h"
#include "exchange_fixture.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/table.h"
#include "model/model.h"
#include "model/ui/model_commands.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"
#include "results/ui/soil_acceleration_tables.h"

#include <string>

namespace {

class BuriedDeepCover : public ExchangeProgramTest {
protected:
    void TearDown() override
    {
        terminate_results();
        ExchangeProgramTest::TearDown();
    }
};

}  // namespace

TEST_F(BuriedDeepCover, SoilRestraintsTableShowsTheTransverseStiffnessOfALineFarBelowTheGround)
{
    script().answer_file(write("deep.mbf", seed_batch_files::DEEP_COVER));
    ASSERT_TRUE(run_command(CMD_IMPORT));
    set_model_file_path(path("deep.mod"));
    ASSERT_TRUE(save_model(0));
    ASSERT_TRUE(analyze_command(0));
    // The warning before the run names the soil and the depth once.
    EXPECT_EQ(script().last_message(),
              "The model is analysed as follows:\n"
              "Soil S1: 2 buried elements lie deeper than the transverse factor Nqh of the soil springs is fitted for "
              "(H/D up to 10; H/D 480 from node 10 to node 20): they take the factor of H/D 10");
    open_results();
    hb->run_loop();
    ASSERT_TRUE(in_results());
    results_hooks().show[RESULT_SOIL_RESTRAINTS]();
    TableWindow& t = soil_restraints_table();

    // ALA (2001) B.2 for phi 30 at H/D 10, where its fit ends:
    // Nqh = 4.565 + 1.234 x - 0.089 x^2 + 4.275e-3 x^3 - 9.159e-5 x^4.
    // Pu = Nqh gamma H D reached at 0.10 D: k = Nqh gamma H / 0.1 per inch
    // of pipe, 240 in an element.
    const double x = 10, nqh = 4.565 + 1.234 * x - 0.089 * x * x + 4.275e-3 * x * x * x - 9.159e-5 * x * x * x * x;
    const double gamma = 120.0 / 1728.0, h = 3180.0, length = 240.0;
    const double k = nqh * gamma * h / 0.1 * length;
    for (int row = 1; row <= 2; ++row) {
        const std::string cell = t.cell_text(row, 7, 0);
        SCOPED_TRACE(cell);
        EXPECT_GT(std::stod(cell), 0.0);
        EXPECT_NEAR(std::stod(cell) / k, 1.0, 5e-4);   // shown to 4 digits
    }
}
