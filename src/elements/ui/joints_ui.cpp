// The ball-joint and hinge dialogs (BALL_DIALOG, HINGE_DIALOG), the "Ball
// joints" and "Hinge joints" tables and their printed and CSV forms.
#include "elements/element_dialog_ids.h"
#include "elements/joints.h"
#include "elements/ui/dialogs_special_elements.h"
#include "elements/ui/element_ui.h"
#include "elements/ui/kind_table.h"
#include "elements/ui/value_dialog.h"
#include "framework/errors.h"
#include "framework/ui/dialog_helper.h"
#include "model/nodes.h"

#include <cmath>

namespace {

BallJoint* ball_of_row(int row)
{
    return row_element_of<BallJoint>(row, ET_BALL_JOINT);
}
HingeJoint* hinge_of_row(int row)
{
    return row_element_of<HingeJoint>(row, ET_HINGE_JOINT);
}

void lock_items(int first, int last)
{
    for (int id = first; id <= last; ++id)
        dialog_set_readonly(id);
    dialog_set_focus(IDOK);
}

class BallDialog final : public ValueDialog {
public:
    using ValueDialog::ValueDialog;

    void init(Dialog& d) override
    {
        d.set_caption(row_caption_from_to(row_, "Ball joint"));
        dialog_set_unit_label(BALL_STIFFNESS_UNIT, ROT_STIFFNESS);
        dialog_set_unit_label(BALL_LIMIT_UNIT, ANGLE);
        dialog_set_unit_label(BALL_FRICTION_UNIT, MOMENT);
        dialog_set_unit_label(BALL_WEIGHT_UNIT, WEIGHT);
        LayoutRow::fill_element_dialog(row_, d, ET_BALL_JOINT);
        if (const BallJoint* b = ball_of_row(row_))
            stored_.copy_from(*b);
        remember_texts(d, {BALL_BENDING_STIFFNESS, BALL_TORSION_STIFFNESS, BALL_BENDING_LIMIT, BALL_TORSION_LIMIT,
                           BALL_BENDING_FRICTION, BALL_TORSION_FRICTION, BALL_WEIGHT});
        if (input_locked())
            lock_items(BALL_BENDING_STIFFNESS, BALL_WEIGHT);
        else
            dialog_select_focus(BALL_BENDING_STIFFNESS);
    }

    bool store(Dialog&) override
    {
        BallJoint next;
        next.bending_stiffness =
            read_value(BALL_BENDING_STIFFNESS, parse_rot_stiffness_buffer, "Bending stiffness", stored_.bending_stiffness);
        next.torsional_stiffness = read_value(BALL_TORSION_STIFFNESS, parse_rot_stiffness_buffer,
                                              "Torsional stiffness", stored_.torsional_stiffness);
        next.bending_limit = read_limit(BALL_BENDING_LIMIT, stored_.bending_limit);
        next.torsional_limit = read_limit(BALL_TORSION_LIMIT, stored_.torsional_limit);
        next.bending_friction = read_value(BALL_BENDING_FRICTION, parse_moment_buffer, "Bending friction torque",
                                           stored_.bending_friction, 0.0f);
        next.torsional_friction = read_value(BALL_TORSION_FRICTION, parse_moment_buffer,
                                             "Torsional friction torque", stored_.torsional_friction, 0.0f);
        next.weight = read_value(BALL_WEIGHT, parse_weight_buffer, "Weight", stored_.weight);
        BallJoint* ball = ball_of_row(row_);
        if (ball && ball->same_values(next)) {
            discard_undo_snapshot();
            return true;
        }
        if (!ball)
            ball = dynamic_cast<BallJoint*>(LayoutRow::change_etype(row_, ET_BALL_JOINT));
        KV_ASSERT(ball != nullptr);
        ball->copy_from(next);
        // A joint has no length: it sits at the node before it.
        LayoutRow& r = model().rows[row_];
        const bool moved = r.dx != 0.0f || r.dy != 0.0f || r.dz != 0.0f;
        r.dx = r.dy = r.dz = 0.0f;
        finish_store(moved);
        return true;
    }

private:
    BallJoint stored_;
};

class HingeDialog final : public ValueDialog {
public:
    using ValueDialog::ValueDialog;

    void init(Dialog& d) override
    {
        d.set_caption(row_caption_from_to(row_, "Hinge joint"));
        dialog_set_unit_label(HINGE_STIFFNESS_UNIT, ROT_STIFFNESS);
        dialog_set_unit_label(HINGE_LIMIT_UNIT, ANGLE);
        dialog_set_unit_label(HINGE_FRICTION_UNIT, MOMENT);
        dialog_set_unit_label(HINGE_WEIGHT_UNIT, WEIGHT);
        const HingeJoint* hinge = hinge_of_row(row_);
        if (hinge)
            stored_.copy_from(*hinge);
        else
            d.set_text(HINGE_LIMIT, format_angle_or_none(NO_ROTATION_LIMIT));
        LayoutRow::fill_element_dialog(row_, d, ET_HINGE_JOINT);
        // A new hinge (or one without an axis) proposes the pipe's direction.
        if (!hinge || !hinge->has_axis()) {
            double x = 0, y = 0, z = 0;
            const Model& m = model();
            if (m.rows.valid(row_) && pipe_direction_at_node(m.rows[row_].node_index, x, y, z) == 0) {
                const double c[3] = {x, y, z};
                for (int i = 0; i < 3; ++i)
                    d.set_text(HINGE_AXIS_X + i, std::fabs(c[i]) < 1e-9 ? std::string() : format_real(c[i], 8, 3));
            }
        }
        remember_texts(d, {HINGE_STIFFNESS, HINGE_LIMIT, HINGE_FRICTION, HINGE_WEIGHT});
        if (hinge && hinge->has_axis())
            remember_texts(d, {HINGE_AXIS_X, HINGE_AXIS_X + 1, HINGE_AXIS_X + 2});
        if (input_locked())
            lock_items(HINGE_STIFFNESS, HINGE_AXIS_X + 2);
        else
            dialog_select_focus(HINGE_STIFFNESS);
    }

    bool store(Dialog&) override
    {
        HingeJoint next;
        next.stiffness = read_value(HINGE_STIFFNESS, parse_rot_stiffness_buffer, "Stiffness", stored_.stiffness);
        next.limit = read_limit(HINGE_LIMIT, stored_.limit);
        next.friction = read_value(HINGE_FRICTION, parse_moment_buffer, "Friction torque", stored_.friction, 0.0f);
        next.weight = read_value(HINGE_WEIGHT, parse_weight_buffer, "Weight", stored_.weight);
        if (untouched(HINGE_AXIS_X) && untouched(HINGE_AXIS_X + 1) && untouched(HINGE_AXIS_X + 2)) {
            for (int i = 0; i < 3; ++i)
                next.axis[i] = stored_.axis[i];
        } else {
            read_direction(HINGE_AXIS_X, next.axis[0], next.axis[1], next.axis[2]);
        }
        HingeJoint* hinge = hinge_of_row(row_);
        if (hinge && hinge->same_values(next)) {
            discard_undo_snapshot();
            return true;
        }
        if (!hinge)
            hinge = dynamic_cast<HingeJoint*>(LayoutRow::change_etype(row_, ET_HINGE_JOINT));
        KV_ASSERT(hinge != nullptr);
        hinge->copy_from(next);
        finish_store(false);
        return true;
    }

private:
    HingeJoint stored_;
};

// ---- Tables ----------------------------------------------------------------------------------

class BallJointsTable final : public KindTable<BallJoint, ET_BALL_JOINT> {
public:
    BallJointsTable()
        : KindTable(BALL_JOINT_ROWS, "Ball joints", "Ball Joint", 9, 2, {0, 0, 12, 12, 12, 12, 12, 12, 12})
    {
        for (int c = 3; c <= 9; ++c)
            alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
        set_groups();
        open_dialog = edit_ball_joint;
    }

    // The group headings name the units: made again each time the table is
    // shown, so that they follow a change of units.
    void on_enter() override
    {
        set_groups();
        KindTable::on_enter();
    }
    void set_groups()
    {
        groups = {{3, 4, label_with_unit("Stiffness", ROT_STIFFNESS), 0},
                  {5, 6, label_with_unit("Rotation limit", ANGLE), 0},
                  {7, 8, label_with_unit("Friction torque", MOMENT), 0}};
    }

    std::string header_text(int c, int line) override
    {
        if (line == 0)
            return c == 1 ? "From" : c == 2 ? "To" : c == 9 ? "Weight" : "";
        if (line != 1)
            return {};
        if (c >= 3 && c <= 8)
            return c % 2 == 1 ? "Bending" : "Torsional";
        return c == 9 ? unit_label(WEIGHT) : "";
    }

    void store_cell(int row, int c, const std::string& text) override
    {
        BallJoint* b = at(row);
        if (!b)
            return;
        take_text(text);
        switch (c) {
        case 3: store_value(row, b->bending_stiffness, cell_value(parse_rot_stiffness_buffer, "Bending stiffness")); break;
        case 4: store_value(row, b->torsional_stiffness, cell_value(parse_rot_stiffness_buffer, "Torsional stiffness")); break;
        case 5: store_value(row, b->bending_limit, cell_limit()); break;
        case 6: store_value(row, b->torsional_limit, cell_limit()); break;
        case 7: store_value(row, b->bending_friction, cell_value(parse_moment_buffer, "Bending friction torque", 0.0f)); break;
        case 8: store_value(row, b->torsional_friction, cell_value(parse_moment_buffer, "Torsional friction torque", 0.0f)); break;
        case 9: store_value(row, b->weight, cell_value(parse_weight_buffer, "Weight")); break;
        default: break;
        }
    }

protected:
    void print_text_form() override
    {
        ReportHeading h;
        h.type_code = ET_BALL_JOINT;
        h.title = "Ball joints";
        h.heading_lines = 2;
        h.entries = {{"Bending", 0, 24}, {"Torsional", 0, 35}, {"Bending", 0, 47}, {"Torsional", 0, 58},
                     {"Weight", 0, 70},  {"From", 1, 6},       {"To", 1, 14}};
        h.units = {{ROT_STIFFNESS, 1, 22, 32}, {ROT_STIFFNESS, 1, 34, 44}, {MOMENT, 1, 46, 55},
                   {MOMENT, 1, 57, 66},        {WEIGHT, 1, 68, 77}};
        print_text_lines(h, [this](int row, int layout) {
            const BallJoint* b = at(row);
            text_nodes(layout, 6, 14);
            report_print_at(format_rot_stiffness(b->bending_stiffness), 22);
            report_print_at(format_rot_stiffness(b->torsional_stiffness), 34);
            if (b->bending_friction != 0.0f)
                report_print_at(format_moment(b->bending_friction), 46);
            if (b->torsional_friction != 0.0f)
                report_print_at(format_moment(b->torsional_friction), 57);
            report_print_at(format_weight(b->weight), 68);
        });
    }
    void print_csv_form() override
    {
        csv_add_text("Ball joints");
        report_rule();
        for (const char* cell : {"", "", "Bending", "Torsional", "Bending", "Torsional", "Weight"})
            csv_add_text(cell);
        report_next_line();
        csv_add_text("From");
        csv_add_text("To");
        for (int q : {ROT_STIFFNESS, ROT_STIFFNESS, MOMENT, MOMENT, WEIGHT})
            csv_add_unit_cell(q);
        report_next_line();
        report_rule();
        for (int row = 1; row <= record_count(); ++row) {
            const BallJoint* b = at(row);
            if (!b)
                continue;
            csv_nodes(layout_row(row));
            csv_add_cell(format_rot_stiffness(b->bending_stiffness));
            csv_add_cell(format_rot_stiffness(b->torsional_stiffness));
            csv_add_cell(format_moment(b->bending_friction));
            csv_add_cell(format_moment(b->torsional_friction));
            csv_add_cell(format_weight(b->weight));
            report_next_line();
        }
        report_rule();
    }
};

class HingeJointsTable final : public KindTable<HingeJoint, ET_HINGE_JOINT> {
public:
    HingeJointsTable()
        : KindTable(HINGE_JOINT_ROWS, "Hinge joints", "Hinge", 9, 2, {0, 0, 12, 12, 12, 12, 10, 10, 10})
    {
        for (int c = 3; c <= 9; ++c)
            alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
        groups = {{7, 9, "Axis direction", 0}};
        open_dialog = edit_hinge_joint;
    }

    std::string header_text(int c, int line) override
    {
        static const char* const first[] = {"", "From", "To", "Rot.Stiffness", "Rot.Limit", "Frict.Torq", "Weight"};
        static const int quantities[] = {0, 0, 0, ROT_STIFFNESS, ANGLE, MOMENT, WEIGHT};
        if (c >= 7 && c <= 9)
            return line == 1 ? (c == 7 ? "X comp" : c == 8 ? "Y comp" : "Z comp") : "";
        if (c < 1 || c > 6)
            return {};
        if (line == 0)
            return first[c];
        return line == 1 && c >= 3 ? unit_label(quantities[c]) : "";
    }

    void store_cell(int row, int c, const std::string& text) override
    {
        HingeJoint* h = at(row);
        if (!h)
            return;
        take_text(text);
        switch (c) {
        case 3: store_value(row, h->stiffness, cell_value(parse_rot_stiffness_buffer, "Stiffness")); break;
        case 4: store_value(row, h->limit, cell_limit()); break;
        case 5: store_value(row, h->friction, cell_value(parse_moment_buffer, "Friction Torque", 0.0f)); break;
        case 6: store_value(row, h->weight, cell_value(parse_weight_buffer, "Weight")); break;
        case 7:
        case 8:
        case 9: {
            static const char* const names[] = {"X comp", "Y comp", "Z comp"};
            store_value(row, h->axis[c - 7], cell_value(parse_real_buffer, names[c - 7]), true);
            break;
        }
        default: break;
        }
    }

protected:
    void print_text_form() override
    {
        ReportHeading h;
        h.type_code = ET_HINGE_JOINT;
        h.title = "Hinge joints";
        h.heading_lines = 2;
        h.entries = {{"Rot.stiff", 0, 20}, {"Frict.torq", 0, 32}, {"Weight", 0, 45}, {"Axis direction", 0, 59},
                     {"From", 1, 6},       {"To", 1, 14},         {"X comp", 1, 55}, {"Y comp", 1, 64},
                     {"Z comp", 1, 73}};
        h.units = {{ROT_STIFFNESS, 1, 18, 30}, {MOMENT, 1, 33, 41}, {WEIGHT, 1, 45, 50}};
        print_text_lines(h, [this](int row, int layout) {
            const HingeJoint* j = at(row);
            text_nodes(layout, 6, 14);
            report_print_at(format_rot_stiffness(j->stiffness), 22);
            if (j->friction != 0.0f)
                report_print_at(format_moment(j->friction), 34);
            report_print_at(format_weight(j->weight), 46);
            for (int i = 0; i < 3; ++i)
                if (j->axis[i] != 0.0f)
                    report_print_at(format_real(j->axis[i], 8, 3), 55 + 9 * i);
        });
    }
    void print_csv_form() override
    {
        csv_add_text("Hinge joints");
        report_rule();
        csv_add_text("From");
        csv_add_text("To");
        for (int q : {ROT_STIFFNESS, MOMENT, WEIGHT})
            csv_add_unit_cell(q);
        for (const char* cell : {"X comp", " Y comp", " Z comp"})
            csv_add_text(cell);
        report_next_line();
        report_rule();
        for (int row = 1; row <= record_count(); ++row) {
            const HingeJoint* j = at(row);
            if (!j)
                continue;
            csv_nodes(layout_row(row));
            csv_add_cell(format_rot_stiffness(j->stiffness));
            csv_add_cell(format_moment(j->friction));
            csv_add_cell(format_weight(j->weight));
            for (float c : j->axis)
                csv_add_cell(format_real(c, 8, 3));
            report_next_line();
        }
        report_rule();
    }
};

}  // namespace

bool edit_ball_joint(int row, WindowId owner)
{
    return edit_element_row<BallDialog>(BALL_DIALOG, row, owner);
}

bool edit_hinge_joint(int row, WindowId owner)
{
    return edit_element_row<HingeDialog>(HINGE_DIALOG, row, owner);
}

ElementRowsTable& ball_joints_table()
{
    return session_part<BallJointsTable>();
}

ElementRowsTable& hinge_joints_table()
{
    return session_part<HingeJointsTable>();
}
