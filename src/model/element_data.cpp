// Element-type codes, the neutral defaults of the element objects and their
// factory.
#include "model/element_data.h"

#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "model/model.h"

#include <array>

namespace {

const std::array<const char*, MAX_ETYPE + 1> ETYPE_NAMES = {
    "",              "From",          "Location",        "Pipe",      "Bend",
    "Miter",         "Jacketed pipe", "Jacketed bend",   "Valve",     "Reducer",
    "Bellows",       "Slip joint",    "Hinge joint",     "Ball joint", "Rigid element",
    "Elastic element", "Cut pipe",    "Beam",            "Comment",   "Tie rod",
    "Hydrotest load",
};

struct ElementFactories {
    std::array<ElementFactory, MAX_ETYPE + 1> value{};
};

std::array<ElementFactory, MAX_ETYPE + 1>& factories()
{
    return session_part<ElementFactories>().value;
}

}  // namespace

const char* element_type_name(int etype)
{
    return etype >= 0 && etype <= MAX_ETYPE ? ETYPE_NAMES[static_cast<std::size_t>(etype)] : "";
}

bool etype_is_element(int etype)
{
    return etype >= ET_PIPE && etype <= MAX_ETYPE && etype != ET_COMMENT && etype != ET_HYDROTEST_LOAD;
}

bool etype_is_bend(int etype)
{
    return etype == ET_BEND || etype == ET_MITER || etype == ET_JACKETED_BEND;
}

// ---- Neutral defaults ---------------------------------------------------------

void ElementData::read(BinFile&) {}
void ElementData::write(BinFile&) const {}
void ElementData::copy_from(const ElementData&) {}
void ElementData::count() {}
std::string ElementData::cell_text(int) const { return {}; }
std::string ElementData::description() const { return {}; }
void ElementData::fill_dialog(Dialog&) const {}
void ElementData::register_row(int) {}
void ElementData::build_outline(LayoutRow&) {}
void ElementData::build_symbol(LayoutRow&) {}
void ElementData::draw_2d(LayoutRow&) {}
void ElementData::draw_3d(LayoutRow&) {}
void ElementData::draw_outline_2d() {}
void ElementData::draw_outline_3d() {}
bool ElementData::pick_and_edit(int, float, float) { return false; }
bool ElementData::is_nonlinear() const { return false; }

BendGeometry* ElementData::bend_geometry() { return nullptr; }
JacketGeometry* ElementData::jacket_geometry() { return nullptr; }

void ElementData::take_previous_bend(const ElementData& previous)
{
    BendGeometry* mine = bend_geometry();
    const BendGeometry* theirs = previous.bend_geometry();
    if (!mine || !theirs)
        return;
    mine->radius_kind = theirs->radius_kind;
    mine->radius = theirs->radius;
    mine->material = theirs->material;
    mine->thickness = theirs->thickness;
}

void ElementData::section_terms(ElementSectionTerms&) const {}
void ElementData::draw_jacket_3d(LayoutRow&) {}

// ---- Neutral object -------------------------------------------------------------

void NeutralElement::write(BinFile& file) const
{
    if (!raw.empty())
        file.write(raw.data(), raw.size());
}

void NeutralElement::copy_from(const ElementData& other)
{
    if (const auto* same = dynamic_cast<const NeutralElement*>(&other); same && same->etype_ == etype_)
        raw = same->raw;
}

void NeutralElement::count()
{
    if (int id = element_row_list(etype_); id != NO_ROW_LIST)
        model().list(id).count_one();
}

void NeutralElement::register_row(int row)
{
    if (int id = element_row_list(etype_); id != NO_ROW_LIST)
        model().list(id).add(row);
}

// ---- Comment ----------------------------------------------------------------------

void CommentElement::set_text(const std::string& text)
{
    text_ = text.substr(0, COMMENT_LENGTH);
}

void CommentElement::read(BinFile& file)
{
    text_ = file.read_name(COMMENT_LENGTH);
}

void CommentElement::write(BinFile& file) const
{
    file.write_name(text_, COMMENT_LENGTH);
}

void CommentElement::copy_from(const ElementData& other)
{
    if (const auto* comment = dynamic_cast<const CommentElement*>(&other))
        text_ = comment->text_;
}

// ---- Factory -------------------------------------------------------------------------

void set_element_factory(int etype, ElementFactory factory)
{
    KV_ASSERT(etype >= 1 && etype <= MAX_ETYPE);
    factories()[static_cast<std::size_t>(etype)] = std::move(factory);
}

std::unique_ptr<ElementData> make_element_object(int etype)
{
    KV_ASSERT(etype >= 1 && etype <= MAX_ETYPE);
    if (const auto& factory = factories()[static_cast<std::size_t>(etype)]) {
        std::unique_ptr<ElementData> made = factory();
        KV_ASSERT(made != nullptr);
        return made;
    }
    switch (etype) {
    case ET_FROM:
    case ET_LOCATION:
        return std::make_unique<ElementData>();
    case ET_COMMENT:
        return std::make_unique<CommentElement>();
    default:
        return std::make_unique<NeutralElement>(etype);
    }
}

// ---- Row lists ------------------------------------------------------------------------

int element_row_list(int etype)
{
    switch (etype) {
    case ET_BEND: return BEND_ROWS;
    case ET_MITER: return MITER_ROWS;
    case ET_JACKETED_PIPE:
    case ET_JACKETED_BEND: return JACKET_ROWS;
    case ET_VALVE: return VALVE_ROWS;
    case ET_REDUCER: return REDUCER_ROWS;
    case ET_BELLOWS: return BELLOWS_ROWS;
    case ET_SLIP_JOINT: return SLIP_JOINT_ROWS;
    case ET_HINGE_JOINT: return HINGE_JOINT_ROWS;
    case ET_BALL_JOINT: return BALL_JOINT_ROWS;
    case ET_RIGID: return RIGID_ROWS;
    case ET_ELASTIC: return ELASTIC_ROWS;
    case ET_CUT_PIPE: return CUT_PIPE_ROWS;
    case ET_BEAM: return BEAM_ROWS;
    case ET_TIE_ROD: return TIE_ROD_ROWS;
    case ET_HYDROTEST_LOAD: return HYDROTEST_ROWS;
    default: return NO_ROW_LIST;
    }
}
