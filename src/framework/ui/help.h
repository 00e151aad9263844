// Help: the user guide, an HTML file beside the program ("help/index.html",
// which the build installs; else "Korvane.html"), shown in the program's own
// help window. A context number opens the guide at its anchor
// ("context-<n>"); 0 opens its contents. The tutorial is a PDF file beside
// the program, or else the guide's own walk-through.
#pragma once

#include "platform/backend.h"

#include <string>

inline constexpr const char* HELP_FILE_NAME = "Korvane.html";

// Looks for the help file in the program folder.
void help_init(const std::string& program_folder);
// The help file found, "" when none is installed.
const std::string& help_path();
// Opens the help at a context; where no help is installed it says so in a
// message over the owner.
void help(int context, WindowId owner = 0);
// The anchor of a context in the guide: "context-<n>".
std::string help_anchor(int context);
// The anchor of the guide's page of a dialog or table: its name (the
// template's name, the table's title) with what is no letter, digit or "_"
// as "-".
std::string help_page_anchor(const std::string& name);
// Opens the help at the page of a dialog or table; where the guide has no
// page of that name, at the anchor of the context given (as help() does),
// or at the contents for none.
void help_page(const std::string& name, WindowId owner = 0, int context = 0);
// The same with a topic of the guide (its anchor) in place of the context.
void help_page(const std::string& name, WindowId owner, const std::string& topic);

inline constexpr const char* TUTORIAL_FILE_NAME = "Tutorial_1.pdf";
// The anchor of the guide's tutorial.
inline constexpr const char* TUTORIAL_ANCHOR = "tutorial";
// The Tutorial command: opens the tutorial file of the program folder in
// the desktop's viewer; where it is missing (or cannot be opened), the
// guide at its tutorial; where that is missing too, TUTORIAL_DIALOG says
// where the file belongs.
void open_tutorial(const std::string& program_folder, WindowId owner = 0);
// TUTORIAL_DIALOG: the tutorial and the folder it is looked for in.
void tutorial_dialog(const std::string& program_folder, WindowId owner = 0);
