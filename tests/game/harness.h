// A stepping harness for game tests: the real runtime and the real window
// (under Xvfb in CI), without the timed loop. The test drives the game one
// update or one frame at a time, injects keyboard, character, mouse and
// joypad input through the runtime's own entry points, and reads c_MyApp's
// fields and its display list.
//
// One game exists per process (the runtime allows one application), so the
// harness starts it on first use and every test of the executable shares it.
// Tests that need a fresh game run in their own executable.
//
// Every test program of the harness runs in a folder of its own that holds
// a copy of the game's data and its own state file: its saves never touch
// the player's, what a played machine saved cannot change what it finds,
// and a test may damage the data it reads.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/app.h"
#include "game/match/controls.h"
#include "input/keycodes.h"

namespace zephrine_test {

// One display-list entry as the game recorded it.
struct DrawEntry {
  float kind;  // image slot, or DRAW_RECT / DRAW_OVAL
  float x, y, rotation, w, h, frame, alpha;
  float red, green, blue, blend;
};

// Input a joypad port reports at the next updates.
struct PadInput {
  bool present = false;
  float stickX = 0, stickY = 0;  // first stick, y positive upwards
  bool buttons[32] = {};
};

class GameHarness {
 public:
  // The game of this process, started in a 640 x 480 window on first use.
  static GameHarness& Get();

  c_MyApp* App() const;

  // One game update (input begin, p_OnUpdate, input end) or one frame.
  void Update(int count = 1);
  void Render();
  // Updates and frames alternating, the way the loop runs at one update per
  // frame: render first, then update.
  void Step(int count = 1);
  // Steps until the asset loader is idle; false when it did not finish
  // within `maxSteps`.
  bool FinishLoading(int maxSteps = 200);

  // Runtime key codes (the window layer's key table).
  void KeyDown(int key);
  void KeyUp(int key);
  // Down, one update, up.
  void Press(int key);
  void Type(int character);
  // Window pixels.
  void MouseMove(float x, float y);
  void MouseDown(int button = 0);
  void MouseUp(int button = 0);
  // Moves there, presses, one update, releases.
  void Click(float x, float y);
  void SetPad(int port, const PadInput& input);
  // The pad at `port` pulled out (it reads absent) or plugged in with
  // `input`, reported as the windowing library reports it.
  void UnplugPad(int port);
  void PlugPad(int port, const PadInput& input);

  // Re-creates the window at w x h pixels (windowed), as a switch of the
  // window mode does.
  void Resize(int width, int height);
  int DeviceWidth() const;
  int DeviceHeight() const;
  // Makes the game object report this device size (0 x 0 is a minimized
  // window) until ReleaseDeviceSize.
  void ForceDeviceSize(int width, int height);
  void ReleaseDeviceSize();
  // Makes the runtime's millisecond counter read `startMs` and advance by
  // `msPerUpdate` after every update, until ReleaseClock: runs that seed
  // from the clock replay exactly.
  void SetClock(int startMs, int msPerUpdate = 0);
  void ReleaseClock();
  // Focus lost and regained, as the loop reports them.
  void Suspend();
  void Resume();

  // The game as a fresh start leaves it, whatever the last test did: every
  // key, button and pad released, the clock and the device size the
  // runtime's again, the window 640 x 480, the game's globals at their start
  // values, no state file, and the game object as constructed and then
  // created by the runtime (its loader about to run).
  void Reset();

  std::vector<DrawEntry> DisplayList() const;
  // Entries of one image slot (glyphs of the font, the logo, ...).
  std::vector<DrawEntry> EntriesOf(float kind) const;

  // Renders a frame and reads the window back as 0xAARRGGBB, top row first.
  std::vector<unsigned> Screenshot();

 private:
  GameHarness();
};

// Whether some line of text drawn spells `line` (spaces draw nothing, so
// they are ignored).
bool Shows(const GameHarness& h, const std::string& line);
// What the glyphs spell, in the order drawn (spaces draw nothing).
std::string Spelled(const std::vector<DrawEntry>& glyphs);

// One press and release of `key`, then an update with nothing held.
void Tap(GameHarness& h, int key);
// Button `button` of the pad at `port` pressed for an update, then released
// for one.
void TapPad(GameHarness& h, int port, int button);

// The game in a window of w x h pixels with its assets loaded.
GameHarness& Loaded(int width = 640, int height = 480);

// The state file once every save handed to the writer has landed.
std::string SavedState();

// The fixture of every test that plays the game: each starts from Reset.
// A test file names its suites after it (using Menu = GameTest;).
class GameTest : public testing::Test {
 protected:
  void SetUp() override { GameHarness::Get().Reset(); }
};

}  // namespace zephrine_test
