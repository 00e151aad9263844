// The highlight in the graphics window: the blink timer of the frame, and
// the hooks through which the input tables, dialogs, picks and result tables
// ask for it.
#pragma once

// The blink timer of the graphics frame.
inline constexpr int BLINK_TIMER = 2;

// Fills the highlight hooks of the lower layers.
void install_highlight_ui();
// Starts the blink timer of the graphics frame (once it exists).
void start_highlight_blink();
// The layout's or an input table's current row: its element, or the data
// item of a row that makes no element.
void highlight_input_row(int row);
