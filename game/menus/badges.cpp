// Badges: the catalogue of names and descriptions, the notices that slide
// in at the bottom left on every screen, and the badges box.
#include <algorithm>

#include "game/menus/widgets.h"

using namespace menus;

namespace {

// A catalogue entry holds the name, "|" and the description.
const String SEPARATOR("|");
// Badges with a picture in the badge art.
constexpr int PICTURED_BADGES = 64;

constexpr int SHOWN_NOTICES = 13;
constexpr float NOTICE_WIDTH = 160.0f;
constexpr float NOTICE_PITCH = 34.0f;  // notices stack upward this far apart
constexpr int NOTICE_SLIDE = 16;       // units per update
constexpr int NOTICE_LIFE = 240;       // updates

constexpr float BOX_SCROLL_KEY = 16.0f;
constexpr float BOX_SCROLL_DRAG = 1.5f;
constexpr float BOX_SCROLL_EASE = 6.0f;

}  // namespace

String c_MyApp::p_BadgeID(int badge) {
  return badge == 0 ? String("Test Badge|This is a Test Badge which has no purpose.") : String();
}

String c_MyApp::p_BadgeName(int badge) {
  const String entry = p_BadgeID(badge);
  const int bar = entry.Find(SEPARATOR);
  return bar < 0 ? entry : entry.Slice(0, bar);
}

String c_MyApp::p_BadgeDetail(int badge) {
  const String entry = p_BadgeID(badge);
  const int bar = entry.Find(SEPARATOR);
  return bar < 0 ? String() : entry.Slice(bar + 1);
}

int c_MyApp::p_ShowBadges() {
  const float H = bb_KRV_jscrh;
  p_ResetDraw();
  for (int i = 0; i < SHOWN_NOTICES; ++i) {
    int& t = m_noticeTimer[i];
    if (t < 1) continue;
    t += 1;
    const int outAt = NOTICE_LIFE - int(NOTICE_WIDTH) / NOTICE_SLIDE;
    float x = float(NOTICE_SLIDE * (t > outAt ? NOTICE_LIFE - t : t)) - NOTICE_WIDTH;
    x = std::min(x, 0.0f);
    const float y = H - NOTICE_PITCH * float(i + 1);
    const int badge = m_noticeBadge[i];
    p_SetCol(0, 0, 80, 0.8f);
    p_Rect(x, y, NOTICE_WIDTH, 32);
    p_SetCol(255, 255, 255, 1.0f);
    p_Text(x + 16, y + 4, p_BadgeName(badge), 0, 0);
    if (badge >= 0 && badge < PICTURED_BADGES) {
      p_SetSize(0.5f, UNSET);
      p_DrawImg(SLOT_BADGE_ART, x + NOTICE_WIDTH - 16, y + 16, float(badge));
      p_SetSize(1.0f, UNSET);
    }
    if (t > NOTICE_LIFE) t = 0;
  }
  return 0;
}

int c_MyApp::p_BadgesBox() {
  const float W = bb_KRV_jscrw, H = bb_KRV_jscrh;
  p_SetCol(255, 125, 0, 0.8f);
  p_Rect(0.1f * W, -1, 0.8f * W, H + 2);
  p_SetCol(100, 0, 0, 0.8f);
  p_Rect(0.12f * W, -1, 0.76f * W, H + 2);
  p_SetCol(255, 255, 255, 1.0f);

  if (AnyPressing(*this, ACTION_DOWN, STICK)) m_badgeScrollTarget -= BOX_SCROLL_KEY;
  if (AnyPressing(*this, ACTION_UP, STICK)) m_badgeScrollTarget += BOX_SCROLL_KEY;
  if (m_pointerDown != 0 && float(m_mouseX) > 0.12f * W) {
    m_badgeScrollTarget -= BOX_SCROLL_DRAG * float(m_prevMouseY - m_mouseY);
  }
  m_badgeScrollTarget = std::min(m_badgeScrollTarget, 0.0f);
  m_badgeScroll -= (m_badgeScroll - m_badgeScrollTarget) / BOX_SCROLL_EASE;
  if (std::abs(m_badgeScroll - m_badgeScrollTarget) < BOX_SCROLL_EASE) m_badgeScroll = m_badgeScrollTarget;
  return 0;
}
