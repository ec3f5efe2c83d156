// Writes the seeds of the fuzz corpus of the network's messages: streams of
// packets, each two bytes of length (little-endian) and its bytes, as the
// fuzz target reads them: a whole transfer of a scene, a greeting and
// moves, and the rest of the server's messages.
//   make-net-corpus FOLDER
#include <cstdio>
#include <fstream>
#include <string>

#include "protocol.h"

namespace {

template <class Message>
void frame(std::vector<uint8_t>& stream, Message const& message) {
    std::vector<uint8_t> const bytes = encode(message);
    stream.push_back(static_cast<uint8_t>(bytes.size()));
    stream.push_back(static_cast<uint8_t>(bytes.size() >> 8));
    stream.insert(stream.end(), bytes.begin(), bytes.end());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-net-corpus FOLDER\n");
        return 2;
    }
    std::string const scene = "rect (0, -0.5, 0), (10, 1, 10), green\n";
    std::vector<std::vector<uint8_t>> seeds(3);
    frame(seeds[0], ServerMessage{SceneStart{2, scene.size() + 4}});
    frame(seeds[0], ServerMessage{FileStart{"scene.txt", scene.size()}});
    frame(seeds[0], ServerMessage{FilePart{{scene.begin(), scene.end()}}});
    frame(seeds[0], ServerMessage{FileStart{"models/a.vox", 4}});
    frame(seeds[0], ServerMessage{FilePart{{'V', 'O', 'X', ' '}}});
    frame(seeds[0], ServerMessage{SceneDone{}});
    frame(seeds[1], ClientMessage{Hello{PROTOCOL_VERSION, "ann", "secret", true}});
    frame(seeds[1], ClientMessage{Move{0, {{1, 2, 3}, 0.5f, 0.25f, false}}});
    frame(seeds[1], ClientMessage{Chat{"hello"}});
    frame(seeds[2], ServerMessage{Welcome{PROTOCOL_VERSION, 3, "ann", 9, 12}});
    frame(seeds[2], ServerMessage{PlayerJoined{4, "bob", true}});
    frame(seeds[2], ServerMessage{Snapshot{100, {{4, {{1, 2, 3}, 0, 0, true}}}}});
    frame(seeds[2], ServerMessage{ChatLine{4, "hi"}});
    frame(seeds[2], ServerMessage{Corrected{1, {0, 2, 0}, "too fast"}});
    frame(seeds[2], ServerMessage{PlayerLeft{4}});
    frame(seeds[2], ServerMessage{Refused{"full"}});
    for (size_t i = 0; i < seeds.size(); ++i) {
        std::ofstream out(std::string(argv[1]) + "/seed-" + std::to_string(i), std::ios::binary);
        out.write(reinterpret_cast<char const*>(seeds[i].data()), static_cast<std::streamsize>(seeds[i].size()));
        if (!out) return 1;
    }
    return 0;
}
