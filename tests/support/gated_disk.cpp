#include "tests/support/gated_disk.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace zephrine_test {

namespace gated_disk {

namespace {

constexpr std::chrono::minutes GIVE_WAY{1};

std::mutex mutex;
std::condition_variable changed;
bool open = false;
int waiting = 0, file_syncs = 0, forced = 0;

int Sync(int fd) {
  std::unique_lock<std::mutex> lock(mutex);
  ++waiting;
  changed.notify_all();
  if (!changed.wait_for(lock, GIVE_WAY, [] { return open; })) {
    ++forced;
    open = true;  // once forced, for good: a faulty program fails in a minute
  }
  --waiting;
  struct stat info;
  file_syncs += fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  return fsync(fd);
}

}  // namespace

FileCalls Calls() {
  std::lock_guard<std::mutex> lock(mutex);
  open = false;
  file_syncs = forced = 0;
  return {BB_FILE_SYSTEM_CALLS.open, Sync};
}

bool WaitForSync() {
  std::unique_lock<std::mutex> lock(mutex);
  return changed.wait_for(lock, GIVE_WAY, [] { return waiting > 0; });
}

void Open() {
  std::lock_guard<std::mutex> lock(mutex);
  open = true;
  changed.notify_all();
}

int FileSyncs() {
  std::lock_guard<std::mutex> lock(mutex);
  return file_syncs;
}

int Forced() {
  std::lock_guard<std::mutex> lock(mutex);
  return forced;
}

}  // namespace gated_disk

}  // namespace zephrine_test
