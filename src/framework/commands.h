// Command ids. Menu items, accelerators and tool-bar buttons all send these
// numbers to the command handler of their frame. The same number may mean a
// slightly different thing in another window (Export in the layout window
// writes a batch file, in the results window it exports the shown result);
// the name says what the command is in the window that owns it first.
#pragma once

enum : int {
    // File
    CMD_NEW = 101,                      // "&New...\tCtrl+N"
    CMD_OPEN = 102,                     // "&Open...\tCtrl+O"
    CMD_CLOSE = 103,                    // "&Close"
    CMD_SAVE = 104,                     // "&Save\tCtrl+S"
    CMD_SAVE_AS = 105,                  // "Save &As..."
    CMD_PRINT = 106,                    // "&Print...\tCtrl+P"
    CMD_EXIT = 110,                     // "E&xit\tAlt+F4"

    // Edit and rows
    CMD_EDIT_ROW = 113,                 // "&Edit\tCtrl+E": the current row's dialog
    CMD_DELETE = 126,                   // "&Delete\tCtrl+X"
    CMD_INPUT = 127,                    // "&Input\t Ctrl+I": leave results for the input windows
    CMD_INSERT = 128,                   // "&Insert\tCtrl+Ins"
    CMD_COPY = 363,                     // "Copy..\tCtrl+C"
    CMD_PASTE = 364,                    // "Paste..\tCtrl+V"
    CMD_FIND_REPLACE = 40022,           // "&Find and Replace" (row names; valve library)
    CMD_UNDO = 40050,
    CMD_REDO = 40051,

    // View and graphics
    CMD_VIEWPOINT = 121,                // "&Viewpoint...\tF4"
    CMD_VIEW_X = 122,                   // Ctrl+Shift+X
    CMD_VIEW_Y = 123,                   // Ctrl+Shift+Y
    CMD_VIEW_Z = 124,                   // Ctrl+Shift+Z
    CMD_VIEW_ISO = 125,                 // Ctrl+Shift+I
    CMD_RENDER = 130,                   // "&Render\tCtrl+R"
    CMD_ZOOM_ALL = 131,                 // "Zoom &All\tCtrl+A"
    CMD_ZOOM_IN = 132,                  // Page Up
    CMD_ZOOM_IN_BUTTON = 133,           // tool button: continuous zoom in
    CMD_ZOOM_OUT = 134,                 // Page Down
    CMD_ZOOM_OUT_BUTTON = 135,          // tool button: continuous zoom out
    CMD_ZOOM_BUTTON_STATE = 136,        // posted: update the zoom buttons
    CMD_HIDE_CURRENT_ELEMENT = 239,     // F6
    CMD_SHOW_ALL_ELEMENTS = 240,        // F9
    CMD_MAKE_TRANSPARENT = 241,         // F7
    CMD_ALL_TRANSPARENT = 242,          // F10
    CMD_ALL_OPAQUE = 243,               // F11
    CMD_REDRAW = 258,                   // Ctrl+D in the graphics window
    CMD_PREVIOUS_VIEW = 267,            // "&Previous View\tF5"
    CMD_TURN = 271,                     // "&Turn\tCtrl+T"
    CMD_MAGNIFICATION = 300,            // "&Magnification..."
    CMD_AXES_NONE = 310,                // 310..314: axes triad corner
    CMD_AXES_TOP_RIGHT = 311,
    CMD_AXES_TOP_LEFT = 312,
    CMD_AXES_BOTTOM_LEFT = 313,
    CMD_AXES_BOTTOM_RIGHT = 314,
    CMD_LOCAL_AXES = 327,               // toggle the local-axes (LCS) display
    CMD_FIND_NODE = 336,                // "&Find Node...\tCtrl+F"
    CMD_PLOT_TITLE = 342,
    CMD_DRAWING_SIZE = 347,
    CMD_BACKGROUND_BLACK = 352,
    CMD_BACKGROUND_WHITE = 353,
    CMD_HIGHLIGHT_MATERIAL = 432,       // highlight the rows of the current material
    CMD_SHOW = 433,                     // "&Show...\tCtrl+S" in the graphics window
    CMD_GRAPHICS_SHOW = 434,            // sent: bring the graphics window up to date and to front
    CMD_GRAPHICS_DESTROY = 435,         // sent: destroy the graphics frame
    CMD_SHOW_NODES = 437,               // Ctrl+N in the graphics window
    CMD_TEXT_WINDOW = 438,              // F2 in the graphics window
    CMD_TEXT_WINDOW_BUTTON = 439,
    CMD_CENTER = 440,                   // Ctrl+Shift+C
    CMD_HIGHLIGHT_SECTION = 441,        // highlight the rows of the current section
    CMD_QUALITY_LOW = 40018,            // 40018..40020 rendering quality
    CMD_QUALITY_MEDIUM = 40019,
    CMD_QUALITY_HIGH = 40020,
    CMD_FREEZE_VIEW = 40023,            // F8
    CMD_HIDE_ELEMENTS = 40024,          // F12 in the graphics window
    CMD_DOTS_NUMBERS = 40028,           // F3 in the graphics window
    CMD_COLOURING_OFF = 40029,          // also the jacket-stress toggle of the graphics window
    CMD_RECOVER_GRAPHICS = 40037,
    CMD_SYMBOL_LARGER = 40080,          // Ctrl+Numpad8
    CMD_SYMBOL_SMALLER = 40081,         // Ctrl+Numpad2

    // Windows
    CMD_GRAPHICS = 253,                 // "&Graphics\tF2"
    CMD_GRAPHICS_BUTTON = 254,          // tool button: graphics window
    CMD_GO_BACK = 255,                  // "&List\tF3" / "L&ayout\tF3"
    CMD_GO_BACK_BUTTON = 256,           // tool button: list or layout window
    CMD_SWITCH_LIST_LAYOUT = 257,       // "L&ayout" / "&List" in results mode
    CMD_CLOSE_POPUPS = 301,             // sent: close open message dialogs and popups
    CMD_LIST = 302,                     // "&List...\tCtrl+L": the data-list chooser

    // Model tables (Misc)
    CMD_ELEMENT_TYPES = 182,            // "Element &types..."
    CMD_DATA_TYPES = 183,               // "&Data types..."
    CMD_MATERIALS = 188,                // "&Materials"
    CMD_SECTIONS = 189,                 // "&Sections"
    CMD_PIPE_LOADS = 190,               // "&Loads"
    CMD_PUMPS = 193,                    // "&Pumps"
    CMD_COMPRESSORS = 194,              // "C&ompressors"
    CMD_TURBINES = 195,                 // "T&urbines"
    CMD_AISC_LIBRARY = 244,             // "&AISC Beam Library..."
    CMD_HIGHLIGHT_BUTTON = 245,         // tool button beside the highlight command
    CMD_READ_SPECTRUM = 250,            // "&Read Spectrum..."
    CMD_SPECTRUMS = 251,                // "Spectrums"
    CMD_LIBRARY = 270,                  // "&Library..." / "Beam &Library..."
    CMD_PIPING_CODE = 305,              // "&Piping code..." (material library)
    CMD_SPECTRUM_OPTIONS = 306,         // "&Spectrum..." (spectrum library)
    CMD_BEAM_MATERIALS = 307,           // "Beam &Materials"
    CMD_BEAM_SECTIONS = 308,            // "Beam &Sections"
    CMD_BEAM_LOADS = 309,               // "Beam &Loads"
    CMD_CHECK_BENDS = 337,              // "Check &Bends"

    // Results
    CMD_RESULTS = 174,                  // "&Results...\tCtrl+R"
    CMD_SHAPE = 216,                    // deflected or mode shape, Ctrl+D
    CMD_DISPLACEMENT_TABLE_1 = 217,
    CMD_DISPLACEMENT_TABLE_2 = 218,
    CMD_ANIMATE = 221,                  // Ctrl+Shift+A
    CMD_NEXT_RESULT = 226,              // "&Next Result\tTab"
    CMD_PREVIOUS_RESULT = 227,          // "&Previous Result\tShift+Tab"
    CMD_NEXT_LOAD_CASE = 228,           // "Next load case\tRight Arrow"
    CMD_PREVIOUS_LOAD_CASE = 229,       // "Previous load case\tLeft Arrow"
    CMD_LOAD_CASES = 231,               // "&Load Cases..."
    CMD_OTHER_ITEM = 287,               // "&Other ...\tF6"
    CMD_LOCAL_GLOBAL = 288,             // local or global values, F7
    CMD_OPEN_RESULTS = 293,             // "Open &Results..."
    CMD_NEXT_ITEM = 330,                // Ctrl+Right Arrow
    CMD_PREVIOUS_ITEM = 331,            // Ctrl+Left Arrow
    CMD_SHOW_STRESSES = 332,            // "&Show Stresses"
    CMD_SHOW_STRESS_RATIOS = 333,       // "Show Stress &Ratios"
    CMD_THRESHOLDS = 334,               // "&Thresholds..."
    CMD_RATIOS_COLUMN = 338,
    CMD_SORTED_STRESS_OPTION = 374,
    CMD_CENTER_OF_GRAVITY = 378,        // "&Center of Gravity..."
    CMD_COLOUR_CODING = 383,            // "Color code stresses" / "No color coding"
    CMD_FIRST_LEVEL_CHECKS = 40085,     // "First-Level Checks"

    // Separator ids of menus and tool bars that other code finds by id
    SEP_RESULTS_ITEMS = 276,
    SEP_RESULTS_MODES = 277,
    SEP_RESULTS_LOAD_CASES = 278,
    SEP_BAR_RESULTS = 294,
    SEP_BAR_LOAD_CASES = 295,
    SEP_BAR_ITEMS = 296,
    SEP_BAR_LOCAL_GLOBAL = 297,

    // Options
    CMD_QA_BLOCK = 316,                 // "&QA Block..."
    CMD_FONT = 411,                     // "&Font..."
    CMD_UNITS = 431,                    // "&Units...\tCtrl+U"

    // Recent models: 323 to 326
    CMD_RECENT_FIRST = 323,
    CMD_RECENT_LAST = 326,

    // Exchange
    CMD_IMPORT = 350,                   // "&Import..."
    CMD_EXPORT = 351,                   // "&Export to MBF..." / "&Export..."
    CMD_EXPORT_PLANT_DESIGN = 40026,    // "Export to 3&D Plant Design"
    CMD_EXPORT_PCF = 40056,             // "Export to PC&F..."
    CMD_LIBRARY_EXPORT = 40070,         // "&Export..." (material library batch file)
    CMD_LIBRARY_IMPORT = 40071,         // "Im&port..." (material library batch file)
    CMD_EXPORT_PLANT_DESIGN_RESULTS = 40086,  // "Export to &3D Plant Design..." (results)

    // Qualification windows
    CMD_FLANGE_EDIT = 40039,
    CMD_FLANGE_ANALYZE = 40040,
    CMD_NOZZLE_EDIT = 40052,
    CMD_NOZZLE_ANALYZE = 40053,
    CMD_LUG_ANALYZE = 40082,
    CMD_LUG_EDIT = 40083,

    // Help
    CMD_HELP = 900,                     // "&Help"
    CMD_TUTORIAL = 902,                 // "&Tutorial"
    CMD_ABOUT = 903,                    // "&About..."

    // Commands that have no number of their own elsewhere; kept together here.
    CMD_MERGE = 41001,                  // "&Merge..."
    CMD_ANALYZE = 41002,                // "Anal&yze\tF12"
    CMD_ANALYSIS_OPTIONS = 41003,       // "&Analysis Options..."
    CMD_SHOW_TOOLBAR = 41004,           // "Show &Toolbar"
    CMD_LARGE_BUTTONS = 41005,          // "&Large Toolbar Buttons"
    CMD_DISABLE_GRAPHIC_EDITING = 41006,  // "&Disable Graphic Editing"
    CMD_LOAD_CASE_LIST = 41010,         // "Load &Cases..." (the model's load cases)
    CMD_WIND = 41011,                   // "&Wind..."
    CMD_SEISMIC = 41012,                // "&Seismic..."
    CMD_SPECTRA = 41013,                // "Spec&tra..."
    CMD_FORCE_SPECTRA = 41014,          // "&Force Spectra..."
    CMD_TIME_FUNCTIONS = 41015,         // "T&ime Functions..."
    CMD_HYDROTEST = 41016,              // "&Hydrotest..."
    CMD_TIME_HISTORY = 41017,           // "Time &History..." (the time-history options)
    CMD_RESPONSE_SPECTRUM = 41018,      // "&Response Spectrum..." (the response-spectrum input)
    CMD_PRINT_GRAPHICS_TO_FILE = 41020, // "Print to &File..." (graphics window)
    CMD_PRINT_PREVIEW = 41021,          // "Print Pre&view..." (graphics window)
    CMD_SOILS = 41030,                  // "S&oils" (Misc menus)
    CMD_ALLOWABLES = 41031,             // "&Allowables" (Misc menus)
    // Model editing commands of the layout window's Edit menu.
    CMD_SPLIT = 41101,                  // "&Split..."
    CMD_GENERATE = 41102,               // "&Generate..."
    CMD_RENUMBER = 41103,               // "Re&number..."
    CMD_ROTATE = 41104,                 // "R&otate..."
    CMD_CHANGE = 41105,                 // "C&hange..."
    CMD_FIND_TEXT = 41106,              // "Find &Text..."
};

// The number of recent-model entries kept.
inline constexpr int RECENT_MODEL_COUNT = CMD_RECENT_LAST - CMD_RECENT_FIRST + 1;
