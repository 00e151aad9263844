// Batch models with spring hangers for the tests of what a run says of its
// hanger design and of its cases, with the catalogue of springs they are
// sized from (its values are the tests' own, not a maker's) written into
// the folder "hangers" beside them, and the program's batch run of one.
#pragma once

#include "exchange/batch_runs.h"

#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>

namespace hanger_models {

// Grinnell springs from 10 to 10 000 lb (44 to 44 482 N), 20 lb/in.
inline void write_catalogue(const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder / "hangers");
    std::ofstream(folder / "hangers" / "16.txt") << "CATALOGUE 16 Grinnell\n"
                                                    "SPRING S 1 LONG 10 10000 20 # test values\n";
}

// A riser in newtons and millimetres: 6 m of 168.3 x 7.11 mm steel of
// 7850 kg/m3 from an anchor at node 10 up to a Grinnell spring at node 20
// (row 3), pushed up there by 5000 N (with the weight, so in the weight case
// of the design too).
inline const std::string SI_RISER = "SI riser pushed off its spring\n"
                                    "OPTIONS\n"
                                    "HGRA,B313,SI\n"
                                    "MATERIAL\n"
                                    "CS,7850\n"
                                    "CS,20,203000,11.7E-6,138\n"
                                    "CS,300,186000,13.5E-6,125\n"
                                    "PIPE\n"
                                    "P6,168.3,7.11\n"
                                    "LOADS\n"
                                    "OPER,100,0\n"
                                    "LAYOUT\n"
                                    "F10,MCS,PP6,KA,CL=OPER\n"
                                    "T20,Y6000,CVS\n"
                                    "L20,CFOR(0,5000,0)\n";

// The load the design finds for the riser's spring (N), worked by hand:
// held rigid, it and the anchor share the riser's weight, half each (the
// axial strain of the part below the top, integrated, is the top's R l / EA
// for R = w l / 2), w = rho g A per mm; of the 5000 N at its node it takes
// all but K / (K + EA/l) of EA/l (1.2e5 N/mm) against the rigid 1.0e12
// lb/in: below a millionth. Its load is w l / 2 - 5000, below 0.
inline double si_riser_spring_load()
{
    const double area = std::numbers::pi / 4 * (168.3 * 168.3 - (168.3 - 2 * 7.11) * (168.3 - 2 * 7.11));   // mm2
    const double weight = 7850e-9 * 9.80665 * area;   // N/mm
    return weight * 6000 / 2 - 5000;
}

// A line on two rests with friction (nonlinear) with a Grinnell spring
// between them, heated in two thermal sets, its cases those of both sets.
inline const std::string HUNG_LINE = "Hung line on rests\n"
                                     "OPTIONS\n"
                                     "HGRA,B313\n"
                                     "OPTEMP\n"
                                     "70,7000,2\n"
                                     "MATERIAL\n"
                                     "A106B,0.283,0.3,1.0,1.0,CS,Carbon steel\n"
                                     "A106B,70,29.5E6,6.07E-6,20000\n"
                                     "A106B,700,25.5E6,7.9E-6,16000\n"
                                     "PIPE\n"
                                     "P6,6.625,0.28\n"
                                     "LOADS\n"
                                     "L1,400,0,0,300,0\n"
                                     "LAYOUT\n"
                                     "F10,MA106B,PP6,KA,CL=L1\n"
                                     "T20,X200,CLS(0,NONE),DV(0,1,0),MU=0.3\n"
                                     "T30,X200,CVS\n"
                                     "T40,X200,CLS(0,NONE),DV(0,1,0),MU=0.3\n"
                                     "T50,X200,KA\n";

// The program's batch run of `text`, written as `name` in `folder` beside
// the catalogue: its exit code; its standard error in `err`.
inline int run_batch(const std::filesystem::path& folder, const std::string& name, const std::string& text,
                     std::string& err)
{
    std::filesystem::create_directories(folder);
    write_catalogue(folder);
    std::ofstream(folder / name) << text;
    const std::filesystem::path err_file = folder / "stderr.txt";
    const int code = batch_runs::finish_program(batch_runs::start_program(folder, name, err_file));
    err = batch_runs::bytes_of(err_file);
    return code;
}

}  // namespace hanger_models
