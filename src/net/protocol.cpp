#include "protocol.h"

#include <cmath>
#include <cstring>
#include <type_traits>

namespace {

// Each kind's byte; a client's and the server's are told apart by who sends.
enum Kind : uint8_t {
    HELLO = 1,
    MOVE,
    CHAT,
    WELCOME = 101,
    REFUSED,
    SCENE_START,
    FILE_START,
    FILE_PART,
    SCENE_DONE,
    PLAYER_JOINED,
    PLAYER_LEFT,
    SNAPSHOT,
    CHAT_LINE,
    CORRECTED,
};

class Writer {
public:
    explicit Writer(Kind kind) { bytes.push_back(kind); }

    void u8(uint8_t value) { bytes.push_back(value); }
    void u16(uint16_t value) { little(value, 2); }
    void u32(uint32_t value) { little(value, 4); }
    void u64(uint64_t value) { little(value, 8); }
    void f32(float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        u32(bits);
    }
    void vector(raylib::Vector3 v) {
        f32(v.x);
        f32(v.y);
        f32(v.z);
    }
    // Cut to its bound, as a reader would refuse it longer.
    void text(std::string const& value, size_t maxBytes) {
        size_t const length = std::min(value.size(), maxBytes);
        u8(static_cast<uint8_t>(length));
        bytes.insert(bytes.end(), value.begin(), value.begin() + static_cast<std::ptrdiff_t>(length));
    }
    void state(PlayerState const& s) {
        vector(s.position);
        f32(s.yaw);
        f32(s.pitch);
        u8(s.flying ? 1 : 0);
    }

    std::vector<uint8_t> bytes;

private:
    void little(uint64_t value, int count) {
        for (int i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
};

// Reads fields until one breaks a bound; from then on every field reads as
// zero and the packet is refused.
class Reader {
public:
    explicit Reader(std::span<uint8_t const> bytes) : bytes(bytes) {}

    uint8_t u8() { return static_cast<uint8_t>(little(1)); }
    uint16_t u16() { return static_cast<uint16_t>(little(2)); }
    uint32_t u32() { return static_cast<uint32_t>(little(4)); }
    uint64_t u64() { return little(8); }
    // Only finite numbers: a place of NaN or infinity is no place.
    float f32() {
        uint32_t const bits = u32();
        float value;
        std::memcpy(&value, &bits, 4);
        if (!std::isfinite(value)) fail();
        return good ? value : 0.0f;
    }
    raylib::Vector3 vector() {
        float const x = f32(), y = f32();
        return {x, y, f32()};
    }
    bool flag() {
        uint8_t const value = u8();
        if (value > 1) fail();
        return value == 1;
    }
    std::string text(size_t maxBytes) {
        size_t const length = u8();
        if (length > maxBytes || !has(length)) return fail(), "";
        std::string value(reinterpret_cast<char const*>(bytes.data() + at), length);
        at += length;
        return value;
    }
    std::vector<uint8_t> rest(size_t maxBytes) {
        if (!good || bytes.size() - at > maxBytes) return fail(), std::vector<uint8_t>{};
        std::vector<uint8_t> value(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end());
        at = bytes.size();
        return value;
    }
    PlayerState state() {
        raylib::Vector3 const position = vector();
        float const yaw = f32(), pitch = f32();
        return {position, yaw, pitch, flag()};
    }
    void fail() { good = false; }
    // Whether every field was read and nothing is left over.
    bool done() const { return good && at == bytes.size(); }

private:
    bool has(size_t count) const { return good && bytes.size() - at >= count; }
    uint64_t little(int count) {
        if (!has(static_cast<size_t>(count))) return fail(), 0;
        uint64_t value = 0;
        for (int i = 0; i < count; ++i) value |= uint64_t{bytes[at + static_cast<size_t>(i)]} << (8 * i);
        at += static_cast<size_t>(count);
        return value;
    }

    std::span<uint8_t const> bytes;
    size_t at = 0;
    bool good = true;
};

template <class T>
std::optional<T> finished(Reader const& reader, T value) {
    if (!reader.done()) return std::nullopt;
    return value;
}

}  // namespace

std::vector<uint8_t> encode(ClientMessage const& message) {
    return std::visit(
        [](auto const& m) {
            using T = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<T, Hello>) {
                Writer w(HELLO);
                w.u16(m.version);
                w.text(m.name, MAX_NAME_BYTES);
                w.text(m.password, MAX_PASSWORD_BYTES);
                w.u8(m.wantsFiles ? 1 : 0);
                return w.bytes;
            } else if constexpr (std::is_same_v<T, Move>) {
                Writer w(MOVE);
                w.u16(m.corrections);
                w.state(m.state);
                return w.bytes;
            } else {
                Writer w(CHAT);
                w.text(m.text, MAX_CHAT_BYTES);
                return w.bytes;
            }
        },
        message);
}

std::vector<uint8_t> encode(ServerMessage const& message) {
    return std::visit(
        [](auto const& m) {
            using T = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<T, Welcome>) {
                Writer w(WELCOME);
                w.u16(m.version);
                w.u16(m.id);
                w.text(m.name, MAX_NAME_BYTES);
                w.f32(m.walkSpeed);
                w.f32(m.flySpeed);
                return w.bytes;
            } else if constexpr (std::is_same_v<T, Refused>) {
                Writer w(REFUSED);
                w.text(m.reason, MAX_REASON_BYTES);
                return w.bytes;
            } else if constexpr (std::is_same_v<T, SceneStart>) {
                Writer w(SCENE_START);
                w.u16(m.files);
                w.u64(m.bytes);
                return w.bytes;
            } else if constexpr (std::is_same_v<T, FileStart>) {
                Writer w(FILE_START);
                w.text(m.path, MAX_FILE_PATH_BYTES);
                w.u64(m.size);
                return w.bytes;
            } else if constexpr (std::is_same_v<T, FilePart>) {
                Writer w(FILE_PART);
                w.bytes.insert(w.bytes.end(), m.bytes.begin(), m.bytes.end());
                return w.bytes;
            } else if constexpr (std::is_same_v<T, SceneDone>) {
                return Writer(SCENE_DONE).bytes;
            } else if constexpr (std::is_same_v<T, PlayerJoined>) {
                Writer w(PLAYER_JOINED);
                w.u16(m.id);
                w.text(m.name, MAX_NAME_BYTES);
                w.u8(m.arriving ? 1 : 0);
                return w.bytes;
            } else if constexpr (std::is_same_v<T, PlayerLeft>) {
                Writer w(PLAYER_LEFT);
                w.u16(m.id);
                return w.bytes;
            } else if constexpr (std::is_same_v<T, Snapshot>) {
                Writer w(SNAPSHOT);
                w.u32(m.time);
                size_t const count = std::min(m.figures.size(), MAX_PLAYERS);
                w.u8(static_cast<uint8_t>(count));
                for (size_t i = 0; i < count; ++i) {
                    w.u16(m.figures[i].id);
                    w.state(m.figures[i].state);
                }
                return w.bytes;
            } else if constexpr (std::is_same_v<T, ChatLine>) {
                Writer w(CHAT_LINE);
                w.u16(m.from);
                w.text(m.text, MAX_REASON_BYTES);
                return w.bytes;
            } else {
                Writer w(CORRECTED);
                w.u16(m.corrections);
                w.vector(m.position);
                w.text(m.reason, MAX_REASON_BYTES);
                return w.bytes;
            }
        },
        message);
}

std::optional<ClientMessage> decodeClientMessage(std::span<uint8_t const> bytes) {
    if (bytes.empty() || bytes.size() > MAX_CLIENT_PACKET_BYTES) return std::nullopt;
    Reader r(bytes.subspan(1));
    switch (bytes[0]) {
        case HELLO: {
            Hello hello;
            hello.version = r.u16();
            hello.name = r.text(MAX_NAME_BYTES);
            hello.password = r.text(MAX_PASSWORD_BYTES);
            hello.wantsFiles = r.flag();
            return finished<ClientMessage>(r, hello);
        }
        case MOVE: {
            Move move;
            move.corrections = r.u16();
            move.state = r.state();
            return finished<ClientMessage>(r, move);
        }
        case CHAT: return finished<ClientMessage>(r, Chat{r.text(MAX_CHAT_BYTES)});
        default: return std::nullopt;
    }
}

std::optional<ServerMessage> decodeServerMessage(std::span<uint8_t const> bytes) {
    if (bytes.empty() || bytes.size() > MAX_PACKET_BYTES) return std::nullopt;
    Reader r(bytes.subspan(1));
    switch (bytes[0]) {
        case WELCOME: {
            Welcome welcome;
            welcome.version = r.u16();
            welcome.id = r.u16();
            welcome.name = r.text(MAX_NAME_BYTES);
            welcome.walkSpeed = r.f32();
            welcome.flySpeed = r.f32();
            return finished<ServerMessage>(r, welcome);
        }
        case REFUSED: return finished<ServerMessage>(r, Refused{r.text(MAX_REASON_BYTES)});
        case SCENE_START: {
            SceneStart start;
            start.files = r.u16();
            start.bytes = r.u64();
            return finished<ServerMessage>(r, start);
        }
        case FILE_START: {
            FileStart start;
            start.path = r.text(MAX_FILE_PATH_BYTES);
            start.size = r.u64();
            return finished<ServerMessage>(r, start);
        }
        case FILE_PART: return finished<ServerMessage>(r, FilePart{r.rest(FILE_PART_BYTES)});
        case SCENE_DONE: return finished<ServerMessage>(r, SceneDone{});
        case PLAYER_JOINED: {
            PlayerJoined joined;
            joined.id = r.u16();
            joined.name = r.text(MAX_NAME_BYTES);
            joined.arriving = r.flag();
            return finished<ServerMessage>(r, joined);
        }
        case PLAYER_LEFT: return finished<ServerMessage>(r, PlayerLeft{r.u16()});
        case SNAPSHOT: {
            Snapshot snapshot;
            snapshot.time = r.u32();
            size_t const count = r.u8();
            if (count > MAX_PLAYERS) r.fail();
            for (size_t i = 0; i < count; ++i) {
                PlayerId const id = r.u16();
                snapshot.figures.push_back({id, r.state()});
            }
            return finished<ServerMessage>(r, snapshot);
        }
        case CHAT_LINE: {
            ChatLine line;
            line.from = r.u16();
            line.text = r.text(MAX_REASON_BYTES);
            return finished<ServerMessage>(r, line);
        }
        case CORRECTED: {
            Corrected corrected;
            corrected.corrections = r.u16();
            corrected.position = r.vector();
            corrected.reason = r.text(MAX_REASON_BYTES);
            return finished<ServerMessage>(r, corrected);
        }
        default: return std::nullopt;
    }
}

namespace {

// The length of the well-formed UTF-8 character at text[at], or 0.
size_t characterLength(std::string const& text, size_t at) {
    auto const byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char const first = byte(at);
    size_t const length = first < 0x80                    ? 1
                          : first >= 0xc2 && first < 0xe0 ? 2
                          : first >= 0xe0 && first < 0xf0 ? 3
                          : first >= 0xf0 && first < 0xf5 ? 4
                                                          : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xc0) != 0x80) return 0;
    }
    // Overlong forms and those past U+10FFFF.
    if ((first == 0xe0 && byte(at + 1) < 0xa0) || (first == 0xf0 && byte(at + 1) < 0x90) ||
        (first == 0xf4 && byte(at + 1) >= 0x90))
        return 0;
    return length;
}

// A control character: C0, DEL, or C1 (U+0080 to U+009F).
bool isControl(std::string const& text, size_t at, size_t length) {
    auto const first = static_cast<unsigned char>(text[at]);
    if (length == 1) return first < 0x20 || first == 0x7f;
    return length == 2 && first == 0xc2 && static_cast<unsigned char>(text[at + 1]) < 0xa0;
}

}  // namespace

std::string cleanText(std::string const& text, size_t maxBytes) {
    // Well-formed characters alone, tabs as spaces, no control character.
    std::string kept;
    for (size_t at = 0; at < text.size();) {
        size_t const length = characterLength(text, at);
        if (length == 0) {
            ++at;
            continue;
        }
        if (text[at] == '\t')
            kept += ' ';
        else if (!isControl(text, at, length))
            kept.append(text, at, length);
        at += length;
    }
    size_t const first = kept.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    kept = kept.substr(first, kept.find_last_not_of(' ') - first + 1);
    if (kept.size() <= maxBytes) return kept;
    // Back to the start of the character the cut would split.
    size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(kept[cut]) & 0xc0) == 0x80) --cut;
    return kept.substr(0, cut);
}
