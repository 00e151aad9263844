#include "loads/seismic.h"

#include "framework/binfile.h"
#include "framework/document.h"
#include "framework/errors.h"
#include "loads/load_file.h"
#include "model/analysis_options.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// ASCE/SEI 7-10 table 11.4-1, site coefficient Fa: rows site classes A to
// E, columns SS <= 0.25, 0.5, 0.75, 1.0, >= 1.25.
constexpr std::array<double, 5> SS_COLUMNS = {0.25, 0.5, 0.75, 1.0, 1.25};
constexpr std::array<std::array<double, 5>, 5> FA_TABLE = {{
    {0.8, 0.8, 0.8, 0.8, 0.8},   // A
    {1.0, 1.0, 1.0, 1.0, 1.0},   // B
    {1.2, 1.2, 1.1, 1.0, 1.0},   // C
    {1.6, 1.4, 1.2, 1.1, 1.0},   // D
    {2.5, 1.7, 1.2, 0.9, 0.9},   // E
}};

void read_seismic(SeismicData& s, BinFile& f)
{
    for (float& g : s.load.g)
        g = f.read_float();
    const char* axes[] = {"X", "Y", "Z"};
    for (std::size_t i = 0; i < 3; ++i)
        s.load.flag[i] = read_load_flag(f, axes[i]) ? 1 : 0;
    s.load.combination = f.read_int();
    s.asce_on = read_load_flag(f, "ASCE");
    AsceSeismic& a = s.asce;
    a.occupancy = f.read_int();
    a.site_class = f.read_int();
    a.ss = f.read_float();
    a.component_height = f.read_float();
    a.structure_height = f.read_float();
    a.ap = f.read_float();
    a.rp = f.read_float();
    a.ip = f.read_float();
    a.asd = f.read_float();
    if (f.error())
        return;
    for (float g : s.load.g)
        if (!finite_value(g))
            throw_message("A g factor is not a number");
    if (s.load.combination != SEISMIC_ABSOLUTE_SUM && s.load.combination != SEISMIC_SRSS)
        throw_message("The seismic combination is invalid");
    // The ASCE data are checked whether in use or not: a damaged record is
    // refused rather than kept for a later Compute.
    if (const std::string fault = asce_seismic_fault(a); !fault.empty() && s.asce_on)
        throw_message(fault);
    if (!finite_value(a.ss) || !finite_value(a.component_height) || !finite_value(a.structure_height) ||
        !finite_value(a.ap) || !finite_value(a.rp) || !finite_value(a.ip) || !finite_value(a.asd))
        throw_message("An ASCE value is not a number");
}

void write_seismic(const SeismicData& s, BinFile& f)
{
    for (float g : s.load.g)
        f.write_float(g);
    for (uint8_t flag : s.load.flag)
        f.write_byte(flag);
    f.write_int(s.load.combination);
    f.write_byte(s.asce_on ? 1 : 0);
    const AsceSeismic& a = s.asce;
    f.write_int(a.occupancy);
    f.write_int(a.site_class);
    f.write_float(a.ss);
    f.write_float(a.component_height);
    f.write_float(a.structure_height);
    f.write_float(a.ap);
    f.write_float(a.rp);
    f.write_float(a.ip);
    f.write_float(a.asd);
}

}  // namespace

bool SeismicLoad::any() const
{
    for (std::size_t i = 0; i < 3; ++i)
        if (flag[i] && g[i] != 0.0f)
            return true;
    return false;
}

SeismicData& seismic_data()
{
    return document().part<SeismicData>();
}

double asce_site_coefficient(int site_class, double ss)
{
    const auto& row = FA_TABLE[static_cast<std::size_t>(std::clamp(site_class, int{SITE_A}, int{SITE_E}))];
    if (!(ss > SS_COLUMNS.front()))
        return row.front();
    if (ss >= SS_COLUMNS.back())
        return row.back();
    std::size_t i = 1;
    while (ss > SS_COLUMNS[i])
        ++i;
    const double t = (ss - SS_COLUMNS[i - 1]) / (SS_COLUMNS[i] - SS_COLUMNS[i - 1]);
    return row[i - 1] + t * (row[i] - row[i - 1]);
}

AsceSeismicFactors asce_seismic_factors(const AsceSeismic& a)
{
    AsceSeismicFactors f;
    f.fa = asce_site_coefficient(a.site_class, a.ss);
    f.sms = a.ss * f.fa;
    f.sds = 2.0 / 3.0 * f.sms;
    // z/h need not exceed 1; an attachment at or below the base has z = 0.
    double ratio = 0.0;
    if (a.structure_height > 0.0f)
        ratio = std::clamp(static_cast<double>(a.component_height) / a.structure_height, 0.0, 1.0);
    const double fp = a.rp > 0.0f ? 0.4 * a.ap * f.sds * a.ip * (1.0 + 2.0 * ratio) / a.rp : 0.0;
    f.fp = std::clamp(fp, 0.3 * f.sds * a.ip, 1.6 * f.sds * a.ip);
    f.horizontal = a.asd * f.fp;
    f.vertical = a.asd * 0.2 * f.sds;
    return f;
}

std::string asce_seismic_fault(const AsceSeismic& a)
{
    if (a.occupancy < 0 || a.occupancy > 3)
        return "Invalid Occupancy Category. Value can be 0 to 3";
    if (a.site_class < SITE_A || a.site_class > SITE_E)
        return "Invalid Site Class. Value can be 0 to 4";
    if (!(a.ss >= 0.0f) || !finite_value(a.ss))
        return "Invalid MCE Spectral Acceleration";
    if (!(a.component_height > 0.0f) || !finite_value(a.component_height))
        return "Invalid Component height";
    if (!(a.structure_height > 0.0f) || !finite_value(a.structure_height))
        return "Invalid Structure height";
    if (!(a.ap >= MIN_AP && a.ap <= MAX_AP))
        return "Invalid Component Amplication Factor. Value should be between 1.00 to 2.50";
    if (!(a.rp >= MIN_RP && a.rp <= MAX_RP))
        return "Invalid Response Modification Factor. Value should be between 1.00 to 12.00";
    if (!(a.ip >= MIN_IP && a.ip <= MAX_IP))
        return "Invalid Importance Factor. Value should be between 1.00 to 1.50";
    if (!(a.asd >= 0.0f) || !finite_value(a.asd))
        return "Invalid Allowable Stress Design Factor";
    return {};
}

void asce_seismic_compute()
{
    const AsceSeismicFactors f = asce_seismic_factors(asce_seismic());
    const std::size_t vertical = analysis_options().z_vertical ? 2 : 1;
    SeismicLoad& load = seismic_g();
    for (std::size_t axis = 0; axis < 3; ++axis)
        load.g[axis] = static_cast<float>(axis == vertical ? f.vertical : f.horizontal);
}

void install_seismic()
{
    register_block_section<SeismicData>(SECTION_SEISMIC, "seismic data", seismic_data, read_seismic, write_seismic);
}
