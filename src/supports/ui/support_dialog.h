// What the support dialogs share: a dialog opens on a layout row and works on
// a copy of the row's support; OK reads and checks the fields in order (the
// first failure is shown and the dialog stays open with the field in
// focus), then stores the copy when it differs from the row's support and
// marks the model modified; a dialog that changed nothing, or was cancelled,
// drops the undo snapshot. While results are shown the fields are read-only
// and OK only closes.
//
// A value that is shown keeps its exact stored value while its text is not
// changed, so that OK without a change changes nothing.
#pragma once

#include "framework/ui/dialog_helper.h"
#include "platform/dialog.h"
#include "supports/support_common.h"
#include "supports/support_item.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class SupportDialog : public SnapshotDialogProc {
public:
    // The dialog of the support on layout row `row` (which must hold one).
    explicit SupportDialog(int row);

    void init(Dialog& d) override;
    bool ok(Dialog& d) override;

    // True when OK stored a change.
    bool stored() const { return stored_; }
    int row() const { return row_; }

protected:
    // Puts the copy's values into the controls.
    virtual void fill() = 0;
    // Reads the controls into the copy; throws (dialog_throw) on the first
    // field that is refused.
    virtual void read() = 0;
    // Enables the fields that the chosen kind or type uses.
    virtual void enable_fields() {}

    template <typename T>
    T& copy()
    {
        return static_cast<T&>(*copy_);
    }

    // ---- Fields -------------------------------------------------------------
    void show_tag(const std::string& tag);
    std::string read_tag();
    // Shows a value's text and remembers the exact value behind it.
    void show_value(int item, float value, const std::string& text);
    // The field's value: the stored value while its shown text is unchanged,
    // `empty` for an empty field, else the parser's (refused: "<name> =
    // <text>  is invalid", with `takes`, "it must be above 0", when it is
    // given and the text holds a number).
    float read_value(int item, const char* name, int (*parser)(float&), float empty, const char* takes = nullptr);
    // Direction components (empty for 0); read as read_direction does, where
    // three empty or zero fields are no direction when `zero_allowed`.
    void show_direction(const std::array<float, 3>& d);
    std::array<float, 3> read_direction_fields(bool zero_allowed);
    // The connected node: an existing node other than the support's own.
    void show_connected(int32_t number);
    int32_t read_connected();
    // Shows a kind's value check as a failure of the field it concerns.
    [[noreturn]] static void refuse(int item, const std::string& text) { dialog_throw(item, text); }
    // Runs a kind's value check; a text it throws is shown at the field of
    // the first entry whose text begins the message, else at `fallback`.
    static void check_fields(const std::function<void()>& check,
                             const std::vector<std::pair<std::string, int>>& fields, int fallback);

    // ---- Specified displacements (anchor, nozzle) -------------------------------
    void fill_displacements(const DisplacementSets& sets);
    // Reads the shown set into `sets`: given when any of its six fields holds
    // a text, its empty fields then 0.
    void read_displacement_set(DisplacementSets& sets);
    void show_displacement_set(const DisplacementSets& sets);
    // The set chooser changed: the shown set is read (a refused value keeps
    // the chooser on it) and the chosen one shown.
    void displacement_set_chosen(DisplacementSets& sets);
    int shown_set_ = 1;

private:
    int row_;
    std::unique_ptr<SupportItem> copy_;
    ShownValues shown_;
    bool stored_ = false;
};

// Runs a support dialog on its template; true when it stored a change.
bool run_support_dialog(const DialogTemplate& t, SupportDialog& proc, WindowId owner);
