// Frames of small known worlds, drawn on the hidden window and read back.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

#include "gl-api.h"
#include "gl-test.h"
#include "info-box.h"
#include "intersector-tree-impl.h"
#include "model-entity.h"
#include "model-loader.h"
#include "notice.h"
#include "renderer.h"
#include "settings-screen.h"
#include "sky.h"
#include "vox-file.h"
#include "vox-writer.h"
#include "voxel-builders.h"

namespace {

bool near(raylib::Color a, raylib::Color b, int tolerance = 3) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

// A world of its own for each test, drawn by the window's one renderer.
class RenderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { renderer = new Renderer(); }
    static void TearDownTestSuite() { delete renderer; }
    void SetUp() override { world = std::make_shared<World>(std::make_shared<Player>()); }

    // The frame seen from `from` towards `to`, saved when TESSARINE_SAVE_FRAMES is set.
    raylib::Image frame(raylib::Vector3 from, raylib::Vector3 to, bool showInfo, std::string const& name) {
        raylib::Camera3D const camera = cameraAt(from, to);
        raylib::Image image = captureFrame([&] { renderer->drawFrame(*world, camera, showInfo); });
        if (std::getenv("TESSARINE_SAVE_FRAMES")) raylib::ExportImage(image, ("build/" + name + ".png").c_str());
        return image;
    }
    static raylib::Color at(raylib::Image const& image, int x, int y) { return raylib::GetImageColor(image, x, y); }
    // The colour of a frame of the camera where a point of the world shows,
    // and the sum of its channels.
    static raylib::Color seenAt(raylib::Image const& image, raylib::Camera3D const& camera, raylib::Vector3 point) {
        raylib::Vector2 const pixel = raylib::GetWorldToScreen(point, camera);
        return at(image, static_cast<int>(pixel.x), static_cast<int>(pixel.y));
    }
    static int brightnessAt(raylib::Image const& image, raylib::Camera3D const& camera, raylib::Vector3 point) {
        raylib::Color const c = seenAt(image, camera, point);
        return c.r + c.g + c.b;
    }
    // The model of the file at the origin in the rich looks, by default seen
    // straight on from +z, the view 2 units high without perspective.
    static raylib::Camera3D straightOn() {
        raylib::Camera3D camera = cameraAt({0, 0, 5}, {0, 0, 0});
        camera.projection = raylib::CAMERA_ORTHOGRAPHIC;
        camera.fovy = 2;
        return camera;
    }
    raylib::Image richModelFrame(std::string const& path, raylib::Camera3D const& camera = straightOn()) {
        Renderer rich;
        rich.setRichLooks(true);
        rich.scene.addObject({std::make_shared<LoadedModel const>(path), {0, 0, 0}, 1});
        return captureFrame([&] { rich.drawFrame(*world, camera, false); });
    }
    // A grey floor 20 wide at y 0, and on it a grey wall 6 wide and 3 high
    // whose front stands at z -1.5.
    void addFloorAndWall() {
        raylib::Color const grey{200, 200, 200, 255};
        world->intersector->addEntity(
            std::make_shared<AABox>(raylib::Vector3{0, -0.5f, 0}, raylib::Vector3{20, 1, 20}, grey));
        world->intersector->addEntity(
            std::make_shared<AABox>(raylib::Vector3{0, 1.5f, -2}, raylib::Vector3{6, 3, 1}, grey));
    }

    static inline Renderer* renderer = nullptr;
    std::shared_ptr<World> world;
};

TEST_F(RenderTest, SkyALitBoxWithAShadePerFaceAndTheCursor) {
    int major = 0, minor = 0;
    std::sscanf(reinterpret_cast<char const*>(glGetString(GL_VERSION)), "%d.%d", &major, &minor);
    ASSERT_GE(major * 10 + minor, 33) << "OpenGL 3.3 or newer is needed";

    world->intersector->addEntity(
        std::make_shared<AABox>(raylib::Vector3{-4, 0.5f, 6}, raylib::Vector3{2, 2, 2}, colorGreen));
    raylib::Camera3D const camera = cameraAt({1, 4, 10}, {-4, 2.2f, 4});
    raylib::Image const image = frame(camera.position, camera.target, false, "render-test-box");
    EXPECT_TRUE(near(at(image, 5, 5), SKY_COLOR));
    raylib::Color faces[3];
    raylib::Vector3 const points[3] = {{-4, 1.5f, 6}, {-3, 0.5f, 6}, {-4, 0.5f, 7}};  // top, east, south
    for (int i = 0; i < 3; ++i) {
        raylib::Vector2 const point = raylib::GetWorldToScreen(points[i], camera);
        faces[i] = at(image, static_cast<int>(point.x), static_cast<int>(point.y));
        // Still recognisably the box's green: green strongest, red weakest.
        EXPECT_TRUE(faces[i].g > faces[i].b && faces[i].b > faces[i].r && faces[i].g > 40) << "face " << i;
    }
    EXPECT_FALSE(near(faces[0], faces[1], 8) || near(faces[0], faces[2], 8) || near(faces[1], faces[2], 8));

    // The 73-pixel crosshair, centred 40 pixels above the middle: a white
    // arm, an open centre and sky 40 pixels lower.
    EXPECT_EQ(renderer->cursorTexture.width, 73);
    int const x = image.width / 2 - 36, y = image.height / 2 - 36 - 40;
    EXPECT_TRUE(near(at(image, x + 16, y + 36), {255, 255, 255, 255}, 30));
    EXPECT_TRUE(near(at(image, x + 36, y + 36), SKY_COLOR, 10));
    EXPECT_TRUE(near(at(image, x + 16, y + 76), SKY_COLOR, 10));
    raylib::UnloadImage(image);
}

// Drawn at half the window's size, or into samples of its own (the window
// has none), the view is the same scene, softer: each face keeps its
// colour, edges spread over more pixels (less of the squared change between
// neighbours), and the cursor stays sharp at the window's size.
TEST_F(RenderTest, AScaledOrMultisampledViewIsTheSameSceneSofter) {
    world->intersector->addEntity(
        std::make_shared<AABox>(raylib::Vector3{-4, 0.5f, 6}, raylib::Vector3{2, 2, 2}, colorGreen));
    raylib::Camera3D const camera = cameraAt({1, 4, 10}, {-4, 2.2f, 4});
    auto const sharpness = [](raylib::Image const& image) {
        double sum = 0;
        for (int y = image.height / 2 + 20; y < image.height; ++y) {  // below the cursor
            for (int x = 1; x < image.width; ++x) sum += std::pow(at(image, x, y).g - at(image, x - 1, y).g, 2);
        }
        return sum;
    };
    raylib::Image const sharp = frame(camera.position, camera.target, false, "render-test-sharp");
    // softer: at least this many times less sharp.
    for (auto const& [scale, multisampling, softer] :
         {std::tuple{0.5f, false, 2.0}, {1.0f, true, 1.4}, {0.5f, true, 3.8}}) {
        renderer->setRenderScale(scale);
        renderer->multisampling = multisampling;
        std::string const name = "render-test-" + std::to_string(scale) + (multisampling ? "-samples" : "");
        // Over a black window, so that a view that never reaches it shows.
        raylib::Image const soft = captureFrame([&] {
            raylib::ClearBackground({0, 0, 0, 255});
            renderer->drawFrame(*world, camera, false);
        });
        renderer->setRenderScale(1);
        renderer->multisampling = false;
        for (raylib::Vector3 const point : {raylib::Vector3{-4, 1.5f, 6}, {-3, 0.5f, 6}, {-4, 0.5f, 7}}) {
            raylib::Vector2 const p = raylib::GetWorldToScreen(point, camera);
            int const x = static_cast<int>(p.x), y = static_cast<int>(p.y);
            EXPECT_TRUE(near(at(soft, x, y), at(sharp, x, y), 6)) << name << ": " << point.x << ", " << point.z;
        }
        EXPECT_TRUE(near(at(soft, 5, 5), SKY_COLOR)) << name;
        EXPECT_LT(sharpness(soft) * softer, sharpness(sharp)) << name;
        int const x = soft.width / 2 - 36, y = soft.height / 2 - 36 - 40;
        EXPECT_EQ(at(soft, x + 16, y + 36).r, 255) << name;
        raylib::UnloadImage(soft);
    }
    raylib::UnloadImage(sharp);
}

// A wider field of view shows more: a box 40 degrees above the view's
// middle, out of the game's 65-degree-high view, is in a 90-degree one.
TEST_F(RenderTest, AWiderFieldOfViewShowsMore) {
    raylib::Vector3 const above =
        raylib::Vector3Add(START_POSITION, {-10 * std::cos(0.698f), 10 * std::sin(0.698f), 0});
    world->intersector->addEntity(std::make_shared<AABox>(above, raylib::Vector3{1, 1, 8}, colorRed));
    for (auto const& [fieldOfView, shown] : {std::pair{FIELD_OF_VIEW, false}, {90.0f, true}}) {
        raylib::Camera3D const camera = startCamera(fieldOfView);
        raylib::Image const image = captureFrame([&] { renderer->drawFrame(*world, camera, false); });
        int red = 0;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) red += at(image, x, y).r > 100 && at(image, x, y).g < 60;
        }
        EXPECT_EQ(red > 100, shown) << fieldOfView << " degrees: " << red << " red pixels";
        raylib::UnloadImage(image);
    }
}

// The settings screen, opened on its first row, shows the list goes on: the
// scroll bar's lower arrow is lit, its upper one dim, each a small triangle.
TEST(SettingsScreen, ArrowsShowWhereTheListGoesOn) {
    Settings settings;
    SettingsRead loaded;
    SettingsScreen const screen(settings, loaded, "unused.toml");
    raylib::Image const image = captureFrame([&] {
        raylib::ClearBackground({0, 0, 0, 255});
        screen.draw();
    });
    SettingsLayout const l = settingsLayout(image.width, image.height, int(settingInfos().size()) + 2);
    int const x = l.x + l.width - l.rowHeight / 4, top = l.y, bottom = l.y + l.visibleRows * l.rowHeight;
    int const a = l.rowHeight / 3;
    auto const at = [&](int px, int py) { return raylib::GetImageColor(image, px, py); };
    EXPECT_TRUE(near(at(x, top + a * 2 / 3), {150, 150, 150, 255}, 8));
    EXPECT_TRUE(near(at(x, bottom - a * 2 / 3), {255, 214, 102, 255}, 8));
    EXPECT_TRUE(near(at(x + a, bottom - 2 * a), {20, 24, 32, 255}, 8)) << "above and beside the arrow, the panel";
    raylib::UnloadImage(image);
}

// The information box and its longest lines stay inside windows of every
// size (its showing and hiding is the end-to-end test's).
TEST_F(RenderTest, InformationBoxInsideEveryWindow) {
    for (auto const& [width, height] : {std::pair{800, 450}, {1920, 1080}, {3840, 2160}, {1366, 768}}) {
        InfoBoxLayout const fitted = infoBoxLayout(4.0f, width, height);
        EXPECT_LE(fitted.x + fitted.width, width);
        EXPECT_LE(fitted.lineY[4] + fitted.fontSize, height);
        int const longest = raylib::MeasureText("- Position: (-00.000, -00.000, -00.000)", fitted.fontSize);
        EXPECT_GE(std::min(fitted.textX, width - longest), fitted.x) << width << " x " << height;
    }
}

// Notices fit windows from 640 x 360 up: their lines break between words,
// and in a word longer than a line, and the text grows with the window from
// its size at 800 x 450.
TEST(Notice, FitsEveryWindow) {
    std::string const reload =
        "/home/someone/scenes/castle.txt:2:31: error: Unknown colour word \"purple\": the colours are green, red, "
        "brown, light_gray, dark_blue and gray";
    std::string const path = "Screenshot saved to /home/someone/" + std::string(150, 'p') + "/shot.png";
    auto const measure = [](std::string const& line, int size) { return raylib::MeasureText(line.c_str(), size); };
    for (auto const& [width, height, fontSize] :
         {std::tuple{640, 360, 12}, {800, 450, 12}, {1280, 720, 19}, {1920, 1080, 28}}) {
        NoticeLayout const words = layoutNotice(reload, width, height, measure);
        NoticeLayout const broken = layoutNotice(path, width, height, measure);
        EXPECT_EQ(words.fontSize, fontSize) << width;
        EXPECT_EQ(words.bandHeight, 2 * fontSize + 2 * words.margin);
        ASSERT_EQ(words.lines.size(), 2u) << width;
        EXPECT_EQ(words.lines[0] + " " + words.lines[1], reload);
        ASSERT_EQ(broken.lines.size(), 3u) << width;
        EXPECT_EQ(broken.lines[0] + " " + broken.lines[1] + broken.lines[2], path);
        for (auto const* layout : {&words, &broken}) {
            for (std::string const& line : layout->lines) {
                EXPECT_LE(measure(line, fontSize), width - 2 * layout->margin) << line;
            }
        }
    }
}

// A notice's seconds count from the first frame that draws it; a notice
// offered while another is on the screen waits for it to go.
TEST(Notice, StaysItsSecondsAndIsNotPushedAside) {
    TimedNotice notice;
    EXPECT_FALSE(notice.showing(0));
    notice.offer("", NoticeKind::NEWS, 0);
    EXPECT_FALSE(notice.showing(0)) << "an empty text is no notice";
    notice.show("Scene reloaded", NoticeKind::NEWS);
    EXPECT_TRUE(notice.showing(100)) << "not drawn yet";
    notice.draw(100);
    notice.offer("You fell", NoticeKind::PROBLEM, 101);
    notice.draw(100 + NOTICE_SECONDS - 0.1);
    EXPECT_TRUE(notice.showing(100 + NOTICE_SECONDS - 0.1));
    EXPECT_FALSE(notice.showing(100 + NOTICE_SECONDS));
    notice.offer("You fell", NoticeKind::PROBLEM, 100 + NOTICE_SECONDS);
    notice.draw(200);
    EXPECT_TRUE(notice.showing(200 + NOTICE_SECONDS - 0.1)) << "the second, from its first frame";
}

// Baked chunks without hidden faces draw the same picture as every entity
// drawn on its own, also those baked before the first frame, seen from every
// side: among boxes, a mountain, a model,
// from a hole inside a dense cloud, next to it, and from below floating
// voxels looking up.
TEST_F(RenderTest, BakedChunksDrawTheSamePicture) {
    auto const& index = world->intersector;
    index->addEntity(std::make_shared<AABox>(raylib::Vector3{0, -0.5f, 0}, raylib::Vector3{40, 1, 40}, colorGreen));
    index->addEntity(std::make_shared<AABox>(raylib::Vector3{-3, 1, 1}, raylib::Vector3{-1, 2, 1}, colorRed));
    index->addEntity(buildMountain({-6, 1.05f, -2}, {4, 2, 4}));
    srand(5);
    raylib::SetRandomSeed(5);
    index->addEntity(world->generateValidVoxels(AABB({0, 100, 0}, {1, 1, 1}), {-2, 1.5f, 3}, {3, 2, 2},
                                                {0.2f, 0.2f, 0.2f}, 0.3f, allColors));
    index->addEntity(world->generateValidVoxels(AABB({40, 3, 0}, {0.4f, 1.6f, 0.4f}), {40, 3, 0}, {12, 6, 12},
                                                {0.5f, 0.5f, 0.5f}, 1, allColors));
    index->addEntity(world->generateValidVoxels(AABB({0, 100, 0}, {1, 1, 1}), {20, 8, 0}, {10, 3, 10},
                                                {0.5f, 0.5f, 0.5f}, 0.2f, allColors));
    index->addEntity(std::make_shared<ModelEntity>(raylib::Vector3{-4, 1.4f, 5}, 0.1f, "assets/models/tree.vox"));
    std::tuple<char const*, raylib::Vector3, raylib::Vector3> const views[] = {
        {"above", {1, 2.5f, 6}, {-3, 1, 1}},
        {"below", {-2.5f, 0.2f, 4}, {-2, 3, 2.5f}},
        {"from -x -z", {-9, 1.5f, -5}, {-2, 1, 2}},
        {"inside a dense cloud", {40, 3.7f, 0}, {37, 3.2f, 1}},
        {"next to a dense cloud", {30, 2, 4}, {40, 3, 0}},
        {"under floating voxels", {20, 1, 2}, {19, 8, 0}},
    };
    // The chunks around the first place are baked before any frame, as the
    // loading screen bakes them.
    while (!renderer->scene.bakeAround(*world, std::get<1>(views[0]), 0.01).done()) {
    }
    // The same chunks baked face by face, as the merged surface is measured
    // against.
    Renderer eachFace;
    eachFace.scene.mergedFaces = false;
    for (auto const& [name, from, to] : views) {
        renderer->scene.bakedBoxes = false;
        raylib::Image const old = frame(from, to, false, std::string("render-test-old-") + name);
        renderer->scene.bakedBoxes = true;
        raylib::Image const baked = frame(from, to, false, std::string("render-test-baked-") + name);
        raylib::Image const byFace = captureFrame([&] { eachFace.drawFrame(*world, cameraAt(from, to), false); });
        int differing = 0, differingByFace = 0, sky = 0;
        for (int y = 0; y < old.height; ++y) {
            for (int x = 0; x < old.width; ++x) {
                differing += !near(at(old, x, y), at(baked, x, y), 0);
                differingByFace += !near(at(old, x, y), at(byFace, x, y), 0);
                sky += near(at(old, x, y), SKY_COLOR, 0);
            }
        }
        EXPECT_LE(differing, old.width * old.height / 1000) << name << ": " << differing << " pixels differ";
        EXPECT_LE(differingByFace, old.width * old.height / 1000) << name << ", face by face";
        raylib::UnloadImage(byFace);
        EXPECT_LT(sky, old.width * old.height * 3 / 4) << name << ": the scene should fill much of the frame";
        raylib::UnloadImage(old);
        raylib::UnloadImage(baked);
    }
}

// An object comes, moves and goes without the index or its chunks being
// touched; a solid model, kept out of the index, is drawn all the same.
TEST_F(RenderTest, ObjectsComeMoveAndGoWithoutBakingAgain) {
    world->intersector->addEntity(
        std::make_shared<AABox>(raylib::Vector3{0, -0.5f, 0}, raylib::Vector3{40, 1, 40}, colorGreen));
    auto const rock = std::make_shared<LoadedModel const>("assets/models/rock.vox");
    world->drawnOnly.push_back(std::make_shared<ModelEntity>(raylib::Vector3{2, 0.3f, 0}, 0.1f, "rock", rock));
    raylib::Camera3D const camera = cameraAt({0, 1, 8}, {0, 1, 0});
    // Whether the point of the world shows something other than sky or floor.
    auto const shows = [&](raylib::Vector3 point) {
        raylib::Image const image = frame(camera.position, camera.target, false, "render-test-objects");
        raylib::Color const color = seenAt(image, camera, point);
        raylib::UnloadImage(image);
        return !near(color, SKY_COLOR, 10) && !(color.g > color.r + 60 && color.g > color.b);
    };
    EXPECT_TRUE(shows({2, 0.3f, 0})) << "the solid model";
    EXPECT_FALSE(shows({-2, 0.5f, 0}));
    size_t const chunks = renderer->scene.chunksBaked();
    int const id = renderer->scene.addObject({rock, {-2, 0.5f, 0}, 0.1f});
    EXPECT_TRUE(shows({-2, 0.5f, 0}));
    renderer->scene.moveObject(id, {-1, 2, 0});
    EXPECT_FALSE(shows({-2, 0.5f, 0}));
    EXPECT_TRUE(shows({-1, 2, 0}));
    for (float const distance : {7.0f, 0.5f}) {  // both are 8 from the camera
        renderer->scene.viewDistance = distance;
        EXPECT_FALSE(shows({-1, 2, 0})) << "an object beyond the view distance " << distance;
        EXPECT_FALSE(shows({2, 0.3f, 0})) << "a model beyond it";
    }
    renderer->scene.viewDistance = 0;
    renderer->scene.removeObject(id);
    EXPECT_FALSE(shows({-1, 2, 0}));
    EXPECT_EQ(renderer->scene.objectCount(), 0u);
    EXPECT_EQ(renderer->scene.chunksBaked(), chunks) << "nothing was baked again";
    EXPECT_EQ(world->intersector->size(), 1);
}

// Seen from the front without perspective, an object's pixels span its box
// centred on its position.
TEST_F(RenderTest, AnObjectsBoxIsCentredOnItsPosition) {
    raylib::Camera3D camera = cameraAt({0, 0, 50}, {0, 0, 0});
    camera.projection = raylib::CAMERA_ORTHOGRAPHIC;
    camera.fovy = 8;
    auto const view = [&] { return captureFrame([&] { renderer->drawFrame(*world, camera, false); }); };
    raylib::Image const empty = view();
    auto const rock = std::make_shared<LoadedModel const>("assets/models/rock.vox");
    int const id = renderer->scene.addObject({rock, {1, 0.5f, 0}, 1});
    raylib::Image const seen = view();
    renderer->scene.removeObject(id);
    int low[2] = {seen.width, seen.height}, high[2] = {-1, -1};
    for (int y = 0; y < seen.height; ++y) {
        for (int x = 0; x < seen.width; ++x) {
            if (near(at(seen, x, y), at(empty, x, y), 0)) continue;
            low[0] = std::min(low[0], x), low[1] = std::min(low[1], y);
            high[0] = std::max(high[0], x), high[1] = std::max(high[1], y);
        }
    }
    raylib::Vector2 const centre = raylib::GetWorldToScreen({1, 0.5f, 0}, camera);
    EXPECT_NEAR((low[0] + high[0]) / 2.0f, centre.x, 2);
    EXPECT_NEAR((low[1] + high[1]) / 2.0f, centre.y, 2);
    EXPECT_GT(high[0] - low[0], 40) << "the rock should show";
    raylib::UnloadImage(empty);
    raylib::UnloadImage(seen);
}

// Two boxes side by side, each in a chunk of its own, hide the sides they
// share: ten sides are drawn, not twelve. Two more boxes in the first's
// chunk, from its floor (y = 0) up, add their six each.
TEST_F(RenderTest, BoxesOfNeighbouringChunksHideTheSidesTheyShare) {
    auto const& index = world->intersector;
    for (raylib::Vector3 const at :
         {raylib::Vector3{47.5f, 0.5f, 0.5f}, {48.5f, 0.5f, 0.5f}, {47.5f, 20.5f, 0.5f}, {47.5f, 0, 20.5f}})
        index->addEntity(std::make_shared<AABox>(at, raylib::Vector3{1, 1, 1}, colorRed));
    EXPECT_EQ(renderer->scene.bakeAround(*world, {48, 0.5f, 3}, 0).sorted, 0u) << "no time: nothing is sorted";
    // Sorted from far away, where nothing is baked; then no time to bake
    // the two chunks around the camera.
    EXPECT_TRUE(renderer->scene.bakeAround(*world, {48, 0.5f, 1000}, 1).done()) << "nothing near to bake";
    auto const noTime = renderer->scene.bakeAround(*world, {48, 0.5f, 3}, 0);
    EXPECT_EQ(std::pair(noTime.chunksBaked, noTime.chunksLeft), std::pair(size_t{0}, size_t{2}));
    while (!renderer->scene.bakeAround(*world, {48, 0.5f, 3}, 0.01).done()) {
    }
    EXPECT_EQ(renderer->scene.triangles(), 2u * (10 + 6 + 6));
    EXPECT_EQ(renderer->scene.chunksBaked(), 2u);
}

// A frame bakes the chunks around the camera, and those further away as
// its budget allows: all of them in a long one or with no budget (0), none
// in one already spent.
TEST_F(RenderTest, FramesBakeFarChunksWithinTheirBudget) {
    for (float const x : {0.0f, 100.0f, 200.0f})
        world->intersector->addEntity(
            std::make_shared<AABox>(raylib::Vector3{x, 0.5f, 0}, raylib::Vector3{1, 1, 1}, colorRed));
    for (auto const& [budget, baked] : {std::pair{10.0, 3u}, {0.0, 3u}, {1e-9, 1u}}) {
        Renderer own;
        own.scene.bakingBudget = budget;
        raylib::UnloadImage(captureFrame([&] { own.drawFrame(*world, cameraAt({0, 2, 10}, {0, 0, 0}), false); }));
        EXPECT_EQ(own.scene.chunksBaked(), baked) << budget << " s";
    }
}

// A chunk so far away that a cell of two of its voxels is less than a
// pixel is drawn as such cells, with far fewer triangles and the same
// colours; near it, or without the setting, face by face as before.
TEST_F(RenderTest, FarChunksAreDrawnCoarserWherePixelsCannotTell) {
    // A wall of 0.1-unit voxels, each red or green by chance.
    srand(3);
    for (int i = 0; i < 120 * 120 * 2; ++i) {
        raylib::Vector3 const at{-6 + 0.1f * (i % 120), 0.1f * (i / 120 % 120), 0.1f * (i / 14400)};
        world->intersector->addEntity(
            std::make_shared<AABox>(at, raylib::Vector3{0.1f, 0.1f, 0.1f}, rand() % 2 ? colorRed : colorGreen));
    }
    struct Seen {
        raylib::Color color;
        size_t triangles, coarseChunks;
    };
    auto const seen = [&](float distance, bool coarse) {
        Renderer own;
        own.scene.coarseFarChunks = coarse;
        raylib::Camera3D const camera = cameraAt({0, 6, distance}, {0, 6, 0});
        raylib::Image const image = captureFrame([&] { own.drawFrame(*world, camera, false); });
        // The mean colour around the wall's middle.
        raylib::Vector2 const middle = raylib::GetWorldToScreen({0, 6, 0}, camera);
        int sum[3] = {}, count = 0;
        for (int y = -5; y <= 5; ++y) {
            for (int x = -5; x <= 5; ++x, ++count) {
                raylib::Color const c = at(image, static_cast<int>(middle.x) + x, static_cast<int>(middle.y) + y);
                sum[0] += c.r, sum[1] += c.g, sum[2] += c.b;
            }
        }
        raylib::UnloadImage(image);
        raylib::Color const mean{static_cast<unsigned char>(sum[0] / count), static_cast<unsigned char>(sum[1] / count),
                                 static_cast<unsigned char>(sum[2] / count), 255};
        return Seen{mean, own.scene.trianglesDrawn(), own.scene.coarseChunks()};
    };
    // 0.2 units span a pixel at about 70 units on this window.
    Seen const far = seen(80, true), fine = seen(80, false), close = seen(20, true);
    EXPECT_TRUE(near(far.color, fine.color, 12)) << int(far.color.r) << " " << int(fine.color.r);
    EXPECT_LT(far.triangles * 2, fine.triangles);
    EXPECT_EQ(close.triangles, fine.triangles) << "drawn face by face near it";
    EXPECT_EQ(close.coarseChunks, 0u) << "nothing baked coarse while not needed";
    EXPECT_GT(far.coarseChunks, 0u);
}

// In the rich looks the sky darkens from the horizon up, a face turned
// from the sun keeps at least half the light of one turned to it, and
// what lies beyond the fog takes the horizon's colour.
TEST_F(RenderTest, RichLooksHaveASkyLightAndFog) {
    auto const& index = world->intersector;
    index->addEntity(
        std::make_shared<AABox>(raylib::Vector3{0, 0, 0}, raylib::Vector3{2, 2, 2}, raylib::Color{255, 255, 255, 255}));
    index->addEntity(std::make_shared<AABox>(raylib::Vector3{0, 0, -960}, raylib::Vector3{80, 80, 80}, colorRed));
    Renderer rich;
    rich.setRichLooks(true);
    auto const seen = [&](raylib::Vector3 from, raylib::Vector3 to, int x, int y) {
        raylib::Image const image = captureFrame([&] { rich.drawFrame(*world, cameraAt(from, to), false); });
        raylib::Color const color = at(image, x, y);
        raylib::UnloadImage(image);
        return color;
    };
    auto const brightness = [](raylib::Color c) { return c.r + c.g + c.b; };
    raylib::Color const top = seen({0, 6, 0.01f}, {0, 0, 0}, 400, 225);
    raylib::Color const bottom = seen({0, -6, 0.01f}, {0, 0, 0}, 400, 225);
    EXPECT_GE(2 * brightness(bottom), brightness(top)) << "the underside keeps half the light of the top";
    EXPECT_GT(brightness(top), brightness(bottom));
    // Looking level at the far box, with sky above it.
    raylib::Color const beyondFog = seen({0, 0, 0}, {0, 0, -10}, 400, 225);
    EXPECT_TRUE(near(beyondFog, rich.atmosphere.horizon, 3))
        << int(beyondFog.r) << ", " << int(beyondFog.g) << ", " << int(beyondFog.b);
    raylib::Color const overhead = seen({0, 0, 0}, {0, 10, -0.01f}, 400, 225);
    EXPECT_TRUE(near(overhead, rich.atmosphere.zenith, 8)) << "straight up, the zenith's colour";
    raylib::Color const low = seen({0, 0, 0}, {0, 0, -10}, 400, 100);
    EXPECT_LT(low.r, rich.atmosphere.horizon.r) << "above the horizon, the sky turns towards the zenith";
    EXPECT_GT(low.r, rich.atmosphere.zenith.r);
}

// A scene's own sky is the plain looks' colour behind everything, and in
// the rich looks its fog hides a box beyond the fog's end in its horizon's
// colour, while a box nearer than the fog begins keeps its own.
TEST_F(RenderTest, ASceneGivesItsOwnSkyAndFog) {
    auto const& index = world->intersector;
    index->addEntity(std::make_shared<AABox>(raylib::Vector3{0, 0, -60}, raylib::Vector3{20, 20, 1}, colorRed));
    index->addEntity(std::make_shared<AABox>(raylib::Vector3{0, -1, -5}, raylib::Vector3{1, 1, 1}, colorRed));
    raylib::Color const horizon{200, 120, 40, 255};
    world->atmosphere = {.towardSun = std::nullopt,
                         .horizon = horizon,
                         .zenith = raylib::Color{40, 40, 120, 255},
                         .fogStart = 10,
                         .fogEnd = 40};
    raylib::Camera3D const camera = cameraAt({0, 0, 0}, {0, 0, -10});
    int const nearY = static_cast<int>(raylib::GetWorldToScreen({0, -1, -4.5f}, camera).y);
    for (bool const rich : {false, true}) {
        Renderer renderer;
        renderer.setRichLooks(rich);
        raylib::Image const image = captureFrame([&] { renderer.drawFrame(*world, camera, false); });
        raylib::Color const far = at(image, 400, 225), nearBox = at(image, 400, nearY), corner = at(image, 5, 5);
        raylib::UnloadImage(image);
        if (!rich) {
            EXPECT_TRUE(near(corner, horizon, 1)) << "the plain looks' sky";
            EXPECT_FALSE(near(far, horizon, 40)) << "no fog in the plain looks";
        } else {
            EXPECT_TRUE(near(far, horizon, 3)) << int(far.r) << ", " << int(far.g) << ", " << int(far.b);
            EXPECT_GT(nearBox.r, 2 * nearBox.g) << "the near box is red";
        }
    }
}

// In the rich looks the sun casts shadows: a tall box's shadow falls on the
// ground on the side away from the sun, and a small box in it is darker
// than the same box in the sun; with shadows off, both are as bright.
TEST_F(RenderTest, RichLooksCastTheSunsShadows) {
    auto const& index = world->intersector;
    raylib::Color const white{255, 255, 255, 255};
    index->addEntity(std::make_shared<AABox>(raylib::Vector3{0, -0.5f, 0}, raylib::Vector3{40, 1, 40}, white));
    index->addEntity(std::make_shared<AABox>(raylib::Vector3{0, 3, 0}, raylib::Vector3{2, 6, 2}, white));
    for (float const x : {-4.0f, 5.0f})
        index->addEntity(
            std::make_shared<AABox>(raylib::Vector3{x, 0.25f, 0}, raylib::Vector3{0.5f, 0.5f, 0.5f}, white));
    // The sun low in +x: the tall box's shadow reaches far along -x.
    world->atmosphere.towardSun = raylib::Vector3Normalize({1, 1, 0});
    raylib::Camera3D const camera = cameraAt({1, 25, 0.01f}, {1, 0, 0});
    for (bool const shadows : {true, false}) {
        Renderer rich;
        rich.setRichLooks(true);
        rich.shadows = shadows;
        raylib::Image const image = captureFrame([&] { rich.drawFrame(*world, camera, false); });
        int const awayFromSun = brightnessAt(image, camera, {-3, 0, -0.5f}),
                  towardSun = brightnessAt(image, camera, {3, 0, -0.5f});
        int const shadedBox = brightnessAt(image, camera, {-4, 0.5f, 0}),
                  litBox = brightnessAt(image, camera, {5, 0.5f, 0});
        raylib::UnloadImage(image);
        if (shadows) {
            EXPECT_LT(awayFromSun * 10, towardSun * 8) << "the shadow on the ground, away from the sun";
            EXPECT_LT(shadedBox * 10, litBox * 8) << "the box in the shadow";
        } else {
            EXPECT_NEAR(awayFromSun, towardSun, 6);
            EXPECT_NEAR(shadedBox, litBox, 6);
        }
    }
}

// What lies beyond the far side of the sun's map, thousands of units
// below, still lies in the shadow of what the map holds: a floor under a
// roof, the sun overhead, seen through a narrow view past the roof's edge
// with the fog further still.
TEST_F(RenderTest, ShadowsReachBeyondTheFarSideOfTheSunsMap) {
    auto const& index = world->intersector;
    raylib::Color const white{255, 255, 255, 255};
    index->addEntity(std::make_shared<AABox>(raylib::Vector3{0, -10, 0}, raylib::Vector3{80, 1, 80}, white));
    index->addEntity(std::make_shared<AABox>(raylib::Vector3{0, -3720.5f, 0}, raylib::Vector3{200, 1, 200}, white));
    world->atmosphere.towardSun = raylib::Vector3{0, 1, 0};
    world->atmosphere.fogStart = 3000;
    world->atmosphere.fogEnd = 100000;
    raylib::Camera3D const camera = cameraAt({45, 0, 0}, {40, -3720, 0}, 5);
    Renderer rich;
    rich.setRichLooks(true);
    rich.scene.bakingBudget = 0;
    raylib::Image const image = captureFrame([&] { rich.drawFrame(*world, camera, false); });
    auto const brightness = [&](raylib::Vector3 point) { return brightnessAt(image, camera, point); };
    int const underRoof = brightness({20, -3720, 5}), inTheSun = brightness({60, -3720, 5});
    raylib::UnloadImage(image);
    EXPECT_LT(underRoof * 10, inTheSun * 8) << underRoof << " against " << inTheSun;
}

// The sun's map covers a square around the camera's cell: a shadow does
// not streak beyond its edge, and one beyond it shows once the camera has
// come near, at once after a jump and after a few frames of a walk, which
// until then show the old map whole.
TEST_F(RenderTest, TheSunsShadowsFollowTheCamera) {
    auto const& index = world->intersector;
    raylib::Color const white{255, 255, 255, 255};
    index->addEntity(std::make_shared<AABox>(raylib::Vector3{0, -0.5f, 40}, raylib::Vector3{200, 1, 200}, white));
    // Standing on the edge of the first map, and beyond it.
    for (float const z : {59.0f, 80.0f})
        index->addEntity(std::make_shared<AABox>(raylib::Vector3{0, 3, z}, raylib::Vector3{2, 6, 2}, white));
    world->atmosphere.towardSun = raylib::Vector3Normalize({1, 1, 0});
    auto const shadowed = [&](Renderer& rich, float cameraZ, float groundZ) {
        // Looking short of the ground measured: the cursor hides the middle.
        raylib::Camera3D const camera = cameraAt({8, 30, cameraZ}, {0, 0, groundZ - 8});
        raylib::Image const image = captureFrame([&] { rich.drawFrame(*world, camera, false); });
        auto const brightness = [&](raylib::Vector3 point) { return brightnessAt(image, camera, point); };
        // The ground away from the sun, against the ground towards it.
        bool const dark = brightness({-5, 0, groundZ}) * 10 < brightness({5, 0, groundZ}) * 8;
        raylib::UnloadImage(image);
        return dark;
    };
    Renderer walker;
    walker.setRichLooks(true);
    EXPECT_TRUE(shadowed(walker, 1, 59)) << "inside the map";
    EXPECT_FALSE(shadowed(walker, 1, 65)) << "beyond the map's edge";
    EXPECT_FALSE(shadowed(walker, 1, 80)) << "cast from beyond the map";
    for (int frame = 1; frame < Renderer::SHADOW_SHARES; ++frame)
        EXPECT_FALSE(shadowed(walker, 30, 80)) << "the old map, frame " << frame;
    EXPECT_TRUE(shadowed(walker, 30, 80)) << "the new map, once drawn";
    Renderer jumper;
    jumper.setRichLooks(true);
    EXPECT_FALSE(shadowed(jumper, 1, 80));
    EXPECT_TRUE(shadowed(jumper, 60, 80)) << "after a jump";
}

// Chunks a nearer wall hides are not drawn: the GPU is asked whether any
// of their bounds would show.
TEST_F(RenderTest, ChunksBehindAWallAreLeftOut) {
    auto const& index = world->intersector;
    for (int i = 0; i < 100; ++i) {
        index->addEntity(std::make_shared<AABox>(raylib::Vector3{2.0f * (i % 10) - 10, 2.0f * (i / 10) - 10, -100},
                                                 raylib::Vector3{1, 1, 1}, colorRed));
    }
    raylib::Camera3D const camera = cameraAt({0, 0, 0}, {0, 0, -1});
    auto const trianglesSeen = [&] {
        raylib::UnloadImage(captureFrame([&] { renderer->drawFrame(*world, camera, false); }));
        return renderer->scene.trianglesDrawn();
    };
    size_t const open = trianglesSeen();
    index->addEntity(std::make_shared<AABox>(raylib::Vector3{0, 0, -5}, raylib::Vector3{200, 200, 1}, colorGreen));
    // What a frame's queries find is known in the next.
    for (int frame = 0; frame < 2; ++frame) trianglesSeen();
    EXPECT_GT(open, 200u);
    EXPECT_LE(trianglesSeen(), 12u) << "the wall alone";
    // The bounds tested, every colour channel is written again.
    GLboolean written[4] = {};
    glGetBooleanv(GL_COLOR_WRITEMASK, written);
    EXPECT_TRUE(written[0] && written[1] && written[2] && written[3]);
}

// In the rich looks a chunk far from the camera is baked without the
// shading of its corners, and baked shaded once the camera comes near:
// seen through a long lens from afar, the floor at the foot of a wall is
// as bright as the open floor, and darker after the camera came near.
TEST_F(RenderTest, RichLooksShadeChunksOnlyNearTheCamera) {
    addFloorAndWall();
    Renderer rich;
    rich.setRichLooks(true);
    rich.shadows = false;
    auto const footAgainstOpen = [&](raylib::Camera3D const& camera) {
        raylib::Image const image = captureFrame([&] { rich.drawFrame(*world, camera, false); });
        auto const brightness = [&](raylib::Vector3 point) { return brightnessAt(image, camera, point); };
        // Off the middle, where the cursor is.
        float const ratio =
            static_cast<float>(brightness({1.5f, 0, -1.4f})) / static_cast<float>(brightness({1.5f, 0, 2}));
        raylib::UnloadImage(image);
        return ratio;
    };
    raylib::Camera3D const afar = cameraAt({0, 240, 320}, {0, 0, 0}, 3);
    EXPECT_GT(footAgainstOpen(afar), 0.97f) << "baked plain from afar";
    EXPECT_LT(footAgainstOpen(cameraAt({0, 6, 4}, {0, 0, -1})), 0.9f) << "shaded near";
    EXPECT_LT(footAgainstOpen(afar), 0.9f) << "and it stays shaded";
}

// In the rich looks the floor darkens towards the foot of a wall, an inner
// corner, while the top of the wall stays as bright up to its edge, an
// outer one.
TEST_F(RenderTest, RichLooksShadeInnerCornersNotOuterEdges) {
    addFloorAndWall();
    Renderer rich;
    rich.setRichLooks(true);
    raylib::Camera3D const camera = cameraAt({0, 6, 4}, {0, 0, -1});
    raylib::Image const image = captureFrame([&] { rich.drawFrame(*world, camera, false); });
    auto const brightness = [&](raylib::Vector3 point) { return brightnessAt(image, camera, point); };
    // Off the middle, where the cursor is.
    int const footOfWall = brightness({1.5f, 0, -1.4f}), openFloor = brightness({1.5f, 0, 1});
    EXPECT_LT(footOfWall * 10, openFloor * 8) << footOfWall << " against " << openFloor;
    // Beside the wall's end, the floor is shaded towards the wall and not
    // away from it.
    int const besideEnd = brightness({3.1f, 0, -2}), pastEnd = brightness({3.1f, 0, -0.6f});
    EXPECT_LT(besideEnd * 10, openFloor * 9) << besideEnd << " against " << openFloor;
    EXPECT_NEAR(pastEnd, openFloor, 12);
    int const edgeOfTop = brightness({1.5f, 3, -1.6f}), middleOfTop = brightness({1.5f, 3, -2});
    EXPECT_NEAR(edgeOfTop, middleOfTop, 6);
    raylib::UnloadImage(image);
}

// In the rich looks a model's floor darkens towards the foot of its wall,
// and not towards its open edge.
TEST_F(RenderTest, RichLooksShadeAModelsInnerCorners) {
    VoxModel model = voxModelOf(8, 8, 3, [](int x, int, int z) { return z == 0 || x == 0 ? 1 : 0; });
    model.palette[0] = {200, 200, 200, 255};
    std::string const path = (std::filesystem::temp_directory_path() / "tessarine-corner.vox").string();
    ASSERT_TRUE(writeVox(path, model));
    Renderer rich;
    rich.setRichLooks(true);
    rich.shadows = false;
    rich.scene.addObject({std::make_shared<LoadedModel const>(path), {0, 0, 0}, 1});
    raylib::Camera3D camera = cameraAt({0, 5, 0.01f}, {0, 0, 0});
    camera.projection = raylib::CAMERA_ORTHOGRAPHIC;
    camera.fovy = 3;
    raylib::Image const image = captureFrame([&] { rich.drawFrame(*world, camera, false); });
    std::filesystem::remove(path);
    // The floor's top, 3 voxels high and centred: a quarter of a unit up.
    auto const brightness = [&](float x) { return brightnessAt(image, camera, {x, -0.125f, 0.3f}); };
    // The wall stands along one side, whichever way the file's axes turn.
    int const nearSide = std::min(brightness(-0.7f), brightness(0.7f));
    int const farSide = std::max(brightness(-0.7f), brightness(0.7f)), middle = brightness(0.1f);
    raylib::UnloadImage(image);
    EXPECT_LT(nearSide * 10, middle * 9) << "at the wall's foot: " << nearSide << " against " << middle;
    EXPECT_NEAR(farSide, middle, 6) << "at the open edge";
}

// A MagicaVoxel model seen from the front in the rich looks shows at
// least half the brightness of the colours its front view holds: the
// nearest voxel of each column, each column as many pixels in a view
// without perspective.
TEST_F(RenderTest, RichLooksKeepAModelsFrontHalfAsBrightAsItsPalette) {
    std::string const path = std::string(TESSARINE_SAMPLES_DIR) + "/chr_knight.vox";
    std::ifstream in(path, std::ios::binary);
    if (!in) GTEST_SKIP() << "No sample files: " << path << " is absent";
    VoxelGrid grid;
    ASSERT_FALSE(readVoxFile(std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {}), &grid));
    auto const brightness = [](raylib::Color c) { return c.r + c.g + c.b; };
    double palette = 0;
    size_t columns = 0;
    for (int x = 0; x < grid.sizeX; ++x) {
        for (int y = 0; y < grid.sizeY; ++y) {
            for (int z = grid.sizeZ - 1; z >= 0; --z) {
                if (uint8_t const index = grid.at(x, y, z); index != 0) {
                    palette += brightness(grid.palette[index]), ++columns;
                    break;
                }
            }
        }
    }
    ASSERT_GT(columns, 100u);
    Renderer rich;
    rich.setRichLooks(true);
    raylib::Camera3D camera = cameraAt({0, 0, 50}, {0, 0, 0});
    camera.projection = raylib::CAMERA_ORTHOGRAPHIC;
    camera.fovy = 8;
    auto const view = [&] { return captureFrame([&] { rich.drawFrame(*world, camera, false); }); };
    raylib::Image const empty = view();
    rich.scene.addObject({std::make_shared<LoadedModel const>(path), {0, 0, 0}, 1});
    raylib::Image const seen = view();
    double shown = 0;
    size_t pixels = 0;
    for (int y = 0; y < seen.height; ++y) {
        for (int x = 0; x < seen.width; ++x) {
            if (near(at(seen, x, y), at(empty, x, y), 0)) continue;
            shown += brightness(at(seen, x, y)), ++pixels;
        }
    }
    ASSERT_GT(pixels, 1000u);
    EXPECT_GE(shown / pixels, 0.5 * palette / columns) << shown / pixels << " against " << palette / columns;
    raylib::UnloadImage(empty);
    raylib::UnloadImage(seen);
}

// In the rich looks an emissive voxel shows its palette colour in a shadow,
// where a plain voxel of the same colour beside it is darker, and glows:
// the sky just above it is brighter than far from it.
TEST_F(RenderTest, RichLooksShowAnEmissiveVoxelsColourInAShadow) {
    VoxModel model = voxModelOf(3, 1, 1, [](int x, int, int) { return x == 0 ? 1 : x == 2 ? 2 : 0; });
    model.palette[0] = model.palette[1] = {255, 128, 0, 255};
    model.materials = {{1, {{"_type", "_emit"}, {"_emit", "1"}}}};
    std::string const path = (std::filesystem::temp_directory_path() / "tessarine-emissive.vox").string();
    ASSERT_TRUE(writeVox(path, model));
    // A roof over it, the sun overhead.
    world->intersector->addEntity(
        std::make_shared<AABox>(raylib::Vector3{0, 3, 0}, raylib::Vector3{20, 0.2f, 20}, colorGreen));
    world->atmosphere.towardSun = raylib::Vector3{0, 1, 0};
    raylib::Image const image = richModelFrame(path);
    raylib::Color const left = at(image, 400 - 56, 225), right = at(image, 400 + 56, 225);
    raylib::Color const aboveLeft = at(image, 400 - 56, 225 - 56), aboveRight = at(image, 400 + 56, 225 - 56);
    raylib::Color const sky = at(image, 10, 10);
    raylib::UnloadImage(image);
    std::filesystem::remove(path);
    raylib::Color const orange{255, 128, 0, 255};
    bool const leftGlows = near(left, orange, 4);
    raylib::Color const glowing = leftGlows ? left : right, lit = leftGlows ? right : left;
    EXPECT_TRUE(near(glowing, orange, 4)) << int(glowing.r) << ", " << int(glowing.g) << ", " << int(glowing.b);
    EXPECT_LT(lit.r + lit.g, (glowing.r + glowing.g) * 0.8) << "the plain voxel, in the roof's shadow";
    raylib::Color const glow = leftGlows ? aboveLeft : aboveRight;
    EXPECT_GT(glow.r + glow.g, sky.r + sky.g + 20) << "the glow above the emissive voxel";
}

// In the rich looks a metal voxel shines where the sun mirrors into the eye
// (the sun behind the camera), and looks as the same colour unpolished
// beside it where the sun stands off to a side.
TEST_F(RenderTest, RichLooksGiveMetalASheenOnlyWhereTheSunMirrors) {
    VoxModel model = voxModelOf(3, 1, 1, [](int x, int, int) { return x == 0 ? 1 : x == 2 ? 2 : 0; });
    model.palette[0] = model.palette[1] = {100, 100, 100, 255};
    model.materials = {{1, {{"_type", "_metal"}, {"_metal", "1"}, {"_rough", "0"}}}};
    std::string const path = (std::filesystem::temp_directory_path() / "tessarine-metal.vox").string();
    ASSERT_TRUE(writeVox(path, model));
    auto const leftAndRight = [&](raylib::Vector3 towardSun) {
        world->atmosphere.towardSun = towardSun;
        raylib::Image const image = richModelFrame(path);
        std::array<int, 2> const sides{at(image, 400 - 56, 225).g, at(image, 400 + 56, 225).g};
        raylib::UnloadImage(image);
        return sides;
    };
    auto const mirrored = leftAndRight({0, 0, 1}), aside = leftAndRight({1, 1, 0.3f});
    std::filesystem::remove(path);
    int const metal = mirrored[0] > mirrored[1] ? 0 : 1;
    EXPECT_GT(mirrored[metal], mirrored[1 - metal] + 40) << "the sun mirrored in the metal";
    EXPECT_NEAR(aside[0], aside[1], 4) << "no sheen with the sun aside";
}

// In the rich looks a pane of glass shows the red box behind it, tinted by
// its blue; the same pane of plain blue hides it.
TEST_F(RenderTest, RichLooksShowWhatLiesBehindGlass) {
    std::string const path = (std::filesystem::temp_directory_path() / "tessarine-glass.vox").string();
    auto const write = [&](char const* type) {
        VoxModel pane = voxModelOf(4, 1, 4, [](int, int, int) { return 1; });
        pane.palette[0] = {0, 0, 255, 255};
        pane.materials = {{1, {{"_type", type}, {"_trans", "0.5"}}}};
        EXPECT_TRUE(writeVox(path, pane));
    };
    // Against the sky, above the eye and clear of the cursor (an
    // orthographic view has no sky): the sky beside it, tinted.
    write("_glass");
    raylib::Camera3D const below = cameraAt({0.3f, -1, 5}, {0.3f, -1, 0});
    raylib::Image const image = richModelFrame(path, below);
    raylib::Color const skyThrough = seenAt(image, below, {0, 0, 0}), sky = seenAt(image, below, {1.5f, 0, 0});
    raylib::UnloadImage(image);
    EXPECT_LT(skyThrough.r + 30, sky.r) << "tinted blue";
    EXPECT_GT(skyThrough.r, 40) << "the sky behind";
    // Against a red wall.
    world->intersector->addEntity(
        std::make_shared<AABox>(raylib::Vector3{0, 0, -3}, raylib::Vector3{10, 10, 1}, colorRed));
    auto const seenThrough = [&](char const* type) {
        write(type);
        raylib::Image const image = richModelFrame(path);
        raylib::Color const middle = at(image, 400, 225);
        raylib::UnloadImage(image);
        return middle;
    };
    raylib::Color const glass = seenThrough("_glass"), plain = seenThrough("_diffuse");
    std::filesystem::remove(path);
    EXPECT_GT(glass.r, 50) << "the red behind";
    EXPECT_GT(glass.b, 50) << "tinted blue";
    EXPECT_LT(plain.r, 10) << "plain blue hides it";
}

// What a renderer makes on the GPU (occlusion queries, the scaled view's
// texture and its samples) is given back with it.
TEST_F(RenderTest, ARendererGivesBackWhatItMadeOnTheGpu) {
    auto const live = [] {
        std::array<int, 4> count{};
        for (GLuint name = 1; name < 4096; ++name) {
            count[0] += glIsQuery(name), count[1] += glIsTexture(name);
            count[2] += glIsFramebuffer(name), count[3] += glIsRenderbuffer(name);
        }
        return count;
    };
    auto const before = live();
    for (int x = 0; x < 200; x += 50)
        world->intersector->addEntity(
            std::make_shared<AABox>(raylib::Vector3{-4.0f - x, 0.5f, 6}, raylib::Vector3{2, 2, 2}, colorGreen));
    {
        Renderer own;
        own.setRenderScale(0.5f);
        own.multisampling = true;
        while (!own.scene.bakeAround(*world, {1, 4, 10}, 0.01).done()) {
        }
        // Two frames: a part's query is made once.
        for (int frame = 0; frame < 2; ++frame) {
            raylib::UnloadImage(captureFrame([&] {
                own.drawFrame(*world, cameraAt({1, 4, 10}, {-4, 2.2f, 4}), false);
            }));
        }
        for (int kind = 0; kind < 4; ++kind) EXPECT_GT(live()[kind], before[kind]) << "kind " << kind;
    }
    EXPECT_EQ(live(), before);
}

}  // namespace
