#include "script/ScriptFunctions.h"

#include <cstring>
#include <iostream>
#include <lua5.1/lua.hpp>

namespace {

// Calls tostring (at stack index 'toString') on argument i and leaves the text on top.
// Returns the text up to its first NUL; raises the Lua error on a non-string result.
const char* argumentText(lua_State* state, int toString, int i, const char* caller) {
    lua_pushvalue(state, toString);
    lua_pushvalue(state, i);
    lua_call(state, 1, 1);
    const char* text = lua_tolstring(state, -1, nullptr);
    if (text == nullptr) {
        luaL_error(state, "'tostring' must return a string to '%s'", caller);
    }
    return text;
}

} // namespace

int scriptPrint(lua_State* state) {
    const int n = lua_gettop(state);
    lua_getfield(state, LUA_GLOBALSINDEX, "tostring");
    const int toString = n + 1;
    for (int i = 1; i <= n; ++i) {
        const char* text = argumentText(state, toString, i, "print");
        if (i > 1) {
            std::cout << '\t';
        }
        std::cout << text; // stops at the first NUL
        lua_settop(state, toString);
    }
    std::cout << std::endl;
    return 0;
}

int scriptAddMapLoadedCallbacks(lua_State* state) {
    const int n = lua_gettop(state);
    lua_getfield(state, LUA_GLOBALSINDEX, "tostring");
    const int toString = n + 1;
    for (int i = 1; i <= n; ++i) {
        const char* text = argumentText(state, toString, i, "addMapLoadedCallbacks");
        mapLoadedCallbacks.emplace_back(text);
        lua_settop(state, toString);
    }
    return 0;
}

void registerScriptFunctions(lua_State* state) {
    lua_pushcclosure(state, scriptPrint, 0);
    lua_setfield(state, LUA_GLOBALSINDEX, "print");
    lua_pushcclosure(state, scriptAddMapLoadedCallbacks, 0);
    lua_setfield(state, LUA_GLOBALSINDEX, "addMapLoadedCallbacks");
}
