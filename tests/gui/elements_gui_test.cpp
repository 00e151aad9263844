// The bend, miter and jacketed-bend dialogs and the Bends table on the Qt
// backend: each dialog is answered from a timer by clicking and typing into
// its widgets, refusals come as message boxes, and the table shows the
// stored bends in the list window.
#include "elements/bend.h"
#include "elements/element_dialog_ids.h"
#include "elements/jacketed_bend.h"
#include "elements/miter.h"
#include "elements/valve.h"
#include "elements/ui/element_ui.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/frame.h"
#include "framework/units.h"
#include "gui/gui_dialogs.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/property_sets.h"
#include "model/model.h"
#include "model/piping_codes.h"
#include "model/ui/list_window.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

namespace {

// Answers the modal dialogs that open while it lives: each dialog visit
// runs the next step (which ends by pressing a button); message boxes are
// recorded and closed; a dialog seen after the last step is cancelled.
class ModalScript {
public:
    using Step = std::function<void(ModalScript&, QDialog&)>;
    explicit ModalScript(std::vector<Step> steps) : steps_(std::move(steps))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(30);
    }
    ~ModalScript() { timer_.stop(); }

    std::vector<std::string> messages;
    std::size_t done = 0;
    bool missing_widget = false;

    void type(QDialog& d, int id, const std::string& text)
    {
        auto* edit = d.findChild<QLineEdit*>(item_name(id));
        if (!edit) {
            missing_widget = true;
            return;
        }
        edit->setFocus();
        edit->selectAll();
        edit->insert(QString::fromStdString(text));
    }
    // OK and Cancel are clicked once the step has returned, since a refusal
    // opens a message box in a loop of its own.
    void click(QDialog& d, int id)
    {
        auto* button = d.findChild<QAbstractButton*>(item_name(id));
        if (!button)
            missing_widget = true;
        else if (id == IDOK || id == IDCANCEL)
            QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
        else
            button->click();
    }
    bool checked(QDialog& d, int id)
    {
        auto* button = d.findChild<QAbstractButton*>(item_name(id));
        return button && button->isChecked();
    }
    void choose(QDialog& d, int id, const char* text)
    {
        auto* combo = d.findChild<QComboBox*>(item_name(id));
        const int index = combo ? combo->findText(QString::fromLatin1(text)) : -1;
        if (index < 0) {
            missing_widget = true;
            return;
        }
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || busy_)
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages.push_back(box->text().toStdString());
            box->accept();
            return;
        }
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog)
            return;
        if (done >= steps_.size()) {
            dialog->reject();
            return;
        }
        busy_ = true;   // a step's click may run a nested message loop
        steps_[done++](*this, *dialog);
        busy_ = false;
    }

    std::vector<Step> steps_;
    QTimer timer_;
    bool busy_ = false;
};

class GuiElementsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        open_list_frames();
        install_property_sets();
        install_elements_ui();
        jacket_hooks().pipe_load_names = [] { return std::vector<std::string>{"L1"}; };
        PipeMaterial cs;
        cs.name = "CS";
        pipe_materials().push_back(cs);
        for (const auto& [name, od, t] : {std::tuple{"S6", 6.625f, 0.28f}, std::tuple{"S10", 10.75f, 0.365f}}) {
            PipeSection s;
            s.name = name;
            s.nominal_size = "Non Std";
            s.outside_diameter = od;
            s.thickness = t;
            pipe_sections().push_back(s);
        }
        // From 10, pipe to 20, bend at 30, pipes on to 40 and 50.
        add_row(10, ET_FROM, 0, 0);
        add_row(20, ET_PIPE, 100, 0);
        add_row(30, ET_BEND, 100, 0);
        add_row(40, ET_PIPE, 0, 100);
        add_row(50, ET_PIPE, 0, 100);
        make_model();
        backend().process_events();
    }
    void TearDown() override
    {
        close_list_frames();
    }
    static void add_row(int node, int etype, float dx, float dy)
    {
        const int r = append_layout_row();
        LayoutRow& row = model().rows[r];
        row.node = node;
        row.etype = etype;
        row.dx = dx;
        row.dy = dy;
        if (etype != ET_FROM) {
            row.material = "CS";
            row.section = "S6";
            row.load = "L1";
        }
        row.create_element_object();
    }
};

}  // namespace

TEST_F(GuiElementsTest, BendDialogStoresWhatIsTypedAndTheBendsTableShowsIt)
{
    piping_code() = CODE_B313;
    {
        ModalScript script({
            [](ModalScript& s, QDialog& d) {
                EXPECT_TRUE(s.checked(d, BEND_LONG));
                s.click(d, BEND_USER);
                s.type(d, BEND_RADIUS, "15");
                s.type(d, BEND_SIF_IN, "0.99");
                s.click(d, IDOK);   // refused: the dialog stays open
            },
            [](ModalScript& s, QDialog& d) {
                s.type(d, BEND_SIF_IN, "1.5");
                s.type(d, BEND_THICKNESS, "0.3");
                s.click(d, IDOK);
            },
        });
        EXPECT_TRUE(edit_bend(3, main_frame().window));
        EXPECT_EQ(script.done, 2u);
        EXPECT_FALSE(script.missing_widget);
        EXPECT_EQ(script.messages, std::vector<std::string>{"SIF value is less than 1.00"});
    }
    const Bend& b = dynamic_cast<const Bend&>(*model().rows[3].element);
    EXPECT_EQ(b.geometry.radius_kind, RADIUS_USER);
    EXPECT_FLOAT_EQ(b.geometry.radius, 15.0f);
    EXPECT_FLOAT_EQ(b.geometry.thickness, 0.3f);
    EXPECT_FLOAT_EQ(b.sif_in, 1.5f);

    ElementRowsTable& table = bends_table();
    open_element_rows_table(table);
    backend().process_events();
    ASSERT_EQ(list_window_table(), &table);
    EXPECT_EQ(table.title, "Bends");
    EXPECT_EQ(table.record_count(), 1);
    EXPECT_EQ(table.cell_text(1, 1, 0), "30");
    EXPECT_EQ(table.cell_text(1, 2, 0), format_dimension(15));
    EXPECT_EQ(table.cell_text(1, 3, 0), "User");
    EXPECT_NE(table_report_text(table, true).find("30,15.0000 U,0.3000"), std::string::npos);
}

TEST_F(GuiElementsTest, MiterAndJacketedBendDialogs)
{
    {
        ModalScript script({[](ModalScript& s, QDialog& d) {
            s.type(d, MITER_RADIUS, "12");
            s.click(d, MITER_WIDELY);
            EXPECT_FALSE(s.checked(d, MITER_CLOSELY));
            s.click(d, IDOK);
        }});
        EXPECT_TRUE(edit_miter(4, main_frame().window));
        EXPECT_FALSE(script.missing_widget);
    }
    const auto& m = dynamic_cast<const Miter&>(*model().rows[4].element);
    EXPECT_FLOAT_EQ(m.geometry.radius, 12.0f);
    EXPECT_EQ(m.spacing, MITER_WIDELY_SPACED_ID);

    // The jacket's and the core's radius are two groups of radio buttons.
    {
        ModalScript script({[](ModalScript& s, QDialog& d) {
            s.choose(d, JBEND_JACKET_SECTION, "S10");
            s.click(d, JBEND_CORE_USER);
            EXPECT_TRUE(s.checked(d, JBEND_JACKET_LONG));
            EXPECT_TRUE(s.checked(d, JBEND_CORE_USER));
            s.type(d, JBEND_CORE_RADIUS, "12");
            s.click(d, IDOK);
        }});
        EXPECT_TRUE(edit_jacketed_bend(3, main_frame().window));
        EXPECT_FALSE(script.missing_widget);
        EXPECT_TRUE(script.messages.empty()) << script.messages.front();
    }
    const auto& jb = dynamic_cast<const JacketedBend&>(*model().rows[3].element);
    EXPECT_EQ(jb.jacket.section, "S10");
    EXPECT_EQ(jb.jacket.radius_kind, RADIUS_LONG);
    EXPECT_EQ(jb.geometry.radius_kind, RADIUS_USER);
    EXPECT_FLOAT_EQ(jb.geometry.radius, 12.0f);
}

TEST_F(GuiElementsTest, EverySpecialElementDialogStoresOnTheWindowSystem)
{
    // Row 5 (node 50, along Y) becomes each kind through its dialog in turn;
    // the tie rod's first OK is refused (no stiffness).
    struct Visit {
        bool (*edit)(int, WindowId);
        int etype;
        std::vector<std::pair<int, const char*>> fields;
    };
    const std::vector<Visit> visits = {
        {edit_beam, ET_BEAM, {{BEAM_BETA, "30"}}},
        {edit_ball_joint, ET_BALL_JOINT, {{BALL_BENDING_STIFFNESS, "1000"}, {BALL_BENDING_LIMIT, "None"}}},
        {edit_hinge_joint, ET_HINGE_JOINT, {{HINGE_STIFFNESS, "500"}, {HINGE_AXIS_X + 2, "1"}}},
        {edit_rigid, ET_RIGID, {{RIGID_WEIGHT, "150"}}},
        {edit_bellows, ET_BELLOWS,
         {{BELLOWS_AXIAL, "1000"}, {BELLOWS_TORSIONAL, "10"}, {BELLOWS_LATERAL, "10"}, {BELLOWS_MEAN_DIAMETER, "8"}}},
        {edit_slip_joint, ET_SLIP_JOINT, {{SLIP_FRICTION_FORCE, "250"}}},
        {edit_elastic, ET_ELASTIC, {{ELASTIC_KX, "100"}, {ELASTIC_X_AXIS, "1"}, {ELASTIC_Y_AXIS + 1, "1"}}},
        {edit_valve, ET_VALVE, {{VALVE_WEIGHT, "300"}}},
    };
    for (const Visit& v : visits) {
        SCOPED_TRACE(element_type_name(v.etype));
        ModalScript script({[&v](ModalScript& s, QDialog& d) {
            for (const auto& [id, text] : v.fields)
                s.type(d, id, text);
            s.click(d, IDOK);
        }});
        EXPECT_TRUE(v.edit(5, main_frame().window));
        EXPECT_FALSE(script.missing_widget);
        EXPECT_TRUE(script.messages.empty()) << script.messages.front();
        EXPECT_EQ(model().rows[5].etype, v.etype);
    }
    {
        ModalScript script({
            [](ModalScript& s, QDialog& d) { s.click(d, IDOK); },
            [](ModalScript& s, QDialog& d) {
                s.type(d, TIE_TENSION_STIFFNESS, "2000");
                s.click(d, IDOK);
            },
        });
        EXPECT_TRUE(edit_tie_rod(5, main_frame().window));
        EXPECT_EQ(script.messages, std::vector<std::string>{"At least one stiffness is required"});
        EXPECT_EQ(model().rows[5].etype, ET_TIE_ROD);
    }
    // The tie rod's table in the list window.
    ElementRowsTable& table = tie_rods_table();
    open_element_rows_table(table);
    backend().process_events();
    ASSERT_EQ(list_window_table(), &table);
    EXPECT_EQ(table.title, "Tie rods");
    EXPECT_EQ(table.record_count(), 1);
    EXPECT_EQ(table.cell_text(1, 3, 0), format_stiffness(2000));
}

TEST_F(GuiElementsTest, ValveTypeIsChosenInItsCombo)
{
    {
        ModalScript script({[](ModalScript& s, QDialog& d) {
            s.type(d, VALVE_WEIGHT, "250");
            s.choose(d, VALVE_TYPE, "Gate");
            s.click(d, IDOK);
        }});
        EXPECT_TRUE(edit_valve(2, main_frame().window));
        EXPECT_FALSE(script.missing_widget);
    }
    const auto& v = dynamic_cast<const Valve&>(*model().rows[2].element);
    EXPECT_EQ(v.valve_type, 1);
    EXPECT_FLOAT_EQ(v.weight, 250.0f);
    ElementRowsTable& table = valves_table();
    open_element_rows_table(table);
    backend().process_events();
    ASSERT_EQ(list_window_table(), &table);
    EXPECT_EQ(table.cell_text(1, 3, 0), format_weight(250));
}
