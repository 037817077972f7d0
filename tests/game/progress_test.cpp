// The state string without the window: the checksum weights, what damaged,
// short or long strings load (random states, whose badge groups with the top
// bit set save as negative numbers, round trip whole), the range fixes, and
// the score entry rule.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "game/menus/state_string.h"

namespace {

struct State {
  Array<int> settings{GAME_SETTINGS};
  Array<bool> badges{PROGRESS_BADGES};
  Array<int> highscores{PROGRESS_HIGHSCORES};
  Progress refs() const { return {settings, badges, highscores}; }
};
constexpr int BLOCKS = 2 + PROGRESS_TABLES;

// What the game holds before loading: everything clear, sound on; `fixed`
// as loading leaves it.
State Defaults(bool fixed = false) {
  State s;
  s.settings[SETTING_SOUND_MODE] = 1;
  if (!fixed) return s;
  s.settings[SETTING_PAD_X] = s.settings[SETTING_PAD_Y] = 64;
  s.settings[SETTING_PAD_SIZE] = 10;
  s.settings[SETTING_OVERSCAN] = 1;
  return s;
}

// The state of `seed`, one that loads back unchanged (pad, overscan and
// keyboard seats in range).
State Random(unsigned seed) {
  std::mt19937 rng(seed);
  State s;
  std::uniform_int_distribution<int> any(-2000000000, 2000000000), pad(64, 900), seats(0, 3);
  for (int& v : s.settings) v = any(rng);
  for (int slot : {SETTING_PAD_X, SETTING_PAD_Y, SETTING_PAD_SIZE}) s.settings[slot] = pad(rng);
  s.settings[SETTING_OVERSCAN] = 1;
  s.settings[SETTING_KEYBOARD_SEATS] = seats(rng);
  for (bool& b : s.badges) b = rng() & 1;
  for (int& v : s.highscores) v = any(rng);
  return s;
}

std::vector<std::string> Fields(const String& state) {
  std::vector<std::string> out;
  for (const String& f : state.Split(String("|"))) out.push_back(f.ToUtf8());
  out.pop_back();  // after the last "|"
  return out;
}

String Join(const std::vector<std::string>& fields, size_t from, size_t to) {
  std::string s;
  for (size_t i = from; i < std::min(to, fields.size()); ++i) s += fields[i] + "|";
  return String(s.c_str());
}

// The saved fields of block b (0 settings, 1 badges, 2 + t table t).
std::vector<std::string> Block(const State& s, int b) {
  const std::vector<std::string> f = Fields(EncodeProgress(s.refs()));
  const int from = b == 0 ? 0 : b == 1 ? 26 : 35 + 21 * (b - 2), to = b == 0 ? 26 : b == 1 ? 35 : from + 21;
  return {f.begin() + from, f.begin() + to};
}

// The progress lines of blocks marked 'L' (loaded) or 'R' (checksum failed);
// '-' marks a block that was not read.
std::vector<std::string> LinesOf(const std::string& blocks) {
  const std::string names[] = {"Settings", "Badge", "Highscore 0", "Highscore 1", "Highscore 2",
                               "Highscore 3", "Highscore 4", "Highscore 5", "Highscore 6"};
  std::vector<std::string> lines;
  for (int b = 0; b < BLOCKS; ++b) {
    if (blocks[b] == 'L') lines.push_back((b == 1 ? std::string("Badges") : names[b]) + " Loaded");
    if (blocks[b] == 'R') lines.push_back(names[b] + " Checksum Invalid");
  }
  return lines;
}

}  // namespace

// The first run's exact string is what the acceptance test's empty state
// file saves.
TEST(StateString, ChecksumsWeighEachField) {
  State s = Defaults();
  s.badges[33] = s.badges[63] = true;                         // group 1: bits 1 and 31
  s.highscores[PROGRESS_RANKS + 2] = 5;                       // table 1, top[2]: weight 6
  s.highscores[PROGRESS_LAST + PROGRESS_RANKS + 4] = -1;      // last[4]: weight 8
  const std::vector<std::string> f = Fields(EncodeProgress(s.refs()));
  EXPECT_EQ(f[26 + 1], "-2147483646");
  EXPECT_EQ(f[26 + 8], "-2147483646");
  EXPECT_EQ(f[56 + 20], std::to_string(5 * 6 - 8));
}

TEST(StateString, EachBlockLoadsResetsOrKeepsItsDefaultsAlone) {
  const State saved = Random(7), reset = Defaults(true);
  const std::vector<std::string> f = Fields(EncodeProgress(saved.refs()));
  ASSERT_EQ(f.size(), 182u);
  auto edited = [&f](size_t field, const std::string& value) {
    std::vector<std::string> g = f;
    g[field] = value;
    return Join(g, 0, g.size());
  };
  const struct {
    const char* name;
    String state;
    std::string blocks;  // per block: L loaded, R reset, - defaults kept
  } cases[] = {
      {"whole", Join(f, 0, 182), "LLLLLLLLL"},
      {"one table damaged", edited(35 + 3 * 21 + 4, f[35 + 3 * 21 + 4] + "1"), "LLLLLRLLL"},
      {"settings damaged", edited(3, "x"), "RLLLLLLLL"},
      {"badges damaged", edited(26 + 8, "0"), "LRLLLLLLL"},
      {"cut inside table 2", Join(f, 0, 35 + 2 * 21 + 15), "LLLL-----"},
      {"too short for settings: the start taken for badges", Join(f, 0, 24), "-R-------"},
      {"badges alone", Join(f, 26, 35), "-L-------"},
      {"an eighth table", Join(f, 0, 182) + Join(f, 35, 56), "LLLLLLLLL"},
  };
  for (const auto& c : cases) {
    State s = Random(8);
    std::vector<std::string> lines;
    for (const String& l : DecodeProgress(c.state, s.refs(), false)) lines.push_back(l.ToUtf8());
    EXPECT_EQ(lines, LinesOf(c.blocks)) << c.name;
    for (int b = 0; b < BLOCKS; ++b) {
      const State& want = c.blocks[b] == 'L' ? saved : c.blocks[b] == 'R' ? reset : Random(8);
      EXPECT_EQ(Block(s, b), Block(want, b)) << c.name << ", block " << b;
    }
  }
}

TEST(StateString, PadOverscanAndKeyboardSeatSlotsComeBackInRange) {
  const struct {
    int in[5];  // pad x, pad y, pad size, overscan, players at the keyboard less one
    bool console;
    int out[5];
  } cases[] = {
      {{63, 0, 5, 0, 3}, true, {64, 64, 10, 64, 3}},     {{64, 100, 8, 0, 4}, false, {64, 100, 8, 1, 0}},
      {{70, -9, 7, -5, -1}, true, {70, 64, 10, 64, 0}},  {{900, 64, 9, 30, 1}, true, {900, 64, 9, 30, 1}},
  };
  const int slots[] = {SETTING_PAD_X, SETTING_PAD_Y, SETTING_PAD_SIZE, SETTING_OVERSCAN, SETTING_KEYBOARD_SEATS};
  for (const auto& c : cases) {
    State s = Defaults(), loaded = Defaults();
    for (int i = 0; i < 5; ++i) s.settings[slots[i]] = c.in[i];
    DecodeProgress(EncodeProgress(s.refs()), loaded.refs(), c.console);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(loaded.settings[slots[i]], c.out[i]) << c.in[i] << " in slot " << slots[i];
  }
}

TEST(StateString, ScoresEnterBelowEqualEntriesAndAtTheHeadOfTheLastTen) {
  const struct {
    int table, score;
    std::vector<int> top, wantTop;
  } cases[] = {
      {2, 5, {5, 5, 5, 5, 5, 5, 5, 5, 5, 5}, {5, 5, 5, 5, 5, 5, 5, 5, 5, 5}},
      {6, 7, {9, 8, 7, 6, 5, 4, 3, 2, 1, 0}, {9, 8, 7, 7, 6, 5, 4, 3, 2, 1}},
      {0, 10, {9, 8, 7, 6, 5, 4, 3, 2, 1, 0}, {10, 9, 8, 7, 6, 5, 4, 3, 2, 1}},
      {0, 0, {9, 8, 7, 6, 5, 4, 3, 2, 1, 0}, {9, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
      {7, 4, {}, {}},  // no such table: nothing entered
  };
  for (const auto& c : cases) {
    State s = Defaults();
    for (int i = 0; i < PROGRESS_RANKS && !c.top.empty(); ++i) {
      s.highscores[PROGRESS_RANKS * c.table + i] = c.top[i];
      s.highscores[PROGRESS_LAST + PROGRESS_RANKS * c.table + i] = 100 + i;
    }
    EnterScore(s.highscores, c.table, c.score);
    if (c.top.empty()) {
      EXPECT_TRUE(std::all_of(s.highscores.begin(), s.highscores.end(), [](int v) { return v == 0; }));
      continue;
    }
    for (int i = 0; i < PROGRESS_RANKS; ++i) {
      EXPECT_EQ(s.highscores[PROGRESS_RANKS * c.table + i], c.wantTop[i]) << "score " << c.score << ", rank " << i;
      EXPECT_EQ(s.highscores[PROGRESS_LAST + PROGRESS_RANKS * c.table + i], i == 0 ? c.score : 100 + i - 1);
    }
  }
}
