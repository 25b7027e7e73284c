#include "script/Settings.h"

#include "script/LuaRuntime.h"
#include "script/TextChunk.h"

#include <cmath>
#include <cstdint>
#include <iostream>
#include <lua5.1/lua.hpp>
#include <string>

const Settings defaultSettings{true, 800, 600, 0, false, false};

namespace {

struct IntegerKey {
    const char* name;
    int* target;
    std::int64_t lower;
    std::int64_t upper;
};

struct BooleanKey {
    const char* name;
    bool* target;
};

// What the loader saw in one global of the script.
struct GlobalValue {
    const char* name;
    bool isSet;
    bool isNumber;
    double number;
    bool truth;
};

int readGlobalUnprotected(lua_State* state) {
    auto* value = static_cast<GlobalValue*>(lua_touserdata(state, 1));
    lua_getfield(state, LUA_GLOBALSINDEX, value->name);
    value->isSet = !lua_isnil(state, -1);
    value->isNumber = lua_isnumber(state, -1) != 0;
    value->number = lua_tonumber(state, -1);
    value->truth = lua_toboolean(state, -1) != 0;
    lua_settop(state, -2);
    return 0;
}

// The script may give the globals table an __index that raises. Outside the script's
// own protected run that error would end the process, so the read is protected too;
// a key that cannot be read counts as unset.
GlobalValue readGlobal(lua_State* state, const char* name) {
    GlobalValue value{name, false, false, 0.0, false};
    if (lua_cpcall(state, readGlobalUnprotected, &value) != 0) {
        lua_settop(state, -2);
        value.isSet = false;
    }
    return value;
}

void readInteger(lua_State* state, const IntegerKey& key) {
    const GlobalValue value = readGlobal(state, key.name);
    if (!value.isSet) {
        return;
    }
    // lua_tointeger on a huge or non-finite number is undefined behaviour in C, so
    // take the number and clamp it ourselves; non-numbers read as 0.
    std::int64_t integer = clampToInt(value.isNumber ? value.number : 0.0);
    if (integer > key.upper) {
        integer = key.upper;
    } else if (integer < key.lower) {
        integer = key.lower;
    }
    *key.target = static_cast<int>(integer);
}

void readBoolean(lua_State* state, const BooleanKey& key) {
    const GlobalValue value = readGlobal(state, key.name);
    if (value.isSet) {
        *key.target = value.truth;
    }
}

// One line in the log with the interpreter's message (it names the file and line):
// without it a typo silently gives the built-in values, full screen among them.
void reportScriptError(lua_State* state, const char* what) {
    const char* message = lua_tostring(state, -1);
    std::string line = message != nullptr ? message : "(error object is not a string)";
    for (char& c : line) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    std::cerr << what << line << std::endl;
}

} // namespace

int clampToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483647.0) {
        return 2147483647;
    }
    if (value <= -2147483648.0) {
        return -2147483647 - 1;
    }
    // Same truncation the interpreter's own conversion uses for in-range numbers.
    lua_Integer truncated = 0;
    lua_number2integer(truncated, value);
    return static_cast<int>(truncated);
}

Settings loadSettingsFrom(lua_State* state, const char* fileName, const Settings& defaults) {
    Settings working = defaults;
    const int top = lua_gettop(state);
    // A failing script is reported, then the loader goes on as if it had ended there.
    if (loadTextChunk(state, fileName) != 0) {
        reportScriptError(state, "Unable to load settings: ");
    } else if (lua_pcall(state, 0, LUA_MULTRET, 0) != 0) {
        reportScriptError(state, "Error in settings script: ");
    }
    lua_settop(state, top);

    const std::int64_t lower = -2147483648LL;
    const std::int64_t upper = 2147483647LL;
    const IntegerKey screenWidth{"screenWidth", &working.screenWidth, lower, upper};
    const IntegerKey screenHeight{"screenHeight", &working.screenHeight, lower, upper};
    const BooleanKey fullscreen{"fullscreen", &working.fullscreen};
    const IntegerKey antialiasing{"antialiasing", &working.antialiasing, lower, upper};
    const BooleanKey vsync{"vsync", &working.vsync};
    const BooleanKey shadows{"shadows", &working.shadows};

    readInteger(state, screenWidth);
    readInteger(state, screenHeight);
    readBoolean(state, fullscreen);
    readInteger(state, antialiasing);
    readBoolean(state, vsync);
    readBoolean(state, shadows);
    return working;
}

void loadSettings() {
    settings = loadSettingsFrom(luaState, settingsFileName.c_str(), defaultSettings);
}
