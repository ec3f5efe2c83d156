#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "atmosphere.h"
#include "light.h"
#include "raylib-api.h"
#include "shader.h"

// A program from the vertex and fragment files of the assets under
// assetRoot, with defines added to each after its version line. raylib
// gives its default program for files it cannot read.
raylib::Shader loadShaderFiles(std::string const& assetRoot, char const* vertexPath, char const* fragmentPath,
                               char const* vertexDefines = "", char const* fragmentDefines = "");

// Sets a program's vec3 uniform of the name; a colour as fractions of 255.
void setShaderVector(raylib::Shader shader, char const* name, raylib::Vector3 value);
raylib::Vector3 colorFractions(raylib::Color c);

// The light of the rich looks on a face of the normal, as voxel_rich.vs
// works it out: the sky's, from the ground's below to the full sky's
// above, and the sun's where the face turns towards it.
raylib::Vector3 richLightOf(Atmosphere const& atmosphere, raylib::Vector3 normal);
// The share of that light which is the sun's, channel by channel: what a
// shadow takes away.
raylib::Vector3 richSunShareOf(Atmosphere const& atmosphere, raylib::Vector3 normal);

// The light shader of one window, which every box and model is drawn with,
// and the lights registered in it. The shader is loaded on first use and
// kept until clearLightShader; loaded again, it gets every light registered
// so far. Needs the window (the graphics context) while it holds a shader.
class Lighting {
public:
    // Its shader files are read from the assets under assetRoot (see
    // assetPath).
    explicit Lighting(std::string assetRoot = "") : assetRoot(std::move(assetRoot)) {}
    Lighting(Lighting const&) = delete;
    Lighting& operator=(Lighting const&) = delete;

    // The light shader, loaded on the first call after construction or
    // after clearLightShader; the same shader until then.
    std::shared_ptr<Shader> getLightShader();
    // Drops this object's hold on the light shader; the lights stay registered.
    void clearLightShader();
    // The same lighting for faces of boxes drawn as instances (the vertex
    // program with FACES defined), with every light registered, loaded on
    // the first call.
    std::shared_ptr<Shader> getFaceShader();
    // The faces' program given the light of a list of faces (the vertex
    // program with FACE_LIGHT defined as well, its "faceLight"), and the
    // light it is given for faces of a normal: the ambient light and every
    // light registered, worked out as the light shader does; none when a
    // light is not directional, which lights each corner differently.
    std::shared_ptr<Shader> getFlatFaceShader();
    std::optional<raylib::Vector3> lightOfFaces(raylib::Vector3 normal) const;

    // The programs of the rich looks (voxel_rich): for models and entities,
    // for faces, and for faces given the light of their list; the clear
    // ones leave the fog out, for what lies nearer than it begins; the metal
    // ones add a metal's sheen, for models with one. With
    // shadows, they take the sun's share away where the shadow map (on
    // texture unit SHADOW_UNIT, seen through the sun's view given with
    // setSunView) finds something in front. Each is loaded on its first call.
    enum RichProgram {
        RICH_MODELS,
        RICH_FACES,
        RICH_FLAT_FACES,
        RICH_CLEAR_MODELS,
        RICH_CLEAR_FLAT_FACES,
        RICH_METAL_MODELS,
        RICH_CLEAR_METAL_MODELS
    };
    static constexpr int SHADOW_UNIT = 5;
    std::shared_ptr<Shader> getRichProgram(RichProgram which, bool shadows);
    // The atmosphere and the eye, given to the rich programs with or
    // without shadows, or to one of them; the sun's view, to those with.
    void setAtmosphere(Atmosphere const& atmosphere, raylib::Vector3 eye, bool shadows);
    static void setAtmosphere(raylib::Shader program, Atmosphere const& atmosphere, raylib::Vector3 eye);
    void setSunView(raylib::Matrix sunViewProjection);

    // Registers a light in the next free slot of the light array and uploads
    // its values to the given shader; once the four slots are taken, returns
    // a light with enabled false and uploads nothing.
    Light CreateLight(int type, raylib::Vector3 position, raylib::Vector3 target, raylib::Color color,
                      raylib::Shader shader);
    int lightsCount() const { return static_cast<int>(registered.size()); }

    // Puts the light shader on every material of the model. The material
    // array is shared with the caller's copy, so the caller's model changes.
    void setModelShaders(raylib::Model model);
    // Uploads the point the viewer looks at as the shader's "viewPos".
    void setViewPosition(raylib::Vector3 point);

private:
    // A loaded program made ready: its "viewPos", its ambient light and every
    // light registered.
    std::shared_ptr<Shader> lit(raylib::Shader loaded);
    // The shader files loaded, with defines for each program, and lit.
    std::shared_ptr<Shader> load(char const* vertexDefines, char const* fragmentDefines = "");

    std::string const assetRoot;
    std::shared_ptr<Shader> lightShader, faceShader, flatFaceShader;
    static constexpr int RICH_PROGRAMS = RICH_CLEAR_METAL_MODELS + 1;
    // The rich programs without shadows, then with.
    std::array<std::array<std::shared_ptr<Shader>, RICH_PROGRAMS>, 2> richPrograms;
    std::vector<Light> registered;
};
