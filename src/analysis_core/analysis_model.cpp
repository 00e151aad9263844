#include "analysis_core/analysis_model.h"

#include "framework/state.h"

AnalysisLoadHooks& analysis_load_hooks()
{
    return session_part<AnalysisLoadHooks>();
}
