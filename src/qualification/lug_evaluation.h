// The run-pipe stresses at a lug attachment: the stress indices of ASME
// Section III Division 1 (2010) Appendix Y (Y-3410 rectangular, Y-5410
// hollow circular attachments), the local stresses of the five load sets,
// their combination with the run-pipe stresses of the piping analysis in the
// five checks of the code (NC/ND-3653 equations 8 to 11 with their
// Appendix Y additions, or EN 13480-3 (2017) clause 11.6) and the weld
// checks (Y-3410/Y-5410 equations 5 and 6, EN 13480-3 11.4.3 and 11.7).
#pragma once

#include "qualification/lug.h"

#include <string>
#include <vector>

struct LugCheck {
    std::string label;
    double calculated = 0.0;
    double allowed = 0.0;
};

// Y-3410: rectangular attachments.
struct RectangularLugIndices {
    double Rm = 0.0, gamma = 0.0, beta1 = 0.0, beta2 = 0.0;
    double Xn = 0.0, XL = 0.0, XC = 0.0;     // the X of each index
    double Kn = 1.0, KL = 1.0, KC = 1.0;     // thrust, longitudinal, circumferential moment
    double Kn_p = 1.0, KL_p = 1.0, KC_p = 1.0;   // primary: two thirds, at least 1
    double A = 0.0, ZL = 0.0, ZN = 0.0;
    double shear_Q1 = 0.0, shear_Q2 = 0.0;   // 2 L1 min(T, L2), 2 L2 min(T, L1)
};

// Y-5410: hollow circular attachments.
struct HollowLugIndices {
    double beta = 0.0, R = 0.0, tau = 0.0;   // do/Do, Do/T, t/T
    double A = 0.0, Z = 0.0, As = 0.0, Zt = 0.0;
    double KW = 1.0, KL = 1.0, KN = 1.0, KT = 1.0;
    double KW_p = 1.0, KL_p = 1.0, KN_p = 1.0, KT_p = 1.0;   // primary: half, at least 1
};

struct LugEvaluation {
    // Why the attachment cannot be evaluated (outside the code's limits, or
    // an index undefined); the checks are then empty.
    std::string problem;
    std::string section_title;            // "Section Y-3410: Pipe Stresses at Attachment"...
    std::vector<LugCheck> checks;         // the five checks, in report order
    std::string weld_title;
    std::vector<LugCheck> weld_checks;    // SNT** and the shear stress
    double weld_factor = 2.0;             // fw
    RectangularLugIndices rectangular;
    HollowLugIndices hollow;
};

// The geometric limits of the attachment type (hollow: Do/(2T) 4..50,
// t/T 0.2..1.0, do/Do 0.3..1.0; rectangular: L1/Rm and L2/Rm at most 0.5,
// their product at most 0.075, and every X of Y-3410 above 0): the message
// of the first that fails, empty when all hold. Lengths must be above 0.
std::string lug_geometry_problem(const LugInput& in);

// The five checks and the two weld checks of the attachment.
LugEvaluation evaluate_lug(const LugInput& in);

// The title of the report's evaluation by code ("ASME Sec III, Div 1(2010)
// Appendix Y (NC - Class 2)"...).
const char* lug_code_title(int32_t code);
