// Saving and loading the progress through the state store, and entering the
// score of a match that has ended.
#include "game/app.h"
#include "game/menus/state_string.h"

static_assert(GAME_BADGES == PROGRESS_BADGES && GAME_HIGHSCORES >= PROGRESS_HIGHSCORES);

int c_MyApp::p_Save() {
  // While the host's rules hold, this machine saves its own.
  if (m_onlineShared == 1) {
    for (int r = 0; r < RULE_COUNT; ++r) std::swap(m_settings[RULE_SETTINGS[r]], m_ownRules[r]);
  }
  const String state = EncodeProgress({m_settings, m_badges, m_highscores});
  if (m_onlineShared == 1) {
    for (int r = 0; r < RULE_COUNT; ++r) std::swap(m_settings[RULE_SETTINGS[r]], m_ownRules[r]);
  }
  if (bb_KRV_DebugMode == 1) bbPrint(state);
  bb_app_SaveState(state);
  return 0;
}

int c_MyApp::p_Load() {
  const String state = bb_app_LoadState();
  if (bb_KRV_DebugMode == 1) bbPrint(state);
  const bool console = bb_KRV_isOuya == 1;
  for (const String& line : DecodeProgress(state, {m_settings, m_badges, m_highscores}, console)) bbPrint(line);
  bb_KRV_overscan = console ? float(m_settings[SETTING_OVERSCAN]) : 0.0f;
  return 0;
}

int c_MyApp::p_LoadMenu() {
  const int table = m_gameMode - 1;
  if (table >= 0 && table < PROGRESS_TABLES) {
    m_enteredTable = table;
    m_enteredRank = -1;
    for (int r = PROGRESS_RANKS - 1; r >= 0; --r) {
      if (m_highscores[PROGRESS_RANKS * table + r] < m_lastScore) m_enteredRank = r;
    }
  }
  EnterScore(m_highscores, table, m_lastScore);
  p_Save();
  return 0;
}
