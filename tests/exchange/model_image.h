// A model as the program stores it, for comparing two models field by field:
// the records of every model-file section that a batch file carries, and
// per layout row its head fields and the model-file records of its element
// and data item. Two images differ where a byte differs, except that an
// entered zero (1.0e-36) and 0 count as the same value.
#pragma once

#include "framework/binfile.h"
#include "framework/units.h"
#include "model/data_item.h"
#include "model/element_data.h"
#include "model/model.h"
#include "model/model_file.h"

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace model_image {

struct RowImage {
    std::string head;      // node, kinds, flags, offsets and names as text
    std::string element;   // model-file record bytes
    std::string data;
};

struct ModelImage {
    std::map<int, std::string> sections;
    std::vector<RowImage> rows;
};

// The sections a batch file carries (the layout rows are compared row by row).
inline bool compared_section(int id)
{
    switch (id) {
    case SECTION_TITLE:
    case SECTION_OPTIONS:
    case SECTION_PIPE_MATERIALS:
    case SECTION_PIPE_SECTIONS:
    case SECTION_PIPE_LOADS:
    case SECTION_BEAM_MATERIALS:
    case SECTION_BEAM_SECTIONS:
    case SECTION_BEAM_LOADS:
    case SECTION_WIND:
    case SECTION_SEISMIC:
    case SECTION_HYDROTEST:
    case SECTION_PUMPS:
    case SECTION_COMPRESSORS:
    case SECTION_TURBINES:
    case SECTION_SOILS:
    case SECTION_ALLOWABLES:
    case SECTION_NODES:
        return true;
    default:
        return false;
    }
}

inline std::string scratch_file(const char* what)
{
    static std::atomic<unsigned> serial{0};
    return (std::filesystem::temp_directory_path() /
            ("kv-image-" + std::to_string(static_cast<long>(::getpid())) + "-" + what + "-" + std::to_string(++serial)))
        .string();
}

inline std::string file_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline int32_t int_at(const std::string& bytes, std::size_t at)
{
    int32_t v = 0;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

// The image of the current model (built).
inline ModelImage image_of_model()
{
    ModelImage image;
    const std::string path = scratch_file("model");
    write_model_file(path);
    const std::string bytes = file_bytes(path);
    std::filesystem::remove(path);
    std::size_t at = MODEL_FILE_HEADER_SIZE;
    for (int id = 0; id < NUM_MODEL_SECTIONS && at + 4 <= bytes.size(); ++id) {
        const auto length = static_cast<std::size_t>(int_at(bytes, at));
        if (compared_section(id))
            image.sections[id] = bytes.substr(at + 4, length);
        at += 4 + length;
    }
    const std::string records_path = scratch_file("rows");
    std::vector<std::pair<int64_t, int64_t>> spans;
    {
        BinFile file;
        file.open_write(records_path);
        for (int i = 1; i <= numrows(); ++i) {
            const LayoutRow& row = model().rows[i];
            const int64_t start = file.tell();
            if (row.element)
                row.element->write(file);
            const int64_t middle = file.tell();
            if (row.data)
                row.data->write(file);
            spans.push_back({start, middle});
            spans.push_back({middle, file.tell()});
        }
        file.close();
    }
    const std::string records = file_bytes(records_path);
    std::filesystem::remove(records_path);
    for (int i = 1; i <= numrows(); ++i) {
        const LayoutRow& row = model().rows[i];
        std::ostringstream head;
        head.precision(9);
        head << "node " << row.node << ", etype " << row.etype << ", dtype " << row.dtype << ", absolute "
             << int(row.absolute) << ", DX " << row.dx << ", DY " << row.dy << ", DZ " << row.dz << ", material '"
             << row.material << "', section '" << row.section << "', load '" << row.load << "'";
        const auto& e = spans[static_cast<std::size_t>(2 * (i - 1))];
        const auto& d = spans[static_cast<std::size_t>(2 * (i - 1) + 1)];
        image.rows.push_back({head.str(), records.substr(static_cast<std::size_t>(e.first),
                                                         static_cast<std::size_t>(e.second - e.first)),
                              records.substr(static_cast<std::size_t>(d.first),
                                             static_cast<std::size_t>(d.second - d.first))});
    }
    return image;
}

inline bool entered_zero_pair(const std::string& a, const std::string& b, std::size_t at)
{
    if (at + 4 > a.size() || at + 4 > b.size())
        return false;
    float x = 0.0f, y = 0.0f;
    std::memcpy(&x, a.data() + at, 4);
    std::memcpy(&y, b.data() + at, 4);
    return (x == 0.0f && y == ENTERED_ZERO) || (x == ENTERED_ZERO && y == 0.0f);
}

// "" when the records are the same; else where they first differ, with the
// four bytes there read as a float and as an integer.
inline std::string record_difference(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return "record lengths " + std::to_string(a.size()) + " and " + std::to_string(b.size());
    for (std::size_t i = 0; i < a.size();) {
        if (a[i] == b[i]) {
            ++i;
            continue;
        }
        bool skipped = false;
        for (std::size_t k = 0; k < 4 && k <= i && !skipped; ++k)
            if (entered_zero_pair(a, b, i - k)) {
                i = i - k + 4;
                skipped = true;
            }
        if (skipped)
            continue;
        const std::size_t at = i - i % 4;
        std::ostringstream text;
        text << "byte " << i;
        if (at + 4 <= a.size()) {
            float x = 0.0f, y = 0.0f;
            std::memcpy(&x, a.data() + at, 4);
            std::memcpy(&y, b.data() + at, 4);
            text.precision(9);
            text << " (word at " << at << ": " << x << " / " << y << ", " << int_at(a, at) << " / " << int_at(b, at)
                 << ")";
        }
        return text.str();
    }
    return {};
}

// "" when the two images are the same; else the first difference, naming
// the section or the row and the field.
inline std::string image_difference(const ModelImage& a, const ModelImage& b)
{
    for (const auto& [id, bytes] : a.sections) {
        const auto other = b.sections.find(id);
        if (other == b.sections.end())
            return std::string("section ") + model_section_name(id) + " missing";
        if (const std::string d = record_difference(bytes, other->second); !d.empty())
            return std::string("section ") + model_section_name(id) + ": " + d;
    }
    if (a.rows.size() != b.rows.size())
        return "rows: " + std::to_string(a.rows.size()) + " and " + std::to_string(b.rows.size());
    for (std::size_t i = 0; i < a.rows.size(); ++i) {
        const RowImage& x = a.rows[i];
        const RowImage& y = b.rows[i];
        const std::string row = "row " + std::to_string(i + 1);
        if (x.head != y.head)
            return row + " head: " + x.head + " / " + y.head;
        if (const std::string d = record_difference(x.element, y.element); !d.empty())
            return row + " (" + x.head + ") element record: " + d;
        if (const std::string d = record_difference(x.data, y.data); !d.empty())
            return row + " (" + x.head + ") data-item record: " + d;
    }
    return {};
}

}  // namespace model_image
