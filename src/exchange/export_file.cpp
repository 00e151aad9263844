#include "exchange/export_file.h"

#include "framework/binfile.h"
#include "framework/errors.h"
#include "platform/file_replace.h"

#include <filesystem>
#include <system_error>

namespace {

// The stream buffer of an export: what the stream writes goes to the file
// object, which keeps the first failed write's reason.
class ExportFileBuffer final : public std::streambuf {
public:
    explicit ExportFileBuffer(BinFile& file) : file_(file) {}

protected:
    std::streamsize xsputn(const char* text, std::streamsize n) override
    {
        file_.write(text, static_cast<std::size_t>(n));
        return file_.error() ? 0 : n;
    }
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        const char ch = traits_type::to_char_type(c);
        file_.write(&ch, 1);
        return file_.error() ? traits_type::eof() : c;
    }

private:
    BinFile& file_;
};

}  // namespace

void write_export_file(const std::string& path, const std::function<void(std::ostream&)>& write,
                       const ExportBufferFilter& filter, const std::string& open_message)
{
    std::error_code ec;
    if (path.empty() || std::filesystem::is_directory(path, ec))
        throw MessageText(open_message + path);
    BinFile file;
    if (!file.open_write(path))
        throw MessageText(with_reason(open_message + path, file.failure()));
    const std::string write_failed = "Unable to write export file:\n" + path;
    bool written = false;
    {
        ExportFileBuffer buffer(file);
        std::unique_ptr<std::streambuf> filtered = filter ? filter(&buffer) : nullptr;
        std::ostream out(filtered ? filtered.get() : &buffer);
        try {
            write(out);
        } catch (...) {
            file.abandon();
            throw;
        }
        out.flush();
        written = out.good() && !file.error();
    }
    if (!written) {
        const std::string reason = file.failure();
        file.abandon();
        throw MessageText(with_reason(write_failed, reason));
    }
    if (!file.close())
        throw MessageText(with_reason(write_failed, file.failure()));
}
