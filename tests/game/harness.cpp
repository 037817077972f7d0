#include "tests/game/harness.h"

#include <GLFW/glfw3.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "input/input.h"
#include "runtime/core/files.h"
#include "tests/support/gated_disk.h"
#include "tests/support/support.h"

namespace zephrine_test {

namespace {

constexpr int PORTS = 4;
constexpr int PAD_BUTTONS = 32;

// The runtime's game object with joypads the test sets instead of the
// library's.
class HarnessGame : public BBTarvexGame {
 public:
  PadInput pads[PORTS];
  bool forceSize = false;
  int forcedWidth = 0, forcedHeight = 0;
  bool fixedClock = false;
  int clockMs = 0, msPerUpdate = 0;

  int GetDeviceWidth() override { return forceSize ? forcedWidth : BBTarvexGame::GetDeviceWidth(); }
  int GetDeviceHeight() override { return forceSize ? forcedHeight : BBTarvexGame::GetDeviceHeight(); }
  int Millisecs() override { return fixedClock ? clockMs : BBTarvexGame::Millisecs(); }

  bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                    Array<bool> buttons) override {
    if (port < 0 || port >= PORTS || !pads[port].present) return false;
    joyx[0] = pads[port].stickX;
    joyy[0] = pads[port].stickY;
    joyx[1] = joyy[1] = joyz[0] = joyz[1] = 0.0f;
    for (int b = 0; b < PAD_BUTTONS && b < buttons.Length(); ++b) buttons[b] = pads[port].buttons[b];
    return true;
  }
};

HarnessGame* game = nullptr;

class PrivateFolder : public testing::Environment {
 public:
  void SetUp() override {
    namespace fs = std::filesystem;
    home_ = fs::current_path();
    folder_ = std::make_unique<TempDir>();
    fs::copy(home_ + "/data", folder_->Path("data"), fs::copy_options::recursive);
    fs::current_path(folder_->Path());
  }
  void TearDown() override {
    std::filesystem::current_path(home_);
    folder_.reset();
  }

 private:
  std::string home_;  // the game's folder, where the test program started
  std::unique_ptr<TempDir> folder_;
};

const testing::Environment* const private_folder = testing::AddGlobalTestEnvironment(new PrivateFolder);

void OpenWindow(int width, int height) { game->SetGlfwWindow(width, height, 8, 8, 8, 0, 0, 0, false); }

}  // namespace

GameHarness::GameHarness() {
  glfwInitHint(GLFW_JOYSTICK_HAT_BUTTONS, GLFW_FALSE);
  if (!glfwInit()) {
    std::fputs("the game tests need a display (set DISPLAY)\n", stderr);
    std::exit(1);
  }
  game = new HarnessGame();
  bb_std_main(0, nullptr, GAME_SEAMS);
  OpenWindow(APP_WINDOW_WIDTH, APP_WINDOW_HEIGHT);
  game->StartGame();
}

GameHarness& GameHarness::Get() {
  static GameHarness* harness = new GameHarness();
  return *harness;
}

c_MyApp* GameHarness::App() const { return static_cast<c_MyApp*>(bb_app__app); }

void GameHarness::Update(int count) {
  for (int i = 0; i < count; ++i) {
    game->UpdateGame();
    game->clockMs += game->msPerUpdate;
  }
}

void GameHarness::Render() { game->RenderGame(); }

void GameHarness::Step(int count) {
  for (int i = 0; i < count; ++i) {
    Render();
    Update();
  }
}

bool GameHarness::FinishLoading(int maxSteps) {
  for (int i = 0; i < maxSteps; ++i) {
    Step();
    if (App()->m_loadStep == 0) {
      Render();  // a size change is noticed by the frame, not the update
      if (App()->m_loadStep == 0) return true;
    }
  }
  return false;
}

void GameHarness::KeyDown(int key) { game->KeyEvent(BBGAME_KEYDOWN, key); }
void GameHarness::KeyUp(int key) { game->KeyEvent(BBGAME_KEYUP, key); }

void GameHarness::Press(int key) {
  KeyDown(key);
  Update();
  KeyUp(key);
}

void GameHarness::Type(int character) { game->KeyEvent(BBGAME_KEYCHAR, character); }

void GameHarness::MouseMove(float x, float y) { game->MouseEvent(BBGAME_MOUSEMOVE, 0, x, y); }

void GameHarness::MouseDown(int button) {
  game->MouseEvent(BBGAME_MOUSEDOWN, button, bb_input_device->m_mouseX, bb_input_device->m_mouseY);
}

void GameHarness::MouseUp(int button) {
  game->MouseEvent(BBGAME_MOUSEUP, button, bb_input_device->m_mouseX, bb_input_device->m_mouseY);
}

void GameHarness::Click(float x, float y) {
  MouseMove(x, y);
  MouseDown();
  Update();
  MouseUp();
}

void GameHarness::SetPad(int port, const PadInput& input) { game->pads[port] = input; }

void GameHarness::UnplugPad(int port) {
  game->pads[port].present = false;
  game->OnJoystick(GLFW_JOYSTICK_1 + port, GLFW_DISCONNECTED);
}

void GameHarness::PlugPad(int port, const PadInput& input) {
  game->pads[port] = input;
  game->pads[port].present = true;
  game->OnJoystick(GLFW_JOYSTICK_1 + port, GLFW_CONNECTED);
}

void GameHarness::Resize(int width, int height) { OpenWindow(width, height); }

int GameHarness::DeviceWidth() const { return game->GetDeviceWidth(); }
int GameHarness::DeviceHeight() const { return game->GetDeviceHeight(); }

void GameHarness::ForceDeviceSize(int width, int height) {
  game->forceSize = true;
  game->forcedWidth = width;
  game->forcedHeight = height;
}

void GameHarness::ReleaseDeviceSize() { game->forceSize = false; }

void GameHarness::SetClock(int startMs, int msPerUpdate) {
  game->fixedClock = true;
  game->clockMs = startMs;
  game->msPerUpdate = msPerUpdate;
}

void GameHarness::ReleaseClock() { game->fixedClock = false; }

void GameHarness::Suspend() { game->SuspendGame(); }
void GameHarness::Resume() { game->ResumeGame(); }

void GameHarness::Reset() {
  for (int key = 1; key < INPUT_KEY_CODES; ++key) {
    if (bb_input_device->m_keyDown[key]) KeyUp(key);
  }
  for (PadInput& pad : game->pads) pad = PadInput();
  ReleaseClock();
  ReleaseDeviceSize();
  if (DeviceWidth() != APP_WINDOW_WIDTH || DeviceHeight() != APP_WINDOW_HEIGHT) {
    OpenWindow(APP_WINDOW_WIDTH, APP_WINDOW_HEIGHT);
  }
  c_MyApp* app = App();
  app->p_StopTune();
  app->p_iCade(0);
  ResetGameGlobals();
  // The saves of the test before land before its state file goes, on the
  // real disk from now on.
  gated_disk::Open();
  BBGame::Game()->StateStore().Flush();
  BBGame::Game()->StateStore().SetCalls(BB_FILE_SYSTEM_CALLS);
  std::filesystem::remove(".tarvexstate");
  // Every field back to its constructed value; marking what the copy
  // stored is the collector's store barrier.
  *app = *(new c_MyApp);
  app->mark();
  app->p_OnCreate();
  Update();  // hits and characters of the releases above end with an update
}

std::vector<DrawEntry> GameHarness::DisplayList() const {
  std::vector<DrawEntry> list;
  const Array<float>& d = App()->m_drawList;
  for (int i = 0; i + DRAW_ENTRY <= App()->m_drawCount; i += DRAW_ENTRY) {
    list.push_back({d[i], d[i + 1], d[i + 2], d[i + 3], d[i + 4], d[i + 5], d[i + 6], d[i + 7], d[i + 10],
                    d[i + 11], d[i + 12], d[i + 13]});
  }
  return list;
}

std::vector<DrawEntry> GameHarness::EntriesOf(float kind) const {
  std::vector<DrawEntry> all = DisplayList(), some;
  std::copy_if(all.begin(), all.end(), std::back_inserter(some), [kind](const DrawEntry& e) { return e.kind == kind; });
  return some;
}

std::vector<unsigned> GameHarness::Screenshot() {
  const int w = DeviceWidth(), h = DeviceHeight();
  Render();
  Array<int> pixels(w * h);
  bb_graphics_device->ReadPixels(pixels, 0, 0, w, h, 0, w);
  return std::vector<unsigned>(pixels.begin(), pixels.end());
}

std::string Spelled(const std::vector<DrawEntry>& glyphs) {
  std::string text;
  for (const DrawEntry& e : glyphs) text += char(int(e.frame) + 32);
  return text;
}

void Tap(GameHarness& h, int key) {
  h.Press(key);
  h.Update();
}

void TapPad(GameHarness& h, int port, int button) {
  PadInput pad;
  pad.present = pad.buttons[button] = true;
  h.SetPad(port, pad);
  h.Update();
  pad.buttons[button] = false;
  h.SetPad(port, pad);
  h.Update();
}

bool Shows(const GameHarness& h, const std::string& line) {
  std::string wanted;
  for (char c : line) {
    if (c != ' ') wanted += c;
  }
  // The glyphs of one line share their y.
  std::string drawn;
  float y = 0.0f;
  for (const DrawEntry& e : h.EntriesOf(float(SLOT_FONT))) {
    if (e.y != y && drawn == wanted) return true;
    if (e.y != y) drawn.clear();
    y = e.y;
    drawn += char(int(e.frame) + 32);
  }
  return drawn == wanted;
}

GameHarness& Loaded(int width, int height) {
  GameHarness& h = GameHarness::Get();
  if (h.DeviceWidth() != width || h.DeviceHeight() != height) h.Resize(width, height);
  EXPECT_TRUE(h.FinishLoading());
  return h;
}

std::string SavedState() {
  bb_app_FlushState();
  return ReadFile(bb_state_Path().ToUtf8());
}

}  // namespace zephrine_test
