// The transport seam of online play: datagrams to and from numbered peers,
// delivered reliably and in order per peer. The ENet seam is the real one;
// the loopback network stands in for it in tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace net {

struct NetEvent {
  enum Type { CONNECTED, DISCONNECTED, RECEIVED } type;
  int peer;                   // the transport's number for the peer
  std::vector<uint8_t> data;  // RECEIVED only
  // DISCONNECTED only: the other end closed the connection on purpose (it
  // left), rather than cutting this end off or falling silent.
  bool farewell = false;
};

class Transport {
 public:
  virtual ~Transport() = default;
  // Appends what happened since the last call.
  virtual void Poll(std::vector<NetEvent>& events) = 0;
  // Queues `size` bytes for `peer`; an unknown peer is ignored.
  virtual void Send(int peer, const uint8_t* data, size_t size) = 0;
  // Cuts `peer` off at once; no more events come from it.
  virtual void Drop(int peer) = 0;
  // Pushes queued datagrams onto the wire.
  virtual void Flush() = 0;
};

}  // namespace net
