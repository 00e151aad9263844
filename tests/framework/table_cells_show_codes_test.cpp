// A table's cells and a window's title that hold control characters, the
// right-to-left override and a byte that is no UTF-8 show them as the codes
// of their bytes, as messages do: the screen never takes them as commands
// and the rest of a row is never shown reversed. What is stored, and what
// the cell's editor holds, stay as they were.
#include "framework/table_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A note as a damaged file may hold it: the override (U+202E) with the
// letters it would show reversed, ESC of a sequence that clears a
// terminal, and a byte that is no UTF-8.
const std::string NOTE = "ab\xE2\x80\xAE" "cd\x1B[2J\xFF";
const std::string NOTE_SHOWN = "ab\\xE2\\x80\\xAEcd\\x1B[2J\\xFF";

bool painted(const std::vector<std::string>& lines, const std::string& text)
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
        return l.rfind("text", 0) == 0 && l.find("\"" + text + "\"") != std::string::npos;
    });
}

using TableCellsShowCodes = TableTest;

}  // namespace

TEST_F(TableCellsShowCodes, ACellShowsTheCodesInAColumnAsWideAsThemAndItsEditorTheText)
{
    table.records[0].note = NOTE;
    table.measure_needed = true;
    const std::vector<std::string> lines = script().paint(view.window());
    EXPECT_TRUE(painted(lines, NOTE_SHOWN));
    for (const std::string& l : lines) {
        if (l.rfind("text", 0) == 0) {
            EXPECT_EQ(l.find('\xE2'), std::string::npos) << l;
        }
    }
    // The note's column is measured as the codes are shown: 8 pixels a
    // character on the scripted backend, and the cell's padding.
    EXPECT_GE(table.widths[5], 8 * static_cast<int>(NOTE_SHOWN.size()));

    // The record keeps its bytes; the editor opened on the cell holds them.
    EXPECT_EQ(table.records[0].note, NOTE);
    at(1, 5);
    key(KEY_F2);
    ASSERT_TRUE(table.edit.active);
    EXPECT_EQ(table.edit.text, NOTE);
    key(KEY_ESCAPE);
    EXPECT_EQ(table.records[0].note, NOTE);
}

TEST_F(TableCellsShowCodes, AWindowTitleShowsTheCodesOfItsTextAndFileName)
{
    table.show("Pipes \xE2\x80\xAE" "cba");
    EXPECT_EQ(frame_title(frame), "Korvane - Pipes \\xE2\\x80\\xAEcba  (3)  [Untitled]");
    set_title_file_text("net\x1B]2;x\x07.mod");
    frame_update_title_file(frame);
    EXPECT_EQ(frame_title(frame), "Korvane - Pipes \\xE2\\x80\\xAEcba  (3)  [net\\x1B]2;x\\x07.mod]");
    EXPECT_EQ(title_file_text(), "net\x1B]2;x\x07.mod");
}
