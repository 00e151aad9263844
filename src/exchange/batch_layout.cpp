// The LAYOUT section: one layout row per data line. The row head gives the
// node, the element type and codes, the carried material and section names
// and the offsets; the item list behind the head's C token gives the row's
// element values, its data item and its operating condition.
#include "exchange/batch_sections.h"
#include "exchange/row_completion.h"
#include "framework/text.h"
#include "framework/units.h"
#include "loads/pipe_load.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/element_data.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/nodes.h"

#include <cmath>

namespace {

// The operating temperature of a row that names no condition.
constexpr float AMBIENT_ROW_TEMPERATURE = 70.0f;

const char* const ONE_DATA_ITEM = "Only one data item per line is allowed\nUse Location (L) for additional items";

struct RowLine {
    int32_t node = 0;
    bool node_given = false;
    bool absolute = false;
    int etype = ET_PIPE;
    int dtype = DT_NONE;
    float offset[3] = {0.0f, 0.0f, 0.0f};
    // One K code may give the element (I, M, H) and one the data item (A or a
    // branch SIF): a bend with an anchor carries both.
    bool element_code_seen = false;
    bool data_code_seen = false;
};

void set_data_type(const BatchReader& r, RowLine& line, int dtype)
{
    if (line.dtype != DT_NONE)
        r.fail(ONE_DATA_ITEM);
    line.dtype = dtype;
}

int32_t node_of(const BatchReader& r, const std::string& text)
{
    int node = 0;
    if (parse_node_text_code(text, node) != 0)
        r.fail("Invalid node", text);
    return node;
}

int joint_code(const BatchReader& r, const std::string& rest)
{
    switch (rest.empty() ? '\0' : rest[0]) {
    case 'B': return ET_BALL_JOINT;
    case 'C': return ET_CUT_PIPE;
    case 'D': return ET_REDUCER;
    case 'E': return ET_BELLOWS;
    case 'I': return ET_JACKETED_BEND;
    case 'L': return ET_ELASTIC;
    case 'M': return ET_BEAM;
    case 'P': return ET_JACKETED_PIPE;
    case 'R': return ET_RIGID;
    case 'S': return ET_SLIP_JOINT;
    case 'T': return ET_TIE_ROD;
    case 'V': return ET_VALVE;
    case 'F': r.fail("Flexible joint (beam) is presently not available");
    default: r.fail("Invalid joint code (J)");
    }
}

void read_code(const BatchReader& r, RowLine& line, RowHead& head, const std::string& rest)
{
    if (!line.node_given)
        r.fail("Node is not specified");
    // Branch SIF kinds of the codes T, F, E, S, W, R, P, B.
    const std::string branch_codes = "T?FESWRPB";
    const char code = rest.empty() ? '\0' : rest[0];
    const bool element = code == 'I' || code == 'M' || code == 'H';
    bool& seen = element ? line.element_code_seen : line.data_code_seen;
    if (seen)
        r.fail("Code (K) can be specified only once");
    seen = true;
    switch (code) {
    case 'I': line.etype = ET_BEND; return;
    case 'M': line.etype = ET_MITER; return;
    case 'H': line.etype = ET_HINGE_JOINT; return;
    case 'A': set_data_type(r, line, DT_ANCHOR); return;
    default: break;
    }
    const std::size_t kind = code == '\0' || code == '?' ? std::string::npos : branch_codes.find(code);
    if (kind == std::string::npos)
        r.fail("Invalid code (K)", "K" + rest);
    set_data_type(r, line, DT_BRANCH_SIF);
    head.branch_kind = static_cast<int>(kind) + 1;
}

// The row's data item from its items, in this order; a second one, or one
// beside a K code's, is refused.
void settle_data_type(const BatchReader& r, RowLine& line, const RowItemValues& v)
{
    const bool restrained = v.restrained[0] || v.restrained[1] || v.restrained[2];
    const std::pair<bool, int> choices[] = {
        {v.hanger_kind != 0, DT_HANGER},
        {v.guide, DT_GUIDE},
        {v.force_given && !v.harmonic, DT_FORCE},
        {v.k != 0.0f, DT_SKEWED_RESTRAINT},
        {v.kr != 0.0f, DT_SKEWED_RESTRAINT},
        {restrained, DT_RESTRAINT},
        {v.user_sif, DT_USER_SIF},
        {v.flange, DT_FLANGE},
        {v.limit_stop, DT_LIMIT_STOP},
        {v.concentrated_weight != 0.0f, DT_CONC_MASS},
        {v.harmonic, DT_HARMONIC_LOAD},
        {v.end_cap, DT_JACKET_END_CAP},
        {v.snubber, DT_SNUBBER},
        {v.spider, DT_SPIDER},
        {v.threaded_joint, DT_THREADED_JOINT},
        {v.weld, DT_WELD},
        {v.nozzle_type != 0, DT_NOZZLE},
    };
    for (const auto& [chosen, dtype] : choices)
        if (chosen)
            set_data_type(r, line, dtype);
}

bool near(float a, float b, float tolerance) { return std::abs(static_cast<double>(a) - b) < tolerance; }

// The name of the load for the row's operating condition: the first pipe
// load whose first set, specific gravity and added weight match it, else a
// new one that starts as a new pipe load does, but with wind on: the row
// gave no load of its own to say otherwise.
std::string row_load_for(const BatchReader& r, const OperatingCondition& c)
{
    const NamedSet<PipeLoad>& loads = pipe_loads();
    for (const PipeLoad& l : loads)
        if (near(l.temperature[1], c.temperature, 0.1f) && near(l.pressure[1], c.pressure, 0.1f) &&
            near(l.specific_gravity, c.specific_gravity, 0.001f) && near(l.added_weight, c.uniform_load, 0.01f))
            return l.name;
    if (loads.size() >= MAXLOADS)
        r.fail("Maximum number of loads exceeded");
    PipeLoad l = make_pipe_load();
    l.temperature[1] = c.temperature;
    l.pressure[1] = c.pressure == 0.0f ? ENTERED_ZERO : c.pressure;
    l.specific_gravity = c.specific_gravity;
    l.added_weight = c.uniform_load;
    l.wind = 1;
    l.design_temperature = load_max_temperature(l);
    l.design_pressure = load_max_pressure(l);
    // Its number, or the next number that no load has as its name.
    for (int n = loads.size() + 1; l.name.empty(); ++n)
        if (load_index(std::to_string(n)) == 0)
            l.name = std::to_string(n);
    const std::string name = l.name;
    pipe_loads().push_back(std::move(l));
    return name;
}

// The load name of a row: the name of the last L item when it came after
// the condition, else the load that the condition calls for (the carried
// name while the condition is the ambient one, no pressure, no contents and
// no added weight).
std::string row_load_name(const BatchReader& r, const OperatingCondition& c)
{
    if (c.by_name && !c.load_name.empty())
        return c.load_name;
    const bool ambient = c.temperature == AMBIENT_ROW_TEMPERATURE && std::abs(c.pressure) < ENTERED_ZERO_LIMIT &&
                         c.specific_gravity == 0.0f && c.uniform_load == 0.0f;
    return ambient ? c.load_name : row_load_for(r, c);
}

bool row_without_names(int etype)
{
    // A comment or hydrotest row has no pipe of its own to name.
    return etype == ET_FROM || etype == ET_LOCATION || etype == ET_HINGE_JOINT || etype == ET_BALL_JOINT ||
           etype == ET_ELASTIC || etype == ET_TIE_ROD || etype == ET_COMMENT || etype == ET_HYDROTEST_LOAD;
}

}  // namespace

void read_layout_line(BatchImport& b)
{
    BatchReader& r = b.reader;
    BatchTokenizer& t = r.line_tokens();
    // A blank line is no row.
    if (!t.next_token())
        return;
    t.start(r.work());
    // Items may go on in continuation lines: the row's line is its first.
    BatchImport::SourceLine first{r.line_number(), r.line()};
    RowLine line;
    RowHead head;
    RowItemValues values;
    bool has_items = false;
    std::size_t items_start = 0;
    while (const std::optional<std::string> token = t.next_token()) {
        const std::string& text = *token;
        const std::string rest = text.empty() ? std::string() : text.substr(1);
        bool head_ends = false;
        switch (text.empty() ? '\0' : text[0]) {
        case 'T': {
            std::string node = rest;
            if (text.size() > 1 && text.back() == '*') {
                line.absolute = true;
                node.pop_back();
            }
            line.node = node_of(r, node);
            line.node_given = true;
            line.etype = ET_PIPE;
            break;
        }
        case 'F':
        case 'L':
            line.node = node_of(r, rest);
            line.node_given = true;
            line.etype = text[0] == 'F' ? ET_FROM : ET_LOCATION;
            break;
        case 'H':
            line.etype = ET_HYDROTEST_LOAD;
            break;
        case '*':
            line.etype = ET_COMMENT;
            head.comment = r.line().substr(1, COMMENT_LENGTH - 1);
            head_ends = true;
            break;
        case 'X':
        case 'Y':
        case 'Z': {
            const int axis = text[0] - 'X';
            if (parse_length(rest, line.offset[axis]) != 0)
                r.fail(c_format("Invalid %c", text[0]), rest);
            break;
        }
        case 'B':
            if (parse_dimension(rest, head.bend_radius) != 0 || head.bend_radius < BATCH_LEAST_BEND_RADIUS)
                r.fail("Invalid bend radius (B)", rest);
            head.bend_radius_given = true;
            break;
        case 'M':
            b.material = rest;
            if (material_index(rest) == 0)
                r.fail("Undefined material", rest);
            break;
        case 'P':
            b.section = rest;
            if (section_index(rest) == 0)
                r.fail("Undefined pipe section", rest);
            break;
        case 'J':
            line.etype = joint_code(r, rest);
            break;
        case 'K':
            read_code(r, line, head, rest);
            break;
        case 'C':
            // The item list is the text behind this C; the head ends with it.
            has_items = true;
            items_start = t.last_start() + 1;
            head_ends = true;
            break;
        case 'G':
            break;
        default:
            r.fail("Invalid field", text);
        }
        if (head_ends)
            break;
    }
    if (has_items) {
        RowItemContext context{r, values, b.condition, b.hanger_catalog};
        read_row_items(context, r.work().substr(items_start));
    }
    settle_data_type(r, line, values);

    if (numrows() >= row_capacity())
        r.fail("Maximum number of rows exceeded", c_format("a model holds at most %d rows", MAXROWS));
    const int index = append_layout_row();
    b.keep_row_line(index, std::move(first));
    LayoutRow& row = model().rows[index];
    row.node = line.node;
    row.etype = line.etype;
    row.dtype = line.dtype;
    row.create_element_object();
    row.create_data_object(index);
    row.absolute = line.absolute ? 1 : 0;
    row.dx = line.offset[0];
    row.dy = line.offset[1];
    row.dz = line.offset[2];
    if (!row_without_names(row.etype)) {
        row.material = b.material;
        row.section = b.section;
        row.load = row_load_name(r, b.condition);
    }
    complete_row_element(r, index, values, head);
    complete_row_data(r, index, values, head);
}
