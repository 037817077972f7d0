// The writer of the state file. Saves handed over on the update thread are
// written by a thread of the store's own, so a slow disk (a USB stick, a
// network folder) never holds an update up; each write is the crash-safe
// save of files.h.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "files.h"

class BBStateStore {
 public:
  BBStateStore() = default;
  // Writes what is still waiting, then ends the writer.
  ~BBStateStore();
  BBStateStore(const BBStateStore&) = delete;
  BBStateStore& operator=(const BBStateStore&) = delete;

  // Hands `bytes`, the new contents of the file at the disk path `path`, to
  // the writer and returns at once; the writer starts on first use. A save
  // still waiting when a newer one comes is dropped: the newest wins.
  void Post(const std::string& path, std::string bytes);
  // Returns once every save handed over is written (or has failed). A
  // forked child has no writer of its own; there it returns at once.
  void Flush();
  // Waits for the saves handed over, then writes on the calling thread:
  // bb_file_SaveDurably's result.
  int Save(const std::string& path, const std::string& bytes);
  // The system calls of every later write (at first the process's own).
  void SetCalls(const FileCalls& calls);

 private:
  // The writer thread: takes the waiting save and writes it, until ending.
  void Write();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread writer_;
  pid_t owner_ = 0;  // the process writer_ runs in; 0 before the first Post
  FileCalls calls_ = BB_FILE_SYSTEM_CALLS;
  std::string path_, bytes_;  // the waiting save
  bool waiting_ = false, writing_ = false, ending_ = false;
};
