// Virtual data paths, whole-file loading, and the crash-safe save of the
// state file.
//
// Assets are named by short relative paths ("menu.png", "sfx/001.wav");
// bb_data_FixDataPath makes them virtual ("tarvex://data/menu.png") and the
// platform maps virtual paths onto folders beside the working directory.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdio>
#include <string>

#include "bbstring.h"

// Makes an asset path virtual: paths that carry a scheme, "./x" and "/x"
// are returned unchanged; anything else gets "tarvex://data/" in front.
String bb_data_FixDataPath(const String& path);

// The desktop mapping of virtual paths to disk paths relative to the working
// directory: tarvex://data/ -> ./data/, tarvex://internal/ -> ./internal/,
// tarvex://external/ -> ./external/; any other root under the scheme gives
// the empty string (cannot be opened); paths without the scheme pass through.
String bb_data_MapVirtualPath(const String& path);

// Opens a disk path given as UTF-16 (converted to a UTF-8 file name).
// Null when the path is empty or the file cannot be opened.
std::FILE* bb_file_Open(const String& disk_path, const char* mode);

// Reads the rest of an open file into `out`. False on a read error.
bool bb_file_ReadAll(std::FILE* file, std::string& out);

// Reads at most `limit` bytes of an open file into `out`. True when the
// file held more than that (the rest is left unread).
bool bb_file_ReadAtMost(std::FILE* file, std::size_t limit, std::string& out);

// Where the one state file of the program lives, before the game object
// maps it to disk: ".tarvexstate" in the working directory.
String bb_file_StatePath();

// The system calls a save of the state file makes, with the meaning of the
// POSIX calls of the same names. Tests put their own in to race a save at
// every name it tries or to make the disk slow.
struct FileCalls {
  int (*open)(const char* path, int flags, mode_t mode);
  int (*fsync)(int fd);
};
// open(2) and fsync(2) themselves.
extern const FileCalls BB_FILE_SYSTEM_CALLS;

// Replaces the file at `path` (a disk path) with `bytes`, safe from crashes:
// the bytes go to a new file under a unique name beside it, created without
// following any link, and renamed over it once they are on disk, so the
// file is always the old contents or the new ones, whole. A state file that
// is a symbolic link stays one: the file it names is replaced, keeping its
// permissions. A file that cannot be written (read-only) is left alone. In
// a folder that forbids new files, a writable file is rewritten in place
// instead (not safe from a crash midway). After a save, temporary files of
// earlier saves that no running save holds are removed. 0 saved; -1 the
// file could not be written; -2 not every byte reached the disk.
int bb_file_SaveDurably(const std::string& path, const std::string& bytes, const FileCalls& calls);
