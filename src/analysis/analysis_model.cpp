#include "analysis/analysis_model.h"

#include "analysis/buried_piping.h"
#include "analysis/hanger_catalogue.h"
#include "analysis/load_case_steps.h"
#include "framework/sha256.h"
#include "analysis/model_check.h"
#include "analysis/results_file.h"
#include "elements/jacket_connections.h"
#include "framework/app_state.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "materials/property_set_checks.h"
#include "model/data_item.h"
#include "model/element_data.h"
#include "model/piping_codes.h"
#include "supports/hanger.h"

#include "platform/file_replace.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace {

struct AnalysisSession {
    bool stiffness_export = false;
    bool modal_forces_export = false;
};

// A model file's path with another ending in place of its extension,
// within the system's limits on names (a long ending on a long name).
std::string beside(const std::string& model_path, const std::string& ending)
{
    if (model_path.empty())
        return {};
    std::filesystem::path p(model_path);
    p.replace_extension();
    return path_beside(p.string(), ending);
}

std::string beside_model(const std::string& ending)
{
    return beside(model_file_path(), ending);
}

// The catalogues of the model's catalogue springs, read on this thread so
// that the run reads no file. A catalogue without data stops the run unless
// every hanger of it holds a design, which it then keeps.
std::shared_ptr<const HangerCatalogues> model_hanger_catalogues(const Model& m)
{
    auto catalogues = std::make_shared<HangerCatalogues>();
    catalogues->by_type.resize(HANGER_CATALOGUES + 1);
    std::vector<char> looked(HANGER_CATALOGUES + 1, 0);
    const std::vector<std::string> folders = hanger_catalogue_folders(model_file_path());
    for (const LayoutRow& r : m.rows) {
        const auto* h = dynamic_cast<const Hanger*>(r.data.get());
        if (!h || h->v.type < 1 || h->v.type > HANGER_CATALOGUES)
            continue;
        const auto type = static_cast<std::size_t>(h->v.type);
        if (!looked[type]) {
            catalogues->by_type[type] = find_hanger_catalogue(h->v.type, folders);
            looked[type] = 1;
        }
        if (!catalogues->by_type[type] && !h->holds_design())
            throw_message(no_catalogue_data_text(h->v.type));
    }
    return catalogues;
}

}  // namespace

AnalysisLoads current_analysis_loads()
{
    AnalysisLoads loads;
    if (const auto& fill = analysis_load_hooks().fill_loads)
        fill(loads);
    return loads;
}

bool& stiffness_export_requested()
{
    return session_part<AnalysisSession>().stiffness_export;
}

bool& modal_forces_export_requested()
{
    return session_part<AnalysisSession>().modal_forces_export;
}

std::string time_history_file_path()
{
    return beside_model(".rth");
}

std::string susceptibility_file_path()
{
    return beside_model(".rds");
}

std::string modal_forces_export_path()
{
    return beside_model("_modal_forces.csv");
}

std::string results_file_path()
{
    return beside_model(".res");
}

std::string stiffness_export_path()
{
    return beside_model("_K.csv");
}

namespace {

// The files a run writes beside a model file, each with the text its
// writer's failure begins with; after the model file in the order a run
// removes them (run_output_paths), the results file last.
struct RunOutput {
    const char* ending;   // after the model file's name without its extension
    const char* failure;
};
constexpr RunOutput RUN_OUTPUTS[] = {
    {".mod", "Unable to write model file:\n"},
    {".txt", "Unable to write txt file:\n"},
    {".rds", "Unable to write dynamic susceptibility file:\n"},
    {".rth", "Unable to write time history file:\n"},
    {".res", "Unable to write results file:\n"},
};

std::string output_path(const std::string& model_path, const RunOutput& output)
{
    return std::string_view(output.ending) == ".mod" ? model_path : beside(model_path, output.ending);
}

}  // namespace

std::vector<std::string> run_output_paths(const std::string& model_path)
{
    // All but the model file, in the table's order.
    std::vector<std::string> paths;
    for (const RunOutput& output : RUN_OUTPUTS)
        if (std::string_view(output.ending) != ".mod")
            paths.push_back(output_path(model_path, output));
    return paths;
}

void remove_run_outputs(const std::string& model_path)
{
    const std::string failed = "Unable to remove the results of the previous model:\n";
    bool removed = false;
    for (const std::string& path : run_output_paths(model_path)) {
        // A folder of that name is no run's output: its writer will say
        // that it is in the way.
        const int error = ::unlink(path.c_str()) == 0 ? 0 : errno;
        if (error != 0 && error != ENOENT && error != EISDIR)
            throw MessageText(with_reason(failed + path, system_reason(error)));
        removed = removed || error == 0;
    }
    // The removals reach the disk before the new model file's name does.
    if (std::string failure; removed && !flush_folder_of(model_path, failure))
        throw MessageText(with_reason(failed + folder_of(model_path), failure));
}

std::string run_outputs_refusal(const std::string& model_path, bool with_model, bool with_report)
{
    std::string first_failure;
    for (const RunOutput& output : RUN_OUTPUTS) {
        const std::string_view ending = output.ending;
        if ((ending == ".mod" && !with_model) || (ending == ".txt" && !with_report))
            continue;
        const std::string path = output_path(model_path, output);
        std::error_code ec;
        const std::string refusal =
            std::filesystem::is_directory(path, ec) ? system_reason(EISDIR) : write_refusal(path);
        if (!refusal.empty())
            return with_reason(output.failure + path, refusal);
        if (first_failure.empty())
            first_failure = output.failure + path;
    }
    // The temporary files are made in the model file's folder: where none
    // can be made, the first file fails as its writer would say.
    const std::string folder = folder_of(model_path).empty() ? "." : folder_of(model_path);
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return with_reason(first_failure, system_reason(errno));
    return {};
}

void remove_stale_run_temporaries(const std::string& model_path)
{
    for (const RunOutput& output : RUN_OUTPUTS)
        remove_stale_temporaries(output_path(model_path, output));
}

std::unique_ptr<AnalysisModel> make_analysis_model()
{
    if (model_rebuild_needed())
        make_model();
    // The element records again, with the names of bends' own materials checked.
    build_element_records(true);

    auto snapshot = std::make_unique<AnalysisModel>();
    AnalysisModel& s = *snapshot;
    s.model = model();
    copy_built_geometry(model(), s.model);
    // Element generation: the jacket connections find their partner nodes
    // and couple them, the spiders take their directions.
    prepare_jacket_connections(s.model);
    s.pipe_materials = pipe_materials();
    s.pipe_sections = pipe_sections();
    s.soils = soils();
    s.beam_materials = beam_materials();
    s.beam_sections = beam_sections();
    s.options = analysis_options();
    s.units = unit_choice();
    s.piping_code = piping_code();
    s.bourdon_with_weight = env_switches().zediruvi;
    s.batch_mode = batch_mode();
    s.loads = current_analysis_loads();
    s.load_cases = load_case_list().empty() ? default_load_cases(s) : load_case_list();
    s.element_kinds = element_kind_table();
    s.output.results_path = results_file_path();
    // The model just saved is the file's: its results name the file by its
    // contents.
    if (!model_file_path().empty() && !model_modified() && !sha256_of_file(model_file_path(), s.output.model_fingerprint))
        s.output.model_fingerprint = {};
    s.output.stiffness_export = stiffness_export_requested();
    s.output.stiffness_path = stiffness_export_path();
    s.output.modal_forces_export = modal_forces_export_requested();
    s.output.modal_forces_path = modal_forces_export_path();
    s.output.time_history_path = time_history_file_path();
    s.output.susceptibility_path = susceptibility_file_path();
    // A file may hold property-set records outside their editors' ranges
    // (so that they can be mended there): the first one refuses the run,
    // naming the record. The values the analysis takes from the sets are
    // checked again with the elements (finite, not below 0).
    if (const std::vector<std::string> problems = named_set_problems(); !problems.empty())
        throw_message(problems.front());
    check_analysis_model(s);
    s.hanger_catalogues = model_hanger_catalogues(s.model);
    divide_buried_elements(s);
    return snapshot;
}

LoadCaseList analysis_load_cases()
{
    return load_case_list().empty() ? default_analysis_load_cases() : load_case_list();
}

LoadCaseList default_analysis_load_cases()
{
    const bool cut_pipes = std::any_of(model().rows.begin(), model().rows.end(),
                                       [](const LayoutRow& r) { return r.etype == ET_CUT_PIPE; });
    return default_load_cases(analysis_options().numtloads, current_analysis_loads(), cut_pipes,
                              settlement_case_by_default(model(), piping_code()));
}

void check_results_match_model(const std::string& path)
{
    BinFile file;
    if (!file.open_read(path))
        throw_message("Unable to read results file");
    char header[RESULTS_HEADER_SIZE] = {};
    file.read(header, sizeof header);
    const int32_t version = results_header_version(header);
    if (!results_file_check_holds(file, version))
        throw_message(results_damaged_text(path));
    const int32_t elements = file.read_int();
    if (file.error() || elements < 0)
        throw_message("Unable to read results file");
    const int64_t soils_at = results_soil_count_at(elements, version);
    const std::string mismatch = "Results file " + path + " does not match the model.\nPlease reanalyze the model.";
    if (elements != numelems() || soils_at + 4 > file.size())
        throw_message(mismatch);
    file.seek(soils_at);
    const int32_t soil_count = file.read_int();
    if (file.error() || soil_count < 0)
        throw_message(mismatch);
    const LoadCaseList cases = analysis_load_cases();
    int32_t modes = 0;
    if (cases.contains(LC_MODAL)) {
        // The mode count is the first word of the modal block.
        int64_t at = soils_at + 4 + int64_t{SOIL_RESTRAINT_RECORD_SIZE} * soil_count;
        LoadCaseList before;
        for (int i = 1; i <= cases.count() && cases.code(i) != LC_MODAL; ++i)
            before.add(cases.code(i));
        at += results_file_size(model(), before, elements, 0, 0, version) -
              results_file_size(model(), LoadCaseList{}, elements, 0, 0, version);
        if (at + 4 > file.size() || !file.seek(at))
            throw_message(mismatch);
        modes = file.read_int();
        if (file.error() || modes < 0)
            throw_message(mismatch);
    }
    ResultsRunRecord record;
    if (!results_file_ends_well(file, version, results_file_size(model(), cases, elements, soil_count, modes, version),
                                record))
        throw_message(mismatch);
}
