// Neutral file import tests: the data kinds of the program installed, a
// PipePak or CAESAR II text imported into the empty model, the error text
// that refused it or the closing note of what it left out, and what a
// refused file must leave behind.
#pragma once

#include "exchange/cii_import.h"
#include "exchange/data/batch_fixture.h"
#include "exchange/pnf_import.h"
#include "model/model_file.h"

#include <sstream>
#include <string>

namespace neutral_test {

using batch_test::expect_value;

// Imports a CAESAR II text into the current model: the error text, empty
// when the text was taken (its closing note then in `notes`).
inline std::string import_cii_into(const std::string& text, ImportNotes& notes)
{
    std::istringstream in(text);
    try {
        notes = import_cii_text(in);
    } catch (const MessageText& m) {
        return m.text;
    }
    return {};
}

class NeutralTest : public batch_test::BatchTest {
protected:
    // The empty model the Import command hands an importer (with the node
    // increment a test chose).
    void empty_model()
    {
        reset_model();
        clear_model_sections();
        model().node_increment = node_increment_;
    }
    // Imports the text into the empty model; the error text, empty when the
    // text was taken (its closing note then in notes_).
    std::string import_pnf(const std::string& text)
    {
        empty_model();
        std::istringstream in(text);
        try {
            notes_ = import_pnf_text(in);
        } catch (const MessageText& m) {
            return m.text;
        }
        return {};
    }
    std::string import_cii(const std::string& text)
    {
        empty_model();
        return import_cii_into(text, notes_);
    }
    void pnf_ok(const std::string& text)
    {
        const std::string error = import_pnf(text);
        ASSERT_EQ(error, "") << text;
    }
    void cii_ok(const std::string& text)
    {
        const std::string error = import_cii(text);
        ASSERT_EQ(error, "");
    }

    ImportNotes notes_;
    int node_increment_ = 10;
};

// The PipePak error text of a line: "Line = %d :  %s\n%s".
inline std::string pnf_error(int line, const std::string& text, const std::string& message)
{
    return batch_test::line_error(line, text, message);
}
// The CAESAR II error text: "line = %d\n%s\n%s".
inline std::string cii_error(int line, const std::string& text, const std::string& message)
{
    return "line = " + std::to_string(line) + "\n" + text + "\n" + message;
}

// The row of node n that carries a data item of `dtype`; fails the test when none.
inline int row_with(int node, int dtype)
{
    for (int r = 1; r <= numrows(); ++r)
        if (model().rows[r].node == node && model().rows[r].dtype == dtype)
            return r;
    ADD_FAILURE() << "no row at node " << node << " with data type " << dtype;
    return 1;
}

}  // namespace neutral_test
