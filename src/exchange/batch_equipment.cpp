// The equipment sections: PUMPS, COMPRESSORS, TURBINES and ALLOWABLES. Their
// fields are separated by commas only, so that a description may hold
// blanks. Node numbers are node texts; the node need not exist.
#include "exchange/batch_sections.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "framework/units.h"
#include "model/nodes.h"
#include "qualification/equipment.h"
#include "qualification/pump_evaluation.h"

namespace {

// A node field: empty is none (0); any other text must be a node text.
int32_t node_field(const BatchReader& r, const std::string& text, const char* message, bool with_detail)
{
    if (text.empty())
        return 0;
    int node = 0;
    if (parse_node_text_code(text, node) != 0) {
        if (with_detail)
            r.fail(message, text);
        r.fail(message);
    }
    return node;
}

std::string description_field(const BatchReader& r, const std::optional<std::string>& field, const char* noun)
{
    if (!given(field))
        r.fail(std::string(noun) + " description is required");
    if (field->size() > EQUIPMENT_DESCRIPTION_LENGTH)
        r.fail(c_format("%s desc should be <= %zu characters", noun, EQUIPMENT_DESCRIPTION_LENGTH), *field);
    return *field;
}

int32_t location_field(const BatchReader& r, const std::string& text, const char* message)
{
    int32_t location = 0;
    if (parse_int(text, location) != 0 || location < LOCATION_TOP || location > LOCATION_END)
        r.fail(message, text);
    return location;
}

}  // namespace

void read_pump_line(BatchImport& b)
{
    BatchReader& r = b.reader;
    BatchTokenizer& f = r.line_fields();
    PumpRecord p;
    p.name = description_field(r, f.next_field(), "Pump");
    const std::optional<std::string> type = f.next_field();
    if (!given(type))
        r.fail("Pump type is required");
    int32_t vertical = 0;
    if (parse_int(*type, vertical) != 0 || vertical < 0 || vertical > 1)
        r.fail("Invalid Pump type", *type);
    p.vertical = static_cast<uint8_t>(vertical);
    p.kind = api610_pump_kind(p.vertical);

    auto required = [&f, &r](const char* message) {
        const std::optional<std::string> field = f.next_field();
        if (!field)
            r.fail(message);
        return *field;
    };
    if (!vertical) {
        const char* const axis[3] = {"Invalid xcomp", "Invalid ycomp", "Invalid zcomp"};
        for (std::size_t i = 0; i < 3; ++i) {
            const std::string text = required("Shaft axis direction required");
            if (parse_real(text, p.shaft_axis[i]) != 0)
                r.fail(axis[i], text);
        }
        const char* const centre[3] = {"Invalid x coordinate", "Invalid y coordinate", "Invalid z coordinate"};
        for (std::size_t i = 0; i < 3; ++i) {
            const std::string text = required("Centre of pump required");
            if (parse_length(text, p.centre[i]) != 0)
                r.fail(centre[i], text);
        }
    }
    p.suction_node = node_field(r, required("Suction node required"), "Invalid Suction node", true);
    if (!vertical)
        p.suction_location = location_field(r, required("Suction location required"), "Invalid Suction location");
    if (const std::optional<std::string> discharge = f.next_field()) {
        p.discharge_node = node_field(r, *discharge, "Invalid discharge node", true);
        if (!vertical)
            if (const std::optional<std::string> location = f.next_field())
                p.discharge_location = location_field(r, *location, "Invalid discharge location");
    }
    if (p.suction_node == 0 && p.discharge_node == 0)
        r.fail("Suction or Dischage node required");
    // Both nozzles of a vertical inline pump sit on the sides of its casing,
    // as the pump dialog stores them.
    if (vertical)
        p.suction_location = p.discharge_location = LOCATION_SIDE;
    if (!vertical) {
        // A pump may stand at the origin of the model's axes.
        if (p.shaft_axis == std::array<float, 3>{})
            r.fail("invalid shaft axis direction");
    }
    check_room(r, pumps().size(), MAX_EQUIPMENT_RECORDS, "pumps");
    pumps().push_back(std::move(p));
    b.pump_lines.resize(static_cast<std::size_t>(pumps().size()) + 1);
    b.pump_lines.back() = {r.line_number(), r.line()};
}

void check_pump_shaft_axes(const BatchImport& b)
{
    for (std::size_t i = 1; i < b.pump_lines.size(); ++i) {
        const BatchImport::SourceLine& line = b.pump_lines[i];
        if (line.number == 0 || !pumps().valid(static_cast<int>(i)))
            continue;
        const std::string refusal = pump_shaft_axis_refusal(pumps()[static_cast<int>(i)]);
        if (!refusal.empty())
            throw MessageText(batch_error_text(line.number, line.text, refusal));
    }
}

void read_compressor_line(BatchImport& b, bool turbine)
{
    BatchReader& r = b.reader;
    BatchTokenizer& f = r.line_fields();
    CompressorRecord c;
    c.name = description_field(r, f.next_field(), turbine ? "Turbine" : "Compressor");
    const char* const axis[3] = {"Invalid xcomp", "Invalid ycomp", "Invalid zcomp"};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::optional<std::string> field = f.next_field();
        if (!field)
            r.fail("Shaft axis direction required");
        if (parse_real(*field, c.shaft_axis[i]) != 0)
            r.fail(axis[i], *field);
    }
    struct Node {
        int32_t CompressorRecord::*member;
        const char* message;
    };
    for (const Node& n : {Node{&CompressorRecord::inlet, "Invalid inlet node number"},
                          Node{&CompressorRecord::exhaust, "Invalid exhaust node number"},
                          Node{&CompressorRecord::extraction1, "Invalid extraction1 node number"},
                          Node{&CompressorRecord::extraction2, "Invalid extraction2 node number"}}) {
        const std::optional<std::string> field = f.next_field();
        if (!field)
            break;
        c.*n.member = node_field(r, *field, n.message, false);
    }
    if (c.shaft_axis == std::array<float, 3>{})
        r.fail("shaft axis direction required");
    if (const std::string why = machine_shaft_axis_refusal(c); !why.empty())
        r.fail(why);
    OneBased<CompressorRecord>& records = turbine ? turbines() : compressors();
    check_room(r, records.size(), MAX_EQUIPMENT_RECORDS, turbine ? "turbines" : "compressors");
    records.push_back(std::move(c));
}

void read_allowable_line(BatchImport& b)
{
    BatchReader& r = b.reader;
    BatchTokenizer& f = r.line_fields();
    AllowableLoad a;
    const std::optional<std::string> node = f.next_field();
    if (!node)
        r.fail("Node required");
    if (!node->empty()) {
        int number = 0;
        if (parse_node_text_code(*node, number) != 0)
            r.fail("Invalid node", *node);
        a.node = number;
    }
    const char* const messages[ALLOWABLE_VALUES] = {"Invalid FX", "Invalid FY", "Invalid FZ",
                                                    "Invalid MX", "Invalid MY", "Invalid MZ"};
    for (std::size_t i = 0; i < ALLOWABLE_VALUES; ++i) {
        const std::optional<std::string> field = f.next_field();
        if (!field)
            r.fail("force and moment required");
        const int bad = i < 3 ? parse_force(*field, a.values[i]) : parse_moment(*field, a.values[i]);
        if (bad != 0)
            r.fail(messages[i], *field);
    }
    if (a.node == 0)
        r.fail("Node required");
    check_room(r, allowables().size(), MAX_EQUIPMENT_RECORDS, "allowables");
    allowables().push_back(std::move(a));
}
