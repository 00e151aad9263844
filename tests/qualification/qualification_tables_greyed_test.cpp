// While results are open, the Misc menus grey every empty model table, the
// equipment's as the beams': the sample has no beams, pumps, compressors,
// turbines or allowables, and has materials.
#include "framework/app_state.h"
#include "qualification/qualification_program_fixture.h"

#include <filesystem>

class QualificationTablesGreyed : public QualificationProgramTest {};

TEST_F(QualificationTablesGreyed, TheEmptyEquipmentTablesAreGreyedAsTheBeamTables)
{
    const std::filesystem::path built = std::filesystem::path(KV_PROGRAM_PATH).parent_path();
    for (const char* name : {"sample.mod", "sample.res"})
        std::filesystem::copy_file(built / name, folder / name);
    open_by_extension(path("sample.mod"));
    open_results();
    hb->run_loop();
    ASSERT_TRUE(in_results());
    for (Frame* f : {&main_frame(), &list_frame()}) {
        for (int id : {CMD_BEAM_MATERIALS, CMD_PUMPS, CMD_COMPRESSORS, CMD_TURBINES, CMD_ALLOWABLES})
            EXPECT_FALSE(f->menu.is_enabled(id)) << id;
        EXPECT_TRUE(f->menu.is_enabled(CMD_MATERIALS));
    }
}
