// Opens each list-window table of the model that has rows, one after the
// other, and hands it to `visit`; then the layout's table.
#pragma once

#include "framework/ui/table.h"
#include "model/model.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"

#include <functional>

inline void visit_every_table(const std::function<void(TableWindow&)>& visit_list,
                              const std::function<void(TableWindow&)>& visit_layout)
{
    make_model();
    for (const DataList& list : data_lists()) {
        if (!list.open || (list.count && list.count() == 0))
            continue;
        list.open();
        if (TableWindow* t = list_window_table())
            visit_list(*t);
    }
    present_layout_window();
    if (TableWindow* layout = layout_view().table())
        visit_layout(*layout);
}
