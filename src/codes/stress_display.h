// How the results show the code stresses: whether the views are coloured by
// stress or by stress ratio, which category the sorted stresses and the
// ratio colouring take (the stress-ratio kind), the thresholds above which
// the marks of the views show a stress or ratio, the sorted-stress table's
// order (command 374) and ratio column (command 338), and the captions of
// the coloured view. Session state of the open results; a new program (or
// reset_stress_display when results are left) starts with nothing shown.
// The colouring itself is the views'.
#pragma once

#include "codes/code_catalog.h"
#include "codes/stress_tables.h"

#include <cstdint>
#include <string>

struct StressDisplayFlags {
    bool stresses_shown = false;      // the views coloured by stress
    bool ratios_shown = false;        // the views coloured by stress ratio
    bool colour_coding = false;       // the colour-coding switch (command 383)
    // The thresholds of the marks: a stress in the stress unit (any sign)
    // and a ratio in per cent (not negative); 0 is not set.
    float stress_threshold = 0.0f;
    float ratio_threshold = 0.0f;
    int32_t ratio_kind = RATIO_EXPANSION;
    StressOrder sorted_order = StressOrder::Ratio;   // command 374
    bool ratio_column = true;                         // command 338
};
StressDisplayFlags& stress_display_flags();
void reset_stress_display();

// True when a stress, or a ratio in per cent, is to be marked: its threshold
// is set and the value lies above it; with no threshold set, every value.
bool stress_marked(double stress);
bool ratio_marked(double percent);

// The caption of the coloured view: under no code "Von Mises stress",
// "Maximum stress" or "Minimum stress" (ratio kinds 0, 1, 2); under a code
// "Sustained stress", "Expansion stress", "Occasional stress" (kinds 2
// and 3) or "Hoop stress" (kind 4). The ratio view's caption adds " ratio".
std::string stress_view_caption(int32_t piping_code, int32_t ratio_kind);
std::string stress_ratio_view_caption(int32_t piping_code, int32_t ratio_kind);
