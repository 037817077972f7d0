// The one seam to ENet: a host that listens on a UDP port for up to a
// number of peers, and a client that connects to one host.
#pragma once

#include <memory>
#include <string>

#include "net/transport.h"

namespace net {

// Listens on all addresses at `port`; null (and `error` set) when the port
// cannot be opened.
std::unique_ptr<Transport> EnetListen(int port, int maxPeers, std::string& error);
// Connects to `address` (a name or dotted quad) at `port`; the CONNECTED
// event comes from Poll once the host answers. Null (and `error` set) when
// the address cannot be resolved.
std::unique_ptr<Transport> EnetConnect(const std::string& address, int port, std::string& error);
// This machine's address for others to join at: the first IPv4 address
// that is not the loopback one, else "127.0.0.1".
std::string LocalAddress();

}  // namespace net
