#include "state_store.h"

#include <unistd.h>

BBStateStore::~BBStateStore() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
  }
  changed_.notify_all();
  if (writer_.joinable()) writer_.join();
}

void BBStateStore::Post(const std::string& path, std::string bytes) {
  // A forked child writes for itself: the writer stayed in its parent.
  if (owner_ && owner_ != getpid()) {
    bb_file_SaveDurably(path, bytes, calls_);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    path_ = path;
    bytes_ = std::move(bytes);
    waiting_ = true;
  }
  if (!owner_) {
    owner_ = getpid();
    writer_ = std::thread(&BBStateStore::Write, this);
  }
  changed_.notify_all();
}

void BBStateStore::Flush() {
  if (owner_ != getpid()) return;
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !waiting_ && !writing_; });
}

int BBStateStore::Save(const std::string& path, const std::string& bytes) {
  Flush();
  FileCalls calls;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    calls = calls_;
  }
  return bb_file_SaveDurably(path, bytes, calls);
}

void BBStateStore::SetCalls(const FileCalls& calls) {
  std::lock_guard<std::mutex> lock(mutex_);
  calls_ = calls;
}

void BBStateStore::Write() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return waiting_ || ending_; });
    if (!waiting_) return;
    const std::string path = std::move(path_), bytes = std::move(bytes_);
    const FileCalls calls = calls_;
    waiting_ = false;
    writing_ = true;
    lock.unlock();
    bb_file_SaveDurably(path, bytes, calls);
    lock.lock();
    writing_ = false;
    changed_.notify_all();
  }
}
