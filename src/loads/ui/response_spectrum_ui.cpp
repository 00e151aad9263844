#include "loads/ui/response_spectrum_ui.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/frame.h"
#include "loads/response_spectrum.h"
#include "loads/spectrum.h"
#include "loads/ui/dialogs_loads.h"
#include "loads/ui/load_fields.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace {

const char* const NO_SPECTRUM = "None";

// The item of each field of the input, in the order of ResponseSpectrumField.
constexpr int FIELD_ITEMS[] = {RS_SPECTRUM_X,    RS_SPECTRUM_X + 1, RS_SPECTRUM_X + 2, RS_FACTOR_X,
                               RS_FACTOR_X + 1,  RS_FACTOR_X + 2,   RS_MODAL,          RS_DIRECTION,
                               RS_MISSING_MASS,  RS_DAMPING,        RS_CLOSELY_SPACED};

// The combination choices: the combo, the member and its names (1-based).
struct CombinationChoice {
    int item;
    int32_t ResponseSpectrumInput::*member;
    int count;
    const char* (*name)(int);
};
constexpr CombinationChoice COMBINATIONS[] = {
    {RS_MODAL, &ResponseSpectrumInput::modal_combination, MODAL_COMBINATIONS, modal_combination_name},
    {RS_DIRECTION, &ResponseSpectrumInput::direction_combination, SUM_COMBINATIONS, sum_combination_name},
    {RS_MISSING_MASS, &ResponseSpectrumInput::missing_mass_combination, SUM_COMBINATIONS, sum_combination_name},
};

// The ratios typed as plain numbers.
struct RatioField {
    int item;
    float ResponseSpectrumInput::*member;
    const char* name;
};
constexpr RatioField RATIOS[] = {
    {RS_DAMPING, &ResponseSpectrumInput::damping, "Damping ratio"},
    {RS_CLOSELY_SPACED, &ResponseSpectrumInput::closely_spaced, "Closely spaced fraction"},
};

const char* const FACTOR_NAMES[] = {"X factor", "Y factor", "Z factor"};

class ResponseSpectrumDialog final : public SnapshotDialogProc {
public:
    void init(Dialog&) override
    {
        const ResponseSpectrumInput& r = response_spectrum_input();
        const SpectrumList& list = spectra();
        for (int i = 1; i <= list.count(); ++i)
            names_.push_back(list[i].name);
        // A name the model's spectra do not hold (one since deleted, a file's)
        // stays on offer, so that OK without a change keeps it.
        for (const std::string& name : r.spectrum)
            if (!name.empty() && std::find(names_.begin(), names_.end(), name) == names_.end())
                names_.push_back(name);
        for (std::size_t d = 0; d < 3; ++d) {
            const int item = RS_SPECTRUM_X + static_cast<int>(d);
            dialog_list_reset(item);
            dialog_list_add(NO_SPECTRUM);
            for (const std::string& name : names_)
                dialog_list_add(name);
            const auto at = std::find(names_.begin(), names_.end(), r.spectrum[d]);
            dialog_list_select(item, r.spectrum[d].empty() ? 0 : static_cast<int>(at - names_.begin()) + 1);
            fields_.show(RS_FACTOR_X + static_cast<int>(d), r.factor[d], REAL_VALUE, true);
        }
        for (const CombinationChoice& c : COMBINATIONS) {
            dialog_list_reset(c.item);
            for (int k = 1; k <= c.count; ++k)
                dialog_list_add(c.name(k));
            dialog_list_select(c.item, std::clamp(r.*c.member, 1, c.count) - 1);
        }
        for (const RatioField& f : RATIOS)
            fields_.show(f.item, r.*f.member, REAL_VALUE, true);
        if (!input_locked())
            dialog_set_focus(RS_SPECTRUM_X);
    }

    bool ok(Dialog&) override
    {
        ResponseSpectrumInput r = response_spectrum_input();
        for (std::size_t d = 0; d < 3; ++d) {
            const int chosen = dialog_list_selection(RS_SPECTRUM_X + static_cast<int>(d));
            r.spectrum[d] = chosen >= 1 && chosen <= static_cast<int>(names_.size())
                                ? names_[static_cast<std::size_t>(chosen - 1)]
                                : std::string();
            // A direction without a spectrum keeps the factor a spectrum
            // takes as given when its field is left empty.
            r.factor[d] = fields_.read(RS_FACTOR_X + static_cast<int>(d), FACTOR_NAMES[d], REAL_VALUE, {},
                                       !r.spectrum[d].empty(), 1.0f);
        }
        for (const CombinationChoice& c : COMBINATIONS)
            r.*c.member = dialog_list_selection(c.item) + 1;
        for (const RatioField& f : RATIOS)
            r.*f.member = fields_.read(f.item, f.name, REAL_VALUE, {}, true);
        if (const ResponseSpectrumFault fault = response_spectrum_field_fault(r); !fault.text.empty())
            dialog_throw(FIELD_ITEMS[fault.field], fault.text);
        store_changed(response_spectrum_input(), r);
        return true;
    }

private:
    std::vector<std::string> names_;   // the spectra on offer, after "None"
    ValueFields fields_;
};

}  // namespace

int edit_response_spectrum(WindowId owner)
{
    push_undo_snapshot(owner);
    ResponseSpectrumDialog proc;
    return run_dialog(RESPONSE_SPECTRUM_DIALOG, proc, owner) == IDOK ? IDOK : IDCANCEL;
}

void install_response_spectrum_ui()
{
    register_command(CMD_RESPONSE_SPECTRUM, [](int) { edit_response_spectrum(layout_frame().window); });
}
