// The batch export names every display unit that its file does not carry:
// the model read back from the file is the judge of what a unit reads back
// as, quantity by quantity, in every unit and unit form.
#include "batch_fixture.h"
#include "exchange/batch_export.h"
#include "framework/app_state.h"
#include "model/model_file.h"

#include <cstdlib>

namespace batch_test {
namespace {

const std::string MODEL = "UNITS\n\nOPTIONS\nB313,IN\nMATERIAL\nCS,0.283\nCS,70,29.5E6,6.07E-6,20000\n"
                          "PIPE\nP6,6.625,0.28\nLAYOUT\nF10,MCS,PP6\nT20,X120,KA\nT30,Y60\n";

class ExportUnitsWarned : public BatchTest {
protected:
    void TearDown() override
    {
        ::unsetenv("EXPORT_INCHES");
        read_env_switches();
        BatchTest::TearDown();
    }
    // The export of the model with `shown` as the units shown; its text and
    // what it warns of.
    static std::string exported(const UnitChoices& shown, BatchExportReport& report)
    {
        unit_choice() = shown;
        return batch_export_text({}, &report);
    }
    // The units that the model read back from `text` shows.
    static UnitChoices read_back(const std::string& text)
    {
        reset_model();
        clear_model_sections();
        reset_unit_choice();
        EXPECT_EQ(import_batch_error(text), "");
        const UnitChoices units = unit_choice();
        reset_model();
        clear_model_sections();
        import_batch_error(MODEL);
        return units;
    }
};

TEST_F(ExportUnitsWarned, InchesInLbAndRadiansAreNamedWithWhatTheModelReadBackShows)
{
    import_ok(MODEL);
    UnitChoices shown = unit_choice();
    shown[LENGTH] = 2;   // inch, without EXPORT_INCHES
    shown[ANGLE] = 1;    // rad
    shown[MOMENT] = 1;   // in-lb
    BatchExportReport report;
    const std::string text = exported(shown, report);
    EXPECT_EQ(unit_choice(), shown);
    const std::vector<std::string> names = {
        "length in inch is read back in ft-in (the environment variable EXPORT_INCHES keeps inch)",
        "angle in rad is read back in deg", "moment in in-lb is read back in ft-lb"};
    EXPECT_EQ(report.entries[NC_DISPLAY_UNITS].names, names);
    EXPECT_EQ(report.entries[NC_DISPLAY_UNITS].count, 3);
    EXPECT_EQ(report.message(), "The batch file leaves out:\ndisplay units the file does not carry, which the model "
                                "read back shows in others: 3 (" +
                                    names[0] + "; " + names[1] + "; " + names[2] + ")");
    // The model read back shows what the warning says.
    const UnitChoices back = read_back(text);
    EXPECT_EQ(back[LENGTH], 0);
    EXPECT_EQ(back[ANGLE], 0);
    EXPECT_EQ(back[MOMENT], 0);

    // With EXPORT_INCHES the file carries inch: only the others are named.
    ::setenv("EXPORT_INCHES", "1", 1);
    read_env_switches();
    BatchExportReport inch;
    const std::string inch_text = exported(shown, inch);
    EXPECT_EQ(inch.entries[NC_DISPLAY_UNITS].names, std::vector<std::string>(names.begin() + 1, names.end()));
    EXPECT_EQ(read_back(inch_text)[LENGTH], 2);

    // Units the file gives as they are shown: nothing to name.
    shown[ANGLE] = 0;
    shown[MOMENT] = 0;
    BatchExportReport clean;
    exported(shown, clean);
    EXPECT_TRUE(clean.empty()) << clean.message();
}

TEST_F(ExportUnitsWarned, EveryUnitOfEveryQuantityIsNamedExactlyWhenItReadsBackOtherwise)
{
    // From the English units (feet and inches) and from the SI set (mm),
    // each quantity in turn takes each of its units; the unit is named, with
    // the unit read back, when and only when the model read back from the
    // file shows another.
    import_ok(MODEL);
    int named = 0, sweeps = 0;
    for (bool si : {false, true}) {
        for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q) {
            for (int u = 0; u < unit_count(q); ++u) {
                reset_unit_choice();
                if (si)
                    set_batch_si_units();
                UnitChoices shown = unit_choice();
                shown[q] = u;
                BatchExportReport report;
                const UnitChoices back = read_back(exported(shown, report));
                std::vector<std::string> changed;
                for (int k = 1; k <= NUM_UNIT_QUANTITIES; ++k)
                    if (back[k] != shown[k])
                        changed.push_back(" in " + unit_name(k, shown[k]) + " is read back in " + unit_name(k, back[k]));
                const std::vector<std::string>& names = report.entries[NC_DISPLAY_UNITS].names;
                ASSERT_EQ(names.size(), changed.size()) << "quantity " << q << " unit " << u << (si ? " from SI" : "");
                for (std::size_t i = 0; i < names.size(); ++i)
                    EXPECT_NE(names[i].find(changed[i]), std::string::npos) << names[i] << " /" << changed[i];
                named += static_cast<int>(names.size());
                ++sweeps;
            }
        }
    }
    // The sweep met every unit from both unit sets, and named many of them.
    EXPECT_GT(sweeps, 100);
    EXPECT_GT(named, 60);
}

}  // namespace
}  // namespace batch_test
