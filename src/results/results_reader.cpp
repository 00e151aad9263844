#include "results/results_reader.h"

#include "analysis/analysis_model.h"
#include "analysis_core/results_sink.h"
#include "framework/errors.h"
#include "framework/product.h"
#include "framework/state.h"
#include "framework/text.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/soil.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/piping_codes.h"
#include "model/row_kinds.h"
#include "results/results_load_cases.h"
#include "supports/hanger.h"
#include "supports/support_item.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

static_assert(sizeof(std::array<float, 6>) == 24 && sizeof(ElementForceRecord) == 48,
              "node and element records are read as one block of floats");

namespace {

struct ResultsHolder {
    std::unique_ptr<ResultsState> state;
};

std::unique_ptr<ResultsState>& holder()
{
    return session_part<ResultsHolder>().state;
}

[[noreturn]] void mismatch()
{
    throw_message(RESULTS_MISMATCH_TEXT);
}

// True when every value is a number (no NaN, no infinity): the exponent
// bits of a float32 are all set only for those.
bool all_finite(const float* values, std::size_t count)
{
    uint32_t bad = 0;
    for (std::size_t i = 0; i < count; ++i) {
        uint32_t bits;
        std::memcpy(&bits, values + i, 4);
        bad |= static_cast<uint32_t>((bits & 0x7f800000u) == 0x7f800000u);
    }
    return bad == 0;
}

// The version of the file, one this program reads.
int32_t check_header(BinFile& file)
{
    char header[RESULTS_HEADER_SIZE] = {};
    if (file.size() < RESULTS_HEADER_SIZE)
        throw_message(RESULTS_UNREADABLE_TEXT);
    file.read(header, sizeof header);
    if (file.error())
        throw_message(RESULTS_UNREADABLE_TEXT);
    if (std::memcmp(header, "KORVANE.RES", 11) == 0 && header[11] == '\0') {
        const auto version = static_cast<int16_t>(static_cast<uint8_t>(header[14]) |
                                                  static_cast<uint8_t>(header[15]) << 8);
        file.close();
        throw_message(c_format("Results file is in Version %.2f format.\nUnable to read results file.",
                               version / 100.0));
    }
    const int32_t version = results_header_version(header);
    if (version == 0)
        throw_message(RESULTS_UNREADABLE_TEXT);
    if (version != RESULTS_FILE_VERSION && version != RESULTS_FILE_VERSION_WITHOUT_CHECK &&
        version != RESULTS_FILE_VERSION_WITHOUT_HANGER_NOTES &&
        version != RESULTS_FILE_VERSION_WITHOUT_RUN_RECORD && version != RESULTS_FILE_VERSION_WITHOUT_CHORDS) {
        file.close();
        throw_message(c_format("Program version = %s\nResults version = %.2f\nPlease reanalyze the model.",
                               PRODUCT_VERSION, version / 100.0));
    }
    return version;
}

bool is_pipe_type(int kind)
{
    return kind == ET_PIPE || kind == ET_BEND || kind == ET_MITER || kind == ET_JACKETED_PIPE ||
           kind == ET_JACKETED_BEND || kind == ET_REDUCER;
}

bool is_flexible_joint(int kind)
{
    return kind == ET_BELLOWS || kind == ET_SLIP_JOINT || kind == ET_HINGE_JOINT || kind == ET_BALL_JOINT ||
           kind == ET_ELASTIC;
}

bool is_frp_material(int index)
{
    const auto& materials = pipe_materials();
    return index >= 1 && index <= materials.size() && materials[index].frp != 0;
}

// The support kinds in the order the summary lists them.
constexpr int SUPPORT_KIND_ORDER[] = {DT_ANCHOR, DT_GUIDE,  DT_HANGER,          DT_LIMIT_STOP,      DT_NOZZLE,
                                      DT_RESTRAINT, DT_SKEWED_RESTRAINT, DT_SNUBBER, DT_GENERIC_SUPPORT};

// What read_results finds before it changes anything in the model.
struct Findings {
    std::vector<std::array<int32_t, 2>> row_layout;   // per row 0..numrows: offset, words
    std::vector<uint8_t> has_results;                  // per node 0..N
    std::vector<std::pair<int, HangerDesign>> hanger_designs;
};

// The element record the results file holds for an element of the model.
ResultsElement expected_element_record(const Elem& element, int32_t place)
{
    const std::array<int32_t, 8> w = results_element_record(element, place);
    return ResultsElement{w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]};
}

void read_element_records(BinFile& file, const Model& m, ResultsState& r)
{
    const int count = m.numelems();
    const bool chords = r.version != RESULTS_FILE_VERSION_WITHOUT_CHORDS;
    const std::size_t record_words = chords ? 11 : 8;
    std::vector<int32_t> words(static_cast<std::size_t>(count) * record_words);
    file.seek(RESULTS_HEADER_SIZE + 4);
    if (!words.empty())
        file.read_ints(words.data(), words.size());
    if (file.error())
        mismatch();
    const OneBased<int32_t> places = element_places(m);
    r.elements = OneBased<ResultsElement>(count);
    r.chords = chords ? OneBased<std::array<float, 3>>(count) : OneBased<std::array<float, 3>>();
    for (int e = 1; e <= count; ++e) {
        const int32_t* w = words.data() + record_words * static_cast<std::size_t>(e - 1);
        const ResultsElement read{w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]};
        if (read != expected_element_record(m.elems[e], places[e]))
            mismatch();
        r.elements[e] = read;
        if (chords) {
            std::memcpy(r.chords[e].data(), w + 8, 12);
            if (!all_finite(r.chords[e].data(), 3))
                mismatch();
        }
    }
}

void read_soil_restraints(BinFile& file, int32_t soils, ResultsState& r)
{
    r.soil_restraints = OneBased<SoilRestraintRecord>(soils);
    for (int i = 1; i <= soils; ++i) {
        SoilRestraintRecord& s = r.soil_restraints[i];
        s.element = file.read_int();
        float values[8];
        file.read_floats(values, 8);
        s.soil = file.read_int();
        if (file.error() || s.element < 1 || s.element > r.numelems() || s.soil < 0 || !all_finite(values, 8))
            mismatch();
        s.axial_stiffness = values[0];
        s.axial_load = values[1];
        s.transverse_stiffness = values[2];
        s.transverse_load = values[3];
        s.down_stiffness = values[4];
        s.down_load = values[5];
        s.up_stiffness = values[6];
        s.up_load = values[7];
    }
}

// The modal block at `at`: M, frequencies, participation factors, total
// mass and the mass-participation sums.
void read_modal_block(BinFile& file, int64_t at, int64_t nodes, ResultsState& r)
{
    file.seek(at);
    const int32_t modes = file.read_int();
    ModalResults& modal = r.modal;
    modal.modes = modes;
    modal.frequencies = OneBased<float>(modes);
    if (modes > 0)
        file.read_floats(modal.frequencies.data() + 1, static_cast<std::size_t>(modes));
    modal.first_shape = at + results_mode_shape_offset(nodes, modes, 1);
    file.seek(at + results_participation_offset(nodes, modes));
    modal.participation = OneBased<std::array<float, 3>>(modes);
    if (modes > 0)
        file.read_floats(modal.participation.data()[1].data(), 3 * static_cast<std::size_t>(modes));
    modal.total_mass = file.read_float();
    if (file.error() || !all_finite(modal.frequencies.data(), static_cast<std::size_t>(modes) + 1) ||
        !all_finite(modal.participation.data()->data(), 3 * (static_cast<std::size_t>(modes) + 1)) ||
        !all_finite(&modal.total_mass, 1))
        mismatch();
    // The sum over the modes of the factor squared divided by the total mass.
    for (int d = 0; d < 3; ++d) {
        double sum = 0.0;
        for (int m = 1; m <= modes; ++m)
            sum += static_cast<double>(modal.participation[m][static_cast<std::size_t>(d)]) *
                   modal.participation[m][static_cast<std::size_t>(d)];
        modal.mass_participation[static_cast<std::size_t>(d)] =
            modal.total_mass != 0.0f ? static_cast<float>(sum / modal.total_mass) : 0.0f;
    }
}

// The support-block layout of the rows and the support lists.
void size_support_results(const Model& m, ResultsState& r, Findings& found)
{
    found.row_layout.assign(static_cast<std::size_t>(m.numrows()) + 1, {0, 0});
    int32_t offset = 0;
    std::vector<int32_t> by_row;
    for (int row = 1; row <= m.numrows(); ++row) {
        const int words = support_word_count(m.rows[row].dtype);
        found.row_layout[static_cast<std::size_t>(row)] = {offset, words};
        offset += 4 * words;
        if (words > 0)
            by_row.push_back(row);
    }
    r.supports_by_row = OneBased<int32_t>(static_cast<int>(by_row.size()));
    std::copy(by_row.begin(), by_row.end(), r.supports_by_row.begin());
    r.supports_by_kind = OneBased<int32_t>();
    for (int kind : SUPPORT_KIND_ORDER)
        for (int32_t row : by_row)
            if (m.rows[row].dtype == kind)
                r.supports_by_kind.push_back(row);
    KV_ASSERT(r.supports_by_kind.size() == r.supports_by_row.size());
}

// The load-case blocks in file order, the presence flags, the modal block
// and the hanger designs after the last block.
void locate_load_case_blocks(BinFile& file, const Model& m, const LoadCaseList& cases, int32_t soils, ResultsState& r,
                             Findings& found)
{
    const int64_t nodes = m.numnodes(), elements = m.numelems();
    const int32_t code_id = piping_code();
    std::array<uint8_t, MAX_LOAD_CASE_CODE + 1> present{};
    OneBased<ResultsLoadCase> file_order;
    int64_t at = results_first_block_at(elements, soils, r.version);
    for (int i = 1; i <= cases.count(); ++i) {
        const int code = cases.code(i);
        if (code == 0)
            continue;
        if (code == LC_MODAL) {
            read_modal_block(file, at, nodes, r);
            at += results_modal_block_size(nodes, r.modal.modes);
            continue;
        }
        // A code without a place in the display order, or a second block
        // of a code, is not shown; the blocks after it are found all the same.
        if (code >= 1 && code <= MAX_LOAD_CASE_CODE && results_code_displayable(code, code_id) &&
            !present[static_cast<std::size_t>(code)]) {
            present[static_cast<std::size_t>(code)] = 1;
            file_order.push_back({code, at, at + results_force_offset(code, nodes),
                                  at + results_support_offset(code, nodes, elements)});
            if (code == LC_RESPONSE_SPECTRUM)
                r.acceleration_block = at + results_acceleration_offset(nodes);
        }
        at += results_case_block_size(code, nodes, elements, r.support_bytes);
    }
    // The hangers' design records follow the last block, in row order.
    file.seek(at);
    for (int row = 1; row <= m.numrows(); ++row) {
        if (m.rows[row].dtype != DT_HANGER)
            continue;
        HangerDesign design;
        try {
            read_hanger_design(file, design);
        } catch (const MessageText&) {
            mismatch();   // a value that is not a number
        }
        found.hanger_designs.emplace_back(row, design);
    }
    if (file.error())
        mismatch();

    const bool buried = numsoils() > 0 && std::any_of(pipe_sections().begin(), pipe_sections().end(),
                                                      [](const PipeSection& s) { return !s.soil.empty(); });
    const bool branch_sifs = std::any_of(m.rows.begin(), m.rows.end(),
                                         [](const LayoutRow& row) { return row.dtype == DT_BRANCH_SIF; });
    r.available = results_availability(present, code_id, analysis_options().use_b31j, buried, branch_sifs);
    r.load_cases = order_results_load_cases(file_order);
    r.current = r.load_cases.empty() ? 0 : 1;
}

// Element kinds, index lists, node lists and the nodes that have results.
void classify_elements(const Model& m, ResultsState& r, Findings& found)
{
    const int nodes = m.numnodes();
    found.has_results.assign(static_cast<std::size_t>(nodes) + 1, 0);
    r.node_elements = OneBased<std::vector<int32_t>>(nodes);
    ResultsElementLists& lists = r.lists;
    for (int e = 1; e <= r.numelems(); ++e) {
        const ResultsElement& element = r.elements[e];
        for (int32_t n : {element.node1, element.node2}) {
            if (n < 1 || n > nodes)
                mismatch();
            found.has_results[static_cast<std::size_t>(n)] = 1;
            r.node_elements[n].push_back(e);
        }
        if (is_pipe_type(element.kind))
            (is_frp_material(element.material) ? lists.frp : lists.pipes).push_back(e);
        else if (element.kind == ET_BEAM)
            lists.beams.push_back(e);
        else
            lists.others.push_back(e);
        if (is_flexible_joint(element.kind))
            lists.flexible_joints.push_back(e);
        if (element.kind == ET_BALL_JOINT)
            lists.ball_joints.push_back(e);
    }
    // Each node's list runs from its highest-numbered element down.
    for (std::vector<int32_t>& list : r.node_elements)
        std::reverse(list.begin(), list.end());
    for (int32_t row : r.supports_by_row) {
        const int n = m.rows[row].node_index;
        if (n >= 1 && n <= nodes)
            found.has_results[static_cast<std::size_t>(n)] = 1;
    }
    for (int n = 1; n <= nodes; ++n)
        if (found.has_results[static_cast<std::size_t>(n)])
            r.results_nodes.push_back(n);
    const int flanges = m.list(FLANGE_ROWS).count;
    r.flange_index = OneBased<int32_t>(flanges);
    for (int i = 1; i <= flanges; ++i)
        r.flange_index[i] = i - 1;
}

void allocate_results_arrays(ResultsState& r)
{
    r.displacements = OneBased<std::array<float, 6>>(r.nodes);
    r.forces = OneBased<ElementForceRecord>(r.numelems());
    OneBased<ElementNodes> element_nodes(r.numelems());
    for (int e = 1; e <= r.numelems(); ++e)
        element_nodes[e] = {r.elements[e].node1, r.elements[e].node2};
    r.code.allocate(element_nodes, r.nodes, r.lists.pipes, r.lists.frp);
}

// What the results set in the model's rows and nodes.
void publish(Model& m, const Findings& found)
{
    for (int row = 1; row <= m.numrows(); ++row) {
        const auto& layout = found.row_layout[static_cast<std::size_t>(row)];
        m.rows[row].results_offset = layout[0];
        m.rows[row].results_words = layout[1];
    }
    for (int n = 1; n <= m.numnodes(); ++n)
        m.nodes[n].has_results = found.has_results[static_cast<std::size_t>(n)];
    for (const auto& [row, design] : found.hanger_designs)
        if (auto* hanger = dynamic_cast<Hanger*>(m.rows[row].data.get()))
            hanger->results_design = design;
    for (LayoutRow& row : m.rows)
        if (row.dtype == DT_GUIDE && row.data && row.node_index >= 1 && row.node_index <= m.numnodes())
            row.data->compute_local_axes(row.node_index);
}

[[noreturn]] void unreadable(const ResultsState& r)
{
    throw_message(std::string(RESULTS_UNREADABLE_TEXT) + ":\n" + r.path);
}

// Reads `count` floats at `offset` of the open file into `values`; a
// failed read or a value that is not a number zeroes them and throws.
void read_block(ResultsState& r, int64_t offset, float* values, std::size_t count)
{
    if (count == 0)
        return;
    if (!r.file.is_open() || !r.file.seek(offset)) {
        std::fill(values, values + count, 0.0f);
        unreadable(r);
    }
    r.file.read_floats(values, count);
    if (r.file.error() || !all_finite(values, count)) {
        std::fill(values, values + count, 0.0f);
        unreadable(r);
    }
}

float* node_values(ResultsState& r)
{
    return r.displacements.data()[1].data();
}

void recompute_extremes(ResultsState& r)
{
    DisplacementExtremes x;
    x.largest.fill(-1.0e30f);
    x.smallest.fill(1.0e30f);
    for (int32_t n : r.results_nodes)
        for (std::size_t d = 0; d < 6; ++d) {
            const float v = r.displacements[n][d];
            if (v > x.largest[d]) {
                x.largest[d] = v;
                x.largest_node[d] = n;
            }
            if (v < x.smallest[d]) {
                x.smallest[d] = v;
                x.smallest_node[d] = n;
            }
        }
    if (r.results_nodes.empty()) {
        x.largest.fill(0.0f);
        x.smallest.fill(0.0f);
    }
    r.extremes = x;
}

}  // namespace

ResultsState& results()
{
    std::unique_ptr<ResultsState>& state = holder();
    if (!state)
        state = std::make_unique<ResultsState>();
    return *state;
}

void reset_results()
{
    holder().reset();
}

bool results_open()
{
    const std::unique_ptr<ResultsState>& state = holder();
    return state && state->file.is_open();
}

bool results_elements_match_model()
{
    if (!results_open())
        return false;
    const ResultsState& r = results();
    const Model& m = model();
    if (r.elements.size() != m.numelems())
        return false;
    const OneBased<int32_t> places = element_places(m);
    for (int e = 1; e <= m.numelems(); ++e)
        if (r.elements[e] != expected_element_record(m.elems[e], places[e]))
            return false;
    return true;
}

bool results_element_changed(int e)
{
    if (!results_open())
        return false;
    const ResultsState& r = results();
    const Model& m = model();
    if (!r.chords.valid(e) || !m.elems.valid(e))
        return false;
    const std::array<float, 3> now = element_chord(m, m.elems[e]);
    const std::array<float, 3>& then = r.chords[e];
    // An element kept as it was has the same chord to the bit; a change
    // below a thousandth of an inch (or a millionth of the length) is none.
    double moved = 0.0, length = 0.0;
    for (std::size_t k = 0; k < 3; ++k) {
        moved += (double(now[k]) - then[k]) * (double(now[k]) - then[k]);
        length += double(then[k]) * then[k];
    }
    return std::sqrt(moved) > 1e-3 + 1e-6 * std::sqrt(length);
}

bool results_elements_changed()
{
    if (!results_open() || !results_elements_match_model())
        return false;
    for (int e = 1; e <= model().numelems(); ++e)
        if (results_element_changed(e))
            return true;
    return false;
}

ResultsAvailability results_availability(const std::array<uint8_t, MAX_LOAD_CASE_CODE + 1>& present,
                                         int32_t code, bool use_b31j, bool buried, bool branch_sifs)
{
    ResultsAvailability a;
    a.present = present;
    auto any = [&](std::initializer_list<std::pair<int, int>> ranges) {
        for (const auto& [first, last] : ranges)
            for (int c = first; c <= last; ++c)
                if (a.has(c))
                    return true;
        return false;
    };
    a.any_expansion = any({{2, 7}, {51, 99}});
    a.any_operating = any({{8, 10}, {100, 106}});
    const bool bs806 = code == CODE_BS806;
    a.bs806_stresses = bs806 && (a.any_operating || any({{15, 17}, {110, 116}}));
    a.any_occasional = !bs806 && any({{12, 13}, {31, 31}, {35, 37}, {107, 109}});
    a.code_stresses = a.has(LC_SUSTAINED) || a.any_expansion || a.any_occasional || a.has(LC_SETTLEMENT) ||
                      (bs806 && a.bs806_stresses);
    const bool in_out_rule =
        code_is_one_of(code, {CODE_B311_1967, CODE_B313, CODE_B314, CODE_B315, CODE_B318, CODE_CODETI,
                              CODE_EN13480, CODE_B3112, CODE_IGEM}) ||
        use_b31j;
    a.in_out_plane_sifs = bs806 ? a.bs806_stresses && in_out_rule : in_out_rule;
    a.end_stresses = code_is_one_of(code, {CODE_ASME_CLASS2_1980, CODE_ASME_CLASS2_1986, CODE_ASME_CLASS2_1992,
                                           CODE_ASME_CLASS2_2015, CODE_ASME_CLASS2_2017, CODE_ASME_CLASS3_2017,
                                           CODE_NORWEGIAN_1983, CODE_NORWEGIAN_1990, CODE_RCCM, CODE_CODETI,
                                           CODE_SWEDISH, CODE_EN13480}) ||
                     (code_is_one_of(code, {CODE_B314, CODE_B318, CODE_Z662}) && buried);
    a.pipeline_sort = a.end_stresses && a.has(LC_SUSTAINED) &&
                      (a.any_expansion || code_is_one_of(code, {CODE_B314, CODE_B318, CODE_Z662}));
    a.branch_connection_stresses =
        code_is_one_of(code, {CODE_ASME_CLASS2_1986, CODE_ASME_CLASS2_1992, CODE_ASME_CLASS2_2015,
                              CODE_ASME_CLASS2_2017, CODE_ASME_CLASS3_2017}) &&
        a.has(LC_SUSTAINED) && branch_sifs;
    return a;
}

void read_results(const std::string& path)
{
    Model& m = model();
    const LoadCaseList cases = analysis_load_cases();
    auto next = std::make_unique<ResultsState>();
    ResultsState& r = *next;
    r.path = path;
    BinFile& file = r.file;
    if (!file.open_read(path))
        throw_message(RESULTS_UNREADABLE_TEXT);
    r.version = check_header(file);
    // Nothing of a file whose bytes are not those written is shown.
    if (!results_file_check_holds(file, r.version))
        throw_message(results_damaged_text(path));

    // The counts, checked against the model and the file's length before
    // anything is allocated from them.
    const int32_t elements = file.read_int();
    if (file.error() || elements != m.numelems())
        mismatch();
    const int64_t nodes = m.numnodes();
    r.nodes = m.numnodes();
    r.support_bytes = 4 * static_cast<int64_t>(support_value_count(m));
    const int64_t soils_at = results_soil_count_at(elements, r.version);
    if (soils_at + 4 > file.size() || !file.seek(soils_at))
        mismatch();
    const int32_t soils = file.read_int();
    if (file.error() || soils < 0 || !file.fits(soils, SOIL_RESTRAINT_RECORD_SIZE))
        mismatch();
    int32_t modes = 0;
    int modal_blocks = 0;
    int64_t at = results_first_block_at(elements, soils, r.version);
    for (int i = 1; i <= cases.count(); ++i) {
        const int code = cases.code(i);
        if (code == LC_MODAL) {
            if (++modal_blocks > 1 || at + 4 > file.size() || !file.seek(at))
                mismatch();
            modes = file.read_int();
            // Each mode takes at least its shape and four more values.
            if (file.error() || modes < 0 || !file.fits(modes, static_cast<std::size_t>(24 * nodes + 16)))
                mismatch();
            at += results_modal_block_size(nodes, modes);
        } else if (code != 0) {
            at += results_case_block_size(code, nodes, elements, r.support_bytes);
        }
        if (at > file.size())
            mismatch();
    }
    if (!results_file_ends_well(file, r.version, results_file_size(m, cases, elements, soils, modes, r.version),
                                r.run_record))
        mismatch();
    // The notes of the hanger design name hangers of this model at their nodes.
    for (const HangerNote& note : r.run_record.hanger_notes)
        if (!m.rows.valid(note.row) || m.rows[note.row].dtype != DT_HANGER || m.rows[note.row].node != note.node)
            mismatch();

    read_element_records(file, m, r);
    file.seek(soils_at + 4);
    read_soil_restraints(file, soils, r);
    Findings found;
    size_support_results(m, r, found);
    locate_load_case_blocks(file, m, cases, soils, r, found);
    classify_elements(m, r, found);
    allocate_results_arrays(r);

    // Nothing failed: the model takes the results' marks, and they become
    // the open results (the ones open before are closed).
    publish(m, found);
    holder() = std::move(next);
}

void clear_loaded_results()
{
    results().loaded = LoadedResults{};
}

void read_load_case_displacements()
{
    ResultsState& r = results();
    const int index = results_loadcase();
    if (!index)
        return;
    r.loaded.displacements = 0;
    r.loaded.mode = 0;
    r.loaded.accelerations = false;
    r.magnification = 0.0f;
    read_block(r, r.load_cases[index].displacements, node_values(r), 6 * static_cast<std::size_t>(r.nodes));
    r.loaded.displacements = index;
    recompute_extremes(r);
}

void read_spectrum_accelerations()
{
    ResultsState& r = results();
    if (!r.available.has(LC_RESPONSE_SPECTRUM))
        return;
    if (!r.loaded.accelerations) {
        r.loaded.displacements = 0;
        r.loaded.mode = 0;
        read_block(r, r.acceleration_block, node_values(r), 6 * static_cast<std::size_t>(r.nodes));
    }
    r.loaded.accelerations = true;
    r.loaded.displacements = 0;
    r.loaded.mode = 0;
}

void read_mode_results()
{
    ResultsState& r = results();
    if (r.modal.modes <= 0)
        return;
    r.current_mode = std::clamp(r.current_mode, 1, static_cast<int>(r.modal.modes));
    if (r.loaded.mode != r.current_mode) {
        r.loaded.mode = 0;
        r.loaded.displacements = 0;
        r.loaded.accelerations = false;
        read_block(r, r.modal.first_shape + results_node_block_size(r.nodes) * (r.current_mode - 1), node_values(r),
                   6 * static_cast<std::size_t>(r.nodes));
        r.loaded.mode = r.current_mode;
        r.magnification = 0.0f;
    }
}

void read_load_case_forces()
{
    ResultsState& r = results();
    const int index = results_loadcase();
    if (!index || r.loaded.forces == index)
        return;
    r.loaded.forces = 0;
    r.loaded.forces_code = 0;
    if (r.numelems() > 0)
        read_block(r, r.load_cases[index].forces, r.forces.data()[1].data(), 12 * static_cast<std::size_t>(r.numelems()));
    r.loaded.forces = index;
    r.loaded.forces_code = r.load_cases[index].code;
}

void read_load_case_forces_of(int code, OneBased<ElementForceRecord>& out)
{
    ResultsState& r = results();
    out = OneBased<ElementForceRecord>(r.numelems());
    const int index = results_load_case_index(code);
    if (!index || r.numelems() == 0)
        return;
    read_block(r, r.load_cases[index].forces, out.data()[1].data(), 12 * static_cast<std::size_t>(r.numelems()));
}

void read_load_case_support_loads()
{
    ResultsState& r = results();
    const int index = results_loadcase();
    if (!index)
        return;
    r.loaded.supports = 0;
    Model& m = model();
    const int64_t block = r.load_cases[index].supports;
    if (!r.file.is_open() || !r.file.seek(block))
        unreadable(r);
    bool finite = true;
    // Only support rows have words; they are read in row order.
    for (int32_t index : r.supports_by_row) {
        LayoutRow& row = m.rows[index];
        if (!row.data || row.results_words <= 0)
            continue;
        if (r.file.tell() != block + row.results_offset)
            r.file.seek(block + row.results_offset);
        row.data->read_support_loads(r.file);
        if (auto* support = dynamic_cast<SupportItem*>(row.data.get()))
            finite = finite && all_finite(support->current_loads.data(), support->current_loads.size());
    }
    if (r.file.error() || !finite) {
        for (int32_t index : r.supports_by_row)
            if (auto* support = dynamic_cast<SupportItem*>(m.rows[index].data.get()))
                std::fill(support->current_loads.begin(), support->current_loads.end(), 0.0f);
        unreadable(r);
    }
    // The guides' loads in their own axes at their node (computed when the
    // results were opened; the model does not change while they are shown).
    const bool dynamic = results_loadcase_is_dynamic();
    const RowList& guides = m.list(GUIDE_ROWS);
    for (int i = 1; i <= guides.count && i <= guides.rows.size(); ++i) {
        LayoutRow& row = m.rows[guides.rows[i]];
        if (row.data && row.node_index >= 1 && row.node_index <= m.numnodes())
            row.data->turn_loads_to_local(dynamic);
    }
    r.loaded.supports = index;
}
