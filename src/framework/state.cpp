// The one root of the program's mutable state.
#include "framework/state.h"

#include "framework/document.h"
#include "framework/geometry.h"
#include "platform/backend.h"
#include "platform/printing.h"

namespace {

struct StateRoot {
    Document document;
    PartSet session;
};

StateRoot& root()
{
    static StateRoot the_root;
    return the_root;
}

}  // namespace

Document& document() { return root().document; }

void reset_document() { root().document = Document{}; }

bool model_file_replaced()
{
    const Document& d = document();
    if (d.path.empty() || d.stamped_path != d.path || !d.stamp.known)
        return false;
    return file_stamp(d.path) != d.stamp;
}

PartSet& session() { return root().session; }

void reset_all()
{
    // Window objects first: they may still talk to the backend as they go.
    // A part that reaches for another while it is destroyed finds a fresh
    // one in the new session, which the next round drops.
    for (int round = 0; round < 3 && root().session.size() > 0; ++round) {
        PartSet old = std::move(root().session);
        root().session = PartSet{};
    }
    {
        Document old = std::move(root().document);
        root().document = Document{};
    }
    set_analysis_running(false);
    set_debug_output(false);
    set_assert_exit_handler({});
    set_assert_display({});
    reset_current_rotation();
    remove_print_service();
    remove_backend();
}
