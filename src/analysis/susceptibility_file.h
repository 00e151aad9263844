// The dynamic susceptibility file (".rds", beside the results file) that a
// run with the modal analysis writes: for each mode, the element end forces
// of its shape scaled so that the node that moves most vibrates at a
// velocity amplitude of 1 inch per second. Stress over velocity is then a
// property of the mode: the results work the stresses out with the piping
// code's SIFs and name, per mode, the node of the largest velocity and the
// node of the largest stress (the mode markers).
//
// Layout (little-endian):
//   header  16 bytes: "KORVANEWRDS5100" and a NUL
//   int32   M, the modes
//   int32   E, the elements of the results file
//   per mode 1..M:
//     float32 frequency (Hz)
//     int32   the node (index in the node table) of the largest
//             translational amplitude of the shape
//     float32 v, the scale of the shape: 1 / (w times that amplitude)
//     12 E float32, the end forces of the shape times v (elements 1..E, in
//             the results file's local axes)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline constexpr const char* SUSCEPTIBILITY_FILE_MAGIC = "KORVANEWRDS5100";
inline constexpr int SUSCEPTIBILITY_HEADER_SIZE = 16;

struct SusceptibilityMode {
    float frequency = 0.0f;
    int32_t velocity_node = 0;
    float scale = 0.0f;
    std::vector<float> forces;   // 12 E
    bool operator==(const SusceptibilityMode&) const = default;
};

// The bytes of one mode's record and of a whole file.
int64_t susceptibility_mode_size(int64_t elements);
int64_t susceptibility_file_size(int64_t elements, int64_t modes);

// Writes the file through a temporary file; "Unable to write dynamic
// susceptibility file:\n<path>" on failure.
void write_susceptibility_file(const std::string& path, int32_t elements, const std::vector<SusceptibilityMode>& modes);

// Reads a file written for a model of `elements` elements and `nodes`
// nodes. A file that is missing, has another magic, another element count,
// a length its counts do not give, a node outside the model or a value that
// is not a number throws "Unable to read dynamic susceptibility file:\n<path>".
std::vector<SusceptibilityMode> read_susceptibility_file(const std::string& path, int32_t elements, int32_t nodes);
