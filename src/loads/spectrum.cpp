#include "loads/spectrum.h"

#include "elements/element_step.h"
#include "framework/binfile.h"
#include "framework/document.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "loads/load_file.h"
#include "loads/nodal_loads.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/named_set.h"

#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <type_traits>
#include <unordered_set>
#include <vector>

namespace {

struct ModelSpectra {
    SpectrumList list;
};
struct ModelForceSpectra {
    SpectrumList list;
    ModelForceSpectra() { list.spare() = make_force_spectrum(); }
};
struct SpectrumLibrary {
    std::vector<Spectrum> list;
};

constexpr double INCH_PER_FOOT = 12.0;
constexpr double INCH_PER_METRE = 1.0 / 0.0254;
constexpr double INCH_PER_MM = 1.0 / 25.4;

struct OrdinateUnit {
    const char* name;
    double to_internal;
};
const std::array<OrdinateUnit, 5> ACCELERATION_UNITS = {{
    {"g", GRAVITY},
    {"in/s2", 1.0},
    {"ft/s2", INCH_PER_FOOT},
    {"m/s2", INCH_PER_METRE},
    {"mm/s2", INCH_PER_MM},
}};
const std::array<OrdinateUnit, 4> VELOCITY_UNITS = {{
    {"in/s", 1.0},
    {"ft/s", INCH_PER_FOOT},
    {"m/s", INCH_PER_METRE},
    {"mm/s", INCH_PER_MM},
}};
const std::array<OrdinateUnit, 4> DISPLACEMENT_UNITS = {{
    {"inch", 1.0},
    {"ft", INCH_PER_FOOT},
    {"m", INCH_PER_METRE},
    {"mm", INCH_PER_MM},
}};

const OrdinateUnit* ordinate_unit(int ordinate, int unit)
{
    if (unit < 0 || unit >= spectrum_unit_count(ordinate))
        return nullptr;
    const auto u = static_cast<std::size_t>(unit);
    switch (ordinate) {
    case ORDINATE_ACCELERATION: return &ACCELERATION_UNITS[u];
    case ORDINATE_VELOCITY: return &VELOCITY_UNITS[u];
    case ORDINATE_DISPLACEMENT: return &DISPLACEMENT_UNITS[u];
    default: return nullptr;
    }
}

std::size_t name_width(int32_t version)
{
    return (version >= SPECTRUM_LONG_NAMES_VERSION ? SPECTRUM_NAME_LENGTH : OLD_SPECTRUM_NAME_LENGTH) + 1;
}

// Name, three option bytes, the unit and an empty curve's count.
std::size_t smallest_record(int32_t version)
{
    return name_width(version) + 3 + 4 + 4;
}

// Reads a section's records: a count within the limit and the bytes left,
// then each record checked.
std::vector<Spectrum> read_records(BinFile& file, const char* what, const Spectrum& blank)
{
    const int32_t count = file.read_int();
    if (file.error())
        return {};
    if (count < 0 || count > MAXSPECTRA || !file.fits(count, smallest_record(model_file_version())))
        throw_message(c_format("The number of %s (%d) is out of range", what, count));
    std::vector<Spectrum> records;
    records.reserve(static_cast<std::size_t>(count));
    for (int32_t i = 0; i < count && !file.error(); ++i) {
        Spectrum s = blank;
        s.read(file);
        records.push_back(std::move(s));
    }
    return records;
}

// The names the merged records take when they are appended to the list
// (names_after_merge: a clashing name becomes a free number that no merged
// record bears either).
MergedNames merged_spectrum_names(const SpectrumList& list, const std::vector<Spectrum>& records)
{
    std::unordered_set<std::string> taken;
    for (int i = 1; i <= list.count(); ++i)
        taken.insert(list[i].name);
    std::vector<std::string> names;
    names.reserve(records.size());
    for (const Spectrum& s : records)
        names.push_back(s.name);
    return names_after_merge(std::move(taken), names, true);
}

template <typename Part>
void register_spectrum_section(int section, const char* what, const char* noun, const char* kind)
{
    struct Contents final : SectionContents {
        std::vector<Spectrum> records;
        int section = 0;
        const char* noun = "";
        const char* kind = "";   // one of them, in a merge's note
        void install(Model&) override
        {
            SpectrumList& list = document().part<Part>().list;
            const Spectrum spare = Part{}.list[1];
            list.clear();
            list.spare() = spare;
            for (Spectrum& s : records)
                list.append(std::move(s));
            notify_document_changed({DocumentChange::Cleared, section});
        }
        void check_merge(ModelMerge&) const override
        {
            const SpectrumList& list = document().part<Part>().list;
            if (list.count() + static_cast<long>(records.size()) > MAXSPECTRA)
                throw_message(c_format("The merged model would have more than %d %s.", MAXSPECTRA, noun));
            const MergedNames given = merged_spectrum_names(list, records);
            if (given.refused != 0)
                throw_message(no_free_name_text(kind, given.names[given.refused - 1]));
        }
        void merge(ModelMerge& merge) override
        {
            SpectrumList& list = document().part<Part>().list;
            const MergedNames given = merged_spectrum_names(list, records);
            std::map<std::string, std::string> renames;
            std::size_t i = 0;
            for (Spectrum& s : records) {
                const std::string& name = given.names[i++];
                if (name != s.name) {
                    renames.emplace(s.name, name);
                    merge.renames.push_back({kind, s.name, name});
                    s.name = name;
                }
                list.append(std::move(s));
            }
            records.clear();
            // The merged rows' force spectrum loads follow the new names.
            if (std::is_same_v<Part, ModelForceSpectra> && merge.rows)
                for (LayoutRow& r : *merge.rows)
                    if (auto* item = dynamic_cast<ForceSpectrumLoad*>(r.data.get()))
                        if (auto it = renames.find(item->spectrum); it != renames.end())
                            item->spectrum = it->second;
        }
    };
    ModelSectionOwner owner;
    owner.read = [section, what, noun, kind](BinFile& file) -> std::unique_ptr<SectionContents> {
        auto contents = std::make_unique<Contents>();
        contents->section = section;
        contents->noun = noun;
        contents->kind = kind;
        contents->records = read_records(file, what, Part{}.list[1]);
        return contents;
    };
    owner.write = [](BinFile& file) { write_spectrum_records(file, document().part<Part>().list); };
    owner.clear = [section] {
        document().part<Part>() = Part{};
        notify_document_changed({DocumentChange::Cleared, section});
    };
    register_model_section(section, std::move(owner));
}

}  // namespace

// ---- Record ------------------------------------------------------------------------

void Spectrum::read(BinFile& file)
{
    const int32_t version = model_file_version();
    const std::size_t width = name_width(version);
    name = file.read_name(width).substr(0, width - 1);
    abscissa = file.read_byte();
    ordinate = file.read_byte();
    interpolation = file.read_byte();
    ordinate_unit = file.read_int();
    read_checked_curve(file, curve, "Spectrum " + name, MAX_SPECTRUM_POINTS);
    if (file.error())
        return;
    if (const std::string fault = spectrum_fault(*this); !fault.empty())
        throw_message("Spectrum " + name + ": " + fault);
}

void Spectrum::write(BinFile& file) const
{
    file.write_name(name, SPECTRUM_NAME_LENGTH + 1);
    file.write_byte(abscissa);
    file.write_byte(ordinate);
    file.write_byte(interpolation);
    file.write_int(ordinate_unit);
    write_curve(file, curve);
}

int spectrum_unit_count(int ordinate)
{
    switch (ordinate) {
    case ORDINATE_ACCELERATION: return static_cast<int>(ACCELERATION_UNITS.size());
    case ORDINATE_VELOCITY: return static_cast<int>(VELOCITY_UNITS.size());
    case ORDINATE_DISPLACEMENT: return static_cast<int>(DISPLACEMENT_UNITS.size());
    case ORDINATE_FACTOR: return 1;
    default: return 0;
    }
}

std::string spectrum_unit_name(int ordinate, int unit)
{
    const OrdinateUnit* u = ordinate_unit(ordinate, unit);
    return u ? u->name : "";
}

double spectrum_ordinate_to_internal(int ordinate, int unit, double value)
{
    const OrdinateUnit* u = ordinate_unit(ordinate, unit);
    return u ? value * u->to_internal : value;
}

const char* spectrum_abscissa_name(int abscissa)
{
    return abscissa == ABSCISSA_PERIOD ? "Period" : "Frequency";
}

const char* spectrum_abscissa_unit(int abscissa)
{
    return abscissa == ABSCISSA_PERIOD ? "sec" : "Hz";
}

const char* spectrum_ordinate_name(int ordinate)
{
    switch (ordinate) {
    case ORDINATE_VELOCITY: return "Velocity";
    case ORDINATE_DISPLACEMENT: return "Displacement";
    case ORDINATE_FACTOR: return "Load factor";
    default: return "Acceleration";
    }
}

std::string spectrum_fault(const Spectrum& s)
{
    if (s.abscissa > ABSCISSA_PERIOD)
        return "the abscissa kind is invalid";
    if (s.ordinate > ORDINATE_FACTOR)
        return "the ordinate kind is invalid";
    if (s.interpolation > INTERPOLATE_LOG)
        return "the interpolation is invalid";
    if (s.ordinate_unit < 0 || s.ordinate_unit >= spectrum_unit_count(s.ordinate))
        return "the ordinate unit is invalid";
    if (std::string fault = curve_fault(s.curve); !fault.empty())
        return fault;
    if (!s.curve.empty() && !(s.curve[0].x > 0.0f))
        return std::string("point 1: the ") + (s.abscissa == ABSCISSA_PERIOD ? "period" : "frequency") +
               " is not above 0";
    if (s.interpolation == INTERPOLATE_LOG)
        for (std::size_t i = 0; i < s.curve.size(); ++i)
            if (!(s.curve[i].y > 0.0f))
                return c_format("point %d: a logarithmic spectrum needs ordinates above 0", static_cast<int>(i) + 1);
    return {};
}

std::string spectrum_name_fault(const std::string& name)
{
    if (name.empty())
        return "Spectrum name is required";
    return name_fault_text("Spectrum", name, SPECTRUM_NAME_LENGTH, true);
}

// ---- Lists -------------------------------------------------------------------------------

std::string spectrum_list_full_fault(const SpectrumList& list, const char* what)
{
    if (list.count() < MAXSPECTRA)
        return {};
    return c_format("No more than %d %s can be defined", MAXSPECTRA, what);
}

std::string unique_spectrum_name(const SpectrumList& list, const std::string& name)
{
    const std::string base = name.empty() ? std::string("SPECTRUM") : name.substr(0, SPECTRUM_NAME_LENGTH);
    std::string unique = base;
    for (int n = 2; list.index(unique) != 0; ++n) {
        const std::string suffix = "-" + std::to_string(n);
        unique = base.substr(0, SPECTRUM_NAME_LENGTH - suffix.size()) + suffix;
    }
    return unique;
}

Spectrum& SpectrumList::operator[](int i)
{
    KV_ASSERT(i >= 1 && i <= count() + 1);
    return records_[static_cast<std::size_t>(i - 1)];
}

const Spectrum& SpectrumList::operator[](int i) const
{
    KV_ASSERT(i >= 1 && i <= count() + 1);
    return records_[static_cast<std::size_t>(i - 1)];
}

int SpectrumList::index(const std::string& name) const
{
    if (name.empty())
        return 0;
    for (int i = 1; i <= count(); ++i)
        if (records_[static_cast<std::size_t>(i - 1)].name == name)
            return i;
    return 0;
}

int SpectrumList::append(Spectrum s)
{
    records_.insert(records_.end() - 1, std::move(s));
    return count();
}

void SpectrumList::insert(int i, Spectrum s)
{
    KV_ASSERT(i >= 1 && i <= count() + 1);
    records_.insert(records_.begin() + (i - 1), std::move(s));
}

void SpectrumList::erase(int i)
{
    KV_ASSERT(valid(i));
    records_.erase(records_.begin() + (i - 1));
}

SpectrumList& spectra()
{
    return document().part<ModelSpectra>().list;
}

int numspectrums()
{
    return spectra().count();
}

SpectrumList& force_spectra()
{
    return document().part<ModelForceSpectra>().list;
}

int numforcespectra()
{
    return force_spectra().count();
}

Spectrum make_force_spectrum()
{
    Spectrum s;
    s.ordinate = ORDINATE_FACTOR;
    return s;
}

// ---- Library list ------------------------------------------------------------------------

std::vector<Spectrum>& spectrum_library()
{
    return session_part<SpectrumLibrary>().list;
}

int numlibspectrums()
{
    return static_cast<int>(spectrum_library().size());
}

const Spectrum& library_spectrum(int i)
{
    KV_ASSERT(i >= 0 && i < numlibspectrums());
    return spectrum_library()[static_cast<std::size_t>(i)];
}

std::vector<Spectrum> read_spectrum_records(BinFile& file)
{
    return read_records(file, "spectra", Spectrum{});
}

void write_spectrum_records(BinFile& file, const SpectrumList& list)
{
    file.write_int(list.count());
    for (int i = 1; i <= list.count(); ++i)
        list[i].write(file);
}

void read_spectrum_list(BinFile& file)
{
    std::vector<Spectrum>& library = spectrum_library();
    library.clear();
    std::vector<Spectrum> read = read_spectrum_records(file);
    if (!file.error())
        library = std::move(read);
}

void write_spectrum_list(BinFile& file)
{
    write_spectrum_records(file, spectra());
}

void load_spectrum_library_into_model()
{
    SpectrumList& list = spectra();
    list.clear();
    for (Spectrum& s : spectrum_library())
        list.append(std::move(s));
    spectrum_library().clear();
    notify_document_changed({DocumentChange::Cleared, SECTION_SPECTRA});
}

void clear_spectra()
{
    spectra().clear();
    notify_document_changed({DocumentChange::Cleared, SECTION_SPECTRA});
}

// ---- Force spectra in use -------------------------------------------------------------------

bool force_spectrum_in_use(const std::string& name)
{
    if (name.empty())
        return false;
    for (const LayoutRow& r : model().rows)
        if (const auto* item = dynamic_cast<const ForceSpectrumLoad*>(r.data.get()); item && item->spectrum == name)
            return true;
    return false;
}

void rename_force_spectrum_references(const std::string& old_name, const std::string& new_name)
{
    if (old_name.empty() || old_name == new_name)
        return;
    for (LayoutRow& r : model().rows)
        if (auto* item = dynamic_cast<ForceSpectrumLoad*>(r.data.get()); item && item->spectrum == old_name)
            item->spectrum = new_name;
}

void install_spectra()
{
    register_spectrum_section<ModelSpectra>(SECTION_SPECTRA, "spectra", "spectra", "spectrum");
    register_spectrum_section<ModelForceSpectra>(SECTION_FORCE_SPECTRA, "force spectra", "force spectra",
                                                 "force spectrum");
}
