// The runtime's key codes for keyboard keys, as the window layer's key
// table hands them on; keys without a name here are never reported.
#pragma once

constexpr int KEY_BACKSPACE = 8;
constexpr int KEY_ENTER = 13;
constexpr int KEY_ESCAPE = 27;
constexpr int KEY_SPACE = 32;
constexpr int KEY_PAGE_UP = 33;
constexpr int KEY_PAGE_DOWN = 34;
constexpr int KEY_LEFT = 37;
constexpr int KEY_UP = 38;
constexpr int KEY_RIGHT = 39;
constexpr int KEY_DOWN = 40;
constexpr int KEY_DELETE = 46;
constexpr int KEY_A = 'A', KEY_B = 'B', KEY_C = 'C', KEY_D = 'D', KEY_I = 'I', KEY_J = 'J', KEY_K = 'K';
constexpr int KEY_L = 'L', KEY_N = 'N', KEY_O = 'O', KEY_P = 'P', KEY_S = 'S', KEY_U = 'U', KEY_V = 'V';
constexpr int KEY_W = 'W', KEY_X = 'X', KEY_Z = 'Z';
// The numeric keypad.
constexpr int KEY_KP_0 = 96;  // KEY_KP_0 + d for digit d
constexpr int KEY_KP_ADD = 107;
constexpr int KEY_KP_ENTER = 108;
constexpr int KEY_KP_SUBTRACT = 109;
constexpr int KEY_KP_DECIMAL = 110;
constexpr int KEY_GRAVE = 192;  // backquote
