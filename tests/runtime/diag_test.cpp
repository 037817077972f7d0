// How the program prints and stops: each case runs in a child process whose
// standard streams the test controls and reads.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Outcome {
  int status = -1000;  // exit status, or -1000 when the child did not exit normally
  std::string out, err;
};

// Waits for `pid` at most ten seconds; kills it when it hangs.
int WaitBounded(pid_t pid) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      ADD_FAILURE() << "the child hung";
      return -1000;
    }
    usleep(2000);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1000;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

void Exec(const std::vector<std::string>& args) {
  std::vector<char*> argv{const_cast<char*>(CORE_DIAG_CHILD)};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(CORE_DIAG_CHILD, argv.data());
  _exit(127);
}

// Runs the child with `input` as standard input and files for its output.
Outcome RunChild(const std::vector<std::string>& args, const std::string& input = "") {
  char dir[] = "/tmp/zephrine-diag-XXXXXX";
  EXPECT_NE(mkdtemp(dir), nullptr);
  std::string in = std::string(dir) + "/in", out = std::string(dir) + "/out", err = std::string(dir) + "/err";
  std::ofstream(in, std::ios::binary) << input;
  pid_t pid = fork();
  if (pid == 0) {
    int fds[] = {open(in.c_str(), O_RDONLY), open(out.c_str(), O_WRONLY | O_CREAT, 0600),
                 open(err.c_str(), O_WRONLY | O_CREAT, 0600)};
    for (int i = 0; i < 3; ++i) dup2(fds[i], i);
    Exec(args);
  }
  Outcome o;
  o.status = WaitBounded(pid);
  o.out = Slurp(out);
  o.err = Slurp(err);
  std::system((std::string("rm -rf ") + dir).c_str());
  return o;
}

// Runs the child with a terminal as its standard streams; `out` gets all
// it wrote there.
Outcome RunChildOnTerminal(const std::vector<std::string>& args) {
  int master = -1;
  pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) Exec(args);
  Outcome o;
  EXPECT_GT(pid, 0);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  char buf[512];
  for (;;) {
    pollfd p{master, POLLIN, 0};
    if (poll(&p, 1, 100) > 0) {
      ssize_t n = read(master, buf, sizeof(buf));
      if (n <= 0) break;  // the child closed the terminal
      o.out.append(buf, size_t(n));
    }
    if (std::chrono::steady_clock::now() > deadline) break;
  }
  o.status = WaitBounded(pid);
  close(master);
  return o;
}

const char kBanner[] = "Tarvex Runtime Error : ";

TEST(Diagnostics, EmptyErrorQuitsQuietly) {
  Outcome o = RunChild({"quit"}, "q\n");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(o.err, "");
}

TEST(Diagnostics, RuntimeErrorWithoutToolPrintsBannerAndExitsMinusOne) {
  Outcome o = RunChild({"error", "Image frame outside surface"});
  EXPECT_EQ(o.status, 255);
  EXPECT_EQ(o.out, std::string(kBanner) + "Image frame outside surface\n\n");
  EXPECT_EQ(o.err, "{{~~~~}}\n\n");

  // Input that ends without a line feed is no tool either.
  o = RunChild({"error", "x"}, "q");
  EXPECT_EQ(o.status, 255);
}

TEST(Diagnostics, RuntimeErrorOnTerminalEndsWithoutWaiting) {
  Outcome o = RunChildOnTerminal({"error", "App has already been created"});
  EXPECT_EQ(o.status, 255);
  EXPECT_NE(o.out.find(std::string(kBanner) + "App has already been created"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("{{~~~~}}"), std::string::npos) << o.out;
}

TEST(Diagnostics, SignalsAndUncaughtExceptionsReportAndExit) {
  const std::pair<const char*, const char*> signals[] = {
      {"11", "Memory access violation"},
      {"4", "Illegal instruction"},
      {"8", "Floating point exception"},
      {"6", "Unknown signal"},
  };
  for (const auto& [number, message] : signals) {
    Outcome o = RunChild({"signal", number});
    EXPECT_EQ(o.status, 255) << number;
    EXPECT_EQ(o.out.substr(0, o.out.find('\n')), std::string(kBanner) + message);
  }
  Outcome o = RunChild({"throw"});
  EXPECT_EQ(o.status, 255);
  EXPECT_EQ(o.out, std::string(kBanner) + "Uncaught Tarvex Exception\n");
}

TEST(Diagnostics, StopProtocolFollowsToolCommands) {
  EXPECT_EQ(RunChild({"error", "x"}, "q\n").status, 0);
  EXPECT_EQ(RunChild({"error", "x"}, "?\n?\nq\n").status, 0);

  Outcome o = RunChild({"stop"}, "?\nr\n");
  EXPECT_EQ(o.status, 3);
  EXPECT_EQ(o.out, "resumed 0 0\n");
  EXPECT_EQ(RunChild({"stop"}, "s\n").out, "resumed 1 s\n");
  EXPECT_EQ(RunChild({"stop"}, "e\n").out, "resumed 1 e\n");
  EXPECT_EQ(RunChild({"stop"}, "l\n").out, "resumed 0 l\n");

  // After a run command the error stops again rather than carrying on.
  o = RunChild({"error", "x"}, "r\nq\n");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err, "{{~~~~}}\n\n{{~~~~}}\n\n");

  o = RunChild({"stop"}, "zap\n");
  EXPECT_EQ(o.status, 255);
  EXPECT_EQ(o.out, "????? zap\n ?????");

  // Only live runtime objects are inspected; other addresses are ignored.
  o = RunChild({"inspect"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "+Probe\n");
}

}  // namespace
