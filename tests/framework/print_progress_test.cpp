// A print's progress on the scripted backend: PRINTING_DIALOG follows the
// pages (counted first when the report has contents, then "Page n of N"),
// and Cancel, pressed when it shows a page, stops the print at the next
// one: nothing reaches the printer, the preview closes, nothing is said.
#include "framework/document.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/ui/print_progress.h"
#include "framework/ui/printing_commands.h"
#include "framework/ui/report.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/headless_dialog.h"
#include "platform/headless/headless_printing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int SECTIONS = 30;

// `sections` sections, each on a page of its own under its contents entry.
ReportJob sections_job(bool with_contents, int sections = SECTIONS) {
    return ReportJob{"Sections",
                     [sections] {
                         for (int k = 1; k <= sections; ++k) {
                             gdi_new_page();
                             add_contents_entry(c_format("Section %d", k), 1);
                             report_line(c_format("Section %d", k));
                         }
                     },
                     with_contents};
}

// What the dialog showed, page by page, and a Cancel pressed once it shows
// `cancel_page`: a call that the print's serving of the windows runs, and
// that queues itself again until the print is over.
struct Watch {
    std::string cancel_page;
    std::vector<std::string> pages, parts;
    bool done = false;
};

void watch_printing(const std::shared_ptr<Watch>& w) {
    backend().post([w] {
        if (w->done) return;
        const std::vector<HeadlessDialog*>& open = headless_backend().open_dialogs();
        if (!open.empty() && open.back()->templ().name == "PRINTING_DIALOG") {
            HeadlessDialog& d = *open.back();
            w->pages.push_back(d.text(PRINTING_PAGE_TEXT));
            w->parts.push_back(d.text(PRINTING_PART_TEXT));
            if (w->pages.back() == w->cancel_page) d.press(IDCANCEL);
        }
        watch_printing(w);
    });
}

class PrintProgress : public ::testing::Test {
protected:
    void SetUp() override {
        install_headless_backend();
        set_report_date("12 Mar 2025");
        model_file_path() = "Progress.mod";
        set_print_progress_interval(0);
        service = &install_headless_print_service();
        watch = std::make_shared<Watch>();
        watch_printing(watch);
    }
    void TearDown() override {
        watch->done = true;
        backend().process_events();
        install_print_service(nullptr);
        remove_backend();
    }
    HeadlessPrintService* service = nullptr;
    std::shared_ptr<Watch> watch;
};

}  // namespace

TEST_F(PrintProgress, ThePrinterFollowsItsPagesAndStopsAtTheOneCancelled) {
    // The whole print: counted, then every page of the total.
    ASSERT_TRUE(print_page_to_printer(0, "Sections", report_page_renderer(sections_job(true))));
    ASSERT_EQ(service->printed.size(), 1u);
    const int total = static_cast<int>(service->printed[0].size());
    EXPECT_EQ(total, SECTIONS + 1);   // the contents on a page in front
    // Page 1 as the print begins, counted, then page 1 again of the total.
    ASSERT_GE(watch->pages.size(), 3u);
    EXPECT_EQ(watch->pages[0], "Page 1");
    EXPECT_EQ(watch->pages[1], "Counting the pages: 1");
    const auto first_of = std::find(watch->pages.begin(), watch->pages.end(), c_format("Page 1 of %d", total));
    ASSERT_NE(first_of, watch->pages.end());
    EXPECT_EQ(*(first_of - 1), c_format("Counting the pages: %d", SECTIONS));
    EXPECT_EQ(watch->pages.back(), c_format("Page %d of %d", total, total));
    EXPECT_EQ(watch->parts.back(), c_format("Section %d", SECTIONS));

    // Stopped at page 5: nothing is printed, no page after it is made,
    // nothing is said.
    watch->pages.clear();
    watch->cancel_page = c_format("Page 5 of %d", total);
    EXPECT_FALSE(print_page_to_printer(0, "Sections", report_page_renderer(sections_job(true))));
    EXPECT_EQ(service->printed.size(), 1u);
    ASSERT_FALSE(watch->pages.empty());
    EXPECT_EQ(watch->pages.back(), watch->cancel_page);
    EXPECT_EQ(script().last_message(), "");
    EXPECT_FALSE(report_state().printing_pages);
    EXPECT_TRUE(script().faults().empty());

    // Without contents the number of pages is not known before the end.
    watch->pages.clear();
    watch->cancel_page = "Page 3";
    EXPECT_FALSE(print_page_to_printer(0, "Sections", report_page_renderer(sections_job(false))));
    EXPECT_EQ(watch->pages, (std::vector<std::string>{"Page 1", "Page 2", "Page 3"}));
    EXPECT_EQ(service->printed.size(), 1u);
}

TEST_F(PrintProgress, ThePreviewStoppedWhileItsPagesAreMadeCloses) {
    watch->cancel_page = "Page 4";
    service->answer_preview(true);
    EXPECT_FALSE(print_preview_start(0, "Sections", report_page_renderer(sections_job(false))));
    EXPECT_EQ(service->previews, 1);
    EXPECT_EQ(service->last_preview_pages.size(), 4u);
    EXPECT_TRUE(service->printed.empty());
    EXPECT_EQ(script().last_message(), "");
    EXPECT_FALSE(report_state().printing_pages);
}

// The contents pages print under their own name, from the counting of
// their pages on, which goes on from the pages counted before them; the
// pages after them under their own parts. The same for the printer and the
// preview.
TEST_F(PrintProgress, TheContentsPagesAreNamedContents) {
    // 60 entries: two contents pages (51 entries fill one) in front of the
    // 60 pages of the sections.
    constexpr int sections = 60;
    constexpr int total = sections + 2;
    const std::string last_counted = c_format("Counting the pages: %d", total);
    service->answer_preview(true);
    for (const bool preview : {false, true}) {
        SCOPED_TRACE(preview ? "preview" : "printer");
        watch->pages.clear();
        watch->parts.clear();
        const PageRenderer render = report_page_renderer(sections_job(true, sections));
        ASSERT_TRUE(preview ? print_preview_start(0, "Sections", render) : print_page_to_printer(0, "Sections", render));
        const auto given = [&](const std::string& page) {
            const auto at = std::find(watch->pages.begin(), watch->pages.end(), page);
            return at == watch->pages.end() ? std::string("(not shown)")
                                            : watch->parts[static_cast<std::size_t>(at - watch->pages.begin())];
        };
        EXPECT_EQ(given(c_format("Counting the pages: %d", sections)), c_format("Section %d", sections));
        EXPECT_EQ(given(last_counted), "Contents");
        EXPECT_EQ(given(c_format("Page 1 of %d", total)), "Contents");
        EXPECT_EQ(given(c_format("Page 2 of %d", total)), "Contents");
        EXPECT_EQ(given(c_format("Page 3 of %d", total)), "Section 1");
        EXPECT_EQ(given(c_format("Page %d of %d", total, total)), c_format("Section %d", sections));
        // The count never goes back.
        int counted = 0;
        for (const std::string& page : watch->pages) {
            int n = 0;
            if (std::sscanf(page.c_str(), "Counting the pages: %d", &n) != 1) continue;
            EXPECT_GE(n, counted) << page;
            counted = n;
        }
        EXPECT_EQ(counted, total);
    }
    // Printed twice: to the printer, and from the preview.
    EXPECT_EQ(service->previews, 1);
    ASSERT_EQ(service->printed.size(), 2u);
    for (const auto& pages : service->printed) EXPECT_EQ(pages.size(), static_cast<std::size_t>(total));
}
