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
const char* const kStateFolder = "zephrine/";
// The XDG default for an unset or unusable XDG_DATA_HOME, under the home.
const char* const kDefaultDataHome = "/.local/share/";
const char* const kBuildData = "data";

bool is_folder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string with_slash(const std::string& folder) { return folder.back() == '/' ? folder : folder + "/"; }

// Only an absolute value counts: the XDG rules say a relative one is to be
// ignored.
bool usable(const char* folder) { return folder && folder[0] == '/'; }

// The user's data folder: $XDG_DATA_HOME, else ~/.local/share; "./" when
// there is no home to be found.
std::string user_data_folder(const BBPathClues& clues) {
  if (usable(clues.xdgDataHome)) return with_slash(clues.xdgDataHome);
  if (usable(clues.home)) return clues.home + std::string(kDefaultDataHome);
  if (!clues.userHome.empty()) return clues.userHome + kDefaultDataHome;
  return "./";
}

std::string program_folder() {
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : program.parent_path().string();
}

std::string account_home() {
  const passwd* account = getpwuid(getuid());
  return account && account->pw_dir ? account->pw_dir : "";
}

std::string joined(const std::vector<std::string>& folders) {
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
  const std::string beside = known ? clues.programFolder + "/" + kBuildData : "";
  if (known && is_folder(installed)) return {with_slash(installed), user_data_folder(clues) + kStateFolder, {}};
  if (is_folder(kBuildData)) return {std::string("./") + kBuildData + "/", "./", {}};
  if (known && is_folder(beside)) return {beside + "/", "./", {}};
  std::error_code error;
  const std::string here = (fs::current_path(error) / kBuildData).string();
  return {"", "", known ? std::vector<std::string>{installed, here, beside} : std::vector<std::string>{here}};
}

BBPathClues bb_paths_ProcessClues() {
  BBPathClues clues;
  clues.programFolder = program_folder();
  clues.installedData = ZEPHRINE_INSTALLED_DATA;
  clues.xdgDataHome = std::getenv("XDG_DATA_HOME");
  clues.home = std::getenv("HOME");
  clues.userHome = account_home();
  return clues;
}

bool bb_paths_Setup() {
  const BBGamePaths paths = bb_paths_Locate(bb_paths_ProcessClues());
  if (paths.data.empty()) {
    std::printf("Zephrine cannot find its data folder: looked in %s\n", joined(paths.looked).c_str());
    std::fflush(stdout);
    return false;
  }
  bb_data_SetFolders(paths.data, paths.state);
  return true;
}
