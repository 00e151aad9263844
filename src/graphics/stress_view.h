// The views coloured by the code stresses: the values of the colouring made
// from the open results' code evaluation (the stresses of the sorted-stress
// category, or their ratios to the allowables), the line view's coloured
// elements with the values at the nodes, and the caption of the graphics on
// paper (the deflected or mode shape, or the stress view shown).
#pragma once

#include <string>

// Switch the colouring on (its values and range made from the open
// results) or off; each also keeps the results' display flags and the view
// state's colour switches. Showing one kind hides the other.
void show_stresses();
void hide_stresses();
void show_stress_ratios();
void hide_stress_ratios();
// The values and range made again (after the stress-ratio kind or the
// results changed) while a colouring is shown.
void refresh_stress_colouring();

// The line view's layer of the colouring (drawn instead of the node
// numbers): each pipe-like analysis element in the colours of its values
// along it, and at each node its value where it reaches the display
// threshold. False (nothing drawn) while no colouring is shown.
bool draw_stress_colouring();
// A value beside a node: the stress (draw_node_value_abs) or the ratio in
// per cent (draw_node_value), when it reaches the display threshold.
void draw_node_value_abs(int node, float stress);
void draw_node_value(int node, float ratio);

// "Deflected shape: <case>, Magnification factor = %.1f", "Mode %d: %.2f
// Hz", the caption of the stress or ratio view, or "" when nothing of the
// results is shown.
std::string results_plot_title();
