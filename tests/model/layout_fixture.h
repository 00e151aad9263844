// The headless set-up of the layout and list window tests: the main and list
// frames with their menus and keys, the layout subsystem installed on them,
// and a bend class that copies itself as the generate command expects.
//
// On the scripted backend the main frame is 1000 x 400; the layout table's
// cells are typed through the view as the window system delivers keys.
#pragma once

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/report.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/ui/layout_install.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "model/ui/model_edit.h"
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// A bend that keeps its record, counts itself among the bends and, when it is
// copied, moves its intermediate nodes by the generate command's offset.
struct EditBend : ElementData {
    BendGeometry bend;
    BendGeometry* bend_geometry() override { return &bend; }
    void copy_from(const ElementData& other) override {
        const auto* same = dynamic_cast<const EditBend*>(&other);
        if (!same) return;
        bend.radius_kind = same->bend.radius_kind;
        bend.radius = same->bend.radius;
        bend.node1 = same->bend.node1 ? same->bend.node1 + generate_node_offset() : 0;
        bend.node2 = same->bend.node2 ? same->bend.node2 + generate_node_offset() : 0;
        bend.angle1 = same->bend.angle1;
        bend.angle2 = same->bend.angle2;
    }
    void count() override { model().list(BEND_ROWS).count_one(); }
    void register_row(int row) override { model().list(BEND_ROWS).add(row); }
    std::string description() const override { return bend.radius > 0 ? "R=" + format_dimension(bend.radius) : ""; }
};

// A data item that refers to a second node (as a restraint with a connected
// node does) and records the renumbering it was given.
struct ConnectedItem : DataItem {
    int connected = 0;
    void copy_from(const DataItem& other) override {
        if (const auto* same = dynamic_cast<const ConnectedItem*>(&other)) connected = same->connected;
    }
    void count() override { model().list(ANCHOR_ROWS).count_one(); }
    void register_row(int row) override { model().list(ANCHOR_ROWS).add(row); }
    void renumber_node(int old_number, int new_number) override {
        if (connected == old_number) connected = new_number;
    }
    std::string description() const override { return connected ? "to " + node_text(connected) : ""; }
};

class LayoutFixture : public ::testing::Test {
protected:
    void SetUp() override {
        hb = &install_headless_backend();
        set_title_file_text(title_file_for_path(""));
        set_element_factory(ET_BEND, [] { return std::make_unique<EditBend>(); });
        set_data_factory(DT_ANCHOR, [] { return std::make_unique<ConnectedItem>(); });
        // Every section bends with a long radius of 15 inch.
        model_hooks().section_bend_radius = [](const std::string&, int) { return 15.0; };

        frame_create(main_frame(), "Korvane", "Korvane", nullptr, "LAYOUT_MENU", nullptr, "LAYOUT_ACCEL");
        frame_create(list_frame(), "KorvaneList", "Korvane", nullptr, "LIST_MENU", nullptr, "LIST_ACCEL");
        list_frame().previous_frame = &main_frame();
        script().resize(main_frame().window, 1000, 400);
        script().resize(list_frame().window, 800, 300);
        backend().show_window(main_frame().window, WindowPlacement::SHOW_NORMAL);
        frame_make_current(main_frame());
        install_layout_subsystem();
    }

    void TearDown() override {
        destroy_list_window();
        destroy_layout_window();
        frame_destroy(list_frame());
        frame_destroy(main_frame());
        remove_backend();
    }

    LayoutTable& table() { return layout_table(); }
    TableView& view() { return layout_view(); }

    // Keys and typing as the window system delivers them: the key (letters,
    // digits and the space bar have key codes), then its text.
    void key(int k, unsigned mods = MOD_NONE) { script().key(view().window(), k, mods); }
    void type(const std::string& text) {
        for (char ch : text) {
            int code = 0;
            if (ch >= 'a' && ch <= 'z') code = ch - 'a' + 'A';
            else if ((ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == ' ') code = ch;
            if (code == 0 || !view().on_key(code, MOD_NONE)) view().on_char(std::string(1, ch));
        }
    }
    // Types a cell and commits it with Tab (which stays in the row).
    void cell(int row, int column, const std::string& text) {
        table().current_row = row;
        table().current_column = column;
        type(text);
        key(KEY_TAB);
    }
    void command(int id) { frame_command(main_frame(), id); }

    static LayoutRow& row(int index) { return model().rows[index]; }
    static Vec3 at(int number) {
        const int index = node_index(number);
        EXPECT_NE(index, 0) << "node " << number;
        if (index == 0) return {};
        const NodeRecord& n = model().nodes[index];
        return {n.x, n.y, n.z};
    }

    // Appends a row directly (not through the table) and returns its index.
    static int add_row(int node, int etype, float dx = 0, float dy = 0, float dz = 0, int dtype = DT_NONE) {
        const int index = append_layout_row();
        LayoutRow& r = model().rows[index];
        r.node = node;
        r.etype = etype;
        r.dtype = dtype;
        r.dx = dx;
        r.dy = dy;
        r.dz = dz;
        if (etype != ET_NONE) r.create_element_object();
        r.create_data_object(index);
        if (etype_has_names(etype)) {
            r.material = "A106";
            r.section = "S8";
            r.load = "L1";
        }
        return index;
    }
    // From 10 at the origin, pipes to 20 (+X 120), 30 (+X 120, a bend of
    // radius 15), 40 (+Y 120) and 50 (+Y 120).
    static void small_model() {
        add_row(10, ET_FROM);
        add_row(20, ET_PIPE, 120);
        const int bend = add_row(30, ET_BEND, 120);
        static_cast<EditBend&>(*model().rows[bend].element).bend.radius_kind = RADIUS_USER;
        static_cast<EditBend&>(*model().rows[bend].element).bend.radius = 15;
        add_row(40, ET_PIPE, 0, 120);
        add_row(50, ET_PIPE, 0, 120);
        make_model();
        reload_layout_table();
    }

    HeadlessBackend* hb = nullptr;
};

#define EXPECT_POINT(p, X, Y, Z)          \
    do {                                  \
        const Vec3 p_ = (p);              \
        EXPECT_NEAR(p_.x, (X), 1e-3);     \
        EXPECT_NEAR(p_.y, (Y), 1e-3);     \
        EXPECT_NEAR(p_.z, (Z), 1e-3);     \
    } while (0)
