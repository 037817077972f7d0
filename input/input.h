// The input state the game reads during an update.
//
// Every input source is folded into one space of 512 key codes, named in
// input/keycodes.h. The game delegate creates the one device at
// game start, feeds it window events, and brackets each game update with
// p_BeginUpdate / p_EndUpdate; hits and typed characters live from the events
// before one update to the end of that update.
#pragma once

#include "input/keycodes.h"
#include "runtime/core/core.h"

// Sizes of the device's tables.
constexpr int INPUT_KEY_CODES = 512;
constexpr int INPUT_HIT_QUEUE = 33;
constexpr int INPUT_CHAR_QUEUE = 32;
constexpr int INPUT_TOUCHES = 32;
constexpr int INPUT_JOYSTICKS = 4;
constexpr int INPUT_JOY_BUTTONS = JOY_BUTTONS_PER_PAD;

// One joystick as last polled. Index 0 of the axis arrays is the first stick
// (and the third axis), index 1 the second stick (and the sixth axis); values
// -1..1 with y positive upwards. All zero while no pad is there.
class c_JoyState : public Object {
 public:
  Array<float> m_joyX;
  Array<float> m_joyY;
  Array<float> m_joyZ;
  Array<bool> m_buttons;

  c_JoyState();
  c_JoyState* m_new() { return this; }
  // Back to rest: sticks centred, every button released.
  void p_Clear();
  void mark() override;
};

class c_InputDevice : public Object {
 public:
  Array<c_JoyState*> m_joyStates;  // INPUT_JOYSTICKS
  Array<bool> m_keyDown;           // INPUT_KEY_CODES
  int m_keyHitCount = 0;           // entries used in m_keyHitQueue
  Array<int> m_keyHitQueue;        // INPUT_HIT_QUEUE codes hit in this update
  Array<int> m_keyHit;             // INPUT_KEY_CODES hit counts
  int m_charGet = 0;
  int m_charPut = 0;
  Array<int> m_charQueue;  // INPUT_CHAR_QUEUE characters typed in this update
  float m_mouseX = 0;      // window pixels
  float m_mouseY = 0;
  Array<float> m_touchX;  // INPUT_TOUCHES, window pixels
  Array<float> m_touchY;
  Array<int> m_joyConnection;  // INPUT_JOYSTICKS: the last plug event of this update, 0 none
  float m_accelX = 0;
  float m_accelY = 0;
  float m_accelZ = 0;

  c_InputDevice();
  // Fills the joystick table with fresh states.
  c_InputDevice* m_new();

  // Events from the delegate; codes as c_BBGameEvent.
  int p_KeyEvent(int event, int data);
  int p_MouseEvent(int event, int data, float x, float y);
  int p_TouchEvent(int event, int data, float x, float y);
  int p_MotionEvent(int event, int data, float x, float y, float z);
  // A joypad plugged in (BBGAME_JOYPLUGGED) or pulled out
  // (BBGAME_JOYUNPLUGGED) at port 0-3; other ports are ignored.
  int p_JoystickEvent(int event, int port);

  // Before each game update: polls all four joystick ports through the game
  // object; an absent pad reads released and centred.
  int p_BeginUpdate();
  // After each game update: hit counts, plug events and the character
  // queue start over.
  int p_EndUpdate();
  // Counts one hit of `key` unless the hit queue is full.
  int p_PutKeyHit(int key);

  bool p_KeyDown(int key);
  int p_KeyHit(int key);  // 0 outside 1..511
  int p_GetChar();        // next typed character, 0 when none is left
  float p_MouseX() { return m_mouseX; }
  float p_MouseY() { return m_mouseY; }
  float p_TouchX(int finger);  // 0 for finger above 31
  float p_TouchY(int finger);
  // No range test: joystick 0-3, index 0-1.
  float p_JoyX(int index, int joystick) { return m_joyStates[joystick]->m_joyX[index]; }
  float p_JoyY(int index, int joystick) { return m_joyStates[joystick]->m_joyY[index]; }
  float p_JoyZ(int index, int joystick) { return m_joyStates[joystick]->m_joyZ[index]; }
  // The last plug event of port 0-3 since the last update ended
  // (BBGAME_JOYPLUGGED or BBGAME_JOYUNPLUGGED), 0 when none; 0 for other ports.
  int p_JoyConnection(int joystick);
  float p_AccelX() { return m_accelX; }
  float p_AccelY() { return m_accelY; }
  float p_AccelZ() { return m_accelZ; }
  int p_SetKeyboardEnabled(bool enabled);

  void mark() override;

 private:
  void KeyDownEvent(int key);
  void KeyUpEvent(int key);
  void SetPointer(int finger, float x, float y);
  void SyncJoyKeys(int joystick);
};

// The device the bb_input_ functions read; null before game start.
extern c_InputDevice* bb_input_device;

int bb_input_SetInputDevice(c_InputDevice* device);
int bb_input_KeyDown(int key);
int bb_input_KeyHit(int key);
int bb_input_GetChar();
float bb_input_MouseX();
float bb_input_MouseY();
int bb_input_MouseDown(int button);
int bb_input_MouseHit(int button);
int bb_input_TouchDown(int finger);
int bb_input_TouchHit(int finger);
float bb_input_TouchX(int finger);
float bb_input_TouchY(int finger);
int bb_input_JoyDown(int button, int joystick);
int bb_input_JoyHit(int button, int joystick);
float bb_input_JoyX(int index, int joystick);
float bb_input_JoyY(int index, int joystick);
float bb_input_JoyZ(int index, int joystick);
int bb_input_JoyConnection(int joystick);
float bb_input_AccelX();
float bb_input_AccelY();
float bb_input_AccelZ();
int bb_input_EnableKeyboard();
int bb_input_DisableKeyboard();
