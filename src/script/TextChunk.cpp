#include "script/TextChunk.h"

#include <cstdio>
#include <lua5.1/lua.hpp>
#include <string>

bool isPrecompiledChunk(const char* text, unsigned long size) {
    return size > 0 && text[0] == LUA_SIGNATURE[0];
}

int loadTextChunk(lua_State* state, const char* fileName) {
    // Plain stdio, as luaL_loadfile: a read error (a directory of that name, say)
    // must come back as a status, not as an exception out of a stream buffer.
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        lua_pushfstring(state, "cannot open %s", fileName);
        return LUA_ERRFILE;
    }
    std::string text;
    char piece[4096];
    size_t count = 0;
    while ((count = std::fread(piece, 1, sizeof piece, file)) > 0) {
        text.append(piece, count);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        lua_pushfstring(state, "cannot read %s", fileName);
        return LUA_ERRFILE;
    }
    // A '#' line gives way to its line break, so that line numbers stay right; the
    // chunk's own first byte follows that break.
    size_t start = 0;
    size_t body = 0;
    if (!text.empty() && text[0] == '#') {
        const size_t lineBreak = text.find('\n');
        start = lineBreak == std::string::npos ? text.size() : lineBreak;
        body = lineBreak == std::string::npos ? text.size() : lineBreak + 1;
    }
    if (isPrecompiledChunk(text.data() + body, text.size() - body)) {
        lua_pushfstring(state, "%s: precompiled chunks are not loaded", fileName);
        return LUA_ERRSYNTAX;
    }
    const std::string chunkName = std::string("@") + fileName;
    return luaL_loadbuffer(state, text.data() + start, text.size() - start, chunkName.c_str());
}
