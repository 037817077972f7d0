// The runtime's key codes: one space of INPUT_KEY_CODES codes that folds
// keyboard keys, mouse buttons, joypad buttons, touch fingers, the back
// button and the window's close box together, so every one of them is read
// with the same down and hit queries.
//
// Keyboard codes are the ones the window layer's key table (GLFW key ->
// runtime code) hands on; keys without a name here are never reported.
#pragma once

// Keyboard: editing, whitespace and modifier keys. Left and right Shift
// (and Control) give the same code.
constexpr int KEY_BACKSPACE = 8;
constexpr int KEY_TAB = 9;
constexpr int KEY_ENTER = 13;
constexpr int KEY_SHIFT = 16;
constexpr int KEY_CONTROL = 17;
constexpr int KEY_ESCAPE = 27;
constexpr int KEY_SPACE = 32;

// Keyboard: the cursor block.
constexpr int KEY_PAGE_UP = 33;
constexpr int KEY_PAGE_DOWN = 34;
constexpr int KEY_END = 35;
constexpr int KEY_HOME = 36;
constexpr int KEY_LEFT = 37;
constexpr int KEY_UP = 38;
constexpr int KEY_RIGHT = 39;
constexpr int KEY_DOWN = 40;
constexpr int KEY_INSERT = 45;
constexpr int KEY_DELETE = 46;

// Keyboard: digits and letters are their ASCII capitals.
constexpr int KEY_0 = '0', KEY_1 = '1', KEY_2 = '2', KEY_3 = '3', KEY_4 = '4';
constexpr int KEY_5 = '5', KEY_6 = '6', KEY_7 = '7', KEY_8 = '8', KEY_9 = '9';
constexpr int KEY_A = 'A', KEY_B = 'B', KEY_C = 'C', KEY_D = 'D', KEY_E = 'E', KEY_F = 'F', KEY_G = 'G';
constexpr int KEY_H = 'H', KEY_I = 'I', KEY_J = 'J', KEY_K = 'K', KEY_L = 'L', KEY_M = 'M', KEY_N = 'N';
constexpr int KEY_O = 'O', KEY_P = 'P', KEY_Q = 'Q', KEY_R = 'R', KEY_S = 'S', KEY_T = 'T', KEY_U = 'U';
constexpr int KEY_V = 'V', KEY_W = 'W', KEY_X = 'X', KEY_Y = 'Y', KEY_Z = 'Z';

// Keyboard: the numeric keypad. Its Enter has a code apart from Enter's.
constexpr int KEY_KP_0 = 96;  // KEY_KP_0 + d for digit d
constexpr int KEY_KP_MULTIPLY = 106;
constexpr int KEY_KP_ADD = 107;
constexpr int KEY_KP_ENTER = 108;
constexpr int KEY_KP_SUBTRACT = 109;
constexpr int KEY_KP_DECIMAL = 110;
constexpr int KEY_KP_DIVIDE = 111;

// Keyboard: function keys F1 to F12 (F13 and up have no code).
constexpr int KEY_F1 = 112;  // KEY_F1 + n - 1 for Fn
constexpr int KEY_F2 = 113;
constexpr int KEY_F4 = 115;
constexpr int KEY_F11 = 122;
constexpr int KEY_F12 = 123;

// Keyboard: punctuation.
constexpr int KEY_SEMICOLON = 186;
constexpr int KEY_EQUAL = 187;
constexpr int KEY_COMMA = 188;
constexpr int KEY_MINUS = 189;
constexpr int KEY_PERIOD = 190;
constexpr int KEY_SLASH = 191;
constexpr int KEY_GRAVE = 192;  // backquote
constexpr int KEY_LEFT_BRACKET = 219;
constexpr int KEY_BACKSLASH = 220;
constexpr int KEY_RIGHT_BRACKET = 221;
constexpr int KEY_APOSTROPHE = 222;

// Mouse buttons: KEY_MOUSE_LEFT + button for buttons 0 to 2.
constexpr int KEY_MOUSE_LEFT = 1;
// Joypad buttons: KEY_JOY0 + JOY_BUTTONS_PER_PAD * pad + button, pads 0-3.
constexpr int KEY_JOY0 = 256;
constexpr int JOY_BUTTONS_PER_PAD = 32;
// Touch fingers: KEY_TOUCH0 + finger.
constexpr int KEY_TOUCH0 = 384;
// The device's back button, and the window's close box.
constexpr int KEY_BACK = 416;
constexpr int KEY_CLOSE = 432;

// Joypad button numbers, whatever the pad reports: a pad the library knows
// is laid out this way; other pads keep their own order with the d-pad
// moved to JOY_DPAD_LEFT .. JOY_DPAD_DOWN.
constexpr int JOY_A = 0;
constexpr int JOY_B = 1;
constexpr int JOY_X = 2;
constexpr int JOY_Y = 3;
constexpr int JOY_LEFT_SHOULDER = 4;
constexpr int JOY_RIGHT_SHOULDER = 5;
constexpr int JOY_BACK = 6;
constexpr int JOY_START = 7;
constexpr int JOY_DPAD_LEFT = 8;
constexpr int JOY_DPAD_UP = 9;
constexpr int JOY_DPAD_RIGHT = 10;
constexpr int JOY_DPAD_DOWN = 11;
constexpr int JOY_LEFT_THUMB = 12;
constexpr int JOY_RIGHT_THUMB = 13;
constexpr int JOY_GUIDE = 14;
