// A model for each test (the test runner starts each from reset_all), with
// test element classes that carry the bend and jacket records the model
// build reads, and helpers to type rows. No window system: the data tests use
// it as it is, the window tests add the scripted backend.
#pragma once

#include "framework/app_state.h"
#include "framework/data/thrown_text.h"
#include "framework/errors.h"
#include "model/analysis_options.h"
#include "model/data_item.h"
#include "model/element_data.h"
#include "model/model.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

struct TestBend : ElementData {
    BendGeometry bend;
    BendGeometry* bend_geometry() override { return &bend; }
};

struct TestJacketedBend : ElementData {
    BendGeometry bend;
    JacketGeometry jacket;
    BendGeometry* bend_geometry() override { return &bend; }
    JacketGeometry* jacket_geometry() override { return &jacket; }
};

struct TestJacketedPipe : ElementData {
    JacketGeometry jacket;
    JacketGeometry* jacket_geometry() override { return &jacket; }
};

// Ends an assertion's "process exit" by throwing, so a test can go on.
struct AssertionExit {
    int code;
};

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        set_element_factory(ET_BEND, [] { return std::make_unique<TestBend>(); });
        set_element_factory(ET_MITER, [] { return std::make_unique<TestBend>(); });
        set_element_factory(ET_JACKETED_BEND, [] { return std::make_unique<TestJacketedBend>(); });
        set_element_factory(ET_JACKETED_PIPE, [] { return std::make_unique<TestJacketedPipe>(); });
        set_assert_exit_handler([](int code) { throw AssertionExit{code}; });
    }

    // Appends a row with its objects and returns its index.
    static int row(int node, int etype, float dx = 0, float dy = 0, float dz = 0, int dtype = DT_NONE)
    {
        int index = append_layout_row();
        LayoutRow& r = model().rows[index];
        r.node = node;
        r.etype = etype;
        r.dtype = dtype;
        r.dx = dx;
        r.dy = dy;
        r.dz = dz;
        if (etype != ET_NONE)
            r.create_element_object();
        r.create_data_object(index);
        return index;
    }
    static int from(int node, float x = 0, float y = 0, float z = 0) { return row(node, ET_FROM, x, y, z); }
    static int bend(int node, float dx, float dy, float dz, float radius)
    {
        int index = row(node, ET_BEND, dx, dy, dz);
        BendGeometry* g = model().rows[index].element->bend_geometry();
        g->radius_kind = RADIUS_USER;
        g->radius = radius;
        return index;
    }
    static BendGeometry& bend_of(int index) { return *model().rows[index].element->bend_geometry(); }
    static JacketGeometry& jacket_of(int index) { return *model().rows[index].element->jacket_geometry(); }

    static const NodeRecord& node(int number)
    {
        int index = node_index(number);
        EXPECT_NE(index, 0) << "node " << number;
        static NodeRecord none;
        return index ? model().nodes[index] : none;
    }
    static int number_of(int index) { return index ? model().nodes[index].number : 0; }
};

// One suite name per subject.
class ModelBuildTest : public ModelTest {};
class ElemTest : public ModelTest {};
class NodeTest : public ModelTest {};
class AxesTest : public ModelTest {};
class LayoutRowTest : public ModelTest {};

#define EXPECT_NODE_AT(number, X, Y, Z)                \
    do {                                               \
        const NodeRecord& n_ = node(number);           \
        EXPECT_NEAR(n_.x, (X), 1e-3) << "node " << (number); \
        EXPECT_NEAR(n_.y, (Y), 1e-3) << "node " << (number); \
        EXPECT_NEAR(n_.z, (Z), 1e-3) << "node " << (number); \
    } while (0)
