#pragma once

#include <memory>
#include <optional>
#include <string>

#include "frame-rate.h"
#include "lighting.h"
#include "multisampled-view.h"
#include "rich-sky.h"
#include "scene-renderer.h"
#include "shadow-map.h"
#include "world.h"

// The atmosphere with what a scene gives in place of its own.
Atmosphere withSceneAtmosphere(Atmosphere atmosphere, SceneAtmosphere const& given);

// Draws the frames of one window: the renderer owns everything the GPU holds
// for them, the light shader and its lights, the cursor texture, the chunk
// meshes and the models' copies, and reads the world it is given each frame.
// Create it once the window is open and destroy it before the window closes.
class Renderer {
public:
    // Loads the cursor and registers the scene's two lights; its files are
    // read from the assets under assetRoot (see assetPath).
    explicit Renderer(std::string const& assetRoot = "");
    ~Renderer();
    Renderer(Renderer const&) = delete;
    Renderer& operator=(Renderer const&) = delete;

    // One whole frame of the world seen through the camera, from BeginDrawing
    // to EndDrawing; showInfo adds the information box.
    void render(World const& world, raylib::Camera3D& camera, bool showInfo);
    // The frame's drawing without BeginDrawing and EndDrawing: the sky, the
    // scene under the light shader, the cursor and, when asked, the box.
    void drawFrame(World const& world, raylib::Camera3D const& camera, bool showInfo);
    // The frame-rate counter and the camera status box.
    void drawInfoBoxes(World const& world, raylib::Camera3D const& camera) const;

    // What the renderer could not load from the assets, naming the files
    // (the light shader, the cursor image); empty when it has all.
    std::string missingAssets();

    // Draws the 3D view at the given fraction (at most 1) of the window's
    // width and height, into a texture that is then stretched to the window;
    // the cursor and the information box stay at the window's size.
    void setRenderScale(float scale);
    float renderScale() const { return scale; }
    // Whether the 3D view is drawn with 4x multisampling: by the window
    // when it has samples and the view fills it, else into samples of the
    // view's own.
    bool multisampling = false;
    // Waits until the GPU has drawn what it was given: how long a frame's
    // drawing takes.
    void finish();

    // Registers the scene's two lights in the light shader: a warm sun and a
    // dim blue sky light.
    void createSunlight();
    // Uploads the camera's target as the shader's "viewPos".
    void updateLightShader(raylib::Camera3D& camera);

    Lighting lighting;
    raylib::Texture2D cursorTexture{};
    SceneRenderer scene;
    // Whether the frames have the rich looks (a sky, the sun's and the
    // sky's light, fog, corners shaded by their neighbours); a change bakes
    // the scene's chunks again. And the atmosphere of the rich looks where
    // the world's scene does not give its own.
    void setRichLooks(bool rich);
    bool richLooks() const { return rich; }
    Atmosphere atmosphere;
    // Whether the sun casts shadows in the rich looks.
    bool shadows = true;
    // A walk into the next cell of the shadows' grid draws the next map a
    // share a frame, in this many frames, while the map shown still reaches
    // well around the camera: no frame pays for a whole map.
    static constexpr int SHADOW_SHARES = 8;
    // Whether the frame rate shows also without the information box.
    bool showFrameRate = false;
    // Fed by every frame drawn.
    FrameRateMeter frameRate;

private:
    bool rich = false;
    // The atmosphere of the frame being drawn.
    Atmosphere frameAtmosphere;
    // The sun's shadow map, once needed, and what it was last drawn for:
    // drawn again only when the camera has gone into another cell of the
    // grid its square is fitted to, the sun has turned, or the scene or
    // what of it is baked has changed.
    struct ShadowsDrawn {
        int cell[3] = {};
        raylib::Vector3 towardSun{};
        Intersector const* index = nullptr;
        int entities = 0;
        size_t chunks = 0, objects = 0;
        bool operator==(ShadowsDrawn const&) const = default;
        // The same scene and sun, wherever the camera is.
        bool sameScene(ShadowsDrawn const& other) const;
    };
    std::unique_ptr<ShadowMap> shadowMap;
    std::optional<ShadowsDrawn> shadowsDrawn;
    struct ShadowsDrawing {
        ShadowsDrawn drawn;
        int sharesDone = 0;
        raylib::Matrix sunView{};
    };
    std::unique_ptr<ShadowMap> nextShadowMap;
    std::optional<ShadowsDrawing> shadowsDrawing;
    ShadowsDrawn shadowsNow(World const& world, raylib::Vector3 camera) const;
    // Whether the map last drawn reaches far enough around the camera to
    // be shown while the next one is drawn.
    bool shadowsReach(raylib::Vector3 camera) const;
    // Draws the given share of the world's map for drawn into map, cleared
    // first for the first share; gives the sun's view.
    raylib::Matrix drawShadowShare(World const& world, ShadowMap const& map, ShadowsDrawn const& drawn, int share,
                                   int shares);
    void drawShadows(World const& world, raylib::Camera3D const& camera);
    // The sun's view of the map shown, given to the programs.
    raylib::Matrix sunView{};
    void showSunView(raylib::Matrix viewProjection);
    // The faces' programs, with the light of each way faces point.
    FacePrograms facePrograms();
    // What the frame's scene is drawn with, in its looks.
    ScenePrograms scenePrograms(raylib::Camera3D const& camera, SceneAtmosphere const& given);
    bool shadowsShown() const { return rich && shadows; }
    // Makes the view's texture the size given.
    void sizeView(int width, int height);
    // Copies the scaled view over the whole window, smoothing its pixels.
    void stretchViewToWindow();

    float scale = 1.0f;
    // Whether the window's own pixels are multisampled (asked for at its start).
    bool windowMultisampled = false;
    // The scaled view's texture, once needed; unloaded with the renderer.
    raylib::RenderTexture2D view{};
    // The view's samples, when the window has none of its own.
    std::optional<MultisampledView> samples;
    // The rich looks' sky, once needed.
    std::string const assetRoot;
    std::unique_ptr<RichSky> sky;
};
