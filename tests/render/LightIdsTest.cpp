#include "render/LightIds.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

TEST(LightIdPool, HoldsTheEightLightsAscendingSoTheFirstTakenIsLight7) {
    const std::vector<std::uint32_t> expected{GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3,
                                              GL_LIGHT4, GL_LIGHT5, GL_LIGHT6, GL_LIGHT7};
    EXPECT_EQ(makeLightIdPool(), expected);
    EXPECT_EQ(freeLightIds, expected) << "as built before main, untouched without a draw";
}

} // namespace
