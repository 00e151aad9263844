// Every message of the batch import for a line made to fail: each case is a
// prelude (the lines before, ending in a line break) and the bad line; the
// import must stop at that line with "Line = <n> :  <line>\n<message>" and
// leave an empty model.
#include "exchange/data/batch_fixture.h"
#include "model/model_file.h"

#include <vector>

using namespace batch_test;

namespace {

struct BadLine {
    std::string prelude;
    std::string line;
    std::string message;   // with " :  <detail>" where the message has one
};

int lines_in(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// Material, section, soil and loads that layout lines may name.
const std::string SETS = "MATERIAL\nCS\nCS,70,29E6\nPIPE\nP6,6.625,0.28\nLOADS\nL1,300,150\nBMATERIALS\nBM\n"
                         "BSECTIONS\nBS,10,100,50\nBLOADS\nBL,100\nLAYOUT\n";
const std::string LAYOUT = "LAYOUT\n";
// Lengths in inch, for the nozzle's ratios.
const std::string IN_LAYOUT = "OPTIONS\nIN\nLAYOUT\n";

void check(const std::vector<BadLine>& cases)
{
    for (const BadLine& c : cases) {
        reset_model();
        clear_model_sections();
        std::istringstream in(c.prelude + c.line + "\nLAYOUT\nT999\n");
        std::string error;
        try {
            import_batch_text(in);
        } catch (const MessageText& m) {
            error = m.text;
        }
        EXPECT_EQ(error, line_error(lines_in(c.prelude) + 1, c.line, c.message)) << c.prelude << c.line;
        EXPECT_EQ(numrows(), 0) << c.line;
    }
}

}  // namespace

TEST_F(BatchTest, VersionAndOptionMessages)
{
    check({
        {"VERSION\n", "", "Version number is required"},
        {"VERSION\n", "10.21", "MBF version number cannot be > 10.20 :  10.21"},
        {"VERSION\n", "ABC", "MBF version number cannot be > 10.20 :  ABC"},
        {"VERSION\n10.20\n", "7 SE", "SE option is presently not available"},
        {"OPTIONS\n", "B313,F", "F option is presently not available"},
        {"OPTIONS\n", "FE", "FE option is presently not available"},
        {"OPTIONS\n", "NAVY", "NAVY code is presently not available"},
        {"OPCODE\n", "", "Include axial force option is required"},
        {"OPCODE\n", "1", "Liberal allowable option is required"},
        {"OPCODE\n", "2,0", "Include axial force should be 0 or 1 (0 = OFF, 1 = ON) :  2"},
        {"OPCODE\n", "0,2", "Liberal allowable should be 0 or 1 (0 = OFF, 1 = ON) :  2"},
        {"OPCODE\n", "0,0,2", "B31J should be 0 or 1 (0 = OFF or 1 = ON). :  2"},
        {"OPCODE\n", "0,0,0,3", "Invalid service level :  3"},
        {"OPCODE\n", "0,0,0,0,5", "B31.8 design factor index should be < 4 :  5"},
        {"OPCODE\n", "0,0,0,0,0,2", "Z183 location factor index should be 0 or 1 :  2"},
        {"OPCODE\n", "0,0,0,0,0,0,5", "Z184 class location should be between 1 and 4 :  5"},
        {"OPCODE\n", "0,0,0,0,0,0,1,2", "Z184 sour service should be 0 or 1 (0 = nonsour, 1 = sour) :  2"},
        {"OPTIONS\nEUROPEAN\nOPCODE\n", "0,0,0,0,0,0,1,0,0.9", "EN seismic K should be at least 1.00 :  0.9"},
        {"OPCODE\n", "0,0,0,0,0,0,1,0,X", "EN seismic K should be at least 1.00 :  X"},
        {"OPTEMP\n", "", "Reference Temperature is required"},
        {"OPTEMP\n", "-500", "Invalid Reference Temperature :  -500"},
        {"OPTEMP\n", "70,0", "Invalid thermal cycles :  0"},
        {"OPTEMP\n", "70,7000,4", "Number of thermal loads can be 1, 2, 3 or 10 :  4"},
        {"OPTEMP\n", "70,7000,1,2", "Solve Thermal Case should be 0 or 1 (0 = OFF, 1 = ON) :  2"},
        {"OPTEMP\n", "70,7000,1,0,2", "Cold modulus should be 0 or 1 (0 = OFF, 1 = ON) :  2"},
        {"OPPRES\n", "2", "Pressure stress option should be 0 or 1 :  2"},
        {"OPPRES\n", "0,2", "Bourdon should be 0 or 1 (0 = OFF, 1 = ON) :  2"},
        {"OPPRES\n", "0,0,2", "Pressure correction should be 0 or 1 (0 = OFF, 1 = ON) :  2"},
        {"OPPRES\n", "0,0,0,0.9", "Peak pressure factor should be >= 1.00 :  0.9"},
        {"OPMISC\n", "-1", "Invalid cutoff frequency :  -1"},
        {"OPMISC\n", "33,-1", "Invalid number of modes :  -1"},
        {"OPMISC\n", "33,20,2", "Missing mass should be 0 or 1 (0 = OFF, 1 = ON) :  2"},
        {"OPMISC\n", "33,20,1,2", "Friction in dynamics should be 0 or 1 (0 = OFF, 1 = ON) :  2"},
        {"OPMISC\n", "33,20,1,1,2", "Include Hanger stiffness should be 0 or 1 (0 = OFF, 1 = ON) :  2"},
    });
}

TEST_F(BatchTest, MaterialMessages)
{
    std::string forty = "MATERIAL\nCS\n";
    for (int t = 1; t <= 40; ++t)
        forty += "CS," + std::to_string(t) + ",29E6\n";
    check({
        {"MATERIAL\n", "", "Material name is required"},
        {"MATERIAL\nCS\n", ",0.283", "Material name is required"},
        {"MATERIAL\n", "CSTEEL", "Material name should be <= 5 characters :  CSTEEL"},
        {"MATERIAL\n", "C.S", "Material name should be alpha-numeric :  C.S"},
        {"MATERIAL\n", "CS ,0.283", "Material name should be alpha-numeric :  CS "},
        {"MATERIAL\n", "CS,-1", "Invalid density :  -1"},
        {"MATERIAL\n", "CS,0.283,0.5", "Invalid Poisson's ratio :  0.5"},
        {"MATERIAL\n", "CS,,,0", "Invalid joint factor :  0"},
        {"MATERIAL\n", "CS,,,,1.01", "Invalid circ joint factor :  1.01"},
        {"MATERIAL\n", "CS,,,,,XX", "Invalid material type :  XX"},
        {"MATERIAL\n", "CS,,,,,CS," + std::string(32, 'D'),
         "Material description should be <= 31 characters :  " + std::string(32, 'D')},
        // A temperature line with a blank after the name starts a material.
        {"MATERIAL\nCS\n", "CS 700,29E6", "Material name should be <= 5 characters :  CS 700"},
        {"MATERIAL\nCS\n", "CS,", "Temperature is required"},
        {"MATERIAL\nCS\n", "CS,X", "Invalid temperature :  X"},
        {"MATERIAL\nCS\n", "CS,70", "Elastic modulus is required"},
        {"MATERIAL\nCS\n", "CS,70,0", "Invalid elastic modulus :  0"},
        {"MATERIAL\nCS\n", "CS,70,29E6,X", "Invalid alpha :  X"},
        {"MATERIAL\nCS\n", "CS,70,29E6,6E-6,-1", "Invalid allowable stress :  -1"},
        {"MATERIAL\nCS\n", "CS,70,29E6,6E-6,,-1", "Invalid yield stress :  -1"},
        {"MATERIAL\nCS\n", "CS,70,29E6,6E-6,,,-1", "Invalid rupture stress :  -1"},
        {"MATERIAL\nCS\nCS,70,29E6\n", "CS,70,28E6", "Temperatures are not in ascending order"},
        {forty, "CS,1000,29E6", "Maximum 40 temperature dependent properties are allowed"},
    });
}

TEST_F(BatchTest, SoilSectionAndLoadMessages)
{
    check({
        {"SOILS\n", "", "Soil name is required"},
        {"SOILS\n", "SOIL", "Soil name should be <= 3 characters :  SOIL"},
        {"SOILS\n", "S.1", "Soil name should be alpha-numeric :  S.1"},
        {"SOILS\n", "S1", "Soil type is required"},
        {"SOILS\n", "S1,2", "Invalid Cohesive/Cohesiveless :  2"},
        {"SOILS\n", "S1,0", "Soil density is required"},
        {"SOILS\n", "S1,0,,10", "Invalid density :  "},
        {"SOILS\n", "S1,0,120", "Ground level required"},
        {"SOILS\n", "S1,0,120,X", "Invalid ground level"},
        {"SOILS\n", "S1,1,120,0", "Strength required"},
        {"SOILS\n", "S1,1,120,0,0", "Invalid cohesive strength :  0"},
        {"SOILS\n", "S1,0,120,0", "Delta required"},
        {"SOILS\n", "S1,0,120,0,75.1", "Invalid delta value :  75.1"},
        {"SOILS\n", "S1,0,120,0,-1", "Invalid delta value :  -1"},
        {"SOILS\n", "S1,0,120,0,30", "ks required"},
        {"SOILS\n", "S1,0,120,0,30,0", "Invalid KS :  0"},
        {"SOILS\n", "S1,1,120,0,10,2", "Include Insulation Thickness can be 0 or 1 (0 = Exclude, 1 = Include) :  2"},
        {"PIPE\n", "", "Section name is required"},
        {"PIPE\n", "PIPE66", "Section name should be <= 5 characters :  PIPE66"},
        {"PIPE\n", "P.6", "Section name should be alpha-numeric :  P.6"},
        {"PIPE\n", "P6", "Pipe diameter is required"},
        {"PIPE\n", "P6,0", "Invalid pipe diameter :  0"},
        {"PIPE\n", "P6,6.625", "Pipe thickness is required"},
        {"PIPE\n", "P6,6.625,0.00005", "Invalid pipe thickness :  0.00005"},
        {"PIPE\n", "P6,6.625,3.4", "Thickness is greater than radius"},
        {"PIPE\n", "P6,6.625,0.28,X", "Invalid corrosion allowance :  X"},
        {"PIPE\n", "P6,6.625,0.28,0.28", "Corrosion allowance is >= wall thickness"},
        {"PIPE\n", "P6,6.625,0.28,,75.01", "Invalid mill tolerance :  75.01"},
        {"PIPE\n", "P6,6.625,0.28,,-1", "Invalid mill tolerance :  -1"},
        {"PIPE\n", "P6,6.625,0.28,,,-1", "Invalid insulation density :  -1"},
        {"PIPE\n", "P6,6.625,0.28,,,,X", "Invalid insulation thickness :  X"},
        {"PIPE\n", "P6,6.625,0.28,,,,,-1", "Invalid lining density :  -1"},
        {"PIPE\n", "P6,6.625,0.28,,,,,,X", "Invalid lining thickness :  X"},
        {"PIPE\n", "P6,6.625,0.28,0,0,0,0,0,0,SOIL", "Soil name should be <= 3 characters :  SOIL"},
        {"PIPE\n", "P6,6.625,0.28,0,0,0,0,0,0,S9", "Soil not defined :  S9"},
        {"PIPE\n", "P6,6.625,0.28,0,0,0,0,0,0,,", "Soil not defined :  "},
        {"LOADS\n", "", "Load name is required"},
        {"LOADS\n", "LOAD12", "Load name should be <= 5 characters :  LOAD12"},
        {"LOADS\n", "L.1", "Load name should be alpha-numeric :  L.1"},
        {"LOADS\n", "L1", "T1 is required"},
        {"LOADS\n", "L1,-460.5", "Invalid T1 :  -460.5"},
        {"LOADS\n", "L1,300", "P1 is required"},
        {"LOADS\n", "L1,300,X", "Invalid P1 :  X"},
        {"LOADS\n", "L1,300,150,-1", "Invalid Specific Gravity :  -1"},
        {"LOADS\n", "L1,300,150,1,-500", "Invalid T2 :  -500"},
        {"LOADS\n", "L1,300,150,1,70,X", "Invalid P2 :  X"},
        {"LOADS\n", "L1,300,150,1,70,0,-500", "Invalid T3 :  -500"},
        {"LOADS\n", "L1,300,150,1,70,0,70,X", "Invalid P3 :  X"},
        {"LOADS\n", "L1,300,150,1,70,0,70,0,-1", "Invalid additional weight :  -1"},
        {"LOADS\n", "L1,300,150,1,70,0,70,0,0,-461", "Invalid Design Temperature :  -461"},
        {"LOADS\n", "L1,300,150,1,70,0,70,0,0,300,X", "Invalid Design Pressure :  X"},
        {"LOADS\n", "L1,300,150,1,70,0,70,0,0,300,150,-500", "Invalid T4 :  -500"},
        {"LOADS\n", "L1,300,150,1,70,0,70,0,0,300,150,70,0,70,0,70,0,70,0,70,0,70,0,70,X", "Invalid P10 :  X"},
        {"LOADS\n", "L1,300,150,1,70,0,70,0,0,300,150,70,0,70,0,70,0,70,0,70,0,70,0,70,0,2",
         "Invalid Wind option. Can be 0 or 1 (0 = Exclude, 1 = Include) :  2"},
        {"LOADS\n", "L1,300,150,1,70,0,70,0,0,250", "Design Temperature should be at least the highest Operating temperature"},
        {"LOADS\n", "L1,300,150,1,70,0,70,0,0,300,100", "Design Pressure should be at least the highest Operating pressure"},
        {"LOADS\n", "L1,300,150,1,70,0,70,0,0,300,100,70,0,70,0,70,0,70,0,70,0,70,0,70,0,1",
         "Design Pressure should be at least the highest Operating pressure :  1"},
    });
}

TEST_F(BatchTest, BeamDataSeismicWindAndEquipmentMessages)
{
    const std::string wind2 = "WIND2\n0,0.6,1,0,0,0,0,0\n";
    check({
        {"BMATERIALS\n", "", "Beam Material name is required"},
        {"BMATERIALS\n", "BEAMS1", "Beam Material name should be <= 5 characters :  BEAMS1"},
        {"BMATERIALS\n", "B.M", "Beam Material name should be alpha-numeric :  B.M"},
        {"BMATERIALS\n", "BM,0", "Invalid youngs modulus :  0"},
        {"BMATERIALS\n", "BM,29E6,0.5", "Invalid Poisson's ratio :  0.5"},
        {"BMATERIALS\n", "BM,29E6,0.3,-1", "Invalid density :  -1"},
        {"BMATERIALS\n", "BM,29E6,0.3,0.283,X", "Invalid alpha :  X"},
        {"BSECTIONS\n", "", "Beam Section name is required"},
        {"BSECTIONS\n", "BEAMS1", "Beam Section name should be <= 5 characters :  BEAMS1"},
        {"BSECTIONS\n", "B.S", "Beam Section name should be alpha-numeric :  B.S"},
        {"BSECTIONS\n", "BS", "Axial area is required"},
        {"BSECTIONS\n", "BS,-1", "Invalid axial area :  -1"},
        {"BSECTIONS\n", "BS,10", "Major MOI is required"},
        {"BSECTIONS\n", "BS,10,X", "Invalid Major MOI :  X"},
        {"BSECTIONS\n", "BS,10,100", "Minor MOI is required"},
        {"BSECTIONS\n", "BS,10,100,-1", "Invalid Minor MOI :  -1"},
        {"BSECTIONS\n", "BS,10,100,50,-1", "Invalid torsional inertia :  -1"},
        {"BSECTIONS\n", "BS,10,100,50,1,-1", "Invalid major shear :  -1"},
        {"BSECTIONS\n", "BS,10,100,50,1,1,-1", "Invalid minor shear :  -1"},
        {"BSECTIONS\n", "BS,10,100,50,1,1,1,-1", "Invalid depth :  -1"},
        {"BSECTIONS\n", "BS,10,100,50,1,1,1,1,-1", "Invalid width :  -1"},
        {"BLOADS\n", "", "Beam Load name is required"},
        {"BLOADS\n", "BLD123", "Beam Load name should be <= 5 characters :  BLD123"},
        {"BLOADS\n", "B.L", "Beam Load name should be alpha-numeric :  B.L"},
        {"BLOADS\n", "BL", "T1 is required"},
        {"BLOADS\n", "BL,-461", "Invalid T1 :  -461"},
        {"BLOADS\n", "BL,100,-461", "Invalid T2 :  -461"},
        {"BLOADS\n", "BL,100,70,X", "Invalid T3 :  X"},
        {"BLOADS\n", "BL,100,70,70,-1", "Invalid additional weight :  -1"},
        {"BLOADS\n", "BL,100,70,70,0,70,70,70,70,70,70,-461", "Invalid T10 :  -461"},
        {"BLOADS\n", "BL,100,70,70,0,70,70,70,70,70,70,70,5",
         "Invalid Wind option. Can be 0 or 1 (0 = Exclude, 1 = Include) :  5"},
        {"SEISMIC\n", "X", "Invalid X seismic load :  X"},
        {"SEISMIC\n", "0,X", "Invalid Y seismic load :  X"},
        {"SEISMIC\n", "0,0,X", "Invalid Z seismic load :  X"},
        {"SEISMIC\n", "0,0,0,3", "Invalid Seismic Combination. 1 = Absolute Sum, 2 = SRSS :  3"},
        {"ASCES\n", "", "Occupancy Category is required"},
        {"ASCES\n", "4", "Invalid Occupancy Category. Value can be 0 to 3 :  4"},
        {"ASCES\n", "1", "Site Class is required"},
        {"ASCES\n", "1,5", "Invalid Site Class. Value can be 0 to 4 :  5"},
        {"ASCES\n", "1,3", "MCE Spectral Acceleration is required"},
        {"ASCES\n", "1,3,-1", "Invalid MCE Spectral Acceleration :  -1"},
        {"ASCES\n", "1,3,1", "Component height is required"},
        {"ASCES\n", "1,3,1,0", "Invalid Component height :  0"},
        {"ASCES\n", "1,3,1,120", "Structure height is required"},
        {"ASCES\n", "1,3,1,120,0", "Invalid Structure height :  0"},
        {"ASCES\n", "1,3,1,120,240", "Component Amplication Factor is required"},
        {"ASCES\n", "1,3,1,120,240,2.6",
         "Invalid Component Amplication Factor. Value should be between 1.00 to 2.50 :  2.6"},
        {"ASCES\n", "1,3,1,120,240,2.5", "Response Modification Factor is required"},
        {"ASCES\n", "1,3,1,120,240,2.5,0.5",
         "Invalid Response Modification Factor. Value should be between 1.00 to 12.00 :  0.5"},
        {"ASCES\n", "1,3,1,120,240,2.5,12", "Importance Factor is required"},
        {"ASCES\n", "1,3,1,120,240,2.5,12,1.51",
         "Invalid Importance Factor. Value should be between 1.00 to 1.50 :  1.51"},
        {"ASCES\n", "1,3,1,120,240,2.5,12,1", "Allowable Stress Design Factor is required"},
        {"ASCES\n", "1,3,1,120,240,2.5,12,1,-1", "Invalid Allowable Stress Design Factor :  -1"},
        {"ASCES\n", "1,3,1,120,240,2.5,12,1,0.7", "Seismic Combination is required"},
        {"ASCES\n", "1,3,1,120,240,2.5,12,1,0.7,3", "Invalid Seismic Combination. 1 = Absolute Sum, 2 = SRSS :  3"},
        {"WIND\n", "X", "Invalid wind velocity :  X"},
        {"WIND\n", "50", "Wind direction is required"},
        {"WIND\n", "50,-1", "Invalid wind shape factor :  -1"},
        {"WIND\n", "50,0.6", "Wind direction is required"},
        {"WIND\n", "50,0.6,X", "Invalid X component for wind load :  X"},
        {"WIND\n", "50,0.6,1,X", "Invalid Y component for wind load :  X"},
        {"WIND\n", "50,0.6,1,0,X", "Invalid Z component for wind load :  X"},
        {"WIND\n", "50,0.6,0,0,0", "Invalid wind direction"},
        {"ASCEW\n", "", "Occupancy Category is required"},
        {"ASCEW\n", "4", "Invalid Occupancy Category. Value can be 0 to 3 :  4"},
        {"ASCEW\n", "1", "Basic wind speed is required"},
        {"ASCEW\n", "1,-1", "Invalid wind speed :  -1"},
        {"ASCEW\n", "1,115", "Directionality factor is required"},
        {"ASCEW\n", "1,115,-1", "Invalid directionality factor :  -1"},
        {"ASCEW\n", "1,115,0.85", "Exposure Category is required"},
        {"ASCEW\n", "1,115,0.85,3", "Invalid Exposure Category. Value can be 0 to 2 :  3"},
        {"ASCEW\n", "1,115,0.85,1", "Hill Type is required"},
        {"ASCEW\n", "1,115,0.85,1,4", "Invalid Hill type. Value can be 0 to 3 :  4"},
        {"ASCEW\n", "1,115,0.85,1,1", "Hill height is required"},
        {"ASCEW\n", "1,115,0.85,1,1,0", "Invalid hill height :  0"},
        {"ASCEW\n", "1,115,0.85,1,1,100", "Crest distance is required"},
        {"ASCEW\n", "1,115,0.85,1,1,100,0", "Invalid crest distance :  0"},
        {"ASCEW\n", "1,115,0.85,1,1,100,100", "Height above Ground Level is required"},
        {"ASCEW\n", "1,115,0.85,1,1,100,100,0", "Invalid height :  0"},
        {"ASCEW\n", "1,115,0.85,1,1,100,100,10", "Distance from Crest to Site is required"},
        {"ASCEW\n", "1,115,0.85,1,1,100,100,10,0", "Invalid distance :  0"},
        {"ASCEW\n", "1,115,0.85,1,0,0,0,0,0", "Surface Type is required"},
        {"ASCEW\n", "1,115,0.85,1,0,0,0,0,0,3", "Invalid surface type. Value can be 0 to 2 :  3"},
        {"ASCEW\n", "1,115,0.85,1,0,0,0,0,0,1", "Gust factor is required"},
        {"ASCEW\n", "1,115,0.85,1,0,0,0,0,0,1,-1", "Invalid Gust factor :  -1"},
        {"WIND1\n", "", "Use ASCE Wind Profile cannot be empty"},
        {"WIND1\n", "2", "Turn On/Off ASCE Wind Profile is invalid. 0 = Off, 1 = On :  2"},
        {"WIND3\n", "1,0.6,1,0,0", "ASCE Wind cannot be turned ON as ASCE Wind Parameters not defined"},
        {"WIND1\n", "0", "Wind shape factor is required"},
        {"WIND1\n", "0,-1", "Invalid wind shape factor :  -1"},
        {"WIND1\n", "0,0.6", "X component for wind is required"},
        {"WIND1\n", "0,0.6,1", "Y component for wind is required"},
        {"WIND1\n", "0,0.6,1,0", "Z component for wind is required"},
        {"WIND1\n", "0,0.6,X", "Invalid X component for wind load :  X"},
        {"WIND1\n", "0,0.6,1,X", "Invalid Y component for wind load :  X"},
        {"WIND1\n", "0,0.6,1,0,X", "Invalid Z component for wind load :  X"},
        {"WIND4\n", "0,0.6,0,0,0", "Invalid wind direction"},
        {"WIND1\n", "0,0.6,1,0,0", "Elevation unit is required"},
        {"WIND1\n", "0,0.6,1,0,0,2", "Invalid Elevation units. Value can be 0 or 1. :  2"},
        {"WIND1\n", "0,0.6,1,0,0,0", "Pressure unit is required"},
        {"WIND1\n", "0,0.6,1,0,0,0,3", "Invalid Pressure units. Value can be 0 to 2. :  3"},
        {"WIND1\n", "0,0.6,1,0,0,0,0", "Velocity unit is required"},
        {"WIND1\n", "0,0.6,1,0,0,0,0,3", "Invalid Velocity units. Value can be 0 to 2. :  3"},
        {"WIND1\n", "0,0.6,1,0,0,0,0,0,2",
         "Invalid Profile Type. 0 = Pressure vs Elevation, 1 = Velocity vs Elevation :  2"},
        {wind2, "", "Wind Profile size is required"},
        {wind2, "-1", "Invalid Wind Profile size :  -1"},
        {wind2, "1001", "Invalid Wind Profile size :  1001"},
        {wind2 + "2\n", "", "Elevation is required"},
        {wind2 + "2\n", "X", "Invalid elevation :  X"},
        {wind2 + "2\n", "10", "Elevation is required"},
        {wind2 + "2\n", "10,X", "Invalid pressure :  X"},
        {"WIND2\n0,0.6,1,0,0,0,0,0,1\n2\n", "10,-5", "Invalid velocity :  -5"},
        {wind2 + "2\n10,1\n", "10,2", "Elevation should be above the elevation of the point before :  10"},
        {"PUMPS\n", "", "Pump description is required"},
        {"PUMPS\n", "P-101 FEED PUMPS1", "Pump desc should be <= 16 characters :  P-101 FEED PUMPS1"},
        {"PUMPS\n", "P", "Pump type is required"},
        {"PUMPS\n", "P,2", "Invalid Pump type :  2"},
        {"PUMPS\n", "P,1", "Suction node required"},
        {"PUMPS\n", "P,1,X", "Invalid Suction node :  X"},
        {"PUMPS\n", "P,1,-5", "Invalid Suction node :  -5"},
        {"PUMPS\n", "P,1,10,X", "Invalid discharge node :  X"},
        {"PUMPS\n", "P,1,,", "Suction or Dischage node required"},
        {"PUMPS\n", "P,0", "Shaft axis direction required"},
        {"PUMPS\n", "P,0,X", "Invalid xcomp :  X"},
        {"PUMPS\n", "P,0,1,X", "Invalid ycomp :  X"},
        {"PUMPS\n", "P,0,1,0,X", "Invalid zcomp :  X"},
        {"PUMPS\n", "P,0,1,0,0", "Centre of pump required"},
        {"PUMPS\n", "P,0,1,0,0,X", "Invalid x coordinate :  X"},
        {"PUMPS\n", "P,0,1,0,0,1,X", "Invalid y coordinate :  X"},
        {"PUMPS\n", "P,0,1,0,0,1,1,X", "Invalid z coordinate :  X"},
        {"PUMPS\n", "P,0,1,0,0,1,1,1", "Suction node required"},
        {"PUMPS\n", "P,0,1,0,0,1,1,1,10", "Suction location required"},
        {"PUMPS\n", "P,0,1,0,0,1,1,1,10,3", "Invalid Suction location :  3"},
        {"PUMPS\n", "P,0,1,0,0,1,1,1,10,0,X", "Invalid discharge node :  X"},
        {"PUMPS\n", "P,0,1,0,0,1,1,1,10,0,20,3", "Invalid discharge location :  3"},
        {"PUMPS\n", "P,0,0,0,0,1,1,1,10,0", "invalid shaft axis direction"},
        {"COMPRESSORS\n", "", "Compressor description is required"},
        {"COMPRESSORS\n", "K-1 COMPRESSOR 17", "Compressor desc should be <= 16 characters :  K-1 COMPRESSOR 17"},
        {"COMPRESSORS\n", "K", "Shaft axis direction required"},
        {"COMPRESSORS\n", "K,X", "Invalid xcomp :  X"},
        {"COMPRESSORS\n", "K,1,X", "Invalid ycomp :  X"},
        {"COMPRESSORS\n", "K,1,0,X", "Invalid zcomp :  X"},
        {"COMPRESSORS\n", "K,1,0,0,X", "Invalid inlet node number"},
        {"COMPRESSORS\n", "K,1,0,0,,X", "Invalid exhaust node number"},
        {"COMPRESSORS\n", "K,1,0,0,,,X", "Invalid extraction1 node number"},
        {"COMPRESSORS\n", "K,1,0,0,,,,X", "Invalid extraction2 node number"},
        {"COMPRESSORS\n", "K,0,0,0", "shaft axis direction required"},
        {"TURBINES\n", "", "Turbine description is required"},
        {"TURBINES\n", "T-1 TURBINE NO 17", "Turbine desc should be <= 16 characters :  T-1 TURBINE NO 17"},
        {"ALLOWABLES\n", "", "Node required"},
        {"ALLOWABLES\n", "X", "Invalid node :  X"},
        {"ALLOWABLES\n", "10,1,2,3,4,5", "force and moment required"},
        {"ALLOWABLES\n", "10,X", "Invalid FX :  X"},
        {"ALLOWABLES\n", "10,1,X", "Invalid FY :  X"},
        {"ALLOWABLES\n", "10,1,2,X", "Invalid FZ :  X"},
        {"ALLOWABLES\n", "10,1,2,3,X", "Invalid MX :  X"},
        {"ALLOWABLES\n", "10,1,2,3,4,X", "Invalid MY :  X"},
        {"ALLOWABLES\n", "10,1,2,3,4,5,X", "Invalid MZ :  X"},
        {"ALLOWABLES\n", ",1,2,3,4,5,6", "Node required"},
    });
}

TEST_F(BatchTest, LayoutHeadMessages)
{
    check({
        {LAYOUT, "T", "Invalid node :  "},
        {LAYOUT, "T*", "Invalid node :  "},
        {LAYOUT, "TX", "Invalid node :  X"},
        {LAYOUT, "F0", "Invalid node :  0"},
        {LAYOUT, "L100000", "Invalid node :  100000"},
        {LAYOUT, "T10,XA", "Invalid X :  A"},
        {LAYOUT, "T10,YA", "Invalid Y :  A"},
        {LAYOUT, "T10,ZA", "Invalid Z :  A"},
        {LAYOUT, "T10,B0.005", "Invalid bend radius (B) :  0.005"},
        {LAYOUT, "T10,B", "Invalid bend radius (B) :  "},
        {LAYOUT, "T10,MXX", "Undefined material :  XX"},
        {LAYOUT, "T10,PXX", "Undefined pipe section :  XX"},
        {LAYOUT, "T10,JQ", "Invalid joint code (J)"},
        {LAYOUT, "T10,JF", "Flexible joint (beam) is presently not available"},
        {LAYOUT, "KA,T10", "Node is not specified"},
        {LAYOUT, "T10,KA,KT", "Code (K) can be specified only once"},
        {LAYOUT, "T10,KQ", "Invalid code (K) :  KQ"},
        {LAYOUT, "T10,Q5", "Invalid field :  Q5"},
        {LAYOUT, "T10,,X1", "Invalid field :  "},
        {LAYOUT, "T10,KA,CG", "Only one data item per line is allowed\nUse Location (L) for additional items"},
        {LAYOUT, "T10,CK=1,KR=1", "Only one data item per line is allowed\nUse Location (L) for additional items"},
        {LAYOUT, "T10,CFOR(1,0,0),CWGT=5", "Only one data item per line is allowed\nUse Location (L) for additional items"},
        {LAYOUT, "T10,CXYZ=1", "Unknown comment :  XYZ=1"},
        {LAYOUT, "T10,CWGT=150,,TA=20", "Unknown comment :  "},
        {LAYOUT, "T10,CWGT=150 ,TA=20", "Unknown comment :  "},
        {LAYOUT, "T10,CTAG=" + std::string(124, 'A'), "An item should be <= 127 characters :  TAG=" + std::string(124, 'A')},
        {LAYOUT, "T10,CDIS(" + std::string(40, '1') + ")", "A value should be <= 39 characters :  " + std::string(40, '1')},
    });
}

TEST_F(BatchTest, SupportItemMessages)
{
    const std::string tuple = "\nDirectional entry such as ";
    const std::string scalar = "\nScalar entry such as ";
    check({
        {LAYOUT, "T10,CDIS=0.1", "Invalid specified displacement : DIS=0.1" + tuple + "DIS(0.1,0,-0.2) is required"},
        {LAYOUT, "T10,CDISX(0.1)", "Invalid specified displacement : DISX(0.1)" + scalar + "DISX=0.1 is required"},
        {LAYOUT, "T10,CSETT(0,X)", "Invalid displacement :  X"},
        {LAYOUT, "T10,CDZ=X", "Invalid displacement :  X"},
        {LAYOUT, "T10,CROT5=1", "Invalid specified rotation : ROT5=1" + tuple + "ROT5(0.1,0,-0.2) is required"},
        {LAYOUT, "T10,CSTRO(X)", "Invalid rotation :  X"},
        {LAYOUT, "T10,CROTY=X", "Invalid rotation :  X"},
        {LAYOUT, "T10,CLA=2", "Invalid anchor type 0 = GCS, 1 = LCS :  2"},
        {LAYOUT, "T10,CLD=2", "Invalid displacement type 0 = GCS, 1 = LCS :  2"},
        {LAYOUT, "T10,CTRAK=1", "Invalid Translational Stiffness :  TRAK=1"},
        {LAYOUT, "T10,CTRAK(1,-1)", "Invalid stiffness :  -1"},
        {LAYOUT, "T10,CROTK=1", "Invalid Rotational Stiffness :  ROTK=1"},
        {LAYOUT, "T10,CROTK(1,1,X)", "Invalid Rot.stiffness :  X"},
        {LAYOUT, "T10,CFIXR", "FIXR is not available"},
        {LAYOUT, "T10,CFIXRX=1", "FIXRX is not available"},
        {LAYOUT, "T10,CFIXRY(1)", "FIXRY is not available"},
        {LAYOUT, "T10,CFIXRZ", "FIXRZ is not available"},
        {LAYOUT, "T10,CF=1", "Invalid restraint : F=1" + tuple + "F(1,0,1) is required"},
        {LAYOUT, "T10,CFIXD(1,X)", "Invalid restraint"},
        {LAYOUT, "T10,CFX(1)", "Invalid restraint :  FX(1)"},
        {LAYOUT, "T10,CFIXDZ=X", "Invalid restraint :  X"},
        {LAYOUT, "T10,CK", "Stiffness (k) is not specified"},
        {LAYOUT, "T10,CK=X", "Invalid stiffness :  X"},
        {LAYOUT, "T10,CKR", "Rotational stiffness (kr) is not specified"},
        {LAYOUT, "T10,CKR=-1", "Invalid rotational stiffness :  -1"},
        {LAYOUT, "T10,CDV=1", "Invalid direction vector : DV=1" + tuple + "DV(0.5,0,-1.0) is required"},
        {LAYOUT, "T10,CDV(X)", "Invalid xcomp :  X"},
        {LAYOUT, "T10,CDV(1,X)", "Invalid ycomp :  X"},
        {LAYOUT, "T10,CDV(1,0,X)", "Invalid zcomp :  X"},
        {LAYOUT, "T10,CDV(0.00001,0,0)", "Direction vector is too short :  DV(0.00001,0,0)"},
        {LAYOUT, "T10,CSTIFF", "Stiffness (k) is not specified"},
        {LAYOUT, "T10,CSTIFF=-1", "Invalid stiffness :  -1"},
        {LAYOUT, "T10,CMU=-1", "Invalid friction coefficient (MU) :  -1"},
        {LAYOUT, "T10,CCNOD", "Invalid connected node number"},
        {LAYOUT, "T10,CCNOD=0", "Invalid connected node number"},
        {LAYOUT, "T10,CTAG=ABCDEFGHIJKLMNO", "Invalid Tag :  ABCDEFGHIJKLMNO"},
        {LAYOUT, "T10,CVS(1)", "Invalid hanger :  VS(1)"},
        {LAYOUT, "T10,CVS=9", "Invalid number of hangers :  9"},
        {LAYOUT, "T10,CCS(1)", "Invalid constant support :  CS(1)"},
        {LAYOUT, "T10,CRH(1)", "Invalid rod hanger :  RH(1)"},
        {LAYOUT, "T10,CRH=0", "Invalid number of hangers :  0"},
        {LAYOUT, "T10,CUS=2", "Invalid user defined hanger :  US=2"},
        {LAYOUT, "T10,CUS(9,1,1)", "Invalid number of hangers :  9"},
        {LAYOUT, "T10,CUS(1,X,1)", "Invalid spring rate for user defined hanger :  X"},
        {LAYOUT, "T10,CUS(1,1,X)", "Invalid load for user defined hanger :  X"},
        {LAYOUT, "T10,CHTYP=36", "Invalid hanger type :  36"},
        {LAYOUT, "T10,CMLV=0.5", "Invalid load variation (MLV) :  0.5"},
        {LAYOUT, "T10,CMLV=100", "Invalid load variation (MLV) :  100"},
        {LAYOUT, "T10,CCLD=X", "Invalid load type for user defined hanger :  X"},
        {LAYOUT, "T10,CG=1", "Invalid guide: G=1 :  G=1"},
        {LAYOUT, "T10,CGGAP=X", "Invalid gap :  X"},
        {LAYOUT, "T10,CLS=1", "Invalid limit stop : LS=1" + tuple + "LS(-1.0,1.50) is required"},
        {LAYOUT, "T10,CLS(X)", "Invalid lower limit :  X"},
        {LAYOUT, "T10,CLS(1,X)", "Invalid upper limit :  X"},
        {LAYOUT, "T10,CLS(,)", "No limits are specified\n"},
        {LAYOUT, "T10,CLS(NONE,NONE)", "No limits are specified\n"},
        // Limits beyond 1E29 on both sides are none.
        {LAYOUT, "T10,CLS(-2E29,3E29)", "No limits are specified\n"},
        {LAYOUT, "T10,CLS(2,1)", "Invalid limit stop: LS(2,1)\nUpper limit should be greater than the lower limit, or both limits 0"},
        // Also when a limit is 0.
        {LAYOUT, "T10,CLS(0,-1)", "Invalid limit stop: LS(0,-1)\nUpper limit should be greater than the lower limit, or both limits 0"},
        {LAYOUT, "T10,CNOZZLE=300", "Invalid Nozzle type :  300"},
        {LAYOUT, "T10,CRPAD=2", "Invalid Reinforcing pad input"},
        {LAYOUT, "T10,CNOD=0.0005", "Invalid nozzle od :  0.0005"},
        {LAYOUT, "T10,CNTHK=0.00005", "Invalid nozzle thickness :  0.00005"},
        {LAYOUT, "T10,CVOD=0", "Invalid vessel od :  0"},
        {LAYOUT, "T10,CVTHK=X", "Invalid vessel thickness :  X"},
        {LAYOUT, "T10,CL1=0", "Invalid length 1 :  0"},
        {LAYOUT, "T10,CL2=-1", "Invalid length 2 :  -1"},
        {LAYOUT, "T10,CE=0", "Invalid modulus :  0"},
    });
}

TEST_F(BatchTest, ElementAndComponentItemMessages)
{
    check({
        {LAYOUT, "T10,CBTHK=-1", "Invalid Bend thickness :  -1"},
        {SETS, "T10,CBMAT", "Invalid bend material name :  "},
        {SETS, "T10,CBMAT=CSTEEL", "Invalid bend material name :  CSTEEL"},
        {SETS, "T10,CBMAT=XX", "Bend Material not defined :  XX"},
        {LAYOUT, "T10,CFF=-1", "Invalid flexibility factor :  -1"},
        {LAYOUT, "T10,CFF=0", "Invalid flexibility factor :  0"},
        {LAYOUT, "T10,CBSIF=1.5", "Invalid Bend SIF :  BSIF=1.5"},
        {LAYOUT, "T10,CBSIF(0.9,1)", "Invalid inplane SIF :  0.9"},
        {LAYOUT, "T10,CBSIF(1,0.9)", "Invalid outplane SIF :  0.9"},
        {LAYOUT, "T10,CSIFA=0.9", "Invalid Axial SIF :  0.9"},
        {LAYOUT, "T10,CSIFT=0.9", "Invalid Torsion SIF :  0.9"},
        {LAYOUT, "T10,CIN1=5", "Invalid Intermediate Bend Node :  IN1=5"},
        {LAYOUT, "T10,CIN1(X,1)", "Invalid intermediate node1 :  X"},
        {LAYOUT, "T10,CIN2(5,-1)", "Invalid intermediate node2 angle :  -1"},
        {SETS, "T10,CJMAT(CS)", "Invalid Jacket information :  JMAT(CS)"},
        {SETS, "T10,CJMAT", "Reference cannot be NULL :  JMAT"},
        {SETS, "T10,CJMAT=CSTEEL", "Max char > 5  :  CSTEEL"},
        {SETS, "T10,CJMAT=XX", "Jacket Material not defined :  XX"},
        {SETS, "T10,CJSEC=XX", "Jacket Section not defined :  XX"},
        {SETS, "T10,CJLOAD=XX", "Jacket Load not defined :  XX"},
        {LAYOUT, "T10,CJR=-1", "Invalid Jacket Radius :  -1"},
        {LAYOUT, "T10,CJTHK=-1", "Invalid Jacket Thickness :  -1"},
        {LAYOUT, "T10,COD1=0", "Invalid OD1 :  0"},
        {LAYOUT, "T10,COD2=0", "Invalid OD2 :  0"},
        {LAYOUT, "T10,CTHK1=0", "Invalid THK1 :  0"},
        {LAYOUT, "T10,CTHK2=X", "Invalid THK2 :  X"},
        {LAYOUT, "T10,CCONE=-1", "Invalid Cone angle :  -1"},
        {LAYOUT, "T10,CVWGT=-1", "Invalid weight (VWGT) :  -1"},
        {LAYOUT, "T10,CAWGT=-1", "Invalid additional weight (AWGT) :  -1"},
        {LAYOUT, "T10,CTHKF=0", "Invalid thickness factor :  0"},
        {LAYOUT, "T10,CINSF=0.009", "Invalid insulation weight factor :  0.009"},
        {LAYOUT, "T10,COFFSET=1", "Invalid OFFSET : OFFSET=1\nDirectional entry such as OFFSET(0,18,0) is required"},
        {LAYOUT, "T10,COFFSET(X)", "Invalid X offset :  X"},
        {LAYOUT, "T10,COFFSET(0,X)", "Invalid Y offset :  X"},
        {LAYOUT, "T10,COFFSET(0,0,X)", "Invalid Z offset :  X"},
        {LAYOUT, "T10,CES=1",
         "Invalid expansion joint stiffnesses: ES=1\nEnter as ES(axial stiffness, lateral stiffness, torsional stiffness)"},
        {LAYOUT, "T10,CES(X)", "Invalid axial stiffness :  X"},
        {LAYOUT, "T10,CES(1,-1)", "Invalid lateral stiffness :  -1"},
        {LAYOUT, "T10,CES(1,1,X)", "Invalid torsional stiffness :  X"},
        {LAYOUT, "T10,CTA=-1", "Invalid thrust area :  -1"},
        {LAYOUT, "T10,CMD=-1", "Invalid Mean Diameter :  -1"},
        {LAYOUT, "T10,CBK=-1", "Invalid bending stiffness :  -1"},
        {LAYOUT, "T10,CWGT=-1", "Invalid weight (WGT) :  -1"},
        {LAYOUT, "T10,CFFOR=X", "Invalid friction force :  X"},
        {LAYOUT, "T10,CFTOR=X", "Invalid friction torque :  X"},
        // Friction acts against the movement; the joints take no negative one.
        {LAYOUT, "T10,JS,CFFOR=-10", "Invalid friction force :  -10"},
        {LAYOUT, "T10,JS,CFTOR=-1", "Invalid friction torque :  -1"},
        {LAYOUT, "T10,CHS", "Hinge stiffness (HS) is not specified"},
        {LAYOUT, "T10,CHS=-1", "Invalid hinge stiffness :  -1"},
        {LAYOUT, "T10,CRLIM=-1", "Invalid rotation limit :  -1"},
        // A limit of 0 would lock the joint.
        {LAYOUT, "T10,KH,CDV(0,0,1),RLIM=0", "Invalid rotation limit :  0"},
        {LAYOUT, "T10,JB,CROTL(0,NONE)", "Invalid bending limit :  0"},
        {LAYOUT, "T10,JB,CROTL(NONE,0)", "Invalid torsion limit :  0"},
        {LAYOUT, "T10,CRK=1", "Invalid Rotational Stiffness :  RK=1"},
        {LAYOUT, "T10,CRK(1,-1)", "Invalid Rotational Stiffness :  -1"},
        {LAYOUT, "T10,CFRCT=1", "Invalid Friction Torque :  FRCT=1"},
        {LAYOUT, "T10,CFRCT(-1)", "Invalid bending friction torque :  -1"},
        {LAYOUT, "T10,CFRCT(1,-1)", "Invalid torsional friction torque :  -1"},
        {LAYOUT, "T10,CROTL=1", "Invalid Rotational Limit :  ROTL=1"},
        {LAYOUT, "T10,CROTL(-1)", "Invalid bending limit :  -1"},
        {LAYOUT, "T10,CROTL(1,-1)", "Invalid torsion limit :  -1"},
        {LAYOUT, "T10,CLXAX(X)", "Invalid xXcomp :  X"},
        {LAYOUT, "T10,CLXAX(1,X)", "Invalid xYcomp :  X"},
        {LAYOUT, "T10,CLXAX(0,0,0)", "0.0, 0.0, 0.0 is not a valid X direction"},
        {LAYOUT, "T10,CLYAX(0,0,X)", "Invalid yZcomp :  X"},
        {LAYOUT, "T10,CLYAX=0", "0.0, 0.0, 0.0 is not a valid Y direction"},
        {LAYOUT, "T10,CSHORT=0", "Invalid Cut value :  0"},
        {LAYOUT, "T10,CLONG=-1", "Invalid Cut value :  -1"},
        {SETS, "T10,CMAT(BM)", "Invalid Beam information :  MAT(BM)"},
        {SETS, "T10,CMAT=XX", "Beam Material not defined :  XX"},
        {SETS, "T10,CSEC=XX", "Beam Section not defined :  XX"},
        {SETS, "T10,CLOAD=XX", "Beam Load not defined :  XX"},
        {LAYOUT, "T10,CBETA=X", "Invalid Beta value :  X"},
        {LAYOUT, "T10,CKTIE=1", "Invalid Tie rod input :  KTIE=1"},
        {LAYOUT, "T10,CKTIE(-1)", "Invalid tension stiffness :  -1"},
        {LAYOUT, "T10,CKTIE(1,-1)", "Invalid compression stiffness  :  -1"},
        {LAYOUT, "T10,CGAP=1", "Invalid Tie rod input :  GAP=1"},
        {LAYOUT, "T10,CGAP(-1)", "Invalid tension gap :  -1"},
        {LAYOUT, "T10,CGAP(1,-1)", "Invalid compression gap  :  -1"},
        {LAYOUT, "T10,CHPRES=-1", "Invalid Hydrotest pressure :  -1"},
        {LAYOUT, "T10,CHSG=-1", "Invalid specific gravity :  -1"},
        {LAYOUT, "T10,CCRTCH=0", "Invalid crotch radius: (CRTCH) :  0"},
        {LAYOUT, "T10,CPAD=-1", "Invalid pad thickness :  -1"},
        {LAYOUT, "T10,CTHK=0.0005", "Invalid Thickness :  0.0005"},
        {LAYOUT, "T10,CLEN=0", "Invalid Length :  0"},
        {LAYOUT, "T10,CR=0", "Invalid Fillet/Branch Radius :  0"},
        {LAYOUT, "T10,CSIF(0.9,1)", "Invalid inplane SIF :  0.9"},
        {LAYOUT, "T10,CSIF(1,0.9)", "Invalid outplane SIF :  0.9"},
        {LAYOUT, "T10,CSIF=0.9", "Invalid SIF :  0.9"},
        {LAYOUT, "T10,CIPS=0.9", "Invalid SIF :  0.9"},
        {LAYOUT, "T10,CISC=X", "Invalid SIF :  X"},
        {LAYOUT, "T10,CGDIA=-1", "Invalid Gasket Diameter (GDIA) :  -1"},
        {LAYOUT, "T10,CAP=X", "Invalid allowable pressure :  X"},
        {LAYOUT, "T10,CFLANGE,AP=-100", "Invalid allowable pressure :  -100"},
        {LAYOUT, "T10,CWTYPE=5", "Invalid weld type :  5"},
        {LAYOUT, "T10,CDELTA=-1", "Invalid delta value :  -1"},
    });
}

TEST_F(BatchTest, LoadItemMessages)
{
    check({
        {LAYOUT, "T10,CFOR=100", "Invalid force : FOR=100\nDirectional entry such as FOR(100,0,-50) is required"},
        {LAYOUT, "T10,CFOR(1,X)", "Invalid force :  X"},
        {LAYOUT, "T10,CFORY(1)", "Invalid force : FORY(1)\nScalar entry such as FORY=100 is required"},
        {LAYOUT, "T10,CMOM=1", "Invalid moment : MOM=1\nDirectional entry such as MOM(100,0,-50) is required"},
        {LAYOUT, "T10,CMOMZ(5)", "Invalid moment : MOMZ(5)\nScalar entry such as MOMZ=100 is required"},
        {LAYOUT, "T10,CMOMX=X", "Invalid moment :  X"},
        {LAYOUT, "T10,CCWGT=-1", "Invalid concentrated weight (CWGT) :  -1"},
        {LAYOUT, "T10,CFRE=0", "Invalid frequency :  0"},
        {LAYOUT, "T10,CPH=X", "Invalid phase :  X"},
        {LAYOUT, "T10,CT=-500", "Invalid temperature :  -500"},
        {LAYOUT, "T10,CTEMP=X", "Invalid temperature :  X"},
        {LAYOUT, "T10,CP=X", "Invalid pressure :  X"},
        {LAYOUT, "T10,CSG=-1", "Invalid specific gravity :  -1"},
        {LAYOUT, "T10,CUNIF=-1", "Invalid uniform load :  -1"},
        {LAYOUT, "T10,CL=ABC", "Load not defined :  ABC"},
        {LAYOUT, "T10,CAMB", "Reference temperature (AMB) not specified"},
        {LAYOUT, "T10,CAMB=X", "Invalid temperature: (AMB) :  X"},
        {LAYOUT, "T10,CAMB=-470", "Invalid temperature: (AMB) :  -470"},
        {LAYOUT, "T10,CSPECX", "Invalid spectrum name :  "},
        {LAYOUT, "T10,CSPECY=" + std::string(33, 'S'), "Spectrum name should be <= 32 characters :  SPECY=" + std::string(33, 'S')},
        {LAYOUT, "T10,CFACX=-1", "Invalid x spectrum factor :  -1"},
        {LAYOUT, "T10,CFACZ=-1", "Invalid z spectrum factor :  -1"},
    });
}

TEST_F(BatchTest, RowCheckMessagesByElementAndDataItem)
{
    const std::string b311 = "OPTIONS\nB311\n" + SETS;
    check({
        {b311, "T10,KI,CBSIF(2,1.5)", "Inplane SIF and Outplane SIF are different"},
        {LAYOUT, "T10,KM", "Bend Radius required for Miter Bend"},
        {SETS, "T10,JP", "Jacket Material required"},
        {SETS, "T10,JP,CJMAT=CS", "Jacket Section required"},
        {SETS, "T10,JI,CJMAT=CS,JSEC=P6", "Jacket Load required"},
        {LAYOUT, "T10,JD", "OD1 required for Reducer"},
        {LAYOUT, "T10,JD,COD1=6", "OD2 required for Reducer"},
        {LAYOUT, "T10,JD,COD1=6,OD2=4", "THK1 required for Reducer"},
        {LAYOUT, "T10,JD,COD1=6,OD2=4,THK1=0.2", "THK2 required for Reducer"},
        {LAYOUT, "T10,KH", "Hinge should have direction vector specified"},
        {LAYOUT, "T10,JL", "Local X axis required"},
        {LAYOUT, "T10,JL,CLXAX(1,0,0)", "Local Y axis required"},
        {LAYOUT, "T10,JL,CLXAX(1,0,0),LYAX(-1,0,0)", "Local x and Local y are not perpendicular"},
        {LAYOUT, "T10,JC", "Cut value required"},
        {SETS, "T10,JM", "Beam Material required"},
        {SETS, "T10,JM,CMAT=BM", "Beam Section required"},
        {SETS, "T10,JM,CMAT=BM,SEC=BS", "Beam Load required"},
        {LAYOUT, "T10,JT", "At least one stiffness required"},
        {LAYOUT, "T10,CK=1", "Skewed restraint should have direction specified"},
        {LAYOUT, "T10,CLS(0,NONE)", "Limit stop should have direction specified"},
        {LAYOUT, "T10,CSNUBBER", "Snubber direction required"},
        {IN_LAYOUT, "T10,CNOZZLE=297", "Nozzle OD required"},
        {IN_LAYOUT, "T10,CNOZZLE=297,NOD=6", "Nozzle thk required"},
        {IN_LAYOUT, "T10,CNOZZLE=297,NOD=6,NTHK=4", "Nozzle Thickness is greater than nozzle radius"},
        {IN_LAYOUT, "T10,CNOZZLE=297,NOD=6,NTHK=0.5", "Vessel OD required"},
        {IN_LAYOUT, "T10,CNOZZLE=297,NOD=6,NTHK=0.5,VOD=100", "Vessel THK required"},
        {IN_LAYOUT, "T10,CNOZZLE=297,NOD=6,NTHK=0.5,VOD=100,VTHK=60", "Vessel Thickness is greater than vessel radius"},
        {IN_LAYOUT, "T10,CNOZZLE=297,NOD=6,NTHK=0.5,VOD=100,VTHK=1", "Length 1 required"},
        {IN_LAYOUT, "T10,CNOZZLE=297,NOD=6,NTHK=0.5,VOD=100,VTHK=1,L1=5", "L2 required"},
        {IN_LAYOUT, "T10,CNOZZLE=297,NOD=6,NTHK=0.5,VOD=100,VTHK=1,L1=5,L2=5", "Direction required"},
        // API 650: 4 / 1000 is below 0.0049, 4 / 97 above 0.041; L1 / NOD of
        // 3.9 / 4 is below 0.99 and 6.2 / 4 above 1.51.
        {IN_LAYOUT, "T10,CNOZZLE=650,NOD=4,NTHK=0.5,VOD=1000,VTHK=1,L1=5,DV(0,1,0)", "Nozzle OD/Vessel OD < 0.005"},
        {IN_LAYOUT, "T10,CNOZZLE=650,NOD=4,NTHK=0.5,VOD=97,VTHK=1,L1=5,DV(0,1,0)", "Nozzle OD/Vessel OD > 0.04"},
        {IN_LAYOUT, "T10,CNOZZLE=650,NOD=4,NTHK=0.5,VOD=100,VTHK=1,L1=3.9,DV(0,1,0)", "L/Nozzle OD < 1.0"},
        {IN_LAYOUT, "T10,CNOZZLE=650,NOD=4,NTHK=0.5,VOD=100,VTHK=1,L1=6.2,DV(0,1,0)", "L/Nozzle OD > 1.5"},
        {LAYOUT, "T10,KE", "For Extruded Tee, crotch radius is required"},
        {LAYOUT, "T10,KR", "For Radiused Branch, fillet radius is required"},
        {LAYOUT, "T10,KR,CR=1", "For Radiused Branch, thickness is required"},
        {LAYOUT, "T10,KP", "For Branch on thickened pipe, length is required"},
        {LAYOUT, "T10,KP,CLEN=2", "For Branch on thickened pipe, thickness is required"},
        {LAYOUT, "T10,KB", "For Branch Connection, radius is required"},
        // The supports' own checks of what the items do not check.
        {LAYOUT, "T10,CG,GGAP=-1", "Gap is invalid"},
        {LAYOUT, "T10,CUS(1,0,100)", "Spring rate is required"},
    });
}

TEST_F(BatchTest, RowLimitIsTheLayoutsLimit)
{
    std::string text = "LAYOUT\n";
    for (int r = 1; r <= MAXROWS; ++r)
        text += "T" + std::to_string(r) + ",X1\n";
    EXPECT_EQ(import(text + "T7001,X1\n"), line_error(MAXROWS + 2, "T7001,X1", "Maximum number of rows exceeded :  a model holds at most 7000 rows"));
    EXPECT_EQ(numrows(), 0);
    EXPECT_EQ(import(text), "");
    EXPECT_EQ(numrows(), MAXROWS);
}


TEST_F(BatchTest, RowLimitLeavesRoomForTheTitleRow)
{
    // A title line makes row 1 a Comment row; the file's MAXROWS layout
    // rows still fit after it, and its layout row MAXROWS + 1 is refused.
    std::string text = "Title line\nLAYOUT\n";
    for (int r = 1; r <= MAXROWS; ++r)
        text += "T" + std::to_string(r) + ",X1\n";
    EXPECT_EQ(import(text + "T7001,X1\n"),
              line_error(MAXROWS + 3, "T7001,X1", "Maximum number of rows exceeded :  a model holds at most 7000 rows"));
    EXPECT_EQ(numrows(), 0);
    EXPECT_EQ(import(text), "");
    EXPECT_EQ(numrows(), MAXROWS + 1);
    EXPECT_EQ(model().rows[1].etype, ET_COMMENT);
    EXPECT_EQ(model().rows[MAXROWS + 1].node, 7000);
}
