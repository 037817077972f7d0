// How a simulated link delivers: after a one-way delay, a share of the
// datagrams later again as a reliable transport's resend would bring them,
// never one before another sent earlier on the same link. Losses follow a
// seeded generator, so a run is the same every time.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "net/transport.h"

namespace net {

class LinkModel {
 public:
  // delayMs: one way; dropPercent 0-100; a lost datagram comes resendMs
  // later than it would have.
  LinkModel(int delayMs, int dropPercent, uint32_t seed, int resendMs)
      : delayMs_(delayMs), dropPercent_(dropPercent), resendMs_(resendMs), random_(seed | 1u) {}
  // When a datagram sent at `now` on link `link` arrives.
  int64_t DeliveryTime(int64_t now, uintptr_t link);
  int DelayMs() const { return delayMs_; }

 private:
  int delayMs_, dropPercent_, resendMs_;
  uint32_t random_;
  std::map<uintptr_t, int64_t> last_;  // per link: the latest delivery time
};

// A real transport whose sending side holds each datagram as the link
// model says; `clock` gives milliseconds. For tests of whole games over the
// loopback address.
std::unique_ptr<Transport> Conditioned(std::unique_ptr<Transport> inner, const LinkModel& link,
                                       int64_t (*clock)());

}  // namespace net
