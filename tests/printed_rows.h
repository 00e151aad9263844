// The rows of a table as its printed pages show them. A printed row is drawn
// as its cells' texts and then its rules, so the texts drawn one after the
// other with no line between them (a run) are one row, the title and
// column header of a page, or a line of text. A row whose cells lie in one
// run was printed together, on one page; a row parted over column bands
// lies in several runs.
#pragma once

#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/table.h"
#include "page_layout.h"
#include "platform/headless/headless_printing.h"
#include "platform/headless/recording_surface.h"

#include <cstddef>
#include <string>
#include <vector>

struct TextRun {
    std::size_t page = 0;   // 1-based
    std::vector<DrawnText> texts;
};

// The runs of texts of a printed document, page by page.
inline std::vector<TextRun> text_runs(const HeadlessPrintDocument& doc) {
    std::vector<TextRun> runs;
    for (std::size_t p = 0; p < doc.pages().size(); ++p) {
        bool open = false;
        for (const std::string& op : doc.pages()[p]->lines()) {
            DrawnText t;
            if (drawn_text(op, t)) {
                if (!open) runs.push_back(TextRun{p + 1, {}});
                open = true;
                runs.back().texts.push_back(std::move(t));
            } else if (op.rfind("line ", 0) == 0) {
                open = false;
            }
        }
    }
    return runs;
}

// A text with its runs of blanks made one and its ends trimmed, as a text
// broken over lines at its blanks reads when its pieces are joined again.
inline std::string folded_blanks(const std::string& text) {
    std::string out;
    for (char c : trimmed(text)) {
        if (c == ' ' && !out.empty() && out.back() == ' ') continue;
        out += c;
    }
    return out;
}

// Whether `cell` is the text of one piece of the run, or of pieces drawn one
// after the other that a text wrapped into.
inline bool run_holds(const TextRun& run, const std::string& cell) {
    for (std::size_t i = 0; i < run.texts.size(); ++i) {
        std::string joined;
        for (std::size_t j = i; j < run.texts.size() && joined.size() < cell.size(); ++j) {
            joined += (joined.empty() ? "" : " ") + folded_blanks(run.texts[j].text);
            if (joined == cell) return true;
        }
    }
    return false;
}

// Every row a table printed (after table_print, with the rows and columns
// of that printout) against the runs of its pages, in order: each row's
// cells, every line of every column that the printer measures shown, must
// lie in one run. One fault a row that does not, naming it by its first
// cell; empty when every row was printed together.
inline std::vector<std::string> rows_not_printed_together(const HeadlessPrintDocument& doc, TablePrint& p) {
    std::vector<std::string> faults;
    RecordingSurface dc(800, 600);
    const std::vector<int> kept = p.widths;
    p.measure_print(dc);
    std::vector<int> shown;
    for (int c = 1; c <= p.columns(); ++c)
        if (p.widths[static_cast<std::size_t>(c)] > 0) shown.push_back(c);
    p.widths = kept;
    const std::vector<TextRun> runs = text_runs(doc);
    std::size_t at = 0;
    for (int r = 1; r <= p.print_rows; ++r) {
        if (!p.row_test(r)) continue;
        const int row = r + p.print_first_row;
        p.marks = {};
        p.prepare_row(row);
        std::vector<std::string> cells;
        for (int c : shown)
            for (int line = 0; line < p.text_lines; ++line)
                if (std::string cell = folded_blanks(p.cell_text(row, c, line)); !cell.empty()) cells.push_back(cell);
        if (cells.empty()) continue;
        // The row's run: the next that holds all its cells, past a page's
        // title and column header (a run for each group heading and tier).
        constexpr std::size_t HEADER_RUNS = 40;
        std::size_t found = at;
        const auto whole = [&cells](const TextRun& run) {
            for (const std::string& cell : cells)
                if (!run_holds(run, cell)) return false;
            return true;
        };
        while (found < runs.size() && found < at + HEADER_RUNS && !whole(runs[found])) ++found;
        if (found < runs.size() && found < at + HEADER_RUNS) {
            at = found + 1;
            continue;
        }
        faults.push_back("row " + std::to_string(row) + " (\"" + cells.front() + "\") is not printed together");
    }
    p.marks = {};
    return faults;
}
