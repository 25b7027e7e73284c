#pragma once

#include <cstdint>

// SDL's keyboard state array, indexed by key symbol; non-zero while a key is held.
// Fetched once before main; tests may point it at an array of their own.
extern std::uint8_t* keyState;
