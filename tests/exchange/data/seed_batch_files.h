// Batch files of the tests that also seed the batch-file fuzz targets
// (fuzz/corpus/batch, written and checked by batch_fuzz_seed_test.cpp): a
// line far below the ground of a sand, a vertical inline pump and a pump
// centred at the origin, a B31.3 model of few cycles, a section and a
// reducer of an outside diameter of 1E19 in, a reducer and a bend whose
// walls are thicker than their radius, a section of a 0.0005 in wall, a
// stop without a gap and one whose limits cross, and a 48 in line deep in
// sands of friction angles 40, 75 and 0 degrees.
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

// A pipe section P6 of outside diameter `od` and wall `wall`, and a line
// between two anchors at 10 and 40 whose third row, node 30, is `row`
// (line 17 of the file).
inline std::string line_with_row(const std::string& od, const std::string& wall, const std::string& row)
{
    return "Bounds\nVERSION\n10.20\nOPTIONS\nHGRA,B313\nOPTEMP\n70,7000,1\n"
           "MATERIAL\nA106B,0.283,0.3,1.0,1.0,CS,Carbon steel\n"
           "A106B,70,29.5E6,6.07E-6,20000\nA106B,700,25.5E6,7.9E-6,16000\n"
           "PIPE\nP6," +
           od + "," + wall + "\nLAYOUT\nF10,MA106B,PP6,KA\nT20,X10-0\n" + row + "\nT40,X10-0,KA\n";
}

// A pipe section of outside diameter `od` and a reducer of end diameter
// `reducer_od` on a line between two anchors.
inline std::string section_bounds(const std::string& od, const std::string& reducer_od)
{
    return line_with_row(od, "0.28", "T30,X2-0,JD,COD1=" + reducer_od + ",THK1=0.322,OD2=6.625,THK2=0.28");
}

// The line of section_bounds with a reducer of the walls given.
inline std::string reducer_walls(const std::string& thk1, const std::string& thk2)
{
    return line_with_row("6.625", "0.28", "T30,X2-0,JD,COD1=6.625,THK1=" + thk1 + ",OD2=4.5,THK2=" + thk2);
}

// 48 in lines 30 ft deep in sands of 120 lb/ft3 whose friction angles are
// 40, 75 and 0 degrees (Ks 1), each of two 20 ft elements between anchors.
inline const std::string DEEP_SANDS = "Deep sands\nOPTIONS\nB313\n"
                                      "MATERIAL\nA106B,0.283,0.3,1.0,1.0,CS,Carbon steel\n"
                                      "A106B,70,29.5E6,6.07E-6,20000\nA106B,700,25.5E6,7.9E-6,16000\n"
                                      "SOILS\nS1,0,120,30-0,40,1.0\nS2,0,120,30-0,75,1.0\nS3,0,120,30-0,0,1.0\n"
                                      "PIPE\n48,48,0.5,,,,,,,S1\n75,48,0.5,,,,,,,S2\n0,48,0.5,,,,,,,S3\n"
                                      "LOADS\nOPER,200,0\n"
                                      "LAYOUT\nF10,MA106B,P48,KA,CL=OPER\nT20,X20-0\nT30,X20-0,KA\n"
                                      "F40,MA106B,P75,KA\nT50,Z20-0\nT60,Z20-0,KA\n"
                                      "F70,MA106B,P0,KA\nT80,Z20-0\nT90,Z20-0,KA\n";

}  // namespace seed_batch_files
