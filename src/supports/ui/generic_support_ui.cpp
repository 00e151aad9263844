#include "supports/ui/generic_support_ui.h"

#include "framework/units.h"
#include "supports/anchor.h"
#include "supports/generic_support.h"
#include "supports/ui/support_dialog.h"
#include "supports/ui/support_dialogs.h"

namespace {

const char* const SPRING_NAMES[6] = {"KX", "KY", "KZ", "KXX", "KYY", "KZZ"};

int (*spring_parser(int direction))(float&)
{
    return direction < 3 ? parse_stiffness_buffer : parse_rot_stiffness_buffer;
}

// Springs show "Rigid" for 1.0e12; an empty field is no spring.
class GenericSupportDialog final : public SupportDialog {
public:
    using SupportDialog::SupportDialog;

private:
    void fill() override
    {
        const GenericSupportValues& v = copy<GenericSupport>().v;
        for (int i = 0; i < 6; ++i) {
            const float k = v.stiffness[static_cast<std::size_t>(i)];
            show_value(SUP_STIFFNESS + i, k, k == 0.0f ? std::string() : anchor_stiffness_text(i, k));
        }
    }

    void read() override
    {
        GenericSupportValues& v = copy<GenericSupport>().v;
        for (int i = 0; i < 6; ++i)
            v.stiffness[static_cast<std::size_t>(i)] =
                read_value(SUP_STIFFNESS + i, SPRING_NAMES[i], spring_parser(i), 0.0f);
        check_fields([&] { GenericSupport::check_values(v); }, {}, SUP_STIFFNESS);
    }
};

}  // namespace

SupportKindUi generic_support_kind_ui()
{
    SupportKindUi k;
    k.dtype = DT_GENERIC_SUPPORT;
    k.name = "Generic support";
    k.title = "Generic supports";
    for (int i = 0; i < 6; ++i)
        k.columns.push_back(value_column(SPRING_NAMES[i], i < 3 ? STIFFNESS : ROT_STIFFNESS, SPRING_NAMES[i],
                                         spring_parser(i), 0.0f, [i](SupportItem& s) -> float& {
                                             return static_cast<GenericSupport&>(s).v.stiffness[static_cast<std::size_t>(i)];
                                         }));
    k.check = [](const SupportItem& s) { GenericSupport::check_values(static_cast<const GenericSupport&>(s).v); };
    k.edit = [](int row, WindowId owner) {
        GenericSupportDialog proc(row);
        return run_support_dialog(GENERIC_SUPPORT_DIALOG, proc, owner);
    };
    return k;
}
