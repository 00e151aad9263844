#include "framework/ui/find_node.h"

#include "framework/errors.h"
#include "framework/state.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/dialogs_common.h"

namespace {

constexpr int NODE_TEXT_LIMIT = 10;

struct FindNodeDialog : DialogProc {
    const NodeLookup& lookup;
    explicit FindNodeDialog(const NodeLookup& l) : lookup(l) {}

    void init(Dialog& d) override {
        dialog_set_text_limit(FIND_NODE_TEXT, find_node_text(), NODE_TEXT_LIMIT);
        dialog_select_focus(FIND_NODE_TEXT);
        center_window(d, IDOK);
    }

    bool ok(Dialog&) override {
        dialog_get_text(FIND_NODE_TEXT);
        std::string text = item_text();
        if (text.empty()) throw_required("Node");
        find_node_text() = text;
        int node = 0;
        if (!lookup(text, node)) dialog_throw(FIND_NODE_TEXT, "Node  " + text + "  not found");
        found_node() = node;
        return true;
    }
};

}  // namespace

namespace {

// What the Find Node dialog remembers: the node found last and the text typed.
struct FindNodeMemory {
    int node = 0;
    std::string text;
};

}  // namespace

int& found_node() { return session_part<FindNodeMemory>().node; }

std::string& find_node_text() { return session_part<FindNodeMemory>().text; }

bool find_node_dialog(WindowId owner, const NodeLookup& lookup) {
    if (!lookup) return false;
    FindNodeDialog proc(lookup);
    return run_dialog(FIND_NODE_DIALOG, proc, owner) == IDOK;
}
