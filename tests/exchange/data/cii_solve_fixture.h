// CAESAR II neutral files imported and solved: the fixture that imports a
// text into the empty model, keeps its closing note, and solves the
// default load cases of what it made, with the small frame solver of the
// tests to check them against.
#pragma once

#include "exchange/data/frame_solver.h"
#include "exchange/data/neutral_fixture.h"

#include <string>

namespace batch_test {

class CaesarSolveTest : public FrameSolveTest {
protected:
    // The error text, empty when the text was taken (its note in notes_).
    std::string import_cii(const std::string& text)
    {
        reset_model();
        clear_model_sections();
        return neutral_test::import_cii_into(text, notes_);
    }
    void cii_ok(const std::string& text) { ASSERT_EQ(import_cii(text), ""); }
    void solve_cii(const std::string& text)
    {
        ASSERT_NO_FATAL_FAILURE(cii_ok(text));
        solve();
    }

    ImportNotes notes_;
};

}  // namespace batch_test
