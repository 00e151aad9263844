// The batch text of the tee-and-elbow model the code-stress tests analyse:
// 8 in STD at 350 degF and 300 psi (unless told), Y vertical: an anchor at 10, 120 in
// along X to a welding tee at 20, 120 in along X to an elbow at 30 (R 12
// in), 96 in along Z to an anchor at 40; from the tee a 4 in STD branch up
// Y to an anchor at 50 (with a weld-neck flange at 45 halfway, gasket
// diameter 5 in, allowable pressure 740 psi, when asked for). The material
// MAT: at 70 degF E 27.9e6, alpha 6.0e-6, allowable 20 000, yield 35 000;
// at 700 degF 25.5e6, 8.1e-6, 16 000, 30 000 (and a rupture column of
// 20 000 and `rupture` when given). A soil of ground level 0 named by the
// 8 in section when `soil` is set.
#pragma once

#include <string>

namespace code_stress_models {

struct TeeModel {
    std::string code;
    std::string type;       // the material type ("FR" for FRP)
    std::string rupture;    // column 5 at 700 degF; empty: no rupture column
    bool soil = false;
    bool flange = false;
    std::string load = "350,300";   // the pipe load's T1 (degF) and P1 (psi)
};

inline std::string tee_model_text(const TeeModel& m)
{
    return "Tee and elbow\nOPTIONS\n" + m.code + ",IN\nMATERIAL\nMAT,0.283,0.3,1,1," + m.type +
           "\nMAT,70,27.9E6,6.0E-6,20000,35000" + (m.rupture.empty() ? "" : ",20000") +
           "\nMAT,700,25.5E6,8.1E-6,16000,30000" + (m.rupture.empty() ? "" : "," + m.rupture) + "\n" +
           (m.soil ? "SOILS\nS1,0,0.07,0,0.5,1\n" : "") + "PIPE\nP8,8.625,0.322" + (m.soil ? ",,,,,,,S1" : "") +
           "\nP4,4.5,0.237\nLOADS\nL1," + m.load + "\nLAYOUT\nF10,MMAT,PP8,KA,CL=L1\nT20,X120,KT\nT30,X120,B12\n"
           "T40,Z96,KA\nF20,PP4\n" +
           (m.flange ? "T45,Y30,CFLANGE=WN,GDIA=5.0,AP=740\nT50,Y30,KA\n" : "T50,Y60,KA\n");
}

}  // namespace code_stress_models
