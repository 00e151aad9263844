// Runs of the program beside a benchmark (korvane) on a batch file, as a
// user starts it without a display: its wall and processor time; and the
// processor time of the benchmark's own process.
#pragma once

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace program_runs {

// The program beside this benchmark; empty when there is none.
inline std::string program_path()
{
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    const std::filesystem::path program = self.parent_path() / "korvane";
    return std::filesystem::exists(program) ? program.string() : std::string();
}

// The user and system time of a resource usage, in seconds.
inline double processor_seconds(const rusage& usage)
{
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           1.0e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// The processor time of this process so far, all its threads, in seconds.
inline double own_processor_seconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return processor_seconds(usage);
}

struct RunTime {
    bool ok = false;     // the run ended with exit code 0
    double wall = 0.0;   // s
    double cpu = 0.0;    // s, all its threads, user and system
};

// One batch run of `batch`, without a display.
inline RunTime run_batch(const std::string& program, const std::string& batch)
{
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("DISPLAY=", 0) != 0 && entry.rfind("WAYLAND_DISPLAY=", 0) != 0 &&
            entry.rfind("QT_QPA_PLATFORM=", 0) != 0)
            environment.push_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string program_arg = program, batch_arg = batch;
    char* argv[] = {program_arg.data(), batch_arg.data(), nullptr};
    RunTime t;
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0)
        return t;
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    t.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    t.cpu = processor_seconds(usage);
    t.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return t;
}

}  // namespace program_runs
