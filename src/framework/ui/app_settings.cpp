#include "framework/ui/app_settings.h"

#include "framework/commands.h"
#include "framework/state.h"
#include "framework/ui/menus.h"

#include <algorithm>

namespace {

// Bounds of a trusted placement: coordinates of any monitor arrangement, and
// a window big enough to be found and grabbed again.
constexpr int32_t MAX_COORDINATE = 32768;
constexpr int32_t MIN_WINDOW_SIZE = 100;
constexpr size_t MAX_PATH_LENGTH = 4096;
constexpr size_t MAX_FONT_FACE_LENGTH = 64;

const char* const PLACEMENT_NAMES[] = {MAIN_WINDOW_PLACEMENT,     LIST_WINDOW_PLACEMENT,
                                       RESULTS_WINDOW_PLACEMENT,  GRAPHICS_WINDOW_PLACEMENT,
                                       MATERIAL_LIBRARY_PLACEMENT, SPECTRUM_LIBRARY_PLACEMENT};

// Preference value names.
const char* const WHITE_BACKGROUND = "White background";
const char* const SHOW_TOOLBAR = "Show toolbar";
const char* const LARGE_BUTTONS = "Large toolbar buttons";
const char* const DISABLE_GRAPHIC_EDITING = "Disable graphic editing";
const char* const TEXT_FONT = "Text font";
const char* const TEXT_FONT_HEIGHT = "Text font height";
const char* const TEXT_FONT_WEIGHT = "Text font weight";
const char* const TEXT_FONT_ITALIC = "Text font italic";

void read_flag(const SettingsStore& store, const std::string& key, const char* name, bool& flag) {
    std::optional<int32_t> v = store.get_int(key, name);
    if (v && (*v == 0 || *v == 1)) flag = *v == 1;
}

void read_int(const SettingsStore& store, const std::string& key, const char* name, int lowest,
              int highest, int& value) {
    std::optional<int32_t> v = store.get_int(key, name);
    if (v && *v >= lowest && *v <= highest) value = *v;
}

std::string recent_value_name(int index) { return "File" + std::to_string(index + 1); }

MenuItem* find_popup(std::vector<MenuItem>& items, const std::string& text) {
    for (MenuItem& item : items) {
        if (item.id == 0 && item.text == text) return &item;
        if (MenuItem* inner = find_popup(item.items, text)) return inner;
    }
    return nullptr;
}

}  // namespace

std::string settings_key() { return std::string("Software\\QVN Systems\\") + PRODUCT_NAME + "\\" + PRODUCT_VERSION; }

std::string settings_key(const std::string& subkey) { return settings_key() + "\\" + subkey; }

AppSettings& app_settings() {
    return session_part<AppSettings>();
}

const Preferences& preferences() { return app_settings().preferences; }

void reset_app_settings() { app_settings() = AppSettings{}; }

bool placement_is_sound(const WindowPlacement& p) {
    if (p.length != 44) return false;
    if (p.show_cmd < WindowPlacement::SHOW_HIDE || p.show_cmd > WindowPlacement::SHOW_MAXIMIZED) return false;
    for (int32_t v : {p.left, p.top, p.right, p.bottom})
        if (v < -MAX_COORDINATE || v > MAX_COORDINATE) return false;
    return p.right - p.left >= MIN_WINDOW_SIZE && p.bottom - p.top >= MIN_WINDOW_SIZE;
}

void load_app_settings(const SettingsStore& store) {
    AppSettings loaded;

    const std::string positions = settings_key(WINDOW_POSITIONS_KEY);
    for (const char* name : PLACEMENT_NAMES) {
        std::optional<std::vector<uint8_t>> bytes = store.get_binary(positions, name);
        if (!bytes) continue;
        std::optional<WindowPlacement> p = WindowPlacement::from_bytes(*bytes);
        if (p && placement_is_sound(*p)) loaded.placements[name] = *p;
    }

    const std::string prefs_key = settings_key(PREFERENCES_KEY);
    Preferences& prefs = loaded.preferences;
    read_flag(store, prefs_key, WHITE_BACKGROUND, prefs.white_background);
    read_flag(store, prefs_key, SHOW_TOOLBAR, prefs.show_toolbar);
    read_flag(store, prefs_key, LARGE_BUTTONS, prefs.large_buttons);
    read_flag(store, prefs_key, DISABLE_GRAPHIC_EDITING, prefs.disable_graphic_editing);
    std::optional<std::string> face = store.get_string(prefs_key, TEXT_FONT);
    if (face && !face->empty() && face->size() <= MAX_FONT_FACE_LENGTH) prefs.text_font.face = *face;
    read_int(store, prefs_key, TEXT_FONT_HEIGHT, 4, 72, prefs.text_font.height);
    read_int(store, prefs_key, TEXT_FONT_WEIGHT, 100, 1000, prefs.text_font.weight);
    read_flag(store, prefs_key, TEXT_FONT_ITALIC, prefs.text_font.italic);

    const std::string recent_key = settings_key(RECENT_FILES_KEY);
    for (int i = 0; i < RECENT_MODEL_COUNT; ++i) {
        std::optional<std::string> path = store.get_string(recent_key, recent_value_name(i));
        if (!path || path->empty() || path->size() > MAX_PATH_LENGTH) continue;
        if (path->find('\0') != std::string::npos) continue;
        if (std::find(loaded.recent_models.begin(), loaded.recent_models.end(), *path) ==
            loaded.recent_models.end())
            loaded.recent_models.push_back(*path);
    }

    app_settings() = std::move(loaded);
}

void save_app_settings(SettingsStore& store) {
    const AppSettings& s = app_settings();

    const std::string positions = settings_key(WINDOW_POSITIONS_KEY);
    for (const auto& [name, placement] : s.placements) store.set_binary(positions, name, placement.to_bytes());

    const std::string prefs_key = settings_key(PREFERENCES_KEY);
    const Preferences& prefs = s.preferences;
    store.set_int(prefs_key, WHITE_BACKGROUND, prefs.white_background ? 1 : 0);
    store.set_int(prefs_key, SHOW_TOOLBAR, prefs.show_toolbar ? 1 : 0);
    store.set_int(prefs_key, LARGE_BUTTONS, prefs.large_buttons ? 1 : 0);
    store.set_int(prefs_key, DISABLE_GRAPHIC_EDITING, prefs.disable_graphic_editing ? 1 : 0);
    store.set_string(prefs_key, TEXT_FONT, prefs.text_font.face);
    store.set_int(prefs_key, TEXT_FONT_HEIGHT, prefs.text_font.height);
    store.set_int(prefs_key, TEXT_FONT_WEIGHT, prefs.text_font.weight);
    store.set_int(prefs_key, TEXT_FONT_ITALIC, prefs.text_font.italic ? 1 : 0);

    const std::string recent_key = settings_key(RECENT_FILES_KEY);
    for (int i = 0; i < RECENT_MODEL_COUNT; ++i) {
        if (i < static_cast<int>(s.recent_models.size()))
            store.set_string(recent_key, recent_value_name(i), s.recent_models[static_cast<size_t>(i)]);
        else
            store.remove(recent_key, recent_value_name(i));
    }
}

std::optional<WindowPlacement> saved_placement(const std::string& name) {
    const auto& placements = app_settings().placements;
    auto it = placements.find(name);
    if (it == placements.end()) return std::nullopt;
    return it->second;
}

void store_placement(const std::string& name, const WindowPlacement& p) {
    if (name.empty() || !placement_is_sound(p)) return;
    app_settings().placements[name] = p;
    if (backend_installed()) backend().settings().set_binary(settings_key(WINDOW_POSITIONS_KEY), name, p.to_bytes());
}

void add_recent_model(const std::string& path) {
    if (path.empty() || path.size() > MAX_PATH_LENGTH) return;
    std::vector<std::string>& list = app_settings().recent_models;
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
    list.insert(list.begin(), path);
    if (list.size() > static_cast<size_t>(RECENT_MODEL_COUNT)) list.resize(RECENT_MODEL_COUNT);
}

void remove_recent_model(const std::string& path) {
    std::vector<std::string>& list = app_settings().recent_models;
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
}

bool recent_models_menu(Menu& menu) {
    MenuItem* popup = find_popup(menu.items(), RECENT_MODELS_TEXT);
    if (!popup) return false;
    const std::vector<std::string>& list = app_settings().recent_models;
    std::vector<MenuItem> entries;
    for (size_t i = 0; i < list.size() && i < static_cast<size_t>(RECENT_MODEL_COUNT); ++i) {
        // '&' in a path would mark a mnemonic; doubled it shows as itself.
        std::string shown;
        for (char c : list[i]) {
            if (c == '&') shown += '&';
            shown += c;
        }
        MenuItem entry;
        entry.text = "&" + std::to_string(i + 1) + " " + shown;
        entry.id = CMD_RECENT_FIRST + static_cast<int>(i);
        entries.push_back(entry);
    }
    const auto same = [](const MenuItem& a, const MenuItem& b) { return a.text == b.text && a.id == b.id; };
    if (popup->disabled == entries.empty() &&
        std::equal(entries.begin(), entries.end(), popup->items.begin(), popup->items.end(), same))
        return false;
    popup->items = std::move(entries);
    popup->disabled = popup->items.empty();
    return true;
}

const FontSpec& text_font() { return app_settings().preferences.text_font; }

bool choose_text_font(WindowId owner) {
    FontSpec font = text_font();
    if (!backend().choose_font(owner, font)) return false;
    if (font == text_font()) return false;
    app_settings().preferences.text_font = font;
    return true;
}
