// Printing and runtime errors.
//
// Progress lines go to standard output through bbPrint. Fatal problems print
// one banner line "Tarvex Runtime Error : <message>" and end the process; an
// attached development tool may instead drive a small stop protocol over
// standard input and standard error.
#pragma once

#include "bbstring.h"

// The banner every fatal message starts with.
extern const char* const BB_ERROR_BANNER;

// Debug information text: empty in normal runs; shown by the stop protocol.
extern std::string dbg_info;
// The stack text saved by the last dbg_throw.
extern std::string dbg_exstack;

// Writes the text as UTF-8 and a line feed to standard output and flushes.
void bbPrint(const String& text);
void bbDebugLog(const String& text);
// Empty message: exit status 0 at once, nothing printed (how the game quits).
// Otherwise the message narrowed to bytes goes to dbg_error.
[[noreturn]] void bbError(const String& message);
// Prints the banner and the stack text, then runs the stop protocol.
[[noreturn]] void dbg_error(const char* message);
// The stop protocol. Returns only when an attached tool says run or step;
// without a tool (empty input, or input from a terminal) it exits with -1.
void dbg_stop();
// The debug information text plus a line feed, or empty.
std::string dbg_stacktrace();
// Saves the stack text and throws the message as a ThrowableObject*.
[[noreturn]] void dbg_throw(const char* message);
// Message of a crash signal (11, 4, 8, anything else).
const char* dbg_signal_message(int signal);
// Reports a crash signal as a runtime error, with the lines dbg_error prints
// but written without stdio or allocation: a crash inside malloc or printf
// still ends the process. Installed by the program entry.
[[noreturn]] void sighandler(int signal);

// Step state of the stop protocol: suspended flag and mode (0, 'e', 'l', 's').
extern bool dbg_suspended;
extern int dbg_stepmode;
