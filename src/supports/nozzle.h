// The vessel nozzle (data type 7): where the pipe meets a vessel: a nozzle on
// a cylindrical vessel (WRC Bulletin 297), on a flat-bottom tank (API 650)
// or on a spherical vessel (PD 5500), with the nozzle's and the vessel's
// diameters and thicknesses, the lengths L1 and L2, the vessel axis, a
// reinforcing pad (API 650), the vessel's modulus, and up to twelve sets of
// specified displacements as an anchor has.
//
// Model-file record (framed):
//   tag[16], u8 API 650, u8 reinforcing pad, f32 nozzle OD, f32 nozzle
//   thickness, f32 vessel OD, f32 vessel thickness, f32 L1, f32 L2 (inch),
//   f32 vessel modulus (psi), f32 vessel axis X, Y, Z, u8 PD 5500, the
//   specified displacements (DisplacementSets). Neither flag: WRC 297.
//
// Analysis: the local flexibilities of the three methods are read from the
// curves of their documents (the WRC 297 charts, the stiffness coefficient
// figures of API 650 and the shell charts of PD 5500), which the program
// has not got; until it has, a nozzle holds the pipe rigidly in all six
// directions, as an anchor does, and moves it by its specified
// displacements (nozzle_flexibility says why). Support loads: FX, FY, FZ,
// MX, MY, MZ on the pipe in global axes.
#pragma once

#include "model/elements.h"
#include "supports/support_common.h"
#include "supports/support_item.h"

#include <array>
#include <string>

enum NozzleType : int {
    NOZZLE_WRC_297 = 297,
    NOZZLE_API_650 = 650,
    NOZZLE_PD_5500 = 5500,
};

struct NozzleValues {
    std::string tag;
    int32_t type = NOZZLE_WRC_297;
    bool pad = false;
    float nozzle_od = 0.0f;
    float nozzle_thickness = 0.0f;
    float vessel_od = 0.0f;
    float vessel_thickness = 0.0f;
    float length1 = 0.0f;
    float length2 = 0.0f;
    float modulus = 0.0f;
    std::array<float, 3> axis{};
    DisplacementSets displacements;
    bool operator==(const NozzleValues&) const = default;
};

enum NozzleColumn : int {
    NOZZLE_COL_NODE = 1,
    NOZZLE_COL_TAG,
    NOZZLE_COL_TYPE,
    NOZZLE_COL_NOZZLE_OD,
    NOZZLE_COL_NOZZLE_THICKNESS,
    NOZZLE_COL_VESSEL_OD,
    NOZZLE_COL_VESSEL_THICKNESS,
    NOZZLE_COL_L1,
    NOZZLE_COL_L2,
    NOZZLE_COL_MODULUS,
    NOZZLE_COL_PAD,
    NOZZLE_COL_DISPLACEMENTS,
    NOZZLE_COLUMNS = NOZZLE_COL_DISPLACEMENTS,
};

// "WRC 297", "API 650", "PD 5500".
const char* nozzle_type_name(int type);

// The local flexibility of a nozzle by the method of its type: the stiffness
// along the nozzle axis and against the longitudinal and circumferential
// bending moments. `available` is false when the method's curve data are
// not in the program; `reason` then says which.
struct NozzleFlexibility {
    bool available = false;
    double axial = 0.0;
    double longitudinal = 0.0;
    double circumferential = 0.0;
    std::string reason;
};
NozzleFlexibility nozzle_flexibility(const NozzleValues& values);

class Nozzle final : public SupportItem {
public:
    NozzleValues v;
    // The axes computed for the highlight: x along the nozzle, y along the
    // vessel axis (made normal to x).
    LocalAxes axes;

    int dtype() const override { return DT_NOZZLE; }
    std::string tag() const override { return v.tag; }
    // The checks of the values, in order: "Nozzle OD required", "Nozzle thk
    // required", "Nozzle Thickness is greater than nozzle radius", "Vessel OD
    // required", "Vessel THK required", "Vessel Thickness is greater than
    // vessel radius", "Length 1 required" (not PD 5500), "L2 required" (WRC
    // 297), "Direction required" (not PD 5500), and for API 650 the ratios
    // "Nozzle OD/Vessel OD < 0.005", "Nozzle OD/Vessel OD > 0.04", "L/Nozzle
    // OD < 1.0", "L/Nozzle OD > 1.5" (limits 0.0049, 0.041, 0.99, 1.51).
    static void check_values(const NozzleValues& values);

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const DataItem& other) override { copy_support_values(*this, other); }
    bool same_values(const DataItem& other) const override { return same_support_values(*this, other); }
    std::string cell_text(int column) const override;
    std::string description() const override;
    int subtype() const override { return v.type; }
    void check(const Model& model, int row) const override;

    void assemble_stiffness(AnalysisRun& run, int row) const override;
    void add_loads(AnalysisRun& run, int row) const override;
    void write_support_loads(AnalysisRun& run, int row) const override;

    void compute_local_axes(int node) override;
    SymbolParts symbol_parts(int row) const override;

protected:
    int allowable_count() const override { return 6; }
};
