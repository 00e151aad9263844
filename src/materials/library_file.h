// The library files kept beside the model files: pipe materials (".mat"),
// beam sections (".bli"), valves (".val") and response spectra (".spe").
//
// Every library file begins with a 16-byte header: an 11-character kind
// ("KORVANEWMAT"), four version digits and a NUL. The version of a file is
// the number of its first three digits ("6900" reads as 690, "6905" too);
// the fourth digit must be a digit but is not part of the number. Writers
// always write the magic of their kind.
#pragma once

#include "framework/text.h"
#include "framework/units.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class BinFile;

enum class LibraryKind { Material, Beam, Valve, Spectrum };

struct LibraryFileKind {
    LibraryKind kind;
    const char* header_kind;   // "KORVANEWMAT"
    const char* magic;         // "KORVANEWMAT6900"
    const char* extension;     // "mat"
    const char* title;         // "Material Library": the missing-file message
    const char* noun;          // "material library": the read messages
};
const LibraryFileKind& library_file_kind(LibraryKind kind);

inline constexpr std::size_t LIBRARY_HEADER_BYTES = 16;
inline constexpr std::size_t LIBRARY_HEADER_KIND_LENGTH = 11;

// The version of a header of the kind; -1 when the kind differs or one of
// the four version characters is not a digit.
int library_header_version(std::string_view header, const char* header_kind);
// Reads the 16 header bytes; the version, or -1 for a short file or a header
// that is not of the kind.
int read_library_header(BinFile& file, const LibraryFileKind& kind);
void write_library_header(BinFile& file, const LibraryFileKind& kind);

// The messages of a library file, each naming it:
//   "Material Library: <path>\nDoes not exist." (or "...\nIs a folder, not a
//   file." for a folder)
//   "Unable to read material library:\n<path>"
//   "There was an error while reading material library:\n<path>"
std::string library_missing_message(const LibraryFileKind& kind, const std::string& path);
std::string library_unreadable_message(const LibraryFileKind& kind, const std::string& path);
std::string library_read_error_message(const LibraryFileKind& kind, const std::string& path);
// The read-error message followed by a line that says what is wrong.
std::string library_damage_message(const LibraryFileKind& kind, const std::string& path,
                                   const std::string& what);

// The unit choices a library file stores, in file order, for its quantities.
template <std::size_t N>
std::array<int32_t, N> current_unit_choices(const int (&quantities)[N])
{
    std::array<int32_t, N> units{};
    for (std::size_t i = 0; i < N; ++i)
        units[i] = current_unit(quantities[i]);
    return units;
}
template <std::size_t N>
void apply_unit_choices(const int (&quantities)[N], const std::array<int32_t, N>& units)
{
    for (std::size_t i = 0; i < N; ++i)
        unit_choice()[static_cast<std::size_t>(quantities[i])] = units[i];
}
// "" when every choice read is a unit of its quantity; else what is wrong.
template <std::size_t N>
std::string unit_choices_problem(const int (&quantities)[N], const std::array<int32_t, N>& units)
{
    for (std::size_t i = 0; i < N; ++i)
        if (!unit_choice_valid(quantities[i], units[i]))
            return c_format("Unit choice %d is out of range", units[i]);
    return {};
}
