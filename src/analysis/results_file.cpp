#include "analysis/results_file.h"

#include "analysis_core/element_forces.h"
#include "analysis_core/results_sink.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "supports/hanger.h"

#include <cmath>

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

}  // namespace

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
                        const std::vector<SoilRestraintRecord>& soil_restraints, const HangerRunDesign* designs)
{
    const Model& model = analysis.model;
    KV_ASSERT(static_cast<int>(cases.size()) == analysis.load_cases.count());
    BinFile file;
    if (!file.open_write(path))
        throw_message("Unable to write results file:\n" + path);
    const std::string header =
        c_format("%s%d%c", RESULTS_FILE_MAGIC, RESULTS_FILE_VERSION, RESULTS_MODULUS_AT_CASE_TEMPERATURE);
    KV_ASSERT(header.size() == RESULTS_HEADER_SIZE);
    file.write(header.data(), header.size());
    write_element_records(file, model);
    write_soil_restraints(file, soil_restraints);
    for (const CaseResults* c : cases) {
        KV_ASSERT(c != nullptr);
        write_case(file, model, *c);
    }
    // The hanger design records, in row order: the design each hanger had.
    for (int row = 1; row <= model.numrows(); ++row) {
        const LayoutRow& r = model.rows[row];
        if (r.dtype != DT_HANGER)
            continue;
        const auto* hanger = dynamic_cast<const Hanger*>(r.data.get());
        if (designs && designs->has_design(row))
            write_hanger_design(file, designs->design[static_cast<std::size_t>(row)]);
        else
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

char results_expansion_modulus(const std::string& path)
{
    BinFile f;
    char header[RESULTS_HEADER_SIZE] = {};
    if (!f.open_read(path) || f.size() < RESULTS_HEADER_SIZE)
        return RESULTS_MODULUS_AT_CASE_TEMPERATURE;
    f.read(header, sizeof header);
    const char mark = header[RESULTS_HEADER_SIZE - 1];
    return mark == RESULTS_MODULUS_AT_REFERENCE ? mark : RESULTS_MODULUS_AT_CASE_TEMPERATURE;
}
