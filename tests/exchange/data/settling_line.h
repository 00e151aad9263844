// The line of the settlement tests: a nozzle that settles 2 in at one end
// of a filled 6 in line on rests, an anchor at the other.
#pragma once

#include "exchange/data/english_head.h"

#include <string>

// 1000 in of filled 6 in STD along X from a nozzle at node 10 to an anchor at
// node 60, on one-way rests at nodes 20 to 50, under `code`; the nozzle
// settles 2 in.
inline std::string settling_line(const std::string& code)
{
    const std::string rest = ",CLS(0,NONE),DV(0,1,0)\n";
    return "Nozzle settles\n" + english_head(code) +
           "P6,6.625,0.28\n"
           "LOADS\n"
           "L1,200,0,1.14\n"
           "LAYOUT\n"
           "F10,MA106B,PP6,CL=L1\n"
           "L10,CNOZZLE=297,NOD=6.625,NTHK=0.28,VOD=120,VTHK=1,L1=60,L2=60,DV(1,0,0),SETT(0,-2,0)\n"
           "T20,X200" + rest + "T30,X200" + rest + "T40,X200" + rest + "T50,X200" + rest + "T60,X200,KA\n";
}

