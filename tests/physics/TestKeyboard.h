#pragma once

#include "physics/KeyState.h"

#include <SDL/SDL_keysym.h>

#include <array>
#include <cstdint>

// Points keyState at a keyboard of the test's own, all keys up, for as long as it lives.
class TestKeyboard {
  public:
    TestKeyboard() : saved_(keyState) { keyState = keys_.data(); }
    ~TestKeyboard() { keyState = saved_; }
    TestKeyboard(const TestKeyboard&) = delete;
    TestKeyboard& operator=(const TestKeyboard&) = delete;

    void hold(SDLKey key) { keys_[key] = 1; }

  private:
    std::array<std::uint8_t, SDLK_LAST> keys_{};
    std::uint8_t* saved_;
};
