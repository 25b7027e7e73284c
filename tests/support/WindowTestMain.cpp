// Main of the tests that need a window: one private Xvfb per test process, started
// only when tests actually run (not when CTest lists them).
#include "support/Xvfb.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

class XvfbEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { server_ = std::make_unique<XvfbServer>(); }
    void TearDown() override { server_.reset(); }

  private:
    std::unique_ptr<XvfbServer> server_;
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);
    return RUN_ALL_TESTS();
}
