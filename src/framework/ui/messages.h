// The program's message dialogs. Owners are window ids (0: none). Texts hold
// one line per "\n", at most MAX_LINES lines.
#pragma once

#include "platform/backend.h"

#include <string>

inline constexpr int MAX_LINES = 6;

// Error message (hand icon); shows nothing for an empty text, so that an
// empty thrown text cancels an action silently.
void message_error(WindowId owner, const std::string& text);
// The number of error messages shown so far: a caller learns from it that a
// command it ran refused and said so itself.
int error_messages_shown();
// A program without windows writes every error message to standard error as
// well ("Korvane: <text>"), since no dialog shows it.
void set_error_messages_to_stderr(bool on);
// Makes the internal-check handler show its text in message_error (posted to
// the main thread from any other thread).
void install_assert_display();
// The same over whichever window is in front (used from the entry routine).
void message_error_foreground(const std::string& text);
void message_warning(WindowId owner, const std::string& text);
void message_info(WindowId owner, const std::string& text);
// Question sized to the text's 1 to 6 lines; true on Yes or OK. With
// `ok_cancel` the buttons are OK and Cancel, otherwise Yes and No.
bool message_question(WindowId owner, const std::string& text, bool ok_cancel = false);
// "Do you want to change %s\nfrom  \"%s\"  to  \"%s\" ?"; true on Yes.
bool ask_change_value(WindowId owner, const std::string& what, const std::string& old_value,
                      const std::string& new_value);
// SAVE_CHANGES_DIALOG for the named document: IDYES (6), IDNO (7) or IDCANCEL (2).
int ask_save_changes(WindowId owner, const std::string& name);
// INFO_DIALOG: the text with an information icon, centred; closes itself
// about 250 ms after it has been drawn.
void info_dialog(WindowId owner, const std::string& text);
// ABOUT_DIALOG.
void about_dialog(WindowId owner);
void beep();

// The number of lines of a message text (1 to MAX_LINES; longer texts are
// cut to MAX_LINES lines, the last one ending in "...").
int message_line_count(const std::string& text);
std::string message_clamp_lines(const std::string& text);
