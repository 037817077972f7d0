// The match around its rounds: loading a match, preparing each round, the
// countdown with the riders' markers, pausing during play, the round-won
// screen with the match result, and the game-over overlay after a quit.
#include <cmath>

#include "game/match/match.h"
#include "input/input.h"

using namespace match;

namespace {

// Markers at the riders' start cells: an outer square in the rider's ink and
// an inner one dimmed, of half-size 2 to MARKER_HALF_MAX (plus a 2-unit rim).
constexpr int MARKER_HALF_MIN = 2;
constexpr int MARKER_HALF_MAX = 30;
constexpr float MARKER_DIM = 0.3f;
constexpr float LABEL_FADE = 40.0f;  // countdown updates over which labels fade
constexpr float COUNT_OFFSET = 48.0f;
constexpr float COUNT_SCALE = 3.0f;

// Round-won screen: the winner's marker flashes white for half of every
// WINNER_FLASH_MS, and its inner square and count pulse every WINNER_PULSE
// updates; tones alternate every half pulse.
constexpr int WINNER_FLASH_MS = 700;
constexpr float WINNER_PULSE = 50.0f;
constexpr float WINNER_WHITE = 100.0f;
constexpr float WINNER_INNER = 0.75f;
constexpr float WINNER_COUNT_SCALE = 5.0f;
constexpr float BANNER_SCALE = 6.0f;
constexpr float NEXT_ROUND_AFTER = 120.0f;
constexpr float MENU_AFTER_MATCH = 320.0f;

// Game-over overlay: fades in over GAME_OVER_FADE updates up to
// GAME_OVER_DARK, its bars grow by GAME_OVER_BAR_SPEED per update; the menu
// returns at GAME_OVER_END and the overlay withdraws from GAME_OVER_WITHDRAW.
constexpr float GAME_OVER_FADE = 40.0f;
constexpr float GAME_OVER_DARK = 0.7f;
constexpr int GAME_OVER_BAR_SPEED = 12;
constexpr int GAME_OVER_END = 90;
constexpr int GAME_OVER_WITHDRAW = 73;
constexpr int GAME_OVER_WITHDRAW_STEP = 2;

constexpr float PAUSE_BUTTON_AT = 16.0f;
constexpr float PAUSE_BUTTON_FAINT = 0.2f;

// Stars, then the border, on a fresh display list.
void RoundBackdrop(c_MyApp* app) {
  app->p_CLS2D(0.0f, 0.0f, 80.0f, 1.0f);
  app->p_DoStars(-0.5f, 0.0f);
  DrawBorder(app);
}

struct MarkerLook {
  int half;          // half-size of the inner square
  float outer;       // brightness of the outer square
  float inner;       // brightness of the inner square
  float labelAlpha;  // "ME!" labels and the win count
  float countScale;
};

void DrawMarker(c_MyApp* app, int p, const MarkerLook& look) {
  app->p_GetPos(p);
  const float x = float(app->m_posX), y = float(app->m_posY), h = float(look.half);
  app->p_Alpha(1.0f);
  app->p_Ink(p, look.outer);
  app->p_Rect(x - h - 2.0f, y - h - 2.0f, 2.0f * h + 4.0f, 2.0f * h + 4.0f);
  app->p_Ink(p, look.inner);
  app->p_Rect(x - h, y - h, 2.0f * h, 2.0f * h);
  for (int k = 0; k < JOIN_SLOTS; ++k) {
    if (JoinField(app, k, SLOT_JOINED) != 1 || JoinField(app, k, SLOT_RIDER) != p) continue;
    app->p_JoinMark(k, x, y, look.labelAlpha);
  }
  app->p_SetCol(255.0f, 255.0f, 255.0f, look.labelAlpha);
  // Riders in the lower half show their count above the marker, the upper
  // half below it.
  app->p_SetSize(look.countScale, UNSET);
  const float middle = bb_KRV_jscrh / 2.0f;
  if (y != middle) app->p_Text(x, y < middle ? y + COUNT_OFFSET : y - COUNT_OFFSET, String(app->m_wins[p]), 1.0f, 1.0f);
  app->p_SetSize(1.0f, UNSET);
}

// Quit from the round screens straight to the menu, with the key latched so
// it does not act there too.
void QuitCheck(c_MyApp* app) {
  // Back of the keyboard counts as well: a split keyboard's keys are no
  // longer the joypads'.
  if (app->p_PlayKeyAll(ACTION_QUIT, STICK) == 0 && app->p_PlayKey(ACTION_BACK, STICK, SOURCE_FIRST_PAD) == 0 &&
      app->p_PlayKey(ACTION_BACK, STICK, SOURCE_KEYBOARD) == 0) {
    return;
  }
  app->m_screen = SCREEN_MENU;
  app->m_anyKeyHeld = 1;
  app->m_inputLatch = 1;
  app->p_MatchEnded();
}

void OpenPause(c_MyApp* app) {
  app->m_paused = 1;
  app->m_pauseDir = 1;
  app->m_pauseRow = 0;
  app->p_PlaySFX(SFX_CHOOSE, 1.0f, 0.5f, 0.0f);
}

// Whether a joined slot whose joypad went away still has its rider riding;
// the marks are taken off either way, so the match pauses once per loss.
bool RiderLostItsPad(c_MyApp* app) {
  bool lost = false;
  for (int k = 0; k < JOIN_SLOTS; ++k) {
    if (JoinField(app, k, SLOT_DROPPED) == 0) continue;
    JoinField(app, k, SLOT_DROPPED) = 0;
    const int p = JoinField(app, k, SLOT_RIDER);
    const bool riding = p >= 1 && p <= MAX_RIDERS && Rider(app, p, R_NUMBER) > 0.0f && Rider(app, p, R_DEATH) == 0.0f;
    lost = lost || (JoinField(app, k, SLOT_JOINED) == 1 && riding);
  }
  return lost;
}

}  // namespace

int c_MyApp::p_LoadGame() {
  m_paused = 0;
  m_settings[SETTING_ROW] = 0;
  p_ResetStars(100);
  for (int i = 0; i <= 9; ++i) m_wins[i] = 0;
  m_lastScore = 0;
  ResetTally(this);
  m_gameOver = 0;
  m_gameOverTimer = 0;
  m_gameMode = MAX_RIDERS - m_gameMode;  // menu entry e opens a match of 9 - e riders
  m_screen = SCREEN_JOIN;
  for (int i = 0; i < GAME_INPUT_SLOTS; ++i) m_inputSlots[i] = 0;
  // Keys still held from the menu must be released before they join.
  for (int k = 0; k < ALL_SLOTS; ++k) JoinField(this, k, SLOT_LATCH) = 1;
  const int host = SlotOf(m_controlStyle == CONTROL_POINTER ? SOURCE_KEYBOARD : m_hostSource);
  if (host >= 0 && host < JOIN_SLOTS) JoinField(this, host, SLOT_JOINED) = JoinField(this, host, SLOT_RIDER) = 1;
  p_ResetPlayers();
  return 0;
}

int c_MyApp::p_WatchPads() {
  // A shared online match pauses on every machine or on none, and a pad
  // comes and goes on one machine only: a session's pads are not watched.
  if (m_onlineShared == 1) return 0;
  for (int source = SOURCE_KEYBOARD; source <= SOURCE_LAST; ++source) {
    const ControlSource& from = SOURCES[source + 1];
    if (from.kind != SourceKind::JOYPAD) continue;
    const int event = bb_input_JoyConnection(from.index);
    int& dropped = JoinField(this, SlotOf(source), SLOT_DROPPED);
    if (event == BBGAME_JOYUNPLUGGED && JoinField(this, SlotOf(source), SLOT_JOINED) == 1) dropped = 1;
    if (event == BBGAME_JOYPLUGGED) dropped = 0;
  }
  return 0;
}

int c_MyApp::p_GameReady() {
  p_PrepareArena();
  m_matchState[MS_COUNTDOWN] = COUNTDOWN_START;
  m_screen = SCREEN_ROUND_START;
  return 0;
}

int c_MyApp::p_GameStructure() {
  RoundBackdrop(this);
  const float t = m_matchState[MS_COUNTDOWN] - 1.0f;
  m_matchState[MS_COUNTDOWN] = t;
  if (t < 0.0f) m_screen = SCREEN_MATCH;
  // The markers hold their size, then shrink towards the riders' start
  // cells; labels and counts fade out at the end.
  MarkerLook look;
  look.half = std::max(MARKER_HALF_MIN, std::min(int(t / 3.0f), MARKER_HALF_MAX));
  look.outer = 1.0f;
  look.inner = MARKER_DIM;
  look.labelAlpha = std::max(0.0f, std::min(t / LABEL_FADE, 1.0f));
  look.countScale = COUNT_SCALE;
  for (int p = 1; p <= RiderCount(this); ++p) DrawMarker(this, p, look);
  QuitCheck(this);
  return 0;
}

int c_MyApp::p_InGame() {
  p_ResetDraw();
  m_menuDrop = -32;  // the main menu slides in when it next shows
  const bool pauseKey =
      p_PlayKeyAll(ACTION_BACK, STICK) != 0 || (bb_KRV_isOuya == 1 && p_PlayKeyAll(ACTION_QUIT, STICK) != 0);
  if (pauseKey && m_paused == 0 && m_anyKeyHeld == 0) {
    m_anyKeyHeld = 1;
    OpenPause(this);
  }
  // A rider whose joypad was pulled out waits for it, as the match does
  // for a window that lost the focus.
  if (m_paused == 0 && m_gameOver == 0 && RiderLostItsPad(this)) OpenPause(this);
  if (m_hidePauseButton != 1) {
    p_Alpha(m_controlStyle == CONTROL_POINTER ? 1.0f : PAUSE_BUTTON_FAINT);
    if (p_Button(PAUSE_BUTTON_AT, PAUSE_BUTTON_AT, 0) != 0 && m_paused == 0) {
      m_inputLatch = 1;
      OpenPause(this);
    }
    p_Alpha(1.0f);
  }
  if (m_paused == 1) p_PauseMenu();
  return 0;
}

int c_MyApp::p_SomebodyWon() {
  RoundBackdrop(this);
  m_matchState[MS_COUNTDOWN] = COUNTDOWN_START;  // ready for the next round
  float& timer = m_matchState[MS_WON_TIMER];
  const int roundWinner = int(m_matchState[MS_LAST_IN_PLAY]);
  const int needed = WinsNeeded(m_settings[SETTING_WINNER]);
  const bool pulse = std::fmod(timer, WINNER_PULSE) < WINNER_PULSE / 2.0f;
  const bool flash = bb_app_Millisecs() % WINNER_FLASH_MS < WINNER_FLASH_MS / 2;
  int matchWinner = 0;
  for (int p = 1; p <= RiderCount(this); ++p) {
    const bool won = p == roundWinner;
    MarkerLook look;
    look.half = MARKER_HALF_MAX;
    look.outer = won && flash ? WINNER_WHITE : 1.0f;
    look.inner = won && pulse ? WINNER_INNER : MARKER_DIM;
    look.labelAlpha = 1.0f;
    look.countScale = won && pulse ? WINNER_COUNT_SCALE : COUNT_SCALE;
    DrawMarker(this, p, look);
    if (needed > 0 && m_wins[p] >= needed) matchWinner = p;
  }
  QuitCheck(this);

  m_matchWon = 0;
  if (matchWinner > 0) {
    m_matchWon = 1;
    p_MatchEnded();
    p_ResetDraw();
    p_Ink(matchWinner, 1.0f);
    p_SetSize(BANNER_SCALE, UNSET);
    p_Text(bb_KRV_jscrw / 2.0f, bb_KRV_jscrh / 2.0f, "WINNER!!", 1.0f, 1.0f);
    p_ResetDraw();
  }

  timer += 1.0f;
  // A quit in this update stands; otherwise the next round or the menu.
  if (m_screen == SCREEN_ROUND_WON) {
    if (timer > NEXT_ROUND_AFTER && m_matchWon == 0) m_screen = SCREEN_ARENA_PREPARE;
    if (timer > MENU_AFTER_MATCH && m_matchWon == 1) m_screen = SCREEN_MENU;
  }
  const float phase = std::fmod(timer, WINNER_PULSE);
  if (phase == 0.0f) p_PlaySFX(SFX_WON_FIRST, 1.0f, 1.0f, 0.0f);
  if (phase == WINNER_PULSE / 2.0f) p_PlaySFX(SFX_WON_SECOND, 1.0f, 1.0f, 0.0f);
  return 0;
}

int c_MyApp::p_GameOver() {
  const int v = m_gameOverTimer;
  if (v >= 1) {
    // No input acts while the overlay shows.
    m_anyKeyHeld = 1;
    m_inputLatch = 1;
    const float w = bb_KRV_jscrw, h = bb_KRV_jscrh;
    p_SetCol(0.0f, 0.0f, 0.0f, std::min(float(v) / GAME_OVER_FADE, GAME_OVER_DARK));
    p_Rect(-1.0f, -1.0f, w + 2.0f, h + 2.0f);
    const float b = float(std::min(GAME_OVER_BAR_SPEED * v, int(0.45f * h)));
    p_SetCol(255.0f, 255.0f, 0.0f, 0.5f);
    p_Rect(-1.0f, 0.45f * h - 8.0f, 2.0f * b, 16.0f);
    p_SetCol(255.0f, 128.0f, 0.0f, 0.5f);
    p_Rect(w - 2.0f * b, 0.55f * h - 8.0f, 2.0f * b + 1.0f, 16.0f);
    // The words slide in from the top and bottom edges.
    p_SetSize(4.0f, UNSET);
    p_SetCol(255.0f, 180.0f, 180.0f, 1.0f);
    p_Text(0.35f * w, b, "GAME", 1.0f, 1.0f);
    p_Text(0.65f * w, h - b, "OVER", 1.0f, 1.0f);
    p_ResetDraw();
  }
  if (m_screen == SCREEN_MATCH) {
    m_gameOverTimer = v + 1;
    if (m_gameOverTimer == GAME_OVER_END) {
      m_screen = SCREEN_MENU_RETURN;
      m_gameOverTimer = GAME_OVER_WITHDRAW;
      if (bb_KRV_HasMusicStream == 1) p_StopTune();
    }
  } else if (m_screen < SCREEN_MATCH) {
    m_gameOverTimer = std::max(0, v - GAME_OVER_WITHDRAW_STEP);
  }
  return 0;
}
