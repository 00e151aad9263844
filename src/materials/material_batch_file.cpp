#include "materials/material_batch_file.h"

#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "materials/library_file.h"
#include "model/piping_codes.h"

#include <optional>
#include <vector>

namespace {

// A line's fields: split at commas, a field in double quotes taken whole
// ("" is a quote), the others without outer blanks.
struct Field {
    std::string text;
    bool quoted = false;
};

std::vector<Field> split_fields(const std::string& line)
{
    std::vector<Field> fields;
    std::size_t i = 0;
    while (true) {
        Field f;
        std::size_t start = i;
        while (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
            ++start;
        if (start < line.size() && line[start] == '"') {
            f.quoted = true;
            i = start + 1;
            while (i < line.size()) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        f.text += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                f.text += line[i++];
            }
            while (i < line.size() && line[i] != ',')
                ++i;
        } else {
            const std::size_t comma = line.find(',', start);
            const std::size_t end = comma == std::string::npos ? line.size() : comma;
            f.text = line.substr(start, end - start);
            trim_blanks(f.text);
            i = end;
        }
        fields.push_back(std::move(f));
        if (i >= line.size())
            break;
        ++i;   // the comma
    }
    return fields;
}

// A failure of one line, with the field at fault when there is one.
struct LineError {
    std::string what;
    std::string field;
};
[[noreturn]] void fail(const std::string& what, const std::string& field = {}) { throw LineError{what, field}; }

enum class Section { Options, Materials };

class BatchReader {
public:
    BatchReader(int32_t code, const MaterialLibraryUnits& units)
    {
        batch_.code = code;
        batch_.units = units;
        apply_unit_choices(MATERIAL_LIBRARY_UNIT_QUANTITIES, units);
    }

    MaterialBatch read(const std::string& text)
    {
        std::size_t pos = 0;
        int number = 0;
        while (pos <= text.size()) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string::npos)
                end = text.size();
            std::string line = text.substr(pos, end - pos);
            pos = end + 1;
            ++number;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            try {
                if (!read_line(line))
                    break;
            } catch (const LineError& e) {
                std::string message = c_format("Line = %d :  %s\n%s", number, shown_controls(line).c_str(), e.what.c_str());
                if (!e.field.empty())
                    message += " :  " + e.field;
                throw_message(message);
            }
        }
        return std::move(batch_);
    }

private:
    // False at the end mark.
    bool read_line(const std::string& raw)
    {
        if (raw.size() > MATERIAL_BATCH_LINE_LENGTH)
            fail(c_format("A line may hold at most %zu characters", MATERIAL_BATCH_LINE_LENGTH));
        if (!raw.empty() && raw[0] == '*')
            return true;
        std::string line = upper_case(raw);
        std::string blank_test = line;
        trim_blanks(blank_test);
        if (blank_test.empty())
            return true;
        const std::vector<Field> fields = split_fields(line);
        const Field& first = fields.front();
        if (!first.quoted) {
            const std::string key = first.text.substr(0, 5);
            if (key == "OPTIO") {
                section_ = Section::Options;
                return true;
            }
            if (key == "MATER") {
                section_ = Section::Materials;
                return true;
            }
            if (first.text == "COD")
                return false;
        }
        if (section_ == Section::Options)
            read_options(line);
        else
            read_material(fields);
        return true;
    }

    void read_options(const std::string& line)
    {
        std::string word;
        for (std::size_t i = 0; i <= line.size(); ++i) {
            const char c = i < line.size() ? line[i] : ' ';
            if (c != ' ' && c != ',' && c != '\t') {
                word += c;
                continue;
            }
            if (word.empty())
                continue;
            if (word == "SI")
                set_units(MATERIAL_BATCH_SI_UNITS);
            else if (word == "ENGLISH")
                set_units(MATERIAL_BATCH_ENGLISH_UNITS);
            else if (word == "NAVY")
                fail("NAVY code is presently not available");
            else if (const int32_t code = piping_code_from_keyword(word); code >= 0)
                batch_.code = code;
            word.clear();
        }
    }

    void set_units(const MaterialLibraryUnits& units)
    {
        batch_.units = units;
        apply_unit_choices(MATERIAL_LIBRARY_UNIT_QUANTITIES, units);
    }

    static const std::string& field(const std::vector<Field>& fields, std::size_t number)
    {
        static const std::string empty;
        return number <= fields.size() ? fields[number - 1].text : empty;
    }

    void read_material(const std::vector<Field>& fields)
    {
        const std::string& description = fields.front().text;
        if (description.empty())
            fail("Material desc is required");
        if (utf8_length(description) > static_cast<int>(MATERIAL_DESCRIPTION_LENGTH))
            fail(c_format("Material name should be <= %zu characters", MATERIAL_DESCRIPTION_LENGTH));
        if (!batch_.materials.empty() && description == batch_.materials.back().description) {
            read_temperature(fields);
            return;
        }
        PipeMaterial m;
        m.description = description;
        m.nu = 0.3f;
        m.joint_factor = 1.0f;
        m.circ_joint_factor = 1.0f;
        if (const std::string& t = field(fields, 2); parse_density(t, m.density) != 0)
            fail("Invalid density", t);
        if (const std::string& t = field(fields, 3); !t.empty() && (parse_real(t, m.nu) != 0 || m.nu >= 0.5f))
            fail("Invalid Poisson's ratio", t);
        m.joint_factor = joint_factor(field(fields, 4), "Invalid joint factor");
        m.circ_joint_factor = joint_factor(field(fields, 5), "Invalid circ joint factor");
        if (const std::string& t = field(fields, 6); is_material_type_code(t))
            m.set_type(t);
        if (const std::string& t = field(fields, 7); parse_stress(t, m.strength) != 0)
            fail("Invalid tensile strength", t);
        batch_.materials.push_back(std::move(m));
    }

    static float joint_factor(const std::string& text, const char* message)
    {
        if (text.empty())
            return 1.0f;
        float value = 0.0f;
        if (parse_real(text, value) != 0 || !(value > 0.0f) || value > 1.0f)
            fail(message, text);
        return value;
    }

    void read_temperature(const std::vector<Field>& fields)
    {
        struct Column {
            int column;
            int (*parse)(const std::string&, float&);
            const char* required;   // null: may be empty
            const char* invalid;
        };
        static const Column COLUMNS[] = {
            {PROP_TEMPERATURE, parse_temperature, "Temperature is required", "Invalid temperature"},
            {PROP_MODULUS, parse_modulus, "Elastic modulus is required", "Invalid elastic modulus"},
            {PROP_ALPHA, parse_expansion, nullptr, "Invalid alpha"},
            {PROP_STRESS1, parse_stress, nullptr, "Invalid allowable stress"},
            {PROP_STRESS2, parse_stress, nullptr, "Invalid yield stress"},
            {PROP_STRESS3, parse_stress, nullptr, "Invalid rupture stress"},
            {PROP_HOOP_MODULUS, parse_stress, nullptr, "Invalid hoop modulus"},
            {PROP_SHEAR_MODULUS, parse_stress, nullptr, "Invalid shear modulus"},
        };
        PropertyRow row{};
        std::size_t number = 2;
        for (const Column& c : COLUMNS) {
            const std::string& t = field(fields, number++);
            if (t.empty() && c.required)
                fail(c.required);
            if (c.parse(t, row[static_cast<std::size_t>(c.column)]) != 0)
                fail(c.invalid, t);
        }
        PipeMaterial& m = batch_.materials.back();
        if (m.numtemps() >= MAXTEMPS)
            fail(c_format("Maximum %d temperature dependent properties are allowed", MAXTEMPS));
        if (m.numtemps() > 0 && !(row[PROP_TEMPERATURE] > m.table.back()[PROP_TEMPERATURE]))
            fail("Temperatures are not in ascending order");
        m.table.push_back(row);
    }

    MaterialBatch batch_;
    Section section_ = Section::Options;
};

// Words that would make a description's line a keyword line.
bool looks_like_keyword(const std::string& description)
{
    std::string t = upper_case(description);
    trim_blanks(t);
    const std::string key = t.substr(0, 5);
    return key == "OPTIO" || key == "MATER" || t == "COD";
}

std::string description_field(const std::string& description)
{
    std::string trimmed = description;
    trim_blanks(trimmed);
    const bool quote = description.find_first_of(",\"") != std::string::npos || trimmed != description ||
                       description[0] == '*' || looks_like_keyword(description);
    if (!quote)
        return description;
    std::string out = "\"";
    for (char c : description) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

void check_descriptions(const OneBased<PipeMaterial>& materials)
{
    for (int i = 1; i <= materials.size(); ++i) {
        std::string d = upper_case(materials[i].description);
        trim_blanks(d);
        if (d.empty())
            throw_message(c_format("Material %d has no description; it cannot be exported", i));
        if (i > 1) {
            std::string before = upper_case(materials[i - 1].description);
            trim_blanks(before);
            if (before == d)
                throw_message(c_format("Materials %d and %d have the same description \"%s\";\n"
                                       "a batch file could not tell them apart",
                                       i - 1, i, materials[i].description.c_str()));
        }
    }
}

}  // namespace

MaterialBatch read_material_batch(const std::string& text, int32_t code, const MaterialLibraryUnits& units)
{
    UnitChoicesKept kept;
    return BatchReader(code, units).read(text);
}

std::string write_material_batch(int32_t code, const MaterialLibraryUnits& library_units,
                                 const OneBased<PipeMaterial>& materials)
{
    check_descriptions(materials);
    UnitChoicesKept kept;
    const bool si = library_units[1] == 1;   // the temperature in degrees Celsius
    apply_unit_choices(MATERIAL_LIBRARY_UNIT_QUANTITIES, si ? MATERIAL_BATCH_SI_UNITS : MATERIAL_BATCH_ENGLISH_UNITS);
    std::string text = "OPTIONS\n" + piping_code_keyword(code) + (si ? ",SI\n" : ",ENGLISH\n") + "MATERIAL\n";
    for (const PipeMaterial& m : materials) {
        const std::string description = description_field(m.description);
        text += description + "," + format_or_empty(m.density, format_density) + "," + format_real(m.nu, 10, 3) +
                "," + format_real(m.joint_factor, 10, 2) + "," + format_real(m.circ_joint_factor, 10, 2) + "," +
                m.type + "," + format_or_empty(m.strength, format_stress) + "\n";
        for (const PropertyRow& r : m.table) {
            text += description + "," + format_temperature(r[PROP_TEMPERATURE]) + "," +
                    format_or_empty(r[PROP_MODULUS], format_modulus);
            for (int c : {PROP_ALPHA, PROP_STRESS1, PROP_STRESS2, PROP_STRESS3, PROP_HOOP_MODULUS,
                          PROP_SHEAR_MODULUS})
                text += "," + format_or_empty(r[static_cast<std::size_t>(c)],
                                             c == PROP_ALPHA ? format_expansion : format_stress);
            text += "\n";
        }
    }
    return text;
}
