// The program seams the runtime calls at start-up: every global to its start
// value, then the game object.
#include "game/app.h"

#include "audio/audio.h"
#include "graphics/graphics.h"
#include "input/input.h"

int bb_KRV_isOuya = 0;
int bb_KRV_OnScreenControls = 0;
int bb_KRV_AccelerometerControls = 0;
int bb_KRV_HasMusicStream = 1;
int bb_KRV_iCadeControls = 0;
int bb_KRV_DebugMode = 0;
float bb_KRV_overscan = 0.0f;
float bb_KRV_rawscrw = 640.0f, bb_KRV_rawscrh = 480.0f;
float bb_KRV_jscrw = 640.0f, bb_KRV_jscrh = 480.0f;
int bb_random_Seed = 1234;

int bbInit() {
  gc_assign(bb_app__app, static_cast<c_App*>(nullptr));
  gc_assign(bb_app__delegate, static_cast<c_GameDelegate*>(nullptr));
  bb_app__game = BBGame::Game();
  bb_app__updateRate = 0;
  bb_app__devWidth = bb_app__devHeight = 0;
  gc_assign(bb_app__displayModes, Array<c_DisplayMode*>());
  gc_assign(bb_app__desktopMode, static_cast<c_DisplayMode*>(nullptr));
  gc_assign(bb_graphics_device, static_cast<gxtkGraphics*>(nullptr));
  gc_assign(bb_graphics_renderDevice, static_cast<gxtkGraphics*>(nullptr));
  gc_assign(bb_graphics_context, (new c_GraphicsContext)->m_new());
  gc_assign(bb_audio_device, static_cast<gxtkAudio*>(nullptr));
  gc_assign(bb_input_device, static_cast<c_InputDevice*>(nullptr));
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
  gc_assign(bb_asyncevent__sources, (new c_StackOf<c_IAsyncEventSource*>)->m_new());
  gc_assign(bb_asyncevent__current, static_cast<c_IAsyncEventSource*>(nullptr));
  return 0;
}

int bbMain() {
  (new c_MyApp)->m_new();
  return 0;
}
