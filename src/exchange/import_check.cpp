#include "exchange/import_check.h"

#include "exchange/row_objects.h"
#include "model/data_item.h"
#include "model/model.h"
#include "model/model_file.h"

ImportRefusal imported_model_refusal()
{
    if (RowRefusal refusal = first_unreadable_row(); refusal.row != 0)
        return {refusal.row, refusal.message};
    const Model& m = model();
    for (int row = 1; row <= m.numrows(); ++row)
        if (const DataItem* item = m.rows[row].data.get())
            if (std::optional<std::string> text = refusal_of([&] { item->check(m, row); }))
                return {row, *text};
    return {0, model_read_refusal()};
}
