#include "app/FrameTimer.h"

#include <gtest/gtest.h>

TEST(FrameTimer, Placeholder) { SUCCEED(); }
