// Riders: one frame of a running round. Each frame runs one step per cell of
// travel; in a step every rider in turn steers (keys and the touch stick for
// a human, a short look-ahead for the computer), moves one cell, and crashes
// into anything that is not free. A crashed rider throws sparks and fades
// (or whitens) before it leaves the round; the round ends when nobody is
// left, and the rider removed last takes it.
#include <cmath>

#include "game/match/match.h"

using namespace match;

namespace {

// Acceleration: the level grows per frame while no human rides (or at most
// one rider is left) and is the number of extra steps per frame.
constexpr float ACCEL_PER_FRAME = 0.03f;
constexpr float ACCEL_MAX = 12.0f;
// A human's touch stick turns the rider beyond this deflection.
constexpr float STICK_TURN = 0.3f;
// Control values above this are a human's source; below it a computer.
constexpr float HUMAN_CONTROL_MIN = -2.0f;

// Dying: sparks while the timer is below DEATH_SPARKS_UNTIL, DEATH_SPARKS per
// step; the timer rises by DEATH_TICK and the rider leaves past DEATH_END.
constexpr float DEATH_SPARKS_UNTIL = 16.0f;
constexpr int DEATH_SPARKS = 4;
constexpr float DEATH_TICK = 2.0f;
constexpr float DEATH_END = 49.0f;
constexpr float FADE_FROM = 50.0f;
constexpr float FADE_STEPS = 30.0f;
constexpr float WHITE_TRAIL = 500.0f;  // saturates every colour component
constexpr int RULE_LINE_REMOVED = 0;
constexpr int RULE_LINE_REMAINS = 1;

// A turn key (or stick direction) and the heading it gives; it is refused
// when the rider heads the opposite way. Later entries override earlier ones.
struct Turn {
  int action;
  int dir;
  int opposite;
};
constexpr Turn TURNS[] = {
    {ACTION_LEFT, DIR_LEFT, DIR_RIGHT},
    {ACTION_RIGHT, DIR_RIGHT, DIR_LEFT},
    {ACTION_UP, DIR_UP, DIR_DOWN},
    {ACTION_DOWN, DIR_DOWN, DIR_UP},
};

bool StickWants(const c_MyApp* app, int dir) {
  switch (dir) {
    case DIR_LEFT:
      return app->m_stickX < -STICK_TURN;
    case DIR_RIGHT:
      return app->m_stickX > STICK_TURN;
    case DIR_UP:
      return app->m_stickY < -STICK_TURN;
    default:
      return app->m_stickY > STICK_TURN;
  }
}

// The heading a human chooses from d0: keys first, then the one touch stick
// that steers every human rider.
int Steer(c_MyApp* app, int source, int d0) {
  int dir = d0;
  for (const Turn& t : TURNS) {
    if (app->p_PlayKey(t.action, STICK, source) != 0 && d0 != t.opposite) dir = t.dir;
  }
  for (const Turn& t : TURNS) {
    if (StickWants(app, t.dir) && d0 != t.opposite) dir = t.dir;
  }
  return dir;
}

// The computer's choice for rider p heading `dir`; the random draws are
// taken in a fixed order, so a seed replays every decision.
int Think(c_MyApp* app, int p, int dir) {
  const float caution = std::fabs(Rider(app, p, R_CONTROL));
  float* run = &Rider(app, p, R_RUN) - 1;  // run[1..4]: free run right, down, left, up
  float& cooldown = Rider(app, p, R_COOLDOWN);
  for (int k = 1; k <= 4; ++k) run[k] = 0.0f;
  // Look multiplier 2 samples every second cell out to twice the caution,
  // so it can miss a single obstacle cell.
  const int look = int(std::floor(1.99f * Random() + 1.0f));
  if (cooldown < 1.0f) {
    const int x = int(Rider(app, p, R_X)), y = int(Rider(app, p, R_Y));
    const int w = ArenaWidth(), h = ArenaHeight();
    for (int d = 1; float(d) <= float(look) * caution; ++d) {
      for (int k = 1; k <= 4; ++k) {
        const int cx = x + DIR_X[k] * d, cy = y + DIR_Y[k] * d;
        if (cx >= 0 && cx < w && cy >= 0 && cy < h && Cell(app, cx, cy) == 0 && run[k] == float(d - look)) {
          run[k] = float(d);
        }
      }
    }
  }
  cooldown -= 1.0f;
  const int side = int(std::floor(1.99f * Random()));
  const float turnCooldown = std::floor(6.99f * Random() + 2.0f);
  const int randomDir = int(std::floor(3.99f * Random() + 1.0f));
  int wish = 0;
  // Now and then, once the cooldown has long run out, a turn towards open
  // space for no reason.
  if (cooldown < -2.0f && 30.0f * Random() < 1.0f && run[randomDir] > caution) wish = randomDir;
  if ((run[dir] < caution || wish > 0) && cooldown < 1.0f) {
    // Side 0 looks down or right, side 1 up or left, across the heading.
    const bool horizontal = dir == DIR_RIGHT || dir == DIR_LEFT;
    const int candidate = horizontal ? (side == 0 ? DIR_DOWN : DIR_UP) : (side == 0 ? DIR_RIGHT : DIR_LEFT);
    if (run[candidate] > run[dir] || wish == candidate) {
      dir = candidate;
      cooldown = turnCooldown;
    }
  }
  return dir;
}

// One cell on (or into the obstacle ahead): a rider that reaches the last
// free cell before an obstacle crashes in the same step, two cells on. Only
// the cell where the head ends is marked.
void Move(c_MyApp* app, int p, int dir) {
  if (app->m_gameOver != 0) return;
  int x = int(Rider(app, p, R_X)), y = int(Rider(app, p, R_Y));
  const int dx = DIR_X[dir], dy = DIR_Y[dir];
  if (Cell(app, x + dx, y + dy) == 0) {
    x += dx;
    y += dy;
  }
  if (Cell(app, x + dx, y + dy) > 0) {
    x += dx;
    y += dy;
    Rider(app, p, R_DEATH) = 1.0f;
    app->p_PlaySFX(SFX_CRASH, 0.7f + 0.6f * Random(), 1.0f, 0.0f);
  }
  Rider(app, p, R_X) = float(x);
  Rider(app, p, R_Y) = float(y);
  Rider(app, p, R_SEGMENT) = float(app->p_LineTo(int(Rider(app, p, R_SEGMENT)), x, y, p, dir, p));
}

void Die(c_MyApp* app, int p) {
  float& t = Rider(app, p, R_DEATH);
  if (t < DEATH_SPARKS_UNTIL) {
    for (int i = 0; i < DEATH_SPARKS; ++i) {
      app->p_ThrowParticle(Rider(app, p, R_X), Rider(app, p, R_Y), p, INK_WHITE, UNSET, UNSET);
    }
  }
  t += DEATH_TICK;
  const int rule = app->m_settings[SETTING_DEATH_RULE];
  if (rule == RULE_LINE_REMOVED) {
    // The trail glows, then fades to black, then its cells come free.
    app->m_trailBrightness[p] = (FADE_FROM - t) / FADE_STEPS;
    if (t > DEATH_END) {
      Rider(app, p, R_NUMBER) = 0.0f;
      app->p_FlushGrid(p);
    }
  } else if (rule == RULE_LINE_REMAINS) {
    // The trail turns white and stays as a wall.
    app->m_trailBrightness[p] = WHITE_TRAIL;
    if (t > DEATH_END) Rider(app, p, R_NUMBER) = 0.0f;
  }
}

void Ride(c_MyApp* app, int p) {
  const int d0 = int(Rider(app, p, R_DIR));
  const float control = Rider(app, p, R_CONTROL);
  int dir = d0;
  if (control > HUMAN_CONTROL_MIN) {
    app->m_matchState[MS_HUMANS] += 1.0f;
    dir = Steer(app, int(control), d0);
    Rider(app, p, R_DIR) = float(dir);  // a paused human may still turn
    if (app->m_paused != 0) return;
  } else {
    if (app->m_paused != 0) return;
    dir = Think(app, p, d0);
    Rider(app, p, R_DIR) = float(dir);
  }
  Move(app, p, dir);
}

// Every rider in turn; each sees at once what the riders before it did.
void Step(c_MyApp* app) {
  app->m_ridersInPlay = 0;
  for (int p = 1; p <= MAX_RIDERS; ++p) {
    if (Rider(app, p, R_NUMBER) <= 0.0f) continue;
    ++app->m_ridersInPlay;
    app->m_matchState[MS_LAST_IN_PLAY] = float(p);
    if (Rider(app, p, R_DEATH) > 0.0f) {
      Die(app, p);
    } else {
      Ride(app, p);
    }
  }
}

}  // namespace

int c_MyApp::p_Game() {
  p_CLS2D(0.0f, 0.0f, 80.0f, 1.0f);
  float& level = m_matchState[MS_LEVEL];
  p_DoStars(-(level / 3.0f + 0.5f), 0.0f);  // the stars stream faster as the round speeds up
  p_AnalogueControl();
  DrawBorder(this);

  m_matchState[MS_HUMANS_BEFORE] = m_matchState[MS_HUMANS];
  m_matchState[MS_HUMANS] = 0.0f;
  const int speed = m_settings[SETTING_SPEED];
  m_stepsExtra = speed;
  if ((m_matchState[MS_HUMANS_BEFORE] == 0.0f && m_demoMode == 0) || m_ridersInPlay <= 1) {
    level = std::min(level + ACCEL_PER_FRAME, ACCEL_MAX);
    m_stepsExtra = int(level);
  }
  m_stepsExtra = std::max(m_stepsExtra, speed);
  for (m_stepIndex = 0; m_stepIndex <= m_stepsExtra; ++m_stepIndex) Step(this);

  if (m_ridersInPlay <= 1 && m_roundMusic == 1) {
    p_StopTune();
    m_roundMusic = 0;
  }
  DrawTrails(this);
  if (m_ridersInPlay == 0) {
    m_screen = SCREEN_ROUND_WON;
    m_matchState[MS_WON_TIMER] = 0.0f;
    m_wins[int(m_matchState[MS_LAST_IN_PLAY])] += 1;
  }
  p_DoParticles();
  return 0;
}
