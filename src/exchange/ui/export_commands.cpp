#include "exchange/ui/export_commands.h"

#include "exchange/batch_export.h"
#include "exchange/hanger_interface_export.h"
#include "exchange/pcf_export.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/document.h"
#include "framework/errors.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/file_dialogs.h"
#include "framework/ui/frame.h"
#include "framework/ui/messages.h"
#include "framework/ui/shell.h"
#include "results/results_reader.h"
#include "results/ui/results_hooks.h"

#include <iostream>

namespace {

// The model file's path with another extension; empty when the model has no file.
std::string beside_model(const char* extension)
{
    const std::string& path = model_file_path();
    if (path.empty())
        return {};
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    const std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                                 ? path.substr(0, dot)
                                 : path;
    return stem + "." + extension;
}

FileDialogRequest save_request(const char* title, std::vector<FileFilter> filters, const char* extension)
{
    FileDialogRequest r;
    r.title = title;
    r.filters = std::move(filters);
    r.ok_text = "&Export";
    r.initial_path = beside_model(extension);
    r.must_exist = false;
    r.confirm_overwrite = true;
    return r;
}

// Runs an export; a failure is shown as an error message.
template <typename Export>
bool exporting(WindowId owner, Export run)
{
    try {
        run();
        return true;
    } catch (const MessageText& m) {
        if (!m.text.empty())
            message_error(owner, m.text);
    }
    return false;
}

}  // namespace

FileDialogRequest batch_export_request()
{
    return save_request("Export Model to Batch File",
                        {{"Model batch file (*.mbf)", "*.mbf"}, {"Model batch file 6.xx (*.mbf)", "*.mbf"}}, "mbf");
}

FileDialogRequest pcf_export_request()
{
    return save_request("Export Model to PCF File", {{"PCF file (*.pcf)", "*.pcf"}}, "pcf");
}

FileDialogRequest plant_design_request()
{
    FileDialogRequest r = save_request("Export Model to 3D Plant Design",
                                       {{"PDMS Geometry macro file (*.mac)", "*.mac"},
                                        {"CADMATIC 3D Dump file (*.3dd)", "*.3dd"}},
                                       "mac");
    r.extension_follows_filter = true;
    return r;
}

FileDialogRequest hanger_interface_request()
{
    return save_request("Export Hangers to Hanger Interface File",
                        {{"KORVANE LICAD Interface file (*.cli)", "*.cli"}}, "cli");
}

void export_batch_command(WindowId owner)
{
    FileDialogRequest request = batch_export_request();
    if (!save_file_dialog_path(owner, request))
        return;
    BatchExportSettings settings;
    settings.version = request.filter_index == 1 ? BATCH_EXPORT_6XX : BATCH_EXPORT_CURRENT;
    BatchExportReport report;
    const std::string path = ofn_file_path();
    if (!exporting(owner, [&] { report = export_batch_file_at(path, settings); }))
        return;
    if (const std::string left_out = report.message(); !left_out.empty()) {
        if (batch_mode())
            std::cerr << left_out << '\n';
        message_warning(owner, left_out);
    }
}

void export_pcf_command(WindowId owner)
{
    FileDialogRequest request = pcf_export_request();
    if (!save_file_dialog_path(owner, request))
        return;
    const std::string path = ofn_file_path();
    exporting(owner, [&] { export_pcf_at(path); });
}

void export_plant_design_command(WindowId owner, const NodeDisplacementField* displacements)
{
    FileDialogRequest request = plant_design_request();
    if (!save_file_dialog_path(owner, request))
        return;
    const PlantDesignFormat format = request.filter_index == 1 ? PLANT_CADMATIC : PLANT_PDMS;
    std::string path = ofn_file_path();
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        path += format == PLANT_CADMATIC ? ".3dd" : ".mac";
    exporting(owner, [&] { export_plant_design_at(path, format, displacements); });
}

void export_hanger_interface_command(WindowId owner)
{
    FileDialogRequest request = hanger_interface_request();
    if (!save_file_dialog_path(owner, request))
        return;
    const std::string path = ofn_file_path();
    exporting(owner, [&] { export_hanger_interface_at(path); });
}

void install_export_commands()
{
    register_command(CMD_EXPORT, [](int) { export_batch_command(command_owner()); });
    register_command(CMD_EXPORT_PCF, [](int) { export_pcf_command(command_owner()); });
    register_command(CMD_EXPORT_PLANT_DESIGN, [](int) { export_plant_design_command(command_owner()); });
    // The results window's exports: the hanger interface file while the
    // hanger report is shown, the deflected shape of the current case.
    ResultsHooks& hooks = results_hooks();
    hooks.export_hanger_interface = [](WindowId owner) { export_hanger_interface_command(owner); };
    hooks.commands[CMD_EXPORT_PLANT_DESIGN_RESULTS] = [](int) {
        read_load_case_displacements();
        const ResultsState& r = results();
        NodeDisplacementField field(static_cast<std::size_t>(r.nodes) + 1);
        for (int n = 1; n <= r.nodes; ++n)
            field[static_cast<std::size_t>(n)] = {r.displacements[n][0], r.displacements[n][1], r.displacements[n][2]};
        export_plant_design_command(results_frame().window, &field);
    };
}
