#include "bbgame.h"

#include <cstdlib>
#include <ctime>
#include <string>

#include "diag.h"
#include "files.h"
#include "timing.h"

BBGame* BBGame::_game = nullptr;

BBGame::BBGame()
    : _delegate(nullptr), _keyboardEnabled(false), _updateRate(0), _started(false), _suspended(false) {
  _game = this;
  // Every way out through exit() (quitting, a runtime error, a lost
  // display) first puts the last save on disk.
  static const int flush_at_exit = std::atexit(bb_app_FlushState);
  (void)flush_at_exit;
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

std::string BBGame::StateDiskPath() { return PathToFilePath(bb_file_StatePath()).ToUtf8(); }

int BBGame::SaveState(const String& state) {
  const std::string disk = StateDiskPath();
  return disk.empty() ? -1 : _stateStore.Save(disk, state.ToUtf8());
}

void BBGame::PostState(const String& state) {
  const std::string disk = StateDiskPath();
  if (!disk.empty()) _stateStore.Post(disk, state.ToUtf8());
}

void BBGame::FlushState() { _stateStore.Flush(); }

String BBGame::LoadState() {
  FlushState();
  std::FILE* file = OpenFile(bb_file_StatePath(), String("rb"));
  if (!file) return String();
  std::string bytes;
  const bool cut = bb_file_ReadAtMost(file, STATE_FILE_LOAD_LIMIT, bytes);
  std::fclose(file);
  if (cut) bbPrint(String("State file cut: only its first ") + String(int(STATE_FILE_LOAD_LIMIT)) + String(" bytes read"));
  return String::Decode(reinterpret_cast<const unsigned char*>(bytes.data()), int(bytes.size()));
}

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

void BBGame::DiscardGraphics() {
  if (!_started) return;
  Guarded([](BBGameDelegate* d) { d->DiscardGraphics(); });
}

void bb_app_SaveState(const String& state) {
  if (BBGame::Game()) BBGame::Game()->PostState(state);
}

void bb_app_FlushState() {
  if (BBGame::Game()) BBGame::Game()->FlushState();
}

String bb_app_LoadState() { return BBGame::Game() ? BBGame::Game()->LoadState() : String(); }
