// What the loads' model-file records share: the version from which the
// files hold them, and the checks of the values a file brings.
//
// The loads' sections (pipe loads, beam loads, wind, seismic, spectra, force
// spectra, time functions) and the records of the load data items (force,
// concentrated mass, time-varying, harmonic and force-spectrum loads) and of
// the hydrotest-load row hold their fields from LOAD_RECORDS_VERSION on.
// Earlier files of this program wrote those sections empty and those records
// without a byte: a reader takes an empty section or record of such a file
// as the defaults, and refuses anything else from it.
#pragma once

#include "framework/document_events.h"
#include "model/model_file.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class BinFile;
class XYCurve;

inline constexpr int32_t LOAD_RECORDS_VERSION = 1022;
static_assert(MODEL_FILE_VERSION >= LOAD_RECORDS_VERSION);

// True when the file being read holds the loads' fields.
bool load_records_in_file();
// Throws "This version of the program cannot read <what> of a version %.2f
// model file" for a file before LOAD_RECORDS_VERSION that holds them.
[[noreturn]] void throw_old_load_records(const char* what);

// Reads a one-block section's count: 1 (the block follows) or 0 (an empty
// section: the defaults). Any other count throws "Count %d is out of range";
// a block in a file before LOAD_RECORDS_VERSION throws as above.
bool read_block_count(BinFile& file, const char* what);
// Writes the count 1 of a one-block section.
void file_write_block_count(BinFile& file);

// A value of a record that a file brings must be a number.
bool finite_value(double value);
// A flag byte of the loads' sections: only 0 and 1 are written, any other
// value throws "<name> flag is invalid".
bool read_load_flag(BinFile& file, const char* name);

// The checks of a curve (a wind profile, spectrum or time function) that a
// file, the text import or a table brings: every value a number and the
// abscissae strictly increasing. Empty when it passes, else what is wrong
// ("point 3: the abscissa is not above the one before it").
std::string curve_fault(const XYCurve& curve);
// Reads a curve at the file's position: the count is checked against
// `max_points` and the bytes left (BinFile's read_curve), then the values
// (curve_fault). A bad curve throws "<what>: <fault>".
void read_checked_curve(BinFile& file, XYCurve& curve, const std::string& what, int32_t max_points);

// Registers a section that holds one block of model-wide data (wind,
// seismic): written as the count 1 and the block; read through
// read_block_count, so that an empty section gives the defaults (T{}). A
// merge keeps the current model's block. Reading or clearing the section
// notifies DocumentChange::Cleared for it.
template <typename T>
void register_block_section(int section, const char* what, std::function<T&()> data,
                            std::function<void(T&, BinFile&)> read, std::function<void(const T&, BinFile&)> write)
{
    struct Contents final : SectionContents {
        T value{};
        std::function<T&()> data;
        int section = 0;
        void install(Model&) override
        {
            data() = value;
            notify_document_changed({DocumentChange::Cleared, section});
        }
        void merge(ModelMerge&) override {}
    };
    ModelSectionOwner owner;
    owner.read = [section, what, data, read](BinFile& file) -> std::unique_ptr<SectionContents> {
        auto contents = std::make_unique<Contents>();
        contents->data = data;
        contents->section = section;
        if (read_block_count(file, what))
            read(contents->value, file);
        return contents;
    };
    owner.write = [data, write](BinFile& file) {
        file_write_block_count(file);
        write(data(), file);
    };
    owner.clear = [section, data] {
        data() = T{};
        notify_document_changed({DocumentChange::Cleared, section});
    };
    register_model_section(section, std::move(owner));
}
