#include "diag.h"

#include <unistd.h>

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

[[noreturn]] void exit_without_tool() {
  std::fflush(stdout);
  std::exit(-1);
}

// Prints the debug text of the object whose address follows the '@'. An
// address that is not a live runtime object is ignored rather than followed.
void print_object(const char* rest) {
  void* p = nullptr;
  if (std::sscanf(rest, "%p", &p) != 1 || !gc_is_object(p)) return;
  if (Object* object = dynamic_cast<Object*>(static_cast<gc_object*>(p))) bbPrint(object->debug());
}

}  // namespace

void dbg_stop() {
  std::fprintf(stderr, "{{~~%s~~}}\n", dbg_info.c_str());
  std::fprintf(stderr, "%s\n", dbg_stacktrace().c_str());
  std::fflush(stderr);
  // A terminal on standard input means a player started the game by hand:
  // no development tool is there to answer.
  if (isatty(STDIN_FILENO)) exit_without_tool();
  for (;;) {
    char line[256];
    if (!std::fgets(line, sizeof(line), stdin) || !std::strchr(line, '\n')) exit_without_tool();
    switch (line[0]) {
      case '?':
        continue;
      case '@':
        print_object(line + 1);
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
        std::exit(0);
      default:
        std::printf("????? %s ?????", line);
        exit_without_tool();
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

void sighandler(int signal) { dbg_error(dbg_signal_message(signal)); }
