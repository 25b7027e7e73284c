#pragma once

struct lua_State;

// The one interpreter of the run, created before main with the standard
// libraries and the game's script functions.
extern lua_State* luaState;

// A new state with the standard libraries, print and addMapLoadedCallbacks.
lua_State* newScriptState();
