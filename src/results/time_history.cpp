#include "results/time_history.h"

#include "analysis_core/results_sink.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "model/model.h"
#include "model/nodes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace {

[[noreturn]] void read_error()
{
    close_time_history();
    throw_message(TIME_HISTORY_READ_ERROR_TEXT);
}

// Reads `count` floats at file offset `at(t)` for t = 1..T into the history.
template <typename At>
void read_history(int count, At at)
{
    ResultsState& r = results();
    TimeHistoryResults& h = r.history;
    if (!h.read || !h.file.is_open() || count < 0 || count > 6)
        read_error();
    h.history.assign(static_cast<std::size_t>(h.steps) + 1, std::array<float, 6>{});
    h.values = count;
    for (int t = 1; t <= h.steps; ++t) {
        float* values = h.history[static_cast<std::size_t>(t)].data();
        if (count > 0) {
            h.file.seek(at(t));
            h.file.read_floats(values, static_cast<std::size_t>(count));
        }
        if (h.file.error() || !std::all_of(values, values + count, [](float v) { return std::isfinite(v); }))
            read_error();
    }
}

int64_t step_size(const ResultsState& r)
{
    return time_history_step_size(r.nodes, r.numelems(), r.support_bytes);
}

}  // namespace

std::string read_time_history_results(const std::string& path)
{
    ResultsState& r = results();
    TimeHistoryResults& h = r.history;
    close_time_history();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) || !h.file.open_read(path))
        return missing_file_text("Time history file", path);
    char magic[16] = {};
    h.file.read(magic, sizeof magic);
    const float interval = h.file.read_float();
    const int32_t steps = h.file.read_int();
    const bool header_ok = !h.file.error() && std::memcmp(magic, TIME_HISTORY_FILE_MAGIC, 16) == 0 &&
                           std::isfinite(interval) && interval >= 0.0f && steps >= 0 &&
                           (step_size(r) == 0 || steps <= (h.file.size() - TIME_HISTORY_HEADER_SIZE) / step_size(r)) &&
                           time_history_file_size(r.nodes, r.numelems(), r.support_bytes, steps) == h.file.size();
    if (!header_ok) {
        h.file.close();
        return "Unable to read time history file";
    }
    h.path = path;
    h.interval = interval;
    h.steps = steps;
    h.history.assign(static_cast<std::size_t>(steps) + 1, std::array<float, 6>{});
    h.values = 0;
    h.read = true;
    return {};
}

bool time_history_available()
{
    return results().history.read;
}

void close_time_history()
{
    TimeHistoryResults& h = results().history;
    h.file.close();
    h.read = false;
    h.history.clear();
    h.values = 0;
}

void read_support_history(int row)
{
    const ResultsState& r = results();
    const Model& m = model();
    if (row < 1 || row > m.numrows())
        read_error();
    const LayoutRow& lr = m.rows[row];
    const int words = support_word_count(lr.dtype);
    read_history(words, [&](int t) {
        return time_history_support_at(r.nodes, r.numelems(), r.support_bytes, t, lr.results_offset);
    });
}

void read_element_force_history(int element, int end)
{
    const ResultsState& r = results();
    if (element < 1 || element > r.numelems() || (end != 1 && end != 2))
        read_error();
    read_history(6, [&](int t) {
        return time_history_force_at(r.nodes, r.numelems(), r.support_bytes, t) + 48 * int64_t{element - 1} +
               24 * int64_t{end - 1};
    });
}

void read_displacement_history(int node)
{
    const ResultsState& r = results();
    if (node < 1 || node > r.nodes)
        read_error();
    read_history(6, [&](int t) {
        return time_history_displacement_at(r.nodes, r.numelems(), r.support_bytes, t) + 24 * int64_t{node - 1};
    });
}

std::array<float, 6> history_maximum(const std::vector<std::array<float, 6>>& history)
{
    std::array<float, 6> maximum{};
    for (std::size_t i = 0; i < 6; ++i) {
        bool first = true;
        for (const std::array<float, 6>& record : history)
            if (first || std::fabs(record[i]) > std::fabs(maximum[i])) {
                maximum[i] = record[i];
                first = false;
            }
    }
    return maximum;
}

double history_time(int record)
{
    return static_cast<double>(record) * results().history.interval;
}

std::string time_history_csv_name(const std::string& prefix, int node_number)
{
    return prefix + node_text(node_number) + ".csv";
}
