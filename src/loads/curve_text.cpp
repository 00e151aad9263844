#include "loads/curve_text.h"

#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "loads/load_file.h"
#include "platform/file_replace.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <vector>

namespace {

bool is_separator(char c)
{
    return c == ' ' || c == '\t' || c == ',' || c == ';' || c == '\r';
}

// The fields of a line split at separators (runs of blanks count once; a
// comma or semicolon between blanks too).
std::vector<std::string> split_fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::string field;
    for (char c : line) {
        if (is_separator(c)) {
            if (!field.empty())
                fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    if (!field.empty())
        fields.push_back(field);
    return fields;
}

// A whole field read as a number (locale-independent); false when it is
// not one.
bool read_number(const std::string& field, double& value)
{
    const char* first = field.data();
    const char* last = field.data() + field.size();
    if (first != last && *first == '+')
        ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last;
}

std::string float_text(float v)
{
    return c_format("%.9g", static_cast<double>(v));
}

}  // namespace

XYCurve read_curve_text(const std::string& path, int32_t max_points)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw_message("Unable to open file:\n" + path);
    XYCurve curve;
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& what) { throw_message(path + c_format("\nLine %d: ", number) + what); };
    while (std::getline(in, line)) {
        ++number;
        std::string text = line;
        trim_blanks(text);
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        if (text.empty() || text[0] == '*' || text[0] == '#' || text[0] == '!' || text[0] == ';')
            continue;
        const std::vector<std::string> fields = split_fields(text);
        double x = 0.0, y = 0.0;
        const bool point = fields.size() == 2 && read_number(fields[0], x) && read_number(fields[1], y);
        if (!point) {
            if (curve.empty() && !(fields.size() >= 1 && read_number(fields[0], x)))
                continue;   // a heading before the points
            fail("\"" + text + "\" is not a pair of numbers");
        }
        if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(x) > 3.0e38 || std::fabs(y) > 3.0e38)
            fail("a value is not a number");
        if (static_cast<int32_t>(curve.size()) >= max_points)
            fail(c_format("more than %d points", static_cast<int>(max_points)));
        if (!curve.empty() && !(static_cast<float>(x) > curve[curve.size() - 1].x))
            fail("the abscissa is not above the one before it");
        curve.push_back(static_cast<float>(x), static_cast<float>(y));
    }
    if (curve.empty())
        throw_message(path + "\nThe file holds no points");
    return curve;
}

std::string curve_csv_text(const std::string& x_title, const std::string& y_title, const XYCurve& curve)
{
    std::string text = x_title + "," + y_title + "\n";
    for (const XYPair& p : curve)
        text += float_text(p.x) + "," + float_text(p.y) + "\n";
    return text;
}

void write_curve_csv(const std::string& path, const std::string& x_title, const std::string& y_title,
                     const XYCurve& curve)
{
    const std::string text = curve_csv_text(x_title, y_title, curve);
    BinFile f;
    if (!f.open_write(path))
        throw_message(with_reason("Unable to open csv file:\n" + path, f.failure()));
    f.write(text.data(), text.size());
    if (!f.close())
        throw_message(with_reason("Unable to open csv file:\n" + path, f.failure()));
}

std::string curve_name_from_path(const std::string& path, std::size_t limit)
{
    std::string name = upper_case(model_base_name(path));
    trim_blanks(name);
    return name.substr(0, limit);
}
