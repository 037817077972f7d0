// Where this copy of the game keeps its files, decided once at start-up.
//
// Installed (the program in games/ under a prefix, its data in
// share/games/zephrine/data under the same prefix), the game reads its data
// beside its own binary, wherever the prefix was moved, and keeps its state
// in the user's XDG data folder. Started from its build folder (data/ in the
// working directory or beside the binary), it reads that data/ and keeps its
// state in the working directory, as it always has.
#pragma once

#include <string>
#include <vector>

// What the decision looks at. Null means an unset variable; an empty
// program folder means the binary's own folder is unknown.
struct BBPathClues {
  std::string programFolder;       // absolute, without a trailing "/"
  std::string installedData;       // the data folder relative to programFolder once installed
  const char* xdgDataHome = nullptr;
  const char* home = nullptr;
  std::string userHome;            // the account's home from the user database; may be empty
};

// The folders chosen, each ending in "/", or, when no data folder exists
// anywhere, the folders tried (`data` empty).
struct BBGamePaths {
  std::string data;
  std::string state;
  std::vector<std::string> looked;
};

// The installed layout first, so a stray data/ in the folder the player
// starts from never shadows the installed data; then data/ in the working
// directory; then data/ beside the binary.
BBGamePaths bb_paths_Locate(const BBPathClues& clues);

// The clues of this process: /proc/self/exe, the build's install layout,
// the environment and the account.
BBPathClues bb_paths_ProcessClues();

// Locates the folders of this process and hands them to the file layer.
// False, after one line on standard output naming where it looked, when
// there is no data folder.
bool bb_paths_Setup();
