// The binary file object: little-endian fields assembled byte by byte, so the
// files are the same whatever the host's byte order.
#include "framework/binfile.h"

#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "platform/file_replace.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

uint32_t load_le32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void store_le32(unsigned char* p, uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

// Converts count 4-byte little-endian fields, read as raw bytes into values,
// into host values in place.
template <typename T>
void from_le32_in_place(T* values, std::size_t count)
{
    static_assert(sizeof(T) == 4);
    for (std::size_t i = 0; i < count; ++i) {
        unsigned char bytes[4];
        std::memcpy(bytes, &values[i], 4);
        values[i] = std::bit_cast<T>(load_le32(bytes));
    }
}

template <typename T>
void write_le32_array(BinFile& file, const T* values, std::size_t count)
{
    static_assert(sizeof(T) == 4);
    if (!values && count > 0) {
        file.set_error();
        return;
    }
    std::array<unsigned char, 4096> chunk;
    const std::size_t per_chunk = chunk.size() / 4;
    while (count > 0) {
        const std::size_t n = std::min(count, per_chunk);
        for (std::size_t i = 0; i < n; ++i)
            store_le32(&chunk[4 * i], std::bit_cast<uint32_t>(values[i]));
        file.write(chunk.data(), 4 * n);
        values += n;
        count -= n;
    }
}

}  // namespace

BinFile::~BinFile()
{
    if (writing_)
        abandon();
    else
        close();
}

bool BinFile::open_read(const std::string& path)
{
    counting_ = false;
    written_crc_ = Crc32{};
    if (writing_)
        abandon();
    else
        close();
    path_ = path;
    error_ = false;
    size_ = 0;
    position_ = 0;
    stamp_ = FileStamp{};
    failure_.clear();

    // Opened without waiting, so that a FIFO is refused rather than waited
    // on; only a plain file is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    int error = fd < 0 ? errno : ::fstat(fd, &info) != 0 ? errno : 0;
    if (error == 0 && S_ISDIR(info.st_mode))
        error = EISDIR;
    if (error == 0 && !S_ISREG(info.st_mode))
        failure_ = NOT_REGULAR_FILE_REASON;
    else if (error == 0 && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        error = errno;
    if (error == 0 && failure_.empty() && !(file_ = ::fdopen(fd, "rb")))
        error = errno;
    if (error != 0 || !failure_.empty()) {
        if (failure_.empty())
            failure_ = system_reason(error);
        if (fd >= 0)
            ::close(fd);
        error_ = true;
        return false;
    }
    size_ = static_cast<int64_t>(info.st_size);
    stamp_ = descriptor_stamp(::fileno(file_));
    return true;
}

bool BinFile::open_write(const std::string& path)
{
    counting_ = false;
    written_crc_ = Crc32{};
    if (writing_)
        abandon();
    else
        close();
    path_ = path;
    error_ = false;
    failure_.clear();
    read_only_ = false;
    size_ = 0;
    position_ = 0;

    stamp_ = FileStamp{};
    if (std::string refusal = write_refusal(path); !refusal.empty()) {
        failure_ = std::move(refusal);
        read_only_ = true;
        error_ = true;
        return false;
    }
    const int fd = replacement_.create(path);
    if (fd < 0) {
        failure_ = replacement_.failure();
        error_ = true;
        return false;
    }
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        failure_ = system_reason(errno);
        ::close(fd);
        replacement_.discard();
        error_ = true;
        return false;
    }
    writing_ = true;
    return true;
}

bool BinFile::open_scratch()
{
    counting_ = false;
    written_crc_ = Crc32{};
    if (writing_)
        abandon();
    else
        close();
    path_.clear();
    error_ = false;
    failure_.clear();
    size_ = 0;
    position_ = 0;
    file_ = std::tmpfile();
    if (!file_) {
        failure_ = system_reason(errno);
        error_ = true;
        return false;
    }
    writing_ = true;
    scratch_ = true;
    return true;
}

bool BinFile::reread()
{
    if (!file_ || !writing_ || !scratch_ || !record_starts_.empty() || std::fflush(file_) != 0)
        error_ = true;
    if (error_)
        return false;
    std::rewind(file_);
    writing_ = false;
    position_ = 0;
    return true;
}

bool BinFile::close()
{
    if (!file_)
        return !error_;
    if (!writing_ || scratch_) {
        std::fclose(file_);
        file_ = nullptr;
        writing_ = scratch_ = false;
        return !error_;
    }

    bool ok = !error_ && record_starts_.empty();
    record_starts_.clear();
    record_bytes_.clear();
    if (std::fflush(file_) != 0 || std::ferror(file_)) {
        if (failure_.empty())
            failure_ = system_reason(errno);
        ok = false;
    }
    // A rename keeps the file's number and time: this is the stamp of the
    // file under the target's name.
    stamp_ = descriptor_stamp(::fileno(file_));
    if (std::fclose(file_) != 0) {
        if (failure_.empty())
            failure_ = system_reason(errno);
        ok = false;
    }
    file_ = nullptr;
    writing_ = false;
    // The new file replaces the previous one in one rename: the target is
    // never missing, whenever the process may end.
    if (ok && !replacement_.put_in_place()) {
        failure_ = replacement_.failure();
        ok = false;
    }
    if (!ok) {
        replacement_.discard();
        stamp_ = FileStamp{};
    }
    error_ = !ok;
    return ok;
}

void BinFile::abandon()
{
    record_starts_.clear();
    record_bytes_.clear();
    if (!writing_ || scratch_) {
        close();
        return;
    }
    std::fclose(file_);
    file_ = nullptr;
    writing_ = false;
    replacement_.discard();
}

void BinFile::fail_read(void* buffer, std::size_t n)
{
    if (buffer && n > 0)
        std::memset(buffer, 0, n);
    error_ = true;
}

void BinFile::read(void* buffer, std::size_t n)
{
    if (n == 0)
        return;
    if (!buffer || !file_ || writing_ || error_) {
        fail_read(buffer, n);
        return;
    }
    const std::size_t got = std::fread(buffer, 1, n, file_);
    position_ += static_cast<int64_t>(got);
    if (got < n)
        fail_read(static_cast<unsigned char*>(buffer) + got, n - got);
}

void BinFile::write(const void* buffer, std::size_t n)
{
    if (n == 0)
        return;
    if (!buffer || !file_ || !writing_ || error_) {
        error_ = true;
        return;
    }
    if (!record_starts_.empty()) {
        const auto* bytes = static_cast<const unsigned char*>(buffer);
        record_bytes_.insert(record_bytes_.end(), bytes, bytes + n);
        position_ += static_cast<int64_t>(n);
        size_ = std::max(size_, position_);
        return;
    }
    const std::size_t put = std::fwrite(buffer, 1, n, file_);
    if (counting_)
        written_crc_.update(buffer, put);
    position_ += static_cast<int64_t>(put);
    size_ = std::max(size_, position_);
    if (put < n) {
        // The first failure's reason: a full disk, a file-size limit.
        if (failure_.empty())
            failure_ = system_reason(errno);
        error_ = true;
    }
}

int32_t BinFile::read_int()
{
    unsigned char bytes[4];
    read(bytes, 4);
    return std::bit_cast<int32_t>(load_le32(bytes));
}

void BinFile::write_int(int32_t value)
{
    unsigned char bytes[4];
    store_le32(bytes, std::bit_cast<uint32_t>(value));
    write(bytes, 4);
}

float BinFile::read_float()
{
    unsigned char bytes[4];
    read(bytes, 4);
    return std::bit_cast<float>(load_le32(bytes));
}

void BinFile::write_float(float value)
{
    unsigned char bytes[4];
    store_le32(bytes, std::bit_cast<uint32_t>(value));
    write(bytes, 4);
}

uint8_t BinFile::read_byte()
{
    unsigned char byte = 0;
    read(&byte, 1);
    return byte;
}

void BinFile::write_byte(uint8_t value)
{
    write(&value, 1);
}

void BinFile::read_ints(int32_t* values, std::size_t count)
{
    if (count == 0)
        return;
    if (!values || count > std::numeric_limits<std::size_t>::max() / 4) {
        error_ = true;
        return;
    }
    read(values, 4 * count);
    from_le32_in_place(values, count);
}

void BinFile::write_ints(const int32_t* values, std::size_t count)
{
    write_le32_array(*this, values, count);
}

void BinFile::read_floats(float* values, std::size_t count)
{
    if (count == 0)
        return;
    if (!values || count > std::numeric_limits<std::size_t>::max() / 4) {
        error_ = true;
        return;
    }
    read(values, 4 * count);
    from_le32_in_place(values, count);
}

void BinFile::write_floats(const float* values, std::size_t count)
{
    write_le32_array(*this, values, count);
}

std::string BinFile::read_name(std::size_t width)
{
    std::string text(width, '\0');
    read(text.data(), width);
    const std::size_t end = text.find('\0');
    if (end != std::string::npos)
        text.resize(end);
    return text;
}

void BinFile::write_name(std::string_view text, std::size_t width)
{
    // A text too long for its field loses whole characters only.
    text = utf8_prefix(text, width);
    std::string field(width, '\0');
    std::memcpy(field.data(), text.data(), text.size());
    write(field.data(), width);
}

void BinFile::begin_record()
{
    if (!file_ || !writing_ || error_) {
        error_ = true;
        return;
    }
    record_starts_.push_back(record_bytes_.size());
    const unsigned char length[4] = {};
    write(length, sizeof length);
}

void BinFile::end_record()
{
    if (record_starts_.empty()) {
        error_ = true;
        return;
    }
    const std::size_t start = record_starts_.back();
    record_starts_.pop_back();
    const std::size_t length = record_bytes_.size() - start - 4;
    if (error_ || length > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
        error_ = true;
        return;
    }
    store_le32(&record_bytes_[start], static_cast<uint32_t>(length));
    if (!record_starts_.empty())
        return;
    const std::size_t put = std::fwrite(record_bytes_.data(), 1, record_bytes_.size(), file_);
    if (counting_)
        written_crc_.update(record_bytes_.data(), put);
    if (put < record_bytes_.size())
        error_ = true;
    record_bytes_.clear();
}

void BinFile::count_checksum()
{
    if (!file_ || !writing_)
        error_ = true;
    counting_ = true;
    written_crc_ = Crc32{};
}

bool BinFile::seek(int64_t offset)
{
    if (!record_starts_.empty() || (writing_ && counting_)) {
        error_ = true;
        return false;
    }
    if (!file_ || offset < 0 || offset > size_ || offset > std::numeric_limits<off_t>::max()) {
        error_ = true;
        return false;
    }
    if (writing_ && std::fflush(file_) != 0) {
        error_ = true;
        return false;
    }
    if (::fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) {
        error_ = true;
        return false;
    }
    position_ = offset;
    return true;
}

int64_t BinFile::tell() const
{
    return file_ ? position_ : 0;
}

int64_t BinFile::size() const
{
    return size_;
}

int64_t BinFile::remaining() const
{
    return file_ ? std::max<int64_t>(0, size_ - position_) : 0;
}

bool BinFile::fits(int64_t count, std::size_t item_size) const
{
    if (count < 0)
        return false;
    if (item_size == 0 || count == 0)
        return true;
    return count <= remaining() / static_cast<int64_t>(item_size);
}

std::string write_refusal(const std::string& path)
{
    struct stat target {};
    if (::stat(path.c_str(), &target) != 0 || !S_ISREG(target.st_mode))
        return {};
    const int access_error = ::access(path.c_str(), W_OK) == 0 ? 0 : errno;
    if (access_error == 0 && (target.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0)
        return {};
    return access_error == EROFS ? system_reason(EROFS) : "The file is read-only.";
}

bool read_curve(BinFile& file, XYCurve& curve, int32_t max_count)
{
    const int32_t count = file.read_int();
    if (file.error())
        return false;
    if (count < 0 || count > max_count || !file.fits(count, 2 * sizeof(float))) {
        file.set_error();
        return false;
    }
    std::vector<float> values(2 * static_cast<std::size_t>(count));
    file.read_floats(values.data(), values.size());
    if (file.error())
        return false;
    XYCurve read;
    read.reserve(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < values.size(); i += 2)
        read.push_back(values[i], values[i + 1]);
    curve = std::move(read);
    return true;
}

void write_curve(BinFile& file, const XYCurve& curve)
{
    if (curve.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
        file.set_error();
        return;
    }
    file.write_int(static_cast<int32_t>(curve.size()));
    for (const XYPair& p : curve) {
        file.write_float(p.x);
        file.write_float(p.y);
    }
}

void require_finite(float value, const std::string& field)
{
    if (!std::isfinite(value))
        throw_message(field + " is not a finite number");
}

float read_finite_float(BinFile& file, const std::string& field)
{
    const float value = file.read_float();
    require_finite(value, field);
    return value;
}

bool read_flag(BinFile& file, const char* name)
{
    const uint8_t value = file.read_byte();
    if (!file.error() && value > 1)
        throw_message(c_format("%s flag holds %d", name, value));
    return value != 0;
}

namespace {
struct SharedBinFile {
    BinFile value{};
};
}  // namespace

BinFile& binfile()
{
    return session_part<SharedBinFile>().value;
}

bool binfile_open_read(const std::string& path) { return binfile().open_read(path); }
bool binfile_open_write(const std::string& path) { return binfile().open_write(path); }
void binfile_read(void* buffer, std::size_t n) { binfile().read(buffer, n); }
void binfile_write(const void* buffer, std::size_t n) { binfile().write(buffer, n); }
int32_t binfile_read_int() { return binfile().read_int(); }
void binfile_write_int(int32_t value) { binfile().write_int(value); }
float binfile_read_float() { return binfile().read_float(); }
void binfile_write_float(float value) { binfile().write_float(value); }
uint8_t binfile_read_byte() { return binfile().read_byte(); }
void binfile_write_byte(uint8_t value) { binfile().write_byte(value); }
bool binfile_close() { return binfile().close(); }
bool binfile_error() { return binfile().error(); }
