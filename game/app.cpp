// The game object's life: construction, the runtime hooks, the per-update
// input snapshot and latches, the screen dispatcher and the window mode.
#include "game/app.h"

#include "audio/audio.h"
#include "game/match/controls.h"
#include "game/screen_math.h"
#include "game/timing.h"
#include "input/input.h"

namespace {

// Logical actions that keep m_anyKeyHeld set, in the order they are asked;
// the two iCade back entries are asked as actions too (no source answers
// them).
constexpr int LATCH_ACTIONS[] = {ACTION_UP,     ACTION_LEFT,     ACTION_RIGHT,    ACTION_DOWN,   ACTION_CONFIRM,
                                 ACTION_CANCEL, ACTION_OPTION,   ACTION_QUIT,     ACTION_EXTRA1, ACTION_EXTRA2,
                                 PAD_BACK_ICADE1, PAD_BACK_ICADE2, ACTION_BACK};

// The value of a pad entry an iCade letter holds down until its release
// letter; 1, from an on-screen button, lasts one update.
constexpr int PAD_ICADE_PRESS = 2;

// An iCade cabinet types one letter when a control goes down and another
// when it comes up.
struct ICadeLetter {
  char press, release;
  int entry;
};
constexpr ICadeLetter ICADE_LETTERS[] = {
    {'W', 'E', ACTION_UP},      {'A', 'Q', ACTION_LEFT},     {'D', 'C', ACTION_RIGHT},
    {'X', 'Z', ACTION_DOWN},    {'H', 'R', ACTION_CONFIRM},  {'J', 'N', ACTION_CANCEL},
    {'K', 'P', ACTION_OPTION},  {'Y', 'T', ACTION_QUIT},     {'U', 'F', ACTION_EXTRA1},
    {'I', 'M', ACTION_EXTRA2},  {'O', 'G', PAD_BACK_ICADE1}, {'L', 'V', PAD_BACK_ICADE2},
};

// Updates per second while the window is in the background.
constexpr int SUSPENDED_UPDATE_RATE = 5;

// Updates a rate figure: instantaneous events per second and its running
// average over about ten samples.
void MeasureRate(int& lastMs, int& perSecond, int& average) {
  if (bb_app_Millisecs() > lastMs) perSecond = 1000 / (bb_app_Millisecs() - lastMs);
  average = (average * 9 + perSecond) / 10;
  lastMs = bb_app_Millisecs();
}

int StepToward(int value, bool up) {
  if (up) return value < BOX_SLIDE_STEPS ? value + 1 : value;
  return value > 0 ? value - 1 : value;
}

}  // namespace

c_MyApp::c_MyApp() {
  gc_assign(m_images, Array<c_Image*>(GAME_IMAGE_SLOTS));
  gc_assign(m_fontInfo, Array<int>(GAME_FONT_INFO));
  gc_assign(m_noticeBadge, Array<int>(GAME_NOTICES));
  gc_assign(m_noticeTimer, Array<int>(GAME_NOTICES));
  gc_assign(m_badges, Array<bool>(GAME_BADGES));
  gc_assign(m_padButtons, Array<int>(GAME_PAD_BUTTONS));
  gc_assign(m_settings, Array<int>(GAME_SETTINGS));
  gc_assign(m_highscores, Array<int>(GAME_HIGHSCORES));
  gc_assign(m_sfxOrder, Array<int>(GAME_SFX_ORDER));
  gc_assign(m_drawList, Array<float>(DRAW_LIST_FLOATS));
  gc_assign(m_touchDown, Array<int>(GAME_TOUCHES));
  gc_assign(m_touchX, Array<int>(GAME_TOUCHES));
  gc_assign(m_touchY, Array<int>(GAME_TOUCHES));
  gc_assign(m_sounds, Array<c_Sound*>(GAME_SOUND_SLOTS));
  gc_assign(m_matchState, Array<float>(GAME_MATCH_STATE));
  gc_assign(m_stars, Array<float>(GAME_STARS));
  gc_assign(m_particles, Array<float>(GAME_PARTICLES));
  gc_assign(m_trailBrightness, Array<float>(GAME_TRAIL_BRIGHTNESS));
  gc_assign(m_grid, Array<int>(GAME_GRID));
  gc_assign(m_segments, Array<int>(GAME_SEGMENTS));
  gc_assign(m_wins, Array<int>(GAME_WINS));
  gc_assign(m_inputSlots, Array<int>(GAME_INPUT_SLOTS));
  gc_assign(m_tally, Array<int>(GAME_TALLY));
}

c_MyApp* c_MyApp::m_new() {
  c_App::m_new();
  return this;
}

void c_MyApp::mark() {
  c_App::mark();
  gc_mark_q(m_images);
  gc_mark_q(m_fontInfo);
  gc_mark_q(m_noticeBadge);
  gc_mark_q(m_noticeTimer);
  gc_mark_q(m_badges);
  gc_mark_q(m_padButtons);
  gc_mark_q(m_settings);
  gc_mark_q(m_highscores);
  gc_mark_q(m_sfxOrder);
  gc_mark_q(m_drawList);
  gc_mark_q(m_touchDown);
  gc_mark_q(m_touchX);
  gc_mark_q(m_touchY);
  gc_mark_q(m_sounds);
  gc_mark_q(m_matchState);
  gc_mark_q(m_stars);
  gc_mark_q(m_particles);
  gc_mark_q(m_trailBrightness);
  gc_mark_q(m_grid);
  gc_mark_q(m_segments);
  gc_mark_q(m_wins);
  gc_mark_q(m_inputSlots);
  gc_mark_q(m_tally);
}

int c_MyApp::p_OnCreate() {
  if (argv) p_OnlineRequest(argc, argv);
  if (TimingWantsFullscreen()) p_FullscreenFlip();
  if (bb_KRV_isOuya == 1) {
    bb_KRV_overscan = 64.0f;
    m_controlStyle = CONTROL_JOYPAD;
  }
  m_screen = SCREEN_MENU;
  bb_app_SetUpdateRate(UPDATE_RATE);
  m_lastDevWidth = bb_app_DeviceWidth();
  m_lastDevHeight = bb_app_DeviceHeight();
  p_Reload();
  m_gameMode = 2;
  m_menuDrop = -32;
  m_paused = 0;
  m_pauseDir = -1;
  m_pauseY = -64;
  for (int i = 0; i < GAME_NOTICES; ++i) m_noticeBadge[i] = m_noticeTimer[i] = 0;
  for (int i = 0; i < GAME_BADGES / 2; ++i) m_badges[i] = false;
  for (int i = 0; i < PAD_DRIVEN_ENTRIES; ++i) m_padButtons[i] = 0;
  for (int i = 0; i < GAME_SETTINGS; ++i) m_settings[i] = 0;
  m_settings[SETTING_SOUND_MODE] = 1;
  for (int i = 0; i <= 70; ++i) m_highscores[i] = 0;
  p_Load();
  for (int i = 0; i < GAME_SFX_ORDER; ++i) m_sfxOrder[i] = i;
  return 0;
}

int c_MyApp::p_OnUpdate() {
  m_padButtons[PAD_BACK] =
      bb_KRV_isOuya == 1 ? (bb_input_JoyHit(JOY_GUIDE, SOURCE_FIRST_PAD) ? 1 : 0) : bb_input_KeyHit(KEY_BACK);

  if (bb_input_KeyHit(KEY_F1)) bb_KRV_DebugMode = 1 - bb_KRV_DebugMode;
  if (bb_input_KeyHit(KEY_F2)) m_hidePauseButton = 1 - m_hidePauseButton;
  if (bb_input_KeyHit(KEY_F11)) p_FullscreenFlip();
  if (bb_input_KeyHit(KEY_F4) || bb_input_KeyHit(KEY_CLOSE)) bbError(String());

  bb_asyncevent_UpdateAsyncEvents();

  if (bb_KRV_HasMusicStream == 1 && m_musicOn == 1 && bb_audio_device) {
    if (m_paused != 0) {
      bb_audio_device->PauseMusic();
    } else {
      bb_audio_device->ResumeMusic();
    }
  }

  MeasureRate(m_updateLastMs, m_updateFps, m_updateFpsAvg);
  ReadLocalPointer();
  const int screenBefore = m_screen;
  const bool step = p_OnlineBegin();
  if (m_onlineShared == 0) {
    TakeInputSnapshot();
    p_WatchPads();
  }
  if (step) UpdateLatches();
  if (step && m_loadStep == 0) {
    RunScreenStep();
    RunOverlays();
  }
  if (m_loadStep > 0) p_Loader();
  if (bb_KRV_iCadeControls == 1) ReadICadeLetters();
  for (int i = 0; i < PAD_DRIVEN_ENTRIES; ++i) {
    if (m_padButtons[i] == 1) m_padButtons[i] = 0;
  }
  if (bb_KRV_DebugMode == 1 && m_screen != SCREEN_START_PROMPT) DrawDebugLine();
  p_ShowBadges();
  p_OnlineFinish(screenBefore);
  return 0;
}

void c_MyApp::ReadLocalPointer() {
  const float ov = bb_KRV_overscan;
  const float oy = OverscanY(ov, bb_app_DeviceWidth(), bb_app_DeviceHeight(), m_lastDevWidth, m_lastDevHeight);
  m_localMouseX = ToVirtual(bb_input_MouseX(), ov, m_scaleX);
  m_localMouseY = ToVirtual(bb_input_MouseY(), oy, m_scaleY);
  m_localPointerDown = bb_input_MouseDown(0) != 0 ? 1 : 0;
  m_localMouseHits = bb_input_MouseHit(0);
}

void c_MyApp::TakeInputSnapshot() {
  const float ov = bb_KRV_overscan;
  const float oy = OverscanY(ov, bb_app_DeviceWidth(), bb_app_DeviceHeight(), m_lastDevWidth, m_lastDevHeight);
  m_prevMouseX = m_mouseX;
  m_prevMouseY = m_mouseY;
  m_mouseX = m_localMouseX;
  m_mouseY = m_localMouseY;
  const bool leftDown = m_localPointerDown != 0;
  if (!m_mouseWasDown && leftDown) {
    m_prevMouseX = m_mouseX;
    m_prevMouseY = m_mouseY;
  }
  m_pointerDown = leftDown ? 1 : 0;
  m_mouseHits = m_localMouseHits;

  for (int i = 0; i < GAME_TOUCHES; ++i) {
    m_touchDown[i] = 0;
    m_touchX[i] = m_touchY[i] = UNSET;
    if (!bb_input_KeyDown(KEY_TOUCH0 + i)) continue;
    m_touchDown[i] = 1;
    m_touchX[i] = ToVirtual(bb_input_TouchX(i), ov, m_scaleX);
    m_touchY[i] = ToVirtual(bb_input_TouchY(i), oy, m_scaleY);
    m_pointerDown = 1;
  }

  m_mouseWasDown = leftDown ? 1 : 0;
  if (m_pointerDown == 0) m_inputLatch = 0;
}

bool c_MyApp::AnyActionHeld() {
  for (int action : LATCH_ACTIONS) {
    for (int source = SOURCE_KEYBOARD; source <= p_LastSource(); ++source) {
      if (p_PlayKey(action, STICK, source) != 0) return true;
    }
  }
  return false;
}

bool c_MyApp::BackHeld() {
  for (int source = SOURCE_KEYBOARD; source <= p_LastSource(); ++source) {
    if (p_PlayKey(ACTION_BACK, STICK, source) != 0) return true;
  }
  return false;
}

void c_MyApp::UpdateLatches() {
  const bool held = AnyActionHeld();
  if (!held) m_anyKeyHeld = 0;
  // Back on the menu closes an open box and latches, so the same press does
  // not act in the menu too; with no box open the menu handles it.
  if ((!held || m_anyKeyHeld == 0) && m_inputLatch == 0 && m_screen == SCREEN_MENU && BackHeld() &&
      (m_creditsOpen == 1 || m_optionsOpen == 1 || m_badgesOpen == 1 || m_highscoresOpen == 1)) {
    m_creditsOpen = 0;
    m_badgesOpen = 0;
    m_highscoresOpen = 0;
    m_anyKeyHeld = 1;
    m_inputLatch = 1;
  }
  // The options box reads its own keys and keeps the latches set while open.
  if (m_optionsOpen == 1) {
    m_anyKeyHeld = 1;
    m_inputLatch = 1;
  }
}

void c_MyApp::RunScreenStep() {
  switch (m_screen) {
    case SCREEN_MENU:
      p_Menu();
      break;
    case SCREEN_MENU_RETURN:
      p_MatchEnded();
      p_PlaySFX(SFX_JINGLE, 1.0f, 1.0f, 0.0f);
      m_screen = SCREEN_MENU;
      break;
    case SCREEN_QUIT_CONFIRM:
      p_OuyaQuit();
      break;
    case SCREEN_START_PROMPT:
      p_WaitStart(0);
      break;
    case SCREEN_MATCH:
      p_Game();
      p_InGame();
      break;
    case SCREEN_MATCH_LOAD:
      p_LoadGame();
      break;
    case SCREEN_ROUND_START:
      p_GameStructure();
      break;
    case SCREEN_ARENA_PREPARE:
      p_GameReady();
      break;
    case SCREEN_JOIN:
      p_GameSelect();
      break;
    case SCREEN_ROUND_WON:
      p_SomebodyWon();
      break;
    case SCREEN_TRAIL_DEMO:
      p_SquigglyDoohickey();
      break;
    default:
      break;
  }
}

void c_MyApp::RunOverlays() {
  if (m_screen == SCREEN_MATCH && m_gameOver > 0) p_GameOver();
  // The game-over sequence also runs on the menu (and so twice in the update
  // that the line above sent back to it).
  if (m_screen == SCREEN_MENU || m_screen == SCREEN_MENU_RETURN) p_GameOver();
  if (m_screen == SCREEN_MENU && (m_creditsOpen == 1 || m_creditsSlide > 0)) p_CreditBox();
  m_creditsSlide = StepToward(m_creditsSlide, m_creditsOpen == 1);
  if (m_screen == SCREEN_MENU && m_badgesOpen == 1) p_BadgesBox();
  if (m_screen == SCREEN_MENU && (m_highscoresOpen == 1 || m_highscoresSlide > 0)) p_HighscoreView();
  m_highscoresSlide = StepToward(m_highscoresSlide, m_highscoresOpen == 1);
  if (m_optionsOpen == 1 || m_optionsSlide > 0) {
    p_OptionBox();
    m_optionsSlide = StepToward(m_optionsSlide, m_optionsOpen == 1);
  }
}

void c_MyApp::ReadICadeLetters() {
  for (;;) {
    m_lastChar = bb_input_GetChar();
    if (m_lastChar <= 0) return;
    const int letter = (m_lastChar >= 'a' && m_lastChar <= 'z') ? m_lastChar - 'a' + 'A' : m_lastChar;
    for (const ICadeLetter& l : ICADE_LETTERS) {
      if (letter == l.press) m_padButtons[l.entry] = PAD_ICADE_PRESS;
      if (letter == l.release) m_padButtons[l.entry] = 0;
    }
  }
}

void c_MyApp::DrawDebugLine() {
  p_ResetDraw();
  p_Text(16.0f, bb_KRV_jscrh - 16.0f,
         String(m_renderFpsAvg) + String(":") + String(m_scaleX) + String(",") + String(m_scaleY), 0.0f, 0.0f);
}

int c_MyApp::p_OnRender() {
  MeasureRate(m_renderLastMs, m_renderFps, m_renderFpsAvg);
  p_Replay();
  TimingMilestone("first-frame");
  return 0;
}

namespace {

// A suspended match comes back with its pause box standing open; elsewhere
// the pause state is simply cleared.
void ApplyPauseRule(c_MyApp* app) {
  if (app->m_screen < SCREEN_MATCH) {
    app->m_paused = app->m_pauseDir = app->m_pauseY = 0;
    return;
  }
  app->m_paused = 1;
  app->m_pauseDir = 1;
  app->m_pauseY = int(bb_KRV_jscrh * 0.5f);
}

}  // namespace

// iCade mode must be switched on again after every loss of focus.
int c_MyApp::p_OnSuspend() {
  p_iCade(0);
  ApplyPauseRule(this);
  bb_app_SetUpdateRate(SUSPENDED_UPDATE_RATE);
  p_Save();
  return 0;
}

int c_MyApp::p_OnResume() {
  ApplyPauseRule(this);
  bb_app_SetUpdateRate(UPDATE_RATE);
  p_iCade(0);
  return 0;
}

int c_MyApp::p_FullscreenFlip() {
  BBGlfwGame* game = BBGlfwGame::GlfwGame();
  BBGlfwVideoMode* d = game ? game->GetGlfwDesktopMode() : nullptr;
  if (!d) return 0;  // no monitor to go full screen on
  m_fullScreen = 1 - m_fullScreen;
  if (m_fullScreen == 1) {
    game->SetGlfwWindow(d->width, d->height, d->red, d->green, d->blue, 0, 0, 0, true);
  } else {
    game->SetGlfwWindow(APP_WINDOW_WIDTH, APP_WINDOW_HEIGHT, d->red, d->green, d->blue, 0, 0, 0, false);
  }
  return 0;
}
