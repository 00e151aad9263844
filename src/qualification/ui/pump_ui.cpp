#include "qualification/ui/pump_ui.h"

#include "framework/app_state.h"
#include "framework/document.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/messages.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "framework/ui/table.h"
#include "framework/units.h"
#include "model/nodes.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/analysis_options.h"
#include "model/ui/list_window.h"
#include "model/ui/options_dialog.h"
#include "qualification/pump_evaluation.h"
#include "qualification/pump_standards.h"
#include "qualification/ui/equipment_dialogs.h"
#include "qualification/ui/equipment_tables.h"

#include <array>
#include <optional>
#include <string>
#include <tuple>
#include <vector>


namespace {

constexpr const char* TITLE = "Pumps";

bool shaft_and_centre_entered(const PumpRecord& p) { return !pump_is_vertical(p); }
bool hi_pump(const PumpRecord& p) { return pump_kind(p) == PUMP_ANSI_HI; }

std::string centre_text(float v) { return v == 0.0f ? std::string() : format_length(v); }

// The location cell of a nozzle: "Above"/"Below" for the flange of a
// vertical turbine pump, nothing for other ANSI/HI pumps, else where the
// nozzle sits as the evaluation takes it (pump_nozzle_location).
std::string location_cell(const PumpRecord& p, bool discharge)
{
    if (hi_pump(p)) {
        if (discharge && p.hi_type == HI_VERTICAL_TURBINE)
            return p.discharge_location == 0 ? "Above" : "Below";
        return {};
    }
    if ((discharge ? p.discharge_node : p.suction_node) == 0)
        return {};
    return nozzle_location_text(pump_nozzle_location(p, discharge ? DISCHARGE : SUCTION));
}

// The columns of the Pumps table.
enum PumpColumn : int {
    COL_DESCRIPTION = 1, COL_VERTICAL, COL_SUCTION, COL_SUCTION_LOC, COL_DISCHARGE, COL_DISCHARGE_LOC,
    COL_SHAFT,          // 7..9
    COL_CENTRE = 10,    // 10..12
    COL_TYPE = 13, COL_SIZE, COL_MATERIAL, COL_MOUNTING, COL_TEMPERATURE, PUMP_COLUMNS = COL_TEMPERATURE
};

// ---- The checks of a pump ----------------------------------------------------------
//
// One set of rules for the dialog's OK and the table's Enter: each rule
// names the field it refuses, which is a control of the dialog and a column
// of the table, so that either puts the caret where the fault is.

enum PumpField : int {
    PF_DESCRIPTION, PF_TYPE, PF_SIZE, PF_MATERIAL, PF_MOUNTING, PF_TEMPERATURE, PF_SUCTION, PF_DISCHARGE,
    PF_NOZZLES, PF_SHAFT, PUMP_FIELDS
};

struct PumpFieldPlace {
    int control;
    int column;
};
constexpr PumpFieldPlace PUMP_FIELD_PLACES[PUMP_FIELDS] = {
    {PUMP_DESCRIPTION, COL_DESCRIPTION}, {PUMP_TYPE, COL_TYPE},         {PUMP_SIZE, COL_SIZE},
    {PUMP_MATERIAL, COL_MATERIAL},       {PUMP_MOUNTING, COL_MOUNTING}, {PUMP_TEMPERATURE, COL_TEMPERATURE},
    {PUMP_SUCTION, COL_SUCTION},         {PUMP_DISCHARGE, COL_DISCHARGE}, {PUMP_SUCTION, COL_SUCTION},
    {PUMP_SHAFT, COL_SHAFT}};

struct PumpRefusal {
    PumpField field = PF_DESCRIPTION;
    std::string message;
    bool operator==(const PumpRefusal&) const = default;
};

bool hi_mounting_chosen(int type) { return type == HI_B735 || type == HI_AXIAL_SPLIT; }

// The first rule of fields `first`..`last` that a pump breaks, in the order
// the dialog reads its fields; none when it keeps them. The ANSI/HI choices
// are -1 while none is made.
std::optional<PumpRefusal> pump_refusal(const PumpRecord& p, PumpField first = PF_DESCRIPTION,
                                        PumpField last = PF_SHAFT)
{
    std::optional<PumpRefusal> refusal;
    auto rule = [&](PumpField field, bool broken, const std::string& message) {
        if (!refusal && broken && field >= first && field <= last)
            refusal = PumpRefusal{field, message};
    };
    rule(PF_DESCRIPTION, p.name.empty(), "Description is required");
    if (hi_pump(p)) {
        const int type = p.hi_type;
        const bool typed = type >= 0 && type < HI_TYPE_COUNT;
        rule(PF_TYPE, !typed, "Pump category not selected");
        const int sizes = typed ? static_cast<int>(hi_sizes(type).size()) : 0;
        rule(PF_SIZE, typed && (p.hi_size < 0 || p.hi_size >= sizes), "Pump or Nozzle size not selected");
        rule(PF_MATERIAL, typed && (p.hi_material < 0 || p.hi_material >= HI_MATERIAL_COUNT),
             "Pump material not selected");
        const int mountings = static_cast<int>(type == HI_B735 ? hi_baseplates().size() : hi_bolt_sizes().size());
        rule(PF_MOUNTING, hi_mounting_chosen(type) && (p.hi_mounting < 0 || p.hi_mounting >= mountings),
             "Bolt Size or Mounting Type not selected");
        rule(PF_TEMPERATURE, p.temperature > 500.0f, "Temperature cannot be > 500");
    }
    for (const auto& [field, node, name] : {std::tuple{PF_SUCTION, p.suction_node, "Suction Node"},
                                            std::tuple{PF_DISCHARGE, p.discharge_node, "Discharge Node"}}) {
        const std::string fault = node != 0 ? equipment_node_refusal(node, name) : std::string();
        rule(field, !fault.empty(), fault);
    }
    rule(PF_NOZZLES, p.suction_node == 0 && p.discharge_node == 0, "Suction or discharge node is required");
    rule(PF_SHAFT, !pump_is_vertical(p) && p.shaft_axis == std::array<float, 3>{}, "Direction is invalid");
    const std::string shaft = pump_shaft_axis_refusal(p);
    rule(PF_SHAFT, !shaft.empty(), shaft);
    return refusal;
}

// ---- PUMP_DIALOG -------------------------------------------------------------------

class PumpDialog final : public SnapshotDialogProc {
public:
    PumpDialog(PumpRecord& pump, int number) : pump_(pump), number_(number) {}

    void init(Dialog& d) override
    {
        d.set_caption(c_format(d.templ().caption.c_str(), number_));
        dialog_list_reset(PUMP_TYPE);
        for (int t = 0; t < HI_TYPE_COUNT; ++t)
            dialog_list_add(hi_type_text(t));
        dialog_list_reset(PUMP_MATERIAL);
        for (int m = 0; m < HI_MATERIAL_COUNT; ++m)
            dialog_list_add(hi_material_text(m));
        fill_type_lists(HI_B731);
        dialog_set_unit_label(PUMP_TEMPERATURE_UNIT, TEMPERATURE);
        dialog_set_unit_label(PUMP_LENGTH_UNIT, LENGTH);

        const PumpRecord& p = pump_;
        dialog_set_text(PUMP_DESCRIPTION, p.name);
        dialog_set_text(PUMP_SUCTION, node_text(p.suction_node));
        dialog_set_text(PUMP_DISCHARGE, node_text(p.discharge_node));
        const int kind = pump_kind(p);
        dialog_set_radio(PUMP_SUCTION_TOP, PUMP_SUCTION_TOP + 2, PUMP_SUCTION_TOP);
        dialog_set_radio(PUMP_DISCHARGE_TOP, PUMP_DISCHARGE_TOP + 2, PUMP_DISCHARGE_TOP);
        if (p.vertical || kind == PUMP_VERTICAL_INLINE_API610) {
            layout_ = PUMP_VERTICAL_INLINE_API610;
        } else {
            layout_ = kind;
            if (kind == PUMP_ANSI_HI) {
                type_ = std::clamp(p.hi_type, 0, HI_TYPE_COUNT - 1);
                dialog_list_select(PUMP_TYPE, type_);
                fill_type_lists(type_);
                dialog_list_select(PUMP_SIZE, p.hi_size);
                dialog_list_select(PUMP_MATERIAL, p.hi_material);
                if (hi_mounting_chosen(type_))
                    dialog_list_select(PUMP_MOUNTING, p.hi_mounting);
                shown_.show(PUMP_TEMPERATURE, p.temperature, format_temperature(p.temperature));
            }
            dialog_set_radio(PUMP_SUCTION_TOP, PUMP_SUCTION_TOP + 2,
                             PUMP_SUCTION_TOP + std::clamp(p.suction_location, 0, 2));
            dialog_set_radio(PUMP_DISCHARGE_TOP, PUMP_DISCHARGE_TOP + 2,
                             PUMP_DISCHARGE_TOP + std::clamp(p.discharge_location, 0, 2));
            for (int i = 0; i < 3; ++i) {
                const float axis = p.shaft_axis[static_cast<std::size_t>(i)];
                const float centre = p.centre[static_cast<std::size_t>(i)];
                shown_.show(PUMP_SHAFT + i, axis, shaft_component_text(axis));
                shown_.show(PUMP_CENTRE + i, centre, centre_text(centre));
            }
        }
        dialog_set_radio(PUMP_HORIZONTAL, PUMP_ANSI_HI_RADIO, PUMP_HORIZONTAL + layout_ - 1);
        apply_layout();
        dialog_select_focus(PUMP_DESCRIPTION);
        if (input_locked()) {
            for (int id = PUMP_DESCRIPTION; id <= PUMP_CENTRE + 2; ++id)
                dialog_set_readonly(id);
            for (int id = PUMP_HORIZONTAL; id <= PUMP_DISCHARGE_TOP + 2; ++id)
                dialog_disable(id);
            for (int id = PUMP_TYPE; id <= PUMP_MATERIAL; ++id)
                dialog_disable(id);
            dialog_set_focus(IDOK);
        }
        (void)d;
    }

    void command(Dialog&, int id, int code) override
    {
        if (input_locked())
            return;
        if (id >= PUMP_HORIZONTAL && id <= PUMP_ANSI_HI_RADIO && code == NOTIFY_CLICKED) {
            const int layout = id - PUMP_HORIZONTAL + 1;
            if (layout == layout_)
                return;
            layout_ = layout;
            if (layout_ == PUMP_ANSI_HI) {
                // The type stays to be chosen when none was.
                type_ = dialog_list_selection(PUMP_TYPE);
                if (type_ >= 0)
                    fill_type_lists(type_);
            }
            apply_layout();
        } else if (id == PUMP_TYPE && code == NOTIFY_SELCHANGE) {
            const int t = dialog_list_selection(PUMP_TYPE);
            if (t < 0 || t == type_)
                return;
            type_ = t;
            fill_type_lists(type_);
            apply_layout();
        }
    }

    bool ok(Dialog& d) override
    {
        if (input_locked()) {
            d.end(0);
            return true;
        }
        PumpRecord p = pump_;
        // Each group of fields is checked as soon as it is read.
        auto check = [&p](PumpField first, PumpField last) {
            if (const std::optional<PumpRefusal> r = pump_refusal(p, first, last))
                dialog_throw(PUMP_FIELD_PLACES[r->field].control, r->message);
        };
        dialog_get_record_text(PUMP_DESCRIPTION, EQUIPMENT_DESCRIPTION_LENGTH - 1);
        p.name = item_text();
        check(PF_DESCRIPTION, PF_DESCRIPTION);
        p.vertical = dialog_is_checked(PUMP_VERTICAL) ? 1 : 0;
        p.kind = api610_pump_kind(p.vertical);
        // An API 610 pump keeps none of the ANSI/HI choices a former kind left.
        p.hi_type = p.hi_size = p.hi_mounting = p.hi_material = 0;
        p.temperature = 0.0f;
        if (dialog_is_checked(PUMP_ANSI_HI_RADIO)) {
            p.kind = PUMP_ANSI_HI;
            p.hi_type = dialog_list_selection(PUMP_TYPE);
            check(PF_TYPE, PF_TYPE);
            p.hi_size = dialog_list_selection(PUMP_SIZE);
            check(PF_SIZE, PF_SIZE);
            p.hi_material = dialog_list_selection(PUMP_MATERIAL);
            check(PF_MATERIAL, PF_MATERIAL);
            p.hi_mounting = hi_mounting_chosen(p.hi_type) ? dialog_list_selection(PUMP_MOUNTING) : 0;
            check(PF_MOUNTING, PF_MOUNTING);
            p.temperature = read_shown_value(shown_, PUMP_TEMPERATURE, parse_temperature_buffer, "Temperature");
            check(PF_TEMPERATURE, PF_TEMPERATURE);
        }
        p.suction_node = read_node_field(PUMP_SUCTION, "Suction Node");
        p.suction_location = dialog_is_checked(PUMP_SUCTION_TOP + 1)   ? LOCATION_SIDE
                             : dialog_is_checked(PUMP_SUCTION_TOP + 2) ? LOCATION_END
                                                                       : LOCATION_TOP;
        p.discharge_node = read_node_field(PUMP_DISCHARGE, "Discharge Node");
        p.discharge_location = dialog_is_checked(PUMP_DISCHARGE_TOP + 1)   ? LOCATION_SIDE
                               : dialog_is_checked(PUMP_DISCHARGE_TOP + 2) ? LOCATION_END
                                                                           : LOCATION_TOP;
        check(PF_SUCTION, PF_NOZZLES);
        if (p.vertical)
            p.suction_location = p.discharge_location = LOCATION_SIDE;
        if (!pump_is_vertical(p)) {
            p.shaft_axis = read_shown_components(shown_, PUMP_SHAFT);
            check(PF_SHAFT, PF_SHAFT);
            static const char* const names[3] = {"X", "Y", "Z"};
            for (int i = 0; i < 3; ++i)
                p.centre[static_cast<std::size_t>(i)] = read_shown_value(shown_, PUMP_CENTRE + i, parse_length_buffer, names[i]);
            // The centre is a place like any other: a model may have its
            // origin at the pump.
        } else {
            p.shaft_axis = {};
            p.centre = {};
        }
        store_if_changed(pump_, p);
        d.end(1);
        return true;
    }

private:
    // The size, mounting and label texts of a pump type.
    void fill_type_lists(int type)
    {
        dialog_list_reset(PUMP_SIZE);
        for (const std::string& s : hi_sizes(type))
            dialog_list_add(s);
        dialog_set_text(PUMP_SIZE_LABEL, type == HI_AXIAL_SPLIT        ? "Nominal size"
                                         : type == HI_VERTICAL_TURBINE ? "Nozzle size"
                                                                       : "Pump Size");
        dialog_list_reset(PUMP_MOUNTING);
        if (type == HI_B735) {
            dialog_set_text(PUMP_MOUNTING_LABEL, "&Mounting Type");
            for (const std::string& s : hi_baseplates())
                dialog_list_add(s);
        } else if (type == HI_AXIAL_SPLIT) {
            dialog_set_text(PUMP_MOUNTING_LABEL, "Bolt size");
            for (const std::string& s : hi_bolt_sizes())
                dialog_list_add(s);
        } else {
            dialog_set_text(PUMP_MOUNTING_LABEL, "Mounting type");
        }
        const bool turbine = type == HI_VERTICAL_TURBINE;
        dialog_set_text(PUMP_DISCHARGE_LABEL, turbine ? "Flange Position" : "Location");
        dialog_set_text(PUMP_DISCHARGE_TOP, turbine ? "Above base" : "Top");
        dialog_set_text(PUMP_DISCHARGE_TOP + 1, turbine ? "Below base" : "Side");
        dialog_set_text(PUMP_DISCHARGE_TOP + 2, "End");
    }

    // The enabled states of the current layout and type.
    void apply_layout()
    {
        const bool hi = layout_ == PUMP_ANSI_HI;
        const bool vertical = layout_ == PUMP_VERTICAL_INLINE_API610;
        const int type = hi ? type_ : -1;
        if (!hi) {
            // The labels of the nozzle locations are those of every pump but
            // a vertical turbine.
            dialog_set_text(PUMP_DISCHARGE_LABEL, "Location");
            dialog_set_text(PUMP_DISCHARGE_TOP, "Top");
            dialog_set_text(PUMP_DISCHARGE_TOP + 1, "Side");
        }
        dialog_enable_item(PUMP_HI_GROUP, hi);
        dialog_enable_item(PUMP_TYPE, hi);
        dialog_enable_item(PUMP_SIZE, hi);
        dialog_enable_item(PUMP_SIZE_LABEL, hi);
        dialog_enable_item(PUMP_MATERIAL, hi);
        dialog_enable_item(PUMP_TEMPERATURE, hi);
        dialog_enable_item(PUMP_TEMPERATURE_UNIT, hi);
        const bool mounting = hi && (type == HI_B735 || type == HI_AXIAL_SPLIT);
        dialog_enable_item(PUMP_MOUNTING, mounting);
        dialog_enable_item(PUMP_MOUNTING_LABEL, mounting);

        const bool locations = !hi && !vertical;
        dialog_enable_item(PUMP_SUCTION_LABEL, locations);
        for (int i = 0; i < 3; ++i)
            dialog_enable_item(PUMP_SUCTION_TOP + i, locations);
        const bool flange = type == HI_VERTICAL_TURBINE;
        dialog_enable_item(PUMP_DISCHARGE_LABEL, locations || flange);
        dialog_enable_item(PUMP_DISCHARGE_TOP, locations || flange);
        dialog_enable_item(PUMP_DISCHARGE_TOP + 1, locations || flange);
        dialog_enable_item(PUMP_DISCHARGE_TOP + 2, locations);

        const bool shaft = !vertical && !(hi && hi_type_vertical(type));
        for (int id : {int{PUMP_SHAFT_GROUP}, int{PUMP_CENTRE_GROUP}, int{PUMP_LENGTH_UNIT}})
            dialog_enable_item(id, shaft);
        for (int i = 0; i < 3; ++i)
            for (int id : {PUMP_SHAFT + i, PUMP_CENTRE + i, PUMP_SHAFT_LABEL + i, PUMP_CENTRE_LABEL + i})
                dialog_enable_item(id, shaft);
    }

    PumpRecord& pump_;
    int number_;
    ShownValues shown_;
    int layout_ = PUMP_HORIZONTAL_API610;
    int type_ = -1;   // the chosen ANSI/HI type, -1 before one is chosen
};

// ---- The table ----------------------------------------------------------------------

std::string pump_cell(const PumpRecord& p, int column)
{
    const bool hi = hi_pump(p);
    switch (column) {
    case COL_DESCRIPTION: return p.name;
    case COL_VERTICAL: return p.vertical ? "Y" : "";
    case COL_SUCTION: return node_text(p.suction_node);
    case COL_SUCTION_LOC: return location_cell(p, false);
    case COL_DISCHARGE: return node_text(p.discharge_node);
    case COL_DISCHARGE_LOC: return location_cell(p, true);
    case COL_TYPE: return hi ? hi_type_short(p.hi_type) : "";
    case COL_SIZE: return hi ? hi_size_text(p.hi_type, p.hi_size) : "";
    case COL_MATERIAL: return hi ? hi_material_short(p.hi_material) : "";
    case COL_MOUNTING: return hi ? hi_mounting_text(p.hi_type, p.hi_mounting) : "";
    case COL_TEMPERATURE: return hi ? format_temperature(p.temperature) : "";
    default: break;
    }
    if (column >= COL_SHAFT && column < COL_SHAFT + 3)
        return shaft_component_text(p.shaft_axis[static_cast<std::size_t>(column - COL_SHAFT)]);
    if (column >= COL_CENTRE && column < COL_CENTRE + 3)
        return centre_text(p.centre[static_cast<std::size_t>(column - COL_CENTRE)]);
    return {};
}

// Where the Pump dialog is: the row's dialog, opened by a double click.
constexpr const char* IN_THE_DIALOG = "in the Pump dialog (double-click the row)";

// Why a pump's row takes nothing typed in a column, and where its value is
// given; empty when the column takes typing. What the kind of the pump
// does not use (the dialog greys it) takes none.
std::string column_refusal(const PumpRecord& p, int column)
{
    const bool hi = hi_pump(p);
    const bool vertical_inline = !hi && pump_is_vertical(p);
    switch (column) {
    case COL_DESCRIPTION:
    case COL_SUCTION:
    case COL_DISCHARGE: return {};
    case COL_VERTICAL:
        return hi ? std::string("An ANSI/HI pump is chosen ") + IN_THE_DIALOG : std::string();
    case COL_SUCTION_LOC:
    case COL_DISCHARGE_LOC:
        if (vertical_inline)
            return "The nozzles of a vertical inline pump are on its sides: they take no location";
        if (hi && !(column == COL_DISCHARGE_LOC && p.hi_type == HI_VERTICAL_TURBINE))
            return column == COL_DISCHARGE_LOC ? "The discharge of this ANSI/HI pump takes no location"
                                               : "The suction of an ANSI/HI pump takes no location";
        // A nozzle shows its location once it has its node.
        if (!hi && column == COL_SUCTION_LOC && p.suction_node == 0)
            return "The suction location needs the suction node: type the node first";
        if (!hi && column == COL_DISCHARGE_LOC && p.discharge_node == 0)
            return "The discharge location needs the discharge node: type the node first";
        return {};
    default: break;
    }
    if (column >= COL_SHAFT && column < COL_CENTRE + 3)
        return pump_is_vertical(p) ? "A vertical pump takes no shaft axis direction and no center" : "";
    if (column >= COL_TYPE && column <= PUMP_COLUMNS)
        return std::string("The pump type, size, material, mounting and temperature of an ANSI/HI pump are chosen ") +
               IN_THE_DIALOG;
    return {};
}

// The Vert. cell as typed: Y for a vertical inline pump, N or nothing for a
// horizontal one.
bool read_vertical()
{
    const std::string& t = item_text();
    if (t.empty() || t == "N" || t == "n")
        return false;
    if (t == "Y" || t == "y")
        return true;
    throw_invalid_text("Vert.", "is invalid: it must be Y (vertical inline) or N");
}

// What the dialog stores when a pump becomes vertical inline (nozzles on
// its sides, no shaft axis or center) or horizontal (nozzles on top until
// their locations are given).
void set_vertical(PumpRecord& p, bool vertical)
{
    if ((p.vertical != 0) == vertical && pump_kind(p) == api610_pump_kind(p.vertical))
        return;
    p.vertical = vertical ? 1 : 0;
    p.kind = api610_pump_kind(p.vertical);
    const int32_t location = vertical ? LOCATION_SIDE : LOCATION_TOP;
    p.suction_location = p.discharge_location = location;
    if (vertical) {
        p.shaft_axis = {};
        p.centre = {};
    }
}

// What making a pump vertical inline clears of its row, as the row shows
// it: a nozzle at an end (Top is where a nozzle stands until its location
// is given, and Side where a vertical inline pump's stand: neither is
// lost), the shaft axis direction and the center.
std::vector<std::string> cleared_by_vertical(const PumpRecord& p)
{
    std::vector<std::string> cleared;
    for (const auto& [column, node, location, what] :
         {std::tuple{COL_SUCTION_LOC, p.suction_node, p.suction_location, "the suction location "},
          std::tuple{COL_DISCHARGE_LOC, p.discharge_node, p.discharge_location, "the discharge location "}})
        if (node != 0 && location == LOCATION_END)
            cleared.push_back(what + trimmed(pump_cell(p, column)));
    if (p.shaft_axis != std::array<float, 3>{})
        cleared.push_back("the shaft axis direction " + trimmed(format_real_exact(p.shaft_axis[0], 8, 3)) + ", " +
                          trimmed(format_real_exact(p.shaft_axis[1], 8, 3)) + ", " +
                          trimmed(format_real_exact(p.shaft_axis[2], 8, 3)));
    if (p.centre != std::array<float, 3>{})
        cleared.push_back("the center " + format_length(p.centre[0]) + ", " + format_length(p.centre[1]) + ", " +
                          format_length(p.centre[2]));
    return cleared;
}

// The question Y in Vert. asks before it clears what the row shows; empty
// when it clears nothing.
std::string vertical_question(const PumpRecord& p)
{
    const std::vector<std::string> cleared = cleared_by_vertical(p);
    if (cleared.empty())
        return {};
    std::string list;
    for (std::size_t i = 0; i < cleared.size(); ++i)
        list += (i == 0 ? "" : i + 1 == cleared.size() ? " and " : ", ") + cleared[i];
    const std::string name = p.name.empty() ? std::string("the pump") : p.name;
    return "A vertical inline pump has its nozzles on its sides and no shaft axis or center:\n"
           "making " + name + " vertical inline clears " + list + ".\nMake it vertical inline?";
}

// A nozzle's location typed into its Loc cell: a word of the dialog's
// radio buttons or its first letters (Top, Side, End; Above or Below base
// for the discharge of a vertical turbine pump); nothing is the first.
int32_t read_location(const PumpRecord& p, bool discharge)
{
    const bool turbine = discharge && hi_pump(p) && p.hi_type == HI_VERTICAL_TURBINE;
    const std::vector<std::string> words = turbine ? std::vector<std::string>{"ABOVE", "BELOW"}
                                                   : std::vector<std::string>{"TOP", "SIDE", "END"};
    const std::string typed = upper_case(item_text());
    if (typed.empty())
        return 0;
    for (std::size_t i = 0; i < words.size(); ++i)
        if (words[i].starts_with(typed))
            return static_cast<int32_t>(i);
    throw_invalid_text(discharge ? "Discharge location" : "Suction location",
                       turbine ? "is invalid: it must be Above or Below" : "is invalid: it must be Top, Side or End");
}

class PumpsTable final : public EquipmentListTable<PumpRecord> {
public:
    PumpsTable()
        : EquipmentListTable(&list_frame(), PUMP_COLUMNS, 2, {15, 1, 7, 4, 7, 5, 8, 8, 8, 12, 12, 12})
    {
        groups = {{COL_SUCTION, COL_SUCTION_LOC, "Suction", 0},
                  {COL_DISCHARGE, COL_DISCHARGE_LOC, "Discharge", 0},
                  {COL_SHAFT, COL_SHAFT + 2, "Shaft axis direction", 0},
                  {COL_CENTRE, COL_CENTRE + 2, "Center of pump", 0}};
        for (int c = COL_SHAFT; c < COL_CENTRE + 3; ++c)
            alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
    }

    OneBased<PumpRecord>& list() const override { return pumps(); }
    std::string title() const override { return TITLE; }
    std::string record_name() const override { return "Pump"; }
    std::vector<int> record_nodes(const PumpRecord& p) const override { return {p.suction_node, p.discharge_node}; }

    std::string header_text(int column, int line) override
    {
        static const char* const first[] = {"", "Description", "Vert.", "Node", "Loc", "Node", "Loc", "X comp",
                                            "Y comp", "Z comp", "X", "Y", "Z", "Pump Type", "Pump Size",
                                            "Pump Material", "Bolt/Mounting", "Temp."};
        if (column < 1 || column > PUMP_COLUMNS)
            return {};
        if (line == 0)
            return column == COL_VERTICAL ? "Vert." : "";
        if (line != 1)
            return {};
        if (column == COL_VERTICAL)
            return "Inline";
        if (column >= COL_CENTRE && column < COL_CENTRE + 3)
            return std::string(first[column]) + " " + unit_label(LENGTH);
        if (column == COL_TEMPERATURE)
            return std::string(first[column]) + " " + unit_label(TEMPERATURE);
        return first[column];
    }
    std::string cell_text(int row, int column, int line) override
    {
        if (line != 0)
            return {};
        const PumpRecord* p = record(row);
        if (!p)
            return {};
        // A shaft component typed into the input row shows as typed, zero
        // too, until Enter takes the row.
        const int component = column - COL_SHAFT;
        if (p == &draft && component >= 0 && component < 3 && shaft_typed_[static_cast<std::size_t>(component)] &&
            !pump_is_vertical(*p))
            return format_real_exact(p->shaft_axis[static_cast<std::size_t>(component)], 8, 3);
        return pump_cell(*p, column);
    }
    void draw_column_rule(TableCanvas& c, int column) override
    {
        static const std::set<int> inner = {COL_SUCTION_LOC, COL_DISCHARGE_LOC, COL_SHAFT + 1, COL_SHAFT + 2,
                                            COL_CENTRE + 1, COL_CENTRE + 2};
        draw_group_column_rule(c, column, inner);
    }
    void measure_window(Surface& dc) override
    {
        TableWindow::measure_window(dc);
        equalize_widths(widths, COL_SHAFT, COL_SHAFT + 2);
        equalize_widths(widths, COL_CENTRE, COL_CENTRE + 2);
    }
    void measure_print(Surface& dc) override
    {
        TablePrint::measure_print(dc);
        equalize_widths(widths, COL_SHAFT, COL_SHAFT + 2);
        equalize_widths(widths, COL_CENTRE, COL_CENTRE + 2);
    }
    bool cell_editable(int row, int column) override
    {
        const PumpRecord* p = record(row);
        return p && column_refusal(*p, column).empty();
    }
    std::string typing_refused(int row, int column) override
    {
        const PumpRecord* p = record(row);
        return p ? column_refusal(*p, column) : std::string();
    }
    void filter_char(int column, std::string& ch) override
    {
        if (column != COL_DESCRIPTION)
            table_filter_name(ch);
    }
    // Each column takes what is typed as the pump dialog's field does, with
    // the same checks and messages.
    void store_cell(int row, int column, const std::string& text) override
    {
        PumpRecord* p = record(row);
        if (!p)
            return;
        PumpRecord changed = *p;
        switch (column) {
        case COL_DESCRIPTION:
            changed.name = std::string(utf8_prefix(trimmed(text), EQUIPMENT_DESCRIPTION_LENGTH - 1));
            trim_blanks(changed.name);
            break;
        case COL_VERTICAL: {
            const bool vertical = read_vertical();
            if (vertical && !pump_is_vertical(changed)) {
                const std::string question = vertical_question(changed);
                if (!question.empty() && !message_question(frame_window(), question)) {
                    discard_undo_snapshot();
                    return;
                }
            }
            set_vertical(changed, vertical);
            if (p == &draft && vertical)
                shaft_typed_ = {};
            break;
        }
        case COL_SUCTION: changed.suction_node = read_node_text("Suction Node"); break;
        case COL_DISCHARGE: changed.discharge_node = read_node_text("Discharge Node"); break;
        case COL_SUCTION_LOC: changed.suction_location = read_location(changed, false); break;
        case COL_DISCHARGE_LOC: changed.discharge_location = read_location(changed, true); break;
        default:
            if (column >= COL_SHAFT && column < COL_SHAFT + 3) {
                static const char* const names[3] = {"X comp", "Y comp", "Z comp"};
                float v = 0.0f;
                if (parse_real_buffer(v) != 0)
                    throw_invalid(names[column - COL_SHAFT]);
                changed.shaft_axis[static_cast<std::size_t>(column - COL_SHAFT)] = v;
                if (p == &draft)
                    shaft_typed_[static_cast<std::size_t>(column - COL_SHAFT)] = true;
            } else if (column >= COL_CENTRE && column < COL_CENTRE + 3) {
                static const char* const names[3] = {"X", "Y", "Z"};
                float v = 0.0f;
                if (parse_length_buffer(v) != 0)
                    throw_invalid(names[column - COL_CENTRE]);
                changed.centre[static_cast<std::size_t>(column - COL_CENTRE)] = v;
            } else {
                return;
            }
            break;
        }
        // A stored pump takes no typed value that breaks a rule of the
        // dialog it kept; the input row's pump meets them at Enter. A pump
        // made horizontal takes its shaft axis after the switch.
        if (pumps().valid(row) && column != COL_VERTICAL)
            if (const std::optional<PumpRefusal> r = pump_refusal(changed); r && r != pump_refusal(*p))
                throw_cell_error(r->message, column);
        // A pump of an older file is read as horizontal; what the table
        // stores says so.
        if (changed != *p && changed.kind == PUMP_KIND_UNSET)
            changed.kind = api610_pump_kind(changed.vertical);
        store_typed(*p, changed);
    }
    // Enter refuses what the dialog's OK refuses, with its message, the
    // caret in the column of the field it names; the input row keeps what
    // was typed into it.
    void leave_row(int row) override
    {
        PumpRecord* p = record(row);
        if (!p)
            return;
        if (const std::optional<PumpRefusal> r = pump_refusal(*p))
            throw_cell_error(r->message, PUMP_FIELD_PLACES[r->field].column);
        if (p == &draft) {
            shaft_typed_ = {};
            append_draft(COL_DESCRIPTION);
            return;
        }
        TableWindow::leave_row(row);
    }
    // The input row starts empty again.
    void clear_draft()
    {
        draft = PumpRecord{};
        shaft_typed_ = {};
    }
    bool edit_row(int row) override
    {
        PumpRecord* p = record(row);
        if (!p)
            return false;
        push_undo_snapshot(frame_window());
        const bool stored = edit_pump(*p, row, frame_window()) == 1;
        if (pumps().valid(row) && model_modified())
            notify_document_changed();
        table_window_refocus(*this);
        if (stored) {
            try {
                leave_row(row);
            } catch (const CI& e) {
                table_goto_row(*this, row, e.column);
            }
        }
        return true;
    }
    void print() override { print_pumps(); }

private:
    // Which shaft components were typed into the input row.
    std::array<bool, 3> shaft_typed_{};
};

PumpsTable& table() { return session_part<PumpsTable>(); }

// ---- Report --------------------------------------------------------------------------

void text_headings()
{
    report_print_centred_page(TITLE);
    report_next_line();
    report_rule();
    report_print_at("Suction", 33);
    report_print_at("Discharge", 43);
    report_print_at("Shaft axis direction", 58);
    report_next_line();
    report_print_at("Description", 5);
    report_print_at("Type", 23);
    report_print_at("Node", 34);
    report_print_at("Loc", 40);
    report_print_at("Node", 45);
    report_print_at("Loc", 51);
    report_print_at("X comp", 57);
    report_print_at("Y comp", 65);
    report_print_at("Z comp", 73);
    report_next_line();
    report_rule();
}

// The characters of the description before the type's column.
constexpr int DESCRIPTION_ROOM = 13;

void print_pumps_text()
{
    ReportTable table(text_headings, 2);
    for (const PumpRecord& p : pumps()) {
        const bool hi = hi_pump(p);
        // A pump's lines on one page.
        table.keep(report_lines_within(p.name, DESCRIPTION_ROOM) + (shaft_and_centre_entered(p) ? 1 : 0) +
                   (hi ? 2 : 0));
        report_print_within(p.name, 4, DESCRIPTION_ROOM);
        report_print_at(pump_kind_text(p), 18);
        report_print_at(node_text(p.suction_node), 34);
        report_print_at(location_cell(p, false), 40);
        report_print_at(node_text(p.discharge_node), 45);
        report_print_at(location_cell(p, true), 51);
        if (shaft_and_centre_entered(p)) {
            for (int i = 0; i < 3; ++i)
                report_print_right(format_real_exact(p.shaft_axis[static_cast<std::size_t>(i)], 8, 3), 62 + 8 * i);
            report_next_line();
            report_print_at("Location of center:", 4);
            static const char* const names[3] = {"X =", "Y =", "Z ="};
            for (int i = 0; i < 3; ++i) {
                report_print_at(names[i], 24 + 15 * i);
                report_print_at(format_length(p.centre[static_cast<std::size_t>(i)]), 28 + 15 * i);
            }
            report_print_at(unit_label(LENGTH), 70);
        }
        report_next_line();
        if (hi) {
            report_print_at("Pump Type:", 4);
            report_print_at(hi_type_short(p.hi_type), 15);
            report_print_at("Pump Size", 34);
            report_print_at(hi_size_text(p.hi_type, p.hi_size), 45);
            report_print_at("Pump Material:", 58);
            report_print_at(hi_material_short(p.hi_material), 72);
            report_next_line();
            report_print_at("Pump Temp:", 4);
            report_print_at(format_temperature(p.temperature), 15);
            report_print_at(unit_label(TEMPERATURE), 20);
            if (p.hi_type == HI_B735 || p.hi_type == HI_AXIAL_SPLIT) {
                report_print_at("Bolt/Mounting:", 34);
                report_print_at(hi_mounting_text(p.hi_type, p.hi_mounting), 51);
            }
            report_next_line();
        }
    }
    table.close();
}

void print_pumps_csv()
{
    report_print_first(TITLE);
    report_next_line();
    report_rule();
    for (const char* cell : {"", "", "Suction", "", "Discharge", "", "Shaft axis direction", "", ""})
        csv_add_text(cell);
    report_next_line();
    for (const char* cell : {"Description", "Type", "Node", "Loc", "Node", "Loc", "X comp", "Y comp", "Z comp"})
        csv_add_text(cell);
    for (const char* cell : {"X ", "Y ", "Z "}) {
        csv_add_text(cell);
        csv_add_unit_cell(LENGTH);
    }
    for (const char* cell : {"Pump Type", "Pump Size", "Pump Material", "Bolt Size / Mounting", "Temp. "})
        csv_add_text(cell);
    csv_add_unit_cell(TEMPERATURE);
    report_next_line();
    for (const PumpRecord& p : pumps()) {
        csv_add_text(p.name);
        csv_add_text(pump_kind_text(p));
        csv_add_cell(node_text(p.suction_node));
        csv_add_text(location_cell(p, false));
        csv_add_cell(node_text(p.discharge_node));
        csv_add_text(location_cell(p, true));
        for (int i = 0; i < 3; ++i)
            csv_add_cell(shaft_and_centre_entered(p)
                             ? format_real_exact(p.shaft_axis[static_cast<std::size_t>(i)], 8, 3)
                             : "");
        for (int i = 0; i < 3; ++i)
            csv_add_cell(shaft_and_centre_entered(p) ? format_length(p.centre[static_cast<std::size_t>(i)]) : "");
        if (hi_pump(p)) {
            csv_add_text(hi_type_short(p.hi_type));
            csv_add_text(hi_size_text(p.hi_type, p.hi_size));
            csv_add_text(hi_material_short(p.hi_material));
            csv_add_text(hi_mounting_text(p.hi_type, p.hi_mounting));
            csv_add_cell(format_temperature(p.temperature));
        }
        report_next_line();
    }
    report_rule();
}

// Page lines of fields: as many fields on a line as its width takes.
class FieldLines {
public:
    void add(const std::string& field) { fields_.push_back(field); }
    void print()
    {
        const int width = gdi_printable_rect().width();
        Surface& s = gdi_measure_surface();
        std::string line;
        for (const std::string& f : fields_) {
            const std::string joined = line.empty() ? f : line + " " + f;
            if (!line.empty() && s.text_width(joined) > width) {
                gdi_print_text(line);
                gdi_next_line();
                line = f;
            } else {
                line = joined;
            }
        }
        if (!line.empty()) {
            gdi_print_text(line);
            gdi_next_line();
        }
        fields_.clear();
    }

private:
    std::vector<std::string> fields_;
};

void print_pumps_pages()
{
    for (const PumpRecord& p : pumps()) {
        gdi_ensure_lines(8);
        gdi_print_title_bar("Pump: " + p.name);
        gdi_next_line();
        const bool hi = hi_pump(p);
        FieldLines line;
        line.add(std::string("Type = ") + pump_kind_text(p));
        if (p.suction_node != 0) {
            line.add("Suct. Node: " + node_text(p.suction_node));
            if (!hi)
                line.add("Suct. Loc: " + location_cell(p, false));
        }
        if (p.discharge_node != 0) {
            line.add("Disc. Node: " + node_text(p.discharge_node));
            const std::string loc = location_cell(p, true);
            if (!loc.empty())
                line.add("Disc. Loc: " + loc);
        }
        if (shaft_and_centre_entered(p))
            line.add("Shaft axis direction: " + format_real_exact(p.shaft_axis[0], 8, 3) + ", " +
                     format_real_exact(p.shaft_axis[1], 8, 3) + ", " + format_real_exact(p.shaft_axis[2], 8, 3));
        line.print();
        if (shaft_and_centre_entered(p)) {
            line.add("Location of center: " + format_length(p.centre[0]) + ", " + format_length(p.centre[1]) + ", " +
                     format_length(p.centre[2]) + " " + unit_label(LENGTH));
            if (hi && (p.hi_type == HI_B735 || p.hi_type == HI_AXIAL_SPLIT))
                line.add("Bolt/Mounting: " + hi_mounting_text(p.hi_type, p.hi_mounting));
            line.print();
        }
        if (hi) {
            line.add("Pump Type: " + hi_type_short(p.hi_type));
            line.add("Pump Size: " + hi_size_text(p.hi_type, p.hi_size));
            line.add("Pump Material: " + hi_material_short(p.hi_material));
            line.add("Pump Temp: " + format_temperature(p.temperature) + " " + unit_label(TEMPERATURE));
            line.print();
        }
    }
}

}  // namespace

int edit_pump(PumpRecord& pump, int number, WindowId owner)
{
    PumpDialog proc(pump, number);
    return run_dialog(PUMP_DIALOG, proc, owner) == 1 ? 1 : 0;
}

const char* pump_kind_text(const PumpRecord& pump)
{
    switch (pump_kind(pump)) {
    case PUMP_ANSI_HI: return "ANSI/HI";
    case PUMP_VERTICAL_INLINE_API610: return "Vertical inline";
    default: return pump.vertical ? "Vertical inline" : "Horizontal";
    }
}

void show_pumps_table() { open_in_list_window(table(), 1, true); }
TableWindow& pumps_table() { return table(); }

void print_pumps()
{
    if (pumps().empty())
        return;
    const ReportState& s = report_state();
    if (s.printing_pages)
        print_pumps_pages();
    else if (s.text_report && s.csv_mode)
        print_pumps_csv();
    else if (s.text_report)
        print_pumps_text();
}

namespace {

// The horizontal pumps whose shafts have no horizontal part under the
// vertical axis just chosen, which the report then cannot check.
std::string pumps_without_horizontal_shaft()
{
    std::string names;
    for (int i = 1; i <= pumps().size(); ++i)
        if (!pump_shaft_axis_refusal(pumps()[i]).empty())
            names += (names.empty() ? "" : ", ") + pumps()[i].name;
    if (names.empty())
        return {};
    const bool z = analysis_options().z_vertical;
    return c_format("With %c vertical, the shafts of these horizontal pumps have no horizontal part and the rotating "
                    "equipment report cannot check them: %s\nGive each shaft an %s component (Misc > Pumps), "
                    "make the pump vertical inline, or switch the vertical axis back.",
                    z ? 'Z' : 'Y', names.c_str(), z ? "X or Y" : "X or Z");
}

}  // namespace

void install_pumps_ui()
{
    set_vertical_axis_switch_note(pumps_without_horizontal_shaft);
    subscribe_document_changed("pumps table", [](const DocumentChange& change) {
        if (change.kind == DocumentChange::Cleared && change.part == SECTION_PUMPS) {
            table().clear_draft();
            table_reset(table());
        }
    });
    register_data_list(DataList{TITLE, [] { return pumps().size(); }, show_pumps_table, true, CMD_PUMPS});
    register_command(CMD_PUMPS, [](int) { show_pumps_table(); });
}
