#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>

#include "client.h"
#include "game-loop.h"
#include "join-server.h"
#include "loading-screen.h"
#include "model-loader.h"

// The figure the others are drawn as, under the game's assets.
inline constexpr char const* FIGURE_MODEL = "assets/models/figure.vox";

// A play joined to a server: the session, the folder of the user's cache
// its scene is kept in, and what the screen shows of the others: their
// figures with their names above, the chat, and the players' list. When the
// server is lost, the play goes on alone in the same scene.
class JoinedPlay final : public Company {
public:
    // Joins the server and receives its scene, its progress on the loading
    // screen. Empty when it cannot, with the problem said (none when the
    // window was closed meanwhile).
    static std::unique_ptr<JoinedPlay> join(JoinRequest const& request, LoadingScreen& screen, std::string& problem);

    // The scene file as received.
    std::string scenePath() const { return client->scenePath().string(); }
    // The speeds the server allows.
    Welcome const& welcome() const { return client->welcome(); }

    void listen() override;
    CompanyNews news() override;
    bool typing(std::vector<int> const& keys, KeyBindings const& bindings) override;
    void tell(Player const& player, raylib::Camera3D const& camera) override;
    void placeFigures(SceneRenderer& scene) override;
    void drawOver(raylib::Camera3D const& camera, bool listPlayers) override;

private:
    JoinedPlay() = default;
    void drawNames(raylib::Camera3D const& camera) const;
    void drawChat() const;
    void drawPlayers() const;

    std::unique_ptr<JoinedFolder> folder;
    std::unique_ptr<Client> client;
    std::string server, assetRoot;
    ModelCache models;
    std::shared_ptr<LoadedModel const> figure;
    // The renderer's object of each figure.
    std::map<PlayerId, int> objects;
    std::vector<Figure> shown;
    bool chatOpen = false;
    std::string chatText;
    struct Line {
        std::string text;
        double until;
    };
    std::deque<Line> lines;
    bool lostTold = false;
};
