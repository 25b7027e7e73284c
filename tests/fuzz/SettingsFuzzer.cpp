// libFuzzer target (scripts/fuzz): every input is a settings.lua, loaded as the game loads it.
// A script that never ends or fills the memory is the player's doing, not the game's fault, so
// here alone scripts get a time and a memory budget and lose what reaches outside the process,
// runs unbounded in one C call, or loads bytecode (Lua 5.1 runs damaged bytecode unverified).
#include "script/ScriptFunctions.h"
#include "script/Settings.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <lua5.1/lua.hpp>
#include <unistd.h>

// The game defines these in src/app/Globals.cpp, which this target does not build.
std::vector<std::string> mapLoadedCallbacks;
lua_State* luaState = nullptr;
std::string settingsFileName = "settings.lua";
Settings settings = defaultSettings;

namespace {

constexpr size_t memoryBudget = 16u << 20;
// Time, not instructions: one instruction may copy a string of many megabytes.
constexpr std::chrono::milliseconds timePerScript{50};
size_t bytesHeld = 0;
std::chrono::steady_clock::time_point deadline;
std::string scriptPath;

void* boundedAllocator(void*, void* block, size_t oldSize, size_t newSize) {
    if (newSize == 0) {
        bytesHeld -= oldSize;
        std::free(block);
        return nullptr;
    }
    if (newSize > oldSize && bytesHeld + (newSize - oldSize) > memoryBudget)
        return nullptr; // Lua raises its memory error
    void* grown = std::realloc(block, newSize);
    if (grown != nullptr)
        bytesHeld = bytesHeld - oldSize + newSize;
    return grown;
}

void timeBudget(lua_State* state, lua_Debug*) {
    if (std::chrono::steady_clock::now() > deadline)
        luaL_error(state, "time budget spent");
}

// Like newScriptState, on the bounded allocator and without the outside world.
lua_State* boundedScriptState() {
    lua_State* state = lua_newstate(boundedAllocator, nullptr);
    luaL_openlibs(state);
    registerScriptFunctions(state);
    if (luaL_dostring(state, "io, debug, package, require, module, dofile, loadfile, load, "
                             "loadstring = nil os.execute, os.exit, os.remove, os.rename, "
                             "os.tmpname, os.setlocale = nil string.rep, string.find, "
                             "string.match, string.gmatch, string.gsub = nil") != 0)
        std::abort();
    lua_sethook(state, timeBudget, LUA_MASKCOUNT, 1000);
    return state;
}

void fail(const std::string& what) {
    std::perror(what.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char directory[] = "/tmp/tessaria-fuzz-XXXXXX";
    if (mkdtemp(directory) == nullptr)
        fail("mkdtemp");
    scriptPath = std::string(directory) + "/settings.lua";
    // print's output and the loader's log; kept to the end, when cout is flushed.
    const auto nowhere = new std::ofstream("/dev/null");
    std::cout.rdbuf(nowhere->rdbuf());
    std::cerr.rdbuf(nowhere->rdbuf());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(scriptPath.c_str(), "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        fail(scriptPath);
    bytesHeld = 0;
    deadline = std::chrono::steady_clock::now() + timePerScript;
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
