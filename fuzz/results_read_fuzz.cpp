// Opening the results of the sample model as the Results command does, from
// a results file that is the input. A refused file leaves the model and the
// program as they were (results mode left again); an accepted one reads
// every load case's displacements, forces and support loads as finite
// numbers, steps through the cases and the supports' summary, and leaving
// results mode changes nothing in the model.
#include "harness/fuzz_program.h"

#include "analysis/results_file.h"
#include "framework/app_state.h"
#include "framework/crc32.h"
#include "framework/errors.h"
#include "model/ui/model_commands.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/support_summary.h"
#include "results/ui/results_window.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace {

void start()
{
    start_program();
    read_sample_model();
    set_model_file_path(scratch_path("sample.mod"));
    save_model(0);
}

void check_finite(const ResultsState& r)
{
    for (const auto& u : r.displacements)
        for (float v : u)
            if (!std::isfinite(v))
                finding("a displacement read is not a number");
    for (const auto& f : r.forces)
        for (float v : f)
            if (!std::isfinite(v))
                finding("an element force read is not a number");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = (start(), true);
    (void)started;
    const std::vector<unsigned char> before = model_bytes();
    const std::string path = scratch_path("sample.res");
    // A file of the version that ends with a check gets its check made anew,
    // so that the mutations reach the reader's own checks of the structure
    // (a file whose check fails is refused before them); one byte in 256 is
    // left as it is, to keep the check's refusal itself in the runs.
    std::vector<uint8_t> bytes(data, data + size);
    if (size >= RESULTS_HEADER_SIZE + RESULTS_CHECK_SIZE &&
        results_header_version(reinterpret_cast<const char*>(data)) == RESULTS_FILE_VERSION && data[size - 1] != 0x5a) {
        const uint32_t check = crc32_of(std::span<const uint8_t>(bytes.data(), size - RESULTS_CHECK_SIZE));
        for (int i = 0; i < RESULTS_CHECK_SIZE; ++i)
            bytes[size - RESULTS_CHECK_SIZE + static_cast<std::size_t>(i)] = static_cast<uint8_t>(check >> (8 * i));
    }
    write_file(path, bytes.data(), bytes.size());
    // The results as new as their model, so that only the bytes decide.
    std::error_code ec;
    std::filesystem::last_write_time(scratch_path("sample.mod"),
                                     std::filesystem::last_write_time(path, ec) - std::chrono::seconds(2), ec);
    open_results();
    run_posted_calls();
    if (in_results()) {
        ResultsState& r = results();
        for (int i = 1; i <= r.load_case_count(); ++i) {
            set_results_load_case_index(i);
            try {
                read_load_case_displacements();
                read_load_case_forces();
                read_load_case_support_loads();
            } catch (const MessageText&) {
                // A value that is not a number: refused with a message.
            }
            check_finite(r);
        }
        for (int i = 0; i <= r.numsupports(); ++i)
            next_summary_support();
        terminate_results();
    }
    if (in_results() || input_locked())
        finding("results mode was not left");
    if (model_bytes() != before)
        finding("the model changed");
    return 0;
}
