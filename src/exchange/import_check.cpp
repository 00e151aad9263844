#include "exchange/import_check.h"

#include "analysis/analysis_model.h"
#include "elements/element_common.h"
#include "exchange/neutral_text.h"
#include "exchange/row_objects.h"
#include "model/data_item.h"
#include "model/model.h"
#include "model/model_file.h"

#include <string>
#include <utility>

ImportRefusal imported_model_refusal()
{
    if (RowRefusal refusal = first_unreadable_row(); refusal.row != 0)
        return {refusal.row, refusal.message};
    const Model& m = model();
    const auto section_od = [](const std::string& name) { return 2.0 * section_radius(name); };
    for (int row = 1; row <= m.numrows(); ++row) {
        if (std::string fault = element_size_fault(m.rows[row], section_od); !fault.empty())
            return {row, std::move(fault)};
        if (std::string fault = item_off_pipe_refusal(m, row, m.rows[row].etype, m.rows[row].dtype); !fault.empty())
            return {row, std::move(fault)};
        if (const DataItem* item = m.rows[row].data.get())
            if (std::optional<std::string> text = refusal_of([&] { item->check(m, row); }))
                return {row, *text};
    }
    return {0, model_read_refusal()};
}

void note_model_check(ImportNotes& notes)
{
    if (const std::optional<std::string> refusal = refusal_of([] { make_analysis_model(); }); refusal && !refusal->empty())
        notes.add_first(IMPORT_MODEL_CHECK, *refusal);
}
