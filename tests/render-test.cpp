// A small known world drawn on the hidden window and read back.
#include <gtest/gtest.h>

#include <cstdlib>

#include "gl-test.h"
#include "intersector-grid-impl.h"
#include "model-entity.h"
#include "voxel-builders.h"
#include "world.h"

namespace {

constexpr raylib::Color SKY{102, 191, 255, 255};

bool near(raylib::Color a, raylib::Color b, int tolerance = 3) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

bool dark(raylib::Color c) {
    return c.r < 60 && c.g < 60 && c.b < 60;
}

// One world for the whole binary: the scene's lights are registered once
// per process, by the first world.
class RenderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        world = new World(std::make_shared<Player>());
        world->intersector->addEntity(std::make_shared<AABox>(raylib::Vector3{-4, 0.5f, 6}, raylib::Vector3{2, 2, 2},
                                                             colorGreen));
        camera.position = {1, 4, 10};
        camera.target = {-4, 2.2f, 4};
        camera.up = {0, 1, 0};
        camera.fovy = 65;
        camera.projection = raylib::CAMERA_PERSPECTIVE;
    }
    static void TearDownTestSuite() {
        delete world;
        world = nullptr;
    }

    raylib::Image frame(bool showInfo) {
        return captureFrame([&] { world->drawFrame(camera, showInfo); });
    }

    static inline World* world = nullptr;
    static inline raylib::Camera3D camera{};
};

raylib::Color pixelAt(raylib::Image const& image, raylib::Vector2 p) {
    return raylib::GetImageColor(image, static_cast<int>(p.x), static_cast<int>(p.y));
}

TEST_F(RenderTest, SkyAndALitBoxWithAShadePerFace) {
    raylib::Image const image = frame(false);
    if (std::getenv("TESSARINE_SAVE_FRAMES")) raylib::ExportImage(image, "build/render-test-frame.png");
    EXPECT_TRUE(near(raylib::GetImageColor(image, 5, 5), SKY));
    EXPECT_TRUE(near(raylib::GetImageColor(image, image.width - 5, image.height - 5), SKY));

    raylib::Vector2 const top = raylib::GetWorldToScreen({-4, 1.5f, 6}, camera);
    raylib::Vector2 const east = raylib::GetWorldToScreen({-3, 0.5f, 6}, camera);
    raylib::Vector2 const south = raylib::GetWorldToScreen({-4, 0.5f, 7}, camera);
    raylib::Color const faces[] = {pixelAt(image, top), pixelAt(image, east), pixelAt(image, south)};
    for (raylib::Color const face : faces) {
        EXPECT_FALSE(near(face, SKY, 10));
        // Still recognisably the box's green: green strongest, red weakest.
        EXPECT_GT(face.g, face.b);
        EXPECT_GT(face.b, face.r);
        EXPECT_GT(face.g, 40);
    }
    EXPECT_FALSE(near(faces[0], faces[1], 8));
    EXPECT_FALSE(near(faces[0], faces[2], 8));
    EXPECT_FALSE(near(faces[1], faces[2], 8));
    raylib::UnloadImage(image);
}

TEST_F(RenderTest, CursorIsCentred40PixelsAboveTheMiddle) {
    raylib::Image const image = frame(false);
    int const side = world->cursorTexture.width;
    EXPECT_EQ(side, 73);
    int const x = static_cast<int>(image.width * 0.5f - side * 0.5f);
    int const y = static_cast<int>(image.height * 0.5f - side * 0.5f - 40.0f);
    // The left arm of the crosshair is white; 40 pixels lower there is sky.
    raylib::Color const arm = raylib::GetImageColor(image, x + 16, y + side / 2);
    EXPECT_GT(arm.r, 220);
    EXPECT_GT(arm.g, 220);
    EXPECT_TRUE(near(raylib::GetImageColor(image, x + 16, y + side / 2 + 40), SKY, 10));
    // Its centre is open.
    EXPECT_TRUE(near(raylib::GetImageColor(image, x + side / 2, y + side / 2), SKY, 10));
    raylib::UnloadImage(image);
}

TEST_F(RenderTest, InformationBoxOnlyWhileAsked) {
    InfoBoxLayout const box = infoBoxLayout(world->uiScale, raylib::GetScreenWidth(), raylib::GetScreenHeight());
    raylib::Color const border{0, 121, 241, 255};
    int const midY = box.y + box.height / 2;

    raylib::Image const hidden = frame(false);
    EXPECT_TRUE(near(raylib::GetImageColor(hidden, box.x, midY), SKY));
    raylib::UnloadImage(hidden);

    raylib::Image const shown = frame(true);
    EXPECT_TRUE(near(raylib::GetImageColor(shown, box.x, midY), border));
    EXPECT_TRUE(near(raylib::GetImageColor(shown, box.x + box.width - 1, midY), border));
    for (int line = 0; line < 5; ++line) {
        int darkPixels = 0;
        for (int y = box.lineY[line]; y < box.lineY[line] + box.fontSize; ++y)
            for (int x = 0; x < shown.width; ++x) darkPixels += dark(raylib::GetImageColor(shown, x, y));
        EXPECT_GT(darkPixels, 10) << "line " << line;
    }
    raylib::UnloadImage(shown);
}

// Boxes baked into meshes once draw the same picture as boxes drawn one by one.
TEST_F(RenderTest, BakedBoxesDrawTheSamePicture) {
    auto const saved = world->intersector;
    world->intersector = std::make_shared<IntersectorGridImpl>();
    auto const& index = world->intersector;
    index->addEntity(std::make_shared<AABox>(raylib::Vector3{0, -0.5f, 0}, raylib::Vector3{40, 1, 40}, colorGreen));
    index->addEntity(std::make_shared<AABox>(raylib::Vector3{-3, 1, 1}, raylib::Vector3{-1, 2, 1}, colorRed));
    index->addEntity(buildMountain({-6, 1.05f, -2}, {4, 2, 4}));
    srand(5);
    raylib::SetRandomSeed(5);
    index->addEntity(world->generateValidVoxels(AABB({0, 100, 0}, {1, 1, 1}), {-2, 1.5f, 3}, {3, 2, 2},
                                                {0.2f, 0.2f, 0.2f}, 0.3f, allColors));
    index->addEntity(std::make_shared<ModelEntity>(raylib::Vector3{-4, 1.4f, 5}, 0.1f, "assets/models/tree.vox"));
    raylib::Camera3D view = camera;
    view.position = {1, 2.5f, 6};
    view.target = {-3, 1, 1};

    world->options.bakedBoxes = false;
    raylib::Image const old = captureFrame([&] { world->drawFrame(view, false); });
    world->options.bakedBoxes = true;
    raylib::Image const baked = captureFrame([&] { world->drawFrame(view, false); });
    if (std::getenv("TESSARINE_SAVE_FRAMES")) {
        raylib::ExportImage(old, "build/render-test-old.png");
        raylib::ExportImage(baked, "build/render-test-baked.png");
    }
    int differing = 0, sky = 0;
    for (int y = 0; y < old.height; ++y)
        for (int x = 0; x < old.width; ++x) {
            raylib::Color const a = raylib::GetImageColor(old, x, y);
            differing += !near(a, raylib::GetImageColor(baked, x, y), 0);
            sky += near(a, SKY, 0);
        }
    int const pixels = old.width * old.height;
    EXPECT_LE(differing, pixels / 1000) << differing << " of " << pixels << " pixels differ";
    EXPECT_LT(sky, pixels * 3 / 4) << "the scene should fill much of the frame";
    raylib::UnloadImage(old);
    raylib::UnloadImage(baked);
    world->intersector = saved;
}

// The layout for windows this test cannot open: the box and the longest
// possible lines stay inside; on a 3840 x 2160 window it is the design's
// own layout at uiScale 4.
TEST_F(RenderTest, InformationBoxFitsEveryWindow) {
    char const* const widest[] = {
        "- Position: (-00.000, -00.000, -00.000)",
        "- Look vector: (00.000, 00.000, 00.000)",
        "- Look vector: (-0.577, -0.577, -0.577)",
    };
    struct Size { int width, height; };
    for (Size const size : {Size{800, 450}, Size{1920, 1080}, Size{3840, 2160}, Size{1366, 768}}) {
        SCOPED_TRACE(testing::Message() << size.width << " x " << size.height);
        InfoBoxLayout const box = infoBoxLayout(4.0f, size.width, size.height);
        EXPECT_GE(box.x, 0);
        EXPECT_LE(box.x + box.width, size.width);
        EXPECT_LE(box.y + box.height, size.height);
        EXPECT_LE(box.lineY[4] + box.fontSize, size.height);
        for (char const* line : widest) {
            int const width = raylib::MeasureText(line, box.fontSize);
            int const x = std::min(box.textX, size.width - width);
            EXPECT_GE(x, box.x);
            EXPECT_LE(x + width, size.width) << line;
        }
    }
    InfoBoxLayout const large = infoBoxLayout(4.0f, 3840, 2160);
    EXPECT_EQ(large.x, 2400);
    EXPECT_EQ(large.y, 20);
    EXPECT_EQ(large.width, 780);
    EXPECT_EQ(large.height, 460);
    EXPECT_EQ(large.textX, 2440);
    EXPECT_EQ(large.fontSize, 40);
    int const lines[] = {60, 240, 300, 360, 420};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(large.lineY[i], lines[i]);
}

}  // namespace
