#include "platform/dialog.h"

bool Dialog::takes_text_typed(int id) const {
    for (const ControlSpec& c : templ().controls)
        if (c.id == id)
            return c.kind == ControlKind::Edit || (c.kind == ControlKind::Combo && (c.flags & CF_EDITABLE));
    return false;
}

std::string Dialog::text(int id) const {
    std::string shown = shown_text(id);
    const auto it = given_.find(id);
    if (it != given_.end() && it->second.shown == shown) return it->second.given;
    return shown;
}

void Dialog::set_text(int id, const std::string& text) {
    show_text(id, text);
    if (!takes_text_typed(id)) return;
    given_[id] = GivenText{text, shown_text(id)};
}

bool Dialog::shows_text_given(int id) const {
    if (!takes_text_typed(id)) return false;
    const auto it = given_.find(id);
    return it != given_.end() && it->second.shown == shown_text(id);
}
