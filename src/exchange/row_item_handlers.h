// The handlers of the row item keywords, by family (supports, elements and
// components, loads), and what they share: the checks of an item's form and
// the reading of its numbers.
#pragma once

#include "exchange/row_items.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// One item being read: its parts, the row's values and the line's reader.
class ItemReading {
public:
    ItemReading(RowItemContext& context, const SplitItem& item) : ctx(context), it(item) {}

    RowItemContext& ctx;
    const SplitItem& it;

    RowItemValues& values() const { return ctx.values; }

    [[noreturn]] void fail(const std::string& message) const;
    [[noreturn]] void fail(const std::string& message, const std::string& detail) const;

    // The form checks. A tuple-only keyword refuses a scalar or bare item
    // with the directional-entry message (name, example) or with its own
    // message and the item as detail; a scalar-only keyword refuses a tuple
    // the same ways.
    void tuple_only(const char* name, const char* example) const;
    void tuple_only_or(const std::string& message) const;
    void scalar_only(const char* name, const char* example) const;
    void not_tuple_or(const std::string& message) const;

    // A number of a quantity: the parser reads the text in the file's unit
    // (0 for empty text); a text it refuses, or a value `ok` refuses, fails
    // with the message and the text as detail.
    using Parser = int (*)(const std::string&, float&);
    float number(const std::string& text, Parser parser, const std::string& message,
                 const std::function<bool(float)>& ok = {}) const;
    // A plain number and a whole number.
    float real(const std::string& text, const std::string& message,
               const std::function<bool(float)>& ok = {}) const;
    int32_t integer(const std::string& text, const std::string& message,
                    const std::function<bool(int32_t)>& ok = {}) const;
};

using ItemHandler = std::function<void(const ItemReading&)>;
using ItemHandlers = std::vector<std::pair<std::vector<std::string>, ItemHandler>>;

ItemHandlers support_item_handlers();
ItemHandlers element_item_handlers();
ItemHandlers load_item_handlers();

// Checks of a value.
inline std::function<bool(float)> not_below(float limit)
{
    return [limit](float v) { return v >= limit; };
}
inline std::function<bool(float)> above(float limit)
{
    return [limit](float v) { return v > limit; };
}
