#include "files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <random>

namespace {

std::string data_folder = "./data/";
std::string state_folder = "./";
const char* const STATE_FILE_NAME = ".tarvexstate";

}  // namespace

void bb_data_SetFolders(const std::string& data, const std::string& state) {
  data_folder = data;
  state_folder = state;
}

String bb_state_Path() { return String::FromUtf8(state_folder + STATE_FILE_NAME); }

bool bb_file_MakeFolders(const std::string& folder) {
  for (std::string::size_type end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
    const std::string part = folder.substr(0, end);
    if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (end == std::string::npos) return true;
  }
}

String bb_data_FixDataPath(const String& path) {
  int i = path.Find(String(":/"));
  if (i != -1 && path.Find(String("/")) == i + 1) return path;
  if (path.StartsWith(String("./")) || path.StartsWith(String("/"))) return path;
  return String("tarvex://data/") + path;
}

String bb_data_MapVirtualPath(const String& path) {
  const struct {
    const char* virtual_root;
    const char* disk_root;
  } roots[] = {
      {"tarvex://data/", data_folder.c_str()},
      {"tarvex://internal/", "./internal/"},
      {"tarvex://external/", "./external/"},
  };
  if (!path.StartsWith(String("tarvex:"))) return path;
  for (const auto& root : roots) {
    String prefix(root.virtual_root);
    if (path.StartsWith(prefix)) return String::FromUtf8(root.disk_root) + path.Slice(prefix.Length());
  }
  return String();
}

std::FILE* bb_file_Open(const String& disk_path, const char* mode) {
  if (!disk_path.Length()) return nullptr;
  return std::fopen(disk_path.ToUtf8().c_str(), mode);
}

bool bb_file_ReadAll(std::FILE* file, std::string& out) {
  char block[4096];
  std::size_t n;
  while ((n = std::fread(block, 1, sizeof(block), file)) > 0) out.append(block, n);
  return !std::ferror(file);
}

bool bb_file_ReadAtMost(std::FILE* file, std::size_t limit, std::string& out) {
  out.resize(limit + 1);
  out.resize(std::fread(&out[0], 1, out.size(), file));
  if (out.size() <= limit) return false;
  out.resize(limit);
  return true;
}

const FileCalls BB_FILE_SYSTEM_CALLS = {
    [](const char* path, int flags, mode_t mode) { return open(path, flags, mode); }, fsync};

namespace {

// A save's temporary file is the state file's name, this suffix, a dot and
// random letters; the suffix alone was the one name of older versions.
const char TEMP_SUFFIX[] = ".tmp";
const char TEMP_LETTERS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int TEMP_NAME_LETTERS = 6;
// Names tried before a save gives up: only names taken by chance or planted
// on purpose make it try again.
constexpr int TEMP_NAME_TRIES = 100;
// A leftover this process may not open is removed once untouched this long:
// no running save leaves its file untouched for that.
constexpr std::time_t LEFTOVER_SECONDS = 60;

// The file a save replaces: the state file itself or, when it is a symbolic
// link, the file the link names, so a linked state file stays linked.
std::string SaveTarget(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return path;
  std::string target(resolved);
  std::free(resolved);
  return target;
}

std::string FolderOf(const std::string& path) {
  std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

std::string RandomLetters() {
  std::random_device source;
  std::uniform_int_distribution<int> pick(0, int(sizeof(TEMP_LETTERS)) - 2);
  std::string letters;
  for (int i = 0; i < TEMP_NAME_LETTERS; ++i) letters += TEMP_LETTERS[pick(source)];
  return letters;
}

bool WriteAll(int fd, const std::string& bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += std::size_t(written);
  }
  return true;
}

// Whether the open file `fd` is the one at `path`.
bool IsFileAt(int fd, const std::string& path) {
  struct stat open_info, path_info;
  return fstat(fd, &open_info) == 0 && lstat(path.c_str(), &path_info) == 0 && open_info.st_dev == path_info.st_dev &&
         open_info.st_ino == path_info.st_ino;
}

struct TempFile {
  int fd = -1;
  std::string path;
};

// A new, empty file beside `target` under a name nothing had, created as
// mkstemp does (never through a link), and locked until it is closed so
// that no other save takes it for a leftover. fd -1, errno set, when none
// could be made.
TempFile CreateTemp(const std::string& target, const FileCalls& calls) {
  for (int i = 0; i < TEMP_NAME_TRIES; ++i) {
    std::string path = target + TEMP_SUFFIX + "." + RandomLetters();
    int fd = calls.open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return {};
    // Another save may have swept the file away before the lock was taken;
    // a file system without locks keeps it unlocked.
    if (flock(fd, LOCK_EX) != 0 || IsFileAt(fd, path)) return {fd, path};
    close(fd);
  }
  errno = EEXIST;
  return {};
}

// Removes a temporary file unless a running save holds it locked. A link is
// removed itself, never what it names; a file this process may not open
// once it has lain untouched for a while.
void RemoveIfUnheld(const std::string& path, const FileCalls& calls) {
  int fd = calls.open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0);
  if (fd >= 0) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) unlink(path.c_str());
    close(fd);
    return;
  }
  struct stat info;
  if (errno == ELOOP || (lstat(path.c_str(), &info) == 0 && std::time(nullptr) - info.st_mtime > LEFTOVER_SECONDS)) {
    unlink(path.c_str());
  }
}

// Temporary files of saves beside `target` that crashed or were killed.
void RemoveLeftovers(const std::string& target, const FileCalls& calls) {
  const std::string folder = FolderOf(target), stem = NameOf(target) + TEMP_SUFFIX;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == stem || name.compare(0, stem.size() + 1, stem + ".") == 0) RemoveIfUnheld(folder + "/" + name, calls);
  }
  closedir(dir);
}

// Writes and syncs the bytes: 0, or -2 when not every byte reached the disk.
int WriteSynced(int fd, const std::string& bytes, const FileCalls& calls) {
  return WriteAll(fd, bytes) && calls.fsync(fd) == 0 ? 0 : -2;
}

// Makes a rename inside the folder of `path` durable. Best effort: the new
// file is already in place when this runs.
void SyncFolder(const std::string& path, const FileCalls& calls) {
  int fd = calls.open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) return;
  calls.fsync(fd);
  close(fd);
}

// The save of a folder that forbids new files: the file truncated and
// written where it is.
int RewriteInPlace(const std::string& target, const std::string& bytes, const FileCalls& calls) {
  int fd = calls.open(target.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0);
  if (fd < 0) return -1;
  int result = WriteSynced(fd, bytes, calls);
  return close(fd) == 0 ? result : -2;
}

}  // namespace

int bb_file_SaveDurably(const std::string& path, const std::string& bytes, const FileCalls& calls) {
  const std::string target = SaveTarget(path);
  // The state folder of an installed game is made on its first save.
  if (!bb_file_MakeFolders(target.substr(0, target.rfind('/') + 1))) return -1;
  struct stat old_file;
  const bool exists = stat(target.c_str(), &old_file) == 0;
  if (exists && access(target.c_str(), W_OK) != 0) return -1;
  TempFile temp = CreateTemp(target, calls);
  if (temp.fd < 0) {
    // Only a folder that forbids new files: a creation that failed for want
    // of space would fail again after truncating the old state.
    return exists && (errno == EACCES || errno == EPERM) ? RewriteInPlace(target, bytes, calls) : -1;
  }
  if (exists) fchmod(temp.fd, old_file.st_mode & 07777);
  int result = WriteSynced(temp.fd, bytes, calls);
  if (result == 0 && std::rename(temp.path.c_str(), target.c_str()) != 0) result = -1;
  if (result != 0) unlink(temp.path.c_str());
  // Closing releases the lock, so only once the temporary name is gone: no
  // other save can take the file for a leftover meanwhile.
  close(temp.fd);
  if (result != 0) return result;
  SyncFolder(target, calls);
  RemoveLeftovers(target, calls);
  return 0;
}
