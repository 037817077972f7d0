// ENet behind the transport seam: one channel, every datagram reliable and
// in order, peers numbered by their slot in the ENet host.
#include "net/enet_transport.h"

#include <arpa/inet.h>
#include <enet/enet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

namespace net {
namespace {

constexpr int CHANNELS = 1;
constexpr int CONNECT_CHANNEL = 0;

// ENet keeps process-wide state; it is set up once and left for the exit.
bool InitialiseOnce() {
  static const bool ok = enet_initialize() == 0;
  return ok;
}

// The word a disconnect carries when this end closes on purpose; a peer
// cut off (Drop) hears 0.
constexpr enet_uint32 FAREWELL = 1;

class EnetTransport : public Transport {
 public:
  explicit EnetTransport(ENetHost* host) : host_(host) {}
  ~EnetTransport() override {
    for (size_t i = 0; i < host_->peerCount; ++i) {
      ENetPeer* p = &host_->peers[i];
      if (p->state == ENET_PEER_STATE_CONNECTED) enet_peer_disconnect_now(p, FAREWELL);
    }
    enet_host_flush(host_);
    enet_host_destroy(host_);
  }

  void Poll(std::vector<NetEvent>& events) override {
    ENetEvent e;
    while (enet_host_service(host_, &e, 0) > 0) {
      const int peer = int(e.peer - host_->peers);
      switch (e.type) {
        case ENET_EVENT_TYPE_CONNECT:
          events.push_back({NetEvent::CONNECTED, peer, {}});
          break;
        case ENET_EVENT_TYPE_DISCONNECT:
          events.push_back({NetEvent::DISCONNECTED, peer, {}, e.data == FAREWELL});
          break;
        case ENET_EVENT_TYPE_RECEIVE:
          events.push_back({NetEvent::RECEIVED, peer,
                            std::vector<uint8_t>(e.packet->data, e.packet->data + e.packet->dataLength)});
          enet_packet_destroy(e.packet);
          break;
        case ENET_EVENT_TYPE_NONE:
          break;
      }
    }
  }

  void Send(int peer, const uint8_t* data, size_t size) override {
    ENetPeer* p = Peer(peer);
    if (!p) return;
    ENetPacket* packet = enet_packet_create(data, size, ENET_PACKET_FLAG_RELIABLE);
    if (enet_peer_send(p, 0, packet) != 0) enet_packet_destroy(packet);
  }

  void Drop(int peer) override {
    if (ENetPeer* p = Peer(peer)) enet_peer_disconnect_now(p, 0);
  }

  void Flush() override { enet_host_flush(host_); }

 private:
  ENetPeer* Peer(int peer) {
    if (peer < 0 || size_t(peer) >= host_->peerCount) return nullptr;
    ENetPeer* p = &host_->peers[peer];
    return p->state == ENET_PEER_STATE_CONNECTED ? p : nullptr;
  }

  ENetHost* host_;
};

}  // namespace

std::unique_ptr<Transport> EnetListen(int port, int maxPeers, std::string& error) {
  if (!InitialiseOnce()) {
    error = "The network could not be started";
    return nullptr;
  }
  ENetAddress address{};
  address.host = ENET_HOST_ANY;
  address.port = enet_uint16(port);
  ENetHost* host = enet_host_create(&address, size_t(maxPeers), CHANNELS, 0, 0);
  if (!host) {
    error = "Port " + std::to_string(port) + " could not be opened";
    return nullptr;
  }
  return std::make_unique<EnetTransport>(host);
}

std::unique_ptr<Transport> EnetConnect(const std::string& name, int port, std::string& error) {
  if (!InitialiseOnce()) {
    error = "The network could not be started";
    return nullptr;
  }
  ENetAddress address{};
  if (enet_address_set_host(&address, name.c_str()) != 0) {
    error = "The address " + name + " was not found";
    return nullptr;
  }
  address.port = enet_uint16(port);
  ENetHost* host = enet_host_create(nullptr, 1, CHANNELS, 0, 0);
  if (!host) {
    error = "The network could not be started";
    return nullptr;
  }
  if (!enet_host_connect(host, &address, CHANNELS, CONNECT_CHANNEL)) {
    enet_host_destroy(host);
    error = "The address " + name + " could not be reached";
    return nullptr;
  }
  return std::make_unique<EnetTransport>(host);
}

std::string LocalAddress() {
  std::string found = "127.0.0.1";
  ifaddrs* all = nullptr;
  if (getifaddrs(&all) != 0) return found;
  for (ifaddrs* a = all; a; a = a->ifa_next) {
    if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET) continue;
    const in_addr ip = reinterpret_cast<const sockaddr_in*>(a->ifa_addr)->sin_addr;
    if (ntohl(ip.s_addr) >> 24 == IN_LOOPBACKNET) continue;
    char text[INET_ADDRSTRLEN];
    if (inet_ntop(AF_INET, &ip, text, sizeof text)) {
      found = text;
      break;
    }
  }
  freeifaddrs(all);
  return found;
}

}  // namespace net
