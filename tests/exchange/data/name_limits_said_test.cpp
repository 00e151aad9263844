// A batch file's name is refused for what is wrong with it, its length
// counted in characters: letters outside ASCII within the limit are refused
// as letters, and a spectrum's name, which takes any, when its field of 32
// bytes cannot keep them.
#include "exchange/data/batch_fixture.h"
#include "model/model_file.h"

#include <array>

using namespace batch_test;

class NameLimitsSaid : public BatchTest {};

TEST_F(NameLimitsSaid, BatchNamesAreRefusedForTheirLettersNotTheirBytes)
{
    // Ж (D0 96), Ω (CE A9), 漢 (E6 BC A2): 3 characters in 8 bytes (RFC 3629).
    const std::string ab = "\xD0\x96\xCE\xA9", letters = ab + "\xE6\xBC\xA2", alpha = " name should be alpha-numeric :  ";
    std::string zhe17;   // 17 characters of 32, 34 bytes of 32
    for (int i = 0; i < 17; ++i)
        zhe17 += "\xD0\x96";
    const std::array<std::string, 3> cases[] = {   // section, line, message
        {"MATERIAL", letters, "Material" + alpha + letters}, {"SOILS", ab, "Soil" + alpha + ab},
        {"PIPE", letters, "Section" + alpha + letters}, {"LOADS", letters, "Load" + alpha + letters},
        {"BMATERIALS", letters, "Beam Material" + alpha + letters},
        {"BSECTIONS", letters, "Beam Section" + alpha + letters}, {"BLOADS", letters, "Beam Load" + alpha + letters},
        {"LAYOUT", "T10,CSPECX=" + zhe17, "Spectrum name is too long: the file keeps 32 bytes of it, and a letter "
                                          "outside ASCII takes 2 to 4 of them :  SPECX=" + zhe17}};
    for (const auto& [section, line, message] : cases) {
        reset_model();
        clear_model_sections();
        EXPECT_EQ(import(section + "\n" + line + "\n"), line_error(2, line, message));
    }
}
