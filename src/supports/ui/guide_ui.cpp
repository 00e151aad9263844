#include "supports/ui/guide_ui.h"

#include "framework/errors.h"
#include "framework/units.h"
#include "supports/guide.h"
#include "supports/ui/support_dialog.h"
#include "supports/ui/support_dialogs.h"

namespace {

class GuideDialog final : public SupportDialog {
public:
    using SupportDialog::SupportDialog;

private:
    void fill() override
    {
        const GuideValues& v = copy<Guide>().v;
        show_tag(v.tag);
        show_value(SUP_GAP, v.gap, v.gap == 0.0f ? std::string() : format_displacement_or_none(v.gap));
        show_value(SUP_SPRING, v.stiffness, v.stiffness == 0.0f ? std::string("Rigid") : format_stiffness(v.stiffness));
        show_value(SUP_MU, v.mu, v.mu == 0.0f ? std::string() : format_real(v.mu, 8, 3));
        show_connected(v.connected);
    }

    void read() override
    {
        GuideValues& v = copy<Guide>().v;
        v.tag = read_tag();
        v.gap = read_value(SUP_GAP, "Gap", parse_displacement_buffer, 0.0f);
        if (v.gap < 0.0f)
            throw_invalid("Gap");
        v.stiffness = read_value(SUP_SPRING, "Stiffness", parse_stiffness_buffer, 0.0f);
        v.mu = read_value(SUP_MU, "Friction coefficient", parse_real_buffer, 0.0f);
        if (v.mu < 0.0f)
            throw_invalid("Friction coefficient");
        v.connected = read_connected();
    }
};

}  // namespace

SupportKindUi guide_kind_ui()
{
    SupportKindUi k;
    k.dtype = DT_GUIDE;
    k.name = "Guide";
    k.title = "Guides";
    auto values = [](SupportItem& s) -> GuideValues& { return static_cast<Guide&>(s).v; };
    k.columns.push_back(tag_column([values](SupportItem& s) -> std::string& { return values(s).tag; }));
    k.columns.push_back(value_column("Gap", DISPLACEMENT, "Gap", parse_displacement_buffer, 0.0f,
                                     [values](SupportItem& s) -> float& { return values(s).gap; }, true));
    k.columns.push_back(value_column("Stiffness", STIFFNESS, "Stiffness", parse_stiffness_buffer, 0.0f,
                                     [values](SupportItem& s) -> float& { return values(s).stiffness; }));
    k.columns.push_back(value_column("Mu", 0, "Friction coefficient", parse_real_buffer, 0.0f,
                                     [values](SupportItem& s) -> float& { return values(s).mu; }, true));
    k.columns.push_back(connected_column([values](SupportItem& s) -> int32_t& { return values(s).connected; }));
    k.check = [](const SupportItem& s) { Guide::check_values(static_cast<const Guide&>(s).v); };
    k.edit = [](int row, WindowId owner) {
        GuideDialog proc(row);
        return run_support_dialog(GUIDE_DIALOG, proc, owner);
    };
    return k;
}
