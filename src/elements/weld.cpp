#include "elements/weld.h"

#include "elements/attribute_dialog_ids.h"
#include "elements/element_common.h"
#include "framework/binfile.h"
#include "framework/strings.h"
#include "framework/units.h"
#include "model/model.h"
#include "platform/dialog.h"

namespace {

const char* const NAMES[WELD_TYPE_COUNT + 1] = {"???", "Butt weld", "Fillet weld", "Concave fillet weld",
                                                "Tapered transition"};

}  // namespace

const char* weld_type_name(int type)
{
    return NAMES[type >= 1 && type <= WELD_TYPE_COUNT ? type : 0];
}

bool weld_has_mismatch(int type)
{
    return type == WELD_BUTT || type == WELD_TAPERED;
}

std::string weld_text(int type, float mismatch)
{
    std::string text = weld_type_name(type);
    if (weld_has_mismatch(type)) {
        std::string number = format_dimension(mismatch);
        trim_blanks(number);
        text += ", Mismatch = " + number + " " + unit_label(DIMENSION);
    }
    return text;
}

void Weld::read(BinFile& file)
{
    const int32_t type = file.read_int();
    const float value = file.read_float();
    if (file.error())
        return;
    check_record(type >= 1 && type <= WELD_TYPE_COUNT, "Weld", "the type is invalid");
    check_record(finite_value(value, true), "Weld", "the mismatch is not a number or below 0");
    weld_type = type;
    mismatch = value;
}

void Weld::write(BinFile& file) const
{
    file.write_int(weld_type);
    file.write_float(mismatch);
}

void Weld::copy_from(const DataItem& other)
{
    if (const auto* same = dynamic_cast<const Weld*>(&other)) {
        weld_type = same->weld_type;
        mismatch = same->mismatch;
    }
}

void Weld::count()
{
    model().list(WELD_ROWS).count_one();
}

void Weld::register_row(int row)
{
    model().list(WELD_ROWS).add(row);
}

std::string Weld::cell_text(int column) const
{
    return column == 2 ? weld_text(weld_type, mismatch) : std::string();
}

std::string Weld::description() const
{
    return weld_type_name(weld_type);
}

void Weld::fill_dialog(Dialog& d) const
{
    if (weld_type >= 1 && weld_type <= WELD_TYPE_COUNT)
        d.list_select(WELD_TYPE, weld_type - 1);
    if (weld_has_mismatch(weld_type) && mismatch != 0.0f)
        d.set_text(WELD_MISMATCH, format_dimension(mismatch));
}

void ThreadedJoint::count()
{
    model().list(THREADED_JOINT_ROWS).count_one();
}

void ThreadedJoint::register_row(int row)
{
    model().list(THREADED_JOINT_ROWS).add(row);
}
