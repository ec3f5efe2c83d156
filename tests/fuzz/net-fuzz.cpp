// Fuzz target: the messages of a server and its clients. The input is a
// stream of packets, each two bytes of length and its bytes. Every packet
// must read as a message or as none, a message read must write back to
// bytes that read as the same message, and the server's messages go to a
// scene receiver, which takes them or says what is wrong; never a crash, a
// hang or a file outside its folder.
#include <unistd.h>
#include <cstdint>
#include <filesystem>
#include <string>

#include "protocol.h"
#include "scene-files.h"

namespace {

template <class Message, class Decode>
void readBack(std::span<uint8_t const> packet, Decode decode) {
    std::optional<Message> const message = decode(packet);
    if (!message) return;
    std::vector<uint8_t> const written = encode(*message);
    std::optional<Message> const again = decode(written);
    if (!again || encode(*again) != written) __builtin_trap();
}

// The receiver's folder, of this process, removed when it ends.
struct Folder {
    std::filesystem::path const path =
        std::filesystem::temp_directory_path() / ("tessarine-net-fuzz-" + std::to_string(getpid()));
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size) {
    static Folder const folder;
    SceneReceiver receiver(folder.path);
    for (size_t at = 0; at + 2 <= size;) {
        size_t const length = std::min<size_t>(data[at] | data[at + 1] << 8, size - at - 2);
        std::span<uint8_t const> const packet(data + at + 2, length);
        at += 2 + length;
        readBack<ClientMessage>(packet, decodeClientMessage);
        readBack<ServerMessage>(packet, decodeServerMessage);
        std::optional<ServerMessage> const message = decodeServerMessage(packet);
        if (!message) continue;
        std::string problem;
        if (auto const* start = std::get_if<SceneStart>(&*message)) problem = receiver.begin(*start);
        if (auto const* file = std::get_if<FileStart>(&*message)) problem = receiver.beginFile(*file);
        if (auto const* part = std::get_if<FilePart>(&*message)) problem = receiver.add(*part);
        if (std::holds_alternative<SceneDone>(*message)) problem = receiver.finish();
        if (!problem.empty()) break;
    }
    return 0;
}
