#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "raylib-api.h"

// The messages a server and its clients exchange, and their bytes. Every
// message is one packet: its kind's byte, then its fields, little-endian;
// a text is its length (one byte) and its bytes. Every field is bounded,
// and a packet that breaks a bound, ends early or goes on past its last
// field is not a message at all.

inline constexpr uint16_t PROTOCOL_VERSION = 1;
inline constexpr uint16_t DEFAULT_PORT = 7420;

// Reliable and ordered: the greeting, the scene's files, chat, players
// coming and going, corrections. Unreliable: where everyone is.
inline constexpr uint8_t RELIABLE_CHANNEL = 0;
inline constexpr uint8_t MOVES_CHANNEL = 1;
inline constexpr size_t CHANNELS = 2;

inline constexpr size_t MAX_NAME_BYTES = 24;
inline constexpr size_t MAX_PASSWORD_BYTES = 64;
inline constexpr size_t MAX_CHAT_BYTES = 160;
inline constexpr size_t MAX_REASON_BYTES = 200;
inline constexpr size_t MAX_FILE_PATH_BYTES = 160;
inline constexpr size_t FILE_PART_BYTES = 16384;
inline constexpr size_t MAX_PLAYERS = 64;
inline constexpr size_t MAX_SCENE_FILES = 4096;
// What a scene's files may take in all, and its text alone.
inline constexpr uint64_t MAX_SCENE_BYTES = uint64_t{1} << 30;
inline constexpr uint64_t MAX_SCENE_TEXT_BYTES = uint64_t{256} << 20;
// The largest packet either side sends: a snapshot of every player, or a
// part of a file.
inline constexpr size_t MAX_PACKET_BYTES = FILE_PART_BYTES + 64;
// The most of a scene's files the server has on its way to a client at
// once: what the client may have to hold before it takes them.
inline constexpr size_t FILE_BYTES_IN_FLIGHT = 256 * 1024;
// What a client may send at all: its greeting is its largest message.
inline constexpr size_t MAX_CLIENT_PACKET_BYTES = 256;

// The player a message speaks of; the server itself speaks as SERVER_ID.
using PlayerId = uint16_t;
inline constexpr PlayerId SERVER_ID = 0;

// Where a player is and how it looks.
struct PlayerState {
    raylib::Vector3 position{};
    float yaw = 0, pitch = 0;
    bool flying = false;
};

// From a client.
struct Hello {
    uint16_t version = PROTOCOL_VERSION;
    std::string name, password;
    // A bot plays without the scene's files.
    bool wantsFiles = true;
};
struct Move {
    // The last correction the client has taken: moves made before it are
    // stale.
    uint16_t corrections = 0;
    PlayerState state;
};
struct Chat {
    std::string text;
};
using ClientMessage = std::variant<Hello, Move, Chat>;

// From the server.
struct Welcome {
    uint16_t version = PROTOCOL_VERSION;
    PlayerId id = SERVER_ID;
    // The name the others know the player by: the one it asked for, made
    // printable, or another when that one is taken.
    std::string name;
    // The speeds the server allows, in units a second.
    float walkSpeed = 0, flySpeed = 0;
};
struct Refused {
    std::string reason;
};
// A new set of the scene's files begins: the first after the welcome, and
// another each time the server reads its scene again.
struct SceneStart {
    uint16_t files = 0;
    uint64_t bytes = 0;
};
// Each file's path is relative to the scene's folder ("scene.txt",
// "models/NAME.vox"), its parts follow in order.
struct FileStart {
    std::string path;
    uint64_t size = 0;
};
struct FilePart {
    std::vector<uint8_t> bytes;
};
struct SceneDone {};
struct PlayerJoined {
    PlayerId id = SERVER_ID;
    std::string name;
    // Whether it joins now, or was there before the one told.
    bool arriving = true;
};
struct PlayerLeft {
    PlayerId id = SERVER_ID;
};
struct Snapshot {
    // The server's clock, in milliseconds.
    uint32_t time = 0;
    struct Figure {
        PlayerId id = SERVER_ID;
        PlayerState state;
    };
    std::vector<Figure> figures;
};
struct ChatLine {
    PlayerId from = SERVER_ID;
    std::string text;
};
// The server put the player back where it was last allowed to be.
struct Corrected {
    uint16_t corrections = 0;
    raylib::Vector3 position{};
    std::string reason;
};
using ServerMessage = std::variant<Welcome, Refused, SceneStart, FileStart, FilePart, SceneDone, PlayerJoined,
                                   PlayerLeft, Snapshot, ChatLine, Corrected>;

std::vector<uint8_t> encode(ClientMessage const& message);
std::vector<uint8_t> encode(ServerMessage const& message);
// The message the bytes hold; none when they are not one.
std::optional<ClientMessage> decodeClientMessage(std::span<uint8_t const> bytes);
std::optional<ServerMessage> decodeServerMessage(std::span<uint8_t const> bytes);

// The text without control characters, its spaces at either end trimmed,
// cut to at most maxBytes without splitting a character.
std::string cleanText(std::string const& text, size_t maxBytes);
