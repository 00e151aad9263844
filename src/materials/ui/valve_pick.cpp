#include "materials/ui/valve_pick.h"

#include "framework/document.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/messages.h"
#include "framework/units.h"
#include "materials/size_tables.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/library_browser.h"
#include "materials/ui/valve_library_ui.h"

#include <cmath>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

struct ValvePick {
    OneBased<ValveRecord> library;
    std::vector<int> offered;   // the library's records of the diameter of the pick
};
ValvePick& pick() { return session_part<ValvePick>(); }

std::string no_valves_message()
{
    return c_format("There are no valves in \n%s", valve_library_path().path.c_str());
}

std::string size_text(double od)
{
    return format_g5(to_display(DIMENSION, nominal_pipe_size(od))) + " " + unit_label(DIMENSION);
}

// The library for a pick: the one read before, the remembered file, or one
// the user chooses. False (reported) when none with valves is there.
bool ensure_library(WindowId owner)
{
    ValvePick& p = pick();
    if (!p.library.empty())
        return true;
    std::error_code ec;
    const std::string& path = valve_library_path().path;
    if (!path.empty() && std::filesystem::exists(path, ec) && read_valve_library(owner, p.library) &&
        !p.library.empty())
        return true;
    if (!open_valve_library(owner, p.library))
        return false;
    if (p.library.empty()) {
        message_error(owner, no_valves_message());
        valve_library_path().path.clear();
        return false;
    }
    return true;
}

}  // namespace

OneBased<ValveRecord>& valve_pick_library() { return pick().library; }

void forget_valve_pick_library() { pick() = ValvePick{}; }

std::string valve_size_missing_message(double od)
{
    return " Valve data not available for this diameter: " + size_text(od);
}

std::optional<ValveChoice> pick_valve_by_diameter(WindowId owner, double od)
{
    ValvePick& p = pick();
    if (!ensure_library(owner))
        return std::nullopt;
    p.offered = valves_fitting_diameter(p.library, od);
    if (p.offered.empty()) {
        message_error(owner, valve_size_missing_message(od));
        return std::nullopt;
    }
    auto valve = [](int row) -> const ValveRecord& {
        return pick().library[pick().offered[static_cast<std::size_t>(row - 1)]];
    };
    LibraryBrowser b;
    b.caption = "Valve Library";
    b.columns = {
        {"Description", "", [valve](int row) { return valve(row).description; }},
        {"Rating", "", [valve](int row) { return valve(row).rating; }},
        {"Ctype", "", [valve](int row) { return valve(row).connection; }},
        {"Length", unit_label(LENGTH),
         [valve](int row) { return valve(row).length == 0.0f ? std::string() : format_length(valve(row).length); }},
        {"Weight", unit_label(WEIGHT),
         [valve](int row) { return valve(row).weight == 0.0f ? std::string() : format_weight(valve(row).weight); }},
    };
    b.count = [] { return static_cast<int>(pick().offered.size()); };
    b.path = [] { return valve_library_path().path; };
    b.note = [od] { return "Size = " + size_text(od); };
    b.other_library = [od](WindowId dialog) {
        ValvePick& q = pick();
        OneBased<ValveRecord> read;
        if (!open_valve_library(dialog, read)) {
            // A failed read has forgotten the library that was shown.
            if (valve_library_path().path.empty()) {
                q = ValvePick{};
                return OtherLibrary::Ended;
            }
            return OtherLibrary::Unchanged;
        }
        if (read.empty()) {
            message_error(dialog, no_valves_message());
            valve_library_path().path.clear();
            q = ValvePick{};
            return OtherLibrary::Ended;
        }
        q.library = std::move(read);
        q.offered = valves_fitting_diameter(q.library, od);
        if (q.offered.empty()) {
            message_error(dialog, valve_size_missing_message(od));
            return OtherLibrary::Ended;
        }
        return OtherLibrary::Shown;
    };
    const int row = run_library_browser(VALVE_LIBRARY_USE_DIALOG, b, owner);
    if (row == 0)
        return std::nullopt;
    model_modified() = true;
    return ValveChoice{valve(row).weight, valve(row).length};
}
