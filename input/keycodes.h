// The runtime's key codes: one space of INPUT_KEY_CODES codes that folds
// keyboard keys, mouse buttons, joypad buttons, touch fingers, the back
// button and the window's close box together, so every one of them is read
// with the same down and hit queries.
//
// Keyboard codes are the ones the window layer's key table (GLFW key ->
// runtime code) hands on; keys without a name here are never reported.
#pragma once

enum RuntimeKey : int {
  // Keyboard: editing, whitespace and modifier keys. Left and right Shift
  // (and Control) give the same code.
  KEY_BACKSPACE = 8,
  KEY_TAB = 9,
  KEY_ENTER = 13,
  KEY_SHIFT = 16,
  KEY_CONTROL = 17,
  KEY_ESCAPE = 27,
  KEY_SPACE = 32,

  // Keyboard: the cursor block.
  KEY_PAGE_UP = 33,
  KEY_PAGE_DOWN = 34,
  KEY_END = 35,
  KEY_HOME = 36,
  KEY_LEFT = 37,
  KEY_UP = 38,
  KEY_RIGHT = 39,
  KEY_DOWN = 40,
  KEY_INSERT = 45,
  KEY_DELETE = 46,

  // Keyboard: digits and letters are their ASCII capitals.
  KEY_0 = '0', KEY_1 = '1', KEY_2 = '2', KEY_3 = '3', KEY_4 = '4',
  KEY_5 = '5', KEY_6 = '6', KEY_7 = '7', KEY_8 = '8', KEY_9 = '9',
  KEY_A = 'A', KEY_B = 'B', KEY_C = 'C', KEY_D = 'D', KEY_E = 'E', KEY_F = 'F', KEY_G = 'G',
  KEY_H = 'H', KEY_I = 'I', KEY_J = 'J', KEY_K = 'K', KEY_L = 'L', KEY_M = 'M', KEY_N = 'N',
  KEY_O = 'O', KEY_P = 'P', KEY_Q = 'Q', KEY_R = 'R', KEY_S = 'S', KEY_T = 'T', KEY_U = 'U',
  KEY_V = 'V', KEY_W = 'W', KEY_X = 'X', KEY_Y = 'Y', KEY_Z = 'Z',

  // Keyboard: the numeric keypad (its Enter has a code apart from Enter's).
  KEY_KP_0 = 96,  // KEY_KP_0 + d for digit d
  KEY_KP_MULTIPLY = 106,
  KEY_KP_ADD = 107,
  KEY_KP_ENTER = 108,
  KEY_KP_SUBTRACT = 109,
  KEY_KP_DECIMAL = 110,
  KEY_KP_DIVIDE = 111,

  // Keyboard: function keys F1 to F12 (F13 and up have no code).
  KEY_F1 = 112,  // KEY_F1 + n - 1 for Fn
  KEY_F2 = 113,
  KEY_F4 = 115,
  KEY_F11 = 122,
  KEY_F12 = 123,

  // Keyboard: punctuation.
  KEY_SEMICOLON = 186,
  KEY_EQUAL = 187,
  KEY_COMMA = 188,
  KEY_MINUS = 189,
  KEY_PERIOD = 190,
  KEY_SLASH = 191,
  KEY_GRAVE = 192,  // backquote
  KEY_LEFT_BRACKET = 219,
  KEY_BACKSLASH = 220,
  KEY_RIGHT_BRACKET = 221,
  KEY_APOSTROPHE = 222,

  // Mouse buttons: KEY_MOUSE_LEFT + button for buttons 0 to 2.
  KEY_MOUSE_LEFT = 1,
  // Joypad buttons: KEY_JOY0 + JOY_BUTTONS_PER_PAD * pad + button, pads 0-3.
  KEY_JOY0 = 256,
  // Touch fingers: KEY_TOUCH0 + finger.
  KEY_TOUCH0 = 384,
  // The device's back button, and the window's close box.
  KEY_BACK = 416,
  KEY_CLOSE = 432,
};

// Joypad button numbers, whatever the pad reports: a pad the library knows
// is laid out this way; other pads keep their own order with the d-pad
// moved to JOY_DPAD_LEFT .. JOY_DPAD_DOWN.
constexpr int JOY_BUTTONS_PER_PAD = 32;
enum JoyButton : int {
  JOY_A = 0,
  JOY_B = 1,
  JOY_X = 2,
  JOY_Y = 3,
  JOY_LEFT_SHOULDER = 4,
  JOY_RIGHT_SHOULDER = 5,
  JOY_BACK = 6,
  JOY_START = 7,
  JOY_DPAD_LEFT = 8,
  JOY_DPAD_UP = 9,
  JOY_DPAD_RIGHT = 10,
  JOY_DPAD_DOWN = 11,
  JOY_LEFT_THUMB = 12,
  JOY_RIGHT_THUMB = 13,
  JOY_GUIDE = 14,
};
