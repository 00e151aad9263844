// Batch import tests: the data kinds of the program installed (property sets,
// loads, element classes, supports, equipment), a text imported as a batch
// file, and the text of the error that refused one.
#pragma once

#include "elements/element_classes.h"
#include "exchange/batch_import.h"
#include "framework/errors.h"
#include "framework/units.h"
#include "loads/loads_install.h"
#include "materials/property_sets.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/piping_codes.h"
#include "qualification/equipment.h"
#include "supports/supports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

namespace batch_test {

inline const std::string BATCH_FILES = std::string(KV_SOURCE_DIR) + "/tests/data/batch/";

// Imports the text into the empty model; the error text, empty when the
// text was taken.
inline std::string import_batch_error(const std::string& text)
{
    std::istringstream in(text);
    try {
        import_batch_text(in);
    } catch (const MessageText& m) {
        return m.text;
    }
    return {};
}

class BatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        install_property_sets();
        install_loads();
        install_element_classes();
        install_supports();
        install_equipment();
    }

    static std::string import(const std::string& text) { return import_batch_error(text); }
    // The same, where the text must be taken.
    static void import_ok(const std::string& text)
    {
        const std::string error = import(text);
        ASSERT_EQ(error, "") << text;
    }
    static std::string file_text(const std::string& name)
    {
        std::ifstream in(BATCH_FILES + name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    template <typename T>
    static T& element(int row)
    {
        return dynamic_cast<T&>(*model().rows[row].element);
    }
    template <typename T>
    static T& data(int row)
    {
        return dynamic_cast<T&>(*model().rows[row].data);
    }
};

// The row of a node (the first), failing the test when there is none.
inline int row_of(int node)
{
    for (int r = 1; r <= numrows(); ++r)
        if (model().rows[r].node == node)
            return r;
    ADD_FAILURE() << "no row at node " << node;
    return 1;
}

// A float that holds a value given in a file, after its conversion.
inline void expect_value(double actual, double expected, const char* what)
{
    EXPECT_NEAR(actual, expected, 1e-6 * std::max(1.0, std::fabs(expected))) << what;
}

// The import error text of line `line`.
inline std::string line_error(int line, const std::string& text, const std::string& message)
{
    return "Line = " + std::to_string(line) + " :  " + text + "\n" + message;
}

}  // namespace batch_test
