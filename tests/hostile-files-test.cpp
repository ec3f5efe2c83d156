// Every file of the fuzzing corpora, and the real sample models: each loads
// or ends with a message naming what is wrong; none crashes or hangs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "log-capture.h"
#include "model-loader.h"
#include "read-whole.h"
#include "recording.h"
#include "scene-loader.h"
#include "settings-file.h"
#include "test-entities.h"
#include "vox-file.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> filesIn(fs::path const& folder) {
    std::vector<fs::path> files;
    if (fs::exists(folder)) files.assign(fs::directory_iterator(folder), fs::directory_iterator());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(HostileFiles, VoxFilesLoadOrAreRefused) {
    auto files = filesIn(fs::path(TESSARINE_SOURCE_DIR) / "tests/fuzz/corpus/vox");
    if (!fs::exists(TESSARINE_SAMPLES_DIR))
        std::printf("No sample files in %s: only the corpus is read\n", TESSARINE_SAMPLES_DIR);
    for (fs::path const& sample : filesIn(TESSARINE_SAMPLES_DIR)) {
        if (sample.extension() == ".vox") files.push_back(sample);
    }
    // Models are read only from files named .vox.
    fs::path const path = fs::temp_directory_path() / "tessarine-hostile.vox";
    int refused = 0;
    for (fs::path const& file : files) {
        std::printf("%s\n", file.filename().c_str());
        fs::copy_file(file, path, fs::copy_options::overwrite_existing);
        std::ifstream in(file, std::ios::binary);
        std::string const problem =
            messageOf(readVoxFile(std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {})));
        LoadedModel const model(path.string());
        EXPECT_EQ(model.problem, problem.empty() ? "" : "the model file " + path.string() + " is refused: " + problem);
        refused += !problem.empty();
    }
    // A file too large to be a model is refused before it is read.
    std::ofstream(path, std::ios::binary) << std::string((16u << 20) + 1, 'V');
    EXPECT_EQ(LoadedModel(path.string()).problem,
              "the model file " + path.string() + " is refused: the file is larger than 16 MiB");
    fs::remove(path);
    EXPECT_GT(refused, 20);
    EXPECT_LT(refused, static_cast<int>(files.size()) - 20);
}

TEST(HostileFiles, ScenesLoadOrSayWhatIsWrong) {
    int refused = 0;
    for (fs::path const& file : filesIn(fs::path(TESSARINE_SOURCE_DIR) / "tests/fuzz/corpus/scene")) {
        std::printf("%s\n", file.filename().c_str());
        LogCapture quiet;
        SceneLoad const load = loadWorld(file.string(), std::make_shared<Player>());
        bool const stopped = std::any_of(load.problems.begin(), load.problems.end(),
                                         [](auto& p) { return p.severity == Severity::FATAL; });
        EXPECT_EQ(load.world == nullptr, stopped) << file;
        refused += !load.world;
    }
    EXPECT_GT(refused, 20);
}

// A settings file gives settings, and written back reads the same.
TEST(HostileFiles, SettingsReadAndWriteBackTheSame) {
    for (fs::path const& file : filesIn(fs::path(TESSARINE_SOURCE_DIR) / "tests/fuzz/corpus/settings")) {
        std::ifstream in(file, std::ios::binary);
        SettingsRead const read = readSettings(std::string(std::istreambuf_iterator<char>(in), {}), "s");
        SettingsRead const again = readSettings(settingsText(read.settings, read.unknown), "again");
        EXPECT_EQ(std::tuple(again.settings == read.settings, again.unknown, again.unreadable),
                  std::tuple(true, read.unknown, false))
            << file;
    }
}

TEST(HostileFiles, RecordingsPlayOrSayWhatIsWrong) {
    int refused = 0;
    for (fs::path const& file : filesIn(fs::path(TESSARINE_SOURCE_DIR) / "tests/fuzz/corpus/recording")) {
        auto const recording = readRecording(file.string());
        bool const read = static_cast<bool>(recording);
        EXPECT_NE(read, !recording.problem().message.empty()) << file;  // a recording, or a reason
        refused += !read;
    }
    EXPECT_GT(refused, 20);
}

}  // namespace

// A file the system refuses to read midway (an input/output error, as
// /proc/self/mem gives) is a problem of every reader, never a crash, and a
// settings file so refused is kept as it is.
TEST(HostileFiles, AFileThatCannotBeReadIsAProblem) {
    std::string const path = "/proc/self/mem";
    std::ifstream probe(path, std::ios::binary);
    if (!probe || readRest(probe)) GTEST_SKIP() << path << " reads without an error on this system";
    LogCapture quiet;
    SceneLoad const scene = loadWorld(path, std::make_shared<Player>());
    ASSERT_EQ(scene.problems.size(), 1u);
    EXPECT_EQ(describeProblem(scene.problems[0]), path + ":1:1: error: the scene file " + path + " cannot be read");
    SettingsRead const settings = loadSettings(path);
    EXPECT_TRUE(settings.unreadable);
    ASSERT_EQ(settings.warnings.size(), 1u);
    EXPECT_EQ(settings.warnings[0].message, "it cannot be read; using every default");
    EXPECT_FALSE(readRecording(path)) << "a recording";
}
