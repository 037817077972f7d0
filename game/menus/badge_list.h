// The badge catalogue and its rules, apart from the screens: badge numbers
// 0 to BadgeCount() - 1 have an entry; badge 0 is the test badge, which no
// rule awards.
#pragma once

#include "game/match/facts.h"

struct BadgeRule {
  const char* entry;  // name, "|", one-line description
  MatchEvent event;   // when the rule is asked
  // Whether the human rider `r` of the match earns the badge; null: never.
  bool (*rule)(const MatchFacts& f, const RiderFacts& r);
};

int BadgeCount();
// The catalogue entry of a badge; null for a number without one.
const BadgeRule* FindBadge(int badge);
// Whether any human of the match earns the badge at this event.
bool BadgeEarnedBy(const BadgeRule& badge, const MatchFacts& facts);
