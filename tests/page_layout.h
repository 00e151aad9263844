// Where the texts of recorded report pages lie. A recording surface measures
// 8 dots a character and 16 a line, so every drawn text has a box: from its
// top to one line below, from its anchor by its alignment. Two texts whose
// boxes share a dot are printed on top of each other; a box that leaves the
// page is cut off by the printer.
#pragma once

#include "platform/headless/headless_printing.h"
#include "platform/headless/recording_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

struct DrawnText {
    int left = 0, top = 0, right = 0, bottom = 0;
    std::string text;
};

// Characters, not bytes.
inline int drawn_chars(const std::string& text) {
    int n = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

// The box of a recorded text operation ("text X Y "TEXT" ALIGN"); false
// for any other operation.
inline bool drawn_text(const std::string& op, DrawnText& t) {
    if (op.rfind("text ", 0) != 0) return false;
    const size_t open = op.find('"'), close = op.rfind('"');
    if (open == std::string::npos || close <= open) return false;
    std::istringstream head(op.substr(5, open - 5));
    int x = 0, y = 0;
    head >> x >> y;
    t.text = op.substr(open + 1, close - open - 1);
    const std::string align = close + 2 <= op.size() ? op.substr(close + 2) : std::string();
    const int width = RecordingSurface::GLYPH_WIDTH * drawn_chars(t.text);
    t.left = align == "right" ? x - width : align == "center" ? x - width / 2 : x;
    t.right = t.left + width;
    t.top = y;
    t.bottom = y + RecordingSurface::LINE_HEIGHT;
    return true;
}

// The boxes of the texts drawn on a page, in drawing order.
inline std::vector<DrawnText> drawn_texts(const RecordingSurface& page) {
    std::vector<DrawnText> out;
    for (const std::string& op : page.lines_starting("text")) {
        DrawnText t;
        if (drawn_text(op, t)) out.push_back(std::move(t));
    }
    return out;
}

// Every pair of texts of a page printed over each other and every text
// that leaves the page, one line each; empty when the page reads cleanly.
inline std::vector<std::string> page_layout_faults(const RecordingSurface& page) {
    std::vector<std::string> faults;
    const std::vector<DrawnText> texts = drawn_texts(page);
    for (size_t i = 0; i < texts.size(); ++i) {
        const DrawnText& a = texts[i];
        if (a.left < 0 || a.right > page.width() || a.top < 0 || a.bottom > page.height())
            faults.push_back("off the page: \"" + a.text + "\" at " + std::to_string(a.left) + "," +
                             std::to_string(a.top));
        for (size_t j = i + 1; j < texts.size(); ++j) {
            const DrawnText& b = texts[j];
            if (a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
                faults.push_back("\"" + a.text + "\" at " + std::to_string(a.left) + "," + std::to_string(a.top) +
                                 " overlaps \"" + b.text + "\" at " + std::to_string(b.left) + "," +
                                 std::to_string(b.top));
        }
    }
    return faults;
}

// The columns of the printed tables of a page that hold no text. A
// table's upright rules end together at the foot of each band of it (its
// column header, each row of a tier): they are the band's column edges. A
// column between two edges of a band is blank when no text lies with its
// middle between them in any band of the same edges. One line a blank
// column; empty when every column holds something.
inline std::vector<std::string> blank_printed_columns(const RecordingSurface& page) {
    struct Band {
        int top = 0, bottom = 0;
        std::vector<int> edges;
    };
    std::map<int, Band> by_bottom;
    for (const std::string& op : page.lines_starting("line")) {
        std::istringstream in(op.substr(5));
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        if (!(in >> x1 >> y1 >> x2 >> y2) || x1 != x2 || y2 <= y1) continue;
        Band& b = by_bottom[y2];
        if (b.edges.empty() || y1 < b.top) b.top = y1;
        b.bottom = y2;
        b.edges.push_back(x1);
    }
    std::map<std::vector<int>, std::vector<char>> filled;   // the edges of a band: its columns that hold text
    const std::vector<DrawnText> texts = drawn_texts(page);
    for (auto& [bottom, band] : by_bottom) {
        std::sort(band.edges.begin(), band.edges.end());
        band.edges.erase(std::unique(band.edges.begin(), band.edges.end()), band.edges.end());
        if (band.edges.size() < 2) continue;
        std::vector<char>& columns = filled[band.edges];
        columns.resize(band.edges.size() - 1, 0);
        for (const DrawnText& t : texts) {
            if (t.text.find_first_not_of(' ') == std::string::npos || t.top < band.top || t.bottom > band.bottom)
                continue;
            const int middle = (t.left + t.right) / 2;
            for (size_t c = 0; c + 1 < band.edges.size(); ++c)
                if (middle > band.edges[c] && middle < band.edges[c + 1]) columns[c] = 1;
        }
    }
    std::vector<std::string> faults;
    for (const auto& [edges, columns] : filled)
        for (size_t c = 0; c < columns.size(); ++c)
            if (!columns[c])
                faults.push_back("the column from " + std::to_string(edges[c]) + " to " + std::to_string(edges[c + 1]) +
                                 " holds no text");
    return faults;
}

// The texts of every page of a document with the left and top edges of
// their boxes, one line each, for comparing with a golden file.
inline std::string page_layout_text(const HeadlessPrintDocument& doc) {
    std::string out;
    for (size_t p = 0; p < doc.pages().size(); ++p) {
        out += "page " + std::to_string(p + 1) + "\n";
        for (const DrawnText& t : drawn_texts(*doc.pages()[p]))
            out += std::to_string(t.left) + " " + std::to_string(t.top) + " " + t.text + "\n";
    }
    return out;
}

// No page of the document has a fault.
inline void expect_clean_pages(const HeadlessPrintDocument& doc) {
    for (size_t p = 0; p < doc.pages().size(); ++p)
        for (const std::string& fault : page_layout_faults(*doc.pages()[p]))
            ADD_FAILURE() << "page " << p + 1 << ": " << fault;
}
