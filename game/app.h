// The game object: every piece of mutable game state lives in the one
// c_MyApp, and its methods live in the files of the subsystem that owns them
// (app.cpp the hooks and the screen dispatcher, draw.cpp the display list and
// text, loader.cpp assets and the start-up screens, sound.cpp game audio;
// game/match/ the controls and the match, game/menus/ the menus and the
// saved progress).
//
// Positions are virtual-screen units (a 640 x 480 design screen whose extent
// follows the window's aspect) unless a comment says window pixels.
#pragma once

#include <cstdint>
#include <string>

#include "audio/audio.h"
#include "game/online.h"
#include "game/numbers.h"
#include "graphics/graphics.h"
#include "runtime/app/app.h"

struct LoadAction;  // one step of the asset loader (loader.cpp)
struct MatchFacts;  // what a match has seen (game/match/facts.h)
namespace net {
class Session;
struct Snapshot;
}  // namespace net

// Values of m_screen; any other value runs no screen step.
constexpr int SCREEN_MENU = 1;
constexpr int SCREEN_MENU_RETURN = 2;
constexpr int SCREEN_QUIT_CONFIRM = 4;
constexpr int SCREEN_START_PROMPT = 5;
constexpr int SCREEN_MATCH = 10;
constexpr int SCREEN_MATCH_LOAD = 11;
constexpr int SCREEN_ROUND_START = 13;
constexpr int SCREEN_ARENA_PREPARE = 14;
constexpr int SCREEN_JOIN = 15;
constexpr int SCREEN_ROUND_WON = 16;
constexpr int SCREEN_TRAIL_DEMO = 20;

// Array lengths of c_MyApp.
constexpr int GAME_IMAGE_SLOTS = 100;
constexpr int GAME_SOUND_SLOTS = 100;
constexpr int GAME_FONT_INFO = 3 * GAME_IMAGE_SLOTS;
constexpr int GAME_NOTICES = 15;
constexpr int GAME_BADGES = 256;
constexpr int GAME_PAD_BUTTONS = 20;
constexpr int GAME_HIGHSCORES = 350;
constexpr int GAME_SFX_ORDER = 33;
constexpr int GAME_TOUCHES = 10;
constexpr int GAME_MATCH_STATE = 512;
constexpr int GAME_STARS = 5100;
constexpr int GAME_PARTICLES = 5100;
constexpr int GAME_TRAIL_BRIGHTNESS = 32;
constexpr int GAME_GRID = 1000000;
constexpr int GAME_SEGMENTS = 51000;
constexpr int GAME_WINS = 64;
// Ten ints for each control source of up to eight machines (controls.h).
constexpr int GAME_INPUT_SLOTS = 640;
constexpr int GAME_TALLY = 64;

// Display list: entries of DRAW_ENTRY floats; an append is dropped once the
// count passes DRAW_APPEND_LIMIT, so at most 4,999 entries fit.
constexpr int DRAW_ENTRY = 15;
constexpr int DRAW_LIST_FLOATS = 75000;
constexpr int DRAW_APPEND_LIMIT = DRAW_LIST_FLOATS - DRAW_ENTRY - 1;
// Entry kinds (element 0) other than an image slot.
constexpr float DRAW_RECT = UNSET;
constexpr float DRAW_OVAL = UNSET + 1;
// Effect channels the game rotates over (the engine has more).
constexpr int SFX_CHANNELS = 24;
// The file of an effect slot: "sfx/" + at least three digits + ".wav".
String SfxFileName(int slot);

// Start-up configuration and the virtual screen (floats: overscan, sizes;
// the rest are 0/1 flags).
extern int bb_KRV_isOuya;
extern int bb_KRV_OnScreenControls;
extern int bb_KRV_AccelerometerControls;
extern int bb_KRV_HasMusicStream;
extern int bb_KRV_iCadeControls;
extern int bb_KRV_DebugMode;
extern float bb_KRV_overscan;  // window pixels kept free left and right
extern float bb_KRV_rawscrw, bb_KRV_rawscrh;  // design size
extern float bb_KRV_jscrw, bb_KRV_jscrh;      // current virtual size

// The game's program seams (program.cpp): every global of the game to its
// start value, then the one game object.
int bbInit();
int bbMain();
constexpr ProgramSeams GAME_SEAMS = {bbInit, bbMain};
// The game's own globals (bb_KRV_*, the random seed) to their start values;
// part of bbInit.
void ResetGameGlobals();
// The rules a match is played by: the host's in an online session, each
// machine saving its own.
constexpr int RULE_SETTINGS[] = {SETTING_DEATH_RULE, SETTING_SPEED, SETTING_WINNER, SETTING_SKILL};
constexpr int RULE_COUNT = 4;

class c_MyApp : public c_App {
 public:
  c_MyApp();
  c_MyApp* m_new();
  void mark() override;

  // Four operations have no caller in the game today and stay as part of
  // the toolkit the screens are written with: p_rstr (padded numbers for
  // score tables) and p_Rand (a random int in a range) in draw.cpp,
  // p_Button0 (a button only the first touch presses) in the controls, and
  // p_BadgeDetail (a badge's how-to-earn line) with the badges.

  // Hooks (app.cpp).
  int p_OnCreate() override;
  int p_OnUpdate() override;
  int p_OnRender() override;
  int p_OnSuspend() override;
  int p_OnResume() override;
  int p_FullscreenFlip();

  // Display list and text (draw.cpp).
  int p_CLS2D(float r, float g, float b, float a);
  int p_ResetDraw();
  int p_SetSize(float sx, float sy);
  int p_SetRot(float degrees);
  int p_SetCol(float r, float g, float b, float a);
  int p_Alpha(float a);
  int p_Ink(int ink, float brightness);
  int p_DrawImg(int slot, float x, float y, float frame);
  int p_Rect(float x, float y, float w, float h);
  int p_Oval(float x, float y, float rx, float ry);
  int p_Text(float x, float y, String text, float alignX, float alignY);
  // One character of the current font centred on (x, y) with the draw
  // state; characters without a glyph draw nothing.
  int p_Glyph(float x, float y, int character);
  String p_rstr(int length, int value, String pad);
  int p_Rand(float low, float high);
  // Recomputes the virtual screen for a device of w x h pixels (both > 0).
  int p_ComputeScaling(int w, int h);
  // The replay of the display list into the current frame.
  int p_Replay();
  // Appends an entry of `kind` at (x, y) with size (w, h) and the current
  // draw state; returns it for further fields, or null when the list is full.
  float* p_AppendEntry(float kind, float x, float y, float w, float h);

  // Assets and the start-up screens (loader.cpp).
  int p_LoadImg(int slot, String name, int frameWidth, int frameHeight, int frameCount, int flags);
  int p_LoadFont(int slot, String name, int glyphWidth, int lineHeight);
  int p_Reload();
  int p_Loader();
  int p_WaitStart(int mode);
  // Picks the resolution variant for the current device size.
  int p_ChooseVariant();

  // Game audio (sound.cpp).
  int p_LoadSFX(int slot);
  int p_PlaySFX(int slot, float rate, float volume, float pan);
  int p_PlayTune(String name, int flags);
  int p_StopTune();

  // Controls and on-screen buttons (game/match/controls.cpp).
  int p_PlayKey(int action, int withStick, int source);
  float p_StickX(int axis, int source);
  float p_StickY(int axis, int source);
  int p_PlayKeyAll(int action, int withStick);
  // The last source that can answer now: this machine's last, or in a
  // shared online match the last of every machine's.
  int p_LastSource();
  // Seats the keyboard is cut into, 1 to 4: the saved setting, or 1 while
  // the iCade cabinet owns the letters.
  int p_KeyboardSeats();
  int p_iCade(int on);
  int p_AnalogueControl();
  int p_Button(int slot, float x, float y, int frame);
  int p_Button(float x, float y, int frame);  // the icons, SLOT_ICONS
  bool p_Button0(int slot, float x, float y, int frame);
  int p_Touch(float x, float y, float w, float h);
  int p_MouseIn_Centered(float x, float y, float w, float h);
  // Join slot `slot`'s mark beside the square centred on (x, y): "ME!" for
  // this machine's sources, the machine's number for another's.
  int p_JoinMark(int slot, float x, float y, float alpha);

  // Stars, sparks and the trail demonstration (game/match).
  int p_ResetStars(int n);
  int p_DoStars(float dx, float dy);
  int p_ResetParticles(int n);
  int p_FreeParticle();
  int p_ThrowParticle(float x, float y, int kind, int ink, float angle, float speed);
  int p_DoParticles();
  int p_SquigglyDoohickey();

  // Arena and trails (game/match).
  int p_GetPos(int rider);
  int p_NewLine(int dir, int x, int y, int owner);
  int p_LineTo(int seg, int x, int y, int owner, int dir, int rider);
  int p_FlushGrid(int owner);
  int p_ResetPlayers();
  int p_PrepareArena();

  // Riders and the round and match flow (game/match).
  int p_Game();
  int p_LoadGame();
  int p_GameReady();
  int p_GameStructure();
  int p_InGame();
  int p_SomebodyWon();
  int p_GameOver();
  // Marks the join slots of a joypad pulled out since the last update, and
  // clears the marks of one plugged back in; a marked slot whose rider is
  // still riding pauses the match.
  int p_WatchPads();
  // The end of the match under way, however it ended: a match with a human
  // rider (not a demo) enters its score and awards its badges. Later calls
  // before the next match do nothing.
  int p_MatchEnded();

  // Menus and boxes (game/menus).
  int p_Menu();
  int p_GameSelect();
  int p_OptionBox();
  int p_PauseMenu();
  int p_OuyaQuit();
  int p_CreditBox();
  String p_BadgeID(int badge);
  String p_BadgeName(int badge);
  String p_BadgeDetail(int badge);
  int p_ShowBadges();
  int p_BadgesBox();
  // Earns every badge not yet earned whose rule the facts meet, then saves
  // when one was earned.
  int p_AwardBadges(const MatchFacts& facts);
  // Sets the badge's flag, starts its notice in an idle slot (none when all
  // are busy) and plays the badge sound; saving is the caller's.
  int p_EarnBadge(int badge);
  int p_HighscoreView();

  // Online play (online.cpp).
  // Takes "--host [PORT]" or "--join ADDRESS[:PORT]"; the session opens
  // once the menu is up.
  void p_OnlineRequest(int argc, const char* const* argv);
  void p_OnlineConnect();
  // Takes ownership of `session` (null: none), replacing any other.
  void p_OnlineAttach(net::Session* session);
  // Ends the session, with `why` shown and printed unless empty; a shared
  // match returns to the menu.
  void p_OnlineLeave(const std::string& why);
  void p_OnlineNotice(const std::string& text);
  // The options box's online rows: their labels, Enter on them, and the
  // address entry the join row opens (typed on the keyboard; Enter joins,
  // Escape gives up).
  String p_OnlineLabel(bool hostRow);
  void p_OnlineRow(bool hostRow);
  void p_OnlineEntry();
  // This machine's number in the session; 0 outside one.
  int p_OnlineMachine();
  // p_PlayKey during a shared update: source's action from its machine's input.
  int p_OnlineKey(int action, int withStick, int source);
  // The menu chose match `mode`: true when the session took the choice over
  // (the host's starts on every machine a few updates later).
  bool p_OnlineChoose(int mode);
  void p_OnlineStartShared(const int32_t* args);
  void p_OnlineEndShared();
  // The riders of `machine`'s sources go to the computer.
  void p_OnlineDrop(int machine);
  // Before the screen step: false when the step must wait for input.
  bool p_OnlineBegin();
  // After it (or after skipping it): hashes, round lines, notices.
  void p_OnlineFinish(int screenBefore);
  // The match state every machine must agree on: grid, riders, wins, join
  // slots, the random generator.
  uint64_t p_StateHash();
  std::string p_OnlineStateText();

  // Saved settings, badges and highscores (game/menus).
  int p_Save();
  int p_Load();
  int p_LoadMenu();

  // ---- Screen flow, input snapshot, frame timing (app.cpp)
  int m_screen = 0;
  int m_i = 0;  // loop counter shared by many operations
  int m_lastDevWidth = 0, m_lastDevHeight = 0;  // device pixels at the last render
  int m_mouseX = 0, m_mouseY = 0;
  int m_prevMouseX = 0, m_prevMouseY = 0;
  int m_mouseWasDown = 0;
  int m_pointerDown = 0;  // left button or any touch down now
  int m_mouseHits = 0;    // left-button hits in this update
  int m_inputLatch = 0;   // a pointer press has acted
  int m_anyKeyHeld = 0;   // an action key has acted
  int m_lastChar = 0;
  int m_hidePauseButton = 0;
  int m_updateLastMs = 0, m_updateFps = 0, m_updateFpsAvg = 0;
  int m_renderLastMs = 0, m_renderFps = 0, m_renderFpsAvg = 0;
  Array<int> m_touchDown;  // GAME_TOUCHES
  Array<int> m_touchX;     // GAME_TOUCHES; UNSET while up
  Array<int> m_touchY;
  Array<int> m_padButtons;  // GAME_PAD_BUTTONS, by action code and PAD_*; 2 = iCade press

  // ---- Window mode (app.cpp)
  int m_fullScreen = 0;

  // ---- Display list and virtual screen (draw.cpp)
  Array<float> m_drawList;  // DRAW_LIST_FLOATS
  int m_drawCount = 0;      // floats in use, a multiple of DRAW_ENTRY
  float m_drawScaleX = 0, m_drawScaleY = 0;
  float m_drawRotation = 0;  // negated p_SetRot angle, degrees
  float m_drawRed = 0, m_drawGreen = 0, m_drawBlue = 0;  // 0-255
  float m_drawAlpha = 0;
  int m_drawBlend = 0;  // 3 additive, anything else alpha blending
  float m_clearRed = 0, m_clearGreen = 0, m_clearBlue = 0, m_clearAlpha = 0;
  float m_scaleX = 0, m_scaleY = 0;  // window pixels per virtual unit
  int m_landscape = 0;
  int m_currentFont = 0;

  // ---- Assets and loading screen (loader.cpp)
  Array<c_Image*> m_images;  // GAME_IMAGE_SLOTS; null when not loaded
  Array<int> m_fontInfo;     // per slot: frame width, frame height, frame count
  int m_assetScale = 0;      // 1, 2 or 4
  float m_assetInvScale = 0;
  int m_loadStep = 0;  // next loader step; 0 idle
  int m_logoJinglePlayed = 0;
  int m_spinAngle = 0;  // degrees

  // ---- Game audio (sound.cpp)
  Array<c_Sound*> m_sounds;  // GAME_SOUND_SLOTS; null when not loaded
  int m_sfxChannel = 0;      // cursor 0..SFX_CHANNELS-1
  Array<int> m_sfxOrder;     // cursor -> engine channel
  int m_musicOn = 0;

  // ---- Controls and buttons (game/match)
  int m_buttonHit = 0;
  float m_stickX = 0, m_stickY = 0;
  int m_stickAnchorX = 0, m_stickAnchorY = 0;

  // ---- Arena and trails (game/match)
  Array<int> m_grid;              // GAME_GRID
  Array<int> m_segments;          // GAME_SEGMENTS
  Array<float> m_trailBrightness; // GAME_TRAIL_BRIGHTNESS
  int m_segmentCursor = 0;
  int m_posX = 0, m_posY = 0, m_posDir = 0;
  int m_roundMusic = 0;

  // ---- Round and match flow (game/match)
  Array<float> m_matchState;  // GAME_MATCH_STATE
  Array<int> m_wins;          // GAME_WINS
  int m_gameOver = 0;
  int m_gameOverTimer = 0;
  int m_matchWon = 0;
  int m_hostSource = 0;
  int m_lastScore = 0;

  // ---- Scores: what the match counts for them (game/match/scoring.cpp)
  Array<int> m_tally;  // GAME_TALLY, per rider
  int m_roundsPlayed = 0;
  int m_matchOpen = 0;  // a match has started and its end is not yet counted

  // ---- Visual effects (game/match)
  Array<float> m_stars;      // GAME_STARS
  Array<float> m_particles;  // GAME_PARTICLES
  int m_starCount = 100;
  int m_particleLast = 250;

  // ---- Rider movement (game/match)
  int m_stepsExtra = 0, m_stepIndex = 0;
  int m_ridersInPlay = 0;
  int m_demoMode = 0;

  // ---- Main menu (game/menus)
  int m_gameMode = 0;
  int m_menuDrop = 0;
  int m_controlStyle = 0;  // CONTROL_KEYBOARD, CONTROL_JOYPAD or CONTROL_POINTER
  int m_menuEntry = 0;
  float m_menuTarget = 0, m_menuScroll = 0, m_menuFling = 0, m_menuDrag = 0;
  int m_menuKeyMove = 0;
  float m_gearAngle = 0;
  int m_menuArmed = 0;  // entry a pointer press will choose on release; 0 none

  // ---- Join screen (game/menus)
  Array<int> m_inputSlots;  // GAME_INPUT_SLOTS

  // ---- Options (game/menus)
  int m_optionsOpen = 0, m_optionsSlide = 0;
  int m_optionsRow = 0, m_optionsKeyLatch = 0, m_optionsTapLatch = 0;

  // ---- Pause menu (game/menus)
  int m_paused = 0;
  int m_pauseDir = 0;  // 1 opening or open, -1 closing or closed
  int m_pauseY = 0;
  int m_pauseRow = 0;

  // ---- Credits (game/menus)
  int m_creditsOpen = 0, m_creditsSlide = 0;
  float m_creditScroll = 0;
  int m_creditLine = 0;

  // ---- Badges (game/menus)
  int m_badgesOpen = 0;
  Array<int> m_noticeBadge;  // GAME_NOTICES
  Array<int> m_noticeTimer;  // GAME_NOTICES
  float m_badgeScroll = 0, m_badgeScrollTarget = 0;  // badges box, virtual units

  // ---- Highscore view (game/menus)
  int m_highscoresOpen = 0, m_highscoresSlide = 0;
  int m_highscoreTable = 0;  // table shown, 0 to 6 (match size - 2)
  int m_enteredTable = -1;   // table of the last score entered this run; -1 none
  int m_enteredRank = -1;    // its rank in the top ten; -1 when it did not enter it

  // ---- Online session (online.cpp)
  net::Session* m_session = nullptr;  // owned; null outside a session
  OnlineRequest m_onlineRequest;      // until the session opens
  int m_onlineShared = 0;             // 1 while every machine runs the same screens
  int m_onlineStepping = 0;           // 1 during an update the session runs
  int m_onlineRound = 0;              // rounds ended in the shared match
  int m_onlineDrawMark = -1;          // display-list length to return to; -1 none
  int m_ownRules[RULE_COUNT] = {};    // this machine's RULE_SETTINGS while the host's hold
  String m_onlineNotice;
  int m_onlineNoticeTimer = 0;        // updates the notice still stands
  int m_onlineEditing = 0;            // 1 while the join address is typed
  std::string m_onlineAddress;        // the join row's address[:port]
  std::string m_onlineWhere;          // where this machine hosts or joined
  int m_localMouseX = 0, m_localMouseY = 0, m_localPointerDown = 0, m_localMouseHits = 0;

  // ---- Saved settings, badges and highscores (game/menus)
  Array<int> m_settings;    // GAME_SETTINGS
  Array<bool> m_badges;     // GAME_BADGES
  Array<int> m_highscores;  // GAME_HIGHSCORES

 private:
  // Update steps (app.cpp).
  // This machine's pointer in virtual units, into the m_local fields.
  void ReadLocalPointer();
  void TakeInputSnapshot();
  // Online: this machine's input, the host's pointer as the shared one, and
  // what is drawn over a skipped step.
  net::Snapshot LocalSnapshot();
  void ApplySharedPointer(const net::Snapshot& host);
  void MarkDraw();
  void DrawWaiting();
  void UpdateLatches();
  void RunScreenStep();
  void RunOverlays();
  void ReadICadeLetters();
  void DrawDebugLine();
  // 1 when some source holds one of the latch-clearing actions.
  bool AnyActionHeld();
  bool BackHeld();
  // Loader action of one step, and the loading of one asset (loader.cpp).
  void LoadStep(int step);
  void LoadAsset(const LoadAction& action);
  // Spinner dots of the loading screen (loader.cpp).
  void SpinnerRing(int angle, float grey);
};
