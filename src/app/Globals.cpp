// Every process-wide global of the game, in the one order they must be built.
// Dynamic initialisation follows definition order within a translation unit (and
// destruction runs in reverse), so keeping them all here fixes the order for any
// linker; across translation units C++ would leave it unspecified.

#include "app/Globals.h"

#include "app/FrameTimer.h"
#include "physics/KeyState.h"
#include "physics/Vector3.h"
#include "render/LightIds.h"
#include "script/LuaRuntime.h"
#include "script/ScriptFunctions.h"
#include "script/Settings.h"
#include "states/IntroState.h"
#include "states/MenuState.h"
#include "states/PlayState.h"

#include <SDL/SDL.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <lua5.1/lua.hpp>
#include <string>
#include <utility>

namespace globals {

Record record{};

void note(const char* event) {
    if (record.count < maxEvents) {
        record.events[record.count++] = event;
    }
}

namespace {

// Defined first, so destroyed last: prints the record when asked to.
struct TraceOnExit {
    ~TraceOnExit() {
        if (std::getenv(traceVariable) == nullptr) {
            return;
        }
        for (int i = 0; i < record.count; ++i) {
            std::fprintf(stderr, "%s\n", record.events[i]);
        }
    }
} traceOnExit;

// Placed just before a global, so it is destroyed just after it.
struct CleanupNote {
    const char* event;
    ~CleanupNote() { note(event); }
};

template <typename T> T built(const char* event, T value) {
    note(event);
    return value;
}

} // namespace
} // namespace globals

using globals::built;
using globals::CleanupNote;

// 1. SDL 1.2 hands out its fixed key array even before SDL_Init.
std::uint8_t* keyState = built("keyState", SDL_GetKeyState(nullptr));

// 2.
const float squareRootOfTwo = built("squareRootOfTwo", static_cast<float>(std::sqrt(2.0)));

// 3.
static CleanupNote freeLightIdsNote{"~freeLightIds"};
std::vector<std::uint32_t> freeLightIds = built("freeLightIds", makeLightIdPool());

// 4. The callback list outlives the interpreter: lua_close first, then the list.
static CleanupNote mapLoadedCallbacksNote{"~mapLoadedCallbacks"};
std::vector<std::string> mapLoadedCallbacks;
lua_State* luaState = built("luaState", newScriptState());
static struct LuaStateCloser {
    ~LuaStateCloser() {
        lua_close(luaState);
        luaState = nullptr;
        globals::note("~luaState");
    }
} luaStateCloser;

// 5.
static CleanupNote settingsFileNameNote{"~settingsFileName"};
std::string settingsFileName = built("settingsFileName", std::string("settings.lua"));

// 6.
Settings settings = built("settings", defaultSettings);

// 7. Raises the system timer resolution; restored first at exit.
static CleanupNote frameTimerNote{"~frameTimer"};
FrameTimer frameTimer(built("frameTimer", &FrameTimer::systemClock));

// The states and the play state's accumulator need no code to build: their
// constant initialisation happens before any of the above.
IntroState introState;
MenuState menuState;
PlayState playState;
float stepAccumulator = 0.0f;
