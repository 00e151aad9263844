// What tests of files share: a scratch folder of their own, and a lower
// file-size limit under which writes fail as they would on a full disk.
#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>

// A new, empty folder under the test's temporary folder, removed with
// everything in it at the end of its scope.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix)
    {
        std::string pattern = (std::filesystem::path(::testing::TempDir()) / (prefix + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data()))
            dir_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        if (!dir_.empty())
            std::filesystem::remove_all(dir_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& dir() const { return dir_; }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

private:
    std::filesystem::path dir_;
};

// The process's file-size limit lowered to `bytes` for the scope, with its
// signal ignored: a write beyond it fails with "File too large.".
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ok_ = ::getrlimit(RLIMIT_FSIZE, &old_) == 0;
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lower = old_;
        lower.rlim_cur = bytes;
        ok_ = ok_ && ::setrlimit(RLIMIT_FSIZE, &lower) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool ok() const { return ok_; }

private:
    rlimit old_{};
    void (*handler_)(int) = nullptr;
    bool ok_ = false;
};
