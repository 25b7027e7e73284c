#include "physics/TimeStep.h"
#include "states/FixedStep.h"
#include "states/FocusClick.h"
#include "states/IntroState.h"
#include "support/Testing.h"

namespace {

TEST(States, FixedStepsCarryTheRestAndTheSplashFadesInCentred) {
    // Frame milliseconds: steps and the exact remainder (a step is lost in days of stall).
    // clang-format off
    const std::tuple<double, int, float> cases[] = {{0, 0, 0.0f}, {16, 0, 0.016f},
        {17, 1, 0.017f - timeStep}, {50, 2, (0.05f - timeStep) - timeStep},
        {100, 6, 3.7252903e-09f}, {1000, 60, 2.79396772e-07f}, {1e9, 0, 0.0f}, {1e12, 0, 0.0f}};
    // clang-format on
    for (const auto& [milliseconds, steps, remainder] : cases) {
        float accumulator = 0.0f;
        const float seconds = static_cast<float>(milliseconds / 1000.0);
        EXPECT_EQ(takeFixedSteps(accumulator, seconds, timeStep), steps) << milliseconds;
        EXPECT_EQ(accumulator, remainder) << milliseconds;
    }
    float accumulator = 0.0f;
    takeFixedSteps(accumulator, 0.016f, timeStep);
    EXPECT_EQ(interpolationFactor(accumulator, timeStep), 0.016f / 0.016666668f);
    takeFixedSteps(accumulator, 0.05f, timeStep);
    EXPECT_EQ(takeFixedSteps(accumulator, 0.001f, timeStep), 1); // the remainder completes one
    float alpha = 0.0f;
    for (int pass = 0; pass < 1000; ++pass)
        alpha = nextFadeAlpha(alpha);
    EXPECT_EQ(alpha, 0x1.fffec8p-1f); // 0.99999070: the single-precision sum falls short
    EXPECT_EQ(nextFadeAlpha(alpha), 1.0f);
    // Half of a negative odd difference truncated toward zero, not floored: only a picture
    // larger than the window shows it, and by one pixel.
    const ScreenOffset at = centredOffset(800, 600, 803, 611);
    EXPECT_EQ(std::make_pair(at.x, at.y), std::make_pair(-1, -5));
}

TEST(FocusClick, APressWithoutTheFocusOrTheOneThatBroughtItBackDigsNothing) {
    // Pass by pass: the button as the last pump left it, then this pump's focus, key
    // event and milliseconds; whether the button asked for a dig.
    using Pass = std::tuple<bool, bool, bool, unsigned, bool>;
    const bool y = true, n = false;
    const Pass lost = {n, n, n, 0, n}; // the focus gone
    // clang-format off
    const std::pair<const char*, std::vector<Pass>> cases[] = {
        {"pressed without the focus, held while it comes back",
         {{y, y, n, 0, y}, {y, n, n, 10, y}, {y, n, n, 20, n},
          {y, y, n, 30, n}, {y, y, n, 40, n}, {y, y, n, 50, n},
          {y, y, n, 2000, n}, {n, y, n, 2010, n}, {y, y, n, 2020, y}}},
        {"the focusing click in the focus's own pump",
         {lost, {n, y, n, 100, n}, {y, y, n, 110, n},
          {y, y, n, 2000, n}, {n, y, n, 2010, n}, {y, y, n, 2020, y}}},
        {"three pumps later, but 499 ms",
         {lost, {n, y, n, 100, n}, {n, y, n, 200, n},
          {n, y, n, 300, n}, {n, y, n, 599, n}, {y, y, n, 650, n}}},
        {"600 ms later, but in the next pump",
         {lost, {n, y, n, 100, n}, {n, y, n, 700, n}, {y, y, n, 710, n}}},
        {"three pumps and 500 ms later",
         {lost, {n, y, n, 100, n}, {n, y, n, 200, n},
          {n, y, n, 300, n}, {n, y, n, 600, n}, {y, y, n, 610, y}}},
        {"a key in the focus's own pump (Alt after Alt-Tab)",
         {lost, {n, y, y, 100, n}, {y, y, n, 110, y}}},
        {"a key a pump later",
         {lost, {n, y, n, 100, n}, {n, y, y, 110, n}, {y, y, n, 120, y}}},
        {"a key while the focus is away",
         {{n, n, y, 0, n}, {n, y, n, 100, n}, {y, y, n, 110, n}}},
    };
    // clang-format on
    for (const auto& [name, passes] : cases) {
        FocusClick focusClick;
        for (std::size_t i = 0; i < passes.size(); ++i) {
            const auto [button, focused, key, ms, digs] = passes[i];
            EXPECT_EQ(focusClick.digs(button), digs) << name << ", pass " << i;
            focusClick.pumped(focused, key, ms);
        }
    }
}

} // namespace
