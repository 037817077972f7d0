#include "diag.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "object.h"

const char* const BB_ERROR_BANNER = "Tarvex Runtime Error : ";
std::string dbg_info;
std::string dbg_exstack;
bool dbg_suspended = false;
int dbg_stepmode = 0;

void bbPrint(const String& text) {
  std::string line = text.ToUtf8();
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

void bbDebugLog(const String& text) { bbPrint(text); }

void bbError(const String& message) {
  if (!message.Length()) std::exit(0);
  std::string narrow = message.ToNarrow();
  dbg_error(narrow.c_str());
}

std::string dbg_stacktrace() { return dbg_info.empty() ? std::string() : dbg_info + "\n"; }

void dbg_error(const char* message) {
  bbPrint(String(BB_ERROR_BANNER) + String(message));
  bbPrint(String(dbg_stacktrace().c_str()));
  for (;;) dbg_stop();
}

namespace {

// Set by the crash handler. A crash may have struck inside malloc or stdio,
// so from then on the stop protocol allocates nothing and ends the process
// without exit handlers or stdio.
volatile std::sig_atomic_t in_crash = 0;

// The stop protocol and the crash handler print and read through the
// descriptors themselves: write and read are safe inside a signal handler.
void WriteText(int fd, const char* text, std::size_t length) {
  while (length > 0) {
    ssize_t written = write(fd, text, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    text += written;
    length -= std::size_t(written);
  }
}

void WriteText(int fd, const char* text) { WriteText(fd, text, std::strlen(text)); }

// The stack-trace text and its line feed, as dbg_stacktrace gives it.
void WriteStacktrace(int fd) {
  if (dbg_info.empty()) return;
  WriteText(fd, dbg_info.data(), dbg_info.size());
  WriteText(fd, "\n");
}

[[noreturn]] void end_process(int status) {
  if (in_crash) _exit(status);
  std::fflush(stdout);
  std::exit(status);
}

// One line of at most 255 characters with its line feed; false at the end
// of the input or when no line feed comes within that length.
bool ReadLine(char (&line)[256]) {
  std::size_t length = 0;
  while (length + 1 < sizeof(line)) {
    ssize_t got = read(STDIN_FILENO, &line[length], 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    if (line[length++] == '\n') {
      line[length] = 0;
      return true;
    }
  }
  return false;
}

// Prints the debug text of the object whose address follows the '@'. An
// address that is not a live runtime object is ignored rather than followed.
void PrintObject(const char* rest) {
  void* p = nullptr;
  if (std::sscanf(rest, "%p", &p) != 1 || !gc_is_object(p)) return;
  if (Object* object = dynamic_cast<Object*>(static_cast<gc_object*>(p))) bbPrint(object->debug());
}

}  // namespace

void dbg_stop() {
  WriteText(STDERR_FILENO, "{{~~");
  WriteText(STDERR_FILENO, dbg_info.data(), dbg_info.size());
  WriteText(STDERR_FILENO, "~~}}\n");
  WriteStacktrace(STDERR_FILENO);
  WriteText(STDERR_FILENO, "\n");
  // A terminal on standard input means a player started the game by hand:
  // no development tool is there to answer.
  if (isatty(STDIN_FILENO)) end_process(-1);
  for (;;) {
    char line[256];
    if (!ReadLine(line)) end_process(-1);
    switch (line[0]) {
      case '?':
        continue;
      case '@':
        // Objects are not inspected after a crash: printing them allocates.
        if (!in_crash) PrintObject(line + 1);
        continue;
      case 'r':
        dbg_suspended = false;
        dbg_stepmode = 0;
        return;
      case 's':
      case 'e':
        dbg_suspended = true;
        dbg_stepmode = line[0];
        return;
      case 'l':
        dbg_suspended = false;
        dbg_stepmode = 'l';
        return;
      case 'q':
        end_process(0);
      default:
        WriteText(STDOUT_FILENO, "????? ");
        WriteText(STDOUT_FILENO, line);
        WriteText(STDOUT_FILENO, " ?????");
        end_process(-1);
    }
  }
}

void dbg_throw(const char* message) {
  dbg_exstack = dbg_stacktrace();
  throw new ThrowableObject(String(message));
}

const char* dbg_signal_message(int signal) {
  switch (signal) {
    case 11: return "Memory access violation";
    case 4: return "Illegal instruction";
    case 8: return "Floating point exception";
    default: return "Unknown signal";
  }
}

// The lines of dbg_error, written without stdio or allocation.
void sighandler(int signal) {
  in_crash = 1;
  WriteText(STDOUT_FILENO, BB_ERROR_BANNER);
  WriteText(STDOUT_FILENO, dbg_signal_message(signal));
  WriteText(STDOUT_FILENO, "\n");
  WriteStacktrace(STDOUT_FILENO);
  WriteText(STDOUT_FILENO, "\n");
  for (;;) dbg_stop();
}
