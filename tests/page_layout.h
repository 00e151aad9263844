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
