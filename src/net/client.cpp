#include "client.h"

#include <algorithm>
#include <charconv>

#include "server.h"

namespace {

// How many lines of news are kept for a player who does not look.
constexpr size_t KEPT_NEWS = 64;
// How long a connection may take, and how long the server may be silent,
// in milliseconds.
constexpr enet_uint32 CONNECT_MS = 5000, SILENCE_MS = 4000;

}  // namespace

std::optional<ServerAddress> parseServerAddress(std::string const& text, std::string& problem) {
    ServerAddress address;
    size_t const colon = text.rfind(':');
    address.host = text.substr(0, colon);
    if (colon != std::string::npos) {
        std::string const port = text.substr(colon + 1);
        unsigned value = 0;
        auto const [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (error != std::errc() || end != port.data() + port.size() || value == 0 || value > 65535) {
            return problem = "the port of " + text + " is not a number from 1 to 65535", std::nullopt;
        }
        address.port = static_cast<uint16_t>(value);
    }
    if (address.host.empty()) return problem = "no server named in " + text + " (HOST or HOST:PORT)", std::nullopt;
    return address;
}

std::unique_ptr<Client> Client::join(ServerAddress const& address, Hello hello, std::filesystem::path folder,
                                     std::string& problem) {
    std::unique_ptr<Client> client(new Client());
    client->host = EnetHost::connect(address.host, address.port, problem);
    if (!client->host) return nullptr;
    enet_peer_timeout(client->host->server(), 0, SILENCE_MS / 2, SILENCE_MS);
    client->wantsFiles = !folder.empty();
    hello.wantsFiles = client->wantsFiles;
    client->hello = std::move(hello);
    client->receiver = SceneReceiver(std::move(folder));
    return client;
}

Client::~Client() {
    if (!connected || over) return;
    enet_peer_disconnect_now(host->server(), 0);
    enet_host_flush(host->get());
}

double Client::now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

void Client::service(double waitSeconds) {
    if (over) return;
    if (!connected && now() * 1000 > CONNECT_MS) return end("the server does not answer");
    ENetEvent event;
    int serviced = enet_host_service(host->get(), &event, static_cast<enet_uint32>(waitSeconds * 1000));
    while (serviced > 0 && !over) {
        if (event.type == ENET_EVENT_TYPE_CONNECT) {
            connected = true;
            sendPacket(host->server(), RELIABLE_CHANNEL, encode(hello));
        } else if (event.type == ENET_EVENT_TYPE_DISCONNECT) {
            end(welcomed ? "the server was lost" : "the server does not answer");
        } else if (event.type == ENET_EVENT_TYPE_RECEIVE) {
            std::optional<ServerMessage> const message =
                decodeServerMessage({event.packet->data, event.packet->dataLength});
            enet_packet_destroy(event.packet);
            if (message)
                received(*message);
            else
                end("the server sent what is not a message");
        }
        serviced = over ? 0 : enet_host_check_events(host->get(), &event);
    }
    if (!over) enet_host_flush(host->get());
}

void Client::received(ServerMessage const& message) {
    if (auto const* welcome = std::get_if<Welcome>(&message)) {
        if (welcomed) return end("the server greeted twice");
        welcomed = true;
        greeting = *welcome;
        ownName = cleanText(welcome->name, MAX_NAME_BYTES);
    } else if (auto const* refused = std::get_if<Refused>(&message)) {
        end("refused: " + cleanText(refused->reason, MAX_REASON_BYTES));
    } else if (!welcomed) {
        end("the server spoke before it greeted");
    } else if (auto const* joined = std::get_if<PlayerJoined>(&message)) {
        if (others.size() >= MAX_PLAYERS || joined->id == greeting.id) return;
        others[joined->id].name = cleanText(joined->name, MAX_NAME_BYTES);
        if (joined->arriving) tell(News::JOINED, others[joined->id].name + " joined");
    } else if (auto const* left = std::get_if<PlayerLeft>(&message)) {
        auto const found = others.find(left->id);
        if (found == others.end()) return;
        tell(News::LEFT, found->second.name + " left");
        others.erase(found);
    } else if (auto const* snapshot = std::get_if<Snapshot>(&message)) {
        double const sent = snapshot->time / 1000.0;
        clock.heard(sent, now());
        for (Snapshot::Figure const& figure : snapshot->figures) {
            auto const found = others.find(figure.id);
            if (found == others.end()) continue;
            found->second.track.add(sent, figure.state);
        }
    } else if (auto const* line = std::get_if<ChatLine>(&message)) {
        std::string const text = cleanText(line->text, MAX_REASON_BYTES);
        tell(News::CHAT, line->from == SERVER_ID ? text : nameOf(line->from) + ": " + text);
    } else if (auto const* corrected = std::get_if<Corrected>(&message)) {
        corrections = corrected->corrections;
        correction = corrected->position;
        tell(News::CORRECTED, "The server put you back: " + cleanText(corrected->reason, MAX_REASON_BYTES));
    } else {
        fileMessage(message);
    }
}

void Client::fileMessage(ServerMessage const& message) {
    std::string problem;
    if (!wantsFiles) {
        problem = "the server sent files that were not asked for";
    } else if (auto const* start = std::get_if<SceneStart>(&message)) {
        problem = receiver.begin(*start);
    } else if (auto const* file = std::get_if<FileStart>(&message)) {
        problem = receiver.beginFile(*file);
    } else if (auto const* part = std::get_if<FilePart>(&message)) {
        problem = receiver.add(*part);
    } else if (std::holds_alternative<SceneDone>(message)) {
        problem = receiver.finish();
        newScene = problem.empty();
    } else {
        problem = "the server sent a second greeting";
    }
    if (!problem.empty()) end(problem);
}

void Client::end(std::string const& reason) {
    if (over) return;
    over = true;
    why = reason;
    others.clear();
    if (connected) enet_peer_disconnect_now(host->server(), 0);
    tell(News::ENDED, reason);
}

void Client::tell(News::Kind kind, std::string const& text) {
    news.push_back({kind, text});
    if (news.size() > KEPT_NEWS) news.pop_front();
}

std::string Client::nameOf(PlayerId id) const {
    auto const found = others.find(id);
    if (found != others.end()) return found->second.name;
    return id == greeting.id ? ownName : "someone";
}

bool Client::takeNewScene() {
    return std::exchange(newScene, false);
}

void Client::sendMove(PlayerState const& state) {
    if (!joined()) return;
    double const at = now();
    if (lastMove >= 0 && at - lastMove < 1 / TICKS_PER_SECOND) return;
    lastMove = at;
    sendPacket(host->server(), MOVES_CHANNEL, encode(Move{corrections, state}));
}

void Client::sendChat(std::string const& text) {
    std::string const line = cleanText(text, MAX_CHAT_BYTES);
    if (joined() && !line.empty()) sendPacket(host->server(), RELIABLE_CHANNEL, encode(Chat{line}));
}

std::optional<raylib::Vector3> Client::takeCorrection() {
    return std::exchange(correction, std::nullopt);
}

std::vector<News> Client::takeNews() {
    std::vector<News> taken(news.begin(), news.end());
    news.clear();
    return taken;
}

std::vector<Figure> Client::figures() const {
    double const shown = clock.now(now()) - FIGURE_DELAY;
    std::vector<Figure> drawn;
    for (auto const& [id, other] : others) {
        if (!other.track.empty()) drawn.push_back({id, other.name, other.track.at(shown)});
    }
    return drawn;
}

std::vector<std::string> Client::playerNames() const {
    std::vector<std::string> names{ownName};
    for (auto const& [id, other] : others) names.push_back(other.name);
    return names;
}
