// QA_BLOCK_DIALOG: the quality-assurance block's editor.
#include "framework/ui/qa_block_dialog.h"

#include "framework/app_state.h"
#include "framework/strings.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/dialogs_common.h"

namespace {

// The edits of the dialog in template order with the member each shows.
struct QAItem {
    int item;
    int limit;
    std::string& (*member)(QABlock&);
};

const QAItem QA_ITEMS[] = {
    {QA_CLIENT, QA_NAME_LIMIT, [](QABlock& q) -> std::string& { return q.client; }},
    {QA_PROJECT, QA_NAME_LIMIT, [](QABlock& q) -> std::string& { return q.project; }},
    {QA_FILE_NUMBER, QA_NUMBER_LIMIT, [](QABlock& q) -> std::string& { return q.file_number; }},
    {QA_REPORT_NUMBER, QA_NUMBER_LIMIT, [](QABlock& q) -> std::string& { return q.report_number; }},
    {QA_PREPARED_BY_1, QA_NAME_LIMIT, [](QABlock& q) -> std::string& { return q.prepared_by[0]; }},
    {QA_PREPARED_BY_2, QA_NAME_LIMIT, [](QABlock& q) -> std::string& { return q.prepared_by[1]; }},
    {QA_CHECKED_BY_1, QA_NAME_LIMIT, [](QABlock& q) -> std::string& { return q.checked_by[0]; }},
    {QA_CHECKED_BY_2, QA_NAME_LIMIT, [](QABlock& q) -> std::string& { return q.checked_by[1]; }},
};


struct QABlockDialog : DialogProc {
    void init(Dialog& d) override {
        QABlock& qa = qa_block();
        for (const QAItem& f : QA_ITEMS) {
            dialog_set_text_limit(f.item, f.member(qa), f.limit);
            if (input_locked()) dialog_set_readonly(f.item);
        }
        dialog_set_focus(QA_CLIENT);
        center_window(d);
    }

    bool ok(Dialog&) override {
        if (input_locked()) return true;
        QABlock edited = qa_block();
        // The file keeps `limit` bytes a line: keep what it will hold, whole characters only.
        for (const QAItem& f : QA_ITEMS) {
            dialog_get_record_text(f.item, static_cast<std::size_t>(f.limit));
            f.member(edited) = item_text();
        }
        if (!(edited == qa_block())) {
            qa_block() = edited;
            model_modified() = true;
        }
        return true;
    }
};

}  // namespace

bool qa_block_dialog(WindowId owner) {
    QABlockDialog proc;
    return run_dialog(QA_BLOCK_DIALOG, proc, owner) == IDOK;
}
