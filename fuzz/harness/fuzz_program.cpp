#include "harness/fuzz_program.h"

#include "app/program_subsystems.h"
#include "exchange/batch_import.h"
#include "framework/errors.h"
#include "framework/qa_block.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/ui/shell.h"
#include "framework/ui/table.h"
#include "framework/units.h"
#include "materials/beam_material.h"
#include "materials/beam_section.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/property_set_checks.h"
#include "materials/soil.h"
#include "materials/ui/pipe_material_library.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/piping_codes.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/headless_printing.h"
#include "platform/threads.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The scratch folder of this process; removed when the process ends normally.
struct ScratchFolder {
    fs::path path;
    ScratchFolder()
    {
        const char* base = std::getenv("TMPDIR");
        path = fs::path(base && *base ? base : "/tmp") / ("korvane-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(path);
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

ScratchFolder& scratch()
{
    static ScratchFolder folder;
    return folder;
}

void expect_finite(float value, const std::string& what, const char* after)
{
    if (!std::isfinite(value))
        finding(std::string(after) + ": " + what + " is not a finite number");
}

}  // namespace

void finding(const std::string& what)
{
    std::fprintf(stderr, "\n*** Finding: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

void start_program(const MemorySettings* settings)
{
    if (app_started())
        app_shutdown();
    reset_all();
    HeadlessBackend& backend = install_headless_backend();
    if (settings)
        backend.memory_settings().values = settings->values;
    install_headless_print_service();
    // An internal check that fails is a finding: abort so the fuzzer keeps the input.
    set_assert_exit_handler([](int) { std::abort(); });
    set_numeric_c_locale();
    mark_main_thread();
    // The marker of a first run lies in the scratch folder; a first run opens nothing.
    set_program_folder(scratch().path.string());
    set_first_run_action(nullptr);
    register_program_subsystems();
    app_startup();
    run_posted_calls();
}

void new_model()
{
    close_model();
    reset_unit_choice();
    reset_piping_code();
    reset_analysis_options();
    reset_qa_block();
    reset_material_library();
    model_modified() = false;
    present_layout_window();
    run_posted_calls();
    headless_backend().script().reset();
}

void read_sample_model()
{
    new_model();
    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
    present_layout_window();
    run_posted_calls();
}

std::string scratch_path(const std::string& name)
{
    return (scratch().path / name).string();
}

void write_file(const std::string& path, const uint8_t* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out)
        finding("the scratch file " + path + " cannot be written");
}

std::vector<unsigned char> file_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<unsigned char> model_bytes()
{
    const std::string path = scratch_path("state.mod");
    try {
        write_model_file(path);
    } catch (const MessageText& m) {
        finding("the model cannot be saved: " + m.text);
    }
    return file_bytes(path);
}

void run_posted_calls()
{
    backend().process_events();
}

void expect_finite_document(const char* after)
{
    for (int i = 1; i <= numrows(); ++i) {
        const LayoutRow& r = model().rows[i];
        expect_finite(r.dx, c_format("row %d DX", i), after);
        expect_finite(r.dy, c_format("row %d DY", i), after);
        expect_finite(r.dz, c_format("row %d DZ", i), after);
    }
    const AnalysisOptions& o = analysis_options();
    for (float v : {o.seismic_coefficient, o.reference_temperature, o.peak_pressure_factor, o.default_temperature})
        expect_finite(v, "an analysis option", after);
    for (const PipeMaterial& m : pipe_materials()) {
        for (float v : {m.nu, m.density, m.joint_factor, m.circ_joint_factor, m.strength})
            expect_finite(v, "material " + m.name, after);
        for (const PropertyRow& r : m.table)
            for (float v : r)
                expect_finite(v, "a property row of material " + m.name, after);
    }
    for (const PipeSection& s : pipe_sections())
        for (float v : {s.outside_diameter, s.thickness, s.corrosion_allowance, s.mill_tolerance,
                        s.insulation_density, s.insulation_thickness, s.lining_density, s.lining_thickness})
            expect_finite(v, "section " + s.name, after);
    for (const BeamMaterial& m : beam_materials())
        for (float v : {m.E, m.nu, m.density, m.alpha})
            expect_finite(v, "beam material " + m.name, after);
    for (const BeamSection& s : beam_sections())
        for (float v : s.values)
            expect_finite(v, "beam section " + s.name, after);
    for (const Soil& s : soils())
        for (float v : {s.density, s.strength, s.delta, s.ks, s.ground_level})
            expect_finite(v, "soil " + s.name, after);
}

void expect_saves_and_reads_back(const char* after)
{
    const std::string first = scratch_path("first.mod");
    const std::string second = scratch_path("second.mod");
    try {
        write_model_file(first);
    } catch (const MessageText& m) {
        finding(std::string(after) + ": the model cannot be saved: " + m.text);
    }
    try {
        read_model(first);
    } catch (const MessageText& m) {
        finding(std::string(after) + ": the saved model does not read back: " + m.text);
    }
    try {
        write_model_file(second);
    } catch (const MessageText& m) {
        finding(std::string(after) + ": the model read back cannot be saved: " + m.text);
    }
    if (file_bytes(first) != file_bytes(second))
        finding(std::string(after) + ": the model read back saves other bytes than it was read from");
    present_layout_window();
    run_posted_calls();
}

void show_every_table()
{
    for (const DataList& list : data_lists()) {
        if (!list.open)
            continue;
        list.open();
        run_posted_calls();
        if (TableWindow* t = list_window_table()) {
            table_report_text(*t, false);
            table_report_text(*t, true);
        }
    }
    close_list_window();
    table_report_text(layout_table(), false);
    named_set_problems();
    run_posted_calls();
}

void expect_refused_or_sound(const char* what, const std::function<void()>& take)
{
    const std::vector<unsigned char> before = model_bytes();
    try {
        take();
    } catch (const MessageText&) {
        if (model_bytes() != before)
            finding(std::string("a refused ") + what + " changed the model");
        return;
    }
    expect_finite_document(what);
    show_every_table();
    expect_saves_and_reads_back(what);
}
