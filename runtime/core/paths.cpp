#include "paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "files.h"

namespace fs = std::filesystem;

namespace {

// The folder under the XDG data folder that holds an installed game's state.
const char* const STATE_FOLDER = "zephrine/";
// The XDG default for an unset or unusable XDG_DATA_HOME, under the home.
const char* const DEFAULT_DATA_HOME = "/.local/share/";
const char* const BUILD_DATA = "data";

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string WithSlash(const std::string& folder) { return folder.back() == '/' ? folder : folder + "/"; }

// Only an absolute value counts: the XDG rules say a relative one is to be
// ignored.
bool Usable(const char* folder) { return folder && folder[0] == '/'; }

// The user's data folder: $XDG_DATA_HOME, else ~/.local/share; "./" when
// there is no home to be found.
std::string UserDataFolder(const BBPathClues& clues) {
  if (Usable(clues.xdgDataHome)) return WithSlash(clues.xdgDataHome);
  if (Usable(clues.home)) return clues.home + std::string(DEFAULT_DATA_HOME);
  if (!clues.userHome.empty()) return clues.userHome + DEFAULT_DATA_HOME;
  return "./";
}

std::string ProgramFolder() {
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : program.parent_path().string();
}

std::string AccountHome() {
  const passwd* account = getpwuid(getuid());
  return account && account->pw_dir ? account->pw_dir : "";
}

std::string Joined(const std::vector<std::string>& folders) {
  std::string text;
  for (std::size_t i = 0; i < folders.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == folders.size() ? " and " : ", ") + folders[i];
  }
  return text;
}

}  // namespace

BBGamePaths bb_paths_Locate(const BBPathClues& clues) {
  const bool known = !clues.programFolder.empty();
  const std::string installed =
      known ? (fs::path(clues.programFolder) / clues.installedData).lexically_normal().string() : "";
  const std::string beside = known ? clues.programFolder + "/" + BUILD_DATA : "";
  if (known && IsFolder(installed)) return {WithSlash(installed), UserDataFolder(clues) + STATE_FOLDER, {}};
  if (IsFolder(BUILD_DATA)) return {std::string("./") + BUILD_DATA + "/", "./", {}};
  if (known && IsFolder(beside)) return {beside + "/", "./", {}};
  std::error_code error;
  const std::string here = (fs::current_path(error) / BUILD_DATA).string();
  return {"", "", known ? std::vector<std::string>{installed, here, beside} : std::vector<std::string>{here}};
}

BBPathClues bb_paths_ProcessClues() {
  BBPathClues clues;
  clues.programFolder = ProgramFolder();
  clues.installedData = ZEPHRINE_INSTALLED_DATA;
  clues.xdgDataHome = std::getenv("XDG_DATA_HOME");
  clues.home = std::getenv("HOME");
  clues.userHome = AccountHome();
  return clues;
}

bool bb_paths_Setup() {
  const BBGamePaths paths = bb_paths_Locate(bb_paths_ProcessClues());
  if (paths.data.empty()) {
    std::printf("Zephrine cannot find its data folder: looked in %s\n", Joined(paths.looked).c_str());
    std::fflush(stdout);
    return false;
  }
  bb_data_SetFolders(paths.data, paths.state);
  return true;
}
