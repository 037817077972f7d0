// Text decoding, data paths, file loading and the state store.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "runtime/core/core.h"

namespace {

String DecodeBytes(const std::string& bytes) {
  return String::Decode(reinterpret_cast<const unsigned char*>(bytes.data()), int(bytes.size()));
}

std::vector<int> Units(const String& s) { return std::vector<int>(s.Data(), s.Data() + s.Length()); }

typedef std::vector<int> Ints;

TEST(Decode, ByteOrderMarksSelectTheEncoding) {
  EXPECT_EQ(Units(DecodeBytes("\xEF\xBB\xBF" "A")), (Ints{'A'}));
  EXPECT_EQ(Units(DecodeBytes(std::string("\xFF\xFE" "A\0", 4))), (Ints{'A'}));
  EXPECT_EQ(Units(DecodeBytes(std::string("\xFE\xFF\0A", 4))), (Ints{'A'}));
  EXPECT_EQ(Units(DecodeBytes("\xFE\xFF\x20\xAC\x12")), (Ints{0x20AC})) << "a lone last byte is ignored";
  EXPECT_EQ(Units(DecodeBytes("\xFF\xFE\xAC\x20\x3D\xD8")), (Ints{0x20AC, 0xD83D}));
  EXPECT_EQ(DecodeBytes("\xFE\xFF").Length(), 0);
  EXPECT_EQ(DecodeBytes("\xEF\xBB\xBF").Length(), 0);
  EXPECT_EQ(DecodeBytes("").Length(), 0);
  // Two bytes of a mark are no mark: they are a cut sequence.
  EXPECT_EQ(Units(DecodeBytes("\xEF\xBB")), (Ints{0xEF, 0xBB}));
}

TEST(Decode, Utf8OfOneToThreeBytes) {
  EXPECT_EQ(Units(DecodeBytes("a\xC3\xA9\xE2\x82\xAC\xED\xA0\xBD")), (Ints{'a', 0xE9, 0x20AC, 0xD83D}));
  EXPECT_EQ(bb_load_error.Length(), 0);
}

TEST(Decode, InvalidUtf8FallsBackToOneCharacterPerByte) {
  const char* invalid[] = {"A\xF0\x9F\x98\x80", "\x80", "ab\xC3", "\xE2\x82", "\xC3(", "\xEF\xBB\xBFx\xFF"};
  for (const char* text : invalid) {
    std::string bytes(text);
    String s = DecodeBytes(bytes);
    std::string body = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? bytes.substr(3) : bytes;
    ASSERT_EQ(s.Length(), int(body.size())) << text;
    for (size_t i = 0; i < body.size(); ++i) EXPECT_EQ(s[int(i)], Char((unsigned char)body[i]));
    EXPECT_EQ(bb_load_error.ToUtf8(), "Invalid UTF-8");
  }
  DecodeBytes("fine");
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
  EXPECT_EQ(s[0], 0x20AC);
  EXPECT_EQ(s[2999], 0x20AC);
}

TEST(DataPath, AssetPathsBecomeVirtualAndMapToDisk) {
  auto fix = [](const char* p) { return bb_data_FixDataPath(String(p)).ToUtf8(); };
  auto map = [](const char* p) { return bb_data_MapVirtualPath(String(p)).ToUtf8(); };
  EXPECT_EQ(fix("menu.png"), "tarvex://data/menu.png");
  EXPECT_EQ(map("tarvex://data/menu.png"), "./data/menu.png");
  EXPECT_EQ(fix("tarvex://data/x"), "tarvex://data/x");
  EXPECT_EQ(fix("a:b/c"), "tarvex://data/a:b/c");
  EXPECT_EQ(fix("x:y/z:/w"), "tarvex://data/x:y/z:/w");
  EXPECT_EQ(fix("http://h/p"), "http://h/p");
  EXPECT_EQ(fix("./x"), "./x");
  EXPECT_EQ(fix("/x"), "/x");
  EXPECT_EQ(fix(""), "tarvex://data/");
  EXPECT_EQ(map("./x"), "./x");
  EXPECT_EQ(map("/x"), "/x");
  EXPECT_EQ(map("tarvex://internal/s"), "./internal/s");
  EXPECT_EQ(map("tarvex://external/s"), "./external/s");
  EXPECT_EQ(map("tarvex://other/x"), "");
  EXPECT_EQ(map("tarvex:"), "");
}

// Runs each test in a fresh temporary folder as the working directory.
class InTempFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
    old_cwd_ = cwd;
    char dir[] = "/tmp/zephrine-core-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    dir_ = dir;
    ASSERT_EQ(chdir(dir), 0);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(old_cwd_.c_str()), 0);
    ASSERT_EQ(std::system(("chmod -R u+rwx " + dir_ + " && rm -rf " + dir_).c_str()), 0);
  }
  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
  }
  // Names in the folder other than "." and "..".
  static std::string Listing() {
    std::string names;
    FILE* ls = popen("ls -A", "r");
    char line[256];
    while (std::fgets(line, sizeof(line), ls)) names += line;
    pclose(ls);
    return names;
  }
  // Runs `body` in a child process and returns its exit status. An
  // unprivileged child drops root first (file permissions do not bind root).
  template <class F>
  static int InChild(F body, bool unprivileged) {
    pid_t pid = fork();
    if (pid == 0) {
      if (unprivileged && getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(100);
      _exit(body() & 0xFF);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1000;
  }

  // A game object with the desktop mapping of virtual paths.
  class DesktopGame : public BBGame {
    String PathToFilePath(const String& path) override { return bb_data_MapVirtualPath(path); }
  };
  DesktopGame game_;

 private:
  std::string old_cwd_, dir_;
};

TEST_F(InTempFolder, StateRoundTripsAsUtf8WithoutMark) {
  EXPECT_EQ(bb_app_LoadState().Length(), 0) << "no file loads as empty";
  String state = String("settings|") + String(Char(0x7FF)) + String(Char(0x800)) + String(Char(0xFFFF)) + String("|");
  EXPECT_EQ(game_.SaveState(state), 0);
  EXPECT_EQ(Read(".tarvexstate"), "settings|\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF|");
  EXPECT_TRUE(bb_app_LoadState() == state);

  bb_app_SaveState(String("second"));
  EXPECT_EQ(bb_app_LoadState().ToUtf8(), "second");
  EXPECT_EQ(game_.SaveState(String()), 0);
  EXPECT_EQ(Read(".tarvexstate"), "");
  EXPECT_EQ(game_.LoadState().Length(), 0);
  EXPECT_EQ(Listing(), ".tarvexstate\n") << "a temporary file was left behind";

  Write(".tarvexstate", "\xEF\xBB\xBF" "edited\xC3\xA9");
  EXPECT_EQ(game_.LoadState().ToUtf8(), "edited\xC3\xA9");
}

TEST_F(InTempFolder, SaveKeepsLinksAndPermissionsOfTheStateFile) {
  ASSERT_EQ(mkdir("saves", 0755), 0);
  Write("saves/state", "old");
  ASSERT_EQ(chmod("saves/state", 0600), 0);
  ASSERT_EQ(symlink("saves/state", ".tarvexstate"), 0);
  EXPECT_EQ(game_.SaveState(String("new")), 0);
  struct stat link, target;
  ASSERT_EQ(lstat(".tarvexstate", &link), 0);
  EXPECT_TRUE(S_ISLNK(link.st_mode));
  ASSERT_EQ(stat("saves/state", &target), 0);
  EXPECT_EQ(target.st_mode & 0777, 0600u);
  EXPECT_EQ(Read("saves/state"), "new");
  EXPECT_EQ(Listing(), ".tarvexstate\nsaves\n");
}

TEST_F(InTempFolder, FailedSaveLeavesTheOldFileAndNoTemporary) {
  Write(".tarvexstate", "precious");
  ASSERT_EQ(chmod(".", 0555), 0);
  auto save = [&] { return -game_.SaveState(String("new")); };
  EXPECT_EQ(InChild(save, true), 1) << "unwritable folder";
  ASSERT_EQ(chmod(".", 0777), 0);
  ASSERT_EQ(chmod(".tarvexstate", 0444), 0);
  EXPECT_EQ(InChild(save, true), 1) << "read-only state file";
  ASSERT_EQ(chmod(".tarvexstate", 0644), 0);
  EXPECT_EQ(Read(".tarvexstate"), "precious");
  EXPECT_EQ(Listing(), ".tarvexstate\n");

  // A full disk: the file size limit stops the write part-way.
  std::string big(100000, 'x');
  int status = InChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    return -game_.SaveState(String(big.c_str()));
  }, false);
  EXPECT_EQ(status, 2);
  EXPECT_EQ(Read(".tarvexstate"), "precious");
  EXPECT_EQ(Listing(), ".tarvexstate\n");
  EXPECT_EQ(game_.LoadState().ToUtf8(), "precious");
}

TEST_F(InTempFolder, FilesLoadThroughVirtualPaths) {
  ASSERT_EQ(mkdir("data", 0755), 0);
  std::string bytes;
  for (int i = 0; i < 10000; ++i) bytes += char(i * 7);
  Write("data/blob.bin", bytes);
  Write("data/text.txt", std::string("\xFF\xFEh\0i\0", 6));

  int length = -1;
  unsigned char* block = game_.LoadData(bb_data_FixDataPath(String("blob.bin")), &length);
  ASSERT_NE(block, nullptr);
  ASSERT_EQ(length, 10000);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 10000), bytes);
  std::free(block);
  Write("empty", "");
  block = game_.LoadData(String("./empty"), &length);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(length, 0);
  std::free(block);

  EXPECT_EQ(game_.LoadData(String("tarvex://data/missing"), &length), nullptr);
  EXPECT_EQ(game_.LoadString(String("tarvex://data/text.txt")).ToUtf8(), "hi");
  EXPECT_EQ(game_.LoadString(String("tarvex://data/missing")).Length(), 0);

  // A root the platform does not know never reaches the disk.
  ASSERT_EQ(mkdir("other", 0755), 0);
  Write("other/x", "x");
  EXPECT_EQ(game_.OpenFile(String("tarvex://other/x"), String("rb")), nullptr);
  EXPECT_EQ(game_.OpenFile(String("tarvex://other/y"), String("wb")), nullptr);
  EXPECT_EQ(Listing(), "data\nempty\nother\n");
}

}  // namespace
