#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include <enet/enet.h>

// One ENet host, the library set up for as long as any host lives. A
// server's listens on a port; a client's connects out.
class EnetHost {
public:
    // Listening on port (0: one the system picks) of 127.0.0.1, or of every
    // address when not local, for at most peers peers; empty, with the
    // problem said, when it cannot.
    static std::unique_ptr<EnetHost> listen(uint16_t port, size_t peers, bool local, std::string& problem);
    // A host with one peer, connecting to host:port; empty, with the
    // problem said, when the name cannot be resolved.
    static std::unique_ptr<EnetHost> connect(std::string const& host, uint16_t port, std::string& problem);
    ~EnetHost();
    EnetHost(EnetHost const&) = delete;
    EnetHost& operator=(EnetHost const&) = delete;

    ENetHost* get() const { return host; }
    // The port it listens on.
    uint16_t port() const { return host->address.port; }
    // The peer a client's host connects to.
    ENetPeer* server() const { return peer; }

private:
    explicit EnetHost(ENetHost* host) : host(host) {}
    ENetHost* host = nullptr;
    ENetPeer* peer = nullptr;
};

// Sends the bytes on the channel: reliably on RELIABLE_CHANNEL, else
// unreliably, a late packet dropped for the newer one.
void sendPacket(ENetPeer* peer, uint8_t channel, std::span<uint8_t const> bytes);

// The bytes a peer has queued but not yet had acknowledged.
size_t bytesInFlight(ENetPeer const* peer);
