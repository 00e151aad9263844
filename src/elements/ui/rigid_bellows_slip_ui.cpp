// The rigid-element, bellows and slip-joint dialogs (RIGID_DIALOG,
// BELLOWS_DIALOG, SLIP_DIALOG), their tables "Rigid elements", "Bellows" and
// "Slip joints" and the tables' printed and CSV forms.
#include "elements/bellows.h"
#include "elements/element_dialog_ids.h"
#include "elements/rigid_element.h"
#include "elements/slip_joint.h"
#include "elements/ui/dialogs_special_elements.h"
#include "elements/ui/element_ui.h"
#include "elements/ui/kind_table.h"
#include "elements/ui/value_dialog.h"
#include "framework/errors.h"
#include "framework/ui/dialog_helper.h"

namespace {

// ---- Rigid element -------------------------------------------------------------------------------

class RigidDialog final : public ValueDialog {
public:
    using ValueDialog::ValueDialog;

    void init(Dialog& d) override
    {
        d.set_caption(row_caption_from_to(row_, "Rigid element"));
        dialog_set_unit_label(RIGID_WEIGHT_UNIT, WEIGHT);
        LayoutRow::fill_element_dialog(row_, d, ET_RIGID);
        if (const auto* r = row_element_of<RigidElement>(row_, ET_RIGID))
            stored_.copy_from(*r);
        remember_texts(d, {RIGID_WEIGHT});
        if (input_locked()) {
            dialog_set_readonly(RIGID_WEIGHT);
            dialog_disable(RIGID_ADD_CIL);
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(RIGID_WEIGHT);
        }
    }

    bool store(Dialog&) override
    {
        RigidElement next;
        next.weight = read_value(RIGID_WEIGHT, parse_weight_buffer, "Weight", stored_.weight);
        next.add_cil = dialog_is_checked(RIGID_ADD_CIL) ? 1 : 0;
        auto* rigid = row_element_of<RigidElement>(row_, ET_RIGID);
        if (rigid && rigid->same_values(next)) {
            discard_undo_snapshot();
            return true;
        }
        if (!rigid)
            rigid = dynamic_cast<RigidElement*>(LayoutRow::change_etype(row_, ET_RIGID));
        KV_ASSERT(rigid != nullptr);
        rigid->copy_from(next);
        finish_store(false);
        return true;
    }

private:
    RigidElement stored_;
};

class RigidTable final : public KindTable<RigidElement, ET_RIGID> {
public:
    RigidTable() : KindTable(RIGID_ROWS, "Rigid elements", "Rigid element", 4, 1, {0, 0, 12})
    {
        alignments[3] = TextAlign::Right;
        alignments[4] = TextAlign::Center;
        open_dialog = edit_rigid;
    }

    std::string header_text(int c, int line) override
    {
        if (line != 0)
            return {};
        switch (c) {
        case 1: return "From";
        case 2: return "To";
        case 3: return label_with_unit("Weight", WEIGHT);
        case 4: return "Add CIL";
        default: return {};
        }
    }

    void store_cell(int row, int c, const std::string& text) override
    {
        RigidElement* r = at(row);
        if (!r || c != 3)
            return;
        take_text(text);
        store_value(row, r->weight, cell_value(parse_weight_buffer, "Weight"));
    }

protected:
    void print_text_form() override
    {
        ReportHeading h;
        h.type_code = ET_RIGID;
        h.title = "Rigid elements";
        h.entries = {{"From", 0, 6}, {"To", 0, 14}, {"Weight", 0, 21}, {"Add CIL", 0, 35}};
        h.units = {{WEIGHT, 0, 27, 30}};
        print_text_lines(h, [this](int row, int layout) {
            const RigidElement* r = at(row);
            text_nodes(layout, 6, 14);
            report_print_at(format_weight(r->weight), 23);
            report_print_at(r->add_cil ? "Y" : "N", 35);
        });
    }
    void print_csv_form() override
    {
        csv_add_text("Rigid elements");
        report_rule();
        csv_add_text("From");
        csv_add_text("To");
        csv_add_text("Weight " + unit_label(WEIGHT));
        csv_add_text("Add CIL");
        report_next_line();
        report_rule();
        for (int row = 1; row <= record_count(); ++row) {
            const RigidElement* r = at(row);
            if (!r)
                continue;
            csv_nodes(layout_row(row));
            csv_add_cell(format_weight(r->weight));
            csv_add_text(r->add_cil ? "Y" : "N");
            report_next_line();
        }
        report_rule();
    }
};

// ---- Bellows -------------------------------------------------------------------------------------

class BellowsDialog final : public ValueDialog {
public:
    using ValueDialog::ValueDialog;

    void init(Dialog& d) override
    {
        d.set_caption(row_caption_from_to(row_, "Bellows"));
        const int units[7] = {STIFFNESS, ROT_STIFFNESS, ROT_STIFFNESS, STIFFNESS, AREA, WEIGHT, DIMENSION};
        for (int i = 0; i < 7; ++i)
            dialog_set_unit_label(BELLOWS_UNIT_FIRST + i, units[i]);
        LayoutRow::fill_element_dialog(row_, d, ET_BELLOWS);
        if (const auto* b = row_element_of<Bellows>(row_, ET_BELLOWS))
            stored_.copy_from(*b);
        remember_texts(d, {BELLOWS_AXIAL, BELLOWS_BENDING, BELLOWS_TORSIONAL, BELLOWS_LATERAL, BELLOWS_THRUST_AREA,
                           BELLOWS_WEIGHT, BELLOWS_MEAN_DIAMETER});
        if (input_locked()) {
            for (int id = BELLOWS_AXIAL; id <= BELLOWS_MEAN_DIAMETER; ++id)
                dialog_set_readonly(id);
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(BELLOWS_AXIAL);
        }
    }

    bool store(Dialog&) override
    {
        Bellows next;
        next.axial_stiffness = read_required(BELLOWS_AXIAL, parse_stiffness_buffer, "Axial stiffness",
                                             stored_.axial_stiffness);
        next.bending_stiffness = read_value(BELLOWS_BENDING, parse_rot_stiffness_buffer, "Bending stiffness",
                                            stored_.bending_stiffness);
        next.torsional_stiffness = read_required(BELLOWS_TORSIONAL, parse_rot_stiffness_buffer,
                                                 "Torsional stiffness", stored_.torsional_stiffness);
        next.lateral_stiffness = read_required(BELLOWS_LATERAL, parse_stiffness_buffer, "Lateral stiffness",
                                               stored_.lateral_stiffness);
        next.thrust_area = read_value(BELLOWS_THRUST_AREA, parse_area_buffer, "Pressure thrust area",
                                      stored_.thrust_area);
        next.weight = read_value(BELLOWS_WEIGHT, parse_weight_buffer, "Weight", stored_.weight);
        next.mean_diameter = read_value(BELLOWS_MEAN_DIAMETER, parse_dimension_buffer, "Diameter",
                                        stored_.mean_diameter);
        if (next.mean_diameter == 0.0f && next.bending_stiffness == 0.0f)
            throw_required("Bending Stiffness or Mean diameter");
        auto* bellows = row_element_of<Bellows>(row_, ET_BELLOWS);
        if (bellows && bellows->same_values(next)) {
            discard_undo_snapshot();
            return true;
        }
        // The angular rate of a bellows from its axial rate and mean
        // diameter: ka Dm^2 / 8.
        if (next.bending_stiffness == 0.0f && next.mean_diameter > 0.0f)
            next.bending_stiffness = next.axial_stiffness * next.mean_diameter * next.mean_diameter / 8.0f;
        if (!bellows)
            bellows = dynamic_cast<Bellows*>(LayoutRow::change_etype(row_, ET_BELLOWS));
        KV_ASSERT(bellows != nullptr);
        bellows->copy_from(next);
        finish_store(false);
        return true;
    }

private:
    Bellows stored_;
};

class BellowsTable final : public KindTable<Bellows, ET_BELLOWS> {
public:
    BellowsTable() : KindTable(BELLOWS_ROWS, "Bellows", "Bellows", 9, 3, {0, 0, 12, 12, 12, 12, 12, 12, 12})
    {
        for (int c = 3; c <= 9; ++c)
            alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
        groups = {{3, 6, "Stiffness", 0}};
        open_dialog = edit_bellows;
    }

    std::string header_text(int c, int line) override
    {
        static const char* const second[] = {"", "From", "To", "Axial", "Bending", "Torsional", "Lateral", "Thrust",
                                             "Weight", "Mean Dia."};
        static const int units[] = {0, 0, 0, STIFFNESS, ROT_STIFFNESS, ROT_STIFFNESS, STIFFNESS, AREA, WEIGHT, DIMENSION};
        if (c < 1 || c > 9)
            return {};
        if (line == 1)
            return second[c];
        if (line == 2)
            return c == 7 ? "area " + unit_label(AREA) : c >= 3 ? unit_label(units[c]) : "";
        return {};
    }

    void store_cell(int row, int c, const std::string& text) override
    {
        Bellows* b = at(row);
        if (!b)
            return;
        take_text(text);
        auto required = [&](int (*parse)(float&), const char* name) {
            if (item_text().empty())
                throw_cell_required(name, c);
            return cell_value(parse, name);
        };
        switch (c) {
        case 3: store_value(row, b->axial_stiffness, required(parse_stiffness_buffer, "Axial stiffness")); break;
        case 4: store_value(row, b->bending_stiffness, required(parse_rot_stiffness_buffer, "Bending stiffness")); break;
        case 5: store_value(row, b->torsional_stiffness, required(parse_rot_stiffness_buffer, "Torsional stiffness")); break;
        case 6: store_value(row, b->lateral_stiffness, required(parse_stiffness_buffer, "Lateral stiffness")); break;
        case 7: store_value(row, b->thrust_area, cell_value(parse_area_buffer, "Pressure thrust area")); break;
        case 8: store_value(row, b->weight, cell_value(parse_weight_buffer, "Weight")); break;
        case 9: store_value(row, b->mean_diameter, cell_value(parse_dimension_buffer, "Diameter")); break;
        default: break;
        }
    }

protected:
    void print_text_form() override
    {
        ReportHeading h;
        h.type_code = ET_BELLOWS;
        h.title = "Bellows";
        h.heading_lines = 2;
        h.entries = {{"Axial     Lateral     Angular   Torsional Thrust area", 0, 19},
                     {"Weight", 0, 73},
                     {"Mean Dia.", 0, 80},
                     {"From", 1, 5},
                     {"To", 1, 12}};
        h.units = {{STIFFNESS, 1, 17, 25},     {STIFFNESS, 1, 28, 36}, {ROT_STIFFNESS, 1, 39, 49},
                   {ROT_STIFFNESS, 1, 50, 60}, {AREA, 1, 62, 70},      {WEIGHT, 1, 74, 77},
                   {DIMENSION, 1, 80, 85}};
        print_text_lines(h, [this](int row, int layout) {
            const Bellows* b = at(row);
            text_nodes(layout, 5, 12);
            report_print_at(format_stiffness(b->axial_stiffness), 18);
            report_print_at(format_stiffness(b->lateral_stiffness), 29);
            report_print_at(format_rot_stiffness(b->bending_stiffness), 40);
            report_print_at(format_rot_stiffness(b->torsional_stiffness), 51);
            report_print_at(format_area(b->thrust_area), 62);
            report_print_at(format_weight(b->weight), 73);
            report_print_at(format_dimension(b->mean_diameter), 80);
        });
    }
    void print_csv_form() override
    {
        csv_add_text("Bellows");
        report_rule();
        for (const char* cell : {"", "", "Axial", "Lateral", "Angular", "Torsional", "Thrust area", "Weight", "Mean Dia"})
            csv_add_text(cell);
        report_next_line();
        csv_add_text("");
        csv_add_text("");
        for (int q : {STIFFNESS, STIFFNESS, ROT_STIFFNESS, ROT_STIFFNESS, AREA, WEIGHT, DIMENSION})
            csv_add_unit_cell(q);
        report_next_line();
        report_rule();
        for (int row = 1; row <= record_count(); ++row) {
            const Bellows* b = at(row);
            if (!b)
                continue;
            csv_nodes(layout_row(row));
            csv_add_cell(format_stiffness(b->axial_stiffness));
            csv_add_cell(format_stiffness(b->lateral_stiffness));
            csv_add_cell(format_rot_stiffness(b->bending_stiffness));
            csv_add_cell(format_rot_stiffness(b->torsional_stiffness));
            csv_add_cell(format_area(b->thrust_area));
            csv_add_cell(format_weight(b->weight));
            csv_add_cell(format_dimension(b->mean_diameter));
            report_next_line();
        }
        report_rule();
    }
};

// ---- Slip joint ------------------------------------------------------------------------------------

// The four values of a slip joint: parser and name by column (3..6).
struct SlipField {
    int (*parse)(float&);
    const char* name;
    float SlipJoint::*field;
};
const SlipField SLIP_FIELDS[4] = {{parse_force_buffer, "Friction force", &SlipJoint::friction_force},
                                  {parse_moment_buffer, "Friction torque", &SlipJoint::friction_torque},
                                  {parse_area_buffer, "Pressure thrust area", &SlipJoint::thrust_area},
                                  {parse_weight_buffer, "Weight", &SlipJoint::weight}};

class SlipDialog final : public ValueDialog {
public:
    using ValueDialog::ValueDialog;

    void init(Dialog& d) override
    {
        d.set_caption(row_caption_from_to(row_, "Slip joint"));
        const int units[4] = {FORCE, MOMENT, AREA, WEIGHT};
        for (int i = 0; i < 4; ++i)
            dialog_set_unit_label(SLIP_UNIT_FIRST + i, units[i]);
        LayoutRow::fill_element_dialog(row_, d, ET_SLIP_JOINT);
        if (const auto* s = row_element_of<SlipJoint>(row_, ET_SLIP_JOINT))
            stored_.copy_from(*s);
        remember_texts(d, {SLIP_FRICTION_FORCE, SLIP_FRICTION_TORQUE, SLIP_THRUST_AREA, SLIP_WEIGHT});
        if (input_locked()) {
            for (int id = SLIP_FRICTION_FORCE; id <= SLIP_WEIGHT; ++id)
                dialog_set_readonly(id);
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(SLIP_FRICTION_FORCE);
        }
    }

    bool store(Dialog&) override
    {
        SlipJoint next;
        for (int i = 0; i < 4; ++i) {
            const SlipField& f = SLIP_FIELDS[i];
            next.*f.field = read_value(SLIP_FRICTION_FORCE + i, f.parse, f.name, stored_.*f.field, 0.0f);
        }
        auto* joint = row_element_of<SlipJoint>(row_, ET_SLIP_JOINT);
        if (joint && joint->same_values(next)) {
            discard_undo_snapshot();
            return true;
        }
        if (!joint)
            joint = dynamic_cast<SlipJoint*>(LayoutRow::change_etype(row_, ET_SLIP_JOINT));
        KV_ASSERT(joint != nullptr);
        joint->copy_from(next);
        finish_store(false);
        return true;
    }

private:
    SlipJoint stored_;
};

class SlipJointsTable final : public KindTable<SlipJoint, ET_SLIP_JOINT> {
public:
    SlipJointsTable() : KindTable(SLIP_JOINT_ROWS, "Slip joints", "Slip Joint", 6, 2, {0, 0, 12, 12, 12, 12})
    {
        for (int c = 3; c <= 6; ++c)
            alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
        open_dialog = edit_slip_joint;
    }

    std::string header_text(int c, int line) override
    {
        static const char* const first[] = {"", "From", "To", "Frict.force", "Frict.torque", "Thrust area", "Weight"};
        static const int units[] = {0, 0, 0, FORCE, MOMENT, AREA, WEIGHT};
        if (c < 1 || c > 6)
            return {};
        if (line == 0)
            return first[c];
        return line == 1 && c >= 3 ? unit_label(units[c]) : "";
    }

    // Typed cells are stored with the dialog's parsers and names.
    void store_cell(int row, int c, const std::string& text) override
    {
        SlipJoint* s = at(row);
        if (!s || c < 3 || c > 6)
            return;
        take_text(text);
        const SlipField& f = SLIP_FIELDS[c - 3];
        store_value(row, s->*f.field, cell_value(f.parse, f.name, 0.0f));
    }

protected:
    void print_text_form() override
    {
        ReportHeading h;
        h.type_code = ET_SLIP_JOINT;
        h.title = "Slip joints";
        h.heading_lines = 2;
        h.entries = {{"Frict force", 0, 20}, {"Frict torque", 0, 34}, {"Thrust area", 0, 49}, {"Weight", 0, 63},
                     {"From", 1, 6},         {"To", 1, 14}};
        h.units = {{FORCE, 1, 22, 27}, {MOMENT, 1, 35, 43}, {AREA, 1, 50, 58}, {WEIGHT, 1, 63, 68}};
        print_text_lines(h, [this](int row, int layout) {
            const SlipJoint* s = at(row);
            text_nodes(layout, 6, 14);
            report_print_at(s->cell_text(3), 23);
            report_print_at(s->cell_text(4), 37);
            report_print_at(s->cell_text(5), 52);
            report_print_at(format_weight(s->weight), 64);
        });
    }
    void print_csv_form() override
    {
        csv_add_text("Slip joints");
        report_rule();
        for (const char* cell : {"", "", "Frict force", "Frict torque", "Thrust area", "Weight"})
            csv_add_text(cell);
        report_next_line();
        csv_add_text("");
        csv_add_text("");
        for (int q : {FORCE, MOMENT, AREA, WEIGHT})
            csv_add_unit_cell(q);
        report_next_line();
        report_rule();
        for (int row = 1; row <= record_count(); ++row) {
            const SlipJoint* s = at(row);
            if (!s)
                continue;
            csv_nodes(layout_row(row));
            for (int c = 3; c <= 6; ++c)
                csv_add_cell(s->cell_text(c));
            report_next_line();
        }
        report_rule();
    }
};

}  // namespace

bool edit_rigid(int row, WindowId owner)
{
    return edit_element_row<RigidDialog>(RIGID_DIALOG, row, owner);
}

bool edit_bellows(int row, WindowId owner)
{
    return edit_element_row<BellowsDialog>(BELLOWS_DIALOG, row, owner);
}

bool edit_slip_joint(int row, WindowId owner)
{
    return edit_element_row<SlipDialog>(SLIP_DIALOG, row, owner);
}

ElementRowsTable& rigid_elements_table()
{
    return session_part<RigidTable>();
}

ElementRowsTable& bellows_table()
{
    return session_part<BellowsTable>();
}

ElementRowsTable& slip_joints_table()
{
    return session_part<SlipJointsTable>();
}
