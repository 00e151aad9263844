// The report of a component qualification window as the list window's
// table: one row per stored report line, plain lines as text and the check,
// value and stress rows drawn at the report's columns in the window's font.
// Printing the table prints the report itself; Export writes the lines as
// the window shows them, each field a cell.
#pragma once

#include "framework/ui/table.h"
#include "qualification/ui/report_lines.h"

#include <functional>
#include <string>
#include <vector>

class QualificationReportTable : public TableWindow {
public:
    // The report's kind (its columns), the table's title and the writer of
    // the report's lines.
    QualificationReportTable(QualificationReport report, std::string title, std::function<void()> write);

    // Writes the report into the window's lines and shows them; with `reset`
    // the caret and scrolling go back to the top.
    void refresh(bool reset);
    const std::vector<ReportLine>& lines() const { return lines_; }

    std::string cell_text(int row, int column, int line) override;
    bool cell_editable(int, int) override { return false; }
    void measure_window(Surface& dc) override;
    void paint_row(Surface& dc, int row, int x, int y) override;
    std::vector<std::string> painted_cells(int row) override;
    void print() override { write_(); }
    void print_text() override { write_(); }
    void print_csv() override { write_(); }

private:
    const ReportLine* at(int row) const;
    // The fields of a line that is not plain text, at the columns of the
    // window's font (drawn, or collected as the line's cells).
    void place_line(const ReportLine& line, const LinePlacer& place) const;

    QualificationReport report_;
    std::string table_title_;
    std::function<void()> write_;
    std::vector<ReportLine> lines_;
    QualificationColumns columns_;
};
