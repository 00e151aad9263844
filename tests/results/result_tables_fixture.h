// The result tables of the results window on models of the tests' own: the
// program on the scripted backend with the window's real tables, a model
// typed row by row on the sample's material (A106B), sections (6 and 4)
// and pipe load (OPER), and a results file written here with values the
// tests choose, so that every number a table shows is known in the test.
#pragma once

#include "analysis/results_file.h"
#include "codes/code_driver.h"
#include "codes/code_records.h"
#include "framework/binfile.h"
#include "framework/ui/report.h"
#include "framework/units.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "results/results_program_fixture.h"
#include "supports/support_item.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

class ResultTablesTest : public ResultsProgramTest {
protected:
    ResultTablesTest() { real_tables = true; }
    void SetUp() override
    {
        ResultsProgramTest::SetUp();
        set_report_date("1 Jan 2025");
    }
    void TearDown() override
    {
        set_report_date("");
        ResultsProgramTest::TearDown();
    }

    // The sample without its rows, with the title "T" and the English units
    // with moments in in-lb.
    void start_model()
    {
        open_by_extension(path("sample.mod"));
        while (numrows() > 0)
            delete_layout_row(numrows());
        model_title() = "T";
        reset_unit_choice();
        unit_choice()[MOMENT] = 1;
    }

    // The evaluation of the tests: known values in place of the code's.
    //   SIFs      by element and end (sifs), 1.0 where none is given;
    //   FF        by element (flexibility), 1.0 where none is given;
    //   stresses  of every pipe end in every case with a code stress:
    //             1000 e + 100 end + code psi, allowable 20000 psi
    //             (hydrotest: not checked), unless given.
    static double stand_in_stress(int element, int end, int code) { return 1000.0 * element + 100.0 * end + code; }
    struct StandIn {
        std::map<std::pair<int, int>, Sifs> sifs;
        std::map<int, std::array<double, 3>> flexibility;
        std::function<void(CodeRecords&)> after;   // what the records get besides
        std::function<double(int element, int end, int code)> stress = stand_in_stress;
        std::function<double(int element, int end, int code)> allowable = [](int, int, int) { return 20000.0; };
    };
    static void install_stand_in(StandIn stand_in)
    {
        register_code_evaluation([stand_in](const CodeEvaluationInput& input, CodeRecords& records) {
            const Model& m = *input.model;
            auto evaluation = std::make_shared<CodeStressEvaluation>();
            CodeStressResults& r = evaluation->results;
            r.piping_code = input.piping_code;
            r.stresses_available = true;
            const int e = m.numelems();
            r.sifs.elements = OneBased<ElementSifs>(e);
            r.sifs.nodes = OneBased<NodeSifs>(m.numnodes());
            for (NodeSifs& n : r.sifs.nodes)
                n.fill(1.0);
            r.evaluated = OneBased<uint8_t>(e);
            for (const PipeResultRecord& p : records.pipes)
                r.evaluated[p.element] = 1;
            for (const auto& [key, sif] : stand_in.sifs)
                r.sifs.elements[key.first].end[static_cast<std::size_t>(key.second)] = sif;
            for (const auto& [element, ff] : stand_in.flexibility)
                r.sifs.elements[element].flexibility = ff;
            for (int32_t code : input.load_cases) {
                const CaseStress kind = case_stress(code);
                if (kind == CaseStress::None)
                    continue;
                CaseStresses c;
                c.code = code;
                c.kind = kind;
                c.ends = OneBased<EndStresses>(e);
                for (const PipeResultRecord& p : records.pipes)
                    for (int end = 0; end < 2; ++end) {
                        EndStress& s = c.ends[p.element][static_cast<std::size_t>(end)];
                        s.stress = static_cast<float>(stand_in.stress(p.element, end, code));
                        s.evaluated = true;
                        s.checked = kind != CaseStress::Hydrotest;
                        s.allowable = s.checked ? static_cast<float>(stand_in.allowable(p.element, end, code)) : 0.0f;
                    }
                r.cases.push_back(std::move(c));
            }
            fill_code_records(std::move(evaluation), records);
            if (stand_in.after)
                stand_in.after(records);
        });
    }
    // Appends a row of the sample's material, section and pipe load.
    static int add(int node, int etype, float dx = 0, float dy = 0, float dz = 0, int dtype = DT_NONE,
                   const char* section = "6")
    {
        const int index = append_layout_row();
        LayoutRow& r = model().rows[index];
        r.node = node;
        r.etype = etype;
        r.dtype = dtype;
        r.dx = dx;
        r.dy = dy;
        r.dz = dz;
        r.material = "A106B";
        r.section = section;
        r.load = "OPER";
        if (etype != ET_NONE)
            r.create_element_object();
        r.create_data_object(index);
        return index;
    }
    template <typename T>
    static T& item(int row)
    {
        return dynamic_cast<T&>(*model().rows[row].data);
    }

    // The values a written results file holds, by load-case code.
    struct Values {
        std::function<double(int code, int element, int k)> force = [](int, int, int) { return 0.0; };
        std::function<double(int code, int word)> support = [](int, int) { return 0.0; };
        std::function<double(int code, int node, int d)> displacement = [](int, int, int) { return 0.0; };
        std::function<double(int node, int d)> acceleration = [](int, int) { return 0.0; };
        std::vector<SoilRestraintRecord> soils;
    };
    // Builds the model and writes its results for these load cases (the
    // model's load-case list becomes them), the model file older.
    void write_results(const std::vector<int>& codes, const Values& v)
    {
        make_model();
        LoadCaseList cases;
        for (int code : codes)
            cases.add(code);
        load_case_list() = cases;
        const Model& m = model();
        const int n = m.numnodes(), e = m.numelems();
        const int words = support_value_count(m);
        BinFile file;
        ASSERT_TRUE(file.open_write(path("sample.res")));
        write_results_header(file);
        write_element_records(file, m);
        write_soil_restraints(file, v.soils);
        for (int code : codes) {
            std::vector<double> u, a, f, s;
            for (int node = 1; node <= n; ++node)
                for (int d = 0; d < 6; ++d) {
                    u.push_back(v.displacement(code, node, d));
                    if (code == LC_RESPONSE_SPECTRUM)
                        a.push_back(v.acceleration(node, d));
                }
            for (int el = 1; el <= e; ++el)
                for (int k = 0; k < 12; ++k)
                    f.push_back(v.force(code, el, k));
            for (int w = 0; w < words; ++w)
                s.push_back(v.support(code, w));
            write_case_block(file, u, a, f, s);
        }
        write_hanger_designs(file, m);
        write_run_record(file, {});
        write_results_check(file);
        ASSERT_TRUE(file.close());
        model_modified() = false;
        const auto results_time = std::filesystem::last_write_time(path("sample.res"));
        std::filesystem::last_write_time(path("sample.mod"), results_time - std::chrono::seconds(5));
    }
    // Opens the written results; the result chooser is cancelled.
    void open_written()
    {
        script().once(result_chooser_template(), [](HeadlessDialog& d) { d.press(IDCANCEL); });
        open_results();
        hb->run_loop();
        ASSERT_TRUE(in_results());
    }

    // A table's print in a text report (or its CSV form), as lines without
    // the page headers.
    static std::vector<std::string> report_lines(const std::function<void()>& print, bool csv = false)
    {
        report_begin_text(csv);
        print();
        return body(report_end_text());
    }
    static std::vector<std::string> body(const std::string& text)
    {
        std::vector<std::string> lines;
        std::istringstream in(text);
        std::string line;
        int skip = 0;
        bool first = true;
        while (std::getline(in, line)) {
            if (first || (!line.empty() && line[0] == '\f')) {
                // A page header and its two blank lines.
                first = false;
                skip = line.find("Page ") != std::string::npos ? 2 : 0;
                if (skip)
                    continue;
            } else if (skip > 0) {
                --skip;
                continue;
            }
            lines.push_back(line);
        }
        return lines;
    }
    static std::vector<std::string> table_lines(TableWindow& t, bool csv = false)
    {
        return body(table_report_text(t, csv));
    }
};

// An expected report line written by its columns (1-based, as the report
// counts them): texts at a column or ending at one; trailing blanks dropped
// as the report drops them.
class TextLine {
public:
    TextLine& at(int column, const std::string& text)
    {
        put(column, text);
        return *this;
    }
    TextLine& right(int end, const std::string& text)
    {
        put(end - static_cast<int>(text.size()) + 1, text);
        return *this;
    }
    TextLine& centred(int from, int to, const std::string& text)
    {
        // A text wider than the range starts at its first column.
        put(from + std::max(0, to - from + 1 - static_cast<int>(text.size())) / 2, text);
        return *this;
    }
    operator std::string() const
    {
        std::string s = line_;
        while (!s.empty() && s.back() == ' ')
            s.pop_back();
        return s;
    }

private:
    void put(int column, const std::string& text)
    {
        const auto at = static_cast<std::size_t>(column - 1);
        if (line_.size() < at + text.size())
            line_.resize(at + text.size(), ' ');
        line_.replace(at, text.size(), text);
    }
    std::string line_;
};

// The report's rule: '-' from column 4 to 88.
inline std::string rule_line()
{
    return std::string(3, ' ') + std::string(85, '-');
}
