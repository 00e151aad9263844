#include "loads/spectrum_library.h"

#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "materials/library_file.h"
#include "materials/library_sources.h"
#include "model/model_file.h"
#include "platform/file_replace.h"

#include <utility>

namespace {

const LibraryFileKind& kind()
{
    return library_file_kind(LibraryKind::Spectrum);
}

// The index of `text` among the names of 0..count-1 (ignoring case); -1 when
// none.
template <typename Name>
int option_index(const std::string& text, int count, Name name)
{
    for (int i = 0; i < count; ++i)
        if (upper_case(name(i)) == upper_case(text))
            return i;
    return -1;
}

// The header line of a spectrum: its name and options.
Spectrum spectrum_header(int n, const std::string& line, const std::vector<std::string>& f)
{
    if (f.size() != 6)
        bad_source_line(n, line, "A spectrum needs its name, abscissa, ordinate, unit and interpolation");
    Spectrum s;
    s.name = f[1];
    if (const std::string fault = spectrum_name_fault(s.name); !fault.empty())
        bad_source_line(n, line, fault);
    const int abscissa = option_index(f[2], 2, spectrum_abscissa_name);
    if (abscissa < 0)
        bad_source_line(n, line, "The abscissa is Period or Frequency");
    // A library holds response spectra: no load factors.
    const int ordinate = option_index(f[3], ORDINATE_DISPLACEMENT + 1, spectrum_ordinate_name);
    if (ordinate < 0)
        bad_source_line(n, line, "The ordinate is Acceleration, Velocity or Displacement");
    int unit = -1;
    for (int u = 0; u < spectrum_unit_count(ordinate) && unit < 0; ++u)
        if (spectrum_unit_name(ordinate, u) == f[4])
            unit = u;
    if (unit < 0)
        bad_source_line(n, line, "Unknown unit of the ordinate");
    const int interpolation =
        option_index(f[5], 2, [](int i) { return std::string(i == INTERPOLATE_LOG ? "Logarithmic" : "Linear"); });
    if (interpolation < 0)
        bad_source_line(n, line, "The interpolation is Linear or Logarithmic");
    s.abscissa = static_cast<uint8_t>(abscissa);
    s.ordinate = static_cast<uint8_t>(ordinate);
    s.ordinate_unit = unit;
    s.interpolation = static_cast<uint8_t>(interpolation);
    return s;
}

}  // namespace

SpectrumLibraryContents read_spectrum_library_file(const std::string& path)
{
    BinFile f;
    if (!f.open_read(path))
        throw_message(library_missing_message(kind(), path));
    SpectrumLibraryContents out;
    out.version = read_library_header(f, kind());
    if (out.version < 0)
        throw_message(library_unreadable_message(kind(), path));
    if (out.version > SPECTRUM_LIBRARY_LAST_VERSION)
        throw_message(library_unreadable_message(kind(), path) + c_format("\nVersion = %.2f", out.version * 0.01));
    // The records' names are as wide as the library's version says.
    ModelFileVersionScope version(out.version);
    try {
        out.records = read_spectrum_records(f);
    } catch (const MessageText& m) {
        throw_message(library_damage_message(kind(), path, m.text));
    }
    if (f.error())
        throw_message(library_read_error_message(kind(), path));
    return out;
}

void write_spectrum_library_file(const std::string& path, const SpectrumList& spectra)
{
    BinFile f;
    if (!f.open_write(path))
        throw_message(with_reason("Unable to write Spectrum file", f.failure()));
    write_library_header(f, kind());
    write_spectrum_records(f, spectra);
    if (!f.close())
        throw_message(with_reason("Unable to write Spectrum file", f.failure()));
}

SpectrumList spectrum_library_from_source(const std::string& text)
{
    struct Read {
        Spectrum spectrum;
        int number;
        std::string line;
    };
    std::vector<Read> read;
    for (const auto& [n, line] : library_source_lines(text)) {
        const std::vector<std::string> f = source_fields(line);
        if (upper_case(f.front()) == "SPECTRUM") {
            read.push_back({spectrum_header(n, line, f), n, line});
            continue;
        }
        if (read.empty())
            bad_source_line(n, line, "A point before the first SPECTRUM line");
        double x = 0.0, y = 0.0;
        if (f.size() != 2 || !parse_c_double(f[0], x) || !parse_c_double(f[1], y))
            bad_source_line(n, line, "A point is its abscissa and its ordinate, two numbers");
        read.back().spectrum.curve.push_back(static_cast<float>(x), static_cast<float>(y));
    }
    SpectrumList list;
    for (Read& r : read) {
        const Spectrum& s = r.spectrum;
        if (s.curve.empty())
            bad_source_line(r.number, r.line, "The spectrum has no points");
        if (const std::string fault = spectrum_fault(s); !fault.empty())
            bad_source_line(r.number, r.line, fault);
        if (list.index(s.name) != 0)
            bad_source_line(r.number, r.line, "Spectrum " + s.name + " is already defined");
        if (const std::string full = spectrum_list_full_fault(list, "spectra"); !full.empty())
            bad_source_line(r.number, r.line, full);
        list.append(std::move(r.spectrum));
    }
    return list;
}
