// What a match has seen, as the badge rules and the highscores read it: the
// match's rules, and per rider what it did in the round just ended and in
// the whole match so far. Filled by the match (scoring.cpp) at the end of
// each round and at the end of the match.
#pragma once

#include "game/match/controls.h"

// When the facts were gathered.
enum class MatchEvent { ROUND_END, MATCH_END };

struct RiderFacts {
  bool human = false;  // ridden by a person (any control source, seats included)
  // The round just ended (at a match end: the last round played).
  bool wonRound = false;
  int roundUpdates = 0;     // updates alive in the round
  int roundCpuOutlived = 0; // computer riders that crashed before it did
  // The whole match.
  int updates = 0;      // updates alive
  int outlived = 0;     // riders that crashed before it did, round by round
  int nearMisses = 0;   // turns that dodged a crash in the very last step
  int wins = 0;         // rounds won
  bool wonMatch = false; // reached the wins that end the match
  int streak = 0;       // rounds won in a row, up to the last one
  int worstDeficit = 0; // most rounds it ever trailed the leader by
  int score = 0;        // its score, by the scoring rule
};

struct MatchFacts {
  MatchEvent event = MatchEvent::ROUND_END;
  int riders = 0;  // riders of the match, 2 to MAX_RIDERS
  int humans = 0;
  int speed = 0, deathRule = 0, winnerTarget = 0;  // the rules' settings
  int roundsPlayed = 0;
  int matchWinner = 0;   // the rider that reached the wins needed; 0 none
  int humansAtEnd = 0;   // humans that outlived every computer rider this round
  // Match end only: the score entered (the best human's), the best score
  // the table held before it, and the highscore tables after the entry.
  int score = 0;
  int previousBest = 0;
  int table = 0;            // 0 to 6
  int scoredTables = 0;     // tables whose best score is above 0
  bool lastTenFull = false; // the table's last ten all above 0
  RiderFacts rider[MAX_RIDERS + 1];  // by rider number; 0 unused
};
