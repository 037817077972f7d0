// The real game played through its window from start-up to its end (whole
// matches, the pause menu, full screen, focus loss, resizing, quitting) and
// under faults: what a player hears in each sound mode, damaged and strange
// state files, no audio device, the X server going away. Damaged data is
// swept through the stepping harness instead, in its private copy of the
// data folder: a real start per file and damage would take too long.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <numeric>
#include <thread>

#include "tests/acceptance/player.h"
#include "tests/game/harness.h"
#include "tests/support/sound.h"

using namespace zephrine_test;
namespace fs = std::filesystem;

namespace {

constexpr int SPEED_FIELD = 3, SOUND_FIELD = 5, STATE_FIELDS = 182;

void Sleep(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

// The match in play in a window `width` pixels wide, its trail longer than
// `before`: it went on from where it was.
std::function<bool(const Shot&)> GoesOn(int before, int width = 640) {
  return [=](const Shot& s) { return s.width == width && Shows(s, Screen::PLAYING) && TrailEnd(s) > before; };
}

// Side by side: two rounds at each speed, back to the menu; and two matches
// that go on where they were, one after focus loss (saved) and the pause
// menu with its options box (saved) and a quit (saved), one after full
// screen and back with a steering key held and a resize.
TEST(Play, TwoRoundsAtEverySpeedAndAMatchGoingOnAfterFocusLossPauseFullScreenAndResizing) {
  SideBySide(6, [](Player& p, int game) {
    // Down to the speed row, right to the next speed as many times as the game's number.
    const std::string rules = "Down Down" + std::string(" Right Right Right").substr(0, 6 * (game % 4));
    ASSERT_TRUE(p.Start() && p.Play({{"", Screen::MENU}, {TWO_RIDERS, Screen::JOIN},
                                     {rules + " Return", Screen::MARKERS}, {"", Screen::PLAYING}}));
    EXPECT_EQ(StateField(p.State(), SPEED_FIELD), game % 4);  // each rule key saves
    // Into the top wall twice: a round ends once the computer crashes too.
    EXPECT_TRUE(game >= 4 || p.Play({{"Up", Screen::MARKERS}, {"", Screen::PLAYING}, {"Up", Screen::MARKERS},
                                     {"Escape", Screen::MENU}}));
    const int before = TrailEnd(p.Look());
    if (game == 4) {
      fs::remove(p.Path(".tarvexstate"));
      p.Focus(false);
      EXPECT_TRUE(Within(5, [&] { return StateField(p.State(), SOUND_FIELD) == 1; })) << "saved on losing the focus";
      p.Focus(true);
      // The pause box standing open; options from it: sound, effects only; the box closes and saves.
      ASSERT_TRUE(p.Play({{"", Screen::PAUSED}, {"Right Return", Screen::OPTIONS}, {"Down Return Escape", Screen::PAUSED}}));
      Sleep(0.5);  // keys act once the box has slid out
      p.Keys("Left Return");  // resume
      EXPECT_TRUE(p.WaitFor(GoesOn(before)));
      fs::remove(p.Path(".tarvexstate"));
      p.Click(16, 16);  // the pause button, then quit
      EXPECT_TRUE(p.Play({{"", Screen::PAUSED}, {"Left Return", Screen::GAME_OVER}, {"", Screen::MENU}}));
      EXPECT_EQ(StateField(p.State(), SOUND_FIELD), 2) << "the options' change, saved on the way back to the menu";
    }
    if (game == 5) {
      p.Keys("+Right F11");  // held the way it goes while the window changes
      EXPECT_TRUE(p.WaitFor([](const Shot& s) { return s.width > 640 && Shows(s, Screen::PLAYING); }));
      p.Keys("F11");
      EXPECT_TRUE(p.WaitFor(GoesOn(before)));
      // Released in the game: the pause menu takes the next keys.
      EXPECT_TRUE(p.Play({{"-Right Escape", Screen::PAUSED}, {"Return", Screen::PLAYING}}));
      p.Resize(1000, 750);
      EXPECT_TRUE(p.Play({{"", Screen::LOADING}}));
      EXPECT_TRUE(p.WaitFor(GoesOn(before, 1000)));
    }
    p.Keys("F4");
    EXPECT_EQ(p.Exit(), 0) << game << p.Output();
  });
}

TEST(Play, TheCloseBoxAndF4EndTheGameWithStatusZeroFromEveryScreenAsDoesBackOnTheMenuAndLosingTheXServerWithAMessage) {
  // The screens along one way through the game: a case plays the first n
  // steps (none: the loading screen; then the menu, the join screen with a
  // rule row moved and saved, the countdown, the match, the pause menu, the
  // game-over overlay), or goes to the options box or the round-won screen.
  const std::vector<Step> way = {{"", Screen::MENU},          {TWO_RIDERS + " Down", Screen::JOIN},
                                 {"Return", Screen::MARKERS}, {"", Screen::PLAYING},
                                 {"Escape", Screen::PAUSED},  {"Left Return", Screen::GAME_OVER}};
  const std::vector<Step> options = {way[0], {"Right Right Right Right Right Right Right Return", Screen::OPTIONS}};
  const std::vector<Step> won = {way[0], way[1], way[2], way[3], {"Up", Screen::MARKERS}};
  SideBySide(19, [&](Player& p, int i) {
    ASSERT_TRUE(p.Start() && p.Play(i < 14 ? std::vector<Step>(way.begin(), way.begin() + i / 2) : i < 16 ? options : won))
        << "screen " << i / 2;
    if (i == 18) p.StopServer();  // in the round-won screen, the X server goes away
    if (i % 2 == 0 && i < 18) p.CloseBox();
    if (i % 2 == 1) p.Keys(i == 3 ? "Escape" : "F4");  // on the menu, back ends the game too
    // Losing the server: a failure status (not a signal's) and Xlib's message.
    const int status = p.Exit();
    EXPECT_TRUE(i < 18 ? status == 0 : status > 0 && status < 128 && p.Output().rfind("X connection to :", 0) == 0)
        << "game " << i << ": status " << status << ", " << p.Output();
    if (i == 18) return;
    const std::string state = p.State();
    EXPECT_TRUE(state.empty() || (state.back() == '|' && std::count(state.begin(), state.end(), '|') == STATE_FIELDS));
    EXPECT_FALSE(fs::exists(p.Path(".tarvexstate.tmp")));
  });
}

// Side by side, a round each in sound modes 1, 3, 0 and 2 and with no audio
// device at all. The effects are marked by levels no tune makes by chance:
// the crash high, the round-won tones low; every other effect is gone.
TEST(Faults, TheCrashAndRoundWonTonesAreHeardInSoundModesOneAndTwoTheTuneInOneAndThreeNothingInZeroNorWithoutADevice) {
  SideBySide(5, [&](Player& p, int i) {
    const int mode = std::vector<int>{1, 3, 0, 1, 2}[i];  // game 3 has no audio device
    for (const char* gone : {"001", "095", "096", "098", "099"}) fs::remove(p.Path("data/sfx/") + gone + ".wav");
    for (const auto& [sound, level] : {std::pair("004", 0.6f), {"002", -0.4f}, {"003", -0.4f}}) {
      WriteFile(p.Path("data/sfx/") + sound + ".wav", WavBytes({1, 16, 22050}, ToPcm(std::vector<float>(5000, level), 2)));
    }
    // The settings block alone, its checksum right, with this sound mode.
    WriteFile(p.Path(".tarvexstate"), "0|0|0|0|0|" + std::to_string(mode) + "|0|0|0|0|64|64|10|0|1|0|0|0|0|0|0|0|0|0|0|" +
                                          std::to_string(5 * mode + 1478) + "|");
    WriteFile(p.Path("alsoft.conf"), "[general]\nchannels = stereo\nsample-type = int16\ndither = false\nfrequency = 44100\n"
                                     "[wave]\nfile = " + p.Path("out.wav") + "\n");
    const std::string device = i != 3 ? "ALSOFT_DRIVERS=wave" : "ALSOFT_DRIVERS=no-such-backend";
    ASSERT_TRUE(p.Start({device, "ALSOFT_CONF=" + p.Path(i != 3 ? "alsoft.conf" : "none")}) && p.Play(TO_MATCH));
    ASSERT_TRUE(p.Play({{"Up", Screen::MARKERS}}));  // the crash; won once the computer crashes too
    Sleep(2);  // tones every 25 updates
    p.Keys("F4");
    ASSERT_EQ(p.Exit(), 0);
    EXPECT_TRUE(i != 3 || p.Output().rfind("OpenAl error: alcOpenDevice failed\n", 0) == 0) << p.Output();
    if (i == 3) return;
    // The highest and lowest mean level of both channels over a tenth of a second.
    const std::vector<int16_t> out = ReadWav(p.Path("out.wav")).samples;
    double high = 0, low = 0;
    for (auto at = out.begin(); out.end() - at >= 8820; at += 8820) {
      const double mean = std::accumulate(at, at + 8820, 0.0) / 8820 / 32768;
      high = std::max(high, mean), low = std::min(low, mean);
    }
    EXPECT_GT(out.size(), 441000u) << "five seconds or more";
    EXPECT_EQ(high > 0.2, mode == 1 || mode == 2) << "the crash, mode " << mode;
    EXPECT_EQ(low < -0.1, mode == 1 || mode == 2) << "the tones, mode " << mode;
    EXPECT_EQ(std::count(out.begin(), out.end(), 0) < long(out.size()), mode != 0) << "the tune, modes 1 and 3 only";
  });
}

// A state string with every block valid and off its defaults: every
// settings slot 100 but the overscan slot (14), `overscan`, and the slot of
// the players at the keyboard (15), `seats`; badge group b 1000 b + 1; every
// score 100.
std::string StateString(int overscan, int seats) {
  std::string s;
  for (int i = 0; i < 25; ++i) s += (i == 14 ? std::to_string(overscan) : i == 15 ? std::to_string(seats) : "100") + "|";
  s += std::to_string(27100 + 14 * overscan + 15 * seats) + "|1|1001|2001|3001|4001|5001|6001|7001|28008|";
  for (int t = 0; t < 7; ++t) {
    for (int i = 0; i < 20; ++i) s += "100|";
    s += std::to_string(16000 + 1000 * t) + "|";  // the checksum
  }
  return s;
}

// Damaged and cut strings load block by block as the state-string test
// checks them; here is what the file system and the game around them make of
// whole files.
TEST(Faults, EveryStateFileStartsTheGameLoadsByTheRulesAndALaterSaveKeepsWhatLoaded) {
  // The overscan slot is 1 on the desktop, and a count of players at the
  // keyboard out of range is 0.
  const std::string played = StateString(64, 100), saved = StateString(1, 0);
  std::string loaded = "Settings Loaded\nBadges Loaded\n";  // and every table
  for (int t = 0; t < 7; ++t) loaded += "Highscore " + std::to_string(t) + " Loaded\n";
  std::string defaults = "0|0|0|0|0|1|0|0|0|0|64|64|10|0|1|0|0|0|0|0|0|0|0|0|0|1483|", utf16 = "\xff\xfe", garbage;
  for (int i = 0; i < 156; ++i) defaults += "0|";
  for (char c : played) utf16 += std::string{c, '\0'};
  for (int k = 0; k < 4096; ++k) garbage += char(k * 97 % 256 == '|' ? 0 : k * 97 % 256);
  const struct {
    const char* name;
    std::string contents;  // of the state file
    int mode;              // of the file; -1: a folder in its place; -2: the game's folder unwritable
    std::string printed, saved;
  } cases[] = {
      {"empty", "", 0666, "", defaults},
      {"10 MB of digits", std::string(10 << 20, '7'), 0666, "", defaults},
      {"binary garbage", garbage, 0666, "", defaults},
      {"UTF-16 with a byte-order mark", utf16, 0666, loaded, saved},
      {"unreadable", played, 0, "", played},
      {"a folder", "", -1, "", ""},
      {"in an unwritable folder", played, -2, loaded, saved},
  };
  SideBySide(std::size(cases), [&](Player& p, int i) {
    const auto& c = cases[i];
    const std::string state = p.Path(".tarvexstate");
    if (c.mode == -1) fs::create_directory(state);
    if (c.mode != -1) WriteFile(state, c.contents);
    chmod(state.c_str(), c.mode == -1 ? 0777 : c.mode == -2 ? 0666 : c.mode);
    chmod(p.Path("").c_str(), c.mode == -2 ? 0555 : 0777);
    ASSERT_TRUE(p.Start({}, true) && p.Play({TO_MATCH[0]})) << c.name << p.Output();
    EXPECT_EQ(p.Output(), c.printed) << c.name;
    p.Focus(false);  // saves
    Sleep(1);
    EXPECT_TRUE(Within(10, [&] { return p.State() == c.saved; })) << c.name << ": " << p.State().substr(0, 300);
    p.CloseBox();
    EXPECT_EQ(p.Exit(), 0) << c.name;
  });
}

// Through the stepping harness: reloads the assets in a window `width`
// pixels wide and plays a little: the menu, the join screen, a round's
// countdown and start, every sound slot, and `tune` (when empty, no tune at
// all). How many image and sound slots hold something.
int LoadAndPlay(GameHarness& h, int width, const std::string& tune) {
  if (h.DeviceWidth() != width) h.Resize(width, width * 3 / 4);
  c_MyApp* app = h.App();
  app->m_settings[SETTING_SOUND_MODE] = tune.empty() ? 2 : 1;
  app->p_Reload();
  EXPECT_TRUE(h.FinishLoading());
  for (int screen : {SCREEN_MENU, SCREEN_MATCH_LOAD, SCREEN_ARENA_PREPARE, SCREEN_ROUND_START}) {
    app->m_screen = screen;
    h.Update(screen == SCREEN_ROUND_START ? 160 : 0);  // the countdown
    h.Step(3);
  }
  int held = 0;
  for (int slot = 0; slot < GAME_SOUND_SLOTS; ++slot) {  // as many image slots
    app->p_PlaySFX(slot, 1.0f, 1.0f, 0.0f);
    held += (app->m_sounds[slot] != nullptr) + (app->m_images[slot] != nullptr);
  }
  if (!tune.empty()) app->p_PlayTune(tune.c_str(), 1);
  return held;
}

// The intact data holds every tune a round may choose, and every image (with
// the frames the loader cuts from it: too few end the game) and sound in
// each resolution variant. Then every image, sound and tune of the data
// folder missing, empty or replaced by garbage in turn: the game reloads (in
// the variant the file belongs to) and plays on, and only what that file
// holds is missing.
TEST(DataFiles, AnyImageSoundOrTuneMissingEmptyOrGarbageLosesOnlyItself) {
  GameHarness& h = GameHarness::Get();
  h.App()->m_settings[SETTING_SOUND_MODE] = 1;
  for (const char* tune : {"tune_1", "tune_2", "tune_3", "tune_4"}) {
    h.App()->p_PlayTune(tune, 1);
    EXPECT_EQ(bb_audio_device->MusicState(), AUDIO_PLAYING) << tune;
  }
  int whole[] = {-1, -1, -1};  // what the intact data gives in each variant
  for (const auto& entry : fs::recursive_directory_iterator("data")) {
    if (!entry.is_regular_file()) continue;
    const std::string file = entry.path(), original = ReadFile(file), name = entry.path().filename();
    // The variant a window loads: 1 up to 630 pixels wide, "-hd" up to 1230.
    const int variant = name.find("-hd2.") != std::string::npos ? 2 : name.find("-hd.") != std::string::npos;
    const int width = variant == 2 ? 1280 : variant == 1 ? 640 : 600;
    const std::string tune = name.find(".ogg") != std::string::npos ? entry.path().stem().string() : "";
    if (whole[variant] < 0) {
      whole[variant] = LoadAndPlay(h, width, "tune_1");
      EXPECT_EQ(whole[variant], 10 + 8) << "image and sound slots held in variant " << variant;
    }
    // Missing, empty, and the file's own header followed by garbage.
    for (const std::string& damage : {std::string("-"), std::string(), original.substr(0, 24) + std::string(300, '\xa5')}) {
      fs::remove(file);
      if (damage != "-") WriteFile(file, damage);
      // Exactly its slot is lost: no damaged image or sound decodes (the
      // runtime's own font and the tunes have none).
      const int lost = whole[variant] - LoadAndPlay(h, width, tune);
      EXPECT_EQ(lost, tune.empty() && name != "vemo_font.png") << file << ", " << damage.size() << " bytes";
      EXPECT_TRUE(tune.empty() || bb_audio_device->MusicState() != AUDIO_PLAYING) << file;
    }
    WriteFile(file, original);
  }
}

}  // namespace
