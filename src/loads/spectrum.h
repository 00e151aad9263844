// Response spectra, force spectra and the spectrum library list.
//
// A spectrum is a named curve of an ordinate (acceleration, velocity or
// displacement of a response spectrum, or the dynamic load factor of a
// force spectrum) over frequency (Hz) or period (s), with how it is
// interpolated and in which unit its ordinates are given. The ordinates are
// kept in that unit, so that a spectrum read from a library or a text file
// stays as it was given.
//
// The model's spectrum list and force-spectrum list each end with one spare
// record, the input row of their tables; the spare is never written.
//
// Record (model file and spectrum library; the version is the file's):
//   name       17 bytes (16 characters) before SPECTRUM_LONG_NAMES_VERSION,
//              33 bytes (32 characters) from it on
//   u8         abscissa: 0 frequency (Hz), 1 period (s)
//   u8         ordinate: 0 acceleration, 1 velocity, 2 displacement,
//              3 dynamic load factor (force spectra)
//   u8         interpolation: 0 linear, 1 logarithmic (log-log)
//   i32        ordinate unit (spectrum_unit_name)
//   curve      i32 count, count x (f32 abscissa, f32 ordinate)
// Section: i32 count (the list less its spare), then the records.
#pragma once

#include "framework/xycurve.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class BinFile;

inline constexpr std::size_t SPECTRUM_NAME_LENGTH = 32;
inline constexpr std::size_t OLD_SPECTRUM_NAME_LENGTH = 16;
inline constexpr int32_t SPECTRUM_LONG_NAMES_VERSION = 600;
inline constexpr int32_t MAX_SPECTRUM_POINTS = 10000;
inline constexpr int32_t MAXSPECTRA = 999;

enum SpectrumAbscissa : uint8_t { ABSCISSA_FREQUENCY = 0, ABSCISSA_PERIOD = 1 };
enum SpectrumOrdinate : uint8_t {
    ORDINATE_ACCELERATION = 0,
    ORDINATE_VELOCITY = 1,
    ORDINATE_DISPLACEMENT = 2,
    ORDINATE_FACTOR = 3,
};
enum SpectrumInterpolation : uint8_t { INTERPOLATE_LINEAR = 0, INTERPOLATE_LOG = 1 };

struct Spectrum {
    std::string name;
    uint8_t abscissa = ABSCISSA_FREQUENCY;
    uint8_t ordinate = ORDINATE_ACCELERATION;
    uint8_t interpolation = INTERPOLATE_LINEAR;
    int32_t ordinate_unit = 0;
    XYCurve curve;

    void read(BinFile& file);
    void write(BinFile& file) const;
    bool operator==(const Spectrum&) const = default;
};

// The units an ordinate may be given in: acceleration g, in/s2, ft/s2, m/s2,
// mm/s2; velocity in/s, ft/s, m/s, mm/s; displacement inch, ft, m, mm; a
// dynamic load factor has none ("").
int spectrum_unit_count(int ordinate);
std::string spectrum_unit_name(int ordinate, int unit);
// An ordinate in its unit turned into the internal one (in/s2, in/s, inch).
double spectrum_ordinate_to_internal(int ordinate, int unit, double value);
// "Frequency" / "Period", and the axis unit "Hz" / "sec".
const char* spectrum_abscissa_name(int abscissa);
const char* spectrum_abscissa_unit(int abscissa);
const char* spectrum_ordinate_name(int ordinate);

// What is wrong with a spectrum (its options out of range, a curve that
// curve_fault refuses, an abscissa not above 0); empty when it is sound.
std::string spectrum_fault(const Spectrum& s);
// A name's checks: "Spectrum name is required", "Spectrum name should be <=
// 32 characters" (counted in characters), and a name of letters outside
// ASCII too long for its field of 32 bytes (name_fault_text). Any letters
// may stand in it. Empty when it passes.
std::string spectrum_name_fault(const std::string& name);

// A list of spectra with its trailing spare record (index 1..count(), the
// spare at count() + 1).
class SpectrumList {
public:
    SpectrumList() : records_(1) {}
    int count() const { return static_cast<int>(records_.size()) - 1; }
    bool valid(int i) const { return i >= 1 && i <= count(); }
    // Records 1..count() + 1 (the spare included).
    Spectrum& operator[](int i);
    const Spectrum& operator[](int i) const;
    Spectrum& spare() { return records_.back(); }
    // The first record named exactly `name` (1..count()); 0 for none.
    int index(const std::string& name) const;
    // Appends a record before the spare; returns its index.
    int append(Spectrum s);
    void insert(int i, Spectrum s);
    void erase(int i);
    // No records: only a spare (of the default options).
    void clear() { records_.assign(1, Spectrum{}); }
    bool operator==(const SpectrumList&) const = default;

private:
    std::vector<Spectrum> records_;
};

// A list holds at most MAXSPECTRA records, as many as a file may hold:
// "No more than 999 spectra can be defined" (`what`: "spectra", "force
// spectra") when it is full, else empty.
std::string spectrum_list_full_fault(const SpectrumList& list, const char* what);
// `name` (or "SPECTRUM" when it is empty) when the list has no record of
// that name, else the name with "-2", "-3"... in its last characters.
std::string unique_spectrum_name(const SpectrumList& list, const std::string& name);

// The model's response spectra and force spectra.
SpectrumList& spectra();
int numspectrums();
SpectrumList& force_spectra();
int numforcespectra();
// A new force spectrum's options: over frequency, dynamic load factor.
Spectrum make_force_spectrum();

// ---- The spectrum library list ------------------------------------------------------

// The spectra read from a library file, counted from 0.
std::vector<Spectrum>& spectrum_library();
int numlibspectrums();
const Spectrum& library_spectrum(int i);
// Reads an int32 count and that many records, each a default record read in
// place, at the current file version (model_file_version()). A count beyond
// MAXSPECTRA or the bytes left, or a bad record, throws its message; after
// a stream error the records read so far are returned (the caller checks
// the file's error).
std::vector<Spectrum> read_spectrum_records(BinFile& file);
// Writes a list less its spare: the count and the records.
void write_spectrum_records(BinFile& file, const SpectrumList& list);
// Reads the records (read_spectrum_records) into the library list, emptied
// first; after a bad count or record (thrown) or a stream error the list is
// empty.
void read_spectrum_list(BinFile& file);
// Writes the model's list less its spare: the count and the records.
void write_spectrum_list(BinFile& file);
// The model's list becomes the library list and a spare; the library list
// is emptied. Notifies DocumentChange::Cleared for the spectra.
void load_spectrum_library_into_model();
// Empties the model's list to its spare, with the default options, and
// notifies DocumentChange::Cleared for the spectra.
void clear_spectra();

// ---- Force spectra in use -------------------------------------------------------------

// True when a force spectrum load of the model names the force spectrum.
bool force_spectrum_in_use(const std::string& name);
// Every force spectrum load that names `old_name` takes `new_name`.
void rename_force_spectrum_references(const std::string& old_name, const std::string& new_name);

// The two model-file sections (their merges append the records, a clashing
// name taking the first free "1".."999", and the merged rows' force
// spectrum loads following the renames).
void install_spectra();
