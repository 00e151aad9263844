// The program's data subsystems as an analysis needs them, without windows,
// and models of more layout rows than one batch import takes (7,000).
#pragma once

#include "elements/element_analysis.h"
#include "elements/element_classes.h"
#include "exchange/batch_import.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "loads/loads_install.h"
#include "materials/property_sets.h"
#include "framework/document.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/ui/model_commands.h"
#include "qualification/equipment.h"
#include "supports/supports.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace program_models {

// The program as it was at start-up (reset_all), with the subsystems that
// import, build, check and analyse a model.
inline void install_analysis_program()
{
    reset_all();
    install_property_sets();
    install_loads();
    install_element_classes();
    install_supports();
    install_equipment();
    install_element_analysis();
}

// The program as at start-up with the model of a batch file's text
// imported and built. Throws the importer's message.
inline void import_batch_model(const std::string& text)
{
    install_analysis_program();
    init_model();
    std::istringstream in(text);
    import_batch_text(in);
    make_model();
}

// Layout lines of a batch file, each one row; `starts` marks the lines that
// begin a run (a From row).
struct LayoutLines {
    std::vector<std::string> lines;
    std::vector<bool> starts;

    void add(std::string line, bool start = false)
    {
        lines.push_back(std::move(line));
        starts.push_back(start);
    }
};

// The layout imported in pieces of at most `piece` lines below the head
// (the batch file's sections up to and with the line "LAYOUT"), each piece
// beginning with a From row, which the model build joins to its node in
// the pieces before it; the pieces' rows laid end to end in one model, and
// the model built. The named sets are those of the head. Throws the
// importer's message, or one for a run longer than a piece.
inline void import_in_pieces(const std::string& head, const LayoutLines& layout, std::size_t piece = 6000)
{
    OneBased<LayoutRow> all;
    std::size_t begin = 0;
    while (begin < layout.lines.size()) {
        // A piece ends before a From row, so that each begins with one.
        std::size_t end = std::min(begin + piece, layout.lines.size());
        while (end < layout.lines.size() && !layout.starts[end])
            --end;
        if (end == begin)
            throw MessageText("A run of the layout is longer than a piece of the import");
        std::string text = head;
        for (std::size_t i = begin; i < end; ++i)
            text += layout.lines[i] + "\n";
        init_model();
        std::istringstream in(text);
        import_batch_text(in);
        for (LayoutRow& r : model().rows)
            all.push_back(std::move(r));
        begin = end;
    }
    model().rows = std::move(all);
    model().rebuild_needed = true;
    make_model();
}

// Saves the current model as a save does: written to `path`, named so and
// not modified since, so that its results carry the file's fingerprint.
inline void save_model_as(const std::string& path)
{
    write_model_file(path);
    model_file_path() = path;
    model_modified() = false;
}

// Makes the model saved at `path` the program's current one, unless it is
// (named so and not modified since): the program as at start-up, then the
// file read by the model reader. Throws the reader's message.
inline void reopen_saved_model(const std::string& path)
{
    if (model_file_path() == path && !model_modified())
        return;
    install_analysis_program();
    read_model(path);
    model_file_path() = path;
    model_modified() = false;
}

}  // namespace program_models
