// The page header of every report page, in a text report and on graphic
// pages alike: three lines, each with a part at the left margin and a part
// that ends at the right margin.
//
//   0: the model (report_model_name)          the date and the page number
//   1: client and project                     file number and report number
//   2: prepared by                            checked by
//
// The two parts of a line always fit the page together, with at least `gap`
// between them: while they are too long, the longest name (the model, the
// client, the project, the signatures) is cut by one character more and ends
// in "...", and a name cut to three characters is left out with its label;
// the file and report numbers are cut only when no name is left on their
// line. The
// date and the page number are never cut, so that a long name can never push
// the numbers that identify a report off its page. A control character of a
// name stands as its code (shown_controls).
#pragma once

#include <functional>
#include <string>
#include <vector>

struct PageHeaderLine {
    std::string left;
    std::string right;
    bool operator==(const PageHeaderLine&) const = default;
};

// The width of a text on header line 0, 1 or 2, in the units of the page
// width (characters in a text report, device dots on a graphic page).
using HeaderMeasure = std::function<int(int line, const std::string& text)>;

// The three header lines of page `page` on a page `width` wide.
std::vector<PageHeaderLine> page_header_lines(int page, int width, int gap, const HeaderMeasure& measure);

// The model that page headers name: the model file's name without its
// extension ("Untitled" for a model not yet saved), then " - " and the
// model's title when it has one.
std::string report_model_name();
// Where the model's title comes from (the model core sets it at start-up;
// without it headers name the file alone).
void set_report_title_source(std::function<std::string()> source);
