#include "net/loopback.h"

#include <algorithm>

namespace net {

constexpr uintptr_t LINKS_PER_ENDPOINT = 1u << 16;

struct Pending {
  int64_t at;
  NetEvent event;
};

struct LoopbackNetwork::Endpoint {
  uintptr_t id = 0;  // numbers the links it is one end of
  int port = -1;    // listening port, -1 for a connecting endpoint
  int maxPeers = 0;
  bool silent = false;
  std::vector<Endpoint*> peers;        // by peer number; null once gone
  std::deque<Pending> inbox;           // in delivery order
  int PeerNumber(Endpoint* e) const {
    for (size_t i = 0; i < peers.size(); ++i)
      if (peers[i] == e) return int(i);
    return -1;
  }
};

class LoopbackTransport : public Transport {
 public:
  LoopbackTransport(LoopbackNetwork* net, LoopbackNetwork::Endpoint* self) : net_(net), self_(self) {}
  ~LoopbackTransport() override {
    for (auto* peer : self_->peers) {
      if (peer) net_->Deliver(self_, peer, {NetEvent::DISCONNECTED, -1, {}, true});
    }
    auto& all = net_->endpoints_;
    all.erase(std::remove(all.begin(), all.end(), self_), all.end());
    for (auto* e : all) std::replace(e->peers.begin(), e->peers.end(), self_, (LoopbackNetwork::Endpoint*)nullptr);
    delete self_;
  }

  void Poll(std::vector<NetEvent>& events) override {
    auto& inbox = self_->inbox;
    while (!inbox.empty() && inbox.front().at <= net_->now_) {
      if (!self_->silent) events.push_back(std::move(inbox.front().event));
      inbox.pop_front();
    }
  }

  void Send(int peer, const uint8_t* data, size_t size) override {
    if (self_->silent || peer < 0 || size_t(peer) >= self_->peers.size() || !self_->peers[size_t(peer)]) return;
    net_->bytes_ += size;
    net_->Deliver(self_, self_->peers[size_t(peer)], {NetEvent::RECEIVED, -1, std::vector<uint8_t>(data, data + size)});
  }

  void Drop(int peer) override {
    if (peer < 0 || size_t(peer) >= self_->peers.size() || !self_->peers[size_t(peer)]) return;
    net_->Deliver(self_, self_->peers[size_t(peer)], {NetEvent::DISCONNECTED, -1, {}});
    self_->peers[size_t(peer)] = nullptr;
  }

  void Flush() override {}

  LoopbackNetwork::Endpoint* Self() const { return self_; }

 private:
  LoopbackNetwork* net_;
  LoopbackNetwork::Endpoint* self_;
};

LoopbackNetwork::LoopbackNetwork(int delayMs, int dropPercent, uint32_t seed, int resendMs)
    : link_(delayMs, dropPercent, seed, resendMs) {}

LoopbackNetwork::~LoopbackNetwork() = default;

std::unique_ptr<Transport> LoopbackNetwork::Listen(int port, int maxPeers) {
  auto* e = new Endpoint;
  e->id = ++endpointCount_;
  e->port = port;
  e->maxPeers = maxPeers;
  endpoints_.push_back(e);
  return std::make_unique<LoopbackTransport>(this, e);
}

std::unique_ptr<Transport> LoopbackNetwork::Connect(int port) {
  auto* client = new Endpoint;
  client->id = ++endpointCount_;
  endpoints_.push_back(client);
  auto transport = std::make_unique<LoopbackTransport>(this, client);
  Endpoint* server = nullptr;
  for (auto* e : endpoints_) {
    if (e->port == port && !e->silent) server = e;
  }
  int live = 0;
  if (server) live = int(std::count_if(server->peers.begin(), server->peers.end(), [](Endpoint* p) { return p; }));
  if (!server || live >= server->maxPeers) {
    client->inbox.push_back({now_ + 2 * link_.DelayMs(), {NetEvent::DISCONNECTED, 0, {}}});
    return transport;
  }
  server->peers.push_back(client);
  client->peers.push_back(server);
  Deliver(client, server, {NetEvent::CONNECTED, -1, {}});
  Deliver(server, client, {NetEvent::CONNECTED, -1, {}});
  return transport;
}

void LoopbackNetwork::Silence(const Transport* endpoint) {
  static_cast<const LoopbackTransport*>(endpoint)->Self()->silent = true;
}

void LoopbackNetwork::Deliver(Endpoint* from, Endpoint* to, NetEvent event) {
  if (from->silent) return;
  event.peer = to->PeerNumber(from);
  if (event.peer < 0 && event.type != NetEvent::DISCONNECTED) return;
  // One link per sender and receiver.
  const int64_t at = link_.DeliveryTime(now_, from->id * LINKS_PER_ENDPOINT + to->id);
  // Keep the inbox sorted by time; equal times keep their sending order.
  auto it = std::upper_bound(to->inbox.begin(), to->inbox.end(), at,
                             [](int64_t t, const Pending& p) { return t < p.at; });
  to->inbox.insert(it, {at, std::move(event)});
}

}  // namespace net
