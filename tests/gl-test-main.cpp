// Entry point of the test binaries that need an OpenGL context: one hidden
// window is opened before the first test and closed after the last.
#include <gtest/gtest.h>

#include "raylib-api.h"

namespace {

class HiddenWindow : public ::testing::Environment {
public:
    void SetUp() override {
        raylib::SetTraceLogLevel(raylib::LOG_WARNING);
        raylib::SetConfigFlags(raylib::FLAG_WINDOW_HIDDEN);
        raylib::InitWindow(800, 450, "tessarine tests");
        ASSERT_TRUE(raylib::IsWindowReady()) << "no window: is an X display (or Xvfb) available?";
    }
    void TearDown() override { raylib::CloseWindow(); }
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new HiddenWindow);
    return RUN_ALL_TESTS();
}
