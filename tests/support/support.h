// Helpers every test folder shares: temporary folders and files, state
// fields, colours, PNG files, child processes with captured streams, and a
// full collection.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zephrine_test {

// A fresh folder under the system's temporary folder, removed with its
// files (whatever their permissions) when this goes away in the process that
// made it (a forked child ending leaves its parent's folder alone).
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return dir_; }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

 private:
  std::string dir_;
  int owner_ = getpid();
};

// Writes the bytes to a new file at `path`; throws when it cannot.
void WriteFile(const std::string& path, const void* bytes, std::size_t size);
inline void WriteFile(const std::string& path, const std::string& bytes) {
  WriteFile(path, bytes.data(), bytes.size());
}
inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteFile(path, bytes.data(), bytes.size());
}
// The whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);
// Field i of a state string as the game saves it ("a|b|...|"); -1 when the
// string has no such field.
int StateField(const std::string& state, int i);
// Whether two colours (0xRRGGBB) differ by at most `slack` in each channel.
bool Near(unsigned a, unsigned b, int slack);
// An 8-bit PNG of `depth` channels, rows top first; false when it cannot be written.
bool WritePng(const std::string& path, int width, int height, int depth, const unsigned char* pixels);

struct ChildOptions {
  std::string input;           // standard input, ending after these bytes
  bool terminalInput = false;  // standard input a terminal instead, never answering
  bool display = true;         // false: the child sees no DISPLAY at all
  int seconds = 10;            // a child still running then is killed
};

struct ChildResult {
  int status = -1;  // exit status, or 128 + the signal that ended the child
  std::string out, err;
};

// Runs `body` in a forked child whose standard streams the options give and
// the result captures; the child exits with body's result.
ChildResult RunChild(const std::function<int()>& body, const ChildOptions& options = {});

// Collector cycles until every unreachable managed object is destroyed.
void CollectAllGarbage();

}  // namespace zephrine_test
