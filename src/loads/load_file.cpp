#include "loads/load_file.h"

#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "framework/xycurve.h"

#include <cmath>
#include <vector>

bool load_records_in_file()
{
    return model_file_version() >= LOAD_RECORDS_VERSION;
}

void throw_old_load_records(const char* what)
{
    throw_message(c_format("This version of the program cannot read %s of a version %.2f model file", what,
                           model_file_version() / 100.0));
}

bool read_block_count(BinFile& file, const char* what)
{
    const int32_t count = file.read_int();
    if (file.error() || count == 0)
        return false;
    if (count != 1)
        throw_message(c_format("Count %d is out of range", count));
    if (!load_records_in_file())
        throw_old_load_records(what);
    return true;
}

void file_write_block_count(BinFile& file)
{
    file.write_int(1);
}

bool finite_value(double value)
{
    return std::isfinite(value);
}

bool read_load_flag(BinFile& file, const char* name)
{
    const uint8_t value = file.read_byte();
    if (!file.error() && value > 1)
        throw_message(std::string(name) + " flag is invalid");
    return value != 0;
}

std::string curve_fault(const XYCurve& curve)
{
    for (std::size_t i = 0; i < curve.size(); ++i) {
        const XYPair& p = curve[i];
        const int point = static_cast<int>(i) + 1;
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return c_format("point %d is not a number", point);
        if (i > 0 && !(p.x > curve[i - 1].x))
            return c_format("point %d: the abscissa is not above the one before it", point);
    }
    return {};
}

void read_checked_curve(BinFile& file, XYCurve& curve, const std::string& what, int32_t max_points)
{
    const int32_t count = file.read_int();
    if (file.error())
        return;
    if (count < 0 || count > max_points)
        throw_message(what + c_format(": the number of points (%d) is out of range", count));
    if (!file.fits(count, 2 * sizeof(float)))
        throw_message(what + c_format(": the file ends inside its %d points", count));
    std::vector<float> values(2 * static_cast<std::size_t>(count));
    file.read_floats(values.data(), values.size());
    if (file.error())
        return;
    XYCurve read;
    read.reserve(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < values.size(); i += 2)
        read.push_back(values[i], values[i + 1]);
    if (const std::string fault = curve_fault(read); !fault.empty())
        throw_message(what + ": " + fault);
    curve = std::move(read);
}
