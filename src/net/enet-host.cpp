#include "enet-host.h"

#include <mutex>

#include "protocol.h"

namespace {

// enet_initialize is needed once, before the first host, and
// enet_deinitialize after the last.
std::mutex libraryLock;
int hostsAlive = 0;

bool holdLibrary() {
    std::lock_guard const hold(libraryLock);
    if (hostsAlive == 0 && enet_initialize() != 0) return false;
    ++hostsAlive;
    return true;
}

void releaseLibrary() {
    std::lock_guard const hold(libraryLock);
    if (--hostsAlive == 0) enet_deinitialize();
}

}  // namespace

std::unique_ptr<EnetHost> EnetHost::listen(uint16_t port, size_t peers, bool local, std::string& problem) {
    if (!holdLibrary()) return problem = "the network library cannot start", nullptr;
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    if (local) enet_address_set_host_ip(&address, "127.0.0.1");
    address.port = port;
    ENetHost* host = enet_host_create(&address, peers, CHANNELS, 0, 0);
    if (!host) {
        releaseLibrary();
        problem = "cannot listen on port " + std::to_string(port) + " (is another server on it?)";
        return nullptr;
    }
    // The bound holds both ways: a packet larger than a file's part is
    // thrown away before it is put together, and a peer may keep little
    // waiting (a client's messages are far smaller; the decoder refuses
    // any larger than they are).
    host->maximumPacketSize = MAX_PACKET_BYTES;
    host->maximumWaitingData = 64 * 1024;
    // The port the system picked, when asked to.
    ENetAddress bound{};
    if (enet_socket_get_address(host->socket, &bound) == 0) host->address.port = bound.port;
    return std::unique_ptr<EnetHost>(new EnetHost(host));
}

std::unique_ptr<EnetHost> EnetHost::connect(std::string const& name, uint16_t port, std::string& problem) {
    if (!holdLibrary()) return problem = "the network library cannot start", nullptr;
    ENetAddress address{};
    if (enet_address_set_host(&address, name.c_str()) != 0) {
        releaseLibrary();
        problem = "cannot find the server " + name;
        return nullptr;
    }
    address.port = port;
    ENetHost* host = enet_host_create(nullptr, 1, CHANNELS, 0, 0);
    if (!host) {
        releaseLibrary();
        problem = "the network library cannot make a connection";
        return nullptr;
    }
    host->maximumPacketSize = MAX_PACKET_BYTES;
    // Room for every byte the server may have on the way, and the moves.
    host->maximumWaitingData = 2 * FILE_BYTES_IN_FLIGHT;
    std::unique_ptr<EnetHost> made(new EnetHost(host));
    made->peer = enet_host_connect(host, &address, CHANNELS, PROTOCOL_VERSION);
    if (!made->peer) return problem = "the network library cannot make a connection", nullptr;
    return made;
}

EnetHost::~EnetHost() {
    enet_host_destroy(host);
    releaseLibrary();
}

void sendPacket(ENetPeer* peer, uint8_t channel, std::span<uint8_t const> bytes) {
    enet_uint32 const flags = channel == RELIABLE_CHANNEL ? ENET_PACKET_FLAG_RELIABLE : 0;
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), flags);
    // A packet not queued is the caller's to free.
    if (packet && enet_peer_send(peer, channel, packet) != 0) enet_packet_destroy(packet);
}

size_t bytesInFlight(ENetPeer const* peer) {
    size_t queued = 0;
    for (ENetListIterator command = enet_list_begin(&peer->outgoingCommands);
         command != enet_list_end(&peer->outgoingCommands); command = enet_list_next(command)) {
        auto const* outgoing = reinterpret_cast<ENetOutgoingCommand const*>(command);
        queued += outgoing->fragmentLength;
    }
    return queued + peer->reliableDataInTransit;
}
