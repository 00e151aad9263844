// What an import changes beyond the model it builds: the unit choices, the
// piping code and the analysis options (the vertical axis and the flags among
// them). An import that does not end with done() puts them back and leaves an
// empty, unmodified model with no property sets, so that a refused file
// leaves nothing of itself; the Import command then puts back the model that
// was open.
#pragma once

#include "framework/document.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/piping_codes.h"

class ImportRollback {
public:
    ImportRollback() : units_(unit_choice()), code_(piping_code()), options_(analysis_options()) {}
    ~ImportRollback()
    {
        if (done_)
            return;
        reset_model();
        clear_model_sections();
        model_modified() = false;
        unit_choice() = units_;
        piping_code() = code_;
        analysis_options() = options_;
    }
    ImportRollback(const ImportRollback&) = delete;
    ImportRollback& operator=(const ImportRollback&) = delete;
    void done() { done_ = true; }

private:
    UnitChoices units_;
    int32_t code_;
    AnalysisOptions options_;
    bool done_ = false;
};
