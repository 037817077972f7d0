// Virtual data paths and whole-file loading helpers.
//
// Assets are named by short relative paths ("menu.png", "sfx/001.wav");
// bb_data_FixDataPath makes them virtual ("tarvex://data/menu.png") and the
// platform maps virtual paths onto folders beside the working directory.
#pragma once

#include <cstdio>
#include <string>

#include "bbstring.h"

// Makes an asset path virtual: paths that carry a scheme, "./x" and "/x"
// are returned unchanged; anything else gets "tarvex://data/" in front.
String bb_data_FixDataPath(const String& path);

// The desktop mapping of virtual paths to disk paths: tarvex://data/ -> the
// data folder (./data/ unless start-up chose another), tarvex://internal/ ->
// ./internal/, tarvex://external/ -> ./external/; any other root under the
// scheme gives the empty string (cannot be opened); paths without the scheme
// pass through.
String bb_data_MapVirtualPath(const String& path);

// Where the game's read-only data and its state file live. Each folder ends
// in "/"; the defaults are the working directory's: "./data/" and "./".
// Start-up sets them once, before the game loads anything.
void bb_data_SetFolders(const std::string& data_folder, const std::string& state_folder);
// The state file's path: ".tarvexstate" in the state folder.
String bb_state_Path();

// Creates every missing folder of `folder` with permission bits 0700 (a
// per-user folder). False when one could not be made.
bool bb_file_MakeFolders(const std::string& folder);

// Opens a disk path given as UTF-16 (converted to a UTF-8 file name).
// Null when the path is empty or the file cannot be opened.
std::FILE* bb_file_Open(const String& disk_path, const char* mode);

// Reads the rest of an open file into `out`. False on a read error.
bool bb_file_ReadAll(std::FILE* file, std::string& out);
