#include "input/input.h"

c_InputDevice* bb_input_device = nullptr;

namespace {

const bool roots_registered = gc_roots(bb_input_device);

bool ValidKey(int key) { return key >= 1 && key < INPUT_KEY_CODES; }

// The left mouse button and the first finger are one input under two codes.
int MirrorOf(int key) {
  if (key == KEY_MOUSE_LEFT) return KEY_TOUCH0;
  if (key == KEY_TOUCH0) return KEY_MOUSE_LEFT;
  return 0;
}

}  // namespace

c_JoyState::c_JoyState() {
  gc_assign(m_joyX, Array<float>(2));
  gc_assign(m_joyY, Array<float>(2));
  gc_assign(m_joyZ, Array<float>(2));
  gc_assign(m_buttons, Array<bool>(INPUT_JOY_BUTTONS));
}

void c_JoyState::p_Clear() {
  for (int i = 0; i < 2; ++i) m_joyX[i] = m_joyY[i] = m_joyZ[i] = 0;
  for (bool& b : m_buttons) b = false;
}

void c_JoyState::mark() {
  Object::mark();
  gc_mark_q(m_joyX);
  gc_mark_q(m_joyY);
  gc_mark_q(m_joyZ);
  gc_mark_q(m_buttons);
}

c_InputDevice::c_InputDevice() {
  gc_assign(m_joyStates, Array<c_JoyState*>(INPUT_JOYSTICKS));
  gc_assign(m_keyDown, Array<bool>(INPUT_KEY_CODES));
  gc_assign(m_keyHitQueue, Array<int>(INPUT_HIT_QUEUE));
  gc_assign(m_keyHit, Array<int>(INPUT_KEY_CODES));
  gc_assign(m_charQueue, Array<int>(INPUT_CHAR_QUEUE));
  gc_assign(m_touchX, Array<float>(INPUT_TOUCHES));
  gc_assign(m_touchY, Array<float>(INPUT_TOUCHES));
  gc_assign(m_joyConnection, Array<int>(INPUT_JOYSTICKS));
}

c_InputDevice* c_InputDevice::m_new() {
  for (int j = 0; j < INPUT_JOYSTICKS; ++j) gc_assign(m_joyStates[j], (new c_JoyState)->m_new());
  return this;
}

int c_InputDevice::p_PutKeyHit(int key) {
  if (m_keyHitCount == m_keyHitQueue.Length()) return 0;
  m_keyHit[key] += 1;
  m_keyHitQueue[m_keyHitCount++] = key;
  return 0;
}

void c_InputDevice::KeyDownEvent(int key) {
  if (m_keyDown[key]) return;
  m_keyDown[key] = true;
  p_PutKeyHit(key);
  int mirror = MirrorOf(key);
  if (!mirror) return;
  m_keyDown[mirror] = true;
  p_PutKeyHit(mirror);
}

void c_InputDevice::KeyUpEvent(int key) {
  if (!m_keyDown[key]) return;
  m_keyDown[key] = false;
  int mirror = MirrorOf(key);
  if (mirror) m_keyDown[mirror] = false;
}

void c_InputDevice::SetPointer(int finger, float x, float y) {
  m_touchX[finger] = x;
  m_touchY[finger] = y;
  if (finger != 0) return;
  m_mouseX = x;
  m_mouseY = y;
}

int c_InputDevice::p_KeyEvent(int event, int data) {
  switch (event) {
    case BBGAME_KEYDOWN:
      if (ValidKey(data)) KeyDownEvent(data);
      break;
    case BBGAME_KEYUP:
      if (ValidKey(data)) KeyUpEvent(data);
      break;
    case BBGAME_KEYCHAR:
      if (m_charPut < m_charQueue.Length()) m_charQueue[m_charPut++] = data;
      break;
  }
  return 0;
}

int c_InputDevice::p_MouseEvent(int event, int data, float x, float y) {
  int key = KEY_MOUSE_LEFT + data;
  switch (event) {
    case BBGAME_MOUSEDOWN:
      if (ValidKey(key)) KeyDownEvent(key);
      SetPointer(0, x, y);
      break;
    case BBGAME_MOUSEUP:
      if (ValidKey(key)) KeyUpEvent(key);
      break;
    case BBGAME_MOUSEMOVE:
      SetPointer(0, x, y);
      break;
  }
  return 0;
}

int c_InputDevice::p_TouchEvent(int event, int data, float x, float y) {
  if (data < 0 || data >= INPUT_TOUCHES) return 0;
  int key = KEY_TOUCH0 + data;
  switch (event) {
    case BBGAME_TOUCHDOWN:
      KeyDownEvent(key);
      SetPointer(data, x, y);
      break;
    case BBGAME_TOUCHUP:
      KeyUpEvent(key);
      break;
    case BBGAME_TOUCHMOVE:
      SetPointer(data, x, y);
      break;
  }
  return 0;
}

int c_InputDevice::p_MotionEvent(int event, int, float x, float y, float z) {
  if (event != BBGAME_MOTIONACCEL) return 0;
  m_accelX = x;
  m_accelY = y;
  m_accelZ = z;
  return 0;
}

int c_InputDevice::p_JoystickEvent(int event, int port) {
  const bool plug = event == BBGAME_JOYPLUGGED || event == BBGAME_JOYUNPLUGGED;
  if (plug && port >= 0 && port < INPUT_JOYSTICKS) m_joyConnection[port] = event;
  return 0;
}

int c_InputDevice::p_JoyConnection(int joystick) {
  return joystick >= 0 && joystick < INPUT_JOYSTICKS ? m_joyConnection[joystick] : 0;
}

// Joystick buttons become key codes: a pressed button is down (with a hit
// when it was up), a released one is simply up.
void c_InputDevice::SyncJoyKeys(int joystick) {
  Array<bool> buttons = m_joyStates[joystick]->m_buttons;
  for (int b = 0; b < INPUT_JOY_BUTTONS; ++b) {
    int key = KEY_JOY0 + JOY_BUTTONS_PER_PAD * joystick + b;
    if (!buttons[b]) {
      m_keyDown[key] = false;
    } else if (!m_keyDown[key]) {
      m_keyDown[key] = true;
      p_PutKeyHit(key);
    }
  }
}

// Every port is polled: an empty port before a used one must not hide it,
// and a pad that went away reads as released and centred so nothing stays
// held after an unplug.
int c_InputDevice::p_BeginUpdate() {
  BBGame* game = BBGame::Game();
  for (int j = 0; j < INPUT_JOYSTICKS; ++j) {
    c_JoyState* joy = m_joyStates[j];
    bool present = game && game->PollJoystick(j, joy->m_joyX, joy->m_joyY, joy->m_joyZ, joy->m_buttons);
    if (!present) joy->p_Clear();
    SyncJoyKeys(j);
  }
  return 0;
}

int c_InputDevice::p_EndUpdate() {
  for (int i = 0; i < m_keyHitCount; ++i) m_keyHit[m_keyHitQueue[i]] = 0;
  m_keyHitCount = 0;
  m_charGet = m_charPut = 0;
  for (int& event : m_joyConnection) event = 0;
  return 0;
}

bool c_InputDevice::p_KeyDown(int key) { return ValidKey(key) && m_keyDown[key]; }

int c_InputDevice::p_KeyHit(int key) { return ValidKey(key) ? m_keyHit[key] : 0; }

int c_InputDevice::p_GetChar() {
  if (m_charGet == m_charPut) return 0;
  return m_charQueue[m_charGet++];
}

float c_InputDevice::p_TouchX(int finger) { return finger >= 0 && finger < INPUT_TOUCHES ? m_touchX[finger] : 0; }

float c_InputDevice::p_TouchY(int finger) { return finger >= 0 && finger < INPUT_TOUCHES ? m_touchY[finger] : 0; }

int c_InputDevice::p_SetKeyboardEnabled(bool enabled) {
  if (BBGame::Game()) BBGame::Game()->SetKeyboardEnabled(enabled);
  return 0;
}

void c_InputDevice::mark() {
  Object::mark();
  gc_mark_q(m_joyStates);
  gc_mark_q(m_keyDown);
  gc_mark_q(m_keyHitQueue);
  gc_mark_q(m_keyHit);
  gc_mark_q(m_charQueue);
  gc_mark_q(m_touchX);
  gc_mark_q(m_touchY);
  gc_mark_q(m_joyConnection);
}

// The global functions read the device set at game start; before it exists
// every query answers 0.

int bb_input_SetInputDevice(c_InputDevice* device) {
  gc_assign(bb_input_device, device);
  return 0;
}

int bb_input_KeyDown(int key) { return bb_input_device && bb_input_device->p_KeyDown(key) ? 1 : 0; }

int bb_input_KeyHit(int key) { return bb_input_device ? bb_input_device->p_KeyHit(key) : 0; }

int bb_input_GetChar() { return bb_input_device ? bb_input_device->p_GetChar() : 0; }

float bb_input_MouseX() { return bb_input_device ? bb_input_device->p_MouseX() : 0; }

float bb_input_MouseY() { return bb_input_device ? bb_input_device->p_MouseY() : 0; }

int bb_input_MouseDown(int button) { return bb_input_KeyDown(KEY_MOUSE_LEFT + button); }

int bb_input_MouseHit(int button) { return bb_input_KeyHit(KEY_MOUSE_LEFT + button); }

int bb_input_TouchDown(int finger) { return bb_input_KeyDown(KEY_TOUCH0 + finger); }

int bb_input_TouchHit(int finger) { return bb_input_KeyHit(KEY_TOUCH0 + finger); }

float bb_input_TouchX(int finger) { return bb_input_device ? bb_input_device->p_TouchX(finger) : 0; }

float bb_input_TouchY(int finger) { return bb_input_device ? bb_input_device->p_TouchY(finger) : 0; }

namespace {

int JoyKey(int button, int joystick) { return button | KEY_JOY0 | (joystick << 5); }

}  // namespace

int bb_input_JoyDown(int button, int joystick) { return bb_input_KeyDown(JoyKey(button, joystick)); }

int bb_input_JoyHit(int button, int joystick) { return bb_input_KeyHit(JoyKey(button, joystick)); }

float bb_input_JoyX(int index, int joystick) { return bb_input_device ? bb_input_device->p_JoyX(index, joystick) : 0; }

float bb_input_JoyY(int index, int joystick) { return bb_input_device ? bb_input_device->p_JoyY(index, joystick) : 0; }

float bb_input_JoyZ(int index, int joystick) { return bb_input_device ? bb_input_device->p_JoyZ(index, joystick) : 0; }

int bb_input_JoyConnection(int joystick) {
  return bb_input_device ? bb_input_device->p_JoyConnection(joystick) : 0;
}

float bb_input_AccelX() { return bb_input_device ? bb_input_device->p_AccelX() : 0; }

float bb_input_AccelY() { return bb_input_device ? bb_input_device->p_AccelY() : 0; }

float bb_input_AccelZ() { return bb_input_device ? bb_input_device->p_AccelZ() : 0; }

int bb_input_EnableKeyboard() {
  if (BBGame::Game()) BBGame::Game()->SetKeyboardEnabled(true);
  return 1;
}

int bb_input_DisableKeyboard() {
  if (BBGame::Game()) BBGame::Game()->SetKeyboardEnabled(false);
  return 1;
}
