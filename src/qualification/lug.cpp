#include "qualification/lug.h"

const std::array<const char*, LUG_CODE_COUNT> lug_code_names = {
    "ASME Sec III, Div 1 - NC (2010)", "ASME Sec III, Div 1 - ND (2010)", "EN 13480-3 (2017)"};

const std::array<const char*, 4> lug_level_names = {"A", "B", "C", "D"};

const std::vector<std::string>& lug_weld_types(int32_t attachment)
{
    static const std::vector<std::string> rectangular = {"Full Penetration", "Fillet or Partial (4 Sides)",
                                                         "Fillet or Partial (<= 3 Sides)"};
    static const std::vector<std::string> hollow = {"Full Penetration", "Fillet or Partial"};
    return attachment == LUG_HOLLOW ? hollow : rectangular;
}

const QualificationFileTexts LUG_FILE_TEXTS = {
    "Lug evaluation file",
    "Unable to read lug evaluation file:\n%s",
    "There was an error while reading lug evaluation file:\n%s",
    "Unable to write lug data file",
};

namespace {

using Field = QualificationField<LugInput>;
constexpr auto real = real_field<LugInput>;
constexpr auto integer = int_field<LugInput>;

// The six loads of a set, in file order.
void add_loads(QualificationFields<LugInput>& fields, const char* set, LugLoads LugInput::*loads)
{
    static const std::array<std::pair<const char*, float LugLoads::*>, 6> members = {{
        {"W", &LugLoads::W}, {"Q1", &LugLoads::Q1}, {"Q2", &LugLoads::Q2},
        {"ML", &LugLoads::ML}, {"MN", &LugLoads::MN}, {"MT", &LugLoads::MT},
    }};
    for (const auto& entry : members) {
        float LugLoads::*member = entry.second;
        fields.push_back(Field::real(std::string(set) + " load " + entry.first,
                                     [loads, member](LugInput& r) -> float& { return (r.*loads).*member; }));
    }
}

}  // namespace

const QualificationFields<LugInput>& lug_fields()
{
    static const QualificationFields<LugInput> fields = [] {
        QualificationFields<LugInput> f = {
            integer("Lug evaluation code", &LugInput::code, 0, LUG_CODE_COUNT - 1),
            integer("Level", &LugInput::level, 0, 3),
            integer("Attachment type", &LugInput::attachment, LUG_RECTANGULAR, LUG_HOLLOW),
            real("Outside diameter of run pipe", &LugInput::Do),
            real("Wall thickness of run pipe", &LugInput::T),
            real("Half length L1", &LugInput::L1),
            real("Half length L2", &LugInput::L2),
            real("Outside diameter of attachment", &LugInput::d_o),
            real("Wall thickness of attachment", &LugInput::t),
            real("Sustained stress", &LugInput::sustained_stress),
            real("Expansion stress", &LugInput::expansion_stress),
            real("Sustained + occasional stress", &LugInput::occasional_stress),
            real("Settlement or creep stress", &LugInput::settlement_stress),
            real("Thermal + sustained stress", &LugInput::thermal_stress),
            real("Allowable stress fh", &LugInput::fh),
            real("Allowable stress range fa", &LugInput::fa),
            real("Creep stress fcr", &LugInput::fcr),
            real("Yield strength ReHt", &LugInput::ReHt),
            real("Allowable stress sh", &LugInput::sh),
            real("Yield stress sy", &LugInput::sy),
            real("Allowable stress range sa", &LugInput::sa),
            // The weld list of a hollow attachment is shorter; the
            // attachment's own range is checked after the read.
            integer("Weld type", &LugInput::weld, 0, 2),
        };
        add_loads(f, "Sustained", &LugInput::sustained);
        add_loads(f, "Thermal", &LugInput::thermal);
        add_loads(f, "Occasional", &LugInput::occasional);
        add_loads(f, "Settlement", &LugInput::settlement);
        add_loads(f, "Maximum", &LugInput::maxima);
        return f;
    }();
    return fields;
}

void write_lug_file(const std::string& path, const LugInput& input, const UnitChoices& units)
{
    write_qualification_record(path, LUG_MAGIC, input, lug_fields(), units, LUG_FILE_TEXTS);
}

LugFile read_lug_file(const std::string& path)
{
    // The weld list of a hollow attachment is shorter than the range of the field.
    const auto [input, units] = read_qualification_record<LugInput>(
        path, LUG_MAGIC, lug_fields(), LUG_FILE_TEXTS, [](const LugInput& in) {
            return in.weld >= static_cast<int32_t>(lug_weld_types(in.attachment).size())
                       ? "Weld type holds " + std::to_string(in.weld)
                       : std::string();
        });
    return LugFile{input, units};
}
