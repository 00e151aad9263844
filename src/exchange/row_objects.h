// The typed objects of a model row that an importer has just given its
// kinds, and the message with which a kind's own check of its values
// refuses them.
#pragma once

#include "framework/errors.h"
#include "model/data_item.h"
#include "model/element_data.h"
#include "model/model.h"

#include <functional>
#include <optional>
#include <string>

// The row made its objects from its kinds, so a missing or other object is a
// fault of the program; the import still ends with a message, not a crash.
template <typename T>
T& row_element(int row)
{
    T* object = dynamic_cast<T*>(model().rows[row].element.get());
    if (!object)
        throw MessageText("Internal error: the row has no object of its element type");
    return *object;
}

template <typename T>
T& row_item(int row)
{
    T* item = dynamic_cast<T*>(model().rows[row].data.get());
    if (!item)
        throw MessageText("Internal error: the row has no object of its data type");
    return *item;
}

// The text a check throws; nothing when it passes.
inline std::optional<std::string> refusal_of(const std::function<void()>& check)
{
    try {
        check();
    } catch (const MessageText& m) {
        return m.text;
    }
    return std::nullopt;
}
