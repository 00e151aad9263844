// Node texts as they are typed: a node number with its band letter. An
// accepted number prints as a text that reads back as the same number, and
// the layout's look-ups of a typed node (an existing node, find node) take
// any text on the sample model.
#include "framework/errors.h"
#include "harness/fuzz_program.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/ui/layout_window.h"
#include "framework/ui/table.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = (start_program(), read_sample_model(), true);
    (void)started;
    const std::string text(reinterpret_cast<const char*>(data), size);
    int number = 0;
    if (parse_node_text_code(text, number) == 0) {
        const std::string shown = node_text(number);
        int back = 0;
        if (parse_node_text_code(shown, back) != 0 || back != number)
            finding("node \"" + text + "\" prints as \"" + shown + "\", which does not read back");
        table_window_find_node(layout_table(), number);
    }
    item_text() = text;
    try {
        parse_existing_node("Node");
    } catch (const MessageText& m) {
        if (m.text.empty())
            finding("node \"" + text + "\" is refused without a message");
    }
    return 0;
}
