// The spine of the PipePak neutral file import: the two passes over the
// file, the model builds between and after them, and the fix-ups that need
// the built model.
#include "exchange/pnf_import.h"

#include "exchange/batch_import.h"
#include "exchange/batch_reader.h"
#include "exchange/import_check.h"
#include "exchange/import_rollback.h"
#include "exchange/pnf_reader.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "loads/pipe_load.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/element_data.h"
#include "model/model.h"
#include "model/nodes.h"
#include "supports/skewed_restraint.h"

#include <set>

namespace {

void read_first_pass_line(PnfImport& p)
{
    switch (p.kind()) {
    case PnfLine::Title: read_pnf_title(p); break;
    case PnfLine::Unit: read_pnf_unit(p); break;
    case PnfLine::Global: read_pnf_global(p); break;
    case PnfLine::Material: read_pnf_material(p); break;
    case PnfLine::Allowable: read_pnf_allowable(p); break;
    case PnfLine::Load: read_pnf_load(p); break;
    case PnfLine::Pipe: read_pnf_pipe_section(p); break;
    case PnfLine::Row:
        // Lines that begin with "*" are comments.
        if (!read_pnf_row(p) && p.keyword()[0] != '*')
            p.note(PNF_UNKNOWN_LINES, p.here(p.keyword()));
        break;
    }
}

// The names that rows give and no MATERIAL, PIPE or LOAD line defines: the
// analysis will ask for them.
void note_undefined_names(PnfImport& p)
{
    std::set<std::string> seen;
    for (int row = 1; row <= numrows(); ++row) {
        const LayoutRow& r = model().rows[row];
        const std::pair<const std::string*, int> names[] = {{&r.material, material_index(r.material)},
                                                            {&r.section, section_index(r.section)},
                                                            {&r.load, load_index(r.load)}};
        for (const auto& [name, index] : names)
            if (!name->empty() && index == 0 && seen.insert(*name).second)
                p.note(PNF_UNDEFINED_NAMES, *name + c_format(" (line %d)", p.row_lines[static_cast<std::size_t>(row)]));
    }
}

// The fix-ups after the second build: an intermediate node of a bend lies
// at half its angle; a skewed restraint without a direction acts along the
// pipe at its node.
void fix_up(PnfImport& p, const NeutralLines& lines)
{
    for (int row = 1; row <= numrows(); ++row) {
        LayoutRow& r = model().rows[row];
        if (r.etype == ET_BEND && r.element)
            if (BendGeometry* bend = r.element->bend_geometry(); bend && bend->node1 != 0)
                bend->angle1 = 0.5f * bend->bend_angle;
        auto* skewed = dynamic_cast<SkewedRestraint*>(r.data.get());
        if (!skewed || skewed->v.direction != std::array<float, 3>{})
            continue;
        double x = 0.0, y = 0.0, z = 0.0;
        if (pipe_direction_at_node(r.node_index, x, y, z) != 0) {
            const int line = p.row_lines[static_cast<std::size_t>(row)];
            throw MessageText(batch_error_text(line, lines.text(line),
                                               "The restraint has no direction and no pipe ends at its node"));
        }
        skewed->v.direction = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    }
}

}  // namespace

ImportNotes import_pnf_text(std::istream& in)
{
    ImportRollback rollback;
    const NeutralLines lines(in);
    // The file's values are read in English units until its UNIT line says
    // otherwise, with Y vertical.
    reset_unit_choice();
    analysis_options().z_vertical = false;
    PnfImport p(lines);

    while (p.read_line())
        read_first_pass_line(p);
    note_undefined_names(p);
    note_pnf_materials(p);
    make_model();

    // The second pass changes pipes that the build has connected.
    p.restart_file();
    while (p.read_line())
        if (p.kind() == PnfLine::Row)
            read_pnf_row_pass2(p);
    make_model();
    fix_up(p, lines);
    make_model();
    // Every row's node stands once the model is built: a position at a bend
    // that could not be laid out names its line.
    for (int row = 1; row <= numrows(); ++row) {
        const LayoutRow& r = model().rows[row];
        if (r.node != 0 && r.node_index == 0) {
            const int line = p.row_lines[static_cast<std::size_t>(row)];
            throw MessageText(batch_error_text(line, lines.text(line),
                                               "Node " + node_text(r.node) + " is not a node of the model"));
        }
    }
    // The model must be one that the model file's reader and the model check
    // take; a row that the second pass changed names that line.
    if (const ImportRefusal refusal = imported_model_refusal(); !refusal.message.empty()) {
        if (refusal.row == 0)
            throw MessageText(refusal.message);
        const auto changed = p.changed_lines.find(refusal.row);
        const int line = changed != p.changed_lines.end() ? changed->second
                                                          : p.row_lines[static_cast<std::size_t>(refusal.row)];
        throw MessageText(batch_error_text(line, lines.text(line), refusal.message));
    }
    note_model_check(p.notes);
    rollback.done();
    show_imported_model();
    return std::move(p.notes);
}

ImportNotes import_pnf_file_at(const std::string& path)
{
    std::ifstream in = open_import_file(path);
    return import_pnf_text(in);
}
