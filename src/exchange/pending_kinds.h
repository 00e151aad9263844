// The values that a batch file gives the element and data-item kinds whose
// classes this version does not have yet: one record per kind with the
// fields, internal units and defaults of the kind, as the row's items fill
// them (the checks of the items and of the row have run by then).
//
// Each kind's apply_* function stores its record in the row's object. Until
// the kind's class is part of the program it refuses the row with
// "<Kinds> cannot be imported in this version", so that no value of the
// file is lost without a word.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct LayoutRow;

// ---- Element kinds ----------------------------------------------------------------------

// Jacketed pipe (element type 6): the jacket's material, section and pipe load.
struct JacketedPipeItems {
    std::string material, section, load;
};

// Valve (8). Weights in lb, offsets in inch.
struct ValveItems {
    float weight = 0.0f;                 // VWGT
    float length = 0.0f;                 // not given by a batch file
    float thickness_factor = 3.0f;       // THKF
    float insulation_factor = 1.75f;     // INSF
    float additional_weight = 0.0f;      // AWGT
    std::array<float, 3> offset{};       // OFFSET: of the additional weight from the valve centre
    int32_t valve_type = 0;              // not given by a batch file (0 none)
};

// Bellows (10). Stiffnesses in lb/in and in-lb/rad, area in in2.
struct BellowsItems {
    float axial_stiffness = 0.0f;        // ES c1
    float bending_stiffness = 1.0e12f;   // BK
    float torsional_stiffness = 0.0f;    // ES c3 or HS
    float lateral_stiffness = 0.0f;      // ES c2
    float thrust_area = 0.0f;            // TA
    float weight = 0.0f;                 // WGT
    float mean_diameter = 0.0f;          // MD
};

// Slip joint (11).
struct SlipJointItems {
    float friction_force = 0.0f;         // FFOR, lb
    float friction_torque = 0.0f;        // FTOR, in-lb
    float thrust_area = 0.0f;            // TA
    float weight = 0.0f;                 // WGT
};

// Hinge joint (12).
struct HingeJointItems {
    float stiffness = 0.0f;              // HS (or ES c3), in-lb/rad
    float rotation_limit = 0.0f;         // RLIM, radian; 1.0e30 none
    float friction_torque = 0.0f;        // FTOR
    float weight = 0.0f;                 // WGT
    std::array<float, 3> axis{};         // DV
};

// Ball joint (13): bending, then torsion.
struct BallJointItems {
    std::array<float, 2> stiffness{};                 // RK
    std::array<float, 2> limits{1.0e30f, 1.0e30f};    // ROTL, radian
    std::array<float, 2> friction{};                  // FRCT, in-lb
    float weight = 0.0f;                              // WGT
};

// Rigid element (14).
struct RigidElementItems {
    float weight = 0.0f;                 // WGT
};

// Elastic element (15): stiffnesses -1 where not given.
struct ElasticElementItems {
    std::array<float, 3> translational{};   // TRAK
    std::array<float, 3> rotational{};      // ROTK
    std::array<float, 3> local_x{};         // LXAX, as given
    std::array<float, 3> local_y{};         // LYAX, as given
};

// Beam (17): the row's material, section and load name the beam's.
struct BeamItems {
    std::string material, section, load;    // MAT, SEC, LOAD
    float beta = 0.0f;                        // BETA, radian
};

// Tie rod (19): tension, then compression.
struct TieRodItems {
    std::array<float, 2> stiffness{};   // KTIE, lb/in
    std::array<float, 2> gap{};         // GAP, inch
};

// ---- Data-item kinds ------------------------------------------------------------------

// Flange (data type 11): 1 weld neck ... 7 threaded.
struct FlangeItems {
    int32_t type = 1;                 // FLANGE
    float weight = 0.0f;              // WGT
    float gasket_diameter = 0.0f;     // GDIA
    float allowable_pressure = 0.0f;  // AP, psi
};

// Branch SIF (12): its kind (1 welding tee ... 9 branch connection) and two
// values by kind: 2 pad thickness; 4 crotch radius; 7 fillet radius and
// thickness; 8 thickness and length; 9 radius.
struct BranchSifItems {
    int32_t kind = 0;
    float value1 = 0.0f;
    float value2 = 0.0f;
};

// User SIF (13); the ten IGEM factors only under the IGEM code.
struct UserSifItems {
    float in_plane = 0.0f, out_plane = 0.0f, axial = 0.0f, torsion = 0.0f;
    bool igem_given = false;
    // IPS, IBS, IQS, ITS, ISS, IPC, IBC, IQC, ITC, ISC
    std::array<float, 10> igem{};
};

// Weld (14): 0 weld ... 4 tapered transition.
struct WeldItems {
    int32_t type = 1;                 // WTYPE
    float mismatch = 0.0f;            // DELTA, inch
};

// The kinds whose item is the information itself.
struct SpiderItems {};
struct JacketEndCapItems {};
struct ThreadedJointItems {};

// ---- Storing the records in a row's object --------------------------------------------
// Each throws a message text; the row's line is named by the caller.
void apply_jacketed_pipe(LayoutRow& row, const JacketedPipeItems& items);
void apply_valve(LayoutRow& row, const ValveItems& items);
void apply_bellows(LayoutRow& row, const BellowsItems& items);
void apply_slip_joint(LayoutRow& row, const SlipJointItems& items);
void apply_hinge_joint(LayoutRow& row, const HingeJointItems& items);
void apply_ball_joint(LayoutRow& row, const BallJointItems& items);
void apply_rigid_element(LayoutRow& row, const RigidElementItems& items);
void apply_elastic_element(LayoutRow& row, const ElasticElementItems& items);
void apply_beam(LayoutRow& row, const BeamItems& items);
void apply_tie_rod(LayoutRow& row, const TieRodItems& items);
void apply_flange(LayoutRow& row, const FlangeItems& items);
void apply_branch_sif(LayoutRow& row, const BranchSifItems& items);
void apply_user_sif(LayoutRow& row, const UserSifItems& items);
void apply_weld(LayoutRow& row, const WeldItems& items);
void apply_spider(LayoutRow& row, const SpiderItems& items);
void apply_jacket_end_cap(LayoutRow& row, const JacketEndCapItems& items);
void apply_threaded_joint(LayoutRow& row, const ThreadedJointItems& items);
