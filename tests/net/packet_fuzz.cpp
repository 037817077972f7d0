// Arbitrary datagrams: whatever decodes encodes back to the same bytes, and
// a host hearing it from a joined machine neither crashes nor ends the
// session.
#include <cstdlib>

#include "net/codec.h"
#include "net/lockstep.h"
#include "net/loopback.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  net::Message m;
  if (net::Decode(data, size, m)) Check(net::Encode(m) == std::vector<uint8_t>(data, data + size));

  constexpr int PORT = 1;
  const net::Identity game{1, 2};
  net::LoopbackNetwork network(0, 0, 1);
  auto host = net::Session::Host(network.Listen(PORT, net::MAX_MACHINES), game);
  auto raw = network.Connect(PORT);
  net::Message hello;
  hello.kind = net::Kind::HELLO;
  hello.version = game.version;
  hello.value = game.dataHash;
  const auto h = net::Encode(hello);
  raw->Send(0, h.data(), h.size());
  host->Pump(0);
  raw->Send(0, data, size);
  host->Pump(1);
  host->Submit(net::Snapshot());
  host->Pump(2);
  Check(host->State() == net::SessionState::RUNNING);
  return 0;
}
