#pragma once

// What the unit tests share: GoogleTest, the standard headers they use and a few helpers.

#include "physics/Vector3.h"
#include "support/TestMap.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <iterator>
#include <random>
#include <sstream>
#include <tuple>
#include <unistd.h>
#include <vector>

using Cell = std::array<int, 3>;
inline std::array<float, 3> xyz(Vector3 v) {
    return {v.x, v.y, v.z};
}
inline std::array<float, 3> xyz(const float* v) {
    return {v[0], v[1], v[2]};
}

#ifdef _WIN32 // Windows's C library sets the environment otherwise
#include <cstdlib>
inline int setenv(const char* name, const char* value, int) {
    return _putenv_s(name, value);
}
inline int unsetenv(const char* name) {
    return _putenv_s(name, "");
}
#endif

// What f writes to the stream (cout or cerr, which the game rebinds to its log).
template <class F> std::string written(std::ostream& stream, F f) {
    std::ostringstream text;
    std::streambuf* const saved = stream.rdbuf(text.rdbuf());
    f();
    stream.rdbuf(saved);
    return text.str();
}
