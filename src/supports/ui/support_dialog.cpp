#include "supports/ui/support_dialog.h"

#include "framework/app_state.h"
#include "framework/document.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "framework/units.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/ui/layout_window.h"
#include "supports/ui/support_dialogs.h"

#include <cmath>

namespace {

const char* const DISPLACEMENT_NAMES[6] = {"DX", "DY", "DZ", "RX", "RY", "RZ"};
const char* const COMPONENT_NAMES[3] = {"X comp", "Y comp", "Z comp"};

// Every field of the dialog read-only, every button but OK and Cancel off.
void lock_controls(const DialogTemplate& t)
{
    for (const ControlSpec& c : t.controls) {
        if (c.id == 0 || c.id == IDOK || c.id == IDCANCEL)
            continue;
        if (c.kind == ControlKind::Edit)
            dialog_set_readonly(c.id);
        else if (c.kind == ControlKind::Check || c.kind == ControlKind::Radio || c.kind == ControlKind::Combo ||
                 c.kind == ControlKind::Button)
            dialog_disable(c.id);
    }
}

// The first edit field of a template.
int first_edit(const DialogTemplate& t)
{
    for (const ControlSpec& c : t.controls)
        if (c.kind == ControlKind::Edit)
            return c.id;
    return IDOK;
}

}  // namespace

SupportDialog::SupportDialog(int row) : row_(row)
{
    const LayoutRow& r = model().rows[row];
    KV_ASSERT(r.data != nullptr);
    std::unique_ptr<DataItem> made = make_data_object(r.dtype);
    auto* item = dynamic_cast<SupportItem*>(made.get());
    KV_ASSERT(item != nullptr);
    made.release();
    copy_.reset(item);
    copy_->copy_from(*r.data);
}

void SupportDialog::init(Dialog& d)
{
    const DialogTemplate& t = d.templ();
    d.set_caption(c_format(t.caption.c_str(), node_text(model().rows[row_].node).c_str()));
    for (const ControlSpec& c : t.controls)
        if (c.kind == ControlKind::Unit && c.quantity != 0)
            dialog_set_unit_label(c.id, c.quantity);
    fill();
    enable_fields();
    if (input_locked()) {
        lock_controls(t);
        dialog_set_focus(IDOK);
    } else {
        dialog_select_focus(first_edit(t));
    }
}

bool SupportDialog::ok(Dialog&)
{
    if (input_locked())
        return true;
    read();
    const DataItem& current = *model().rows[row_].data;
    if (copy_->same_values(current)) {
        discard_undo_snapshot();
        return true;
    }
    model().rows[row_].data->copy_from(*copy_);
    model_modified() = true;
    stored_ = true;
    return true;
}

// ---- Fields ----------------------------------------------------------------------------------

void SupportDialog::show_tag(const std::string& tag)
{
    dialog_set_text_limit(SUP_TAG, tag, static_cast<int>(TAG_LENGTH));
}

std::string SupportDialog::read_tag()
{
    // A stored tag the user left alone is kept as it is; a typed one is checked.
    if (!dialog_get_record_text(SUP_TAG) && !tag_valid(item_text()))
        throw_invalid("Tag");
    return item_text();
}

void SupportDialog::show_value(int item, float value, const std::string& text)
{
    shown_.show(item, value, text);
}

float SupportDialog::read_value(int item, const char* name, int (*parser)(float&), float empty, const char* takes)
{
    float value = 0.0f;
    if (shown_.unchanged(item, value))
        return value;
    dialog_get_text(item);
    if (item_text().empty())
        return empty;
    if (parser(value) != 0) {
        if (takes)
            throw_invalid_taking(name, takes, false);
        throw_invalid(name);
    }
    return value;
}

void SupportDialog::show_direction(const std::array<float, 3>& d)
{
    for (int i = 0; i < 3; ++i) {
        const float c = d[static_cast<std::size_t>(i)];
        show_value(SUP_DIRECTION + i, c, c == 0.0f ? std::string() : format_g5(c));
    }
}

std::array<float, 3> SupportDialog::read_direction_fields(bool zero_allowed)
{
    std::array<float, 3> d{};
    for (int i = 0; i < 3; ++i)
        d[static_cast<std::size_t>(i)] = read_value(SUP_DIRECTION + i, COMPONENT_NAMES[i], parse_real_buffer, 0.0f);
    const bool zero = d[0] == 0.0f && d[1] == 0.0f && d[2] == 0.0f;
    if ((zero && !zero_allowed) || (!zero && !direction_given(d[0], d[1], d[2])))
        refuse(SUP_DIRECTION, "Direction is invalid");
    return d;
}

void SupportDialog::show_connected(int32_t number)
{
    dialog_set_text(SUP_CONNECTED, number ? node_text(number) : std::string());
}

int32_t SupportDialog::read_connected()
{
    dialog_get_text(SUP_CONNECTED);
    const int number = parse_existing_node("Connected node");
    if (number != 0 && number == model().rows[row_].node)
        throw_invalid_text("Connected node", "is the support's own node");
    return number;
}

void SupportDialog::check_fields(const std::function<void()>& check,
                                 const std::vector<std::pair<std::string, int>>& fields, int fallback)
{
    try {
        check();
    } catch (const MessageText& m) {
        for (const auto& [start, item] : fields)
            if (m.text.rfind(start, 0) == 0)
                refuse(item, m.text);
        refuse(fallback, m.text);
    }
}

// ---- Specified displacements -------------------------------------------------------------------

void SupportDialog::fill_displacements(const DisplacementSets& sets)
{
    dialog_list_reset(SUP_DISPLACEMENT_SET);
    for (int k = 1; k <= DISPLACEMENT_SETS; ++k)
        dialog_list_add(displacement_set_name(k));
    dialog_list_select(SUP_DISPLACEMENT_SET, 0);
    shown_set_ = 1;
    show_displacement_set(sets);
}

void SupportDialog::show_displacement_set(const DisplacementSets& sets)
{
    const auto k = static_cast<std::size_t>(shown_set_);
    for (int i = 0; i < 6; ++i) {
        const float value = sets.values[k][static_cast<std::size_t>(i)];
        std::string text;
        if (sets.given[k])
            text = i < 3 ? format_displacement_g5(value) : format_angle_or_none(value);
        show_value(SUP_DISPLACEMENT + i, value, text);
    }
}

void SupportDialog::read_displacement_set(DisplacementSets& sets)
{
    bool any = false;
    for (int i = 0; i < 6; ++i) {
        dialog_get_text(SUP_DISPLACEMENT + i);
        any = any || !item_text().empty();
    }
    const auto k = static_cast<std::size_t>(shown_set_);
    std::array<float, 6> values{};
    for (int i = 0; any && i < 6; ++i)
        values[static_cast<std::size_t>(i)] = read_value(SUP_DISPLACEMENT + i, DISPLACEMENT_NAMES[i],
                                                         i < 3 ? parse_displacement_buffer : parse_angle_buffer, 0.0f);
    sets.given[k] = any ? 1 : 0;
    sets.values[k] = values;
}

void SupportDialog::displacement_set_chosen(DisplacementSets& sets)
{
    try {
        read_displacement_set(sets);
    } catch (...) {
        dialog_list_select(SUP_DISPLACEMENT_SET, shown_set_ - 1);
        throw;
    }
    const int chosen = dialog_list_selection(SUP_DISPLACEMENT_SET);
    if (chosen < 0)
        return;
    shown_set_ = chosen + 1;
    show_displacement_set(sets);
}

bool run_support_dialog(const DialogTemplate& t, SupportDialog& proc, WindowId owner)
{
    if (run_dialog(t, proc, owner) == IDOK)
        row_kind_confirmed(proc.row());
    return proc.stored();
}
