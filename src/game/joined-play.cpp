#include "joined-play.h"

#include <algorithm>
#include <cctype>

#include "asset-path.h"
#include "password-file.h"
#include "ui-scale.h"

namespace {

// How long a line of chat stays on the screen, in seconds, and how many show.
constexpr double CHAT_SECONDS = 12;
constexpr size_t CHAT_LINES = 6;
// A figure's name shows within this many units.
constexpr float NAME_REACH = 60;
// The figure's box centre under the eye, and its name's foot over it, in
// units: over its head, and clear of the cursor of one who stands as high.
constexpr float FIGURE_CENTER_BELOW_EYE = 0.75f, NAME_OVER_EYE = 0.5f;

int uiFontSize() {
    return std::max(10, raylib::GetScreenHeight() / 30);
}

// The text on a dark band, so that it reads over any part of the world.
void drawLabel(std::string const& text, int x, int y, int size, raylib::Color color) {
    int const width = raylib::MeasureText(text.c_str(), size);
    int const margin = size / 4;
    raylib::DrawRectangle(x - margin, y - margin, width + 2 * margin, size + 2 * margin, {0, 0, 0, 150});
    raylib::DrawText(text.c_str(), x, y, size, color);
}

}  // namespace

std::unique_ptr<JoinedPlay> JoinedPlay::join(JoinRequest const& request, LoadingScreen& screen, std::string& problem) {
    std::optional<ServerAddress> const address = parseServerAddress(request.server, problem);
    if (!address) return nullptr;
    std::string password;
    if (!request.passwordFile.empty()) {
        std::optional<std::string> const read = readPasswordFile(request.passwordFile, problem);
        if (!read) return nullptr;
        password = *read;
    }
    std::unique_ptr<JoinedPlay> play(new JoinedPlay());
    play->server = address->text();
    play->assetRoot = request.assetRoot;
    play->folder = JoinedFolder::claim(play->server, problem);
    if (!play->folder) return nullptr;
    Hello hello{.name = request.name, .password = password};
    play->client = Client::join(*address, hello, play->folder->path, problem);
    if (!play->client) return nullptr;
    // Until the scene's first whole set has come.
    while (!play->client->takeNewScene()) {
        if (screen.closeAsked()) return problem = "", nullptr;
        if (play->client->ended()) {
            problem = "cannot join " + play->server + ": " + play->client->endedWhy();
            return nullptr;
        }
        play->client->service(screen.untilNextFrame());
        uint64_t const total = play->client->sceneBytes(), received = play->client->sceneBytesReceived();
        if (!play->client->joined()) {
            screen.show("Joining " + play->server, 0);
        } else {
            // The scene's transfer fills the bar's first tenth; the load the rest.
            screen.show("Receiving the scene from " + play->server + ": " + std::to_string(received >> 10) + " of " +
                            std::to_string(total >> 10) + " KiB",
                        total ? 0.1f * static_cast<float>(received) / static_cast<float>(total) : 0);
        }
    }
    return play;
}

void JoinedPlay::listen() {
    client->service();
}

CompanyNews JoinedPlay::news() {
    CompanyNews news;
    news.placedAt = client->takeCorrection();
    news.newScene = client->takeNewScene();
    double const now = raylib::GetTime();
    for (News const& heard : client->takeNews()) {
        if (heard.kind == News::ENDED) continue;
        lines.push_back({heard.text, now + CHAT_SECONDS});
        if (lines.size() > 64) lines.pop_front();
    }
    if (client->ended() && !lostTold) {
        lostTold = true;
        news.problem =
            "The session on " + server + " ended, " + client->endedWhy() + ": you play on alone in the same scene";
    }
    return news;
}

bool JoinedPlay::typing(std::vector<int> const& keys, KeyBindings const& bindings) {
    auto const pressed = [&](int key) { return std::find(keys.begin(), keys.end(), key) != keys.end(); };
    // The letter of the key that opens the line is no letter of it; the
    // letters typed after it in the same frame are.
    int opener = 0;
    if (!chatOpen) {
        auto const opening = std::find_if(bindings[CHAT].begin(), bindings[CHAT].end(),
                                          [&](int key) { return key != 0 && pressed(key); });
        if (opening == bindings[CHAT].end() || !client->joined()) return false;
        chatOpen = true;
        chatText.clear();
        opener = *opening;
    }
    for (int c = raylib::GetCharPressed(); c != 0; c = raylib::GetCharPressed()) {
        // raylib's codes of letter keys are their capitals'.
        if (opener != 0 && c < 128 && std::toupper(c) == opener) {
            opener = 0;
            continue;
        }
        int length = 0;
        char const* encoded = raylib::CodepointToUTF8(c, &length);
        if (chatText.size() + static_cast<size_t>(length) <= MAX_CHAT_BYTES) chatText.append(encoded, length);
    }
    bool const erase = pressed(raylib::KEY_BACKSPACE) || raylib::IsKeyPressedRepeat(raylib::KEY_BACKSPACE);
    if (erase && !chatText.empty()) {
        // A whole character, however many bytes it takes.
        do chatText.pop_back();
        while (!chatText.empty() && (static_cast<unsigned char>(chatText.back()) & 0xc0) == 0x80);
    }
    if (pressed(raylib::KEY_ENTER) || pressed(raylib::KEY_KP_ENTER)) {
        client->sendChat(chatText);
        chatOpen = false;
    }
    if (pressed(raylib::KEY_ESCAPE)) chatOpen = false;
    return true;
}

void JoinedPlay::tell(Player const& player, raylib::Camera3D const& camera) {
    raylib::Vector3 const look = raylib::Vector3Subtract(camera.target, camera.position);
    float const yaw = std::atan2(look.x, look.z);
    float const pitch = std::atan2(look.y, std::hypot(look.x, look.z));
    client->sendMove({player.position, yaw, pitch, player.flying});
}

void JoinedPlay::placeFigures(SceneRenderer& scene) {
    if (!figure) figure = models.get(assetPath(assetRoot, FIGURE_MODEL));
    shown = client->figures();
    for (auto it = objects.begin(); it != objects.end();) {
        bool const gone = std::none_of(shown.begin(), shown.end(), [&](Figure const& f) { return f.id == it->first; });
        if (gone) {
            scene.removeObject(it->second);
            it = objects.erase(it);
        } else {
            ++it;
        }
    }
    for (Figure const& other : shown) {
        raylib::Vector3 const center = raylib::Vector3Subtract(other.state.position, {0, FIGURE_CENTER_BELOW_EYE, 0});
        auto const found = objects.find(other.id);
        if (found != objects.end())
            scene.moveObject(found->second, center);
        else if (figure)
            objects[other.id] = scene.addObject({figure, center});
    }
}

void JoinedPlay::drawOver(raylib::Camera3D const& camera, bool listPlayers) {
    drawNames(camera);
    drawChat();
    if (listPlayers) drawPlayers();
}

void JoinedPlay::drawNames(raylib::Camera3D const& camera) const {
    raylib::Vector3 const forward = raylib::Vector3Normalize(raylib::Vector3Subtract(camera.target, camera.position));
    int const size = uiFontSize() * 3 / 4;
    for (Figure const& other : shown) {
        raylib::Vector3 const top = raylib::Vector3Add(other.state.position, {0, NAME_OVER_EYE, 0});
        raylib::Vector3 const toward = raylib::Vector3Subtract(top, camera.position);
        // Behind the camera a projection lands on the screen mirrored.
        if (raylib::Vector3DotProduct(toward, forward) <= 0.1f || raylib::Vector3Length(toward) > NAME_REACH) continue;
        raylib::Vector2 const at = raylib::GetWorldToScreen(top, camera);
        int const width = raylib::MeasureText(other.name.c_str(), size);
        drawLabel(other.name, static_cast<int>(at.x) - width / 2, static_cast<int>(at.y) - size, size, raylib::WHITE);
    }
}

void JoinedPlay::drawChat() const {
    int const size = uiFontSize() * 2 / 3;
    int const left = size, line = size * 3 / 2;
    double const now = raylib::GetTime();
    std::vector<std::string> recent;
    for (Line const& l : lines) {
        if (chatOpen || l.until > now) recent.push_back(l.text);
    }
    if (recent.size() > CHAT_LINES) recent.erase(recent.begin(), recent.end() - CHAT_LINES);
    // Above the notices' band, which takes the bottom.
    int y = raylib::GetScreenHeight() - 5 * line - static_cast<int>(recent.size() + 1) * line;
    for (std::string const& text : recent) {
        drawLabel(text, left, y, size, raylib::RAYWHITE);
        y += line;
    }
    if (chatOpen) drawLabel("Say: " + chatText + "_", left, y, size, raylib::YELLOW);
}

void JoinedPlay::drawPlayers() const {
    std::vector<std::string> const names = client->playerNames();
    int const size = uiFontSize() * 3 / 4;
    int const line = size * 3 / 2;
    std::string const title = std::to_string(names.size()) + (names.size() == 1 ? " player on " : " players on ") +
                              server + (client->joined() ? "" : " (left)");
    int width = raylib::MeasureText(title.c_str(), size);
    for (std::string const& name : names) width = std::max(width, raylib::MeasureText(name.c_str(), size));
    int const x = (raylib::GetScreenWidth() - width) / 2;
    int y = raylib::GetScreenHeight() / 6;
    drawLabel(title, x, y, size, raylib::YELLOW);
    for (std::string const& name : names) drawLabel(name, x, y += line, size, raylib::RAYWHITE);
}

Joined joinServer(JoinRequest const& request, LoadingScreen& screen, std::string& problem) {
    std::unique_ptr<JoinedPlay> play = JoinedPlay::join(request, screen, problem);
    if (!play) return {};
    Joined joined;
    joined.scenePath = play->scenePath();
    joined.flySpeed = play->welcome().flySpeed;
    joined.company = std::move(play);
    return joined;
}
