// What every benchmark shares:
//   - its set-up guarded: a set-up that throws (a refused model, a results
//     file that does not open) skips the benchmark with the reason, and the
//     benchmarks after it still run;
//   - the brief pass (KV_BENCH_BRIEF=1, scripts/benchmarks.sh): each
//     benchmark once, at its smallest size, so that a check can run every
//     family in a short time and see that none fails; a benchmark with
//     iterations or a minimum time of its own takes them from iterations()
//     and min_time(), and one whose size the environment sets takes its
//     default from count() or counts();
//   - the scratch folder of this process, removed when it ends, so that
//     runs side by side never share a file.
#pragma once

#include "framework/errors.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace bench {

// Whether this is the brief pass.
inline bool brief_pass()
{
    const char* text = std::getenv("KV_BENCH_BRIEF");
    return text && *text && std::string(text) != "0";
}

// A benchmark's own iteration count and minimum time: one iteration, and a
// time that one iteration always reaches, in the brief pass.
inline benchmark::IterationCount iterations(benchmark::IterationCount n)
{
    return brief_pass() ? 1 : n;
}
inline double min_time(double seconds)
{
    return brief_pass() ? 1.0e-9 : seconds;
}

// A size the environment variable `variable` may set: its value when set,
// else `brief` in the brief pass and `full` otherwise.
inline int count(const char* variable, int full, int brief)
{
    const char* text = std::getenv(variable);
    if (text && *text)
        return std::atoi(text);
    return brief_pass() ? brief : full;
}

// Sizes as a comma-separated list ("6000,60000,600000") that `variable` may
// set, those below `least` left out.
inline std::vector<int> counts(const char* variable, const std::string& full, const std::string& brief, int least)
{
    const char* text = std::getenv(variable);
    const std::string list = text && *text ? std::string(text) : brief_pass() ? brief : full;
    std::vector<int> out;
    std::size_t at = 0;
    while (at < list.size()) {
        const std::size_t comma = std::min(list.find(',', at), list.size());
        const int n = std::atoi(list.substr(at, comma - at).c_str());
        if (n >= least)
            out.push_back(n);
        at = comma + 1;
    }
    return out;
}

// The median of measured values (the upper one of an even count; 0 for none).
inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// The text of what a set-up threw.
inline std::string failure_text(const std::exception_ptr& thrown)
{
    try {
        std::rethrow_exception(thrown);
    } catch (const MessageText& m) {
        return m.text.empty() ? "the set-up was cancelled" : m.text;
    } catch (const CI& c) {
        return c.message;
    } catch (const MsgCmd& m) {
        return m.message;
    } catch (const MsgColCmd& m) {
        return m.message;
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "the set-up threw an unknown exception";
    }
}

// Runs a benchmark's set-up; when it throws, the benchmark is skipped with
// the reason and false is returned.
template <typename F>
bool set_up(benchmark::State& state, F&& work)
{
    try {
        work();
        return true;
    } catch (...) {
        state.SkipWithError(("set-up failed: " + failure_text(std::current_exception())).c_str());
        return false;
    }
}

// A fixture that several benchmarks share, made at the first get(). It is
// tried once: when making it failed, every benchmark that asks for it is
// skipped with the same reason.
template <typename T>
class Shared {
public:
    explicit Shared(std::function<std::unique_ptr<T>()> make) : make_(std::move(make)) {}

    // The fixture; null, with the benchmark skipped, when it could not be made.
    T* get(benchmark::State& state)
    {
        if (!tried_) {
            tried_ = true;
            try {
                made_ = make_();
                if (!made_)
                    failure_ = "set-up failed: no fixture was made";
            } catch (...) {
                failure_ = "set-up failed: " + failure_text(std::current_exception());
            }
        }
        if (!made_)
            state.SkipWithError(failure_.c_str());
        return made_.get();
    }

private:
    std::function<std::unique_ptr<T>()> make_;
    std::unique_ptr<T> made_;
    std::string failure_;
    bool tried_ = false;
};

// The scratch folder of this process (removed when it ends), or a folder
// `name` in it.
inline std::filesystem::path scratch_folder(const std::string& name = "")
{
    struct Folder {
        std::filesystem::path path;
        Folder()
            : path(std::filesystem::temp_directory_path() / ("korvane_bench_" + std::to_string(::getpid())))
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
            std::filesystem::create_directories(path);
        }
        ~Folder()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Folder folder;
    if (name.empty())
        return folder.path;
    const std::filesystem::path inside = folder.path / name;
    std::filesystem::create_directories(inside);
    return inside;
}

}  // namespace bench
