#pragma once

#include <string>

struct lua_State;

// The six options the settings script can set.
struct Settings {
    bool fullscreen;
    int screenWidth;
    int screenHeight;
    int antialiasing;
    bool vsync;
    bool shadows;
};

extern const Settings defaultSettings;
extern Settings settings;
extern std::string settingsFileName;

// Runs the settings script in luaState and replaces `settings` as a whole. A script that
// cannot be loaded, or fails while it runs, costs one line with the interpreter's
// message on standard error (the log); the loader then goes on as usual.
void loadSettings();

// The same, on any interpreter state and file, returning the record: the seam the
// tests use. Keys the script leaves nil keep their value in `defaults`.
Settings loadSettingsFrom(lua_State* state, const char* fileName, const Settings& defaults);

// Lua number to a 32-bit integer without undefined behaviour: clamped to the
// integer range, NaN read as 0.
int clampToInt(double value);
