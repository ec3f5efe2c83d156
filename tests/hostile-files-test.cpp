// A few hundred hostile files, made by hostile-files.cpp: each loads or ends
// with a message; none crashes, hangs or allocates without bound.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "hostile-files.h"
#include "intersector-grid-impl.h"
#include "log-capture.h"
#include "model-loader.h"
#include "scene-reader.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Ends the test binary, naming the file, if one file takes too long.
class Watchdog {
public:
    Watchdog() : thread([this] { watch(); }) {}
    ~Watchdog() {
        stopping = true;
        thread.join();
    }
    void arm(std::string const& name) {
        current = name;
        deadline = std::chrono::steady_clock::now() + 60s;
        armed = true;
    }
    void disarm() { armed = false; }

private:
    void watch() {
        while (!stopping) {
            if (armed && std::chrono::steady_clock::now() > deadline.load()) {
                std::fprintf(stderr, "Hung on the hostile file \"%s\"\n", current.c_str());
                std::_Exit(1);
            }
            std::this_thread::sleep_for(100ms);
        }
    }
    std::atomic<bool> stopping{false}, armed{false};
    std::atomic<std::chrono::steady_clock::time_point> deadline{};
    std::string current;
    std::thread thread;
};

std::string readFile(fs::path const& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

long peakMemoryMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

TEST(HostileFiles, VoxFilesLoadOrAreRejected) {
    raylib::SetTraceLogLevel(raylib::LOG_ERROR);
    fs::path const models = fs::path(TESSARINE_SOURCE_DIR) / "assets/models";
    std::vector<std::string> samples = {readFile(models / "lamp_post.vox"), readFile(models / "rock.vox")};
    fs::path const shared = fs::path(TESSARINE_SHARED_DIR) / "vox-samples";
    if (fs::exists(shared)) {
        for (char const* name : {"chr_knight.vox", "deer.vox"}) samples.push_back(readFile(shared / name));
    } else {
        std::printf("Sample files absent (%s): mutating our own models only\n", shared.c_str());
    }
    auto const files = hostileVoxFiles(samples);
    EXPECT_GE(files.size(), 300u);

    fs::path const path = fs::temp_directory_path() / "tessarine-hostile.vox";
    Watchdog watchdog;
    int rejected = 0;
    for (auto const& file : files) {
        std::ofstream(path, std::ios::binary) << file.bytes;
        LogCapture log;
        watchdog.arm(file.name);
        raylib::Model const model = loadModelChecked(path.string());
        watchdog.disarm();
        raylib::UnloadModel(model);
        bool const wasRejected = log.text().find("not loaded: ") != std::string::npos;
        rejected += wasRejected;
        if (wasRejected) {
            EXPECT_EQ(log.text().rfind("WARNING: Model [" + path.string() + "] not loaded: ", 0), 0u) << file.name;
        }
    }
    fs::remove(path);
    std::printf("%zu hostile .vox files: %d rejected, %zu loaded\n", files.size(), rejected, files.size() - rejected);
    EXPECT_GT(rejected, 100);
    EXPECT_LT(peakMemoryMiB(), 3072);
}

TEST(HostileFiles, KnownDangersAreRejectedAndSaySo) {
    auto const files = hostileVoxFiles();
    fs::path const path = fs::temp_directory_path() / "tessarine-danger.vox";
    struct Case { char const* name; char const* says; };
    Case const cases[] = {
        {"small model XYZI count = 4294967295", "more than"},
        {"small model SIZE field 0 = 4294967295", "a model size of 4294967295 voxels"},
        {"small model without SIZE", "voxels (XYZI) come before any model size (SIZE)"},
        {"small model voxel outside its model", "a voxel lies outside its model"},
        {"small model cut at 7", "too short"},
        {"70 models", "more than 64 models"},
        {"17 MiB file", "larger than 16 MiB"},
    };
    for (auto const& c : cases) {
        auto const file = std::find_if(files.begin(), files.end(), [&](HostileFile const& f) { return f.name == c.name; });
        ASSERT_NE(file, files.end()) << c.name;
        std::ofstream(path, std::ios::binary) << file->bytes;
        LogCapture log;
        raylib::UnloadModel(loadModelChecked(path.string()));
        EXPECT_NE(log.text().find(c.says), std::string::npos) << c.name << ": " << log.text();
    }
    fs::remove(path);
}

TEST(HostileFiles, ScenesLoadOrEndWithAMessage) {
    raylib::SetTraceLogLevel(raylib::LOG_ERROR);
    auto const files = hostileSceneFiles(readFile(fs::path(TESSARINE_SOURCE_DIR) / "assets/scenes/des/demo_scene.txt"));
    EXPECT_GE(files.size(), 300u);
    auto const player = std::make_shared<Player>();
    auto const world = std::make_shared<World>(player);
    Watchdog watchdog;
    int failed = 0;
    for (auto const& file : files) {
        world->intersector = std::make_shared<IntersectorGridImpl>();
        *player = Player();
        std::istringstream in(file.bytes);
        LogCapture log;
        bool ended = false;
        watchdog.arm(file.name);
        try {
            SceneReader reader(player, &in, world, "hostile.txt");
            ended = reader.readScene() == nullptr;
        } catch (std::exception* e) {
            delete e;
            ended = true;
        } catch (std::exception const&) {
            ended = true;
        }
        watchdog.disarm();
        failed += ended;
        if (ended) {
            EXPECT_NE(log.text().find("Scene error in hostile.txt"), std::string::npos) << file.name;
        }
    }
    std::printf("%zu hostile scene files: %d ended with a message, %zu loaded\n", files.size(), failed,
                files.size() - failed);
    EXPECT_GT(failed, 100);
    EXPECT_LT(peakMemoryMiB(), 3072);
}

}  // namespace
