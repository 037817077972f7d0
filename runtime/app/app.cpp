// Program start, the application base, the event delegate, the display-mode
// list and the asynchronous-event pump: everything of the runtime spine that
// does not talk to the windowing library.
#include "runtime/app/app.h"

#include <clocale>
#include <csignal>

#include "audio/audio.h"
#include "graphics/graphics.h"
#include "input/input.h"

int argc = 0;
const char** argv = nullptr;

c_App* bb_app__app = nullptr;
c_GameDelegate* bb_app__delegate = nullptr;
BBGame* bb_app__game = nullptr;
int bb_app__updateRate = 0;
int bb_app__devWidth = 0;
int bb_app__devHeight = 0;
Array<c_DisplayMode*> bb_app__displayModes;
c_DisplayMode* bb_app__desktopMode = nullptr;

c_StackOf<c_IAsyncEventSource*>* bb_asyncevent__sources = nullptr;
c_IAsyncEventSource* bb_asyncevent__current = nullptr;

namespace {

const bool roots_registered = gc_roots(bb_app__app, bb_app__delegate, bb_app__desktopMode, bb_app__displayModes,
                                       bb_asyncevent__sources, bb_asyncevent__current);

}  // namespace

int bb_app_InitRuntimeGlobals() {
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
  gc_assign(bb_asyncevent__sources, (new c_StackOf<c_IAsyncEventSource*>)->m_new());
  gc_assign(bb_asyncevent__current, static_cast<c_IAsyncEventSource*>(nullptr));
  return 0;
}

int bb_std_main(int count, const char** args, const ProgramSeams& seams) {
  argc = count;
  argv = args;
  std::signal(SIGSEGV, sighandler);
  std::signal(SIGILL, sighandler);
  std::signal(SIGFPE, sighandler);
  if (!std::setlocale(LC_CTYPE, "en_US.UTF-8")) std::setlocale(LC_CTYPE, "");
  gc_init();
  seams.init();
  gc_mark();
  seams.main();
  return 0;
}

c_App* c_App::m_new() {
  if (bb_app__app) bbError(String("App has already been created"));
  gc_assign(bb_app__app, this);
  gc_assign(bb_app__delegate, (new c_GameDelegate)->m_new());
  if (BBGame::Game()) BBGame::Game()->SetDelegate(bb_app__delegate);
  return this;
}

int c_App::p_OnClose() { bb_app_EndApp(); }

int c_App::p_OnBack() { bb_app_EndApp(); }

void c_GameDelegate::StartGame() {
  gc_assign(m__graphics, new gxtkGraphics());
  gc_assign(bb_graphics_device, m__graphics);
  bb_graphics_SetFont(nullptr, 32);
  gc_assign(m__audio, new gxtkAudio());
  gc_assign(bb_audio_device, m__audio);
  gc_assign(m__input, (new c_InputDevice)->m_new());
  bb_input_SetInputDevice(m__input);
  bb_app_ValidateDeviceWindow(false);
  bb_app_EnumDisplayModes();
  bb_app__app->p_OnCreate();
}

void c_GameDelegate::SuspendGame() {
  bb_app__app->p_OnSuspend();
  m__audio->Suspend();
}

void c_GameDelegate::ResumeGame() {
  m__audio->Resume();
  bb_app__app->p_OnResume();
}

void c_GameDelegate::UpdateGame() {
  bb_app_ValidateDeviceWindow(false);
  m__input->p_BeginUpdate();
  bb_app__app->p_OnUpdate();
  m__input->p_EndUpdate();
  m__audio->Update();
}

void c_GameDelegate::RenderGame() {
  bb_app_ValidateDeviceWindow(false);
  int mode = m__graphics->BeginRender();
  if (mode) bb_graphics_BeginRender();
  if (mode != 2) bb_app__app->p_OnRender();
  if (mode) bb_graphics_EndRender();
  m__graphics->EndRender();
  bb_timing_Print("frame", m__graphics->DrawCalls());
}

void c_GameDelegate::KeyEvent(int event, int data) {
  m__input->p_KeyEvent(event, data);
  if (event == BBGAME_KEYDOWN && (data == KEY_BACK || data == KEY_CLOSE)) bb_app_EndApp();
}

void c_GameDelegate::MouseEvent(int event, int data, float x, float y) { m__input->p_MouseEvent(event, data, x, y); }

void c_GameDelegate::TouchEvent(int event, int data, float x, float y) { m__input->p_TouchEvent(event, data, x, y); }

void c_GameDelegate::MotionEvent(int event, int data, float x, float y, float z) {
  m__input->p_MotionEvent(event, data, x, y, z);
}

void c_GameDelegate::JoystickEvent(int event, int port) { m__input->p_JoystickEvent(event, port); }

void c_GameDelegate::DiscardGraphics() { m__graphics->DiscardGraphics(); }

void c_GameDelegate::mark() {
  BBGameDelegate::mark();
  gc_mark_q(m__graphics);
  gc_mark_q(m__audio);
  gc_mark_q(m__input);
}

c_DisplayMode* c_DisplayMode::m_new(int width, int height) {
  m__width = width;
  m__height = height;
  return this;
}

int bb_app_SetUpdateRate(int rate) {
  bb_app__updateRate = rate;
  bb_app__game->SetUpdateRate(rate);
  return 0;
}

int bb_app_UpdateRate() { return bb_app__updateRate; }

int bb_app_Millisecs() { return bb_app__game->Millisecs(); }

int bb_app_DeviceWidth() { return bb_app__devWidth; }

int bb_app_DeviceHeight() { return bb_app__devHeight; }

int bb_app_EndApp() { bbError(String()); }

int bb_app_ValidateDeviceWindow(bool) {
  int width = bb_app__game->GetDeviceWidth();
  int height = bb_app__game->GetDeviceHeight();
  if (width == bb_app__devWidth && height == bb_app__devHeight) return 0;
  bb_app__devWidth = width;
  bb_app__devHeight = height;
  return 0;
}

int bb_app_EnumDisplayModes() {
  Array<BBDisplayMode*> modes = bb_app__game->GetDisplayModes();
  c_IntMapOf<c_DisplayMode*>* seen = (new c_IntMapOf<c_DisplayMode*>)->m_new();
  c_StackOf<c_DisplayMode*>* distinct = (new c_StackOf<c_DisplayMode*>)->m_new();
  for (BBDisplayMode* mode : modes) {
    int key = (mode->width << 16) | mode->height;
    if (seen->p_Contains(key)) continue;
    c_DisplayMode* entry = (new c_DisplayMode)->m_new(mode->width, mode->height);
    seen->p_Set(key, entry);
    distinct->p_Push(entry);
  }
  gc_assign(bb_app__displayModes, distinct->p_ToArray());
  BBDisplayMode* desktop = bb_app__game->GetDesktopMode();
  c_DisplayMode* desk = desktop ? (new c_DisplayMode)->m_new(desktop->width, desktop->height)
                                : (new c_DisplayMode)->m_new(bb_app__devWidth, bb_app__devHeight);
  gc_assign(bb_app__desktopMode, desk);
  return 0;
}

Array<c_DisplayMode*> bb_app_DisplayModes() { return bb_app__displayModes; }

c_DisplayMode* bb_app_DesktopMode() { return bb_app__desktopMode; }

int bb_asyncevent_UpdateAsyncEvents() {
  if (bb_asyncevent__current || !bb_asyncevent__sources) return 0;
  for (int i = 0; i < bb_asyncevent__sources->p_Length2(); ++i) {
    gc_assign(bb_asyncevent__current, bb_asyncevent__sources->p_Get(i));
    bb_asyncevent__current->p_UpdateAsyncEvents();
  }
  bb_asyncevent__current = nullptr;
  return 0;
}
