#include "qualification/ui/qualification_report_table.h"

#include "framework/ui/frame.h"

#include <algorithm>

QualificationReportTable::QualificationReportTable(QualificationReport report, std::string title,
                                                   std::function<void()> write)
    : TableWindow(&list_frame(), 1, 1), report_(report), table_title_(std::move(title)), write_(std::move(write))
{
    editing_allowed = false;
    this->title = table_title_;
}

void QualificationReportTable::refresh(bool reset)
{
    write_();
    lines_ = report_window_lines();
    if (reset) {
        table_reset(*this);
        editing_allowed = false;
    }
    table_refresh(*this, table_title_, static_cast<int>(lines_.size()), false);
    measure_needed = true;
}

const ReportLine* QualificationReportTable::at(int row) const
{
    return row >= 1 && row <= static_cast<int>(lines_.size()) ? &lines_[static_cast<std::size_t>(row - 1)] : nullptr;
}

std::string QualificationReportTable::cell_text(int row, int column, int line)
{
    const ReportLine* l = at(row);
    return l && column == 1 && line == 0 && l->kind == QLINE_TEXT ? l->text : std::string();
}

void QualificationReportTable::measure_window(Surface& dc)
{
    columns_ = measure_qualification_columns(dc, report_);
    // The first value of a row ends at the label column: a label longer than
    // the column was measured for moves every value column right, two
    // digits clear of the longest label.
    int label_end = 0;
    for (const ReportLine& l : lines_) {
        if (l.kind != QLINE_CHECK && l.kind != QLINE_VALUE && l.kind != QLINE_STRESSES)
            continue;
        const ReportLineFields f = split_report_line(l.text);
        const std::string first = f.words.empty() ? std::string() : f.words.front();
        label_end = std::max(label_end, dc_text_width(dc, f.label) + 2 * columns_.digit + dc_text_width(dc, first));
    }
    widen_label_column(columns_, label_end);
    const QualificationColumns& c = columns_;
    int w = 0;
    for (const ReportLine& l : lines_)
        if (l.kind == QLINE_TEXT)
            w = std::max(w, dc_text_width(dc, l.text));
    switch (report_) {
    case QualificationReport::Flange:
        w = std::max(w, c.label + 2 * c.number + 6 * c.digit + dc_text_width(dc, "Status  "));
        break;
    case QualificationReport::Lug: w = std::max(w, c.label + 2 * c.number + 2 * c.digit); break;
    case QualificationReport::Nozzle: w = std::max(w, c.c[7] + c.digit + c.number); break;
    }
    widths[1] = w + 2 * table_cell_padding(dc);
}

void QualificationReportTable::paint_row(Surface& dc, int row, int x, int y)
{
    if (const ReportLine* l = at(row); l && l->kind != QLINE_TEXT)
        place_line(*l, drawing_placer(dc, x, y));
}

std::vector<std::string> QualificationReportTable::painted_cells(int row)
{
    PlacedTexts placed;
    if (const ReportLine* l = at(row); l && l->kind != QLINE_TEXT)
        place_line(*l, placed.placer());
    return placed.texts;
}

void QualificationReportTable::place_line(const ReportLine& l, const LinePlacer& place) const
{
    const QualificationColumns& c = columns_;
    const auto right = place.right;
    const auto left = place.left;
    const ReportLineFields f = split_report_line(l.text);
    const std::vector<std::string>& w = f.words;
    auto word = [&w](std::size_t i) { return i < w.size() ? w[i] : std::string(); };
    // A heading has no label: its cell stays free.
    left(0, l.kind == QLINE_HEADING ? std::string() : f.label);

    if (report_ == QualificationReport::Nozzle) {
        // Right edges: E0 = label, E(k+1) = Ek + digit + number.
        auto E = [&c](int k) { return k == 0 ? c.label : c.c[static_cast<std::size_t>(k - 1)]; };
        switch (l.kind) {
        case QLINE_HEADING:
            right(E(0) + 2 * c.digit, "Calculated");
            right(E(1) + c.digit, "Allowed");
            right(E(2), "Ratio");
            right(E(3), "Status");
            break;
        case QLINE_CHECK:
            for (int k = 0; k < 4; ++k)
                right(E(k), word(static_cast<std::size_t>(k)));
            break;
        case QLINE_VALUE:
            right(E(0), word(0));
            if (word(1) != "-")
                left(E(0) + 2 * c.digit, word(1));
            break;
        case QLINE_STRESSES:
            for (int k = 0; k < 9; ++k)
                right(E(k), word(static_cast<std::size_t>(k)));
            break;
        default: break;
        }
        return;
    }
    const int n = c.label, N = c.number, d = c.digit;
    switch (l.kind) {
    case QLINE_HEADING:
        right(n + 2 * d, "Calculated");
        right(n + N + d, "Allowed");
        right(n + 2 * N + d, "Ratio");
        if (report_ == QualificationReport::Flange)
            left(n + 2 * N + 6 * d, "Status");
        break;
    case QLINE_CHECK:
        right(n, word(0));
        right(n + N, word(1));
        right(n + 2 * N + d, word(2));
        if (report_ == QualificationReport::Flange)
            left(n + 2 * N + 6 * d, word(3));
        break;
    case QLINE_VALUE:
        right(n, word(0));
        if (word(1) != "-")
            left(n + 2 * d, word(1));
        break;
    default: break;
    }
}
