// Every table a user can print from the list window and from the results
// window of the open model, each printed alone on pages as Print does.
#pragma once

#include "exchange/result_tables_walk.h"
#include "framework/ui/report.h"
#include "framework/ui/table.h"
#include "model/ui/list_window.h"
#include "platform/headless/headless_printing.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Each data list with rows as the list window shows it, then, with
// `results`, every result table that walk_result_tables reaches (each
// table in its first `visits` showings, in each axes: the others print the
// same columns); `visit` gets the table and what it is.
inline void for_each_shown_table(const std::function<void(TableWindow& table, const std::string& what)>& visit,
                                 bool results, int visits = 2)
{
    for (const DataList& list : data_lists()) {
        if (!list.count || list.count() == 0)
            continue;
        list.open();
        if (TableWindow* t = list_window_table())
            visit(*t, list.name);
    }
    if (!results)
        return;
    std::map<std::pair<TableWindow*, std::string>, int> seen;
    walk_result_tables([&](const std::string& what) {
        TableWindow* t = results_table_view().table();
        const std::string title = results_frame().title_text;
        const std::string axes = title.find("global") != std::string::npos ? "global" : "local";
        if (t && ++seen[{t, axes}] <= visits)
            visit(*t, what + ": " + title);
    });
}

// The pages the tests print on: Letter upright, Letter across, and A4 with
// inch margins at its sides (the narrowest).
inline std::vector<PageSetup> printed_page_setups()
{
    PageSetup across;
    across.orientation = PageSetup::Landscape;
    PageSetup narrow;
    narrow.paper = "A4";
    narrow.margin_left = narrow.margin_right = 1000;
    return {PageSetup{}, across, narrow};
}

// The table printed alone, as its Print command prints it, on pages of the
// page setup at 96 dots an inch.
inline std::unique_ptr<HeadlessPrintDocument> print_alone(TableWindow& t, const PageSetup& setup = {})
{
    auto doc = std::make_unique<HeadlessPrintDocument>(setup, 96);
    report_render_pages(*doc, ReportJob{t.title, [&t] { t.print(); }, false});
    return doc;
}
