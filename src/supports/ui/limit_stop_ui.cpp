#include "supports/ui/limit_stop_ui.h"

#include "framework/errors.h"
#include "framework/units.h"
#include "supports/limit_stop.h"
#include "supports/ui/support_dialog.h"
#include "supports/ui/support_dialogs.h"

namespace {

// A limit typed as a displacement; empty or "None" is no limit.
bool limit_is_none()
{
    return item_text().empty() || item_text() == "NONE";
}

// The fields that the stop's checks speak of.
const std::vector<std::pair<std::string, int>> CHECKED_FIELDS = {
    {"No limits", STOP_LOWER},
    {"Upper limit", STOP_UPPER},
    {"Direction", SUP_DIRECTION},
    {"Friction", SUP_MU},
};

class LimitStopDialog final : public SupportDialog {
public:
    using SupportDialog::SupportDialog;

private:
    void fill() override
    {
        const LimitStopValues& v = copy<LimitStop>().v;
        show_tag(v.tag);
        show_value(STOP_LOWER, v.lower, limit_text(v.lower));
        show_value(STOP_UPPER, v.upper, limit_text(v.upper));
        show_direction(v.direction);
        show_value(SUP_SPRING, v.stiffness, v.stiffness == 0.0f ? std::string("Rigid") : format_stiffness(v.stiffness));
        show_value(SUP_MU, v.mu, v.mu == 0.0f ? std::string() : format_real(v.mu, 8, 3));
        show_connected(v.connected);
    }

    float read_limit(int item, const char* name, float none)
    {
        dialog_get_text(item);
        if (limit_is_none())
            return none;
        return read_value(item, name, parse_displacement_buffer, none);
    }

    void read() override
    {
        LimitStopValues& v = copy<LimitStop>().v;
        v.tag = read_tag();
        v.lower = read_limit(STOP_LOWER, "Lower limit", -NO_LIMIT);
        v.upper = read_limit(STOP_UPPER, "Upper limit", NO_LIMIT);
        v.connected = read_connected();
        v.direction = read_direction_fields(v.connected != 0);
        v.stiffness = read_value(SUP_SPRING, "Stiffness", parse_stiffness_buffer, 0.0f);
        v.mu = read_value(SUP_MU, "Friction coefficient", parse_real_buffer, 0.0f);
        if (v.mu < 0.0f)
            throw_invalid("Friction coefficient");
        check_fields([&] { LimitStop::check_values(v); }, CHECKED_FIELDS, STOP_LOWER);
    }
};

SupportColumn limit_column(const char* heading, const char* name, float none, bool upper)
{
    SupportColumn c = shown_column(heading, DISPLACEMENT);
    c.limit = 12;
    c.store = [name, none, upper](SupportItem& s, int) {
        float value = none;
        if (!limit_is_none() && parse_displacement_buffer(value) != 0)
            throw_invalid(name);
        LimitStopValues& v = static_cast<LimitStop&>(s).v;
        (upper ? v.upper : v.lower) = value;
    };
    return c;
}

}  // namespace

SupportKindUi limit_stop_kind_ui()
{
    SupportKindUi k;
    k.dtype = DT_LIMIT_STOP;
    k.name = "Limit stop";
    k.title = "Limit stops";
    auto values = [](SupportItem& s) -> LimitStopValues& { return static_cast<LimitStop&>(s).v; };
    k.columns.push_back(tag_column([values](SupportItem& s) -> std::string& { return values(s).tag; }));
    k.columns.push_back(limit_column("Lower", "Lower limit", -NO_LIMIT, false));
    k.columns.push_back(limit_column("Upper", "Upper limit", NO_LIMIT, true));
    static const char* const names[3] = {"X comp", "Y comp", "Z comp"};
    for (int i = 0; i < 3; ++i)
        k.columns.push_back(value_column(names[i], 0, names[i], parse_real_buffer, 0.0f, [values, i](SupportItem& s) -> float& {
            return values(s).direction[static_cast<std::size_t>(i)];
        }));
    k.columns.push_back(value_column("Stiffness", STIFFNESS, "Stiffness", parse_stiffness_buffer, 0.0f,
                                     [values](SupportItem& s) -> float& { return values(s).stiffness; }));
    k.columns.push_back(value_column("Mu", 0, "Friction coefficient", parse_real_buffer, 0.0f,
                                     [values](SupportItem& s) -> float& { return values(s).mu; }, true));
    k.columns.push_back(connected_column([values](SupportItem& s) -> int32_t& { return values(s).connected; }));
    k.check = [](const SupportItem& s) { LimitStop::check_values(static_cast<const LimitStop&>(s).v); };
    k.edit = [](int row, WindowId owner) {
        LimitStopDialog proc(row);
        return run_support_dialog(LIMIT_STOP_DIALOG, proc, owner);
    };
    return k;
}
