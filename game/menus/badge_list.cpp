// The badge catalogue: every badge's name and description, the event at
// which its rule is asked, and the rule. A rule is asked for each human
// rider of the match; the badge is earned when it holds for any of them
// (the badges belong to the machine, not to one player).
#include "game/menus/badge_list.h"

#include "game/numbers.h"

namespace {

using E = MatchEvent;
using F = const MatchFacts&;
using R = const RiderFacts&;

constexpr int SECOND = UPDATE_RATE;  // updates
constexpr int SPEED_SLOW = 0, SPEED_FAST = 1, SPEED_EXTREME = 2, SPEED_HYPER = 3;
constexpr int TARGET_INFINITE = 0, TARGET_TEN = 3;
constexpr int LINE_REMAINS = 1;

const BadgeRule CATALOGUE[] = {
    {"Test Badge|This is a Test Badge which has no purpose.", E::MATCH_END, nullptr},
    {"First Ride|Finish or quit a match you rode in.", E::MATCH_END, [](F, R) { return true; }},
    {"First Win|Win a round.", E::ROUND_END, [](F, R r) { return r.wonRound; }},
    {"Easy Rider|Win a match at Speed = Slow.", E::MATCH_END,
     [](F f, R r) { return r.wonMatch && f.speed == SPEED_SLOW; }},
    {"Fast Lane|Win a match at Speed = Fast.", E::MATCH_END,
     [](F f, R r) { return r.wonMatch && f.speed == SPEED_FAST; }},
    {"Extremist|Win a match at Speed = Extreme.", E::MATCH_END,
     [](F f, R r) { return r.wonMatch && f.speed == SPEED_EXTREME; }},
    {"Hyperspace|Win a match at Speed = Hyper.", E::MATCH_END,
     [](F f, R r) { return r.wonMatch && f.speed == SPEED_HYPER; }},
    {"Monument|Win a match with Death = Line Remains.", E::MATCH_END,
     [](F f, R r) { return r.wonMatch && f.deathRule == LINE_REMAINS; }},
    {"Last of Eight|Outlive seven computer riders in a round.", E::ROUND_END,
     [](F, R r) { return r.roundCpuOutlived >= 7; }},
    {"Party of Four|Ride a match with four or more humans.", E::MATCH_END, [](F f, R) { return f.humans >= 4; }},
    {"Survivor|Stay alive for a minute in one round.", E::ROUND_END,
     [](F, R r) { return r.roundUpdates >= 60 * SECOND; }},
    {"Marathon|Stay alive for five minutes in one match.", E::MATCH_END,
     [](F, R r) { return r.updates >= 300 * SECOND; }},
    {"Close Shave|Turn away from a crash at the last moment.", E::ROUND_END,
     [](F, R r) { return r.nearMisses >= 1; }},
    {"Daredevil|Make ten last-moment turns in one match.", E::ROUND_END,
     [](F, R r) { return r.nearMisses >= 10; }},
    {"Hat Trick|Win three rounds in a row.", E::ROUND_END, [](F, R r) { return r.streak >= 3; }},
    {"Flawless|Win a match without losing a round.", E::MATCH_END,
     [](F f, R r) { return r.wonMatch && r.wins == f.roundsPlayed; }},
    {"Comeback|Win a match after trailing by two rounds.", E::MATCH_END,
     [](F, R r) { return r.wonMatch && r.worstDeficit >= 2; }},
    {"Perfect Ten|Win a match of Winner = First to 10.", E::MATCH_END,
     [](F f, R r) { return r.wonMatch && f.winnerTarget == TARGET_TEN; }},
    {"Duellist|Win a match of two riders.", E::MATCH_END, [](F f, R r) { return r.wonMatch && f.riders == 2; }},
    {"Crowd Pleaser|Win a match of eight riders.", E::MATCH_END,
     [](F f, R r) { return r.wonMatch && f.riders == MAX_RIDERS; }},
    {"Centurion|Score 100 in one match.", E::MATCH_END, [](F f, R) { return f.score >= 100; }},
    {"High Roller|Score 1000 in one match.", E::MATCH_END, [](F f, R) { return f.score >= 1000; }},
    {"New Record|Beat the best score of a match size.", E::MATCH_END,
     [](F f, R) { return f.previousBest > 0 && f.score > f.previousBest; }},
    {"Regular|Enter ten scores at one match size.", E::MATCH_END, [](F f, R) { return f.lastTenFull; }},
    {"Globetrotter|Score at every match size.", E::MATCH_END, [](F f, R) { return f.scoredTables == 7; }},
    {"Kamikaze|Crash within a second of the start.", E::ROUND_END,
     [](F, R r) { return !r.wonRound && r.roundUpdates < SECOND; }},
    {"Rivals|Outlive every computer with another human.", E::ROUND_END,
     [](F f, R) { return f.humansAtEnd >= 2; }},
    {"Speed Demon|Stay alive 30 seconds at Speed = Hyper.", E::ROUND_END,
     [](F f, R r) { return f.speed == SPEED_HYPER && r.roundUpdates >= 30 * SECOND; }},
    {"Endless|Win 20 rounds of Winner = Infinite.", E::ROUND_END,
     [](F f, R r) { return f.winnerTarget == TARGET_INFINITE && r.wins >= 20; }},
};

}  // namespace

int BadgeCount() { return int(sizeof(CATALOGUE) / sizeof(CATALOGUE[0])); }

const BadgeRule* FindBadge(int badge) { return badge >= 0 && badge < BadgeCount() ? &CATALOGUE[badge] : nullptr; }

bool BadgeEarnedBy(const BadgeRule& badge, const MatchFacts& facts) {
  if (!badge.rule || badge.event != facts.event) return false;
  for (int p = 1; p <= facts.riders && p <= MAX_RIDERS; ++p) {
    if (facts.rider[p].human && badge.rule(facts, facts.rider[p])) return true;
  }
  return false;
}
