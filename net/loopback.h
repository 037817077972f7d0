// An in-process stand-in for the network: endpoints joined by links that
// deliver after a one-way delay and lose a share of the datagrams, which
// then arrive later as a reliable transport's resend would. Time is the
// test's own (SetNow), and losses follow a seeded generator, so a run is
// the same every time.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "net/link.h"
#include "net/transport.h"

namespace net {

class LoopbackNetwork {
 public:
  // delayMs: one way; dropPercent 0-100; a dropped datagram comes
  // resendMs later than it would have.
  LoopbackNetwork(int delayMs, int dropPercent, uint32_t seed, int resendMs = 200);
  ~LoopbackNetwork();

  // A listening endpoint for up to `maxPeers` connections.
  std::unique_ptr<Transport> Listen(int port, int maxPeers);
  // An endpoint connecting to the one listening at `port`; it hears
  // CONNECTED (or DISCONNECTED when nobody listens or it is full) after
  // one round trip.
  std::unique_ptr<Transport> Connect(int port);
  // Milliseconds of the test's clock.
  void SetNow(int64_t ms) { now_ = ms; }
  int64_t Now() const { return now_; }
  // The endpoint stops sending and receiving without a word, as a machine
  // that crashed or lost its cable.
  void Silence(const Transport* endpoint);
  // Bytes sent by all endpoints so far.
  uint64_t BytesSent() const { return bytes_; }

  struct Endpoint;

 private:
  friend class LoopbackTransport;
  void Deliver(Endpoint* from, Endpoint* to, NetEvent event);

  LinkModel link_;
  uintptr_t endpointCount_ = 0;
  int64_t now_ = 0;
  uint64_t bytes_ = 0;
  std::vector<Endpoint*> endpoints_;
};

}  // namespace net
