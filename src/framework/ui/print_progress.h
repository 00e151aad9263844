// The progress of a print on pages (the printer, a PDF file, the pages of the
// preview): PRINTING_DIALOG shows the part of the document being printed and
// the page ("Page 12 of 340", or "Page 12" while the number of pages is not
// known; "Counting the pages: 120" while a report lays itself out to number
// its contents), and its Cancel (Escape, the close box) stops the print at
// the next page. The windows are served between the pages, but held still
// (Backend::hold_windows): they repaint with the pictures they showed when
// the print began (the print changes what they draw from: the results load
// case, a table's columns), their timers and the posted calls wait for the
// end, and they take no input but the dialog's.
#pragma once

#include "platform/dialog.h"
#include "platform/handles.h"
#include "platform/printing.h"
#include "platform/resources.h"

#include <functional>
#include <string>

enum PrintingDialogIds : int {
    PRINTING_PART_TEXT = 1201,   // the document's title, then the part being printed
    PRINTING_PAGE_TEXT = 1202,   // the page
};

extern const DialogTemplate PRINTING_DIALOG;

// Runs `render` on `doc` while PRINTING_DIALOG shows its progress; `title`
// names the document until a part of it is printed. False when the user
// stopped it: the caller then drops the document. What `render` throws
// otherwise is thrown again once the dialog has closed. Inside a print that
// shows its progress already, `render` just runs.
bool render_with_progress(WindowId owner, const std::string& title, PrintDocument& doc,
                          const std::function<void(PrintDocument&)>& render);

// What the page makers tell the print that is running (nothing outside one):
// the number of pages once it is known, the part of the document that is
// being printed (a table's contents entry; an empty one names the document
// again, as before its first part), and the pages counted so far by a
// layout that goes before the pages (which stops, by throwing
// PrintCancelled, once the user has asked so).
void print_progress_total(int pages);
void print_progress_part(const std::string& text);
void print_progress_counted(int pages);
// Tells `listener` every text PRINTING_DIALOG is given, as it is given
// (none: nothing is told). Tests record them so: a print may be over before
// anything that looks at the dialog from outside sees it.
using PrintProgressListener = std::function<void(Dialog& dialog, int item, const std::string& text)>;
void set_print_progress_listener(PrintProgressListener listener);
// How often a print serves the windows: at its first page and then at most
// every so many milliseconds (50; tests make it 0, every page).
void set_print_progress_interval(int milliseconds);
