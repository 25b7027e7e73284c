#pragma once

// Start-up and exit order of the process-wide globals, recorded as they are built
// and torn down, so a test can see that the order is the one written in Globals.cpp.
namespace globals {

constexpr int maxEvents = 32;

struct Record {
    const char* events[maxEvents];
    int count;
};

// Constant-initialised, so it is usable before any dynamic initialiser runs.
extern Record record;

void note(const char* event);

// Set TESSARIA_GLOBALS_TRACE=1 to have the full record written to standard error
// (the process's own file) after the last global has been torn down.
constexpr const char* traceVariable = "TESSARIA_GLOBALS_TRACE";

} // namespace globals
