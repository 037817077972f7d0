// Stand-ins for the methods of subsystems that are not in the game yet: the
// controls, the match, the menus and the saved progress. Each subsystem
// deletes its stand-ins here when it brings the real method. Until then a
// screen runs nothing, the controls read the keyboard only, and nothing is
// saved or loaded.
#include "game/app.h"

#include "input/input.h"

namespace {

// Keyboard keys of each logical action (runtime key codes).
struct ActionKeys {
  int action;
  int keys[4];
};
constexpr ActionKeys KEYBOARD_ACTIONS[] = {
    {0, {38, 87}},         {3, {37, 65}},       {5, {39, 68}},  {8, {40, 83}},
    {10, {90, 74, 32, 13}}, {11, {88, 75, 17}}, {12, {67, 76, 16}}, {13, {86, 73}},
    {14, {66, 85}},        {15, {78, 79}},      {99, {27, 192, 46, 8}},
};

}  // namespace

// Keyboard source only: joypads, iCade letters and on-screen buttons arrive
// with the controls.
int c_MyApp::p_PlayKey(int action, int /*withStick*/, int source) {
  if (source != -1) return 0;
  for (const ActionKeys& a : KEYBOARD_ACTIONS) {
    if (a.action != action) continue;
    for (int key : a.keys) {
      if (key != 0 && bb_input_KeyDown(key)) return 1;
    }
  }
  return 0;
}

int c_MyApp::p_Load() { return 0; }
int c_MyApp::p_Save() { return 0; }
int c_MyApp::p_LoadMenu() { return 0; }

int c_MyApp::p_Menu() { return 0; }
int c_MyApp::p_OuyaQuit() { return 0; }
int c_MyApp::p_Game() { return 0; }
int c_MyApp::p_InGame() { return 0; }
int c_MyApp::p_LoadGame() { return 0; }
int c_MyApp::p_GameStructure() { return 0; }
int c_MyApp::p_PrepareArena() { return 0; }
int c_MyApp::p_GameSelect() { return 0; }
int c_MyApp::p_SomebodyWon() { return 0; }
int c_MyApp::p_SquigglyDoohickey() { return 0; }
int c_MyApp::p_GameOver() { return 0; }
int c_MyApp::p_CreditBox() { return 0; }
int c_MyApp::p_BadgesBox() { return 0; }
int c_MyApp::p_ShowBadges() { return 0; }
int c_MyApp::p_OptionBox() { return 0; }
