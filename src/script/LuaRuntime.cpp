#include "script/LuaRuntime.h"

#include "script/ScriptFunctions.h"

#include <lua5.1/lua.hpp>

lua_State* newScriptState() {
    lua_State* state = luaL_newstate();
    luaL_openlibs(state);
    registerScriptFunctions(state);
    return state;
}
