#include "elements/ui/value_dialog.h"

#include "elements/joints.h"
#include "framework/errors.h"
#include "framework/ui/dialog_helper.h"
#include "framework/units.h"

#include <string>

float ValueDialog::read_value(int item, Parser parse, const char* name, float stored, float smallest) const
{
    dialog_get_text(item);
    if (untouched(item))
        return stored;
    return cell_value(parse, name, smallest);
}

float ValueDialog::read_required(int item, Parser parse, const char* name, float stored) const
{
    dialog_get_text(item);
    if (item_text().empty())
        throw_required(name);
    return read_value(item, parse, name, stored);
}

float ValueDialog::read_limit(int item, float stored) const
{
    dialog_get_text(item);
    if (untouched(item))
        return stored;
    return cell_limit();
}

float cell_value(int (*parse)(float&), const char* name, float smallest)
{
    float value = 0.0f;
    if (parse(value) != 0)
        throw_invalid(name);
    if (!(value >= smallest)) {
        // The message says the range the value must lie in.
        set_parse_refusal(item_text(), "it must be " + format_g5(smallest) + " or more");
        throw_invalid(name);
    }
    return value;
}

float cell_limit()
{
    const std::string& text = item_text();
    if (text.empty() || std::string("NONE").compare(0, text.size(), text) == 0)
        return NO_ROTATION_LIMIT;
    float value = 0.0f;
    if (parse_angle_buffer(value) != 0)
        throw_invalid("Rotation limit");
    // A limit of 0 would divide the spring rule by zero.
    if (!(value > 0.0f))
        throw_message("Rotation limit should be positive");
    return value;
}
