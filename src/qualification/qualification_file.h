// What the flange (".flg"), lug (".lug") and nozzle (".noz") files share:
// little-endian records of int32, float32 and byte fields after a 16-byte
// magic text, with the 20 unit choices at their end. Each record is
// described once as a list of fields; reading, writing and comparing go
// through that list.
//
// A reader treats the file as hostile: it reads into a record of its own,
// refuses a short file, an index outside its range, a float that is not a
// finite number and a unit choice that is not a unit of its quantity, each
// with a message that names the file; the caller takes the record and the
// units only when the whole file was good. A writer writes a temporary file
// beside the target and renames it into place when every byte was written.
#pragma once

#include "framework/binfile.h"
#include "framework/unit_choices.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// The messages of one kind of file; each pattern takes the path.
struct QualificationFileTexts {
    const char* title;        // "Flange Qualification file": a missing file's message (missing_file_text)
    const char* bad_magic;    // "Unable to read flange qualification file:\n%s"
    const char* read_error;   // "There was an error while reading flange qualification file:\n%s"
    const char* write_error;  // "Unable to write flange data file"
};

// One field of a record, in file order.
template <class R>
struct QualificationField {
    enum Kind { Int, Float, Byte };
    Kind kind = Float;
    std::string name;                                   // as messages name it
    std::function<int32_t&(R&)> int_ref{};
    std::function<float&(R&)> float_ref{};
    std::function<uint8_t&(R&)> byte_ref{};
    int32_t low = 0, high = 0;                          // the range of an int or byte

    static QualificationField integer(std::string name, std::function<int32_t&(R&)> ref, int32_t low, int32_t high)
    {
        QualificationField f;
        f.kind = Int;
        f.name = std::move(name);
        f.int_ref = std::move(ref);
        f.low = low;
        f.high = high;
        return f;
    }
    static QualificationField real(std::string name, std::function<float&(R&)> ref)
    {
        QualificationField f;
        f.kind = Float;
        f.name = std::move(name);
        f.float_ref = std::move(ref);
        return f;
    }
    static QualificationField byte(std::string name, std::function<uint8_t&(R&)> ref, int32_t low, int32_t high)
    {
        QualificationField f;
        f.kind = Byte;
        f.name = std::move(name);
        f.byte_ref = std::move(ref);
        f.low = low;
        f.high = high;
        return f;
    }
};
template <class R>
using QualificationFields = std::vector<QualificationField<R>>;

// Fields that are members of the record.
template <class R>
QualificationField<R> real_field(std::string name, float R::*member)
{
    return QualificationField<R>::real(std::move(name), [member](R& r) -> float& { return r.*member; });
}
template <class R>
QualificationField<R> int_field(std::string name, int32_t R::*member, int32_t low, int32_t high)
{
    return QualificationField<R>::integer(std::move(name), [member](R& r) -> int32_t& { return r.*member; }, low,
                                          high);
}
template <class R>
QualificationField<R> byte_field(std::string name, uint8_t R::*member, int32_t low, int32_t high)
{
    return QualificationField<R>::byte(std::move(name), [member](R& r) -> uint8_t& { return r.*member; }, low, high);
}

inline constexpr std::size_t QUALIFICATION_MAGIC_SIZE = 16;
inline constexpr std::size_t QUALIFICATION_UNITS_SIZE = 4 * 20;

// Opens a file for reading; throws the missing-file text.
void open_qualification_file(BinFile& file, const std::string& path, const QualificationFileTexts& texts);
// The 16 magic bytes as a zero-terminated text.
std::string read_qualification_magic(BinFile& file);
void write_qualification_magic(BinFile& file, const std::string& magic);
// The 20 unit choices, quantity 1 first.
UnitChoices read_unit_choice_block(BinFile& file);
void write_unit_choice_block(BinFile& file, const UnitChoices& units);
// Why the unit choices cannot be taken ("Unit choice 9 of quantity 2 (dimension)
// is not one of its units"); empty when they can.
std::string unit_choices_fault(const UnitChoices& units);

// The read-error text with the path and, on a line of its own, what is wrong.
[[noreturn]] void throw_qualification_fault(const QualificationFileTexts& texts, const std::string& path,
                                            const std::string& reason);
// The bad-magic text with the path.
[[noreturn]] void throw_qualification_magic(const QualificationFileTexts& texts, const std::string& path);
// After the body was read: a short file gives the read-error text.
void check_qualification_stream(BinFile& file, const QualificationFileTexts& texts, const std::string& path);

// Opens the target for writing (through its temporary file); throws the
// write-error text.
void create_qualification_file(BinFile& file, const std::string& path, const QualificationFileTexts& texts);
// Renames the written file into place; throws the write-error text and
// leaves the old file when anything failed.
void finish_qualification_file(BinFile& file, const QualificationFileTexts& texts);

template <class R>
void write_qualification_fields(BinFile& file, const R& record, const QualificationFields<R>& fields)
{
    R& r = const_cast<R&>(record);
    for (const QualificationField<R>& f : fields) {
        switch (f.kind) {
        case QualificationField<R>::Int: file.write_int(f.int_ref(r)); break;
        case QualificationField<R>::Float: file.write_float(f.float_ref(r)); break;
        case QualificationField<R>::Byte: file.write_byte(f.byte_ref(r)); break;
        }
    }
}

template <class R>
void read_qualification_fields(BinFile& file, R& record, const QualificationFields<R>& fields)
{
    for (const QualificationField<R>& f : fields) {
        switch (f.kind) {
        case QualificationField<R>::Int: f.int_ref(record) = file.read_int(); break;
        case QualificationField<R>::Float: f.float_ref(record) = file.read_float(); break;
        case QualificationField<R>::Byte: f.byte_ref(record) = file.read_byte(); break;
        }
    }
}

// Why a record read from a file cannot be taken: the first index outside
// its range ("Flange type holds 7") or float that is not finite ("Flange
// thickness is not a finite number"); empty when it can.
template <class R>
std::string qualification_fields_fault(const R& record, const QualificationFields<R>& fields)
{
    R& r = const_cast<R&>(record);
    for (const QualificationField<R>& f : fields) {
        int32_t value = 0;
        switch (f.kind) {
        case QualificationField<R>::Float: {
            const float v = f.float_ref(r);
            if (!std::isfinite(v))
                return f.name + " is not a finite number";
            continue;
        }
        case QualificationField<R>::Int: value = f.int_ref(r); break;
        case QualificationField<R>::Byte: value = f.byte_ref(r); break;
        }
        if (value < f.low || value > f.high)
            return f.name + " holds " + std::to_string(value);
    }
    return {};
}

// A file of a record and the unit choices: the magic, the fields, the 20
// unit choices.
template <class R>
void write_qualification_record(const std::string& path, const std::string& magic, const R& record,
                                const QualificationFields<R>& fields, const UnitChoices& units,
                                const QualificationFileTexts& texts)
{
    BinFile file;
    create_qualification_file(file, path, texts);
    write_qualification_magic(file, magic);
    write_qualification_fields(file, record, fields);
    write_unit_choice_block(file, units);
    finish_qualification_file(file, texts);
}

// Reads such a file into a record of its own; `check` may name a fault the
// field ranges do not cover. Throws the kind's messages with the path.
template <class R>
std::pair<R, UnitChoices> read_qualification_record(const std::string& path, const std::string& magic,
                                                    const QualificationFields<R>& fields,
                                                    const QualificationFileTexts& texts,
                                                    const std::function<std::string(const R&)>& check = {})
{
    BinFile file;
    open_qualification_file(file, path, texts);
    if (read_qualification_magic(file) != magic)
        throw_qualification_magic(texts, path);
    std::pair<R, UnitChoices> read{};
    read_qualification_fields(file, read.first, fields);
    read.second = read_unit_choice_block(file);
    check_qualification_stream(file, texts, path);
    std::string fault = qualification_fields_fault(read.first, fields);
    if (fault.empty() && check)
        fault = check(read.first);
    if (fault.empty())
        fault = unit_choices_fault(read.second);
    if (!fault.empty())
        throw_qualification_fault(texts, path, fault);
    return read;
}
