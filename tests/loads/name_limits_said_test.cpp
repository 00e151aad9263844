// The spectra table counts a name's characters: a name of letters outside
// ASCII is refused only when its file field of 32 bytes cannot keep it.
#include "loads/loads_ui_fixture.h"
#include "loads/ui/spectra_ui.h"

using namespace loads_test;

class NameLimitsSaid : public LoadsUiTest {};

TEST_F(NameLimitsSaid, SpectrumNamesCountTheirCharactersInTheTable)
{
    std::string zhe17;   // Ж is D0 96 (RFC 3629): 17 characters of 32, 34 bytes of 32
    for (int i = 0; i < 17; ++i)
        zhe17 += "\xD0\x96";
    open_spectra_table();
    cell(1, 1, zhe17);
    EXPECT_EQ(script().last_message(), "Spectrum name is too long: the file keeps 32 bytes of it, and a letter "
                                       "outside ASCII takes 2 to 4 of them");
    EXPECT_EQ(numspectrums(), 0);
    table_cancel_edit(shown());
    cell(1, 1, zhe17.substr(2));   // 32 bytes: taken whole
    ASSERT_EQ(numspectrums(), 1);
    EXPECT_EQ(spectra()[1].name, zhe17.substr(2));
}
