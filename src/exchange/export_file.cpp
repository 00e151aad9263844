#include "exchange/export_file.h"

#include "framework/errors.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace {

std::string temporary_path(const std::string& path)
{
    static std::atomic<unsigned> serial{0};
    return path + ".tmp-" + std::to_string(static_cast<long>(::getpid())) + "-" + std::to_string(++serial);
}

// Removes the temporary file unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    ~TemporaryFile()
    {
        if (!kept_) {
            std::error_code ec;
            std::filesystem::remove(path_, ec);
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& path() const { return path_; }
    void keep() { kept_ = true; }

private:
    std::string path_;
    bool kept_ = false;
};

}  // namespace

void write_export_file(const std::string& path, const std::function<void(std::ostream&)>& write,
                       const ExportBufferFilter& filter, const std::string& open_message)
{
    std::error_code ec;
    if (path.empty() || std::filesystem::is_directory(path, ec))
        throw MessageText(open_message + path);
    TemporaryFile temporary(temporary_path(path));
    std::filebuf file;
    if (!file.open(temporary.path(), std::ios::out | std::ios::binary | std::ios::trunc))
        throw MessageText(open_message + path);
    const std::string write_failed = "Unable to write export file:\n" + path;
    bool written = false;
    {
        std::unique_ptr<std::streambuf> filtered = filter ? filter(&file) : nullptr;
        std::ostream out(filtered ? filtered.get() : &file);
        write(out);
        out.flush();
        written = out.good();
    }
    const bool closed = file.close() != nullptr;
    if (!written || !closed)
        throw MessageText(write_failed);
    std::filesystem::rename(temporary.path(), path, ec);
    if (ec)
        throw MessageText(write_failed);
    temporary.keep();
}
