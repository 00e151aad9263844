// What the results window offers and what it calls of others. The result
// tables (here, in the codes' and later subsystems' windows) register the
// show operation of their result; the graphics, qualification and exchange
// windows register what they do for the results (the view's shapes and
// colouring, the rotating-equipment report, the exports). A result without
// a show operation is not offered; a command without a handler is greyed.
//
// A show operation records its result as the current one
// (set_current_result) and shows its table in the results table window
// (table_window_show); its table titles itself with set_results_title.
#pragma once

#include "platform/handles.h"
#include "platform/surface.h"

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

// The results the chooser offers, in its order.
enum ResultKind : int {
    RESULT_SORTED_STRESSES,
    RESULT_CODE_COMPLIANCE,
    RESULT_BRANCH_CONNECTION,
    RESULT_HANGER_REPORT,
    RESULT_FLANGE_REPORT,
    RESULT_ROT_EQUIP_REPORT,
    RESULT_SOIL_RESTRAINTS,
    RESULT_SUPPORT_SUMMARY,
    RESULT_SUPPORT_LOADS,
    RESULT_ELEMENT_FORCES,
    RESULT_FRP_STRESSES,
    RESULT_SORTED_FRP_STRESSES,
    RESULT_DISPLACEMENTS,
    RESULT_FREQUENCIES,
    RESULT_MODE_SHAPES,
    RESULT_DYNAMIC_SUSCEPTIBILITY,
    RESULT_DYNAMIC_STRESSES,
    RESULT_ACCELERATIONS,
    RESULT_TIME_HISTORY,
    RESULT_KINDS,
    RESULT_NONE = -1,
};
// "&Sorted stresses" ... "&Time history".
const char* result_kind_name(int kind);

// The support kinds in the order of the Other Supports list and the
// support load summary.
inline constexpr int SUPPORT_KINDS = 9;
// Data types in that order: anchor, guide, hanger, limit stop, nozzle,
// restraint, skewed restraint, snubber, generic support.
int support_kind_dtype(int kind);
// The kind (0..8) of a data type; -1 for one that is no support.
int support_kind_of(int dtype);
// "&Anchors" ... "&Generic supports".
const char* support_kind_name(int kind);

struct ResultsHooks {
    // The show operation of each result; empty: not offered.
    std::array<std::function<void()>, RESULT_KINDS> show;
    // A further condition of a result that the results cannot see (the
    // rotating-equipment report built, dynamic susceptibility data present);
    // empty: none.
    std::array<std::function<bool()>, RESULT_KINDS> available;
    // The loads table and the summary table of each support kind, shown for
    // the current load case (loads) or the current summary support (summary).
    std::array<std::function<void()>, SUPPORT_KINDS> support_loads;
    std::array<std::function<void()>, SUPPORT_KINDS> support_summary;
    // A result's own load-case chooser, run by "&Load Cases..." (231) while
    // the result is shown (the rotating-equipment report's list of cases);
    // empty: the results' chooser.
    std::array<std::function<void(WindowId owner)>, RESULT_KINDS> choose_load_case;
    // Printing a support kind's summary in a text report (the summary print).
    std::array<std::function<void(int row)>, SUPPORT_KINDS> print_support_summary;
    // The part of each result in the results report (the Print Results
    // sheet) for the results whose tables others build (hanger report,
    // frequencies ...): it prints on graphic pages, as text or as CSV by the
    // report state. Empty: the result has no part in the report.
    std::array<std::function<void()>, RESULT_KINDS> print;

    // Run after the results were read (building reports of their own), and
    // when results are left (freeing what they built).
    std::vector<std::function<void()>> opened;
    std::vector<std::function<void()>> closing;

    // The graphics: erase the highlight, highlight a layout row, stop an
    // animation, show or hide the graphics view window, switch off stress
    // and ratio colouring and the shapes (hide_results_overlays). The row
    // pointed at becomes the current row; while the shape is animated it is
    // not highlighted, so that the animation runs on.
    std::function<void()> highlight_erase;
    std::function<void(int row)> highlight_row;
    // Highlights a node (its index in the node table), as highlight_row.
    std::function<void(int node)> highlight_node;
    std::function<void()> stop_animation;
    std::function<void()> show_graphics;
    // The same, the graphics window left behind the window in front.
    std::function<void()> show_graphics_behind;
    std::function<void()> hide_graphics;
    std::function<void()> hide_overlays;
    // After the stress or ratio threshold changed (the colouring redraws).
    std::function<void()> thresholds_changed;
    // Switches the views' stress and ratio colouring off where it is on.
    std::function<void()> colouring_off;
    // The colour of a value on the scale of the view's colour bar from
    // `lowest` (blue) to `highest` (red).
    std::function<Color(double value, double lowest, double highest)> scale_colour;
    // The sorted stresses show their rows again, perhaps of another stress
    // kind: the colouring follows the kind shown.
    std::function<void()> stresses_refreshed;
    // First-Level Checks: switch the stress-ratio colouring on or off, hide
    // or show the deflected shape of the current case, show the limit-stop
    // status table of the current case.
    std::function<void(bool on)> ratio_colouring;
    std::function<void(bool on)> deflected_shape;
    // The current load case or mode changed (results_case_changed): what the
    // graphics draw of the results follows at once.
    std::function<void()> case_changed;
    std::function<void()> show_limit_stop_status;
    // Results-window commands that others serve (121 Viewpoint, 131 Zoom
    // All, 216 shapes, 221 animation, 267, 300, 327, 332, 333, 336, 338,
    // 374, 378, 383, 40029, 40086 ...): present means enabled.
    std::map<int, std::function<void(int command)>> commands;
    // The current text of a command whose text follows a state (the shape,
    // animation and colouring items); empty: the menu's own.
    std::function<std::string(int command)> command_text;
    // Whether what a toggle command switches (a shape, the animation, a
    // colouring) is on now: its tool button shows pressed in while it is.
    std::function<bool(int command)> command_checked;
    // Whether a served command can run now (Magnification while a shape is
    // shown); empty: whenever it is served.
    std::function<bool(int command)> command_available;
    // The results report (Print Results sheet), and its batch-mode form
    // written to the model path with the extension "txt".
    std::function<void(WindowId owner)> print_results;
    std::function<bool(WindowId owner)> write_batch_report;
    // Export of the hanger report's interface file (File > Export while the
    // hanger report is shown).
    std::function<void(WindowId owner)> export_hanger_interface;
};
ResultsHooks& results_hooks();

// The result on screen (RESULT_NONE at first and after leaving results).
int current_result();
void set_current_result(int kind);
