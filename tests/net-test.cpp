#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "bot.h"
#include "client.h"
#include "log-capture.h"
#include "protocol.h"
#include "scene-files.h"
#include "scene-stats.h"
#include "server.h"

namespace fs = std::filesystem;

namespace {

template <class Message>
std::vector<uint8_t> bytesOf(Message const& message) {
    return encode(message);
}

std::vector<ServerMessage> const SERVER_MESSAGES = {
    Welcome{PROTOCOL_VERSION, 7, "ann", 9, 12},
    Refused{"full"},
    SceneStart{3, 1234},
    FileStart{"models/tree.vox", 99},
    FilePart{{1, 2, 3}},
    SceneDone{},
    PlayerJoined{4, "bob", false},
    PlayerLeft{4},
    Snapshot{77, {{4, {{1, 2, 3}, 0.5f, -0.25f, true}}, {5, {{-1, 0, 8}, 0, 0, false}}}},
    ChatLine{4, "hello"},
    Corrected{2, {1, 1, 1}, "too fast"},
};
std::vector<ClientMessage> const CLIENT_MESSAGES = {
    Hello{PROTOCOL_VERSION, "ann", "secret", false},
    Move{3, {{1.5f, 2, -3}, 1, 0.5f, true}},
    Chat{"hi all"},
};

}  // namespace

TEST(Protocol, EveryMessageReadsBackAsWrittenAndNoCutOrLongerPacketReadsAtAll) {
    for (ServerMessage const& message : SERVER_MESSAGES) {
        std::vector<uint8_t> const bytes = encode(message);
        std::optional<ServerMessage> const read = decodeServerMessage(bytes);
        ASSERT_TRUE(read) << "kind " << int(bytes[0]);
        EXPECT_EQ(encode(*read), bytes);
        EXPECT_FALSE(decodeClientMessage(bytes)) << "a server's message read as a client's";
        // A file's part is the rest of its packet, whatever its length.
        if (std::holds_alternative<FilePart>(message)) continue;
        for (size_t cut = 0; cut < bytes.size(); ++cut) {
            EXPECT_FALSE(decodeServerMessage(std::span(bytes).first(cut)))
                << "kind " << int(bytes[0]) << " cut " << cut;
        }
        std::vector<uint8_t> longer = bytes;
        longer.push_back(0);
        EXPECT_FALSE(decodeServerMessage(longer));
    }
    for (ClientMessage const& message : CLIENT_MESSAGES) {
        std::vector<uint8_t> const bytes = encode(message);
        std::optional<ClientMessage> const read = decodeClientMessage(bytes);
        ASSERT_TRUE(read);
        EXPECT_EQ(encode(*read), bytes);
        for (size_t cut = 0; cut < bytes.size(); ++cut) EXPECT_FALSE(decodeClientMessage(std::span(bytes).first(cut)));
        std::vector<uint8_t> longer = bytes;
        longer.push_back(0);
        EXPECT_FALSE(decodeClientMessage(longer));
    }
}

TEST(Protocol, FieldsPastTheirBoundsAreRefused) {
    std::vector<uint8_t> move = encode(Move{0, {{1, 2, 3}, 0, 0, false}});
    // x as NaN, then as infinity.
    for (uint32_t const bits : {0x7fc00000u, 0x7f800000u}) {
        std::vector<uint8_t> bad = move;
        for (int i = 0; i < 4; ++i) bad[3 + i] = static_cast<uint8_t>(bits >> (8 * i));
        EXPECT_FALSE(decodeClientMessage(bad));
    }
    std::vector<uint8_t> flag = move;
    flag.back() = 2;
    EXPECT_FALSE(decodeClientMessage(flag)) << "a flag is 0 or 1";
    // A name longer than a name may be: its length byte says 25.
    std::vector<uint8_t> hello = {1, PROTOCOL_VERSION, 0, 25};
    hello.insert(hello.end(), 25, 'a');
    hello.insert(hello.end(), {0, 1});
    EXPECT_FALSE(decodeClientMessage(hello));
    hello[3] = 24;
    hello.erase(hello.begin() + 4);
    EXPECT_TRUE(decodeClientMessage(hello));
    // A snapshot of as many players as a server holds, and of one more.
    Snapshot full;
    full.figures.resize(MAX_PLAYERS);
    EXPECT_TRUE(decodeServerMessage(encode(full)));
    std::vector<uint8_t> snapshot = {109, 0, 0, 0, 0, static_cast<uint8_t>(MAX_PLAYERS + 1)};
    snapshot.resize(snapshot.size() + (MAX_PLAYERS + 1) * 23, 0);
    EXPECT_FALSE(decodeServerMessage(snapshot));
    // A file's part longer than a part, and any packet past the largest.
    std::vector<uint8_t> part(FILE_PART_BYTES + 2, 0);
    part[0] = 105;
    EXPECT_FALSE(decodeServerMessage(part));
    EXPECT_FALSE(decodeClientMessage(std::vector<uint8_t>(MAX_CLIENT_PACKET_BYTES + 1, 3)));
    EXPECT_FALSE(decodeClientMessage({}));
}

TEST(Protocol, TextIsCleanedOfWhatDoesNotPrint) {
    struct Case {
        std::string given;
        size_t bound;
        std::string kept;
    } const cases[] = {
        {"  ann  ", 24, "ann"},
        {"a\x1b[31mred", 24, "a[31mred"},
        {"tab\there", 24, "tab here"},
        {"del\x7f", 24, "del"},
        {"c1\xc2\x85next", 24, "c1next"},
        {"bad\xff\xfe utf", 24, "bad utf"},
        {"overlong\xc0\xaf", 24, "overlong"},
        {"past\xf5\x80\x80\x80 unicode", 24, "past unicode"},
        {"a\xe0\xa4\x85 \xe0\x80\xaf"
         "b",
         24, "a\xe0\xa4\x85 b"},  // a letter of three bytes; an overlong slash
        {"emoji \xf0\x9f\x99\x82", 24, "emoji \xf0\x9f\x99\x82"},
        {"caf\xc3\xa9", 24, "caf\xc3\xa9"},
        {"caf\xc3\xa9", 4, "caf"},
        {"\n\r\t ", 24, ""},
        {std::string(40, 'x'), 24, std::string(24, 'x')},
    };
    for (Case const& c : cases) EXPECT_EQ(cleanText(c.given, c.bound), c.kept) << printable(c.given);
}

TEST(Protocol, AServerIsNamedAsHostOrHostAndPort) {
    struct Case {
        std::string text, host;
        uint16_t port;  // 0: refused
    } const cases[] = {
        {"example.org", "example.org", DEFAULT_PORT},
        {"127.0.0.1:7421", "127.0.0.1", 7421},
        {"host:65535", "host", 65535},
        {"host:65536", "", 0},
        {"host:0", "", 0},
        {"host:x1", "", 0},
        {"host:", "", 0},
        {":7420", "", 0},
    };
    for (Case const& c : cases) {
        std::string problem;
        std::optional<ServerAddress> const address = parseServerAddress(c.text, problem);
        EXPECT_EQ(address.has_value(), c.port != 0) << c.text;
        if (address) {
            EXPECT_EQ(std::tuple(address->host, address->port), std::tuple(c.host, c.port)) << c.text;
        } else {
            EXPECT_FALSE(problem.empty()) << c.text;
        }
    }
}

TEST(SceneFiles, OnlyTheSceneAndModelsUnderModelsMayBeWritten) {
    struct Case {
        std::string path;
        bool safe;
    } const cases[] = {
        {"scene.txt", true},
        {"models/tree.vox", true},
        {"models/props/lantern.qbt", true},
        {"models/../../.bashrc.vox", false},
        {"models/.hidden.vox", false},
        {"/etc/passwd", false},
        {"models/tree.txt", false},
        {"other/tree.vox", false},
        {"models//tree.vox", false},
        {"models/a b.vox", false},
        {"models/1/2/3/4/5/6/7/8.vox", false},
        {"models/1/2/3/4/5/6/7.vox", true},
        {"scene.txt/", false},
    };
    for (Case const& c : cases) EXPECT_EQ(isSafeScenePath(c.path), c.safe) << c.path;
}

// The fuzz corpus's streams of packets, each two bytes of length and its
// bytes, read as the fuzz target reads them; the seeds among them read whole.
TEST(Protocol, TheFuzzCorpusReadsWithoutHarm) {
    size_t messages = 0;
    for (fs::path const& file : fs::directory_iterator(fs::path(TESSARINE_SOURCE_DIR) / "tests/fuzz/corpus/net")) {
        std::ifstream in(file, std::ios::binary);
        std::vector<uint8_t> const data{std::istreambuf_iterator<char>(in), {}};
        for (size_t at = 0; at + 2 <= data.size();) {
            size_t const length = std::min<size_t>(data[at] | data[at + 1] << 8, data.size() - at - 2);
            std::span<uint8_t const> const packet(data.data() + at + 2, length);
            at += 2 + length;
            messages += decodeClientMessage(packet).has_value() + decodeServerMessage(packet).has_value();
        }
    }
    EXPECT_GE(messages, 16u) << "the seeds' messages at least";
}

namespace {

fs::path freshFolder(std::string const& name) {
    fs::path const folder = fs::temp_directory_path() / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// What a receiver says to a transfer of messages; empty when all went.
std::string transfer(SceneReceiver& receiver, std::vector<ServerMessage> const& messages) {
    for (ServerMessage const& message : messages) {
        std::string problem;
        if (auto const* start = std::get_if<SceneStart>(&message)) problem = receiver.begin(*start);
        if (auto const* file = std::get_if<FileStart>(&message)) problem = receiver.beginFile(*file);
        if (auto const* part = std::get_if<FilePart>(&message)) problem = receiver.add(*part);
        if (std::holds_alternative<SceneDone>(message)) problem = receiver.finish();
        if (!problem.empty()) return problem;
    }
    return "";
}

FilePart partOf(std::string const& text) {
    return {{text.begin(), text.end()}};
}

}  // namespace

TEST(SceneFiles, AReceiverTakesAWholeSetAndRefusesEveryOtherTransfer) {
    fs::path const folder = freshFolder("tessarine-receiver");
    SceneReceiver receiver(folder);
    std::vector<ServerMessage> const good = {SceneStart{2, 9}, FileStart{"scene.txt", 5},
                                             partOf("rect "),  FileStart{"models/a.vox", 4},
                                             partOf("VOX "),   SceneDone{}};
    ASSERT_EQ(transfer(receiver, good), "");
    EXPECT_TRUE(fs::exists(folder / "scene/models/a.vox"));
    EXPECT_EQ(receiver.scenePath(), folder / "scene/scene.txt");

    struct Case {
        char const* what;
        std::vector<ServerMessage> messages;
    } const hostile[] = {
        {"gigabytes", {SceneStart{1, uint64_t{8} << 30}}},
        {"too many files", {SceneStart{MAX_SCENE_FILES + 1, 10}}},
        {"a file past the set", {SceneStart{1, 4}, FileStart{"scene.txt", 5}}},
        {"files past the set",
         {SceneStart{2, 9}, FileStart{"scene.txt", 5}, partOf("rect "), FileStart{"models/a.vox", 5}}},
        {"a model past a model's bound", {SceneStart{1, 1u << 30}, FileStart{"models/a.vox", 17u << 20}}},
        {"out of the folder", {SceneStart{1, 4}, FileStart{"../scene.txt", 4}}},
        {"a part past its file", {SceneStart{1, 8}, FileStart{"scene.txt", 2}, partOf("rect")}},
        {"a part before a file", {SceneStart{1, 8}, partOf("rect")}},
        {"a file before the set", {FileStart{"scene.txt", 2}}},
        {"a file twice", {SceneStart{2, 8}, FileStart{"scene.txt", 0}, FileStart{"scene.txt", 0}}},
        {"a file begun in another", {SceneStart{2, 8}, FileStart{"scene.txt", 4}, FileStart{"models/a.vox", 4}}},
        {"ended early", {SceneStart{1, 4}, FileStart{"scene.txt", 4}, partOf("re"), SceneDone{}}},
        {"no scene file", {SceneStart{1, 4}, FileStart{"models/a.vox", 4}, partOf("VOX "), SceneDone{}}},
    };
    for (Case const& c : hostile) {
        SceneReceiver refusing(folder);
        EXPECT_NE(transfer(refusing, c.messages), "") << c.what;
        // The whole set from before is still there.
        EXPECT_TRUE(fs::exists(folder / "scene/models/a.vox")) << c.what;
    }
    for (fs::path const& path : fs::recursive_directory_iterator(folder)) {
        EXPECT_EQ(fs::relative(path, folder).string().find(".."), std::string::npos) << path;
    }
}

TEST(FigureTrack, AFigureMovesBetweenReportsAndNeverPastTheNewest) {
    FigureTrack track;
    track.add(1.0, {{0, 0, 0}, 3.0f, 0, false});
    track.add(1.1, {{1, 0, 0}, -3.0f, 0, false});
    track.add(1.05, {{9, 9, 9}, 0, 0, false});  // late: left out
    EXPECT_FLOAT_EQ(track.at(1.05).position.x, 0.5f);
    EXPECT_FLOAT_EQ(track.at(0.5).position.x, 0.0f);
    EXPECT_FLOAT_EQ(track.at(5.0).position.x, 1.0f) << "waits at the newest";
    // From 3 to -3 the short way, through pi.
    EXPECT_GT(std::abs(track.at(1.05).yaw), 3.0f);
    for (int i = 0; i < 40; ++i) track.add(2.0 + i, {{float(i), 0, 0}, 0, 0, false});
    EXPECT_FLOAT_EQ(track.at(40.5).position.x, 38.5f);
    EXPECT_FLOAT_EQ(track.at(0.0).position.x, 24.0f) << "older than every report kept: the oldest";

    ServerClock clock;
    EXPECT_DOUBLE_EQ(clock.now(3.0), 3.0);
    clock.heard(10.0, 1.0);
    clock.heard(10.5, 1.7);  // came late
    EXPECT_DOUBLE_EQ(clock.now(2.0), 11.0);
    ServerClock behind;  // a server whose clock reads less than ours
    behind.heard(1.0, 5.0);
    EXPECT_DOUBLE_EQ(behind.now(6.0), 2.0);
}

TEST(SceneFiles, EachGameJoinedToAServerHasAFolderOfItsOwn) {
    fs::path const cache = freshFolder("tessarine-cache");
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    std::string problem;
    std::unique_ptr<JoinedFolder> first = JoinedFolder::claim("example.org:7420", problem);
    std::unique_ptr<JoinedFolder> second = JoinedFolder::claim("example.org:7420", problem);
    ASSERT_TRUE(first && second) << problem;
    EXPECT_EQ(first->path, cache / "tessarine/joined/example.org-7420");
    EXPECT_EQ(second->path, cache / "tessarine/joined/example.org-7420-2");
    first.reset();
    std::unique_ptr<JoinedFolder> again = JoinedFolder::claim("example.org:7420", problem);
    EXPECT_EQ(again->path, cache / "tessarine/joined/example.org-7420") << "taken again once let go";
    unsetenv("XDG_CACHE_HOME");
}

namespace {

using Clock = std::chrono::steady_clock;

// A server of a scene on 127.0.0.1 and a port the system picks.
struct LocalServer {
    explicit LocalServer(std::string const& scene = "assets/scenes/des/demo_scene.txt", ServerOptions options = {}) {
        options.scenePath = scene;
        options.port = 0;
        options.localOnly = true;
        options.timeoutSeconds = 2;
        std::string problem;
        server = Server::start(options, log, problem);
        EXPECT_TRUE(server) << problem;
    }
    ServerAddress address() const { return {"127.0.0.1", server->port()}; }
    std::unique_ptr<Bot> bot(std::string const& name, std::string const& password = "") {
        std::string problem;
        std::unique_ptr<Bot> made = Bot::join(address(), name, problem, password);
        EXPECT_TRUE(made) << problem;
        return made;
    }
    // Serves, and lets the bots live, until the condition holds or ten
    // seconds have gone.
    bool until(std::vector<Bot*> const& bots, std::function<bool()> const& condition) {
        auto const end = Clock::now() + std::chrono::seconds(10);
        while (!condition()) {
            if (Clock::now() > end) return false;
            server->serve(0.005);
            for (Bot* bot : bots) bot->live(0.001);
        }
        return true;
    }
    void serveFor(std::vector<Bot*> const& bots, double seconds) {
        auto const end = Clock::now() + std::chrono::duration<double>(seconds);
        until(bots, [&] { return Clock::now() > end; });
    }
    std::ostringstream log;
    std::unique_ptr<Server> server;
};

bool hasNews(Client& client, std::vector<News>& heard, std::string const& text) {
    for (News const& news : client.takeNews()) heard.push_back(news);
    return std::any_of(heard.begin(), heard.end(),
                       [&](News const& n) { return n.text.find(text) != std::string::npos; });
}

}  // namespace

TEST(Server, PlayersSeeEachOtherHearEachOtherAndAreKeptToTheSpeeds) {
    LocalServer local;
    std::unique_ptr<Bot> ann = local.bot("ann");
    ann->state.position = {3, 1.6f, 4};
    ASSERT_TRUE(local.until({ann.get()}, [&] { return ann->client().joined(); }));
    std::unique_ptr<Bot> bob = local.bot("\aann\x1b");
    ASSERT_TRUE(local.until({ann.get(), bob.get()}, [&] { return bob->client().joined(); }));
    EXPECT_EQ(bob->client().name(), "ann 2") << "control characters stripped, the name made unique";
    ASSERT_TRUE(local.until({ann.get(), bob.get()}, [&] {
        std::vector<Figure> const seen = bob->client().figures();
        return seen.size() == 1 && seen[0].name == "ann" && seen[0].state.position.x == 3.0f;
    }));
    EXPECT_NE(local.log.str().find("ann joined from 127.0.0.1:"), std::string::npos);
    EXPECT_NE(local.log.str().find(" (1 player)\nann 2 joined"), std::string::npos) << local.log.str();
    EXPECT_NE(local.log.str().find(" (2 players)"), std::string::npos);
    EXPECT_GT(local.server->counts().bytesSent, local.server->counts().ticks) << "a snapshot a tick, at least";

    // Chat goes to everyone; a flood is cut short.
    std::vector<News> heard;
    for (int i = 0; i < 20; ++i) bob->client().sendChat("line " + std::to_string(i));
    ASSERT_TRUE(local.until({ann.get(), bob.get()}, [&] { return hasNews(bob->client(), heard, "too fast"); }));
    std::vector<News> annHeard;
    ASSERT_TRUE(local.until({ann.get(), bob.get()}, [&] { return hasNews(ann->client(), annHeard, "line 4"); }));
    // The warning came of the sixth line.
    EXPECT_EQ(local.log.str().find("line 5"), std::string::npos) << local.log.str();
    EXPECT_EQ(std::count_if(heard.begin(), heard.end(),
                            [](News const& n) { return n.text.find("too fast") != std::string::npos; }),
              1);

    // A jump of 50 units is put back; walking on from there is not, even
    // diagonally up the steepest stairs; nor is the reset key's way back to
    // the start. Rising 10 units at once is put back.
    raylib::Vector3 const before = ann->state.position;
    ann->state.position.x += 50;
    ASSERT_TRUE(local.until({ann.get(), bob.get()}, [&] { return local.server->counts().corrections == 1; }));
    ASSERT_TRUE(local.until({ann.get(), bob.get()}, [&] { return ann->state.position.x == before.x; }));
    for (int i = 0; i < 45; ++i) {
        float const step = MOVE_SPEED / 30;
        ann->state.position = raylib::Vector3Add(ann->state.position, {step, 1.24f * std::sqrt(2.0f) * step, step});
        local.serveFor({ann.get(), bob.get()}, 1.0 / 30);
    }
    ann->state.position = START_POSITION;
    EXPECT_TRUE(local.until({ann.get(), bob.get()}, [&] {
        std::vector<Figure> const seen = bob->client().figures();
        return seen.size() == 1 && raylib::Vector3Equals(seen[0].state.position, START_POSITION);
    }));
    EXPECT_EQ(local.server->counts().corrections, 1u);
    ann->state.position.y += 10;
    EXPECT_TRUE(local.until({ann.get(), bob.get()}, [&] { return local.server->counts().corrections == 2; }));
}

TEST(Server, AJoinedSceneIsTheSceneItServes) {
    LocalServer local("assets/scenes/building/building.txt");
    fs::path const folder = freshFolder("tessarine-joined");
    std::string problem;
    std::unique_ptr<Client> game =
        Client::join(local.address(), Hello{.name = "game", .password = ""}, folder, problem);
    ASSERT_TRUE(game) << problem;
    auto const end = Clock::now() + std::chrono::seconds(20);
    bool whole = false;
    while (!whole && !game->ended() && Clock::now() < end) {
        local.server->serve(0.002);
        game->service(0.002);
        whole = game->takeNewScene();
    }
    ASSERT_TRUE(whole) << game->endedWhy();
    LogCapture quiet;
    SceneStats const served = measureScene("assets/scenes/building/building.txt");
    SceneStats const joined = measureScene(game->scenePath().string());
    EXPECT_NE(served.digest, 0u);
    EXPECT_EQ(joined.digest, served.digest);
    EXPECT_EQ(joined.voxels, served.voxels);
}

namespace {

// A peer of ENet that says whatever a test has it say, as no game would.
struct RawPeer {
    explicit RawPeer(ServerAddress const& address) {
        std::string problem;
        host = EnetHost::connect(address.host, address.port, problem);
        // Room to send what the server must refuse.
        host->get()->maximumPacketSize = 1 << 20;
    }
    void say(std::vector<uint8_t> const& bytes, uint8_t channel = RELIABLE_CHANNEL) {
        sendPacket(host->server(), channel, bytes);
        enet_host_flush(host->get());
    }
    void pump() {
        ENetEvent event;
        while (enet_host_service(host->get(), &event, 0) > 0) {
            if (event.type == ENET_EVENT_TYPE_CONNECT) connected = true;
            if (event.type == ENET_EVENT_TYPE_DISCONNECT) dropped = true;
            if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
        }
    }
    std::unique_ptr<EnetHost> host;
    bool connected = false, dropped = false;
};

size_t residentBytes() {
    std::ifstream status("/proc/self/statm");
    size_t pages = 0, resident = 0;
    status >> pages >> resident;
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

}  // namespace

TEST(Server, HostilePeersAreDroppedAndThePlayersPlayOn) {
    LocalServer local;
    std::unique_ptr<Bot> ann = local.bot("ann"), bob = local.bot("bob");
    std::vector<Bot*> const players{ann.get(), bob.get()};
    ASSERT_TRUE(local.until(players, [&] { return ann->client().joined() && bob->client().joined(); }));
    size_t const before = residentBytes();

    // Datagrams that are not ENet's at all.
    int const udp = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(local.server->port());
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i) {
        std::vector<uint8_t> noise(1 + random() % 1400);
        for (uint8_t& byte : noise) byte = static_cast<uint8_t>(random());
        sendto(udp, noise.data(), noise.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
        if (i % 100 == 0) local.serveFor(players, 0.002);
    }
    close(udp);

    // Peers that speak ENet but not the game: each is dropped.
    std::vector<uint8_t> hello = encode(Hello{PROTOCOL_VERSION, "eve", "", false});
    std::vector<std::vector<uint8_t>> const hostile = {
        {0xff, 1, 2, 3},                                        // no message at all
        std::vector<uint8_t>(hello.begin(), hello.end() - 1),   // cut short
        std::vector<uint8_t>(200000, 1),                        // far too large
        encode(Chat{"before greeting"}),                        // out of turn
        encode(SceneStart{1, uint64_t{8} << 30}),               // a server's message, claiming gigabytes
        encode(Hello{PROTOCOL_VERSION + 1, "eve", "", false}),  // another version
    };
    std::vector<std::unique_ptr<RawPeer>> peers;
    for (std::vector<uint8_t> const& bytes : hostile) {
        auto peer = std::make_unique<RawPeer>(local.address());
        ASSERT_TRUE(local.until(players, [&] { return peer->pump(), peer->connected; }));
        peer->say(bytes);
        peers.push_back(std::move(peer));
    }
    // One greets, then floods the server with moves.
    auto flood = std::make_unique<RawPeer>(local.address());
    ASSERT_TRUE(local.until(players, [&] { return flood->pump(), flood->connected; }));
    flood->say(hello);
    for (int i = 0; i < 1000; ++i) flood->say(encode(Move{0, {{1, 2, 3}, 0, 0, false}}), MOVES_CHANNEL);
    peers.push_back(std::move(flood));
    // One greets, then says what is no message, on the moves' channel.
    auto liar = std::make_unique<RawPeer>(local.address());
    ASSERT_TRUE(local.until(players, [&] { return liar->pump(), liar->connected; }));
    liar->say(hello);
    liar->say({2, 0, 0}, MOVES_CHANNEL);
    peers.push_back(std::move(liar));
    EXPECT_TRUE(local.until(players, [&] {
        for (auto const& peer : peers) peer->pump();
        return std::all_of(peers.begin(), peers.end(), [](auto const& p) { return p->dropped; });
    })) << local.log.str();
    // One greets and then vanishes without a word: its figure goes within the timeout.
    std::vector<News> heard;
    {
        RawPeer ghost(local.address());
        ASSERT_TRUE(local.until(players, [&] { return ghost.pump(), ghost.connected; }));
        ghost.say(encode(Hello{PROTOCOL_VERSION, "ghost", "", false}));
        ghost.say(encode(Move{0, {{1, 2, 3}, 0, 0, false}}), MOVES_CHANNEL);
        ASSERT_TRUE(local.until(players, [&] { return hasNews(ann->client(), heard, "ghost joined"); }));
    }
    auto const vanished = Clock::now();
    ASSERT_TRUE(local.until(players, [&] { return hasNews(ann->client(), heard, "ghost left"); }));
    EXPECT_LT(Clock::now() - vanished, std::chrono::seconds(8));

    // The players play on, and the server kept nothing of it all.
    ann->state.position = {2, 0, 2};
    EXPECT_TRUE(local.until(players, [&] {
        std::vector<Figure> const seen = bob->client().figures();
        return seen.size() == 1 && seen[0].state.position.x == 2.0f;
    }));
    EXPECT_EQ(local.server->players(), 2u);
    EXPECT_GE(local.server->counts().refusedMessages, 6u);
    EXPECT_NE(local.log.str().find("too many messages"), std::string::npos);
    EXPECT_LT(residentBytes(), before + (32u << 20));
}

TEST(Server, AScenePlayersCouldNotPlayIsNotServed) {
    fs::path const folder = freshFolder("tessarine-unserved");
    struct Case {
        std::string text, said;
    } const cases[] = {
        {"box (0, 0, 0)\n", "unknown object: box"},
        {"model ../../secret, (0, 0, 0)\n", "leaves the models folders"},
    };
    for (Case const& c : cases) {
        std::ofstream(folder / "scene.txt") << c.text;
        std::ostringstream log;
        std::string problem;
        ServerOptions options;
        options.scenePath = (folder / "scene.txt").string();
        options.port = 0;
        options.localOnly = true;
        EXPECT_FALSE(Server::start(options, log, problem)) << c.text;
        EXPECT_NE(problem.find(c.said), std::string::npos) << problem;
        EXPECT_NE(problem.find("cannot be served"), std::string::npos) << problem;
    }
}

TEST(Server, APasswordAndAFullServerKeepOthersOut) {
    ServerOptions options;
    options.password = "swordfish";
    options.maxPlayers = 1;
    LocalServer local("assets/scenes/des/demo_scene.txt", options);
    std::unique_ptr<Bot> wrong = local.bot("wrong", "sword"), right = local.bot("right", "swordfish");
    ASSERT_TRUE(
        local.until({wrong.get(), right.get()}, [&] { return wrong->client().ended() && right->client().joined(); }));
    EXPECT_NE(wrong->client().endedWhy().find("password"), std::string::npos);
    std::unique_ptr<Bot> late = local.bot("late", "swordfish");
    ASSERT_TRUE(local.until({right.get(), late.get()}, [&] { return late->client().ended(); }));
    EXPECT_NE(late->client().endedWhy().find("full"), std::string::npos);
    EXPECT_EQ(local.log.str().find("swordfish"), std::string::npos) << "the password is never said";
    // However long it serves, no faster than its ticks.
    uint64_t const ticks = local.server->counts().ticks;
    local.server->serve(0.5);
    EXPECT_LE(local.server->counts().ticks - ticks, 0.5 * TICKS_PER_SECOND + 1);
}

TEST(Server, ASceneReadAgainGoesToEveryoneAndABrokenOneDoesNot) {
    fs::path const folder = freshFolder("tessarine-served");
    fs::path const scene = folder / "scene.txt";
    std::ofstream(scene) << "rect (0, -0.5, 0), (20, 1, 20), green\n";
    LocalServer local(scene.string());
    fs::path const received = freshFolder("tessarine-received");
    std::string problem;
    std::unique_ptr<Client> game =
        Client::join(local.address(), Hello{.name = "game", .password = ""}, received, problem);
    auto const nextScene = [&](double seconds = 10) {
        auto const end = Clock::now() + std::chrono::duration<double>(seconds);
        while (!game->ended() && Clock::now() < end) {
            local.server->serve(0.002);
            game->service(0.002);
            if (game->takeNewScene()) return true;
        }
        return false;
    };
    ASSERT_TRUE(nextScene());
    std::ofstream(scene) << "rect (0, -0.5, 0), (20, 1, 20), green\nrect (0, 1, -5), (1, 1, 1), red\n";
    ASSERT_TRUE(local.server->reload());
    ASSERT_TRUE(nextScene());
    std::ifstream in(game->scenePath());
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(in), {}).find("red"), std::string::npos);
    std::ofstream(scene) << "rect (0, -0.5, 0), (20, 1\n";
    EXPECT_FALSE(local.server->reload());
    EXPECT_NE(local.log.str().find("Scene not reloaded"), std::string::npos);
    EXPECT_FALSE(nextScene(1)) << "nothing is sent";
    EXPECT_TRUE(game->joined());
}
