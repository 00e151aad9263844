// Element-type codes and the base of the element objects that layout rows
// own. Every row whose element type is not none holds one object; the rest of
// the program reads, writes, counts, lists, edits and draws it through the
// sixteen virtual operations below, in this fixed slot order. Each has a
// neutral default, so that a kind overrides only what it has.
//
// Until a kind's own class is installed (set_element_factory), its rows keep
// a NeutralElement that knows its type, counts itself in its kind's row list
// and keeps the bytes of a model-file record it cannot interpret, writing
// them back unchanged.
#pragma once

#include "model/bend_geometry.h"
#include "model/row_kinds.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class BinFile;
class Dialog;
struct LayoutRow;


// What an element kind changes in the section quantities of its elements
// (the analysis core's section_properties): the kinds that carry their own
// weight, wall factors, end sizes, thrust area, cold-spring cut or bend
// flexibility data fill it in. Lengths in inch, weights in lb.
struct ElementSectionTerms {
    // Valve, bellows, slip joint and rigid element: the element's own weight,
    // which takes the place of the pipe metal weight.
    bool own_weight = false;
    double weight = 0.0;
    // Rigid element: the contents, insulation and lining weights count only
    // when this is set.
    bool add_cil = true;
    // Valve: the factor on the wall thickness for the stiffness (the outer
    // radius becomes the inner radius plus factor times thickness) and the
    // factor on the insulation weight.
    double thickness_multiplier = 1.0;
    double insulation_multiplier = 1.0;
    // Reducer: the outside diameters and wall thicknesses at its two ends,
    // whose means stand for the section's.
    bool two_ends = false;
    double od1 = 0.0, thickness1 = 0.0, od2 = 0.0, thickness2 = 0.0;
    // Bellows and slip joint: the pressure-thrust area (square inch).
    double thrust_area = 0.0;
    // Cut pipe: the signed cut (positive cut short, negative cut long) that
    // acts in the cold-spring steps.
    double cold_spring_cut = 0.0;
    // Bend and miter: the flexibility factor the user gave (negative: none,
    // the factor is computed) and the miter spacing (0 a bend, 1 closely
    // spaced, 2 widely spaced).
    double user_flexibility_factor = -1.0;
    int miter_spacing = 0;
};

class ElementData {
public:
    ElementData() = default;
    virtual ~ElementData() = default;
    ElementData(const ElementData&) = delete;
    ElementData& operator=(const ElementData&) = delete;

    // ---- The sixteen slots, in their fixed order -------------------------
    // 1. Reads the kind's fields from the model file, gated by its version.
    virtual void read(BinFile& file);
    // 2. Writes the kind's fields.
    virtual void write(BinFile& file) const;
    // 3. Copies the input values of another object of the same class.
    virtual void copy_from(const ElementData& other);
    // 4. First pass of the recount: adds 1 to the kind's counter.
    virtual void count();
    // 5. The cell of a column (3 and on) of the kind's input table.
    virtual std::string cell_text(int column) const;
    // 6. The row's one-line element description.
    virtual std::string description() const;
    // 7. Puts the object's values into the open dialog of its kind.
    virtual void fill_dialog(Dialog& dialog) const;
    // 8. Second pass of the recount: adds 1 to the counter and stores the row.
    virtual void register_row(int row);
    // 9. Builds the 2D outline and adds it to the row's pick boxes.
    virtual void build_outline(LayoutRow& row);
    // 10. Builds the render-view symbol from the row's nodes and section.
    virtual void build_symbol(LayoutRow& row);
    // 11. Draws the element in the 2D view with the element pen.
    virtual void draw_2d(LayoutRow& row);
    // 12. Draws the element's symbol in the render view.
    virtual void draw_3d(LayoutRow& row);
    // 13. Draws the 2D outline (highlight).
    virtual void draw_outline_2d();
    // 14. Draws the projected outline of the 3D symbol (highlight).
    virtual void draw_outline_3d();
    // 15. True when the view point hits the element; then opens its dialog.
    virtual bool pick_and_edit(int row, float x, float y);
    // 16. True when the element makes the analysis nonlinear.
    virtual bool is_nonlinear() const;

    // ---- Outside the slot table --------------------------------------------
    // The bend record of a Bend, Miter or Jacketed bend; null for other kinds.
    virtual BendGeometry* bend_geometry();
    // The jacket record of a Jacketed pipe or Jacketed bend; null otherwise.
    virtual JacketGeometry* jacket_geometry();
    const BendGeometry* bend_geometry() const { return const_cast<ElementData*>(this)->bend_geometry(); }
    const JacketGeometry* jacket_geometry() const
    {
        return const_cast<ElementData*>(this)->jacket_geometry();
    }
    // A row that becomes a bend takes the radius kind, radius and data of the
    // previous bend row. The default copies the radius kind, the radius, the
    // bend's material and its wall thickness when both objects have a bend
    // record; a bend class that holds more input (flexibility factors, SIFs)
    // extends it.
    virtual void take_previous_bend(const ElementData& previous);
    // Fills in what the kind changes in its elements' section quantities;
    // the default changes nothing.
    virtual void section_terms(ElementSectionTerms& terms) const;
    // The transparent jacket of a jacketed pipe or bend, which the render
    // view draws after every opaque part; the default draws nothing.
    virtual void draw_jacket_3d(LayoutRow& row);
};

// The object of a row whose kind has no class of its own yet.
class NeutralElement final : public ElementData {
public:
    explicit NeutralElement(int etype) : etype_(etype) {}
    int etype() const { return etype_; }

    // The bytes of a model-file record that no class could interpret; a
    // reader that knows the record's size stores them here, and write() puts
    // them back unchanged.
    std::vector<uint8_t> raw;

    void write(BinFile& file) const override;
    void copy_from(const ElementData& other) override;
    void count() override;
    void register_row(int row) override;

private:
    int etype_;
};

// The element object of a Comment row: its text of at most COMMENT_LENGTH
// characters, which is the row's description.
inline constexpr std::size_t COMMENT_LENGTH = 80;
class CommentElement final : public ElementData {
public:
    const std::string& text() const { return text_; }
    // Longer texts are cut to COMMENT_LENGTH characters.
    void set_text(const std::string& text);

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const ElementData& other) override;
    std::string description() const override { return text_; }

private:
    std::string text_;
};

// The factory of the element objects. A kind's class is installed by its
// subsystem at start-up; an empty function puts back the neutral object.
using ElementFactory = std::function<std::unique_ptr<ElementData>()>;
void set_element_factory(int etype, ElementFactory factory);
// A new object for etype 1..20: a bare ElementData for From and Location, a
// CommentElement for Comment, the installed class or a NeutralElement for the
// others. Any other etype is an internal error.
std::unique_ptr<ElementData> make_element_object(int etype);
