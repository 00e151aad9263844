#include "supports/ui/hanger_ui.h"

#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "framework/units.h"
#include "supports/hanger.h"
#include "supports/ui/support_dialog.h"
#include "supports/ui/support_dialogs.h"

namespace {

constexpr int HANGER_ENTRIES = HANGER_CATALOGUES + 3;

// The user hanger's rate, load and load type, and the catalogue spring's
// load variation and short range, are for those kinds only: the others are
// cleared when the dialog stores.
class HangerDialog final : public SupportDialog {
public:
    using SupportDialog::SupportDialog;

    void command(Dialog&, int id, int code) override
    {
        if (!input_locked() && id == HANGER_TYPE && code == NOTIFY_SELCHANGE)
            enable_fields();
    }

private:
    int chosen_type() const { return hanger_type_of_entry(dialog_list_selection(HANGER_TYPE)); }

    void fill() override
    {
        const HangerValues& v = copy<Hanger>().v;
        show_tag(v.tag);
        dialog_list_reset(HANGER_TYPE);
        for (int e = 0; e < HANGER_ENTRIES; ++e)
            dialog_list_add(hanger_type_name(hanger_type_of_entry(e)));
        dialog_list_select(HANGER_TYPE, hanger_entry_of_type(v.type));
        dialog_set_text(HANGER_COUNT, int_text(v.count));
        if (v.type == HANGER_USER) {
            show_value(HANGER_RATE, v.spring_rate, format_stiffness(v.spring_rate));
            show_value(HANGER_LOAD, v.load, format_force(v.load));
        }
        dialog_set_radio(HANGER_HOT, HANGER_COLD, v.load_type == 0 ? HANGER_HOT : HANGER_COLD);
        dialog_set_text(HANGER_VARIATION, int_text(v.load_variation));
        dialog_check(HANGER_SHORT_RANGE, v.short_range);
        show_connected(v.connected);
    }

    void enable_fields() override
    {
        const int type = chosen_type();
        const bool user = type == HANGER_USER;
        const bool catalogue = type >= 1 && type <= HANGER_CATALOGUES;
        for (int id : {int{HANGER_RATE}, int{HANGER_LOAD}, int{HANGER_HOT}, int{HANGER_COLD}})
            dialog_enable_item(id, user);
        for (int id : {int{HANGER_VARIATION}, int{HANGER_SHORT_RANGE}})
            dialog_enable_item(id, catalogue);
    }

    void read() override
    {
        HangerValues& v = copy<Hanger>().v;
        v.tag = read_tag();
        v.type = chosen_type();
        dialog_get_text(HANGER_COUNT);
        int32_t count = 1;
        if (!item_text().empty() && (parse_int_buffer(count) != 0 || count < 1 || count > MAX_HANGERS_AT_NODE))
            throw_invalid("Number of hangers");
        v.count = count;
        v.spring_rate = v.load = 0.0f;
        v.load_type = 0;
        v.load_variation = DEFAULT_LOAD_VARIATION;
        v.short_range = false;
        if (v.type == HANGER_USER) {
            dialog_get_text(HANGER_RATE);
            if (item_text().empty())
                throw_required("Spring rate");
            v.spring_rate = read_value(HANGER_RATE, "Spring rate", parse_stiffness_buffer, 0.0f, ABOVE_ZERO);
            if (!(v.spring_rate > 0.0f))
                throw_invalid_taking("Spring rate", ABOVE_ZERO, true);
            dialog_get_text(HANGER_LOAD);
            if (item_text().empty())
                throw_required("Load");
            v.load = read_value(HANGER_LOAD, "Load", parse_force_buffer, 0.0f);
            v.load_type = dialog_is_checked(HANGER_COLD) ? 1 : 0;
        } else if (v.type <= HANGER_CATALOGUES) {
            dialog_get_text(HANGER_VARIATION);
            int32_t variation = DEFAULT_LOAD_VARIATION;
            if (!item_text().empty() && (parse_int_buffer(variation) != 0 || variation < 1 || variation > 99))
                throw_invalid("Load variation");
            v.load_variation = variation;
            v.short_range = dialog_is_checked(HANGER_SHORT_RANGE);
        }
        v.connected = read_connected();
    }
};

}  // namespace

int hanger_type_of_entry(int entry)
{
    if (entry >= 0 && entry < HANGER_CATALOGUES)
        return entry + 1;
    switch (entry) {
    case HANGER_CATALOGUES: return HANGER_USER;
    case HANGER_CATALOGUES + 1: return HANGER_ROD;
    case HANGER_CATALOGUES + 2: return HANGER_CONSTANT;
    default: return HANGER_DEFAULT_CATALOGUE;
    }
}

int hanger_entry_of_type(int type)
{
    for (int e = 0; e < HANGER_ENTRIES; ++e)
        if (hanger_type_of_entry(e) == type)
            return e;
    return HANGER_DEFAULT_CATALOGUE - 1;
}

SupportKindUi hanger_kind_ui()
{
    SupportKindUi k;
    k.dtype = DT_HANGER;
    k.name = "Hanger";
    k.title = "Hangers";
    auto values = [](SupportItem& s) -> HangerValues& { return static_cast<Hanger&>(s).v; };
    k.columns.push_back(tag_column([values](SupportItem& s) -> std::string& { return values(s).tag; }));
    k.columns.push_back(shown_column("Type"));
    SupportColumn count = shown_column("Number");
    count.limit = 2;
    count.store = [values](SupportItem& s, int) {
        int32_t n = 0;
        if (parse_int_buffer(n) != 0 || n < 1 || n > MAX_HANGERS_AT_NODE)
            throw_invalid("Number of hangers");
        values(s).count = n;
    };
    k.columns.push_back(count);
    k.columns.push_back(shown_column("Spring rate", STIFFNESS));
    k.columns.push_back(shown_column("Load", FORCE));
    k.columns.push_back(shown_column("Load type"));
    k.columns.push_back(shown_column("Variation", 0, "(%)"));
    k.columns.push_back(shown_column("Short range"));
    k.columns.push_back(connected_column([values](SupportItem& s) -> int32_t& { return values(s).connected; }));
    k.check = [](const SupportItem& s) { Hanger::check_values(static_cast<const Hanger&>(s).v); };
    k.edit = [](int row, WindowId owner) {
        HangerDialog proc(row);
        return run_support_dialog(HANGER_DIALOG, proc, owner);
    };
    return k;
}
