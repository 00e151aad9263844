// The row lines of a PipePak neutral file: how a line becomes a layout row,
// the element lines FROM, TO, BSJ and COMMENT of the first pass, and the
// second-pass lines VALVE, CUT, REDUCER and BELLOW, which change pipes that
// the first pass made and the model build connected.
#include "exchange/pnf_reader.h"
#include "exchange/row_objects.h"

#include "elements/bellows.h"
#include "elements/bend.h"
#include "elements/joints.h"
#include "elements/pipe.h"
#include "elements/reducer.h"
#include "elements/valve.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "materials/pipe_section.h"
#include "model/element_data.h"
#include "model/model.h"
#include "model/nodes.h"

#include <array>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 4> SECOND_PASS_WORDS = {"VALVE", "CUT", "REDUCER", "BELLOW"};

bool second_pass_word(const std::string& word)
{
    for (std::string_view w : SECOND_PASS_WORDS)
        if (w == word)
            return true;
    return false;
}

// A carried name: a word sets it unless it is "*".
void carry_name(PnfImport& p, std::string& carried, const std::optional<std::string>& word, const std::string& what)
{
    if (!word || *word == "*")
        return;
    if (const std::string fault = name_fault_text(what, *word, NAME_LENGTH); !fault.empty())
        p.fail(fault, *word);
    carried = *word;
}

// A new row of the line at the current node, with its objects made.
int add_row(PnfImport& p, int etype, int dtype, bool named)
{
    const int index = p.append_row();
    LayoutRow& row = model().rows[index];
    row.node = p.current_node;
    row.etype = etype;
    row.dtype = dtype;
    if (named) {
        row.section = p.section;
        row.material = p.material;
        row.load = p.load;
    }
    row.create_element_object();
    row.create_data_object(index);
    return index;
}

// ---- FROM and TO --------------------------------------------------------------------------

struct ElementLine {
    int etype = ET_PIPE;
    float offset[3] = {0.0f, 0.0f, 0.0f};
    uint8_t radius_kind = RADIUS_LONG;
    float radius = 0.0f;
};

// The fields of a FROM or TO line; false when the line has no node word.
bool read_pnf_element(PnfImport& p, bool from, ElementLine& e)
{
    std::optional<std::string> word = p.next();
    if (!word)
        return false;
    p.current_node = p.node_number(*word);
    e.etype = from ? ET_FROM : ET_PIPE;
    static const char* const OFFSET_MESSAGES[3] = {"Invalid DX", "Invalid DY", "Invalid DZ"};
    // The line may end after any offset: those it does not give are 0.
    for (int i = 0; i < 3; ++i) {
        if (!(word = p.next()))
            return true;
        e.offset[i] = *word == "*" ? 0.0f : p.length(*word, OFFSET_MESSAGES[i]);
    }
    if (!from) {
        if (!(word = p.next()))
            return true;
        if (*word == "LONG" || *word == "SHORT") {
            e.etype = ET_BEND;
            e.radius_kind = *word == "LONG" ? RADIUS_LONG : RADIUS_SHORT;
        } else if (*word != "*") {
            e.etype = ET_BEND;
            e.radius_kind = RADIUS_USER;
            e.radius = p.dimension(*word, "Invalid bend_radius");
            if (e.radius < 0.001f)
                p.fail("Invalid bend_radius", *word);
        }
    }
    carry_name(p, p.section, p.next(), "Section");
    carry_name(p, p.material, p.next(), "Material");
    carry_name(p, p.load, p.next(), "Load");
    p.end_of_line();
    return true;
}

void set_pnf_bend(int row, const ElementLine& e)
{
    Bend& bend = row_element<Bend>(row);
    bend.geometry = BendGeometry{};
    bend.geometry.radius = e.radius;
    bend.geometry.radius_kind = e.radius_kind;
    bend.ff_in = bend.ff_out = -1.0f;
    bend.sif_in = bend.sif_out = bend.sif_axial = bend.sif_torsion = 0.0f;
}

// ---- COMMENT and BSJ ----------------------------------------------------------------------

void read_pnf_comment(PnfImport& p, int row)
{
    std::string text;
    for (std::optional<std::string> word = p.next(); word; word = p.next()) {
        if (text.size() + word->size() > COMMENT_LENGTH)
            p.fail(c_format("The comment is longer than %zu characters", COMMENT_LENGTH), *word);
        text += *word + " ";
    }
    row_element<CommentElement>(row).set_text(text.substr(0, COMMENT_LENGTH));
}

void read_pnf_ball_joint(PnfImport& p, int row)
{
    p.next();   // a word the model has no place for
    float k = 0.0f;
    if (const std::optional<std::string> word = p.next()) {
        if (*word == "*")
            k = PnfImport::one_rot_unit();
        else if (*word != "FREE")
            k = p.rot_stiffness(*word, "Invalid stiffness ky");
    }
    p.end_of_line();
    BallJoint& ball = row_element<BallJoint>(row);
    ball.bending_stiffness = ball.torsional_stiffness = k;
    ball.bending_limit = ball.torsional_limit = NO_ROTATION_LIMIT;
    ball.bending_friction = ball.torsional_friction = 0.0f;
    ball.weight = 0.0f;
}

// ---- Second pass ----------------------------------------------------------------------------

// The row of the element that starts at the node: the first row whose
// element's from-node it is, or, when a From row at the node comes first,
// the first Pipe row after that From row.
int row_starting_at_node(PnfImport& p, int number, const std::string& name)
{
    const Model& m = model();
    const int index = node_index(number);
    for (int row = 1; row <= m.numrows(); ++row) {
        const LayoutRow& r = m.rows[row];
        if (r.etype == ET_FROM && r.node == number) {
            for (int next = row + 1; next <= m.numrows(); ++next)
                if (m.rows[next].etype == ET_PIPE)
                    return next;
            p.fail("No pipe follows the From row at the node", name);
        }
        if (index != 0 && etype_is_element(r.etype) && r.from_node == index)
            return row;
    }
    p.fail("No element starts at the node", name);
}

void read_pnf_valve(PnfImport& p, int row)
{
    p.next();   // a word the model has no place for
    float weight = 0.0f, insulation = 1.75f;
    std::optional<std::string> word = p.next();
    if (word && *word != "*")
        weight = p.parsed(*word, parse_weight, "Invalid Valve weight", NeutralQuantity::Weight);
    if (word && (word = p.next()) && *word != "*")
        insulation = static_cast<float>(p.plain(*word, "Invalid insulation factor", NeutralQuantity::Factor));
    if (word)
        p.end_of_line();
    LayoutRow::change_etype(row, ET_VALVE);
    Valve& valve = row_element<Valve>(row);
    valve.weight = weight;
    valve.length = 0.0f;
    valve.thickness_multiplier = 3.0f;
    valve.insulation_multiplier = insulation;
    valve.additional_weight = 0.0f;
    valve.offset_dx = valve.offset_dy = valve.offset_dz = 0.0f;
    valve.valve_type = 0;
}

void read_pnf_cut(PnfImport& p, int row, const std::string& word)
{
    float cut = 0.0f;
    if (parse_real(word, cut) != 0)
        p.fail("Cut value required", word);
    if (cut < 0.0f)
        p.fail("Invalid cut value", word);
    cut = p.dimension(word, "Cut value required");
    if (cut == 0.0f)
        p.fail("Cut value required");
    p.end_of_line();
    LayoutRow::change_etype(row, ET_CUT_PIPE);
    row_element<CutPipe>(row).cut = cut;
}

void read_pnf_reducer(PnfImport& p, int row, const std::string& name)
{
    const Model& m = model();
    const LayoutRow& r = m.rows[row];
    const int upstream = m.nodes.valid(r.from_node) ? m.nodes[r.from_node].row : 0;
    const int first = upstream ? section_index(m.rows[upstream].section) : 0;
    const int second = section_index(r.section);
    // A reducer of a section that is not known would have no diameter.
    if (first == 0)
        p.fail("The row before the reducer names no pipe section", name);
    if (second == 0)
        p.fail("The reducer names no pipe section", name);
    p.end_of_line();
    const PipeSection& s1 = pipe_sections()[first];
    const PipeSection& s2 = pipe_sections()[second];
    LayoutRow::change_etype(row, ET_REDUCER);
    Reducer& reducer = row_element<Reducer>(row);
    reducer.od1 = s1.outside_diameter;
    reducer.thickness1 = s1.thickness;
    reducer.od2 = s2.outside_diameter;
    reducer.thickness2 = s2.thickness;
    reducer.cone_angle = 0.0f;
    reducer.knuckles = 0;
    reducer.delta = 0.0f;
}

void read_pnf_bellows(PnfImport& p, int row)
{
    float weight = 0.0f, area = 0.0f, axial = 0.0f, lateral = 0.0f, bending = RIGID_STIFFNESS, torsional = 0.0f;
    // "FREE" is a stiffness of 1 lb/in, or 1 in the rotational-stiffness unit.
    auto translational = [&p](const std::string& w, const char* message) {
        return w == "FREE" ? 1.0f : p.stiffness(w, message);
    };
    auto rotational = [&p](const std::string& w, const char* message) {
        return w == "FREE" ? PnfImport::one_rot_unit() : p.rot_stiffness(w, message);
    };
    std::optional<std::string> word;
    if ((word = p.next()) && *word != "*")
        weight = p.parsed(*word, parse_weight, "Invalid bellows weight", NeutralQuantity::Weight);
    if (word && (word = p.next()) && *word != "*")
        area = p.area(*word, "Invalid bellows thrust area");
    if (word && (word = p.next()) && *word != "*")
        axial = translational(*word, "Invalid axial stiffness");
    if (word && (word = p.next()) && *word != "*")
        lateral = translational(*word, "Invalid lateral stiffness");
    if (word && (word = p.next()) && *word != "*")
        bending = rotational(*word, "Invalid bending stiffness");
    if (word)
        word = p.next();   // a word the model has no place for
    if (word && (word = p.next()) && *word != "*")
        torsional = rotational(*word, "Invalid torsional stiffness");
    if (word)
        p.end_of_line();
    LayoutRow::change_etype(row, ET_BELLOWS);
    Bellows& bellows = row_element<Bellows>(row);
    bellows.weight = weight;
    bellows.thrust_area = area;
    bellows.axial_stiffness = axial;
    bellows.lateral_stiffness = lateral;
    bellows.bending_stiffness = bending;
    bellows.torsional_stiffness = torsional;
}

}  // namespace

bool read_pnf_row(PnfImport& p)
{
    const std::string& keyword = p.keyword();
    p.restart_words();
    if (keyword == "FROM" || keyword == "TO") {
        const bool from = keyword == "FROM";
        ElementLine e;
        if (!read_pnf_element(p, from, e)) {
            p.note(PNF_IGNORED_LINES, p.here(keyword + " without a node"));
            return true;
        }
        const int row = add_row(p, e.etype, DT_NONE, !from);
        LayoutRow& r = model().rows[row];
        r.dx = e.offset[0];
        r.dy = e.offset[1];
        r.dz = e.offset[2];
        if (e.etype == ET_BEND)
            set_pnf_bend(row, e);
        return true;
    }
    if (keyword == "COMMENT") {
        const int row = add_row(p, ET_COMMENT, DT_NONE, false);
        read_pnf_comment(p, row);
        return true;
    }
    if (keyword == "BSJ") {
        if (numrows() >= MAXROWS)
            p.fail("Maximum number of rows exceeded");
        // Every ball joint has a node of its own.
        p.current_node = p.node_number("BA" + std::to_string(numrows() + 1));
        const int row = add_row(p, ET_BALL_JOINT, DT_NONE, true);
        read_pnf_ball_joint(p, row);
        return true;
    }
    if (pnf_support_dtype(keyword) != 0) {
        if (numrows() >= MAXROWS)
            p.fail("Maximum number of rows exceeded");
        read_pnf_support(p);
        return true;
    }
    return second_pass_word(keyword);
}

void read_pnf_row_pass2(PnfImport& p)
{
    const std::string keyword = p.keyword();
    if (!second_pass_word(keyword))
        return;
    p.restart_words();
    const std::optional<std::string> name = p.next();
    if (!name) {
        p.note(PNF_IGNORED_LINES, p.here(keyword + " without a node"));
        return;
    }
    if (keyword == "CUT") {
        const std::optional<std::string> cut = p.next();
        if (!cut) {
            p.note(PNF_IGNORED_LINES, p.here("CUT without a value"));
            return;
        }
        const int row = row_starting_at_node(p, p.node_number(*name), *name);
        if (model().rows[row].etype != ET_PIPE)
            p.fail("The element that starts at the node is not a pipe", *name);
        read_pnf_cut(p, row, *cut);
        p.changed_lines[row] = p.line_number();
        return;
    }
    const int row = row_starting_at_node(p, p.node_number(*name), *name);
    if (model().rows[row].etype != ET_PIPE)
        p.fail("The element that starts at the node is not a pipe", *name);
    if (keyword == "VALVE")
        read_pnf_valve(p, row);
    else if (keyword == "REDUCER")
        read_pnf_reducer(p, row, *name);
    else
        read_pnf_bellows(p, row);
    p.changed_lines[row] = p.line_number();
}
