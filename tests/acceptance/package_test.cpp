// The game as a player installs it: the Debian package built from this
// build, its contents, what the desktop's and Debian's own checkers make of
// it, and the unpacked game started from another folder, as its desktop
// entry starts it. Also the game started where it finds no data at all.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

#include "tests/acceptance/player.h"

using namespace zephrine_test;
namespace fs = std::filesystem;

namespace {

constexpr int STATE_FIELDS = 182;

// A command's output and standard error, with its exit status last.
struct Ran {
  std::string out;
  int status = -1;
};
Ran Command(const std::string& command) {
  std::string out = Shell("{ " + command + "; } 2>&1; echo \"status $?\"");
  const std::size_t at = out.rfind("status ");
  return {out.substr(0, at), at == std::string::npos ? -1 : std::atoi(out.c_str() + at + 7)};
}

// Each path a listing of `dpkg-deb -c` names (without the leading "."),
// with its mode and owner ("-rwxr-xr-x root/root").
std::map<std::string, std::string> Listed(const std::string& listing) {
  std::map<std::string, std::string> files;
  std::istringstream in(listing);
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string mode, owner, size, date, time, path;
    if (fields >> mode >> owner >> size >> date >> time >> path) files[path.substr(1)] = mode + " " + owner;
  }
  return files;
}

// Width and height of a PNG file, read from its header.
std::pair<int, int> PngSize(const std::string& path) {
  const std::string bytes = ReadFile(path);
  if (bytes.size() < 24) return {0, 0};
  auto be = [&](std::size_t at) {
    int v = 0;
    for (std::size_t i = at; i < at + 4; ++i) v = v << 8 | (unsigned char)bytes[i];
    return v;
  };
  return {be(16), be(20)};
}

// The one file in `folder`; empty when there is none or more than one.
std::string OnlyFile(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
  return files.size() == 1 ? files[0] : "";
}

TEST(Package, HoldsTheGameItsDataAndDesktopFilesPassesTheCheckersAndTheUnpackedGameSavesUnderXdg) {
  Player p;
  const std::string out = p.Path("out"), root = p.Path("root");
  const Ran built = Command(CPACK_COMMAND " -G DEB --config " ZEPHRINE_BUILD_DIR "/CPackConfig.cmake -B " + out);
  const std::string deb = out + "/zephrine_" ZEPHRINE_VERSION "_amd64.deb";
  ASSERT_TRUE(built.status == 0 && fs::exists(deb)) << built.out;

  // Everything under /usr, as root's; the binary runnable; every data file
  // of the build; the icon in each size its folder names.
  const Ran listing = Command("dpkg-deb -c " + deb);
  ASSERT_EQ(listing.status, 0);
  const std::map<std::string, std::string> files = Listed(listing.out);
  for (const auto& [file, mode] : files) {
    EXPECT_EQ(file.rfind("/usr/", 0), 0u) << file;
    EXPECT_EQ(mode.substr(mode.find(' ')), " root/root") << file;
  }
  EXPECT_EQ(files.count("/usr/games/zephrine") ? files.at("/usr/games/zephrine") : "", "-rwxr-xr-x root/root");
  int data_files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(ZEPHRINE_GAME_DIR "/data")) {
    if (!entry.is_regular_file()) continue;
    ++data_files;
    const std::string name = fs::relative(entry.path(), ZEPHRINE_GAME_DIR).string();
    EXPECT_TRUE(files.count("/usr/share/games/zephrine/" + name)) << name;
  }
  EXPECT_GT(data_files, 0);
  for (const char* file : {"/usr/share/doc/zephrine/copyright", "/usr/share/doc/zephrine/changelog.gz",
                           "/usr/share/man/man6/zephrine.6.gz"}) {
    EXPECT_TRUE(files.count(file)) << file;
  }

  ASSERT_EQ(Command("dpkg-deb -x " + deb + " " + root).status, 0);
  int icons = 0;
  for (const auto& [file, mode] : files) {
    std::smatch size;
    if (!std::regex_match(file, size, std::regex("/usr/share/icons/hicolor/([0-9]+)x\\1/apps/zephrine\\.png"))) continue;
    ++icons;
    const int side = std::stoi(size[1]);
    EXPECT_EQ(PngSize(root + file), std::make_pair(side, side)) << file;
  }
  EXPECT_GE(icons, 6) << "16 to 256 pixels";

  const std::string desktop = OnlyFile(root + "/usr/share/applications"), metainfo =
                                                                             OnlyFile(root + "/usr/share/metainfo");
  ASSERT_FALSE(desktop.empty() || metainfo.empty());
  const Ran entry = Command("desktop-file-validate " + desktop), info = Command("appstreamcli validate --no-net " + metainfo);
  EXPECT_TRUE(entry.status == 0 && entry.out.empty()) << entry.out;
  EXPECT_EQ(info.status, 0) << info.out;
  const Ran lint = Command("lintian --no-tag-display-limit " + deb);
  EXPECT_EQ(lint.status, 0) << lint.out;
  EXPECT_EQ(std::regex_search(lint.out, std::regex("(^|\\n)E: ")), false) << lint.out;

  // As the desktop starts it: the entry's command (the binary's full path)
  // under the unpacked root, from a folder without data/, so every picture
  // comes from the unpacked data.
  std::smatch exec;
  const std::string entry_text = ReadFile(desktop);
  ASSERT_TRUE(std::regex_search(entry_text, exec, std::regex("\\nExec=(/usr/games/zephrine)\\n"))) << entry_text;
  const std::string xdg = p.Path("xdg-data");
  fs::remove_all(p.Path("data"));
  ASSERT_TRUE(p.Start({"XDG_DATA_HOME=" + xdg}, false, root + exec[1].str()) && p.Play({{"", Screen::MENU}}))
      << p.Output();
  p.Focus(false);  // saves
  const std::string saved = xdg + "/zephrine/.tarvexstate";
  std::string state;
  EXPECT_TRUE(Within(10, [&] { return !(state = ReadFile(saved)).empty(); }));
  EXPECT_EQ(std::count(state.begin(), state.end(), '|'), STATE_FIELDS) << state;
  struct stat folder;
  ASSERT_EQ(stat((xdg + "/zephrine").c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 0777, 0700u);
  EXPECT_FALSE(fs::exists(p.Path(".tarvexstate"))) << "nothing saved in the folder it was started from";
  p.Focus(true);
  p.Keys("F4");
  EXPECT_EQ(p.Exit(), 0) << p.Output();
}

TEST(Package, WithoutAnyDataFolderTheGameSaysWhereItLookedAndFails) {
  TempDir dir;
  fs::create_directories(dir.Path("bin"));
  fs::copy_file(ZEPHRINE_GAME_DIR "/zephrine", dir.Path("bin/zephrine"));
  const Ran ran = Command("cd " + dir.Path() + " && ./bin/zephrine");
  EXPECT_EQ(ran.status, 1);
  EXPECT_EQ(ran.out, "Zephrine cannot find its data folder: looked in " + dir.Path("share/games/zephrine/data") + ", " +
                         dir.Path("data") + " and " + dir.Path("bin/data") + "\n");
}

}  // namespace
