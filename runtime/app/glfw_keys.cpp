// GLFW 3 key numbers to the runtime's key codes (input/keycodes.h). The
// codes are the ones the game has always seen for the same physical keys; keys without a code
// (Alt, Super, F13 and up, lock keys...) are never reported. Keypad Enter has
// a code of its own, apart from Enter, so the two can belong to different
// players at one keyboard.
#include <GLFW/glfw3.h>

#include <array>

#include "input/keycodes.h"
#include "runtime/app/app.h"

namespace {

struct KeyCode {
  int glfwKey;
  unsigned char code;
};

constexpr KeyCode KEY_CODES[] = {
    {GLFW_KEY_SPACE, KEY_SPACE},
    {GLFW_KEY_APOSTROPHE, KEY_APOSTROPHE},
    {GLFW_KEY_COMMA, KEY_COMMA},
    {GLFW_KEY_MINUS, KEY_MINUS},
    {GLFW_KEY_PERIOD, KEY_PERIOD},
    {GLFW_KEY_SLASH, KEY_SLASH},
    {GLFW_KEY_SEMICOLON, KEY_SEMICOLON},
    {GLFW_KEY_EQUAL, KEY_EQUAL},
    {GLFW_KEY_LEFT_BRACKET, KEY_LEFT_BRACKET},
    {GLFW_KEY_BACKSLASH, KEY_BACKSLASH},
    {GLFW_KEY_RIGHT_BRACKET, KEY_RIGHT_BRACKET},
    {GLFW_KEY_GRAVE_ACCENT, KEY_GRAVE},
    {GLFW_KEY_ESCAPE, KEY_ESCAPE},
    {GLFW_KEY_ENTER, KEY_ENTER},
    {GLFW_KEY_TAB, KEY_TAB},
    {GLFW_KEY_BACKSPACE, KEY_BACKSPACE},
    {GLFW_KEY_INSERT, KEY_INSERT},
    {GLFW_KEY_DELETE, KEY_DELETE},
    {GLFW_KEY_RIGHT, KEY_RIGHT},
    {GLFW_KEY_LEFT, KEY_LEFT},
    {GLFW_KEY_DOWN, KEY_DOWN},
    {GLFW_KEY_UP, KEY_UP},
    {GLFW_KEY_PAGE_UP, KEY_PAGE_UP},
    {GLFW_KEY_PAGE_DOWN, KEY_PAGE_DOWN},
    {GLFW_KEY_HOME, KEY_HOME},
    {GLFW_KEY_END, KEY_END},
    {GLFW_KEY_KP_DECIMAL, KEY_KP_DECIMAL},
    {GLFW_KEY_KP_DIVIDE, KEY_KP_DIVIDE},
    {GLFW_KEY_KP_MULTIPLY, KEY_KP_MULTIPLY},
    {GLFW_KEY_KP_SUBTRACT, KEY_KP_SUBTRACT},
    {GLFW_KEY_KP_ADD, KEY_KP_ADD},
    {GLFW_KEY_KP_ENTER, KEY_KP_ENTER},
    {GLFW_KEY_LEFT_SHIFT, KEY_SHIFT},
    {GLFW_KEY_RIGHT_SHIFT, KEY_SHIFT},
    {GLFW_KEY_LEFT_CONTROL, KEY_CONTROL},
    {GLFW_KEY_RIGHT_CONTROL, KEY_CONTROL},
};

constexpr std::array<unsigned char, GLFW_KEY_LAST + 1> BuildTable() {
  std::array<unsigned char, GLFW_KEY_LAST + 1> table{};
  for (int d = 0; d <= 9; ++d) table[GLFW_KEY_0 + d] = static_cast<unsigned char>(KEY_0 + d);
  for (int l = 0; l <= KEY_Z - KEY_A; ++l) table[GLFW_KEY_A + l] = static_cast<unsigned char>(KEY_A + l);
  for (int f = 0; f <= KEY_F12 - KEY_F1; ++f) table[GLFW_KEY_F1 + f] = static_cast<unsigned char>(KEY_F1 + f);
  for (int d = 0; d <= 9; ++d) table[GLFW_KEY_KP_0 + d] = static_cast<unsigned char>(KEY_KP_0 + d);
  for (const KeyCode& k : KEY_CODES) table[k.glfwKey] = k.code;
  return table;
}

constexpr std::array<unsigned char, GLFW_KEY_LAST + 1> TABLE = BuildTable();

// Editing keys type a character of their own; cursor and page keys type
// private codes above the 16-bit range so they never collide with text.
constexpr int PRIVATE_CHAR_BASE = 0x10000;
constexpr int DELETE_CHAR = 127;

}  // namespace

int BBGlfwGame::TransKey(int glfwKey) {
  if (glfwKey < 0 || glfwKey > GLFW_KEY_LAST) return 0;
  return TABLE[glfwKey];
}

int BBGlfwGame::KeyToChar(int key) {
  switch (key) {
    case KEY_BACKSPACE:
    case KEY_TAB:
    case KEY_ENTER:
    case KEY_ESCAPE:
      return key;
    case KEY_DELETE:
      return DELETE_CHAR;
  }
  if ((key >= KEY_PAGE_UP && key <= KEY_DOWN) || key == KEY_INSERT) return key | PRIVATE_CHAR_BASE;
  return 0;
}
