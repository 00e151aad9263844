// The page header of report pages and the model name it shows.
#include "framework/ui/report_header.h"

#include "framework/document.h"
#include "framework/qa_block.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/report.h"

#include <utility>

namespace {

struct TitleSource {
    std::function<std::string()> value;
};

constexpr const char* CUT_MARK = "...";
constexpr int CUT_MARK_CHARS = 3;
// A name cut shorter than this says nothing and is left out.
constexpr int SHORTEST_CUT = 3;
constexpr const char* ENTRY_SEPARATOR = "   ";

// How readily an entry gives way: names first, then the numbers that
// identify the report; the date and page number never.
enum Yield { NAME = 0, NUMBER = 1, FIXED = 2 };

// One labelled value of a header line. A cut entry shows `kept` characters
// of its value and the cut mark.
struct Entry {
    std::string label;
    std::string value;
    int yield = NAME;
    int kept = -1;   // -1: the whole value

    bool empty() const { return value.empty(); }
    int shown_chars() const { return kept < 0 ? utf8_length(value) : kept + CUT_MARK_CHARS; }
    std::string text() const {
        if (kept < 0) return label + value;
        std::string start = value.substr(0, utf8_offset(value, kept));
        trim_blanks(start);
        return label + start + CUT_MARK;
    }
    // Shows one character less; an entry cut to its shortest is left out
    // altogether, label and all.
    void cut() {
        const int length = utf8_length(value);
        if (kept < 0 && length - CUT_MARK_CHARS - 1 >= SHORTEST_CUT) {
            kept = length - CUT_MARK_CHARS - 1;
        } else if (kept > SHORTEST_CUT) {
            --kept;
        } else {
            value.clear();
            kept = -1;
        }
    }
};

std::string joined(const std::vector<Entry>& entries) {
    std::string s;
    for (const Entry& e : entries) {
        if (e.empty()) continue;
        if (!s.empty()) s += ENTRY_SEPARATOR;
        s += e.text();
    }
    return s;
}

// The names of a signature line: both lines of the block, comma separated.
std::string names(const std::array<std::string, QA_SIGN_LINES>& lines) {
    std::string s;
    for (const std::string& line : lines) {
        const std::string name = trimmed(line);
        if (name.empty()) continue;
        if (!s.empty()) s += ", ";
        s += name;
    }
    return s;
}

// Cuts the longest entries of a line, names before numbers, until its two
// parts fit the width.
PageHeaderLine fit(int line, std::vector<Entry> left, std::vector<Entry> right, int width, int gap,
                   const HeaderMeasure& measure) {
    // The names are the user's (the model file's name, its title, the
    // quality-assurance block): the header shows what they hold as a
    // message quotes it, and measures them so.
    for (std::vector<Entry>* side : {&left, &right})
        for (Entry& e : *side) e.value = shown_controls(e.value);
    auto too_wide = [&](const std::string& l, const std::string& r) {
        int used = measure(line, l) + measure(line, r);
        if (!l.empty() && !r.empty()) used += gap;
        return used > width;
    };
    std::string l = joined(left), r = joined(right);
    while (too_wide(l, r)) {
        Entry* longest = nullptr;
        for (std::vector<Entry>* side : {&left, &right})
            for (Entry& e : *side) {
                if (e.empty() || e.yield == FIXED) continue;
                if (!longest || e.yield < longest->yield ||
                    (e.yield == longest->yield && e.shown_chars() > longest->shown_chars()))
                    longest = &e;
            }
        if (!longest) break;
        longest->cut();
        l = joined(left);
        r = joined(right);
    }
    return PageHeaderLine{l, r};
}

}  // namespace

std::vector<PageHeaderLine> page_header_lines(int page, int width, int gap, const HeaderMeasure& measure) {
    const QABlock& qa = qa_block();
    std::vector<PageHeaderLine> lines;
    lines.push_back(fit(0, {Entry{"", report_model_name()}},
                        {Entry{"", report_date() + "    " + c_format("Page %d", page), FIXED}}, width, gap, measure));
    lines.push_back(fit(1, {Entry{"Client: ", trimmed(qa.client)}, Entry{"Project: ", trimmed(qa.project)}},
                        {Entry{"File No.: ", trimmed(qa.file_number), NUMBER},
                         Entry{"Report No.: ", trimmed(qa.report_number), NUMBER}},
                        width, gap, measure));
    lines.push_back(fit(2, {Entry{"Prepared by: ", names(qa.prepared_by)}},
                        {Entry{"Checked by: ", names(qa.checked_by)}}, width, gap, measure));
    return lines;
}

std::string report_model_name() {
    std::string name = model_base_name(model_file_path());
    const std::function<std::string()>& source = session_part<TitleSource>().value;
    const std::string title = source ? trimmed(source()) : std::string();
    if (!title.empty()) name += " - " + title;
    return name;
}

void set_report_title_source(std::function<std::string()> source) {
    session_part<TitleSource>().value = std::move(source);
}
