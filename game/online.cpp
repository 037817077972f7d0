// The game in an online session. The session runs from the end of loading:
// every update this machine sends its input (each local source's actions
// and the pointer) for a later update and, once every machine's input for
// the current update is here, moves the session on. The menu and the boxes
// over it stay this machine's own; from the update at which the host's
// choice of a match takes effect until the match returns to the menu, the
// screens run on every machine alike, read every machine's input through
// p_PlayKey and the host's pointer, and skip their step while an input is
// missing.
#include "game/online.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "game/match/match.h"
#include "input/input.h"
#include "input/keycodes.h"
#include "net/enet_transport.h"
#include "net/lockstep.h"

int bb_online_ArenaWidth = 0, bb_online_ArenaHeight = 0;

using namespace match;

namespace {

// Bumped whenever a change makes two builds play differently.
constexpr uint32_t GAME_VERSION = 1;
constexpr int MAX_PEERS = net::MAX_MACHINES - 1;
// The host takes one more connection than it admits, to tell it the
// session is full.
constexpr int LISTEN_SLOTS = MAX_PEERS + 1;
constexpr const char* DATA_FOLDER = "data";
constexpr const char* DESYNC_REPORT = "desync-report.txt";

static_assert(MAX_MACHINES == net::MAX_MACHINES && SOURCE_COUNT == net::MACHINE_SOURCES,
              "the game's sources and the session's inputs agree");

// The actions a source's input word carries: bit i with the stick
// counting, bit ACTION_BITS + i buttons only.
constexpr int ACTIONS[] = {ACTION_UP,   ACTION_LEFT,  ACTION_RIGHT,  ACTION_DOWN,  ACTION_CONFIRM, ACTION_CANCEL,
                           ACTION_OPTION, ACTION_QUIT, ACTION_EXTRA1, ACTION_EXTRA2, ACTION_BACK};
constexpr int ACTION_BITS = 11;
static_assert(sizeof ACTIONS / sizeof ACTIONS[0] == ACTION_BITS, "one bit per action");
static_assert(((1u << (2 * ACTION_BITS)) - 1) == net::HELD_MASK, "the codec knows every action bit");

// START packs the host's rules and control style beside the match size.
constexpr int PACK_BITS = 4;
constexpr int PACK_MASK = (1 << PACK_BITS) - 1;
constexpr int ARENA_PACK = 1 << 16;
// The match, its rules and the control style share one argument.
static_assert(PACK_BITS * (RULE_COUNT + 2) <= 31, "the match's choices fit one signed word");

// Notices stand for this many updates.
constexpr int NOTICE_UPDATES = 300;
constexpr float NOTICE_Y = 24.0f;
constexpr float WAIT_Y = 48.0f;
// Characters an address may hold, and how many.
constexpr const char* ADDRESS_CHARACTERS = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.:-";
constexpr size_t ADDRESS_MAX = 48;
constexpr const char* JOIN_FLAG = "--join";

int ActionBit(int action) {
  const int* at = std::find(std::begin(ACTIONS), std::end(ACTIONS), action);
  return at == std::end(ACTIONS) ? -1 : int(at - std::begin(ACTIONS));
}

uint64_t Mix(uint64_t h, uint64_t v) {
  h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
  return h * 0x100000001b3ull;
}

// Every file under the data folder, by name and content.
uint64_t DataHash() {
  namespace fs = std::filesystem;
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(DATA_FOLDER, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file(ec)) files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());
  uint64_t h = 0;
  std::vector<char> bytes;
  for (const fs::path& f : files) {
    for (char c : f.generic_string()) h = Mix(h, uint8_t(c));
    std::ifstream in(f, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    uint64_t fnv = 1469598103934665603ull;
    for (char c : bytes) fnv = (fnv ^ uint8_t(c)) * 1099511628211ull;
    h = Mix(h, fnv);
  }
  return h;
}

int64_t NowMs() { return int64_t(bb_app_Millisecs()); }

std::string MachineName(int machine) {
  return machine == 0 ? "the host" : "machine " + std::to_string(machine + 1);
}

uint32_t EffectsSeed = 1;

// The game whose session a process exit closes, so the others hear at once.
c_MyApp* sessionOwner = nullptr;
void LeaveAtExit() {
  if (sessionOwner) sessionOwner->p_OnlineAttach(nullptr);
}

}  // namespace

float bb_online_EffectsRnd() {
  if (bb_online_ArenaWidth == 0) return bb_random_Rnd();
  EffectsSeed = EffectsSeed * 1664525u + 1013904223u;
  return float(EffectsSeed >> 8) / float(1u << 24);
}

OnlineRequest ParseOnlineArguments(int argc, const char* const* argv) {
  OnlineRequest r;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg != "--host" && arg != "--join") continue;
    r.mode = arg == "--host" ? OnlineRequest::HOST : OnlineRequest::JOIN;
    std::string value = i + 1 < argc && argv[i + 1][0] != '-' ? argv[++i] : "";
    if (r.mode == OnlineRequest::JOIN) {
      const size_t colon = value.rfind(':');
      r.address = value.substr(0, colon);
      value = colon == std::string::npos ? "" : value.substr(colon + 1);
      if (r.address.empty()) r.error = "--join needs an address: --join ADDRESS[:PORT]";
    }
    if (value.empty()) continue;
    char* end = nullptr;
    const long port = std::strtol(value.c_str(), &end, 10);
    if (*end != '\0' || port < 1 || port > 65535) r.error = "The port must be a number from 1 to 65535";
    else r.port = int(port);
  }
  return r;
}

void c_MyApp::p_OnlineRequest(int argc, const char* const* argv) {
  m_onlineRequest = ParseOnlineArguments(argc, argv);
  if (!m_onlineRequest.error.empty()) {
    p_OnlineNotice(m_onlineRequest.error);
    m_onlineRequest.mode = OnlineRequest::NONE;
  }
}

void c_MyApp::p_OnlineNotice(const std::string& text) {
  bbPrint(String::FromUtf8(text));
  m_onlineNotice = String::FromUtf8(text);
  m_onlineNoticeTimer = NOTICE_UPDATES;
}

void c_MyApp::p_OnlineConnect() {
  const OnlineRequest r = m_onlineRequest;
  m_onlineRequest.mode = OnlineRequest::NONE;
  std::string error;
  const net::Identity me{GAME_VERSION, DataHash()};
  std::unique_ptr<net::Transport> transport =
      r.mode == OnlineRequest::HOST ? net::EnetListen(r.port, LISTEN_SLOTS, error) : net::EnetConnect(r.address, r.port, error);
  if (!transport) {
    p_OnlineNotice(error);
    return;
  }
  p_OnlineAttach(r.mode == OnlineRequest::HOST ? net::Session::Host(std::move(transport), me).release()
                                               : net::Session::Join(std::move(transport), me).release());
  m_onlineWhere = (r.mode == OnlineRequest::HOST ? net::LocalAddress() : r.address) + ":" + std::to_string(r.port);
  p_OnlineNotice(r.mode == OnlineRequest::HOST ? "Hosting on port " + std::to_string(r.port)
                                               : "Joining " + r.address + " port " + std::to_string(r.port));
}

String c_MyApp::p_OnlineLabel(bool hostRow) {
  const bool hosting = m_session && m_session->IsHost();
  if (hostRow) return String::FromUtf8(hosting ? "Online : Host at " + m_onlineWhere : "Online : Host");
  if (m_onlineEditing == 1) return String::FromUtf8("Online : Join " + m_onlineAddress + "_");
  if (m_session && !hosting) return String::FromUtf8("Online : Leave " + m_onlineWhere);
  return String("Online : Join");
}

void c_MyApp::p_OnlineRow(bool hostRow) {
  if (m_session) {
    p_OnlineLeave("You left the online session");
    return;
  }
  if (hostRow) {
    m_onlineRequest = OnlineRequest();
    m_onlineRequest.mode = OnlineRequest::HOST;
    return;
  }
  m_onlineEditing = 1;
  // Letters typed before the entry opened are not part of the address.
  while (bb_input_GetChar() != 0) continue;
}

void c_MyApp::p_OnlineEntry() {
  for (int c = bb_input_GetChar(); c != 0; c = bb_input_GetChar()) {
    const bool allowed = c > 0 && c < 128 && std::strchr(ADDRESS_CHARACTERS, c);
    if (allowed && m_onlineAddress.size() < ADDRESS_MAX) m_onlineAddress += char(c);
  }
  if (bb_input_KeyHit(KEY_BACKSPACE) && !m_onlineAddress.empty()) m_onlineAddress.pop_back();
  if (bb_input_KeyHit(KEY_ESCAPE)) m_onlineEditing = 0;
  if (!bb_input_KeyHit(KEY_ENTER) && !bb_input_KeyHit(KEY_KP_ENTER)) return;
  m_onlineEditing = 0;
  const char* arguments[] = {"", JOIN_FLAG, m_onlineAddress.c_str()};
  p_OnlineRequest(int(std::size(arguments)), arguments);
}

void c_MyApp::p_OnlineAttach(net::Session* session) {
  delete m_session;
  m_session = session;
  // A step the old session was running ends with it (the options' online
  // rows leave from inside one).
  m_onlineStepping = 0;
  if (BBGlfwGame* game = BBGlfwGame::GlfwGame()) game->SetRunsUnfocused(session != nullptr);
  if (session && !sessionOwner) std::atexit(LeaveAtExit);
  sessionOwner = session ? this : nullptr;
}

void c_MyApp::p_OnlineLeave(const std::string& why) {
  if (!m_session) return;
  if (!why.empty()) p_OnlineNotice(why);
  const std::string report = m_session->Report();
  if (!report.empty()) {
    std::ofstream(DESYNC_REPORT) << report;
    bbPrint(String::FromUtf8("Desync report written to " + std::string(DESYNC_REPORT)));
  }
  p_OnlineAttach(nullptr);
  if (m_onlineShared == 1) {
    p_OnlineEndShared();
    m_screen = SCREEN_MENU_RETURN;
  }
}

net::Snapshot c_MyApp::LocalSnapshot() {
  net::Snapshot s;
  const int seats = p_KeyboardSeats();
  for (int source = SOURCE_KEYBOARD; source <= SOURCE_LAST; ++source) {
    uint32_t held = 0;
    for (int i = 0; i < ACTION_BITS; ++i) {
      if (p_PlayKey(ACTIONS[i], STICK, source) != 0) held |= 1u << i;
      if (p_PlayKey(ACTIONS[i], BUTTONS_ONLY, source) != 0) held |= 1u << (ACTION_BITS + i);
    }
    s.held[source + 1] = held;
  }
  // The keys every joypad answers with the whole keyboard's (Enter, Space)
  // belong to the keyboard here, as the join screen counts them.
  if (seats <= 1) {
    for (int pad = SOURCE_FIRST_PAD; pad <= SOURCE_LAST_PAD; ++pad) s.held[pad + 1] &= ~s.held[0];
  }
  s.pointerX = int16_t(std::clamp(m_localMouseX, -INT16_MAX, int(INT16_MAX)));
  s.pointerY = int16_t(std::clamp(m_localMouseY, -INT16_MAX, int(INT16_MAX)));
  s.pointerDown = uint8_t(m_localPointerDown);
  s.pointerHits = uint8_t(std::min(m_localMouseHits, 255));
  return s;
}

int c_MyApp::p_OnlineMachine() { return m_session && m_session->Me() > 0 ? m_session->Me() : 0; }

int c_MyApp::p_OnlineKey(int action, int withStick, int source) {
  const int bit = ActionBit(action);
  const int index = source + 1;
  const net::Snapshot* in = m_session ? m_session->Input(index / SOURCE_COUNT) : nullptr;
  if (bit < 0 || !in) return 0;
  const int shift = withStick == STICK ? bit : ACTION_BITS + bit;
  return int(in->held[index % SOURCE_COUNT] >> shift & 1u);
}

bool c_MyApp::p_OnlineChoose(int mode) {
  if (!m_session) return false;
  if (!m_session->IsHost()) {
    p_OnlineNotice("The host chooses the match");
    return true;
  }
  int packed = mode;
  for (size_t r = 0; r < size_t(RULE_COUNT); ++r)
    packed |= (m_settings[RULE_SETTINGS[r]] & PACK_MASK) << (PACK_BITS * (r + 1));
  packed |= (m_controlStyle & PACK_MASK) << (PACK_BITS * (size_t(RULE_COUNT) + 1));
  const int32_t args[net::COMMAND_ARGS] = {packed, m_hostSource, int32_t(bb_app_Millisecs()),
                                           ArenaWidth() * ARENA_PACK + ArenaHeight()};
  m_session->Issue(net::Command::START, args);
  return true;
}

void c_MyApp::p_OnlineStartShared(const int32_t* args) {
  const int mode = args[0] & PACK_MASK;
  if (mode < 1 || mode > MAX_RIDERS - 1 || args[1] < SOURCE_KEYBOARD || args[1] > SOURCE_LAST_SHARED) return;
  m_onlineShared = 1;
  m_onlineRound = 0;
  for (size_t r = 0; r < size_t(RULE_COUNT); ++r) {
    m_ownRules[r] = m_settings[RULE_SETTINGS[r]];
    m_settings[RULE_SETTINGS[r]] = args[0] >> (PACK_BITS * (r + 1)) & PACK_MASK;
  }
  m_controlStyle = args[0] >> (PACK_BITS * (size_t(RULE_COUNT) + 1)) & PACK_MASK;
  m_hostSource = args[1];
  bb_random_Seed = args[2];
  EffectsSeed = uint32_t(args[2]);
  bb_online_ArenaWidth = std::clamp(args[3] / ARENA_PACK, 1, ARENA_MAX);
  bb_online_ArenaHeight = std::clamp(args[3] % ARENA_PACK, 1, ARENA_MAX);
  // The menu's boxes close and every latch is set, as a choice on the menu
  // leaves them; the pointer starts from the host's.
  m_optionsOpen = m_creditsOpen = m_badgesOpen = 0;
  m_onlineEditing = 0;
  m_menuArmed = 0;
  m_paused = 0;
  m_pauseDir = -1;
  m_inputLatch = m_anyKeyHeld = 1;
  m_mouseWasDown = 0;
  m_gameMode = mode;
  m_screen = SCREEN_MATCH_LOAD;
}

void c_MyApp::p_OnlineEndShared() {
  m_onlineShared = 0;
  bb_online_ArenaWidth = bb_online_ArenaHeight = 0;
  for (size_t r = 0; r < size_t(RULE_COUNT); ++r) m_settings[RULE_SETTINGS[r]] = m_ownRules[r];
}

void c_MyApp::p_OnlineDrop(int machine) {
  // Its sources leave their slots, and the riders they rode are ridden by
  // the computer from this update on.
  for (int local = 0; local < SOURCE_COUNT; ++local) {
    const int slot = machine * SOURCE_COUNT + local;
    JoinField(this, slot, SLOT_JOINED) = 0;
    for (int p = 1; p <= MAX_RIDERS; ++p) {
      float& control = Rider(this, p, R_CONTROL);
      if (int(control) == slot - 1 && control >= float(SOURCE_KEYBOARD)) control = std::floor(-5.0f - 9.01f * bb_random_Rnd());
    }
  }
  p_OnlineNotice(MachineName(machine) + " left; the computer rides for its players");
}

void c_MyApp::ApplySharedPointer(const net::Snapshot& host) {
  m_prevMouseX = m_mouseX;
  m_prevMouseY = m_mouseY;
  m_mouseX = host.pointerX;
  m_mouseY = host.pointerY;
  const bool down = host.pointerDown != 0;
  if (!m_mouseWasDown && down) {
    m_prevMouseX = m_mouseX;
    m_prevMouseY = m_mouseY;
  }
  m_pointerDown = down ? 1 : 0;
  m_mouseHits = host.pointerHits;
  for (int i = 0; i < GAME_TOUCHES; ++i) {
    m_touchDown[i] = 0;
    m_touchX[i] = m_touchY[i] = UNSET;
  }
  if (down) {
    m_touchDown[0] = 1;
    m_touchX[0] = m_mouseX;
    m_touchY[0] = m_mouseY;
  }
  m_mouseWasDown = down ? 1 : 0;
  if (m_pointerDown == 0) m_inputLatch = 0;
}

bool c_MyApp::p_OnlineBegin() {
  if (m_onlineDrawMark >= 0) {
    m_drawCount = m_onlineDrawMark;
    m_onlineDrawMark = -1;
  }
  if (!m_session && m_onlineRequest.mode != OnlineRequest::NONE && m_loadStep == 0 && m_screen == SCREEN_MENU)
    p_OnlineConnect();
  if (!m_session) return true;
  m_session->Pump(NowMs());
  if (m_session->State() == net::SessionState::ENDED) {
    p_OnlineLeave(m_session->EndMessage());
    return true;
  }
  m_session->SetOpen(m_onlineShared == 0);
  m_session->Submit(LocalSnapshot());
  if (!m_session->Ready()) {
    // A skipped step leaves the last picture; what this update draws over
    // it goes again with the next.
    if (m_onlineShared == 1) MarkDraw();
    return m_onlineShared == 0;
  }
  for (const net::ScheduledCommand& c : m_session->Due()) {
    if (c.command == net::Command::START) p_OnlineStartShared(c.args);
    if (c.command == net::Command::DROP) p_OnlineDrop(c.args[0]);
    if (c.command == net::Command::JOIN && c.args[0] != m_session->Me())
      p_OnlineNotice(MachineName(c.args[0]) + " joined");
  }
  m_onlineStepping = 1;
  if (m_onlineShared == 1) ApplySharedPointer(*m_session->Input(0));
  return true;
}

void c_MyApp::p_OnlineFinish(int screenBefore) {
  if (m_onlineStepping == 1) {
    m_onlineStepping = 0;
    const uint32_t update = m_session->Update();
    if (m_onlineShared == 1) {
      if (screenBefore != SCREEN_ROUND_WON && m_screen == SCREEN_ROUND_WON) {
        ++m_onlineRound;
        bbPrint(String("round ") + String(m_onlineRound) + String(" update ") + String(int(update)) +
                String(" state ") + String::FromUtf8(p_OnlineStateText()));
      }
      if ((update + 1) % net::HASH_PERIOD == 0) m_session->ShareHash(update, p_StateHash());
      if (m_screen == SCREEN_MENU || m_screen == SCREEN_MENU_RETURN) p_OnlineEndShared();
    }
    m_session->Advance();
  }
  if (m_session) DrawWaiting();
  if (m_onlineNoticeTimer > 0) {
    --m_onlineNoticeTimer;
    MarkDraw();
    p_ResetDraw();
    p_Text(bb_KRV_jscrw / 2.0f, NOTICE_Y, m_onlineNotice, 0.5f, 0.0f);
  }
}

void c_MyApp::MarkDraw() {
  if (m_onlineDrawMark < 0) m_onlineDrawMark = m_drawCount;
}

void c_MyApp::DrawWaiting() {
  if (m_onlineShared == 0 || m_session->WaitedMs() < net::WAIT_NOTICE_MS) return;
  std::string names;
  for (int machine : m_session->WaitingFor()) names += (names.empty() ? "" : ", ") + MachineName(machine);
  MarkDraw();
  p_ResetDraw();
  p_Text(bb_KRV_jscrw / 2.0f, WAIT_Y, String::FromUtf8("Waiting for " + names), 0.5f, 0.0f);
}

uint64_t c_MyApp::p_StateHash() {
  uint64_t h = uint64_t(uint32_t(bb_random_Seed));
  for (int v : m_grid) h = Mix(h, uint32_t(v));
  for (float v : m_matchState) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    h = Mix(h, bits);
  }
  for (int v : m_wins) h = Mix(h, uint32_t(v));
  for (int v : m_inputSlots) h = Mix(h, uint32_t(v));
  for (int v : {m_screen, m_paused, m_gameMode, m_segmentCursor, m_ridersInPlay}) h = Mix(h, uint32_t(v));
  return h;
}

std::string c_MyApp::p_OnlineStateText() {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(p_StateHash()));
  return text;
}
