// Batch files of the tests that also seed the batch-file fuzz targets
// (fuzz/corpus/batch, written and checked by batch_fuzz_seed_test.cpp): a
// line far below the ground of a sand, a vertical inline pump and a pump
// centred at the origin, a B31.3 model of few cycles, and a section and a
// reducer of an outside diameter of 1E19 in.
#pragma once

#include <string>

namespace seed_batch_files {

// A 6.625 in line along X at elevation 0 in a sand of 120 lb/ft3, friction
// angle 30 degrees, Ks 1, whose ground is 265 ft (3180 in, 480 diameters)
// above it; two elements of 20 ft from an anchor at 10.
inline const std::string DEEP_COVER = "Deep buried line\nOPTIONS\nB313\n"
                                      "MATERIAL\nA106B,0.283,0.3,1.0,1.0,CS,Carbon steel\n"
                                      "A106B,70,29.5E6,6.07E-6,20000\nA106B,700,25.5E6,7.9E-6,16000\n"
                                      "SOILS\nS1,0,120,265-0,30,1.0\n"
                                      "PIPE\n6,6.625,0.28,,,,,,,S1\nLOADS\nOPER,200,0\n"
                                      "LAYOUT\nF10,MA106B,P6,KA,CL=OPER\nT20,X20-0\nT30,X20-0\n";

// A line through nodes 10 and 20 with a vertical inline pump between them
// and a horizontal pump whose centre is the origin.
inline const std::string PUMPS = "Pumps\nMATERIAL\nCS,0.283\nCS,70,29.5E6,6.07E-6,20000\nPIPE\nP6,6.625,0.28\n"
                                 "LAYOUT\nF10,MCS,PP6,KA\nT20,X10-0,KA\n"
                                 "PUMPS\nVIL,1,10,20\nHOR,0,1,0,0,0,0,0,10,1,20,2\n";

// A B31.3 carbon-steel loop heated to 400 degF for 1000 cycles, where Eq.
// (1c) gives 6.0 N^-0.2 = 1.51.
inline const std::string FEW_CYCLES = "Few cycles\nOPTIONS\nB313,IN\nOPTEMP\n70,1000\n"
                                      "MATERIAL\nA106B,0.283,0.3,1.0,1.0,CS,Carbon steel\n"
                                      "A106B,70,29.5E6,6.07E-6,20000\nA106B,700,25.5E6,7.9E-6,16000\n"
                                      "PIPE\nP6,6.625,0.28\nLOADS\nL1,400,150\n"
                                      "LAYOUT\nF10,MA106B,PP6,KA,CL=L1\nT20,X120\nT30,Y120\nT40,Z120,KA\n";

// A pipe section of outside diameter `od` and a reducer of end diameter
// `reducer_od` on a line between two anchors.
inline std::string section_bounds(const std::string& od, const std::string& reducer_od)
{
    return "Bounds\nVERSION\n10.20\nOPTIONS\nHGRA,B313\nOPTEMP\n70,7000,1\n"
           "MATERIAL\nA106B,0.283,0.3,1.0,1.0,CS,Carbon steel\n"
           "A106B,70,29.5E6,6.07E-6,20000\nA106B,700,25.5E6,7.9E-6,16000\n"
           "PIPE\nP6," +
           od + ",0.28\nLAYOUT\nF10,MA106B,PP6,KA\nT20,X10-0\nT30,X2-0,JD,COD1=" + reducer_od +
           ",THK1=0.322,OD2=6.625,THK2=0.28\nT40,X10-0,KA\n";
}

}  // namespace seed_batch_files
