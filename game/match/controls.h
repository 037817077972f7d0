// The controls' public part: the logical actions p_PlayKey answers, the
// control sources it answers them for, and the join slots of m_inputSlots
// that tie a source to a rider.
#pragma once

#include "game/app.h"

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
// keyboard or a joypad port. Seat 0 is the whole keyboard (with the mouse
// and touch) until the keyboard is split into seats; seats 1 to 3 answer
// nothing until then. In an online session every machine brings its own
// seats and pads: the device machine m has as source s is source
// SOURCE_COUNT * m + s on every machine. The host is machine 0, so its
// devices keep the numbers they have without a session, and the sources of
// other machines answer nothing outside one. Another kind of device joins by
// a kind and a row of SOURCES of its own.
enum class SourceKind { KEYBOARD_SEAT, JOYPAD };
struct ControlSource {
  SourceKind kind;
  int index;    // keyboard seat 0-3, or joypad port 0-3
  int machine;  // the machine it sits at, 0 (this one outside a session) to MAX_MACHINES - 1
};
constexpr int SOURCE_KEYBOARD = -1;
constexpr int SOURCE_FIRST_PAD = 0;
constexpr int SOURCE_LAST_PAD = 3;
constexpr int SOURCE_FIRST_SEAT = 4;  // keyboard seat 1 (the second)
constexpr int SOURCE_LAST = 6;        // the last of one machine
constexpr int SOURCE_COUNT = SOURCE_LAST - SOURCE_KEYBOARD + 1;
// Machines in one online session, and the sources of them all.
constexpr int MAX_MACHINES = 8;
constexpr int SHARED_SOURCE_COUNT = SOURCE_COUNT * MAX_MACHINES;
constexpr int SOURCE_LAST_SHARED = SOURCE_KEYBOARD + SHARED_SOURCE_COUNT - 1;
// By source + 1.
struct SourceTable {
  ControlSource rows[SHARED_SOURCE_COUNT];
  constexpr const ControlSource& operator[](int i) const { return rows[i]; }
};
constexpr SourceTable MakeSources() {
  constexpr ControlSource ONE_MACHINE[SOURCE_COUNT] = {
      {SourceKind::KEYBOARD_SEAT, 0, 0}, {SourceKind::JOYPAD, 0, 0},        {SourceKind::JOYPAD, 1, 0},
      {SourceKind::JOYPAD, 2, 0},        {SourceKind::JOYPAD, 3, 0},        {SourceKind::KEYBOARD_SEAT, 1, 0},
      {SourceKind::KEYBOARD_SEAT, 2, 0}, {SourceKind::KEYBOARD_SEAT, 3, 0},
  };
  SourceTable t{};
  for (int i = 0; i < SHARED_SOURCE_COUNT; ++i) {
    t.rows[i] = ONE_MACHINE[i % SOURCE_COUNT];
    t.rows[i].machine = i / SOURCE_COUNT;
  }
  return t;
}
constexpr SourceTable SOURCES = MakeSources();
// The source of keyboard seat `seat` (0 to 3).
constexpr int SeatSource(int seat) { return seat == 0 ? SOURCE_KEYBOARD : SOURCE_FIRST_SEAT + seat - 1; }
// The steer and join keys of keyboard seat `seat` (0 to 3) in a few words;
// empty for any other seat.
const char* SeatLegend(int seat);

// Join slots: slot k is SLOT_STRIDE ints of m_inputSlots from
// SLOT_STRIDE * k; the first JOIN_SLOTS slots belong to the sources, in
// source order, and the rest are spare.
constexpr int SLOT_STRIDE = 10;
constexpr int SLOT_JOINED = 0;   // 1 = joined
constexpr int SLOT_RIDER = 1;    // claimed rider number
constexpr int SLOT_DROPPED = 2;  // 1 = the joypad went away since the match last looked
constexpr int SLOT_LATCH = 5;    // 1 = the source must release its keys first
constexpr int JOIN_SLOTS = SHARED_SOURCE_COUNT;
constexpr int ALL_SLOTS = GAME_INPUT_SLOTS / SLOT_STRIDE;

// The join slot of a control source.
constexpr int SlotOf(int source) { return source - SOURCE_KEYBOARD; }
// One field (SLOT_JOINED, SLOT_RIDER, SLOT_LATCH) of join slot `slot`
// (0 to ALL_SLOTS - 1).
inline int& JoinField(c_MyApp* app, int slot, int field) { return app->m_inputSlots[SLOT_STRIDE * slot + field]; }

// Riders are numbered 1 to MAX_RIDERS.
constexpr int MAX_RIDERS = 8;

// Where a joined slot's "ME!" mark stands beside its rider's square, in
// virtual units, by the slot's place on its machine (MarkOf): the
// keyboard's first seat on it, the joypads at its corners, the other seats
// at the middles of its top, left and bottom edges.
constexpr int MarkOf(int slot) { return slot % SOURCE_COUNT; }
constexpr float ME_MARK_OFFSET[SOURCE_COUNT][2] = {{0, 0},   {-32, -32}, {32, 32},  {-32, 32},
                                                   {32, -32}, {0, -32},  {-32, 0}, {0, 32}};
// The colour of each slot's mark (red, green, blue 0-255); the keyboard's
// seats each have their own, which the join screen's legend shares.
constexpr float ME_MARK_COLOUR[SOURCE_COUNT][3] = {{255, 255, 255}, {255, 255, 255}, {255, 255, 255},
                                                   {255, 255, 255}, {255, 255, 255}, {255, 230, 80},
                                                   {110, 240, 255}, {160, 255, 140}};
