// Results tests: the analysis fixture with the real support kinds, a model
// with every support kind (and a force row, which has no support words),
// analysed by the real analysis into model.res in the test's folder. The
// expected offsets and values are worked out in the tests from the file's
// byte layout and from the run's own results, never from the reader.
#pragma once

#include "analysis/data/support_fixture.h"
#include "analysis/results_file.h"
#include "framework/binfile.h"
#include "framework/crc32.h"
#include "model/piping_codes.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/results_session.h"
#include "results/support_summary.h"
#include "results/time_history.h"
#include "supports/anchor.h"
#include "supports/generic_support.h"
#include "supports/guide.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"
#include "supports/nozzle.h"
#include "supports/restraint.h"
#include "supports/skewed_restraint.h"
#include "supports/snubber.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <span>
#include <vector>

namespace results_test {

using namespace analysis_test;

// A value as the file holds it: float32, and 0 below 1e-30 in magnitude.
inline float as_written(double v)
{
    return std::fabs(v) < 1e-30 ? 0.0f : static_cast<float>(v);
}

inline std::vector<char> file_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void write_bytes(const std::string& path, const std::vector<char>& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Bytes with the check a results file ends with (CRC-32 of all before it)
// appended; and a file's bytes with their check made anew, as a file
// changed by someone who knew the check would be.
inline std::vector<char> sealed(std::vector<char> bytes)
{
    const uint32_t check =
        crc32_of(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>(check >> (8 * i)));
    return bytes;
}
inline std::vector<char> resealed(std::vector<char> bytes)
{
    bytes.resize(bytes.size() - 4);
    return sealed(std::move(bytes));
}

// The words of each support kind in the results file, as the file format states them.
inline int words_of(int dtype)
{
    static const std::map<int, int> words = {{DT_ANCHOR, 6}, {DT_RESTRAINT, 3}, {DT_SKEWED_RESTRAINT, 1},
                                             {DT_HANGER, 1}, {DT_GUIDE, 3},     {DT_LIMIT_STOP, 2},
                                             {DT_NOZZLE, 6}, {DT_SNUBBER, 1},   {DT_GENERIC_SUPPORT, 6}};
    auto it = words.find(dtype);
    return it == words.end() ? 0 : it->second;
}

class ResultsTest : public SupportTest {
protected:
    void SetUp() override
    {
        SupportTest::SetUp();
        results_path = folder + "/model.res";
    }
    void TearDown() override
    {
        close_results();
        SupportTest::TearDown();
    }

    // Rows of the model with every support kind, a line along X from node 10
    // (with one leg down Z at 70):
    //   anchor 10, restraint (Y) 20, guide 30, resting limit stop 40,
    //   user hanger 50 (and a force row at 50), snubber (Z) 60, skewed
    //   restraint 70, generic support 80 and a nozzle at the end, 90.
    struct Rows {
        int anchor, restraint, guide, stop, hanger, force, snubber, skewed, generic, nozzle;
    };
    Rows every_support_model()
    {
        Rows r{};
        r.anchor = with(from(10), DT_ANCHOR);
        r.restraint = pipe(20, 100, 0, 0, DT_RESTRAINT);
        support<Restraint>(r.restraint).v.restrained = {0, 1, 0};
        r.guide = pipe(30, 100, 0, 0, DT_GUIDE);
        r.stop = pipe(40, 100, 0, 0, DT_LIMIT_STOP);
        support<LimitStop>(r.stop).v = {"", 0.0f, NO_LIMIT, {0.0f, 1.0f, 0.0f}, 0.0f, 0.0f, 0};
        r.hanger = pipe(50, 100, 0, 0, DT_HANGER);
        HangerValues& h = support<Hanger>(r.hanger).v;
        h.type = HANGER_USER;
        h.spring_rate = 400.0f;
        h.load = 100.0f;
        h.design.figure = "FIG-B";
        h.design.size = "12";
        h.design.spring_rate = 400.0f;
        h.design.cold_load = 90.0f;
        h.design.hot_load = 100.0f;
        r.force = at_node(50, DT_FORCE);
        r.snubber = pipe(60, 100, 0, 0, DT_SNUBBER);
        support<Snubber>(r.snubber).v.direction = {0.0f, 0.0f, 1.0f};
        r.skewed = pipe(70, 0, 0, -100, DT_SKEWED_RESTRAINT);
        support<SkewedRestraint>(r.skewed).v = {"", false, 0.0f, {0.0f, 1.0f, 1.0f}, 0};
        r.generic = pipe(80, 100, 0, 0, DT_GENERIC_SUPPORT);
        support<GenericSupport>(r.generic).v.stiffness[1] = 3000.0f;
        r.nozzle = pipe(90, 100, 0, 0, DT_NOZZLE);
        NozzleValues& n = support<Nozzle>(r.nozzle).v;
        n.nozzle_od = 6.625f;
        n.nozzle_thickness = 0.28f;
        n.vessel_od = 96.0f;
        n.vessel_thickness = 0.5f;
        n.length1 = 100.0f;
        n.length2 = 100.0f;
        n.axis = {1.0f, 0.0f, 0.0f};
        return r;
    }
    // Two thermal sets, so that the cases include a range.
    void two_thermal_sets()
    {
        analysis_options().numtloads = 2;
        load.temperature[1] = 300;
        load.temperature[2] = 200;
        load.pressure[1] = 150;
    }
    // Analyses the document's model into results_path and returns the
    // run's own results by code (to compare the file with).
    std::map<int, CaseResults> analyse()
    {
        make_model();
        snapshot = make_analysis_model();
        const RunOutcome outcome = run_analysis(*snapshot, {});
        EXPECT_TRUE(outcome.completed) << outcome.message;
        AnalysisRun run(*snapshot);
        return solve_load_cases(run, {});
    }
    // A results file of the document's model (built) for its load-case
    // list, written here block by block with distinct values (below), the
    // modal block of code 30 as given.
    static double displacement_value(int code, int node, int d) { return code * 1000.0 + node * 10.0 + d; }
    static double acceleration_value(int node, int d) { return -(node * 10.0 + d) - 0.5; }
    static double force_value(int code, int element, int k) { return code * 100.0 + element + k * 0.25; }
    static double support_value(int code, int word) { return code + word * 0.5; }
    void write_dynamic_results(const std::string& path, const ModalBlock& modal) const
    {
        const Model& m = model();
        const int n = m.numnodes(), e = m.numelems();
        int words = 0;
        for (const LayoutRow& row : m.rows)
            words += words_of(row.dtype);
        BinFile file;
        ASSERT_TRUE(file.open_write(path));
        write_results_header(file);
        write_element_records(file, m);
        write_soil_restraints(file, {});
        for (int i = 1; i <= load_case_list().count(); ++i) {
            const int code = load_case_list().code(i);
            if (code == LC_MODAL) {
                write_modal_block(file, modal);
                continue;
            }
            std::vector<double> u, a, f, s;
            for (int node = 1; node <= n; ++node)
                for (int d = 0; d < 6; ++d) {
                    u.push_back(displacement_value(code, node, d));
                    if (code == LC_RESPONSE_SPECTRUM)
                        a.push_back(acceleration_value(node, d));
                }
            for (int el = 1; el <= e; ++el)
                for (int k = 0; k < 12; ++k)
                    f.push_back(force_value(code, el, k));
            for (int w = 0; w < words; ++w)
                s.push_back(support_value(code, w));
            write_case_block(file, u, a, f, s);
        }
        write_hanger_designs(file, m);
        write_run_record(file, {});
        write_results_check(file);
        ASSERT_TRUE(file.close());
    }
    // Three modes of the tests' modal block.
    static ModalBlock three_modes(int nodes)
    {
        ModalBlock b;
        b.frequencies = {1.5, 3.25, 7.0};
        for (int mode = 1; mode <= 3; ++mode) {
            std::vector<double> shape;
            for (int node = 1; node <= nodes; ++node)
                for (int d = 0; d < 6; ++d)
                    shape.push_back(mode + node * 0.01 + d * 0.001);
            b.shapes.push_back(shape);
        }
        b.participation = {{2.0, -1.0, 0.5}, {0.25, 3.0, -1.5}, {-4.0, 0.5, 2.5}};
        b.total_mass = 40.0;
        return b;
    }

    // The message read_results throws, "<nothing thrown>" when it reads.
    std::string read_message(const std::string& path)
    {
        return thrown_text([&] { read_results(path); });
    }

    std::string results_path;
};

}  // namespace results_test
