// The platform-neutral runtime game object and the event delegate.
//
// Exactly one BBGame exists (BBGame::_game). The platform layer derives from
// it and overrides the platform operations; the loaders of images, sounds and
// files call the virtual data operations here, so they never depend on the
// platform layer. The guarded entry points (StartGame .. DiscardGraphics)
// forward to the delegate and then run one collection step.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "array.h"
#include "object.h"
#include "bbstring.h"
#include "state_store.h"

// A display mode as the platform reports it (width and height; the three
// further fields are always 0 here).
class BBDisplayMode : public Object {
 public:
  BBDisplayMode(int width = 0, int height = 0) : width(width), height(height) {}
  int width, height;
  int depth = 0, hertz = 0, flags = 0;
};

// Event codes passed to the delegate.
enum c_BBGameEvent {
  BBGAME_KEYDOWN = 1,
  BBGAME_KEYUP = 2,
  BBGAME_KEYCHAR = 3,
  BBGAME_MOUSEDOWN = 4,
  BBGAME_MOUSEUP = 5,
  BBGAME_MOUSEMOVE = 6,
  BBGAME_TOUCHDOWN = 7,
  BBGAME_TOUCHUP = 8,
  BBGAME_TOUCHMOVE = 9,
  BBGAME_MOTIONACCEL = 10,
};

// Receives every lifecycle and input event of the game object. Base: nothing.
class BBGameDelegate : public Object {
 public:
  virtual void StartGame() {}
  virtual void SuspendGame() {}
  virtual void ResumeGame() {}
  virtual void UpdateGame() {}
  virtual void RenderGame() {}
  virtual void KeyEvent(int, int) {}
  virtual void MouseEvent(int, int, float, float) {}
  virtual void TouchEvent(int, int, float, float) {}
  virtual void MotionEvent(int, int, float, float, float) {}
  virtual void DiscardGraphics() {}
};

class BBGame {
 public:
  BBGame();
  virtual ~BBGame();

  // The one game object; null before it is created.
  static BBGame* Game() { return _game; }

  virtual void SetDelegate(BBGameDelegate* delegate);
  virtual BBGameDelegate* Delegate() { return _delegate; }
  virtual void SetKeyboardEnabled(bool enabled) { _keyboardEnabled = enabled; }
  virtual bool KeyboardEnabled() { return _keyboardEnabled; }
  virtual void SetUpdateRate(int hertz) { _updateRate = hertz; }
  virtual int UpdateRate() { return _updateRate; }
  virtual bool Started() { return _started; }
  virtual bool Suspended() { return _suspended; }
  virtual int Millisecs() { return 0; }
  // Fills year, month, day, hours, minutes, seconds, milliseconds (as many
  // as `date` holds) from the local clock.
  virtual void GetDate(Array<int> date);
  // Writes the state file on this thread, after the saves handed over
  // before: 0 saved; -1 the file cannot be written; -2 fewer bytes were
  // written.
  virtual int SaveState(const String& state);
  // Hands the state to the store's writer and returns at once (see
  // BBStateStore); nothing is learnt of failures.
  virtual void PostState(const String& state);
  // Returns once every state handed over is on disk (or failed to get there).
  void FlushState();
  // The stored string, or empty when there is none; read after the saves
  // handed over. Only the first STATE_FILE_LOAD_LIMIT bytes of the file are
  // read; a longer file prints one line saying it was cut.
  virtual String LoadState();
  BBStateStore& StateStore() { return _stateStore; }
  // A whole text file decoded; empty when it cannot be opened.
  virtual String LoadString(const String& path);
  virtual bool PollJoystick(int, Array<float>, Array<float>, Array<float>, Array<bool>) { return false; }
  virtual void OpenUrl(const String&) {}
  virtual void SetMouseVisible(bool) {}
  virtual int GetDeviceWidth() { return 0; }
  virtual int GetDeviceHeight() { return 0; }
  virtual void SetDeviceWindow(int, int, int) {}
  virtual Array<BBDisplayMode*> GetDisplayModes() { return Array<BBDisplayMode*>(); }
  virtual BBDisplayMode* GetDesktopMode() { return nullptr; }
  virtual void SetSwapInterval(int) {}
  // Base: the path unchanged.
  virtual String PathToFilePath(const String& path) { return path; }
  // Maps the path, then opens it ("rb" / "wb"). Null when the mapped path is
  // empty or the file cannot be opened.
  virtual std::FILE* OpenFile(const String& path, const String& mode);
  // The whole file in one malloc'ed block (caller frees), its size in
  // *length; null when the file cannot be opened.
  virtual unsigned char* LoadData(const String& path, int* length);
  // Decoded 8-bit pixels (caller frees with free()); null when unsupported.
  virtual unsigned char* LoadImageData(const String&, int*, int*, int*) { return nullptr; }
  // Decoded PCM (caller frees with free()); null when unsupported.
  virtual unsigned char* LoadAudioData(const String&, int*, int*, int*, int*) { return nullptr; }
  // The uncaught exception: banner, exit status -1.
  [[noreturn]] virtual void Die(ThrowableObject* ex);
  // One collection step, with the delegate queued first.
  virtual void gc_collect();

  // Guarded entry points: each runs only in the right state, forwards to
  // the delegate, then collects; an escaping runtime exception goes to Die.
  virtual void StartGame();
  virtual void SuspendGame();
  virtual void ResumeGame();
  virtual void UpdateGame();
  virtual void RenderGame();
  virtual void KeyEvent(int event, int data);
  virtual void MouseEvent(int event, int data, float x, float y);
  virtual void TouchEvent(int event, int data, float x, float y);
  virtual void MotionEvent(int event, int data, float x, float y, float z);
  virtual void DiscardGraphics();

 protected:
  static BBGame* _game;

  BBGameDelegate* _delegate;
  bool _keyboardEnabled;
  int _updateRate;
  bool _started;
  bool _suspended;

 private:
  // Runs `call` on the delegate, then a collection step.
  template <class F>
  void Guarded(F call);
  // The state file's disk path in UTF-8; empty when it cannot be mapped.
  std::string StateDiskPath();

  BBStateStore _stateStore;
};

// The most of the state file a load reads: far more than any real state
// (about 1 KB), so a huge or damaged file cannot exhaust memory at start.
constexpr std::size_t STATE_FILE_LOAD_LIMIT = 256 * 1024;

// Hands the state string to the game object's writer; failures are not
// passed on.
void bb_app_SaveState(const String& state);
// Returns once every state handed to bb_app_SaveState is on disk: for the
// ways out of the program that skip exit() (it runs at exit by itself).
void bb_app_FlushState();
String bb_app_LoadState();
