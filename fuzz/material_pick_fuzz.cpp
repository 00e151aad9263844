// Reading a material library file and picking its records into the sample
// model's material as the Library command does. A refused file is a message;
// the records of an accepted one hold only finite numbers, and the model
// they were picked into shows in every table, saves, reads back and saves
// again byte for byte.
#include "framework/errors.h"
#include "harness/fuzz_program.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/pipe_material_library.h"
#include "model/ui/layout_window.h"
#include "platform/headless/headless_backend.h"

#include <cmath>
#include <cstdint>

namespace {

void expect_finite_records(const MaterialLibraryContents& library)
{
    for (const PipeMaterial& m : library.records) {
        bool finite = std::isfinite(m.nu) && std::isfinite(m.density) && std::isfinite(m.joint_factor) &&
                      std::isfinite(m.circ_joint_factor) && std::isfinite(m.strength);
        for (const PropertyRow& r : m.table)
            for (float v : r)
                finite = finite && std::isfinite(v);
        if (!finite)
            finding("a library record holds a value that is not a finite number");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = (start_program(), true);
    (void)started;
    read_sample_model();
    const std::string path = scratch_path("input.mat");
    write_file(path, data, size);
    MaterialLibraryContents read;
    try {
        read = read_material_library_file(path);
    } catch (const MessageText&) {
        return 0;
    }
    expect_finite_records(read);
    material_library() = MaterialLibrary{};
    material_library().path = path;
    material_library().code = read.code;
    material_library().units = read.units;
    material_library().records = read.records;
    // Each of the first records in turn, as a user picks it in the library
    // table (down arrows, Enter), into the model's first material.
    Script& script = headless_backend().script();
    for (int pick = 1; pick <= read.records.size() && pick <= 4; ++pick) {
        script.once("LIBRARY_USE_DIALOG", [&script, pick](HeadlessDialog& d) {
            const WindowId table = d.control(LIBUSE_TABLE)->client;
            for (int i = 1; i < pick; ++i)
                script.key(table, KEY_DOWN);
            script.key(table, KEY_RETURN);
        });
        try {
            pick_material_from_library(0, 1);
        } catch (const MessageText&) {
            // A record the program refuses to use, with its message.
        }
        run_posted_calls();
    }
    expect_finite_document("library pick");
    show_every_table();
    expect_saves_and_reads_back("library pick");
    return 0;
}
