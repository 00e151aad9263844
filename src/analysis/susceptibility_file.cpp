#include "analysis/susceptibility_file.h"

#include "framework/binfile.h"
#include "framework/errors.h"
#include "platform/file_replace.h"

#include <cmath>
#include <cstring>

int64_t susceptibility_mode_size(int64_t elements)
{
    return 12 + 48 * elements;
}

int64_t susceptibility_file_size(int64_t elements, int64_t modes)
{
    return SUSCEPTIBILITY_HEADER_SIZE + 8 + modes * susceptibility_mode_size(elements);
}

void write_susceptibility_file(const std::string& path, int32_t elements, const std::vector<SusceptibilityMode>& modes)
{
    BinFile file;
    const std::string failed = "Unable to write dynamic susceptibility file:\n" + path;
    if (!file.open_write(path))
        throw_message(with_reason(failed, file.failure()));
    file.write_name(SUSCEPTIBILITY_FILE_MAGIC, SUSCEPTIBILITY_HEADER_SIZE);
    file.write_int(static_cast<int32_t>(modes.size()));
    file.write_int(elements);
    for (const SusceptibilityMode& m : modes) {
        KV_ASSERT(static_cast<int64_t>(m.forces.size()) == 12 * int64_t{elements});
        file.write_float(m.frequency);
        file.write_int(m.velocity_node);
        file.write_float(m.scale);
        file.write_floats(m.forces.data(), m.forces.size());
    }
    if (file.error() || !file.close())
        throw_message(with_reason(failed, file.failure()));
}

std::vector<SusceptibilityMode> read_susceptibility_file(const std::string& path, int32_t elements, int32_t nodes)
{
    const std::string bad = "Unable to read dynamic susceptibility file:\n" + path;
    BinFile file;
    if (!file.open_read(path) || file.size() < SUSCEPTIBILITY_HEADER_SIZE + 8)
        throw_message(bad);
    char header[SUSCEPTIBILITY_HEADER_SIZE] = {};
    file.read(header, sizeof header);
    if (std::memcmp(header, SUSCEPTIBILITY_FILE_MAGIC, std::strlen(SUSCEPTIBILITY_FILE_MAGIC) + 1) != 0)
        throw_message(bad);
    const int32_t modes = file.read_int();
    const int32_t count = file.read_int();
    if (file.error() || modes < 0 || count != elements || elements < 0 ||
        !file.fits(modes, static_cast<std::size_t>(susceptibility_mode_size(elements))) ||
        file.size() != susceptibility_file_size(elements, modes))
        throw_message(bad);
    std::vector<SusceptibilityMode> out(static_cast<std::size_t>(modes));
    for (SusceptibilityMode& m : out) {
        m.frequency = file.read_float();
        m.velocity_node = file.read_int();
        m.scale = file.read_float();
        m.forces.resize(12 * static_cast<std::size_t>(elements));
        file.read_floats(m.forces.data(), m.forces.size());
        if (file.error() || m.velocity_node < 1 || m.velocity_node > nodes || !std::isfinite(m.frequency) ||
            !std::isfinite(m.scale))
            throw_message(bad);
        for (float f : m.forces)
            if (!std::isfinite(f))
                throw_message(bad);
    }
    return out;
}
