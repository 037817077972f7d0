// The display list: screens append fixed-size entries while they update, and
// each rendered frame replays the list through the graphics module, scaled
// from virtual units to window pixels. Also the bitmap-font text layout and
// the small colour, padding and random helpers the screens share.
#include "game/app.h"

#include <algorithm>
#include <cmath>

#include "game/screen_math.h"
#include "graphics/graphics.h"

namespace {

// Element indices of a display-list entry.
enum EntryField {
  E_KIND = 0,  // image slot, or DRAW_RECT / DRAW_OVAL / DRAW_LINE
  E_X = 1,
  E_Y = 2,
  E_ROTATION = 3,
  E_W = 4,  // image: x scale; rectangle: width; oval: x radius; line: x2
  E_H = 5,
  E_FRAME = 6,
  E_ALPHA = 7,
  E_RED = 10,
  E_GREEN = 11,
  E_BLUE = 12,
  E_BLEND = 13,
};
// Blend code of an entry that replays additively; any other replays with
// alpha blending.
constexpr float ADDITIVE_ENTRY = 3.0f;

// The not sign followed by a letter draws a button glyph.
constexpr Char BUTTON_MARK = 0xAC;
struct ButtonGlyph {
  char letter;
  int frame, adjust;
};
constexpr ButtonGlyph BUTTON_GLYPHS[] = {
    {'J', 96, 4},  {'K', 97, 4},  {'L', 98, 4},  {'I', 99, 4},  {'U', 100, 6}, {'O', 101, 6}, {'Q', 102, 4},
    {'E', 103, 4}, {'F', 104, 4}, {'W', 105, 4}, {'S', 106, 4}, {'A', 107, 4}, {'D', 108, 4},
};
constexpr int OTHER_BUTTON_ADJUST = 4;
// The measuring pass counts every button glyph with this adjustment.
constexpr int MEASURED_BUTTON_ADJUST = 2;
// The keyboard glyph set follows the joypad set in the font.
constexpr int KEYBOARD_GLYPHS = 16;
// Glyph frame n shows character n + FIRST_GLYPH_CHAR.
constexpr int FIRST_GLYPH_CHAR = 32;
constexpr int LAST_GLYPH_FRAME = 127;

// Font pixels added to a character's advance.
int Adjustment(int code) {
  switch (code) {
    case 'w':
    case 'm':
      return 2;
    case 'W':
    case 'M':
      return 1;
    case 'i':
    case 'f':
    case 'l':
      return -3;
    case 'j':
    case 's':
    case 'k':
    case 'r':
    case 'z':
    case 't':
    case 'n':
      return -1;
    default:
      return 0;
  }
}

// A mark with nothing after it is an ordinary character.
bool IsButtonMark(const String& text, int i) { return text[i] == BUTTON_MARK && i + 1 < text.Length(); }

bool IsLineBreak(const String& text, int i) {
  return text[i] == '\\' && i + 1 < text.Length() && text[i + 1] == 'n';
}

void ButtonFrame(int letter, int* frame, int* adjust) {
  for (const ButtonGlyph& g : BUTTON_GLYPHS) {
    if (letter == g.letter) {
      *frame = g.frame;
      *adjust = g.adjust;
      return;
    }
  }
  *frame = letter;
  *adjust = OTHER_BUTTON_ADJUST;
}

// The ink colours (red, green, blue factors); the last one stands for every
// other ink number.
constexpr float INKS[][3] = {
    {1.0f, 0.1f, 0.1f}, {1.0f, 0.5f, 0.1f}, {1.0f, 1.0f, 0.1f}, {0.1f, 1.0f, 0.1f}, {0.1f, 1.0f, 1.0f},
    {0.1f, 0.1f, 1.0f}, {0.5f, 0.1f, 1.0f}, {1.0f, 0.1f, 0.5f}, {1.0f, 1.0f, 1.0f}, {0.3f, 0.3f, 0.3f},
};
constexpr int INK_COUNT = 9;

float InkComponent(float factor, float brightness) { return std::clamp(factor * brightness * 255.0f, 0.0f, 255.0f); }

}  // namespace

int c_MyApp::p_CLS2D(float r, float g, float b, float a) {
  m_viewW = bb_KRV_jscrw;
  m_viewH = bb_KRV_jscrh;
  if (r > UNSET) {
    m_clearRed = r;
    m_clearGreen = g;
    m_clearBlue = b;
    m_clearAlpha = a;
  }
  p_ResetDraw();
  m_drawCount = 0;
  return 0;
}

int c_MyApp::p_ResetDraw() {
  m_drawScaleX = m_drawScaleY = 1.0f;
  m_drawRotation = 0.0f;
  m_drawRed = m_drawGreen = m_drawBlue = 255.0f;
  m_drawAlpha = 1.0f;
  m_drawBlend = 1;
  return 0;
}

int c_MyApp::p_SetSize(float sx, float sy) {
  m_drawScaleX = sx;
  m_drawScaleY = sy > UNSET ? sy : sx;
  return 0;
}

int c_MyApp::p_SetRot(float degrees) {
  m_drawRotation = -degrees;
  return 0;
}

int c_MyApp::p_SetCol(float r, float g, float b, float a) {
  m_drawRed = r;
  m_drawGreen = g;
  m_drawBlue = b;
  if (a > UNSET) m_drawAlpha = a;
  return 0;
}

int c_MyApp::p_Alpha(float a) {
  m_drawAlpha = a;
  return 0;
}

int c_MyApp::p_Ink(int ink, float brightness) {
  const float* f = INKS[(ink >= 1 && ink <= INK_COUNT) ? ink - 1 : INK_COUNT];
  m_drawRed = InkComponent(f[0], brightness);
  m_drawGreen = InkComponent(f[1], brightness);
  m_drawBlue = InkComponent(f[2], brightness);
  return 0;
}

float* c_MyApp::p_AppendEntry(float kind, float x, float y, float w, float h) {
  if (m_drawCount > DRAW_APPEND_LIMIT) return nullptr;
  float* e = &m_drawList[m_drawCount];
  e[E_KIND] = kind;
  e[E_X] = x;
  e[E_Y] = y;
  e[E_ROTATION] = m_drawRotation;
  e[E_W] = w;
  e[E_H] = h;
  e[E_FRAME] = 0.0f;
  e[E_ALPHA] = m_drawAlpha;
  e[E_RED] = m_drawRed;
  e[E_GREEN] = m_drawGreen;
  e[E_BLUE] = m_drawBlue;
  e[E_BLEND] = float(m_drawBlend);
  m_drawCount += DRAW_ENTRY;
  return e;
}

int c_MyApp::p_DrawImg(int slot, float x, float y, float frame) {
  if (float* e = p_AppendEntry(float(slot), x, y, m_drawScaleX, m_drawScaleY)) e[E_FRAME] = frame;
  return 0;
}

int c_MyApp::p_Rect(float x, float y, float w, float h) {
  p_AppendEntry(DRAW_RECT, x, y, w, h);
  return 0;
}

int c_MyApp::p_Oval(float x, float y, float rx, float ry) {
  p_AppendEntry(DRAW_OVAL, x, y, rx, ry);
  return 0;
}

int c_MyApp::p_Text(float x, float y, String text, float alignX, float alignY) {
  const int font = m_currentFont;
  const int cw = m_fontInfo[3 * font];
  const int lh = m_fontInfo[3 * font + 1];
  const String t = String(" ") + text;
  const int len = t.Length();

  // Measure everything but the last character (the leading space included).
  int w = 0;
  for (int i = 0; i < len - 1; ++i) {
    int a = Adjustment(t[i]);
    if (IsButtonMark(t, i)) {
      a = MEASURED_BUTTON_ADJUST;
      ++i;
    }
    w = int(float(w) + float(a + cw) * m_drawScaleX);
  }

  // Along the line u, down across lines v.
  const float r = -m_drawRotation * DEG_TO_RAD;
  const float ux = std::cos(r), uy = std::sin(r);
  const float vx = -uy, vy = ux;
  const float down = float(lh) * m_drawScaleY * ((alignY - 1.0f) / 2.0f);
  const float along = float(w) * alignX / 2.0f;
  const float startX = x - ux * along - vx * down;
  const float startY = y - uy * along - vy * down;

  float penX = startX, penY = startY;
  int line = 0;
  for (int i = 0; i < len; ++i) {
    const int c = t[i];
    int n = c - FIRST_GLYPH_CHAR;
    int a = 0;
    if (IsButtonMark(t, i)) {
      ButtonFrame(t[i + 1], &n, &a);
      if (m_controlStyle == CONTROL_KEYBOARD) n += KEYBOARD_GLYPHS;
      ++i;
    }
    if (const int listed = Adjustment(n + FIRST_GLYPH_CHAR)) a = listed;
    if (c == '\\' && IsLineBreak(t, i)) {
      // The new line starts where the first one did, behind its leading space.
      ++line;
      penX = startX + vx * (float(line * lh) * m_drawScaleY);
      penY = startY + vy * (float(line * lh) * m_drawScaleY);
      ++i;
    } else if (n >= 1 && n <= LAST_GLYPH_FRAME) {
      p_DrawImg(font, penX, penY, float(n));
    }
    if (n == -FIRST_GLYPH_CHAR) continue;
    penX += ux * (float(a + cw) * m_drawScaleX);
    penY += uy * (float(a + cw) * m_drawScaleX);
  }
  return 0;
}

String c_MyApp::p_rstr(int length, int value, String pad) {
  String padded;
  m_i = 0;
  do {
    padded += pad;
    ++m_i;
  } while (m_i <= length);
  padded += String(value);
  return length > 0 ? padded.Slice(padded.Length() - length) : String();
}

int c_MyApp::p_Rand(float low, float high) {
  return int(std::floor(Random() * (high + 0.99f - low) + low));
}

int c_MyApp::p_ComputeScaling(int w, int h) {
  const VirtualScreen v = FitVirtualScreen(w, h, bb_KRV_overscan, bb_KRV_rawscrw, bb_KRV_rawscrh);
  m_fitMode = v.fitMode;
  m_scaleX = v.scaleX;
  m_scaleY = v.scaleY;
  bb_KRV_jscrw = v.width;
  bb_KRV_jscrh = v.height;
  m_landscape = v.landscape;
  return 0;
}

int c_MyApp::p_Replay() {
  if (!bb_graphics_renderDevice) return 0;  // no frame to draw into
  const int W = bb_app_DeviceWidth(), H = bb_app_DeviceHeight();

  bb_graphics_SetColor(m_clearRed, m_clearGreen, m_clearBlue);
  bb_graphics_SetAlpha(m_clearAlpha);
  bb_graphics_DrawRect(-1.0f, -1.0f, float(W + 2), float(H + 2));
  bb_graphics_SetColor(255.0f, 255.0f, 255.0f);
  bb_graphics_SetAlpha(1.0f);

  // A minimized window has no pixels: keep the scaling and the loaded art
  // of the last real size.
  if (W <= 0 || H <= 0) return 0;
  if (W != m_lastDevWidth || H != m_lastDevHeight) {
    m_lastDevWidth = W;
    m_lastDevHeight = H;
    m_loadStep = 1;
  }
  p_ComputeScaling(W, H);
  const float ox = bb_KRV_overscan;
  const float oy = bb_KRV_overscan * float(H) / float(W);

  for (m_i = 0; m_i < m_drawCount - (DRAW_ENTRY - 1); m_i += DRAW_ENTRY) {
    const float* e = &m_drawList[m_i];
    bb_graphics_SetAlpha(e[E_ALPHA]);
    bb_graphics_SetColor(e[E_RED], e[E_GREEN], e[E_BLUE]);
    bb_graphics_SetBlend(e[E_BLEND] == ADDITIVE_ENTRY ? 1 : 0);
    const float x = e[E_X] * m_scaleX + ox, y = e[E_Y] * m_scaleY + oy;
    if (e[E_KIND] == DRAW_RECT) {
      bb_graphics_DrawRect(x, y, e[E_W] * m_scaleX, e[E_H] * m_scaleY);
    } else if (e[E_KIND] == DRAW_OVAL) {
      bb_graphics_DrawEllipse(x, y, e[E_W] * m_scaleX, e[E_H] * m_scaleY);
    } else if (e[E_KIND] == DRAW_LINE) {
      bb_graphics_DrawLine(x, y, e[E_W] * m_scaleX + ox, e[E_H] * m_scaleY + oy);
    } else if (e[E_KIND] > -1.0f && e[E_KIND] < float(GAME_IMAGE_SLOTS)) {
      c_Image* image = m_images[int(e[E_KIND])];
      if (image) {
        bb_graphics_DrawImage2(image, x, y, e[E_ROTATION], e[E_W] * m_scaleX * m_assetInvScale,
                               e[E_H] * m_scaleY * m_assetInvScale, int(e[E_FRAME]));
      }
    }
  }
  return 0;
}
