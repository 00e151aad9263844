// Whole models for the piping-code evaluation: a batch file imported,
// analysed by the program's run into a results file in a scratch folder,
// the end forces of each load case read back from that file as its layout
// says (one block per code of the run's list: displacements, for code 31 a
// second node block, the element forces, the support loads), and the
// evaluation run on them.
#pragma once

#include "analysis/analysis_model.h"
#include "analysis/results_file.h"
#include "analysis/static_analysis.h"
#include "analysis_core/results_sink.h"
#include "codes/code_driver.h"
#include "codes/code_evaluation.h"
#include "elements/element_analysis.h"
#include "exchange/data/batch_fixture.h"
#include "framework/binfile.h"
#include "framework/state.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

namespace batch_test {

class CodeStressModelTest : public BatchTest {
protected:
    void SetUp() override
    {
        BatchTest::SetUp();
        install_element_analysis();
        std::string pattern = (std::filesystem::temp_directory_path() / "codes-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    // The program as at start-up again, with this fixture's kinds installed:
    // a second model in one test.
    void restart()
    {
        snapshot_.reset();
        force_block_.clear();
        reads_.clear();
        reset_all();
        BatchTest::SetUp();
        install_element_analysis();
    }

    // Imports the text and makes its snapshot; `cases`, when given, are the
    // load cases of the run in this order (else the defaults); `change`,
    // when given, edits the imported document first (what a batch file
    // cannot say).
    void build(const std::string& text, const std::vector<int32_t>& cases = {},
               const std::function<void()>& change = {})
    {
        ASSERT_NO_FATAL_FAILURE(import_ok(text));
        if (change)
            change();
        try {
            load_case_list().clear();
            for (int32_t code : cases)
                load_case_list().add(code);
            make_model();
            snapshot_ = make_analysis_model();
        } catch (const MessageText& m) {
            FAIL() << m.text;
        }
    }

    // Imports and analyses the text into folder/model.res.
    void analyse(const std::string& text, const std::vector<int32_t>& cases = {},
                 const std::function<void()>& change = {})
    {
        ASSERT_NO_FATAL_FAILURE(build(text, cases, change));
        snapshot_->output.results_path = folder_ + "/model.res";
        const RunOutcome outcome = run_analysis(*snapshot_, {});
        ASSERT_TRUE(outcome.completed) << outcome.message;
        take_written_model(*snapshot_);
        locate_blocks();
    }

    // The element-force block of each load case of the file.
    void locate_blocks()
    {
        const Model& m = snapshot_->model;
        BinFile f;
        ASSERT_TRUE(f.open_read(snapshot_->output.results_path));
        char header[16];
        f.read(header, 16);
        const int32_t elements = f.read_int();
        ASSERT_EQ(elements, m.numelems());
        f.seek(20 + 44 * int64_t{elements});   // records of 8 int32 and 3 float32
        const int32_t soils = f.read_int();
        int64_t p = 24 + 44 * int64_t{elements} + 40 * int64_t{soils};
        const int64_t nodes = 24 * int64_t{m.numnodes()};
        const int64_t supports = 4 * int64_t{support_value_count(m)};
        for (int i = 1; i <= snapshot_->load_cases.count(); ++i) {
            const int code = snapshot_->load_cases.code(i);
            ASSERT_NE(code, LC_MODAL);
            const int64_t forces = p + (code == LC_RESPONSE_SPECTRUM ? 2 : 1) * nodes;
            force_block_[code] = forces;
            p = forces + 48 * int64_t{elements} + supports;
        }
        // The hanger designs follow the last case.
        int64_t hangers = 0;
        for (const LayoutRow& row : m.rows)
            hangers += row.dtype == DT_HANGER ? 1 : 0;
        // Then the run record, to the file's end.
        ResultsRunRecord record;
        ASSERT_TRUE(read_run_record(f, p + HANGER_DESIGN_RECORD_SIZE * hangers, record));
    }

    // The end forces of a load case as the file holds them.
    OneBased<ElementForces> file_forces(int32_t code) const
    {
        OneBased<ElementForces> out(snapshot_->model.numelems());
        const auto block = force_block_.find(code);
        if (block == force_block_.end()) {
            ADD_FAILURE() << "no case " << code;
            return out;
        }
        BinFile f;
        EXPECT_TRUE(f.open_read(snapshot_->output.results_path));
        f.seek(block->second);
        for (ElementForces& e : out)
            f.read_floats(e.data(), e.size());
        return out;
    }

    // The results load cases in the order of the run's list.
    std::vector<int32_t> load_cases() const
    {
        std::vector<int32_t> codes;
        for (int i = 1; i <= snapshot_->load_cases.count(); ++i)
            codes.push_back(snapshot_->load_cases.code(i));
        return codes;
    }

    // The evaluation of the analysed model on the file's forces, each case
    // read once (counted in reads_).
    CodeStressResults evaluate(ExpansionModulus solved_with = ExpansionModulus::CaseTemperature)
    {
        CodeStressRequest q;
        q.model = snapshot_.get();
        q.load_cases = load_cases();
        q.solved_with = solved_with;
        q.forces = [this](int32_t code, OneBased<ElementForces>& out) {
            ++reads_[code];
            out = file_forces(code);
        };
        return evaluate_code_stresses(q);
    }

    // The element between two node numbers (in either order); 0 when none.
    int element_between(int a, int b) const
    {
        const Model& m = snapshot_->model;
        for (int e = 1; e <= m.numelems(); ++e) {
            const int n1 = m.nodes[m.elems[e].node1].number, n2 = m.nodes[m.elems[e].node2].number;
            if ((n1 == a && n2 == b) || (n1 == b && n2 == a))
                return e;
        }
        ADD_FAILURE() << "no element " << a << " - " << b;
        return 0;
    }
    int node_number(int index) const { return snapshot_->model.nodes[index].number; }

    std::string folder_;
    std::unique_ptr<AnalysisModel> snapshot_;
    std::map<int, int64_t> force_block_;
    std::map<int, int> reads_;
};

}  // namespace batch_test
