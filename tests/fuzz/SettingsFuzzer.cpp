// libFuzzer target for the settings loader and the two script functions: every input
// is a settings.lua, run through loadSettingsFrom in a fresh interpreter set up like
// the game's. Built by tests/fuzz/CMakeLists.txt with clang only; see scripts/fuzz.
//
// What a script may do is bounded here, and only here, because a script that never
// ends or fills the memory is the player's doing, not a fault of the game: a count
// hook ends a script that runs past its time, the allocator refuses memory past a
// budget, and library functions that reach outside the process (files, processes,
// the locale, the debug hooks) or can run unbounded inside one C call (pattern
// matching, string.rep) are taken away. So are load and loadstring, with which a
// script could run damaged bytecode it makes itself: Lua 5.1 does not fully verify
// bytecode, and doing that on purpose is like loading a native library on purpose.
// The settings file itself is loaded just as the game loads it.
#include "script/LuaRuntime.h"
#include "script/ScriptFunctions.h"
#include "script/Settings.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <lua5.1/lua.hpp>
#include <streambuf>
#include <string>
#include <unistd.h>
#include <vector>

// The game defines these in src/app/Globals.cpp, which this target does not build.
std::vector<std::string> mapLoadedCallbacks;
lua_State* luaState = nullptr;
std::string settingsFileName = "settings.lua";
Settings settings = defaultSettings;

namespace {

constexpr size_t memoryBudget = 16u << 20;
constexpr int instructionsPerHook = 1000;
// Time, not instructions: one instruction may copy a string of many megabytes.
constexpr std::chrono::milliseconds timePerScript{50};

struct Budget {
    size_t bytes = 0;
    std::chrono::steady_clock::time_point deadline;
};
Budget budget;

void* boundedAllocator(void*, void* block, size_t oldSize, size_t newSize) {
    if (newSize == 0) {
        budget.bytes -= oldSize;
        std::free(block);
        return nullptr;
    }
    if (newSize > oldSize && budget.bytes + (newSize - oldSize) > memoryBudget) {
        return nullptr; // Lua raises its memory error
    }
    void* grown = std::realloc(block, newSize);
    if (grown != nullptr) {
        budget.bytes = budget.bytes - oldSize + newSize;
    }
    return grown;
}

void timeBudget(lua_State* state, lua_Debug*) {
    if (std::chrono::steady_clock::now() > budget.deadline) {
        luaL_error(state, "time budget spent");
    }
}

void removeField(lua_State* state, const char* table, const char* field) {
    lua_getfield(state, LUA_GLOBALSINDEX, table);
    if (lua_istable(state, -1)) {
        lua_pushnil(state);
        lua_setfield(state, -2, field);
    }
    lua_pop(state, 1);
}

void removeGlobal(lua_State* state, const char* name) {
    lua_pushnil(state);
    lua_setfield(state, LUA_GLOBALSINDEX, name);
}

// Like newScriptState, on the bounded allocator and without the outside world.
lua_State* boundedScriptState() {
    lua_State* state = lua_newstate(boundedAllocator, nullptr);
    luaL_openlibs(state);
    registerScriptFunctions(state);
    for (const char* name :
         {"io", "debug", "package", "require", "module", "dofile", "loadfile", "load", "loadstring"}) {
        removeGlobal(state, name);
    }
    for (const char* name : {"execute", "exit", "remove", "rename", "tmpname", "setlocale"}) {
        removeField(state, "os", name);
    }
    for (const char* name : {"rep", "find", "match", "gmatch", "gsub"}) {
        removeField(state, "string", name);
    }
    lua_sethook(state, timeBudget, LUA_MASKCOUNT, instructionsPerHook);
    return state;
}

// print writes to standard output and the loader its error line to standard error; the
// fuzzer's own output stays readable.
struct DiscardingBuffer : std::streambuf {
    int overflow(int c) override { return traits_type::not_eof(c); }
};
DiscardingBuffer discarded;

std::string scriptPath;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char directory[] = "/tmp/tessaria-fuzz-XXXXXX";
    if (mkdtemp(directory) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    scriptPath = std::string(directory) + "/settings.lua";
    std::cout.rdbuf(&discarded);
    std::cerr.rdbuf(&discarded);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(scriptPath.c_str(), "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
        std::perror(scriptPath.c_str());
        std::abort();
    }
    budget = Budget{0, std::chrono::steady_clock::now() + timePerScript};
    lua_State* state = boundedScriptState();
    lua_pushliteral(state, "left on the stack by the caller");
    const int top = lua_gettop(state);

    const Settings loaded = loadSettingsFrom(state, scriptPath.c_str(), defaultSettings);

    if (lua_gettop(state) != top) {
        std::fprintf(stderr, "the loader left %d values on the stack\n", lua_gettop(state) - top);
        std::abort();
    }
    // Every field read back, so the sanitizers see each one written.
    volatile int sink = loaded.screenWidth ^ loaded.screenHeight ^ loaded.antialiasing ^
                        loaded.fullscreen ^ loaded.vsync ^ loaded.shadows;
    (void)sink;
    lua_close(state);
    mapLoadedCallbacks.clear();
    mapLoadedCallbacks.shrink_to_fit();
    return 0;
}
