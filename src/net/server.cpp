#include "server.h"

#include <algorithm>
#include <cmath>

namespace {

// How long a client has to greet before it is dropped, in seconds.
constexpr double GREETING_SECONDS = 5;
// A client may say CHAT_BURST lines at once, then one every
// 1 / CHAT_PER_SECOND seconds.
constexpr double CHAT_BURST = 5, CHAT_PER_SECOND = 0.5;
// How much of a second's movement a client may save up, for moves that
// come late and then together, how much faster than the speed a client's
// clock may let it go, and the distance a move may err by.
constexpr double SAVED_SECONDS = 1.0;
constexpr double SPEED_SLACK = 1.25;
constexpr double MOVE_LEEWAY = 1.0;
// Walking, a rise counts as half as far as a step along the ground: stairs
// climb at most 1.24 units a unit walked (a step of 0.31 in 0.25), which
// the slack lets through.
constexpr double RISE_SHARE = 0.5;
// The messages a client may send at once, and then a second.
constexpr double MESSAGE_BURST = 240, MESSAGES_PER_SECOND = 120;

std::string describe(ENetAddress const& address) {
    char name[64] = "?";
    enet_address_get_host_ip(&address, name, sizeof name);
    return std::string(name) + ":" + std::to_string(address.port);
}

// Compares without stopping at the first difference, so that the time a
// refusal takes tells nothing of the password.
bool samePassword(std::string const& given, std::string const& wanted) {
    unsigned char differs = given.size() == wanted.size() ? 0 : 1;
    for (size_t i = 0; i < given.size(); ++i) differs |= given[i] ^ wanted[i % std::max<size_t>(wanted.size(), 1)];
    return differs == 0;
}

// How far a move goes, as the speeds count it: falling is gravity's.
double moveDistance(raylib::Vector3 from, raylib::Vector3 to, bool flying) {
    if (flying) return raylib::Vector3Distance(from, to);
    return std::hypot(to.x - from.x, to.z - from.z, RISE_SHARE * std::max(0.0f, to.y - from.y));
}

// What a client may still send of something limited: up to burst at once,
// filled again at so many a second.
struct Budget {
    double left, at = 0;
    // Whether one more may go now.
    bool take(double now, double burst, double perSecond) {
        left = std::min(burst, left + (now - at) * perSecond);
        at = now;
        if (left < 1) return false;
        left -= 1;
        return true;
    }
};

}  // namespace

struct Server::Client {
    PlayerId id = SERVER_ID;
    std::string name;
    std::string address;
    double connectedAt = 0;
    bool welcomed = false;
    bool wantsFiles = true;
    // Where it is, as last allowed, and when it said so.
    bool placed = false;
    PlayerState state;
    double movedAt = 0;
    // The distance it may still go before it is too fast.
    double allowance = 0;
    uint16_t corrections = 0;
    Budget chat{CHAT_BURST};
    bool toldToWait = false;
    Budget messages{MESSAGE_BURST};
    // The scene's files it is being sent: the set, the file and the byte.
    std::shared_ptr<ServedScene const> sending;
    size_t file = 0, offset = 0;
    bool fileStarted = false;
};

std::unique_ptr<Server> Server::start(ServerOptions options, std::ostream& log, std::string& problem) {
    std::unique_ptr<Server> server(new Server(std::move(options), log));
    auto scene = std::make_shared<ServedScene>(readServedScene(server->options.scenePath, server->options.assetRoot));
    if (scene->files.empty()) {
        problem = scene->load.report() + "the scene " + server->options.scenePath + " cannot be served";
        return nullptr;
    }
    server->serveScene(std::move(scene));
    size_t const peers = std::min(server->options.maxPlayers, MAX_PLAYERS) + 4;  // room to refuse the next ones
    server->host = EnetHost::listen(server->options.port, peers, server->options.localOnly, problem);
    if (!server->host) return nullptr;
    log << "Serving " << server->options.scenePath << " on port " << server->port() << ": "
        << server->scene->files.size() << (server->scene->files.size() == 1 ? " file, " : " files, ")
        << server->scene->bytes() << " bytes" << std::endl;
    return server;
}

Server::Server(ServerOptions options, std::ostream& log) : options(std::move(options)), log(log) {}

Server::~Server() {
    // Everyone is told, as far as a last flush can.
    if (!host) return;
    for (auto const& [peer, client] : clients) enet_peer_disconnect_now(peer, 0);
    enet_host_flush(host->get());
}

double Server::now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

std::string Server::playerCount() const {
    return "(" + std::to_string(players()) + (players() == 1 ? " player)" : " players)");
}

size_t Server::players() const {
    return static_cast<size_t>(
        std::count_if(clients.begin(), clients.end(), [](auto const& entry) { return entry.second.welcomed; }));
}

void Server::serve(double seconds) {
    double const end = now() + seconds;
    for (double at = now(); at < end; at = now()) {
        if (at >= nextTick) {
            tick();
            ++counted.ticks;
            nextTick = std::max(nextTick + 1 / TICKS_PER_SECOND, at);
        }
        double const wait = std::max(0.0, std::min(nextTick, end) - now());
        ENetEvent event;
        int serviced = enet_host_service(host->get(), &event, static_cast<enet_uint32>(wait * 1000));
        while (serviced > 0) {
            handle(event);
            serviced = enet_host_check_events(host->get(), &event);
        }
    }
}

void Server::handle(ENetEvent const& event) {
    switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT: connected(event.peer); break;
        case ENET_EVENT_TYPE_DISCONNECT: disconnected(event.peer); break;
        case ENET_EVENT_TYPE_RECEIVE:
            received(event.peer, event.packet);
            enet_packet_destroy(event.packet);
            break;
        case ENET_EVENT_TYPE_NONE: break;
    }
}

void Server::connected(ENetPeer* peer) {
    auto const timeout = static_cast<enet_uint32>(options.timeoutSeconds * 1000);
    enet_peer_timeout(peer, 0, timeout / 2, timeout);
    Client& client = clients[peer];
    client.address = describe(peer->address);
    client.connectedAt = now();
}

void Server::disconnected(ENetPeer* peer) {
    auto const found = clients.find(peer);
    if (found == clients.end()) return;
    Client const client = std::move(found->second);
    clients.erase(found);
    if (!client.welcomed) return;
    sendAll(PlayerLeft{client.id});
    log << client.name << " left " << playerCount() << std::endl;
}

void Server::received(ENetPeer* peer, ENetPacket const* packet) {
    auto const found = clients.find(peer);
    if (found == clients.end()) return;
    Client& client = found->second;
    // A game sends TICKS_PER_SECOND moves a second and a few lines: many
    // times that is a flood.
    if (!client.messages.take(now(), MESSAGE_BURST, MESSAGES_PER_SECOND)) {
        ++counted.refusedMessages;
        log << "Dropped " << (client.welcomed ? client.name : client.address) << ": it sent too many messages"
            << std::endl;
        refuse(peer, "the server had more messages from this game than any game sends");
        return;
    }
    std::optional<ClientMessage> const message = decodeClientMessage({packet->data, packet->dataLength});
    // A client that says what no game says is not a game.
    bool const greeting = message && std::holds_alternative<Hello>(*message);
    if (!message || greeting == client.welcomed) {
        ++counted.refusedMessages;
        log << "Dropped " << (client.welcomed ? client.name : client.address) << ": it sent what is not a message"
            << std::endl;
        refuse(peer, "the server did not understand a message: is the game of another version?");
        return;
    }
    if (auto const* hello = std::get_if<Hello>(&*message))
        greet(peer, client, *hello);
    else if (auto const* move = std::get_if<Move>(&*message))
        moved(peer, client, *move);
    else
        chatted(peer, client, std::get<Chat>(*message));
}

void Server::greet(ENetPeer* peer, Client& client, Hello const& hello) {
    if (hello.version != PROTOCOL_VERSION) {
        return refuse(peer, "the server speaks version " + std::to_string(PROTOCOL_VERSION) +
                                " of the game's protocol, and this game version " + std::to_string(hello.version));
    }
    if (!options.password.empty() && !samePassword(hello.password, options.password)) {
        log << "Refused " << client.address << ": wrong password" << std::endl;
        return refuse(peer, "the server's password is not the one given");
    }
    if (players() >= options.maxPlayers) {
        return refuse(peer, "the server is full (" + std::to_string(options.maxPlayers) + " players)");
    }
    std::string const wanted = cleanText(hello.name, MAX_NAME_BYTES);
    client.id = freeId();
    client.name = uniqueName(wanted.empty() ? "player " + std::to_string(client.id) : wanted);
    client.welcomed = true;
    client.wantsFiles = hello.wantsFiles;
    send(peer, Welcome{PROTOCOL_VERSION, client.id, client.name, options.walkSpeed, options.flySpeed});
    // It hears of those already here; they hear of it.
    for (auto const& [other, known] : clients) {
        if (other == peer || !known.welcomed) continue;
        send(peer, PlayerJoined{known.id, known.name, false});
        send(other, PlayerJoined{client.id, client.name, true});
    }
    if (client.wantsFiles) client.sending = scene;
    log << client.name << " joined from " << client.address << " " << playerCount() << std::endl;
}

void Server::moved(ENetPeer* peer, Client& client, Move const& move) {
    if (move.corrections != client.corrections) return;  // made before its last correction
    double const at = now();
    if (!client.placed) {
        client.placed = true;
        client.state = move.state;
        client.movedAt = at;
        return;
    }
    bool const flying = move.state.flying;
    // Along each axis at the speed: a diagonal is faster, and flying adds up and down.
    double const speed =
        SPEED_SLACK * (flying ? options.flySpeed * std::sqrt(3.0) : options.walkSpeed * std::sqrt(2.0));
    client.allowance = std::min(client.allowance + speed * (at - client.movedAt), speed * SAVED_SECONDS);
    client.movedAt = at;
    double const distance = moveDistance(client.state.position, move.state.position, flying);
    // The reset key brings a player back to the start from anywhere.
    bool const reset = raylib::Vector3Distance(move.state.position, startEye) < 0.01f;
    bool const flyingRefused = flying && options.flySpeed <= 0;
    if (flyingRefused || (distance > client.allowance + MOVE_LEEWAY && !reset)) {
        ++client.corrections;
        ++counted.corrections;
        log << "Corrected " << client.name << ": " << (flyingRefused ? "flying" : "too fast") << std::endl;
        send(peer,
             Corrected{client.corrections, client.state.position,
                       flyingRefused ? "the server does not allow flying" : "you moved faster than the server allows"});
        client.allowance = 0;
        return;
    }
    client.allowance = std::max(0.0, client.allowance - distance);
    client.state = move.state;
}

void Server::chatted(ENetPeer* peer, Client& client, Chat const& chat) {
    std::string const text = cleanText(chat.text, MAX_CHAT_BYTES);
    if (text.empty()) return;
    if (!client.chat.take(now(), CHAT_BURST, CHAT_PER_SECOND)) {
        // Said once for a flood, not once a line.
        if (!client.toldToWait) send(peer, ChatLine{SERVER_ID, "You are chatting too fast: a line every two seconds"});
        client.toldToWait = true;
        return;
    }
    client.toldToWait = false;
    log << client.name << ": " << text << std::endl;
    sendAll(ChatLine{client.id, text});
}

void Server::refuse(ENetPeer* peer, std::string const& reason) {
    send(peer, Refused{reason});
    // The refusal goes first; the peer is dropped once it has gone, and
    // the others hear of it now.
    enet_peer_disconnect_later(peer, 0);
    disconnected(peer);
}

void Server::tick() {
    double const at = now();
    Snapshot snapshot{static_cast<uint32_t>(at * 1000), {}};
    for (auto const& [peer, client] : clients) {
        if (client.welcomed && client.placed) snapshot.figures.push_back({client.id, client.state});
    }
    std::vector<ENetPeer*> late;
    for (auto& [peer, client] : clients) {
        if (!client.welcomed) {
            if (at - client.connectedAt > GREETING_SECONDS) late.push_back(peer);
            continue;
        }
        stream(peer, client);
        Snapshot others{snapshot.time, {}};
        for (Snapshot::Figure const& figure : snapshot.figures) {
            if (figure.id != client.id) others.figures.push_back(figure);
        }
        std::vector<uint8_t> const bytes = encode(others);
        sendPacket(peer, MOVES_CHANNEL, bytes);
        counted.bytesSent += bytes.size();
    }
    for (ENetPeer* peer : late) {
        log << "Dropped " << clients[peer].address << ": it did not greet" << std::endl;
        enet_peer_disconnect_now(peer, 0);
        clients.erase(peer);
    }
}

void Server::stream(ENetPeer* peer, Client& client) {
    while (client.sending && bytesInFlight(peer) < FILE_BYTES_IN_FLIGHT) {
        std::vector<SceneFile> const& files = client.sending->files;
        if (client.file == 0 && client.offset == 0 && !client.fileStarted) {
            send(peer, SceneStart{static_cast<uint16_t>(files.size()), client.sending->bytes()});
        }
        if (client.file == files.size()) {
            send(peer, SceneDone{});
            client.sending.reset();
            break;
        }
        SceneFile const& file = files[client.file];
        if (!client.fileStarted) {
            send(peer, FileStart{file.path, file.bytes.size()});
            client.fileStarted = true;
        }
        size_t const length = std::min(FILE_PART_BYTES, file.bytes.size() - client.offset);
        if (length > 0) {
            auto const from = file.bytes.begin() + static_cast<std::ptrdiff_t>(client.offset);
            send(peer, FilePart{{from, from + static_cast<std::ptrdiff_t>(length)}});
            client.offset += length;
        }
        if (client.offset == file.bytes.size()) {
            ++client.file;
            client.offset = 0;
            client.fileStarted = false;
        }
    }
}

void Server::send(ENetPeer* peer, ServerMessage const& message) {
    std::vector<uint8_t> const bytes = encode(message);
    sendPacket(peer, RELIABLE_CHANNEL, bytes);
    counted.bytesSent += bytes.size();
}

void Server::sendAll(ServerMessage const& message) {
    for (auto const& [peer, client] : clients) {
        if (client.welcomed) send(peer, message);
    }
}

PlayerId Server::freeId() {
    auto const taken = [&](PlayerId id) {
        return id == SERVER_ID ||
               std::any_of(clients.begin(), clients.end(), [&](auto const& entry) { return entry.second.id == id; });
    };
    // Numbers go up, and after 65535 joins round again past those in use.
    do ++lastId;
    while (taken(lastId));
    return lastId;
}

std::string Server::uniqueName(std::string const& wanted) const {
    auto const taken = [&](std::string const& name) {
        return std::any_of(clients.begin(), clients.end(),
                           [&](auto const& entry) { return entry.second.welcomed && entry.second.name == name; });
    };
    if (!taken(wanted)) return wanted;
    for (int copy = 2;; ++copy) {
        std::string const suffix = " " + std::to_string(copy);
        std::string const name = wanted.substr(0, MAX_NAME_BYTES - suffix.size()) + suffix;
        if (!taken(name)) return name;
    }
}

void Server::serveScene(std::shared_ptr<ServedScene> fresh) {
    // Warnings are said as the scene tool's check says them.
    log << fresh->load.report();
    saves.watch(fresh->load.files, true);
    startEye = fresh->load.world->start.eye;
    fresh->load.world.reset();  // only the game plays it
    scene = std::move(fresh);
}

bool Server::reload() {
    auto fresh = std::make_shared<ServedScene>(readServedScene(options.scenePath, options.assetRoot));
    if (fresh->files.empty()) {
        // Its files stay watched, so that the save that mends it is seen.
        saves.watch(fresh->load.files, true);
        log << fresh->load.report() << "Scene not reloaded: the players keep the one they have" << std::endl;
        return false;
    }
    serveScene(std::move(fresh));
    for (auto& [peer, client] : clients) {
        if (!client.welcomed || !client.wantsFiles) continue;
        client.sending = scene;
        client.file = client.offset = 0;
        client.fileStarted = false;
    }
    log << "Scene reloaded for everyone: " << scene->files.size() << " files, " << scene->bytes() << " bytes"
        << std::endl;
    return true;
}

bool Server::sceneSaved() {
    return saves.settled(now());
}
