// The valve library: valve records (description, nominal size, pressure
// rating, end connection, length, weight, outside diameter, valve type and
// size standard) from which a valve element takes its weight and length,
// chosen by the outside diameter of its pipe.
//
// While the valve library is edited in the list window its records are part
// of the document (valve_records()); a library read for a pick is kept apart
// (materials/ui/valve_pick.h), so that a pick never changes what is edited.
//
// File ".val": the 16-byte header (library_file.h; versions below 500 are
// refused), the unit choices of length, weight and dimension (read, checked
// and not applied), the count and the records. A record is description 26
// bytes, outside diameter f32, standard int32, nominal size 8 bytes, rating 6
// bytes, connection 3 bytes, length f32, weight f32 and, in files of version
// above 510, the valve type int32: 63 bytes (59 before).
#pragma once

#include "framework/one_based.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr std::size_t VALVE_DESCRIPTION_LENGTH = 25;
inline constexpr std::size_t VALVE_DESCRIPTION_WIDTH = 26;
inline constexpr std::size_t VALVE_SIZE_LENGTH = 7;
inline constexpr std::size_t VALVE_SIZE_WIDTH = 8;
inline constexpr std::size_t VALVE_RATING_LENGTH = 5;
inline constexpr std::size_t VALVE_RATING_WIDTH = 6;
inline constexpr std::size_t VALVE_CONNECTION_WIDTH = 3;
inline constexpr int VALVE_LIBRARY_FIRST_VERSION = 500;
// Files of this version and below have no valve type.
inline constexpr int VALVE_LIBRARY_UNTYPED_VERSION = 510;
inline constexpr int32_t MAX_LIBRARY_VALVES = 100000;
inline constexpr int VALVE_LIBRARY_UNIT_COUNT = 3;
// Length, weight, dimension.
inline constexpr int VALVE_LIBRARY_UNIT_QUANTITIES[VALVE_LIBRARY_UNIT_COUNT] = {1, 8, 2};
using ValveLibraryUnits = std::array<int32_t, VALVE_LIBRARY_UNIT_COUNT>;

inline constexpr int VALVE_CONNECTION_COUNT = 5;
inline constexpr int VALVE_TYPE_COUNT = 8;
inline constexpr int VALVE_RATING_COUNT = 9;
inline constexpr int VALVE_STANDARD_COUNT = 4;   // 0 ANSI, 1 DIN, 2 JIS, 3 ISO

struct ValveRecord {
    std::string description;   // at most 25 characters; empty: no valve
    std::string nominal_size;  // a size name of the standard's size table, or "Non Std"
    std::string rating;        // at most 5 characters
    std::string connection;    // "BW", "SW", "TD", "FL", "LJ" or empty
    float length = 0.0f;       // inch; 0: not given
    float weight = 0.0f;       // lb; 0: not given
    float outside_diameter = 0.0f;   // inch, of the pipe the valve fits; 0: not given
    int32_t valve_type = 0;    // index into valve_type_name
    int32_t standard = 0;      // size standard

    bool operator==(const ValveRecord&) const = default;
};

// "BW : Buttweld", ... in list order; the stored code is the first two letters.
const char* valve_connection_name(int index);
// " ", "Gate", "Globe", "Check", "Butterfly", "Control", "Ball", "Plug".
const char* valve_type_name(int index);
// The nine ratings of a standard, each padded to 5 characters (JIS and ISO: blank).
const char* valve_rating_name(int standard, int index);
const char* valve_standard_name(int standard);

// The records of the valve library being edited (a document part).
OneBased<ValveRecord>& valve_records();
inline int numlibvalves() { return valve_records().size(); }
// True while the valve library is edited in the list window.
bool& valve_library_mode();

struct ValveLibraryContents {
    int32_t version = 0;
    ValveLibraryUnits units{};
    OneBased<ValveRecord> records;
};
// Reads a whole library; throws the message text of a failure, naming the
// file. A version below 500 gives "Unable to read valve library:\n<path>\n
// Version = 4.99" (the version times 0.01).
ValveLibraryContents read_valve_library_file(const std::string& path);
// Throws "Unable to write Valve file".
void write_valve_library_file(const std::string& path, const ValveLibraryUnits& units,
                              const OneBased<ValveRecord>& valves);

// The first record equal to the given values in description, nominal size,
// rating and connection (ignoring case) and length and weight (exactly),
// other than `except`; 0 when none.
int find_valve(const OneBased<ValveRecord>& valves, const ValveRecord& like, int except = 0);

// The records, in order, of the valves that fit a pipe of outside diameter
// `od` (inch): those whose diameter prints as the same "%.3f" text.
std::vector<int> valves_fitting_diameter(const OneBased<ValveRecord>& valves, double od);
