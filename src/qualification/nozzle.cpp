#include "qualification/nozzle.h"

#include "framework/errors.h"
#include "framework/text.h"

#include <algorithm>
#include <cctype>

const std::array<const char*, 3> nozzle_load_case_names = {"Sustained", "Sustained + Occasional", "Operating"};
const std::array<const char*, 2> nozzle_method_names = {"Allowable Loads on Nozzles - EN13445-3 (2009)",
                                                        "Local Shell Stresses at Nozzles - WRC Bulletin 537"};

const QualificationFileTexts NOZZLE_FILE_TEXTS = {
    "Nozzle Evaluation file",
    "Unable to read nozzle data file:\n%s",
    "There was an error while reading nozzle evaluation file:\n%s",
    "Unable to write data file",
};

const QualificationFields<NozzleEvaluation>& nozzle_en_fields()
{
    using N = NozzleEvaluation;
    constexpr auto real = real_field<N>;
    static const QualificationFields<N> fields = {
        real("Shell radius or diameter", &N::R),   real("Shell thickness", &N::e),
        real("Nozzle outside diameter", &N::de),   real("Nozzle thickness", &N::eb),
        real("Mean nozzle diameter", &N::d),       real("Pad thickness", &N::e2),
        real("Pad outside diameter", &N::d2),      real("Shell + pad thickness", &N::ec),
        real("Shell design stress", &N::f),        real("Nozzle design stress", &N::fb),
        real("Pad design stress", &N::f2),         real("Corrosion allowance", &N::c),
    };
    return fields;
}

const QualificationFields<NozzleEvaluation>& nozzle_wrc_fields()
{
    using N = NozzleEvaluation;
    constexpr auto real = real_field<N>;
    static const QualificationFields<N> fields = {
        real("Radial load", &N::P),           real("Shear load V1", &N::V1),
        real("Shear load V2", &N::V2),        real("Moment M1", &N::M1),
        real("Moment M2", &N::M2),            real("Torsional moment", &N::MT),
        real("Vessel thickness", &N::T),      real("Vessel mean radius", &N::Rm),
        real("Nozzle mean radius", &N::rm),   real("Nozzle outside radius", &N::ro),
        real("Fillet radius", &N::r),         real("Pressure stress", &N::Pm),
        real("Bending stress", &N::Pb),       real("Allowable stress", &N::allowable),
        real("Kn", &N::Kn),                   real("Kb", &N::Kb),
    };
    return fields;
}

void reset_wrc_values(NozzleEvaluation& n)
{
    const NozzleEvaluation defaults;
    n.load_case = defaults.load_case;
    NozzleEvaluation& from = const_cast<NozzleEvaluation&>(defaults);
    for (const QualificationField<NozzleEvaluation>& f : nozzle_wrc_fields())
        f.float_ref(n) = f.float_ref(from);
}

namespace {

using Field = QualificationField<NozzleEvaluation>;

const Field& method_field()
{
    static const Field f = int_field<NozzleEvaluation>("Method", &NozzleEvaluation::method, 0, 1);
    return f;
}
const Field& spherical_field()
{
    static const Field f = byte_field<NozzleEvaluation>("Spherical shell flag", &NozzleEvaluation::spherical, 0, 1);
    return f;
}
const Field& load_case_field()
{
    static const Field f = int_field<NozzleEvaluation>("Load case", &NozzleEvaluation::load_case, 0, 2);
    return f;
}

// The fields of a version in file order.
QualificationFields<NozzleEvaluation> fields_of(int version)
{
    QualificationFields<NozzleEvaluation> fields;
    if (version >= NOZZLE_VERSION)
        fields.push_back(method_field());
    fields.push_back(spherical_field());
    for (const Field& f : nozzle_en_fields())
        fields.push_back(f);
    if (version >= NOZZLE_VERSION) {
        fields.push_back(load_case_field());
        for (const Field& f : nozzle_wrc_fields())
            fields.push_back(f);
    }
    return fields;
}

// The version written in characters 11 to 13 of the magic; -1 when they
// are not three digits.
int magic_version(const std::string& magic)
{
    if (magic.size() < 14)
        return -1;
    int version = 0;
    for (std::size_t i = 11; i < 14; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(magic[i])))
            return -1;
        version = version * 10 + (magic[i] - '0');
    }
    return version;
}

}  // namespace

void write_nozzle_file(const std::string& path, const NozzleEvaluation& data, const UnitChoices& units)
{
    BinFile file;
    create_qualification_file(file, path, NOZZLE_FILE_TEXTS);
    write_qualification_magic(file, NOZZLE_MAGIC);
    write_qualification_fields(file, data, fields_of(NOZZLE_VERSION));
    write_unit_choice_block(file, units);
    finish_qualification_file(file, NOZZLE_FILE_TEXTS);
}

NozzleFile read_nozzle_file(const std::string& path)
{
    BinFile file;
    open_qualification_file(file, path, NOZZLE_FILE_TEXTS);
    const std::string magic = read_qualification_magic(file);
    if (magic.compare(0, 11, "KORVANEWNOZ") != 0)
        throw_qualification_magic(NOZZLE_FILE_TEXTS, path);
    NozzleFile read;
    read.version = magic_version(magic);
    if (read.version < NOZZLE_OLDEST_VERSION || read.version > NOZZLE_VERSION)
        throw MessageText(c_format("Unable to read nozzle data:\n%s\nVersion = %.2f", path.c_str(),
                                   std::max(read.version, 0) / 100.0));
    const QualificationFields<NozzleEvaluation> fields = fields_of(read.version);
    read_qualification_fields(file, read.data, fields);
    read.units = read_unit_choice_block(file);
    check_qualification_stream(file, NOZZLE_FILE_TEXTS, path);
    std::string fault = qualification_fields_fault(read.data, fields);
    if (fault.empty())
        fault = unit_choices_fault(read.units);
    if (!fault.empty())
        throw_qualification_fault(NOZZLE_FILE_TEXTS, path, fault);
    if (read.version < NOZZLE_VERSION) {
        read.data.method = NOZZLE_EN13445;
        reset_wrc_values(read.data);
    }
    return read;
}
