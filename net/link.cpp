#include "net/link.h"

#include <algorithm>
#include <deque>
#include <vector>

namespace net {

int64_t LinkModel::DeliveryTime(int64_t now, uintptr_t link) {
  random_ = random_ * 1664525u + 1013904223u;
  const bool lost = int((random_ >> 8) % 100) < dropPercent_;
  int64_t& last = last_[link];
  last = std::max(now + delayMs_ + (lost ? resendMs_ : 0), last);
  return last;
}

namespace {

class ConditionedTransport : public Transport {
 public:
  ConditionedTransport(std::unique_ptr<Transport> inner, const LinkModel& link, int64_t (*clock)())
      : inner_(std::move(inner)), link_(link), clock_(clock) {}

  void Poll(std::vector<NetEvent>& events) override {
    Release();
    inner_->Poll(events);
  }
  void Send(int peer, const uint8_t* data, size_t size) override {
    const int64_t at = link_.DeliveryTime(clock_(), uintptr_t(peer));
    held_.push_back({at, peer, std::vector<uint8_t>(data, data + size)});
  }
  void Drop(int peer) override { inner_->Drop(peer); }
  void Flush() override {
    Release();
    inner_->Flush();
  }

 private:
  struct Held {
    int64_t at;
    int peer;
    std::vector<uint8_t> data;
  };
  // Held datagrams go out in sending order once their time has come (each
  // link's times never decrease, so none waits behind another link's).
  void Release() {
    const int64_t now = clock_();
    for (auto it = held_.begin(); it != held_.end();) {
      const bool blocked = std::any_of(held_.begin(), it, [&](const Held& h) { return h.peer == it->peer; });
      if (it->at > now || blocked) {
        ++it;
        continue;
      }
      inner_->Send(it->peer, it->data.data(), it->data.size());
      it = held_.erase(it);
    }
  }

  std::unique_ptr<Transport> inner_;
  LinkModel link_;
  int64_t (*clock_)();
  std::deque<Held> held_;
};

}  // namespace

std::unique_ptr<Transport> Conditioned(std::unique_ptr<Transport> inner, const LinkModel& link,
                                       int64_t (*clock)()) {
  return std::make_unique<ConditionedTransport>(std::move(inner), link, clock);
}

}  // namespace net
