// The keyboard cut into seats: which keys each seat steers, joins, leaves
// and changes the death rule with, and how the join screen names them. No
// key belongs to two seats, so one player's keys never act for another;
// only the pause and back keys of the whole keyboard answer every seat.
#include "game/match/match.h"
#include "input/input.h"
#include "input/keycodes.h"

namespace {

constexpr int EVERY_SEAT = -1;

struct SeatKey {
  int seat;  // 0 to MAX_KEYBOARD_SEATS - 1, or EVERY_SEAT
  int action;
  int key;
};

// Seat 0 keeps the left hand's letters (and the mouse); seat 1 the arrows
// with the keys above them; seat 2 the right hand's letters; seat 3 the
// numeric keypad.
constexpr SeatKey SEAT_KEYS[] = {
    {0, ACTION_UP, KEY_W},
    {0, ACTION_LEFT, KEY_A},
    {0, ACTION_RIGHT, KEY_D},
    {0, ACTION_DOWN, KEY_S},
    {0, ACTION_CONFIRM, KEY_Z},
    {0, ACTION_CONFIRM, KEY_SPACE},
    {0, ACTION_CANCEL, KEY_X},
    {0, ACTION_OPTION, KEY_C},
    {0, ACTION_QUIT, KEY_V},
    {0, ACTION_EXTRA1, KEY_B},
    {0, ACTION_EXTRA2, KEY_N},
    {1, ACTION_UP, KEY_UP},
    {1, ACTION_LEFT, KEY_LEFT},
    {1, ACTION_RIGHT, KEY_RIGHT},
    {1, ACTION_DOWN, KEY_DOWN},
    {1, ACTION_CONFIRM, KEY_ENTER},
    {1, ACTION_CANCEL, KEY_PAGE_DOWN},
    {1, ACTION_OPTION, KEY_PAGE_UP},
    {2, ACTION_UP, KEY_I},
    {2, ACTION_LEFT, KEY_J},
    {2, ACTION_RIGHT, KEY_L},
    {2, ACTION_DOWN, KEY_K},
    {2, ACTION_CONFIRM, KEY_U},
    {2, ACTION_CANCEL, KEY_O},
    {2, ACTION_OPTION, KEY_P},
    {3, ACTION_UP, KEY_KP_0 + 8},
    {3, ACTION_LEFT, KEY_KP_0 + 4},
    {3, ACTION_RIGHT, KEY_KP_0 + 6},
    {3, ACTION_DOWN, KEY_KP_0 + 5},
    {3, ACTION_CONFIRM, KEY_KP_ENTER},
    {3, ACTION_CANCEL, KEY_KP_DECIMAL},
    {3, ACTION_OPTION, KEY_KP_ADD},
    {3, ACTION_BACK, KEY_KP_SUBTRACT},
    {EVERY_SEAT, ACTION_BACK, KEY_ESCAPE},
    {EVERY_SEAT, ACTION_BACK, KEY_GRAVE},
    {EVERY_SEAT, ACTION_BACK, KEY_DELETE},
    {EVERY_SEAT, ACTION_BACK, KEY_BACKSPACE},
};

const char* const LEGENDS[MAX_KEYBOARD_SEATS] = {
    "Seat 1: W A S D, join Z",
    "Seat 2: arrows, join Enter",
    "Seat 3: I J K L, join U",
    "Seat 4: keypad 8 4 5 6, join keypad Enter",
};

}  // namespace

namespace match {

bool SeatKeyDown(int seat, int action) {
  for (const SeatKey& k : SEAT_KEYS) {
    if ((k.seat == seat || k.seat == EVERY_SEAT) && k.action == action && bb_input_KeyDown(k.key)) return true;
  }
  return false;
}

}  // namespace match

const char* SeatLegend(int seat) { return seat >= 0 && seat < MAX_KEYBOARD_SEATS ? LEGENDS[seat] : ""; }
