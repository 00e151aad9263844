// The message text a call throws, for the checks of refusals.
#pragma once

#include "framework/errors.h"

#include <string>
#include <utility>

// The text of the MessageText that `f` throws; "<nothing thrown>" when it
// returns.
template <typename F>
std::string thrown_text(F&& f)
{
    try {
        std::forward<F>(f)();
    } catch (const MessageText& m) {
        return m.text;
    }
    return "<nothing thrown>";
}
