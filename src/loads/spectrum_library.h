// The spectrum library file (".spe"): response spectra kept beside the
// models, from which a model takes spectra and which is edited as a
// document of its own with the spectra table.
//
// File: the 16-byte header (materials/library_file.h, "KORVANEWSPE6000"),
// an int32 count and that many spectrum records (loads/spectrum.h) read at
// the file's version: 16-character names before version 600. No unit
// choices are stored: every spectrum keeps the unit of its ordinates.
// Versions above 600 are refused.
//
// The shipped library is made from a text source (libraries/spectra.txt):
//
//   SPECTRUM, <name>, <abscissa>, <ordinate>, <unit>, <interpolation>
//   <abscissa value>, <ordinate value>
//   ...
//
// A SPECTRUM line begins a spectrum: its name (at most 32 characters, no
// comma), Period or Frequency, Acceleration, Velocity or Displacement, the
// ordinate's unit as spectrum_unit_name gives it (g, m/s2, mm...) and Linear
// or Logarithmic; each line after it is one point. A line starting with "#"
// is a comment.
#pragma once

#include "loads/spectrum.h"

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int32_t SPECTRUM_LIBRARY_LAST_VERSION = 600;

struct SpectrumLibraryContents {
    int32_t version = 0;
    std::vector<Spectrum> records;
};

// Reads a whole library; throws the message text of a failure, naming the
// file: "Spectrum Library: <path>\nDoes not exist.", "Unable to read
// spectrum library:\n<path>" (another kind of file), the same with
// "\nVersion = 6.01" for a later version, "There was an error while reading
// spectrum library:\n<path>" with what is wrong for a damaged file. The
// version being read (model_file_version()) is the file's while its records
// are read and is put back afterwards.
SpectrumLibraryContents read_spectrum_library_file(const std::string& path);
// Writes the list less its spare record. Throws "Unable to write Spectrum
// file"; the previous file is then as it was.
void write_spectrum_library_file(const std::string& path, const SpectrumList& spectra);

// The spectra of a text source (above); throws a message naming the line of
// the first fault.
SpectrumList spectrum_library_from_source(const std::string& text);
