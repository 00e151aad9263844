#include "supports/support_common.h"

#include "analysis_core/element_assembly.h"
#include "analysis_core/steps.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/model_file.h"

#include <cmath>

namespace {

// The highest node number a row can name (a number in the jacket band).
constexpr int32_t MAX_CONNECTED_NODE = JACKET_OFFSET + MAX_NODE_NUMBER;

}  // namespace

// ---- Record fields -------------------------------------------------------------------

void require_framed_record(const char* kind)
{
    if (!model_file_framed())
        throw_message(c_format("This version of the program cannot read a %s of a version %.2f model file", kind,
                               model_file_version() / 100.0));
}

bool tag_valid(const std::string& tag)
{
    return tag.size() <= TAG_LENGTH && !holds_controls(tag);
}

std::string read_tag(BinFile& file)
{
    return file.read_name(TAG_FIELD_WIDTH);
}

void write_tag(BinFile& file, const std::string& tag)
{
    file.write_name(tag, TAG_FIELD_WIDTH);
}

float read_finite(BinFile& file, const char* name)
{
    const float value = file.read_float();
    if (!file.error() && !std::isfinite(value))
        throw_message(c_format("%s is not a number", name));
    return value;
}

float read_not_negative(BinFile& file, const char* name)
{
    const float value = read_finite(file, name);
    if (!file.error() && value < 0.0f)
        throw_message(c_format("%s is invalid", name));
    return value;
}

bool connected_node_number_valid(int32_t number)
{
    return number >= 0 && number <= MAX_CONNECTED_NODE;
}

int32_t read_connected_node(BinFile& file)
{
    const int32_t number = file.read_int();
    if (!file.error() && !connected_node_number_valid(number))
        throw_message(c_format("Connected node %d is invalid", number));
    return number;
}

// ---- Values ----------------------------------------------------------------------------

double stiffness_of(float stiffness)
{
    if (!(stiffness > 0.0f))
        return 0.0;
    if (stiffness >= RIGID_STIFFNESS)
        return RIGID_LINK;
    return stiffness;
}

double rigid_when_zero(float stiffness)
{
    return stiffness > 0.0f ? stiffness_of(stiffness) : RIGID_LINK;
}

Vec3 unit_direction(float x, float y, float z)
{
    double dx = x, dy = y, dz = z;
    if (length3(dx, dy, dz) < MIN_DIRECTION_LENGTH)
        return {};
    normalize3(dx, dy, dz);
    return {dx, dy, dz};
}

bool direction_given(float x, float y, float z)
{
    return length3(x, y, z) >= MIN_DIRECTION_LENGTH;
}

// ---- Checks against the model --------------------------------------------------------------

void check_row_values(int row, const std::function<void()>& check)
{
    try {
        check();
    } catch (const MessageText& m) {
        throw_message(c_format("Row %d: ", row) + m.text);
    }
}

int connected_node_index(const Model& model, int32_t number)
{
    if (number == 0)
        return 0;
    const auto found = model.node_lookup.find(number);
    return found == model.node_lookup.end() ? 0 : found->second;
}

void check_connected_node(const Model& model, int row, int32_t number, const char* kind)
{
    if (number == 0)
        return;
    const int index = connected_node_index(model, number);
    if (index == 0 || model.nodes[index].kind == NODE_BEND_CORNER)
        throw_message(c_format("Row %d: connected node %s of the %s does not exist", row, node_text(number).c_str(),
                               kind));
    if (number == model.rows[row].node)
        throw_message(c_format("Row %d: the %s is connected to its own node %s", row, kind,
                               node_text(number).c_str()));
}

Vec3 connected_direction(const Model& model, int row, int32_t number)
{
    const int a = model.rows.valid(row) ? model.rows[row].node_index : 0;
    const int b = connected_node_index(model, number);
    if (!model.nodes.valid(a) || !model.nodes.valid(b))
        return {};
    const Vec3 pa = node_position(model, a), pb = node_position(model, b);
    return unit_direction(static_cast<float>(pb.x - pa.x), static_cast<float>(pb.y - pa.y),
                          static_cast<float>(pb.z - pa.z));
}

Vec3 support_direction(const Model& model, int row, float x, float y, float z, int32_t connected)
{
    if (direction_given(x, y, z))
        return unit_direction(x, y, z);
    return connected_direction(model, row, connected);
}

void check_support_direction(const Model& model, int row, float x, float y, float z, int32_t connected,
                             const char* kind)
{
    const Vec3 d = support_direction(model, row, x, y, z, connected);
    if (d.x == 0.0 && d.y == 0.0 && d.z == 0.0)
        throw_message(c_format("Row %d: the direction of the %s is not defined", row, kind));
}

// ---- Specified displacements --------------------------------------------------------------

bool DisplacementSets::any() const
{
    for (int k = 1; k <= DISPLACEMENT_SETS; ++k)
        if (given[static_cast<std::size_t>(k)])
            return true;
    return false;
}

void DisplacementSets::read(BinFile& file)
{
    clear();
    for (int k = 1; k <= DISPLACEMENT_SETS; ++k)
        given[static_cast<std::size_t>(k)] = read_flag(file, "Displacement set") ? 1 : 0;
    for (int k = 1; k <= DISPLACEMENT_SETS && !file.error(); ++k) {
        if (!given[static_cast<std::size_t>(k)])
            continue;
        for (float& v : values[static_cast<std::size_t>(k)])
            v = read_finite(file, "Specified displacement");
    }
}

void DisplacementSets::write(BinFile& file) const
{
    for (int k = 1; k <= DISPLACEMENT_SETS; ++k)
        file.write_byte(given[static_cast<std::size_t>(k)] ? 1 : 0);
    for (int k = 1; k <= DISPLACEMENT_SETS; ++k) {
        if (!given[static_cast<std::size_t>(k)])
            continue;
        for (float v : values[static_cast<std::size_t>(k)])
            file.write_float(v);
    }
}

std::string displacement_set_name(int set)
{
    if (set == SEISMIC_DISPLACEMENT_SET)
        return "Seismic";
    if (set == SETTLEMENT_DISPLACEMENT_SET)
        return "Settlement";
    return "T" + std::to_string(set);
}

int step_displacement_record(const AnalysisRun& run)
{
    if (step_is_settlement(run))
        return SETTLEMENT_DISPLACEMENT_SET;
    if (current_step_type(run) == LC_SEISMIC_DISPLACEMENT)
        return SEISMIC_DISPLACEMENT_SET;
    return step_displacement_set(run);
}

std::array<Vec3, 2> step_displacement(const AnalysisRun& run, const DisplacementSets& sets)
{
    const int set = step_displacement_record(run);
    if (set < 1 || set > DISPLACEMENT_SETS || !sets.given[static_cast<std::size_t>(set)])
        return {};
    const auto& d = sets.values[static_cast<std::size_t>(set)];
    return {Vec3{d[0], d[1], d[2]}, Vec3{d[3], d[4], d[5]}};
}
