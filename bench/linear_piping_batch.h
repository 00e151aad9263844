// A linear piping model as a batch file (.mbf), the same at every call, of
// any row count from 100 to the importer's 7,000 rows:
//
//   - a 12 in STD header along X at rack height, from an anchor, in bays of
//     24 rows: 18 spans of 20 ft with a welding tee every fourth node and a
//     vertical restraint between the tees, then an expansion loop (four
//     long-radius elbows, 15 ft out along Z and back), a vertical restraint
//     and a guide; every third bay has an anchor in place of its last tee;
//     the header ends at an anchor;
//   - at each tee a 6 in branch of 8 rows: a short spool, a gate valve of
//     325 lb, a vertically restrained run along Z, an elbow down, a reducer
//     to 4 in and an anchored equipment nozzle;
//   - B31.3, carbon steel A106 B, one pipe load with two thermal sets
//     (350 degF / 150 psi and 450 degF / 150 psi), so that the default load
//     cases are Sustained, Expansion (T1), Expansion (T2), Operating
//     (W+P1+T1) and Operating (W+P2+T2).
//
// Every support is linear (restraints, guides without gap or friction,
// anchors): each load case is one linear solution. Node numbers run in
// steps of 10 from node 10 (at most 70,000 for 7,000 rows).
#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace bench_linear {

constexpr int HEADER_BAY_ROWS = 24;
constexpr int BRANCH_ROWS = 8;
constexpr int TEES_PER_BAY = 5;

inline std::string linear_piping_batch(int rows)
{
    rows = std::clamp(rows, 100, 7000);
    std::string t =
        "Linear piping: a 12 in header with 6 in branches\n"
        "OPTIONS\nB313\n"
        "MATERIAL\n"
        "A106B,0.283,0.3,1.0,1.0,CS,Carbon steel A106 Grade B\n"
        "A106B,70,29.5E6,6.07E-6,20000\n"
        "A106B,200,28.8E6,6.38E-6,20000\n"
        "A106B,300,28.3E6,6.60E-6,20000\n"
        "A106B,400,27.7E6,6.82E-6,20000\n"
        "A106B,500,27.3E6,7.02E-6,18900\n"
        "PIPE\n"
        "12,12.75,0.375,0.0625,12.5,7.5,3.0\n"
        "6,6.625,0.28,0.0625,12.5,7.5,2.0\n"
        "4,4.5,0.237,0.0625,12.5,7.5,1.5\n"
        "LOADS\n"
        "OPER,350,150,1.0,450,150\n"
        "LAYOUT\n";
    int node = 10;
    auto row = [&t, &node](const std::string& head, const std::string& rest) {
        node += 10;
        t += "T" + std::to_string(node) + "," + head + rest + "\n";
    };
    t += "F10,MA106B,P12,KA,CL=OPER\n";
    // A bay with its branches takes 24 + 5 x 8 rows; the rows left over
    // lengthen the header's last run.
    const int per_bay = HEADER_BAY_ROWS + TEES_PER_BAY * BRANCH_ROWS;
    const int bays = (rows - 2) / per_bay;
    const int extra = rows - 2 - bays * per_bay;
    std::vector<int> tees;
    for (int bay = 0; bay < bays; ++bay) {
        for (int j = 0; j < 18; ++j) {
            std::string item;
            if (j == 17 && bay % 3 == 2)
                item = ",KA";
            else if (j % 4 == 1)
                item = ",KT";
            else if (j % 4 == 3)
                item = ",CF(0,1,0)";
            else if (j == 8)
                item = ",CG";
            row("X20-0", item);
            if (item == ",KT")
                tees.push_back(node);
        }
        row("X10-0", ",KI,B18");
        row("Z15-0", ",KI,B18");
        row("X10-0", ",KI,B18");
        row("Z-15-0", ",KI,B18");
        row("X20-0", ",CF(0,1,0)");
        row("X20-0", ",CG");
    }
    // The bays' anchors took a tee each: their branch rows lengthen the
    // header's last run too, which ends at an anchor.
    const int unused = bays * TEES_PER_BAY - static_cast<int>(tees.size());
    for (int j = 0; j < extra + unused * BRANCH_ROWS; ++j)
        row("X20-0", j % 2 ? ",CF(0,1,0)" : "");
    row("X20-0", ",KA");
    for (int tee : tees) {
        t += "F" + std::to_string(tee) + ",P6\n";
        row("Z2-0", "");
        row("Z2-0", ",JV,CVWGT=325");
        row("Z8-0", ",CF(0,1,0)");
        row("Z8-0", ",KI,B9");
        row("Y-10-0", "");
        row("Y-1-0", ",JD,COD1=6.625,THK1=0.28,OD2=4.5,THK2=0.237");
        row("Y-3-0", ",P4,KA");
    }
    return t;
}

}  // namespace bench_linear
