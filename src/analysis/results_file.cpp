#include "analysis/results_file.h"

#include "analysis_core/element_forces.h"
#include "analysis_core/results_sink.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "model/nodes.h"
#include "supports/hanger.h"

#include <cmath>
#include <limits>

static_assert(HANGER_DESIGN_RECORD_SIZE == HANGER_DESIGN_RECORD_BYTES, "the hanger's design record is the file's");

namespace {

float value(double v)
{
    return end_force_value(v);
}

int hanger_rows(const Model& model)
{
    int count = 0;
    for (const LayoutRow& r : model.rows)
        if (r.dtype == DT_HANGER)
            ++count;
    return count;
}

void write_element_records(BinFile& file, const Model& model)
{
    const OneBased<int32_t> places = element_places(model);
    file.write_int(model.numelems());
    for (int e = 1; e <= model.numelems(); ++e) {
        const Elem& element = model.elems[e];
        const bool beam = element.kind == ET_BEAM;
        const int32_t record[8] = {element.kind,
                                   element.row,
                                   element.node1,
                                   element.node2,
                                   beam ? element.beam_material : element.material,
                                   beam ? element.beam_section : element.section,
                                   beam ? element.beam_load : element.load,
                                   places[e]};
        file.write_ints(record, 8);
    }
}

void write_soil_restraints(BinFile& file, const std::vector<SoilRestraintRecord>& records)
{
    file.write_int(static_cast<int32_t>(records.size()));
    for (const SoilRestraintRecord& r : records) {
        file.write_int(r.element);
        const float values[8] = {r.axial_stiffness, r.axial_load, r.transverse_stiffness, r.transverse_load,
                                 r.down_stiffness,  r.down_load,  r.up_stiffness,         r.up_load};
        file.write_floats(values, 8);
        file.write_int(r.soil);
    }
}

void write_case(BinFile& file, const Model& model, const CaseResults& c)
{
    const auto nodes = static_cast<std::size_t>(model.numnodes());
    KV_ASSERT(c.displacements.size() == 6 * nodes);
    for (double v : c.displacements)
        file.write_float(value(v));
    KV_ASSERT(c.forces.size() == static_cast<std::size_t>(model.numelems()));
    for (const ElementVector& f : c.forces)
        for (int i = 1; i <= 12; ++i)
            file.write_float(value(f.f[i]));
    KV_ASSERT(c.support_loads.size() == static_cast<std::size_t>(support_value_count(model)));
    for (double v : c.support_loads)
        file.write_float(value(v));
}

// A value the file can hold: finite, and within what a float holds.
bool writable(double v)
{
    return std::isfinite(v) && std::fabs(v) <= std::numeric_limits<float>::max();
}

std::string node_name(const Model& model, int node)
{
    return model.nodes.valid(node) ? node_text(model.nodes[node].number) : std::string("?");
}

}  // namespace

void check_results_writable(const AnalysisModel& analysis, const std::vector<const CaseResults*>& cases)
{
    const Model& model = analysis.model;
    for (const CaseResults* c : cases) {
        if (!c)
            continue;
        const std::string where = "Load case " + load_case_names(c->code) + ": ";
        const std::string refused = " is not a finite number; no results file is written";
        for (std::size_t k = 0; k < c->displacements.size(); ++k)
            if (!writable(c->displacements[k]))
                throw_message(where + "the displacement of node " + node_name(model, static_cast<int>(k / 6) + 1) +
                              refused);
        for (std::size_t e = 0; e < c->forces.size(); ++e)
            for (int i = 1; i <= 12; ++i)
                if (!writable(c->forces[e].f[i])) {
                    const Elem& element = model.elems[static_cast<int>(e) + 1];
                    throw_message(where + "an end force of the element from node " +
                                  node_name(model, element.node1) + " to node " + node_name(model, element.node2) +
                                  refused);
                }
        int offset = 0;
        for (const LayoutRow& r : model.rows) {
            const int words = support_word_count(r.dtype);
            for (int w = 0; w < words; ++w) {
                const auto k = static_cast<std::size_t>(offset + w);
                if (k < c->support_loads.size() && !writable(c->support_loads[k]))
                    throw_message(where + "the support load at node " + node_text(r.node) + refused);
            }
            offset += words;
        }
    }
}

OneBased<int32_t> element_places(const Model& model)
{
    OneBased<int32_t> places(model.numelems());
    int previous_row = -1;
    int32_t place = 0;
    for (int e = 1; e <= model.numelems(); ++e) {
        const int row = model.elems[e].row;
        place = row == previous_row ? place + 1 : 1;
        previous_row = row;
        places[e] = place;
    }
    return places;
}

void write_results_file(const std::string& path, const AnalysisModel& analysis,
                        const std::vector<const CaseResults*>& cases,
                        const std::vector<SoilRestraintRecord>& soil_restraints)
{
    const Model& model = analysis.model;
    KV_ASSERT(static_cast<int>(cases.size()) == analysis.load_cases.count());
    check_results_writable(analysis, cases);
    BinFile file;
    if (!file.open_write(path))
        throw_message("Unable to write results file:\n" + path);
    const std::string header = c_format("%s%d0", RESULTS_FILE_MAGIC, RESULTS_FILE_VERSION);
    KV_ASSERT(header.size() == RESULTS_HEADER_SIZE);
    file.write(header.data(), header.size());
    write_element_records(file, model);
    write_soil_restraints(file, soil_restraints);
    for (const CaseResults* c : cases) {
        KV_ASSERT(c != nullptr);
        write_case(file, model, *c);
    }
    // The hanger design records, in row order: the design each hanger had.
    for (const LayoutRow& r : model.rows) {
        if (r.dtype != DT_HANGER)
            continue;
        const auto* hanger = dynamic_cast<const Hanger*>(r.data.get());
        write_hanger_design(file, hanger ? hanger->v.design : HangerDesign{});
    }
    if (file.error() || !file.close())
        throw_message("Unable to write results file:\n" + path);
}

int64_t results_file_size(const Model& model, const LoadCaseList& cases, int32_t elements, int32_t soils,
                          int32_t modes)
{
    const int64_t n = model.numnodes();
    const int64_t support_bytes = 4 * static_cast<int64_t>(support_value_count(model));
    int64_t size = RESULTS_HEADER_SIZE + 4 + int64_t{RESULTS_ELEMENT_RECORD_SIZE} * elements + 4 +
                   int64_t{SOIL_RESTRAINT_RECORD_SIZE} * soils;
    for (int i = 1; i <= cases.count(); ++i) {
        const int code = cases.code(i);
        if (code == 0)
            continue;
        if (code == LC_MODAL) {
            size += 4 + 4 * int64_t{modes} + 24 * n * modes + 12 * int64_t{modes} + 4;
            continue;
        }
        size += 24 * n + (code == LC_RESPONSE_SPECTRUM ? 24 * n : 0) + 48 * int64_t{elements} + support_bytes;
    }
    size += int64_t{HANGER_DESIGN_RECORD_SIZE} * hanger_rows(model);
    return size;
}
