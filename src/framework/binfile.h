// The binary file object through which model, results and library files are
// read and written: raw little-endian int32, float32 and bytes, field by field,
// with no framing.
//
// No call reports an error by itself: a failed open, a short read or a failed
// write sets the error flag, and readers test it once at their end and throw
// their own texts. A short read fills the rest of the destination with zeros,
// so a reader never works on leftover memory; after the flag is set, reads
// give zeros and writes are dropped.
//
// A framed record (a byte length, then the record) is begun and ended around
// its fields: they go into memory, and the record goes to the file in one
// write, its length first, when the outermost record open ends; nothing
// seeks back.
//
// Writing goes to a temporary file beside the target (ReplacementFile,
// platform/file_replace.h); close() renames it over the target in one step
// only when every write succeeded, so a failed save never destroys the
// previous file and a process killed at any moment leaves the previous file
// or the new one under the target's name. A writer that is abandoned, closed
// after an error or destroyed without close() removes its temporary file and
// leaves the target as it was.
#pragma once

#include "framework/crc32.h"
#include "framework/xycurve.h"
#include "platform/file_replace.h"
#include "platform/file_stamp.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

class BinFile {
public:
    BinFile() = default;
    ~BinFile();
    BinFile(const BinFile&) = delete;
    BinFile& operator=(const BinFile&) = delete;

    // Opening closes (or abandons, for a writer) a file that is still open
    // and clears the error flag. False, with the flag set, when the file
    // cannot be opened. A writer refuses to replace a file that exists and
    // that the user may not write (read-only), although the rename of its
    // temporary file into place could.
    bool open_read(const std::string& path);
    bool open_write(const std::string& path);
    // A scratch file that no path names (the system removes it when it is
    // closed): written first, then read back from its start after reread(),
    // so that records can be put through their reader as a file would bring
    // them.
    bool open_scratch();
    // Ends the writing of a scratch file and goes to its start for reading;
    // false (with the error flag set) when a write failed or a record is
    // still open.
    bool reread();

    // For a writer: true when the file was written and renamed into place.
    // For a reader: true when no error occurred. Closing a file that is not
    // open does nothing and returns !error().
    bool close();
    // Drops a writer's temporary file without touching the target.
    void abandon();

    bool is_open() const { return file_ != nullptr; }
    bool is_writing() const { return writing_; }
    bool error() const { return error_; }
    // Lets a reader mark the file bad after a check of its own (a count out
    // of range, a bad header), so that its single test at the end fails.
    void set_error() { error_ = true; }
    // The target path given to the last open.
    const std::string& path() const { return path_; }
    // Why an open for reading failed ("Not a regular file." for a FIFO or a
    // device, or the system's reason), or why a writer failed, in a
    // sentence: its open ("The file is read-only.", or the system's
    // reason), its first failed write ("No space left on device.") or its
    // close; empty when it did not.
    const std::string& failure() const { return failure_; }
    // Whether the last open_write refused a read-only target.
    bool refused_read_only() const { return read_only_; }
    // The version on disk of the file read, or of the file a writer put in
    // place (unknown before).
    const FileStamp& stamp() const { return stamp_; }

    void read(void* buffer, std::size_t n);
    void write(const void* buffer, std::size_t n);

    int32_t read_int();
    void write_int(int32_t value);
    float read_float();
    void write_float(float value);
    uint8_t read_byte();
    void write_byte(uint8_t value);

    void read_ints(int32_t* values, std::size_t count);
    void write_ints(const int32_t* values, std::size_t count);
    void read_floats(float* values, std::size_t count);
    void write_floats(const float* values, std::size_t count);

    // A record whose int32 byte length comes before it: the fields written
    // between begin_record and end_record are its bytes. Records nest. A
    // writer closed with a record still open fails; so does a seek while
    // one is open.
    void begin_record();
    void end_record();

    // A fixed-width text field: the text up to the first NUL of the width
    // bytes read; written cut to the width and padded with NULs.
    std::string read_name(std::size_t width);
    void write_name(std::string_view text, std::size_t width);

    // Absolute byte offset. A seek outside 0..size() of a reader, or a failed
    // seek, sets the error flag.
    bool seek(int64_t offset);
    int64_t tell() const;
    // The file's size in bytes (for a writer, the bytes written so far).
    int64_t size() const;
    // Bytes between the position and the end (0 when not open).
    int64_t remaining() const;
    // True when count items of item_size bytes fit in the remaining bytes;
    // readers check a count with it before they allocate.
    bool fits(int64_t count, std::size_t item_size) const;

    // For a writer: from now on, the CRC-32 of every byte put in the file
    // (a record's when it ends) is kept, for a check written last. A seek
    // of such a writer sets the error flag, as the bytes would no longer be
    // checked in the order they lie. An open ends the counting.
    void count_checksum();
    // The CRC-32 of the bytes put since count_checksum().
    uint32_t written_checksum() const { return written_crc_.value(); }

private:
    void fail_read(void* buffer, std::size_t n);

    std::FILE* file_ = nullptr;
    std::string failure_;
    std::string path_;
    ReplacementFile replacement_;   // a writer's temporary file
    bool writing_ = false;
    bool scratch_ = false;
    bool error_ = false;
    bool read_only_ = false;
    FileStamp stamp_;
    int64_t size_ = 0;       // reader: size at open; writer: the high-water mark
    int64_t position_ = 0;
    bool counting_ = false;
    Crc32 written_crc_;
    // The open records' bytes, outermost first, and where each begins.
    std::vector<unsigned char> record_bytes_;
    std::vector<std::size_t> record_starts_;
};

// Why a writer would refuse to replace the file at the path: "The file is
// read-only." for a file the user may not write (although the rename of a
// temporary file could replace it), the system's reason for a file system
// mounted read-only; empty when nothing stands in the way that can be told
// before writing.
std::string write_refusal(const std::string& path);

// An x-y curve as int32 count followed by count (x, y) float pairs. A count
// below 0, above max_count or larger than the remaining bytes sets the error
// flag and leaves the curve as it was; nothing is allocated for it.
inline constexpr int32_t MAX_CURVE_POINTS = 1000000;
bool read_curve(BinFile& file, XYCurve& curve, int32_t max_count = MAX_CURVE_POINTS);
void write_curve(BinFile& file, const XYCurve& curve);

// A float field of a record that must hold a number: NaN and infinity never
// enter the document from a file. Throws the message text "<field> is not a
// finite number" for such a value (a reader puts the file and the record
// before it); a value after a read error is the zero the read gave.
void require_finite(float value, const std::string& field);
float read_finite_float(BinFile& file, const std::string& field);
// A byte field of a record that stores a flag: only 0 and 1 are written, any
// other value throws "<name> flag holds <value>".
bool read_flag(BinFile& file, const char* name);

// The one shared file stream of the free-function interface below.
BinFile& binfile();

bool binfile_open_read(const std::string& path);
bool binfile_open_write(const std::string& path);
void binfile_read(void* buffer, std::size_t n);
void binfile_write(const void* buffer, std::size_t n);
int32_t binfile_read_int();
void binfile_write_int(int32_t value);
float binfile_read_float();
void binfile_write_float(float value);
uint8_t binfile_read_byte();
void binfile_write_byte(uint8_t value);
bool binfile_close();
bool binfile_error();
