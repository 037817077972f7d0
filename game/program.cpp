// The program seams the runtime calls at start-up: every global to its start
// value, then the game object.
#include "game/app.h"
#include "game/menus/menus.h"

int bb_KRV_isOuya = 0;
int bb_KRV_OnScreenControls = 0;
int bb_KRV_AccelerometerControls = 0;
int bb_KRV_HasMusicStream = 1;
int bb_KRV_iCadeControls = 0;
int bb_KRV_DebugMode = 0;
float bb_KRV_overscan = 0.0f;
float bb_KRV_rawscrw = 640.0f, bb_KRV_rawscrh = 480.0f;
float bb_KRV_jscrw = 640.0f, bb_KRV_jscrh = 480.0f;

int bbInit() {
  bb_app_InitRuntimeGlobals();
  ResetGameGlobals();
  gc_assign(bb_KRV_CreditText, CreditText());
  return 0;
}

void ResetGameGlobals() {
  bb_KRV_isOuya = 0;
  bb_KRV_overscan = 0.0f;
  bb_KRV_DebugMode = 0;
  bb_KRV_rawscrw = bb_KRV_jscrw = 640.0f;
  bb_KRV_rawscrh = bb_KRV_jscrh = 480.0f;
  bb_KRV_iCadeControls = 0;
  bb_KRV_OnScreenControls = 0;
  bb_KRV_AccelerometerControls = 0;
  bb_KRV_HasMusicStream = 1;
  bb_random_Seed = 1234;
}

int bbMain() {
  (new c_MyApp)->m_new();
  return 0;
}
