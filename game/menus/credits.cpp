// The credits box: a frame of tiles that flies in over the menu, the test
// card in the middle, the credit lines scrolling beside it, and four round
// corner badges with the screen sizes and rates.
#include <algorithm>
#include <cmath>

#include "game/menus/menus.h"
#include "game/menus/widgets.h"

using namespace menus;

Array<String> bb_KRV_CreditText;

namespace {

const char* const CREDIT_LINES[] = {
    "",
    "A Game by",
    "The Zephrine team",
    "from the Zephrine repository",
    "",
    "-=-=-",
    "",
    "Suggested by",
    "The Zephrine team",
    "on the Zephrine issue list",
    "",
    "-=-=-",
    "",
    "Developed using",
    "C++17, GLFW and OpenGL",
    "with OpenAL Soft and stb_image",
    "",
    "-=-=-",
    "",
    "Graphics",
    "",
    "Most graphics by",
    "the Zephrine data tool",
    "",
    "Font : Zephrine Pixel",
    "by the Zephrine data tool",
    "Lowercase added by",
    "the Zephrine data tool",
    "",
    "",
    "-=-=-",
    "",
    "Audio",
    "",
    "Sound and Music by",
    "the Zephrine data tool",
    "using its own synthesiser,",
    "its own tune composer,",
    "libvorbis for the tunes,",
    "stb_vorbis to play them",
    "or whatever else",
    "is handy!",
    "",
    "-=-=-",
    "",
    "Thanks to",
    "the GLFW developers",
    "the OpenAL Soft developers",
    "the stb authors",
    "the Xiph.Org Foundation",
    "the Debian packagers",
    "and everyone else",
    "at the Zephrine repository",
    "",
    "-=-=-",
    "End",
};
constexpr int CREDIT_COUNT = int(sizeof(CREDIT_LINES) / sizeof(CREDIT_LINES[0]));
static_assert(CREDIT_COUNT == 56);
// The lines that scroll round; the last one never shows.
constexpr int SCROLLING_LINES = CREDIT_COUNT - 1;

void MarkCreditText() { gc_mark_q(bb_KRV_CreditText); }
const bool roots_registered = (gc_add_root_marker(MarkCreditText), true);

// Below this slide step the tiles grow from nothing.
constexpr float TILE_GROW_STEPS = 20.0f;
constexpr float TILES_ACROSS = 12.0f;
constexpr float LINE_HEIGHT = 16.0f;
constexpr float SCROLL_PER_UPDATE = 0.3f;
constexpr float SCROLL_HURRIED = 1.5f;  // extra while up or down is held
constexpr int FIRST_SHOWN = -3, LAST_SHOWN = 4;  // lines around the origin
constexpr float TEXT_ALIGN = 0.8f;

// The tile frame, in virtual units.
struct Tiles {
  float t;     // tile pitch
  int nx, ny;  // last column and row
  float x0, y0;
  float d;  // drawn tile size
};

Tiles LayTiles(float W, float H, float s) {
  Tiles g;
  g.t = (W >= H ? W : H) / TILES_ACROSS;
  g.nx = int(W / g.t);
  g.ny = int(H / g.t);
  g.x0 = W / 2 - float(g.nx) * g.t / 2;
  g.y0 = H / 2 - float(g.ny) * g.t / 2;
  g.d = s < TILE_GROW_STEPS ? g.t * s / TILE_GROW_STEPS : g.t;
  return g;
}

// How far out a tile column or row starts while the box slides: the outer
// ones from farther away.
float Spread(int index, int last) {
  int u = index - last / 2;
  if (u < 1) u -= 1;
  return float(u * std::abs(u));
}

float Channel(float value) { return std::clamp(std::trunc(value), 0.0f, 255.0f); }

// The coloured stripe of an edge tile that is not a corner.
void EdgeStripe(c_MyApp& app, const Tiles& g, int i, int j, float px, float py) {
  const float a = 512.0f * float(i - 1) / float(g.nx - 2);
  const float b = 512.0f * float(j - 1) / float(g.ny - 2);
  float rgb[3] = {0, 0, 0};
  auto colour = [&rgb](float r, float gr, float bl) {
    rgb[0] = r;
    rgb[1] = gr;
    rgb[2] = bl;
  };
  if (j == 0) colour(a, 512 - a, 0);               // green to red
  if (i == 0) colour(0, 512 - b, b);               // green to blue
  if (i == g.nx) colour(512 - b, 0, b);            // red to blue
  const float grey = 255.0f * float(i - 1) / float(g.nx - 2);
  if (j == g.ny) colour(grey, grey, grey);         // black to white
  app.p_SetCol(Channel(rgb[0]), Channel(rgb[1]), Channel(rgb[2]), UNSET);
  if (j == 0 || j == g.ny) {
    app.p_Rect(px + 8, py, g.d - 16, g.d);
  } else {
    app.p_Rect(px, py + 8, g.d, g.d - 16);
  }
}

void DrawTile(c_MyApp& app, const Tiles& g, int i, int j, float k) {
  const float px = g.x0 + float(i) * g.t + k * Spread(i, g.nx) - g.d / 2;
  const float py = g.y0 + float(j) * g.t + k * Spread(j, g.ny) - g.d / 2;
  const bool edgeX = i == 0 || i == g.nx, edgeY = j == 0 || j == g.ny;
  const float shade = edgeX || edgeY ? 0.0f : 255.0f;
  app.p_SetCol(shade, shade, shade, UNSET);
  app.p_Rect(px, py, g.d + 1, g.d + 1);
  if (edgeX != edgeY) EdgeStripe(app, g, i, j, px, py);
  if (edgeX || edgeY) return;
  // Inner tile; along the row above the bottom edge they join into a bar.
  app.p_SetCol(128, 128, 128, UNSET);
  if (j == g.ny - 1 && i == g.nx - 3) {
    app.p_Rect(px - 6, py + 2, g.d + 4, g.d - 4);
  } else if (j == g.ny - 1 && i > 3 && i < g.nx - 2) {
    app.p_Rect(px - 6, py + 2, g.d + 24, g.d - 4);
  } else {
    app.p_Rect(px + 2, py + 2, g.d - 4, g.d - 4);
  }
}

void CornerBadge(c_MyApp& app, float x, float y, float d) {
  app.p_SetCol(255, 255, 255, UNSET);
  app.p_Oval(x, y, d, d);
  app.p_SetCol(128, 128, 128, UNSET);
  app.p_Oval(x, y, d - 3, d - 3);
  app.p_SetCol(255, 255, 255, UNSET);
}

void Figures(c_MyApp& app, float x, float y, int a, int b, int c) {
  int n = 0;
  for (int figure : {a, b, c}) app.p_Text(x, y + LINE_HEIGHT * float(n++ - 1), String(figure), TEXT_ALIGN, TEXT_ALIGN);
}

}  // namespace

Array<String> CreditText() {
  Array<String> lines(CREDIT_COUNT);
  for (int i = 0; i < CREDIT_COUNT; ++i) lines[i] = String(CREDIT_LINES[i]);
  return lines;
}

int c_MyApp::p_CreditBox() {
  const float W = bb_KRV_jscrw, H = bb_KRV_jscrh;
  const float s = float(m_creditsSlide), k = BOX_SLIDE_STEPS - s;
  p_ResetDraw();
  p_Alpha(s / BOX_SLIDE_STEPS);

  const Tiles g = LayTiles(W, H, s);
  for (int i = 0; i <= g.nx; ++i) {
    for (int j = 0; j <= g.ny; ++j) DrawTile(*this, g, i, j, k);
  }
  p_SetCol(255, 255, 255, UNSET);
  p_DrawImg(SLOT_TEST_CARD, W / 2, H / 2 - 24 * k, 0);

  m_creditScroll -= SCROLL_PER_UPDATE;
  if (AnyPressing(*this, ACTION_DOWN, STICK) || AnyPressing(*this, ACTION_UP, STICK)) m_creditScroll -= SCROLL_HURRIED;
  if (m_creditScroll < -LINE_HEIGHT) {
    m_creditScroll += LINE_HEIGHT;
    m_creditLine += 1;
  }
  // A dark band keeps the white lines readable over the test card.
  p_SetCol(0, 0, 0, 0.6f * s / BOX_SLIDE_STEPS);
  p_Rect(W / 2 - 120, H / 2 - 24 * k - 56, 300, 104);
  p_SetCol(255, 255, 255, UNSET);
  for (int m = FIRST_SHOWN; m <= LAST_SHOWN; ++m) {
    const int n = ((m + m_creditLine) % SCROLLING_LINES + SCROLLING_LINES) % SCROLLING_LINES;
    const float offset = LINE_HEIGHT * float(m) + m_creditScroll;
    p_Alpha(1.0f - std::clamp(std::fabs(offset) / 40.0f - 0.3f, 0.0f, 1.0f));
    p_Text(W / 2 + 24, H / 2 - 24 * k + offset, bb_KRV_CreditText[n], TEXT_ALIGN, TEXT_ALIGN);
  }

  p_Alpha(s / BOX_SLIDE_STEPS);
  p_SetSize(0.4f, UNSET);
  p_DrawImg(SLOT_GAME_LOGO, W / 2, g.y0 + float(g.ny - 1) * g.t + 4 * k, 0);
  p_SetSize(1.0f, UNSET);

  const float left = g.x0 + 1.5f * g.t - 6 * k, right = g.x0 + (float(g.nx) - 1.5f) * g.t + 6 * k;
  const float top = g.y0 + 1.5f * g.t - 3 * k, bottom = g.y0 + (float(g.ny) - 1.5f) * g.t + 3 * k;
  for (float x : {left, right}) {
    for (float y : {top, bottom}) CornerBadge(*this, x, y, g.d);
  }
  Figures(*this, left, top, bb_app__devWidth, bb_app__devHeight, m_updateFpsAvg);
  Figures(*this, right, top, int(W), int(H), m_renderFpsAvg);
  p_DrawImg(SLOT_BUTTONS, left, bottom, 12);
  p_SetSize(0.3f, UNSET);
  p_DrawImg(SLOT_LOGO, right, bottom, 0);
  p_ResetDraw();

  // A tap or one of three keys closes the box; it slides out by itself.
  if (m_creditsOpen != 1) return 0;
  const bool tap = m_pointerDown > 0 && m_inputLatch == 0;
  const bool key = m_anyKeyHeld == 0 && (AnyPressing(*this, ACTION_EXTRA2, STICK) ||
                                         AnyPressing(*this, ACTION_CONFIRM, STICK) ||
                                         AnyPressing(*this, ACTION_CANCEL, STICK));
  if (tap) m_inputLatch = 1;
  if (key) m_anyKeyHeld = 1;
  if (tap || key) {
    m_creditsOpen = 0;
    p_PlaySFX(SFX_MOVE, 1.0f, 1.0f, 0.0f);
  }
  return 0;
}
