// GLFW 3 key numbers to the runtime's key codes. The codes are the ones the
// game has always seen for the same physical keys; keys without a code
// (Alt, Super, F13 and up, lock keys...) are never reported. Keypad Enter has
// a code of its own, apart from Enter, so the two can belong to different
// players at one keyboard.
#include <GLFW/glfw3.h>

#include <array>

#include "runtime/app/app.h"

namespace {

struct KeyCode {
  int glfwKey;
  unsigned char code;
};

constexpr KeyCode kKeyCodes[] = {
    {GLFW_KEY_SPACE, 32},
    {GLFW_KEY_APOSTROPHE, 222},
    {GLFW_KEY_COMMA, 188},
    {GLFW_KEY_MINUS, 189},
    {GLFW_KEY_PERIOD, 190},
    {GLFW_KEY_SLASH, 191},
    {GLFW_KEY_SEMICOLON, 186},
    {GLFW_KEY_EQUAL, 187},
    {GLFW_KEY_LEFT_BRACKET, 219},
    {GLFW_KEY_BACKSLASH, 220},
    {GLFW_KEY_RIGHT_BRACKET, 221},
    {GLFW_KEY_GRAVE_ACCENT, 192},
    {GLFW_KEY_ESCAPE, 27},
    {GLFW_KEY_ENTER, 13},
    {GLFW_KEY_TAB, 9},
    {GLFW_KEY_BACKSPACE, 8},
    {GLFW_KEY_INSERT, 45},
    {GLFW_KEY_DELETE, 46},
    {GLFW_KEY_RIGHT, 39},
    {GLFW_KEY_LEFT, 37},
    {GLFW_KEY_DOWN, 40},
    {GLFW_KEY_UP, 38},
    {GLFW_KEY_PAGE_UP, 33},
    {GLFW_KEY_PAGE_DOWN, 34},
    {GLFW_KEY_HOME, 36},
    {GLFW_KEY_END, 35},
    {GLFW_KEY_KP_DECIMAL, 110},
    {GLFW_KEY_KP_DIVIDE, 111},
    {GLFW_KEY_KP_MULTIPLY, 106},
    {GLFW_KEY_KP_SUBTRACT, 109},
    {GLFW_KEY_KP_ADD, 107},
    {GLFW_KEY_KP_ENTER, 108},
    {GLFW_KEY_LEFT_SHIFT, 16},
    {GLFW_KEY_RIGHT_SHIFT, 16},
    {GLFW_KEY_LEFT_CONTROL, 17},
    {GLFW_KEY_RIGHT_CONTROL, 17},
};

constexpr std::array<unsigned char, GLFW_KEY_LAST + 1> build_table() {
  std::array<unsigned char, GLFW_KEY_LAST + 1> table{};
  for (int k = GLFW_KEY_0; k <= GLFW_KEY_9; ++k) table[k] = static_cast<unsigned char>(k);
  for (int k = GLFW_KEY_A; k <= GLFW_KEY_Z; ++k) table[k] = static_cast<unsigned char>(k);
  for (int f = 0; f < 12; ++f) table[GLFW_KEY_F1 + f] = static_cast<unsigned char>(112 + f);
  for (int d = 0; d < 10; ++d) table[GLFW_KEY_KP_0 + d] = static_cast<unsigned char>(96 + d);
  for (const KeyCode& k : kKeyCodes) table[k.glfwKey] = k.code;
  return table;
}

constexpr std::array<unsigned char, GLFW_KEY_LAST + 1> kTable = build_table();

// Editing keys type a character of their own; cursor and page keys type
// private codes above the 16-bit range so they never collide with text.
constexpr int kPrivateCharBase = 0x10000;
constexpr int kDeleteChar = 127;

}  // namespace

int BBGlfwGame::TransKey(int glfwKey) {
  if (glfwKey < 0 || glfwKey > GLFW_KEY_LAST) return 0;
  return kTable[glfwKey];
}

int BBGlfwGame::KeyToChar(int key) {
  switch (key) {
    case 8:
    case 9:
    case 13:
    case 27:
      return key;
    case 46:
      return kDeleteChar;
  }
  if ((key >= 33 && key <= 40) || key == 45) return key | kPrivateCharBase;
  return 0;
}
