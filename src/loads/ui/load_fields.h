// The value fields of the loads' dialogs and table cells: each kind of value
// with its parser and formatter, the dialog's fields shown from and read back
// into the records (a field still showing its text keeps the exact stored
// value), and the table columns that read a typed cell with the same parser
// and field name.
#pragma once

#include "framework/app_state.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/ui/dialog_helper.h"
#include "framework/units.h"
#include "loads/ui/load_tables.h"

#include <functional>
#include <string>

struct ValueKind {
    int quantity = 0;                        // its unit's quantity; 0 a plain number
    int (*parse)(float& out) = nullptr;      // reads item_text()
    std::string (*format)(double value) = nullptr;
};
extern const ValueKind TEMPERATURE_VALUE, PRESSURE_VALUE, FORCE_VALUE, MOMENT_VALUE, WEIGHT_VALUE,
    WEIGHT_PER_LENGTH_VALUE, LENGTH_VALUE, ANGLE_VALUE, SPEED_VALUE, REAL_VALUE;

// The text of a value: empty for 0 (a value not given).
std::string value_text(const ValueKind& kind, float value);

// A range test of a read value; empty accepts any.
using ValueTest = std::function<bool(float)>;
bool not_below_zero(float v);
bool temperature_in_range(float v);   // 0 (not given) or from absolute zero on

// Reads item_text() as the kind: an empty text gives `empty`; an unreadable
// one, or one the test refuses, throws "<name> =  <text>  is invalid".
float read_value_text(const ValueKind& kind, const char* name, float empty, const ValueTest& test = {});

// The fields of one dialog.
class ValueFields {
public:
    // Shows a value in an edit (empty for 0 unless `show_zero`).
    void show(int item, float value, const ValueKind& kind, bool show_zero = false);
    // Reads an edit: its exact value while it still shows its text, else as
    // read_value_text; an empty required field throws "<name> is required".
    float read(int item, const char* name, const ValueKind& kind, const ValueTest& test = {}, bool required = false,
               float empty = 0.0f);

private:
    ShownValues shown_;
};

// Stores `value` into `target` when they differ (the model is then modified
// and the change notified); else drops the undo snapshot. True when stored.
template <typename T>
bool store_changed(T& target, const T& value)
{
    if (target == value) {
        discard_undo_snapshot();
        return false;
    }
    target = value;
    model_modified() = true;
    notify_document_changed();
    return true;
}

// A table column of a float the record `field` gives: its text, and a typed
// cell read as the dialog reads it.
template <typename R>
LoadColumn<R> value_column(std::string heading, const ValueKind& kind, const char* name,
                           std::function<float&(R&)> field, const ValueTest& test = {}, float empty = 0.0f)
{
    LoadColumn<R> c;
    c.heading = std::move(heading);
    if (kind.quantity != 0) {
        const int q = kind.quantity;
        c.unit = [q] { return unit_label(q); };
    }
    c.limit = 14;
    const ValueKind* k = &kind;
    c.text = [k, field](const R& r) { return value_text(*k, field(const_cast<R&>(r))); };
    const std::string field_name = name;
    c.store = [k, field, field_name, test, empty](R& r) {
        const float v = read_value_text(*k, field_name.c_str(), empty, test);
        if (v == field(r))
            return false;
        field(r) = v;
        return true;
    };
    return c;
}
