// Which elements the piping-code evaluation treats as buried (restrained by
// the soil): the element's section names a defined soil and both its end
// nodes lie at or below that soil's ground level on the model's vertical
// axis (Z when "Z vertical" is on, else Y). An element that crosses the
// ground level is not buried. The kinds that can be buried are the pipe
// kinds the soil holds: pipe, bend, miter, reducer, cut pipe and valve.
#pragma once

struct AnalysisModel;

bool code_element_is_buried(const AnalysisModel& model, int element);
