// The model editing commands: insert and delete rows, split an element,
// generate copies of a run of rows, renumber nodes, rotate rows, change the
// names of a range of rows, find and replace names, find text.
//
// Each operation checks everything first and throws a message text on the
// first problem, changing nothing; when it has changed the model it rebuilds
// it, marks it modified and refreshes the tables (model_changed).
#pragma once

#include "framework/commands.h"
#include "platform/backend.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// Find and replace of row names uses the shared "&Find and Replace" command.
inline constexpr int CMD_REPLACE = CMD_FIND_REPLACE;

// What the editing commands need of the allowable nozzle loads, which belong
// to a later subsystem; empty hooks mean that there are none.
struct ModelEditHooks {
    // The number of the allowable-load record that names the node; 0 when none.
    std::function<int(int node)> allowable_at_node;
    // Renumbers the nodes of the allowable-load records by the mapping of
    // old to new node numbers (applied at once, so a number may be both).
    std::function<void(const std::vector<std::pair<int, int>>& mapping)> renumber_allowables;
};
ModelEditHooks& model_edit_hooks();

// ---- Operations -------------------------------------------------------------------

// Inserts an empty row (no element type, no node) before `row`
// (1..numrows() + 1) and returns its index.
int insert_blank_row(int row);
// Deletes rows first..last. An element row whose node an allowable load
// names refuses with "Element at Node %d is referred by Allowable at '%d'.
// \nHence cannot be deleted." and nothing is deleted.
void delete_rows(int first, int last);

// Splits the straight element of a row (pipe, jacketed pipe, beam) into
// `parts` equal elements; the new rows go before it, with the nodes
// first_node, first_node + increment, ...; the row keeps its node, data item
// and (absolute) coordinates.
void split_row(int row, int parts, int first_node, int increment);

// Puts `copies` copies of rows first..last after them; copy k has every node
// number raised by k times the increment (within its band).
void generate_rows(int first, int last, int copies, int increment);

// Gives the node numbers of rows first..last, in order of first use, the
// numbers first_node, first_node + increment, ...; every row, bend and data
// item of the model that names one of them follows, and so do the allowable
// loads. Rows, bends and items elsewhere keep their numbers, which the new
// ones must not take.
void renumber_nodes(int first, int last, int first_node, int increment);

enum RotationAxis : int { AXIS_X = 0, AXIS_Y = 1, AXIS_Z = 2 };
// Rotates rows first..last by the angle (radian, right-hand rule) about the
// axis through the start node of row `first`: relative offsets turn, and
// absolute positions turn about that node. Rows after the range that follow
// by offsets move with its end.
void rotate_rows(int first, int last, int axis, double angle);

// Sets the material, section and load names of the rows first..last that
// carry names; an empty name leaves the rows' own. Names must be valid and
// (where the materials, sections and loads can be looked up) defined.
void change_rows(int first, int last, const std::string& material, const std::string& section,
                 const std::string& load);

// Replaces every row name of the field that equals `find` (ignoring case) by
// `replace`. With a question, each match asks it: IDYES replaces, IDNO skips,
// IDCANCEL stops. The number of names replaced.
int replace_names(int field, const std::string& find, const std::string& replace,
                  const std::function<int(int row)>& question = {});

// The first row after `after` (wrapping to row 1) whose node, element type,
// description, names or data item contain the text (ignoring case); 0 when
// none.
int find_text_row(const std::string& text, int after);

// ---- Commands -----------------------------------------------------------------------

// The dialogs of the commands; each works on the current layout row or a row
// range starting at it, and shows its failure over the owner.
void split_command(WindowId owner);
void generate_command(WindowId owner);
void renumber_command(WindowId owner);
void rotate_command(WindowId owner);
void change_command(WindowId owner);
void replace_command(WindowId owner);
void find_text_command(WindowId owner);

// Registers the editing commands with the command registry.
void install_model_edit_commands();
