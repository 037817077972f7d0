// Controls: the one question every screen asks ("is action a pressed on
// source s?") answered from the keyboard, four joypads, iCade letters and
// on-screen pad buttons; the iCade switch; the touch stick; and the
// pointer-driven buttons.
#include <cmath>

#include "game/match/match.h"
#include "input/input.h"

using namespace match;

static_assert(GAME_INPUT_SLOTS >= SLOT_STRIDE * JOIN_SLOTS, "every source has its join slot");

namespace {

// One input that can answer an action.
enum InputKind {
  END = 0,    // ends a row
  KEY,        // key-down flag of a runtime key code
  JOY,        // button of the asking joypad (JOY_A .. JOY_GUIDE)
  PAD,        // m_padButtons entry held (answers 1)
  PAD_VALUE,  // m_padButtons entry, its raw value
  STICK_UP,   // the asking joypad's first stick, when the stick counts
  STICK_LEFT,
  STICK_RIGHT,
  STICK_DOWN,
};
struct Input {
  InputKind kind;
  int code;
};
constexpr int MAX_INPUTS = 10;
struct ActionInputs {
  int action;
  Input inputs[MAX_INPUTS];
};

constexpr Input K(int key) { return {KEY, key}; }
constexpr Input J(int button) { return {JOY, button}; }
constexpr Input P(int entry) { return {PAD, entry}; }
constexpr Input V(int entry) { return {PAD_VALUE, entry}; }
constexpr Input S(InputKind stick) { return {stick, 0}; }

// The keyboard source, letters and all.
constexpr ActionInputs KEYBOARD[] = {
    {ACTION_UP, {K(KEY_UP), K(KEY_W), P(ACTION_UP)}},
    {ACTION_LEFT, {K(KEY_LEFT), K(KEY_A), P(ACTION_LEFT)}},
    {ACTION_RIGHT, {K(KEY_RIGHT), K(KEY_D), P(ACTION_RIGHT)}},
    {ACTION_DOWN, {K(KEY_DOWN), K(KEY_S), P(ACTION_DOWN)}},
    {ACTION_CONFIRM, {K(KEY_Z), K(KEY_J), K(KEY_SPACE), K(KEY_ENTER), P(ACTION_CONFIRM)}},
    {ACTION_CANCEL, {K(KEY_X), K(KEY_K), K(KEY_CONTROL), P(ACTION_CANCEL)}},
    {ACTION_OPTION, {K(KEY_C), K(KEY_L), K(KEY_SHIFT), P(ACTION_OPTION)}},
    {ACTION_QUIT, {K(KEY_V), K(KEY_I), P(ACTION_QUIT)}},
    {ACTION_EXTRA1, {K(KEY_B), K(KEY_U), P(ACTION_EXTRA1)}},
    {ACTION_EXTRA2, {K(KEY_N), K(KEY_O), P(ACTION_EXTRA2)}},
    {ACTION_BACK,
     {K(KEY_ESCAPE), K(KEY_GRAVE), K(KEY_DELETE), K(KEY_BACKSPACE), P(PAD_BACK_ICADE1), P(PAD_BACK_ICADE2),
      P(PAD_BACK)}},
};
// The keyboard source in iCade mode: the letters belong to the cabinet, so
// only the arrows and the modifier keys stay.
constexpr ActionInputs KEYBOARD_ICADE[] = {
    {ACTION_UP, {K(KEY_UP), P(ACTION_UP)}},
    {ACTION_LEFT, {K(KEY_LEFT), P(ACTION_LEFT)}},
    {ACTION_RIGHT, {K(KEY_RIGHT), P(ACTION_RIGHT)}},
    {ACTION_DOWN, {K(KEY_DOWN), P(ACTION_DOWN)}},
    {ACTION_CONFIRM, {K(KEY_SPACE), K(KEY_ENTER), P(ACTION_CONFIRM)}},
    {ACTION_CANCEL, {K(KEY_CONTROL), P(ACTION_CANCEL)}},
    {ACTION_OPTION, {K(KEY_SHIFT), P(ACTION_OPTION)}},
    {ACTION_QUIT, {V(ACTION_QUIT)}},
    {ACTION_EXTRA1, {V(ACTION_EXTRA1)}},
    {ACTION_EXTRA2, {V(ACTION_EXTRA2)}},
    {ACTION_BACK,
     {K(KEY_ESCAPE), K(KEY_DELETE), K(KEY_BACKSPACE), P(PAD_BACK_ICADE1), P(PAD_BACK_ICADE2), P(PAD_BACK)}},
};
// A joypad source: d-pad, stick, face buttons, and the keyboard keys every
// source shares.
constexpr ActionInputs JOYPAD[] = {
    {ACTION_UP, {J(JOY_DPAD_UP), S(STICK_UP), P(ACTION_UP)}},
    {ACTION_LEFT, {J(JOY_DPAD_LEFT), S(STICK_LEFT), P(ACTION_LEFT)}},
    {ACTION_RIGHT, {J(JOY_DPAD_RIGHT), S(STICK_RIGHT), P(ACTION_RIGHT)}},
    {ACTION_DOWN, {J(JOY_DPAD_DOWN), S(STICK_DOWN), P(ACTION_DOWN)}},
    {ACTION_CONFIRM, {K(KEY_SPACE), K(KEY_ENTER), J(JOY_A), P(ACTION_CONFIRM)}},
    {ACTION_CANCEL, {K(KEY_CONTROL), J(JOY_B), P(ACTION_CANCEL)}},
    {ACTION_OPTION, {K(KEY_SHIFT), J(JOY_X), P(ACTION_OPTION)}},
    {ACTION_QUIT, {K(KEY_V), K(KEY_I), J(JOY_Y), P(ACTION_QUIT)}},
    {ACTION_EXTRA1, {K(KEY_B), K(KEY_U), J(JOY_LEFT_SHOULDER), P(ACTION_EXTRA1)}},
    {ACTION_EXTRA2, {K(KEY_N), K(KEY_O), J(JOY_RIGHT_SHOULDER), P(ACTION_EXTRA2)}},
    {ACTION_BACK,
     {K(KEY_ESCAPE), K(KEY_GRAVE), K(KEY_DELETE), K(KEY_BACKSPACE), J(JOY_BACK), J(JOY_START), J(JOY_GUIDE),
      P(PAD_BACK_ICADE1), P(PAD_BACK_ICADE2), P(PAD_BACK)}},
};
// A joypad source in iCade mode: arrows before the d-pad, no stick.
constexpr ActionInputs JOYPAD_ICADE[] = {
    {ACTION_UP, {K(KEY_UP), J(JOY_DPAD_UP), P(ACTION_UP)}},
    {ACTION_LEFT, {K(KEY_LEFT), J(JOY_DPAD_LEFT), P(ACTION_LEFT)}},
    {ACTION_RIGHT, {K(KEY_RIGHT), J(JOY_DPAD_RIGHT), P(ACTION_RIGHT)}},
    {ACTION_DOWN, {K(KEY_DOWN), J(JOY_DPAD_DOWN), P(ACTION_DOWN)}},
    {ACTION_CONFIRM, {K(KEY_SPACE), K(KEY_ENTER), J(JOY_A), P(ACTION_CONFIRM)}},
    {ACTION_CANCEL, {K(KEY_CONTROL), J(JOY_B), P(ACTION_CANCEL)}},
    {ACTION_OPTION, {K(KEY_SHIFT), J(JOY_X), P(ACTION_OPTION)}},
    {ACTION_QUIT, {J(JOY_Y), P(ACTION_QUIT)}},
    {ACTION_EXTRA1, {J(JOY_LEFT_SHOULDER), P(ACTION_EXTRA1)}},
    {ACTION_EXTRA2, {J(JOY_RIGHT_SHOULDER), P(ACTION_EXTRA2)}},
    {ACTION_BACK,
     {K(KEY_ESCAPE), K(KEY_DELETE), K(KEY_BACKSPACE), J(JOY_START), J(JOY_BACK), J(JOY_GUIDE), P(PAD_BACK_ICADE1),
      P(PAD_BACK_ICADE2), P(PAD_BACK)}},
};

// A stick counts as a direction beyond this deflection (strictly).
constexpr float STICK_THRESHOLD = 0.4f;
constexpr int LAST_KEY_CODE = INPUT_KEY_CODES - 1;

template <int N>
const ActionInputs* RowOf(const ActionInputs (&table)[N], int action) {
  for (const ActionInputs& row : table) {
    if (row.action == action) return &row;
  }
  return nullptr;
}

// Touch stick: deflection 1 at STICK_SPAN units from the anchor, nothing
// under STICK_DEAD_ZONE; the anchor creeps after a pointer beyond
// ANCHOR_SLACK units.
constexpr float STICK_SPAN = 72.0f;
constexpr float STICK_DEAD_ZONE = 0.1f;
constexpr int ANCHOR_SLACK = 64;
constexpr int ANCHOR_CREEP = 4;
constexpr float STICK_PREVIEW_MIN = 0.05f;
constexpr float STICK_PREVIEW_INSET = 64.0f;
constexpr float STICK_PREVIEW_REACH = 52.0f;
// Margins of p_Touch: before the left and top edges, beyond the right and
// bottom edges.
constexpr float TOUCH_MARGIN_BEFORE = 6.0f;
constexpr float TOUCH_MARGIN_AFTER = 12.0f;
constexpr float MACHINE_MARK_STEP = 8.0f;

struct Box {
  float left, top, right, bottom;
};

// Touch slot i lies strictly inside the box.
bool TouchInside(const c_MyApp* app, int i, const Box& b) {
  const float x = float(app->m_touchX[i]), y = float(app->m_touchY[i]);
  return b.left < x && x < b.right && b.top < y && y < b.bottom;
}

// Some down touch slot lies strictly inside the box.
bool AnyTouchInside(const c_MyApp* app, const Box& b) {
  for (int i = 0; i < GAME_TOUCHES; ++i) {
    if (app->m_touchDown[i] != 0 && TouchInside(app, i, b)) return true;
  }
  return false;
}

// The drawn frame of image `slot` centred on (x, y) at the current size.
Box ButtonBox(const c_MyApp* app, int slot, float x, float y) {
  const float hw = float(app->m_fontInfo[3 * slot]) * app->m_assetInvScale * app->m_drawScaleX * 0.5f;
  const float hh = float(app->m_fontInfo[3 * slot + 1]) * app->m_assetInvScale * app->m_drawScaleY * 0.5f;
  return {x - hw, y - hh, x + hw, y + hh};
}

}  // namespace

int c_MyApp::p_PlayKey(int action, int withStick, int source) {
  if (source < SOURCE_KEYBOARD || source > SOURCE_LAST_SHARED) return 0;
  if (m_onlineStepping == 1 && m_onlineShared == 1) return p_OnlineKey(action, withStick, source);
  const ControlSource& from = SOURCES[source + 1];
  if (from.machine != 0) return 0;
  const bool seat = from.kind == SourceKind::KEYBOARD_SEAT;
  const int seats = p_KeyboardSeats();
  if (seat && from.index >= seats) return 0;
  const bool iCade = bb_KRV_iCadeControls == 1;
  if (action == ACTION_BACK && bb_KRV_isOuya == 1 && !iCade) return m_padButtons[PAD_BACK];
  // A split keyboard's keys belong to their seats alone; the first seat
  // keeps the pointer's and the on-screen buttons.
  const bool split = seats > 1;
  if (split && seat && SeatKeyDown(from.index, action)) return 1;
  if (split && seat && from.index > 0) return 0;
  const ActionInputs* row = seat ? (iCade ? RowOf(KEYBOARD_ICADE, action) : RowOf(KEYBOARD, action))
                                 : (iCade ? RowOf(JOYPAD_ICADE, action) : RowOf(JOYPAD, action));
  if (!row) return 0;
  const bool stick = withStick == 1;
  for (const Input& in : row->inputs) {
    int answer = 0;
    switch (in.kind) {
      case END:
        return 0;
      case KEY:
        answer = split ? 0 : bb_input_KeyDown(in.code);
        break;
      case JOY: {
        const int code = KEY_JOY0 + JOY_BUTTONS_PER_PAD * from.index + in.code;
        answer = (code >= 1 && code <= LAST_KEY_CODE) ? bb_input_KeyDown(code) : 0;
        break;
      }
      case PAD:
        answer = m_padButtons[in.code] != 0 ? 1 : 0;
        break;
      case PAD_VALUE:
        answer = m_padButtons[in.code];
        break;
      case STICK_UP:
        answer = stick && p_StickY(0, source) < -STICK_THRESHOLD;
        break;
      case STICK_LEFT:
        answer = stick && p_StickX(0, source) < -STICK_THRESHOLD;
        break;
      case STICK_RIGHT:
        answer = stick && p_StickX(0, source) > STICK_THRESHOLD;
        break;
      case STICK_DOWN:
        answer = stick && p_StickY(0, source) > STICK_THRESHOLD;
        break;
    }
    if (answer != 0) return answer;
  }
  return 0;
}

// Index 0 is the first stick, 1 the second; any other index, the keyboard
// and unknown sources read centred.
float c_MyApp::p_StickX(int axis, int source) {
  if (source < SOURCE_FIRST_PAD || source > SOURCE_LAST_PAD || axis < 0 || axis > 1) return 0.0f;
  return bb_input_JoyX(axis, source);
}

// Axis 0 is the first stick's y negated (positive downwards); axis 1 the
// second stick's y as the pad reports it (positive upwards).
float c_MyApp::p_StickY(int axis, int source) {
  if (source < SOURCE_FIRST_PAD || source > SOURCE_LAST_PAD || axis < 0 || axis > 1) return 0.0f;
  return axis == 0 ? -bb_input_JoyY(0, source) : bb_input_JoyY(axis, source);
}

int c_MyApp::p_PlayKeyAll(int action, int withStick) {
  int answers = 0;
  for (int source = SOURCE_KEYBOARD; source <= p_LastSource(); ++source)
    answers += p_PlayKey(action, withStick, source);
  return answers;
}

int c_MyApp::p_LastSource() { return m_onlineShared == 1 ? SOURCE_LAST_SHARED : SOURCE_LAST; }

int c_MyApp::p_KeyboardSeats() {
  const int seats = m_settings[SETTING_KEYBOARD_SEATS] + 1;
  if (bb_KRV_iCadeControls == 1 || seats < 1 || seats > MAX_KEYBOARD_SEATS) return 1;
  return seats;
}

int c_MyApp::p_iCade(int on) {
  if (on == 1) {
    BBGame::Game()->SetKeyboardEnabled(true);
    bb_KRV_iCadeControls = 1;
    // Letters typed before the switch are not cabinet presses.
    do {
      m_lastChar = bb_input_GetChar();
    } while (m_lastChar != 0);
  } else if (on == 0) {
    BBGame::Game()->SetKeyboardEnabled(false);
    bb_KRV_iCadeControls = 0;
    for (int i = 0; i < PAD_DRIVEN_ENTRIES; ++i) m_padButtons[i] = 0;
  }
  return 0;
}

int c_MyApp::p_AnalogueControl() {
  m_stickX = m_stickY = 0.0f;
  if (m_pointerDown == 0) {
    m_stickAnchorX = -1;
  } else {
    if (m_stickAnchorX < 0) {
      m_stickAnchorX = m_mouseX;
      m_stickAnchorY = m_mouseY;
    } else {
      m_stickX = float(m_mouseX - m_stickAnchorX) / STICK_SPAN;
      m_stickY = float(m_mouseY - m_stickAnchorY) / STICK_SPAN;
      if (std::fabs(m_stickX) < STICK_DEAD_ZONE && std::fabs(m_stickY) < STICK_DEAD_ZONE) m_stickX = m_stickY = 0.0f;
      if (m_mouseX < m_stickAnchorX - ANCHOR_SLACK) m_stickAnchorX -= ANCHOR_CREEP;
      if (m_mouseX > m_stickAnchorX + ANCHOR_SLACK) m_stickAnchorX += ANCHOR_CREEP;
      if (m_mouseY < m_stickAnchorY - ANCHOR_SLACK) m_stickAnchorY -= ANCHOR_CREEP;
      if (m_mouseY > m_stickAnchorY + ANCHOR_SLACK) m_stickAnchorY += ANCHOR_CREEP;
    }
    p_SetCol(0.0f, 100.0f, 250.0f, 0.25f);
    p_Oval(float(m_stickAnchorX), float(m_stickAnchorY), 12.0f, 12.0f);
    p_Oval(float(m_mouseX), float(m_mouseY), 8.0f, 8.0f);
    m_stickX = std::fmax(-1.0f, std::fmin(m_stickX, 1.0f));
  }
  m_stickY = std::fmax(-1.0f, std::fmin(m_stickY, 1.0f));
  const bool deflected = std::fabs(m_stickX) > STICK_PREVIEW_MIN || std::fabs(m_stickY) > STICK_PREVIEW_MIN;
  if (deflected && bb_KRV_DebugMode == 1) {
    const float cx = bb_KRV_jscrw - STICK_PREVIEW_INSET, cy = bb_KRV_jscrh - STICK_PREVIEW_INSET;
    p_SetCol(0.0f, 180.0f, 250.0f, 0.5f);
    p_Oval(cx, cy, 12.0f, 12.0f);
    p_Oval(cx + STICK_PREVIEW_REACH * m_stickX, cy + STICK_PREVIEW_REACH * m_stickY, 8.0f, 8.0f);
  }
  return 0;
}

int c_MyApp::p_Button(int slot, float x, float y, int frame) {
  p_DrawImg(slot, x, y, float(frame));
  const Box box = ButtonBox(this, slot, x, y);
  m_buttonHit = 0;
  for (int i = 0; i < GAME_TOUCHES; ++i) {
    // An up slot's stored position lies off every button.
    if (TouchInside(this, i, box) && m_pointerDown > 0) m_buttonHit = 1;
  }
  return m_buttonHit;
}

int c_MyApp::p_Button(float x, float y, int frame) { return p_Button(SLOT_ICONS, x, y, frame); }

bool c_MyApp::p_Button0(int slot, float x, float y, int frame) {
  p_DrawImg(slot, x, y, float(frame));
  return TouchInside(this, 0, ButtonBox(this, slot, x, y)) && m_pointerDown > 0;
}

int c_MyApp::p_Touch(float x, float y, float w, float h) {
  p_Rect(x, y, w, h);
  const Box margins = {x - TOUCH_MARGIN_BEFORE, y - TOUCH_MARGIN_BEFORE, x + w + TOUCH_MARGIN_AFTER,
                       y + h + TOUCH_MARGIN_AFTER};
  return AnyTouchInside(this, margins) ? 1 : 0;
}

int c_MyApp::p_MouseIn_Centered(float x, float y, float w, float h) {
  return AnyTouchInside(this, {x - w / 2.0f, y - h / 2.0f, x + w / 2.0f, y + h / 2.0f}) ? 1 : 0;
}

int c_MyApp::p_JoinMark(int slot, float x, float y, float alpha) {
  const int machine = slot / SOURCE_COUNT;
  const float* ink = ME_MARK_COLOUR[MarkOf(slot)];
  const float* offset = ME_MARK_OFFSET[MarkOf(slot)];
  // Other machines' marks stand a little lower, so marks of the same kind
  // of source on two machines do not cover each other.
  const float lower = MACHINE_MARK_STEP * float(machine);
  p_SetCol(ink[0], ink[1], ink[2], alpha);
  const String label = machine == p_OnlineMachine() ? String("ME!") : String("P") + String(machine + 1);
  p_Text(x + offset[0], y + offset[1] + lower, label, 1.0f, 1.0f);
  return 0;
}
