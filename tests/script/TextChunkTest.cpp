#include "script/TextChunk.h"
#include "script/LuaRuntime.h"
#include "script/Settings.h"
#include "support/ScriptFileTest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <lua5.1/lua.hpp>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int dumpTo(lua_State*, const void* piece, size_t size, void* chunk) {
    static_cast<std::string*>(chunk)->append(static_cast<const char*>(piece), size);
    return 0;
}

class TextChunk : public ScriptFileTest {
  protected:
    // What the loader makes of the file: its width, 800 when nothing ran.
    int width() { return loadSettingsFrom(state, fileName.c_str(), defaultSettings).screenWidth; }

    std::string precompiled(const std::string& source) {
        EXPECT_EQ(luaL_loadstring(state, source.c_str()), 0);
        std::string chunk;
        lua_dump(state, dumpTo, &chunk);
        lua_pop(state, 1);
        return chunk;
    }
};

TEST_F(TextChunk, SourceLoadsAndRuns) {
    write("screenWidth = 1024\n");
    EXPECT_EQ(width(), 1024);
}

// A damaged precompiled chunk can crash Lua 5.1, so none is run, sound or not.
TEST_F(TextChunk, APrecompiledChunkIsRefusedAndNothingRuns) {
    write(precompiled("screenWidth = 1024"));
    EXPECT_EQ(width(), 800);
    EXPECT_EQ(loadTextChunk(state, fileName.c_str()), LUA_ERRSYNTAX);
    EXPECT_STREQ(lua_tostring(state, -1),
                 (fileName + ": precompiled chunks are not loaded").c_str());
    lua_pop(state, 1);
}

TEST_F(TextChunk, APrecompiledChunkBehindAHashLineIsRefusedToo) {
    write("#!/usr/bin/lua\n" + precompiled("screenWidth = 1024"));
    EXPECT_EQ(width(), 800);
}

TEST_F(TextChunk, AHashFirstLineIsSkipped) {
    write("#!/usr/bin/lua screenWidth = 1\nscreenWidth = 1024\n");
    EXPECT_EQ(width(), 1024);
}

TEST_F(TextChunk, AHashLineAloneIsAnEmptyChunk) {
    write("# nothing else");
    EXPECT_EQ(loadTextChunk(state, fileName.c_str()), 0);
    lua_pop(state, 1);
}

TEST_F(TextChunk, LinesAreCountedFromTheHashLine) {
    write("#!/usr/bin/lua\nlocal x = 1\nerror('here')\n");
    ASSERT_EQ(loadTextChunk(state, fileName.c_str()), 0);
    ASSERT_NE(lua_pcall(state, 0, 0, 0), 0);
    EXPECT_EQ(std::string(lua_tostring(state, -1)), fileName + ":3: here");
    lua_pop(state, 1);
}

TEST_F(TextChunk, ThePrecompiledMarkAfterTheFirstByteIsASyntaxError) {
    write("\n" + precompiled("screenWidth = 1024"));
    EXPECT_EQ(loadTextChunk(state, fileName.c_str()), LUA_ERRSYNTAX);
    lua_pop(state, 1);
}

TEST_F(TextChunk, AMissingFileCannotBeOpened) {
    EXPECT_EQ(loadTextChunk(state, (directory + "/missing.lua").c_str()), LUA_ERRFILE);
    lua_pop(state, 1);
}

TEST_F(TextChunk, ADirectoryOfThatNameCannotBeReadAndRunsNothing) {
    ASSERT_EQ(mkdir(fileName.c_str(), 0755), 0);
    EXPECT_EQ(loadTextChunk(state, fileName.c_str()), LUA_ERRFILE);
    lua_pop(state, 1);
    EXPECT_EQ(width(), 800);
    rmdir(fileName.c_str());
}

TEST_F(TextChunk, AnEndlessFileIsReadPieceByPieceAndRefused) {
    ASSERT_EQ(symlink("/dev/zero", fileName.c_str()), 0);
    EXPECT_EQ(loadTextChunk(state, fileName.c_str()), LUA_ERRSYNTAX);
    EXPECT_EQ(std::string(lua_tostring(state, -1)), fileName + ":1: unexpected symbol");
    lua_pop(state, 1);
}

TEST_F(TextChunk, AFileBeyondTheLimitIsRefusedUnrun) {
    write(std::string(largestSettingsFile, ' '));
    EXPECT_EQ(loadTextChunk(state, fileName.c_str()), 0);
    lua_pop(state, 1);
    write("screenWidth = 1024" + std::string(largestSettingsFile - 17, ' '));
    EXPECT_EQ(width(), 800);
    EXPECT_EQ(loadTextChunk(state, fileName.c_str()), LUA_ERRSYNTAX);
    EXPECT_EQ(std::string(lua_tostring(state, -1)),
              fileName + ": larger than 16777216 bytes, not loaded");
    lua_pop(state, 1);
}

} // namespace
