// The program's settings: preferences, window positions and recent models,
// kept under "Software\QVN Systems\Korvane\<version>" in the settings store.
// They are read at start-up and written back at shutdown; a stored value that
// is damaged (wrong size, wrong kind, out of range) is ignored and the default
// is used instead.
#pragma once

#include "framework/product.h"
#include "platform/backend.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

// "Software\QVN Systems\Korvane\10.20", and the same followed by "\" and a subkey.
std::string settings_key();
std::string settings_key(const std::string& subkey);

inline constexpr const char* WINDOW_POSITIONS_KEY = "Window positions";
inline constexpr const char* PREFERENCES_KEY = "Preferences";
inline constexpr const char* RECENT_FILES_KEY = "Recent files";

// Value names of the window placements under "Window positions".
inline constexpr const char* MAIN_WINDOW_PLACEMENT = "Main window";
inline constexpr const char* LIST_WINDOW_PLACEMENT = "List window";
inline constexpr const char* RESULTS_WINDOW_PLACEMENT = "Results window";
inline constexpr const char* GRAPHICS_WINDOW_PLACEMENT = "Graphics window";
inline constexpr const char* MATERIAL_LIBRARY_PLACEMENT = "Material library";
inline constexpr const char* SPECTRUM_LIBRARY_PLACEMENT = "Spectrum library";

struct Preferences {
    bool white_background = false;          // "White background"
    bool show_toolbar = true;               // "Show toolbar"
    bool large_buttons = false;             // "Large toolbar buttons"
    bool disable_graphic_editing = false;   // "Disable graphic editing"
    FontSpec text_font{"Monospace", 10, 400, false, false, true, 0};  // "Text font" and its size values
};

struct AppSettings {
    Preferences preferences;
    std::map<std::string, WindowPlacement> placements;  // by value name; only sound ones
    std::vector<std::string> recent_models;             // newest first, at most RECENT_MODEL_COUNT
};

AppSettings& app_settings();
const Preferences& preferences();
// Defaults, no placements, no recent models (tests).
void reset_app_settings();

void load_app_settings(const SettingsStore& store);
void save_app_settings(SettingsStore& store);

// True when a placement read from the store can be trusted: 44 bytes long, a
// known show state and a normal rectangle of sensible size and position.
bool placement_is_sound(const WindowPlacement& p);
// The kept placement of a window, null when none (or a damaged one) was stored.
std::optional<WindowPlacement> saved_placement(const std::string& name);
// Keeps a placement and writes it to the store of the installed backend.
void store_placement(const std::string& name, const WindowPlacement& p);

// Recent models: the path moves to the front; the oldest falls off.
void add_recent_model(const std::string& path);
void remove_recent_model(const std::string& path);
// Rebuilds the "Recent &Models" popup of a menu from the list (items 323 to
// 326, "&1 path" and so on); the popup is greyed while the list is empty.
// False when the menu has no such popup or it was up to date.
bool recent_models_menu(Menu& menu);

// The text font of tables and reports; the font command asks for a new one.
const FontSpec& text_font();
// Shows the font chooser with the text font; true when a new font was chosen.
bool choose_text_font(WindowId owner);
