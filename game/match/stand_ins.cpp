// Stand-ins for the controls and the match until they land: the keyboard
// alone answers the controls, and the match screens run nothing.
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
float c_MyApp::p_StickX(int, int) { return 0.0f; }
float c_MyApp::p_StickY(int, int) { return 0.0f; }
int c_MyApp::p_PlayKeyAll(int, int) { return 0; }
int c_MyApp::p_iCade(int) { return 0; }
int c_MyApp::p_AnalogueControl() { return 0; }
int c_MyApp::p_Button(int, float, float, int) { return 0; }
int c_MyApp::p_Button(float, float, int) { return 0; }
bool c_MyApp::p_Button0(int, float, float, int) { return false; }
int c_MyApp::p_Touch(float, float, float, float) { return 0; }
int c_MyApp::p_MouseIn_Centered(float, float, float, float) { return 0; }

int c_MyApp::p_ResetStars(int) { return 0; }
int c_MyApp::p_DoStars(float, float) { return 0; }
int c_MyApp::p_ResetParticles(int) { return 0; }
int c_MyApp::p_FreeParticle() { return -1; }
int c_MyApp::p_ThrowParticle(float, float, int, int, float, float) { return 0; }
int c_MyApp::p_DoParticles() { return 0; }
int c_MyApp::p_SquigglyDoohickey() { return 0; }

int c_MyApp::p_GetPos(int) { return 0; }
int c_MyApp::p_NewLine(int, int, int, int) { return 0; }
int c_MyApp::p_LineTo(int, int, int, int, int, int) { return 0; }
int c_MyApp::p_FlushGrid(int) { return 0; }
int c_MyApp::p_ResetPlayers() { return 0; }
int c_MyApp::p_PrepareArena() { return 0; }

int c_MyApp::p_Game() { return 0; }
int c_MyApp::p_LoadGame() { return 0; }
int c_MyApp::p_GameReady() { return 0; }
int c_MyApp::p_GameStructure() { return 0; }
int c_MyApp::p_InGame() { return 0; }
int c_MyApp::p_SomebodyWon() { return 0; }
int c_MyApp::p_GameOver() { return 0; }
