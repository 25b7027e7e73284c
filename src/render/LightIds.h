#pragma once

#include <cstdint>
#include <vector>

// Pool of OpenGL light names used as a stack: lights take from the end and give back
// to the end. Holds GL_LIGHT0 .. GL_LIGHT7 in ascending order at start.
extern std::vector<std::uint32_t> freeLightIds;

std::vector<std::uint32_t> makeLightIdPool();
