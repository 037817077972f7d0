// Badges: earning them, the notices that slide in at the bottom left on
// every screen, and the badges box that lists the catalogue.
#include <algorithm>

#include "game/menus/badge_list.h"
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

// The badges box: a list of rows under a title, BOX_ROW apart.
constexpr float BOX_SCROLL_KEY = 16.0f;
constexpr float BOX_TITLE_Y = 28.0f;
constexpr float BOX_LIST_Y = 84.0f;
constexpr float BOX_ROW = 56.0f;
constexpr float BOX_ART_SCALE = 0.6f;
constexpr float BOX_ART_X = 36.0f;   // art centre from the panel's left
constexpr float BOX_TEXT_X = 72.0f;  // name and description from the panel's left
constexpr float BOX_DIMMED = 0.35f;
constexpr float BOX_GREY = 150.0f;
// Keys that close the box (back closes every box in the shell).
constexpr int BOX_CLOSE_KEYS[] = {ACTION_EXTRA2, ACTION_CONFIRM, ACTION_CANCEL};
constexpr float BOX_SCROLL_DRAG = 1.5f;
constexpr float BOX_SCROLL_EASE = 6.0f;

}  // namespace

String c_MyApp::p_BadgeID(int badge) {
  const BadgeRule* entry = FindBadge(badge);
  return entry ? String(entry->entry) : String();
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

int c_MyApp::p_AwardBadges(const MatchFacts& facts) {
  bool earned = false;
  for (int badge = 0; badge < BadgeCount() && badge < GAME_BADGES; ++badge) {
    if (m_badges[badge] || !BadgeEarnedBy(*FindBadge(badge), facts)) continue;
    p_EarnBadge(badge);
    earned = true;
  }
  if (earned) p_Save();
  return 0;
}

int c_MyApp::p_EarnBadge(int badge) {
  if (badge < 0 || badge >= GAME_BADGES) return 0;
  m_badges[badge] = true;
  for (int i = 0; i < SHOWN_NOTICES; ++i) {
    if (m_noticeTimer[i] >= 1) continue;
    m_noticeBadge[i] = badge;
    m_noticeTimer[i] = 1;
    break;
  }
  p_PlaySFX(SFX_BADGE, 1.0f, 1.0f, 0.0f);
  return 0;
}

namespace {

// One row of the list: the art, the name and the description, bright when
// earned and dimmed otherwise.
void DrawBadgeRow(c_MyApp& app, int badge, float left, float y) {
  const bool earned = app.m_badges[badge];
  const float grey = earned ? 255.0f : BOX_GREY;
  app.p_SetCol(grey, grey, grey, earned ? 1.0f : BOX_DIMMED);
  if (badge < PICTURED_BADGES) {
    app.p_SetSize(BOX_ART_SCALE, UNSET);
    app.p_DrawImg(SLOT_BADGE_ART, left + BOX_ART_X, y + BOX_ROW / 2, float(badge));
  }
  app.p_SetSize(2.0f, UNSET);
  app.p_Text(left + BOX_TEXT_X, y + 6, app.p_BadgeName(badge), 0, 0);
  app.p_SetSize(1.0f, UNSET);
  app.p_Text(left + BOX_TEXT_X, y + 32, app.p_BadgeDetail(badge), 0, 0);
}

}  // namespace

int c_MyApp::p_BadgesBox() {
  const float W = bb_KRV_jscrw, H = bb_KRV_jscrh;
  const float left = 0.12f * W, right = 0.88f * W;
  p_ResetDraw();
  p_SetCol(255, 125, 0, 0.8f);
  p_Rect(0.1f * W, -1, 0.8f * W, H + 2);
  p_SetCol(100, 0, 0, 0.8f);
  p_Rect(left, -1, right - left, H + 2);

  // The test badge (0) is no real badge: the list starts at 1.
  int earned = 0;
  for (int badge = 1; badge < BadgeCount(); ++badge) earned += m_badges[badge] ? 1 : 0;
  const float top = m_badgeScroll;
  p_SetCol(255, 255, 255, 1.0f);
  p_SetSize(3.0f, UNSET);
  p_Text(W / 2, top + BOX_TITLE_Y, String("Badges"), 1, 1);
  p_SetSize(1.0f, UNSET);
  p_Text(W / 2, top + BOX_TITLE_Y + 28, String(earned) + String(" of ") + String(BadgeCount() - 1) + String(" earned"), 1,
         1);
  for (int badge = 1; badge < BadgeCount(); ++badge) {
    const float y = top + BOX_LIST_Y + BOX_ROW * float(badge - 1);
    if (y > -BOX_ROW && y < H) DrawBadgeRow(*this, badge, left, y);
  }
  p_ResetDraw();

  if (AnyPressing(*this, ACTION_DOWN, STICK)) m_badgeScrollTarget -= BOX_SCROLL_KEY;
  if (AnyPressing(*this, ACTION_UP, STICK)) m_badgeScrollTarget += BOX_SCROLL_KEY;
  if (m_pointerDown != 0 && float(m_mouseX) > left && float(m_mouseX) < right) {
    m_badgeScrollTarget -= BOX_SCROLL_DRAG * float(m_prevMouseY - m_mouseY);
  }
  // The list ends with its last row at the bottom edge.
  const float listEnd = BOX_LIST_Y + BOX_ROW * float(BadgeCount() - 1);
  m_badgeScrollTarget = std::max(m_badgeScrollTarget, std::min(0.0f, H - listEnd));
  m_badgeScrollTarget = std::min(m_badgeScrollTarget, 0.0f);
  m_badgeScroll -= (m_badgeScroll - m_badgeScrollTarget) / BOX_SCROLL_EASE;
  if (std::abs(m_badgeScroll - m_badgeScrollTarget) < BOX_SCROLL_EASE) m_badgeScroll = m_badgeScrollTarget;

  // A tap beside the panel or a closing key closes the box.
  const bool beside = float(m_mouseX) < left || float(m_mouseX) > right;
  if (m_pointerDown != 0 && beside && m_inputLatch == 0) {
    m_inputLatch = 1;
    m_badgesOpen = 0;
    p_PlaySFX(SFX_MOVE, 1.0f, 1.0f, 0.0f);
  }
  for (int action : BOX_CLOSE_KEYS) {
    if (m_anyKeyHeld != 0 || !AnyPressing(*this, action, STICK)) continue;
    m_anyKeyHeld = 1;
    m_badgesOpen = 0;
    p_PlaySFX(SFX_MOVE, 1.0f, 1.0f, 0.0f);
  }
  return 0;
}
