// The state string without the window: the first run's exact string, what
// each kind of damaged, short or long string loads, the range fixes, random
// round trips, and the score entry rule.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "game/menus/state_string.h"

namespace {

struct State {
  Array<int> settings{PROGRESS_SETTINGS};
  Array<bool> badges{PROGRESS_BADGES};
  Array<int> highscores{PROGRESS_HIGHSCORES};
  Progress refs() const { return {settings, badges, highscores}; }
};

// What the game holds before loading: everything clear, sound on.
State Defaults() {
  State s;
  s.settings[SLOT_SOUND_MODE] = 1;
  return s;
}

// A state that survives loading unchanged (pad and overscan in range).
State Random(std::mt19937& rng) {
  State s;
  std::uniform_int_distribution<int> any(-2000000000, 2000000000), pad(64, 900);
  for (int i = 0; i < PROGRESS_SETTINGS; ++i) s.settings[i] = any(rng);
  s.settings[SLOT_PAD_X] = pad(rng);
  s.settings[SLOT_PAD_Y] = pad(rng);
  s.settings[SLOT_PAD_SIZE] = pad(rng);
  s.settings[SLOT_OVERSCAN] = 1;
  for (int i = 0; i < PROGRESS_BADGES; ++i) s.badges[i] = rng() & 1;
  for (int i = 0; i < PROGRESS_HIGHSCORES; ++i) s.highscores[i] = any(rng);
  return s;
}

std::vector<std::string> Lines(const std::vector<String>& lines) {
  std::vector<std::string> out;
  for (const String& l : lines) out.push_back(l.ToUtf8());
  return out;
}

std::vector<std::string> Fields(const String& state) {
  std::vector<std::string> out;
  for (const String& f : state.Split(String("|"))) out.push_back(f.ToUtf8());
  out.pop_back();  // after the last "|"
  return out;
}

String Join(const std::vector<std::string>& fields, size_t from = 0, size_t to = SIZE_MAX) {
  std::string s;
  for (size_t i = from; i < fields.size() && i < to; ++i) s += fields[i] + "|";
  return String(s.c_str());
}

// Block b: 0 settings, 1 badges, 2 + t table t; each compared whole.
bool SameBlock(const State& a, const State& b, int block) {
  if (block == 0) return std::equal(a.settings.begin(), a.settings.end(), b.settings.begin());
  if (block == 1) return std::equal(a.badges.begin(), a.badges.end(), b.badges.begin());
  const int t = block - 2;
  for (int i = 0; i < PROGRESS_RANKS; ++i) {
    for (int at : {PROGRESS_RANKS * t + i, PROGRESS_LAST + PROGRESS_RANKS * t + i}) {
      if (a.highscores[at] != b.highscores[at]) return false;
    }
  }
  return true;
}
constexpr int BLOCKS = 2 + PROGRESS_TABLES;

// A block's contents after its checksum failed.
State Reset() {
  State s = Defaults();
  s.settings[SLOT_PAD_X] = s.settings[SLOT_PAD_Y] = 64;
  s.settings[SLOT_PAD_SIZE] = 10;
  s.settings[SLOT_OVERSCAN] = 1;
  return s;
}

}  // namespace

TEST(StateString, FirstRunSavesTheFixedStringAndLoadsItBack) {
  State s = Defaults();
  EXPECT_TRUE(DecodeProgress(String(), s.refs(), false).empty());
  std::string expected = "0|0|0|0|0|1|0|0|0|0|64|64|10|0|1|";
  for (int i = 0; i < 10; ++i) expected += "0|";
  expected += "1483|";
  for (int i = 0; i < 9 + 7 * 21; ++i) expected += "0|";
  EXPECT_EQ(EncodeProgress(s.refs()).ToUtf8(), expected);

  State again = Defaults();
  EXPECT_EQ(Lines(DecodeProgress(String(expected.c_str()), again.refs(), false)),
            (std::vector<std::string>{"Settings Loaded", "Badges Loaded", "Highscore 0 Loaded", "Highscore 1 Loaded",
                                      "Highscore 2 Loaded", "Highscore 3 Loaded", "Highscore 4 Loaded",
                                      "Highscore 5 Loaded", "Highscore 6 Loaded"}));
}

TEST(StateString, ChecksumsWeighEachFieldByItsPlace) {
  State s = Defaults();
  s.badges[33] = s.badges[63] = true;              // group 1: bits 1 and 31
  s.highscores[PROGRESS_RANKS * 1 + 2] = 5;        // table 1, top[2]: weight 6
  s.highscores[PROGRESS_LAST + PROGRESS_RANKS * 1 + 4] = -1;  // last[4]: weight 8
  const std::vector<std::string> f = Fields(EncodeProgress(s.refs()));
  EXPECT_EQ(f[26 + 1], "-2147483646");
  EXPECT_EQ(f[26 + 8], "-2147483646");
  const size_t table1 = 35 + 21;
  EXPECT_EQ(f[table1 + 4], "5");
  EXPECT_EQ(f[table1 + 9], "-1");
  EXPECT_EQ(f[table1 + 20], std::to_string(5 * 6 - 8));
}

TEST(StateString, EachBlockLoadsResetsOrKeepsItsDefaultsAlone) {
  std::mt19937 rng(7);
  const State saved = Random(rng);
  State defaults = Random(rng);  // stand-in defaults that differ everywhere
  const std::vector<std::string> f = Fields(EncodeProgress(saved.refs()));
  ASSERT_EQ(f.size(), 182u);
  const size_t badges = 26, table0 = 35;
  auto edited = [&](size_t field, const std::string& value) {
    std::vector<std::string> g = f;
    g[field] = value;
    return Join(g);
  };
  std::vector<std::string> eighthTable(f.begin() + table0, f.begin() + table0 + 21);

  enum Source { SAVED, RESET, DEFAULT };
  struct Case {
    const char* name;
    String state;
    std::vector<std::string> lines;
    std::vector<Source> blocks;  // settings, badges, tables 0..6
  } cases[] = {
      {"whole", Join(f), {"Settings Loaded", "Badges Loaded", "Highscore 0 Loaded", "Highscore 1 Loaded",
                          "Highscore 2 Loaded", "Highscore 3 Loaded", "Highscore 4 Loaded", "Highscore 5 Loaded",
                          "Highscore 6 Loaded"}, {}},
      {"one table damaged", edited(table0 + 3 * 21 + 4, f[table0 + 3 * 21 + 4] + "1"),
       {"Settings Loaded", "Badges Loaded", "Highscore 0 Loaded", "Highscore 1 Loaded", "Highscore 2 Loaded",
        "Highscore 3 Checksum Invalid", "Highscore 4 Loaded", "Highscore 5 Loaded", "Highscore 6 Loaded"},
       {SAVED, SAVED, SAVED, SAVED, SAVED, RESET, SAVED, SAVED, SAVED}},
      {"settings damaged", edited(3, "x"),
       {"Settings Checksum Invalid", "Badges Loaded", "Highscore 0 Loaded", "Highscore 1 Loaded",
        "Highscore 2 Loaded", "Highscore 3 Loaded", "Highscore 4 Loaded", "Highscore 5 Loaded", "Highscore 6 Loaded"},
       {RESET, SAVED, SAVED, SAVED, SAVED, SAVED, SAVED, SAVED, SAVED}},
      {"badges damaged", edited(badges + 8, "0"),
       {"Settings Loaded", "Badge Checksum Invalid", "Highscore 0 Loaded", "Highscore 1 Loaded",
        "Highscore 2 Loaded", "Highscore 3 Loaded", "Highscore 4 Loaded", "Highscore 5 Loaded", "Highscore 6 Loaded"},
       {SAVED, RESET, SAVED, SAVED, SAVED, SAVED, SAVED, SAVED, SAVED}},
      {"cut inside table 2", Join(f, 0, table0 + 2 * 21 + 15),
       {"Settings Loaded", "Badges Loaded", "Highscore 0 Loaded", "Highscore 1 Loaded"},
       {SAVED, SAVED, SAVED, SAVED, DEFAULT, DEFAULT, DEFAULT, DEFAULT, DEFAULT}},
      // Too short for the settings: the first fields are taken for badges.
      {"cut inside the settings", Join(f, 0, 24), {"Badge Checksum Invalid"},
       {DEFAULT, RESET, DEFAULT, DEFAULT, DEFAULT, DEFAULT, DEFAULT, DEFAULT, DEFAULT}},
      {"badges alone", Join(f, badges, table0), {"Badges Loaded"},
       {DEFAULT, SAVED, DEFAULT, DEFAULT, DEFAULT, DEFAULT, DEFAULT, DEFAULT, DEFAULT}},
      {"an eighth table", Join(f) + Join(eighthTable), {"Settings Loaded", "Badges Loaded", "Highscore 0 Loaded",
                                                       "Highscore 1 Loaded", "Highscore 2 Loaded",
                                                       "Highscore 3 Loaded", "Highscore 4 Loaded",
                                                       "Highscore 5 Loaded", "Highscore 6 Loaded"}, {}},
  };
  const State reset = Reset();
  for (Case& c : cases) {
    if (c.blocks.empty()) c.blocks.assign(BLOCKS, SAVED);
    State s;
    for (int i = 0; i < PROGRESS_SETTINGS; ++i) s.settings[i] = defaults.settings[i];
    for (int i = 0; i < PROGRESS_BADGES; ++i) s.badges[i] = defaults.badges[i];
    for (int i = 0; i < PROGRESS_HIGHSCORES; ++i) s.highscores[i] = defaults.highscores[i];
    EXPECT_EQ(Lines(DecodeProgress(c.state, s.refs(), false)), c.lines) << c.name;
    for (int b = 0; b < BLOCKS; ++b) {
      const State& want = c.blocks[b] == SAVED ? saved : c.blocks[b] == RESET ? reset : defaults;
      EXPECT_TRUE(SameBlock(s, want, b)) << c.name << ", block " << b;
    }
  }
}

TEST(StateString, PadAndOverscanSlotsComeBackInRange) {
  struct Case {
    int padX, padY, padSize, overscan;
    bool console;
    int wantX, wantY, wantSize, wantOverscan;
  } cases[] = {
      {63, 0, 5, 0, true, 64, 64, 10, 64},      {64, 100, 8, 0, false, 64, 100, 8, 1},
      {70, -9, 7, -5, true, 70, 64, 10, 64},    {64, 64, 9, 30, true, 64, 64, 9, 30},
      {900, 64, 10, 30, false, 900, 64, 10, 1},
  };
  for (const Case& c : cases) {
    State s = Defaults();
    s.settings[SLOT_PAD_X] = c.padX;
    s.settings[SLOT_PAD_Y] = c.padY;
    s.settings[SLOT_PAD_SIZE] = c.padSize;
    s.settings[SLOT_OVERSCAN] = c.overscan;
    State loaded = Defaults();
    DecodeProgress(EncodeProgress(s.refs()), loaded.refs(), c.console);
    EXPECT_EQ(loaded.settings[SLOT_PAD_X], c.wantX);
    EXPECT_EQ(loaded.settings[SLOT_PAD_Y], c.wantY);
    EXPECT_EQ(loaded.settings[SLOT_PAD_SIZE], c.wantSize);
    EXPECT_EQ(loaded.settings[SLOT_OVERSCAN], c.wantOverscan) << c.overscan << " console " << c.console;
  }
}

TEST(StateString, RandomStatesRoundTripWithNegativeBadgeGroups) {
  std::mt19937 rng(11);
  for (int round = 0; round < 50; ++round) {
    State s = Random(rng);
    s.badges[31] = true;  // the top bit of group 0
    const String text = EncodeProgress(s.refs());
    EXPECT_EQ(Fields(text)[26][0], '-');
    State loaded = Defaults();
    EXPECT_EQ(DecodeProgress(text, loaded.refs(), false).size(), 9u);
    for (int b = 0; b < BLOCKS; ++b) EXPECT_TRUE(SameBlock(loaded, s, b)) << "round " << round << ", block " << b;
  }
}

TEST(StateString, ScoresEnterBelowEqualEntriesAndAtTheHeadOfTheLastTen) {
  struct Case {
    std::vector<int> top;
    int table, score;
    std::vector<int> wantTop;
  } cases[] = {
      {{5, 5, 5, 5, 5, 5, 5, 5, 5, 5}, 2, 5, {5, 5, 5, 5, 5, 5, 5, 5, 5, 5}},
      {{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}, 6, 7, {9, 8, 7, 7, 6, 5, 4, 3, 2, 1}},
      {{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}, 0, 10, {10, 9, 8, 7, 6, 5, 4, 3, 2, 1}},
      {{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}, 0, 0, {9, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
  };
  for (const Case& c : cases) {
    State s = Defaults();
    for (int i = 0; i < PROGRESS_RANKS; ++i) {
      s.highscores[PROGRESS_RANKS * c.table + i] = c.top[i];
      s.highscores[PROGRESS_LAST + PROGRESS_RANKS * c.table + i] = 100 + i;
    }
    EnterScore(s.highscores, c.table, c.score);
    for (int i = 0; i < PROGRESS_RANKS; ++i) {
      EXPECT_EQ(s.highscores[PROGRESS_RANKS * c.table + i], c.wantTop[i]) << "score " << c.score << ", rank " << i;
      EXPECT_EQ(s.highscores[PROGRESS_LAST + PROGRESS_RANKS * c.table + i], i == 0 ? c.score : 100 + i - 1);
    }
  }
  // A table number out of range enters nothing.
  State s = Defaults();
  for (int table : {-1, PROGRESS_TABLES}) EnterScore(s.highscores, table, 5);
  EXPECT_TRUE(std::all_of(s.highscores.begin(), s.highscores.end(), [](int v) { return v == 0; }));
}
