// Print to File of the graphics window (an enhanced metafile, EPS, DXF or
// HP-GL file chosen by its extension), and the two dialogs whose settings
// the plot files use: DRAWING_SIZE_DIALOG (the paper of the DXF and HP-GL
// pages) and PLOT_TITLE_DIALOG (the title line).
#pragma once

#include "platform/backend.h"
#include "platform/resources.h"

#include <string>

extern const DialogTemplate DRAWING_SIZE_DIALOG;
extern const DialogTemplate PLOT_TITLE_DIALOG;

enum DrawingSizeDialogIds : int {
    DRAWING_SIZE_PAPER = 1201,
    DRAWING_SIZE_PORTRAIT = 1401,
    DRAWING_SIZE_LANDSCAPE = 1402,
};
enum PlotTitleDialogIds : int {
    PLOT_TITLE_TEXT = 1301,
};

// The file dialog, the check of the extension ("File extension must be :
// emf, eps, dxf or plt"), the writer, and "plt written." (likewise) when
// the file was written; a failure shows its message and nothing else.
void print_graphics_to_file(WindowId owner);
// The writer of a path's format for an owner, as the command runs it.
void write_graphics_file(WindowId owner, const std::string& path);

bool drawing_size_dialog(WindowId owner);
bool plot_title_dialog(WindowId owner);

// The graphics frame's commands of this module.
void register_plot_commands();
