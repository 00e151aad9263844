// A batch file that the import takes is exported and imported again: the
// model read back must be the one exported, record by record (an entered
// zero and 0 count alike), unless the export says what it left out; a
// second export gives the same text. The same model given what the windows
// give and a batch file does not (sections picked by nominal size, bends of
// their long radius) reads back changed only in rows the export's warning
// names, and in sections only where it names what it left out of them.
#include "exchange/batch_export.h"
#include "exchange/batch_import.h"
#include "exchange/model_image.h"
#include "exchange/window_sizes.h"
#include "framework/errors.h"
#include "harness/fuzz_program.h"
#include "model/model.h"
#include "model/model_file.h"

#include <cstdint>
#include <set>
#include <sstream>
#include <vector>

namespace {

bool imported(const std::string& text)
{
    new_model();
    std::istringstream in(text);
    try {
        import_batch_text(in);
    } catch (const MessageText&) {
        return false;
    }
    return true;
}

// The rows of the exported model that the report names as rows without a
// node or element type and that the file therefore leaves out: a row of no
// element type, or a row of an element without a node.
std::set<int> left_out_rows(const BatchExportReport& report)
{
    std::set<int> left_out;
    for (const int row : report.entries[NC_ROW_WITHOUT_NODE].rows)
        if (model().rows.valid(row)) {
            const LayoutRow& r = model().rows[row];
            if (r.etype == ET_NONE || (r.etype != ET_COMMENT && r.etype != ET_HYDROTEST_LOAD && r.node == 0))
                left_out.insert(row);
        }
    return left_out;
}

// The rows and sections in which the model read back differs from
// `original` that the report does not account for: a row must be one of
// its rows, a section needs an entry without rows. The rows it leaves out
// (`left_out`) are not read back; the others are compared in order.
std::string unnamed_changes(const model_image::ModelImage& original, const BatchExportReport& report,
                            const std::set<int>& left_out)
{
    const model_image::ModelImage back = model_image::image_of_model();
    std::set<int> named;
    bool unplaced = false;
    for (const BatchExportReport::Entry& e : report.entries) {
        named.insert(e.rows.begin(), e.rows.end());
        unplaced = unplaced || (e.count > 0 && e.rows.empty());
    }
    std::vector<int> kept;   // the rows written, from 1
    for (int row = 1; row <= static_cast<int>(original.rows.size()); ++row)
        if (!left_out.count(row))
            kept.push_back(row);
    if (kept.size() != back.rows.size())
        return "rows: " + std::to_string(original.rows.size()) + " of which " + std::to_string(left_out.size()) +
               " left out, and " + std::to_string(back.rows.size());
    for (std::size_t i = 0; i < kept.size(); ++i) {
        model_image::ModelImage a, b;
        a.rows = {original.rows[static_cast<std::size_t>(kept[i] - 1)]};
        b.rows = {back.rows[i]};
        if (const std::string d = model_image::image_difference(a, b); !d.empty() && !named.count(kept[i]))
            return "row " + std::to_string(kept[i]) + ": " + d;
    }
    model_image::ModelImage a = original, b = back;
    a.rows.clear();
    b.rows.clear();
    if (const std::string d = model_image::image_difference(a, b); !d.empty() && !unplaced)
        return d;
    return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = (start_program(), true);
    (void)started;
    if (!imported(std::string(reinterpret_cast<const char*>(data), size)))
        return 0;
    const model_image::ModelImage original = model_image::image_of_model();
    for (const int version : {BATCH_EXPORT_CURRENT, BATCH_EXPORT_6XX}) {
        BatchExportSettings settings;
        settings.version = version;
        std::string text;
        BatchExportReport report;
        try {
            text = batch_export_text(settings, &report);
        } catch (const MessageText&) {
            // Text the file cannot hold is refused before anything is written.
            return 0;
        }
        if (!imported(text))
            finding("an exported batch file is refused by the import:\n" + text);
        if (version == BATCH_EXPORT_CURRENT && report.empty()) {
            const std::string difference = model_image::image_difference(original, model_image::image_of_model());
            if (!difference.empty())
                finding("the exported model reads back changed: " + difference + "\n" + text);
        }
        std::string again;
        try {
            again = batch_export_text(settings);
        } catch (const MessageText& m) {
            finding("the model read back refuses its export: " + m.text);
        }
        if (again != text)
            finding("a second export differs:\n" + text + "\n----\n" + again);
        if (!imported(std::string(reinterpret_cast<const char*>(data), size)))
            finding("the input is refused the second time");
    }
    if (window_sizes::size_every_section() + window_sizes::long_radius_bends() == 0)
        return 0;
    const model_image::ModelImage sized = model_image::image_of_model();
    BatchExportReport report;
    std::string text;
    try {
        text = batch_export_text({}, &report);
    } catch (const MessageText&) {
        return 0;
    }
    const std::set<int> left_out = left_out_rows(report);
    if (!imported(text))
        finding("an exported batch file of sized sections is refused by the import:\n" + text);
    if (const std::string unnamed = unnamed_changes(sized, report, left_out); !unnamed.empty())
        finding("the model of sized sections reads back changed where the warning is silent: " + unnamed + "\n" +
                report.message() + "\n" + text);
    if (batch_export_text({}) != text)
        finding("a second export of sized sections differs:\n" + text);
    return 0;
}
