// A batch file that the import takes is exported and imported again: the
// model read back must be the one exported, record by record (an entered
// zero and 0 count alike), unless the export says what it left out; a
// second export gives the same text.
#include "exchange/batch_export.h"
#include "exchange/batch_import.h"
#include "exchange/model_image.h"
#include "framework/errors.h"
#include "harness/fuzz_program.h"
#include "model/model.h"
#include "model/model_file.h"

#include <cstdint>
#include <sstream>

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
    return 0;
}
