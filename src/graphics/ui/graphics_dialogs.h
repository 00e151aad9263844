// The dialogs of the graphics window (VIEWPOINT_DIALOG, HIDE_ELEMENTS_DIALOG,
// PRINT_OPENGL_DIALOG), its printing, preview and copy, and its font.
#pragma once

#include "platform/backend.h"
#include "platform/printing.h"

extern const DialogTemplate VIEWPOINT_DIALOG;
extern const DialogTemplate HIDE_ELEMENTS_DIALOG;
extern const DialogTemplate PRINT_OPENGL_DIALOG;

enum ViewpointDialogIds : int {
    VIEWPOINT_X = 1301,
    VIEWPOINT_Y = 1302,
    VIEWPOINT_Z = 1303,
    VIEWPOINT_X_VIEW = 1001,
    VIEWPOINT_Y_VIEW = 1002,
    VIEWPOINT_Z_VIEW = 1003,
    VIEWPOINT_ISOMETRIC = 1004,
    VIEWPOINT_PREVIOUS = 1005,
    VIEWPOINT_APPLY = 999,
};

enum HideElementsDialogIds : int {
    HIDE_FROM = 1301,
    HIDE_TO = 1302,
    HIDE_SHOW_ONLY = 1401,       // "Show specified and hide others"
    HIDE_SHOW_MORE = 1402,       // "Show specified to existing view"
    HIDE_HIDE_ONLY = 1403,       // "Hide specified and show others"
    HIDE_HIDE_MORE = 1404,       // "Hide specified from existing view"
};

enum PrintOpenGLDialogIds : int {
    PRINT_GL_PRINTER = 1401,
    PRINT_GL_PREVIEW = 1402,
};

// Where a dialog of the graphics window was closed (the next opens there).
void remember_graphics_dialog_place(Dialog& d);
// A dialog of the graphics window that remembers where it was closed: OK
// after `accept` took the input (a thrown text keeps it open), and Cancel.
class PlacedDialogProc : public DialogProc {
public:
    bool ok(Dialog& d) override
    {
        if (!accept(d))
            return false;
        remember_graphics_dialog_place(d);
        return true;
    }
    bool cancel(Dialog& d) override
    {
        remember_graphics_dialog_place(d);
        return true;
    }
    virtual bool accept(Dialog&) { return true; }
};

// The Viewpoint dialog; true when it was closed with OK.
bool viewpoint_dialog(WindowId owner);
// The Show / Hide Elements dialog; true when it changed the rows shown.
bool hide_elements_dialog(WindowId owner);

// Print (106) and Print Preview: the line view through the 2D drawing layer
// on the printer's page, the render view (after PRINT_OPENGL_DIALOG) drawn
// offscreen at the page's resolution. The view is put back afterwards.
void graphics_print_command();
void graphics_print_preview();
// The picture on one page of a document.
void print_graphics_page(PrintDocument& document, bool render);
// Copy (363): the picture of the view on the clipboard.
void graphics_copy_command();
// The graphics font: the font chooser; true when another font was chosen.
bool graphics_font_command(WindowId owner);
// Reads the graphics font's metrics on the screen into the view's text sizes.
void measure_graphics_font();
