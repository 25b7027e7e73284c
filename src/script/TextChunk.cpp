#include "script/TextChunk.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <lua5.1/lua.hpp>
#include <string>

bool isPrecompiledChunk(const char* text, unsigned long size) {
    return size > 0 && text[0] == LUA_SIGNATURE[0];
}

namespace {

struct FileReader {
    std::FILE* file;
    char first; // the byte read ahead to look at the chunk's start
    bool firstPending;
    unsigned long total;
    bool tooLarge;
    int readError; // errno of a failed read, 0 while none
    char piece[4096];
};

// Hands the file to the parser a piece at a time, as luaL_loadfile does, so an endless
// file (a link to /dev/zero, say) never has to fit in memory. The parser sees at most
// the limit; one byte more, and the load is refused after the parse.
const char* readPiece(lua_State*, void* data, size_t* size) {
    auto* reader = static_cast<FileReader*>(data);
    *size = 0;
    if (reader->firstPending) {
        reader->firstPending = false;
        *size = 1;
        return &reader->first;
    }
    if (reader->total >= largestSettingsFile) {
        reader->tooLarge = std::fgetc(reader->file) != EOF;
        return nullptr;
    }
    const unsigned long left = largestSettingsFile - reader->total;
    *size = std::fread(reader->piece, 1, left < sizeof reader->piece ? left : sizeof reader->piece,
                       reader->file);
    reader->total += *size;
    if (*size == 0 && std::ferror(reader->file) != 0) {
        reader->readError = errno;
    }
    return *size > 0 ? reader->piece : nullptr;
}

int refuseTooLarge(lua_State* state, const char* fileName) {
    lua_pushfstring(state, "%s: larger than %d bytes, not loaded", fileName,
                    static_cast<int>(largestSettingsFile));
    return LUA_ERRSYNTAX;
}

} // namespace

int loadTextChunk(lua_State* state, const char* fileName) {
    // Plain stdio, as luaL_loadfile: a read error (a directory of that name, say)
    // must come back as a status, not as an exception out of a stream buffer.
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        lua_pushfstring(state, "cannot open %s: %s", fileName, std::strerror(errno));
        return LUA_ERRFILE;
    }
    FileReader reader{file, 0, false, 0, false, 0, {}};
    int c = std::fgetc(file);
    unsigned long consumed = c == EOF ? 0 : 1; // bytes taken from the file so far
    int body = c;                              // the chunk's own first byte
    if (c == '#') {
        // A '#' line gives way to its line break, so that line numbers stay right. It
        // counts towards the limit, so an endless one is not read for ever either.
        while (c != EOF && c != '\n' && consumed <= largestSettingsFile) {
            c = std::fgetc(file);
            consumed += c == EOF ? 0 : 1;
        }
        if (consumed > largestSettingsFile) {
            std::fclose(file);
            return refuseTooLarge(state, fileName);
        }
        body = std::fgetc(file);
        std::ungetc(body, file); // nothing to put back at the end of the file
    }
    const char bodyByte = static_cast<char>(body);
    if (body != EOF && isPrecompiledChunk(&bodyByte, 1)) {
        std::fclose(file);
        lua_pushfstring(state, "%s: precompiled chunks are not loaded", fileName);
        return LUA_ERRSYNTAX;
    }
    if (c != EOF) {
        reader.first = static_cast<char>(c);
        reader.firstPending = true;
        reader.total = consumed;
    }
    const std::string chunkName = std::string("@") + fileName;
    int status = lua_load(state, readPiece, &reader, chunkName.c_str());
    if (std::ferror(file) != 0) {
        lua_settop(state, -2);
        const int error = reader.readError != 0 ? reader.readError : EIO;
        lua_pushfstring(state, "cannot read %s: %s", fileName, std::strerror(error));
        status = LUA_ERRFILE;
    } else if (reader.tooLarge) {
        lua_settop(state, -2);
        status = refuseTooLarge(state, fileName);
    }
    std::fclose(file);
    return status;
}
