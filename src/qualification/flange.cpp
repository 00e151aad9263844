#include "qualification/flange.h"

#include <cmath>

const std::array<const char*, FLANGE_TYPE_COUNT> flange_type_names = {
    "Integral Flanges", "Loose Flanges with Hubs", "Loose Flanges without Hubs", "Optional Flanges",
    "Reverse Flanges"};

// Nominal diameters and thread root areas of the coarse-thread (8-thread
// series above 1 inch) bolting of flanged joints.
const std::array<BoltSize, BOLT_SIZE_COUNT> bolt_sizes = {{
    {"1/2\"", 0.5, 0.126},     {"5/8\"", 0.625, 0.202},   {"3/4\"", 0.75, 0.302},   {"7/8\"", 0.875, 0.419},
    {"1\"", 1.0, 0.551},       {"1-1/8\"", 1.125, 0.728}, {"1-1/4\"", 1.25, 0.929}, {"1-3/8\"", 1.375, 1.155},
    {"1-1/2\"", 1.5, 1.405},   {"1-5/8\"", 1.625, 1.68},  {"1-3/4\"", 1.75, 1.98},  {"1-7/8\"", 1.875, 2.304},
    {"2\"", 2.0, 2.652},       {"2-1/4\"", 2.25, 3.423},  {"2-1/2\"", 2.5, 4.292},  {"2-3/4\"", 2.75, 5.259},
    {"3\"", 3.0, 6.324},
}};

const QualificationFileTexts FLANGE_FILE_TEXTS = {
    "Flange Qualification file",
    "Unable to read flange qualification file:\n%s",
    "There was an error while reading flange qualification file:\n%s",
    "Unable to write flange data file",
};

const QualificationFields<FlangeInput>& flange_fields()
{
    constexpr auto real = real_field<FlangeInput>;
    constexpr auto integer = int_field<FlangeInput>;
    static const QualificationFields<FlangeInput> fields = {
        integer("Flange type", &FlangeInput::type, 0, FLANGE_TYPE_COUNT - 1),
        real("Flange outside diameter", &FlangeInput::A),
        real("Flange inside diameter", &FlangeInput::B),
        real("Inside diameter of reverse flange", &FlangeInput::B_reverse),
        real("Flange thickness", &FlangeInput::t),
        real("Small end hub thickness", &FlangeInput::g0),
        real("Large end hub thickness", &FlangeInput::g1),
        real("Hub length", &FlangeInput::h),
        real("Flange allowable stress at design temperature", &FlangeInput::Sf),
        real("Flange allowable stress at reference temperature", &FlangeInput::Sfa),
        real("Flange modulus at design temperature", &FlangeInput::E),
        real("Flange modulus at reference temperature", &FlangeInput::Ea),
        real("Bolt circle diameter", &FlangeInput::C),
        integer("Number of bolts", &FlangeInput::bolts, 1, 100000),
        integer("Bolt size", &FlangeInput::bolt_size, 0, BOLT_SIZE_COUNT - 1),
        real("Bolt diameter", &FlangeInput::bolt_diameter),
        real("Bolt allowable stress at design temperature", &FlangeInput::Sb),
        real("Bolt allowable stress at reference temperature", &FlangeInput::Sa),
        real("Gasket outer diameter", &FlangeInput::gasket_od),
        real("Gasket inner diameter", &FlangeInput::gasket_id),
        real("Leak pressure ratio", &FlangeInput::m),
        real("Gasket seating stress", &FlangeInput::y),
        integer("Facing sketch", &FlangeInput::facing_sketch, 1, 5),
        integer("Facing column", &FlangeInput::facing_column, 1, 2),
        real("Design pressure", &FlangeInput::P),
        real("Design temperature", &FlangeInput::temperature),
        real("Axial force", &FlangeInput::axial_force),
        real("Bending moment", &FlangeInput::moment),
        real("Allowable pressure", &FlangeInput::allowable_pressure),
    };
    return fields;
}

bool flange_input_differs(const FlangeInput& a, const FlangeInput& b)
{
    FlangeInput& x = const_cast<FlangeInput&>(a);
    FlangeInput& y = const_cast<FlangeInput&>(b);
    for (const QualificationField<FlangeInput>& f : flange_fields()) {
        if (f.kind == QualificationField<FlangeInput>::Int ? f.int_ref(x) != f.int_ref(y)
                                                          : std::fabs(f.float_ref(x) - f.float_ref(y)) > 1.0e-5f)
            return true;
    }
    return false;
}

void write_flange_file(const std::string& path, const FlangeInput& input, const UnitChoices& units)
{
    write_qualification_record(path, FLANGE_MAGIC, input, flange_fields(), units, FLANGE_FILE_TEXTS);
}

FlangeFile read_flange_file(const std::string& path)
{
    const auto [input, units] = read_qualification_record(path, FLANGE_MAGIC, flange_fields(), FLANGE_FILE_TEXTS);
    return FlangeFile{input, units};
}
