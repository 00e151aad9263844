// The program binary run as a user runs a batch file on a machine without
// a display: started in a scratch folder of the test, its standard error to
// a file, and the generated piping network, in two variants whose files
// differ, as the batch file it is given.
#pragma once

#include "../bench/piping_network.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace batch_runs {

namespace fs = std::filesystem;

inline std::string bytes_of(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A folder of its own for the test, removed again at its end.
class ScratchFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch = fs::path(::testing::TempDir()) /
                  ("korvane_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name()) +
                   "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                   std::to_string(::getpid()));
        fs::remove_all(scratch);
        fs::create_directories(scratch);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    }

    fs::path scratch;
};

// Starts the program with `argument` in `folder`, without a display, its
// standard input and output on /dev/null and its standard error into
// `err`. `in_child`, when given, runs in the new process first (a limit, a
// mount); when it returns false the process ends with code 125 and the
// program is not run.
inline pid_t start_program(const fs::path& folder, const std::string& argument, const fs::path& err,
                           const std::function<bool()>& in_child = {})
{
    const pid_t child = ::fork();
    if (child != 0)
        return child;
    if (in_child && !in_child())
        ::_exit(125);
    if (::chdir(folder.c_str()) != 0)
        ::_exit(120);
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    ::unsetenv("QT_QPA_PLATFORM");
    const int null_fd = ::open("/dev/null", O_RDWR);
    const int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (null_fd < 0 || err_fd < 0)
        ::_exit(121);
    ::dup2(null_fd, 0);
    ::dup2(null_fd, 1);
    ::dup2(err_fd, 2);
    ::execl(KV_PROGRAM_PATH, KV_PROGRAM_PATH, argument.c_str(), static_cast<char*>(nullptr));
    ::_exit(122);
}

// Waits for a started program: its exit code, or 128 + the signal that
// ended it.
inline int finish_program(pid_t child)
{
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The generated network of the options, its title naming the variant and the
// header's first operating temperature a degree higher in variant 1
// ("HOT,451," for "HOT,450,"), so that two runs of different variants write
// different files, results included.
inline std::string network(int variant, const piping_network::Options& o)
{
    std::string text = piping_network::batch_text(o);
    text.replace(0, text.find('\n'), "Generated piping network, variant " + std::to_string(variant));
    const std::string hot = "HOT,450,";
    const std::size_t at = text.find(hot);
    if (variant == 1 && at != std::string::npos)
        text.replace(at, hot.size(), "HOT,451,");
    return text;
}

// A network of 300 rows whose risers stand between guides and rests spaced
// wide, with a friction of 2 (far beyond steel on steel): guides that wedge
// the risers, whose cases follow their load paths.
inline piping_network::Options wedged_risers()
{
    piping_network::Options o;
    o.rows = 300;
    o.seed = 2;
    o.mu = 2.0;
    o.spacing = 1.5;
    o.riser_guides = true;
    return o;
}

// The linear network of 600 rows (rigid restraints), variant 0 or 1.
inline std::string network(int variant)
{
    piping_network::Options o;
    o.rows = 600;
    o.rigid = true;
    return network(variant, o);
}

}  // namespace batch_runs
