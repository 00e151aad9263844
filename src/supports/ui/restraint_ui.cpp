#include "supports/ui/restraint_ui.h"

#include "framework/errors.h"
#include "framework/strings.h"
#include "supports/restraint.h"
#include "supports/ui/support_dialog.h"
#include "supports/ui/support_dialogs.h"

namespace {

class RestraintDialog final : public SupportDialog {
public:
    using SupportDialog::SupportDialog;

private:
    void fill() override
    {
        const RestraintValues& v = copy<Restraint>().v;
        show_tag(v.tag);
        for (int i = 0; i < 3; ++i)
            dialog_check(RESTRAINT_X + i, v.restrained[static_cast<std::size_t>(i)] != 0);
    }

    void read() override
    {
        RestraintValues& v = copy<Restraint>().v;
        v.tag = read_tag();
        for (int i = 0; i < 3; ++i)
            v.restrained[static_cast<std::size_t>(i)] = dialog_is_checked(RESTRAINT_X + i) ? 1 : 0;
        check_fields([&] { Restraint::check_values(v); }, {}, RESTRAINT_X);
    }
};

// "Yes", "Y" or "1" restrains; "No", "N", "0" or nothing frees.
SupportColumn restrained_column(int direction)
{
    static const char* const names[3] = {"X", "Y", "Z"};
    SupportColumn c = shown_column(names[direction]);
    c.limit = 3;
    c.store = [direction](SupportItem& item, int) {
        const std::string text = upper_case(item_text());
        uint8_t flag = 0;
        if (text == "YES" || text == "Y" || text == "1")
            flag = 1;
        else if (!(text.empty() || text == "NO" || text == "N" || text == "0"))
            throw_invalid(names[direction]);
        static_cast<Restraint&>(item).v.restrained[static_cast<std::size_t>(direction)] = flag;
    };
    return c;
}

}  // namespace

SupportKindUi restraint_kind_ui()
{
    SupportKindUi k;
    k.dtype = DT_RESTRAINT;
    k.name = "Restraint";
    k.title = "Restraints";
    k.columns.push_back(tag_column([](SupportItem& s) -> std::string& { return static_cast<Restraint&>(s).v.tag; }));
    for (int i = 0; i < 3; ++i)
        k.columns.push_back(restrained_column(i));
    k.check = [](const SupportItem& s) { Restraint::check_values(static_cast<const Restraint&>(s).v); };
    k.edit = [](int row, WindowId owner) {
        RestraintDialog proc(row);
        return run_support_dialog(RESTRAINT_DIALOG, proc, owner);
    };
    return k;
}
