// Static seismic loads: the g factors along global X, Y and Z with a flag
// each (a flagged axis with a factor acts in the Seismic (g) case) and the
// combination of the three directions' results; and the data of a
// component's seismic force after ASCE/SEI 7-10 chapter 13, from which the
// factors can be computed.
#pragma once

#include <array>
#include <cstdint>
#include <string>

class BinFile;

enum SeismicCombination : int32_t {
    SEISMIC_ABSOLUTE_SUM = 1,
    SEISMIC_SRSS = 2,
};

struct SeismicLoad {
    std::array<float, 3> g{};          // X, Y, Z factors, in g
    std::array<uint8_t, 3> flag{};     // the factor of the axis acts
    int32_t combination = SEISMIC_ABSOLUTE_SUM;

    // True when a flagged axis has a factor other than 0.
    bool any() const;
    bool operator==(const SeismicLoad&) const = default;
};

// Site classes A to E of ASCE/SEI 7-10 section 20.3 (F needs a site
// response analysis and is not offered).
enum AsceSiteClass : int32_t { SITE_A = 0, SITE_B, SITE_C, SITE_D, SITE_E };

struct AsceSeismic {
    int32_t occupancy = 1;             // risk category I..IV as 0..3
    int32_t site_class = SITE_D;       // the class to take when the soil is not known (11.4.2)
    float ss = 0.0f;                   // MCE spectral acceleration at short periods, in g
    float component_height = 0.0f;     // z, the height of the attachment in the structure, inch
    float structure_height = 0.0f;     // h, the average roof height of the structure, inch
    // Welded or brazed piping after ASME B31 (table 13.6-1): ap 2.5, Rp 12.
    float ap = 2.5f;                   // component amplification factor, 1.0 to 2.5
    float rp = 12.0f;                  // component response modification factor, 1.0 to 12.0
    float ip = 1.0f;                   // component importance factor, 1.0 to 1.5
    float asd = 0.7f;                  // allowable stress design factor on E
    bool operator==(const AsceSeismic&) const = default;
};

// The limits of the ASCE data (both ends included).
inline constexpr float MIN_AP = 1.0f, MAX_AP = 2.5f;
inline constexpr float MIN_RP = 1.0f, MAX_RP = 12.0f;
inline constexpr float MIN_IP = 1.0f, MAX_IP = 1.5f;

// The seismic data of the model.
struct SeismicData {
    SeismicLoad load;
    AsceSeismic asce;
    bool asce_on = false;              // the factors come from the ASCE data
    bool operator==(const SeismicData&) const = default;
};

SeismicData& seismic_data();
inline SeismicLoad& seismic_g() { return seismic_data().load; }
inline AsceSeismic& asce_seismic() { return seismic_data().asce; }
inline bool& asce_seismic_on() { return seismic_data().asce_on; }

// The short-period site coefficient Fa of ASCE/SEI 7-10 table 11.4-1 for a
// site class (A to E) and SS, interpolated linearly between the table's
// columns (SS 0.25, 0.5, 0.75, 1.0, 1.25) and held at the end columns.
double asce_site_coefficient(int site_class, double ss);

// What the ASCE data give, each a fraction of the component's weight.
struct AsceSeismicFactors {
    double fa = 0.0;
    double sms = 0.0;          // SS Fa (eq. 11.4-1)
    double sds = 0.0;          // 2/3 SMS (eq. 11.4-3)
    double fp = 0.0;           // eq. 13.3-1 held within eqs. 13.3-2 and 13.3-3
    double horizontal = 0.0;   // ASD Fp
    double vertical = 0.0;     // ASD 0.2 SDS (13.3.1)
};
AsceSeismicFactors asce_seismic_factors(const AsceSeismic& data);
// A message naming the first value out of its range (the batch file's
// checks); empty when the data are in range.
std::string asce_seismic_fault(const AsceSeismic& data);

// Sets the g factors from the ASCE data: the two horizontal axes take the
// horizontal factor and the vertical axis (Z when the options say so, else
// Y) the vertical one. The flags are left as they are.
void asce_seismic_compute();

// The model-file section (one block: the factors, their flags, the
// combination, the ASCE flag and data) and the reset of a new model.
void install_seismic();
