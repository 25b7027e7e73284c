#include "script/ScriptFunctions.h"
#include "script/LuaRuntime.h"

#include <gtest/gtest.h>

#include <iostream>
#include <lua5.1/lua.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

// A fresh interpreter with the game's functions; standard output is captured and
// the global callback list starts empty.
class ScriptFunctions : public ::testing::Test {
  protected:
    void SetUp() override {
        state = newScriptState();
        savedOut = std::cout.rdbuf(captured.rdbuf());
        mapLoadedCallbacks.clear();
    }

    void TearDown() override {
        std::cout.rdbuf(savedOut);
        lua_close(state);
        mapLoadedCallbacks.clear();
    }

    // Runs a chunk protected; returns the error message, or "" when it ran through.
    std::string run(const std::string& chunk) {
        if (luaL_loadstring(state, chunk.c_str()) != 0) {
            ADD_FAILURE() << "does not compile: " << chunk;
            lua_settop(state, 0);
            return "";
        }
        std::string error;
        if (lua_pcall(state, 0, 0, 0) != 0) {
            const char* message = lua_tostring(state, -1);
            error = message != nullptr ? message : "(not a string)";
        }
        lua_settop(state, 0);
        return error;
    }

    std::string output() const { return captured.str(); }

    lua_State* state = nullptr;
    std::ostringstream captured;
    std::streambuf* savedOut = nullptr;
};

// The message carries the script's position in front, like any Lua error.
::testing::AssertionResult endsWith(const std::string& text, const std::string& ending) {
    if (text.size() >= ending.size() &&
        text.compare(text.size() - ending.size(), ending.size(), ending) == 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << '"' << text << "\" does not end in \"" << ending << '"';
}

const char* const badToString =
    "local bad = setmetatable({}, {__tostring = function() return {} end})\n";

TEST_F(ScriptFunctions, PrintSeparatesTheTextsOfItsArgumentsByTabs) {
    EXPECT_EQ(run("print(1, nil, true)"), "");
    EXPECT_EQ(output(), "1\tnil\ttrue\n");
}

TEST_F(ScriptFunctions, PrintWithoutArgumentsEndsTheLineOnly) {
    EXPECT_EQ(run("print()"), "");
    EXPECT_EQ(output(), "\n");
}

TEST_F(ScriptFunctions, PrintSeparatesEmptyTextsToo) {
    EXPECT_EQ(run("print('', 'a', '')"), "");
    EXPECT_EQ(output(), "\ta\t\n");
}

TEST_F(ScriptFunctions, PrintStopsEachTextAtItsFirstNul) {
    EXPECT_EQ(run("print('abc\\0def', 'x')"), "");
    EXPECT_EQ(output(), "abc\tx\n");
}

TEST_F(ScriptFunctions, PrintUsesTheCurrentGlobalToString) {
    EXPECT_EQ(run("print(1)\n"
                  "tostring = function(v) return '<' .. type(v) .. '>' end\n"
                  "print(1, 'two')"),
              "");
    EXPECT_EQ(output(), "1\n<number>\t<string>\n");
}

TEST_F(ScriptFunctions, PrintAcceptsANumberFromToString) {
    EXPECT_EQ(run("tostring = function() return 7 end\nprint('a', 'b')"), "");
    EXPECT_EQ(output(), "7\t7\n");
}

TEST_F(ScriptFunctions, PrintRaisesWhenToStringGivesNoString) {
    EXPECT_TRUE(endsWith(run(std::string(badToString) + "print('before', bad, 'after')"),
                         "'tostring' must return a string to 'print'"));
    // The texts before the failing argument are already written; no tab, no end of line.
    EXPECT_EQ(output(), "before");
}

TEST_F(ScriptFunctions, PrintPassesOnErrorsRaisedByToString) {
    EXPECT_EQ(run("tostring = nil\nprint(1)").find("attempt to call"), 0u);
    EXPECT_EQ(output(), "");
}

TEST_F(ScriptFunctions, AddMapLoadedCallbacksStoresTheTextOfEachArgument) {
    EXPECT_EQ(run("addMapLoadedCallbacks('a', 5, nil, false, 0.25)"), "");
    EXPECT_EQ(mapLoadedCallbacks, (Texts{"a", "5", "nil", "false", "0.25"}));
    EXPECT_EQ(output(), "");
}

TEST_F(ScriptFunctions, AddMapLoadedCallbacksWithoutArgumentsAddsNothing) {
    EXPECT_EQ(run("addMapLoadedCallbacks()"), "");
    EXPECT_TRUE(mapLoadedCallbacks.empty());
}

TEST_F(ScriptFunctions, AddMapLoadedCallbacksAccumulatesInCallOrderAndCallsNothing) {
    EXPECT_EQ(run("local called = false\n"
                  "local function callback() called = true end\n"
                  "addMapLoadedCallbacks('first')\n"
                  "addMapLoadedCallbacks('second', 'third')\n"
                  "addMapLoadedCallbacks(callback)\n"
                  "assert(not called)"),
              "");
    ASSERT_EQ(mapLoadedCallbacks.size(), 4u);
    EXPECT_EQ(mapLoadedCallbacks[0], "first");
    EXPECT_EQ(mapLoadedCallbacks[1], "second");
    EXPECT_EQ(mapLoadedCallbacks[2], "third");
    EXPECT_EQ(mapLoadedCallbacks[3].rfind("function: ", 0), 0u) << mapLoadedCallbacks[3];
}

TEST_F(ScriptFunctions, AddMapLoadedCallbacksStopsEachTextAtItsFirstNul) {
    EXPECT_EQ(run("addMapLoadedCallbacks('on\\0Load', '\\0')"), "");
    EXPECT_EQ(mapLoadedCallbacks, (Texts{"on", ""}));
}

TEST_F(ScriptFunctions, AddMapLoadedCallbacksUsesTheCurrentGlobalToString) {
    EXPECT_EQ(run("tostring = string.upper\naddMapLoadedCallbacks('load')"), "");
    EXPECT_EQ(mapLoadedCallbacks, (Texts{"LOAD"}));
}

TEST_F(ScriptFunctions, AddMapLoadedCallbacksKeepsTheEntriesBeforeAnError) {
    EXPECT_TRUE(
        endsWith(run(std::string(badToString) + "addMapLoadedCallbacks('kept', bad, 'lost')"),
                 "'tostring' must return a string to 'addMapLoadedCallbacks'"));
    EXPECT_EQ(mapLoadedCallbacks, (Texts{"kept"}));
}

} // namespace
