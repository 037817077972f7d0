#include "tests/support/support.h"

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "runtime/core/core.h"

namespace zephrine_test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zephrine-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
  dir_ = pattern;
}

TempDir::~TempDir() {
  if (getpid() != owner_) return;
  namespace fs = std::filesystem;
  std::error_code ignored;
  fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
  for (const auto& entry : fs::recursive_directory_iterator(dir_, ignored)) {
    if (!entry.is_symlink()) fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(dir_, ignored);
}

void WriteFile(const std::string& path, const void* bytes, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + path);
  if (size) std::fwrite(bytes, 1, size, f);
  std::fclose(f);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

int StateField(const std::string& state, int i) {
  std::istringstream in(state);
  std::string field;
  for (int n = 0; n <= i; ++n) field = std::getline(in, field, '|') ? field : "-1";
  return std::atoi(field.c_str());
}

bool Near(unsigned a, unsigned b, int slack) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff)) > slack) return false;
  }
  return true;
}

bool WritePng(const std::string& path, int width, int height, int depth, const unsigned char* pixels) {
  return stbi_write_png(path.c_str(), width, height, depth, pixels, width * depth) != 0;
}

namespace {

std::string Contents(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof(buf), file)) > 0;) text.append(buf, n);
  std::fclose(file);
  return text;
}

}  // namespace

ChildResult RunChild(const std::function<int()>& body, const ChildOptions& options) {
  std::FILE* in = std::tmpfile();
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  int master = -1, terminal = -1;
  if (!in || !out || !err) throw std::runtime_error("tmpfile");
  if (options.terminalInput && openpty(&master, &terminal, nullptr, nullptr, nullptr) != 0) {
    throw std::runtime_error("openpty");
  }
  std::fputs(options.input.c_str(), in);
  std::rewind(in);
  std::fflush(stdout);
  std::fflush(stderr);
  pid_t pid = fork();
  if (pid == 0) {
    dup2(options.terminalInput ? terminal : fileno(in), STDIN_FILENO);
    dup2(fileno(out), STDOUT_FILENO);
    dup2(fileno(err), STDERR_FILENO);
    if (!options.display) {
      unsetenv("DISPLAY");
      unsetenv("WAYLAND_DISPLAY");
    }
    alarm(unsigned(options.seconds));
    int status = 125;  // an exception escaped the body
    try {
      status = body();
    } catch (...) {
    }
    std::fflush(stdout);
    _exit(status);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (master >= 0) {
    close(master);
    close(terminal);
  }
  std::fclose(in);
  ChildResult result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = Contents(out);
  result.err = Contents(err);
  return result;
}

void CollectAllGarbage() {
  for (int cycle = 0; cycle < 2; ++cycle) {
    gc_ext_malloced(GC_CYCLE_BYTES + 1);
    gc_collect();
  }
  while (gc_counts().free_list) new Object;
}

}  // namespace zephrine_test
