#pragma once

#include "script/LuaRuntime.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <lua5.1/lua.hpp>
#include <string>
#include <unistd.h>

// Each case writes its own settings.lua into a fresh directory and loads it into a
// fresh interpreter, so no globals leak from one script into the next.
class ScriptFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tessaria-script-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
        fileName = directory + "/settings.lua";
        state = newScriptState();
    }

    void TearDown() override {
        lua_close(state);
        std::remove(fileName.c_str());
        rmdir(directory.c_str());
    }

    void write(const std::string& content) { std::ofstream(fileName, std::ios::binary) << content; }

    std::string directory;
    std::string fileName;
    lua_State* state = nullptr;
};
