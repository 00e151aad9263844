// The modal result tables of the results window:
//   "&Frequencies": a row per mode with its frequency and period, its
//     participation factors in X, Y and Z and the share of the total mass
//     each direction's factor gives it (G^2 / total mass, in percent), and a
//     last row "Total" with the sums (the mass the modes found take part
//     with; the missing mass is what is left);
//   "Dynamic susceptibility": a row per mode of the ".rds" file beside the
//     results (mode_susceptibility.h): its frequency, the node of its
//     largest velocity, the node of its largest stress and that stress per
//     unit velocity;
//   "Dynamic stresses": for the current mode, a row per pipe element with
//     the stress per unit velocity at its two ends; Right and Left step the
//     mode.
// Moving through the rows of the first two makes the row's mode current
// (select_mode); the last two turn the mode markers on.
#pragma once

#include "results/mode_susceptibility.h"

#include <vector>

class TableWindow;

// Makes the mode current (clamped to the modes of the results) and reads
// its shape into the displacement array.
void select_mode(int mode);

// The susceptibility of the results' modes, read from the ".rds" file at
// first use and kept while the results are open; nothing when the file is
// missing. A bad file throws its message.
const std::vector<ModeSusceptibility>& results_mode_susceptibility();
// The marker record of the current mode; both nodes 0 when the markers are
// off (another table is shown) or there is no susceptibility file.
ModeMarkerRecord current_mode_markers();

// The tables (shown or not).
TableWindow& frequency_table();
TableWindow& susceptibility_table();
TableWindow& dynamic_stress_table();

// Registers the show operations with the results window.
void install_modal_results();
