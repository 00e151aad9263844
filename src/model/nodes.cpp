// Node numbers and texts, and the node table's lookups.
#include "model/nodes.h"

#include "framework/errors.h"
#include "framework/geometry.h"
#include "framework/number_text.h"
#include "framework/strings.h"
#include "framework/units.h"
#include "model/model.h"

#include <cctype>
#include <cmath>
#include <string_view>

namespace {

// Suffix letters of the bands 1 to 5.
constexpr std::string_view BAND_LETTERS = "ABCDJ";

}  // namespace

int node_index(int number)
{
    const auto& lookup = model().node_lookup;
    auto found = lookup.find(number);
    return found == lookup.end() ? 0 : found->second;
}

char* write_node_text(char* out, int number)
{
    if (number == 0)
        return out;
    int band = number / NODE_BAND;
    int base = number % NODE_BAND;
    if (number < 0 || band == 0 || base == 0 || band > static_cast<int>(BAND_LETTERS.size()))
        return write_integer(out, number);
    out = write_integer(out, base);
    *out++ = BAND_LETTERS[static_cast<std::size_t>(band - 1)];
    return out;
}

std::string node_text(int number)
{
    char text[NUMBER_TEXT_SIZE];
    return std::string(text, write_node_text(text, number));
}

int parse_node_text_code(const std::string& text, int& out)
{
    std::string s = upper_case(squeeze_blanks(text));
    if (s.empty())
        return 5;
    int offset = 0;
    if (std::isalpha(static_cast<unsigned char>(s.back()))) {
        std::size_t band = BAND_LETTERS.find(s.back());
        if (band == std::string_view::npos)
            return 1;
        offset = static_cast<int>(band + 1) * NODE_BAND;
        s.pop_back();
    }
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    if (i == s.size())
        return 1;
    long long value = 0;
    for (; i < s.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(s[i])))
            return 1;
        if (value <= MAX_NODE_NUMBER)          // stop growing once out of range
            value = value * 10 + (s[i] - '0');
    }
    if (negative && value != 0)
        return 3;
    if (value < 1)
        return 3;
    if (value > MAX_NODE_NUMBER)
        return 4;
    out = static_cast<int>(value) + offset;
    return 0;
}

int parse_node_text(int& out)
{
    return parse_node_text_code(item_text(), out);
}

int parse_existing_node(const std::string& name)
{
    int number = 0;
    int code = parse_node_text(number);
    if (code == 5)
        return 0;
    if (code != 0)
        throw_name_node_error(name, code);
    int index = node_index(number);
    if (index == 0 || model().nodes[index].kind == NODE_BEND_CORNER)
        throw_name_node_error(name, 2);
    return number;
}

int next_node_number(int last)
{
    int increment = std::max(model().node_increment, 1);
    if (last < 0)
        last = 0;
    int next = last + increment;
    switch (increment) {
    case 5: case 10: case 15: case 20: case 50: case 100:
        next = (last / increment + 1) * increment;
        break;
    default:
        break;
    }
    for (; next <= MAX_NODE_NUMBER; next += increment) {
        if (node_index(next) == 0)
            return next;
    }
    return 0;
}

double node_distance(int a, int b)
{
    return node_distance(model(), a, b);
}

double node_distance(const Model& m, int a, int b)
{
    if (!m.nodes.valid(a) || !m.nodes.valid(b))
        return 0.0;
    const NodeRecord& p = m.nodes[a];
    const NodeRecord& q = m.nodes[b];
    return length3(double(q.x) - p.x, double(q.y) - p.y, double(q.z) - p.z);
}

Vec3 node_position(const Model& m, int node)
{
    const NodeRecord& n = m.nodes[node];
    return {n.x, n.y, n.z};
}

Vec3 pipe_direction_or_x(int node)
{
    double x = 1.0, y = 0.0, z = 0.0;
    if (pipe_direction_at_node(node, x, y, z) != 0)
        return {1.0, 0.0, 0.0};
    return {x, y, z};
}

int pipe_direction_at_node(int node, double& x, double& y, double& z, bool pipe_only)
{
    return pipe_direction_at_node(model(), node, x, y, z, pipe_only);
}

int pipe_direction_at_node(const Model& m, int node, double& x, double& y, double& z, bool pipe_only)
{
    x = y = z = 0.0;
    if (!m.nodes.valid(node))
        return -1;
    const NodeRecord& here = m.nodes[node];
    for (int e : here.elements) {
        if (!m.elems.valid(e))
            continue;
        const Elem& element = m.elems[e];
        if (pipe_only && !element_is_pipe_like(element))
            continue;
        const NodeRecord& p1 = m.nodes[element.node1];
        const NodeRecord& p2 = m.nodes[element.node2];
        Vec3 d{double(p2.x) - p1.x, double(p2.y) - p1.y, double(p2.z) - p1.z};
        if (length3(d.x, d.y, d.z) < 1.0e-6)
            continue;
        if (etype_is_bend(element.kind) && element.bend_radius(m) > 0.0) {
            BendAxes arc = bend_arc(m, e);
            // The tangent at this end: z cross (centre to node), in the
            // direction from node 1 to node 2.
            const Vec3& r = node == element.node1 ? arc.r1 : arc.r2;
            const Vec3& n = arc.axes.z;
            d = {n.y * r.z - n.z * r.y, n.z * r.x - n.x * r.z, n.x * r.y - n.y * r.x};
        }
        normalize3(d.x, d.y, d.z);
        x = d.x;
        y = d.y;
        z = d.z;
        return 0;
    }
    return -1;
}

int jacket_node_number(int number)
{
    int band = number / NODE_BAND;
    int base = number % NODE_BAND;
    switch (band) {
    case 0: return number + JACKET_OFFSET;
    case 1: return base + 3 * NODE_BAND;
    case 2: return base + 4 * NODE_BAND;
    default: return number;
    }
}
