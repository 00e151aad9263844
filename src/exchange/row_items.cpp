#include "exchange/row_items.h"

#include "exchange/batch_reader.h"
#include "exchange/row_item_handlers.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "framework/units.h"

#include <unordered_map>

namespace {

const std::unordered_map<std::string, ItemHandler>& item_handlers()
{
    static const std::unordered_map<std::string, ItemHandler> handlers = [] {
        std::unordered_map<std::string, ItemHandler> map;
        for (const ItemHandlers& family : {support_item_handlers(), element_item_handlers(), load_item_handlers()})
            for (const auto& [keywords, handler] : family)
                for (const std::string& keyword : keywords) {
                    KV_ASSERT(map.count(keyword) == 0);
                    map.emplace(keyword, handler);
                }
        return map;
    }();
    return handlers;
}

}  // namespace

SplitItem split_row_item(const std::string& item, const BatchReader& reader)
{
    if (item.size() > ITEM_LENGTH_LIMIT)
        reader.fail(c_format("An item should be <= %zu characters", ITEM_LENGTH_LIMIT), item);
    SplitItem s;
    s.text = item;
    const std::size_t equals = item.find('=');
    const std::size_t parenthesis = item.find('(');
    if (equals == std::string::npos && parenthesis == std::string::npos) {
        s.keyword = item;
        return s;
    }
    const std::size_t cut = std::min(equals, parenthesis);
    s.tuple = cut == parenthesis;
    s.keyword = item.substr(0, cut);
    s.value = item.substr(cut + 1);
    s.value = s.value.substr(0, s.value.find(')'));
    // Components keep their places; leading blanks go, trailing ones stay.
    std::size_t start = 0;
    for (std::string& c : s.c) {
        if (start > s.value.size())
            break;
        std::size_t end = s.value.find(',', start);
        if (end == std::string::npos)
            end = s.value.size();
        c = s.value.substr(start, end - start);
        c.erase(0, c.find_first_not_of(" \t"));
        if (c.size() > COMPONENT_LENGTH_LIMIT)
            reader.fail(c_format("A value should be <= %zu characters", COMPONENT_LENGTH_LIMIT), c);
        start = end + 1;
    }
    return s;
}

bool is_row_item_keyword(const std::string& keyword)
{
    return item_handlers().count(keyword) != 0;
}

void read_row_items(RowItemContext& context, const std::string& items)
{
    std::string text = items;
    for (;;) {
        BatchTokenizer tokens;
        tokens.start(text);
        while (const std::optional<std::string> token = tokens.next_token()) {
            const SplitItem item = split_row_item(*token, context.reader);
            const auto handler = item_handlers().find(item.keyword);
            if (handler == item_handlers().end())
                context.reader.fail("Unknown comment", *token);
            handler->second(ItemReading(context, item));
        }
        // A list that ends with a comma goes on in the next line.
        if (text.empty() || text.back() != ',')
            return;
        context.reader.read_continuation("The item list ends with a comma, but the file ends after it",
                                         "The item list of the row before ends with a comma, but a section "
                                         "head follows it");
        text = context.reader.work();
    }
}

// ---- ItemReading ---------------------------------------------------------------------

void ItemReading::fail(const std::string& message) const
{
    ctx.reader.fail(message);
}

void ItemReading::fail(const std::string& message, const std::string& detail) const
{
    ctx.reader.fail(message, detail);
}

void ItemReading::tuple_only(const char* name, const char* example) const
{
    if (!it.tuple)
        fail(c_format("Invalid %s : %s\nDirectional entry such as %s%s is required", name, it.text.c_str(),
                      it.keyword.c_str(), example));
}

void ItemReading::tuple_only_or(const std::string& message) const
{
    if (!it.tuple)
        fail(message, it.text);
}

void ItemReading::scalar_only(const char* name, const char* example) const
{
    if (it.tuple)
        fail(c_format("Invalid %s : %s\nScalar entry such as %s=%s is required", name, it.text.c_str(),
                      it.keyword.c_str(), example));
}

void ItemReading::not_tuple_or(const std::string& message) const
{
    if (it.tuple)
        fail(message, it.text);
}

float ItemReading::number(const std::string& text, Parser parser, const std::string& message,
                          const std::function<bool(float)>& ok) const
{
    float v = 0.0f;
    if (parser(text, v) != 0 || (ok && !ok(v)))
        fail(message, text);
    return v;
}

float ItemReading::real(const std::string& text, const std::string& message,
                        const std::function<bool(float)>& ok) const
{
    float v = 0.0f;
    if (parse_real(text, v) != 0 || (ok && !ok(v)))
        fail(message, text);
    return v;
}

int32_t ItemReading::integer(const std::string& text, const std::string& message,
                             const std::function<bool(int32_t)>& ok) const
{
    int32_t v = 0;
    if (parse_int(text, v) != 0 || (ok && !ok(v)))
        fail(message, text);
    return v;
}
