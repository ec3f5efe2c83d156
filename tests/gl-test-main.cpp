// Entry point of the test binaries that need an OpenGL context: one hidden
// window is opened before the first test and closed after the last.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include "raylib-api.h"

namespace {

// Marks every loaded library as never to be unloaded. The GL driver and GLFW
// unload theirs when the window closes; allocations they keep for the
// process would then be reported by the leak checker from a module it can
// no longer name, so they could not be told apart from ours.
void keepLoadedLibrariesResident() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') {
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
}

class HiddenWindow : public ::testing::Environment {
public:
    void SetUp() override {
        raylib::SetTraceLogLevel(raylib::LOG_WARNING);
        raylib::SetConfigFlags(raylib::FLAG_WINDOW_HIDDEN);
        raylib::InitWindow(800, 450, "tessarine tests");
        ASSERT_TRUE(raylib::IsWindowReady()) << "no window: is an X display (or Xvfb) available?";
    }
    void TearDown() override {
        if (!raylib::IsWindowReady()) return;
        keepLoadedLibrariesResident();
        raylib::CloseWindow();
    }
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new HiddenWindow);
    return RUN_ALL_TESTS();
}
