// Arbitrary state files through loading: whatever a file holds, loading
// keeps the pad, overscan and keyboard-seat slots in range, and the state it leaves saves
// to a string that loads back whole and unchanged.
#include <algorithm>
#include <cstdlib>

#include "game/menus/state_string.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

struct State {
  Array<int> settings{GAME_SETTINGS};
  Array<bool> badges{PROGRESS_BADGES};
  Array<int> highscores{PROGRESS_HIGHSCORES};
  Progress refs() const { return {settings, badges, highscores}; }
};

template <class T>
bool Same(const Array<T>& a, const Array<T>& b) {
  return std::equal(a.begin(), a.end(), b.begin());
}

void Exercise(const unsigned char* data, size_t size) {
  const bool console = size > 0 && (data[0] & 1);
  State s;
  s.settings[SETTING_SOUND_MODE] = 1;
  DecodeProgress(String::Decode(data, int(size)), s.refs(), console);
  Check(s.settings[SETTING_PAD_X] >= 64 && s.settings[SETTING_PAD_Y] >= 64 && s.settings[SETTING_PAD_SIZE] >= 8);
  Check(console ? s.settings[SETTING_OVERSCAN] > 0 : s.settings[SETTING_OVERSCAN] == 1);
  Check(s.settings[SETTING_KEYBOARD_SEATS] >= 0 && s.settings[SETTING_KEYBOARD_SEATS] <= 3);

  State again;
  Check(DecodeProgress(EncodeProgress(s.refs()), again.refs(), console).size() == 2 + PROGRESS_TABLES);
  Check(Same(s.settings, again.settings) && Same(s.badges, again.badges) && Same(s.highscores, again.highscores));

  EnterScore(s.highscores, int(size % 9) - 1, s.settings[0]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  Exercise(data, size);
  gc_collect();  // as the runtime does between calls, with no array held
  return 0;
}
