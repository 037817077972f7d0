// The state string: encoding, decoding with per-block checksums, and the
// rule by which a score enters a highscore table.
#include "game/menus/state_string.h"

#include <cstdint>
#include <string>

namespace {

constexpr int SETTINGS_FIELDS = GAME_SETTINGS + 1;
constexpr int BADGE_FIELDS = PROGRESS_BADGE_GROUPS + 1;
constexpr int TABLE_FIELDS = 2 * PROGRESS_RANKS + 1;

// Range fixes of loading.
constexpr int PAD_MIN = 64;
constexpr int PAD_SIZE_MIN = 8;
constexpr int PAD_SIZE_DEFAULT = 10;
constexpr int CONSOLE_OVERSCAN = 64;
constexpr int DESKTOP_OVERSCAN = 1;
constexpr int LAST_KEYBOARD_SEATS = 3;

// Checksums are sums in 32-bit signed arithmetic that wraps; unsigned
// arithmetic gives the same bits without overflow.
class Checksum {
 public:
  void Add(int weight, int value) { sum_ += uint32_t(weight) * uint32_t(value); }
  int Value() const { return int32_t(sum_); }

 private:
  uint32_t sum_ = 0;
};

int SettingWeight(int slot) { return slot; }
int TopWeight(int rank) { return rank + 4; }
int LastWeight(int table, int rank) { return table + rank + 3; }

int Top(int table, int rank) { return PROGRESS_RANKS * table + rank; }
int Last(int table, int rank) { return PROGRESS_LAST + PROGRESS_RANKS * table + rank; }

int BadgeGroup(const Array<bool>& badges, int group) {
  uint32_t bits = 0;
  for (int j = 0; j < PROGRESS_GROUP_BITS; ++j) {
    if (badges[PROGRESS_GROUP_BITS * group + j]) bits |= uint32_t(1) << j;
  }
  return int32_t(bits);
}

void SetBadgeGroup(const Array<bool>& badges, int group, int value) {
  for (int j = 0; j < PROGRESS_GROUP_BITS; ++j) badges[PROGRESS_GROUP_BITS * group + j] = (uint32_t(value) >> j) & 1;
}

class Writer {
 public:
  void Field(int value) {
    text_ += std::to_string(value);
    text_ += '|';
  }
  String Text() const { return String(text_.c_str(), int(text_.size())); }

 private:
  std::string text_;
};

// The fields of a split state string, read in order.
class Reader {
 public:
  explicit Reader(const String& state) : parts_(state.Split(String("|"))) {}
  // Whether a block of `fields` fields (its checksum last) starts here.
  bool Holds(int fields) const { return pos_ + fields - 1 < parts_.Length(); }
  int Next() { return parts_[pos_++].ToInt(); }

 private:
  Array<String> parts_;
  int pos_ = 0;
};

bool ReadSettings(Reader& in, const Array<int>& settings) {
  Checksum sum;
  for (int i = 0; i < GAME_SETTINGS; ++i) {
    settings[i] = in.Next();
    sum.Add(SettingWeight(i), settings[i]);
  }
  if (in.Next() == sum.Value()) return true;
  for (int i = 0; i < GAME_SETTINGS; ++i) settings[i] = 0;
  settings[SETTING_SOUND_MODE] = 1;
  return false;
}

void FixSettingRanges(const Array<int>& settings, bool console) {
  if (settings[SETTING_PAD_X] < PAD_MIN) settings[SETTING_PAD_X] = PAD_MIN;
  if (settings[SETTING_PAD_Y] < PAD_MIN) settings[SETTING_PAD_Y] = PAD_MIN;
  if (settings[SETTING_PAD_SIZE] < PAD_SIZE_MIN) settings[SETTING_PAD_SIZE] = PAD_SIZE_DEFAULT;
  if (settings[SETTING_OVERSCAN] <= 0) settings[SETTING_OVERSCAN] = CONSOLE_OVERSCAN;
  if (!console) settings[SETTING_OVERSCAN] = DESKTOP_OVERSCAN;
  const int seats = settings[SETTING_KEYBOARD_SEATS];
  if (seats < 0 || seats > LAST_KEYBOARD_SEATS) settings[SETTING_KEYBOARD_SEATS] = 0;
}

bool ReadBadges(Reader& in, const Array<bool>& badges) {
  Checksum sum;
  for (int b = 0; b < PROGRESS_BADGE_GROUPS; ++b) {
    const int group = in.Next();
    SetBadgeGroup(badges, b, group);
    sum.Add(1, group);
  }
  if (in.Next() == sum.Value()) return true;
  for (int i = 0; i < PROGRESS_BADGES; ++i) badges[i] = false;
  return false;
}

bool ReadTable(Reader& in, const Array<int>& scores, int t) {
  Checksum sum;
  for (int i = 0; i < PROGRESS_RANKS; ++i) {
    scores[Top(t, i)] = in.Next();
    scores[Last(t, i)] = in.Next();
    sum.Add(TopWeight(i), scores[Top(t, i)]);
    sum.Add(LastWeight(t, i), scores[Last(t, i)]);
  }
  if (in.Next() == sum.Value()) return true;
  for (int i = 0; i < PROGRESS_RANKS; ++i) scores[Top(t, i)] = scores[Last(t, i)] = 0;
  return false;
}

String Outcome(const char* what, bool valid) {
  return String(what) + String(valid ? " Loaded" : " Checksum Invalid");
}

}  // namespace

String EncodeProgress(const Progress& p) {
  Writer out;
  Checksum settings;
  for (int i = 0; i < GAME_SETTINGS; ++i) {
    out.Field(p.settings[i]);
    settings.Add(SettingWeight(i), p.settings[i]);
  }
  out.Field(settings.Value());

  Checksum badges;
  for (int b = 0; b < PROGRESS_BADGE_GROUPS; ++b) {
    out.Field(BadgeGroup(p.badges, b));
    badges.Add(1, BadgeGroup(p.badges, b));
  }
  out.Field(badges.Value());

  for (int t = 0; t < PROGRESS_TABLES; ++t) {
    Checksum table;
    for (int i = 0; i < PROGRESS_RANKS; ++i) {
      out.Field(p.highscores[Top(t, i)]);
      out.Field(p.highscores[Last(t, i)]);
      table.Add(TopWeight(i), p.highscores[Top(t, i)]);
      table.Add(LastWeight(t, i), p.highscores[Last(t, i)]);
    }
    out.Field(table.Value());
  }
  return out.Text();
}

std::vector<String> DecodeProgress(const String& state, const Progress& p, bool console) {
  std::vector<String> lines;
  Reader in(state);
  // A string too short for the settings is still searched for the later
  // blocks from its start.
  if (in.Holds(SETTINGS_FIELDS)) {
    lines.push_back(Outcome("Settings", ReadSettings(in, p.settings)));
  }
  FixSettingRanges(p.settings, console);
  if (in.Holds(BADGE_FIELDS)) {
    const bool valid = ReadBadges(in, p.badges);
    lines.push_back(valid ? String("Badges Loaded") : String("Badge Checksum Invalid"));
  }
  for (int t = 0; t < PROGRESS_TABLES && in.Holds(TABLE_FIELDS); ++t) {
    const std::string name = "Highscore " + std::to_string(t);
    lines.push_back(Outcome(name.c_str(), ReadTable(in, p.highscores, t)));
  }
  return lines;
}

void EnterScore(const Array<int>& highscores, int table, int score) {
  if (table < 0 || table >= PROGRESS_TABLES) return;
  for (int r = 0; r < PROGRESS_RANKS; ++r) {
    if (highscores[Top(table, r)] >= score) continue;
    for (int i = PROGRESS_RANKS - 1; i > r; --i) highscores[Top(table, i)] = highscores[Top(table, i - 1)];
    highscores[Top(table, r)] = score;
    break;
  }
  for (int i = PROGRESS_RANKS - 1; i > 0; --i) highscores[Last(table, i)] = highscores[Last(table, i - 1)];
  highscores[Last(table, 0)] = score;
}
