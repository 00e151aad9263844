// Unit lists and conversion factors. Every factor is derived from the exact
// definitions below, so that display -> internal -> display is exact to
// double precision and the one table serves both directions.
#include "framework/units.h"

#include "framework/document.h"

#include <numbers>
#include <span>


namespace {

// Exact definitions.
constexpr double INCH_M = 0.0254;              // 1 in = 25.4 mm
constexpr double INCH_MM = 25.4;
constexpr double LBF_N = 4.4482216152605;      // 1 lbf = 0.45359237 kg x 9.80665 m/s2
constexpr double LB_KG = 0.45359237;
constexpr double KGF_N = 9.80665;
constexpr double PSI_PA = LBF_N / (INCH_M * INCH_M);  // 6894.757293168...
constexpr double ATM_PA = 101325.0;
constexpr double MILE_M = 1609.344;
constexpr double DEG_RAD = std::numbers::pi / 180.0;

// Derived ratios to the internal units.
constexpr double KGF_LBF = KGF_N / LBF_N;               // kgf in lbf (= 1 / 0.45359237)
constexpr double NM_INLB = 1.0 / (LBF_N * INCH_M);      // 1 N m in in-lb
constexpr double KGM_INLB = KGF_N * NM_INLB;            // 1 kgf m in in-lb
constexpr double KGCM_INLB = KGM_INLB / 100.0;          // 1 kgf cm in in-lb
constexpr double INCH3_M3 = INCH_M * INCH_M * INCH_M;
constexpr double KGM3_LBIN3 = INCH3_M3 / LB_KG;         // 1 kg/m3 in lb/in3

// internal = display x factor + offset
struct UnitDef {
    const char* name;
    double factor;
    double offset;
};

constexpr UnitDef LENGTH_UNITS[] = {
    {"ft-in", 12.0, 0.0},  // a plain number is feet
    {"feet", 12.0, 0.0},
    {"inch", 1.0, 0.0},
    {"m", 1.0 / INCH_M, 0.0},
    {"mm", 1.0 / INCH_MM, 0.0},
};
constexpr UnitDef DIMENSION_UNITS[] = {{"inch", 1.0, 0.0}, {"mm", 1.0 / INCH_MM, 0.0}};
constexpr UnitDef ANGLE_UNITS[] = {{"deg", DEG_RAD, 0.0}, {"rad", 1.0, 0.0}};
constexpr UnitDef FORCE_UNITS[] = {{"lb", 1.0, 0.0}, {"N", 1.0 / LBF_N, 0.0}, {"kg", KGF_LBF, 0.0}};
constexpr UnitDef MOMENT_UNITS[] = {
    {"ft-lb", 12.0, 0.0},
    {"in-lb", 1.0, 0.0},
    {"Nm", NM_INLB, 0.0},
    {"kg-m", KGM_INLB, 0.0},
};
constexpr UnitDef WEIGHT_PER_LENGTH_UNITS[] = {
    {"lb/ft", 1.0 / 12.0, 0.0},
    {"kg/m", KGF_LBF * INCH_M, 0.0},
    {"N/m", INCH_M / LBF_N, 0.0},
    {"kg/cm", KGF_LBF * INCH_M * 100.0, 0.0},
};
constexpr UnitDef WEIGHT_UNITS[] = {{"lb", 1.0, 0.0}, {"kg", 1.0 / LB_KG, 0.0}};
constexpr UnitDef DENSITY_UNITS[] = {
    {"lb/in3", 1.0, 0.0},
    {"lb/ft3", 1.0 / 1728.0, 0.0},
    {"kg/m3", KGM3_LBIN3, 0.0},
    {"g/cm3", KGM3_LBIN3 * 1000.0, 0.0},
};
constexpr UnitDef WEIGHT_DENSITY_UNITS[] = {{"lb/ft3", 1.0 / 1728.0, 0.0}, {"kg/m3", KGM3_LBIN3, 0.0}};
constexpr UnitDef TEMPERATURE_UNITS[] = {{"F", 1.0, 0.0}, {"C", 1.8, 32.0}};
constexpr UnitDef EXPANSION_UNITS[] = {{"in/in/F", 1.0, 0.0}, {"mm/mm/C", 1.0 / 1.8, 0.0}};
constexpr UnitDef PRESSURE_UNITS[] = {
    {"psi", 1.0, 0.0},
    {"bar", 1.0e5 / PSI_PA, 0.0},
    {"kPa", 1.0e3 / PSI_PA, 0.0},
    {"MPa", 1.0e6 / PSI_PA, 0.0},
    {"atm", ATM_PA / PSI_PA, 0.0},
    {"kg/cm2", KGF_N * 1.0e4 / PSI_PA, 0.0},
};
constexpr UnitDef STRESS_UNITS[] = {
    {"psi", 1.0, 0.0},
    {"MPa", 1.0e6 / PSI_PA, 0.0},
    {"N/mm2", 1.0e6 / PSI_PA, 0.0},
    {"kg/mm2", KGF_N * 1.0e6 / PSI_PA, 0.0},
    {"kg/cm2", KGF_N * 1.0e4 / PSI_PA, 0.0},
};
constexpr UnitDef MODULUS_UNITS[] = {
    {"psi", 1.0, 0.0},
    {"MPa", 1.0e6 / PSI_PA, 0.0},
    {"kN/mm2", 1.0e9 / PSI_PA, 0.0},
    {"kg/mm2", KGF_N * 1.0e6 / PSI_PA, 0.0},
    {"kg/cm2", KGF_N * 1.0e4 / PSI_PA, 0.0},
};
constexpr UnitDef STIFFNESS_UNITS[] = {
    {"lb/inch", 1.0, 0.0},
    {"N/mm", INCH_MM / LBF_N, 0.0},
    {"kg/mm", INCH_MM * KGF_LBF, 0.0},
    {"kg/cm", INCH_MM / 10.0 * KGF_LBF, 0.0},
};
constexpr UnitDef ROT_STIFFNESS_UNITS[] = {
    {"in-lb/deg", 1.0 / DEG_RAD, 0.0},
    {"in-lb/rad", 1.0, 0.0},
    {"Nm/deg", NM_INLB / DEG_RAD, 0.0},
    {"Nm/rad", NM_INLB, 0.0},
    {"kg-m/deg", KGM_INLB / DEG_RAD, 0.0},
    {"kg-m/rad", KGM_INLB, 0.0},
    {"kg-cm/deg", KGCM_INLB / DEG_RAD, 0.0},
    {"kg-cm/rad", KGCM_INLB, 0.0},
};
constexpr UnitDef AREA_UNITS[] = {{"in2", 1.0, 0.0}, {"mm2", 1.0 / (INCH_MM * INCH_MM), 0.0}};
constexpr UnitDef INERTIA_UNITS[] = {
    {"in4", 1.0, 0.0},
    {"mm4", 1.0 / (INCH_MM * INCH_MM * INCH_MM * INCH_MM), 0.0},
};
constexpr UnitDef SPEED_UNITS[] = {
    {"mph", 1.0, 0.0},
    {"kmh", 1000.0 / MILE_M, 0.0},
    {"m/s", 3600.0 / MILE_M, 0.0},
};

// Indexed by UnitQuantity; slot 0 is empty.
constexpr std::span<const UnitDef> UNIT_TABLES[NUM_UNIT_QUANTITIES + 1] = {
    {},
    LENGTH_UNITS,
    DIMENSION_UNITS,
    DIMENSION_UNITS,  // displacement: inch, mm
    ANGLE_UNITS,
    FORCE_UNITS,
    MOMENT_UNITS,
    WEIGHT_PER_LENGTH_UNITS,
    WEIGHT_UNITS,
    DENSITY_UNITS,
    WEIGHT_DENSITY_UNITS,
    TEMPERATURE_UNITS,
    EXPANSION_UNITS,
    PRESSURE_UNITS,
    STRESS_UNITS,
    MODULUS_UNITS,
    STIFFNESS_UNITS,
    ROT_STIFFNESS_UNITS,
    AREA_UNITS,
    INERTIA_UNITS,
    SPEED_UNITS,
};

const UnitDef* unit_def(int q, int index)
{
    if (!unit_choice_valid(q, index))
        return nullptr;
    return &UNIT_TABLES[q][static_cast<size_t>(index)];
}

}  // namespace

UnitChoices& unit_choice()
{
    return document().units;
}

void reset_unit_choice()
{
    unit_choice().fill(0);
}

int unit_count(int q)
{
    if (q < 1 || q > NUM_UNIT_QUANTITIES)
        return 0;
    return static_cast<int>(UNIT_TABLES[q].size());
}

bool unit_choice_valid(int q, int index)
{
    return index >= 0 && index < unit_count(q);
}

int current_unit(int q)
{
    if (q < 1 || q > NUM_UNIT_QUANTITIES)
        return 0;
    int index = unit_choice()[static_cast<size_t>(q)];
    return unit_choice_valid(q, index) ? index : 0;
}

std::string unit_name(int q, int index)
{
    const UnitDef* def = unit_def(q, index);
    return def ? std::string(def->name) : std::string();
}

std::string unit_label_for(int q, int index)
{
    const UnitDef* def = unit_def(q, index);
    return def ? "(" + std::string(def->name) + ")" : std::string();
}

std::string unit_label(int q)
{
    return unit_label_for(q, current_unit(q));
}

std::string label_with_unit(const std::string& text, int q)
{
    return text + " " + unit_label(q);
}

double unit_to_internal(int q, int index, double display_value)
{
    const UnitDef* def = unit_def(q, index);
    return def ? display_value * def->factor + def->offset : display_value;
}

double unit_from_internal(int q, int index, double internal_value)
{
    const UnitDef* def = unit_def(q, index);
    return def ? (internal_value - def->offset) / def->factor : internal_value;
}

UnitScale unit_scale(int q)
{
    const UnitDef* def = unit_def(q, current_unit(q));
    return def ? UnitScale{def->offset, def->factor, false} : UnitScale{};
}

double to_internal(int q, double display_value)
{
    return unit_to_internal(q, current_unit(q), display_value);
}

double to_display(int q, double internal_value)
{
    return unit_from_internal(q, current_unit(q), internal_value);
}
