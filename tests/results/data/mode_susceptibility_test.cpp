// The stress per unit velocity of a mode (mode_susceptibility.h), against
// the stress range worked here: the element's SIFs on the in-plane and
// out-of-plane moments, elements that are no pipe and a short file record
// left at 0, and the marker of the largest stress.
#include "results/mode_susceptibility.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

TEST(ModalSusceptibility, SifsScaleTheMomentsAndTheLargestStressNamesItsNode)
{
    OneBased<SusceptibilityElement> elements(3);
    for (int e = 1; e <= 3; ++e) {
        elements[e].pipe = e != 2;   // element 2 is a rigid, say
        elements[e].outside_diameter = 4.5;
        elements[e].thickness = 0.237;
        elements[e].nodes = {e, e + 1};
    }
    elements[3].sifs[1].in_plane = 2.0;
    elements[3].sifs[1].out_plane = 1.5;
    SusceptibilityMode mode{12.0f, 4, 0.5f, std::vector<float>(36, 0.0f)};
    mode.forces[5] = 800.0f;                  // element 1, end 1: Mz
    mode.forces[12 + 5] = 1.0e6f;             // element 2 (no pipe)
    mode.forces[24 + 6 + 4] = 1000.0f;        // element 3, end 2: My (out of plane)
    mode.forces[24 + 6 + 5] = 1000.0f;        //                   Mz (in plane)
    mode.forces[24 + 6 + 3] = 600.0f;         //                   torsion
    SusceptibilityMode short_record{20.0f, 1, 0.5f, std::vector<float>(12, 1000.0f)};

    const auto s = mode_susceptibility({mode, short_record}, elements);
    ASSERT_EQ(s.size(), 2u);
    // Z = pi (D^4 - d^4) / 32 D of the 4 inch standard pipe.
    const double d = 4.5, di = d - 2 * 0.237;
    const double z = std::numbers::pi * (std::pow(d, 4) - std::pow(di, 4)) / (32 * d);
    EXPECT_NEAR(s[0].stresses[1][0], 800.0 / z, 1e-9);
    EXPECT_EQ(s[0].stresses[2][0], 0.0);
    // sqrt((2 x 1000)^2 + (1.5 x 1000)^2) = 2500, St = 600 / 2Z:
    // sqrt(2500^2 + 600^2) / Z.
    EXPECT_NEAR(s[0].stresses[3][1], std::sqrt(2500.0 * 2500.0 + 600.0 * 600.0) / z, 1e-9);
    EXPECT_NEAR(s[0].largest_stress, s[0].stresses[3][1], 0.0);
    EXPECT_EQ(s[0].markers, (ModeMarkerRecord{4, 4}));
    EXPECT_EQ(s[0].frequency, 12.0f);
    // A record shorter than the elements: what it covers (element 1: its
    // two ends, Mx = My = Mz = 1000: sqrt(1000^2 + 1000^2 + 1000^2) / Z
    // as sqrt(Sb^2 + 4 St^2)), nothing beyond.
    EXPECT_NEAR(s[1].stresses[1][0], std::sqrt(3.0) * 1000.0 / z, 1e-9);
    EXPECT_EQ(s[1].stresses[3][0], 0.0);
    EXPECT_EQ(s[1].markers, (ModeMarkerRecord{1, 1}));
}
