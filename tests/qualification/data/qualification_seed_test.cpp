// The seeds of the qualification files' fuzz target (fuzz/corpus/
// qualification/): files the program writes (a flange joint, a rectangular
// lug, nozzles of both methods and an EN data set of version 720), made here
// and compared byte for byte with the committed seeds (KV_UPDATE_GOLDEN=1
// rewrites them); each is read back as the target reads it.
#include "framework/units.h"
#include "golden.h"
#include "qualification/flange.h"
#include "qualification/lug.h"
#include "qualification/nozzle.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include <unistd.h>

namespace {

std::string seed(const std::string& name) { return std::string(KV_SOURCE_DIR) + "/fuzz/corpus/qualification/" + name; }

// Writes a file through the writer into a scratch file and checks it
// against the seed of the name.
void expect_seed(const std::string& name, const std::function<void(const std::string&)>& write)
{
    const std::string scratch =
        (std::filesystem::temp_directory_path() / ("korvane_seed_" + std::to_string(::getpid()) + "_" + name)).string();
    write(scratch);
    const std::string bytes = read_text_file(scratch);
    std::filesystem::remove(scratch);
    std::filesystem::create_directories(std::filesystem::path(seed(name)).parent_path());
    expect_golden_file_at(seed(name), bytes);
}

}  // namespace

TEST(NozzleQualificationFuzzSeeds, AreTheProgramsOwnFiles)
{
    UnitChoices si{};
    for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q)
        si[static_cast<std::size_t>(q)] = unit_count(q) - 1;
    expect_seed("joint.flg", [](const std::string& p) { write_flange_file(p, FlangeInput{}, UnitChoices{}); });
    LugInput lug;
    lug.Do = 10.75f;
    lug.T = 0.5f;
    lug.L1 = 1.0f;
    lug.L2 = 1.5f;
    lug.sh = 15000;
    lug.sy = 30000;
    lug.sa = 22500;
    lug.sustained.W = 500;
    lug.maxima.MT = 700;
    expect_seed("rectangular.lug", [&](const std::string& p) { write_lug_file(p, lug, si); });
    NozzleEvaluation en;
    en.R = 40;
    en.e = 0.5f;
    en.de = 6.625f;
    en.eb = 0.28f;
    en.d = 6.345f;
    en.ec = 0.9f;
    en.f = 20000;
    en.fb = 17000;
    expect_seed("en.noz", [&](const std::string& p) { write_nozzle_file(p, en, UnitChoices{}); });
    NozzleEvaluation wrc = en;
    wrc.method = NOZZLE_WRC537;
    wrc.spherical = 0;
    wrc.P = 5000;
    wrc.T = 1;
    wrc.Rm = 60;
    wrc.ro = 3.25f;
    wrc.r = 0.75f;
    wrc.allowable = 30000;
    expect_seed("wrc.noz", [&](const std::string& p) { write_nozzle_file(p, wrc, si); });
    // The 145-byte form of versions 720 to 809: the EN part of the same data set.
    expect_seed("old.noz", [&](const std::string& p) {
        write_nozzle_file(p, en, UnitChoices{});
        std::string b = read_text_file(p);
        std::string old(NOZZLE_OLD_FILE_SIZE, '\0');
        std::memcpy(old.data(), "KORVANEWNOZ7200", 15);
        old[16] = b[20];
        std::memcpy(old.data() + 17, b.data() + 21, 48);
        std::memcpy(old.data() + 65, b.data() + 137, 80);
        std::ofstream(p, std::ios::binary | std::ios::trunc) << old;
    });

    // Each seed is taken by its reader.
    EXPECT_EQ(read_flange_file(seed("joint.flg")).input, FlangeInput{});
    EXPECT_EQ(read_lug_file(seed("rectangular.lug")).input, lug);
    EXPECT_EQ(read_nozzle_file(seed("en.noz")).data, en);
    EXPECT_EQ(read_nozzle_file(seed("wrc.noz")).data, wrc);
    const NozzleFile old = read_nozzle_file(seed("old.noz"));
    EXPECT_EQ(old.version, 720);
    EXPECT_EQ(old.data, en);
}
