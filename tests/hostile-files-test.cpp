// Every file of the fuzzing corpora, and the real sample models: each loads
// or ends with a message naming what is wrong; none crashes or hangs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "game.h"
#include "intersector-grid-impl.h"
#include "log-capture.h"
#include "model-loader.h"
#include "vox-file.h"
#include "scene-reader.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> filesIn(fs::path const& folder) {
    std::vector<fs::path> files;
    if (fs::exists(folder)) files.assign(fs::directory_iterator(folder), fs::directory_iterator());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(HostileFiles, VoxFilesLoadOrAreRejected) {
    auto files = filesIn(fs::path(TESSARINE_SOURCE_DIR) / "tests/fuzz/corpus/vox");
    auto const samples = filesIn(fs::path(TESSARINE_SAMPLES_DIR));
    if (samples.empty()) std::printf("No sample files in %s: only the corpus is loaded\n", TESSARINE_SAMPLES_DIR);
    for (fs::path const& sample : samples) {
        if (sample.extension() == ".vox") files.push_back(sample);
    }
    ASSERT_GT(files.size(), 100u);
    // Models are read only from files named .vox.
    fs::path const path = fs::temp_directory_path() / "tessarine-hostile.vox";
    int rejected = 0;
    for (fs::path const& file : files) {
        std::printf("%s\n", file.filename().c_str());
        fs::copy_file(file, path, fs::copy_options::overwrite_existing);
        LogCapture log;
        raylib::UnloadModel(loadModelChecked(path.string()));
        bool const refused = log.text().find("WARNING: Model [" + path.string() + "] not loaded: ") == 0;
        rejected += refused;
        std::ifstream in(file, std::ios::binary);
        std::vector<unsigned char> const bytes(std::istreambuf_iterator<char>(in), {});
        EXPECT_EQ(refused, !voxFileProblem(bytes).empty()) << file;
    }
    fs::remove(path);
    EXPECT_GT(rejected, 20);
}

TEST(HostileFiles, ScenesLoadOrEndWithAMessage) {
    auto const player = std::make_shared<Player>();
    auto const world = std::make_shared<World>(player, WorldOptions{.graphics = false});
    int ended = 0;
    for (fs::path const& file : filesIn(fs::path(TESSARINE_SOURCE_DIR) / "tests/fuzz/corpus/scene")) {
        std::printf("%s\n", file.filename().c_str());
        world->intersector = std::make_shared<IntersectorGridImpl>();
        *player = Player();
        initRandomToken();
        std::ifstream in(file, std::ios::binary);
        LogCapture log;
        bool failed = false;
        try {
            failed = SceneReader(player, &in, world, "hostile.txt").readScene() == nullptr;
        } catch (std::exception* e) {
            delete e;
            failed = true;
        } catch (std::exception const&) {
            failed = true;
        }
        ended += failed;
        if (failed) {
            EXPECT_NE(log.text().find("Scene error in hostile.txt"), std::string::npos) << file;
        }
    }
    EXPECT_GT(ended, 20);
}

}  // namespace
