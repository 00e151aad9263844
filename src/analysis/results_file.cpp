#include "analysis/results_file.h"

#include "analysis_core/element_forces.h"
#include "analysis_core/results_sink.h"
#include "framework/binfile.h"
#include "framework/crc32.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "model/nodes.h"
#include "platform/file_replace.h"
#include "supports/hanger.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

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

void write_values(BinFile& file, std::span<const double> values)
{
    for (double v : values)
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

void write_results_header(BinFile& file)
{
    const std::string header =
        c_format("%s%d%c", RESULTS_FILE_MAGIC, RESULTS_FILE_VERSION, RESULTS_MODULUS_AT_CASE_TEMPERATURE);
    KV_ASSERT(header.size() == RESULTS_HEADER_SIZE);
    file.count_checksum();
    file.write(header.data(), header.size());
}

void write_results_check(BinFile& file)
{
    file.write_int(static_cast<int32_t>(file.written_checksum()));
}

void write_element_records(BinFile& file, const Model& model)
{
    const OneBased<int32_t> places = element_places(model);
    file.write_int(model.numelems());
    for (int e = 1; e <= model.numelems(); ++e) {
        const std::array<int32_t, 8> record = results_element_record(model.elems[e], places[e]);
        file.write_ints(record.data(), record.size());
        const std::array<float, 3> chord = element_chord(model, model.elems[e]);
        file.write_floats(chord.data(), chord.size());
    }
}

std::array<float, 3> element_chord(const Model& model, const Elem& element)
{
    if (!model.nodes.valid(element.node1) || !model.nodes.valid(element.node2))
        return {};
    const NodeRecord& a = model.nodes[element.node1];
    const NodeRecord& b = model.nodes[element.node2];
    return {b.x - a.x, b.y - a.y, b.z - a.z};
}

std::array<int32_t, 8> results_element_record(const Elem& element, int32_t place)
{
    const bool beam = element.kind == ET_BEAM;
    return {element.kind,
            element.row,
            element.node1,
            element.node2,
            beam ? element.beam_material : element.material,
            beam ? element.beam_section : element.section,
            beam ? element.beam_load : element.load,
            place};
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

void write_hanger_designs(BinFile& file, const Model& model, const HangerRunDesign* designs)
{
    // The design each hanger had, in row order.
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
}

void write_case_block(BinFile& file, std::span<const double> displacements, std::span<const double> accelerations,
                      std::span<const double> forces, std::span<const double> support_loads)
{
    write_values(file, displacements);
    write_values(file, accelerations);
    write_values(file, forces);
    write_values(file, support_loads);
}

void write_modal_block(BinFile& file, const ModalBlock& block)
{
    const auto modes = block.frequencies.size();
    KV_ASSERT(block.shapes.size() == modes && block.participation.size() == modes);
    file.write_int(static_cast<int32_t>(modes));
    write_values(file, block.frequencies);
    for (const std::vector<double>& shape : block.shapes)
        write_values(file, shape);
    for (const std::array<double, 3>& factors : block.participation)
        write_values(file, factors);
    file.write_float(value(block.total_mass));
}

void check_modal_block_writable(const ModalBlock& block)
{
    const std::string refused = " is not a finite number; no results file is written";
    for (std::size_t m = 0; m < block.frequencies.size(); ++m) {
        bool finite = writable(block.frequencies[m]);
        for (double v : block.participation[m])
            finite = finite && writable(v);
        if (m < block.shapes.size())
            for (double v : block.shapes[m])
                finite = finite && writable(v);
        if (!finite)
            throw_message(c_format("Modal analysis: a value of mode %d", static_cast<int>(m) + 1) + refused);
    }
    if (!writable(block.total_mass))
        throw_message("Modal analysis: the total mass" + refused);
}

void write_time_history_file(const std::string& path, double interval, const std::vector<TimeHistoryStep>& steps)
{
    BinFile file;
    if (!file.open_write(path))
        throw_message(with_reason("Unable to write time history file:\n" + path, file.failure()));
    file.write_name(TIME_HISTORY_FILE_MAGIC, 16);
    file.write_float(static_cast<float>(interval));
    file.write_int(static_cast<int32_t>(steps.size()));
    for (const TimeHistoryStep& step : steps)
        write_case_block(file, step.displacements, {}, step.forces, step.support_loads);
    if (file.error() || !file.close())
        throw_message(with_reason("Unable to write time history file:\n" + path, file.failure()));
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
                        const std::vector<SoilRestraintRecord>& soil_restraints, const HangerRunDesign* designs,
                        const ModalBlock* modal, const std::vector<std::string>& case_lines)
{
    const Model& model = analysis.written_model();
    KV_ASSERT(static_cast<int>(cases.size()) == analysis.load_cases.count());
    check_results_writable(analysis, cases);
    const ModalBlock no_modes;
    if (!modal)
        modal = &no_modes;
    check_modal_block_writable(*modal);
    for (const CaseResults* c : cases)
        for (double v : c->accelerations)
            if (!writable(v))
                throw_message("Load case " + load_case_names(c->code) +
                              ": an acceleration is not a finite number; no results file is written");
    BinFile file;
    if (!file.open_write(path))
        throw_message(with_reason("Unable to write results file:\n" + path, file.failure()));
    write_results_header(file);
    write_element_records(file, model);
    write_soil_restraints(file, soil_restraints);
    for (const CaseResults* c : cases) {
        KV_ASSERT(c != nullptr);
        if (c->code == LC_MODAL) {
            write_modal_block(file, *modal);
            continue;
        }
        KV_ASSERT(c->displacements.size() == 6 * static_cast<std::size_t>(model.numnodes()));
        KV_ASSERT(c->forces.size() == static_cast<std::size_t>(model.numelems()));
        KV_ASSERT(c->support_loads.size() == static_cast<std::size_t>(support_value_count(model)));
        std::vector<double> forces;
        forces.reserve(12 * c->forces.size());
        for (const ElementVector& f : c->forces)
            forces.insert(forces.end(), f.f + 1, f.f + 13);
        if (c->code == LC_RESPONSE_SPECTRUM) {
            const std::vector<double> none(c->displacements.size(), 0.0);
            const std::vector<double>& a = c->accelerations.size() == c->displacements.size() ? c->accelerations : none;
            write_case_block(file, c->displacements, a, forces, c->support_loads);
        } else {
            write_case_block(file, c->displacements, {}, forces, c->support_loads);
        }
    }
    write_hanger_designs(file, model, designs);
    write_run_record(file, ResultsRunRecord{case_lines, analysis.output.model_fingerprint,
                                            designs ? designs->notes : std::vector<HangerNote>{}});
    write_results_check(file);
    if (file.error() || !file.close())
        throw_message(with_reason("Unable to write results file:\n" + path, file.failure()));
}

bool fingerprint_given(const Sha256Digest& fingerprint)
{
    return std::any_of(fingerprint.begin(), fingerprint.end(), [](uint8_t b) { return b != 0; });
}

bool ResultsRunRecord::has_fingerprint() const
{
    return fingerprint_given(model_fingerprint);
}

bool results_version_has_run_record(int32_t version)
{
    return version >= RESULTS_FILE_VERSION_WITHOUT_HANGER_NOTES;
}

namespace {

// A text of the record: int32 its byte count and its bytes, at most
// RUN_RECORD_MAX_LINE of them.
void write_record_text(BinFile& file, const std::string& text)
{
    const auto n = std::min<std::size_t>(text.size(), RUN_RECORD_MAX_LINE);
    file.write_int(static_cast<int32_t>(n));
    file.write(text.data(), n);
}

bool read_record_text(BinFile& file, std::string& text)
{
    const int32_t n = file.read_int();
    if (file.error() || n < 0 || n > RUN_RECORD_MAX_LINE || !file.fits(n, 1))
        return false;
    text.assign(static_cast<std::size_t>(n), '\0');
    file.read(text.data(), text.size());
    return !file.error();
}

// A count of the record's lines or notes, each of at least `bytes` bytes.
bool read_record_count(BinFile& file, std::size_t bytes, int32_t& count)
{
    count = file.read_int();
    return !file.error() && count >= 0 && count <= RUN_RECORD_MAX_LINES && file.fits(count, bytes);
}

// What a note of the hanger design can hold: numbers; for a hanger that
// would pull the pipe down, a load that is not upward; for the reasons of
// the springs, the variation allowed (1 to the most a hanger allows), and
// for the others none; the sizes' loads on either side (0 for none) only
// where no spring's range holds the load; a design only after a reason of
// the springs, when a constant support took the hanger.
bool hanger_note_values_sound(const HangerNote& note)
{
    const bool springs = note.reason == HangerNoteReason::VariationTooLarge ||
                         note.reason == HangerNoteReason::OnlyShortRange ||
                         note.reason == HangerNoteReason::NoRangeHolds;
    const bool sizes_around = note.reason == HangerNoteReason::NoRangeHolds;
    if (!std::isfinite(note.load) || !std::isfinite(note.travel) || !std::isfinite(note.below) ||
        !std::isfinite(note.above) || note.below < 0.0f || note.above < 0.0f)
        return false;
    if (!sizes_around && (note.below != 0.0f || note.above != 0.0f))
        return false;
    if (note.reason == HangerNoteReason::NoUpwardLoad && note.load > 0.0f)
        return false;
    if (springs ? note.percent < 1 || note.percent > MAX_LOAD_VARIATION : note.percent != 0)
        return false;
    return springs || !note.designed;
}

}  // namespace

void write_run_record(BinFile& file, const ResultsRunRecord& record)
{
    const auto lines = std::min<std::size_t>(record.case_lines.size(), RUN_RECORD_MAX_LINES);
    file.write_int(static_cast<int32_t>(lines));
    for (std::size_t i = 0; i < lines; ++i)
        write_record_text(file, record.case_lines[i]);
    const auto notes = std::min<std::size_t>(record.hanger_notes.size(), RUN_RECORD_MAX_LINES);
    file.write_int(static_cast<int32_t>(notes));
    for (std::size_t i = 0; i < notes; ++i) {
        const HangerNote& note = record.hanger_notes[i];
        file.write_int(note.row);
        file.write_int(note.node);
        file.write_int(static_cast<int32_t>(note.reason));
        file.write_int(note.designed ? 1 : 0);
        for (float v : {note.load, note.travel, note.below, note.above})
            file.write_float(v);
        file.write_int(note.percent);
        write_record_text(file, note.catalogue);
    }
    file.write(record.model_fingerprint.data(), record.model_fingerprint.size());
}

bool read_run_record(BinFile& file, int64_t at, ResultsRunRecord& record, int32_t version)
{
    ResultsRunRecord read;
    if (at + 4 > file.size() || !file.seek(at))
        return false;
    int32_t lines = 0;
    if (!read_record_count(file, 4, lines))
        return false;
    for (int32_t i = 0; i < lines; ++i) {
        std::string line;
        if (!read_record_text(file, line))
            return false;
        read.case_lines.push_back(std::move(line));
    }
    constexpr std::size_t NOTE_BYTES = 40;
    int32_t notes = 0;
    if (version != RESULTS_FILE_VERSION_WITHOUT_HANGER_NOTES && !read_record_count(file, NOTE_BYTES, notes))
        return false;
    for (int32_t i = 0; i < notes; ++i) {
        HangerNote note;
        note.row = file.read_int();
        note.node = file.read_int();
        const int32_t reason = file.read_int();
        const int32_t designed = file.read_int();
        for (float* v : {&note.load, &note.travel, &note.below, &note.above})
            *v = file.read_float();
        note.percent = file.read_int();
        if (file.error() || reason <= 0 || reason >= HANGER_NOTE_REASONS || (designed != 0 && designed != 1))
            return false;
        note.reason = static_cast<HangerNoteReason>(reason);
        note.designed = designed == 1;
        // One note a hanger, in row order.
        const bool in_order = read.hanger_notes.empty() || note.row > read.hanger_notes.back().row;
        if (!in_order || !hanger_note_values_sound(note) || !read_record_text(file, note.catalogue))
            return false;
        read.hanger_notes.push_back(std::move(note));
    }
    if (file.remaining() != static_cast<int64_t>(read.model_fingerprint.size()) + results_check_size(version))
        return false;
    file.read(read.model_fingerprint.data(), read.model_fingerprint.size());
    if (file.error())
        return false;
    record = std::move(read);
    return true;
}

bool results_file_ends_well(BinFile& file, int32_t version, int64_t blocks_end, ResultsRunRecord& record)
{
    if (!results_version_has_run_record(version))
        return blocks_end == file.size();
    return read_run_record(file, blocks_end, record, version);
}

int64_t results_check_size(int32_t version)
{
    return version >= RESULTS_FILE_VERSION ? RESULTS_CHECK_SIZE : 0;
}

bool results_file_check_holds(BinFile& file, int32_t version)
{
    if (results_check_size(version) == 0)
        return true;
    const int64_t at = file.tell();
    const int64_t checked = file.size() - RESULTS_CHECK_SIZE;
    if (checked < RESULTS_HEADER_SIZE || !file.seek(0))
        return false;
    Crc32 crc;
    std::vector<uint8_t> chunk(std::size_t{1} << 20);
    for (int64_t left = checked; left > 0;) {
        const auto n = static_cast<std::size_t>(std::min<int64_t>(left, static_cast<int64_t>(chunk.size())));
        file.read(chunk.data(), n);
        crc.update(chunk.data(), n);
        left -= static_cast<int64_t>(n);
    }
    const auto written = static_cast<uint32_t>(file.read_int());
    return !file.error() && written == crc.value() && file.seek(at);
}

std::string results_damaged_text(const std::string& path)
{
    return "Results file " + path +
           " is damaged: its contents are not those the analysis wrote.\nPlease reanalyze the model.";
}

bool results_file_fingerprint(const std::string& path, Sha256Digest& fingerprint)
{
    const int32_t version = results_file_version(path);
    if (!results_version_has_run_record(version))
        return false;
    BinFile file;
    ResultsRunRecord record;
    const int64_t trailer = int64_t{sizeof fingerprint} + results_check_size(version);
    if (!file.open_read(path) || file.size() < RESULTS_HEADER_SIZE + trailer || !file.seek(file.size() - trailer))
        return false;
    file.read(record.model_fingerprint.data(), record.model_fingerprint.size());
    if (file.error() || !record.has_fingerprint())
        return false;
    fingerprint = record.model_fingerprint;
    return true;
}

void restamp_results_fingerprint(const std::string& path, const Sha256Digest& fingerprint)
{
    const int32_t version = results_file_version(path);
    if (!results_version_has_run_record(version))
        return;
    const std::string failed = "Unable to write results file:\n" + path;
    const int64_t check = results_check_size(version);
    BinFile in;
    if (!in.open_read(path) || in.size() < RESULTS_HEADER_SIZE + int64_t{sizeof fingerprint} + check)
        throw_message(failed);
    if (!results_file_check_holds(in, version))
        throw_message(results_damaged_text(path));
    std::vector<uint8_t> bytes(static_cast<std::size_t>(in.size() - check));
    in.read(bytes.data(), bytes.size());
    if (in.error())
        throw_message(failed);
    in.close();
    std::copy(fingerprint.begin(), fingerprint.end(), bytes.end() - static_cast<std::ptrdiff_t>(sizeof fingerprint));
    BinFile out;
    if (!out.open_write(path))
        throw_message(with_reason(failed, out.failure()));
    out.count_checksum();
    out.write(bytes.data(), bytes.size());
    if (check > 0)
        write_results_check(out);
    if (out.error() || !out.close())
        throw_message(with_reason(failed, out.failure()));
}

int64_t results_element_record_size(int32_t version)
{
    return version == RESULTS_FILE_VERSION_WITHOUT_CHORDS ? 32 : RESULTS_ELEMENT_RECORD_SIZE;
}

int64_t results_soil_count_at(int64_t elements, int32_t version)
{
    return RESULTS_HEADER_SIZE + 4 + results_element_record_size(version) * elements;
}

int64_t results_first_block_at(int64_t elements, int64_t soils, int32_t version)
{
    return results_soil_count_at(elements, version) + 4 + SOIL_RESTRAINT_RECORD_SIZE * soils;
}

int64_t results_node_block_size(int64_t nodes)
{
    return 24 * nodes;
}

int64_t results_force_block_size(int64_t elements)
{
    return 48 * elements;
}

int64_t results_acceleration_offset(int64_t nodes)
{
    return results_node_block_size(nodes);
}

int64_t results_force_offset(int code, int64_t nodes)
{
    return results_node_block_size(nodes) * (code == LC_RESPONSE_SPECTRUM ? 2 : 1);
}

int64_t results_support_offset(int code, int64_t nodes, int64_t elements)
{
    return results_force_offset(code, nodes) + results_force_block_size(elements);
}

int64_t results_case_block_size(int code, int64_t nodes, int64_t elements, int64_t support_bytes)
{
    return results_support_offset(code, nodes, elements) + support_bytes;
}

int64_t results_mode_shape_offset(int64_t nodes, int64_t modes, int64_t mode)
{
    return RESULTS_MODAL_FREQUENCIES_OFFSET + 4 * modes + results_node_block_size(nodes) * (mode - 1);
}

int64_t results_participation_offset(int64_t nodes, int64_t modes)
{
    return results_mode_shape_offset(nodes, modes, modes + 1);
}

int64_t results_total_mass_offset(int64_t nodes, int64_t modes)
{
    return results_participation_offset(nodes, modes) + 12 * modes;
}

int64_t results_modal_block_size(int64_t nodes, int64_t modes)
{
    return results_total_mass_offset(nodes, modes) + 4;
}

int64_t time_history_step_size(int64_t nodes, int64_t elements, int64_t support_bytes)
{
    return results_case_block_size(0, nodes, elements, support_bytes);
}

int64_t time_history_file_size(int64_t nodes, int64_t elements, int64_t support_bytes, int64_t steps)
{
    return TIME_HISTORY_HEADER_SIZE + steps * time_history_step_size(nodes, elements, support_bytes);
}

int64_t time_history_displacement_at(int64_t nodes, int64_t elements, int64_t support_bytes, int64_t step)
{
    return TIME_HISTORY_HEADER_SIZE + (step - 1) * time_history_step_size(nodes, elements, support_bytes);
}

int64_t time_history_force_at(int64_t nodes, int64_t elements, int64_t support_bytes, int64_t step)
{
    return time_history_displacement_at(nodes, elements, support_bytes, step) + results_force_offset(0, nodes);
}

int64_t time_history_support_at(int64_t nodes, int64_t elements, int64_t support_bytes, int64_t step,
                                int64_t support_offset)
{
    return time_history_displacement_at(nodes, elements, support_bytes, step) + results_support_offset(0, nodes, elements) +
           support_offset;
}

int64_t results_file_size(const Model& model, const LoadCaseList& cases, int32_t elements, int32_t soils,
                          int32_t modes, int32_t version)
{
    const int64_t n = model.numnodes();
    const int64_t support_bytes = 4 * static_cast<int64_t>(support_value_count(model));
    int64_t size = results_first_block_at(elements, soils, version);
    for (int i = 1; i <= cases.count(); ++i) {
        const int code = cases.code(i);
        if (code == 0)
            continue;
        size += code == LC_MODAL ? results_modal_block_size(n, modes)
                                 : results_case_block_size(code, n, elements, support_bytes);
    }
    size += int64_t{HANGER_DESIGN_RECORD_SIZE} * hanger_rows(model);
    return size;
}

int32_t results_header_version(const char* header)
{
    if (std::memcmp(header, RESULTS_FILE_MAGIC, 11) != 0)
        return 0;
    int32_t version = 0;
    for (int i = 11; i < 15; ++i) {
        if (header[i] < '0' || header[i] > '9')
            return 0;
        version = 10 * version + (header[i] - '0');
    }
    return version;
}

int32_t results_file_version(const std::string& path)
{
    BinFile f;
    char header[RESULTS_HEADER_SIZE] = {};
    if (!f.open_read(path) || f.size() < RESULTS_HEADER_SIZE)
        return 0;
    f.read(header, sizeof header);
    return f.error() ? 0 : results_header_version(header);
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
