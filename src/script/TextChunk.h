#pragma once

struct lua_State;

// No settings script is anywhere near this; a larger file is refused, though Lua has
// parsed the part up to the limit by the time the excess shows.
constexpr unsigned long largestSettingsFile = 16ul * 1024 * 1024;

// luaL_loadfile for Lua source only: pushes the compiled chunk and returns 0, or
// pushes a message and returns LUA_ERRFILE or LUA_ERRSYNTAX. A first line starting
// with '#' is skipped as luaL_loadfile skips it. A precompiled chunk is refused as
// a syntax error: Lua 5.1 does not fully verify them, and a damaged one crashes the
// interpreter. So is a file larger than largestSettingsFile, its '#' line included;
// the file is read a piece at a time.
int loadTextChunk(lua_State* state, const char* fileName);

// True when a chunk's text starts with the mark of a precompiled chunk.
bool isPrecompiledChunk(const char* text, unsigned long size);
