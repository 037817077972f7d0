// The controls' public part: the logical actions p_PlayKey answers, the
// control sources it answers them for, and the join slots of m_inputSlots
// that tie a source to a rider.
#pragma once

// Logical actions.
constexpr int ACTION_UP = 0;
constexpr int ACTION_LEFT = 3;
constexpr int ACTION_RIGHT = 5;
constexpr int ACTION_DOWN = 8;
constexpr int ACTION_CONFIRM = 10;
constexpr int ACTION_CANCEL = 11;
constexpr int ACTION_OPTION = 12;
constexpr int ACTION_QUIT = 13;
constexpr int ACTION_EXTRA1 = 14;
constexpr int ACTION_EXTRA2 = 15;
constexpr int ACTION_BACK = 99;
// p_PlayKey's withStick: whether a joypad's first stick counts as a
// direction.
constexpr int STICK = 1;
constexpr int BUTTONS_ONLY = 0;

// Control sources. Each source number is fed by one device: a seat at the
// keyboard or a joypad port of this machine, or a source of another
// machine in an online session. Seat 0 is the whole keyboard (with the
// mouse and touch) until the keyboard is split into seats; seats 1 to 3
// answer nothing until then. Another kind of device joins by a kind and a
// row of SOURCES of its own.
enum class SourceKind { KEYBOARD_SEAT, JOYPAD, REMOTE };
struct ControlSource {
  SourceKind kind;
  int index;  // keyboard seat 0-3, joypad port 0-3, or the remote source's number
};
constexpr int SOURCE_KEYBOARD = -1;
constexpr int SOURCE_FIRST_PAD = 0;
constexpr int SOURCE_LAST_PAD = 3;
constexpr int SOURCE_FIRST_SEAT = 4;  // keyboard seat 1 (the second)
// The sources of one machine; in an online session machine m's local
// source s is source MACHINE_SOURCE_COUNT * m + s (the host's are its own
// numbers), and on every machine the sources beyond the local ones are
// remote. They answer nothing outside a session.
constexpr int MACHINE_SOURCE_COUNT = 8;
constexpr int MAX_MACHINES = 8;
constexpr int SOURCE_LAST_LOCAL = SOURCE_KEYBOARD + MACHINE_SOURCE_COUNT - 1;
constexpr int SOURCE_LAST = SOURCE_KEYBOARD + MACHINE_SOURCE_COUNT * MAX_MACHINES - 1;
constexpr int SOURCE_COUNT = SOURCE_LAST - SOURCE_KEYBOARD + 1;
// By source + 1.
struct SourceTable {
  ControlSource rows[SOURCE_COUNT];
  constexpr const ControlSource& operator[](int i) const { return rows[i]; }
};
constexpr SourceTable MakeSources() {
  constexpr ControlSource LOCAL[MACHINE_SOURCE_COUNT] = {
      {SourceKind::KEYBOARD_SEAT, 0}, {SourceKind::JOYPAD, 0},        {SourceKind::JOYPAD, 1},
      {SourceKind::JOYPAD, 2},        {SourceKind::JOYPAD, 3},        {SourceKind::KEYBOARD_SEAT, 1},
      {SourceKind::KEYBOARD_SEAT, 2}, {SourceKind::KEYBOARD_SEAT, 3},
  };
  SourceTable t{};
  for (int i = 0; i < SOURCE_COUNT; ++i)
    t.rows[i] = i < MACHINE_SOURCE_COUNT ? LOCAL[i] : ControlSource{SourceKind::REMOTE, i + SOURCE_KEYBOARD};
  return t;
}
constexpr SourceTable SOURCES = MakeSources();
// Players at one keyboard.
constexpr int MAX_KEYBOARD_SEATS = 4;
// The source of keyboard seat `seat` (0 to 3).
constexpr int SeatSource(int seat) { return seat == 0 ? SOURCE_KEYBOARD : SOURCE_FIRST_SEAT + seat - 1; }
// The steer and join keys of keyboard seat `seat` (0 to 3) in a few words;
// empty for any other seat.
const char* SeatLegend(int seat);

// Join slots: slot k (source k - 1) is SLOT_STRIDE ints of m_inputSlots
// from SLOT_STRIDE * k; the first JOIN_SLOTS slots belong to the sources.
constexpr int SLOT_STRIDE = 10;
constexpr int SLOT_JOINED = 0;   // 1 = joined
constexpr int SLOT_RIDER = 1;    // claimed rider number
constexpr int SLOT_DROPPED = 2;  // 1 = the joypad went away since the match last looked
constexpr int SLOT_LATCH = 5;    // 1 = the source must release its keys first
constexpr int JOIN_SLOTS = SOURCE_COUNT;

// Riders are numbered 1 to MAX_RIDERS.
constexpr int MAX_RIDERS = 8;

// Where a joined slot's "ME!" mark stands beside its rider's square, in
// virtual units, by slot of its machine (MarkOf): the keyboard's first seat on it, the joypads at
// its corners, the other seats at the middles of its top, left and bottom
// edges.
constexpr int MarkOf(int slot) { return slot % MACHINE_SOURCE_COUNT; }
constexpr float ME_MARK_OFFSET[MACHINE_SOURCE_COUNT][2] = {{0, 0},   {-32, -32}, {32, 32},  {-32, 32},
                                                 {32, -32}, {0, -32},  {-32, 0}, {0, 32}};
// The colour of each slot's mark (red, green, blue 0-255); the keyboard's
// seats each have their own, which the join screen's legend shares.
constexpr float ME_MARK_COLOUR[MACHINE_SOURCE_COUNT][3] = {{255, 255, 255}, {255, 255, 255}, {255, 255, 255},
                                                 {255, 255, 255}, {255, 255, 255}, {255, 230, 80},
                                                 {110, 240, 255}, {160, 255, 140}};
