#include "app/MainLoop.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

TEST(GlErrorText, IsGlusTextOrTheCodeInHexadecimal) {
    EXPECT_EQ(glErrorText(GL_INVALID_VALUE), "invalid value");
    EXPECT_EQ(glErrorText(GL_OUT_OF_MEMORY), "out of memory");
    EXPECT_EQ(glErrorText(0x0507), "0x0507"); // GL_CONTEXT_LOST, unknown to GLU
    EXPECT_EQ(glErrorText(0xBEEF), "0xBEEF");
}

} // namespace
