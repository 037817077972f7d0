// The numbers more than one part of the game shares: the update rate, the
// marker value, the slots of the settings, images and sounds, the entries of
// the on-screen pad, the control styles and the boxes' slide. A number used
// by one file alone stays in that file.
//
// Needs no window: the state-string codec, which the fuzz build compiles
// without one, reads the settings slots from here.
#pragma once

#include "runtime/core/random.h"

// Game updates per second while the window has the focus.
constexpr int UPDATE_RATE = 60;

// The marker value: an omitted optional float argument (used only when
// greater), "draw a random value" for p_ThrowParticle, the position of a
// touch slot that is up, and the rectangle kind of a display-list entry.
constexpr int UNSET = -3717;

constexpr float DEG_TO_RAD = 0.017453292f;

// The next draw of the runtime's one random sequence: [0, 1).
inline float Random() { return bb_random_Rnd(); }

// The overlay boxes (credits, options) slide in and out over this many
// updates.
constexpr int BOX_SLIDE_STEPS = 30;

// Settings: GAME_SETTINGS persisted slots, of which these carry a meaning;
// the others are kept as they are.
constexpr int GAME_SETTINGS = 25;
constexpr int SETTING_DEATH_RULE = 2;  // 0 trail removed, 1 trail remains
constexpr int SETTING_SPEED = 3;       // 0 slow .. 3 hyper
constexpr int SETTING_WINNER = 4;      // 0 infinite, 1 first to 3, 2 to 5, 3 to 10
constexpr int SETTING_SOUND_MODE = 5;  // 0 off, 1 all, 2 effects, 3 music
constexpr int SETTING_ROW = 6;         // join screen's rule cursor, 0 none
constexpr int SETTING_PAD_X = 10;      // on-screen pad, virtual units
constexpr int SETTING_PAD_Y = 11;
constexpr int SETTING_PAD_SIZE = 12;
constexpr int SETTING_OVERSCAN = 14;  // overscan margin, window pixels
constexpr int SETTING_KEYBOARD_SEATS = 15;  // players at the keyboard less one, 0 to 3

// Image slots, with the art the loader puts there.
constexpr int SLOT_BADGE_ART = 80;   // badge pictures, 64 frames
constexpr int SLOT_FONT = 90;        // the bitmap font
constexpr int SLOT_TEST_CARD = 91;   // the overscan test card
constexpr int SLOT_LOGO = 93;        // the maker's logo
constexpr int SLOT_DPAD = 94;        // the on-screen pad
constexpr int SLOT_BUTTONS = 95;     // round menu buttons and the gear
constexpr int SLOT_PARTS = 96;       // stars and sparks, 256 frames of 8 x 8
constexpr int SLOT_ICONS = 97;       // small icons; frame 0 the pause button
constexpr int SLOT_GAME_LOGO = 98;   // the game's logo
constexpr int SLOT_MENU_ART = 99;    // menu backdrops

// Sound slots (file "sfx/" + the slot with at least three digits + ".wav").
constexpr int SFX_SPARE1 = 1;        // loaded, never played
constexpr int SFX_WON_SECOND = 2;    // round won, second tone
constexpr int SFX_WON_FIRST = 3;     // round won, first tone
constexpr int SFX_CRASH = 4;         // a rider crashes
constexpr int SFX_SPARE95 = 95;      // loaded, never played
constexpr int SFX_JINGLE = 96;       // the logo jingle, the return to the menu
constexpr int SFX_CHOOSE = 98;       // something chosen
constexpr int SFX_MOVE = 99;         // a selection moves, a box opens

// m_padButtons, the on-screen and iCade pad: entries 0 to 15 are held
// actions by action code (ACTION_UP .. ACTION_EXTRA2); these form the back
// group. PAD_BACK is refilled every update from the device's back button;
// the entries before it are driven by iCade letters and on-screen buttons.
constexpr int PAD_BACK_ICADE1 = 16;
constexpr int PAD_BACK_ICADE2 = 17;
constexpr int PAD_BACK = 19;
constexpr int PAD_DRIVEN_ENTRIES = PAD_BACK;

// m_controlStyle: how the last menu choice was made, and so which set of
// button marks the text shows.
constexpr int CONTROL_KEYBOARD = 0;
constexpr int CONTROL_JOYPAD = 1;
constexpr int CONTROL_POINTER = 2;
