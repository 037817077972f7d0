#include "bbgame.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>

#include "diag.h"
#include "files.h"
#include "timing.h"

BBGame* BBGame::_game = nullptr;

const char* const BB_STATE_FILE = "./.tarvexstate";

BBGame::BBGame()
    : _delegate(nullptr), _keyboardEnabled(false), _updateRate(0), _started(false), _suspended(false) {
  _game = this;
  gc_timed = bb_timing_Setting() != nullptr;
}

BBGame::~BBGame() {
  if (_game == this) _game = nullptr;
}

void BBGame::SetDelegate(BBGameDelegate* delegate) { _delegate = delegate; }

void BBGame::GetDate(Array<int> date) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm local{};
  localtime_r(&now.tv_sec, &local);
  int fields[] = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min,         local.tm_sec,       int(now.tv_nsec / 1000000)};
  for (int i = 0; i < date.Length() && i < 7; ++i) date[i] = fields[i];
}

std::FILE* BBGame::OpenFile(const String& path, const String& mode) {
  String disk = PathToFilePath(path);
  if (!disk.Length()) return nullptr;
  return bb_file_Open(disk, mode.ToNarrow().c_str());
}

String BBGame::LoadString(const String& path) {
  std::FILE* file = OpenFile(path, String("rb"));
  if (!file) return String();
  String text = String::Load(file);
  std::fclose(file);
  return text;
}

unsigned char* BBGame::LoadData(const String& path, int* length) {
  std::FILE* file = OpenFile(path, String("rb"));
  if (!file) return nullptr;
  std::string bytes;
  bool ok = bb_file_ReadAll(file, bytes);
  std::fclose(file);
  if (!ok) return nullptr;
  unsigned char* block = static_cast<unsigned char*>(std::malloc(bytes.size() ? bytes.size() : 1));
  if (!block) return nullptr;
  std::copy(bytes.begin(), bytes.end(), block);
  *length = int(bytes.size());
  gc_ext_malloced(*length);
  return block;
}

namespace {

// The file a save replaces: the state file itself or, when it is a symbolic
// link, the file the link names, so a linked state file stays linked.
std::string save_target(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return path;
  std::string target(resolved);
  std::free(resolved);
  return target;
}

// Writes all of `bytes` to a new file at `path` with permission bits `mode`
// and makes it durable. -1 when the file cannot be created, -2 when not
// every byte reached the disk.
int write_durably(const std::string& path, const std::string& bytes, mode_t mode) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  if (mode) fchmod(fd, mode);
  std::FILE* file = fdopen(fd, "wb");
  if (!file) {
    close(fd);
    return -1;
  }
  std::size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), file);
  bool flushed = std::fflush(file) == 0 && fsync(fileno(file)) == 0;
  bool closed = std::fclose(file) == 0;
  return written == bytes.size() && flushed && closed ? 0 : -2;
}

// Makes a rename inside the folder of `path` durable. Best effort: the new
// file is already in place when this runs.
void sync_folder(const std::string& path) {
  std::string::size_type slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

// The new contents go to a temporary file beside the state file, which is
// renamed over it only once it is complete on disk: a crash or a full disk
// during a save leaves the old state intact, and a failed save leaves no
// temporary file behind. A state file that cannot be opened for writing
// (read-only) is left alone, as truncating it in place would have failed.
// In a folder where no new file can be made (a shared install), a writable
// state file is rewritten in place, as a plain save would: the settings are
// kept, only not safe from a crash midway.
int BBGame::SaveState(const String& state) {
  String disk = PathToFilePath(String(BB_STATE_FILE));
  if (!disk.Length()) return -1;
  std::string target = save_target(disk.ToUtf8());
  struct stat old_file;
  bool exists = stat(target.c_str(), &old_file) == 0;
  if (exists && access(target.c_str(), W_OK) != 0) return -1;
  std::string temp = target + ".tmp";
  int result = write_durably(temp, state.ToUtf8(), exists ? old_file.st_mode & 07777 : 0);
  // Only a folder that forbids new files: a creation that failed for want of
  // space would fail again after truncating the old state.
  if (result == -1 && exists && (errno == EACCES || errno == EPERM)) return write_durably(target, state.ToUtf8(), 0);
  if (result == 0 && std::rename(temp.c_str(), target.c_str()) != 0) result = -1;
  if (result != 0) {
    std::remove(temp.c_str());
    return result;
  }
  sync_folder(target);
  return 0;
}

String BBGame::LoadState() { return LoadString(String(BB_STATE_FILE)); }

void BBGame::Die(ThrowableObject*) {
  bbPrint(String(BB_ERROR_BANNER) + String("Uncaught Tarvex Exception"));
  std::exit(-1);
}

void BBGame::gc_collect() {
  gc_mark_q(_delegate);
  ::gc_collect();
}

template <class F>
void BBGame::Guarded(F call) {
  try {
    if (_delegate) call(_delegate);
    gc_collect();
  } catch (ThrowableObject* ex) {
    Die(ex);
  }
}

void BBGame::StartGame() {
  if (_started) return;
  _started = true;
  Guarded([](BBGameDelegate* d) { d->StartGame(); });
}

void BBGame::SuspendGame() {
  if (!_started || _suspended) return;
  _suspended = true;
  Guarded([](BBGameDelegate* d) { d->SuspendGame(); });
}

void BBGame::ResumeGame() {
  if (!_started || !_suspended) return;
  _suspended = false;
  Guarded([](BBGameDelegate* d) { d->ResumeGame(); });
}

void BBGame::UpdateGame() {
  if (!_started || _suspended) return;
  Guarded([](BBGameDelegate* d) { d->UpdateGame(); });
  // Measurement runs: the update's time and the longest collection step
  // since the previous update (event deliveries and frames included).
  if (!bb_timing_Setting()) return;
  bb_timing_Print("update", gc_longest_step_ns);
  gc_longest_step_ns = 0;
}

void BBGame::RenderGame() {
  if (!_started) return;
  Guarded([](BBGameDelegate* d) { d->RenderGame(); });
}

void BBGame::KeyEvent(int event, int data) {
  if (!_started) return;
  Guarded([=](BBGameDelegate* d) { d->KeyEvent(event, data); });
}

void BBGame::MouseEvent(int event, int data, float x, float y) {
  if (!_started) return;
  Guarded([=](BBGameDelegate* d) { d->MouseEvent(event, data, x, y); });
}

void BBGame::TouchEvent(int event, int data, float x, float y) {
  if (!_started) return;
  Guarded([=](BBGameDelegate* d) { d->TouchEvent(event, data, x, y); });
}

void BBGame::MotionEvent(int event, int data, float x, float y, float z) {
  if (!_started) return;
  Guarded([=](BBGameDelegate* d) { d->MotionEvent(event, data, x, y, z); });
}

void BBGame::JoystickEvent(int event, int port) {
  if (!_started) return;
  Guarded([=](BBGameDelegate* d) { d->JoystickEvent(event, port); });
}

void BBGame::DiscardGraphics() {
  if (!_started) return;
  Guarded([](BBGameDelegate* d) { d->DiscardGraphics(); });
}

void bb_app_SaveState(const String& state) {
  if (BBGame::Game()) BBGame::Game()->SaveState(state);
}

String bb_app_LoadState() { return BBGame::Game() ? BBGame::Game()->LoadState() : String(); }
