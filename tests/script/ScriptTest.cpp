#include "script/LuaRuntime.h"
#include "script/ScriptFunctions.h"
#include "script/Settings.h"
#include "script/TextChunk.h"
#include "support/Testing.h"

#include <cstdint>
#include <lua5.1/lua.hpp>

namespace {

const Settings builtIn{true, 800, 600, 0, false, false}, windowed{false, 800, 600, 0, false, false},
    allOn{true, 800, 600, 0, true, true}, other{false, 320, 200, 2, true, false};

auto fields(const Settings& s) {
    return std::make_tuple(s.fullscreen, s.screenWidth, s.screenHeight, s.antialiasing, s.vsync,
                           s.shadows);
}

TEST(SettingsScript, AScriptSetsWhatItAssignsUpToItsFirstErrorWhichItLogs) {
    EXPECT_EQ(std::make_pair(fields(settings), settingsFileName), // before any script ran
              std::make_pair(fields(builtIn), std::string("settings.lua")));
    const std::string runError = "Error in settings script: ",
                      loadError = "Unable to load settings: ",
                      tooLarge = loadError + "@: larger than 16777216 bytes, not loaded\n",
                      compiled = "\x1bLuaQ"; // a damaged chunk can crash Lua 5.1: none is run
    const std::size_t largest = largestSettingsFile;
    // clang-format off
    const std::tuple<std::string, Settings, std::string, Settings> cases[] = {
        // Numbers as text or with a fraction are truncated, others read as 0; huge ones clamp.
        {"screenWidth = '1024' screenHeight = 768.9 fullscreen = false antialiasing = 4 "
         "vsync = true shadows = true", {false, 1024, 768, 4, true, true}, "", builtIn},
        {"screenWidth = '1280px' screenHeight = -2^31 - 1 antialiasing = {}",
         {false, 0, INT32_MIN, 0, true, false}, "", other},
        {"antialiasing = 1/0 screenHeight = 0/0 screenWidth = 2^31",
         {true, INT32_MAX, 0, INT32_MAX, false, false}, "", builtIn},
        // Only nil and false are false; unset or nil keys keep their defaults.
        {"fullscreen = 0", builtIn, "", windowed},
        {"fullscreen = '' vsync = {} shadows = print", allOn, "", windowed},
        {"fullscreen = false vsync = false shadows = false", windowed, "", allOn},
        {"screenWidth = 1024", {false, 1024, 200, 2, true, false}, "", other},
        // Errors are logged; what was assigned before a run-time error counts.
        {"screenWidth = 1024\nscreenHeight = = 768", builtIn,
         loadError + "@:2: unexpected symbol near '='\n", builtIn},
        {"screenWidth = 1024 fullscreen = false\nerror('stop\\nhere') screenHeight = 768",
         {false, 1024, 600, 0, false, false}, runError + "@:2: stop here\n", builtIn},
        {"antialiasing = 8\nprint(setmetatable({}, {__tostring = function() return {} end})) "
         "antialiasing = 2", {true, 800, 600, 8, false, false},
         runError + "@:2: 'tostring' must return a string to 'print'\n", builtIn},
        {"error({})", builtIn, runError + "(error object is not a string)\n", builtIn},
        // Globals that raise on reading count as unset.
        {"screenWidth = 1024 setmetatable(_G, {__index = function() error('no such key') end})",
         {true, 1024, 600, 0, false, false}, "", builtIn},
        {"<missing>", builtIn, loadError + "cannot open @: No such file or directory\n", builtIn},
        // Source text only (precompiled chunks start with ESC "Lua"), a '#' first line skipped
        // but counted; 16 MiB at most.
        {compiled, builtIn, loadError + "@: precompiled chunks are not loaded\n", builtIn},
        {"#!/usr/bin/lua\n" + compiled, builtIn,
         loadError + "@: precompiled chunks are not loaded\n", builtIn},
        {"#!/usr/bin/lua screenWidth = 1\nerror('here')", builtIn, runError + "@:2: here\n",
         builtIn},
        {"<endless>", builtIn, loadError + "@:1: unexpected symbol\n", builtIn},
        {"screenWidth = 1024" + std::string(largest - 17, ' '), builtIn, tooLarge, builtIn},
        {"#" + std::string(largest - 20, '-') + "\nscreenWidth = 1024",
         {true, 1024, 600, 0, false, false}, "", builtIn},
        {"#" + std::string(largest - 19, '-') + "\nscreenWidth = 1024", builtIn, tooLarge, builtIn},
        {"#" + std::string(largest, '-'), builtIn, tooLarge, builtIn}};
    // clang-format on
    // Each from its own file (or from none, or /dev/zero) in a fresh interpreter, which it
    // leaves with the stack as it was; '@' in the log line on standard error: the file name.
    const std::string fileName = "/tmp/tessaria-script-" + std::to_string(getpid()) + ".lua";
    for (const auto& [script, expected, log, defaults] : cases) {
        if (script == "<endless>") {
#ifdef _WIN32
            continue; // Windows has no endless file to link to
#else
            symlink("/dev/zero", fileName.c_str());
#endif
        } else if (script != "<missing>")
            std::ofstream(fileName, std::ios::binary) << script;
        lua_State* state = newScriptState();
        Settings loaded;
        std::string line = written(
            std::cerr, [&] { loaded = loadSettingsFrom(state, fileName.c_str(), defaults); });
        EXPECT_EQ(lua_gettop(state), 0) << script.substr(0, 80);
        lua_close(state);
        std::remove(fileName.c_str());
        for (auto at = line.find(fileName); at != std::string::npos; at = line.find(fileName))
            line.replace(at, fileName.size(), "@");
        EXPECT_EQ(std::make_pair(fields(loaded), line), std::make_pair(fields(expected), log))
            << script.substr(0, 80);
    }
}

TEST(ScriptFunctions, PrintAndAddMapLoadedCallbacksTakeEachTextFromTheCurrentToString) {
    const std::string bad =
        "local bad = setmetatable({}, {__tostring = function() return {} end}) ";
    using Texts = std::vector<std::string>;
    // The chunk: its output, the callbacks it leaves and the end of its error message.
    // clang-format off
    const std::tuple<std::string, std::string, Texts, std::string> cases[] = {
        {"print(1, nil, true) print() print('', 'a', '') print('abc\\0def', 'x')", // up to a NUL
         "1\tnil\ttrue\n\n\ta\t\nabc\tx\n", {}, ""},
        {"print(1) tostring = function(v) return '<' .. type(v) .. '>' end print(1, 'two')",
         "1\n<number>\t<string>\n", {}, ""},
        // The texts before a failing argument are written already: no tab, no line end.
        {bad + "print('before', bad, 'after')", "before", {}, "must return a string to 'print'"},
        {"local called = false local function f() called = true end addMapLoadedCallbacks() "
         "addMapLoadedCallbacks('a', 5, nil, false, 0.25) "
         "addMapLoadedCallbacks('on\\0Load', '\\0') "
         "addMapLoadedCallbacks(f) assert(not called)", // the function without its address
         "", {"a", "5", "nil", "false", "0.25", "on", "", "function: "}, ""},
        {"tostring = string.upper addMapLoadedCallbacks('load')", "", {"LOAD"}, ""},
        {bad + "addMapLoadedCallbacks('kept', bad, 'lost')", "", {"kept"},
         "must return a string to 'addMapLoadedCallbacks'"}};
    // clang-format on
    for (const auto& [chunk, output, callbacks, error] : cases) {
        lua_State* state = newScriptState();
        mapLoadedCallbacks.clear();
        std::string message;
        const std::string printed = written(std::cout, [&] {
            message = luaL_dostring(state, chunk.c_str()) ? lua_tostring(state, -1) : "";
        });
        lua_close(state);
        EXPECT_EQ(message.substr(message.size() - std::min(message.size(), error.size())), error);
        EXPECT_EQ(message.empty(), error.empty()) << message;
        EXPECT_EQ(printed, output) << chunk;
        if (!mapLoadedCallbacks.empty() && !callbacks.empty() && callbacks.back() == "function: ")
            mapLoadedCallbacks.back().resize(10);
        EXPECT_EQ(mapLoadedCallbacks, callbacks) << chunk;
    }
    mapLoadedCallbacks.clear();
}

} // namespace
