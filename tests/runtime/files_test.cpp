// Text decoding, data paths, file loading and the state store.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "runtime/core/core.h"
#include "tests/support/gated_disk.h"
#include "tests/support/support.h"
#include "tests/support/test_game.h"

using namespace zephrine_test;

namespace {

typedef std::vector<int> Ints;

Ints Units(const std::string& bytes) {
  String s = String::Decode(reinterpret_cast<const unsigned char*>(bytes.data()), int(bytes.size()));
  return Ints(s.Data(), s.Data() + s.Length());
}

// The bytes as units, one each.
Ints Bytes(const std::string& bytes) {
  Ints units;
  for (unsigned char c : bytes) units.push_back(c);
  return units;
}

TEST(Decode, MarksSelectTheEncodingAndInvalidUtf8FallsBackToBytes) {
  const std::pair<std::string, Ints> valid[] = {
      {"\xEF\xBB\xBF" "A", {'A'}},
      {std::string("\xFF\xFE" "A\0", 4), {'A'}},
      {std::string("\xFE\xFF\0A", 4), {'A'}},
      {"\xFE\xFF\x20\xAC\x12", {0x20AC}},  // a lone last byte is ignored
      {"\xFF\xFE\xAC\x20\x3D\xD8", {0x20AC, 0xD83D}},
      {"\xFE\xFF", {}},
      {"\xEF\xBB\xBF", {}},
      {"", {}},
      {"a\xC3\xA9\xE2\x82\xAC\xED\xA0\xBD", {'a', 0xE9, 0x20AC, 0xD83D}},  // one to three bytes
  };
  for (const auto& [bytes, units] : valid) {
    EXPECT_EQ(Units(bytes), units);
    EXPECT_EQ(bb_load_error.Length(), 0);
  }
  // Two bytes of a mark are no mark but a cut sequence; a mark before
  // invalid text is still skipped.
  for (std::string bytes :
       {"\xEF\xBB", "A\xF0\x9F\x98\x80", "\x80", "ab\xC3", "\xE2\x82", "\xC3(", "\xEF\xBB\xBFx\xFF"}) {
    std::string body = bytes.size() > 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? bytes.substr(3) : bytes;
    EXPECT_EQ(Units(bytes), Bytes(body)) << bytes;
    EXPECT_EQ(bb_load_error.ToUtf8(), "Invalid UTF-8");
  }
  Units("fine");
  EXPECT_EQ(bb_load_error.Length(), 0) << "the load error is cleared by the next decode";
}

TEST(Decode, LoadReadsTheRestOfAFileAcrossBlocks) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  std::string text = "skip";
  for (int i = 0; i < 3000; ++i) text += "\xE2\x82\xAC";  // crosses 4096-byte blocks mid-character
  std::fwrite(text.data(), 1, text.size(), file);
  std::fseek(file, 4, SEEK_SET);
  String s = String::Load(file);
  std::fclose(file);
  ASSERT_EQ(s.Length(), 3000);
  EXPECT_TRUE(s[0] == 0x20AC && s[2999] == 0x20AC);
}

TEST(DataPath, AssetPathsBecomeVirtualAndMapToDisk) {
  const std::pair<const char*, const char*> fixed[] = {
      {"menu.png", "tarvex://data/menu.png"}, {"tarvex://data/x", "tarvex://data/x"},
      {"a:b/c", "tarvex://data/a:b/c"},      {"x:y/z:/w", "tarvex://data/x:y/z:/w"},
      {"http://h/p", "http://h/p"},          {"./x", "./x"},
      {"/x", "/x"},                          {"", "tarvex://data/"}};
  for (const auto& [path, virtualPath] : fixed) EXPECT_EQ(bb_data_FixDataPath(String(path)).ToUtf8(), virtualPath);
  const std::pair<const char*, const char*> mapped[] = {
      {"tarvex://data/menu.png", "./data/menu.png"}, {"./x", "./x"}, {"/x", "/x"},
      {"tarvex://internal/s", "./internal/s"},       {"tarvex://external/s", "./external/s"},
      {"tarvex://other/x", ""},                       {"tarvex:", ""}};
  for (const auto& [path, disk] : mapped) EXPECT_EQ(bb_data_MapVirtualPath(String(path)).ToUtf8(), disk);
}

// Runs each test in a fresh temporary folder as the working directory.
class InTempFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Path());
  }
  void TearDown() override { std::filesystem::current_path(old_); }
  // Names in the folder, each followed by a line feed.
  static std::string Listing() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(".")) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    std::string listing;
    for (const std::string& name : names) listing += name + "\n";
    return listing;
  }
  // A save in a child process; root drops its privileges first when
  // `unprivileged`, as file permissions do not bind root. The result negated.
  int SaveInChild(const std::string& state, bool unprivileged, const std::function<void()>& before = {}) {
    return RunChild([&] {
      if (unprivileged && getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 100;
      if (before) before();
      return -game_.SaveState(String(state.c_str()));
    }).status;
  }
  TestGame game_;

 private:
  TempDir dir_;
  std::filesystem::path old_;
};

TEST_F(InTempFolder, StateRoundTripsAsUtf8WithoutMark) {
  EXPECT_EQ(bb_app_LoadState().Length(), 0) << "no file loads as empty";
  String state = String("settings|") + String(Char(0x7FF)) + String(Char(0x800)) + String(Char(0xFFFF)) + String("|");
  EXPECT_EQ(game_.SaveState(state), 0);
  EXPECT_EQ(ReadFile(".tarvexstate"), "settings|\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF|");
  EXPECT_TRUE(bb_app_LoadState() == state);

  bb_app_SaveState(String("second"));
  EXPECT_EQ(bb_app_LoadState().ToUtf8(), "second");
  EXPECT_EQ(game_.SaveState(String()), 0);
  EXPECT_EQ(ReadFile(".tarvexstate"), "");
  EXPECT_EQ(game_.LoadState().Length(), 0);
  EXPECT_EQ(Listing(), ".tarvexstate\n") << "a temporary file was left behind";

  WriteFile(".tarvexstate", "\xEF\xBB\xBF" "edited\xC3\xA9");
  EXPECT_EQ(game_.LoadState().ToUtf8(), "edited\xC3\xA9");
}

TEST_F(InTempFolder, SaveKeepsLinksAndPermissionsOfTheStateFile) {
  ASSERT_EQ(mkdir("saves", 0755), 0);
  WriteFile("saves/state", "old");
  ASSERT_EQ(chmod("saves/state", 0600), 0);
  ASSERT_EQ(symlink("saves/state", ".tarvexstate"), 0);
  EXPECT_EQ(game_.SaveState(String("new")), 0);
  struct stat link, target;
  ASSERT_EQ(lstat(".tarvexstate", &link), 0);
  EXPECT_TRUE(S_ISLNK(link.st_mode));
  ASSERT_EQ(stat("saves/state", &target), 0);
  EXPECT_EQ(target.st_mode & 0777, 0600u);
  EXPECT_EQ(ReadFile("saves/state"), "new");
  EXPECT_EQ(Listing(), ".tarvexstate\nsaves\n");
}

TEST_F(InTempFolder, FailedSaveLeavesTheOldFileAndNoTemporary) {
  WriteFile(".tarvexstate", "precious");
  ASSERT_EQ(chmod(".", 0555), 0);
  EXPECT_EQ(SaveInChild("new", true), 1) << "unwritable folder";
  ASSERT_EQ(chmod(".", 0777), 0);
  ASSERT_EQ(chmod(".tarvexstate", 0444), 0);
  EXPECT_EQ(SaveInChild("new", true), 1) << "read-only state file";
  ASSERT_EQ(chmod(".tarvexstate", 0644), 0);
  // A full disk: the file size limit stops the write part-way.
  EXPECT_EQ(SaveInChild(std::string(100000, 'x'), false, [] {
              std::signal(SIGXFSZ, SIG_IGN);
              rlimit limit{4096, 4096};
              setrlimit(RLIMIT_FSIZE, &limit);
            }),
            2);
  EXPECT_EQ(ReadFile(".tarvexstate"), "precious");
  EXPECT_EQ(Listing(), ".tarvexstate\n");
  EXPECT_EQ(game_.LoadState().ToUtf8(), "precious");
}

// A rival planting a link to "victim" at each of the next `plants` new
// names a save tries, just before the save opens it.
int plants = 0;
int PlantingOpen(const char* path, int flags, mode_t mode) {
  if ((flags & O_CREAT) && plants > 0 && symlink("victim", path) == 0) --plants;
  return open(path, flags, mode);
}

TEST_F(InTempFolder, LinksPlantedAtTheNamesASaveTriesAreNeverWrittenThrough) {
  const struct {
    int plants;  // links planted in the save's way
    int result;
    const char* state;
  } cases[] = {{1, 0, "new"}, {5, 0, "new"}, {1 << 20, -1, "old"}};  // the last: at every name it could try
  for (const auto& c : cases) {
    WriteFile("victim", "precious");
    WriteFile(".tarvexstate", "old");
    // Links of an older version's fixed name and of a crashed save's.
    ASSERT_EQ(symlink("victim", ".tarvexstate.tmp"), 0);
    ASSERT_EQ(symlink("ghost", ".tarvexstate.tmp.Ab12Cd"), 0);
    game_.StateStore().SetCalls({PlantingOpen, fsync});
    plants = c.plants;
    EXPECT_EQ(game_.SaveState(String("new")), c.result) << c.plants;
    EXPECT_EQ(ReadFile(".tarvexstate"), c.state) << c.plants;
    EXPECT_EQ(ReadFile("victim"), "precious") << c.plants;
    EXPECT_FALSE(std::filesystem::exists("ghost")) << c.plants;
    if (c.result == 0) {
      EXPECT_EQ(Listing(), ".tarvexstate\nvictim\n") << "a planted link stayed";
    }
    for (const auto& entry : std::filesystem::directory_iterator(".")) std::filesystem::remove(entry.path());
  }
}

TEST_F(InTempFolder, ASaveRemovesLeftoversOfCrashedSavesButNoFileARunningSaveHolds) {
  ASSERT_EQ(chmod(".", 0777), 0);
  WriteFile(".tarvexstate", "old");
  ASSERT_EQ(chmod(".tarvexstate", 0666), 0);
  const struct {
    const char* name;
    mode_t mode;
    bool old;  // last touched an hour ago
    bool gone;
  } files[] = {
      {".tarvexstate.tmp", 0, true, true},           // an older version's, unopenable: it no longer stops a safe save
      {".tarvexstate.tmp.Zz9Zz9", 0644, false, true},  // a killed save's
      {".tarvexstate.tmp.held00", 0644, false, false},  // a running save's (locked below)
      {".tarvexstate.tmp.fresh0", 0, false, false},     // unopenable and just written: perhaps another user's running save
      {".tarvexstate.tmpx", 0644, true, false},         // no name a save makes
  };
  for (const auto& f : files) {
    WriteFile(f.name, "leftover");
    ASSERT_EQ(chmod(f.name, f.mode), 0);
    const timeval hour_ago[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
    if (f.old) {
      ASSERT_EQ(utimes(f.name, hour_ago), 0);
    }
  }
  const int held = open(".tarvexstate.tmp.held00", O_RDONLY);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  struct stat before, after;
  ASSERT_EQ(stat(".tarvexstate", &before), 0);
  EXPECT_EQ(SaveInChild("new", true), 0);
  close(held);
  ASSERT_EQ(stat(".tarvexstate", &after), 0);
  EXPECT_NE(before.st_ino, after.st_ino) << "rewritten in place, not renamed over";
  EXPECT_EQ(ReadFile(".tarvexstate"), "new");
  for (const auto& f : files) EXPECT_EQ(!std::filesystem::exists(f.name), f.gone) << f.name;
}

TEST_F(InTempFolder, LoadReadsNoMoreThanItsBoundAndSaysWhenTheFileWasCut) {
  const std::string cut = "State file cut: only its first " + std::to_string(STATE_FILE_LOAD_LIMIT) + " bytes read\n";
  const struct {
    off_t size;  // the file's, the part beyond the digits a hole
    std::string printed;
  } cases[] = {{off_t(STATE_FILE_LOAD_LIMIT), ""}, {off_t(STATE_FILE_LOAD_LIMIT) + 1, cut}, {off_t(2) << 30, cut}};
  for (const auto& c : cases) {
    WriteFile(".tarvexstate", "1|22|333|");
    ASSERT_EQ(truncate(".tarvexstate", c.size), 0);
    const ChildResult loaded = RunChild([&] {
      const String state = game_.LoadState();
      return state.Length() == int(std::min<off_t>(c.size, STATE_FILE_LOAD_LIMIT)) &&
             state.Slice(0, 9).ToUtf8() == "1|22|333|";
    });
    EXPECT_EQ(loaded.status, 1) << c.size;
    EXPECT_EQ(loaded.out, c.printed) << c.size;
  }
}

// Saves handed over while the disk stalls: none waits for the disk, the
// newest of those waiting is the one written, and a load reads it.
TEST_F(InTempFolder, ASlowDiskNeverHoldsUpWhoHandsASaveOverAndTheNewestWins) {
  game_.StateStore().SetCalls(gated_disk::Calls());
  bb_app_SaveState(String("first"));
  ASSERT_TRUE(gated_disk::WaitForSync());  // "first" stands at the gate
  bb_app_SaveState(String("second"));
  bb_app_SaveState(String("third"));
  EXPECT_EQ(ReadFile(".tarvexstate"), "");
  gated_disk::Open();
  EXPECT_EQ(bb_app_LoadState().ToUtf8(), "third");
  EXPECT_EQ(gated_disk::FileSyncs(), 2) << "second is passed over";
  EXPECT_EQ(gated_disk::Forced(), 0);
}

// Every way out through exit() writes the save handed over last, however
// slow the disk: quitting, and a runtime error.
TEST_F(InTempFolder, TheLastSaveHandedOverIsOnDiskWhenTheProgramEnds) {
  for (const char* message : {"", "broken"}) {
    std::filesystem::remove(".tarvexstate");
    const ChildResult ended = RunChild([&] {
      game_.StateStore().SetCalls({BB_FILE_SYSTEM_CALLS.open, [](int fd) {
                                     usleep(200000);
                                     return fsync(fd);
                                   }});
      bb_app_SaveState(String("last"));
      bbError(String(message));
      return 0;
    });
    EXPECT_EQ(ended.status, message[0] ? 255 : 0) << ended.out;
    EXPECT_EQ(ReadFile(".tarvexstate"), "last") << message;
  }
}

TEST_F(InTempFolder, FilesLoadThroughVirtualPaths) {
  ASSERT_EQ(mkdir("data", 0755), 0);
  std::string bytes;
  for (int i = 0; i < 10000; ++i) bytes += char(i * 7);
  WriteFile("data/blob.bin", bytes);
  WriteFile("data/text.txt", std::string("\xFF\xFEh\0i\0", 6));
  WriteFile("empty", "");
  for (const auto& [path, content] : {std::pair<String, std::string>{bb_data_FixDataPath(String("blob.bin")), bytes},
                                      {String("./empty"), ""}}) {
    int length = -1;
    unsigned char* block = game_.LoadData(path, &length);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), size_t(length)), content);
    std::free(block);
  }
  int length = -1;
  EXPECT_EQ(game_.LoadData(String("tarvex://data/missing"), &length), nullptr);
  EXPECT_EQ(game_.LoadString(String("tarvex://data/text.txt")).ToUtf8(), "hi");
  EXPECT_EQ(game_.LoadString(String("tarvex://data/missing")).Length(), 0);

  // A root the platform does not know never reaches the disk.
  ASSERT_EQ(mkdir("other", 0755), 0);
  WriteFile("other/x", "x");
  EXPECT_EQ(game_.OpenFile(String("tarvex://other/x"), String("rb")), nullptr);
  EXPECT_EQ(game_.OpenFile(String("tarvex://other/y"), String("wb")), nullptr);
  EXPECT_EQ(Listing(), "data\nempty\nother\n");
}

}  // namespace
