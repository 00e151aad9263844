#include "codes/stress_display.h"

#include "framework/state.h"

StressDisplayFlags& stress_display_flags()
{
    return session_part<StressDisplayFlags>();
}

void reset_stress_display()
{
    stress_display_flags() = StressDisplayFlags{};
}

bool stress_marked(double stress)
{
    const float t = stress_display_flags().stress_threshold;
    return t == 0.0f || stress > t;
}

bool ratio_marked(double percent)
{
    const float t = stress_display_flags().ratio_threshold;
    return t == 0.0f || percent > t;
}

std::string stress_view_caption(int32_t code, int32_t kind)
{
    if (stress_rules(code) == StressRules::NoCode)
        return std::string(no_code_stress_name(kind)) + " stress";
    switch (kind) {
    case RATIO_SUSTAINED: return "Sustained stress";
    case RATIO_EXPANSION: return "Expansion stress";
    case RATIO_HOOP: return "Hoop stress";
    default: return "Occasional stress";
    }
}

std::string stress_ratio_view_caption(int32_t code, int32_t kind)
{
    return stress_view_caption(code, kind) + " ratio";
}
