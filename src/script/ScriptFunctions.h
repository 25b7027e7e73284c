#pragma once

#include <string>
#include <vector>

struct lua_State;

// Text forms of everything the script handed to addMapLoadedCallbacks; nothing
// calls them back.
extern std::vector<std::string> mapLoadedCallbacks;

// Installs print and addMapLoadedCallbacks as globals of the state.
void registerScriptFunctions(lua_State* state);

int scriptPrint(lua_State* state);
int scriptAddMapLoadedCallbacks(lua_State* state);
